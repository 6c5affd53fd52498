#pragma once

#include <QString>

#include <optional>

class BankStore;
class SelectionMask;
class UndoHistory;

// Author and category for every selected user preset at once. Factory presets
// are skipped; each call is one undo group. Written records are marked;
// callers refresh the table.
namespace Assignment {

// Every selected user preset gets the author, recorded even where it is already
// the same. Returns the number of presets written.
int assignAuthor(BankStore &live, const SelectionMask &selection, const QString &author,
                 UndoHistory &history);

// Every selected user preset whose category differs gets `category`; the others
// record nothing. A negative category (no current row) assigns nothing.
// Returns the number of presets written.
int assignCategory(BankStore &live, const SelectionMask &selection, int category, UndoHistory &history);

// What the selected presets, factory ones included, have in common, for the detail view to
// show: the author and the category when they all share it.
struct Shared
{
    bool any = false;
    std::optional<QString> author;
    std::optional<int> category;
};
Shared shared(const BankStore &store, const SelectionMask &selection);

} // namespace Assignment
