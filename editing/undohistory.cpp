#include "editing/undohistory.h"

#include <utility>

UndoHistory::UndoHistory(BankStore &store, bool &modified)
    : store(store), modified(modified), entries(Capacity)
{
}

void UndoHistory::recordUndo(int bank, int preset)
{
    if (!BankStore::validIndex(bank, preset))
        return;
    trimHistory();
    UndoEntry &e = entries[pos];
    e.bank = bank;
    e.preset = preset;
    e.saved = store.at(bank, preset);
    e.groupStart = startNewGroup;
    e.modifiedFlag = modified;
    ++pos;
    end = pos;
    startNewGroup = false;
    modified = true;
}

void UndoHistory::trimHistory()
{
    if (pos < Limit)
        return;
    // Cut at the last group start at or before entry 2,501 (or the first after it),
    // so whole groups go and the new entry 0 begins a group.
    int c = 0;
    for (int i = 1; i < pos; ++i) {
        if (entries[i].groupStart)
            c = i;
        if (i >= 2501 && c != 0)
            break;
    }
    if (c == 0)
        return;
    std::move(entries.begin() + c, entries.begin() + pos, entries.begin());
    pos -= c;
    end -= c;
}

void UndoHistory::exchangeEntry(int i)
{
    UndoEntry &e = entries[i];
    PresetRecord &r = store.at(e.bank, e.preset);
    std::swap(e.modifiedFlag, modified);
    PresetRecord kept = std::move(e.saved);
    e.saved = r;
    r.copyContentFrom(kept);
    r.mark = true;
}

bool UndoHistory::undo()
{
    if (pos == 0)
        return false;
    int i = pos - 1;
    for (;; --i) {
        exchangeEntry(i);
        if (entries[i].groupStart || i == 0)
            break;
    }
    pos = i;
    return true;
}

bool UndoHistory::redo()
{
    if (pos == end)
        return false;
    int i = pos;
    do {
        exchangeEntry(i);
        ++i;
    } while (i != end && !entries[i].groupStart);
    pos = i;
    return true;
}

void UndoHistory::reset()
{
    pos = 0;
    end = 0;
    modified = false;
    startNewGroup = true;
}
