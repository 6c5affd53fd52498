#pragma once

#include "editing/undohistory.h"
#include "model/bankstore.h"
#include "model/selectionmask.h"

// One user operation over the selected presets of the user banks (the factory bank is
// never changed): a new undo group, an entry recorded before each change, and the record
// marked for the next refresh. `wanted` says whether a record needs the change at all;
// one that does not records nothing. Returns how many records changed.
template <typename Wanted, typename Change>
int editSelectedUserPresets(BankStore &live, const SelectionMask &selection, UndoHistory &history,
                            Wanted wanted, Change change)
{
    history.startNewGroup = true;
    int written = 0;
    for (int c = 1; c < BankCount; ++c)
        for (int r = 0; r < PresetsPerBank; ++r) {
            PresetRecord &rec = live.at(c, r);
            if (!selection.isSelected(c, r) || !wanted(rec))
                continue;
            history.recordUndo(c, r);
            change(rec);
            rec.mark = true;
            ++written;
        }
    return written;
}

template <typename Change>
int editSelectedUserPresets(BankStore &live, const SelectionMask &selection, UndoHistory &history,
                            Change change)
{
    return editSelectedUserPresets(
        live, selection, history, [](const PresetRecord &) { return true; }, change);
}
