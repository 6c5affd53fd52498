// MainWindow's import from and export to the module.
#include "app/mainwindow.h"

#include "device/transferbackup.h"
#include "midi/midisetting.h"
#include "midi/transferstatuspanel.h"
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
        window.midiBackend = MidiSetting::programBackend(QCoreApplication::arguments(),
                                                         QProcessEnvironment::systemEnvironment());
    return window.midiBackend;
}

// The modal run between the remembered port rows, which are written back whether or
// not anything was transferred.
void runTransferDialog(MidiSetting &dialog, QSettings &settings, bool exportAll)
{
    dialog.inRow = settings.value(MidiInKey, QStringLiteral("0")).toInt();
    dialog.outRow = settings.value(MidiOutKey, QStringLiteral("0")).toInt();
    dialog.inName = settings.value(MidiInNameKey).toString();
    dialog.outName = settings.value(MidiOutNameKey).toString();
    dialog.fillPortLists();
    dialog.setMode(exportAll);
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
} // namespace

void MainWindow::on_Export()
{
    if (!banksLoaded)
        return;
    MidiSetting dialog(backendFor(*this));
    TransferBanks &images = dialog.transferBanks();
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            recordToImage(b, p, images.at(b, p).data());
    dialog.setNameChanges(TransferBackup::nameChanges(bankStore));
    runTransferDialog(dialog, settings, true);
    if (dialog.transferDone())
        markClean();
}

void MainWindow::on_Import()
{
    if (modified && !askSaveChanges())
        return;
    MidiSetting dialog(backendFor(*this));
    runTransferDialog(dialog, settings, false);
    if (!dialog.transferDone())
        return;
    history.reset();
    setCurrentFile(QString());
    banksLoaded = true;
    clearTable();
    const TransferBanks &images = dialog.transferBanks();
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            imageToRecord(b, p, images.at(b, p).data());
    updateTable(true);
}
