#pragma once

#include <QString>

class BankStore;
class UndoHistory;
struct FileContents;

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

// Loads a file of fewer than 16 banks into banks startBank.. as one undo step: the file's
// banks whole (an export backup: the presets it holds), or, when it lacks presets or holds
// them damaged, nothing at all (no undo step either) and errorText names them.
bool loadIntoBanks(BankStore &store, UndoHistory &history, const FileContents &file, int startBank,
                   QString &errorText);

} // namespace FileFlows
