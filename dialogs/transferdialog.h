#pragma once

#include "device/backupcatalog.h"
#include "device/miditransfer.h"
#include "device/modulefinder.h"
#include "editing/exportchoice.h"
#include "editing/exportpreview.h"
#include "ui_transferdialog.h"

#include <QDialog>

#include <memory>

class BankStore;
class ExportChoiceBox;
class QCheckBox;
class ExportPreviewPanel;
class QCloseEvent;
class TransferLogPanel;
class TransferStatusPanel;
class QProcessEnvironment;
class QTimer;

// The transfer dialog: the user picks a MIDI input and output, connects to the module
// (its serial number and firmware version are shown) and runs one import or export
// with a progress bar; the dialog closes itself a second after the transfer is through.
// It only shows and drives a MidiTransfer, which holds the protocol's rules. Made for
// one transfer, run modally, then read through transferDone, transferBanks and the rows;
// after Disconnect and Connect it is ready for another, as after the first Connect.
class TransferDialog : public QDialog, public Ui_TransferDialog
{
    Q_OBJECT

public:
    explicit TransferDialog(std::shared_ptr<MidiBackend> backend, QWidget *parent = nullptr);
    ~TransferDialog() override;

    void setMode(bool exportAll);
    // Reads the devices afresh, lists at most 100 each way and makes current the rows
    // named inName and outName, where those are listed, else rows inRow and outRow.
    void fillPortLists();
    // Refills both lists, keeping the ports chosen where they are still there.
    void rescanPorts();
    // Reads the devices again and refills the lists only when they changed; runs on a
    // timer while disconnected, so devices plugged in or out show without a Rescan.
    void pollPorts();
    static constexpr int PortPollMs = 2000;
    // Sends an identify request on every output, listens on every input, and chooses and
    // connects the pair the module answers on (see ModuleFinder).
    void findModule();
    ModuleFinder &moduleFinder() { return finder; }
    // A restore: the title names the backup by when it was made, the button says Restore.
    void setRestoreOf(const QString &fileName, const QString &madeText);
    // An import that only reads, to compare: titled and labelled as a read.
    void setReadForCompare(const QString &buttonTip);
    void updateConnectionUi();
    void showIdentity();

    int connectionState() const { return midi.connectionState(); }
    bool exportMode() const { return midi.exportMode(); }
    bool transferDone() const { return midi.transferDone(); }
    int retryCount() const { return midi.retryCount(); }
    // Export: the names and authors the module will not keep, listed in the summary.
    void setNameChanges(const QStringList &lines) { nameChanges = lines; }
    // Where the export's backup goes; empty for a new file in the data folder.
    void setBackupFile(const QString &fileName) { backupFile = fileName; }
    QString backupFileName() const { return midi.plan().backupFile(); }
    TransferBanks &transferBanks() { return midi.banks(); }
    MidiTransfer &transfer() { return midi; }

    // The ports used for the connection, by row and by name; the caller loads and
    // stores them ("midiin", "midiout", "midiinname", "midioutname").
    int inRow = 0;
    int outRow = 0;
    QString inName;
    QString outName;

    // Between the end of a transfer and closing the ports, and again until the dialog closes.
    static constexpr int FinishStepMs = 500;

    TransferStatusPanel *status = nullptr;
    TransferLogPanel *log = nullptr;

    // Export: the presets the images were made from, so the question shows their texts
    // and what the module keeps of them; without it the images' own texts are shown.
    void setPreviewSource(const BankStore *records) { previewRecords = records; }
    // Export: the table's selection, offered beside all user banks and each bank.
    void setSelection(const SelectionMask &selection);
    // Export: a fixed choice instead of the box (a restore writes what its backup holds).
    void setFixedChoice(const ExportChoice &choice);
    ExportChoice exportChoice() const;
    // After an export: it covered all user banks and wrote every change, so the module
    // holds what the images hold.
    bool exportedWhole() const { return transferDone() && whole; }
    // Backups kept after an export's new one: the newest `newest` and any younger than
    // `days` days.
    void setBackupKeeping(const BackupCatalog::Keeping &keeping) { keepBackups = keeping; }
    ExportPreview &exportPreview() { return preview; }

    ExportChoiceBox *choiceBox = nullptr;
    // "Read everything twice": the setting "readtwice", kept by the caller.
    QCheckBox *readTwiceBox = nullptr;
    ExportPreviewPanel *previewPanel = nullptr;

public slots:
    void toggleConnection();
    void Transfer();
    void disconnectAndClose();

protected:
    bool event(QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    void finishTransfer();
    void fillLists(const QString &inWanted, int inFallback, const QString &outWanted, int outFallback,
                   bool rescan = true);
    void setUpTransferPanels();
    void fitToPanels();
    void askBeforeWriting(int changes);
    void answerQuestion(bool withoutBackup);
    void hidePreview();
    QStringList writtenNameChanges() const;
    void showStopped(const QString &message);
    QString exportSummary() const;
    QString questionText() const;
    void previewTicksChanged();
    void noteBackupUnused();
    void finderDone();
    void applyTitle();
    void placeButtons();

    MidiTransfer midi;
    QStringList nameChanges;
    QString backupFile;
    const BankStore *previewRecords = nullptr;
    ExportPreview preview;
    bool choiceFixed = false;
    ExportChoice fixedChoice;
    ExportChoice runChoice;
    bool whole = false;
    BackupCatalog::Keeping keepBackups;
    int formWidth = 0;
    // Retry presses since Transfer, so a stop after one says it was a retry.
    int retryPresses = 0;
    // The bar counts writes, not reads.
    bool writingBar = false;
    // Presets the user unticked in the list; a Retry that asks again keeps them unticked.
    SelectionMask leftOut;
    bool rebuildingPreview = false;
    bool questionWithBackup = false;
    bool backupNotedUnused = false;
    QString restoreTitle;
    QString restoreFile;
    QString readTip;
    ModuleFinder finder;
    QTimer *portPoll = nullptr;
};
