#include "device/backupcatalog.h"

#include "base/appidentity.h"
#include "device/miditransfer.h"
#include "device/transferbackup.h"
#include "files/backupinfo.h"
#include "files/filecontents.h"
#include "files/presetfile.h"
#include "files/regularfile.h"
#include "files/wholefilewriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {

const QRegularExpression &backupName()
{
    static const QRegularExpression pattern(
        QStringLiteral("^module-backup-(\\d{8}-\\d{6})(?:-(\\d+))?\\.pre$"));
    return pattern;
}

QString tr(const char *text)
{
    return QCoreApplication::translate("BackupCatalog", text);
}

} // namespace

BackupCatalog::BackupCatalog(const QString &folder) : dir(folder) {}

BackupCatalog::Keeping BackupCatalog::keepingFrom(const QSettings &settings)
{
    return {settings.value(QStringLiteral("backupkeep"), DefaultKeepNewest).toInt(),
            settings.value(QStringLiteral("backupdays"), DefaultKeepDays).toInt()};
}

QString BackupCatalog::defaultFolder()
{
    return AppIdentity::dataFolder();
}

QString BackupCatalog::infoPath(const QString &backupPath)
{
    return BackupInfo::infoPath(backupPath);
}

bool BackupCatalog::writeInfo(const QString &backupPath, const QString &serial, const QString &firmware,
                              QString &errorText, const SelectionMask *held)
{
    const QByteArray text = BackupInfo::text(serial, firmware, held);
    if (WholeFileWriter::write(infoPath(backupPath), text) == WholeFileWriter::Result::Written)
        return true;
    errorText = tr("Cannot write %1.").arg(QDir::toNativeSeparators(infoPath(backupPath)));
    return false;
}

bool BackupCatalog::markUnused(const QString &backupPath, QString &errorText)
{
    QByteArray text;
    if (RegularFile::read(infoPath(backupPath), 4096, text) != RegularFile::Result::Ok)
        text.clear();
    if (!text.isEmpty() && !text.endsWith('\n'))
        text += '\n';
    text += "written=none\n";
    if (WholeFileWriter::write(infoPath(backupPath), text) == WholeFileWriter::Result::Written)
        return true;
    errorText = tr("Cannot write %1.").arg(QDir::toNativeSeparators(infoPath(backupPath)));
    return false;
}

