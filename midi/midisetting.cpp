#include "midi/midisetting.h"

#include "device/simulatordevice.h"
#include "device/transferbackup.h"
#include "midi/compositemidibackend.h"
#include "midi/midievent.h"
#include "midi/portnames.h"
#include "midi/rtmidibackend.h"
#include "midi/transferlogpanel.h"
#include "midi/transferstatuspanel.h"

#include <QCloseEvent>
#include <QDir>
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
    // A fixed form: no maximise or minimise button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    connect(ConnectButton, &QPushButton::clicked, this, &MidiSetting::Connect);
    connect(TransferButton, &QPushButton::clicked, this, &MidiSetting::Transfer);
    connect(RescanButton, &QPushButton::clicked, this, &MidiSetting::rescanPorts);
    connect(&midi, &MidiTransfer::progressChanged, progressBar, &QProgressBar::setValue);
    connect(&midi, &MidiTransfer::transferCompleted, this, &MidiSetting::finishTransfer);
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
MidiSetting::~MidiSetting() = default;

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
        midi.connectPorts(inRow, outRow);
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
    // Only refused when not connected, which the disabled button normally rules out;
    // the user must not be left with every button disabled then.
    if (!midi.startTransfer())
        updateConnectionUi();
}

void MidiSetting::finishTransfer()
{
    progressBar->hide();
    if (midi.exportMode()) {
        // The summary stays until the user closes the dialog.
        if (midi.changeCount() > 0)
            for (const QString &line : nameChanges)
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
    connect(&midi, &MidiTransfer::progressChanged, this, [this] {
        if (midi.running())
            status->showRunning(midi.positionText());
    });
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
    connect(status->writeButton, &QPushButton::clicked, this, [this] {
        status->showRunning(midi.positionText());
        midi.confirmWrite();
    });
    connect(status->cancelButton, &QPushButton::clicked, &midi, &MidiTransfer::cancelWrite);
    connect(status->retryButton, &QPushButton::clicked, this, [this] {
        status->showRunning(midi.positionText());
        if (!midi.retry())
            showStopped(midi.stopMessage());
    });
    connect(status->closeButton, &QPushButton::clicked, this, &QWidget::close);
}

void MidiSetting::fitToPanels()
{
    constexpr int LogTop = 318 + 92;
    const int logHeight = log->expanded() ? 190 : log->toggleButton->sizeHint().height() + 4;
    log->setGeometry(10, LogTop, width() - 20, logHeight);
    const int height = LogTop + logHeight + 8;
    setMinimumSize(width(), height);
    setMaximumSize(width(), height);
    resize(width(), height);
}

void MidiSetting::askBeforeWriting(int changes)
{
    const QString fileName = backupFile.isEmpty() ? TransferBackup::defaultPath() : backupFile;
    QString error;
    QString text;
    if (TransferBackup::save(midi.moduleBanks(), fileName, error)) {
        backupSaved = fileName;
        log->addLine(tr("What the module held is saved in %1.").arg(QDir::toNativeSeparators(fileName)));
    } else {
        backupSaved.clear();
        text = tr("No backup could be saved: %1").arg(error) + QLatin1Char('\n');
        log->addLine(text.trimmed());
    }
    text += changes == 1 ? tr("1 preset in banks 2–16 will change on the module.")
                         : tr("%1 presets in banks 2–16 will change on the module.").arg(changes);
    status->showQuestion(text);
}

void MidiSetting::showStopped(const QString &message)
{
    QString text = message;
    if (midi.exportMode() && midi.stopReason() != MidiTransfer::StopReason::Cancelled)
        text += QLatin1Char(' ') + (midi.writtenCount() == 1
                                        ? tr("1 preset was written.")
                                        : tr("%1 presets were written.").arg(midi.writtenCount()));
    status->showStopped(text, midi.canRetry());
}

QString MidiSetting::exportSummary() const
{
    if (midi.changeCount() == 0)
        return tr("The module already held these presets; nothing was written.");
    QString text = tr("Export done. Presets written: %1; writes repeated: %2.")
                       .arg(midi.writtenCount())
                       .arg(midi.retryCount());
    if (!backupSaved.isEmpty())
        text += QLatin1Char(' ') + tr("Backup: %1").arg(QFileInfo(backupSaved).fileName());
    if (!nameChanges.isEmpty()) {
        constexpr int Shown = 2;
        text += QLatin1Char('\n') + tr("The module shortens or changes these names: %1")
                                        .arg(nameChanges.mid(0, Shown).join(QStringLiteral("; ")));
        if (nameChanges.size() > Shown)
            text += QLatin1Char(' ') + tr("(%1 more in the log)").arg(nameChanges.size() - Shown);
    }
    return text;
}
