#pragma once

#include "model/bankstore.h"

#include <QByteArray>
#include <QString>

#include <vector>

class SelectionMask;

// ".syx" files: raw SysEx messages back to back, as every SysEx tool reads and writes
// them. Presets travel as the module's own messages: a PresetWrite names its position,
// a PresetData reply (a dump captured from the module) names none.
//
// Messages are translatable texts of the "SyxFile" context.

// One preset found in a file.
struct SyxPreset
{
    // The position a PresetWrite names: bank index 0..15, preset index 0..127.
    // Both -1 for a PresetData reply, which the caller places in file order.
    int bank = -1;
    int preset = -1;
    // In the program's category numbering (the module counts the factory bank's two
    // lower); the mark is set. A reply's is that of a user bank: where it lands decides,
    // so take placed presets through placedSyxRecord.
    PresetRecord record;
    PresetImage image{}; // as the message carries it, in the module's numbering

    bool hasPosition() const { return bank >= 0; }
};

struct SyxContents
{
    std::vector<SyxPreset> presets; // in file order; a later one for the same position wins
    int writes = 0;                 // PresetWrite messages among presets
    int replies = 0;                // PresetData replies among presets
    int foreign = 0;                // complete SysEx messages for other devices
    int other = 0;                  // the module's messages that carry no preset
    int damaged = 0;                // cut-off or malformed messages, stray bytes between messages
    int midiEvents = 0;             // a MIDI file's events that carry no SysEx (notes, controllers)
    // Set when no preset is usable, saying why; empty otherwise.
    QString errorText;

    bool usable() const { return !presets.empty(); }
    int skipped() const { return foreign + other + damaged + midiEvents; }
};

// Reads the messages from the bytes of a whole file. Never fails on damaged input:
// whatever is not a complete preset message is counted and passed over. Bytes that are a
// Standard MIDI File (by their content, whatever the name) give the messages of its SysEx
// events; a MIDI file whose structure is broken gives none.
SyxContents readSyxBytes(const QByteArray &bytes);
// As readSyxBytes; errorText also says when the file can't be read.
SyxContents readSyxFile(const QString &fileName);

// Why a SysEx file gave no bytes to read, in the words readSyxFile uses.
enum class SyxReadFailure { CantOpen, TooLarge, NotRegular };
QString syxReadFailureText(SyxReadFailure failure);

// True for a name ending in ".syx", in any case.
bool isSyxName(const QString &fileName);
// True for a name ending in ".syx" or naming a MIDI file (any case), or a file whose first
// byte starts a SysEx message or that starts as a Standard MIDI File, so a renamed dump is
// still recognised.
bool isSyxFile(const QString &fileName);

// What was passed over, for the user, one line per kind: empty when nothing was.
QString syxSkippedText(const SyxContents &contents);

// Where a file's presets land in the 16 x 128 banks.
struct SyxPlacement
{
    // For each position bank * 128 + preset: the index into SyxContents::presets of the
    // preset that lands there (the last one, when several name it), or -1.
    std::vector<int> source = std::vector<int>(PresetCount, -1);
    int placed = 0;         // positions that receive a preset
    int factoryLeftOut = 0; // presets that would land in the factory bank
    int pastLastBank = 0;   // presets that would land after bank 16

    int sourceAt(int bank, int preset) const { return source[bank * PresetsPerBank + preset]; }
};

struct SyxTargets
{
    // PresetWrites go to the positions they name, or, with intoBank >= 0, keep their
    // presets but move so that the lowest bank they name lands in intoBank.
    int intoBank = -1;
    // PresetData replies fill the positions from (replyBank, replyPreset) on, in file order;
    // unless chosen otherwise, from the first user bank.
    int replyBank = 1;
    int replyPreset = 0;
    // Only a conversion into a file may fill the factory bank; the program never writes it.
    bool factoryWritable = false;
};

// The one placement rule for presets taken from the module's messages, shared by every
// reader of SysEx files: the window's load, the library and the command line.
SyxPlacement placeSyxPresets(const SyxContents &contents, const SyxTargets &targets);

// The preset a placement puts at (bank, preset), marked. A write keeps the conversion of
// the bank it names; a reply names none, so it counts as one of the bank it lands in, and
// the module counts the factory bank's categories two lower.
PresetRecord placedSyxRecord(const SyxContents &contents, const SyxPlacement &placement, int bank,
                             int preset);

// What a SysEx file of some presets can't keep of the document: it holds what the module
// keeps, no factory bank and 32 printable ASCII characters per name and author.
struct SyxLosses
{
    int factoryPresets = 0; // asked for but never written
    int names = 0;          // shortened or changed
    int authors = 0;

    bool any() const { return factoryPresets > 0 || names > 0 || authors > 0; }
};

// The losses of a SysEx file of `presets` (user presets only), when factoryPresets of
// the factory bank were asked for too.
SyxLosses syxLosses(const BankStore &store, const SelectionMask &presets, int factoryPresets);
// The losses for the user, one line each, in the "SyxFile" context.
QString syxLossesText(const SyxLosses &losses);

// One PresetWrite per selected user preset, in bank and preset order. The factory bank is
// never written: sending the file must not be able to overwrite it.
QByteArray syxFileBytes(const BankStore &store, const SelectionMask &presets);
// The same messages one by one, for a file that spaces them.
std::vector<std::vector<uint8_t>> syxMessages(const BankStore &store, const SelectionMask &presets);
// A Standard MIDI File's track name for those presets: the program and what the file holds.
QString midiTrackName(const SelectionMask &presets);
// Writes the messages of syxFileBytes as a Standard MIDI File (see midifile.h), replacing
// the file only once all is written; false with errorText set as saveSyxFile.
bool saveMidiFile(const BankStore &store, const SelectionMask &presets, const QString &fileName, int pauseMs,
                  QString &errorText);
// Writes syxFileBytes to the file, replacing it only once all is written. False with
// errorText set when it can't be written or nothing is selected outside the factory bank.
bool saveSyxFile(const BankStore &store, const SelectionMask &presets, const QString &fileName,
                 QString &errorText);
