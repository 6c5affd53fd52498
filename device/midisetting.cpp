#include "device/midisetting.h"

#include "device/exportchoicebox.h"
#include "device/exportpreviewpanel.h"
#include "device/simulatordevice.h"
#include "device/transferbackup.h"
#include "device/transferlogpanel.h"
#include "device/transferstatuspanel.h"
#include "midi/compositemidibackend.h"
#include "midi/midievent.h"
#include "midi/portnames.h"
#include "midi/rtmidibackend.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>
#include <QProcessEnvironment>
#include <QTimer>
#include <QToolButton>

namespace {
const QString WindowTitle = QStringLiteral("Orvex+ Preset Manager");
const QSize ScreenPictureSize(320, 87);
} // namespace

MidiSetting::MidiSetting(std::shared_ptr<MidiBackend> backend, QWidget *parent)
    : QDialog(parent), midi(std::move(backend))
{
    setupUi(this);
    formWidth = width();
    // A fixed form: no maximise or minimise button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    connect(ConnectButton, &QPushButton::clicked, this, &MidiSetting::Connect);
    connect(TransferButton, &QPushButton::clicked, this, &MidiSetting::Transfer);
    connect(RescanButton, &QPushButton::clicked, this, &MidiSetting::rescanPorts);
    connect(&midi, &MidiTransfer::progressChanged, this, [this](int done, int total) {
        // One bar per phase: reading, then writing, so it never runs backwards.
        progressBar->setRange(0, std::max(1, total));
        progressBar->setValue(done);
    });
    connect(&midi, &MidiTransfer::transferCompleted, this, &MidiSetting::finishTransfer);
    // Where the progress bar shows once the transfer runs.
    choiceBox = new ExportChoiceBox(this);
    choiceBox->setGeometry(progressBar->geometry());
    choiceBox->hide();
    setUpTransferPanels();
    // Replies come to the dialog, which hands each one to the transfer rules.
    midi.setReceiver(this);
    TryConText->hide();
    NoPortsText->hide();
    progressBar->hide();
    progressBar->setAccessibleName(tr("Transfer progress"));
    // Read-only, but a keyboard user must reach them to hear or copy them.
    SnEdit->setFocusPolicy(Qt::StrongFocus);
    VersionEdit->setFocusPolicy(Qt::StrongFocus);
    TransferButton->setEnabled(false);
    midi.setExportMode(false);
}

// The ports close with `midi`, before the dialog stops being a receiver.
MidiSetting::~MidiSetting()
{
    // The list goes before the preview it shows.
    delete previewPanel;
}

bool MidiSetting::simulatorRequested(const QStringList &arguments, const QProcessEnvironment &environment)
{
    return arguments.mid(1).contains(QStringLiteral("--simulator")) ||
           environment.value(QStringLiteral("ORVEX_SIMULATOR")) == QLatin1String("1");
}

std::shared_ptr<MidiBackend> MidiSetting::programBackend(const QStringList &arguments,
                                                         const QProcessEnvironment &environment)
{
    std::shared_ptr<SimulatorDevice> simulator;
    if (simulatorRequested(arguments, environment)) {
        simulator = std::make_shared<SimulatorDevice>();
        simulator->applyFaultsFromEnvironment(environment);
    }
    return CompositeMidiBackend::create(RtMidiBackend::apiFromEnvironment(), std::move(simulator));
}

void MidiSetting::setMode(bool exportAll)
{
    midi.setExportMode(exportAll);
    TransferButton->setText(exportAll ? tr("Export") : tr("Import"));
    TransferButton->setToolTip(exportAll ? tr("Write banks 2–16 to the module")
                                         : tr("Read all 16 banks from the module"));
    const QString picture = exportAll ? tr(":/Charts/export_screen.png") : tr(":/Charts/import_screen.png");
    IconLabel->setPixmap(QIcon(picture).pixmap(ScreenPictureSize));
    // The direction in words, not only in the picture.
    setWindowTitle(exportAll ? tr("Export to Orvex+") : tr("Import from Orvex+"));
    IconLabel->setAccessibleName(windowTitle());
    choiceBox->setVisible(exportAll && !choiceFixed);
}

void MidiSetting::setSelection(const SelectionMask &selection)
{
    choiceBox->setSelection(selection);
}

void MidiSetting::setFixedChoice(const ExportChoice &choice)
{
    choiceFixed = true;
    fixedChoice = choice;
    choiceBox->hide();
    TransferButton->setToolTip(tr("Write %1 to the module").arg(choice.description()));
}

