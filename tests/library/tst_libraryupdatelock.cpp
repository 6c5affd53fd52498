// The library's update lock: only a running update holds it. What a crash left, a copy
// from another machine or a FIFO under its name never makes an update wait (a wait would
// hang this test).
#include "common/testfiles.h"
#include "files/heldlock.h"
#include "files/presetfile.h"
#include "library/librarydatabase.h"
#include "library/libraryindexer.h"

#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

class TestLibraryUpdateLock : public QObject
{
    Q_OBJECT

private slots:
    void aLockNobodyHoldsNeverWaits_data()
    {
        QTest::addColumn<QByteArray>("left");
        QTest::newRow("another machine") << QByteArray("4242\norvex-pre\nelsewhere.example\n");
        QTest::newRow("a live foreign process") << QByteArray("1\norvex-pre\n\n");
        QTest::newRow("a FIFO") << QByteArray("fifo");
    }
    void aLockNobodyHoldsNeverWaits()
    {
        QFETCH(QByteArray, left);
        QTemporaryDir dir;
        writeTestFile(dir.filePath(QStringLiteral("one.pre")), presetFileText(BankStore(), 0, BankCount - 1));
        const QString dbPath = dir.filePath(QStringLiteral("db/library.db"));
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("db"))));
        const QString lockPath = dbPath + QStringLiteral(".updating");
        if (left == "fifo")
            QVERIFY(::mkfifo(QFile::encodeName(lockPath).constData(), 0600) == 0);
        else
            writeTestFile(lockPath, left);
        LibraryDatabase db(dbPath);
        QVERIFY(db.open({dir.path()}));
        const LibraryUpdateResult result = LibraryIndexer::update(db, db.folders(), true);
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(result.filesRead, 1);
        QVERIFY(!HeldLock::isHeld(lockPath));
    }
};

QTEST_GUILESS_MAIN(TestLibraryUpdateLock)
#include "tst_libraryupdatelock.moc"
