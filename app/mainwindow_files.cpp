// MainWindow's save and load flows.
#include "app/mainwindow.h"

#include "device/backupcatalog.h"
#include "files/banksel.h"
#include "files/bankselload.h"
#include "files/fileflows.h"
#include "files/presetfile.h"
#include "files/recoverycopy.h"
#include "files/syxflows.h"
#include "files/syxload.h"

#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

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

bool MainWindow::savePresetFile(const QString &fileName, int firstBank, int lastBank)
{
    return ::savePresetFile(bankStore, fileName, firstBank, lastBank, errorText);
}

int MainWindow::countPresetFileBanks(const QString &fileName)
{
    return ::countPresetFileBanks(fileName, errorText);
}

bool MainWindow::loadPresetFile(const QString &fileName, int firstBank, int lastBank)
{
    return ::loadPresetFile(bankStore, fileName, firstBank, lastBank, errorText);
}

void MainWindow::on_Save()
{
    if (!banksLoaded)
        return;
    int selectedBank = -1;
    bool selectionChosen = false;
    const SelectionMask selection = currentSelection();
    {
        BankSel dialog;
        dialog.offerSelection(!SyxFlows::presetsToSave(true, selection, -1).empty());
        dialog.exec();
        if (!dialog.accepted)
            return;
        selectedBank = dialog.selectedBank;
        selectionChosen = dialog.selectionChosen;
    }
    const QString directory = FileFlows::startDirectory(settings.value(DefaultPathKey, QString()).toString());
    // A selection is no whole bank: only a SysEx file can hold it.
    const QString filter = selectionChosen ? SyxFilter : PresetFilter + QLatin1String(";;") + SyxFilter;
    QString chosenFilter = selectionChosen ? SyxFilter : PresetFilter;
    const QString chosen =
        fileDialogs.saveFileName(this, tr("Save preset file"), directory, filter, &chosenFilter);
    if (chosen.isEmpty())
        return;
    const bool asSyx = selectionChosen || SyxFlows::savesAsSyx(chosen, chosenFilter);
    // The dialog asked before replacing the name it was given, not the one with the extension added.
    const QString fileName = asSyx && QFileInfo(chosen).suffix().isEmpty()
                                 ? chosen + QStringLiteral(".syx")
                                 : FileFlows::withPresetExtension(chosen);
    if (fileName != chosen && QFileInfo::exists(fileName) &&
        QMessageBox::question(
            this, QStringLiteral("Orvex+ Preset Manager"),
            tr("%1 already exists.\nDo you want to replace it?").arg(QFileInfo(fileName).fileName()),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    if (asSyx && !acceptSyxLosses(SyxFlows::lossesOf(bankStore, selectionChosen, selection, selectedBank)))
        return;
    // Remembered even when the write fails: the user chose that folder.
    settings.setValue(DefaultPathKey, FileFlows::defaultPathFor(fileName));
    if (asSyx) {
        // A SysEx file is an export, not the document: modified and the title stay.
        saveSyx(fileName, SyxFlows::presetsToSave(selectionChosen, selection, selectedBank));
        return;
    }

    if (selectedBank < 1) {
        if (savePresetFile(fileName, 0, BankCount - 1)) {
            markClean();
            setCurrentFile(fileName);
        } else
            showError();
    } else if (!savePresetFile(fileName, selectedBank, selectedBank)) {
        // One bank is not the whole state: modified stays as it was either way.
        showError();
    }
}

void MainWindow::on_Load()
{
    const QString directory = FileFlows::startDirectory(settings.value(DefaultPathKey, QString()).toString());
    const QString fileName = fileDialogs.openFileName(this, tr("Open preset file"), directory, loadFilters());
    if (fileName.isEmpty())
        return;
    settings.setValue(DefaultPathKey, FileFlows::defaultPathFor(fileName));
    if (isSyxFile(fileName)) {
        loadSyx(fileName);
        return;
    }

    const int fileBanks = countPresetFileBanks(fileName);
    if (fileBanks < 0) {
        showError();
        return;
    }
    if (fileBanks == 0) {
        errorText = tr("The file holds no bank.");
        showError();
        return;
    }

    if (fileBanks == BankCount) {
        // Read whole before anything is asked or cleared: a file that lacks presets is
        // refused and the document stays as it was.
        BankStore file;
        if (!loadCompletePresetFile(file, fileName, 0, BankCount - 1, errorText)) {
            showError();
            return;
        }
        if (modified && !askSaveChanges())
            return;
        clearTable();
        bankStore = file; // every record comes from the file, marked
        history.reset();
        banksLoaded = true;
        setCurrentFile(fileName);
        updateTable(true);
        return;
    }

    if (!banksLoaded) {
        errorText = tr("Please import or load all banks first");
        showError();
        return;
    }
    // An export backup is banks 2..16 of the module, of which a backup of a choice holds
    // only the chosen presets: it loads as Compare reads it.
    const bool backup = fileBanks == BankCount - 1 && BackupCatalog::isBackupName(fileName);
    int startBank = 1;
    {
        BankSelLoad dialog;
        dialog.setFileBanks(fileBanks, backup);
        dialog.exec();
        if (!dialog.accepted)
            return;
        startBank = dialog.selectedBank;
    }
    const int lastBank = FileFlows::lastTargetBank(startBank, fileBanks);
    FileFlows::recordBanksForUndo(history, startBank, lastBank);
    bool loaded = false;
    if (backup) {
        BankStore file;
        SelectionMask held;
        loaded = BackupCatalog::load(fileName, file, held, errorText);
        int missing = 0;
        for (int b = startBank; loaded && b <= lastBank; ++b)
            for (int p = 0; p < PresetsPerBank; ++p)
                missing += held.isSelected(b, p) && !file.at(b, p).mark ? 1 : 0;
        if (missing > 0) {
            errorText = tr("The backup lacks %1 of its presets, or holds them damaged.").arg(missing);
            loaded = false;
        }
        for (int b = startBank; loaded && b <= lastBank; ++b)
            for (int p = 0; p < PresetsPerBank; ++p)
                if (held.isSelected(b, p))
                    bankStore.at(b, p) = file.at(b, p);
    } else {
        // As a full load: the file's banks whole, or nothing.
        loaded = loadCompletePresetFile(bankStore, fileName, startBank, lastBank, errorText);
    }
    // Also after a failed read: the step just recorded enables the undo button.
    updateTable(true);
    if (!loaded)
        showError();
}

bool MainWindow::acceptSyxLosses(const SyxLosses &losses)
{
    if (!losses.any() || syxLossesAccepted)
        return true;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Orvex+ Preset Manager"),
                    tr("A SysEx file keeps only what the module keeps."), QMessageBox::Cancel, this);
    box.setInformativeText(syxLossesText(losses) + QStringLiteral("\n\n") +
                           tr("A SysEx file does not save the document: the changes stay unsaved "
                              "until they are saved to a preset file (.pre)."));
    QPushButton *save = box.addButton(tr("Save SysEx file"), QMessageBox::AcceptRole);
    box.setDefaultButton(save);
    box.exec();
    // Asked once a run: the answer holds until the program ends.
    syxLossesAccepted = box.clickedButton() == save;
    return syxLossesAccepted;
}

bool MainWindow::saveSyx(const QString &fileName, const SelectionMask &presets)
{
    if (saveSyxFile(bankStore, presets, fileName, errorText))
        return true;
    showError();
    return false;
}

void MainWindow::loadSyx(const QString &fileName)
{
    const SyxContents contents = readSyxFile(fileName);
    if (!contents.usable()) {
        errorText = contents.errorText;
        showError();
        return;
    }
    if (!banksLoaded) {
        errorText = tr("Please import or load all banks first");
        showError();
        return;
    }
    SyxLoad dialog(contents);
    dialog.exec();
    if (!dialog.accepted || SyxFlows::loadPlaced(bankStore, history, contents, dialog.placement()) == 0)
        return;
    updateTable(true);
}

void MainWindow::offerRecovery()
{
    const std::optional<RecoveryCopy::Orphan> orphan = recovery->findOrphan();
    if (!orphan)
        return;
    const QLocale locale = language == 1 ? QLocale(QLocale::German, QLocale::Germany)
                                         : QLocale(QLocale::English, QLocale::UnitedKingdom);
    const QString when = locale.toString(orphan->time.toLocalTime(), QStringLiteral("d MMM yyyy HH:mm"));
    QMessageBox box(QMessageBox::Question, QStringLiteral("Orvex+ Preset Manager"),
                    tr("Unsaved changes from %1 were found. Restore them?").arg(when), QMessageBox::NoButton,
                    this);
    QPushButton *restore = box.addButton(tr("Restore"), QMessageBox::AcceptRole);
    QPushButton *discard = box.addButton(tr("Discard"), QMessageBox::DestructiveRole);
    box.setDefaultButton(restore);
    box.exec();
    if (box.clickedButton() == discard) {
        recovery->discardOrphan(*orphan);
        return;
    }
    if (box.clickedButton() != restore)
        return; // asked again at the next start
    BankStore restored;
    QString fileName;
    if (!recovery->restore(*orphan, restored, fileName, errorText)) {
        showError();
        return;
    }
    clearTable();
    bankStore = restored;
    history.resetUnsaved();
    banksLoaded = true;
    setCurrentFile(fileName);
    updateTable(true);
}
