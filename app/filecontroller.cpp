// The window's save and load flows: the dialogs they ask through, the checks before a file
// is replaced, and the document's state after each. Their texts are the window's.
#include "app/filecontroller.h"

#include "app/mainwindow.h"
#include "base/appidentity.h"
#include "device/backuptexts.h"
#include "dialogs/bankloaddialog.h"
#include "dialogs/banksavedialog.h"
#include "dialogs/syxload.h"
#include "editing/fileflows.h"
#include "editing/syxflows.h"
#include "files/filecontents.h"
#include "files/filestamp.h"
#include "files/midifile.h"
#include "files/presetfile.h"
#include "files/recentfiles.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>

#include <algorithm>

namespace {
const QString DefaultPathKey = QStringLiteral("defaultpath");
const QString PresetFilter = QStringLiteral("Presets (*.pre)");
const QString SyxFilter = QStringLiteral("SysEx (*.syx)");
const QString MidiFilter = QStringLiteral("Standard MIDI File (*.mid)");
// The pause after each message of a MIDI file, in milliseconds, for the module to store it.
const QString MidiPauseKey = QStringLiteral("midipause");

// The Load dialog's filters, the first one chosen at the start.
QString loadFilters()
{
    return QStringList{PresetFilter, SyxFilter, MidiFilter, MainWindow::tr("All files (*)")}.join(
        QStringLiteral(";;"));
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
    // A selection is no whole bank: only a SysEx or MIDI file can hold it.
    const QString filter = (selectionChosen ? QStringList{SyxFilter, MidiFilter}
                                            : QStringList{PresetFilter, SyxFilter, MidiFilter})
                               .join(QLatin1String(";;"));
    QString chosenFilter = selectionChosen ? SyxFilter : PresetFilter;
    const QString chosen = window.fileDialogs.saveFileName(&window, MainWindow::tr("Save preset file"),
                                                           directory, filter, &chosenFilter);
    if (chosen.isEmpty())
        return;
    // A MIDI file holds the same SysEx image, spaced: everything said of SysEx files holds.
    const bool asMidi = SyxFlows::savesAsMidi(chosen, chosenFilter);
    const bool asSyx = asMidi || selectionChosen || SyxFlows::savesAsSyx(chosen, chosenFilter);
    // The dialog asked before replacing the name it was given, not the one with the extension
    // added or corrected. A selection is no bank: it goes to a SysEx name whatever was typed.
    QString fileName = asMidi            ? SyxFlows::withMidiExtension(chosen)
                       : selectionChosen ? FileFlows::withSyxExtension(chosen)
                       : asSyx && QFileInfo(chosen).suffix().isEmpty()
                           ? chosen + QStringLiteral(".syx")
                           : FileFlows::withPresetExtension(chosen);
    // Anything but all banks in a preset file holds less than the document.
    const bool part = asSyx || selectedBank >= 1;
    bool overDocument = part && window.document.isDocumentFile(fileName);
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
    if (!confirmReplacingChanges(fileName, asSyx))
        return;
    overDocument = part && window.document.isDocumentFile(fileName); // another name may have been chosen
    const SelectionMask presets = SyxFlows::presetsToSave(selectionChosen, selection, selectedBank);
    const int pauseMs = std::clamp(window.settings.value(MidiPauseKey, MidiTiming::DefaultPauseMs).toInt(), 0,
                                   MidiTiming::MaxPauseMs);
    if (asMidi && !acceptMidiLength(presets, pauseMs))
        return;
    // Remembered even when the write fails: the user chose that folder.
    rememberFolderOf(window.settings, fileName);
    if (asSyx) {
        // A SysEx file is an export, not the document: modified and the title stay, unless it
        // went over the document's own file.
        if (saveSyx(fileName, presets, asMidi ? pauseMs : -1) && overDocument)
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
    QString fileName = window.document.fileName();
    // Only a preset file that holds the whole document is replaced unasked: a file that now
    // holds one bank, a SysEx image or nothing readable goes through the dialogs.
    const FileContents held = fileName.isEmpty() ? FileContents() : readFileContents(fileName);
    if (!held.readable() || held.isSyx() || held.banks != BankCount) {
        save();
        return;
    }
    // Unasked only while nobody else changed it.
    if (!confirmReplacingChanges(fileName, false))
        return;
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
    const FileContents file = readFileContents(fileName);
    const int held = file.readable() && !file.isSyx() ? file.banks : -1;
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
    box.button(QMessageBox::Cancel)->setText(MainWindow::tr("&Cancel"));
    QPushButton *replace = box.addButton(MainWindow::tr("&Replace"), QMessageBox::DestructiveRole);
    box.setDefaultButton(QMessageBox::Cancel);
    box.exec();
    return box.clickedButton() == replace;
}

namespace {
QString whenText(const MainWindow &window, const QString &fileName)
{
    return BackupTexts::interfaceLocale(window.language)
        .toString(FileStamp::modifiedAt(fileName), QStringLiteral("d MMM yyyy HH:mm:ss"));
}
} // namespace

bool FileController::confirmReplacingChanges(QString &fileName, bool asSyx)
{
    while (window.document.isDocumentFile(fileName) &&
           window.document.fileChangedOnDisk() == FileStamp::Change::Changed) {
        QMessageBox box(QMessageBox::Warning, AppIdentity::ProgramName,
                        MainWindow::tr("%1 was changed by another program on %2, after it was last loaded "
                                       "or saved here.")
                            .arg(QFileInfo(fileName).fileName(), whenText(window, fileName)),
                        QMessageBox::Cancel, &window);
        box.setInformativeText(MainWindow::tr("Replacing it loses those changes.") + QStringLiteral("\n\n") +
                               QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath()));
        box.button(QMessageBox::Cancel)->setText(MainWindow::tr("&Cancel"));
        QPushButton *replace = box.addButton(MainWindow::tr("&Replace"), QMessageBox::DestructiveRole);
        QPushButton *other =
            box.addButton(MainWindow::tr("Save under &Another Name…"), QMessageBox::AcceptRole);
        box.setDefaultButton(QMessageBox::Cancel);
        box.exec();
        if (box.clickedButton() == replace)
            return true;
        if (box.clickedButton() != other)
            return false;
        QString filter = asSyx ? SyxFilter : PresetFilter;
        const QString chosen = window.fileDialogs.saveFileName(
            &window, MainWindow::tr("Save preset file"), QFileInfo(fileName).absolutePath(), filter, &filter);
        if (chosen.isEmpty())
            return false;
        fileName = asSyx ? FileFlows::withSyxExtension(chosen) : FileFlows::withPresetExtension(chosen);
    }
    return true;
}

void FileController::offerReloadIfChanged()
{
    const QString fileName = window.document.fileName();
    // Never in the middle of a flow, nor over unsaved work: its save asks instead.
    if (askingReload || window.modified || fileName.isEmpty() || QApplication::activeModalWidget() ||
        window.document.fileChangedOnDisk() != FileStamp::Change::Changed)
        return;
    askingReload = true;
    QMessageBox box(QMessageBox::Question, AppIdentity::ProgramName,
                    MainWindow::tr("%1 was changed by another program on %2. Load it again?")
                        .arg(QFileInfo(fileName).fileName(), whenText(window, fileName)),
                    QMessageBox::NoButton, &window);
    box.setInformativeText(QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath()));
    QPushButton *reload = box.addButton(MainWindow::tr("&Load Again"), QMessageBox::AcceptRole);
    box.addButton(MainWindow::tr("&Keep"), QMessageBox::RejectRole);
    box.setDefaultButton(reload);
    box.exec();
    askingReload = false;
    if (box.clickedButton() != reload) {
        // Kept: the file no longer holds the document, which counts as unsaved from here on.
        window.document.fileChangedElsewhere();
        return;
    }
    if (window.modified || window.document.fileName() != fileName)
        return; // changed while the question was open
    if (!loadWhole(fileName, false))
        window.showError();
}

