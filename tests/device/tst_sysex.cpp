#include "device/modulesimulator.h"
#include "files/sysexmessages.h"

#include <QTest>

using Bytes = std::vector<uint8_t>;

namespace {

Bytes reply(uint8_t command, std::initializer_list<uint8_t> payload, const uint8_t serial[4] = nullptr)
{
    Bytes m{0xF0, 0x00, 0x11, 0x22, 0x02, 0, 0, 0, 0, command};
    if (serial)
        std::copy(serial, serial + 4, m.begin() + 5);
    for (uint8_t b : payload) // (insert() trips a false -Warray-bounds in GCC 12)
        m.push_back(b);
    m.push_back(0xF7);
    return m;
}

PresetImage patternImage()
{
    PresetImage image;
    for (int i = 0; i < 256; ++i)
        image[i] = uint8_t(i * 37 + 11);
    return image;
}

} // namespace

class TestSysex : public QObject
{
    Q_OBJECT

private slots:
    void requestsAreByteExact()
    {
        QCOMPARE(Sysex::identifyRequest(),
                 (Bytes{0xF0, 0x00, 0x11, 0x22, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF7}));
        QCOMPARE(Sysex::presetRequest(5, 3),
                 (Bytes{0xF0, 0x00, 0x11, 0x22, 0x02, 0x00, 0x00, 0x00, 0x00, 0x01, 0x05, 0x03, 0xF7}));
        // Out-of-range indexes are masked, never spill into other bytes.
        const Bytes masked = Sysex::presetRequest(200, 17);
        QCOMPARE(int(masked.size()), 13);
        QCOMPARE(masked[10], uint8_t(0x48));
        QCOMPARE(masked[11], uint8_t(0x01));
    }

    void presetWriteCarriesThePackedImage()
    {
        const PresetImage image = patternImage();
        const Bytes m = Sysex::presetWrite(127, 15, image);
        QCOMPARE(int(m.size()), 333);
        QCOMPARE(Bytes(m.begin(), m.begin() + 10), (Bytes{0xF0, 0x00, 0x11, 0x22, 0x02, 0, 0, 0, 0, 0x02}));
        QCOMPARE(m[10], uint8_t(127));
        QCOMPARE(m[11], uint8_t(15));
        QCOMPARE(m.back(), uint8_t(0xF7));
        for (std::size_t i = 1; i + 1 < m.size(); ++i)
            QVERIFY2(m[i] < 0x80, "a data byte has bit 7 set");
        PresetImage back{};
        Sysex::unpackGroups(m.data() + 12, back.data());
        QCOMPARE(back, image);
    }

    void packGroupsKeepsTheTopBitsApart()
    {
        const uint8_t group[4] = {0x80, 0x01, 0xFF, 0x7F};
        uint8_t image[256] = {};
        std::copy(group, group + 4, image);
        uint8_t packed[320];
        Sysex::packGroups(image, packed);
        QCOMPARE(Bytes(packed, packed + 5), (Bytes{0x00, 0x01, 0x7F, 0x7F, 0x05}));
        uint8_t back[256];
        Sysex::unpackGroups(packed, back);
        QCOMPARE(Bytes(back, back + 4), (Bytes{0x80, 0x01, 0xFF, 0x7F}));
        // Unpacking does not mask the data bytes first.
        const uint8_t odd[5] = {0x85, 0x00, 0x00, 0x00, 0x00};
        uint8_t oddPacked[320] = {};
        std::copy(odd, odd + 5, oddPacked);
        Sysex::unpackGroups(oddPacked, back);
        QCOMPARE(back[0], uint8_t(0x85));
    }

