#pragma once

#include "library/libraryindexer.h"

class LibraryDatabase;

#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

// Runs library updates off the GUI thread, one at a time: a start() while one runs makes
// another follow it. It is the window's one writer of the database: folder changes go
// through it too, and only it repairs a damaged database. After its first update the
// updater also checks every page of the database once (damage is otherwise found only
// when a query meets it) and rebuilds a damaged one. Signals arrive on the thread that
// owns the updater.
class LibraryUpdater : public QObject
{
    Q_OBJECT
public:
    // One update of an open database as every front end runs it, repairs included: damage
    // met while writing, or found by the check of every page that follows with
    // `checkPages`, rebuilds the database (folders kept) and reads every file again.
    // `folders` empty: the whole library; otherwise only those (wholeLibrary false), until
    // a rebuild. `rebuilt` is called after each rebuild, `updated` after each update ends,
    // `waiting` once an update has waited a while for another program's to end.
    struct Repair
    {
        std::function<void()> rebuilt;
        std::function<void(const LibraryUpdateResult &)> updated;
        LibraryIndexer::Waiting waiting;
    };
    static LibraryUpdateResult updateAndRepair(LibraryDatabase &db, const QStringList &initialFolders,
                                               const QStringList &folders, bool checkPages,
                                               const LibraryIndexer::Progress &progress,
                                               const std::atomic<bool> *cancel, const Repair &repair);

    LibraryUpdater(const QString &databasePath, const QStringList &initialFolders, QObject *parent = nullptr);
    // Stops a running update (what it stored so far stays) and waits for it.
    ~LibraryUpdater() override;

    void start();
    // Covers a folder, or stops covering one, and updates. They return at once: a running
    // update is cut short (what it stored stays) so the change follows within moments.
    void addFolder(const QString &folder);
    void removeFolder(const QString &folder);
    // The next run checks every page of the database before it updates (it rebuilds a
    // damaged one); for when a search met damage. Launch checks after its update instead,
    // so that nothing waits for the check.
    void checkNextRun() { check = true; }
    bool isRunning() const { return running; }
    // The last rebuild reported by opened() was of an older program's library.
    bool upgraded() const { return wasUpgraded; }
    const QString &databasePath() const { return path; }

signals:
    // The database is open, at the start of each run. `rebuilt`: it was damaged (or, when
    // upgraded() says so, came from an older program) and has been made anew, so an update
    // that reads every file again follows.
    void opened(bool ok, bool rebuilt, const QString &error);
    void progress(int done, int total);
    // The run waits for another program's update of the same library to end.
    void waiting();
    // An update has ended (the run may go on checking the database).
    void finished(const LibraryUpdateResult &result);
    // A folder change asked for could not be stored; the folders stay as they were.
    void folderChangeFailed(const QString &folder, bool adding, const QString &error);

private:
    struct FolderChange
    {
        QString folder;
        bool adding = false;
    };
    void changeFolder(const QString &folder, bool adding);
    void finishRun();

    QString path;
    QStringList initialFolders;
    std::thread worker;
    std::atomic<bool> cancel{false};
    bool running = false;
    bool pending = false;
    bool check = false;
    bool checkedPages = false;
    bool wasUpgraded = false;
    std::vector<FolderChange> folderChanges; // for the next run
};
