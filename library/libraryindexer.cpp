#include "library/libraryindexer.h"

#include "files/heldlock.h"
#include "library/librarydatabase.h"
#include "library/libraryfile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>

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

struct Item
{
    LibraryFile file;
    LibraryDatabase::Stamp stamp;
};

bool isUnder(const QString &path, const QStringList &folders)
{
    for (const QString &f : folders)
        if (path == f || path.startsWith(f.endsWith(QLatin1Char('/')) ? f : f + QLatin1Char('/')))
            return true;
    return false;
}

qint64 nanoseconds(const struct timespec &t)
{
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// Everything about a backup's ".info" file that changes when it does, as one number (0: none).
qint64 companionStamp(const QByteArray &infoPath)
{
    struct stat st;
    if (::stat(infoPath.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return 0;
    quint64 h = 0x9E3779B97F4A7C15ull;
    for (qint64 v : {qint64(st.st_size), nanoseconds(st.st_mtim), nanoseconds(st.st_ctim), qint64(st.st_ino)})
        h = (h ^ quint64(v)) * 0xFF51AFD7ED558CCDull;
    return qint64(h | 1);
}

struct Walk
{
    const std::function<bool()> &cancelled;
    QSet<QString> seen;
    std::vector<std::pair<QString, LibraryDatabase::Stamp>> files;
    QStringList unreadable; // "path: message"
    QStringList unreadableDirs;

    // Regular files only (and links to them): a FIFO or device named like a preset file is
    // not listed, since reading one could block for good. Links to folders are not followed,
    // so a link loop cannot trap the walk. False when cancelled.
    bool folder(const QString &path)
    {
        const QByteArray local = QFile::encodeName(path);
        DIR *dir = ::opendir(local.constData());
        if (!dir) {
            if (errno != ENOENT && errno != ENOTDIR)
                failed(path, errno);
            return true; // a folder that is not there: a drive not plugged in
        }
        std::vector<std::pair<QByteArray, unsigned char>> entries;
        QSet<QByteArray> names;
        errno = 0;
        while (const dirent *e = ::readdir(dir)) {
            // Hidden files and folders (".Trash", ".git") are not the user's presets.
            if (e->d_name[0] != '.') {
                entries.emplace_back(QByteArray(e->d_name), e->d_type);
                names.insert(entries.back().first);
            }
            errno = 0;
        }
        const int readError = errno;
        ::closedir(dir);
        if (readError != 0) {
            failed(path, readError); // listed in part: keep what the index holds
            return true;
        }
        std::sort(entries.begin(), entries.end());
        for (const auto &[name, type] : entries) {
            if (cancelled())
                return false;
            const QByteArray full = local + '/' + name;
            struct stat st;
            bool isDir = type == DT_DIR;
            if (type == DT_UNKNOWN) {
                if (::lstat(full.constData(), &st) != 0)
                    continue;
                isDir = S_ISDIR(st.st_mode);
            }
            if (isDir) {
                if (!folder(QFile::decodeName(full)))
                    return false;
                continue;
            }
            if (type != DT_REG && type != DT_LNK && type != DT_UNKNOWN)
                continue;
            const QString file = QFile::decodeName(full);
            if (!isLibraryFileName(file) || seen.contains(file))
                continue;
            if (::stat(full.constData(), &st) != 0 || !S_ISREG(st.st_mode))
                continue;
            seen.insert(file);
            LibraryDatabase::Stamp stamp;
            stamp.size = st.st_size;
            stamp.mtime = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
            stamp.ctime = nanoseconds(st.st_ctim);
            stamp.inode = qint64(st.st_ino);
            // A backup is read with its ".info" file, which names what it covers.
            QByteArray info = name;
            if (info.size() > 4 && info.right(4).toLower() == ".pre")
                info.chop(4);
            info += ".info";
            if (names.contains(info))
                stamp.companion = companionStamp(local + '/' + info);
            files.emplace_back(file, stamp);
        }
        return true;
    }

    void failed(const QString &path, int code)
    {
        unreadable << QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(code)));
        unreadableDirs << path;
    }
};

} // namespace

LibraryUpdateResult LibraryIndexer::update(LibraryDatabase &db, const QStringList &folderList,
                                           bool wholeLibrary, const Progress &progress,
                                           const std::atomic<bool> *cancel, const Waiting &waiting)
{
    return run(db, &folderList, wholeLibrary, progress, cancel, waiting);
}

LibraryUpdateResult LibraryIndexer::updateLibrary(LibraryDatabase &db, const Progress &progress,
                                                  const std::atomic<bool> *cancel, const Waiting &waiting)
{
    return run(db, nullptr, true, progress, cancel, waiting);
}

