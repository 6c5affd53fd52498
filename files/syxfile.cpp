#include "files/syxfile.h"

#include "base/appidentity.h"
#include "files/midifile.h"
#include "files/regularfile.h"
#include "files/sysexmessages.h"
#include "files/wholefilewriter.h"
#include "model/selectionmask.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace {

const char *const Context = "SyxFile";
const char *const CantOpenForRead = QT_TRANSLATE_NOOP("SyxFile", "The file can't be opened for reading.");
const char *const TooLarge = QT_TRANSLATE_NOOP("SyxFile", "The file is too large to be a preset dump.");
const char *const NotRegular =
    QT_TRANSLATE_NOOP("SyxFile", "The file is not a regular file (a pipe or a device).");
const char *const NothingToSave =
    QT_TRANSLATE_NOOP("SyxFile", "Nothing to save: the factory bank is never written to a SysEx file.");

QString text(const char *source)
{
    return QCoreApplication::translate(Context, source);
}

// One line for each count above zero: its text, which takes the count.
QString countLines(std::initializer_list<std::pair<int, const char *>> counts)
{
    QStringList lines;
    for (const auto &[count, source] : counts)
        if (count > 0)
            lines << text(source).arg(count);
    return lines.join(QLatin1Char('\n'));
}

// 2048 PresetWrites are 682 kB; anything far larger is not a preset dump, and reading
// it whole would only exhaust memory.
constexpr qint64 MaxFileSize = 32 * 1024 * 1024;

const uint8_t Address[Sysex::AddressLength] = {Sysex::Start, 0x00, 0x11, 0x22, 0x02};

bool isRealtime(uint8_t byte)
{
    return byte >= 0xF8;
}

// One complete message F0 .. F7, sorted into contents.
void takeMessage(const uint8_t *m, std::size_t length, SyxContents &contents)
{
    if (length < std::size_t(Sysex::AddressLength) ||
        !std::equal(Address, Address + Sysex::AddressLength, m)) {
        ++contents.foreign;
        return;
    }
    if (length < std::size_t(Sysex::HeaderLength) + 1) {
        ++contents.damaged;
        return;
    }
    switch (m[9]) {
    case Sysex::PresetWrite: {
        const auto request = Sysex::parseRequest(m, length);
        // Banks beyond 16 can't come from this program or the module: refuse rather than wrap.
        if (!request || !request->imageComplete || m[11] > 0x0F) {
            ++contents.damaged;
            return;
        }
        SyxPreset p;
        p.bank = request->bank;
        p.preset = request->preset;
        p.image = request->image;
        imageToRecord(Sysex::fromModule(p.bank, request->image).data(), p.record);
        contents.presets.push_back(std::move(p));
        ++contents.writes;
        return;
    }
    case Sysex::PresetData: {
        const Sysex::Reply reply = Sysex::parseReply(m, length);
        if (!reply.imageValid) {
            ++contents.damaged;
            return;
        }
        // No bank is named: the reply is taken as a user bank's, in the program's numbering.
        SyxPreset p;
        p.image = reply.image;
        imageToRecord(reply.image.data(), p.record);
        contents.presets.push_back(std::move(p));
        ++contents.replies;
        return;
    }
    default:
        ++contents.other;
        return;
    }
}

} // namespace

namespace {

// The messages of a ".syx" byte stream into contents, without the verdict.
int readMessages(const QByteArray &bytes, SyxContents &contents)
{
    const auto *data = reinterpret_cast<const uint8_t *>(bytes.constData());
    const std::size_t size = std::size_t(bytes.size());
    std::vector<uint8_t> current;
    current.reserve(Sysex::PresetWriteLength);
    bool inMessage = false;
    bool stray = false; // inside a run of bytes outside any message
    int messages = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const uint8_t b = data[i];
        if (inMessage) {
            if (b < 0x80) {
                current.push_back(b);
                continue;
            }
            // Real-time bytes may sit inside a SysEx message on the wire; they are not part of it.
            if (isRealtime(b))
                continue;
            if (b == Sysex::End) {
                current.push_back(b);
                takeMessage(current.data(), current.size(), contents);
                inMessage = false;
                continue;
            }
            // Any other status byte cuts the message off.
            ++contents.damaged;
            inMessage = false;
            stray = true;
        }
        if (b == Sysex::Start) {
            inMessage = true;
            stray = false;
            ++messages;
            current.assign(1, b);
        } else if (!stray) {
            ++contents.damaged;
            stray = true;
        }
    }
    if (inMessage)
        ++contents.damaged; // the file ends inside a message
    return messages;
}

} // namespace

