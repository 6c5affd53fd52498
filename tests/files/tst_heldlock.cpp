// Locks held by the operating system: whatever a lock file says or is, only a running holder
// keeps it; a dead one (killed, still a zombie) releases it at once; two never overlap.
#include "common/testfiles.h"
#include "files/heldlock.h"

#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <csignal>
#include <thread>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

class TestHeldLock : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("x.lock")); }

private slots:
    void init() { QFile::remove(path()); }

    // What a dead program, another machine or a stray file may leave at a lock's path.
    void aLockNobodyHoldsIsTakenAtOnce_data()
    {
        QTest::addColumn<QByteArray>("left");
        const QByteArray self = QByteArray::number(::getpid());
        QTest::newRow("another host") << self + "\norvex-presetmanager\nelsewhere.example\n";
        QTest::newRow("another boot") << self + "\norvex-presetmanager\n\n0123456789abcdef\nnot-this-boot\n";
        QTest::newRow("a live foreign process") << QByteArray("1\norvex-presetmanager\n\n");
        QTest::newRow("a FIFO") << QByteArray("fifo");
    }
    void aLockNobodyHoldsIsTakenAtOnce()
    {
        QFETCH(QByteArray, left);
        const QByteArray name = QFile::encodeName(path());
        if (left == "fifo")
            QVERIFY(::mkfifo(name.constData(), 0600) == 0);
        else
            writeTestFile(path(), left);
        QVERIFY(!HeldLock::isHeld(path()));
        HeldLock first(path());
        QCOMPARE(first.tryLock(), HeldLock::State::Held);
        struct stat st;
        QVERIFY(::lstat(name.constData(), &st) == 0 && S_ISREG(st.st_mode));
        HeldLock second(path());
        QCOMPARE(second.tryLock(), HeldLock::State::HeldElsewhere);
        QVERIFY(HeldLock::isHeld(path()) && !HeldLock::removeIfStale(path()));
        first.unlock(true);
        QVERIFY(!QFile::exists(path()));
        QCOMPARE(second.tryLock(), HeldLock::State::Held);
    }

    // A running program of an earlier version holds its lock through QLockFile.
    void aQLockFileHolderIsRespected()
    {
        QLockFile earlier(path());
        QVERIFY(earlier.tryLock(0));
        QVERIFY(HeldLock::isHeld(path()));
        QCOMPARE(HeldLock(path()).tryLock(), HeldLock::State::HeldElsewhere);
    }

    // Held by another process while it runs; once killed, and while still a zombie (its
    // number taken, not reaped), free.
    void aDeadHolderReleasesAtOnce()
    {
        HeldLock mine(path());
        int ready[2];
        QVERIFY(::pipe(ready) == 0);
        const pid_t child = ::fork();
        if (child == 0) {
            const char said = mine.tryLock() == HeldLock::State::Held ? 'y' : 'n';
            (void)!::write(ready[1], &said, 1);
            for (;;)
                ::pause();
        }
        char said = 0;
        const bool heard = ::read(ready[0], &said, 1) == 1 && said == 'y';
        const HeldLock::State whileAlive = mine.tryLock();
        ::kill(child, SIGKILL);
        siginfo_t info = {};
        const bool zombie =
            ::waitid(P_PID, id_t(child), &info, WEXITED | WNOWAIT) == 0 && ::kill(child, 0) == 0;
        const HeldLock::State afterDeath = mine.tryLock();
        ::waitpid(child, nullptr, 0);
        QVERIFY(heard && zombie);
        QCOMPARE(whileAlive, HeldLock::State::HeldElsewhere);
        QCOMPARE(afterDeath, HeldLock::State::Held);
    }

    // Threads take, remove and release one lock as fast as they can: never two holders,
    // also while the file goes and comes between their steps.
    void neverTwoHolders()
    {
        std::atomic<int> holders{0}, overlaps{0}, taken{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&, t] {
                for (int i = 0; i < 6000; ++i) {
                    HeldLock lock(path());
                    if (lock.tryLock() != HeldLock::State::Held)
                        continue;
                    overlaps += holders.fetch_add(1) != 0;
                    ++taken;
                    std::this_thread::yield();
                    holders.fetch_sub(1);
                    lock.unlock((i + t) % 2 == 0);
                }
            });
        for (std::thread &t : threads)
            t.join();
        QCOMPARE(overlaps.load(), 0);
        QVERIFY(taken.load() > 0);
    }
};

QTEST_GUILESS_MAIN(TestHeldLock)
#include "tst_heldlock.moc"
