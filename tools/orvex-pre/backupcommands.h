#pragma once

#include <QStringList>

// orvex-pre's view of the export backups in the program's data folder: "backups".
namespace BackupCommands {

int runBackups(const QStringList &args);

} // namespace BackupCommands
