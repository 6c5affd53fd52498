#pragma once

#include <QFile>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// A FIFO named like a preset file, for checking that no reader waits on it. A reader that
// does block in its open would hang the test for good, so a watchdog frees it after a
// bounded wait by opening the other end, and `blocked()` then tells the test it failed.
class FifoWatch
{
public:
    explicit FifoWatch(const QString &fileName, std::chrono::seconds limit = std::chrono::seconds(10))
        : path(QFile::encodeName(fileName))
    {
        made = ::mkfifo(path.constData(), 0600) == 0;
        if (made)
            watchdog = std::thread([this, limit] {
                std::unique_lock<std::mutex> lock(mutex);
                if (wake.wait_for(lock, limit, [this] { return done; }))
                    return;
                wasBlocked = true;
                // A writer (and then a reader, for a writing opener) lets a blocked open
                // return; closing at once gives the reader an empty file.
                for (const int flags : {O_WRONLY | O_NONBLOCK, O_RDONLY | O_NONBLOCK}) {
                    const int fd = ::open(path.constData(), flags);
                    if (fd >= 0)
                        ::close(fd);
                }
            });
    }
    ~FifoWatch()
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            done = true;
        }
        wake.notify_all();
        if (watchdog.joinable())
            watchdog.join();
        ::unlink(path.constData());
    }
    bool ok() const { return made; }
    bool blocked()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return wasBlocked;
    }

private:
    QByteArray path;
    bool made = false;
    std::mutex mutex;
    std::condition_variable wake;
    bool done = false;
    bool wasBlocked = false;
    std::thread watchdog;
};
