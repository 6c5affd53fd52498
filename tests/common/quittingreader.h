#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

// A FIFO whose reader takes the first `count` bytes and then goes away, as `head -c` does:
// whoever writes more than a pipe holds meets a closed pipe. The reader is there before
// the writer comes (a writer that opens without waiting finds it) and gives up after a
// minute without data.
class QuittingReader
{
public:
    explicit QuittingReader(const QString &fileName, int count = 10) : path(QFile::encodeName(fileName))
    {
        if (::mkfifo(path.constData(), 0600) != 0)
            return;
        fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC); // never a reader in a child
        if (fd < 0)
            return;
        reader = std::thread([this, count] {
            char buffer[64];
            while (got.size() < count) {
                pollfd p{fd, POLLIN, 0};
                if (::poll(&p, 1, 60000) <= 0)
                    break;
                const ssize_t n = ::read(fd, buffer, size_t(count - got.size()));
                if (n > 0)
                    got.append(buffer, n);
                else if (n == 0 && (p.revents & POLLHUP))
                    break; // the writer went first
            }
            ::close(fd);
        });
    }
    ~QuittingReader()
    {
        if (reader.joinable())
            reader.join();
        ::unlink(path.constData());
    }
    bool ok() const { return fd >= 0; }
    // What it read, once it has gone.
    QByteArray taken()
    {
        if (reader.joinable())
            reader.join();
        return got;
    }

private:
    QByteArray path;
    int fd = -1;
    QByteArray got;
    std::thread reader;
};
