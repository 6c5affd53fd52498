#pragma once

#include "library/libraryindexer.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <thread>

// Runs library updates off the GUI thread, one at a time: a start() while one runs makes
// another follow it. Signals arrive on the thread that owns the updater.
class LibraryUpdater : public QObject
{
    Q_OBJECT
public:
    LibraryUpdater(const QString &databasePath, const QStringList &initialFolders, QObject *parent = nullptr);
    // Stops a running update (what it stored so far stays) and waits for it.
    ~LibraryUpdater() override;

    void start();
    bool isRunning() const { return running; }
    const QString &databasePath() const { return path; }

signals:
    // The database is open (after the first start only). `rebuilt`: it was damaged and
    // has been made anew, so this update reads every file again.
    void opened(bool ok, bool rebuilt, const QString &error);
    void progress(int done, int total);
    void finished(const LibraryUpdateResult &result);

private:
    void finishRun(const LibraryUpdateResult &result);

    QString path;
    QStringList initialFolders;
    std::thread worker;
    std::atomic<bool> cancel{false};
    bool running = false;
    bool pending = false;
    bool first = true;
};
