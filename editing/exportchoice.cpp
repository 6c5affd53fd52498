#include "editing/exportchoice.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ExportChoice", text);
}

} // namespace

ExportChoice ExportChoice::allUserBanks()
{
    ExportChoice c;
    c.mask = SelectionMask::userBanks();
    return c;
}

ExportChoice ExportChoice::oneBank(int bank)
{
    ExportChoice c;
    c.what = Kind::OneBank;
    c.chosenBank = bank;
    if (bank >= 1 && bank < BankCount)
        for (int p = 0; p < PresetsPerBank; ++p)
            c.mask.set(bank, p);
    return c;
}

ExportChoice ExportChoice::presets(const SelectionMask &presets)
{
    ExportChoice c;
    c.what = Kind::Presets;
    c.mask = presets;
    for (int p = 0; p < PresetsPerBank; ++p)
        c.mask.set(0, p, false);
    return c;
}

bool ExportChoice::parsePresets(const QString &text, ExportChoice &choice, QString &errorText)
{
    SelectionMask mask;
    for (const QString &item : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList parts = item.trimmed().split(QLatin1Char(':'));
        bool bankOk = false;
        bool presetOk = false;
        const int bank = parts.size() == 2 ? parts[0].toInt(&bankOk) : -1;
        const int preset = parts.size() == 2 ? parts[1].toInt(&presetOk) : -1;
        if (!bankOk || !presetOk || bank < 1 || bank >= BankCount || preset < 0 || preset >= PresetsPerBank) {
            errorText =
                QStringLiteral("'%1' is no user preset: give BANK:PRESET with a bank index from 1 to %2 "
                               "and a preset index from 0 to %3")
                    .arg(item.trimmed())
                    .arg(BankCount - 1)
                    .arg(PresetsPerBank - 1);
            return false;
        }
        mask.set(bank, preset);
    }
    if (mask.empty()) {
        errorText = QStringLiteral("--presets needs at least one BANK:PRESET");
        return false;
    }
    choice = presets(mask);
    return true;
}

QString ExportChoice::description() const
{
    switch (what) {
    case Kind::AllUserBanks:
        return tr("banks 2–16");
    case Kind::OneBank:
        return tr("bank %1").arg(chosenBank + 1);
    case Kind::Presets:
        break;
    }
    const int n = mask.count();
    return n == 1 ? tr("1 chosen preset") : tr("%1 chosen presets").arg(n);
}
