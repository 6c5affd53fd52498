#include "library/libraryindexer.h"

#include "files/heldlock.h"
#include "library/librarydatabase.h"
#include "library/libraryfile.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
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
constexpr size_t QueueLimit = 32;
// A transaction begins once this many files are ready (or the readers took a while), so
// that the writer does not hold the database for each file as it comes.
constexpr size_t BatchReady = 8;
constexpr int GatherMs = 200;
// A transaction holds at most this many files or this long: searches see progress, a
// cancelled update keeps its work, and another writer (the window's folder list,
// orvex-pre) waits well under a second for its turn. A file's rows follow those stored before
// it, so a commit writes little more than the new rows however short the transaction.
constexpr int FilesPerCommit = 100;
constexpr qint64 MaxTransactionMs = 250;

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

    // One update of a library at a time, across programs: a second one waits for the first
    // and then finds its files stored, instead of reading them all a second time. Only a
    // running update holds the lock; a lock file left by a crash, copied from another machine
    // or replaced by a FIFO is taken at once.
    HeldLock updating(db.path() + QStringLiteral(".updating"));
    while (updating.tryLock() == HeldLock::State::HeldElsewhere) {
        // Unavailable (no lock can be made there) ends the wait too: an update unguarded
        // rather than none at all.
        if (cancelled()) {
            result.cancelled = true;
            return result;
        }
        QThread::msleep(50);
    }

    QHash<QString, LibraryDatabase::Stamp> stamps;
    if (!db.fileStamps(stamps)) {
        result.ok = false;
        result.error = db.errorString();
        return result;
    }

    // Symbolic links to folders are not followed, so a link loop cannot trap the walk.
    QSet<QString> seen;
    std::vector<LibraryFile> toRead; // path, size and time as the walk saw them
    for (const QString &folder : folders) {
        // Regular files only (and links to them): a FIFO or device named like a preset file
        // is not listed, since reading one could block for good.
        QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
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
            if (!info.isFile())
                continue;
            const qint64 size = info.size();
            const qint64 mtime = info.lastModified().toMSecsSinceEpoch();
            const auto stamp = stamps.constFind(path);
            // A file that failed is tried again every time: what made it fail (its
            // permissions, a drive still waking up) need not change its size or time.
            if (stamp == stamps.constEnd() || stamp->size != size || stamp->mtime != mtime || stamp->failed) {
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

    if (toRead.empty() && gone.empty())
        return result;

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

    // Files are read outside transactions: one begins only once a file is ready to be
    // stored, and ends after a few files or a fraction of a second.
    bool dbOk = true;
    int stored = 0;
    auto takeReady = [&](bool wait, LibraryFile &file) {
        std::unique_lock<std::mutex> lock(mutex);
        // Cancelling does not notify: look at the flag now and then.
        while (wait && ready.empty() && !cancelled())
            changed.wait_for(lock, std::chrono::milliseconds(100));
        if (wait) {
            const size_t enough = std::min(BatchReady, size_t(total - stored));
            changed.wait_for(lock, std::chrono::milliseconds(GatherMs),
                             [&] { return ready.size() >= enough || cancelled(); });
        }
        if (ready.empty() || cancelled())
            return false;
        file = std::move(ready.front());
        ready.pop_front();
        changed.notify_all();
        return true;
    };
    while (dbOk && stored < total) {
        LibraryFile file;
        if (!takeReady(true, file))
            break; // cancelled
        if (!(dbOk = db.begin()))
            break;
        QElapsedTimer held;
        held.start();
        for (int inBatch = 0; dbOk;) {
            if (!file.error.isEmpty())
                result.unreadable << QStringLiteral("%1: %2").arg(file.path, file.error);
            dbOk = db.storeFile(file);
            ++stored;
            if (progress)
                progress(stored, total);
            if (++inBatch >= FilesPerCommit || held.elapsed() >= MaxTransactionMs || !takeReady(false, file))
                break;
        }
        dbOk = dbOk && db.commit();
    }
    finishReaders();
    result.filesRead = stored;
    result.cancelled = cancelled() && stored < total;

    // Files that are gone leave in short transactions too.
    size_t removed = 0;
    while (dbOk && !result.cancelled && removed < gone.size()) {
        if (!(dbOk = db.begin()))
            break;
        QElapsedTimer held;
        held.start();
        for (int inBatch = 0; dbOk && removed < gone.size(); ++inBatch) {
            if (inBatch >= FilesPerCommit || held.elapsed() >= MaxTransactionMs)
                break;
            dbOk = db.removeFile(gone[removed]);
            removed += dbOk;
        }
        dbOk = dbOk && db.commit();
    }
    result.filesRemoved = int(removed);
    if (!dbOk) {
        result.ok = false;
        result.error = db.errorString();
        db.rollback();
    }
    return result;
}
