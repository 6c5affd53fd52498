#pragma once

#include "model/selectionmask.h"

#include <QString>

// What an export covers: all user banks, one user bank or chosen user presets. Only these
// are read from the module, compared, backed up and written.
class ExportChoice
{
public:
    enum class Kind { AllUserBanks, OneBank, Presets };

    static ExportChoice allUserBanks();
    // Bank index 1..15.
    static ExportChoice oneBank(int bank);
    // The user presets of `presets`; the factory bank is left out.
    static ExportChoice presets(const SelectionMask &presets);
    // "B:P,B:P,..." with zero-based indexes, user banks only, as orvex-pre takes them.
    // False with a message in errorText for anything else.
    static bool parsePresets(const QString &text, ExportChoice &choice, QString &errorText);

    Kind kind() const { return what; }
    int bank() const { return chosenBank; }
    const SelectionMask &positions() const { return mask; }
    bool empty() const { return mask.empty(); }
    // "banks 2–16", "bank 5", "3 chosen presets", for a sentence about the export.
    QString description() const;

private:
    Kind what = Kind::AllUserBanks;
    int chosenBank = -1;
    SelectionMask mask;
};
