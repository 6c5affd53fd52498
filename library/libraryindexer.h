#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

class LibraryDatabase;

// What one update did.
struct LibraryUpdateResult
{
    int filesFound = 0;
    int filesRead = 0; // new or changed since the last update
    int filesRemoved = 0;
    QStringList unreadable; // "path: message" for each file read now that failed
    // "path: message" for each folder that could not be read: its files stay as they were.
    QStringList unreadableFolders;
    bool cancelled = false;
    bool ok = true; // false: the database failed (see error)
    QString error;
};

// Brings the index up to date with the files in `folders` (searched recursively for
// preset files): new files and files whose size or time changed are read, several at a
// time; files that are gone are dropped. With `wholeLibrary` the folders are all the
// library covers, so files outside them are dropped too. Runs in the calling thread,
// which owns `db`; `progress` (done, total) is called there. User files are only read.
// One update of a database runs at a time, across threads and programs: another one waits
// (until `cancel`; `waiting` is called once it has waited WaitSaidAfterMs, so a front end can
// say what it waits for) and then reads only what the first did not store.
class LibraryIndexer
{
public:
    using Progress = std::function<void(int done, int total)>;
    using Waiting = std::function<void()>;
    static constexpr int WaitSaidAfterMs = 1000;
    static LibraryUpdateResult update(LibraryDatabase &db, const QStringList &folders, bool wholeLibrary,
                                      const Progress &progress = {},
                                      const std::atomic<bool> *cancel = nullptr, const Waiting &waiting = {});
    // The whole library, its folder list read once this update holds the library: a folder
    // added by another program meanwhile is then either in the list or added after.
    static LibraryUpdateResult updateLibrary(LibraryDatabase &db, const Progress &progress = {},
                                             const std::atomic<bool> *cancel = nullptr,
                                             const Waiting &waiting = {});

private:
    static LibraryUpdateResult run(LibraryDatabase &db, const QStringList *folders, bool wholeLibrary,
                                   const Progress &progress, const std::atomic<bool> *cancel,
                                   const Waiting &waiting);
};