bool FileController::loadWhole(const QString &fileName, bool ask)
{
    // Seen before it is read: a change in between shows at the next save.
    const FileStamp seen = FileStamp::of(fileName);
    const FileContents file = readFileContents(fileName);
    if (!file.readable()) {
        window.errorText = file.errorText;
        return false;
    }
    return loadWhole(fileName, file, seen, ask);
}

bool FileController::loadWhole(const QString &fileName, const FileContents &file, const FileStamp &seen,
                               bool ask)
{
    if (file.isSyx() || file.banks != BankCount) {
        window.errorText =
            MainWindow::tr("%1 no longer holds all banks.").arg(QFileInfo(fileName).fileName());
        return false;
    }
    // Checked whole before anything is asked or cleared: a file that lacks presets is
    // refused and the document stays as it was.
    const QString problems = file.problemsText();
    if (!problems.isEmpty()) {
        window.errorText = problems;
        return false;
    }
    if (ask && window.modified && !window.askSaveChanges())
        return true;
    window.replaceDocument(file.placed(0), Document::Source::File, fileName);
    window.document.setFileStamp(seen);
    RecentFiles(window.settings).add(fileName);
    return true;
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
    // Read once: what the file holds decides everything after. Seen before it is read: a
    // change in between shows at the next save.
    const FileStamp seen = FileStamp::of(fileName);
    const FileContents file = readFileContents(fileName);
    if (!file.readable()) {
        window.errorText = file.errorText;
        window.showError(fileName);
        return;
    }
    if (file.isSyx()) {
        loadSyx(fileName, file.syx);
        return;
    }
    if (file.banks == 0) {
        window.errorText = MainWindow::tr("The file holds no bank.");
        window.showError(fileName);
        return;
    }

    if (file.banks == BankCount) {
        if (!loadWhole(fileName, file, seen, true))
            window.showError(fileName);
        return;
    }

    if (!window.banksLoaded) {
        window.errorText = MainWindow::tr("Please import or load all banks first");
        window.showError();
        return;
    }
    // An export backup is banks 2..16 of the module, of which a backup of a choice holds
    // only the chosen presets: it loads as Compare reads it.
    int startBank = 1;
    {
        BankLoadDialog dialog;
        dialog.setFileBanks(file.banks, file.isBackup());
        dialog.exec();
        if (!dialog.accepted)
            return;
        startBank = dialog.selectedBank;
    }
    if (!FileFlows::loadIntoBanks(window.bankStore, window.history, file, startBank, window.errorText)) {
        window.showError(fileName);
        return;
    }
    window.updateTable(true);
    RecentFiles(window.settings).add(fileName);
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
    box.button(QMessageBox::Cancel)->setText(MainWindow::tr("&Cancel"));
    QPushButton *save = box.addButton(MainWindow::tr("&Save SysEx file"), QMessageBox::AcceptRole);
    box.setDefaultButton(save);
    box.exec();
    // Asked once a run: the answer holds until the program ends.
    window.syxLossesAccepted = box.clickedButton() == save;
    return window.syxLossesAccepted;
}

