#include "device/backupcatalog.h"

#include "device/transferbackup.h"
#include "files/backupinfo.h"
#include "files/presetfile.h"
#include "files/regularfile.h"
#include "files/wholefilewriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>

namespace {

const QRegularExpression &backupName()
{
    static const QRegularExpression pattern(QStringLiteral("^module-backup-(\\d{8}-\\d{6})\\.pre$"));
    return pattern;
}

QString tr(const char *text)
{
    return QCoreApplication::translate("BackupCatalog", text);
}

} // namespace

BackupCatalog::BackupCatalog(const QString &folder) : dir(folder) {}

QString BackupCatalog::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

bool BackupCatalog::isBackupName(const QString &fileName)
{
    return BackupInfo::isBackupName(fileName);
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
                         QString &errorText)
{
    present.clear();
    const int banks = countPresetFileBanks(backupPath, errorText);
    if (banks < 0)
        return false;
    // Ours hold banks 2..16; a complete file copied here holds all 16.
    const int first = presetFileHomeBank(banks);
    if (banks != BankCount && banks != BankCount - 1) {
        errorText =
            tr("%1 holds %2 banks, not the 15 of a backup.").arg(QFileInfo(backupPath).fileName()).arg(banks);
        return false;
    }
    if (!loadPresetFile(store, backupPath, first, BankCount - 1, errorText))
        return false;
    const SelectionMask held = entryFor(backupPath).held;
    for (int b = first; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            present.set(b, p, b == 0 || held.isSelected(b, p));
    return true;
}

BackupCatalog::Entry BackupCatalog::entryFor(const QString &backupPath)
{
    Entry e;
    e.path = QFileInfo(backupPath).absoluteFilePath();
    const QRegularExpressionMatch match = backupName().match(QFileInfo(backupPath).fileName());
    if (match.hasMatch())
        e.made = QDateTime::fromString(match.captured(1), QStringLiteral("yyyyMMdd-HHmmss"));
    const BackupInfo::Contents info = BackupInfo::read(e.path);
    e.serial = info.serial;
    e.firmware = info.firmware;
    e.held = info.held;
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
        return a.made != b.made ? a.made > b.made : a.path > b.path;
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

bool BackupCatalog::saveBackup(const TransferBanks &moduleBanks, const QString &fileName,
                               const QString &serial, const QString &firmware, const SelectionMask *held,
                               int keepNewest, int keepDays, QString &errorText, QStringList &notes) const
{
    if (!TransferBackup::save(moduleBanks, fileName, errorText))
        return false;
    QString why;
    if (!writeInfo(fileName, serial, firmware, why, held))
        notes << why;
    // Only backups in this folder are the program's to prune; never the one just made.
    if (QFileInfo(fileName).absolutePath() == QDir(dir).absolutePath()) {
        const QStringList removed = prune(keepNewest, keepDays, fileName);
        if (!removed.isEmpty())
            notes << (removed.size() == 1 ? tr("1 old backup was removed.")
                                          : tr("%1 old backups were removed.").arg(removed.size()));
    }
    return true;
}
