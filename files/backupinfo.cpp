#include "files/backupinfo.h"

#include "files/regularfile.h"
#include "model/bankstore.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringView>

namespace BackupInfo {

namespace {

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

} // namespace

bool isBackupName(const QString &fileName)
{
    // A second backup made within the same second carries "-2", "-3", ...
    static const QRegularExpression pattern(QStringLiteral("^module-backup-\\d{8}-\\d{6}(?:-\\d+)?\\.pre$"));
    return pattern.match(QFileInfo(fileName).fileName()).hasMatch();
}

QString infoPath(const QString &backupPath)
{
    QString path = backupPath;
    if (path.endsWith(QLatin1String(".pre"), Qt::CaseInsensitive))
        path.chop(4);
    return path + QStringLiteral(".info");
}

QByteArray text(const QString &serial, const QString &firmware, const SelectionMask *held)
{
    // Line breaks would start a line of their own in the file.
    auto line = [](const QString &text) {
        QString s = text;
        s.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
        return s;
    };
    QByteArray out = QStringLiteral("serial=%1\nfirmware=%2\n").arg(line(serial), line(firmware)).toUtf8();
    // Always written: a backup whose coverage cannot be read never counts its placeholders.
    out += "presets=" + maskText(held ? *held : SelectionMask::userBanks()) + '\n';
    return out;
}

Contents read(const QString &backupPath)
{
    Contents c;
    c.held = SelectionMask::userBanks();
    QByteArray info;
    // A few lines; anything larger is not ours.
    if (RegularFile::read(infoPath(backupPath), 4096, info) != RegularFile::Result::Ok)
        return c;
    for (const QByteArray &raw : info.split('\n')) {
        const QString l = QString::fromUtf8(raw).trimmed();
        if (l.startsWith(QLatin1String("serial=")))
            c.serial = l.mid(7);
        else if (l.startsWith(QLatin1String("firmware=")))
            c.firmware = l.mid(9);
        else if (l.startsWith(QLatin1String("presets=")))
            c.coverageKnown = maskFromText(l.mid(8), c.held);
        else if (l == QLatin1String("written=none"))
            c.unused = true;
    }
    if (!c.coverageKnown)
        c.held = SelectionMask::userBanks();
    return c;
}

} // namespace BackupInfo
