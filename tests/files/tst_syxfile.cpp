// ".syx" files: the exact bytes written, round trips, and damaged or foreign input that
// must be counted and passed over without ever crashing.
#include "common/testfiles.h"
#include "files/sysexmessages.h"
#include "files/syxfile.h"
#include "model/selectionmask.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray bytesOf(const std::vector<uint8_t> &m)
{
    return QByteArray(reinterpret_cast<const char *>(m.data()), qsizetype(m.size()));
}

PresetRecord sampleRecord(int seed)
{
    PresetRecord r;
    r.name = QStringLiteral("Pad %1").arg(seed);
    r.author = QStringLiteral("Au%1").arg(seed % 7);
    r.category = seed % 14;
    for (int k = 0; k < 128; ++k)
        r.params[k] = uint8_t((seed * 31 + k) & 0x7F);
    return r;
}

QByteArray presetWrite(int preset, int bank, int seed)
{
    PresetImage image{};
    recordToImage(sampleRecord(seed), image.data());
    return bytesOf(Sysex::presetWrite(preset, bank, Sysex::toModule(bank, image)));
}

QByteArray presetData(int seed)
{
    PresetImage image{};
    recordToImage(sampleRecord(seed), image.data());
    return bytesOf(Sysex::presetData(image));
}

const QByteArray Foreign = QByteArray::fromHex("F043100C0102F7"); // another maker's dump request

} // namespace