bool BackupCatalog::load(const QString &backupPath, BankStore &store, SelectionMask &present,
                         QString &errorText, SelectionMask *unusable)
{
    present.clear();
    if (unusable)
        unusable->clear();
    const FileContents file = readFileContents(backupPath);
    if (!file.readable()) {
        errorText = file.errorText;
        return false;
    }
    // Ours hold banks 2..16; a complete file copied here holds all 16.
    if (file.isSyx() || (file.banks != BankCount && file.banks != BankCount - 1)) {
        const QString name = QFileInfo(backupPath).fileName();
        errorText = file.isSyx() ? tr("%1 is a SysEx file, not a backup.").arg(name)
                    : file.banks == 1
                        ? tr("%1 holds 1 bank, not the 15 of a backup.").arg(name)
                        : tr("%1 holds %2 banks, not the 15 of a backup.").arg(name).arg(file.banks);
        return false;
    }
    present = file.positions(FileContents::State::Present);
    // Only what the backup holds is taken: a damaged or missing preset is no empty one.
    for (int b = 0; b < file.banks; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            if (file.state(b, p) == FileContents::State::Present)
                store.at(file.moduleBank(b), p) = file.presets.at(b, p);
    if (unusable) {
        *unusable = file.positions(FileContents::State::Damaged);
        const SelectionMask lacking = file.positions(FileContents::State::Missing);
        for (int b = 0; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p)
                if (lacking.isSelected(b, p))
                    unusable->set(b, p);
    }
    return true;
}

QString BackupCatalog::unusableText(const QString &backupPath, const SelectionMask &unusable)
{
    const QString name = QFileInfo(backupPath).fileName();
    const int n = unusable.count();
    const QString which = FileContents::positionsText(unusable);
    return (n == 1 ? tr("%1 lacks 1 of its presets or holds it damaged (bank · preset %2).").arg(name, which)
                   : tr("%1 lacks %2 of its presets or holds them damaged (bank · preset %3).")
                         .arg(name)
                         .arg(n)
                         .arg(which)) +
           QLatin1Char('\n') + tr("Nothing is written from it: the module keeps what it holds.");
}

BackupCatalog::Entry BackupCatalog::entryFor(const QString &backupPath)
{
    Entry e;
    e.path = QFileInfo(backupPath).absoluteFilePath();
    const QRegularExpressionMatch match = backupName().match(QFileInfo(backupPath).fileName());
    if (match.hasMatch()) {
        e.made = QDateTime::fromString(match.captured(1), QStringLiteral("yyyyMMdd-HHmmss"));
        e.sequence = match.captured(2).isEmpty() ? 1 : match.captured(2).toInt();
    }
    const BackupInfo::Contents info = BackupInfo::read(e.path);
    e.serial = info.serial;
    e.firmware = info.firmware;
    e.held = info.held;
    e.coverageKnown = info.coverageKnown;
    e.unused = info.unused;
    return e;
}

QVector<BackupCatalog::Entry> BackupCatalog::entries() const
{
    QVector<Entry> list;
    const QFileInfoList files =
        QDir(dir).entryInfoList({QStringLiteral("module-backup-*.pre")}, QDir::Files | QDir::Readable);
    for (const QFileInfo &file : files) {
        const QRegularExpressionMatch match = backupName().match(file.fileName());
        if (!match.hasMatch())
            continue;
        Entry e = entryFor(file.absoluteFilePath());
        if (!e.made.isValid())
            e.made = file.lastModified();
        list << e;
    }
    std::sort(list.begin(), list.end(), [](const Entry &a, const Entry &b) {
        if (a.made != b.made)
            return a.made > b.made;
        return a.sequence != b.sequence ? a.sequence > b.sequence : a.path > b.path;
    });
    return list;
}

QStringList BackupCatalog::prune(int keepNewest, int keepDays, const QString &keep,
                                 const QDateTime &now) const
{
    QStringList removed;
    const QVector<Entry> list = entries();
    const QDateTime youngest = now.addDays(-std::max(0, keepDays));
    const QString kept = keep.isEmpty() ? QString() : QFileInfo(keep).absoluteFilePath();
    for (int i = std::max(0, keepNewest); i < list.size(); ++i) {
        const Entry &e = list.at(i);
        if (e.made >= youngest || e.path == kept)
            continue;
        if (QFile::remove(e.path)) {
            QFile::remove(infoPath(e.path));
            removed << e.path;
        }
    }
    return removed;
}

bool BackupCatalog::claimName(QString &path, QString &errorText)
{
    QString base = path;
    QString suffix;
    if (base.endsWith(QLatin1String(".pre"), Qt::CaseInsensitive)) {
        suffix = base.right(4);
        base.chop(4);
    }
    for (int n = 1; n <= 999; ++n) {
        const QString candidate = n == 1 ? path : QStringLiteral("%1-%2%3").arg(base).arg(n).arg(suffix);
        if (QFileInfo::exists(infoPath(candidate)))
            continue;
        QFile file(candidate);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            path = candidate;
            return true;
        }
        if (!file.exists())
            break; // not a name taken, a folder that cannot be written
    }
    errorText = tr("Cannot write %1.").arg(QDir::toNativeSeparators(path));
    return false;
}

bool BackupCatalog::saveBackup(const TransferBanks &moduleBanks, QString &fileName, const QString &serial,
                               const QString &firmware, const SelectionMask *held, int keepNewest,
                               int keepDays, QString &errorText, QStringList &notes) const
{
    const QString folder = QFileInfo(fileName).absolutePath();
    if (!QDir().mkpath(folder)) {
        errorText = tr("Cannot make the folder %1.").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    QString name = fileName;
    if (!claimName(name, errorText))
        return false;
    // The information file first: a backup file without it would read as complete.
    if (!writeInfo(name, serial, firmware, errorText, held) ||
        !TransferBackup::save(moduleBanks, name, errorText)) {
        QFile::remove(name);
        QFile::remove(infoPath(name));
        return false;
    }
    fileName = name;
    // Only backups in this folder are the program's to prune; never the one just made.
    if (QFileInfo(fileName).absolutePath() == QDir(dir).absolutePath()) {
        const QStringList removed = prune(keepNewest, keepDays, fileName);
        if (!removed.isEmpty())
            notes << (removed.size() == 1 ? tr("1 old backup was removed.")
                                          : tr("%1 old backups were removed.").arg(removed.size()));
    }
    return true;
}

void BackupCatalog::saveBeforeWriting(MidiTransfer &transfer, const QString &fileName, Keeping keeping,
                                      std::function<void(const QString &)> note)
{
    transfer.setBackupWriter(
        [&transfer, keeping, note = std::move(note)](const TransferBanks &moduleBanks, QString &name,
                                                     QString &errorText) {
            QStringList notes;
            const bool saved = BackupCatalog().saveBackup(
                moduleBanks, name, transfer.protocol().serialText(), transfer.protocol().versionText(),
                transfer.plan().choice(), keeping.newest, keeping.days, errorText, notes);
            for (const QString &line : notes)
                note(line);
            return saved;
        },
        fileName.isEmpty() ? TransferBackup::defaultPath() : fileName);
}
