// The preset library: reading files as a load does, indexing, search, where-else and
// the database's recovery. Files are a handful of small ones in a temporary folder.
#include "common/testfiles.h"
#include "files/backupinfo.h"
#include "files/presetfile.h"
#include "files/syxfile.h"
#include "library/librarydatabase.h"
#include "library/libraryfile.h"
#include "library/libraryindexer.h"
#include "library/libraryrecords.h"
#include "library/librarysearcher.h"
#include "library/libraryupdater.h"
#include "library/searchtext.h"
#include "model/selectionmask.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <array>
#include <atomic>
#include <limits>
#include <random>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

QByteArray hex(uint8_t value, int count = 128)
{
    return QByteArray::number(value, 16).rightJustified(2, '0').toUpper().repeated(count);
}

QByteArray preset(const QByteArray &attributes, const QByteArray &text)
{
    return "  <preset " + attributes + ">" + text + "</preset>\n";
}

QByteArray file(const QByteArray &banks)
{
    return "<presetbanks>\n <device name=\"orvex+\"/>\n" + banks + "</presetbanks>\n";
}

// What a load of the whole file takes, where it puts it unasked, in the index's form.
std::vector<LibraryPreset> loaded(const QString &path, QString &error)
{
    BankStore store;
    std::vector<LibraryPreset> out;
    const int banks = countPresetFileBanks(path, error);
    if (banks < 0 || !loadPresetFile(store, path, presetFileHomeBank(banks), BankCount - 1, error))
        return out;
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            if (store.at(b, p).mark)
                out.push_back(LibraryPreset{b, p, store.at(b, p)});
    return out;
}

BankStore sampleStore(int seed)
{
    BankStore store;
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            PresetRecord &r = store.at(b, p);
            r.name = QStringLiteral("S%1 B%2 P%3").arg(seed).arg(b).arg(p);
            r.author = QStringLiteral("Someone");
            r.category = (b + p) % 14;
            r.params.fill(uint8_t(seed * 7 + b + p));
        }
    return store;
}

} // namespace

