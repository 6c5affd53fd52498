#pragma once

#include "ui_bankloaddialog.h"

#include <QDialog>

// "Load single preset bank": the user bank that a file of fewer than 16 banks is
// loaded into (its first bank goes there, the others follow). Created for one load,
// run modally, then read through accepted and selectedBank.
class BankLoadDialog : public QDialog, public Ui_BankLoadDialog
{
    Q_OBJECT
public:
    explicit BankLoadDialog(QWidget *parent = nullptr);

    // A file of several banks: says how many it holds and offers only the first banks
    // from which all of them fit, each item naming the banks it fills ("2–6"). With
    // `backup` the file is an export backup, whose banks go into 2..16 only.
    void setFileBanks(int banks, bool backup = false);

    // Set only by Ok; Cancel, Escape and the close button leave it false.
    bool accepted = false;
    // The bank index 1..15 (banks "2".."16").
    int selectedBank = 1;

public slots:
    void on_cancel();
    void on_ok();

private:
    static constexpr int RowGap = 8;
    void keepRowsApart();
};
