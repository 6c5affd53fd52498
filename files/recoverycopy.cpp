#include "files/recoverycopy.h"

#include "files/presetfile.h"
#include "files/regularfile.h"
#include "files/wholefilewriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

// Not ".pre": the library covers the data folder, and a copy is no file of the user's.
const QString Suffix = QStringLiteral(".recovery");

// A preset file of all 16 banks with one more element, which every reader passes over:
// <recovery file="the document's file" time="when, UTC"/>.
QByteArray recoveryText(const BankStore &store, const QString &fileName, const QDateTime &when)
{
    QString element;
    QXmlStreamWriter xml(&element);
    xml.writeEmptyElement(QStringLiteral("recovery"));
    xml.writeAttribute(QStringLiteral("file"), fileName);
    xml.writeAttribute(QStringLiteral("time"), when.toUTC().toString(Qt::ISODateWithMs));
    xml.writeEndDocument(); // closes the element
    QByteArray text = presetFileText(store, 0, BankCount - 1);
    const qsizetype afterDevice = text.indexOf('\n', text.indexOf("<device")) + 1;
    text.insert(afterDevice, " " + element.toUtf8() + '\n');
    return text;
}

// The file name and time a copy names; the time of the file itself when it names none.
void readRecoveryInfo(const QString &path, QString &fileName, QDateTime &time)
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
                fileName = xml.attributes().value(QLatin1String("file")).toString();
                time = QDateTime::fromString(xml.attributes().value(QLatin1String("time")).toString(),
                                             Qt::ISODateWithMs);
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
    if (ownLock)
        QFile::remove(copyPath());
}

bool RecoveryCopy::lock()
{
    // Taken with the first unsaved change, not at start: making the lock file waits for the disk.
    if (ownLock || lockRefused)
        return ownLock != nullptr;
    if (QDir().mkpath(folder)) {
        auto lock = std::make_unique<QLockFile>(QDir(folder).filePath(id + QStringLiteral(".lock")));
        // Only a lock whose process is gone counts as left behind, however old it is.
        lock->setStaleLockTime(0);
        if (lock->tryLock(0))
            ownLock = std::move(lock);
    }
    lockRefused = !ownLock;
    return !lockRefused;
}

QString RecoveryCopy::defaultFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("recovery"));
}

QString RecoveryCopy::copyPath() const
{
    return QDir(folder).filePath(id + Suffix);
}

void RecoveryCopy::documentChanged(const BankStore &store, bool modified, quint64 changeCount,
                                   const QString &fileName)
{
    if (!modified) {
        lastChange = changeCount;
        discard();
        return;
    }
    if (changeCount == lastChange && fileName == pendingFile)
        return;
    if (!lock())
        return;
    lastChange = changeCount;
    pending = &store;
    pendingFile = fileName;
    wait.start(delayMs);
}

void RecoveryCopy::discard()
{
    wait.stop();
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

void RecoveryCopy::takeSnapshot()
{
    if (!pending)
        return;
    // The only work on the window's thread: a copy of the banks, whose texts are shared.
    auto snapshot = std::make_shared<const BankStore>(*pending);
    const QString fileName = pendingFile;
    const QDateTime when = QDateTime::currentDateTimeUtc();
    const QString path = copyPath();
    haveCopy = true;
    post([this, snapshot, fileName, when, path] {
        if (WholeFileWriter::write(path, recoveryText(*snapshot, fileName, when)) ==
            WholeFileWriter::Result::Written)
            QMetaObject::invokeMethod(this, &RecoveryCopy::copyWritten, Qt::QueuedConnection);
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
    for (const QString &name : dir.entryList({QStringLiteral("*") + Suffix}, QDir::Files)) {
        const QString copyId = name.chopped(Suffix.size());
        if (copyId == id)
            continue;
        auto lock = std::make_shared<QLockFile>(dir.filePath(copyId + QStringLiteral(".lock")));
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0))
            continue; // its program is still running
        Orphan orphan{dir.filePath(name), {}, {}, lock};
        readRecoveryInfo(orphan.path, orphan.fileName, orphan.time);
        if (!newest || orphan.time > newest->time)
            newest = std::move(orphan);
    }
    return newest;
}

bool RecoveryCopy::restore(const Orphan &orphan, BankStore &store, QString &fileName, QString &errorText)
{
    if (!loadCompletePresetFile(store, orphan.path, 0, BankCount - 1, errorText))
        return false;
    fileName = orphan.fileName;
    if (lock()) {
        // Now this program's copy, until its own first write replaces it.
        writer.waitForDone();
        QFile::remove(copyPath());
        haveCopy = QFile::rename(orphan.path, copyPath());
    }
    if (orphan.lock)
        orphan.lock->unlock();
    return true;
}

void RecoveryCopy::discardOrphan(const Orphan &orphan)
{
    QFile::remove(orphan.path);
    if (orphan.lock)
        orphan.lock->unlock();
}
