#pragma once

#include "files/filestamp.h"
#include "files/heldlock.h"
#include "model/bankstore.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

// Keeps the unsaved document in the data folder, so a crash or a power cut loses at most
// the last few seconds of work. A few seconds after the last change, and at the latest a
// set time after the first one not yet written while changes keep coming, the banks are
// copied and written, through the checked writer, on a thread of its own; a failed write
// is reported and tried again. Once nothing is unsaved the copy goes. Each running program
// has its own copy, "ID.recovery" (a preset file of all 16 banks naming the document's file
// and the time), and holds a lock on "ID.lock" while it runs: a copy whose lock no running
// program holds, whatever the lock file says or whether a lock can be taken at all, is one
// a program left behind when it died.
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
    // restarts the wait, up to maxWaitMs after the first change not yet written), without
    // it the copy is removed at once. `store` must outlive this object: it is read when the
    // wait ends. `fileStamp` is what the program last saw of the named file, kept with the
    // copy so that the first save after a restore still notices another program's change.
    void documentChanged(const BankStore &store, bool modified, quint64 changeCount, const QString &fileName,
                         const FileStamp &fileStamp = FileStamp());
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
        std::shared_ptr<HeldLock> lock;
        // What the crashed program last saw of fileName; saw nothing when the copy does not say.
        FileStamp fileStamp = {};
    };
    // The newest such copy, if any. Removes what dead programs left beside their copies:
    // temporaries of a write cut short and locks without a copy.
    std::optional<Orphan> findOrphan() const;
    // Reads its 16 banks into `store` (unchanged on failure, with errorText set: the copy is
    // damaged).
    bool read(const Orphan &orphan, BankStore &store, QString &fileName, QString &errorText) const;
    // Makes the copy this program's own, until its own first write replaces it.
    void adopt(const Orphan &orphan);
    // read, and on success adopt.
    bool restore(const Orphan &orphan, BankStore &store, QString &fileName, QString &errorText);
    void discardOrphan(const Orphan &orphan);

    // What writeFailed says.
    QString failureText() const;

    // The wait after a change before the copy is written.
    int delayMs = 3000;
    // The longest a change waits while more keep coming.
    int maxWaitMs = 15000;
    // The wait before a failed write, or a lock that could not be taken, is tried again.
    int retryMs = 3000;

signals:
    // A copy is on the disk.
    void copyWritten();
    // No copy could be written (`text` says so, for the status line); it is tried again.
    void writeFailed(const QString &text);

private:
    bool lock();
    void writeDone(bool written);
    // No lock of its own (a folder that can't be written): nothing kept for now.
    void refused();
    void takeSnapshot();
    void removeCopy();
    void post(std::function<void()> job);

    QString folder;
    QString id;
    std::unique_ptr<HeldLock> ownLock;
    QThreadPool writer; // one thread: writes and removals run in the order asked
    QTimer wait;
    const BankStore *pending = nullptr;
    QString pendingFile;
    FileStamp pendingStamp;
    quint64 lastChange = 0;
    bool haveCopy = false; // a write was asked for since the last removal
    bool lockRefused = false;
    QElapsedTimer lockTried;    // when a refused lock was last tried
    QElapsedTimer unwrittenFor; // since the first change the disk does not have yet
};
