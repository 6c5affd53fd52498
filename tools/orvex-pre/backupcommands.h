#pragma once

#include <QStringList>

#include <functional>

// orvex-pre's view of the export backups in the program's data folder: "backups".
namespace BackupCommands {

int runBackups(const QStringList &args);

// What `where` gives under the window's organisation and application names, which
// the data folder follows.
QString asProgram(const std::function<QString()> &where);
// The program's data folder, where the window and orvex-pre keep their backups together.
QString programDataFolder();

} // namespace BackupCommands
