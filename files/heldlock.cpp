#include "files/heldlock.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int OpenFlags = O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY;

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Open-file-description locks where the system has them: they belong to the open file, not
// to the process, so they also exclude two opens within one program, and they work on
// network file systems. A flock besides, as QLockFile holds one: a running program that
// still locks that way is respected too.
bool lockExclusive(int fd)
{
#ifdef F_OFD_SETLK
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_SETLK, &lock) != 0)
        return false;
#endif
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

bool heldByOther(int fd)
{
#ifdef F_OFD_GETLK
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK)
        return true;
#endif
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        ::flock(fd, LOCK_UN);
        return false;
    }
    return errno == EWOULDBLOCK;
}

bool busy(int error)
{
    return error == EAGAIN || error == EACCES || error == EWOULDBLOCK;
}

} // namespace

HeldLock::HeldLock(const QString &path) : lockPath(path) {}

HeldLock::~HeldLock()
{
    unlock();
}

HeldLock::State HeldLock::tryLock()
{
    if (fd >= 0)
        return State::Held;
    const QByteArray path = QFile::encodeName(lockPath);
    // A few rounds: another program may remove or replace the file between two steps.
    for (int round = 0; round < 8; ++round) {
        struct stat seen;
        if (::lstat(path.constData(), &seen) == 0 && !S_ISREG(seen.st_mode)) {
            if (S_ISDIR(seen.st_mode) || ::unlink(path.constData()) != 0)
                return State::Unavailable;
            continue;
        }
        const int f = ::open(path.constData(), O_RDWR | O_CREAT | OpenFlags, 0644);
        if (f < 0) {
            if (errno == ELOOP || errno == ENXIO)
                continue; // replaced by a link or a FIFO meanwhile
            // A lock file that may not be written (copied from elsewhere as read-only):
            // nobody of this user could have taken it for writing either, unless opened before.
            if (errno == EACCES && !isHeld(lockPath) && ::unlink(path.constData()) == 0)
                continue;
            return State::Unavailable;
        }
        struct stat opened;
        if (::fstat(f, &opened) != 0 || !S_ISREG(opened.st_mode)) {
            ::close(f);
            continue;
        }
        if (!lockExclusive(f)) {
            const int error = errno;
            ::close(f);
            return busy(error) ? State::HeldElsewhere : State::Unavailable;
        }
        // The holder before may have removed the file on its way out after it was opened here:
        // the lock counts only on the file the name still leads to.
        struct stat now;
        if (::stat(path.constData(), &now) == 0 && sameFile(now, opened)) {
            fd = f;
            return State::Held;
        }
        ::close(f);
    }
    return State::Unavailable;
}

void HeldLock::unlock(bool removeFile)
{
    if (fd < 0)
        return;
    if (removeFile) {
        const QByteArray path = QFile::encodeName(lockPath);
        struct stat mine, there;
        if (::fstat(fd, &mine) == 0 && ::stat(path.constData(), &there) == 0 && sameFile(mine, there))
            ::unlink(path.constData());
    }
    ::close(fd);
    fd = -1;
}

bool HeldLock::isHeld(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat seen;
    if (::lstat(name.constData(), &seen) != 0 || !S_ISREG(seen.st_mode))
        return false;
    const int f = ::open(name.constData(), O_RDONLY | OpenFlags);
    if (f < 0)
        return false;
    struct stat opened;
    const bool held = ::fstat(f, &opened) == 0 && S_ISREG(opened.st_mode) && heldByOther(f);
    ::close(f);
    return held;
}

bool HeldLock::removeIfStale(const QString &path)
{
    HeldLock lock(path);
    switch (lock.tryLock()) {
    case State::Held:
        lock.unlock(true);
        return true;
    case State::HeldElsewhere:
        return false;
    case State::Unavailable:
        break;
    }
    struct stat seen;
    return ::lstat(QFile::encodeName(path).constData(), &seen) != 0;
}
