// Recovery after a crash, end to end: a program is killed after an edit, and the next
// start offers its work back. A second program running meanwhile is never offered it.
#include "app/mainwindow.h"
#include "base/appidentity.h"
#include "common/altkeys.h"
#include "common/loadedwindow.h"
#include "common/modaldriver.h"
#include "files/presetfile.h"
#include "files/recoverycopy.h"
#include "views/presetgrid.h"

#include <QApplication>
#include <QDir>
#include <QLockFile>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstring>

#include <sys/stat.h>

namespace {

const char *const ChildVariable = "ORVEX_RECOVERY_CHILD";
const QString EditedName = QString::fromUtf8("Geändert");

void loadSample(MainWindow &w)
{
    w.setCurrentFile(QStringLiteral("/music/test.pre"));
    loadSomething(w, QStringLiteral("P %1/%2"));
}

void rename(MainWindow &w, int bank, int preset, const QString &name)
{
    w.history.startNewGroup = true;
    w.recordUndo(bank, preset);
    w.bankStore.at(bank, preset).name = name;
    w.bankStore.at(bank, preset).mark = true;
    w.updateTable(true);
}

// The program that gets killed: loads, renames, says what happens to its copy on standard
// output, and runs until it is killed. `mode`:
//   edit     one rename, written 50 ms later
//   busy     a rename every 20 ms for good, each restarting a wait of a minute
//   blocked  one rename; the first write fails (a folder stands where the copy goes)
//   locked   one rename whose copy is not written before the kill
int runChild(int argc, char **argv, const QByteArray &mode)
{
    AppIdentity::apply();
    QApplication app(argc, argv);
    MainWindow w;
    RecoveryCopy &copy = *w.recovery;
    copy.delayMs = mode == "busy" || mode == "locked" ? 60000 : 50;
    copy.maxWaitMs = 200;
    copy.retryMs = 50;
    loadSample(w);
    auto say = [](const QString &line) {
        std::puts(qPrintable(line));
        std::fflush(stdout);
    };
    say(QStringLiteral("copy ") + copy.copyPath());
    QObject::connect(&copy, &RecoveryCopy::copyWritten, [say] { say(QStringLiteral("on disk")); });
    QObject::connect(&copy, &RecoveryCopy::writeFailed, [&w, &copy, say] {
        say(QStringLiteral("failed: ") + w.statusBar()->currentMessage());
        QDir().rmdir(copy.copyPath()); // room again: the retry goes through
    });
    if (mode == "blocked")
        QDir().mkpath(copy.copyPath());
    rename(w, 3, 4, EditedName);
    if (mode == "locked")
        say(QStringLiteral("locked"));
    QTimer busy;
    int n = 0;
    QObject::connect(&busy, &QTimer::timeout, [&] { rename(w, 3, 4, QStringLiteral("busy %1").arg(++n)); });
    if (mode == "busy")
        busy.start(20);
    return app.exec();
}

// Runs a child until it has said `until`, then kills it, as a crash would end it.
struct KilledChild
{
    QByteArray said;
    QString copyPath;
    QString lockPath() const { return copyPath.chopped(int(strlen(".recovery"))) + QStringLiteral(".lock"); }

    bool run(const QByteArray &mode, const QByteArray &until)
    {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(ChildVariable), QString::fromLatin1(mode));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        if (!child.waitForStarted())
            return false;
        while (!said.contains(until) && child.waitForReadyRead(30000))
            said += child.readAllStandardOutput();
        child.kill();
        child.waitForFinished();
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("copy (\\S+)")).match(QString::fromUtf8(said));
        copyPath = m.captured(1);
        if (!said.contains(until))
            qWarning("the child said: %s\n%s", said.constData(), child.readAllStandardError().constData());
        return said.contains(until) && !copyPath.isEmpty();
    }
};

QStringList copies()
{
    return QDir(RecoveryCopy::defaultFolder()).entryList({QStringLiteral("*.recovery")}, QDir::Files);
}

} // namespace

