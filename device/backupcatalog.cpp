#include "device/backupcatalog.h"

#include "device/transferbackup.h"
#include "files/presetfile.h"
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

// A mask as hexadecimal digits, four positions a digit, bank by bank.
QByteArray maskText(const SelectionMask &mask)
{
    QByteArray text;
    for (int i = 0; i < PresetCount; i += 4) {
        int digit = 0;
        for (int k = 0; k < 4; ++k)
            digit = digit << 1 | int(mask.isSelected((i + k) / PresetsPerBank, (i + k) % PresetsPerBank));
        text += "0123456789abcdef"[digit];
    }
    return text;
}

bool maskFromText(const QString &text, SelectionMask &mask)
{
    if (text.size() != PresetCount / 4)
        return false;
    mask.clear();
    for (int i = 0; i < PresetCount; ++i) {
        bool ok = false;
        const int digit = QStringView(text).mid(i / 4, 1).toInt(&ok, 16);
        if (!ok)
            return false;
        if (digit & (8 >> (i % 4)))
            mask.set(i / PresetsPerBank, i % PresetsPerBank);
    }
    return true;
}

SelectionMask userBanks()
{
    SelectionMask mask;
    for (int b = 1; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            mask.set(b, p);
    return mask;
}

} // namespace

BackupCatalog::BackupCatalog(const QString &folder) : dir(folder) {}

QString BackupCatalog::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

bool BackupCatalog::isBackupName(const QString &fileName)
{
    return backupName().match(QFileInfo(fileName).fileName()).hasMatch();
}

QString BackupCatalog::infoPath(const QString &backupPath)
{
    QString path = backupPath;
    if (path.endsWith(QLatin1String(".pre"), Qt::CaseInsensitive))
        path.chop(4);
    return path + QStringLiteral(".info");
}

bool BackupCatalog::writeInfo(const QString &backupPath, const QString &serial, const QString &firmware,
                              QString &errorText, const SelectionMask *held)
{
    // Line breaks would start a line of their own in the file.
    auto line = [](const QString &text) {
        QString s = text;
        s.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
        return s;
    };
    QByteArray text = QStringLiteral("serial=%1\nfirmware=%2\n").arg(line(serial), line(firmware)).toUtf8();
    if (held)
        text += "presets=" + maskText(*held) + '\n';
    if (WholeFileWriter::write(infoPath(backupPath), text) == WholeFileWriter::Result::Written)
        return true;
    errorText = tr("Cannot write %1.").arg(QDir::toNativeSeparators(infoPath(backupPath)));
    return false;
}

bool BackupCatalog::markUnused(const QString &backupPath, QString &errorText)
{
    QFile info(infoPath(backupPath));
    QByteArray text;
    if (info.size() < 4096 && info.open(QIODevice::ReadOnly))
        text = info.readAll();
    info.close();
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
    const int first = banks == BankCount ? 0 : 1;
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
    e.held = userBanks();
    QFile info(infoPath(e.path));
    // A few lines; anything larger is not ours.
    if (info.size() < 4096 && info.open(QIODevice::ReadOnly)) {
        for (const QByteArray &raw : info.readAll().split('\n')) {
            const QString l = QString::fromUtf8(raw).trimmed();
            if (l.startsWith(QLatin1String("serial=")))
                e.serial = l.mid(7);
            else if (l.startsWith(QLatin1String("firmware=")))
                e.firmware = l.mid(9);
            else if (l.startsWith(QLatin1String("presets=")) && !maskFromText(l.mid(8), e.held))
                e.held = userBanks();
            else if (l == QLatin1String("written=none"))
                e.unused = true;
        }
    }
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
