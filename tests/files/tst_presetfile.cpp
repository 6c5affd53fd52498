// The preset file writer, pre-scan and reader: exact output, round trips, the checks and
// their messages, the reading rules, and files that must neither crash nor change anything.
#include "common/fifowatch.h"
#include "common/testfiles.h"
#include "files/presetfile.h"
#include "files/presetfilereader.h"
#include "files/syxfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

#include <climits>

#ifdef Q_OS_UNIX
#include <csignal>
#include <random>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

const QString NotValid1 = QStringLiteral("not a valid preset file (1)");

QByteArray hexText(int first)
{
    QByteArray hex;
    for (int k = 0; k < 128; ++k)
        hex += QByteArray::number((first + k) & 0xFF, 16).rightJustified(2, '0').toUpper();
    return hex;
}

QByteArray presetElement(const QByteArray &name, const QByteArray &text, const QByteArray &category = "1")
{
    return "<preset name=\"" + name + "\" author=\"au\" category=\"" + category + "\">" + text + "</preset>";
}

QByteArray bankElement(int presets, const QByteArray &prefix = "P")
{
    QByteArray bank = "<bank>";
    for (int p = 0; p < presets; ++p)
        bank += presetElement(prefix + QByteArray::number(p), hexText(p));
    return bank + "</bank>";
}

QByteArray document(const QByteArray &content)
{
    return "<presetbanks><device name=\"orvex+\"/>" + content + "</presetbanks>";
}

// Every record distinct and unmarked, so any change and any set mark shows.
BankStore distinctStore()
{
    BankStore store;
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            PresetRecord &r = store.at(b, p);
            r.name = QStringLiteral("old %1/%2").arg(b).arg(p);
            r.author = QStringLiteral("was");
            r.category = 5;
            r.params.fill(uint8_t(b + p));
        }
    return store;
}

bool sameStore(const BankStore &a, const BankStore &b)
{
    for (int bank = 0; bank < BankCount; ++bank)
        for (int p = 0; p < PresetsPerBank; ++p)
            if (!a.at(bank, p).sameContent(b.at(bank, p)) || a.at(bank, p).mark != b.at(bank, p).mark)
                return false;
    return true;
}

} // namespace

class TestPresetFile : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString path(const QString &name) const { return dir.filePath(name); }

    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        return writeTestFile(path(name), bytes);
    }
    static QByteArray readFile(const QString &fileName) { return readTestFile(fileName); }

