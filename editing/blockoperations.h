#pragma once

class BankStore;
class SelectionMask;
class UndoHistory;

// Cut, copy, paste and delete on the live store. The factory bank (bank 0) is
// never written; each operation that writes begins one undo group, so one undo
// reverts it as a whole. Written records are marked; callers refresh the table.
namespace BlockOperations {

enum class Command { Cut, Copy, Paste, Delete };
// Why `command` may not run on `selection`: cut and copy need a rectangle, paste one cell and
// something copied, and only copy may touch the factory bank. The first reason that holds,
// in this order: nothing copied (paste), nothing selected, factory bank, not a rectangle, not
// one cell.
enum class Refusal { None, NothingCopied, NothingSelected, FactoryBank, NotRectangle, NotOneCell };
Refusal refusal(Command command, const SelectionMask &selection, bool clipboardFilled);
// Whether `command` may run on `selection`, for the menu entry and the key alike.
bool allowed(Command command, const SelectionMask &selection, bool clipboardFilled);

// Copied presets a paste at the first selected cell would lay below the last preset or right
// of the last bank (a preset past both counts as right).
struct Overflow
{
    int below = 0;
    int right = 0;
    bool any() const { return below > 0 || right > 0; }
};
Overflow pasteOverflow(const BankStore &clipboard, const SelectionMask &selection);

// Snapshot of the whole store; each clipboard mark says whether the cell was selected.
void copySelectionToClipboard(const BankStore &live, BankStore &clipboard, const SelectionMask &selection);

// Lays the copied block with its top-left corner on the first selected cell,
// clipped at the table's edges, with the content it had at copy time.
// Returns the number of presets written; `written`, when given, receives their cells.
int pasteClipboard(BankStore &live, const BankStore &clipboard, const SelectionMask &selection,
                   UndoHistory &history, SelectionMask *written = nullptr);

// Every selected user preset becomes "empty": factory preset 1's parameters,
// no author, category 0. Returns the number of presets written.
int deleteSelection(BankStore &live, const SelectionMask &selection, UndoHistory &history);

} // namespace BlockOperations
