// The window's save and load flows: the dialogs they ask through, the checks before a file
// is replaced, and the document's state after each. Their texts are the window's.
#include "app/filecontroller.h"

#include "app/mainwindow.h"
#include "base/appidentity.h"
#include "device/backupcatalog.h"
#include "dialogs/bankloaddialog.h"
#include "dialogs/banksavedialog.h"
#include "dialogs/syxload.h"
#include "editing/fileflows.h"
#include "editing/syxflows.h"
#include "files/presetfile.h"
#include "files/recentfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>

namespace {
const QString DefaultPathKey = QStringLiteral("defaultpath");
const QString PresetFilter = QStringLiteral("Presets (*.pre)");
const QString SyxFilter = QStringLiteral("SysEx (*.syx)");

// The Load dialog's filters, the first one chosen at the start.
QString loadFilters()
{
    return QStringList{PresetFilter, SyxFilter, MainWindow::tr("All files (*)")}.join(QStringLiteral(";;"));
}
} // namespace

void FileController::save()
{
    if (!window.banksLoaded)
        return;
    int selectedBank = -1;
    bool selectionChosen = false;
    const SelectionMask selection = window.currentSelection();
    {
        BankSaveDialog dialog;
        dialog.offerSelection(!SyxFlows::presetsToSave(true, selection, -1).empty());
        dialog.exec();
        if (!dialog.accepted)
            return;
        selectedBank = dialog.selectedBank;
        selectionChosen = dialog.selectionChosen;
    }
    // On the document's own file for all banks, so saving it again is one press; in its folder
    // for less, which would replace it.
    QString directory = startDirectory(window.settings);
    const QString &documentFile = window.document.fileName();
    if (!documentFile.isEmpty() && QFileInfo(documentFile).absoluteDir().exists())
        directory = selectedBank < 1 && !selectionChosen && !isSyxName(documentFile)
                        ? QFileInfo(documentFile).absoluteFilePath()
                        : QFileInfo(documentFile).absolutePath();
    // A selection is no whole bank: only a SysEx file can hold it.
    const QString filter = selectionChosen ? SyxFilter : PresetFilter + QLatin1String(";;") + SyxFilter;
    QString chosenFilter = selectionChosen ? SyxFilter : PresetFilter;
    const QString chosen = window.fileDialogs.saveFileName(&window, MainWindow::tr("Save preset file"),
                                                           directory, filter, &chosenFilter);
    if (chosen.isEmpty())
        return;
    const bool asSyx = selectionChosen || SyxFlows::savesAsSyx(chosen, chosenFilter);
    // The dialog asked before replacing the name it was given, not the one with the extension
    // added or corrected. A selection is no bank: it goes to a SysEx name whatever was typed.
    const QString fileName = selectionChosen ? FileFlows::withSyxExtension(chosen)
                             : asSyx && QFileInfo(chosen).suffix().isEmpty()
                                 ? chosen + QStringLiteral(".syx")
                                 : FileFlows::withPresetExtension(chosen);
    // Anything but all banks in a preset file holds less than the document.
    const bool part = asSyx || selectedBank >= 1;
    const bool overDocument = part && window.document.isDocumentFile(fileName);
    if (overDocument && QFileInfo::exists(fileName)) {
        const int count = selectionChosen ? SyxFlows::presetsToSave(true, selection, -1).count() : 0;
        if (!confirmPartOverDocument(fileName, count, selectedBank, asSyx))
            return;
    } else if (fileName != chosen && QFileInfo::exists(fileName) &&
               QMessageBox::question(&window, AppIdentity::ProgramName,
                                     MainWindow::tr("%1 already exists.\nDo you want to replace it?")
                                         .arg(QFileInfo(fileName).fileName()),
                                     QMessageBox::Yes | QMessageBox::No,
                                     // Typed without its extension, the document's own file is
                                     // meant; any other file the user did not name as such.
                                     window.document.isDocumentFile(fileName)
                                         ? QMessageBox::Yes
                                         : QMessageBox::No) != QMessageBox::Yes)
        return;
    if (asSyx &&
        !acceptSyxLosses(SyxFlows::lossesOf(window.bankStore, selectionChosen, selection, selectedBank)))
        return;
    // Remembered even when the write fails: the user chose that folder.
    rememberFolderOf(window.settings, fileName);
    if (asSyx) {
        // A SysEx file is an export, not the document: modified and the title stay, unless it
        // went over the document's own file.
        if (saveSyx(fileName, SyxFlows::presetsToSave(selectionChosen, selection, selectedBank)) &&
            overDocument)
            window.document.fileReplacedByPart();
        return;
    }

    if (selectedBank < 1) {
        saveWhole(fileName);
    } else if (!window.savePresetFile(fileName, selectedBank, selectedBank)) {
        // One bank is not the whole state: modified stays as it was.
        window.showError(fileName);
    } else {
        RecentFiles(window.settings).add(fileName);
        // The document's file now holds one bank: the document is saved nowhere.
        if (overDocument)
            window.document.fileReplacedByPart();
    }
}

