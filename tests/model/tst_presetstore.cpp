#include "model/bankstore.h"
#include "model/categorytable.h"
#include "model/presetimage.h"
#include "model/selectionmask.h"
#include "model/textfold.h"

#include <QTest>

#include <cstring>

class TestPresetStore : public QObject
{
    Q_OBJECT

private slots:
    // What a whole export covers: every preset of banks 2..16, none of the factory bank.
    void userBanksAreBanksTwoToSixteen()
    {
        const SelectionMask all = SelectionMask::userBanks();
        QCOMPARE(all.count(), (BankCount - 1) * PresetsPerBank);
        QVERIFY(!all.factoryCellSelected());
        QVERIFY(all.isSelected(FirstUserBank, 0));
        QVERIFY(all.isSelected(BankCount - 1, PresetsPerBank - 1));
    }

    // Only the fields the record changes are written, each as recordToImage writes it;
    // everything else keeps the module's bytes.
    void recordOverImageWritesOnlyWhatDiffers_data()
    {
        QTest::addColumn<int>("field"); // 0 nothing, 1 a parameter, 2 category, 3 name, 4 author
        QTest::addColumn<QList<int>>("changedBytes");
        QTest::newRow("nothing") << 0 << QList<int>{};
        QTest::newRow("a parameter") << 1 << QList<int>{5};
        QTest::newRow("category") << 2 << QList<int>{128};
        QTest::newRow("name with an accent") << 3 << QList<int>{129, 130, 131, 132};
        QTest::newRow("author") << 4 << QList<int>{161, 162};
    }
    void recordOverImageWritesOnlyWhatDiffers()
    {
        QFETCH(int, field);
        QFETCH(QList<int>, changedBytes);
        PresetImage held{};
        for (int i = 0; i < 256; ++i)
            held[i] = uint8_t(i % 3 ? 0x80 | i : i);  // top bits, reserved bytes
        std::memcpy(held.data() + 129, "Old\xEB", 4); // as read: "Oldë"
        std::memset(held.data() + 133, 0, 28);
        std::memcpy(held.data() + 161, "A\xEB", 2);
        std::memset(held.data() + 163, 0, 30);
        PresetRecord record;
        imageToRecord(held.data(), record);
        QCOMPARE(record.name, QStringLiteral("Oldë"));
        if (field == 1)
            record.params[5] = 0x7F & ~held[5];
        if (field == 2)
            record.category = 3;
        if (field == 3)
            record.name = QStringLiteral("Née");
        if (field == 4)
            record.author = QStringLiteral("Bo");
        PresetImage image{};
        QCOMPARE(recordOverImage(record, held.data(), image.data()), field != 0);
        for (int i = 0; i < 256; ++i)
            if (!changedBytes.contains(i))
                QVERIFY2(image[i] == held[i], qPrintable(QString::number(i)));
        if (field == 3)
            QCOMPARE(QByteArray(reinterpret_cast<const char *>(image.data() + 129), 4),
                     QByteArray("N e\0", 4));
        if (field == 4)
            QCOMPARE(QByteArray(reinterpret_cast<const char *>(image.data() + 161), 3),
                     QByteArray("Bo\0", 3));
    }

    void zeroImageGivesEmptyMarkedRecord()
    {
        PresetImage image{};
        PresetRecord r;
        r.name = QStringLiteral("old");
        r.params.fill(9);
        imageToRecord(image.data(), r);
        QVERIFY(r.mark);
        QVERIFY(r.name.isEmpty());
        QVERIFY(r.author.isEmpty());
        QCOMPARE(r.category, 0);
        for (uint8_t v : r.params)
            QCOMPARE(v, uint8_t(0));
    }

    void fullTextFieldsStayInsideTheirFields()
    {
        PresetImage image{};
        std::memset(image.data() + 129, 'N', 32);
        std::memset(image.data() + 161, 'A', 32);
        image[128] = 200; // unsigned, passes through
        image[193] = 'X'; // reserved bytes are never read
        PresetRecord r;
        imageToRecord(image.data(), r);
        QCOMPARE(r.name, QString(32, QLatin1Char('N')));
        QCOMPARE(r.author, QString(32, QLatin1Char('A')));
        QCOMPARE(r.category, 200);
    }

    void latin1BytesReadAsLatin1()
    {
        PresetImage image{};
        image[129] = 0xE4; // a-umlaut in Latin-1
        image[130] = 'b';
        PresetRecord r;
        imageToRecord(image.data(), r);
        QCOMPARE(r.name, QString::fromUtf8("\xC3\xA4"
                                           "b"));
    }

    void longNameIsCutWithoutTerminator()
    {
        PresetRecord r;
        r.name = QString(40, QLatin1Char('x'));
        r.author = QStringLiteral("Tom");
        PresetImage image;
        recordToImage(r, image.data());
        for (int k = 0; k < 32; ++k)
            QCOMPARE(image[129 + k], uint8_t('x'));
        QCOMPARE(image[161], uint8_t('T'));
        QCOMPARE(image[164], uint8_t(0));
        for (int k = 193; k < 256; ++k)
            QCOMPARE(image[k], uint8_t(0));
    }

