#pragma once

#include "model/selectionmask.h"

#include <QByteArray>
#include <QString>

// An export backup ("module-backup-YYYYMMDD-HHMMSS.pre", banks 2..16 of the module as a
// 15-bank preset file) and the small text file beside it ("….info") that names the module
// and, for an export of a choice, the presets the backup holds (the others in the file are
// placeholders). The preset file stays a plain preset file any version reads; every reader
// that must tell a backup's presets from its placeholders asks here.
namespace BackupInfo {

struct Contents
{
    QString serial; // empty when no information file is there
    QString firmware;
    SelectionMask held; // all of banks 2..16 unless the file names fewer
    bool coverageKnown = false; // the file names the presets it holds
    bool unused = false; // its export was cancelled before anything was written
};

bool isBackupName(const QString &fileName);
QString infoPath(const QString &backupPath);
// The information file's text.
QByteArray text(const QString &serial, const QString &firmware, const SelectionMask *held);
Contents read(const QString &backupPath);

} // namespace BackupInfo
