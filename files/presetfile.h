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

// Writes banks firstBank..lastBank, every preset whatever its mark. The file is replaced
// only once the whole text is written and synced: a failed save keeps the previous file
// intact. A device or FIFO is written directly. "can't open file for write" when nothing
// could be written, "can't write file" for any later failure.
bool savePresetFile(const BankStore &store, const QString &fileName, int firstBank, int lastBank,
                    QString &errorText);

// Checks the file and returns the number of "bank" children of its document element,
// or -1 when a check fails.
int countPresetFileBanks(const QString &fileName, QString &errorText);

// The message loadPresetFile leaves for a reader's failure, for readers of a file's bytes
// (the library) that must name it in the same words.
QString presetFileLoadFailure(PresetFileReader::Result result);

// Checks the file, then reads its banks in order into firstBank..lastBank. Only presets
// with usable data (256 characters) are taken; each taken record gets its mark set,
// everything else stays exactly as it was.
bool loadPresetFile(BankStore &store, const QString &fileName, int firstBank, int lastBank,
                    QString &errorText);

// As loadPresetFile, but only when the file supplies every preset of firstBank..lastBank
// with usable data: a full load is the file or nothing. Otherwise the store is unchanged
// and errorText names, bank by bank (counted in the file from 1), what is missing.
bool loadCompletePresetFile(BankStore &store, const QString &fileName, int firstBank, int lastBank,
                            QString &errorText);

// The exact UTF-8 text savePresetFile writes.
QByteArray presetFileText(const BankStore &store, int firstBank, int lastBank);
