#pragma once

#include "model/bankstore.h"

#include <QDateTime>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

// Keeps the unsaved document in the data folder, so a crash or a power cut loses at most
// the last few seconds of work. A few seconds after each change the banks are copied and
// written, through the checked writer, on a thread of its own; once nothing is unsaved the
// copy goes. Each running program has its own copy, "ID.recovery" (a preset file of all
// 16 banks naming the document's file and the time), and holds "ID.lock" while it
// runs: a copy whose lock nobody holds is one a program left behind when it died.
class RecoveryCopy : public QObject
{
    Q_OBJECT
public:
    // `folder` is made, and the lock taken, with the first unsaved change. Without a lock of
    // its own (a folder that can't be written) nothing is kept, and nothing else changes.
    explicit RecoveryCopy(const QString &folder = defaultFolder(), QObject *parent = nullptr);
    // A normal end is no crash: the copy and the lock go.
    ~RecoveryCopy() override;

    // "recovery" in the program's data folder.
    static QString defaultFolder();

    // Called after anything that may have changed the document. `changeCount` tells
    // whether it did; with `modified` the copy is written delayMs later (each change
    // restarts the wait), without it the copy is removed at once. `store` must outlive
    // this object: it is read when the wait ends.
    void documentChanged(const BankStore &store, bool modified, quint64 changeCount, const QString &fileName);
    // The user discarded the changes: the copy goes, and stays gone until the next change.
    void discard();
    // Waits until every write and removal asked for so far is done.
    void flush();
    // Writes at once what the wait would write later.
    void writeNow();

    // Keeps copies: holds its lock, or has not needed it yet and was not refused it.
    bool active() const { return ownLock != nullptr || !lockRefused; }
    QString copyPath() const;

    // A copy left behind by a program that is no longer running, held for this one.
    struct Orphan
    {
        QString path;
        QDateTime time; // when it was written
        QString fileName;
        std::shared_ptr<QLockFile> lock;
    };
    // The newest such copy, if any.
    std::optional<Orphan> findOrphan() const;
    // Reads its 16 banks into `store` (unchanged on failure, with errorText set). On success
    // the copy becomes this program's own.
    bool restore(const Orphan &orphan, BankStore &store, QString &fileName, QString &errorText);
    void discardOrphan(const Orphan &orphan);

    // The wait after a change before the copy is written.
    int delayMs = 3000;

signals:
    // A copy is on the disk (sent from the writer's thread).
    void copyWritten();

private:
    bool lock();
    void takeSnapshot();
    void removeCopy();
    void post(std::function<void()> job);

    QString folder;
    QString id;
    std::unique_ptr<QLockFile> ownLock;
    QThreadPool writer; // one thread: writes and removals run in the order asked
    QTimer wait;
    const BankStore *pending = nullptr;
    QString pendingFile;
    quint64 lastChange = 0;
    bool haveCopy = false; // a write was asked for since the last removal
    bool lockRefused = false;
};
