// Locks held by the operating system: whatever a lock file says or is, only a running holder
// keeps it, a dead one (killed, or a zombie not yet reaped) releases it at once, and two
// holders never overlap.
#include "files/heldlock.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <csignal>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

class TestHeldLock : public QObject
{
    Q_OBJECT

private slots:
    // What a dead program, another machine or a stray file may leave at a lock's path.
    void aLockNobodyHoldsIsTakenAtOnce_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("content");
        const QByteArray self = QByteArray::number(::getpid());
        QTest::newRow("missing") << "none" << QByteArray();
        QTest::newRow("empty") << "file" << QByteArray();
        QTest::newRow("another host") << "file" << self + "\norvex-presetman\nelsewhere.example\n";
        QTest::newRow("another boot")
            << "file" << self + "\norvex-presetman\n\n0123456789abcdef\nnot-this-boot-id\n";
        // The number of a live process of another user (the first process).
        QTest::newRow("live foreign pid") << "file" << QByteArray("1\norvex-presetman\n\n");
        QTest::newRow("read-only copy") << "readonly" << self + "\n";
        QTest::newRow("FIFO") << "fifo" << QByteArray();
        QTest::newRow("dangling link") << "link" << QByteArray();
    }
    void aLockNobodyHoldsIsTakenAtOnce()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("x.lock"));
        const QByteArray name = QFile::encodeName(path);
        if (kind == QLatin1String("file") || kind == QLatin1String("readonly")) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(content) == content.size());
            f.close();
            if (kind == QLatin1String("readonly"))
                QVERIFY(f.setPermissions(QFileDevice::ReadOwner));
        } else if (kind == QLatin1String("fifo")) {
            QVERIFY(::mkfifo(name.constData(), 0600) == 0);
        } else if (kind == QLatin1String("link")) {
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("nowhere")), path));
        }

        QVERIFY(!HeldLock::isHeld(path));
        HeldLock first(path);
        QCOMPARE(first.tryLock(), HeldLock::State::Held);
        struct stat st;
        QVERIFY(::lstat(name.constData(), &st) == 0 && S_ISREG(st.st_mode));
        QVERIFY(HeldLock::isHeld(path));
        HeldLock second(path);
        QCOMPARE(second.tryLock(), HeldLock::State::HeldElsewhere);
        QVERIFY(!HeldLock::removeIfStale(path));
        first.unlock(true);
        QVERIFY(!QFileInfo::exists(path));
        QCOMPARE(second.tryLock(), HeldLock::State::Held);
    }

    // A folder where the lock should be can't be made a lock; it is left alone.
    void aFolderIsNoLock()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("x.lock"));
        QVERIFY(QDir().mkpath(path));
        QCOMPARE(HeldLock(path).tryLock(), HeldLock::State::Unavailable);
        QVERIFY(!HeldLock::removeIfStale(path));
        QVERIFY(QFileInfo(path).isDir());
    }

    // Another process holds the lock while it runs; killed, and still a zombie (not reaped),
    // it holds nothing.
    void aDeadHolderReleasesAtOnce()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("x.lock"));
        HeldLock mine(path);
        int ready[2];
        QVERIFY(::pipe(ready) == 0);
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            ::close(ready[0]);
            const char said = mine.tryLock() == HeldLock::State::Held ? 'y' : 'n';
            (void)!::write(ready[1], &said, 1);
            for (;;)
                ::pause();
        }
        ::close(ready[1]);
        char said = 0;
        const bool heard = ::read(ready[0], &said, 1) == 1;
        ::close(ready[0]);
        const bool heldThere = HeldLock::isHeld(path);
        const HeldLock::State whileAlive = mine.tryLock();
        ::kill(child, SIGKILL);
        siginfo_t info = {};
        // Waits for the end without reaping: the child stays a zombie, its number taken.
        const bool ended = ::waitid(P_PID, id_t(child), &info, WEXITED | WNOWAIT) == 0;
        const bool zombie = ::kill(child, 0) == 0;
        const bool heldAfter = HeldLock::isHeld(path);
        const HeldLock::State afterDeath = mine.tryLock();
        ::waitpid(child, nullptr, 0);

        QVERIFY(heard && said == 'y');
        QVERIFY(heldThere);
        QCOMPARE(whileAlive, HeldLock::State::HeldElsewhere);
        QVERIFY(ended && zombie);
        QVERIFY(!heldAfter);
        QCOMPARE(afterDeath, HeldLock::State::Held);
    }

    // Threads take, remove and release one lock as fast as they can: never two at once,
    // also while the file is removed and made again between their steps.
    void neverTwoHolders()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("x.lock"));
        std::atomic<int> holders{0};
        std::atomic<int> overlaps{0};
        std::atomic<int> taken{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&, t] {
                for (int i = 0; i < 1500; ++i) {
                    HeldLock lock(path);
                    if (lock.tryLock() != HeldLock::State::Held)
                        continue;
                    if (holders.fetch_add(1) != 0)
                        overlaps.fetch_add(1);
                    taken.fetch_add(1);
                    if ((i + t) % 3 == 0)
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
