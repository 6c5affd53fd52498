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

Shared shared(const BankStore &store, const SelectionMask &selection)
{
    Shared result;
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            if (!selection.isSelected(b, p))
                continue;
            const PresetRecord &r = store.at(b, p);
            if (!result.any) {
                result.any = true;
                result.author = r.author;
                result.category = r.category;
                continue;
            }
            if (result.author && *result.author != r.author)
                result.author.reset();
            if (result.category && *result.category != r.category)
                result.category.reset();
        }
    return result;
}

} // namespace Assignment
