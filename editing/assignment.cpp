#include "editing/assignment.h"

#include "editing/undohistory.h"
#include "model/bankstore.h"
#include "model/selectionmask.h"

namespace Assignment {

int assignAuthor(BankStore &live, const SelectionMask &selection, const QString &author, UndoHistory &history)
{
    history.startNewGroup = true;
    int written = 0;
    for (int c = 1; c < BankCount; ++c)
        for (int r = 0; r < PresetsPerBank; ++r) {
            if (!selection.isSelected(c, r))
                continue;
            history.recordUndo(c, r);
            PresetRecord &rec = live.at(c, r);
            rec.author = author;
            rec.mark = true;
            ++written;
        }
    return written;
}

int assignCategory(BankStore &live, const SelectionMask &selection, int category, UndoHistory &history)
{
    history.startNewGroup = true;
    if (category < 0)
        return 0;
    int written = 0;
    for (int c = 1; c < BankCount; ++c)
        for (int r = 0; r < PresetsPerBank; ++r) {
            PresetRecord &rec = live.at(c, r);
            if (!selection.isSelected(c, r) || rec.category == category)
                continue;
            history.recordUndo(c, r);
            rec.category = category;
            rec.mark = true;
            ++written;
        }
    return written;
}

} // namespace Assignment
