#include "files/bankselload.h"

#include "files/formfit.h"

#include "model/bankstore.h"

#include <QStyle>

BankSelLoad::BankSelLoad(QWidget *parent) : QDialog(parent)
{
    setupUi(this);
    growToFitTexts(this);
    IconLabel->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    connect(cancelButton, &QPushButton::clicked, this, &BankSelLoad::on_cancel);
    connect(okButton, &QPushButton::clicked, this, &BankSelLoad::on_ok);
}

void BankSelLoad::setFileBanks(int banks, bool backup)
{
    if (banks <= 1)
        return;
    setWindowTitle(tr("Load preset banks"));
    label->setText(backup ? tr("The selected file is an export backup of banks 2 to %1 of the module. "
                               "It is loaded into those banks:")
                                .arg(BankCount)
                          : tr("The selected file holds %1 preset banks. Please select the banks you "
                               "want to load them into:")
                                .arg(banks));
    label_2->setText(tr("Banks:"));
    selBox->clear();
    // Start banks are user banks 2.. (index 1..); every bank of the file must fit.
    for (int start = 1; start + banks - 1 < BankCount; ++start)
        selBox->addItem(QStringLiteral("%1–%2").arg(start + 1).arg(start + banks));
    selBox->setToolTip(tr("The user banks that receive the file's banks"));
    growToFitTexts(this);
}

void BankSelLoad::on_cancel()
{
    accepted = false;
    close();
}

void BankSelLoad::on_ok()
{
    accepted = true;
    selectedBank = selBox->currentIndex() + 1;
    close();
}
