#include "files/filestamp.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>

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

QString FileStamp::toText() const
{
    if (!valid)
        return QString();
    return QStringLiteral("%1 %2 %3 %4 %5 %6")
        .arg(size)
        .arg(mtimeNs)
        .arg(ctimeNs)
        .arg(device)
        .arg(inode)
        .arg(QString::fromLatin1(hash.toHex()));
}

FileStamp FileStamp::fromText(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(' '));
    FileStamp stamp;
    if (parts.size() != 6)
        return stamp;
    bool ok[5] = {};
    stamp.size = parts[0].toLongLong(&ok[0]);
    stamp.mtimeNs = parts[1].toLongLong(&ok[1]);
    stamp.ctimeNs = parts[2].toLongLong(&ok[2]);
    stamp.device = parts[3].toULongLong(&ok[3]);
    stamp.inode = parts[4].toULongLong(&ok[4]);
    stamp.hash = QByteArray::fromHex(parts[5].toLatin1());
    // A hash that is not whole would make every compare of the same size say "changed".
    const bool hashOk = parts[5].isEmpty() || stamp.hash.size() * 2 == parts[5].size();
    if (std::all_of(std::begin(ok), std::end(ok), [](bool b) { return b; }) && hashOk && stamp.size >= 0)
        stamp.valid = true;
    else
        stamp = FileStamp();
    return stamp;
}

bool FileStamp::operator==(const FileStamp &other) const
{
    if (!valid || !other.valid)
        return valid == other.valid;
    return size == other.size && mtimeNs == other.mtimeNs && ctimeNs == other.ctimeNs &&
           device == other.device && inode == other.inode && hash == other.hash;
}

QDateTime FileStamp::modifiedAt(const QString &path)
{
    return QFileInfo(path).lastModified();
}
