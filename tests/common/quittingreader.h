#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

// A FIFO whose reader takes the first 10 bytes and goes away, as `head -c 10` does. It is
// there before any writer opens, and never in a child process.
class QuittingReader
{
public:
    explicit QuittingReader(const QString &fileName) : path(QFile::encodeName(fileName))
    {
        if (::mkfifo(path.constData(), 0600) == 0)
            fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0)
            reader = std::thread([this] {
                char buffer[10];
                pollfd p{fd, POLLIN, 0};
                while (got.size() < 10 && ::poll(&p, 1, 60000) > 0) {
                    const ssize_t n = ::read(fd, buffer, size_t(10 - got.size()));
                    if (n > 0)
                        got.append(buffer, n);
                    else if (p.revents & POLLHUP)
                        break; // the writer went first
                }
                ::close(fd);
            });
    }
    ~QuittingReader()
    {
        taken();
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
