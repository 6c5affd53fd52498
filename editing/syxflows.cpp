#include "editing/syxflows.h"

#include "editing/undohistory.h"
#include "files/midifile.h"

namespace SyxFlows {

int loadPlaced(BankStore &store, UndoHistory &history, const SyxContents &contents,
               const SyxPlacement &placement)
{
    int written = 0;
    history.startNewGroup = true;
    for (int b = FirstUserBank; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            const int source = placement.sourceAt(b, p);
            if (source < 0)
                continue;
            writePreset(store, history, b, p, placedSyxRecord(contents, placement, b, p));
            ++written;
        }
    return written;
}

SelectionMask presetsToSave(bool selectionChosen, const SelectionMask &selection, int selectedBank)
{
    SelectionMask presets;
    for (int b = FirstUserBank; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            presets.set(b, p,
                        selectionChosen ? selection.isSelected(b, p) : selectedBank < 1 || b == selectedBank);
    return presets;
}

SyxLosses lossesOf(const BankStore &store, bool selectionChosen, const SelectionMask &selection,
                   int selectedBank)
{
    int factory = 0;
    for (int p = 0; p < PresetsPerBank; ++p)
        factory += (selectionChosen ? selection.isSelected(0, p) : selectedBank < 1) ? 1 : 0;
    return syxLosses(store, presetsToSave(selectionChosen, selection, selectedBank), factory);
}

bool savesAsSyx(const QString &fileName, const QString &chosenFilter)
{
    if (isSyxName(fileName))
        return true;
    if (fileName.endsWith(QLatin1String(".pre"), Qt::CaseInsensitive))
        return false;
    return chosenFilter.contains(QLatin1String("*.syx"), Qt::CaseInsensitive);
}

bool savesAsMidi(const QString &fileName, const QString &chosenFilter)
{
    if (isMidiName(fileName))
        return true;
    if (isSyxName(fileName) || fileName.endsWith(QLatin1String(".pre"), Qt::CaseInsensitive))
        return false;
    return chosenFilter.contains(QLatin1String("*.mid"), Qt::CaseInsensitive);
}

QString withMidiExtension(const QString &fileName)
{
    return isMidiName(fileName) ? fileName : fileName + QStringLiteral(".mid");
}

} // namespace SyxFlows
