#include "backupcommands.h"

#include "device/backupcatalog.h"

#include <QCoreApplication>

#include <cstdio>

namespace BackupCommands {

int runBackups(const QStringList &args)
{
    if (!args.isEmpty()) {
        std::fprintf(stderr, "orvex-pre: backups takes no arguments\nTry 'orvex-pre --help'.\n");
        return 2;
    }
    // Newest first, tab-separated: when, serial, firmware (empty when unknown), file.
    QByteArray out;
    for (const BackupCatalog::Entry &e : BackupCatalog().entries())
        out +=
            QStringList{e.made.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), e.serial, e.firmware, e.path}
                .join(QLatin1Char('\t'))
                .toUtf8() +
            '\n';
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    return 0;
}

} // namespace BackupCommands
