#pragma once

#include "ui_banksavedialog.h"

#include <QDialog>

// "Select banks to save": all banks, or one user bank, or (for a SysEx file only) the
// selected presets when offerSelection enabled that choice. Created for one save, run
// modally, then read through accepted and selectedBank.
class BankSaveDialog : public QDialog, public Ui_BankSaveDialog
{
    Q_OBJECT
public:
    explicit BankSaveDialog(QWidget *parent = nullptr);

    // Lets the user save the selected presets; off unless the selection holds a user preset.
    void offerSelection(bool offered);

    // Set only by Ok; Cancel, Escape and the close button leave it false.
    bool accepted = false;
    // -1 for all banks, otherwise the bank index 1..15 (banks "2".."16").
    int selectedBank = -1;
    // The selected presets are to be saved (selectedBank then stays -1).
    bool selectionChosen = false;

public slots:
    void on_cancel();
    void on_ok();
    void on_rball();
    void on_rbsel();
    void on_rbselection();
};
