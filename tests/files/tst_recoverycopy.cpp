// The recovery copy: written a short wait after a change, gone once nothing is unsaved,
// one per running program, and only a dead program's copy is offered back.
#include "common/samestore.h"
#include "files/presetfile.h"
#include "files/recoverycopy.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

BankStore sampleStore(const QString &tag)
{
    BankStore store;
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            store.at(b, p).name = QStringLiteral("%1 %2/%3").arg(tag).arg(b).arg(p);
            store.at(b, p).params.fill(uint8_t(b + p));
        }
    return store;
}

} // namespace

class TestRecoveryCopy : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString folder() const { return dir.filePath(QStringLiteral("recovery")); }
    QStringList copies() const
    {
        return QDir(folder()).entryList({QStringLiteral("*.recovery")}, QDir::Files);
    }

private slots:
    void init() { QDir(folder()).removeRecursively(); }

    void keptWhileUnsavedAndGoneAfterwards()
    {
        const BankStore store = sampleStore(QStringLiteral("a"));
        RecoveryCopy copy(folder());
        QVERIFY(copy.active());
        // Nothing on the disk until there is something to keep: start-up does not wait for it.
        copy.documentChanged(store, false, 0, QString());
        QVERIFY(!QDir(folder()).exists());
        copy.delayMs = 20;
        QSignalSpy written(&copy, &RecoveryCopy::copyWritten);
        const QString file = QStringLiteral("/music/Gig & \"live\".pre");
        copy.documentChanged(store, true, 1, file);
        QVERIFY(!QFile::exists(copy.copyPath())); // only after the wait
        QCOMPARE(QDir(folder()).entryList({QStringLiteral("*.lock")}, QDir::Files).size(), 1);
        QVERIFY(written.wait());
        QCOMPARE(copies(), QStringList{QFileInfo(copy.copyPath()).fileName()});

        // A second program beside it has a copy of its own and is not offered this one.
        RecoveryCopy second(folder());
        QVERIFY(second.copyPath() != copy.copyPath());
        QVERIFY(!second.findOrphan());

        // Nothing unsaved (saved, loaded, undone to the saved state): the copy goes.
        copy.documentChanged(store, false, 2, file);
        copy.flush();
        QVERIFY(copies().isEmpty());
        // The same state again writes nothing; a new change does.
        copy.documentChanged(store, true, 2, file);
        copy.writeNow(); // writes only what a wait would
        copy.flush();
        QVERIFY(copies().isEmpty());
        copy.documentChanged(store, true, 3, file);
        QVERIFY(written.wait());
        copy.discard();
        copy.flush();
        QVERIFY(copies().isEmpty());
    }

    void aFolderThatCannotBeMadeKeepsNothing()
    {
        QFile blocker(dir.filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        RecoveryCopy copy(blocker.fileName() + QStringLiteral("/recovery"));
        copy.delayMs = 0;
        copy.retryMs = 10;
        QSignalSpy failed(&copy, &RecoveryCopy::writeFailed);
        const BankStore store = sampleStore(QStringLiteral("a"));
        copy.documentChanged(store, true, 1, QString());
        QVERIFY(!copy.active());
        // Said, and tried again without a further change.
        QCOMPARE(failed.size(), 1);
        QVERIFY(failed.wait());
        copy.writeNow();
        copy.flush();
        QVERIFY(!QFile::exists(copy.copyPath()));
    }

    void aDeadProgramsCopyIsOfferedOnce_data()
    {
        QTest::addColumn<bool>("restore");
        QTest::addColumn<QString>("file");
        QTest::newRow("restore") << true << QStringLiteral("/music/set.pre");
        QTest::newRow("discard") << false << QStringLiteral("/music/set.pre");
        // Kept exactly, or Restore would name a file that does not exist.
        QTest::newRow("control characters") << true << QStringLiteral("/music/a\x01b\x7f\tc&\"d.pre");
    }
    void aDeadProgramsCopyIsOfferedOnce()
    {
        QFETCH(bool, restore);
        QFETCH(QString, file);
        const BankStore store = sampleStore(QStringLiteral("lost"));
        const QDateTime before = QDateTime::currentDateTimeUtc().addMSecs(-1);
        QString leftBehind;
        {
            RecoveryCopy dying(folder());
            dying.delayMs = 0;
            dying.documentChanged(store, true, 7, file);
            dying.writeNow();
            dying.flush();
            // A killed program neither removes its copy nor unlocks: keep the copy aside
            // while this one ends normally, then put it back without its lock.
            leftBehind = dying.copyPath() + QStringLiteral(".kept");
            QVERIFY(QFile::copy(dying.copyPath(), leftBehind));
        }
        QVERIFY(QFile::rename(leftBehind, QDir(folder()).filePath(QStringLiteral("1-dead.recovery"))));

        RecoveryCopy next(folder());
        const std::optional<RecoveryCopy::Orphan> orphan = next.findOrphan();
        QVERIFY(orphan);
        QCOMPARE(orphan->fileName, file);
        QVERIFY(orphan->time >= before && orphan->time <= QDateTime::currentDateTimeUtc());
        // Held for this program: another start does not offer it at the same time.
        QVERIFY(!RecoveryCopy(folder()).findOrphan());

        if (restore) {
            BankStore restored;
            QString fileName, errorText;
            QVERIFY2(next.restore(*orphan, restored, fileName, errorText), qPrintable(errorText));
            QVERIFY(sameContent(restored, store));
            QCOMPARE(fileName, file);
            // The copy is now this program's own: nothing is offered twice.
            QCOMPARE(copies(), QStringList{QFileInfo(next.copyPath()).fileName()});
        } else {
            next.discardOrphan(*orphan);
            QVERIFY(copies().isEmpty());
        }
        QVERIFY(!RecoveryCopy(folder()).findOrphan());
    }

    void aDamagedCopyIsRefused()
    {
        QVERIFY(QDir().mkpath(folder()));
        QFile bad(QDir(folder()).filePath(QStringLiteral("2-dead.recovery")));
        QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write("<presetbanks>") > 0);
        bad.close();
        RecoveryCopy next(folder());
        const auto orphan = next.findOrphan();
        QVERIFY(orphan);
        BankStore store = sampleStore(QStringLiteral("kept"));
        QString fileName, errorText;
        QVERIFY(!next.restore(*orphan, store, fileName, errorText));
        QVERIFY(!errorText.isEmpty());
        QVERIFY(sameContent(store, sampleStore(QStringLiteral("kept"))));
    }
};

QTEST_GUILESS_MAIN(TestRecoveryCopy)
#include "tst_recoverycopy.moc"
