// The library database after a writer was killed mid-batch, and the order and limits of
// what a search returns, straight from the database and through the background searcher.
#include "library/librarydatabase.h"
#include "library/libraryfile.h"
#include "library/libraryrecords.h"
#include "library/librarysearcher.h"
#include "model/presetimage.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <numeric>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A file whose presets at `positions` (bank * 128 + preset) are named "<word> <position>".
LibraryFile fileOf(const QString &path, const QString &word, const std::vector<int> &positions)
{
    LibraryFile file;
    file.path = path;
    file.size = 100;
    file.mtime = 1;
    for (int position : positions) {
        LibraryPreset p{position / PresetsPerBank, position % PresetsPerBank, {}};
        p.record.name = QStringLiteral("%1 %2").arg(word).arg(position);
        p.record.author = QStringLiteral("Ann");
        p.record.params.fill(uint8_t(position));
        file.presets.push_back(p);
    }
    prepareSearchData(file);
    return file;
}

using Places = std::vector<std::tuple<QString, int, int>>;

Places placesOf(const LibraryDatabase::Hits &hits)
{
    Places out;
    for (const LibraryDatabase::Hit &h : hits.hits)
        out.emplace_back(h.path, h.bank, h.preset);
    return out;
}

} // namespace

class TestLibraryDatabase : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    // A writer killed after one batch and inside the next leaves its journal behind: the next
    // open keeps the committed batch, drops the unfinished one and repairs nothing. Runs
    // first, before any thread of this process exists, since it forks.
    void aKilledWriterLeavesItsLastCommittedBatch()
    {
        const QString path = dir.filePath(QStringLiteral("killed.db"));
        {
            LibraryDatabase db(path);
            QVERIFY(db.open({dir.path()}));
        }
        const pid_t writer = fork();
        QVERIFY(writer >= 0);
        if (writer == 0) {
            LibraryDatabase db(path);
            const bool wrote =
                db.open({}) && db.begin() &&
                db.storeFile(fileOf(QStringLiteral("/k/kept.pre"), QStringLiteral("kept"), {0, 5})) &&
                db.commit() && db.begin() &&
                db.storeFile(fileOf(QStringLiteral("/k/lost.pre"), QStringLiteral("lost"), {1}));
            if (!wrote)
                _exit(2);
            raise(SIGKILL);
        }
        int status = 0;
        QCOMPARE(waitpid(writer, &status, 0), writer);
        QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL,
                 "the writer failed before it was killed");
        QVERIFY(QFileInfo(path + QStringLiteral("-wal")).size() > 0); // the batch lives in the journal

        // A search opens it first, then the updater.
        for (bool reading : {true, false}) {
            LibraryDatabase db(path);
            QVERIFY2(reading ? db.openToRead() : db.open({}), qPrintable(db.errorString()));
            QVERIFY(!db.rebuilt() && !db.created() && !db.damaged());
            QCOMPARE(db.search(QStringLiteral("kept"), 0).total, qint64(2));
            QCOMPARE(db.search(QStringLiteral("lost"), 0).total, qint64(0));
            QCOMPARE(db.folders(), QStringList{dir.path()});
        }
        LibraryDatabase db(path);
        QVERIFY(db.open({}));
        QCOMPARE(db.checkPages(), LibraryDatabase::Check::Sound);
    }

    // Hits come by path, then position, whatever order the files were stored in; a limit
    // cuts the list, never the count.
    void hitsInPathAndPositionOrderUpToTheLimit_data()
    {
        QTest::addColumn<int>("limit");
        QTest::newRow("all") << 0;
        QTest::newRow("one") << 1;
        QTest::newRow("into the second file") << 4;
        QTest::newRow("more than there are") << 100;
    }
    void hitsInPathAndPositionOrderUpToTheLimit()
    {
        QFETCH(int, limit);
        const QString path = dir.filePath(QStringLiteral("ordered.db"));
        const bool fresh = !QFileInfo::exists(path);
        LibraryDatabase db(path);
        QVERIFY(db.open({}));
        if (fresh) {
            QVERIFY(db.begin());
            QVERIFY(db.storeFile(fileOf(QStringLiteral("/l/c.pre"), QStringLiteral("pad"), {7})));
            QVERIFY(db.storeFile(fileOf(QStringLiteral("/l/a.pre"), QStringLiteral("pad"), {3, 130, 2047})));
            QVERIFY(db.storeFile(fileOf(QStringLiteral("/l/b.pre"), QStringLiteral("lead"), {1})));
            QVERIFY(db.storeFile(fileOf(QStringLiteral("/l/b2.pre"), QStringLiteral("pad"), {0, 128})));
            QVERIFY(db.commit());
        }
        const Places all = {{QStringLiteral("/l/a.pre"), 0, 3},    {QStringLiteral("/l/a.pre"), 1, 2},
                            {QStringLiteral("/l/a.pre"), 15, 127}, {QStringLiteral("/l/b2.pre"), 0, 0},
                            {QStringLiteral("/l/b2.pre"), 1, 0},   {QStringLiteral("/l/c.pre"), 0, 7}};
        const Places expected(all.begin(),
                              all.begin() + (limit > 0 ? std::min<int>(limit, all.size()) : all.size()));

        const LibraryDatabase::Hits hits = db.search(QStringLiteral("PAD"), limit);
        QVERIFY(hits.ok);
        QCOMPARE(hits.total, qint64(all.size()));
        QCOMPARE(placesOf(hits), expected);

        LibrarySearcher searcher(path);
        QSignalSpy finished(&searcher, &LibrarySearcher::finished);
        searcher.search(QStringLiteral("pad"), limit);
        QVERIFY(finished.wait(10000));
        const LibrarySearchResult result = finished.at(0).at(1).value<LibrarySearchResult>();
        QVERIFY(result.hits.ok);
        QCOMPARE(result.hits.total, qint64(all.size()));
        QCOMPARE(placesOf(result.hits), expected);
    }

    // Random batches of files stored, stored as failed and removed, several to a transaction
    // and spread over several filter rows: every file is found exactly as often as its
    // present version holds presets, never twice and never after it failed or went.
    void filterRowsFollowEveryStoreAndRemoval()
    {
        for (const quint32 seed : {1u, 2u, 3u}) {
            std::mt19937 random(seed);
            LibraryDatabase db(dir.filePath(QStringLiteral("groups%1.db").arg(seed)));
            QVERIFY(db.open({}));
            constexpr int Files = 12;
            std::vector<int> presets(Files, 0); // of each file's present version; 0: failed or gone
            for (int round = 0; round < 50; ++round) {
                QVERIFY(db.begin());
                const int steps = 1 + int(random() % 6);
                for (int step = 0; step < steps; ++step) {
                    const int f = int(random() % Files);
                    const QString path = QStringLiteral("/r/f%1.pre").arg(f);
                    const int kind = int(random() % 4);
                    // Read (a few presets or many: a large filter), failed to be read, or gone.
                    const int count = kind < 2 ? (random() % 5 == 0 ? 1500 : 1 + int(random() % 20)) : 0;
                    std::vector<int> positions(static_cast<size_t>(count));
                    std::iota(positions.begin(), positions.end(), 0);
                    LibraryFile file = fileOf(path, QStringLiteral("w%1x").arg(f), positions);
                    QHash<QString, LibraryDatabase::Stamp> stamps;
                    if (kind == 2) {
                        file.error = QStringLiteral("Permission denied");
                        QVERIFY(db.storeFile(file));
                    } else if (kind == 3 && db.fileStamps(stamps) && stamps.contains(path)) {
                        QVERIFY(db.removeFile(stamps.value(path).id));
                    } else if (kind < 2) {
                        QVERIFY(db.storeFile(file));
                    }
                    presets[size_t(f)] = count;
                }
                QVERIFY(db.commit());
                for (int f = 0; f < Files; ++f) {
                    const LibraryDatabase::Hits hits = db.search(QStringLiteral("w%1x").arg(f), 0);
                    QVERIFY(hits.ok);
                    Places places = placesOf(hits);
                    std::sort(places.begin(), places.end());
                    const QByteArray where = QByteArray::number(seed) + '/' + QByteArray::number(round);
                    QVERIFY2(std::adjacent_find(places.begin(), places.end()) == places.end(), where);
                    QVERIFY2(hits.total == presets[size_t(f)] && hits.hits.size() == size_t(hits.total),
                             where);
                }
            }
            QCOMPARE(db.checkPages(), LibraryDatabase::Check::Sound);
        }
    }

    // Every packed row carries a check: a row changed behind the database's back (a page
    // zeroed where SQLite's own checks do not look) fails the reads that meet it and the
    // check of every page, and is never answered from.
    void aDamagedRowIsFoundWhenRead_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<bool>("search"); // met by a search (else by a lookup)
        QTest::newRow("records") << QStringLiteral("UPDATE presets SET records = zeroblob(length(records))")
                                 << true;
        QTest::newRow("text") << QStringLiteral(
                                     "UPDATE file_texts SET text = substr(text, 1, length(text) - 9)"
                                     " || x'00' || substr(text, length(text) - 7)")
                              << true;
        QTest::newRow("positions") << QStringLiteral(
                                          "UPDATE file_texts SET positions = zeroblob(length(positions))")
                                   << true;
        QTest::newRow("filters") << QStringLiteral(
                                        "UPDATE filter_groups SET filters = zeroblob(length(filters))")
                                 << true;
        QTest::newRow("sounds") << QStringLiteral("UPDATE sounds SET entries = zeroblob(length(entries))")
                                << false;
    }
    void aDamagedRowIsFoundWhenRead()
    {
        QFETCH(QString, damage);
        QFETCH(bool, search);
        const QString path = dir.filePath(QStringLiteral("rows-%1.db").arg(QTest::currentDataTag()));
        LibraryDatabase db(path);
        QVERIFY(db.open({}));
        const LibraryFile file = fileOf(QStringLiteral("/d/a.pre"), QStringLiteral("pad"), {3, 130, 2047});
        QVERIFY(db.begin() && db.storeFile(file) && db.commit());
        auto ask = [&] {
            return search ? db.search(QStringLiteral("pad"), 0)
                          : db.whereElse(paramsHash(file.presets[1].record.params), 0);
        };
        QVERIFY(ask().ok);
        QCOMPARE(db.checkPages(), LibraryDatabase::Check::Sound);
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
            raw.setDatabaseName(path);
            QVERIFY(raw.open());
            QSqlQuery q(raw);
            QVERIFY2(q.exec(damage), qPrintable(q.lastError().text()));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
        const LibraryDatabase::Hits hits = ask();
        QVERIFY(!hits.ok);
        QVERIFY(hits.hits.empty());
        QVERIFY(db.damaged());
        QCOMPARE(db.checkPages(), LibraryDatabase::Check::Damaged);
        // The window's updater, told of the damage, opens thoroughly: that rebuilds it.
        LibraryDatabase repair(path);
        QVERIFY(repair.open({}, true));
        QVERIFY(repair.rebuilt());
    }

    // Another program rebuilds the database, setting the old file aside: the searcher's next
    // request reads the new one.
    void searcherFollowsARebuild()
    {
        const QString path = dir.filePath(QStringLiteral("swap.db"));
        LibraryDatabase db(path);
        LibrarySearcher searcher(path);
        QSignalSpy finished(&searcher, &LibrarySearcher::finished);
        auto found = [&](const QString &word) {
            searcher.search(word, 0);
            return finished.wait(10000) ? finished.takeLast().at(1).value<LibrarySearchResult>().hits.total
                                        : -1;
        };
        for (const QString &word : {QStringLiteral("old"), QStringLiteral("new")}) {
            QVERIFY(word == QLatin1String("old") ? db.open({}) : db.rebuildNow({}));
            QVERIFY(db.begin() && db.storeFile(fileOf(QStringLiteral("/s/a.pre"), word, {1})) && db.commit());
            QCOMPARE(found(word), qint64(1));
        }
        QCOMPARE(found(QStringLiteral("old")), qint64(0));
    }
};

QTEST_GUILESS_MAIN(TestLibraryDatabase)
#include "tst_librarydatabase.moc"
