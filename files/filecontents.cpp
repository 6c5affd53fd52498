#include "files/filecontents.h"

#include "files/midifile.h"
#include "files/presetfile.h"
#include "files/presetfilereader.h"
#include "files/regularfile.h"
#include "files/sysexmessages.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>

namespace {

using State = FileContents::State;

QString text(const char *source)
{
    return QCoreApplication::translate("MainWindow", source);
}

// Without its information file, a backup of a choice still holds placeholders where the
// module's presets were not read; they are exactly the empty preset.
bool isPlaceholder(const PresetRecord &r)
{
    return r.name.isEmpty() && r.author.isEmpty() && r.category == 0 &&
           std::all_of(std::begin(r.params), std::end(r.params), [](auto v) { return v == 0; });
}

// A SysEx or Standard MIDI File is told by its name, so that a broken one says what it is.
bool isSyxLikeName(const QString &path)
{
    return isSyxName(path) || isMidiName(path);
}

void readSyx(FileContents &c, const QByteArray &data)
{
    // A MIDI file's SysEx events are read by the same rules as a SysEx file's messages.
    c.kind = isMidiFileBytes(data.left(12)) ? FileContents::Kind::MidiFile : FileContents::Kind::SysEx;
    c.syx = readSyxBytes(data);
    c.presets.fillEmptyBanks();
    c.presets.clearMarks();
    c.banks = BankCount;
    c.firstModuleBank = 0;
    if (!c.syx.usable()) {
        c.kind = FileContents::Kind::Unreadable;
        c.errorText = c.syx.errorText;
        return;
    }
    // Where a load puts them when nobody chooses: named positions, a dump from bank 2 on.
    // A write naming the factory bank is held there, though no load writes it.
    SyxTargets targets;
    targets.factoryWritable = true;
    const SyxPlacement placement = placeSyxPresets(c.syx, targets);
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            if (placement.sourceAt(b, p) >= 0) {
                c.presets.at(b, p) = placedSyxRecord(c.syx, placement, b, p);
                c.states[size_t(b * PresetsPerBank + p)] = State::Present;
            }
}

void readPresetFile(FileContents &c, const QString &path, const QByteArray &data)
{
    PresetFileReader reader;
    c.presets.fillEmptyBanks();
    c.presets.clearMarks(); // a set mark means "taken from the file"
    const PresetFileReader::Result result = reader.readData(data, &c.presets, 0, BankCount - 1);
    if (result != PresetFileReader::Result::Ok) {
        c.errorText = presetFileReadFailure(path, result, reader.banks());
        return;
    }
    c.kind = FileContents::Kind::PresetFile;
    c.banks = reader.banks();
    c.firstModuleBank = presetFileHomeBank(c.banks);
    for (int b = 0; b < c.banks; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            c.states[size_t(b * PresetsPerBank + p)] = p >= reader.presetsInBank(b) ? State::Missing
                                                       : c.presets.at(b, p).mark    ? State::Present
                                                                                    : State::Damaged;
    // Ours hold banks 2..16; a complete file copied in under such a name holds all 16.
    if (!BackupInfo::isBackupName(path) || c.banks < BankCount - 1)
        return;
    c.info = BackupInfo::read(path);
    c.kind = c.info.coverageKnown ? FileContents::Kind::Backup : FileContents::Kind::BackupWithoutInfo;
    for (int b = 0; b < c.banks; ++b) {
        const int module = c.moduleBank(b);
        if (module == 0)
            continue;
        for (int p = 0; p < PresetsPerBank; ++p) {
            State &s = c.states[size_t(b * PresetsPerBank + p)];
            if (c.info.coverageKnown ? !c.info.held.isSelected(module, p)
                                     : s == State::Present && isPlaceholder(c.presets.at(b, p)))
                s = State::NotHeld;
        }
    }
}

int countIn(const FileContents &c, State state, int first, int last)
{
    int n = 0;
    for (int b = std::max(first, 0); b <= std::min(last, c.banks - 1); ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            n += c.state(b, p) == state ? 1 : 0;
    return n;
}

} // namespace

FileContents::State FileContents::state(int fileBank, int preset) const
{
    return BankStore::validIndex(fileBank, preset) ? states[size_t(fileBank * PresetsPerBank + preset)]
                                                   : State::NotHeld;
}

int FileContents::damaged(int first, int last) const
{
    return countIn(*this, State::Damaged, first, last);
}

int FileContents::missing(int first, int last) const
{
    return countIn(*this, State::Missing, first, last);
}

SelectionMask FileContents::positions(State wanted, int startBank) const
{
    const int start = startBank < 0 ? firstModuleBank : startBank;
    SelectionMask mask;
    for (int b = 0; b < banks && start + b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            if (state(b, p) == wanted)
                mask.set(start + b, p);
    return mask;
}

BankStore FileContents::placed(int startBank) const
{
    const int start = startBank < 0 ? firstModuleBank : startBank;
    BankStore out;
    out.fillEmptyBanks();
    out.clearMarks();
    for (int b = 0; b < banks && start + b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            if (state(b, p) == State::Present)
                out.at(start + b, p) = presets.at(b, p);
    return out;
}

QString FileContents::problemsText(int first, int last) const
{
    first = std::max(first, 0);
    last = std::min(last, banks - 1);
    QStringList lines;
    for (int b = first; b <= last; ++b) {
        int held = 0, bad = 0, absent = 0;
        for (int p = 0; p < PresetsPerBank; ++p) {
            const State s = state(b, p);
            held += s == State::Missing ? 0 : 1;
            bad += s == State::Damaged ? 1 : 0;
            absent += s == State::Missing ? 1 : 0;
        }
        if (absent > 0 && bad == 0)
            lines << (held == 1
                          ? text(QT_TRANSLATE_NOOP("MainWindow", "bank %1 holds 1 preset; %2 are needed"))
                                .arg(b + 1)
                                .arg(PresetsPerBank)
                          : text(QT_TRANSLATE_NOOP("MainWindow", "bank %1 holds %2 presets; %3 are needed"))
                                .arg(b + 1)
                                .arg(held)
                                .arg(PresetsPerBank));
        else if (absent > 0)
            lines << (held == 1
                          ? text(
                                QT_TRANSLATE_NOOP("MainWindow",
                                                  "bank %1 holds 1 preset, with damaged data; %2 are needed"))
                                .arg(b + 1)
                                .arg(PresetsPerBank)
                          : text(QT_TRANSLATE_NOOP(
                                     "MainWindow",
                                     "bank %1 holds %2 presets, %3 of them with damaged data; %4 are needed"))
                                .arg(b + 1)
                                .arg(held)
                                .arg(bad)
                                .arg(PresetsPerBank));
        else if (bad > 0)
            lines << text(QT_TRANSLATE_NOOP("MainWindow", "bank %1: presets with damaged data: %2"))
                         .arg(b + 1)
                         .arg(bad);
    }
    if (lines.isEmpty())
        return QString();
    return text(QT_TRANSLATE_NOOP("MainWindow", "The file does not hold every preset of its banks:")) +
           QLatin1Char('\n') + lines.join(QLatin1Char('\n'));
}

QString FileContents::positionsText(const SelectionMask &where, int limit)
{
    QStringList names;
    int bank = -1, preset = 0;
    const int total = where.count();
    while (names.size() < limit && where.step(bank, preset, true, false))
        names << QStringLiteral("%1 · %2").arg(bank + 1).arg(preset + 1);
    if (total > names.size())
        names << QStringLiteral("…");
    return names.join(QStringLiteral(", "));
}

FileContents fileContentsOf(const QString &path, const QByteArray &data)
{
    FileContents c;
    // A SysEx or MIDI file is told by its name or by its first bytes, so a renamed dump still
    // reads.
    if (isSyxLikeName(path) || (!data.isEmpty() && uint8_t(data[0]) == Sysex::Start) ||
        isMidiFileBytes(data.left(12)))
        readSyx(c, data);
    else
        readPresetFile(c, path, data);
    return c;
}

bool isPlainPresetFileName(const QString &path)
{
    return !isSyxLikeName(path) && !BackupInfo::isBackupName(path);
}

bool isPresetSourceName(const QString &path)
{
    return path.endsWith(QLatin1String(".pre"), Qt::CaseInsensitive) || isSyxLikeName(path);
}

int firstModuleBankOf(const QString &path)
{
    QByteArray first;
    if (isSyxLikeName(path) ||
        (RegularFile::readStart(path, 12, first) == RegularFile::Result::Ok && !first.isEmpty() &&
         (uint8_t(first[0]) == Sysex::Start || isMidiFileBytes(first))))
        return 0;
    PresetFileReader reader;
    if (reader.readFile(path) != PresetFileReader::Result::Ok || reader.banks() == 0)
        return -1;
    return presetFileHomeBank(reader.banks());
}

QString fileReadFailureText(const QString &path, RegularFile::Result result)
{
    switch (result) {
    case RegularFile::Result::Ok:
        return QString();
    case RegularFile::Result::CantOpen:
        break;
    case RegularFile::Result::NotRegular:
        return isSyxLikeName(path) ? syxReadFailureText(SyxReadFailure::NotRegular)
                                   : presetFileReadFailure(path, PresetFileReader::Result::NotRegular, 0);
    case RegularFile::Result::TooLarge:
        return isSyxLikeName(path) ? syxReadFailureText(SyxReadFailure::TooLarge)
                                   : presetFileReadFailure(path, PresetFileReader::Result::NotValid, 0);
    }
    const QFileInfo info(path);
    return isSyxLikeName(path) && !info.isDir() && info.exists()
               ? syxReadFailureText(SyxReadFailure::CantOpen)
               : presetFileReadFailure(path, PresetFileReader::Result::CantOpen, 0);
}

FileContents readFileContents(const QString &path)
{
    QByteArray data;
    const RegularFile::Result result = RegularFile::read(path, PresetFileReader::MaxFileSize, data);
    if (result == RegularFile::Result::Ok)
        return fileContentsOf(path, data);
    FileContents c;
    c.errorText = fileReadFailureText(path, result);
    return c;
}
