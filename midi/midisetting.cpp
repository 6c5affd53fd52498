#include "midi/midisetting.h"

#include "midi/compositemidibackend.h"
#include "midi/midievent.h"
#include "midi/portnames.h"
#include "midi/rtmidibackend.h"
#include "midi/simulatordevice.h"

#include <QCloseEvent>
#include <QIcon>
#include <QMessageBox>
#include <QProcessEnvironment>
#include <QTimer>

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
    // Replies come to the dialog, which hands each one to the transfer rules.
    midi.setReceiver(this);
    TryConText->hide();
    NoPortsText->hide();
    progressBar->hide();
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
    std::shared_ptr<VirtualMidiDevice> simulator;
    if (simulatorRequested(arguments, environment))
        simulator = std::make_shared<SimulatorDevice>();
    return CompositeMidiBackend::create(RtMidiBackend::apiFromEnvironment(), std::move(simulator));
}

void MidiSetting::setMode(bool exportAll)
{
    midi.setExportMode(exportAll);
    TransferButton->setText(exportAll ? tr("Export") : tr("Import"));
    const QString picture = exportAll ? tr(":/Charts/export_screen.png") : tr(":/Charts/import_screen.png");
    IconLabel->setPixmap(QIcon(picture).pixmap(ScreenPictureSize));
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
    // Only refused when not connected, which the disabled button normally rules out;
    // the user must not be left with every button disabled then.
    if (!midi.startTransfer())
        updateConnectionUi();
}

void MidiSetting::finishTransfer()
{
    if (midi.exportMode() && midi.retryCount() > 0)
        QMessageBox::warning(this, WindowTitle, tr("transfer successful, %1 retries").arg(midi.retryCount()));
    progressBar->hide();
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
