#pragma once

#include "ui_banksel.h"

#include <QDialog>

// "select banks to save": all banks, or one user bank. Created for one save, run
// modally, then read through accepted and selectedBank.
class BankSel : public QDialog, public Ui_BankSel
{
    Q_OBJECT
public:
    explicit BankSel(QWidget *parent = nullptr);

    // Set only by Ok; Cancel, Escape and the close button leave it false.
    bool accepted = false;
    // -1 for all banks, otherwise the bank index 1..15 (banks "2".."16").
    int selectedBank = -1;

public slots:
    void on_cancel();
    void on_ok();
    void on_rball();
    void on_rbsel();
};