    void presetDataIsTakenOnlyAtExactly331Bytes()
    {
        const PresetImage image = patternImage();
        const Bytes good = Sysex::presetData(image);
        QCOMPARE(int(good.size()), 331);
        Sysex::Reply r = Sysex::parseReply(good.data(), good.size());
        QCOMPARE(r.kind, Sysex::ReplyKind::PresetData);
        QVERIFY(r.imageValid);
        QCOMPARE(r.image, image);

        Bytes shorter(good.begin(), good.end() - 2);
        shorter.push_back(0xF7);
        Bytes longer = good;
        longer.insert(longer.end() - 1, 0x00);
        // The right length is not enough: the end must be F7 and every data byte 7-bit.
        Bytes noEnd(good.begin(), good.end() - 1);
        noEnd.push_back(0x00);
        Bytes topBit = good;
        topBit[200] |= 0x80;
        for (const Bytes &bad : {shorter, longer, noEnd, topBit}) {
            r = Sysex::parseReply(bad.data(), bad.size());
            QCOMPARE(r.kind, Sysex::ReplyKind::PresetData);
            QVERIFY(!r.imageValid);
            QVERIFY(!r.foreign);
        }
    }

    void foreignAndEmptyMessagesAreIgnored()
    {
        Bytes foreign = Sysex::writeAck();
        foreign[4] = 0x03;
        QCOMPARE(Sysex::parseReply(foreign.data(), foreign.size()).kind, Sysex::ReplyKind::None);
        QVERIFY(Sysex::parseReply(foreign.data(), foreign.size()).foreign);
        QCOMPARE(Sysex::parseReply(foreign.data(), 0).kind, Sysex::ReplyKind::None);
        QVERIFY(!Sysex::parseReply(foreign.data(), 0).foreign);
        const Bytes unknown = reply(0x23, {});
        QCOMPARE(Sysex::parseReply(unknown.data(), unknown.size()).kind, Sysex::ReplyKind::None);
        const Bytes ack = Sysex::writeAck();
        QCOMPARE(Sysex::parseReply(ack.data(), ack.size()).kind, Sysex::ReplyKind::WriteAck);
        const uint8_t truncated[] = {0xF0, 0x00, 0x11};
        QCOMPARE(Sysex::parseReply(truncated, 3).kind, Sysex::ReplyKind::None);
    }

    void identityFields_data()
    {
        QTest::addColumn<Bytes>("serialBytes");
        QTest::addColumn<uint>("serial");
        QTest::addColumn<QString>("text");
        QTest::newRow("123456789") << Bytes{0x15, 0x1A, 0x6F, 0x3A} << 123456789u << "586-638-764";
        QTest::newRow("zero") << Bytes{0, 0, 0, 0} << 0u << "000-000-000";
        QTest::newRow("largest") << Bytes{0x7F, 0x7F, 0x7F, 0x7F} << 268435455u << "355-581-494";
        QTest::newRow("42") << Bytes{42, 0, 0, 0} << 42u << "040-000-020";
    }

    void identityFields()
    {
        QFETCH(Bytes, serialBytes);
        QFETCH(uint, serial);
        QFETCH(QString, text);
        const Bytes m = reply(0x20, {0x01, 0x00, 'A', 'B', 'C', 0x7F}, serialBytes.data());
        const Sysex::Reply r = Sysex::parseReply(m.data(), m.size());
        QCOMPARE(r.kind, Sysex::ReplyKind::Identity);
        QCOMPARE(r.identity.serialNumber, uint32_t(serial));
        QCOMPARE(Sysex::formatSerial(serial), text);
        QCOMPARE(r.identity.deviceText, QStringLiteral("ABC"));
    }

    void versionAndDeviceText()
    {
        struct
        {
            uint8_t lo, hi;
            const char *shown;
        } versions[] = {{0x01, 0x00, "1.00"}, {0x03, 0x02, "3.01"}, {0x02, 0x05, "130.02"}};
        for (const auto &v : versions) {
            const Bytes m = reply(0x20, {v.lo, v.hi});
            const Sysex::Reply r = Sysex::parseReply(m.data(), m.size());
            QCOMPARE(Sysex::versionText(r.identity.firmwareVersion), QString::fromLatin1(v.shown));
        }
        // Sixteen characters without an end mark are all taken, and no more.
        Bytes full = reply(0x20, {0x01, 0x00});
        full.pop_back();
        for (char c : QByteArray("ABCDEFGHIJKLMNOPQR"))
            full.push_back(uint8_t(c));
        full.push_back(0xF7);
        QCOMPARE(Sysex::parseReply(full.data(), full.size()).identity.deviceText,
                 QStringLiteral("ABCDEFGHIJKLMNOP"));
        // A reply cut short reads its F7 and then zeros, as in a zero-filled buffer.
        const Bytes cut = reply(0x20, {});
        const Sysex::Reply r = Sysex::parseReply(cut.data(), cut.size());
        QCOMPARE(r.identity.firmwareVersion, uint32_t(0xF7));
        QVERIFY(r.identity.deviceText.isEmpty());
    }

