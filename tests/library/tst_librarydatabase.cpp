// The library database after a writer was killed mid-batch, and the order and limits of
// what a search returns, straight from the database and through the background searcher.
#include "library/librarydatabase.h"
#include "library/libraryfile.h"
#include "library/librarysearcher.h"
#include "model/presetimage.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
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
};

QTEST_GUILESS_MAIN(TestLibraryDatabase)
#include "tst_librarydatabase.moc"
