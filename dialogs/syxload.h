#pragma once

#include "files/syxfile.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

// "Load SysEx file": says what the file holds and what was skipped, and asks where its
// presets go. Presets that name their position go there or into a chosen bank; presets
// without one fill the banks in order from a chosen position. The outcome of the choice
// is shown before Ok. Created for one load, run modally, then read through accepted and
// placement().
class SyxLoad : public QDialog
{
    Q_OBJECT
public:
    explicit SyxLoad(const SyxContents &contents, QWidget *parent = nullptr);

    // Set only by Ok; Cancel, Escape and the close button leave it false.
    bool accepted = false;
    const SyxPlacement &placement() const { return current; }

    QRadioButton *namedButton = nullptr;
    QRadioButton *intoBankButton = nullptr;
    QComboBox *bankBox = nullptr;
    QComboBox *replyBankBox = nullptr;
    QSpinBox *replyPresetBox = nullptr;
    QLabel *resultLabel = nullptr;
    QPushButton *okButton = nullptr;
    QPushButton *cancelButton = nullptr;

public slots:
    void on_ok();
    void on_cancel();
    void on_choiceChanged();

private:
    const SyxContents &contents;
    SyxPlacement current;
};
