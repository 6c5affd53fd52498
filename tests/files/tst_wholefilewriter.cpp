// Saves that are complete or reported: every failure keeps the old file byte for byte,
// and targets that are not regular files are written, never replaced.
#include "files/presetfile.h"
#include "files/syxfile.h"
#include "files/wholefilewriter.h"
#include "model/selectionmask.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
int failSyncWith = 0; // errno for the next syncs of this test program; 0: sync for real
} // namespace

// Stands in for the C library's: the writer links into this program, so its syncs come
// here and can fail as on a failing USB stick or a network share.
extern "C" int fdatasync(int fd)
{
    if (failSyncWith) {
        errno = failSyncWith;
        return -1;
    }
    return int(::syscall(SYS_fdatasync, fd));
}
extern "C" int fsync(int fd)
{
    if (failSyncWith) {
        errno = failSyncWith;
        return -1;
    }
    return int(::syscall(SYS_fsync, fd));
}

// Stands in for the C library's too: with refuseOwnerChange, changing a file's owner
// fails as it does for anyone but root, while changing only its group still works.
bool refuseOwnerChange = false;
extern "C" int fchown(int fd, uid_t owner, gid_t group)
{
    if (refuseOwnerChange && owner != uid_t(-1)) {
        errno = EPERM;
        return -1;
    }
    return int(::syscall(SYS_fchown, fd, owner, group));
}

using WholeFileWriter::Result;

namespace {

// Folder permissions do not stop root: run as root, the write happens in a child that
// has become an ordinary user (nobody), who owns the folder's contents.
constexpr uid_t Nobody = 65534;

Result writeAsUser(const QString &fileName, const QByteArray &data)
{
    if (::geteuid() != 0)
        return WholeFileWriter::write(fileName, data);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)
            ::_exit(100);
        ::_exit(int(WholeFileWriter::write(fileName, data)));
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) > 10)
        return Result(99);
    return Result(WEXITSTATUS(status));
}

// Hands a path to the user writeAsUser writes as.
void giveToUser(const QString &path)
{
    if (::geteuid() == 0)
        QVERIFY(::chown(QFile::encodeName(path).constData(), Nobody, Nobody) == 0);
}

} // namespace

class TestWholeFileWriter : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    static QByteArray contents(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
    }
    QStringList entries() const
    {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }

