#include "files/recoverycopy.h"

#include "base/appidentity.h"
#include "files/presetfile.h"
#include "files/regularfile.h"
#include "files/wholefilewriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>

namespace {

// Not ".pre": the library covers the data folder, and a copy is no file of the user's.
const QString Suffix = QStringLiteral(".recovery");
const QString LockSuffix = QStringLiteral(".lock");

// A preset file of all 16 banks with one more element, which every reader passes over:
// <recovery file="the document's file" time="when, UTC" filestamp="what was seen of it"/>.
QByteArray recoveryText(const BankStore &store, const QString &fileName, const FileStamp &stamp,
                        const QDateTime &when)
{
    QString element;
    QXmlStreamWriter xml(&element);
    xml.writeEmptyElement(QStringLiteral("recovery"));
    // XML cannot carry every character a file name may hold (control characters): the
    // name exactly, percent-encoded, and beside it a readable one without them.
    xml.writeAttribute(QStringLiteral("fileexact"),
                       QString::fromLatin1(fileName.toUtf8().toPercentEncoding()));
    QString readable = fileName;
    for (QChar &c : readable)
        if (c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r')
            c = u' ';
    xml.writeAttribute(QStringLiteral("file"), readable);
    xml.writeAttribute(QStringLiteral("time"), when.toUTC().toString(Qt::ISODateWithMs));
    if (stamp.isValid())
        xml.writeAttribute(QStringLiteral("filestamp"), stamp.toText());
    xml.writeEndDocument(); // closes the element
    QByteArray text = presetFileText(store, 0, BankCount - 1);
    const qsizetype afterDevice = text.indexOf('\n', text.indexOf("<device")) + 1;
    text.insert(afterDevice, " " + element.toUtf8() + '\n');
    return text;
}

// The file name and time a copy names; the time of the file itself when it names none.
void readRecoveryInfo(const QString &path, QString &fileName, FileStamp &stamp, QDateTime &time)
{
    QByteArray start;
    if (RegularFile::readStart(path, 64 * 1024, start) == RegularFile::Result::Ok) {
        QXmlStreamReader xml(start);
        while (!xml.atEnd() && !xml.hasError()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == u"bank")
                break;
            if (xml.name() == u"recovery") {
                const QXmlStreamAttributes attributes = xml.attributes();
                fileName = attributes.hasAttribute(QLatin1String("fileexact"))
                               ? QString::fromUtf8(QByteArray::fromPercentEncoding(
                                     attributes.value(QLatin1String("fileexact")).toLatin1()))
                               : attributes.value(QLatin1String("file")).toString();
                time = QDateTime::fromString(xml.attributes().value(QLatin1String("time")).toString(),
                                             Qt::ISODateWithMs);
                stamp = FileStamp::fromText(attributes.value(QLatin1String("filestamp")).toString());
                break;
            }
        }
    }
    if (!time.isValid())
        time = QFileInfo(path).lastModified();
}

} // namespace

RecoveryCopy::RecoveryCopy(const QString &folder, QObject *parent) : QObject(parent), folder(folder)
{
    writer.setMaxThreadCount(1);
    wait.setSingleShot(true);
    connect(&wait, &QTimer::timeout, this, &RecoveryCopy::takeSnapshot);
    id = QStringLiteral("%1-%2")
             .arg(QCoreApplication::applicationPid())
             .arg(QRandomGenerator::global()->generate(), 0, 36);
}

RecoveryCopy::~RecoveryCopy()
{
    wait.stop();
    writer.waitForDone();
    if (ownLock) {
        QFile::remove(copyPath());
        ownLock->unlock(true);
    }
}

bool RecoveryCopy::lock()
{
    // Taken with the first unsaved change, not at start: making the lock file waits for the disk.
    if (ownLock)
        return true;
    // A folder that was full or read-only may have room again: tried again now and then.
    if (lockRefused && lockTried.isValid() && lockTried.elapsed() < retryMs)
        return false;
    lockTried.start();
    if (QDir().mkpath(folder)) {
        auto lock = std::make_unique<HeldLock>(QDir(folder).filePath(id + LockSuffix));
        if (lock->tryLock() == HeldLock::State::Held)
            ownLock = std::move(lock);
    }
    lockRefused = !ownLock;
    return !lockRefused;
}

QString RecoveryCopy::defaultFolder()
{
    return QDir(AppIdentity::dataFolder()).filePath(QStringLiteral("recovery"));
}

QString RecoveryCopy::copyPath() const
{
    return QDir(folder).filePath(id + Suffix);
}

void RecoveryCopy::documentChanged(const BankStore &store, bool modified, quint64 changeCount,
                                   const QString &fileName, const FileStamp &fileStamp)
{
    if (!modified) {
        lastChange = changeCount;
        discard();
        return;
    }
    if (changeCount == lastChange && fileName == pendingFile && fileStamp == pendingStamp)
        return;
    lastChange = changeCount;
    pending = &store;
    pendingFile = fileName;
    pendingStamp = fileStamp;
    if (!lock()) {
        refused();
        return;
    }
    if (!unwrittenFor.isValid())
        unwrittenFor.start();
    // Each change restarts the wait, but not past the longest wait since the first of them.
    wait.start(int(std::min<qint64>(delayMs, std::max<qint64>(0, maxWaitMs - unwrittenFor.elapsed()))));
}

QString RecoveryCopy::failureText() const
{
    return tr("The recovery copy can't be written in %1: a crash would lose the unsaved changes. "
              "Trying again.")
        .arg(QDir::toNativeSeparators(folder));
}

