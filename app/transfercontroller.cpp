#include "app/transfercontroller.h"

#include "app/mainwindow.h"
#include "device/backupcatalog.h"
#include "device/backuptexts.h"
#include "device/programbackend.h"
#include "device/transferbackup.h"
#include "dialogs/transferdialog.h"
#include "dialogs/transferstatuspanel.h"
#include "editing/exportchoice.h"
#include "views/accessiblenames.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QProcessEnvironment>

namespace {
const QString MidiInKey = QStringLiteral("midiin");
const QString MidiOutKey = QStringLiteral("midiout");
// The ports by name too: a row alone points elsewhere once devices come or go.
const QString MidiInNameKey = QStringLiteral("midiinname");
const QString MidiOutNameKey = QStringLiteral("midioutname");
// How long a request may go unanswered before it is sent again, in milliseconds.
const QString QuietTimeKey = QStringLiteral("quiettime");
// Every preset read twice (the transfer dialog's "Read everything twice").
const QString ReadTwiceKey = QStringLiteral("readtwice");

std::shared_ptr<MidiBackend> backendFor(MainWindow &window)
{
    // Made once and kept, so the built-in simulator remembers an export for the next import.
    if (!window.midiBackend)
        window.midiBackend = ProgramBackend::forCommandLine(QCoreApplication::arguments(),
                                                            QProcessEnvironment::systemEnvironment());
    return window.midiBackend;
}
} // namespace

void TransferController::run(TransferDialog &dialog, bool exportAll, const QString &readTip)
{
    QSettings &settings = window.settings;
    dialog.inRow = settings.value(MidiInKey, QStringLiteral("0")).toInt();
    dialog.outRow = settings.value(MidiOutKey, QStringLiteral("0")).toInt();
    dialog.inName = settings.value(MidiInNameKey).toString();
    dialog.outName = settings.value(MidiOutNameKey).toString();
    dialog.fillPortLists();
    dialog.readTwiceBox->setChecked(settings.value(ReadTwiceKey, false).toBool());
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
    settings.setValue(ReadTwiceKey, dialog.readTwiceBox->isChecked());
}

bool TransferController::exportBanks(const BankStore &source, const ExportChoice *fixed,
                                     const QString &restoredFile)
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
    run(dialog, true);
    return dialog.exportedWhole();
}

bool TransferController::importBanks(BankStore &into, const QString &readTip)
{
    TransferDialog dialog(backendFor(window));
    run(dialog, false, readTip);
    if (!dialog.transferDone())
        return false;
    into.fromDump(dialog.transferBanks().data());
    if (readTip.isEmpty())
        window.moduleSerial = dialog.transfer().protocol().serialText();
    return true;
}

bool TransferController::restoreBackup(const QString &fileName, QString &errorText)
{
    BankStore backup;
    backup.fillEmptyBanks();
    SelectionMask held;
    SelectionMask unusable;
    if (!BackupCatalog::load(fileName, backup, held, errorText, &unusable))
        return false;
    // A damaged preset is never written as an empty one: the module keeps what it holds.
    if (!unusable.empty()) {
        errorText = BackupCatalog::unusableText(fileName, unusable);
        return false;
    }
    const ExportChoice all = ExportChoice::allUserBanks();
    const ExportChoice choice = held == all.positions() ? all : ExportChoice::presets(held);
    exportBanks(backup, &choice, fileName);
    return true;
}
