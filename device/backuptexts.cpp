#include "device/backuptexts.h"

#include <QCoreApplication>
#include <QStringList>

namespace BackupTexts {

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("BackupTexts", text);
}
} // namespace

QLocale interfaceLocale(int language)
{
    return language == 1 ? QLocale(QLocale::German, QLocale::Germany)
                         : QLocale(QLocale::English, QLocale::UnitedKingdom);
}

QString made(const QDateTime &when, const QLocale &locale)
{
    // The pattern is the language's own: German puts a full stop after the day.
    return locale.toString(when, tr("d MMM yyyy, HH:mm"));
}

QString coverage(const SelectionMask &held)
{
    QStringList wholeBanks;
    int inWholeBanks = 0;
    for (int b = FirstUserBank; b < BankCount; ++b) {
        int n = 0;
        for (int p = 0; p < PresetsPerBank; ++p)
            n += held.isSelected(b, p) ? 1 : 0;
        if (n == PresetsPerBank) {
            wholeBanks << QString::number(b + 1);
            inWholeBanks += n;
        }
    }
    const int count = held.count();
    if (wholeBanks.size() == BankCount - 1 && count == inWholeBanks)
        return tr("all user banks");
    if (!wholeBanks.isEmpty() && count == inWholeBanks)
        return wholeBanks.size() == 1 ? tr("bank %1").arg(wholeBanks.first())
                                      : tr("banks %1").arg(wholeBanks.join(QStringLiteral(", ")));
    return count == 1 ? tr("1 preset") : tr("%1 presets").arg(count);
}

} // namespace BackupTexts
