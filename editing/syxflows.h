#pragma once

#include "files/syxfile.h"
#include "model/selectionmask.h"

#include <QString>

class UndoHistory;

// The parts of the ".syx" save and load flows that need no widgets.
namespace SyxFlows {

// Writes the placed presets into the store as one undo step, each record marked. Returns
// how many were written; with none, the history is left alone.
int loadPlaced(BankStore &store, UndoHistory &history, const SyxContents &contents,
               const SyxPlacement &placement);

// The presets a save writes: the selection when chosen, else the user bank 1..15, or with
// -1 all user banks. The factory bank is never among them.
SelectionMask presetsToSave(bool selectionChosen, const SelectionMask &selection, int selectedBank);

// What a SysEx file of that choice can't keep: the factory bank counts when all banks or
// a selection with factory presets was chosen.
SyxLosses lossesOf(const BankStore &store, bool selectionChosen, const SelectionMask &selection,
                   int selectedBank);

// True when a save of whole banks is to write a SysEx file: a ".syx" or ".pre" name says
// which itself; any other name, with or without an extension, follows the filter the user
// chose in the save dialog.
bool savesAsSyx(const QString &fileName, const QString &chosenFilter);
// True when a save is to write a Standard MIDI File: a MIDI name, or a name that is neither
// ".pre" nor ".syx" while the MIDI filter is chosen.
bool savesAsMidi(const QString &fileName, const QString &chosenFilter);
// The name with ".mid" added unless it names a MIDI file already.
QString withMidiExtension(const QString &fileName);

} // namespace SyxFlows