bool FileController::acceptMidiLength(const SelectionMask &presets, int pauseMs)
{
    const std::vector<std::vector<uint8_t>> messages = syxMessages(window.bankStore, presets);
    if (messages.empty())
        return true; // saving says why nothing is written
    QMessageBox box(QMessageBox::Question, AppIdentity::ProgramName,
                    MainWindow::tr("The MIDI file plays for %1.")
                        .arg(midiDurationText(midiFileDurationMs(messages, pauseMs))),
                    QMessageBox::Cancel, &window);
    box.setInformativeText(MainWindow::tr("Presets: %1. Each is sent as fast as a MIDI cable carries it, "
                                          "then the file pauses %2 ms for the module to store it.")
                               .arg(messages.size())
                               .arg(pauseMs));
    box.button(QMessageBox::Cancel)->setText(MainWindow::tr("&Cancel"));
    QPushButton *save = box.addButton(MainWindow::tr("&Save MIDI file"), QMessageBox::AcceptRole);
    box.setDefaultButton(save);
    box.exec();
    return box.clickedButton() == save;
}

bool FileController::saveSyx(const QString &fileName, const SelectionMask &presets, int midiPauseMs)
{
    if (midiPauseMs >= 0 ? saveMidiFile(window.bankStore, presets, fileName, midiPauseMs, window.errorText)
                         : saveSyxFile(window.bankStore, presets, fileName, window.errorText)) {
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

void FileController::loadSyx(const QString &fileName, const SyxContents &contents)
{
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