private slots:
    void init()
    {
        failSyncWith = 0;
        refuseOwnerChange = false;
        QVERIFY(dir.isValid());
        for (const QString &name : entries())
            QFile::remove(dir.filePath(name));
    }

    void failedSyncKeepsTheOldFile_data()
    {
        QTest::addColumn<int>("error");
        QTest::newRow("EIO") << EIO;
        QTest::newRow("ENOSPC") << ENOSPC;
        QTest::newRow("EDQUOT") << EDQUOT;
    }
    void failedSyncKeepsTheOldFile()
    {
        QFETCH(int, error);
        const QString target = dir.filePath(QStringLiteral("mine.pre"));
        QVERIFY(WholeFileWriter::write(target, "old content\n") == Result::Written);
        failSyncWith = error;
        BankStore store;
        store.fillEmptyBanks();
        QString errorText;
        QVERIFY(!savePresetFile(store, target, 0, 15, errorText));
        QCOMPARE(errorText, target + QStringLiteral(" can't be written completely."));
        QCOMPARE(contents(target), QByteArray("old content\n"));
        QCOMPARE(entries(), QStringList{QStringLiteral("mine.pre")}); // no temporary left
        failSyncWith = 0;
        QVERIFY(savePresetFile(store, target, 0, 15, errorText));
        QCOMPARE(contents(target), presetFileText(store, 0, 15));
    }

    void replacingKeepsPermissionsAndLinks()
    {
        const QString target = dir.filePath(QStringLiteral("real.pre"));
        const QString link = dir.filePath(QStringLiteral("link.pre"));
        QVERIFY(WholeFileWriter::write(target, "1") == Result::Written);
        QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        QVERIFY(QFile::link(target, link));
        QVERIFY(WholeFileWriter::write(link, "2") == Result::Written);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(contents(target), QByteArray("2"));
        QCOMPARE(QFile::permissions(target) & 0x7777, QFile::ReadOwner | QFile::WriteOwner |
                                                          QFile::ReadGroup | QFile::ReadUser |
                                                          QFile::WriteUser);
    }

    void anotherOwnersFileKeepsItsGroup()
    {
        if (::geteuid() != 0)
            QSKIP("needs to hand the file to another owner and group first");
        const QString target = dir.filePath(QStringLiteral("shared.pre"));
        QVERIFY(WholeFileWriter::write(target, "1") == Result::Written);
        const QByteArray path = QFile::encodeName(target);
        QCOMPARE(::chown(path.constData(), 4321, 4322), 0);
        refuseOwnerChange = true;
        QVERIFY(WholeFileWriter::write(target, "2") == Result::Written);
        struct stat st;
        QCOMPARE(::stat(path.constData(), &st), 0);
        QCOMPARE(st.st_uid, ::geteuid());
        QCOMPARE(st.st_gid, gid_t(4322));
        QCOMPARE(contents(target), QByteArray("2"));
    }

    void danglingLinkGetsItsFile()
    {
        const QString link = dir.filePath(QStringLiteral("link.pre"));
        QVERIFY(QFile::link(QStringLiteral("made-later.pre"), link)); // relative, as ln -s makes it
        QVERIFY(WholeFileWriter::write(link, "new") == Result::Written);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(contents(dir.filePath(QStringLiteral("made-later.pre"))), QByteArray("new"));

        const QString loop = dir.filePath(QStringLiteral("loop.pre"));
        QVERIFY(QFile::link(loop, loop));
        QVERIFY(WholeFileWriter::write(loop, "x") == Result::CantOpen);
        QVERIFY(QFileInfo(loop).isSymLink());
    }

    void killedSavesLeaveNoTemporaries()
    {
        const QString target = dir.filePath(QStringLiteral("mine.pre"));
        const auto temporary = [&](qint64 pid, const QString &suffix, int minutesOld) {
            const QString name = dir.filePath(QStringLiteral(".mine.pre.%1-%2.tmp").arg(pid).arg(suffix));
            QVERIFY(WholeFileWriter::write(name, "half a save") == Result::Written);
            QFile file(name);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-60 * minutesOld),
                                     QFileDevice::FileModificationTime));
        };
        temporary(0x7ffffff0, QStringLiteral("x1"), 60); // beyond any process number: its save was killed
        temporary(0x7ffffff0, QStringLiteral("x2"), 0);  // or still going, on another machine
        temporary(::getpid(), QStringLiteral("x1"), 60); // a save of this process may still be running
        temporary(1, QStringLiteral("x1"), 60);          // and one of a running process
        QVERIFY(WholeFileWriter::write(dir.filePath(QStringLiteral(".other.pre.2147483632-x1.tmp")), "") ==
                Result::Written);
        QVERIFY(WholeFileWriter::write(target, "saved") == Result::Written);
        QStringList left = entries();
        QStringList kept{QStringLiteral(".mine.pre.1-x1.tmp"),
                         QStringLiteral(".mine.pre.%1-x1.tmp").arg(::getpid()),
                         QStringLiteral(".mine.pre.2147483632-x2.tmp"),
                         QStringLiteral(".other.pre.2147483632-x1.tmp"), QStringLiteral("mine.pre")};
        left.sort();
        kept.sort();
        QCOMPARE(left, kept);
    }

    void devicesAreWrittenNotReplaced()
    {
        QVERIFY(WholeFileWriter::write(QStringLiteral("/dev/null"), "x") == Result::Written);
        QVERIFY(QFileInfo(QStringLiteral("/dev/null")).exists());
        struct stat st;
        QCOMPARE(::stat("/dev/null", &st), 0);
        QVERIFY(S_ISCHR(st.st_mode));
        if (QFileInfo::exists(QStringLiteral("/dev/full")))
            QVERIFY(WholeFileWriter::write(QStringLiteral("/dev/full"), "x") == Result::CantWrite);
    }

    // The temporary name keeps within the file system's limit on a name, whatever the
    // target's length; a temporary of a killed save of such a file is still found.
    void longNamesSave_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("238 characters") << QString(234, QLatin1Char('n')) + ".pre";
        QTest::newRow("255 characters") << QString(251, QLatin1Char('n')) + ".pre";
        QTest::newRow("255 bytes of umlauts") << QString(125, QChar(0xFC)) + "x.pre";
    }
    void longNamesSave()
    {
        QFETCH(QString, name);
        QCOMPARE(QFile::encodeName(name).size() <= 255, true);
        const QString target = dir.filePath(name);
        QVERIFY(WholeFileWriter::write(target, "first") == Result::Written);
        QVERIFY(WholeFileWriter::write(target, "second") == Result::Written);
        QCOMPARE(contents(target), QByteArray("second"));
        QCOMPARE(entries(), QStringList{name});
    }

    // A writable file in a folder where nothing can be made is written in place; a new
    // file there is refused, saying why. Each failure has one text, naming the file, for
    // a preset file and a SysEx file alike.
    void readOnlyFolder()
    {
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                      QFile::ReadOther | QFile::ExeOther));
        const QString folder = dir.filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkpath(folder));
        const QString mine = folder + QStringLiteral("/mine.pre");
        const QString theirs = folder + QStringLiteral("/protected.pre");
        QVERIFY(WholeFileWriter::write(mine, "a longer old content\n") == Result::Written);
        QVERIFY(WholeFileWriter::write(theirs, "kept") == Result::Written);
        giveToUser(folder);
        giveToUser(mine);
        giveToUser(theirs);
        QVERIFY(QFile::setPermissions(theirs, QFile::ReadOwner));
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                                  QFile::ExeOther));

        const Result inPlace = writeAsUser(mine, "new\n");
        const Result fresh = writeAsUser(folder + QStringLiteral("/new.pre"), "x");
        const Result readOnly = writeAsUser(theirs, "x");
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(inPlace == Result::Written);
        QCOMPARE(contents(mine), QByteArray("new\n"));
        QVERIFY(fresh == Result::ReadOnlyFolder);
        QVERIFY(!QFile::exists(folder + QStringLiteral("/new.pre")));
        QVERIFY(readOnly == Result::CantOpen);
        QCOMPARE(contents(theirs), QByteArray("kept"));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 2);
        QCOMPARE(WholeFileWriter::errorText(fresh, QStringLiteral("/x/new.pre")),
                 QStringLiteral("/x/new.pre can't be saved: its folder is read-only."));

        BankStore store;
        store.fillEmptyBanks();
        SelectionMask one;
        one.set(1, 0);
        const QString nowhere = dir.filePath(QStringLiteral("missing/out"));
        QString preText, syxText;
        QVERIFY(!savePresetFile(store, nowhere + ".pre", 0, 15, preText));
        QVERIFY(!saveSyxFile(store, one, nowhere + ".syx", syxText));
        QCOMPARE(preText, nowhere + ".pre can't be opened for writing.");
        QCOMPARE(syxText, nowhere + ".syx can't be opened for writing.");
    }

    void fifoIsWrittenNotReplaced()
    {
        const QByteArray fifo = QFile::encodeName(dir.filePath(QStringLiteral("pipe")));
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        // Nobody reads: refused at once rather than waiting for ever.
        QVERIFY(WholeFileWriter::write(QFile::decodeName(fifo), "x") == Result::CantOpen);

        const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(reader >= 0);
        const QByteArray data(40000, 'a'); // fits the pipe's buffer
        QVERIFY(WholeFileWriter::write(QFile::decodeName(fifo), data) == Result::Written);
        QByteArray got(data.size() + 1, 0);
        QCOMPARE(::read(reader, got.data(), got.size()), ssize_t(data.size()));
        ::close(reader);
        struct stat st;
        QCOMPARE(::stat(fifo.constData(), &st), 0);
        QVERIFY(S_ISFIFO(st.st_mode));
    }
};

QTEST_GUILESS_MAIN(TestWholeFileWriter)
#include "tst_wholefilewriter.moc"
