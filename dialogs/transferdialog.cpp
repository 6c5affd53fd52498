#include "dialogs/transferdialog.h"

#include "base/appidentity.h"
#include "device/backupcatalog.h"
#include "device/programbackend.h"
#include "device/simulatordevice.h"
#include "device/transferbackup.h"
#include "device/transfertexts.h"
#include "dialogs/exportchoicebox.h"
#include "dialogs/exportpreviewpanel.h"
#include "dialogs/transferlogpanel.h"
#include "dialogs/transferstatuspanel.h"
#include "midi/midievent.h"
#include "midi/portnames.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>
#include <QProcessEnvironment>
#include <QTimer>
#include <QToolButton>

namespace {
const QString &WindowTitle = AppIdentity::ProgramName;
const QSize ScreenPictureSize(320, 87);
QStringList listedNames(MidiPort &port, bool input)
{
    QStringList names;
    for (int i = 0; i < ProgramBackend::MaxListedDevices; ++i) {
        const std::optional<QString> name = input ? port.inputDeviceName(i) : port.outputDeviceName(i);
        if (!name)
            break;
        names << *name;
    }
    return names;
}

QStringList shownNames(const QListWidget *list)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

QString chosenName(const QListWidget *list)
{
    const QListWidgetItem *item = list->currentItem();
    return item ? item->text() : QString();
}
} // namespace

TransferDialog::TransferDialog(std::shared_ptr<MidiBackend> backend, QWidget *parent)
    : QDialog(parent), midi(backend), finder(std::move(backend))
{
    setupUi(this);
    formWidth = width();
    // A fixed form: no maximise or minimise button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    connect(ConnectButton, &QPushButton::clicked, this, &TransferDialog::toggleConnection);
    connect(TransferButton, &QPushButton::clicked, this, &TransferDialog::Transfer);
    connect(RescanButton, &QPushButton::clicked, this, &TransferDialog::rescanPorts);
    connect(FindButton, &QPushButton::clicked, this, &TransferDialog::findModule);
    connect(&finder, &ModuleFinder::finished, this, &TransferDialog::finderDone);
    portPoll = new QTimer(this);
    portPoll->setInterval(PortPollMs);
    connect(portPoll, &QTimer::timeout, this, &TransferDialog::pollPorts);
    portPoll->start();
    connect(&midi, &MidiTransfer::progressChanged, this, [this](int done, int total) {
        // One bar per phase: reading, then writing, so it never runs backwards.
        progressBar->setRange(0, std::max(1, total));
        progressBar->setValue(done);
    });
    connect(&midi, &MidiTransfer::transferCompleted, this, &TransferDialog::finishTransfer);
    // Where the progress bar shows once the transfer runs.
    choiceBox = new ExportChoiceBox(this);
    choiceBox->setGeometry(progressBar->geometry());
    choiceBox->hide();
    readTwiceBox = new QCheckBox(tr("Read e&verything twice (twice the reading time)"), this);
    // Below the port lists, across the dialog.
    readTwiceBox->setGeometry(groupBox_3->x(), groupBox_3->geometry().bottom() + 4,
                              groupBox_4->geometry().right() - groupBox_3->x(), 20);
    readTwiceBox->setToolTip(
        tr("Every preset is read twice. Without it, a reply the module sends unasked with content it "
           "stores nowhere (an edit buffer, sent by a button pressed on the module) can take the place "
           "of a lost reply unnoticed."));
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
    placeButtons();
    // Connect is the first thing to do; the read-only fields come later in the tab order.
    ConnectButton->setFocus();
}

// The ports close with `midi`, before the dialog stops being a receiver.
TransferDialog::~TransferDialog()
{
    // Closed at the question: nothing was written over the backup's presets.
    if (midi.phase() == MidiTransfer::Phase::Confirming)
        noteBackupUnused();
    // The list goes before the preview it shows.
    delete previewPanel;
}

void TransferDialog::setMode(bool exportAll)
{
    midi.setExportMode(exportAll);
    TransferButton->setText(exportAll ? tr("&Export") : tr("&Import"));
    TransferButton->setToolTip(exportAll ? tr("Write banks 2–16 to the module")
                                         : tr("Read all 16 banks from the module"));
    choiceBox->setVisible(exportAll && !choiceFixed);
    applyTitle();
}