ExportChoice MidiSetting::exportChoice() const
{
    return choiceFixed ? fixedChoice : choiceBox->choice();
}

void MidiSetting::setBackupKeeping(int newest, int days)
{
    keepNewest = newest;
    keepDays = days;
}

void MidiSetting::fillPortLists()
{
    fillLists(inName, inRow, outName, outRow);
}

void MidiSetting::rescanPorts()
{
    auto chosen = [](const QListWidget *list) {
        const QListWidgetItem *item = list->currentItem();
        return item ? item->text() : QString();
    };
    fillLists(chosen(MidiInList), MidiInList->currentRow(), chosen(MidiOutList), MidiOutList->currentRow());
}

void MidiSetting::fillLists(const QString &inWanted, int inFallback, const QString &outWanted,
                            int outFallback)
{
    MidiPort &port = midi.protocol().port();
    // Read once here and kept by the backend, so a row opens the port listed there.
    port.backend().rescan();
    for (QListWidget *list : {MidiInList, MidiOutList}) {
        const bool input = list == MidiInList;
        QStringList names;
        for (int i = 0; i < MaxListedDevices; ++i) {
            const std::optional<QString> name = input ? port.inputDeviceName(i) : port.outputDeviceName(i);
            if (!name)
                break;
            names << *name;
        }
        list->clear();
        list->addItems(names);
        const int found = PortNames::find(names, input ? inWanted : outWanted);
        list->setCurrentRow(found >= 0 ? found : input ? inFallback : outFallback);
    }
    NoPortsText->setVisible(MidiInList->count() == 0 && MidiOutList->count() == 0);
}

void MidiSetting::updateConnectionUi()
{
    const int state = midi.connectionState();
    const bool disconnected = state == MidiTransfer::Disconnected;
    TryConText->setVisible(state == MidiTransfer::Connecting);
    progressBar->hide();
    MidiInList->setEnabled(disconnected);
    MidiOutList->setEnabled(disconnected);
    RescanButton->setEnabled(disconnected);
    ConnectButton->setText(disconnected ? tr("Connect") : tr("Disconnect"));
    ConnectButton->setToolTip(disconnected ? tr("Open the chosen ports and ask the module who it is")
                                           : tr("Close the ports"));
    ConnectButton->setEnabled(true);
    TransferButton->setEnabled(state == MidiTransfer::Connected);
    if (disconnected) {
        SnEdit->clear();
        VersionEdit->clear();
    }
}

void MidiSetting::showIdentity()
{
    SnEdit->setText(midi.protocol().serialText());
    VersionEdit->setText(midi.protocol().versionText());
}

void MidiSetting::Connect()
{
    if (midi.connectionState() == MidiTransfer::Disconnected) {
        // -1 for a list without a current row: no device, so the open fails.
        inRow = MidiInList->currentRow();
        outRow = MidiOutList->currentRow();
        inName = inRow >= 0 ? MidiInList->item(inRow)->text() : QString();
        outName = outRow >= 0 ? MidiOutList->item(outRow)->text() : QString();
        if (!midi.connectPorts(inRow, outRow, inName, outName))
            status->showNote(midi.openError());
    } else {
        midi.disconnectPorts();
    }
    updateConnectionUi();
}

void MidiSetting::Transfer()
{
    progressBar->setRange(0, PresetCount);
    progressBar->setValue(0);
    progressBar->show();
    // Both stay disabled until the dialog closes.
    TransferButton->setEnabled(false);
    ConnectButton->setEnabled(false);
    status->showRunning(midi.positionText());
    if (midi.exportMode()) {
        choiceBox->hide();
        runChoice = exportChoice();
        whole = runChoice.kind() == ExportChoice::Kind::AllUserBanks;
        std::vector<bool> chosen;
        if (runChoice.kind() != ExportChoice::Kind::AllUserBanks) {
            chosen.assign(PresetCount, false);
            for (int i = 0; i < PresetCount; ++i)
                chosen[size_t(i)] = runChoice.positions().isSelected(i / PresetsPerBank, i % PresetsPerBank);
        }
        midi.plan().setChosen(chosen);
        midi.plan().setDocument(previewRecords);
        // Saved by the transfer's rules before the question; nothing is written without it
        // unless the user says so.
        const QString fileName = backupFile.isEmpty() ? TransferBackup::defaultPath() : backupFile;
        midi.setBackupWriter([this](const TransferBanks &moduleBanks, QString &name,
                                    QString &error) { return saveBackup(moduleBanks, name, error); },
                             fileName);
    }
    // Only refused when not connected, which the disabled button normally rules out;
    // the user must not be left with every button disabled then.
    if (!midi.startTransfer())
        updateConnectionUi();
}

