#include "editing/blockoperations.h"

#include "editing/selectededit.h"

namespace BlockOperations {

namespace {

// Top-left cell of the copied block: the first marked record, bank by bank.
bool clipboardAnchor(const BankStore &clipboard, int &bank, int &preset)
{
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            if (clipboard.at(b, p).mark) {
                bank = b;
                preset = p;
                return true;
            }
    return false;
}

} // namespace

Refusal refusal(Command command, const SelectionMask &selection, bool clipboardFilled)
{
    if (command == Command::Paste && !clipboardFilled)
        return Refusal::NothingCopied;
    if (selection.empty())
        return Refusal::NothingSelected;
    if (command != Command::Copy && selection.factoryCellSelected())
        return Refusal::FactoryBank;
    if ((command == Command::Cut || command == Command::Copy) && !selection.isRectangle())
        return Refusal::NotRectangle;
    if (command == Command::Paste && !selection.singleCellSelected())
        return Refusal::NotOneCell;
    return Refusal::None;
}

bool allowed(Command command, const SelectionMask &selection, bool clipboardFilled)
{
    return refusal(command, selection, clipboardFilled) == Refusal::None;
}

Overflow pasteOverflow(const BankStore &clipboard, const SelectionMask &selection)
{
    Overflow overflow;
    int anchorBank = 0, anchorPreset = 0, targetBank = 0, targetPreset = 0;
    if (!clipboardAnchor(clipboard, anchorBank, anchorPreset) || !selection.first(targetBank, targetPreset))
        return overflow;
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            if (!clipboard.at(b, p).mark)
                continue;
            if (targetBank + (b - anchorBank) >= BankCount)
                ++overflow.right;
            else if (targetPreset + (p - anchorPreset) >= PresetsPerBank)
                ++overflow.below;
        }
    return overflow;
}

void copySelectionToClipboard(const BankStore &live, BankStore &clipboard, const SelectionMask &selection)
{
    clipboard.snapshotFrom(live, selection);
}

int pasteClipboard(BankStore &live, const BankStore &clipboard, const SelectionMask &selection,
                   UndoHistory &history, SelectionMask *writtenCells)
{
    if (writtenCells)
        writtenCells->clear();
    int anchorBank = 0, anchorPreset = 0, targetBank = 0, targetPreset = 0;
    if (!clipboardAnchor(clipboard, anchorBank, anchorPreset) || !selection.first(targetBank, targetPreset))
        return 0;

    history.startNewGroup = true;
    int written = 0;
    for (int c = 1; c < BankCount; ++c) {
        const int sb = anchorBank + (c - targetBank);
        if (sb < 0 || sb >= BankCount)
            continue;
        for (int r = 0; r < PresetsPerBank; ++r) {
            const int sp = anchorPreset + (r - targetPreset);
            if (sp < 0 || sp >= PresetsPerBank || !clipboard.at(sb, sp).mark)
                continue;
            writePreset(live, history, c, r, clipboard.at(sb, sp));
            if (writtenCells)
                writtenCells->set(c, r);
            ++written;
        }
    }
    return written;
}

int deleteSelection(BankStore &live, const SelectionMask &selection, UndoHistory &history)
{
    // An "empty" preset keeps the grid whole: factory preset 1's parameters, no author.
    const auto factoryParams = live.at(0, 0).params;
    const QString emptyName = QStringLiteral("empty");
    return editSelectedUserPresets(live, selection, history, [&](PresetRecord &rec) {
        rec.params = factoryParams;
        rec.name = emptyName;
        rec.author.clear();
        rec.category = 0;
    });
}

} // namespace BlockOperations