void TransferDialog::applyTitle()
{
    // The direction in words, not only in the picture; a restore names its backup, and a
    // read for a comparison must not sound as if it replaced the document.
    const bool exportAll = midi.exportMode();
    midi.setPurpose(exportAll && !restoreTitle.isEmpty() ? TransferTexts::Purpose::Restore
                    : !exportAll && !readTip.isEmpty()   ? TransferTexts::Purpose::ReadToCompare
                                                         : TransferTexts::Purpose::Transfer);
    // The banner says it too.
    const QString picture = exportAll && !restoreTitle.isEmpty() ? tr(":/pictures/restore_screen.png")
                            : !exportAll && !readTip.isEmpty()   ? tr(":/pictures/read_screen.png")
                            : exportAll                          ? tr(":/pictures/export_screen.png")
                                                                 : tr(":/pictures/import_screen.png");
    IconLabel->setPixmap(QIcon(picture).pixmap(ScreenPictureSize));
    if (exportAll && !restoreTitle.isEmpty()) {
        setWindowTitle(restoreTitle);
        TransferButton->setText(tr("&Restore"));
        TransferButton->setToolTip(tr("Write the backup %1 to the module").arg(restoreFile));
    } else if (!exportAll && !readTip.isEmpty()) {
        setWindowTitle(tr("Read from Orvex+ to compare"));
        TransferButton->setText(tr("&Read"));
        TransferButton->setToolTip(readTip);
    } else {
        setWindowTitle(exportAll ? tr("Export to Orvex+") : tr("Import from Orvex+"));
    }
    IconLabel->setAccessibleName(windowTitle());
    placeButtons();
}

void TransferDialog::placeButtons()
{
    // The form's widths fit the English words; longer ones (German, a larger font) get
    // room of their own instead of touching the border.
    const QRect connect = ConnectButton->geometry();
    const int connectWidth = std::max(75, ConnectButton->sizeHint().width());
    ConnectButton->setGeometry(connect.x(), connect.y(), connectWidth, connect.height());
    const int transferX = connect.x() + connectWidth + 5;
    const int transferWidth = std::max(75, TransferButton->sizeHint().width());
    TransferButton->setGeometry(transferX, connect.y(), transferWidth, connect.height());
    const int textX = std::max(365, transferX + transferWidth + 10);
    const QRect text = TryConText->geometry();
    TryConText->setGeometry(textX, text.y(), std::max(60, formWidth - 11 - textX), text.height());
    for (QPushButton *b : {FindButton, RescanButton}) {
        const QRect r = b->geometry();
        const int w = std::max(r.width(), b->sizeHint().width());
        // Find stays at the left edge, Rescan at the right.
        b->setGeometry(b == FindButton ? r.x() : r.right() + 1 - w, r.y(), w, r.height());
    }
}

void TransferDialog::setRestoreOf(const QString &fileName, const QString &madeText)
{
    restoreTitle = tr("Restore to Orvex+: the backup of %1").arg(madeText);
    restoreFile = QFileInfo(fileName).fileName();
    applyTitle();
}

void TransferDialog::setReadForCompare(const QString &buttonTip)
{
    readTip = buttonTip;
    applyTitle();
}

void TransferDialog::setSelection(const SelectionMask &selection)
{
    choiceBox->setSelection(selection);
}

void TransferDialog::setFixedChoice(const ExportChoice &choice)
{
    choiceFixed = true;
    fixedChoice = choice;
    choiceBox->hide();
    TransferButton->setToolTip(tr("Write %1 to the module").arg(choice.description()));
    applyTitle();
}

ExportChoice TransferDialog::exportChoice() const
{
    return choiceFixed ? fixedChoice : choiceBox->choice();
}

void TransferDialog::fillPortLists()
{
    fillLists(inName, inRow, outName, outRow);
}

void TransferDialog::rescanPorts()
{
    fillLists(chosenName(MidiInList), MidiInList->currentRow(), chosenName(MidiOutList),
              MidiOutList->currentRow());
}

