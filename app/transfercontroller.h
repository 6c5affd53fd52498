#pragma once

#include <QString>

class BankStore;
class ExportChoice;
class MainWindow;
class QSettings;
class TransferDialog;

// Runs the transfer dialog for the window: fills it with the document or a backup, takes
// the backup-keeping settings in, and keeps the ports it was left on (settings "midiin",
// "midiout", "midiinname", "midioutname") and the request timeout ("quiettime").
class TransferController
{
public:
    explicit TransferController(MainWindow &window) : window(window) {}

    // Exports the user banks of `source`: the user chooses what (unless `fixed` says),
    // looks over every change and writes. True when the module now holds every user preset
    // of `source`. `restoredFile` names the backup being restored, if one is.
    bool exportBanks(const BankStore &source, const ExportChoice *fixed,
                     const QString &restoredFile = QString());
    // Reads all 16 banks into `into`; with `readTip` the dialog only reads, for a comparison.
    // False when nothing was read.
    bool importBanks(BankStore &into, const QString &readTip = QString());
    // Writes the backup `fileName` to the module as an export of what it holds, through the
    // export's question; the document stays. False with the message in errorText when the
    // backup cannot be read.
    bool restoreBackup(const QString &fileName, QString &errorText);

private:
    // The modal run between the remembered ports, which are written back whether or not
    // anything was transferred.
    void run(TransferDialog &dialog, bool exportAll, const QString &readTip = QString());

    MainWindow &window;
};
