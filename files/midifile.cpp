#include "files/midifile.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstring>

namespace {

const char *const Context = "MidiFile";

QString text(const char *source)
{
    return QCoreApplication::translate(Context, source);
}

// Ends a message that was cut off: a status byte that starts nothing, so the SysEx reader
// counts the message as damaged and takes nothing of it.
constexpr char CutMarker = char(0xF4);

struct Played
{
    qint64 tick = 0;
    QByteArray bytes;
};

// A structural fault: the whole file is refused, never read in part.
struct Broken
{
    QString why;
};

class Reader
{
public:
    explicit Reader(const uint8_t *data) : data(data) {}

    // The SysEx of one MTrk chunk's body [begin, end), appended to `out`.
    bool track(std::size_t begin, std::size_t end, int number, std::vector<Played> &out, MidiSysex &result,
               Broken &broken)
    {
        std::size_t pos = begin;
        qint64 tick = 0;
        uint8_t running = 0;
        bool pending = false;
        Played current;
        auto fail = [&](const char *why) {
            broken.why = text(why).arg(number);
            return false;
        };
        auto cut = [&] {
            if (pending) {
                current.bytes.append(CutMarker);
                out.push_back(std::move(current));
                current = Played();
                pending = false;
            }
        };
        while (pos < end) {
            quint32 delta = 0;
            if (!varLength(pos, end, delta))
                return fail(QT_TRANSLATE_NOOP("MidiFile", "Track %1 is damaged: a time or length runs past "
                                                          "its end or is too long."));
            tick += delta;
            if (pos >= end)
                return fail(QT_TRANSLATE_NOOP("MidiFile", "Track %1 ends in the middle of an event."));
            const uint8_t status = data[pos];
            if (status == 0xFF || status == 0xF0 || status == 0xF7) {
                ++pos;
                uint8_t metaType = 0;
                if (status == 0xFF) {
                    if (pos >= end)
                        return fail(
                            QT_TRANSLATE_NOOP("MidiFile", "Track %1 ends in the middle of an event."));
                    metaType = data[pos++];
                }
                quint32 length = 0;
                if (!varLength(pos, end, length) || length > end - pos)
                    return fail(QT_TRANSLATE_NOOP("MidiFile", "Track %1 is damaged: an event's length "
                                                              "reaches past the end of the track."));
                const char *body = reinterpret_cast<const char *>(data + pos);
                pos += length;
                // System exclusive and meta events end any running status.
                running = 0;
                if (status == 0xFF) {
                    if (metaType == 0x2F) // end of track: whatever follows is not played
                        break;
                    continue;
                }
                if (status == 0xF0) {
                    cut();
                    current.tick = tick;
                    current.bytes = QByteArray(1, char(0xF0)) + QByteArray(body, int(length));
                    pending = true;
                } else if (pending) {
                    current.bytes.append(body, int(length)); // a continuation of a split message
                } else if (length > 0 && uint8_t(body[0]) == 0xF0) {
                    // An escape that sends a whole message as raw bytes.
                    current.tick = tick;
                    current.bytes = QByteArray(body, int(length));
                    pending = true;
                } else {
                    ++result.otherEvents; // raw bytes of something else
                    continue;
                }
                ++result.sysexEvents;
                if (!current.bytes.isEmpty() && uint8_t(current.bytes.back()) == 0xF7) {
                    out.push_back(std::move(current));
                    current = Played();
                    pending = false;
                }
                continue;
            }
            if (status >= 0xF0)
                return fail(QT_TRANSLATE_NOOP("MidiFile", "Track %1 is damaged: it holds a status byte "
                                                          "that a MIDI file can't hold."));
            if (status >= 0x80) {
                running = status;
                ++pos;
            } else if (running == 0) {
                return fail(QT_TRANSLATE_NOOP("MidiFile", "Track %1 is damaged: an event has no status."));
            }
            const std::size_t dataBytes = (running & 0xE0) == 0xC0 ? 1 : 2; // program change, pressure: one
            if (dataBytes > end - pos)
                return fail(QT_TRANSLATE_NOOP("MidiFile", "Track %1 ends in the middle of an event."));
            for (std::size_t i = 0; i < dataBytes; ++i)
                if (data[pos + i] & 0x80)
                    return fail(
                        QT_TRANSLATE_NOOP("MidiFile", "Track %1 is damaged: an event has no status."));
            pos += dataBytes;
            ++result.otherEvents;
            cut(); // on the cable a channel message ends any SysEx message under way
        }
        cut();
        return true;
    }

private:
    bool varLength(std::size_t &pos, std::size_t end, quint32 &value) const
    {
        value = 0;
        for (int i = 0; i < 4; ++i) {
            if (pos >= end)
                return false;
            const uint8_t b = data[pos++];
            value = (value << 7) | (b & 0x7F);
            if (!(b & 0x80))
                return true;
        }
        return false; // more than four bytes: no such quantity in a MIDI file
    }