void TransferDialog::findModule()
{
    if (midi.connectionState() != MidiTransfer::Disconnected || finder.running())
        return;
    rescanPorts();
    finder.setListenTime(midi.quietTime());
    if (!finder.start(shownNames(MidiInList), shownNames(MidiOutList))) {
        status->showNote(tr("No MIDI port could be opened to look for the module."));
        return;
    }
    status->showNote(tr("Looking for the module on every port…"));
    for (QWidget *w : {static_cast<QWidget *>(MidiInList), static_cast<QWidget *>(MidiOutList),
                       static_cast<QWidget *>(RescanButton), static_cast<QWidget *>(FindButton),
                       static_cast<QWidget *>(ConnectButton)})
        w->setEnabled(false);
}

void TransferDialog::finderDone()
{
    updateConnectionUi();
    const std::vector<ModuleFinder::Found> &found = finder.found();
    if (found.empty()) {
        status->showNote(
            finder.unpaired().empty()
                ? tr("No module answered on any port. Is it switched on and connected both ways?")
                : tr("The module answers on %1, but on no output tried: is its MIDI IN "
                     "connected?")
                      .arg(MidiInList->item(finder.unpaired().front())->text()));
        return;
    }
    const ModuleFinder::Found &best = found.front();
    MidiInList->setCurrentRow(best.input);
    MidiOutList->setCurrentRow(best.output);
    const QString serial = Sysex::formatSerial(best.identity.serialNumber);
    const QString inPort = MidiInList->item(best.input)->text();
    const QString outPort = MidiOutList->item(best.output)->text();
    QString text = inPort == outPort ? tr("Found the module %1 on %2.").arg(serial, inPort)
                                     : tr("Found the module %1 on %2 and %3.").arg(serial, inPort, outPort);
    if (found.size() > 1) {
        QStringList others;
        for (size_t i = 1; i < found.size(); ++i)
            others << tr("%1 on %2")
                          .arg(Sysex::formatSerial(found[i].identity.serialNumber),
                               MidiInList->item(found[i].input)->text());
        text += QLatin1Char(' ') + tr("Also answering: %1. Choose their ports to use another.")
                                       .arg(others.join(QStringLiteral("; ")));
    }
    // The ordinary connection follows, so the serial number and version show as always;
    // a port gone meanwhile is named by it instead.
    toggleConnection();
    if (midi.connectionState() != MidiTransfer::Disconnected)
        status->showNote(text);
}

void TransferDialog::pollPorts()
{
    // Only while nothing is open, or a port went away (the transfer opens them again by
    // name): a rescan renumbers the devices.
    if ((midi.connectionState() != MidiTransfer::Disconnected && !midi.portGone()) || finder.running())
        return;
    MidiPort &port = midi.protocol().port();
    port.backend().rescan();
    if (listedNames(port, true) == shownNames(MidiInList) &&
        listedNames(port, false) == shownNames(MidiOutList))
        return;
    fillLists(chosenName(MidiInList), MidiInList->currentRow(), chosenName(MidiOutList),
              MidiOutList->currentRow(), false);
}

void TransferDialog::fillLists(const QString &inWanted, int inFallback, const QString &outWanted,
                               int outFallback, bool rescan)
{
    MidiPort &port = midi.protocol().port();
    // Read once here and kept by the backend, so a row opens the port listed there.
    if (rescan)
        port.backend().rescan();
    for (QListWidget *list : {MidiInList, MidiOutList}) {
        const bool input = list == MidiInList;
        const QStringList names = listedNames(port, input);
        list->clear();
        list->addItems(names);
        const int found = PortNames::find(names, input ? inWanted : outWanted);
        list->setCurrentRow(found >= 0 ? found : input ? inFallback : outFallback);
    }
    NoPortsText->setVisible(MidiInList->count() == 0 && MidiOutList->count() == 0);
    FindButton->setEnabled(MidiInList->count() > 0 && MidiOutList->count() > 0 &&
                           midi.connectionState() == MidiTransfer::Disconnected && !finder.running());
}

