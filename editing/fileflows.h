#pragma once

#include <QString>

class BankStore;
class UndoHistory;

// The parts of the save and load flows that need no widgets.
namespace FileFlows {

// What "defaultpath" remembers for a chosen file: the absolute path of its folder.
QString defaultPathFor(const QString &fileName);

// Where the file dialogs open: the remembered folder while it still exists, otherwise
// the user's documents folder (never the program's working directory).
QString startDirectory(const QString &defaultPath);

// A name typed without an extension gets ".pre", as the platform's own dialogs would add.
QString withPresetExtension(const QString &fileName);

// A selection is saved only as SysEx: a ".pre" extension becomes ".syx", any other name
// without ".syx" gets it added.
QString withSyxExtension(const QString &fileName);

// One undo step holding every preset of banks firstBank..lastBank, taken before a load
// overwrites them.
void recordBanksForUndo(UndoHistory &history, int firstBank, int lastBank);

} // namespace FileFlows
