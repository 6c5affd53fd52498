#pragma once

#include "model/selectionmask.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

// How a backup is named to the user wherever it is listed or restored: what it covers and
// when it was made, the date in the interface language. Translated in the context
// "BackupTexts".
namespace BackupTexts {

// The locale of the interface language (the setting "language": 1 German, else English).
QLocale interfaceLocale(int language);
// "7 Dec 2026, 14:03" / "7. Dez. 2026, 14:03".
QString made(const QDateTime &when, const QLocale &locale);
// "all user banks", "bank 6", "banks 3, 6", "3 presets": the positions a backup holds.
QString coverage(const SelectionMask &held);

} // namespace BackupTexts
