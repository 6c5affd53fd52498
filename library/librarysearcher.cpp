#include "library/librarysearcher.h"

#include <QFile>
#include <QMetaObject>

#include <memory>

#include <sys/stat.h>

LibrarySearcher::LibrarySearcher(const QString &databasePath, QObject *parent)
    : QObject(parent), path(databasePath)
{
}

LibrarySearcher::~LibrarySearcher()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
        pending.reset();
        superseded = true;
    }
    wake.notify_one();
    if (worker.joinable())
        worker.join();
}

quint64 LibrarySearcher::search(const QString &query, int limit)
{
    Request r;
    r.query = query;
    r.limit = limit;
    return submit(std::move(r));
}

quint64 LibrarySearcher::whereElse(qint64 hash, int limit)
{
    Request r;
    r.byHash = true;
    r.hash = hash;
    r.limit = limit;
    return submit(std::move(r));
}

void LibrarySearcher::cancel()
{
    ++latest;
    std::lock_guard<std::mutex> lock(mutex);
    pending.reset();
    superseded = true;
}

void LibrarySearcher::reopen()
{
    std::lock_guard<std::mutex> lock(mutex);
    reopenFirst = true;
}

quint64 LibrarySearcher::submit(Request request)
{
    request.id = ++latest;
    {
        std::lock_guard<std::mutex> lock(mutex);
        pending = std::move(request);
        superseded = true;
    }
    // The thread starts with the first request: a window that never searches has none.
    if (!worker.joinable())
        worker = std::thread([this] { run(); });
    wake.notify_one();
    return latest;
}

void LibrarySearcher::run()
{
    // The connection belongs to this thread: opened, used and closed here only.
    std::unique_ptr<LibraryDatabase> db;
    ino_t inode = 0; // of the file the connection opened
    for (;;) {
        Request request;
        bool reopenNow = false;
        {
            std::unique_lock<std::mutex> lock(mutex);
            wake.wait(lock, [this] { return stopping || pending; });
            if (stopping)
                return;
            request = std::move(*pending);
            pending.reset();
            superseded = false;
            reopenNow = reopenFirst;
            reopenFirst = false;
        }
        // Another program may have set a damaged file aside and made a new one under the
        // name: a connection to the old file would go on answering from it.
        struct stat now;
        const bool replaced = ::stat(QFile::encodeName(path).constData(), &now) != 0 || now.st_ino != inode;
        if (reopenNow || replaced)
            db.reset();
        LibrarySearchResult result;
        if (!db) {
            db = std::make_unique<LibraryDatabase>(path);
            struct stat opened;
            inode = ::stat(QFile::encodeName(path).constData(), &opened) == 0 ? opened.st_ino : 0;
            // The updater has made the database already: this connection only reads it.
            if (!db->openToRead()) {
                result.hits.ok = false;
                result.error = db->errorString();
                result.damaged = db->damaged();
                db.reset();
            }
        }
        if (db) {
            result.hits = request.byHash ? db->whereElse(request.hash, request.limit)
                                         : db->search(request.query, request.limit, &superseded);
            if (!result.hits.ok) {
                result.error = db->errorString();
                result.damaged = db->damaged();
                if (result.damaged)
                    db.reset(); // the file will be rebuilt; do not keep reading the old one
            }
        }
        if (superseded)
            continue;
        const quint64 id = request.id;
        // Dropped if the searcher is gone by then, and on arrival if a newer request came.
        QMetaObject::invokeMethod(
            this,
            [this, id, result = std::move(result)] {
                if (id == latest)
                    emit finished(id, result);
            },
            Qt::QueuedConnection);
    }
}