bool MidiSetting::saveBackup(const TransferBanks &moduleBanks, QString &fileName, QString &error)
{
    const bool partial = runChoice.kind() != ExportChoice::Kind::AllUserBanks;
    QStringList notes;
    const bool saved = BackupCatalog().saveBackup(
        moduleBanks, fileName, midi.protocol().serialText(), midi.protocol().versionText(),
        partial ? &runChoice.positions() : nullptr, keepNewest, keepDays, error, notes);
    for (const QString &line : notes)
        log->addLine(line);
    return saved;
}

void MidiSetting::finishTransfer()
{
    progressBar->hide();
    hidePreview();
    if (midi.exportMode()) {
        // The summary stays until the user closes the dialog.
        if (midi.changeCount() > 0)
            for (const QString &line : writtenNameChanges())
                log->addLine(line);
        status->showDone(exportSummary());
        return;
    }
    status->showNote(QString());
    QTimer::singleShot(FinishStepMs, this, &MidiSetting::close1);
}

void MidiSetting::close1()
{
    // The widgets keep showing the finished transfer until the dialog is gone.
    midi.disconnectPorts();
    QTimer::singleShot(FinishStepMs, this, &QWidget::close);
}

bool MidiSetting::event(QEvent *e)
{
    if (e->type() != MidiEvent::Type)
        return QDialog::event(e);
    const bool wasConnecting = midi.connectionState() == MidiTransfer::Connecting;
    if (midi.handleMidiEvent(static_cast<MidiEvent *>(e)) == Sysex::ReplyKind::Identity) {
        if (wasConnecting) {
            updateConnectionUi();
            SnEdit->clear();
        }
        showIdentity();
    }
    return true;
}

void MidiSetting::closeEvent(QCloseEvent *e)
{
    e->accept();
}

// The status line, its buttons and the log sit below the form's widgets.
void MidiSetting::setUpTransferPanels()
{
    constexpr int Top = 318;
    status = new TransferStatusPanel(this);
    status->setGeometry(10, Top, width() - 20, 88);
    log = new TransferLogPanel(this);
    connect(log, &TransferLogPanel::expandedChanged, this, &MidiSetting::fitToPanels);
    fitToPanels();

    connect(&midi, &MidiTransfer::logLine, log, &TransferLogPanel::addLine);
    auto showPosition = [this] {
        if (midi.running())
            status->showRunning(midi.positionText());
    };
    connect(&midi, &MidiTransfer::progressChanged, this, showPosition);
    connect(&midi, &MidiTransfer::waitingChanged, this, showPosition);
    connect(&midi, &MidiTransfer::confirmationNeeded, this, &MidiSetting::askBeforeWriting);
    connect(&midi, &MidiTransfer::transferStopped, this, &MidiSetting::showStopped);
    connect(&midi, &MidiTransfer::connectFailed, this, [this](const QString &message) {
        updateConnectionUi();
        status->showNote(message);
    });
    connect(&midi, &MidiTransfer::connectionStateChanged, this, [this](int state) {
        if (state == MidiTransfer::Connecting)
            status->showNote(QString());
    });
    connect(status->stopButton, &QPushButton::clicked, &midi, &MidiTransfer::stop);
    connect(status->writeButton, &QPushButton::clicked, this, [this] { answerQuestion(false); });
    // Without a backup it takes a second, separate step.
    connect(status->noBackupButton, &QPushButton::clicked, this, [this] {
        const int changes = preview.tickedCount();
        status->showWithoutBackupQuestion(
            changes == 1
                ? tr("Write 1 preset without a backup? What it holds on the module now cannot be restored.")
                : tr("Write %1 presets without a backup? What they hold on the module now cannot be "
                     "restored.")
                      .arg(changes));
    });
    connect(status->writeAnywayButton, &QPushButton::clicked, this, [this] { answerQuestion(true); });
    connect(status->cancelButton, &QPushButton::clicked, &midi, &MidiTransfer::cancelWrite);
    connect(status->retryButton, &QPushButton::clicked, this, [this] {
        status->showRunning(midi.positionText());
        if (!midi.retry())
            showStopped(midi.stopMessage());
    });
    connect(status->closeButton, &QPushButton::clicked, this, &QWidget::close);

    previewPanel = new ExportPreviewPanel(&preview, this);
    previewPanel->hide();
    // Writing none is no answer: only Cancel is.
    connect(previewPanel, &ExportPreviewPanel::tickedCountChanged, this, [this](int ticked) {
        for (QPushButton *b : {status->writeButton, status->noBackupButton, status->writeAnywayButton})
            b->setEnabled(ticked > 0);
    });
    connect(&midi, &MidiTransfer::transferStopped, this, &MidiSetting::hidePreview);
}