LibraryUpdateResult LibraryIndexer::run(LibraryDatabase &db, const QStringList *folderList, bool wholeLibrary,
                                        const Progress &progress, const std::atomic<bool> *cancel,
                                        const Waiting &waiting)
{
    LibraryUpdateResult result;
    const std::function<bool()> cancelled = [cancel] {
        return cancel && cancel->load(std::memory_order_relaxed);
    };

    // One update of a library at a time, across programs: a second one waits for the first
    // and then finds its files stored, instead of reading them all a second time. Only a
    // running update holds the lock; a lock file left by a crash, copied from another machine
    // or replaced by a FIFO is taken at once.
    HeldLock updating(db.path() + QStringLiteral(".updating"));
    QElapsedTimer waited;
    waited.start();
    bool waitSaid = false;
    while (updating.tryLock() == HeldLock::State::HeldElsewhere) {
        if (!waitSaid && waiting && waited.elapsed() >= WaitSaidAfterMs) {
            waitSaid = true;
            waiting();
        }
        // Unavailable (no lock can be made there) ends the wait too: an update unguarded
        // rather than none at all.
        if (cancelled()) {
            result.cancelled = true;
            return result;
        }
        QThread::msleep(50);
    }

    auto failed = [&] {
        result.ok = false;
        result.error = db.errorString();
        return result;
    };
    // Read under the lock: a list read before it could miss a folder that another program
    // added and indexed while this update waited.
    bool listRead = true;
    const QStringList listed = folderList ? *folderList : db.folders(&listRead);
    if (!listRead)
        return failed();
    QStringList folders;
    for (const QString &f : listed)
        folders << QDir::cleanPath(QFileInfo(f).absoluteFilePath());

    QHash<QString, LibraryDatabase::Stamp> stamps;
    if (!db.fileStamps(stamps))
        return failed();

    Walk walk{cancelled, {}, {}, {}, {}};
    for (const QString &folder : folders)
        if (!walk.folder(folder)) {
            result.cancelled = true;
            return result;
        }
    result.filesFound = int(walk.seen.size());
    result.unreadableFolders = walk.unreadable;

    std::vector<Item> toRead;
    for (auto &[path, seen] : walk.files) {
        const auto stamp = stamps.constFind(path);
        // A file that failed is tried again every time: what made it fail (its permissions,
        // a drive still waking up) need not change its stamp.
        if (stamp == stamps.constEnd() || stamp->size != seen.size || stamp->mtime != seen.mtime ||
            stamp->ctime != seen.ctime || stamp->inode != seen.inode || stamp->companion != seen.companion ||
            stamp->failed) {
            Item item;
            item.file.path = path;
            item.file.size = seen.size;
            item.file.mtime = seen.mtime;
            item.stamp = seen;
            item.stamp.sealed = true;
            toRead.push_back(std::move(item));
        }
    }

    // A file not seen leaves the index only where the walk looked: under a folder it read
    // whole, or (for the whole library) outside every folder the library still covers. A
    // folder not there (a drive not plugged in) or not readable keeps its files.
    bool coveredRead = true;
    const QStringList covered = wholeLibrary ? db.folders(&coveredRead) : QStringList();
    if (!coveredRead)
        return failed();
    QStringList missing;
    for (const QString &folder : folders)
        if (!QFileInfo(folder).isDir())
            missing << folder;
    std::vector<qint64> gone;
    for (auto it = stamps.constBegin(); it != stamps.constEnd(); ++it) {
        const QString &path = it.key();
        if (walk.seen.contains(path) || isUnder(path, walk.unreadableDirs) || isUnder(path, missing))
            continue;
        if (isUnder(path, folders) || (wholeLibrary && !isUnder(path, covered)))
            gone.push_back(it->id);
    }
    // Once this update has gone through them, the folders count as complete in the index.
    auto finish = [&] {
        if (result.ok && !result.cancelled && !db.markFinished(folders)) {
            result.ok = false;
            result.error = db.errorString();
        }
        return result;
    };

    if (toRead.empty() && gone.empty())
        return finish();

    // Readers parse files in parallel; this thread alone writes the database.
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Item> ready;
    size_t next = 0;
    bool stop = false;
    auto reader = [&] {
        for (;;) {
            Item item;
            {
                std::unique_lock<std::mutex> lock(mutex);
                if (stop || cancelled() || next >= toRead.size())
                    return;
                item = std::move(toRead[next++]);
            }
            readLibraryFileRows(item.file);
            if (item.file.error.isEmpty())
                LibraryDatabase::sealRows(item.file);
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [&] { return stop || ready.size() < QueueLimit; });
            if (stop)
                return;
            ready.push_back(std::move(item));
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
    auto takeReady = [&](bool wait, Item &file) {
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
        Item item;
        if (!takeReady(true, item))
            break; // cancelled
        if (!(dbOk = db.begin()))
            break;
        QElapsedTimer held;
        held.start();
        for (int inBatch = 0; dbOk;) {
            if (!item.file.error.isEmpty())
                result.unreadable << QStringLiteral("%1: %2").arg(item.file.path, item.file.error);
            dbOk = db.storeFile(item.file, item.stamp);
            ++stored;
            if (progress)
                progress(stored, total);
            if (++inBatch >= FilesPerCommit || held.elapsed() >= MaxTransactionMs || !takeReady(false, item))
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
    return finish();
}