    const uint8_t *data;
};

quint32 bigEndian32(const uint8_t *p)
{
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3];
}

quint32 littleEndian32(const uint8_t *p)
{
    return quint32(p[3]) << 24 | quint32(p[2]) << 16 | quint32(p[1]) << 8 | p[0];
}

const char *const CutOff =
    QT_TRANSLATE_NOOP("MidiFile", "The file is cut off: a chunk's length reaches past the end of the file.");

// The SMF inside a RIFF "RMID" file: its "data" chunk. False with `why` set when there is none.
bool riffData(const uint8_t *data, std::size_t size, std::size_t &begin, std::size_t &end, QString &why)
{
    const std::size_t riffEnd = 8 + std::size_t(littleEndian32(data + 4));
    if (riffEnd > size) {
        why = text(CutOff);
        return false;
    }
    std::size_t pos = 12;
    while (pos + 8 <= riffEnd) {
        const std::size_t length = littleEndian32(data + pos + 4);
        if (length > riffEnd - pos - 8) {
            why = text(CutOff);
            return false;
        }
        if (std::memcmp(data + pos, "data", 4) == 0) {
            begin = pos + 8;
            end = begin + length;
            return true;
        }
        pos += 8 + length + (length & 1);
    }
    why = text(QT_TRANSLATE_NOOP("MidiFile", "The RIFF file holds no MIDI data."));
    return false;
}

void putBigEndian(QByteArray &out, quint32 value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

void putVarLength(QByteArray &out, quint32 value)
{
    char buffer[5];
    int n = 0;
    buffer[n++] = char(value & 0x7F);
    while (value >>= 7)
        buffer[n++] = char(0x80 | (value & 0x7F));
    while (n > 0)
        out.append(buffer[--n]);
}

int clampedPause(int pauseMs)
{
    return std::clamp(pauseMs, 0, MidiTiming::MaxPauseMs);
}

} // namespace

bool isMidiFileBytes(const QByteArray &start)
{
    return start.startsWith("MThd") ||
           (start.size() >= 12 && start.startsWith("RIFF") && start.mid(8, 4) == "RMID");
}

bool isMidiName(const QString &fileName)
{
    for (const char *suffix : {".mid", ".midi", ".rmi"})
        if (fileName.endsWith(QLatin1String(suffix), Qt::CaseInsensitive))
            return true;
    return false;
}

