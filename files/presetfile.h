#pragma once

#include "files/presetfilereader.h"
#include "model/bankstore.h"

#include <QByteArray>
#include <QString>

// The ".pre" preset file: an XML document "presetbanks" holding a "device" element and
// one "bank" element of 128 "preset" elements per bank written. Banks and presets are
// identified by position only.
//
// Bank arguments are indexes 0..15 with firstBank <= lastBank; a range reaching outside
// 0..15 is cut to it, so no bank outside the store is ever read or written.
// On failure each operation leaves a translatable message ("MainWindow" context) in
// errorText and changes nothing; on success errorText is left alone.

// Writes banks firstBank..lastBank, every preset whatever its mark, through the checked
// whole-file writer (whose message, naming the file, a failure leaves in errorText).
bool savePresetFile(const BankStore &store, const QString &fileName, int firstBank, int lastBank,
                    QString &errorText);

// Checks the file and returns the number of "bank" children of its document element
// (1..16, or 0 for a file without a bank), or -1 when a check fails; a file of more than
// 16 banks fails.
int countPresetFileBanks(const QString &fileName, QString &errorText);

// Where a file of `banks` banks belongs when nobody chooses: a file of all 16 from bank
// index 0, any smaller one from bank index 1 (bank 2), as the factory bank is never saved
// on its own. An export backup, banks 2..16 of the module, is such a file of 15 banks.
int presetFileHomeBank(int banks);
// The last bank that a file of fileBanks banks fills when loaded from startBank. Banks of
// the file that would land past the last bank are left out, never written anywhere.
int presetFileLastBank(int startBank, int fileBanks);

// The message loadPresetFile leaves for a reader's failure, for readers of a file's bytes
// (the library) that must name it in the same words.
// `banks`: what the reader counted, named by the message for too many banks.
QString presetFileLoadFailure(PresetFileReader::Result result, int banks = 0);

// Why the file could not be read, in the words of a load, for a reader of the file itself:
// a file that is not there is "file not found", a folder says so.
QString presetFileReadFailure(const QString &fileName, PresetFileReader::Result result, int banks = 0);

// Checks the file, then reads its banks in order into firstBank..lastBank. Only presets
// with usable data (readPresetParams) are taken; each taken record gets its mark set,
// everything else stays exactly as it was.
bool loadPresetFile(BankStore &store, const QString &fileName, int firstBank, int lastBank,
                    QString &errorText);

// As loadPresetFile, but only when the file supplies every preset of firstBank..lastBank
// with usable data: a full load is the file or nothing. Otherwise the store is unchanged
// and errorText names, bank by bank (counted in the file from 1), what is missing.
bool loadCompletePresetFile(BankStore &store, const QString &fileName, int firstBank, int lastBank,
                            QString &errorText);

// A name or author as it comes back from a preset file: the characters XML cannot carry
// at all (most control characters, unpaired surrogates) become spaces, and it is cut as
// every reader cuts it. A text of the module that reads so is the document's unchanged.
QString presetFileKeeps(const QString &text);

// The exact UTF-8 text savePresetFile writes.
QByteArray presetFileText(const BankStore &store, int firstBank, int lastBank);
