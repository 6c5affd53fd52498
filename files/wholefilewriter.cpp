#include "files/wholefilewriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <QRandomGenerator>

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QSaveFile>
#endif

namespace WholeFileWriter {

#ifdef Q_OS_UNIX
namespace {

// Closes on every path out; close() itself is checked where it matters.
struct Fd
{
    int fd = -1;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
    bool close()
    {
        const int f = fd;
        fd = -1;
        return ::close(f) == 0;
    }
};

bool writeAll(int fd, const QByteArray &data)
{
    const char *p = data.constData();
    qint64 left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

// The data must be on the disk before the rename makes it the file: otherwise a crash
// or a failing device can leave neither the old nor the new content.
bool syncData(int fd)
{
#ifdef Q_OS_LINUX
    return ::fdatasync(fd) == 0;
#else
    return ::fsync(fd) == 0;
#endif
}

Result writeDirectly(const QByteArray &path, const QByteArray &data)
{
    // Non-blocking open: a FIFO nobody reads fails at once instead of freezing the program.
    Fd file{::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (file.fd < 0)
        return Result::CantOpen;
    const int flags = ::fcntl(file.fd, F_GETFL);
    if (flags < 0 || ::fcntl(file.fd, F_SETFL, flags & ~O_NONBLOCK) < 0)
        return Result::CantWrite;
    if (!writeAll(file.fd, data))
        return Result::CantWrite;
    // Pipes and most character devices can't be synced (EINVAL); that is no failure.
    if (!syncData(file.fd) && errno != EINVAL && errno != ENOTSUP && errno != EROFS)
        return Result::CantWrite;
    return file.close() ? Result::Written : Result::CantWrite;
}

// A temporary name must fit the folder's limit on a name (NAME_MAX, 255 bytes on the
// usual file systems) however long the target's name is: the target's name is cut, at a
// character's boundary, to leave room for the dot, the process number, the random part
// and ".tmp" (at most 24 bytes).
QString temporaryStem(const QString &fileName)
{
    constexpr qsizetype MaxStemBytes = 255 - 24;
    QByteArray stem = QFile::encodeName(fileName);
    if (stem.size() <= MaxStemBytes)
        return fileName;
    qsizetype cut = MaxStemBytes;
    while (cut > 0 && (uchar(stem[cut]) & 0xC0) == 0x80)
        --cut; // never inside a UTF-8 sequence
    stem.truncate(cut);
    return QFile::decodeName(stem);
}

// Temporary files are named ".NAME.PID-RANDOM.tmp" (NAME cut as temporaryStem says). One left behind by a
// save that was killed is removed by a later save of the same file once no process of that number runs here
// and it has not changed for a while (in a shared folder the number may be another machine's, whose save is
// still going).
void removeStaleTemporaries(const QString &dir, const QString &fileName)
{
    const QString prefix = QLatin1Char('.') + temporaryStem(fileName) + QLatin1Char('.');
    const QStringList names =
        QDir(dir).entryList({prefix + QStringLiteral("*.tmp")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        const QString middle = name.mid(prefix.size(), name.size() - prefix.size() - 4);
        const qsizetype dash = middle.indexOf(QLatin1Char('-'));
        bool isPid = false;
        const pid_t pid = pid_t(middle.left(dash).toLong(&isPid));
        if (dash <= 0 || !isPid || pid <= 0)
            continue; // not one of ours
        if (pid == ::getpid() || ::kill(pid, 0) == 0 || errno != ESRCH)
            continue; // its save may still be running
        const QByteArray path = QFile::encodeName(dir + QLatin1Char('/') + name);
        struct stat st;
        if (::lstat(path.constData(), &st) == 0 && S_ISREG(st.st_mode) && ::time(nullptr) - st.st_mtime > 600)
            ::unlink(path.constData());
    }
}

// A writable file in a folder where no temporary can be made: written over in place,
// opened as a device is. Its old content can't be kept through a failure, so the room is
// reserved first where the file system allows: a full disk then fails before anything
// changes.
Result writeInPlace(const QByteArray &path, const QByteArray &data)
{
    Fd file{::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (file.fd < 0)
        return Result::CantOpen;
    struct stat st;
    if (::fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode))
        return Result::CantOpen; // replaced by something else since it was looked at
#ifdef Q_OS_LINUX
    if (!data.isEmpty() && ::fallocate(file.fd, FALLOC_FL_KEEP_SIZE, 0, off_t(data.size())) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS)
        return Result::CantWrite;
#endif
    const bool ok =
        writeAll(file.fd, data) && ::ftruncate(file.fd, off_t(data.size())) == 0 && syncData(file.fd);
    return file.close() && ok ? Result::Written : Result::CantWrite;
}

Result replaceRegular(const QByteArray &path, const struct stat *existing, const QByteArray &data)
{
    if (existing && ::access(path.constData(), W_OK) != 0)
        return Result::CantOpen; // a read-only file is not replaced behind the user's back
    const QFileInfo info(QFile::decodeName(path));
    const QByteArray dir = QFile::encodeName(info.absolutePath());
    removeStaleTemporaries(info.absolutePath(), info.fileName());
    const QByteArray prefix = dir + "/." + QFile::encodeName(temporaryStem(info.fileName())) + "." +
                              QByteArray::number(::getpid()) + "-";

    QByteArray temp;
    Fd file;
    for (int attempt = 0; attempt < 100 && file.fd < 0; ++attempt) {
        temp = prefix + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".tmp";
        file.fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (file.fd >= 0 || errno == EEXIST)
            continue;
        if (errno != EACCES && errno != EPERM && errno != EROFS)
            return Result::CantOpen;
        // Nothing can be made in the folder: a file of its own that may be written is.
        if (existing && errno != EROFS)
            return writeInPlace(path, data);
        return Result::ReadOnlyFolder;
    }
    if (file.fd < 0)
        return Result::CantOpen;

    bool ok = true;
    if (existing) {
        // The new file keeps the old one's owner and group where allowed. Another owner's
        // file becomes the writer's, as any new file, but keeps its group when the writer
        // belongs to it: a file shared through a group stays shared.
        if (::fchown(file.fd, existing->st_uid, existing->st_gid) != 0)
            (void)!::fchown(file.fd, uid_t(-1), existing->st_gid);
        // After the chown, which may clear set-id bits.
        ok = ::fchmod(file.fd, existing->st_mode & 07777) == 0;
    }
    ok = ok && writeAll(file.fd, data) && syncData(file.fd);
    ok = file.close() && ok;
    ok = ok && ::rename(temp.constData(), path.constData()) == 0;
    if (!ok) {
        ::unlink(temp.constData());
        return Result::CantWrite;
    }
    // Makes the rename itself durable. The new file is in place by now, so a failure
    // here can no longer keep the old one; it is not reported as a failed save.
    Fd folder{::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (folder.fd >= 0)
        ::fsync(folder.fd);
    return Result::Written;
}

// Where a missing file's name leads: the name itself, or for a (chain of) symbolic
// link(s) the path at the end. Empty for a loop.
QString danglingLinkTarget(const QString &fileName)
{
    QString path = QFileInfo(fileName).absoluteFilePath();
    for (int hop = 0; hop < 40; ++hop) {
        const QFileInfo info(path);
        if (!info.isSymLink())
            return path;
        path = QDir(info.absolutePath()).absoluteFilePath(info.symLinkTarget());
    }
    return QString();
}

} // namespace

Result write(const QString &fileName, const QByteArray &data)
{
    if (fileName.isEmpty())
        return Result::CantOpen;
    QByteArray path = QFile::encodeName(fileName);
    struct stat st;
    if (::stat(path.constData(), &st) != 0) {
        if (errno != ENOENT)
            return Result::CantOpen;
        // A link to a file that does not exist yet: the file is made where it points, and
        // the link stays a link.
        const QString target = danglingLinkTarget(fileName);
        if (target.isEmpty())
            return Result::CantOpen;
        return replaceRegular(QFile::encodeName(target), nullptr, data);
    }
    if (S_ISDIR(st.st_mode))
        return Result::CantOpen;
    if (!S_ISREG(st.st_mode))
        return writeDirectly(path, data);
    // A link to a file: the file it points to gets the new content, the link stays.
    const QString target = QFileInfo(fileName).canonicalFilePath();
    if (!target.isEmpty())
        path = QFile::encodeName(target);
    return replaceRegular(path, &st, data);
}

#else

Result write(const QString &fileName, const QByteArray &data)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return Result::CantOpen;
    if (file.write(data) != data.size() || !file.commit())
        return Result::CantWrite;
    return Result::Written;
}

#endif

QString errorText(Result result, const QString &fileName)
{
    const char *text = nullptr;
    switch (result) {
    case Result::Written:
        return QString();
    case Result::CantOpen:
        text = QT_TRANSLATE_NOOP("WholeFileWriter", "%1 can't be opened for writing.");
        break;
    case Result::ReadOnlyFolder:
        text = QT_TRANSLATE_NOOP("WholeFileWriter", "%1 can't be saved: its folder is read-only.");
        break;
    case Result::CantWrite:
        text = QT_TRANSLATE_NOOP("WholeFileWriter", "%1 can't be written completely.");
        break;
    }
    return QCoreApplication::translate("WholeFileWriter", text).arg(QDir::toNativeSeparators(fileName));
}

} // namespace WholeFileWriter