MidiSysex readMidiBytes(const QByteArray &bytes)
{
    MidiSysex result;
    const auto *data = reinterpret_cast<const uint8_t *>(bytes.constData());
    std::size_t begin = 0;
    std::size_t end = std::size_t(bytes.size());
    if (bytes.startsWith("RIFF") && end >= 12 && !riffData(data, end, begin, end, result.errorText))
        return result;

    // The header: "MThd", its length (6 or more), format, number of tracks, division.
    if (end - begin < 14 || std::memcmp(data + begin, "MThd", 4) != 0 || bigEndian32(data + begin + 4) < 6) {
        result.errorText = text(QT_TRANSLATE_NOOP(
            "MidiFile", "This is not a Standard MIDI File: its header is missing or damaged."));
        return result;
    }
    const std::size_t headerLength = bigEndian32(data + begin + 4);
    if (headerLength > end - begin - 8) {
        result.errorText = text(CutOff);
        return result;
    }
    const int format = data[begin + 8] << 8 | data[begin + 9];
    const int announced = data[begin + 10] << 8 | data[begin + 11];
    if (format > 2) {
        result.errorText =
            text(QT_TRANSLATE_NOOP("MidiFile", "The MIDI file is of format %1, which no MIDI file has."))
                .arg(format);
        return result;
    }

    Reader reader(data);
    std::vector<Played> played;
    std::vector<std::size_t> trackStarts;
    Broken broken;
    int tracks = 0;
    std::size_t pos = begin + 8 + headerLength;
    while (pos < end) {
        // Padding after the last chunk is no chunk.
        if (end - pos < 8) {
            if (std::all_of(data + pos, data + end, [](uint8_t b) { return b == 0; }))
                break;
            result.errorText = text(CutOff);
            return result;
        }
        const std::size_t length = bigEndian32(data + pos + 4);
        if (length > end - pos - 8) {
            result.errorText = text(CutOff);
            return result;
        }
        // Chunks of other kinds are skipped, as every reader of MIDI files must.
        if (std::memcmp(data + pos, "MTrk", 4) == 0) {
            ++tracks;
            trackStarts.push_back(played.size());
            if (!reader.track(pos + 8, pos + 8 + length, tracks, played, result, broken)) {
                result.syx.clear();
                result.errorText = broken.why;
                return result;
            }
        }
        pos += 8 + length;
    }
    if (tracks < announced) {
        result.errorText =
            text(QT_TRANSLATE_NOOP("MidiFile",
                                   "The file is cut off: its header announces %1 tracks, it holds %2."))
                .arg(announced)
                .arg(tracks);
        return result;
    }
    // Format 1 plays its tracks at once: the messages go out in time order, a track's own
    // order kept for messages at the same time. Formats 0 and 2 play their tracks in turn.
    if (format == 1)
        std::stable_sort(played.begin(), played.end(),
                         [](const Played &a, const Played &b) { return a.tick < b.tick; });
    for (const Played &p : played)
        result.syx += p.bytes;
    if (played.empty())
        result.errorText = text(QT_TRANSLATE_NOOP("MidiFile", "The MIDI file holds no SysEx message."));
    return result;
}

namespace MidiTiming {
int cableMs(int bytes)
{
    return int((qint64(bytes) * 1000 + DinBytesPerSecond - 1) / DinBytesPerSecond);
}
} // namespace MidiTiming

qint64 midiFileDurationMs(const std::vector<std::vector<uint8_t>> &messages, int pauseMs)
{
    qint64 total = 0;
    for (const std::vector<uint8_t> &m : messages)
        total += MidiTiming::cableMs(int(m.size())) + clampedPause(pauseMs);
    return total;
}

QByteArray midiFileBytes(const std::vector<std::vector<uint8_t>> &messages, const QString &trackName,
                         int pauseMs)
{
    QByteArray track;
    const QByteArray name = trackName.toUtf8();
    track.append("\x00\xFF\x03", 3);
    putVarLength(track, quint32(name.size()));
    track.append(name);
    track.append("\x00\xFF\x51\x03", 4);
    putBigEndian(track, MidiTiming::MicrosecondsPerQuarter, 3);
    quint32 delta = 0; // ticks are milliseconds
    for (const std::vector<uint8_t> &m : messages) {
        if (m.size() < 2 || m.front() != 0xF0)
            continue;
        putVarLength(track, delta);
        track.append(char(0xF0));
        putVarLength(track, quint32(m.size() - 1));
        track.append(reinterpret_cast<const char *>(m.data() + 1), qsizetype(m.size() - 1));
        delta = quint32(MidiTiming::cableMs(int(m.size())) + clampedPause(pauseMs));
    }
    putVarLength(track, delta);
    track.append("\xFF\x2F\x00", 3);

    QByteArray file("MThd\x00\x00\x00\x06\x00\x00\x00\x01", 12);
    putBigEndian(file, MidiTiming::TicksPerQuarter, 2);
    file.append("MTrk");
    putBigEndian(file, quint32(track.size()), 4);
    file.append(track);
    return file;
}

QString midiDurationText(qint64 ms)
{
    const qint64 seconds = (ms + 999) / 1000;
    if (seconds >= 3600)
        return QString::asprintf("%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return QString::asprintf("%lld:%02lld", seconds / 60, seconds % 60);
}