class TestRecovery : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        AppIdentity::apply();
        QDir(RecoveryCopy::defaultFolder()).removeRecursively();
    }

    void workOfAKilledProgramComesBack()
    {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(ChildVariable), QStringLiteral("edit"));
        child.setProcessEnvironment(env);
        const QString editedAt = QDateTime::currentDateTime().toString(QStringLiteral("d MMM yyyy HH:mm"));
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForStarted());
        QByteArray said;
        while (!said.contains("on disk") && child.waitForReadyRead(30000))
            said += child.readAllStandardOutput();
        QVERIFY2(said.contains("on disk"), child.readAllStandardError().constData());

        {
            // A second program while the first still runs: its own copy, nothing offered.
            MainWindow second;
            second.recovery->delayMs = 0;
            QVERIFY(!second.recovery->findOrphan());
            loadSample(second);
            rename(second, 5, 6, QStringLiteral("second"));
            second.recovery->writeNow();
            second.recovery->flush();
            QCOMPARE(copies().size(), 2);
        }
        QCOMPARE(copies().size(), 1); // the second ended normally: its copy went

        child.kill();
        QVERIFY(child.waitForFinished());

        MainWindow next;
        next.setGeometry(100, 80, 1000, 700);
        next.show();
        QVERIFY(QTest::qWaitForWindowExposed(&next));
        QString question;
        QString file;
        whenModalShows([&question, &file, &next](QWidget *m) {
            auto *box = qobject_cast<QMessageBox *>(m);
            QVERIFY(box);
            question = box->text();
            file = box->informativeText();
            // On the window's middle, wherever the window is, also once the window moves on.
            next.setGeometry(160, 120, 900, 650);
            QTRY_VERIFY2((box->frameGeometry().center() - next.frameGeometry().center()).manhattanLength() <=
                             2,
                         qPrintable(QStringLiteral("box at %1,%2")
                                        .arg(box->frameGeometry().center().x())
                                        .arg(box->frameGeometry().center().y())));
            QCOMPARE(altKeyFault(box), QString());
            for (QAbstractButton *b : box->buttons())
                if (b->text() == QLatin1String("&Restore"))
                    b->click();
        });
        next.offerRecovery();
        // The minute may have turned since the edit.
        const QString now = QDateTime::currentDateTime().toString(QStringLiteral("d MMM yyyy HH:mm"));
        const QString asked = QStringLiteral("Unsaved changes to test.pre from %1 were found. Restore them?");
        QVERIFY2(question == asked.arg(editedAt) || question == asked.arg(now), qPrintable(question));
        QVERIFY2(file.endsWith(QStringLiteral("test.pre")), qPrintable(file));
        QCOMPARE(next.bankStore.at(3, 4).name, EditedName);
        QCOMPARE(next.bankStore.at(3, 5).name, QStringLiteral("P 3/5"));
        QVERIFY(next.banksLoaded);
        QVERIFY(next.modified);
        QVERIFY(next.isWindowModified());
        QCOMPARE(next.windowTitle(), QStringLiteral("test.pre[*] - Orvex+ Preset Manager"));
        QCOMPARE(next.table->item(4, 3)->text().section(QLatin1Char('\n'), 0, 0), EditedName);

        // Brought back once: the next start offers nothing, and saving removes the copy.
        QVERIFY(!RecoveryCopy().findOrphan());
        next.markClean();
        next.recovery->flush();
        QVERIFY(copies().isEmpty());
    }

    void init() { QDir(RecoveryCopy::defaultFolder()).removeRecursively(); }

    // Restored work still knows what its program saw of its file: another program's change
    // since then is noticed by the first save; a copy that does not record it says so.
    void restoredWorkKnowsWhatItsFileHeld()
    {
        for (const bool stamped : {true, false}) {
            QTemporaryDir dir;
            const QString file = dir.filePath(QStringLiteral("set.pre"));
            BankStore store;
            store.fillEmptyBanks();
            QString errorText;
            QVERIFY(savePresetFile(store, file, 0, 15, errorText));
            const QString dead =
                QDir(RecoveryCopy::defaultFolder()).filePath(QStringLiteral("1-dead.recovery"));
            {
                RecoveryCopy dying;
                dying.delayMs = 0;
                dying.documentChanged(store, true, 7, file, stamped ? FileStamp::of(file) : FileStamp());
                dying.writeNow();
                dying.flush();
                QVERIFY(QFile::copy(dying.copyPath(), dead + QStringLiteral(".kept")));
            }
            QVERIFY(QFile::rename(dead + QStringLiteral(".kept"), dead));
            store.at(2, 0).name = QStringLiteral("theirs");
            QVERIFY(savePresetFile(store, file, 0, 15, errorText));
            MainWindow w;
            QString informative;
            whenModalShows([&](QWidget *m) {
                informative = qobject_cast<QMessageBox *>(m)->informativeText();
                qobject_cast<QMessageBox *>(m)->buttons().constFirst()->click(); // Restore
            });
            w.offerRecovery();
            QVERIFY(w.modified && w.document.fileName() == file);
            QCOMPARE(w.document.fileChangedOnDisk(),
                     stamped ? FileStamp::Change::Changed : FileStamp::Change::None);
            QCOMPARE(informative.contains(QLatin1String("does not record the state of this file")), !stamped);
        }
    }

    // Changes that keep coming are written all the same, at the latest after the longest
    // wait: here a minute's wait restarted every 20 ms, with 200 ms as the longest.
    void changesThatKeepComingAreWritten()
    {
        KilledChild child;
        QVERIFY(child.run("busy", "on disk"));
        RecoveryCopy next;
        const auto orphan = next.findOrphan();
        QVERIFY(orphan);
        BankStore store;
        QString fileName, errorText;
        QVERIFY2(next.read(*orphan, store, fileName, errorText), qPrintable(errorText));
        QVERIFY2(store.at(3, 4).name.startsWith(QLatin1String("busy ")), qPrintable(store.at(3, 4).name));
    }

    // A copy that can't be written says so in the status line and is tried again.
    void aFailedWriteIsShownAndTriedAgain()
    {
        KilledChild child;
        QVERIFY(child.run("blocked", "on disk"));
        QVERIFY2(child.said.contains("failed: The recovery copy can't be written in "),
                 child.said.constData());
        QVERIFY(RecoveryCopy().findOrphan());
    }

    // Only a running program holds a lock: whatever the lock file says or is (a FIFO), or
    // when no lock can be taken at all, the copy is offered.
    void aLockOfNoLiveProgramIsStale_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("garbage") << QByteArray("\xff\xfe not a lock\n\n");
        QTest::newRow("a live program of another name") << QByteArray("sleep");
        QTest::newRow("another machine's, its number alive here") << QByteArray("elsewhere");
        QTest::newRow("a FIFO") << QByteArray("fifo");
        QTest::newRow("can't be taken") << QByteArray("folder");
    }
    void aLockOfNoLiveProgramIsStale()
    {
        QFETCH(QByteArray, content);
        KilledChild child;
        QVERIFY(child.run("edit", "on disk"));
        QProcess other;
        QVERIFY(QFile::remove(child.lockPath()));
        if (content == "folder") {
            QVERIFY(QDir().mkpath(child.lockPath()));
        } else if (content == "fifo") {
            QVERIFY(::mkfifo(QFile::encodeName(child.lockPath()).constData(), 0600) == 0);
        } else {
            if (content == "sleep" || content == "elsewhere") {
                other.start(QStringLiteral("sleep"), {QStringLiteral("600")});
                QVERIFY(other.waitForStarted());
                // The number went to another program since this one died.
                content = QByteArray::number(other.processId()) + '\n' +
                          QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8() + '\n' +
                          (content == "sleep" ? QSysInfo::machineHostName().toUtf8() : "elsewhere.example") +
                          "\n";
            }
            QFile lock(child.lockPath());
            QVERIFY(lock.open(QIODevice::WriteOnly));
            lock.write(content);
            lock.close();
            // A well-formed lock: only the program behind the number tells it is stale.
            qint64 pid = 0;
            QVERIFY(other.state() == QProcess::NotRunning ||
                    QLockFile(child.lockPath()).getLockInfo(&pid, nullptr, nullptr));
        }
        const auto orphan = RecoveryCopy().findOrphan();
        if (other.state() != QProcess::NotRunning) {
            other.kill();
            other.waitForFinished();
        }
        QVERIFY(orphan);
        QCOMPARE(orphan->path, child.copyPath);
        QCOMPARE(orphan->lock == nullptr, content == "folder");
    }

    // A copy that can't be read says it is damaged and offers to discard it: once gone,
    // it is offered no more.
    void aDamagedCopyIsOfferedForRemoval()
    {
        KilledChild child;
        QVERIFY(child.run("edit", "on disk"));
        QVERIFY(QFile::resize(child.copyPath, QFileInfo(child.copyPath).size() / 2));
        MainWindow next;
        QString question;
        whenModalShows([&question](QWidget *m) {
            auto *box = qobject_cast<QMessageBox *>(m);
            QVERIFY(box);
            question = box->text();
            QCOMPARE(box->defaultButton()->text(), QStringLiteral("&Discard"));
            QCOMPARE(altKeyFault(box), QString());
            box->defaultButton()->click();
        });
        next.offerRecovery();
        QVERIFY2(
            question.endsWith(QLatin1String("were found, but their copy is damaged and can't be restored.")),
            qPrintable(question));
        QVERIFY(!next.banksLoaded);
        QVERIFY(copies().isEmpty());
        QVERIFY(!QFile::exists(child.lockPath()));
        QVERIFY(!RecoveryCopy().findOrphan());
    }

    // A write cut short leaves its temporary, a program killed before its first write its
    // lock: the next start removes both, and keeps what a live program holds.
    void leftoversOfDeadProgramsGo()
    {
        KilledChild early;
        QVERIFY(early.run("locked", "locked"));
        QVERIFY(QFile::exists(early.lockPath()));
        KilledChild cut;
        QVERIFY(cut.run("edit", "on disk"));
        const QFileInfo copy(cut.copyPath);
        const QString temporary =
            copy.dir().filePath(QStringLiteral(".%1.%2-x1.tmp")
                                    .arg(copy.fileName(), copy.baseName().section(QLatin1Char('-'), 0, 0)));
        QVERIFY(QFile::copy(cut.copyPath, temporary));
        MainWindow running; // a live program with a copy of its own and its temporary
        loadSample(running);
        rename(running, 1, 1, QStringLiteral("live"));
        running.recovery->writeNow();
        running.recovery->flush();
        const QFileInfo live(running.recovery->copyPath());
        const QString liveTemporary =
            live.dir().filePath(QStringLiteral(".%1.1-x2.tmp").arg(live.fileName()));
        QVERIFY(QFile::copy(live.filePath(), liveTemporary));

        RecoveryCopy next;
        const auto orphan = next.findOrphan();
        QVERIFY(orphan);
        QCOMPARE(orphan->path, cut.copyPath);
        QVERIFY(!QFile::exists(temporary));
        QVERIFY(!QFile::exists(early.lockPath()));
        QVERIFY(QFile::exists(liveTemporary));
        QVERIFY(QFile::exists(live.filePath()));
        QFile::remove(liveTemporary);
    }
};

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet(ChildVariable))
        return runChild(argc, argv, qgetenv(ChildVariable));
    QApplication app(argc, argv);
    TestRecovery test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_recovery.moc"
