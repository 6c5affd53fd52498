// MainWindow's import from and export to the module.
#include "app/mainwindow.h"

#include "midi/midisetting.h"
#include "midi/transferbackup.h"

#include <QCoreApplication>
#include <QProcessEnvironment>

namespace {
const QString MidiInKey = QStringLiteral("midiin");
const QString MidiOutKey = QStringLiteral("midiout");
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
    dialog.fillPortLists();
    dialog.setMode(exportAll);
    dialog.transfer().setQuietTime(settings.value(QuietTimeKey, MidiTransfer::DefaultQuietMs).toInt());
    dialog.exec();
    settings.setValue(MidiInKey, dialog.inRow);
    settings.setValue(MidiOutKey, dialog.outRow);
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
        modified = false;
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
    banksLoaded = true;
    clearTable();
    const TransferBanks &images = dialog.transferBanks();
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            imageToRecord(b, p, images.at(b, p).data());
    updateTable(true);
}
