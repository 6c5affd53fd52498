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
        if (!ok) {
            // A database that did not open fails every change with its reason.
            for (const FolderChange &c : changes) {
                const QString error = db.errorString();
                post([this, c, error] { emit folderChangeFailed(c.folder, c.adding, error); });
            }
            LibraryUpdateResult result;
            result.ok = false;
            result.error = db.errorString();
            post([this, result] { emit finished(result); });
        } else {
            for (const FolderChange &c : changes)
                if (!(c.adding ? db.addFolder(c.folder) : db.removeFolder(c.folder))) {
                    const QString error = db.errorString();
                    post([this, c, error] { emit folderChangeFailed(c.folder, c.adding, error); });
                }
            Repair repair;
            repair.rebuilt = [&] {
                const bool rebuilt = db.rebuilt();
                post([this, rebuilt] {
                    wasUpgraded = false;
                    emit opened(true, rebuilt, QString());
                });
                shown = -1;
            };
            repair.waiting = [this, post] { post([this] { emit waiting(); }); };
            repair.updated = [&](const LibraryUpdateResult &result) {
                post([this, result] { emit finished(result); });
            };
            updateAndRepair(db, initialFolders, {}, checkAfter, report, &cancel, repair);
        }
        post([this] { finishRun(); });
    });
}

LibraryUpdateResult LibraryUpdater::updateAndRepair(LibraryDatabase &db, const QStringList &initialFolders,
                                                    const QStringList &folders, bool checkPages,
                                                    const LibraryIndexer::Progress &progress,
                                                    const std::atomic<bool> *cancel, const Repair &repair)
{
    // A database found damaged is made anew and every file read again.
    auto rebuild = [&] {
        if (!db.open(initialFolders, true))
            return false;
        if (repair.rebuilt)
            repair.rebuilt();
        return true;
    };
    auto updated = [&](const LibraryUpdateResult &result) {
        if (repair.updated)
            repair.updated(result);
        return result;
    };
    LibraryUpdateResult result =
        folders.isEmpty() ? LibraryIndexer::updateLibrary(db, progress, cancel, repair.waiting)
                          : LibraryIndexer::update(db, folders, false, progress, cancel, repair.waiting);
    // Damage found while writing.
    if (!result.ok && db.damaged() && rebuild())
        result = LibraryIndexer::updateLibrary(db, progress, cancel, repair.waiting);
    updated(result);
    // Damage that no write met (an index page, say) shows only in a check of every page.
    const bool stopped = cancel && cancel->load();
    if (result.ok && checkPages && !stopped && db.checkPages(cancel) == LibraryDatabase::Check::Damaged &&
        !(cancel && cancel->load()) && rebuild())
        result = updated(LibraryIndexer::updateLibrary(db, progress, cancel, repair.waiting));
    return result;
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
