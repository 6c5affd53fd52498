#include "dialogs/bankloaddialog.h"

#include "dialogs/formfit.h"

#include "model/bankstore.h"

#include <QStyle>

#include <algorithm>

BankLoadDialog::BankLoadDialog(QWidget *parent) : QDialog(parent)
{
    setupUi(this);
    growToFitTexts(this);
    // A question, not a warning: nothing is wrong with the file.
    IconLabel->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    label_2->setBuddy(selBox);
    connect(cancelButton, &QPushButton::clicked, this, &BankLoadDialog::on_cancel);
    connect(okButton, &QPushButton::clicked, this, &BankLoadDialog::on_ok);
}

void BankLoadDialog::setFileBanks(int banks, bool backup)
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
    label_2->setText(tr("&Banks:"));
    selBox->clear();
    // Start banks are user banks 2.. (index 1..); every bank of the file must fit.
    for (int start = 1; start + banks - 1 < BankCount; ++start)
        selBox->addItem(QStringLiteral("%1–%2").arg(start + 1).arg(start + banks));
    selBox->setToolTip(tr("The user banks that receive the file's banks"));
    growToFitTexts(this);
    keepRowsApart();
}

void BankLoadDialog::keepRowsApart()
{
    // The longer text wraps to a height that differs between styles and Qt versions: the
    // choice goes below it and the buttons below the choice, whatever that height is.
    const int textBottom = label->geometry().bottom() + 1 + RowGap;
    if (selBox->y() < textBottom) {
        const int down = textBottom - selBox->y();
        selBox->move(selBox->x(), selBox->y() + down);
        label_2->move(label_2->x(), label_2->y() + down);
    }
    const int choiceBottom = std::max(selBox->geometry().bottom(), label_2->geometry().bottom()) + 1 + RowGap;
    const int buttonsTop = std::min(okButton->y(), cancelButton->y());
    if (buttonsTop < choiceBottom) {
        const int down = choiceBottom - buttonsTop;
        okButton->move(okButton->x(), okButton->y() + down);
        cancelButton->move(cancelButton->x(), cancelButton->y() + down);
    }
    const int wanted =
        std::max(okButton->geometry().bottom(), cancelButton->geometry().bottom()) + 1 + RowGap;
    if (height() < wanted)
        setFixedSize(width(), wanted);
}

void BankLoadDialog::on_cancel()
{
    accepted = false;
    close();
}

void BankLoadDialog::on_ok()
{
    accepted = true;
    selectedBank = selBox->currentIndex() + 1;
    close();
}
