#include "editing/assignment.h"

#include "editing/selectededit.h"

namespace Assignment {

int assignAuthor(BankStore &live, const SelectionMask &selection, const QString &author, UndoHistory &history)
{
    // Recorded also where the author is already the same.
    return editSelectedUserPresets(live, selection, history, [&](PresetRecord &rec) { rec.author = author; });
}

int assignCategory(BankStore &live, const SelectionMask &selection, int category, UndoHistory &history)
{
    if (category < 0) {
        history.startNewGroup = true;
        return 0;
    }
    return editSelectedUserPresets(
        live, selection, history, [&](const PresetRecord &rec) { return rec.category != category; },
        [&](PresetRecord &rec) { rec.category = category; });
}

} // namespace Assignment
