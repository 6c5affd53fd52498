#include "editing/fileflows.h"

#include "editing/undohistory.h"
#include "files/syxfile.h"
#include "model/bankstore.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace FileFlows {

QString defaultPathFor(const QString &fileName)
{
    return QFileInfo(fileName).absolutePath();
}

QString startDirectory(const QString &defaultPath)
{
    if (!defaultPath.isEmpty() && QFileInfo(defaultPath).isDir())
        return defaultPath;
    // A folder that does not exist yet would show up in the dialog as the file name.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

QString withPresetExtension(const QString &fileName)
{
    return QFileInfo(fileName).suffix().isEmpty() ? fileName + QStringLiteral(".pre") : fileName;
}

QString withSyxExtension(const QString &fileName)
{
    if (isSyxName(fileName))
        return fileName;
    if (fileName.endsWith(QLatin1String(".pre"), Qt::CaseInsensitive))
        return fileName.chopped(4) + QStringLiteral(".syx");
    return fileName + QStringLiteral(".syx");
}

void recordBanksForUndo(UndoHistory &history, int firstBank, int lastBank)
{
    history.startNewGroup = true;
    for (int b = firstBank; b <= lastBank; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            history.recordUndo(b, p);
}

} // namespace FileFlows