class TestLibrary : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString path(const QString &name) const { return dir.filePath(name); }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    // The fast reading of written files must take exactly what a load takes, and leave
    // everything else to the load itself.
    void readsWhatALoadTakes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        BankStore tricky = sampleStore(1);
        tricky.at(0, 0).name = QString::fromUtf8("J\xC3\xBCrgen & \"Co\" <x> 'y' \t\n\r \xF0\x9F\x8E\xB9");
        tricky.at(0, 1).author = QString::fromUtf8("\x01\x02 control");
        tricky.at(1, 5).category = -7;
        tricky.at(2, 9).params.fill(255);
        QTest::newRow("written by the program") << presetFileText(tricky, 0, 15);
        BankStore overlong = sampleStore(2);
        overlong.at(0, 0).name = QString(300, QLatin1Char('n'));
        overlong.at(0, 1).author = QString(255, QLatin1Char('a')) + QString::fromUtf8("\xF0\x9F\x8E\xB9");
        QTest::newRow("names past 256 characters") << presetFileText(overlong, 0, 0);
        // More references than a load takes, though every one is in the written form.
        BankStore flood;
        for (int p = 0; p < PresetsPerBank; ++p)
            flood.at(0, p).name = flood.at(0, p).author = QString(4500, QLatin1Char('&'));
        QTest::newRow("a flood of references") << presetFileText(flood, 0, 0);
        QTest::newRow("one bank") << presetFileText(tricky, 3, 3);
        const QByteArray one = preset("name=\"A\" author=\"B\" category=\"3\"", hex(0x12));
        QTest::newRow("pretty-printed text") << file(
            " <bank>\n" + preset("name=\"A\" author=\"B\" category=\"3\"", "\n   " + hex(0x12) + "\n  ") +
            one + " </bank>\n");
        QTest::newRow("lower-case hex")
            << file(" <bank>\n" + preset("name=\"A\" author=\"B\" category=\"3\"", hex(0xab).toLower()) +
                    " </bank>\n");
        QTest::newRow("no hex pair") << file(
            " <bank>\n" + preset("name=\"A\" author=\"B\" category=\"3\"", "ZZ" + hex(1, 127)) +
            " </bank>\n");
        QTest::newRow("257 digits") << file(" <bank>\n" +
                                            preset("name=\"A\" author=\"B\" category=\"3\"", hex(1) + "0") +
                                            one + " </bank>\n");
        QTest::newRow("attributes swapped")
            << file(" <bank>\n" + preset("category=\"4\" author=\"B\" name=\"A\"", hex(2)) + " </bank>\n");
        QTest::newRow("category not a number")
            << file(" <bank>\n" + preset("name=\"A\" author=\"B\" category=\"12345678901\"", hex(2)) +
                    preset("name=\"A\" author=\"B\" category=\"x\"", hex(2)) + " </bank>\n");
        QByteArray numbers = " <bank>\n";
        for (const char *n : {"2147483647", "2147483648", "-2147483648", "-2147483649", "0000000042", "-0"})
            numbers += preset("name=\"A\" author=\"B\" category=\"" + QByteArray(n) + "\"", hex(2));
        QTest::newRow("categories at the ends of an int") << file(numbers + " </bank>\n");
        QTest::newRow("references") << file(
            " <bank>\n" + preset("name=\"&#65;&#x42;&amp;&apos;\" author=\"&gt;\" category=\"0\"", hex(3)) +
            " </bank>\n");
        QByteArray bigBank = " <bank>\n";
        for (int p = 0; p < 129; ++p)
            bigBank +=
                preset("name=\"P" + QByteArray::number(p) + "\" author=\"\" category=\"1\"", hex(uint8_t(p)));
        bigBank += " </bank>\n";
        QTest::newRow("129 presets, 17 banks") << file(bigBank.repeated(17));
        QTest::newRow("device in capitals")
            << QByteArray("<presetbanks><device name=\"ORVEX+\"/><bank/></presetbanks>");
        QTest::newRow("cut short") << presetFileText(tricky, 0, 0).left(5000);
        QTest::newRow("256 non-hex characters")
            << file(" <bank>\n" + preset("name=\"A\" author=\"B\" category=\"3\"", QByteArray(256, 'Z')) +
                    one + " </bank>\n");
        QTest::newRow("15 banks, as an export backup") << presetFileText(tricky, 1, 15);
        QTest::newRow("not UTF-8") << file(
            " <bank>\n" + preset("name=\"\xE4\" author=\"\" category=\"1\"", hex(1)) + " </bank>\n");
        // Plain and decoded names side by side, in banks that move when the file is placed.
        std::mt19937 random(40);
        const QStringList pieces = {QStringLiteral("Pad"),        QStringLiteral(" "),
                                    QStringLiteral("&"),          QStringLiteral("\u00dc"),
                                    QStringLiteral("'Q'"),        QString(120, QLatin1Char('W')),
                                    QStringLiteral("\U0001F3B9"), QStringLiteral("\u03a3x")};
        BankStore mixed = sampleStore(3);
        for (int b = 0; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p)
                for (QString *text : {&mixed.at(b, p).name, &mixed.at(b, p).author})
                    for (int k = int(random() % 4); k > 0; --k)
                        *text += pieces[int(random() % pieces.size())];
        QTest::newRow("names of every kind, 5 banks") << presetFileText(mixed, 4, 8);
    }
    void readsWhatALoadTakes()
    {
        QFETCH(QByteArray, bytes);
        const QString name = writeTestFile(path(QStringLiteral("read.pre")), bytes);
        QString error;
        const std::vector<LibraryPreset> expected = loaded(name, error);
        const LibraryFile got = readLibraryFile(name);
        QCOMPARE(got.error, error);
        QCOMPARE(got.presets.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            const LibraryPreset &a = got.presets[i];
            const LibraryPreset &b = expected[i];
            QVERIFY2(a.bank == b.bank && a.preset == b.preset && a.record.sameContent(b.record),
                     qPrintable(QStringLiteral("preset %1: bank %2 preset %3 \"%4\" vs \"%5\"")
                                    .arg(i)
                                    .arg(b.bank)
                                    .arg(b.preset)
                                    .arg(a.record.name, b.record.name)));
        }
        // The index's own reading stores exactly the rows of the presets a load takes.
        LibraryFile rows;
        rows.path = name;
        readLibraryFileRows(rows);
        LibraryFile fromLoad;
        fromLoad.presets = expected;
        prepareSearchData(fromLoad);
        QCOMPARE(rows.error, error);
        if (!error.isEmpty())
            return;
        QCOMPARE(rows.presetCount, int(expected.size()));
        QCOMPARE(rows.searchText, fromLoad.searchText);
        QCOMPARE(rows.positions, fromLoad.positions);
        QCOMPARE(rows.searchFilter, fromLoad.searchFilter);
        QVERIFY(rows.banks == fromLoad.banks && rows.sounds == fromLoad.sounds);
    }

    // Presets sit where a load puts them unasked: an export backup (banks 2..16) at its
    // true banks; damaged data and files of more banks than there are never count.
    void positionsDamageAndBankCounts()
    {
        const BankStore store = sampleStore(4);
        QString error;
        const QString backup = path(QStringLiteral("module-backup-20260101-120000.pre"));
        QVERIFY(savePresetFile(store, backup, 1, 15, error));
        const LibraryFile listed = readLibraryFile(backup);
        QVERIFY(listed.error.isEmpty());
        QCOMPARE(listed.presets.size(), size_t(15 * PresetsPerBank));
        for (const LibraryPreset &p : listed.presets)
            QVERIFY(p.record.sameContent(store.at(p.bank, p.preset)));
        // A backup of a choice: only the presets it holds, the rest are placeholders.
        SelectionMask held;
        held.set(4, 7);
        held.set(15, 127);
        writeTestFile(BackupInfo::infoPath(backup), BackupInfo::text("42", "1.00", &held));
        const LibraryFile chosen = readLibraryFile(backup);
        QCOMPARE(chosen.presets.size(), size_t(2));
        for (const LibraryPreset &p : chosen.presets)
            QVERIFY(held.isSelected(p.bank, p.preset) && p.record.sameContent(store.at(p.bank, p.preset)));

        QByteArray damaged = presetFileText(store, 0, 15);
        damaged.replace(damaged.indexOf(hex(uint8_t(4 * 7 + 2 + 5))), 256, QByteArray(256, 'Z'));
        const LibraryFile withDamage = readLibraryFile(writeTestFile(path(QStringLiteral("z.pre")), damaged));
        QCOMPARE(withDamage.presets.size(), size_t(PresetCount - 1));
        for (const LibraryPreset &p : withDamage.presets)
            QVERIFY(!(p.bank == 0 && p.preset == 7)); // the first preset of those bytes

        QByteArray seventeen = presetFileText(store, 0, 15);
        const QByteArray bank = presetFileText(store, 3, 3);
        seventeen.insert(
            seventeen.lastIndexOf("</presetbanks>"),
            bank.mid(bank.indexOf(" <bank>"), bank.lastIndexOf("</presetbanks>") - bank.indexOf(" <bank>")));
        const LibraryFile tooMany = readLibraryFile(writeTestFile(path(QStringLiteral("17.pre")), seventeen));
        QCOMPARE(tooMany.error, QStringLiteral("The file holds 17 banks; a preset file holds 1 to 16."));
        QVERIFY(tooMany.presets.empty());
        // An empty 17th bank is refused by a load too, in the written form or not.
        QByteArray emptyLast = presetFileText(store, 0, 15);
        emptyLast.insert(emptyLast.lastIndexOf("</presetbanks>"), " <bank>\n </bank>\n");
        QCOMPARE(readLibraryFile(writeTestFile(path(QStringLiteral("16+1.pre")), emptyLast)).error,
                 tooMany.error);

        // Without its .info a backup's placeholders are what a load would not place.
        BankStore withPlaceholders = store;
        const PresetImage zero{};
        for (int p = 0; p < PresetsPerBank; ++p)
            withPlaceholders.imageToRecord(6, p, zero.data());
        const QString bare = path(QStringLiteral("module-backup-20260101-130000.pre"));
        QVERIFY(savePresetFile(withPlaceholders, bare, 1, 15, error));
        const LibraryFile kept = readLibraryFile(bare);
        QCOMPARE(kept.presets.size(), size_t(14 * PresetsPerBank));
        for (const LibraryPreset &p : kept.presets)
            QVERIFY(p.bank != 6 && p.record.sameContent(store.at(p.bank, p.preset)));
    }

    // A library of the earlier layout listed a one-bank file from bank 1: it is read anew
    // once, and the file's presets come back from bank 2 on.
    void aLibraryOfEarlierPositionsIsReadAnew()
    {
        QTemporaryDir folder;
        QString error;
        QVERIFY(savePresetFile(sampleStore(6), folder.filePath(QStringLiteral("one.pre")), 4, 4, error));
        const QString dbPath = path(QStringLiteral("earlier.db"));
        {
            LibraryDatabase db(dbPath);
            QVERIFY(db.open({folder.path()}));
            QVERIFY(LibraryIndexer::update(db, db.folders(), true).ok);
        }
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
            raw.setDatabaseName(dbPath);
            QVERIFY(raw.open());
            QSqlQuery q(raw);
            QVERIFY(q.exec(QStringLiteral("UPDATE presets SET bank = 0")));
            QVERIFY(q.exec(QStringLiteral("PRAGMA user_version = 1")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
        LibraryDatabase db(dbPath);
        QVERIFY(db.open({}));
        QVERIFY(db.rebuilt() && db.upgraded());
        QCOMPARE(db.folders(), QStringList{folder.path()});
        QVERIFY(LibraryIndexer::update(db, db.folders(), true).ok);
        const LibraryDatabase::Hits hits = db.search(QStringLiteral("S6 B4 P127"), 0);
        QCOMPARE(hits.total, qint64(1));
        QCOMPARE(hits.hits.at(0).bank, 1);
    }

    // The folder list is the user's: a lost database is made anew covering them.
    void lostDatabaseKeepsItsFolders()
    {
        QTemporaryDir folder;
        const QString dbPath = path(QStringLiteral("lost.db"));
        {
            LibraryDatabase db(dbPath);
            QVERIFY(db.open({QStringLiteral("/default")}));
            QVERIFY(db.addFolder(folder.path()));
            QVERIFY(db.removeFolder(QStringLiteral("/default")));
        }
        for (const char *suffix : {"", "-wal", "-shm"})
            QFile::remove(dbPath + QLatin1String(suffix));
        {
            LibraryDatabase db(dbPath);
            QVERIFY(db.open({QStringLiteral("/default")}));
            QVERIFY(db.created());
            QCOMPARE(db.folders(), QStringList{folder.path()});
            QVERIFY(db.removeFolder(folder.path()));
        }
        // No folder at all is a choice too.
        for (const char *suffix : {"", "-wal", "-shm"})
            QFile::remove(dbPath + QLatin1String(suffix));
        LibraryDatabase db(dbPath);
        QVERIFY(db.open({QStringLiteral("/default")}));
        QCOMPARE(db.folders(), QStringList{});
    }

    void searchMatchesEveryWordIgnoringCaseAndAccents_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QList<int>>("lines");
        QTest::newRow("accent and case") << QStringLiteral("JURGEN") << QList<int>{0};
        QTest::newRow("accent in the query") << QString::fromUtf8("j\xC3\xBCrg") << QList<int>{0};
        QTest::newRow("name and author") << QStringLiteral("pad tom") << QList<int>{0};
        QTest::newRow("category") << QStringLiteral("rock") << QList<int>{0, 2};
        QTest::newRow("not across fields") << QStringLiteral("padtom") << QList<int>{};
        QTest::newRow("all lines of a word") << QStringLiteral("lead") << QList<int>{1, 2};
        QTest::newRow("short term") << QStringLiteral("e") << QList<int>{0, 1, 2};
        QTest::newRow("final sigma") << QString::fromUtf8("\xCE\xBF\xCE\xB4\xCE\xBF\xCF\x82")
                                     << QList<int>{1};
        QTest::newRow("sharp s") << QStringLiteral("STRASSE") << QList<int>{2};
    }
    void searchMatchesEveryWordIgnoringCaseAndAccents()
    {
        QFETCH(QString, query);
        QFETCH(QList<int>, lines);
        QByteArray text;
        PresetRecord r;
        r.name = QString::fromUtf8("J\xC3\xBCrgen Pad");
        r.author = QStringLiteral("Tom");
        r.category = 3; // Rock
        SearchText::appendLine(text, r);
        r.name = QStringLiteral("Lead\nline"),
        r.author = QString::fromUtf8("Ann \xCE\x9F\xCE\x94\xCE\x9F\xCE\xA3"), r.category = 4;
        SearchText::appendLine(text, r);
        r.name = QStringLiteral("Big LEAD"),
        r.author = QString::fromUtf8("Stra\xC3\x9F"
                                     "e"),
        r.category = 3;
        SearchText::appendLine(text, r);
        const QList<QByteArray> terms = SearchText::terms(query);
        QVERIFY(SearchText::mayContain(SearchText::filterOf(text), terms) || lines.isEmpty());
        const std::vector<int> got = SearchText::matchingLines(text, terms);
        QCOMPARE(QList<int>(got.begin(), got.end()), lines);
    }

    // Long texts of a small alphabet, so that terms of every length meet near misses, block
    // edges and the text's end: the lines found are those a plain scan finds.
    void matchingLinesAgreeWithAPlainScan()
    {
        std::mt19937 random(8);
        for (int round = 0; round < 300; ++round) {
            QByteArray text;
            for (int line = int(random() % 60); line > 0; --line) {
                for (int length = int(random() % 40); length > 0; --length)
                    text += "abc \x1f"[random() % 5];
                text += '\n';
            }
            QList<QByteArray> terms;
            for (int t = 1 + int(random() % 2); t > 0; --t) {
                QByteArray term(1 + int(random() % 20), 'a');
                for (char &c : term)
                    c = "abc"[random() % 3];
                terms << term;
            }
            std::vector<int> expected;
            const QList<QByteArray> lines = text.split('\n');
            for (int i = 0; i + 1 < lines.size(); ++i)
                if (std::all_of(terms.cbegin(), terms.cend(),
                                [&](const QByteArray &t) { return lines[i].contains(t); }))
                    expected.push_back(i);
            QCOMPARE(SearchText::matchingLines(text, terms), expected);
            QVERIFY(SearchText::mayContain(SearchText::filterOf(text), terms) || expected.empty());
        }
    }

    // A file is read again whenever anything of its stamp or its backup's ".info" changes,
    // even with size and modification time kept (cp -p, rsync -t); an untouched one is not.
    void changesBeyondSizeAndTimeAreSeen_data()
    {
        QTest::addColumn<QString>("change");
        for (const char *change : {"nothing", "rewritten, time put back", "replaced, time put back",
                                   "info added", "info changed", "info removed"})
            QTest::newRow(change) << QString::fromLatin1(change);
    }
    void changesBeyondSizeAndTimeAreSeen()
    {
        QFETCH(QString, change);
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("backup.pre"));
        const QString info = folder.filePath(QStringLiteral("backup.info"));
        BankStore store = sampleStore(3);
        store.at(0, 0).name = QStringLiteral("Old name");
        writeTestFile(file, presetFileText(store, 0, 0));
        if (change.startsWith(QLatin1String("info c")) || change.startsWith(QLatin1String("info r")))
            writeTestFile(info, "serial=A\n");
        LibraryDatabase db(path(QStringLiteral("stamps-%1.db").arg(QTest::currentDataTag())));
        QVERIFY(db.open({folder.path()}) && LibraryIndexer::update(db, db.folders(), true).filesRead == 1);
        struct stat before;
        QCOMPARE(::stat(QFile::encodeName(file).constData(), &before), 0);
        store.at(0, 0).name = QStringLiteral("New name");
        const bool content = change.contains(QLatin1String("time put back"));
        const QString to =
            change.startsWith(QLatin1String("replaced")) ? file + QStringLiteral(".tmp") : file;
        if (content)
            writeTestFile(to, presetFileText(store, 0, 0));
        QVERIFY(to == file || (QFile::remove(file) && QFile::rename(to, file)));
        if (change == QLatin1String("info added") || change == QLatin1String("info changed"))
            writeTestFile(info, "serial=B\n");
        QVERIFY(change != QLatin1String("info removed") || QFile::remove(info));
        const struct timespec times[2] = {before.st_atim, before.st_mtim};
        QVERIFY(!content || ::utimensat(AT_FDCWD, QFile::encodeName(file).constData(), times, 0) == 0);

        QCOMPARE(LibraryIndexer::update(db, db.folders(), true).filesRead,
                 change == QLatin1String("nothing") ? 0 : 1);
        QCOMPARE(db.search(QStringLiteral("new name"), 0).total, qint64(content));
    }

    // Searches and lookups while an update keeps flipping files between two names, each
    // with its own sound: every answer is one state of the files (a file's presets all in
    // it or none), every hit matches it, none comes twice.
    void answersComeFromOneStateWhileAnUpdateRuns()
    {
        QTemporaryDir folder;
        constexpr int Files = 24;
        auto write = [&](int f, bool alpha) {
            BankStore store;
            for (int p = 0; p < PresetsPerBank; ++p) {
                PresetRecord &r = store.at(0, p);
                r.name = QLatin1String(alpha ? "Alpha " : "Bravo ") + QString::number(f);
                r.author = QStringLiteral("Ann");
                r.params.fill(alpha ? 11 : 22);
            }
            writeTestFile(folder.filePath(QStringLiteral("f%1.pre").arg(f)), presetFileText(store, 0, 0));
        };
        for (int f = 0; f < Files; ++f)
            write(f, true);
        std::array<uint8_t, 128> alphaParams;
        alphaParams.fill(11);
        const qint64 alpha = paramsHash(alphaParams);
        const QString dbPath = path(QStringLiteral("flipping.db"));
        LibraryDatabase reader(dbPath);
        QVERIFY(reader.open({folder.path()}) && LibraryIndexer::update(reader, reader.folders(), true).ok);
        std::atomic<bool> done{false}, updateFailed{false};
        std::vector<bool> isAlpha(Files, true); // the updater's alone until it is joined
        std::thread updater([&] {
            LibraryDatabase db(dbPath);
            std::mt19937 random(40);
            updateFailed = !db.open({});
            for (int round = 0; round < 30 && !updateFailed; ++round) {
                for (int n = 1 + int(random() % 8); n > 0; --n) {
                    const int f = int(random() % Files);
                    isAlpha[size_t(f)] = !isAlpha[size_t(f)];
                    write(f, isAlpha[size_t(f)]);
                }
                updateFailed = !LibraryIndexer::update(db, db.folders(), true).ok;
            }
            done = true;
        });
        auto check = [&](const LibraryDatabase::Hits &hits) {
            QVERIFY(hits.ok);
            QMap<QString, int> perFile;
            QSet<QPair<QString, int>> seen;
            for (const LibraryDatabase::Hit &h : hits.hits) {
                QVERIFY2(h.name.startsWith(QLatin1String("Alpha ")) && h.hash == alpha, qPrintable(h.name));
                seen.insert({h.path, h.preset});
                ++perFile[h.path];
            }
            QCOMPARE(seen.size(), qsizetype(hits.hits.size())); // none twice
            for (auto it = perFile.cbegin(); it != perFile.cend(); ++it)
                QVERIFY2(it.value() == PresetsPerBank && hits.total == qint64(hits.hits.size()),
                         qPrintable(it.key()));
        };
        for (int answers = 0; (!done || answers < 4) && !QTest::currentTestFailed(); ++answers) {
            check(reader.search(QStringLiteral("alpha"), 0));
            check(reader.whereElse(alpha, 0));
        }
        done = true;
        updater.join();
        QVERIFY(!updateFailed);
        // Once the updates are over the answer is the files' last state, not an earlier or an
        // empty one.
        const auto alphaFiles = std::count(isAlpha.cbegin(), isAlpha.cend(), true);
        QCOMPARE(qint64(reader.search(QStringLiteral("alpha"), 0).hits.size()),
                 qint64(alphaFiles) * PresetsPerBank);
        QCOMPARE(qint64(reader.whereElse(alpha, 0).hits.size()), qint64(alphaFiles) * PresetsPerBank);
    }

    // A file's filter grows with its text in powers of two (a few presets keep it small) and
    // never rules out a word its text holds.
    void filterIsSizedToItsFile_data()
    {
        QTest::addColumn<int>("presets");
        QTest::addColumn<int>("largest");
        QTest::newRow("one preset") << 1 << SearchText::MinFilterBytes;
        QTest::newRow("a dozen") << 12 << 1024;
        QTest::newRow("a full file") << PresetCount << SearchText::MaxFilterBytes;
    }
    void filterIsSizedToItsFile()
    {
        QFETCH(int, presets);
        QFETCH(int, largest);
        QByteArray text;
        QStringList names;
        for (int i = 0; i < presets; ++i) {
            PresetRecord r;
            r.name = QStringLiteral("Tone%1 Wave%2").arg(i * 7919 % 100003).arg(i % 37);
            r.author = QStringLiteral("Maker %1").arg(i % 11);
            r.category = i % 14;
            SearchText::appendLine(text, r);
            names << r.name;
        }
        const QByteArray filter = SearchText::filterOf(text);
        QVERIFY2(filter.size() >= SearchText::MinFilterBytes && filter.size() <= largest &&
                     (filter.size() & (filter.size() - 1)) == 0,
                 QByteArray::number(filter.size()));
        for (const QString &name : std::as_const(names))
            QVERIFY2(SearchText::mayContain(filter, SearchText::terms(name + QStringLiteral(" maker"))),
                     qPrintable(name));
        QVERIFY(!SearchText::mayContain(filter, SearchText::terms(QStringLiteral("quasar"))));
    }

    void storedRecordsReadBack()
    {
        QByteArray records;
        PresetRecord a, b, c;
        a.name = QString::fromUtf8("Gl\xC3\xA4ser"), a.author = QStringLiteral("Tom"), a.category = 13;
        b.name = QString(), b.author = QString(), b.category = 0;
        c.name = QStringLiteral("x").repeated(300), c.author = QStringLiteral("Ann"), c.category = 4;
        LibraryRecords::appendRecord(records, 0, a, -5);
        LibraryRecords::appendRecord(records, 9, b, 0);
        LibraryRecords::appendRecord(records, 127, c, std::numeric_limits<qint64>::min());
        const struct
        {
            int preset;
            const PresetRecord *record;
            qint64 hash;
        } cases[] = {{0, &a, -5}, {9, &b, 0}, {127, &c, std::numeric_limits<qint64>::min()}};
        for (const auto &k : cases) {
            LibraryRecords::Record r;
            QVERIFY(LibraryRecords::findRecord(records, k.preset, r));
            QCOMPARE(r.name, k.record->name);
            QCOMPARE(r.author, k.record->author);
            QCOMPARE(r.category, k.record->category);
            QCOMPARE(r.hash, k.hash);
        }
        LibraryRecords::Record r;
        QVERIFY(!LibraryRecords::findRecord(records, 1, r));
        // A blob cut short (a damaged row) answers "not there", never past its end.
        QVERIFY(!LibraryRecords::findRecord(records.left(records.size() - 1), 127, r));

        QByteArray entries;
        LibraryRecords::appendSound(entries, 42, 300);
        LibraryRecords::appendSound(entries, 43, 7);
        LibraryRecords::appendSound(entries, 42, 2047);
        QCOMPARE(LibraryRecords::soundPositions(entries, 42), (std::vector<int>{300, 2047}));
        QCOMPARE(LibraryRecords::soundPositions(entries.left(entries.size() - 1), 42), std::vector<int>{300});
    }

    void indexesSearchesAndUpdatesOnlyChangedFiles()
    {
        QTemporaryDir folder;
        const QString root = folder.path();
        QDir(root).mkpath(QStringLiteral("sub"));
        BankStore a = sampleStore(1);
        a.at(1, 2).name = QString::fromUtf8("Gl\xC3\xA4ser Pad");
        a.at(1, 2).author = QStringLiteral("Tom");
        a.at(1, 2).params.fill(200);
        QString error;
        QVERIFY(savePresetFile(a, root + QStringLiteral("/a.pre"), 0, 15, error));
        BankStore b = sampleStore(2);
        b.at(4, 9).params = a.at(1, 2).params; // the same sound under another name
        b.at(4, 9).name = QStringLiteral("Copy");
        QVERIFY(savePresetFile(b, root + QStringLiteral("/sub/b.PRE"), 4, 4, error));
        writeTestFile(root + QStringLiteral("/broken.pre"), "<presetbanks>");
        writeTestFile(root + QStringLiteral("/notes.txt"), "not a preset file");
        const QByteArray before = readTestFile(root + QStringLiteral("/a.pre"));
        const QDateTime beforeTime = QFileInfo(root + QStringLiteral("/a.pre")).lastModified();

        LibraryDatabase db(path(QStringLiteral("index.db")));
        QVERIFY(db.open({root}));
        LibraryUpdateResult r = LibraryIndexer::update(db, db.folders(), true);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.filesFound, 3);
        QCOMPARE(r.filesRead, 3);
        QCOMPARE(r.unreadable.size(), 1);
        QVERIFY(r.unreadable.first().contains(QLatin1String("broken.pre")));
        LibraryDatabase::Counts c = db.counts();
        QCOMPARE(c.presets, qint64(PresetCount + PresetsPerBank));
        QCOMPARE(c.unreadable, qint64(1));
        QCOMPARE(db.unreadableFiles().size(), size_t(1));

        LibraryDatabase::Hits hits = db.search(QStringLiteral("GLASER tom"), 10);
        QCOMPARE(hits.total, qint64(1));
        QCOMPARE(hits.hits.at(0).path, root + QStringLiteral("/a.pre"));
        QCOMPARE(hits.hits.at(0).bank, 1);
        QCOMPARE(hits.hits.at(0).preset, 2);
        QCOMPARE(hits.hits.at(0).name, a.at(1, 2).name);
        // A one-bank file's presets sit where a load puts it unasked: bank 2.
        hits = db.whereElse(paramsHash(a.at(1, 2).params), 10);
        QCOMPARE(hits.total, qint64(2));
        QCOMPARE(hits.hits.at(1).path, root + QStringLiteral("/sub/b.PRE"));
        QCOMPARE(hits.hits.at(1).bank, 1);
        QCOMPARE(hits.hits.at(1).preset, 9);
        hits = db.search(QStringLiteral("someone"), 5);
        QCOMPARE(hits.total, qint64(PresetCount + PresetsPerBank - 1));
        QCOMPARE(hits.hits.size(), size_t(5));

        // The files were only read.
        QCOMPARE(readTestFile(root + QStringLiteral("/a.pre")), before);
        QCOMPARE(QFileInfo(root + QStringLiteral("/a.pre")).lastModified(), beforeTime);

        // Unchanged files are not read again; one that failed is tried every time.
        r = LibraryIndexer::update(db, db.folders(), true);
        QCOMPARE(r.filesRead, 1);
        QCOMPARE(r.unreadable.size(), 1);

        // A changed file is read again, a removed one leaves the index.
        b.at(4, 9).name = QStringLiteral("Renamed");
        QVERIFY(savePresetFile(b, root + QStringLiteral("/sub/b.PRE"), 4, 5, error));
        QVERIFY(QFile::remove(root + QStringLiteral("/broken.pre")));
        r = LibraryIndexer::update(db, db.folders(), true);
        QCOMPARE(r.filesRead, 1);
        QCOMPARE(r.filesRemoved, 1);
        QCOMPARE(db.search(QStringLiteral("renamed"), 0).total, qint64(1));
        QCOMPARE(db.search(QStringLiteral("copy"), 0).total, qint64(0));
        // The file read again holds the sound once, at its new name.
        const qint64 sound = paramsHash(a.at(1, 2).params);
        hits = db.whereElse(sound, 0);
        QCOMPARE(hits.total, qint64(2));
        QCOMPARE(hits.hits.at(1).name, QStringLiteral("Renamed"));
        c = db.counts();
        QCOMPARE(c.presets, qint64(PresetCount + 2 * PresetsPerBank));
        QCOMPARE(c.unreadable, qint64(0));

        // A folder that is away for now keeps its files; one no longer covered takes them along.
        const QString away = root + QStringLiteral("-away");
        QVERIFY(QDir().rename(root, away));
        r = LibraryIndexer::update(db, db.folders(), true);
        QCOMPARE(r.filesRemoved, 0);
        QVERIFY(QDir().rename(away, root));
        QVERIFY(db.removeFolder(root));
        r = LibraryIndexer::update(db, db.folders(), true);
        QCOMPARE(db.counts().files, qint64(0));
        QCOMPARE(db.whereElse(sound, 0).total, qint64(0));
        QCOMPARE(db.search(QStringLiteral("someone"), 0).total, qint64(0));
    }

    // Files stored again or removed leave the filter rows they shared with others, whichever
    // update stored them: each file is found once, at its present names.
    void filesStoredAgainAreFoundOnce()
    {
        QTemporaryDir folder;
        const int count = 20; // full files: several filter rows
        QString error;
        auto save = [&](int f, const QString &word) {
            BankStore store = sampleStore(f);
            store.at(3, 4).name = QStringLiteral("%1 file%2").arg(word).arg(f);
            return savePresetFile(store, folder.filePath(QStringLiteral("f%1.pre").arg(f)), 0, 15, error);
        };
        for (int f = 0; f < count; ++f)
            QVERIFY(save(f, QStringLiteral("Alpha")));
        LibraryDatabase db(path(QStringLiteral("again.db")));
        QVERIFY(db.open({folder.path()}));
        QVERIFY(LibraryIndexer::update(db, db.folders(), true).ok);
        QCOMPARE(db.search(QStringLiteral("alpha"), 0).total, qint64(count));

        const QList<int> changed{0, 9, 19}, removed{1, 18};
        for (int f : changed)
            QVERIFY(save(f, QStringLiteral("Beta")));
        for (int f : removed)
            QVERIFY(QFile::remove(folder.filePath(QStringLiteral("f%1.pre").arg(f))));
        const LibraryUpdateResult r = LibraryIndexer::update(db, db.folders(), true);
        QVERIFY(r.ok);
        QCOMPARE(r.filesRead, int(changed.size()));
        QCOMPARE(r.filesRemoved, int(removed.size()));
        QCOMPARE(db.search(QStringLiteral("alpha"), 0).total,
                 qint64(count - changed.size() - removed.size()));
        const LibraryDatabase::Hits beta = db.search(QStringLiteral("beta"), 0);
        QCOMPARE(beta.total, qint64(changed.size()));
        // In path order: f0, f19, f9.
        QStringList names;
        for (const LibraryDatabase::Hit &h : beta.hits)
            names << h.name;
        QCOMPARE(names, (QStringList{QStringLiteral("Beta file0"), QStringLiteral("Beta file19"),
                                     QStringLiteral("Beta file9")}));
        // Stale filters would list the files read again twice.
        QCOMPARE(db.search(QStringLiteral("someone"), 0).total, qint64(count - removed.size()) * PresetCount);
        QCOMPARE(db.search(QStringLiteral("alpha file5"), 0).total, qint64(1));  // untouched
        QCOMPARE(db.search(QStringLiteral("alpha file18"), 0).total, qint64(0)); // removed
        QCOMPARE(db.checkPages(), LibraryDatabase::Check::Sound);
    }

    // A FIFO named like a preset file is never opened in a way that waits for a writer,
    // and a file that failed once is read again, as when a permission error was mended
    // without changing its size or time.
    void fifosArePassedOverAndFailedFilesReadAgain()
    {
        QTemporaryDir folder;
        QString error;
        const QString ok = folder.filePath(QStringLiteral("ok.pre"));
        QVERIFY(savePresetFile(sampleStore(6), ok, 2, 2, error));
        const QString fifo = folder.filePath(QStringLiteral("pipe.pre"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QVERIFY(!readLibraryFile(fifo).error.isEmpty());

        LibraryDatabase db(path(QStringLiteral("special.db")));
        QVERIFY(db.open({folder.path()}));
        LibraryUpdateResult r = LibraryIndexer::update(db, db.folders(), true);
        QVERIFY(r.ok);
        QCOMPARE(r.filesFound, 1);
        QVERIFY(r.unreadable.isEmpty());

        LibraryFile failed = readLibraryFile(ok);
        failed.presets.clear();
        failed.error = QStringLiteral("Permission denied");
        QVERIFY(db.begin() && db.storeFile(failed) && db.commit());
        QCOMPARE(db.counts().unreadable, qint64(1));
        r = LibraryIndexer::update(db, db.folders(), true);
        QCOMPARE(r.filesRead, 1);
        QCOMPARE(db.counts().unreadable, qint64(0));
        QCOMPARE(db.search(QStringLiteral("S6 B2 P127"), 0).total, qint64(1));
    }

    void sysexFilesAreIndexedAtTheirPositions()
    {
        QTemporaryDir folder;
        BankStore store = sampleStore(4);
        store.at(6, 70).name = QStringLiteral("Sysex Lead");
        SelectionMask mask;
        mask.set(6, 70);
        mask.set(2, 1);
        QString error;
        QVERIFY(saveSyxFile(store, mask, folder.filePath(QStringLiteral("two.SYX")), error));
        writeTestFile(folder.filePath(QStringLiteral("empty.syx")), "\xF0\x7E\x00\xF7");
        // A Standard MIDI File carries the same messages.
        store.at(9, 3).name = QStringLiteral("Midi Pad");
        SelectionMask one;
        one.set(9, 3);
        QVERIFY(saveMidiFile(store, one, folder.filePath(QStringLiteral("one.mid")), 0, error));
        LibraryDatabase db(path(QStringLiteral("syx.db")));
        QVERIFY(db.open({folder.path()}));
        const LibraryUpdateResult r = LibraryIndexer::update(db, db.folders(), true);
        QCOMPARE(r.filesRead, 3);
        QCOMPARE(r.unreadable.size(), 1);
        QVERIFY(r.unreadable.first().contains(QLatin1String("empty.syx")));
        QCOMPARE(db.counts().presets, qint64(3));
        const LibraryDatabase::Hits midi = db.search(QStringLiteral("midi pad"), 0);
        QVERIFY(midi.total == 1 && midi.hits.at(0).bank == 9 && midi.hits.at(0).preset == 3);
        const LibraryDatabase::Hits hits = db.search(QStringLiteral("sysex lead"), 0);
        QCOMPARE(hits.total, qint64(1));
        QCOMPARE(hits.hits.at(0).bank, 6);
        QCOMPARE(hits.hits.at(0).preset, 70);
        QCOMPARE(hits.hits.at(0).hash, paramsHash(store.at(6, 70).params));
    }

    // Searches run in the background; of several requests in a row only the newest one's
    // result arrives, and only once the caller is back in its event loop.
    void searcherDeliversOnlyTheNewestRequest_data()
    {
        QTest::addColumn<int>("older"); // 0: a search, 1: where else, 2: a search, cancelled
        QTest::addColumn<bool>("newerByHash");
        QTest::newRow("search, then search") << 0 << false;
        QTest::newRow("search, then where else") << 0 << true;
        QTest::newRow("where else, then search") << 1 << false;
        QTest::newRow("cancelled, then search") << 2 << false;
    }
    void searcherDeliversOnlyTheNewestRequest()
    {
        QFETCH(int, older);
        QFETCH(bool, newerByHash);
        const QString dbPath = path(QStringLiteral("searcher.db"));
        const BankStore store = sampleStore(4);
        if (!QFileInfo::exists(dbPath)) {
            QString error;
            QVERIFY(QDir().mkpath(path(QStringLiteral("searched"))));
            QVERIFY(savePresetFile(store, path(QStringLiteral("searched/s.pre")), 0, 0, error));
            LibraryDatabase db(dbPath);
            QVERIFY(db.open({path(QStringLiteral("searched"))}));
            QVERIFY(LibraryIndexer::update(db, db.folders(), true).ok);
        }
        const qint64 hash = paramsHash(store.at(0, 127).params);
        LibrarySearcher searcher(dbPath);
        QSignalSpy spy(&searcher, &LibrarySearcher::finished);
        if (older == 1)
            searcher.whereElse(paramsHash(store.at(0, 3).params), 0);
        else
            searcher.search(QStringLiteral("s4"), 0);
        if (older == 2)
            searcher.cancel();
        const quint64 newest =
            newerByHash ? searcher.whereElse(hash, 0) : searcher.search(QStringLiteral("B0 P127"), 0);
        QCOMPARE(spy.count(), 0);
        QVERIFY(spy.wait(10000));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<quint64>(), newest);
        const LibrarySearchResult result = spy.at(0).at(1).value<LibrarySearchResult>();
        QVERIFY(result.hits.ok);
        QVERIFY(!result.hits.hits.empty());
        // The file's one bank is listed as bank 2.
        for (const LibraryDatabase::Hit &hit : result.hits.hits)
            QCOMPARE(hit.hash, newerByHash ? hash : paramsHash(store.at(hit.bank - 1, hit.preset).params));
        QVERIFY(newerByHash || result.hits.total == 1);
    }

    // The quick open at start cannot see damage deep in a table; the check after the first
    // update does, and the library is rebuilt from the files. A sound one is left alone.
    void updaterChecksEveryPageAfterItsFirstUpdate_data()
    {
        QTest::addColumn<bool>("damage");
        QTest::newRow("sound") << false;
        QTest::newRow("a damaged page") << true;
    }
    void updaterChecksEveryPageAfterItsFirstUpdate()
    {
        QFETCH(bool, damage);
        QTemporaryDir folder;
        QString error;
        QVERIFY(savePresetFile(sampleStore(5), folder.filePath(QStringLiteral("x.pre")), 0, 15, error));
        const QString dbPath = path(QStringLiteral("checked-%1.db").arg(damage));
        {
            LibraryDatabase db(dbPath);
            QVERIFY(db.open({folder.path()}));
            QVERIFY(LibraryIndexer::update(db, db.folders(), true).ok);
        }
        if (damage) {
            int root = 0;
            qint64 pageSize = 0;
            {
                QSqlDatabase raw =
                    QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
                raw.setDatabaseName(dbPath);
                QVERIFY(raw.open());
                QSqlQuery q(raw);
                QVERIFY(q.exec(QStringLiteral("PRAGMA page_size")) && q.next());
                pageSize = q.value(0).toLongLong();
                QVERIFY(q.exec(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = 'presets'")) &&
                        q.next());
                root = q.value(0).toInt();
            }
            QSqlDatabase::removeDatabase(QStringLiteral("raw"));
            // Garble the presets' last leaf, which a query for the first row never reads.
            QFile f(dbPath);
            QVERIFY(f.open(QIODevice::ReadWrite) && f.seek((root - 1) * pageSize));
            const QByteArray rootPage = f.read(pageSize);
            QCOMPARE(int(uchar(rootPage.at(0))), 0x02); // an interior page
            const quint32 last = qFromBigEndian<quint32>(rootPage.constData() + 8);
            QVERIFY(f.seek((last - 1) * pageSize));
            QCOMPARE(f.write(QByteArray(int(pageSize), '\xff')), pageSize);
            f.close();
            LibraryDatabase db(dbPath);
            QVERIFY(db.open({}));
            QVERIFY(!db.rebuilt());
        }
        LibraryUpdater updater(dbPath, {});
        QSignalSpy opened(&updater, &LibraryUpdater::opened);
        QSignalSpy finished(&updater, &LibraryUpdater::finished);
        updater.start();
        QTRY_VERIFY_WITH_TIMEOUT(!updater.isRunning(), 20000);
        QCOMPARE(finished.count(), damage ? 2 : 1);
        QCOMPARE(opened.count(), damage ? 2 : 1);
        QCOMPARE(opened.last().at(1).toBool(), damage);
        QCOMPARE(QFileInfo::exists(dbPath + QStringLiteral(".damaged")), damage);
        LibraryDatabase db(dbPath);
        QVERIFY(db.open({}));
        QCOMPARE(db.checkPages(), LibraryDatabase::Check::Sound);
        QCOMPARE(db.search(QStringLiteral("S5 B15 P127"), 0).total, qint64(1));
    }

    // Searches only read: damage is left to the updater. A library of a newer program is
    // no one's to rebuild here, or an older and a newer program would rebuild each
    // other's library in turn.
    void onlyTheUpdaterRepairsAndNoneRebuildsANewerLibrary_data()
    {
        QTest::addColumn<bool>("newer");
        QTest::newRow("damaged") << false;
        QTest::newRow("of a newer program") << true;
    }
    void onlyTheUpdaterRepairsAndNoneRebuildsANewerLibrary()
    {
        QFETCH(bool, newer);
        QTemporaryDir folder;
        QString error;
        QVERIFY(savePresetFile(sampleStore(7), folder.filePath(QStringLiteral("x.pre")), 0, 0, error));
        const QString dbPath = path(QStringLiteral("version-%1.db").arg(newer));
        {
            LibraryDatabase db(dbPath);
            QVERIFY(db.open({folder.path()}));
            QVERIFY(LibraryIndexer::update(db, db.folders(), true).ok);
        }
        if (newer) {
            {
                QSqlDatabase raw =
                    QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
                raw.setDatabaseName(dbPath);
                QVERIFY(raw.open());
                QVERIFY(QSqlQuery(raw).exec(QStringLiteral("PRAGMA user_version = 99")));
            }
            QSqlDatabase::removeDatabase(QStringLiteral("raw"));
        } else {
            writeTestFile(dbPath, QByteArray(20000, 'x'));
        }
        const QByteArray before = readTestFile(dbPath);

        LibraryDatabase reader(dbPath);
        QVERIFY(!reader.openToRead());
        QCOMPARE(reader.damaged(), !newer);
        LibrarySearcher searcher(dbPath);
        QSignalSpy searched(&searcher, &LibrarySearcher::finished);
        searcher.search(QStringLiteral("S7"), 0);
        QVERIFY(searched.wait(10000));
        QVERIFY(!searched.at(0).at(1).value<LibrarySearchResult>().hits.ok);
        QCOMPARE(readTestFile(dbPath), before);
        QVERIFY(!QFileInfo::exists(dbPath + QStringLiteral(".damaged")));

        LibraryDatabase updater(dbPath);
        QCOMPARE(updater.open({}), !newer);
        if (newer) {
            QVERIFY2(updater.errorString().contains(QLatin1String("newer")),
                     qPrintable(updater.errorString()));
            QCOMPARE(readTestFile(dbPath), before);
        } else {
            QVERIFY(updater.rebuilt());
            QCOMPARE(updater.folders(), QStringList{folder.path()});
        }
    }

    // The window changes folders through the updater's thread only: a change asked for
    // while an update runs is not lost, and one the database refuses is reported.
    void folderChangesGoThroughTheUpdater()
    {
        QTemporaryDir first, second;
        QString error;
        QVERIFY(savePresetFile(sampleStore(8), first.filePath(QStringLiteral("a.pre")), 0, 15, error));
        QVERIFY(savePresetFile(sampleStore(9), second.filePath(QStringLiteral("b.pre")), 0, 0, error));
        const QString dbPath = path(QStringLiteral("folders.db"));
        LibraryUpdater updater(dbPath, {first.path()});
        QSignalSpy failed(&updater, &LibraryUpdater::folderChangeFailed);
        updater.start();
        updater.addFolder(second.path());
        QTRY_VERIFY_WITH_TIMEOUT(!updater.isRunning(), 20000);
        QCOMPARE(failed.count(), 0);
        {
            LibraryDatabase db(dbPath);
            QVERIFY(db.openToRead());
            QStringList both{first.path(), second.path()};
            both.sort();
            QCOMPARE(db.folders(), both);
            QCOMPARE(db.search(QStringLiteral("S9 B0 P127"), 0).total, qint64(1));
            QCOMPARE(db.search(QStringLiteral("S8 B15 P127"), 0).total, qint64(1));
        }
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
            raw.setDatabaseName(dbPath);
            QVERIFY(raw.open());
            QVERIFY(QSqlQuery(raw).exec(QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON folders"
                                                       " BEGIN SELECT RAISE(ABORT, 'folders kept'); END")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
        updater.removeFolder(first.path());
        QTRY_VERIFY_WITH_TIMEOUT(!updater.isRunning(), 20000);
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0).at(0).toString(), first.path());
        QCOMPARE(failed.at(0).at(1).toBool(), false);
        QVERIFY(failed.at(0).at(2).toString().contains(QLatin1String("folders kept")));
        LibraryDatabase db(dbPath);
        QVERIFY(db.openToRead());
        QCOMPARE(db.folders().size(), 2);
    }

    void damagedDatabaseIsRebuiltKeepingTheFolders_data()
    {
        QTest::addColumn<QByteArray>("damage");
        QTest::newRow("garbage") << QByteArray(20000, 'x');
        QTest::newRow("empty header") << QByteArray(4096, '\0');
        QTest::newRow("cut short") << QByteArray("SQLite format 3");
    }
    void damagedDatabaseIsRebuiltKeepingTheFolders()
    {
        QFETCH(QByteArray, damage);
        QTemporaryDir folder;
        QString error;
        QVERIFY(savePresetFile(sampleStore(3), folder.filePath(QStringLiteral("x.pre")), 0, 0, error));
        const QString dbPath = path(QStringLiteral("damaged.db"));
        QFile::remove(dbPath);
        QFile::remove(dbPath + QStringLiteral(".folders")); // a new library, not a lost one
        {
            LibraryDatabase db(dbPath);
            QVERIFY(db.open({folder.path()}));
            QVERIFY(!db.rebuilt());
            QVERIFY(LibraryIndexer::update(db, db.folders(), true).ok);
        }
        writeTestFile(dbPath, damage);
        LibraryDatabase db(dbPath);
        QVERIFY2(db.open({QStringLiteral("/elsewhere")}), qPrintable(db.errorString()));
        QVERIFY(db.rebuilt());
        QCOMPARE(db.folders(), QStringList{folder.path()});
        QCOMPARE(db.counts().presets, qint64(0));
        QVERIFY(LibraryIndexer::update(db, db.folders(), true).ok);
        QCOMPARE(db.search(QStringLiteral("S3 B0 P127"), 0).total, qint64(1));
    }
};

QTEST_GUILESS_MAIN(TestLibrary)
#include "tst_library.moc"
