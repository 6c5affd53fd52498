// Standard MIDI Files: the SysEx they carry reads exactly as the same messages in a ".syx",
// whatever the file's shape; broken files give nothing, never part of what they hold.
#include "common/testfiles.h"
#include "files/midifile.h"
#include "files/sysexmessages.h"
#include "files/syxfile.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray bytesOf(const std::vector<uint8_t> &m)
{
    return QByteArray(reinterpret_cast<const char *>(m.data()), qsizetype(m.size()));
}

QByteArray presetMessage(QRandomGenerator &random)
{
    PresetImage image{};
    for (int k = 0; k < 128; ++k)
        image[std::size_t(k)] = uint8_t(random.bounded(256));
    image[PresetImageLayout::CategoryOffset] = uint8_t(random.bounded(14));
    if (random.bounded(4) == 0)
        return bytesOf(Sysex::presetData(image));
    return bytesOf(Sysex::presetWrite(random.bounded(128), 1 + random.bounded(15), image));
}

QByteArray varLength(quint32 v)
{
    QByteArray out(1, char(v & 0x7F));
    while (v >>= 7)
        out.prepend(char(0x80 | (v & 0x7F)));
    return out;
}

// n bytes, most significant first; RIFF counts its sizes the other way round.
QByteArray be(quint32 v, int n, bool littleEndian = false)
{
    QByteArray out;
    for (int i = n - 1; i >= 0; --i)
        out += char((v >> (8 * (littleEndian ? n - 1 - i : i))) & 0xFF);
    return out;
}

QByteArray chunk(const char *id, const QByteArray &body)
{
    return QByteArray(id, 4) + be(quint32(body.size()), 4) + body;
}

QByteArray smf(int format, int division, const QList<QByteArray> &tracks)
{
    QByteArray file =
        chunk("MThd", be(quint32(format), 2) + be(quint32(tracks.size()), 2) + be(quint32(division), 2));
    for (const QByteArray &t : tracks)
        file += chunk("MTrk", t + QByteArray::fromHex("00FF2F00"));
    return file;
}

QByteArray rmid(const QByteArray &midi)
{
    QByteArray body = "RMID" + QByteArray("data") + be(quint32(midi.size()), 4, true) + midi;
    if (midi.size() & 1)
        body += '\0';
    return "RIFF" + be(quint32(body.size()), 4, true) + body;
}

// What a reader must take from a file: each preset's position and image, in order.
QList<QByteArray> presetsOf(const SyxContents &c)
{
    QList<QByteArray> out;
    for (const SyxPreset &p : c.presets)
        out << QByteArray::number(p.bank) + ':' + QByteArray::number(p.preset) + ':' +
                   QByteArray(reinterpret_cast<const char *>(p.image.data()), int(p.image.size())).toHex();
    return out;
}

QByteArray noteOn(QRandomGenerator &random, uint8_t &running, int &events)
{
    ++events;
    const uint8_t status = uint8_t(0x80 + 0x10 * random.bounded(7) + random.bounded(16));
    const int dataBytes = (status & 0xE0) == 0xC0 ? 1 : 2;
    QByteArray out;
    if (status != running || random.bounded(2) == 0)
        out += char(status);
    running = status;
    for (int i = 0; i < dataBytes; ++i)
        out += char(random.bounded(128));
    return out;
}

} // namespace

