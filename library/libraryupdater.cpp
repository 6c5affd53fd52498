#include "library/libraryupdater.h"

#include "library/librarydatabase.h"

#include <QMetaObject>

LibraryUpdater::LibraryUpdater(const QString &databasePath, const QStringList &folders, QObject *parent)
    : QObject(parent), path(databasePath), initialFolders(folders)
{
}

LibraryUpdater::~LibraryUpdater()
{
    cancel = true;
    if (worker.joinable())
        worker.join();
}

void LibraryUpdater::addFolder(const QString &folder)
{
    changeFolder(folder, true);
}

void LibraryUpdater::removeFolder(const QString &folder)
{
    changeFolder(folder, false);
}

void LibraryUpdater::changeFolder(const QString &folder, bool adding)
{
    folderChanges.push_back(FolderChange{folder, adding});
    if (running)
        cancel = true; // the next run, with the change, follows at once
    start();
}

void LibraryUpdater::start()
{
    if (running) {
        pending = true;
        return;
    }
    if (worker.joinable())
        worker.join();
    running = true;
    cancel = false;
    std::vector<FolderChange> changes;
    changes.swap(folderChanges);
    const bool thorough = check;
    check = false;
    // Once per session, after the first update: a thorough open has checked already.
    const bool checkAfter = !checkedPages && !thorough;
    checkedPages = true;
    worker = std::thread([this, thorough, checkAfter, changes = std::move(changes)] {
        // Results go back as queued calls: dropped if the updater is gone by then.
        auto post = [this](auto f) { QMetaObject::invokeMethod(this, f, Qt::QueuedConnection); };
        LibraryDatabase db(path);
        const bool ok = db.open(initialFolders, thorough);
        {
            const bool rebuilt = db.rebuilt();
            const bool upgraded = db.upgraded();
            const QString error = db.errorString();
            post([this, ok, rebuilt, error, upgraded] {
                wasUpgraded = upgraded;
                emit opened(ok, rebuilt, error);
            });
        }
        int shown = -1;
        auto report = [this, post, &shown](int done, int total) {
            const int percent = total > 0 ? done * 100 / total : 100;
            if (percent != shown) {
                shown = percent;
                post([this, done, total] { emit progress(done, total); });
            }
        };
        // A database found damaged is made anew and every file read again.
        auto rebuild = [&] {
            if (!db.open(initialFolders, true))
                return false;
            const bool rebuilt = db.rebuilt();
            const QString error;
            post([this, rebuilt, error] {
                wasUpgraded = false;
                emit opened(true, rebuilt, error);
            });
            shown = -1;
            return true;
        };
        LibraryUpdateResult result;
        // A database that did not open fails every change with its reason.
        for (const FolderChange &c : changes)
            if (!ok || !(c.adding ? db.addFolder(c.folder) : db.removeFolder(c.folder))) {
                const QString error = db.errorString();
                post([this, c, error] { emit folderChangeFailed(c.folder, c.adding, error); });
            }
        if (!ok) {
            result.ok = false;
            result.error = db.errorString();
        } else {
            result = LibraryIndexer::update(db, db.folders(), true, report, &cancel);
            // Damage found while writing.
            if (!result.ok && db.damaged() && rebuild())
                result = LibraryIndexer::update(db, db.folders(), true, report, &cancel);
        }
        post([this, result] { emit finished(result); });
        if (ok && result.ok && checkAfter && db.checkPages(&cancel) == LibraryDatabase::Check::Damaged &&
            !cancel && rebuild()) {
            result = LibraryIndexer::update(db, db.folders(), true, report, &cancel);
            post([this, result] { emit finished(result); });
        }
        post([this] { finishRun(); });
    });
}

void LibraryUpdater::finishRun()
{
    if (worker.joinable())
        worker.join();
    running = false;
    if (pending) {
        pending = false;
        start();
    }
}