SyxContents readSyxBytes(const QByteArray &bytes)
{
    SyxContents contents;
    int messages = 0;
    if (isMidiFileBytes(bytes.left(12))) {
        // A Standard MIDI File carries the same messages, in its SysEx events.
        const MidiSysex midi = readMidiBytes(bytes);
        if (!midi.errorText.isEmpty()) {
            contents.midiEvents = midi.otherEvents;
            contents.errorText = midi.errorText;
            return contents;
        }
        messages = readMessages(midi.syx, contents);
        contents.midiEvents = midi.otherEvents;
    } else {
        messages = readMessages(bytes, contents);
    }
    if (contents.presets.empty()) {
        if (bytes.isEmpty())
            contents.errorText = text(QT_TRANSLATE_NOOP("SyxFile", "The file is empty."));
        else if (messages == 0)
            contents.errorText =
                text(QT_TRANSLATE_NOOP("SyxFile", "This is not a SysEx file: it holds no SysEx message."));
        else
            contents.errorText =
                text(QT_TRANSLATE_NOOP("SyxFile", "The file holds no complete Orvex+ preset.")) +
                QLatin1Char('\n') + syxSkippedText(contents);
    }
    return contents;
}

SyxContents readSyxFile(const QString &fileName)
{
    QByteArray bytes;
    switch (RegularFile::read(fileName, MaxFileSize, bytes)) {
    case RegularFile::Result::Ok: {
        SyxContents contents = readSyxBytes(bytes);
        // A MIDI file is refused in the words of its own reader, which name no file; so is
        // one named as a MIDI file that holds no complete SysEx message either.
        const bool midi = isMidiFileBytes(bytes.left(12));
        if (!contents.usable() && (midi || (isMidiName(fileName) && contents.foreign + contents.other == 0)))
            contents.errorText = text(QT_TRANSLATE_NOOP("SyxFile", "%1 can't be loaded.\n%2"))
                                     .arg(QFileInfo(fileName).fileName(),
                                          midi ? contents.errorText : readMidiBytes(bytes).errorText);
        return contents;
    }
    case RegularFile::Result::CantOpen:
        break;
    case RegularFile::Result::NotRegular: {
        SyxContents contents;
        contents.errorText = syxReadFailureText(SyxReadFailure::NotRegular);
        return contents;
    }
    case RegularFile::Result::TooLarge: {
        SyxContents contents;
        contents.errorText = syxReadFailureText(SyxReadFailure::TooLarge);
        return contents;
    }
    }
    SyxContents contents;
    contents.errorText = syxReadFailureText(SyxReadFailure::CantOpen);
    return contents;
}

QString syxReadFailureText(SyxReadFailure failure)
{
    switch (failure) {
    case SyxReadFailure::CantOpen:
        break;
    case SyxReadFailure::TooLarge:
        return text(TooLarge);
    case SyxReadFailure::NotRegular:
        return text(NotRegular);
    }
    return text(CantOpenForRead);
}

bool isSyxName(const QString &fileName)
{
    return fileName.endsWith(QLatin1String(".syx"), Qt::CaseInsensitive);
}

bool isSyxFile(const QString &fileName)
{
    if (isSyxName(fileName) || isMidiName(fileName))
        return true;
    QByteArray first;
    return RegularFile::readStart(fileName, 12, first) == RegularFile::Result::Ok && !first.isEmpty() &&
           (uint8_t(first[0]) == Sysex::Start || isMidiFileBytes(first));
}

QString syxSkippedText(const SyxContents &contents)
{
    return countLines({
        {contents.foreign, QT_TRANSLATE_NOOP("SyxFile", "Messages for other devices skipped: %1.")},
        {contents.other, QT_TRANSLATE_NOOP("SyxFile", "Orvex+ messages without a preset skipped: %1.")},
        {contents.damaged, QT_TRANSLATE_NOOP("SyxFile", "Damaged or incomplete messages skipped: %1.")},
        {contents.midiEvents, QT_TRANSLATE_NOOP("SyxFile", "MIDI events without SysEx skipped: %1.")},
    });
}

SyxPlacement placeSyxPresets(const SyxContents &contents, const SyxTargets &targets)
{
    SyxPlacement placement;
    int shift = 0;
    if (targets.intoBank >= 0) {
        int lowest = BankCount;
        for (const SyxPreset &p : contents.presets)
            if (p.hasPosition())
                lowest = std::min(lowest, p.bank);
        shift = targets.intoBank - lowest;
    }
    int next = targets.replyBank * PresetsPerBank + targets.replyPreset;
    for (int i = 0; i < int(contents.presets.size()); ++i) {
        const SyxPreset &p = contents.presets[std::size_t(i)];
        const int at = p.hasPosition() ? (p.bank + shift) * PresetsPerBank + p.preset : next++;
        if (at >= PresetCount)
            ++placement.pastLastBank;
        else if (at < PresetsPerBank && !targets.factoryWritable)
            ++placement.factoryLeftOut;
        else if (at >= 0)
            placement.source[std::size_t(at)] = i;
    }
    placement.placed =
        int(std::count_if(placement.source.begin(), placement.source.end(), [](int i) { return i >= 0; }));
    return placement;
}