class TestMidiFile : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    // Random files of every shape a tool writes: formats 0 and 1, several tracks, split
    // messages, running status, meta and channel events between them, RIFF wrapped or not.
    void readsWhatTheSameSyxHolds()
    {
        QRandomGenerator random(4242);
        for (int round = 0; round < 200; ++round) {
            const int format = random.bounded(2);
            const int trackCount = format == 0 ? 1 : 1 + random.bounded(4);
            QList<QByteArray> messages;
            QByteArray syx;
            const int count = random.bounded(1, 12);
            for (int i = 0; i < count; ++i) {
                messages << (random.bounded(8) == 0 ? QByteArray::fromHex("F043100C0102F7")
                                                    : presetMessage(random));
                syx += messages.back();
            }
            QList<QByteArray> tracks(trackCount);
            QList<qint64> lastTick(trackCount, 0);
            QList<uint8_t> running(trackCount, 0);
            int channelEvents = 0;
            // Message i plays at tick 10 * i + 5 in a random track, so time order is file order.
            for (int i = 0; i < count; ++i) {
                const int t = random.bounded(trackCount);
                QByteArray &track = tracks[t];
                if (random.bounded(2)) { // a channel event or a meta event before it
                    const qint64 at = 10 * i;
                    track += varLength(quint32(at - lastTick[t]));
                    lastTick[t] = at;
                    if (random.bounded(2)) {
                        track += noteOn(random, running[t], channelEvents);
                    } else {
                        track += QByteArray::fromHex("FF0103") + "abc";
                        running[t] = 0;
                    }
                }
                const QByteArray &m = messages.at(i);
                const int split = random.bounded(3) == 0 ? random.bounded(1, int(m.size())) : int(m.size());
                const bool asEscape = random.bounded(10) == 0;
                track += varLength(quint32(10 * i + 5 - lastTick[t]));
                lastTick[t] = 10 * i + 5;
                const QByteArray first = asEscape ? m.left(split) : m.mid(1, split - 1);
                track += char(asEscape ? 0xF7 : 0xF0) + varLength(quint32(first.size())) + first;
                if (split < m.size()) {
                    // Meta events may sit between the packets; the continuation ends the message.
                    if (random.bounded(2))
                        track += QByteArray::fromHex("00FF7F0100");
                    track +=
                        QByteArray(1, 0) + char(0xF7) + varLength(quint32(m.size() - split)) + m.mid(split);
                }
                running[t] = 0;
            }
            QByteArray file = smf(format, 480, tracks);
            if (random.bounded(3) == 0)
                file = rmid(file);

            const SyxContents expected = readSyxBytes(syx);
            const SyxContents read = readSyxBytes(file);
            QVERIFY2(read.usable() == expected.usable(), qPrintable(QString::number(round) + read.errorText));
            QCOMPARE(presetsOf(read), presetsOf(expected));
            QCOMPARE(read.foreign, expected.foreign);
            QCOMPARE(read.damaged, 0);
            QCOMPARE(read.midiEvents, channelEvents);
        }
    }

    // Every way a file can be broken or useless: refused whole, with a reason.
    void refusesBrokenFilesWhole()
    {
        QRandomGenerator random(7);
        const QByteArray m = presetMessage(random);
        const QByteArray event = QByteArray(1, 0) + char(0xF0) + varLength(quint32(m.size() - 1)) + m.mid(1);
        const QByteArray good = smf(1, 96, {event, event});
        QVERIFY(readSyxBytes(good).usable());
        // Cut anywhere: nothing is taken, not even the first track.
        for (int cut = 0; cut < good.size(); ++cut) {
            const SyxContents c = readSyxBytes(good.left(cut));
            QVERIFY2(!c.usable() && !c.errorText.isEmpty(), qPrintable(QString::number(cut)));
        }
        QByteArray huge = good;
        huge.replace(18, 4, QByteArray(4, char(0xFF))); // the first track claims 4 GB
        QByteArray longEvent = smf(0, 96, {QByteArray(1, 0) + char(0xF0) + varLength(100000) + m.mid(1)});
        QByteArray noStatus = smf(0, 96, {QByteArray::fromHex("004060") + event});
        QByteArray longVarLength = smf(0, 96, {QByteArray::fromHex("8080808000") + event});
        QByteArray header5 = good;
        header5[7] = 5;
        const QList<QByteArray> broken{huge,          longEvent, noStatus,
                                       longVarLength, header5,   rmid(good).left(good.size() + 10)};
        for (const QByteArray &b : broken)
            QVERIFY(!readSyxBytes(b).usable() && !readSyxBytes(b).errorText.isEmpty());

        // Useless but whole: no SysEx, another device's SysEx, a split message cut by a note.
        const SyxContents notes = readSyxBytes(smf(0, 96, {QByteArray::fromHex("00903C4010803C00")}));
        QVERIFY(!notes.usable() && notes.midiEvents == 2);
        const SyxContents foreign = readSyxBytes(smf(0, 96, {QByteArray::fromHex("00F00643100C0102F7")}));
        QVERIFY(!foreign.usable() && foreign.foreign == 1);
        QVERIFY(foreign.errorText.contains(QLatin1String("other devices")));
        const QByteArray cut = smf(0, 96,
                                   {QByteArray(1, 0) + char(0xF0) + varLength(20) + m.mid(1, 20) +
                                    QByteArray::fromHex("00903C40") + QByteArray(1, 0) + char(0xF7) +
                                    varLength(quint32(m.size() - 21)) + m.mid(21) + event});
        const SyxContents c = readSyxBytes(cut);
        QCOMPARE(int(c.presets.size()), 1);
        QCOMPARE(c.damaged, 1);
        QCOMPARE(c.midiEvents, 2); // the note, and the continuation that continues nothing

        // Through the file: refused with the file's name, recognised by content under any name.
        const QString named = writeTestFile(dir.filePath(QStringLiteral("song.bin")), huge);
        QVERIFY(isSyxFile(named));
        QVERIFY(readSyxFile(named).errorText.contains(QLatin1String("song.bin")));
        const QString text = writeTestFile(dir.filePath(QStringLiteral("notes.mid")), "just text");
        QVERIFY(readSyxFile(text).errorText.contains(
            QLatin1String("notes.mid can't be loaded.\nThis is not a Standard")));
    }
};

QTEST_GUILESS_MAIN(TestMidiFile)
#include "tst_midifile.moc"
