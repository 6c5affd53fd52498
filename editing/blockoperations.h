#pragma once

class BankStore;
class SelectionMask;
class UndoHistory;

// Cut, copy, paste and delete on the live store. The factory bank (bank 0) is
// never written; each operation that writes begins one undo group, so one undo
// reverts it as a whole. Written records are marked; callers refresh the table.
namespace BlockOperations {

enum class Command { Cut, Copy, Paste, Delete };
// Whether `command` may run on `selection`, for the menu entry and the key alike: cut and
// copy need a rectangle, paste one cell and something copied, and only copy may touch the
// factory bank.
bool allowed(Command command, const SelectionMask &selection, bool clipboardFilled);

// Snapshot of the whole store; each clipboard mark says whether the cell was selected.
void copySelectionToClipboard(const BankStore &live, BankStore &clipboard, const SelectionMask &selection);

// Lays the copied block with its top-left corner on the first selected cell,
// clipped at the table's edges, with the content it had at copy time.
// Returns the number of presets written.
int pasteClipboard(BankStore &live, const BankStore &clipboard, const SelectionMask &selection,
                   UndoHistory &history);

// Every selected user preset becomes "empty": factory preset 1's parameters,
// no author, category 0. Returns the number of presets written.
int deleteSelection(BankStore &live, const SelectionMask &selection, UndoHistory &history);

} // namespace BlockOperations