void MidiSetting::answerQuestion(bool withoutBackup)
{
    std::vector<bool> ticked(PresetCount, false);
    const SelectionMask mask = preview.ticked();
    for (int i = 0; i < PresetCount; ++i)
        ticked[size_t(i)] = mask.isSelected(i / PresetsPerBank, i % PresetsPerBank);
    if (mask.empty())
        return;
    const int before = midi.changeCount();
    midi.plan().keepChanges(ticked);
    if (!(withoutBackup ? midi.writeWithoutBackup() : midi.confirmWrite()))
        return;
    if (midi.changeCount() < before) {
        whole = false;
        log->addLine(tr("Left as the module holds them: %1 presets.").arg(before - midi.changeCount()));
    }
    hidePreview();
    status->showRunning(midi.positionText());
}

void MidiSetting::hidePreview()
{
    if (previewPanel->isHidden())
        return;
    previewPanel->hide();
    fitToPanels();
}

void MidiSetting::fitToPanels()
{
    // The list of changes, while the question is open, widens the dialog and sits between
    // the status line and the log.
    const bool previewShown = previewPanel && !previewPanel->isHidden();
    const int dialogWidth = previewShown ? std::max(formWidth, previewPanel->wantedWidth() + 20) : formWidth;
    const int previewHeight = previewShown ? 330 : 0;
    status->setGeometry(10, 318, dialogWidth - 20, 88);
    if (previewShown)
        previewPanel->setGeometry(10, 318 + 92, dialogWidth - 20, previewHeight - 8);
    const int logTop = 318 + 92 + previewHeight;
    const int logHeight = log->expanded() ? 190 : log->toggleButton->sizeHint().height() + 4;
    log->setGeometry(10, logTop, dialogWidth - 20, logHeight);
    const int height = logTop + logHeight + 8;
    setMinimumSize(dialogWidth, height);
    setMaximumSize(dialogWidth, height);
    resize(dialogWidth, height);
}

void MidiSetting::askBeforeWriting(int changes)
{
    const TransferPlan &plan = midi.plan();
    // Every change, to look over and untick, beside the question.
    BankStore fromImages;
    if (!previewRecords)
        fromImages.fromDump(midi.banks().data());
    preview.build(previewRecords ? *previewRecords : fromImages, midi.moduleBanks().data(),
                  midi.banks().data(), plan.changes());
    previewPanel->show();
    previewPanel->showPreview();
    fitToPanels();
    const QString where = runChoice.description();
    const QString question = changes == 1
                                 ? tr("1 preset in %1 will change on the module.").arg(where)
                                 : tr("%1 presets in %2 will change on the module.").arg(changes).arg(where);
    if (plan.backupSaved()) {
        status->showQuestion(
            question + QLatin1Char(' ') +
                tr("What it holds now is saved in %1.").arg(QFileInfo(plan.backupFile()).fileName()),
            true);
        return;
    }
    status->showQuestion(
        tr("No backup could be saved: %1").arg(plan.backupError()) + QLatin1Char('\n') + question, false);
}

void MidiSetting::showStopped(const QString &message)
{
    status->showStopped(message, midi.canRetry());
}

QStringList MidiSetting::writtenNameChanges() const
{
    // Only the presets this export wrote, as they now stand on the module.
    if (previewRecords)
        return TransferBackup::nameChanges(*previewRecords, midi.banks(), midi.plan().changes());
    return nameChanges;
}

QString MidiSetting::exportSummary() const
{
    if (midi.changeCount() == 0 && midi.writtenCount() == 0)
        return tr("The module already held these presets; nothing was written.");
    QString text = tr("Export done. Presets written: %1; writes repeated: %2.")
                       .arg(midi.writtenCount())
                       .arg(midi.retryCount());
    const TransferPlan &plan = midi.plan();
    if (plan.backupSaved())
        text += QLatin1Char(' ') + tr("Backup: %1").arg(QFileInfo(plan.backupFile()).fileName());
    else if (plan.withoutBackup())
        text += QLatin1Char(' ') + tr("Written without a backup.");
    const QStringList names = writtenNameChanges();
    if (!names.isEmpty())
        text += QLatin1Char('\n') + tr("The module shortens or changes these names and authors:") +
                QLatin1Char('\n') + names.join(QLatin1Char('\n'));
    return text;
}
