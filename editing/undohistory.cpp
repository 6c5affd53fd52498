#include "editing/undohistory.h"

#include <utility>

UndoHistory::UndoHistory(BankStore &store, bool &modified) : store(store), modified(modified) {}

void UndoHistory::recordUndo(int bank, int preset)
{
    if (!BankStore::validIndex(bank, preset))
        return;
    ++changes;
    if (startNewGroup)
        droppingGroup = false;
    if (!droppingGroup)
        trimHistory();
    if (droppingGroup || pos >= Limit) {
        // One operation larger than the whole history: undoing part of it would leave a
        // mix of old and new presets, so the history forgets everything and this
        // operation can't be undone.
        pos = 0;
        end = 0;
        cleanPos = -1;
        droppingGroup = true;
        startNewGroup = false;
        modified = true;
        return;
    }
    // Made with the first change, not at start-up: two megabytes the window need not wait for.
    if (entries.empty())
        entries.resize(Capacity);
    UndoEntry &e = entries[pos];
    e.bank = bank;
    e.preset = preset;
    e.saved = store.at(bank, preset);
    e.groupStart = startNewGroup;
    // A clean state in the redo tail that is about to go can never come back.
    if (cleanPos > pos)
        cleanPos = -1;
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
    cleanPos = cleanPos >= c ? cleanPos - c : -1;
}

void UndoHistory::exchangeEntry(int i)
{
    ++changes;
    UndoEntry &e = entries[i];
    PresetRecord &r = store.at(e.bank, e.preset);
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
    modified = pos != cleanPos;
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
    modified = pos != cleanPos;
    return true;
}

void UndoHistory::reset()
{
    ++changes;
    pos = 0;
    end = 0;
    cleanPos = 0;
    modified = false;
    startNewGroup = true;
    droppingGroup = false;
}

void UndoHistory::markClean()
{
    cleanPos = pos;
    modified = false;
}

void UndoHistory::forgetClean()
{
    ++changes;
    cleanPos = -1;
    modified = true;
}

void UndoHistory::resetUnsaved()
{
    reset();
    cleanPos = -1;
    modified = true;
}

void writePreset(BankStore &store, UndoHistory &history, int bank, int preset, const PresetRecord &content)
{
    history.recordUndo(bank, preset);
    PresetRecord &record = store.at(bank, preset);
    record.copyContentFrom(content);
    record.mark = true;
}
