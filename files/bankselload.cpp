#include "files/bankselload.h"

#include "files/formfit.h"

#include <QStyle>

BankSelLoad::BankSelLoad(QWidget *parent) : QDialog(parent)
{
    setupUi(this);
    growToFitTexts(this);
    IconLabel->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    connect(cancelButton, &QPushButton::clicked, this, &BankSelLoad::on_cancel);
    connect(okButton, &QPushButton::clicked, this, &BankSelLoad::on_ok);
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
