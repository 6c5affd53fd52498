// The library's update lock: only a running update holds it. What a crash left, a copy
// from another machine or a FIFO under its name never makes an update wait.
#include "common/testfiles.h"
#include "files/heldlock.h"
#include "files/presetfile.h"
#include "library/librarydatabase.h"
#include "library/libraryindexer.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <sys/stat.h>

class TestLibraryUpdateLock : public QObject
{
    Q_OBJECT

private slots:
    void aLockNobodyHoldsNeverWaits_data()
    {
        QTest::addColumn<QByteArray>("left");
        QTest::newRow("another machine") << QByteArray("4242\norvex-pre\nelsewhere.example\n");
        QTest::newRow("a live foreign number") << QByteArray("1\norvex-pre\n\n");
        QTest::newRow("a FIFO") << QByteArray("fifo");
    }
    void aLockNobodyHoldsNeverWaits()
    {
        QFETCH(QByteArray, left);
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("presets"));
        QVERIFY(QDir().mkpath(folder));
        BankStore store;
        writeTestFile(folder + QStringLiteral("/one.pre"), presetFileText(store, 0, BankCount - 1));
        const QString dbPath = dir.filePath(QStringLiteral("library.db"));
        const QString lockPath = dbPath + QStringLiteral(".updating");
        if (left == "fifo")
            QVERIFY(::mkfifo(QFile::encodeName(lockPath).constData(), 0600) == 0);
        else
            writeTestFile(lockPath, left);

        LibraryDatabase db(dbPath);
        QVERIFY(db.open({folder}));
        // A watchdog turns a wait for good into a failure instead of a hung test.
        std::atomic<bool> cancel{false};
        std::mutex mutex;
        std::condition_variable finished;
        bool done = false;
        std::thread watchdog([&] {
            std::unique_lock<std::mutex> lock(mutex);
            if (!finished.wait_for(lock, std::chrono::seconds(60), [&] { return done; }))
                cancel = true;
        });
        const LibraryUpdateResult result = LibraryIndexer::update(db, db.folders(), true, {}, &cancel);
        {
            std::lock_guard<std::mutex> lock(mutex);
            done = true;
        }
        finished.notify_all();
        watchdog.join();
        QVERIFY(!result.cancelled);
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(result.filesRead, 1);
        QVERIFY(!HeldLock::isHeld(lockPath));
    }
};

QTEST_GUILESS_MAIN(TestLibraryUpdateLock)
#include "tst_libraryupdatelock.moc"