SyxLosses syxLosses(const BankStore &store, const SelectionMask &presets, int factoryPresets)
{
    SyxLosses losses;
    losses.factoryPresets = factoryPresets;
    for (int b = FirstUserBank; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            if (!presets.isSelected(b, p))
                continue;
            losses.names += keptInImage(store.at(b, p).name) ? 0 : 1;
            losses.authors += keptInImage(store.at(b, p).author) ? 0 : 1;
        }
    return losses;
}

QString syxLossesText(const SyxLosses &losses)
{
    return countLines({
        {losses.factoryPresets, QT_TRANSLATE_NOOP("SyxFile", "Presets of the factory bank left out: %1.")},
        {losses.names, QT_TRANSLATE_NOOP("SyxFile", "Names longer than 32 characters or with characters "
                                                    "outside ASCII (cut or changed): %1.")},
        {losses.authors, QT_TRANSLATE_NOOP("SyxFile", "Authors longer than 32 characters or with characters "
                                                      "outside ASCII (cut or changed): %1.")},
    });
}

PresetRecord placedSyxRecord(const SyxContents &contents, const SyxPlacement &placement, int bank, int preset)
{
    const SyxPreset &from = contents.presets[std::size_t(placement.sourceAt(bank, preset))];
    if (from.hasPosition())
        return from.record;
    PresetRecord record;
    imageToRecord(Sysex::fromModule(bank, from.image).data(), record);
    return record;
}

std::vector<std::vector<uint8_t>> syxMessages(const BankStore &store, const SelectionMask &presets)
{
    std::vector<std::vector<uint8_t>> messages;
    PresetImage image{};
    for (int b = FirstUserBank; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            if (!presets.isSelected(b, p))
                continue;
            recordToImage(store.at(b, p), image.data());
            messages.push_back(Sysex::presetWrite(p, b, Sysex::toModule(b, image)));
        }
    return messages;
}

QByteArray syxFileBytes(const BankStore &store, const SelectionMask &presets)
{
    QByteArray bytes;
    bytes.reserve(Sysex::PresetWriteLength * PresetsPerBank);
    for (const std::vector<uint8_t> &m : syxMessages(store, presets))
        bytes.append(reinterpret_cast<const char *>(m.data()), qsizetype(m.size()));
    return bytes;
}

QString midiTrackName(const SelectionMask &presets)
{
    // Whole user banks are named as banks (numbered as the module shows them), else a count.
    int first = -1;
    int last = -1;
    bool wholeBanks = true;
    int count = 0;
    for (int b = FirstUserBank; b < BankCount; ++b) {
        int inBank = 0;
        for (int p = 0; p < PresetsPerBank; ++p)
            inBank += presets.isSelected(b, p) ? 1 : 0;
        count += inBank;
        if (inBank == 0)
            continue;
        wholeBanks = wholeBanks && inBank == PresetsPerBank && (last < 0 || last == b - 1);
        first = first < 0 ? b : first;
        last = b;
    }
    QString what;
    if (wholeBanks && first >= 0)
        what = first == last ? QStringLiteral("bank %1").arg(first + 1)
                             : QStringLiteral("banks %1-%2").arg(first + 1).arg(last + 1);
    else
        what = count == 1 ? QStringLiteral("1 preset") : QStringLiteral("%1 presets").arg(count);
    return AppIdentity::ProgramName + QStringLiteral(": ") + what;
}

bool saveMidiFile(const BankStore &store, const SelectionMask &presets, const QString &fileName, int pauseMs,
                  QString &errorText)
{
    const std::vector<std::vector<uint8_t>> messages = syxMessages(store, presets);
    if (messages.empty()) {
        errorText = text(NothingToSave);
        return false;
    }
    const WholeFileWriter::Result result =
        WholeFileWriter::write(fileName, midiFileBytes(messages, midiTrackName(presets), pauseMs));
    if (result == WholeFileWriter::Result::Written)
        return true;
    errorText = WholeFileWriter::errorText(result, fileName);
    return false;
}

bool saveSyxFile(const BankStore &store, const SelectionMask &presets, const QString &fileName,
                 QString &errorText)
{
    const QByteArray bytes = syxFileBytes(store, presets);
    if (bytes.isEmpty()) {
        errorText = text(NothingToSave);
        return false;
    }
    const WholeFileWriter::Result result = WholeFileWriter::write(fileName, bytes);
    if (result == WholeFileWriter::Result::Written)
        return true;
    errorText = WholeFileWriter::errorText(result, fileName);
    return false;
}
