#include "editing/fileflows.h"

#include "editing/undohistory.h"
#include "files/filecontents.h"
#include "files/syxfile.h"
#include "model/bankstore.h"

#include <QCoreApplication>
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

bool loadIntoBanks(BankStore &store, UndoHistory &history, const FileContents &file, int startBank,
                   QString &errorText)
{
    const int lastBank = std::min(startBank + file.banks - 1, BankCount - 1);
    const int lastFileBank = lastBank - startBank;
    // Everything is checked before the undo step is recorded: a refusal changes nothing.
    if (file.isBackup()) {
        SelectionMask unusable = file.positions(FileContents::State::Damaged, startBank);
        const SelectionMask lacking = file.positions(FileContents::State::Missing, startBank);
        for (int b = startBank; b <= lastBank; ++b)
            for (int p = 0; p < PresetsPerBank; ++p)
                if (lacking.isSelected(b, p))
                    unusable.set(b, p);
        if (const int n = unusable.count(); n > 0) {
            errorText =
                (n == 1 ? QCoreApplication::translate(
                              "MainWindow", "The backup lacks 1 of its presets, or holds it damaged.")
                        : QCoreApplication::translate(
                              "MainWindow", "The backup lacks %1 of its presets, or holds them damaged.")
                              .arg(n)) +
                QLatin1Char('\n') + file.positionsText(unusable);
            return false;
        }
    } else if (const QString problems = file.problemsText(0, lastFileBank); !problems.isEmpty()) {
        errorText = problems;
        return false;
    }
    recordBanksForUndo(history, startBank, lastBank);
    // A backup of a choice gives only the presets it holds; the rest of its banks stay.
    for (int b = 0; b <= lastFileBank; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            if (file.isBackup() ? file.state(b, p) == FileContents::State::Present
                                : file.presets.at(b, p).mark)
                store.at(startBank + b, p) = file.presets.at(b, p);
    return true;
}

} // namespace FileFlows
