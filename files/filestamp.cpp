#include "files/filestamp.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Larger files are no file of this program's (a preset file is refused above 32 MB): judged
// by their metadata alone, so a stray huge file costs no long read.
constexpr qint64 MaxHashed = 64 * 1024 * 1024;

qint64 nanoseconds(const struct timespec &t)
{
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

struct Seen
{
    bool ok = false;
    struct stat st = {};
    QByteArray hash;
};

// Opens without waiting, and reads only a regular file: its metadata and content from one
// open file, so they belong together.
Seen look(const QString &path, bool withHash)
{
    Seen seen;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return seen;
    if (::fstat(fd, &seen.st) == 0 && S_ISREG(seen.st.st_mode)) {
        seen.ok = true;
        if (withHash && seen.st.st_size <= MaxHashed) {
            QCryptographicHash hash(QCryptographicHash::Sha1);
            char buffer[64 * 1024];
            for (;;) {
                const ssize_t n = ::read(fd, buffer, sizeof buffer);
                if (n < 0 && errno == EINTR)
                    continue;
                if (n < 0) {
                    seen.ok = false;
                    break;
                }
                if (n == 0)
                    break;
                hash.addData(QByteArrayView(buffer, n));
            }
            seen.hash = hash.result();
        }
    }
    ::close(fd);
    return seen;
}

} // namespace

FileStamp FileStamp::of(const QString &path)
{
    FileStamp stamp;
    const Seen seen = look(path, true);
    if (!seen.ok)
        return stamp;
    stamp.valid = true;
    stamp.size = qint64(seen.st.st_size);
    stamp.mtimeNs = nanoseconds(seen.st.st_mtim);
    stamp.ctimeNs = nanoseconds(seen.st.st_ctim);
    stamp.device = quint64(seen.st.st_dev);
    stamp.inode = quint64(seen.st.st_ino);
    stamp.hash = seen.hash;
    return stamp;
}

FileStamp::Change FileStamp::compare(const QString &path) const
{
    if (!valid)
        return Change::None;
    Seen now = look(path, false);
    if (!now.ok) // a file that can't be read now is someone else's doing too
        return QFileInfo(path).isFile() ? Change::Changed : Change::Gone;
    if (qint64(now.st.st_size) == size && nanoseconds(now.st.st_mtim) == mtimeNs &&
        nanoseconds(now.st.st_ctim) == ctimeNs && quint64(now.st.st_dev) == device &&
        quint64(now.st.st_ino) == inode)
        return Change::None;
    if (qint64(now.st.st_size) != size || hash.isEmpty())
        return Change::Changed;
    now = look(path, true);
    return now.ok && now.hash == hash ? Change::None : Change::Changed;
}

QDateTime FileStamp::modifiedAt(const QString &path)
{
    return QFileInfo(path).lastModified();
}
