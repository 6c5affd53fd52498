#include "dialogs/banksel.h"

#include "dialogs/formfit.h"

BankSel::BankSel(QWidget *parent) : QDialog(parent)
{
    setupUi(this);
    growToFitTexts(this);
    // The program's name does not fit the narrow dialog's title bar; what it is for does.
    setWindowTitle(tr("Save banks"));
    connect(cancelButton, &QPushButton::clicked, this, &BankSel::on_cancel);
    connect(okButton, &QPushButton::clicked, this, &BankSel::on_ok);
    connect(rball, &QRadioButton::clicked, this, &BankSel::on_rball);
    connect(rbsel, &QRadioButton::clicked, this, &BankSel::on_rbsel);
    connect(rbselection, &QRadioButton::clicked, this, &BankSel::on_rbselection);
}

void BankSel::offerSelection(bool offered)
{
    rbselection->setEnabled(offered);
}

void BankSel::on_cancel()
{
    accepted = false;
    close();
}

void BankSel::on_ok()
{
    accepted = true;
    // Item i of the box names bank i + 2, that is bank index i + 1.
    selectionChosen = rbselection->isChecked();
    selectedBank = rbsel->isChecked() ? selBox->currentIndex() + 1 : -1;
    close();
}

void BankSel::on_rball()
{
    selBox->setEnabled(false);
}

void BankSel::on_rbsel()
{
    selBox->setEnabled(true);
}

void BankSel::on_rbselection()
{
    selBox->setEnabled(false);
}