void FileController::resave()
{
    if (!window.banksLoaded)
        return;
    const QString fileName = window.document.fileName();
    QString ignored;
    // Only a preset file that holds the whole document is replaced unasked: a file that now
    // holds one bank, a SysEx image or nothing readable goes through the dialogs.
    if (fileName.isEmpty() || ::countPresetFileBanks(fileName, ignored) != BankCount) {
        save();
        return;
    }
    if (saveWhole(fileName))
        window.statusBar()->showMessage(MainWindow::tr("Saved to %1").arg(QFileInfo(fileName).fileName()));
}

bool FileController::saveWhole(const QString &fileName)
{
    if (!window.savePresetFile(fileName, 0, BankCount - 1)) {
        window.showError(fileName);
        return false;
    }
    window.document.savedWhole(fileName);
    RecentFiles(window.settings).add(fileName);
    return true;
}

bool FileController::confirmPartOverDocument(const QString &fileName, int selectedPresets, int bank,
                                             bool asSyx)
{
    QString ignored;
    const int held = ::countPresetFileBanks(fileName, ignored);
    const QString holds =
        held == BankCount ? MainWindow::tr("all %1 banks").arg(BankCount)
        : held > 0        ? (held == 1 ? MainWindow::tr("one bank") : MainWindow::tr("%1 banks").arg(held))
                          : MainWindow::tr("no bank this program can read");
    const QString replacement =
        selectedPresets > 0
            ? (selectedPresets == 1
                   ? MainWindow::tr("the selected preset as a SysEx file")
                   : MainWindow::tr("%1 selected presets as a SysEx file").arg(selectedPresets))
        : bank < 1
            ? MainWindow::tr("banks 2 to 16 as a SysEx file")
            : (asSyx ? MainWindow::tr("bank %1 alone as a SysEx file") : MainWindow::tr("bank %1 alone"))
                  .arg(bank + 1);
    QMessageBox box(QMessageBox::Warning, AppIdentity::ProgramName,
                    MainWindow::tr("%1 is the document's file.").arg(QFileInfo(fileName).fileName()),
                    QMessageBox::Cancel, &window);
    box.setInformativeText(
        MainWindow::tr("It holds %1. Saving %2 there replaces all of it, and the document then "
                       "counts as unsaved.")
            .arg(holds, replacement));
    QPushButton *replace = box.addButton(MainWindow::tr("Replace"), QMessageBox::DestructiveRole);
    box.setDefaultButton(QMessageBox::Cancel);
    box.exec();
    return box.clickedButton() == replace;
}

void FileController::load()
{
    const QString directory = startDirectory(window.settings);
    const QString fileName = window.fileDialogs.openFileName(&window, MainWindow::tr("Open preset file"),
                                                             directory, loadFilters());
    if (fileName.isEmpty())
        return;
    open(fileName);
}

