#pragma once

#include "model/selectionmask.h"

class BankStore;

// Presets that are the same sound: equal parameter bytes, whatever their names.
namespace Duplicates {

struct Found
{
    // Every user preset whose parameters equal those of another preset (factory included).
    SelectionMask userPresets;
    // Sets of equal presets that hold at least one user preset.
    int groups = 0;
};

// Empty slots (what a delete leaves: "empty", no author, category 0, the first factory
// preset's parameters) are no sound of their own and are left out, so deleting the
// duplicates does not make new ones.
Found find(const BankStore &store);

} // namespace Duplicates
