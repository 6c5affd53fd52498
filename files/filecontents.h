#pragma once

#include "files/backupinfo.h"
#include "files/regularfile.h"
#include "files/syxfile.h"
#include "model/bankstore.h"
#include "model/selectionmask.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

// What a file holds, read once: its kind, its banks with the module banks they belong to,
// and every preset as present, damaged or missing. Every reader above this folder (load,
// compare, backups, restore, the library, the command line) asks here, so they all agree
// on what a file holds and none of them turns a damaged preset into an empty one.
struct FileContents
{
    enum class Kind {
        Unreadable,        // errorText says why
        PresetFile,        // a ".pre" of 1..16 banks
        SysEx,             // raw SysEx messages: a ".syx", or any file that starts with one
        MidiFile,          // a Standard MIDI File's SysEx events, read like a SysEx file
        Backup,            // an export backup whose ".info" names the presets it holds
        BackupWithoutInfo, // an export backup without (a readable) ".info"
    };
    enum class State : uint8_t {
        NotHeld, // nothing of the file belongs here: past its banks, a backup's placeholder,
                 // a position a SysEx file does not fill
        Present,
        Damaged, // the file has this preset, but its data is not 256 hexadecimal digits
        Missing, // the file's bank ends before this preset
    };

    Kind kind = Kind::Unreadable;
    QString errorText; // empty unless Unreadable
    // The file's banks, numbered from 0 as the file holds them. A SysEx file has no banks
    // of its own: its presets stand where a load puts them by default, in 16 module banks.
    int banks = 0;
    // Whether a name is one of the files this program reads presets from: a preset file
    // (".pre"), a SysEx or a Standard MIDI File. For a walk through folders, which passes over
    // every other file without reading it.
    bool isPresetSourceName(const QString &path);

    // The module bank of the file's bank 0 where nobody chooses: bank 1 (index 0) for a
    // file of all 16 banks and for SysEx, bank 2 (index 1) for any smaller file; an
    // export backup is banks 2..16.
    int firstModuleBank = 0;
    // The presets at [file bank][preset]; the Present ones have their mark set.
    BankStore presets;
    SyxContents syx;           // SysEx and MidiFile
    BackupInfo::Contents info; // the backup kinds

    bool readable() const { return kind != Kind::Unreadable; }
    bool isBackup() const { return kind == Kind::Backup || kind == Kind::BackupWithoutInfo; }
    bool isSyx() const { return kind == Kind::SysEx || kind == Kind::MidiFile; }
    State state(int fileBank, int preset) const;
    int moduleBank(int fileBank) const { return firstModuleBank + fileBank; }

    // Presets of file banks first..last that the file should hold and does not.
    int damaged(int first = 0, int last = BankCount - 1) const;
    int missing(int first = 0, int last = BankCount - 1) const;
    // The module positions in `state`, with the file's bank 0 at module bank startBank
    // (-1: firstModuleBank); banks that would land past the last one are left out.
    SelectionMask positions(State state, int startBank = -1) const;
    // The file's banks first..last as a store laid out like the module, the file's bank 0
    // at startBank (-1: firstModuleBank); only Present presets are copied, marked.
    BankStore placed(int startBank = -1) const;
    // Why the file's banks first..last are not whole, one line per bank ("bank 2: presets
    // with damaged data: 1"), numbered as the file numbers them from 1; empty when whole.
    // A backup's placeholders count as whole.
    QString problemsText(int first = 0, int last = BankCount - 1) const;
    // The damaged and missing presets as module positions ("2 · 1, 3 · 5, …"), at most
    // `limit` of them, for a message that must name them.
    static QString positionsText(const SelectionMask &positions, int limit = 8);

    std::array<State, PresetCount> states{};
};

// Whether a file of this name holding a preset file's bytes is a plain preset file: not
// taken for SysEx by its name, no backup whose ".info" says what it holds. A faster
// reader of the written form (the library's) may read only such files itself.
bool isPlainPresetFileName(const QString &path);

// Whether a name is one of the files this program reads presets from: a preset file
// (".pre"), a SysEx or a Standard MIDI File. For a walk through folders, which passes over
// every other file without reading it.
bool isPresetSourceName(const QString &path);

// The module bank of the file's bank 0 where nobody chooses (firstModuleBank), from a
// check of the file without taking its presets; -1 when it cannot be read. For a reader
// that knows a file's presets by module bank and must name the file's own banks.
int firstModuleBankOf(const QString &path);

// Why the file at `path` could not be read (`result` of a RegularFile read), in the words a
// load of it gives: a SysEx or MIDI file's, or a preset file's.
QString fileReadFailureText(const QString &path, RegularFile::Result result);

// Reads the file at `path` once and says what it holds.
FileContents readFileContents(const QString &path);
// The same for bytes already read from `path` (its name still decides what kind of file
// it is, and a backup's ".info" is read beside it).
FileContents fileContentsOf(const QString &path, const QByteArray &data);
