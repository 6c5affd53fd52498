#pragma once

#include "device/transferbanks.h"
#include "model/selectionmask.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

class BankStore;

// What an export leaves behind: a preset file of what banks 2..16 of the module held
// before they were overwritten, and the names the module will not keep as they are.
namespace TransferBackup {

// "module-backup-YYYYMMDD-HHMMSS.pre" in the program's data folder.
QString defaultPath(const QDateTime &when = QDateTime::currentDateTime());
// Writes banks 2..16 of `moduleBanks` as a 15-bank preset file, making its folder first.
// False with a translatable message in errorText when that fails.
bool save(const TransferBanks &moduleBanks, const QString &fileName, QString &errorText);
// One line per name and per author in banks 2..16 that the module shortens or changes
// (longer than its 32 characters, or characters outside printable ASCII).
QStringList nameChanges(const BankStore &store);
// The same for the presets of `changes` only (bank * 128 + preset), where `targets` holds
// what each becomes on the module.
QStringList nameChanges(const BankStore &store, const TransferBanks &targets,
                        const std::vector<int> &changes);

} // namespace TransferBackup