    void identityReplyRoundTrip()
    {
        const Bytes m = Sysex::identityReply(123456789, 642, QByteArrayLiteral("Orvex+ Sim"));
        const Sysex::Reply r = Sysex::parseReply(m.data(), m.size());
        QCOMPARE(r.identity.serialNumber, 123456789u);
        QCOMPARE(Sysex::versionText(r.identity.firmwareVersion), QStringLiteral("130.02"));
        QCOMPARE(r.identity.deviceText, QStringLiteral("Orvex+ Sim"));
    }

    void factoryBankCategoryOffsetOnCopiesOnly()
    {
        PresetImage image{};
        image[128] = 0x05;
        QCOMPARE(Sysex::fromModule(0, image)[128], uint8_t(0x07));
        QCOMPARE(image[128], uint8_t(0x05));
        image[128] = 0xFF;
        QCOMPARE(Sysex::fromModule(0, image)[128], uint8_t(0x01));
        QCOMPARE(Sysex::toModule(0, Sysex::fromModule(0, image)), image);
        image[128] = 0x00;
        QCOMPARE(Sysex::toModule(0, image)[128], uint8_t(0xFE));
        for (int bank = 1; bank < 16; ++bank) {
            QCOMPARE(Sysex::fromModule(bank, image), image);
            QCOMPARE(Sysex::toModule(bank, image), image);
        }
    }

    void requestsParseOnTheModuleSide()
    {
        const PresetImage image = patternImage();
        const Bytes write = Sysex::presetWrite(7, 9, image);
        auto r = Sysex::parseRequest(write.data(), write.size());
        QVERIFY(r);
        QCOMPARE(r->command, Sysex::PresetWrite);
        QCOMPARE(r->preset, 7);
        QCOMPARE(r->bank, 9);
        QVERIFY(r->imageComplete);
        QCOMPARE(r->image, image);
        const Bytes cut(write.begin(), write.begin() + 200);
        r = Sysex::parseRequest(cut.data(), cut.size());
        QVERIFY(r && !r->imageComplete);
        const Bytes ack = Sysex::writeAck();
        QVERIFY(!Sysex::parseRequest(ack.data(), ack.size()));
    }

    void factoryContentIsPlausibleAndStable()
    {
        const TransferBanks a = ModuleSimulator::factoryProgramBanks();
        QVERIFY(a == ModuleSimulator::factoryProgramBanks());
        ModuleSimulator sim;
        QVERIFY(sim.programBanks() == a);
        for (int b = 0; b < 16; ++b)
            for (int p = 0; p < 128; ++p) {
                const PresetImage &img = a.at(b, p);
                const int category = img[128];
                QVERIFY(b == 0 ? (category >= 2 && category <= 13) : (category >= 1 && category <= 13));
                // On the module the factory bank is counted two lower.
                QCOMPARE(int(sim.image(b, p)[128]), b == 0 ? category - 2 : category);
                QVERIFY(img[129] >= 'A' && img[129] <= 'Z');
                QVERIFY(img[161] >= 'A' && img[161] <= 'Z');
                for (int k = 0; k < 128; ++k)
                    QVERIFY(img[k] < 0x80);
                for (int k = 193; k < 256; ++k)
                    QCOMPARE(int(img[k]), 0);
            }
    }
};

QTEST_GUILESS_MAIN(TestSysex)
#include "tst_sysex.moc"
