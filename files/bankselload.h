#pragma once

#include "ui_bankselload.h"

#include <QDialog>

// "Load single preset bank": the user bank that a file of fewer than 16 banks is
// loaded into (its first bank goes there, the others follow). Created for one load,
// run modally, then read through accepted and selectedBank.
class BankSelLoad : public QDialog, public Ui_BankSelLoad
{
    Q_OBJECT
public:
    explicit BankSelLoad(QWidget *parent = nullptr);

    // Set only by Ok; Cancel, Escape and the close button leave it false.
    bool accepted = false;
    // The bank index 1..15 (banks "2".."16").
    int selectedBank = 1;

public slots:
    void on_cancel();
    void on_ok();
};
