#pragma once

#include "model/selectionmask.h"

#include <QString>

class BankStore;

// Which presets a search text finds: those whose name, author or category name
// contains it, case and accents aside (as the library's search folds text).
namespace PresetSearch {

// Empty text finds nothing.
SelectionMask find(const BankStore &store, const QString &text);

// The next or previous found cell after (bank, preset), bank by bank and preset by
// preset, wrapping around; bank -1 starts before the first cell. False when none.
bool step(const SelectionMask &found, int &bank, int &preset, bool forward);

} // namespace PresetSearch