    void unprintableCharactersBecomeSpaces()
    {
        PresetRecord r;
        r.name = QString::fromUtf8("a\xC3\xA9"
                                   "b\xC3\x9F"
                                   "c\td\x7F");
        PresetImage image;
        recordToImage(r, image.data());
        const char expected[] = "a b c d\x7F";
        for (int k = 0; k < 8; ++k)
            QCOMPARE(image[129 + k], uint8_t(expected[k]));
        QCOMPARE(image[137], uint8_t(0));
        // A character outside Latin-1 is a space too, not a truncated code.
        r.name = QString::fromUtf8("\xE2\x82\xAC");
        recordToImage(r, image.data());
        QCOMPARE(image[129], uint8_t(0x20));
    }

    void parameterBit7IsDroppedBothWays()
    {
        PresetImage image{};
        image[0] = 0x85;
        image[127] = 0xFF;
        PresetRecord r;
        imageToRecord(image.data(), r);
        QCOMPARE(r.params[0], uint8_t(0x05));
        QCOMPARE(r.params[127], uint8_t(0x7F));
        r.params[3] = 0xFF;
        recordToImage(r, image.data());
        QCOMPARE(image[3], uint8_t(0x7F));
    }

    void categoryKeepsItsLowByte()
    {
        PresetRecord r;
        PresetImage image;
        r.category = -1;
        recordToImage(r, image.data());
        QCOMPARE(image[128], uint8_t(0xFF));
        r.category = 300;
        recordToImage(r, image.data());
        QCOMPARE(image[128], uint8_t(300 & 0xFF));
    }

    void dumpRoundTripKeepsEveryPresetInPlace()
    {
        BankStore a;
        a.fillEmptyBanks();
        for (int b = 0; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p) {
                PresetRecord &r = a.at(b, p);
                r.name = QStringLiteral("B%1P%2").arg(b).arg(p);
                r.author = QStringLiteral("au%1").arg(p % 7);
                r.category = (b + p) % CategoryCount;
                for (int k = 0; k < 128; ++k)
                    r.params[k] = uint8_t((b * 31 + p * 7 + k) & 0x7F);
            }
        std::vector<uint8_t> dump(BankDumpSize);
        a.toDump(dump.data());
        // Preset 5 of bank 3 sits at (3 * 128 + 5) * 256.
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(dump.data()) + (3 * 128 + 5) * 256 + 129),
                 QByteArray("B3P5"));
        BankStore b;
        b.fromDump(dump.data());
        for (int bank = 0; bank < BankCount; ++bank)
            for (int p = 0; p < PresetsPerBank; ++p) {
                QVERIFY(b.at(bank, p).sameContent(a.at(bank, p)));
                QVERIFY(b.at(bank, p).mark);
            }
    }

    void startUpBanksAreEmptyAndMarked()
    {
        BankStore s;
        s.at(4, 9).name = QStringLiteral("x");
        s.fillEmptyBanks();
        for (int b = 0; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p) {
                const PresetRecord &r = s.at(b, p);
                QVERIFY(r.mark && r.name.isEmpty() && r.author.isEmpty() && r.category == 0);
            }
    }

    void categoriesOutsideTheTableShowAsEmpty()
    {
        QCOMPARE(categoryFor(13).rgb, 0x8080B3u);
        QCOMPARE(categoryFor(14).rgb, categoryTable[0].rgb);
        QCOMPARE(categoryFor(-3).rgb, categoryTable[0].rgb);
        QCOMPARE(categoryFor(255).rgb, categoryTable[0].rgb);
    }

    void selectionShapes()
    {
        SelectionMask m;
        QVERIFY(!m.isRectangle());
        m.set(2, 10);
        m.set(2, 12);
        QVERIFY(!m.isRectangle()); // not adjacent
        m.set(2, 11);
        QVERIFY(m.isRectangle());
        m.set(3, 10);
        QVERIFY(!m.isRectangle());
        QVERIFY(!m.factoryCellSelected());
        m.set(0, 127);
        QVERIFY(m.factoryCellSelected());
        int b = -1, p = -1;
        QVERIFY(m.first(b, p));
        QCOMPARE(b, 0);
        QCOMPARE(p, 127);
    }

    void searchFoldingIgnoresCaseAndAccents()
    {
        const struct
        {
            const char *text;
            const char *folded;
        } cases[] = {
            {"Warm Pad", "warm pad"},
            {"J\u00fcrgen", "jurgen"},
            {"J\u00dcRGEN", "jurgen"},
            {"Cr\u00e8me Br\u00fbl\u00e9e", "creme brulee"},
            // Full folding: final sigma, sharp s (capital too), ligatures, iota subscript.
            {"\u039f\u0394\u039f\u03a3 \u03bf\u03b4\u03bf\u03c2",
             "\u03bf\u03b4\u03bf\u03c3 \u03bf\u03b4\u03bf\u03c3"},
            {"Stra\u00dfe STRA\u1e9eE", "strasse strasse"},
            {"\ufb01lter \u1fb3", "filter \u03b1\u03b9"},
            {"", ""},
        };
        for (const auto &c : cases)
            QCOMPARE(foldedForSearch(QString::fromUtf8(c.text)), QString::fromUtf8(c.folded));
    }
};

QTEST_APPLESS_MAIN(TestPresetStore)
#include "tst_presetstore.moc"
