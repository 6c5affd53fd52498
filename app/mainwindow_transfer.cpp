// MainWindow's import from and export to the module.
#include "app/mainwindow.h"

#include "device/backupcatalog.h"
#include "device/backuptexts.h"
#include "device/programbackend.h"
#include "device/transferbackup.h"
#include "dialogs/transferdialog.h"
#include "dialogs/transferstatuspanel.h"
#include "views/accessiblenames.h"

#include <QLabel>

#include <QCoreApplication>
#include <QProcessEnvironment>

namespace {
const QString MidiInKey = QStringLiteral("midiin");
const QString MidiOutKey = QStringLiteral("midiout");
// The ports by name too: a row alone points elsewhere once devices come or go.
const QString MidiInNameKey = QStringLiteral("midiinname");
const QString MidiOutNameKey = QStringLiteral("midioutname");
// How long a request may go unanswered before it is sent again, in milliseconds.
const QString QuietTimeKey = QStringLiteral("quiettime");

std::shared_ptr<MidiBackend> backendFor(MainWindow &window)
{
    // Made once and kept, so the built-in simulator remembers an export for the next import.
    if (!window.midiBackend)
        window.midiBackend = ProgramBackend::forCommandLine(QCoreApplication::arguments(),
                                                            QProcessEnvironment::systemEnvironment());
    return window.midiBackend;
}

// The modal run between the remembered port rows, which are written back whether or
// not anything was transferred. With `readTip`, an import only reads, for a comparison.
void runTransferDialog(TransferDialog &dialog, QSettings &settings, bool exportAll,
                       const QString &readTip = QString())
{
    dialog.inRow = settings.value(MidiInKey, QStringLiteral("0")).toInt();
    dialog.outRow = settings.value(MidiOutKey, QStringLiteral("0")).toInt();
    dialog.inName = settings.value(MidiInNameKey).toString();
    dialog.outName = settings.value(MidiOutNameKey).toString();
    dialog.fillPortLists();
    dialog.setMode(exportAll);
    if (!readTip.isEmpty())
        dialog.setReadForCompare(readTip);
    dialog.transfer().setQuietTime(settings.value(QuietTimeKey, MidiTransfer::DefaultQuietMs).toInt());
    // Each new state of the transfer, its end included, is spoken while the focus stays put.
    QLabel *statusLine = dialog.status->label;
    QObject::connect(dialog.status, &TransferStatusPanel::stateShown, statusLine,
                     [statusLine](const QString &text) { AccessibleNames::announce(statusLine, text); });
    dialog.exec();
    settings.setValue(MidiInKey, dialog.inRow);
    settings.setValue(MidiOutKey, dialog.outRow);
    settings.setValue(MidiInNameKey, dialog.inName);
    settings.setValue(MidiOutNameKey, dialog.outName);
}

// Exports the user banks of `source` through the transfer dialog: the user chooses what
// (unless `fixed` says), looks over every change and writes. True when the module now
// holds every user preset of `source`.
bool runExport(MainWindow &window, const BankStore &source, const ExportChoice *fixed,
               const QString &restoredFile = QString())
{
    TransferDialog dialog(backendFor(window));
    if (!restoredFile.isEmpty())
        dialog.setRestoreOf(restoredFile, BackupTexts::made(BackupCatalog::entryFor(restoredFile).made,
                                                            BackupTexts::interfaceLocale(window.language)));
    source.toDump(dialog.transferBanks().data());
    dialog.setPreviewSource(&source);
    dialog.setNameChanges(TransferBackup::nameChanges(source));
    if (fixed)
        dialog.setFixedChoice(*fixed);
    else
        dialog.setSelection(window.currentSelection());
    dialog.setBackupKeeping(BackupCatalog::keepingFrom(window.settings));
    runTransferDialog(dialog, window.settings, true);
    return dialog.exportedWhole();
}
} // namespace

void MainWindow::on_Export()
{
    if (!banksLoaded)
        return;
    // Presets left out (another choice, unticked) still differ from the module.
    if (runExport(*this, bankStore, nullptr))
        document.exportedWhole();
}

void MainWindow::restoreBackup(const QString &fileName)
{
    BankStore backup;
    backup.fillEmptyBanks();
    SelectionMask held;
    if (!BackupCatalog::load(fileName, backup, held, errorText)) {
        showError();
        return;
    }
    const ExportChoice all = ExportChoice::allUserBanks();
    const ExportChoice choice = held == all.positions() ? all : ExportChoice::presets(held);
    // The document is not touched: the module gets the backup, the window keeps its banks.
    runExport(*this, backup, &choice, fileName);
    document.moduleOverwritten();
}

bool MainWindow::readModule(BankStore &into, bool forCompare)
{
    TransferDialog dialog(backendFor(*this));
    runTransferDialog(dialog, settings, false,
                      forCompare ? tr("Read all 16 banks to compare them with the document") : QString());
    if (!dialog.transferDone())
        return false;
    into.fromDump(dialog.transferBanks().data());
    return true;
}

void MainWindow::on_Import()
{
    if (modified && !askSaveChanges())
        return;
    BankStore module;
    if (!readModule(module, false))
        return;
    replaceDocument(module, Document::Source::Module, QString());
}