private slots:
    void writerOutputIsExact()
    {
        BankStore store;
        store.fillEmptyBanks();
        PresetRecord &first = store.at(2, 0);
        first.name = QString::fromUtf8("A&B <C> \"D\"\tE\nF\rG'H");
        first.author = QString::fromUtf8("J\xC3\xBCrgen");
        first.category = -5;
        first.params[0] = 0x00;
        first.params[1] = 0xFF;
        first.params[2] = 0x7F;
        first.params[3] = 0xA5;
        store.at(2, 1).category = INT_MAX;
        store.at(1, 0).name = QStringLiteral("not written");

        // An older, longer file at the same place is replaced whole.
        const QString file = writeFile(QStringLiteral("exact.pre"), QByteArray(100000, 'x'));
        QString errorText = QStringLiteral("untouched");
        QVERIFY(savePresetFile(store, file, 2, 2, errorText));
        QCOMPARE(errorText, QStringLiteral("untouched"));

        const QByteArray zeros(256, '0');
        QByteArray expected = "<presetbanks>\n"
                              " <device name=\"orvex+\"/>\n"
                              " <bank>\n"
                              "  <preset name=\"A&amp;B &lt;C> &quot;D&quot;&#x9;E&#xa;F&#xd;G'H\" "
                              "author=\"J\xC3\xBCrgen\" category=\"-5\">00FF7FA5" +
                              QByteArray(248, '0') +
                              "</preset>\n"
                              "  <preset name=\"\" author=\"\" category=\"2147483647\">" +
                              zeros + "</preset>\n";
        for (int p = 2; p < PresetsPerBank; ++p)
            expected += "  <preset name=\"\" author=\"\" category=\"0\">" + zeros + "</preset>\n";
        expected += " </bank>\n"
                    "</presetbanks>\n";
        const QByteArray actual = readFile(file);
        QCOMPARE(actual, expected);
        QCOMPARE(presetFileText(store, 2, 2), expected);
    }

    void allBanksRoundTripExactly()
    {
        BankStore written;
        const QString names[] = {
            QStringLiteral("Tom & Jerry"),
            QStringLiteral("\"quoted\" <tag> 'single'"),
            QStringLiteral("tab\there\nline\r\nfeed"),
            QString::fromUtf8("\xC3\x9C"
                              "ber Gr\xC3\xB6\xC3\x9F"
                              "e \xE2\x82\xAC \xF0\x9F\x8E\xB8"),
            QStringLiteral("  leading and trailing  "),
            QStringLiteral("]]> &amp; literally"),
            QString(),
        };
        const int categories[] = {0, 13, 14, 255, -1, INT_MIN, INT_MAX};
        for (int b = 0; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p) {
                PresetRecord &r = written.at(b, p);
                const int i = b * PresetsPerBank + p;
                r.name = names[i % 7] + QString::number(i);
                r.author = names[(i + 3) % 7];
                r.category = categories[i % 7];
                for (int k = 0; k < 128; ++k)
                    r.params[k] = uint8_t(k + i);
            }
        const QString file = path(QStringLiteral("all.pre"));
        QString errorText;
        QVERIFY(savePresetFile(written, file, 0, 15, errorText));
        QCOMPARE(countPresetFileBanks(file, errorText), 16);

        BankStore read;
        read.fillEmptyBanks();
        read.clearMarks();
        QVERIFY(loadPresetFile(read, file, 0, 15, errorText));
        for (int b = 0; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p) {
                const PresetRecord &r = read.at(b, p);
                QVERIFY2(r.sameContent(written.at(b, p)),
                         qPrintable(QStringLiteral("%1/%2: %3").arg(b).arg(p).arg(r.name)));
                QVERIFY(r.mark);
            }
    }

    void charactersXmlCannotCarryBecomeSpaces()
    {
        // Name bytes from the module may hold control characters; the file must stay readable.
        BankStore store;
        store.fillEmptyBanks();
        store.at(0, 0).name = QString::fromLatin1("a\x01"
                                                  "b\x1F"
                                                  "c\x7F");
        store.at(0, 1).name = QString(QChar(0xD800)) + QStringLiteral("x") + QChar(0xFFFE);
        const QString file = path(QStringLiteral("control.pre"));
        QString errorText;
        QVERIFY(savePresetFile(store, file, 0, 0, errorText));
        BankStore read;
        QVERIFY2(loadPresetFile(read, file, 0, 0, errorText), qPrintable(errorText));
        QCOMPARE(read.at(0, 0).name, QString::fromLatin1("a b c\x7F"));
        QCOMPARE(read.at(0, 1).name, QStringLiteral(" x "));
    }

    // The largest file the program can write: every name and author as long as the
    // program keeps them, every character one that is written escaped.
    void largestSavedFileLoadsBack()
    {
        BankStore store;
        for (int b = 0; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p) {
                PresetRecord &r = store.at(b, p);
                r.name = QString(MaxPresetTextLength, QLatin1Char('"'));
                r.author = QString(MaxPresetTextLength, QLatin1Char('&'));
                r.category = INT_MIN;
                r.params.fill(0xFF);
            }
        const QString file = path(QStringLiteral("largest.pre"));
        QString errorText;
        QVERIFY(savePresetFile(store, file, 0, 15, errorText));
        QVERIFY(QFileInfo(file).size() < PresetFileReader::MaxFileSize / 2);
        BankStore back;
        QVERIFY2(loadPresetFile(back, file, 0, 15, errorText), qPrintable(errorText));
        for (int b = 0; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p)
                QVERIFY(back.at(b, p).sameContent(store.at(b, p)));
    }

    void failedSaveKeepsThePreviousFile()
    {
        BankStore store;
        store.fillEmptyBanks();
        QString errorText;

        // The target can't be created or replaced.
        // Every failure names the file, in the one text the writer has for it.
        QVERIFY(!savePresetFile(store, path(QStringLiteral("missing/dir/x.pre")), 0, 15, errorText));
        QCOMPARE(errorText, path(QStringLiteral("missing/dir/x.pre")) + " can't be opened for writing.");
        QVERIFY(QDir(path(QStringLiteral("subdir"))).mkpath(QStringLiteral(".")));
        errorText.clear();
        QVERIFY(!savePresetFile(store, path(QStringLiteral("subdir")), 0, 15, errorText));
        QCOMPARE(errorText, path(QStringLiteral("subdir")) + " can't be opened for writing.");

#ifdef Q_OS_UNIX
        if (geteuid() != 0) {
            const QString locked = path(QStringLiteral("locked"));
            QVERIFY(QDir().mkpath(locked));
            QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
            errorText.clear();
            QVERIFY(!savePresetFile(store, locked + QStringLiteral("/x.pre"), 0, 15, errorText));
            QCOMPARE(errorText, locked + "/x.pre can't be saved: its folder is read-only.");
            QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }

        // The open succeeds but the disk fills up part way: a file size limit fails the
        // writes exactly as a full disk does.
        QTemporaryDir full;
        const QString target = full.filePath(QStringLiteral("mine.pre"));
        const QByteArray previous = document(bankElement(128));
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        QCOMPARE(old.write(previous), previous.size());
        old.close();
        {
            rlimit saved;
            QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
            rlimit limit = saved;
            limit.rlim_cur = 8192;
            const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
            errorText.clear();
            const bool saved16 = savePresetFile(store, target, 0, 15, errorText);
            setrlimit(RLIMIT_FSIZE, &saved);
            std::signal(SIGXFSZ, oldHandler);
            QVERIFY(!saved16);
        }
        QCOMPARE(errorText, target + " can't be written completely.");
        QCOMPARE(readFile(target), previous);
        QCOMPARE(QDir(full.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("mine.pre")});
#endif
    }

    void checksComeInOrder_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        const QString noPresetbanks =
            QStringLiteral("not a valid preset file (tag \"presetbanks\" not found)");
        const QString noDevice =
            QStringLiteral("preset file not intended for Orvex+ (tag \"device\" not found)");
        const QString wrongDevice =
            QStringLiteral("preset file not intended for Orvex+ (tag \"device\" not correct)");

        QTest::newRow("0-byte file") << QByteArray() << NotValid1;
        QTest::newRow("white space only") << QByteArray(" \n\t\n") << NotValid1;
        QTest::newRow("stops inside an element") << document(bankElement(3)).left(200) << NotValid1;
        QTest::newRow("ill-formed and wrong root") << QByteArray("<other><a></other>") << NotValid1;
        QTest::newRow("two roots") << document("") + "<presetbanks/>" << NotValid1;
        QTest::newRow("comment only") << QByteArray("<!-- nothing -->") << NotValid1;
        QTest::newRow("other root") << QByteArray("<presets><device name=\"orvex+\"/></presets>")
                                    << noPresetbanks;
        QTest::newRow("root in other case")
            << QByteArray("<PresetBanks><device name=\"orvex+\"/></PresetBanks>") << noPresetbanks;
        QTest::newRow("prefixed root")
            << QByteArray("<x:presetbanks xmlns:x=\"u\"><device name=\"orvex+\"/></x:presetbanks>")
            << noPresetbanks;
        QTest::newRow("no device") << QByteArray("<presetbanks>") + bankElement(2) + "</presetbanks>"
                                   << noDevice;
        QTest::newRow("device only deeper")
            << QByteArray("<presetbanks><bank><device name=\"orvex+\"/></bank></presetbanks>") << noDevice;
        QTest::newRow("device name in other case")
            << QByteArray("<presetbanks><device name=\"Orvex+\"/></presetbanks>") << wrongDevice;
        QTest::newRow("device without name")
            << QByteArray("<presetbanks><device/></presetbanks>") << wrongDevice;
        QTest::newRow("first of two devices wrong")
            << QByteArray("<presetbanks><device name=\"other\"/><device name=\"orvex+\"/></presetbanks>")
            << wrongDevice;
    }

    void checksComeInOrder()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        const QString file = writeFile(QStringLiteral("check.pre"), content);
        QString errorText;
        QCOMPARE(countPresetFileBanks(file, errorText), -1);
        QCOMPARE(errorText, message);

        BankStore store = distinctStore();
        const BankStore before = store;
        errorText.clear();
        QVERIFY(!loadPresetFile(store, file, 0, 15, errorText));
        QCOMPARE(errorText, message);
        QVERIFY(sameStore(store, before));
    }

    void openFailuresNameTheOperation()
    {
        QString errorText;
        QCOMPARE(countPresetFileBanks(path(QStringLiteral("nowhere.pre")), errorText), -1);
        QCOMPARE(errorText, QStringLiteral("file not found"));
        BankStore store;
        QVERIFY(!loadPresetFile(store, path(QStringLiteral("nowhere.pre")), 0, 15, errorText));
        QCOMPARE(errorText, QStringLiteral("can't open file for read"));
        QVERIFY(!loadPresetFile(store, dir.path(), 0, 15, errorText));
        QCOMPARE(errorText, QStringLiteral("can't open file for read"));
    }

    void countsBankChildrenOfTheRootOnly()
    {
        QString errorText;
        // Banks before the device count, nested ones and other names don't; the first device decides.
        const QByteArray content =
            "<presetbanks><bank/><!-- c --><device name=\"orvex+\"/><device name=\"x\"/>"
            "<other><bank/></other><bank><bank/></bank><Bank/></presetbanks>";
        QCOMPARE(countPresetFileBanks(writeFile(QStringLiteral("count.pre"), content), errorText), 2);
        QByteArray seventeen;
        for (int b = 0; b < 17; ++b)
            seventeen += "<bank/>";
        // More banks than there are is refused (tooManyBanksAndSpecialFiles has the message).
        QCOMPARE(countPresetFileBanks(writeFile(QStringLiteral("17.pre"), document(seventeen)), errorText),
                 -1);
        QCOMPARE(countPresetFileBanks(writeFile(QStringLiteral("0.pre"), document("")), errorText), 0);
    }

    void readsBanksByPositionIntoTheRange()
    {
        BankStore source;
        for (int b = 0; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p) {
                source.at(b, p).name = QStringLiteral("file %1/%2").arg(b).arg(p);
                source.at(b, p).params.fill(uint8_t(100 + b));
            }
        QString errorText;
        const QString all = path(QStringLiteral("range16.pre"));
        QVERIFY(savePresetFile(source, all, 0, 15, errorText));

        // A full file into 3..3: the first bank lands in 3, everything else untouched.
        BankStore store = distinctStore();
        BankStore expected = store;
        QVERIFY(loadPresetFile(store, all, 3, 3, errorText));
        for (int p = 0; p < PresetsPerBank; ++p) {
            expected.at(3, p).copyContentFrom(source.at(0, p));
            expected.at(3, p).mark = true;
        }
        QVERIFY(sameStore(store, expected));

        // A one-bank file into bank 7.
        const QString one = path(QStringLiteral("range1.pre"));
        QVERIFY(savePresetFile(source, one, 12, 12, errorText));
        store = distinctStore();
        expected = store;
        QVERIFY(loadPresetFile(store, one, 7, 7, errorText));
        for (int p = 0; p < PresetsPerBank; ++p) {
            expected.at(7, p).copyContentFrom(source.at(12, p));
            expected.at(7, p).mark = true;
        }
        QVERIFY(sameStore(store, expected));

        // A range reaching past the last bank stops at bank 15.
        store = distinctStore();
        expected = store;
        QVERIFY(loadPresetFile(store, all, 15, 17, errorText));
        for (int p = 0; p < PresetsPerBank; ++p) {
            expected.at(15, p).copyContentFrom(source.at(0, p));
            expected.at(15, p).mark = true;
        }
        QVERIFY(sameStore(store, expected));
    }

    void shortAndLongBanksAndStrayElements()
    {
        // A bank before the device, 100 presets, then 129 presets with other elements,
        // comments and text among them; a third bank beyond the range.
        QByteArray long129 = "<bank>text<note/>";
        for (int p = 0; p < 129; ++p)
            long129 += "<!-- x -->" + presetElement("L" + QByteArray::number(p), hexText(p)) + "<other/>";
        long129 += "</bank>";
        const QByteArray content = "<presetbanks>" + bankElement(100, "S") +
                                   "<device name=\"orvex+\" extra=\"1\"/>" + long129 + bankElement(128, "X") +
                                   "</presetbanks>";
        const QString file = writeFile(QStringLiteral("short.pre"), content);
        BankStore store = distinctStore();
        const BankStore before = store;
        QString errorText;
        QCOMPARE(countPresetFileBanks(file, errorText), 3);
        QVERIFY(loadPresetFile(store, file, 4, 5, errorText));
        for (int p = 0; p < PresetsPerBank; ++p) {
            const PresetRecord &r = store.at(4, p);
            if (p < 100) {
                QCOMPARE(r.name, QStringLiteral("S%1").arg(p));
                QCOMPARE(r.params[1], uint8_t(p + 1));
                QVERIFY(r.mark);
            } else {
                QVERIFY(r.sameContent(before.at(4, p)));
                QVERIFY(!r.mark);
            }
            QCOMPARE(store.at(5, p).name, QStringLiteral("L%1").arg(p));
        }
        // The 129th preset neither spills into the next bank nor past the range.
        QVERIFY(store.at(6, 0).sameContent(before.at(6, 0)));
        QVERIFY(!store.at(6, 0).mark);
        for (int b : {0, 3, 6, 15})
            for (int p = 0; p < PresetsPerBank; ++p)
                QVERIFY(store.at(b, p).sameContent(before.at(b, p)) && !store.at(b, p).mark);
    }

    void presetReadingRules()
    {
        const QByteArray good = hexText(0xF0);
        QByteArray lower = hexText(0xA0).toLower();
        QByteArray nonHex = hexText(0);
        nonHex.replace(0, 2, "zz");
        nonHex.replace(2, 2, "+F");
        nonHex.replace(4, 2, " 7");
        QByteArray presets;
        presets += presetElement("len255", good.left(255));                    // 0
        presets += presetElement("len257", good + "0");                        // 1
        presets += presetElement("pretty", "\n      " + good + "\n    ");      // 2
        presets += "<preset name=\"no text\" category=\"3\"/>";                // 3
        presets += "<preset name=\"only child\"><x>" + good + "</x></preset>"; // 4
        presets += presetElement("lower", lower);                              // 5
        presets += presetElement("nonhex", nonHex, "abc");                     // 6
        presets += "<preset category=\"-7\" junk=\"j\">" + good + "</preset>"; // 7
        presets +=
            "<preset author=\"x\" name=\"last\">" + good.left(10) + "<!--c-->" + good + "</preset>"; // 8
        presets += "<preset name=\"last short\">" + good + "<!--c-->" + good.left(10) + "</preset>"; // 9
        presets += "<preset name=\"cdata\"><![CDATA[" + lower + "]]></preset>";                      // 10
        presets +=
            "<preset name=\"&lt;&amp;&#x41;\" author=\"a&#xa;b\" category=\"12\">" + good + "</preset>"; // 11
        presets += "<preset name=\"" + QByteArray(2'000'000, 'n') + "\" category=\"99999999999\">" + good +
                   "</preset>"; // 12
        const QString file = writeFile(QStringLiteral("rules.pre"), document("<bank>" + presets + "</bank>"));

        BankStore store = distinctStore();
        const BankStore before = store;
        QString errorText;
        QVERIFY2(loadPresetFile(store, file, 1, 1, errorText), qPrintable(errorText));
        auto untouched = [&](int p) {
            return store.at(1, p).sameContent(before.at(1, p)) && !store.at(1, p).mark;
        };
        // Data that is not 256 hexadecimal digits is damaged, whatever its length.
        for (int p : {0, 1, 2, 3, 4, 6, 9})
            QVERIFY2(untouched(p), qPrintable(QString::number(p)));

        const PresetRecord &lowerCase = store.at(1, 5);
        QVERIFY(lowerCase.mark);
        QCOMPARE(lowerCase.params[0], uint8_t(0xA0));
        QCOMPARE(lowerCase.params[0x5F], uint8_t(0xFF)); // bit 7 stays
        QCOMPARE(lowerCase.author, QStringLiteral("au"));

        const PresetRecord &missing = store.at(1, 7);
        QVERIFY(missing.mark);
        QVERIFY(missing.name.isEmpty());
        QVERIFY(missing.author.isEmpty());
        QCOMPARE(missing.category, -7);
        QCOMPARE(missing.params[127], uint8_t(0x6F));

        QCOMPARE(store.at(1, 8).name, QStringLiteral("last"));
        QCOMPARE(store.at(1, 8).params[0], uint8_t(0xF0));
        QCOMPARE(store.at(1, 10).params[0], uint8_t(0xA0));
        QCOMPARE(store.at(1, 11).name, QStringLiteral("<&A"));
        QCOMPARE(store.at(1, 11).author, QStringLiteral("a\nb"));
        QCOMPARE(store.at(1, 11).category, 12);
        // Cut to what the program keeps, so that saving it again gives a file that loads.
        QCOMPARE(store.at(1, 12).name, QString(MaxPresetTextLength, QLatin1Char('n')));
        QCOMPARE(store.at(1, 12).category, 0);
        QVERIFY(untouched(13));
    }

    // Files from 8-bit Windows locales load; a byte order mark or a declaration decides.
    void encodings_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("name"); // empty: the file is refused
        const auto file = [](const QByteArray &prefix, const QByteArray &name) {
            return prefix + document("<bank><preset name=\"" + name + "\" author=\"" + name + " &amp; Co\">" +
                                     hexText(0) + "</preset></bank>");
        };
        const QString juergen = QString::fromUtf8("J\xC3\xBCrgen \xE2\x82\xAC \xC5\x93");
        const QByteArray cp1252 = "J\xFCrgen \x80 \x9C";
        QTest::newRow("8-bit, no declaration") << file("", cp1252) << juergen;
        QTest::newRow("8-bit, declaration without encoding")
            << file("<?xml version=\"1.0\"?>\n", cp1252) << juergen;
        QTest::newRow("declared windows-1252")
            << file("<?xml version=\"1.0\" encoding=\"windows-1252\"?>", cp1252) << juergen;
        QTest::newRow("declared ISO-8859-1")
            << file("<?xml version='1.0' encoding='ISO-8859-1'?>", "J\xFCrgen")
            << QString::fromUtf8("J\xC3\xBCrgen");
        QTest::newRow("UTF-8") << file("", juergen.toUtf8()) << juergen;
        QTest::newRow("UTF-8 with byte order mark") << file("\xEF\xBB\xBF", juergen.toUtf8()) << juergen;
        const QString text =
            QString::fromUtf8(file("<?xml version=\"1.0\" encoding=\"UTF-16\"?>", juergen.toUtf8()));
        QTest::newRow("UTF-16 with byte order mark")
            << QByteArray("\xFF\xFE") +
                   QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2)
            << juergen;
        QTest::newRow("UTF-16 without byte order mark")
            << QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2) << juergen;
        QTest::newRow("declared UTF-8, but 8-bit")
            << file("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", cp1252) << QString();
        QTest::newRow("declared UTF-7")
            << file("<?xml version=\"1.0\" encoding=\"UTF-7\"?>", "J") << QString();
    }
    void encodings()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, name);
        const QString file = writeFile(QStringLiteral("encoding.pre"), content);
        BankStore store;
        QString errorText;
        QCOMPARE(loadPresetFile(store, file, 1, 1, errorText), !name.isEmpty());
        QCOMPARE(store.at(1, 0).name, name);
        if (name.isEmpty())
            QCOMPARE(errorText, NotValid1);
        else
            QCOMPARE(store.at(1, 0).author, name + QStringLiteral(" & Co"));
    }

    // What a preset file never needs is refused before it costs time or memory; small
    // amounts of it are still passed over.
    void boundsOnWhatFilesNeverNeed_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("banks");
        const auto repeated = [](const QByteArray &unit, int n) {
            QByteArray all;
            for (int i = 0; i < n; ++i)
                all += unit;
            return all;
        };
        const auto attributes = [](int n) {
            QByteArray tag = "<bank";
            for (int i = 0; i < n; ++i)
                tag += " a" + QByteArray::number(i) + "=\"1\"";
            return tag + "/>";
        };
        const auto doctype = [](const QByteArray &subset) {
            return "<!DOCTYPE presetbanks [" + subset + "]>" + document("<bank/>");
        };
        QTest::newRow("16 attributes") << document(attributes(16)) << 1;
        QTest::newRow("17 attributes") << document(attributes(17)) << -1;
        QTest::newRow("a tag of 200,000 attributes") << document(attributes(200000)) << -1;
        QByteArray root = "<presetbanks";
        for (int i = 0; i < 17; ++i)
            root += " a" + QByteArray::number(i) + "='1'";
        QTest::newRow("17 attributes on the root") << root + "><device name=\"orvex+\"/></presetbanks>" << -1;
        QTest::newRow("'=' and '>' inside values, comments and CDATA")
            << document(
                   "<!-- a=1 b=2 c=3 d=4 e=5 f=6 g=7 h=8 i=9 j=10 k=11 l=12 m=13 n=14 o=15 p=16 q=17 -->" +
                   attributes(15).replace("/>", " z='=>=>=>=>=>=>=>=>=>=>=>=>=>=>=>=>=>'/>") +
                   "<x><![CDATA[" + QByteArray(40, '=') + "]]></x>")
            << 1;
        QTest::newRow("10,000 stray elements") << document(repeated("<a/>", 10000) + "<bank/>") << 1;
        QTest::newRow("10,001 stray elements") << document(repeated("<a/>", 10001) + "<bank/>") << -1;
        QTest::newRow("a flood of comments") << document(repeated("<!---->", 20001) + "<bank/>") << -1;
        QTest::newRow("a flood of references")
            << document("<bank><preset name=\"" + repeated("&amp;", 1200000) + "\"/></bank>") << -1;
        QTest::newRow("small document type")
            << doctype("<!ELEMENT bank ANY><!ATTLIST bank x CDATA 'y'><!ENTITY e SYSTEM \"e.xml\">"
                       "<!NOTATION n SYSTEM \"n\"><!-- ] > -->")
            << 1;
        QTest::newRow("64 declarations") << doctype(repeated("<!ATTLIST a b CDATA 'x'>", 64)) << 1;
        QTest::newRow("65 declarations") << doctype(repeated("<!ATTLIST a b CDATA 'x'>", 65)) << -1;
        QTest::newRow("long declaration")
            << doctype("<!ATTLIST a b CDATA '" + QByteArray(17000, 'x') + "'>") << -1;
        const auto utf16 = [](const QByteArray &utf8) {
            const QString text = QString::fromUtf8(utf8);
            return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
        };
        QTest::newRow("64 declarations in UTF-16")
            << utf16(doctype(repeated("<!ATTLIST a b CDATA 'x'>", 64))) << 1;
        QTest::newRow("65 declarations in UTF-16")
            << utf16(doctype(repeated("<!ATTLIST a b CDATA 'x'>", 65))) << -1;
        QTest::newRow("internal entity") << doctype("<!ENTITY e \"x\">") << -1;
        QTest::newRow("parameter entity") << doctype("<!ENTITY % p SYSTEM \"p.dtd\"> %p;") << -1;
        QTest::newRow("long prolog") << "<!--" + QByteArray(70000, 'x') + "-->" + document("<bank/>") << -1;
    }
    void boundsOnWhatFilesNeverNeed()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, banks);
        QString errorText;
        QCOMPARE(countPresetFileBanks(writeFile(QStringLiteral("bounds.pre"), content), errorText), banks);
        if (banks < 0)
            QCOMPARE(errorText, NotValid1);
    }

    void unusualInputIsHandledSafely_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("banks");
        QRandomGenerator random(20240611);
        QByteArray junk(70000, '\0');
        for (char &c : junk)
            c = char(random.bounded(256));
        QTest::newRow("binary junk") << junk << -1;
        QTest::newRow("junk after a valid start") << document("").left(40) + junk << -1;
        QTest::newRow("NUL bytes") << QByteArray(4096, '\0') << -1;
        QByteArray deep = "<presetbanks><device name=\"orvex+\"/>";
        for (int i = 0; i < 300000; ++i)
            deep += "<x>";
        QTest::newRow("deep nesting, unclosed") << deep << -1;
        for (int i = 0; i < 300000; ++i)
            deep += "</x>";
        QTest::newRow("deep nesting, well-formed") << deep + "</presetbanks>" << -1;
        QTest::newRow("deep nesting behind a document type")
            << "<!DOCTYPE presetbanks>" + deep + "</presetbanks>" << -1;
        auto utf16 = [](const QByteArray &utf8) {
            const QString text = QString::fromUtf8(utf8);
            return QByteArray("\xFF\xFE") +
                   QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
        };
        QTest::newRow("deep nesting in UTF-16") << utf16(deep + "</presetbanks>") << -1;
        QTest::newRow("UTF-16 with byte order mark") << utf16(document("<bank/>")) << 1;
        QTest::newRow("declared Latin-1") << "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" +
                                                 document("<bank><preset name=\"\xE4\"/></bank>")
                                          << 1;
        QByteArray markupInText;
        for (int i = 0; i < 400; ++i)
            markupInText += "<!-- <x> --><![CDATA[<x>]]><y a=\"<\" />";
        QTest::newRow("markup-like text in comments and CDATA")
            << document("<bank c=\"/>\" d='>'/>" + QByteArray(markupInText).replace("\"<\"", "\"&lt;\""))
            << 1;
        QByteArray moderate = "<bank/>";
        for (int i = 0; i < 100; ++i)
            moderate = "<x>" + moderate + "</x>";
        QTest::newRow("moderate nesting") << document("<bank/>" + moderate) << 1;
        QTest::newRow("entity expansion")
            << QByteArray(
                   "<!DOCTYPE presetbanks [<!ENTITY a \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\">"
                   "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
                   "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">"
                   "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">]>"
                   "<presetbanks><device name=\"orvex+\"/><bank><preset name=\"&d;&d;&d;&d;\">00</preset>"
                   "</bank></presetbanks>")
            << -1;
    }

    void unusualInputIsHandledSafely()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, banks);
        const QString file = writeFile(QStringLiteral("hostile.pre"), content);
        QString errorText;
        QCOMPARE(countPresetFileBanks(file, errorText), banks);
        BankStore store = distinctStore();
        const BankStore before = store;
        QCOMPARE(loadPresetFile(store, file, 0, 15, errorText), banks >= 0);
        if (banks < 0)
            QCOMPARE(errorText, NotValid1);
        QVERIFY(sameStore(store, before));
    }

    void endlessInputIsCut()
    {
#ifdef Q_OS_LINUX
        // A device that never ends must neither hang the reader nor exhaust memory: it is
        // no file, and never read.
        QString errorText;
        QCOMPARE(countPresetFileBanks(QStringLiteral("/dev/zero"), errorText), -1);
        QCOMPARE(errorText, QStringLiteral("not a regular file (a pipe or a device)"));
#endif
    }

    void everyTruncationIsRejected()
    {
        BankStore store;
        store.fillEmptyBanks();
        const QByteArray full = presetFileText(store, 0, 0);
        const qsizetype end = full.lastIndexOf("</presetbanks>") + qsizetype(sizeof("</presetbanks>")) - 1;
        QString errorText;
        for (qsizetype cut = 0; cut < end; cut += 97) {
            const QString file = writeFile(QStringLiteral("cut.pre"), full.left(cut));
            QCOMPARE(countPresetFileBanks(file, errorText), -1);
            QCOMPARE(errorText, NotValid1);
        }
        QCOMPARE(countPresetFileBanks(writeFile(QStringLiteral("cut.pre"), full.left(end)), errorText), 1);
    }

    // The one rule for a preset's data, which the library's reader shares.
    void damagedPresetData_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("usable");
        QByteArray oneBad = hexText(0);
        oneBad[200] = 'g';
        QTest::newRow("256 digits") << hexText(3) << true;
        QTest::newRow("lower case") << hexText(3).toLower() << true;
        QTest::newRow("256 non-hex characters") << QByteArray(256, 'Z') << false;
        QTest::newRow("one character not a digit") << oneBad << false;
        QTest::newRow("254 digits") << hexText(3).left(254) << false;
        QTest::newRow("258 digits") << hexText(3) + "00" << false;
    }
    void damagedPresetData()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, usable);
        std::array<uint8_t, 128> params{};
        params.fill(7);
        QCOMPARE(readPresetParams(QByteArrayView(text), params), usable);
        QCOMPARE(readPresetParams(QString::fromLatin1(text), params), usable);
        QCOMPARE(params[0], usable ? uint8_t(3) : uint8_t(7)); // damaged data changes nothing
        // Both readings agree on every byte, digits of either case mixed with anything else.
        std::mt19937 random(int(text.size()) + text.at(0));
        for (int round = 0; round < 200; ++round) {
            QByteArray mixed(256, '0');
            for (char &c : mixed)
                c = "0123456789abcdefABCDEF"[random() % 22];
            if (round % 2)
                mixed[int(random() % 256)] = char(random());
            std::array<uint8_t, 128> fast{}, plain{};
            const bool taken = readPresetParams(QByteArrayView(mixed), fast);
            QCOMPARE(taken, readPresetParams(QString::fromLatin1(mixed), plain));
            QVERIFY(fast == plain);
        }

        // A full file with that preset: taken, or refused naming the damage.
        QByteArray banks = bankElement(128).repeated(BankCount);
        banks.replace(banks.indexOf(hexText(5)), 256, text.left(256).leftJustified(256, '0'));
        const QString file = writeFile(QStringLiteral("damaged.pre"), document(banks));
        BankStore store;
        QString errorText;
        QCOMPARE(loadCompletePresetFile(store, file, 0, 15, errorText), text.size() != 256 || usable);
        if (text.size() == 256 && !usable)
            QVERIFY2(errorText.endsWith("bank 1: presets with damaged data: 1"), qPrintable(errorText));
    }

    // More banks than the store holds is refused by every reader, with one message; a pipe
    // named like a preset file is refused at once, never waited for.
    void tooManyBanksAndSpecialFiles()
    {
        const QString file = writeFile(QStringLiteral("17.pre"), document(bankElement(128).repeated(17)));
        const QString tooMany = QStringLiteral("The file holds 17 banks; a preset file holds 1 to 16.");
        QString errorText;
        QCOMPARE(countPresetFileBanks(file, errorText), -1);
        QCOMPARE(errorText, tooMany);
        BankStore store = distinctStore();
        const BankStore before = store;
        QVERIFY(!loadPresetFile(store, file, 0, 15, errorText));
        QCOMPARE(errorText, tooMany);
        QVERIFY(sameStore(store, before));

        FifoWatch fifo(path(QStringLiteral("x.pre")));
        QVERIFY(fifo.ok());
        const QString notRegular = QStringLiteral("not a regular file (a pipe or a device)");
        QCOMPARE(countPresetFileBanks(path(QStringLiteral("x.pre")), errorText), -1);
        QCOMPARE(errorText, notRegular);
        QVERIFY(!loadPresetFile(store, path(QStringLiteral("x.pre")), 0, 15, errorText));
        QCOMPARE(errorText, notRegular);
        QVERIFY(!isSyxFile(path(QStringLiteral("x.pre"))));
        QVERIFY(!readSyxFile(path(QStringLiteral("x.pre"))).usable());
        QVERIFY(!fifo.blocked());
    }

    void messagesHaveGermanTranslations()
    {
        QTranslator german;
        QVERIFY(german.load(QStringLiteral(":/translations/presetman_de")));
        const char *const pairs[][2] = {
            {"file not found", "Datei nicht gefunden"},
            {"can't open file for read", "Kann Datei nicht zum Lesen öffnen"},
            {"not a valid preset file (1)", "Keine gültige Preset Datei (1)"},
            {"not a valid preset file (2)", "Keine gültige Preset Datei (2)"},
            {"not a valid preset file (tag \"presetbanks\" not found)",
             "Keine gültige Preset Datei (Bezeichnung \"presetbanks\" nicht gefunden)"},
            {"preset file not intended for Orvex+ (tag \"device\" not found)",
             "Preset Datei ist nicht für Orvex+ erstellt worden (Bezeichnung \"device\" nicht gefunden)"},
            {"preset file not intended for Orvex+ (tag \"device\" not correct)",
             "Preset Datei ist nicht für Orvex+ erstellt worden (Bezeichnung \"device\" ist nicht korrekt)"},
            {"All files (*)", "Alle Dateien (*)"},
            {"not a regular file (a pipe or a device)", "keine gewöhnliche Datei (eine Pipe oder ein Gerät)"},
            {"The file holds %1 banks; a preset file holds 1 to %2.",
             "Die Datei enthält %1 Bänke; eine Preset-Datei enthält 1 bis %2."},
            {"%1 already exists.\nDo you want to replace it?",
             "%1 existiert bereits.\nMöchten Sie die Datei ersetzen?"},
        };
        for (const auto &pair : pairs)
            QCOMPARE(german.translate("MainWindow", pair[0]), QString::fromUtf8(pair[1]));
        // The writer's one text per failure, which every save shows.
        QCOMPARE(german.translate("WholeFileWriter", "%1 can't be opened for writing."),
                 QString::fromUtf8("%1 kann nicht zum Schreiben geöffnet werden."));
        QCOMPARE(german.translate("WholeFileWriter", "%1 can't be saved: its folder is read-only."),
                 QString::fromUtf8("%1 kann nicht gespeichert werden: Der Ordner ist schreibgeschützt."));
        QCOMPARE(german.translate("WholeFileWriter", "%1 can't be written completely."),
                 QString::fromUtf8("%1 kann nicht vollständig geschrieben werden."));

        // The messages the operations return pass through the installed catalogue.
        QCoreApplication::installTranslator(&german);
        QString errorText;
        countPresetFileBanks(path(QStringLiteral("nowhere.pre")), errorText);
        QCoreApplication::removeTranslator(&german);
        QCOMPARE(errorText, QStringLiteral("Datei nicht gefunden"));
    }
};

QTEST_GUILESS_MAIN(TestPresetFile)
#include "tst_presetfile.moc"