void FileController::open(const QString &fileName)
{
    rememberFolderOf(window.settings, fileName);
    // Named on the command line or in the recent files, the file may be gone: say which.
    if (!QFileInfo::exists(fileName)) {
        window.errorText = MainWindow::tr("%1 does not exist.").arg(QDir::toNativeSeparators(fileName));
        window.showError();
        return;
    }
    if (isSyxFile(fileName)) {
        loadSyx(fileName);
        return;
    }

    const int fileBanks = window.countPresetFileBanks(fileName);
    if (fileBanks < 0) {
        window.showError(fileName);
        return;
    }
    if (fileBanks == 0) {
        window.errorText = MainWindow::tr("The file holds no bank.");
        window.showError(fileName);
        return;
    }

    if (fileBanks == BankCount) {
        // Read whole before anything is asked or cleared: a file that lacks presets is
        // refused and the document stays as it was.
        BankStore file;
        if (!loadCompletePresetFile(file, fileName, 0, BankCount - 1, window.errorText)) {
            window.showError(fileName);
            return;
        }
        if (window.modified && !window.askSaveChanges())
            return;
        window.replaceDocument(file, Document::Source::File, fileName);
        RecentFiles(window.settings).add(fileName);
        return;
    }

    if (!window.banksLoaded) {
        window.errorText = MainWindow::tr("Please import or load all banks first");
        window.showError();
        return;
    }
    // An export backup is banks 2..16 of the module, of which a backup of a choice holds
    // only the chosen presets: it loads as Compare reads it.
    const bool backup = fileBanks == BankCount - 1 && BackupCatalog::isBackupName(fileName);
    int startBank = 1;
    {
        BankLoadDialog dialog;
        dialog.setFileBanks(fileBanks, backup);
        dialog.exec();
        if (!dialog.accepted)
            return;
        startBank = dialog.selectedBank;
    }
    const int lastBank = presetFileLastBank(startBank, fileBanks);
    FileFlows::recordBanksForUndo(window.history, startBank, lastBank);
    bool loaded = false;
    if (backup) {
        BankStore file;
        SelectionMask held;
        loaded = BackupCatalog::load(fileName, file, held, window.errorText);
        int missing = 0;
        for (int b = startBank; loaded && b <= lastBank; ++b)
            for (int p = 0; p < PresetsPerBank; ++p)
                missing += held.isSelected(b, p) && !file.at(b, p).mark ? 1 : 0;
        if (missing > 0) {
            window.errorText =
                MainWindow::tr("The backup lacks %1 of its presets, or holds them damaged.").arg(missing);
            loaded = false;
        }
        for (int b = startBank; loaded && b <= lastBank; ++b)
            for (int p = 0; p < PresetsPerBank; ++p)
                if (held.isSelected(b, p))
                    window.bankStore.at(b, p) = file.at(b, p);
    } else {
        // As a full load: the file's banks whole, or nothing.
        loaded = loadCompletePresetFile(window.bankStore, fileName, startBank, lastBank, window.errorText);
    }
    // Also after a failed read: the step just recorded enables the undo button.
    window.updateTable(true);
    if (loaded)
        RecentFiles(window.settings).add(fileName);
    else
        window.showError(fileName);
}

bool FileController::acceptSyxLosses(const SyxLosses &losses)
{
    if (!losses.any() || window.syxLossesAccepted)
        return true;
    QMessageBox box(QMessageBox::Warning, AppIdentity::ProgramName,
                    MainWindow::tr("A SysEx file keeps only what the module keeps."), QMessageBox::Cancel,
                    &window);
    box.setInformativeText(syxLossesText(losses) + QStringLiteral("\n\n") +
                           MainWindow::tr("A SysEx file does not save the document: the changes stay unsaved "
                                          "until they are saved to a preset file (.pre)."));
    QPushButton *save = box.addButton(MainWindow::tr("Save SysEx file"), QMessageBox::AcceptRole);
    box.setDefaultButton(save);
    box.exec();
    // Asked once a run: the answer holds until the program ends.
    window.syxLossesAccepted = box.clickedButton() == save;
    return window.syxLossesAccepted;
}

bool FileController::saveSyx(const QString &fileName, const SelectionMask &presets)
{
    if (saveSyxFile(window.bankStore, presets, fileName, window.errorText)) {
        // Nothing else changes on the screen (title and unsaved mark stay): say it was written.
        const QString name = QFileInfo(fileName).fileName();
        const int count = presets.count();
        window.statusBar()->showMessage(count == 1
                                            ? MainWindow::tr("1 preset saved to %1").arg(name)
                                            : MainWindow::tr("%1 presets saved to %2").arg(count).arg(name));
        RecentFiles(window.settings).add(fileName);
        return true;
    }
    window.showError(fileName);
    return false;
}

void FileController::loadSyx(const QString &fileName)
{
    const SyxContents contents = readSyxFile(fileName);
    if (!contents.usable()) {
        window.errorText = contents.errorText;
        window.showError(fileName);
        return;
    }
    if (!window.banksLoaded) {
        window.errorText = MainWindow::tr("Please import or load all banks first");
        window.showError();
        return;
    }
    SyxLoad dialog(contents);
    dialog.exec();
    if (!dialog.accepted ||
        SyxFlows::loadPlaced(window.bankStore, window.history, contents, dialog.placement()) == 0)
        return;
    window.updateTable(true);
    RecentFiles(window.settings).add(fileName);
}

QString FileController::startDirectory(const QSettings &settings)
{
    return FileFlows::startDirectory(settings.value(DefaultPathKey, QString()).toString());
}

void FileController::rememberFolderOf(QSettings &settings, const QString &fileName)
{
    settings.setValue(DefaultPathKey, FileFlows::defaultPathFor(fileName));
}
