#include "backupcommands.h"
#include "output.h"

#include "device/backupcatalog.h"

#include <QCoreApplication>

#include <cstdio>

namespace BackupCommands {

int runBackups(const QStringList &args)
{
    if (!args.isEmpty()) {
        return usageError(QStringLiteral("backups takes no arguments"));
    }
    // Newest first, tab-separated: when, serial, firmware (empty when unknown), file.
    QByteArray out;
    for (const BackupCatalog::Entry &e : BackupCatalog().entries())
        out +=
            QStringList{e.made.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), e.serial, e.firmware, e.path}
                .join(QLatin1Char('\t'))
                .toUtf8() +
            '\n';
    writeOut(out);
    return Success;
}

} // namespace BackupCommands
