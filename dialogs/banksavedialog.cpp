#include "dialogs/banksavedialog.h"

#include "dialogs/formfit.h"

BankSaveDialog::BankSaveDialog(QWidget *parent) : QDialog(parent)
{
    setupUi(this);
    growToFitTexts(this);
    // The program's name does not fit the narrow dialog's title bar; what it is for does.
    setWindowTitle(tr("Save banks"));
    connect(cancelButton, &QPushButton::clicked, this, &BankSaveDialog::on_cancel);
    connect(okButton, &QPushButton::clicked, this, &BankSaveDialog::on_ok);
    connect(rball, &QRadioButton::clicked, this, &BankSaveDialog::on_rball);
    connect(rbsel, &QRadioButton::clicked, this, &BankSaveDialog::on_rbsel);
    connect(rbselection, &QRadioButton::clicked, this, &BankSaveDialog::on_rbselection);
}

void BankSaveDialog::offerSelection(bool offered)
{
    rbselection->setEnabled(offered);
}

void BankSaveDialog::on_cancel()
{
    accepted = false;
    close();
}

void BankSaveDialog::on_ok()
{
    accepted = true;
    // Item i of the box names bank i + 2, that is bank index i + 1.
    selectionChosen = rbselection->isChecked();
    selectedBank = rbsel->isChecked() ? selBox->currentIndex() + 1 : -1;
    close();
}

void BankSaveDialog::on_rball()
{
    selBox->setEnabled(false);
}

void BankSaveDialog::on_rbsel()
{
    selBox->setEnabled(true);
}

void BankSaveDialog::on_rbselection()
{
    selBox->setEnabled(false);
}