void RecoveryCopy::writeDone(bool written)
{
    if (written) {
        emit copyWritten();
        return;
    }
    emit writeFailed(failureText());
    // Tried again unless a newer change waits already or nothing is unsaved any more.
    if (pending && !wait.isActive()) {
        if (!unwrittenFor.isValid())
            unwrittenFor.start();
        wait.start(retryMs);
    }
}

void RecoveryCopy::discard()
{
    wait.stop();
    unwrittenFor.invalidate();
    pending = nullptr;
    if (haveCopy)
        removeCopy();
}

void RecoveryCopy::flush()
{
    writer.waitForDone();
}

void RecoveryCopy::writeNow()
{
    if (wait.isActive()) {
        wait.stop();
        takeSnapshot();
    }
}

void RecoveryCopy::refused()
{
    // Tried again a while later, changes or not.
    emit writeFailed(failureText());
    wait.start(retryMs);
}

void RecoveryCopy::takeSnapshot()
{
    if (!pending)
        return;
    if (!lock()) {
        refused();
        return;
    }
    // The only work on the window's thread: a copy of the banks, whose texts are shared.
    auto snapshot = std::make_shared<const BankStore>(*pending);
    const QString fileName = pendingFile;
    const FileStamp stamp = pendingStamp;
    const QDateTime when = QDateTime::currentDateTimeUtc();
    const QString path = copyPath();
    haveCopy = true;
    unwrittenFor.invalidate();
    post([this, snapshot, fileName, stamp, when, path] {
        const bool written = WholeFileWriter::write(path, recoveryText(*snapshot, fileName, stamp, when)) ==
                             WholeFileWriter::Result::Written;
        // Queued to this object: dropped if it is gone by then.
        QMetaObject::invokeMethod(
            this, [this, written] { writeDone(written); }, Qt::QueuedConnection);
    });
}

void RecoveryCopy::removeCopy()
{
    haveCopy = false;
    const QString path = copyPath();
    post([path] { QFile::remove(path); });
}

void RecoveryCopy::post(std::function<void()> job)
{
    writer.start(std::move(job));
}

std::optional<RecoveryCopy::Orphan> RecoveryCopy::findOrphan() const
{
    std::optional<Orphan> newest;
    const QDir dir(folder);
    const QStringList names = dir.entryList({QStringLiteral("*") + Suffix}, QDir::Files);
    // First what dead programs left beside their copies: the temporary of a write cut short (its
    // name holds the copy's), and locks whose copy is gone.
    const QStringList leftovers = dir.entryList(
        {QStringLiteral(".*") + Suffix + QStringLiteral(".*.tmp"), QStringLiteral("*") + LockSuffix},
        QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : leftovers) {
        const bool temporary = name.endsWith(QLatin1String(".tmp"));
        const QString copyId = temporary ? name.mid(1, name.indexOf(Suffix + QLatin1Char('.')) - 1)
                                         : name.chopped(LockSuffix.size());
        if (copyId == id || copyId.isEmpty() || (!temporary && names.contains(copyId + Suffix)))
            continue;
        if (!temporary)
            HeldLock::removeIfStale(dir.filePath(name));
        else if (!HeldLock::isHeld(dir.filePath(copyId + LockSuffix)))
            QFile::remove(dir.filePath(name));
    }
    for (const QString &name : names) {
        const QString copyId = name.chopped(Suffix.size());
        if (copyId == id)
            continue;
        auto lock = std::make_shared<HeldLock>(dir.filePath(copyId + LockSuffix));
        const HeldLock::State state = lock->tryLock();
        if (state == HeldLock::State::HeldElsewhere)
            continue; // its program is still running, or another start took it just now
        // Without a lock (a full or read-only folder) it is offered all the same.
        if (state != HeldLock::State::Held)
            lock.reset();
        Orphan orphan{dir.filePath(name), {}, {}, lock};
        readRecoveryInfo(orphan.path, orphan.fileName, orphan.fileStamp, orphan.time);
        // Only the newest is offered; the lock of another is of no use to anyone now.
        Orphan *dropped = !newest ? nullptr : orphan.time > newest->time ? &*newest : &orphan;
        if (dropped && dropped->lock)
            dropped->lock->unlock(true);
        if (dropped != &orphan)
            newest = std::move(orphan);
    }

    return newest;
}

bool RecoveryCopy::read(const Orphan &orphan, BankStore &store, QString &fileName, QString &errorText) const
{
    if (!loadCompletePresetFile(store, orphan.path, 0, BankCount - 1, errorText))
        return false;
    fileName = orphan.fileName;
    return true;
}

void RecoveryCopy::adopt(const Orphan &orphan)
{
    if (lock()) {
        // Now this program's copy, until its own first write replaces it.
        writer.waitForDone();
        QFile::remove(copyPath());
        haveCopy = QFile::rename(orphan.path, copyPath());
    }
    if (orphan.lock)
        orphan.lock->unlock(true);
}

bool RecoveryCopy::restore(const Orphan &orphan, BankStore &store, QString &fileName, QString &errorText)
{
    if (!read(orphan, store, fileName, errorText))
        return false;
    adopt(orphan);
    return true;
}

void RecoveryCopy::discardOrphan(const Orphan &orphan)
{
    QFile::remove(orphan.path);
    if (orphan.lock)
        orphan.lock->unlock(true);
    else
        HeldLock::removeIfStale(
            QFileInfo(orphan.path)
                .dir()
                .filePath(QFileInfo(orphan.path).fileName().chopped(Suffix.size()) + LockSuffix));
}
