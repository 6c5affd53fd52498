#pragma once

class BankStore;
class SelectionMask;
class UndoHistory;

// Reorders a run of presets inside one user bank by name, author or category.
namespace PresetSort {

enum class Key { Name, Author, Category };

// The selection is one unbroken run of presets in a single user bank (a whole
// bank included); only then can it be sorted. The factory bank never can.
bool canSort(const SelectionMask &selection);

// Sorts the selected run in place, stable, as one undo group; presets without the
// key (no name, no author, category "empty") go to the end. Names and authors
// compare as a search folds them, with digit runs by their value ("Pad 2" before
// "Pad 10"). Only presets that move are recorded and marked. Returns how many moved.
int sortSelection(BankStore &live, const SelectionMask &selection, Key key, UndoHistory &history);

} // namespace PresetSort