class TestSyxFile : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void writerBytesAreExact()
    {
        BankStore store;
        store.fillEmptyBanks();
        PresetRecord &r = store.at(2, 5);
        r.name = QStringLiteral("Pad");
        r.author = QStringLiteral("Me");
        r.category = 3;
        for (int k = 0; k < 128; ++k)
            r.params[k] = uint8_t(k);
        SelectionMask selection;
        selection.set(2, 5);
        selection.set(0, 1); // factory: never written
        const QByteArray bytes = syxFileBytes(store, selection);

        // The image, packed: each group of four 7-bit bytes is followed by its (zero) top bits.
        QByteArray image(256, '\0');
        for (int k = 0; k < 128; ++k)
            image[k] = char(k);
        image[128] = 3;
        image.replace(129, 3, "Pad");
        image.replace(161, 2, "Me");
        QByteArray expected = QByteArray::fromHex("F0001122020000000002") + char(5) + char(2);
        for (int g = 0; g < 64; ++g)
            expected += image.mid(g * 4, 4) + '\0';
        expected += char(0xF7);
        QCOMPARE(bytes.size(), 333);
        QCOMPARE(bytes.toHex(), expected.toHex());

        QString errorText;
        const QString file = dir.filePath(QStringLiteral("one.syx"));
        QVERIFY(saveSyxFile(store, selection, file, errorText));
        QCOMPARE(readTestFile(file), expected);

        // Nothing but factory presets: refused, and the file already there is kept.
        SelectionMask factory;
        factory.set(0, 0);
        QVERIFY(!saveSyxFile(store, factory, file, errorText));
        QVERIFY(!errorText.isEmpty());
        QCOMPARE(readTestFile(file), expected);
    }

    void factoryWritesAndRepliesComeInProgramNumbering()
    {
        // A captured write to the factory bank carries the module's category (two lower).
        const SyxContents read = readSyxBytes(presetWrite(9, 0, 5) + presetData(6));
        QCOMPARE(int(read.presets.size()), 2);
        QCOMPARE(read.presets[0].bank, 0);
        QCOMPARE(read.presets[0].preset, 9);
        QVERIFY(read.presets[0].record.sameContent(sampleRecord(5)));
        QVERIFY(!read.presets[1].hasPosition());
        QVERIFY(read.presets[1].record.sameContent(sampleRecord(6)));
        QCOMPARE(read.replies, 1);
    }

    void damagedAndForeignInputIsCounted_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("presets");
        QTest::addColumn<int>("foreign");
        QTest::addColumn<int>("other");
        QTest::addColumn<int>("damaged");
        const QByteArray w = presetWrite(3, 4, 1);
        QByteArray withClock = w;
        withClock.insert(100, char(0xF8)); // a real-time byte inside the message
        QByteArray bank16 = w;
        bank16[11] = 0x10;
        QTest::newRow("foreign around a preset") << Foreign + w + Foreign << 1 << 2 << 0 << 0;
        QTest::newRow("real-time byte inside") << withClock << 1 << 0 << 0 << 0;
        QTest::newRow("cut off at the end") << w.left(200) << 0 << 0 << 0 << 1;
        QTest::newRow("cut off by the next message") << w.left(200) + w << 1 << 0 << 0 << 1;
        QTest::newRow("cut off by a note")
            << w.left(50) + QByteArray::fromHex("903C40") + w << 1 << 0 << 0 << 1;
        QTest::newRow("one byte short") << w.left(331) + char(0xF7) << 0 << 0 << 0 << 1;
        QTest::newRow("reply one byte long") << presetData(1).insert(20, '\0') << 0 << 0 << 0 << 1;
        QTest::newRow("bank beyond 16") << bank16 << 0 << 0 << 0 << 1;
        QTest::newRow("requests and acks")
            << bytesOf(Sysex::identifyRequest()) + bytesOf(Sysex::writeAck()) << 0 << 0 << 2 << 0;
        QTest::newRow("bare header") << QByteArray::fromHex("F0001122020000F7") << 0 << 0 << 0 << 1;
        QTest::newRow("stray text between") << w + "\r\n" + w << 2 << 0 << 0 << 1;
        QTest::newRow("text file") << QByteArray("<presetbanks>") << 0 << 0 << 0 << 1;
        QTest::newRow("empty") << QByteArray() << 0 << 0 << 0 << 0;
    }

    void damagedAndForeignInputIsCounted()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, presets);
        const SyxContents read = readSyxBytes(bytes);
        QCOMPARE(int(read.presets.size()), presets);
        QTEST(read.foreign, "foreign");
        QTEST(read.other, "other");
        QTEST(read.damaged, "damaged");
        // Nothing usable always says why; something usable never reports an error.
        QCOMPARE(read.errorText.isEmpty(), presets > 0);
        if (presets > 0)
            QCOMPARE(read.presets.back().bank, 4);
    }

    void everyCutAndRandomDamageIsSafe()
    {
        const QByteArray full = presetWrite(0, 1, 1) + Foreign + presetData(2);
        for (int cut = 0; cut <= full.size(); ++cut) {
            const SyxContents read = readSyxBytes(full.left(cut));
            QVERIFY(int(read.presets.size()) <= (cut >= 333 ? 1 : 0) + (cut == full.size() ? 1 : 0));
        }
        QRandomGenerator rng(18);
        for (int i = 0; i < 2000; ++i) {
            QByteArray bytes = full;
            for (int k = 0; k < 4; ++k)
                bytes[int(rng.bounded(bytes.size()))] = char(rng.bounded(256));
            const SyxContents read = readSyxBytes(bytes);
            QVERIFY(read.presets.size() <= 2);
            for (const SyxPreset &p : read.presets)
                QVERIFY(!p.hasPosition() || BankStore::validIndex(p.bank, p.preset));
        }
    }

    void placementFollowsTheChosenTargets()
    {
        // Writes to banks 0, 3 and 4 (twice to 3/5), then two replies.
        const SyxContents c =
            readSyxBytes(presetWrite(1, 0, 1) + presetWrite(5, 3, 2) + presetWrite(5, 3, 3) +
                         presetWrite(7, 4, 4) + presetData(5) + presetData(6));
        QCOMPARE(int(c.presets.size()), 6);

        SyxTargets named;
        named.replyBank = 15;
        named.replyPreset = 127;
        SyxPlacement p = placeSyxPresets(c, named);
        QCOMPARE(p.sourceAt(3, 5), 2); // the later write wins
        QCOMPARE(p.sourceAt(4, 7), 3);
        QCOMPARE(p.sourceAt(15, 127), 4);
        QCOMPARE(p.sourceAt(0, 1), -1);
        QCOMPARE(p.placed, 3);
        QCOMPARE(p.factoryLeftOut, 1);
        QCOMPARE(p.pastLastBank, 1);

        SyxTargets intoBank;
        intoBank.intoBank = 14; // the lowest bank named (0) lands in 14: 3 and 4 do not fit
        intoBank.replyBank = 2;
        p = placeSyxPresets(c, intoBank);
        QCOMPARE(p.sourceAt(14, 1), 0);
        QCOMPARE(p.sourceAt(2, 0), 4);
        QCOMPARE(p.sourceAt(2, 1), 5);
        QCOMPARE(p.placed, 3);
        QCOMPARE(p.pastLastBank, 3);
        QCOMPARE(p.factoryLeftOut, 0);

        SyxTargets toFile;
        toFile.factoryWritable = true;
        toFile.replyBank = 5;
        p = placeSyxPresets(c, toFile);
        QCOMPARE(p.sourceAt(0, 1), 0);
        QCOMPARE(p.sourceAt(5, 0), 4);
        QCOMPARE(p.placed, 5);
        QCOMPARE(p.factoryLeftOut, 0);
    }

    // A reply names no bank: it counts as one of the bank it lands in, so in the factory bank
    // its category is the module's factory numbering. A write keeps its named bank's.
    void placedPresetsTakeTheirBanksNumbering()
    {
        const SyxContents c = readSyxBytes(presetWrite(1, 0, 5) + presetData(6) + presetData(7));
        SyxTargets targets;
        targets.factoryWritable = true;
        targets.replyBank = 0;
        targets.replyPreset = 127; // the second reply lands in bank 1
        const SyxPlacement p = placeSyxPresets(c, targets);
        PresetRecord factoryReply = sampleRecord(6);
        factoryReply.category += 2;
        QVERIFY(placedSyxRecord(c, p, 0, 127).sameContent(factoryReply));
        QVERIFY(placedSyxRecord(c, p, 1, 0).sameContent(sampleRecord(7)));
        QVERIFY(placedSyxRecord(c, p, 0, 1).sameContent(sampleRecord(5)));
        QVERIFY(placedSyxRecord(c, p, 1, 0).mark);

        SyxTargets moved;
        moved.intoBank = 3; // the write named for the factory bank, moved to a user bank
        QVERIFY(placedSyxRecord(c, placeSyxPresets(c, moved), 3, 1).sameContent(sampleRecord(5)));
        QCOMPARE(SyxTargets().replyBank, 1); // by default a dump fills the user banks
    }

    void fileReadingAndRecognition()
    {
        const QString dump = writeTestFile(dir.filePath(QStringLiteral("dump.bin")), presetData(1));
        const QString text = writeTestFile(dir.filePath(QStringLiteral("notes.txt")), "hello");
        QVERIFY(isSyxFile(dump));
        QVERIFY(!isSyxFile(text));
        QVERIFY(isSyxFile(QStringLiteral("/nowhere/Dump.SYX")));
        QCOMPARE(int(readSyxFile(dump).presets.size()), 1);
        const SyxContents missing = readSyxFile(dir.filePath(QStringLiteral("missing.syx")));
        QVERIFY(!missing.usable());
        QVERIFY(!missing.errorText.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSyxFile)
#include "tst_syxfile.moc"