void TransferDialog::updateConnectionUi()
{
    const int state = midi.connectionState();
    const bool disconnected = state == MidiTransfer::Disconnected;
    TryConText->setVisible(state == MidiTransfer::Connecting);
    progressBar->hide();
    MidiInList->setEnabled(disconnected);
    MidiOutList->setEnabled(disconnected);
    RescanButton->setEnabled(disconnected);
    FindButton->setEnabled(disconnected && MidiInList->count() > 0 && MidiOutList->count() > 0);
    ConnectButton->setText(disconnected ? tr("Co&nnect") : tr("&Disconnect"));
    ConnectButton->setToolTip(disconnected ? tr("Open the chosen ports and ask the module who it is")
                                           : tr("Close the ports"));
    ConnectButton->setEnabled(true);
    placeButtons();
    TransferButton->setEnabled(state == MidiTransfer::Connected);
    // Once the module answered, the transfer is the next step.
    if (state == MidiTransfer::Connected)
        TransferButton->setFocus();
    if (disconnected) {
        SnEdit->clear();
        VersionEdit->clear();
        // Closed ports end every transfer: what the next one runs with can be chosen again.
        choiceBox->setVisible(midi.exportMode() && !choiceFixed);
        readTwiceBox->setEnabled(true);
        hidePreview();
    }
}

void TransferDialog::showIdentity()
{
    SnEdit->setText(midi.protocol().serialText());
    // The digits are arranged as the module shows them, not as the number it sends.
    SnEdit->setToolTip(tr("The serial number as the module shows it; the module reports it as the number %1")
                           .arg(midi.protocol().serialNumber()));
    VersionEdit->setText(midi.protocol().versionText());
}

void TransferDialog::toggleConnection()
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
        // A wait for the ports ends as Stop ends it, with its message and log line.
        if (midi.waitingForPorts())
            midi.stop();
        const bool atQuestion = midi.phase() == MidiTransfer::Phase::Confirming;
        midi.disconnectPorts();
        // Nothing was written over what the backup holds, as after Cancel.
        if (atQuestion)
            noteBackupUnused();
        // A stop shown before offered Retry, which closed ports leave nothing to do.
        if (midi.phase() == MidiTransfer::Phase::Stopped && !status->retryButton->isHidden())
            showStopped(TransferTexts::stopMessage(midi.plan(), false));
    }
    updateConnectionUi();
}

void TransferDialog::Transfer()
{
    progressBar->setRange(0, PresetCount);
    progressBar->setValue(0);
    progressBar->setFormat(QStringLiteral("%p%"));
    retryPresses = 0;
    writingBar = false;
    // A transfer after a Disconnect and Connect starts afresh: its own backup and ticks.
    leftOut = SelectionMask();
    backupNotedUnused = false;
    progressBar->show();
    // Transfer stays disabled until Disconnect, which ends the transfer, and Connect again.
    TransferButton->setEnabled(false);
    status->showRunning(midi.positionText());
    readTwiceBox->setEnabled(false);
    midi.plan().setReadEverythingTwice(readTwiceBox->isChecked());
    if (midi.exportMode()) {
        choiceBox->hide();
        runChoice = exportChoice();
        whole = runChoice.kind() == ExportChoice::Kind::AllUserBanks;
        midi.plan().setChosen(whole ? std::nullopt : std::optional<SelectionMask>(runChoice.positions()));
        midi.plan().setDocument(previewRecords);
        // Saved by the transfer's rules before the question; nothing is written without it
        // unless the user says so.
        BackupCatalog::saveBeforeWriting(midi, backupFile, keepBackups,
                                         [this](const QString &line) { log->addLine(line); });
    }
    // Only refused when not connected, which the disabled button normally rules out;
    // the user must not be left with every button disabled then.
    if (!midi.startTransfer())
        updateConnectionUi();
}

void TransferDialog::finishTransfer()
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
    QTimer::singleShot(FinishStepMs, this, &TransferDialog::disconnectAndClose);
}

void TransferDialog::disconnectAndClose()
{
    // The widgets keep showing the finished transfer until the dialog is gone.
    midi.disconnectPorts();
    QTimer::singleShot(FinishStepMs, this, &QWidget::close);
}

bool TransferDialog::event(QEvent *e)
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

void TransferDialog::closeEvent(QCloseEvent *e)
{
    e->accept();
}

