#include "library/libraryindexer.h"

#include "library/librarydatabase.h"
#include "library/libraryfile.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSet>
#include <QThread>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Files read ahead of the database; bounds memory while the writer catches up.
constexpr size_t QueueLimit = 8;
// Files per transaction: searches see progress, and a cancelled update keeps its work.
constexpr int FilesPerCommit = 50;

bool isUnder(const QString &path, const QStringList &folders)
{
    for (const QString &f : folders)
        if (path.startsWith(f.endsWith(QLatin1Char('/')) ? f : f + QLatin1Char('/')))
            return true;
    return false;
}

} // namespace

LibraryUpdateResult LibraryIndexer::update(LibraryDatabase &db, const QStringList &folderList,
                                           bool wholeLibrary, const Progress &progress,
                                           const std::atomic<bool> *cancel)
{
    LibraryUpdateResult result;
    auto cancelled = [cancel] { return cancel && cancel->load(std::memory_order_relaxed); };

    QStringList folders;
    for (const QString &f : folderList)
        folders << QDir::cleanPath(QFileInfo(f).absoluteFilePath());

    const QHash<QString, LibraryDatabase::Stamp> stamps = db.fileStamps();
    if (!db.errorString().isEmpty()) {
        result.ok = false;
        result.error = db.errorString();
        return result;
    }

    // Symbolic links to folders are not followed, so a link loop cannot trap the walk.
    QSet<QString> seen;
    std::vector<LibraryFile> toRead; // path, size and time as the walk saw them
    for (const QString &folder : folders) {
        QDirIterator it(folder, QDir::Files | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (cancelled()) {
                result.cancelled = true;
                return result;
            }
            if (!isLibraryFileName(path) || seen.contains(path))
                continue;
            seen.insert(path);
            const QFileInfo info = it.fileInfo();
            const qint64 size = info.size();
            const qint64 mtime = info.lastModified().toMSecsSinceEpoch();
            const auto stamp = stamps.constFind(path);
            if (stamp == stamps.constEnd() || stamp->size != size || stamp->mtime != mtime) {
                LibraryFile file;
                file.path = path;
                file.size = size;
                file.mtime = mtime;
                toRead.push_back(std::move(file));
            }
        }
    }
    result.filesFound = int(seen.size());

    // A folder that is not there (a drive not plugged in) keeps its files in the index.
    QStringList missing;
    for (const QString &folder : folders)
        if (!QFileInfo(folder).isDir())
            missing << folder;
    std::vector<qint64> gone;
    for (auto it = stamps.constBegin(); it != stamps.constEnd(); ++it)
        if (!seen.contains(it.key()) && (wholeLibrary || isUnder(it.key(), folders)) &&
            !isUnder(it.key(), missing))
            gone.push_back(it->id);

    if (toRead.empty() && gone.empty()) {
        if (!db.ensureHashIndex()) {
            result.ok = false;
            result.error = db.errorString();
        }
        return result;
    }

    // Readers parse files in parallel; this thread alone writes the database.
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<LibraryFile> ready;
    size_t next = 0;
    bool stop = false;
    auto reader = [&] {
        for (;;) {
            LibraryFile file;
            {
                std::unique_lock<std::mutex> lock(mutex);
                if (stop || cancelled() || next >= toRead.size())
                    return;
                file = std::move(toRead[next++]);
            }
            readLibraryFileContents(file);
            if (file.error.isEmpty())
                prepareSearchData(file);
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [&] { return stop || ready.size() < QueueLimit; });
            if (stop)
                return;
            ready.push_back(std::move(file));
            changed.notify_all();
        }
    };
    const int total = int(toRead.size());
    const int readerCount = std::max(1, std::min(QThread::idealThreadCount(), total));
    std::vector<std::thread> readers;
    for (int i = 0; i < readerCount; ++i)
        readers.emplace_back(reader);

    auto finishReaders = [&] {
        {
            std::lock_guard<std::mutex> lock(mutex);
            stop = true;
        }
        changed.notify_all();
        for (std::thread &t : readers)
            t.join();
    };

    bool inTransaction = db.begin();
    bool dbOk = inTransaction;
    const bool bulk = stamps.size() < total;
    if (dbOk && bulk)
        dbOk = db.dropHashIndex();
    int stored = 0;
    int sinceCommit = 0;
    while (dbOk && stored < total) {
        LibraryFile file;
        {
            std::unique_lock<std::mutex> lock(mutex);
            // Cancelling does not notify: look at the flag now and then.
            while (ready.empty() && !cancelled())
                changed.wait_for(lock, std::chrono::milliseconds(100));
            if (ready.empty())
                break; // cancelled
            file = std::move(ready.front());
            ready.pop_front();
            changed.notify_all();
        }
        if (cancelled())
            break;
        if (!file.error.isEmpty())
            result.unreadable << QStringLiteral("%1: %2").arg(file.path, file.error);
        dbOk = db.storeFile(file);
        ++stored;
        if (dbOk && ++sinceCommit >= FilesPerCommit) {
            dbOk = db.commit() && db.begin();
            sinceCommit = 0;
        }
        if (progress)
            progress(stored, total);
    }
    finishReaders();
    result.filesRead = stored;
    result.cancelled = cancelled() && stored < total;

    if (dbOk && !result.cancelled) {
        for (qint64 id : gone)
            if (!(dbOk = db.removeFile(id)))
                break;
        if (dbOk)
            result.filesRemoved = int(gone.size());
    }
    // Also makes the index again where an update that dropped it was cut short.
    if (dbOk)
        dbOk = db.ensureHashIndex();
    if (dbOk && inTransaction)
        dbOk = db.commit();
    if (!dbOk) {
        result.ok = false;
        result.error = db.errorString();
        db.rollback();
        db.ensureHashIndex();
    }
    return result;
}
