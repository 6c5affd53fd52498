#include "files/regularfile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RegularFile {

namespace {

struct Fd
{
    int fd = -1;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

Result openRegular(const QString &path, Fd &file, struct stat &st)
{
    file.fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (file.fd < 0)
        return Result::CantOpen;
    if (::fstat(file.fd, &st) != 0)
        return Result::CantOpen;
    if (S_ISDIR(st.st_mode))
        return Result::CantOpen; // as opening one for reading fails elsewhere
    return S_ISREG(st.st_mode) ? Result::Ok : Result::NotRegular;
}

// Reads until the end of the file or until `data` holds `limit` bytes.
Result readUpTo(int fd, qint64 limit, qsizetype expected, QByteArray &data)
{
    data.resize(std::min<qsizetype>(qsizetype(limit), expected));
    qsizetype got = 0;
    for (;;) {
        if (got == data.size()) {
            if (got >= limit)
                break;
            data.resize(std::min<qsizetype>(qsizetype(limit), got * 2 + 4096));
        }
        const ssize_t n = ::read(fd, data.data() + got, size_t(data.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Result::CantOpen;
        if (n == 0)
            break;
        got += n;
    }
    data.truncate(got);
    return Result::Ok;
}

} // namespace

Result read(const QString &path, qint64 maxSize, QByteArray &data)
{
    data.clear();
    Fd file;
    struct stat st;
    const Result opened = openRegular(path, file, st);
    if (opened != Result::Ok)
        return opened;
    if (st.st_size > maxSize)
        return Result::TooLarge;
    // One byte past the limit tells a file that grew beyond it.
    const Result result = readUpTo(file.fd, maxSize + 1, qsizetype(st.st_size) + 1, data);
    if (result == Result::Ok && data.size() > maxSize) {
        data.clear();
        return Result::TooLarge;
    }
    return result;
}

Result readStart(const QString &path, qint64 count, QByteArray &data)
{
    data.clear();
    Fd file;
    struct stat st;
    const Result opened = openRegular(path, file, st);
    if (opened != Result::Ok)
        return opened;
    return readUpTo(file.fd, count, qsizetype(std::min<qint64>(count, st.st_size)), data);
}

} // namespace RegularFile