// The status line, its buttons and the log sit below the form's widgets.
void TransferDialog::setUpTransferPanels()
{
    constexpr int Top = 318;
    status = new TransferStatusPanel(this);
    status->setGeometry(10, Top, width() - 20, 88);
    log = new TransferLogPanel(this);
    connect(log, &TransferLogPanel::expandedChanged, this, &TransferDialog::fitToPanels);
    fitToPanels();

    connect(&midi, &MidiTransfer::logLine, log, &TransferLogPanel::addLine);
    auto showPosition = [this] {
        if (midi.running() || midi.waitingForPorts())
            status->showRunning(midi.positionText());
    };
    connect(&midi, &MidiTransfer::progressChanged, this, showPosition);
    connect(&midi, &MidiTransfer::waitingChanged, this, showPosition);
    connect(&midi, &MidiTransfer::confirmationNeeded, this, &TransferDialog::askBeforeWriting);
    connect(&midi, &MidiTransfer::transferStopped, this, &TransferDialog::showStopped);
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
    connect(status->cancelButton, &QPushButton::clicked, this, [this] {
        const bool atQuestion = midi.phase() == MidiTransfer::Phase::Confirming;
        midi.cancelWrite();
        if (atQuestion)
            noteBackupUnused();
    });
    connect(status->retryButton, &QPushButton::clicked, this, [this] {
        ++retryPresses;
        progressBar->setFormat(QStringLiteral("%p%"));
        status->showRunning(midi.positionText());
        if (!midi.retry())
            showStopped(midi.stopMessage());
    });
    connect(status->closeButton, &QPushButton::clicked, this, &QWidget::close);

    previewPanel = new ExportPreviewPanel(&preview, this);
    previewPanel->hide();
    previewPanel->chainTabTo(
        {status->writeButton, status->noBackupButton, status->writeAnywayButton, status->cancelButton});
    // Writing none is no answer: only Cancel is.
    connect(previewPanel, &ExportPreviewPanel::tickedCountChanged, this, [this](int ticked) {
        for (QPushButton *b : {status->writeButton, status->noBackupButton, status->writeAnywayButton})
            b->setEnabled(ticked > 0);
        previewTicksChanged();
    });
    connect(status, &TransferStatusPanel::stateShown, this, &TransferDialog::fitToPanels);
    connect(&midi, &MidiTransfer::transferStopped, this, &TransferDialog::hidePreview);
}

void TransferDialog::answerQuestion(bool withoutBackup)
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
    writingBar = true;
    if (midi.changeCount() < before) {
        whole = false;
        log->addLine(tr("Left as the module holds them: %1 presets.").arg(before - midi.changeCount()));
    }
    hidePreview();
    status->showRunning(midi.positionText());
}

void TransferDialog::hidePreview()
{
    if (previewPanel->isHidden())
        return;
    previewPanel->hide();
    fitToPanels();
}

void TransferDialog::fitToPanels()
{
    // The list of changes, while the question is open, widens the dialog and sits between
    // the status line and the log.
    if (!status || !log)
        return;
    const bool previewShown = previewPanel && !previewPanel->isHidden();
    const int dialogWidth = previewShown ? std::max(formWidth, previewPanel->wantedWidth() + 20) : formWidth;
    const int previewHeight = previewShown ? 330 : 0;
    // The question and its Write and Cancel sit under the list they answer.
    if (previewShown)
        previewPanel->setGeometry(10, 318, dialogWidth - 20, previewHeight - 8);
    const int statusHeight = status->wantedHeight(dialogWidth - 20);
    status->setGeometry(10, 318 + previewHeight, dialogWidth - 20, statusHeight);
    const int logTop = 318 + previewHeight + statusHeight + 4;
    const int logHeight = log->expanded() ? 190 : log->toggleButton->sizeHint().height() + 4;
    log->setGeometry(10, logTop, dialogWidth - 20, logHeight);
    const int height = logTop + logHeight + 8;
    setMinimumSize(dialogWidth, height);
    setMaximumSize(dialogWidth, height);
    resize(dialogWidth, height);
}

