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

void LibraryUpdater::start()
{
    if (running) {
        pending = true;
        return;
    }
    if (worker.joinable())
        worker.join();
    running = true;
    const bool thorough = check;
    check = false;
    worker = std::thread([this, thorough] {
        // Results go back as queued calls: dropped if the updater is gone by then.
        auto post = [this](auto f) { QMetaObject::invokeMethod(this, f, Qt::QueuedConnection); };
        LibraryDatabase db(path);
        const bool ok = db.open(initialFolders, thorough);
        {
            const bool rebuilt = db.rebuilt();
            const QString error = db.errorString();
            post([this, ok, rebuilt, error] { emit opened(ok, rebuilt, error); });
        }
        LibraryUpdateResult result;
        if (!ok) {
            result.ok = false;
            result.error = db.errorString();
        } else {
            int shown = -1;
            auto report = [this, post, &shown](int done, int total) {
                const int percent = total > 0 ? done * 100 / total : 100;
                if (percent != shown) {
                    shown = percent;
                    post([this, done, total] { emit progress(done, total); });
                }
            };
            result = LibraryIndexer::update(db, db.folders(), true, report, &cancel);
            // Damage found while writing: make it anew and read everything again.
            if (!result.ok && db.damaged() && db.open(initialFolders, true)) {
                const QString error;
                post([this, error] { emit opened(true, true, error); });
                result = LibraryIndexer::update(db, db.folders(), true, report, &cancel);
            }
        }
        post([this, result] { finishRun(result); });
    });
}

void LibraryUpdater::finishRun(const LibraryUpdateResult &result)
{
    if (worker.joinable())
        worker.join();
    running = false;
    emit finished(result);
    if (pending) {
        pending = false;
        start();
    }
}
