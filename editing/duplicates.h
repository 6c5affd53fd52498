#pragma once

#include "model/selectionmask.h"

class BankStore;

// Presets that are the same sound: equal parameter bytes, whatever their names.
namespace Duplicates {

struct Found
{
    // The extra copies: every user preset whose parameters equal those of a preset before it
    // (bank by bank, preset by preset, factory included). The first of each group is left out,
    // so deleting these keeps one of each sound.
    SelectionMask extraCopies;
    // Sets of equal presets that have at least one extra copy.
    int groups = 0;
};

// Empty slots (what a delete leaves: "empty", no author, category 0, the first factory
// preset's parameters) are no sound of their own and are left out, so deleting the
// duplicates does not make new ones.
Found find(const BankStore &store);

} // namespace Duplicates
