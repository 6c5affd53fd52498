#pragma once

#include "editing/exportchoice.h"

#include <QComboBox>

// Which presets an export writes: all user banks, one user bank, or the user presets
// selected in the table (offered only when there are some).
class ExportChoiceBox : public QComboBox
{
    Q_OBJECT
public:
    explicit ExportChoiceBox(QWidget *parent = nullptr);

    // The table's selection, for the last entry; its factory presets never count.
    void setSelection(const SelectionMask &selection);
    ExportChoice choice() const;
    // Makes `choice` the current entry (a choice of presets needs them selected).
    void setChoice(const ExportChoice &choice);

private:
    SelectionMask selected;
};