void TransferDialog::askBeforeWriting(int changes)
{
    Q_UNUSED(changes);
    // Every change, to look over and untick, beside the question. Asked again after a
    // Retry, the presets the user unticked stay unticked.
    BankStore fromImages;
    if (!previewRecords)
        fromImages.fromDump(midi.banks().data());
    rebuildingPreview = true;
    preview.build(previewRecords ? *previewRecords : fromImages, midi.moduleBanks().data(),
                  midi.banks().data(), midi.plan().changes());
    preview.setTicked(leftOut, false);
    rebuildingPreview = false;
    previewPanel->show();
    previewPanel->showPreview();
    questionWithBackup = midi.plan().backupSaved();
    status->showQuestion(questionText(), questionWithBackup);
    fitToPanels();
}

QString TransferDialog::questionText() const
{
    // What will change is what is ticked, so the count follows the list.
    const int changes = preview.tickedCount();
    const int chosen = runChoice.positions().count();
    QString question;
    if (runChoice.kind() == ExportChoice::Kind::Presets)
        question =
            chosen == 1
                ? tr("The chosen preset will change on the module.")
                : tr("%1 of the %2 chosen presets will change on the module.").arg(changes).arg(chosen);
    else
        question =
            changes == 1
                ? tr("1 preset in %1 will change on the module.").arg(runChoice.description())
                : tr("%1 presets in %2 will change on the module.").arg(changes).arg(runChoice.description());
    const TransferPlan &plan = midi.plan();
    if (plan.backupSaved())
        return question + QLatin1Char(' ') +
               tr("What it holds now is saved in %1.").arg(QFileInfo(plan.backupFile()).fileName());
    return tr("No backup could be saved: %1").arg(plan.backupError()) + QLatin1Char('\n') + question;
}

void TransferDialog::previewTicksChanged()
{
    if (rebuildingPreview)
        return;
    const SelectionMask ticked = preview.ticked();
    for (const ExportPreview::Row &row : preview.rows())
        leftOut.set(row.bank, row.preset, !ticked.isSelected(row.bank, row.preset));
    // Only the count changes; the buttons of the question (or of its second step) stay.
    if (midi.phase() == MidiTransfer::Phase::Confirming && status->cancelButton->isVisible() &&
        !status->writeAnywayButton->isVisible())
        status->label->setText(questionText());
}

void TransferDialog::noteBackupUnused()
{
    const TransferPlan &plan = midi.plan();
    if (backupNotedUnused || !plan.backupSaved() || plan.writtenCount() > 0)
        return;
    backupNotedUnused = true;
    QString error;
    if (!BackupCatalog::markUnused(plan.backupFile(), error))
        log->addLine(error);
}

void TransferDialog::showStopped(const QString &message)
{
    // Disconnect works after a stop too: the way out of a port that went away for good.
    ConnectButton->setEnabled(true);
    status->showStopped(TransferTexts::afterRetry(retryPresses, midi.stopReason(), message), midi.canRetry());
    if (midi.stopReason() == MidiTransfer::StopReason::Cancelled) {
        progressBar->hide();
        return;
    }
    // The bar stays where the transfer stopped and says so, never a full bar beside a stop.
    const int bank = midi.plan().stopBank();
    const int preset = midi.plan().stopPreset();
    if (writingBar)
        progressBar->setValue(std::min(progressBar->value(), midi.writtenCount()));
    else if (progressBar->maximum() == PresetCount)
        progressBar->setValue(std::min(progressBar->value(), bank * PresetsPerBank + preset));
    progressBar->setFormat(tr("Stopped at %1").arg(TransferTexts::where(bank, preset)));
}

QStringList TransferDialog::writtenNameChanges() const
{
    // Only the presets this export wrote, as they now stand on the module.
    if (previewRecords)
        return TransferBackup::nameChanges(*previewRecords, midi.banks(), midi.plan().changes());
    return nameChanges;
}

QString TransferDialog::exportSummary() const
{
    const TransferPlan &plan = midi.plan();
    if (plan.presetsWritten() == 0)
        return tr("The module already held these presets; nothing was written.");
    QString text = (restoreTitle.isEmpty() ? tr("Export done. Presets written: %1; writes repeated: %2.")
                                           : tr("Restore done. Presets written: %1; writes repeated: %2."))
                       .arg(plan.presetsWritten())
                       .arg(midi.retryCount());
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
