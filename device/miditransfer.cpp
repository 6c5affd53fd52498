#include "device/miditransfer.h"

#include "device/transfertexts.h"
#include "midi/midievent.h"

#include <QTime>

namespace {
constexpr int RecentAnswers = 24;
} // namespace

MidiTransfer::MidiTransfer(std::shared_ptr<MidiBackend> backend, QObject *parent)
    : QObject(parent), sysex(std::move(backend)), requests(sysex), rules(requests)
{
    sysex.port().setReceiver(this);
    connect(&requests, &RequestLink::answered, this, &MidiTransfer::onAnswered);
    connect(&requests, &RequestLink::unanswered, this, &MidiTransfer::onUnanswered);
    connect(&requests, &RequestLink::replyTooMany, &rules, &TransferPlan::onReplyTooMany);
    connect(&requests, &RequestLink::noted, this, [this](RequestLink::Note note) {
        emit logLine(TransferTexts::linkNote(note, requests));
        if ((note == RequestLink::Note::Resending || note == RequestLink::Note::Holding) && rules.running()) {
            emit waitingChanged();
            waitTicker.start();
        }
    });
    connect(&rules, &TransferPlan::noted, this, [this](const TransferPlan::Event &e) {
        emit logLine(TransferTexts::planNote(rules, e, purpose));
    });
    connect(&rules, &TransferPlan::progressChanged, this, &MidiTransfer::progressChanged);
    connect(&rules, &TransferPlan::confirmationNeeded, this, &MidiTransfer::confirmationNeeded);
    connect(&rules, &TransferPlan::completed, this, &MidiTransfer::transferCompleted);
    connect(&rules, &TransferPlan::stopped, this, [this] {
        stopText = TransferTexts::stopMessage(rules);
        emit logLine(stopText);
        emit transferStopped(stopText);
    });
    portWatch.setInterval(1000);
    connect(&portWatch, &QTimer::timeout, this, &MidiTransfer::checkPorts);
    reopenTimer.setInterval(500);
    reopenTimer.setSingleShot(true);
    connect(&reopenTimer, &QTimer::timeout, this, &MidiTransfer::tryReopen);
    // While a wait runs, the status counts its seconds down.
    waitTicker.setInterval(500);
    connect(&waitTicker, &QTimer::timeout, this, [this] {
        if (rules.running() && (requests.holdingBack() || (requests.waiting() && requests.sends() > 1)))
            emit waitingChanged();
        else
            waitTicker.stop();
    });
    clock.start();
}

MidiTransfer::~MidiTransfer()
{
    // Closed before the QObject part goes, so no event is posted to a dying receiver.
    sysex.closePorts();
}

void MidiTransfer::setReceiver(QObject *receiver)
{
    sysex.port().setReceiver(receiver ? receiver : this);
}

void MidiTransfer::enter(ConnectionState next)
{
    if (state == next)
        return;
    state = next;
    emit connectionStateChanged(int(state));
}

bool MidiTransfer::connectPorts(int inputIndex, int outputIndex, QString inName, QString outName)
{
    if (state != Disconnected)
        return false;
    openFailure.clear();
    const MidiPort &port = sysex.port();
    if (inName.isEmpty())
        inName = port.inputDeviceName(inputIndex).value_or(QString());
    if (outName.isEmpty())
        outName = port.outputDeviceName(outputIndex).value_or(QString());
    if (!sysex.openPorts(inputIndex, outputIndex)) {
        // Nothing stays open; say which port failed, by the name the user picked.
        QStringList failed;
        if (port.inputFailed())
            failed << tr("the MIDI input \"%1\"").arg(inName);
        if (port.outputFailed())
            failed << tr("the MIDI output \"%1\"").arg(outName);
        openFailure = (port.inputFailed() && inName.isEmpty()) || (port.outputFailed() && outName.isEmpty())
                          ? tr("Choose a MIDI input and a MIDI output.")
                          : tr("Cannot open %1.").arg(failed.join(tr(" and ")));
        emit logLine(openFailure);
        return false;
    }
    emit logLine(tr("Ports opened: in \"%1\", out \"%2\".").arg(inName, outName));
    inPort = inName;
    outPort = outName;
    gone = false;
    backNoted = false;
    portWatch.start();
    enter(Connecting);
    requests.reset();
    requests.setGuarded(false);
    requests.send(RequestLink::Request{RequestLink::Ask::Identify, 0, 0});
    return true;
}

void MidiTransfer::disconnectPorts()
{
    portWatch.stop();
    reopenTimer.stop();
    reopening = false;
    gone = false;
    sysex.closePorts();
    requests.reset();
    enter(Disconnected);
    // A running transfer ends with its stop message, saying what it left behind (no Retry:
    // the ports are closed).
    rules.endByDisconnect();
}

bool MidiTransfer::startTransfer()
{
    if (state != Connected || rules.running())
        return false;
    requests.resetResendCount();
    answerTimes.clear();
    stopText.clear();
    if (!rules.start())
        return false;
    // A port went away since the connect: no request can reach the module, so the transfer
    // stops as it would had the port gone while it ran, and Retry waits for the ports.
    checkPorts();
    if (gone)
        rules.portLost();
    return true;
}

bool MidiTransfer::listed(bool input, const QString &name, int *index)
{
    const MidiPort &port = sysex.port();
    for (int i = 0; i < 100; ++i) {
        const std::optional<QString> here = input ? port.inputDeviceName(i) : port.outputDeviceName(i);
        if (!here)
            break;
        if (*here == name) {
            if (index)
                *index = i;
            return true;
        }
    }
    return false;
}

void MidiTransfer::checkPorts()
{
    if (state == Disconnected || reopening)
        return;
    // The lists as they are now, not as they were read at the connect.
    sysex.port().backend().rescan();
    const bool inThere = listed(true, inPort);
    const bool outThere = listed(false, outPort);
    if (!gone && (!inThere || !outThere)) {
        gone = true;
        backNoted = false;
        const QString when = QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
        if (!inThere)
            emit logLine(tr("The MIDI input \"%1\" went away at %2.").arg(inPort, when));
        if (!outThere)
            emit logLine(tr("The MIDI output \"%1\" went away at %2.").arg(outPort, when));
        rules.portLost();
    } else if (gone && inThere && outThere && !backNoted) {
        backNoted = true;
        emit logLine(
            tr("The MIDI ports \"%1\" and \"%2\" are back; Retry opens them again.").arg(inPort, outPort));
    }
}

bool MidiTransfer::retry()
{
    if (!canRetry())
        return false;
    answerTimes.clear();
    stopText.clear();
    checkPorts();
    if (gone) {
        reopening = true;
        emit logLine(tr("Opening the ports \"%1\" and \"%2\" again.").arg(inPort, outPort));
        tryReopen();
        return true;
    }
    return rules.retry();
}

void MidiTransfer::tryReopen()
{
    if (!reopening)
        return;
    int in = -1;
    int out = -1;
    sysex.port().backend().rescan();
    if (listed(true, inPort, &in) && listed(false, outPort, &out)) {
        sysex.closePorts();
        requests.reset();
        if (sysex.openPorts(in, out)) {
            reopening = false;
            gone = false;
            emit logLine(tr("Ports opened again: in \"%1\", out \"%2\".").arg(inPort, outPort));
            rules.retry();
            return;
        }
    }
    emit waitingChanged();
    reopenTimer.start();
}

void MidiTransfer::stop()
{
    if (reopening) {
        reopening = false;
        reopenTimer.stop();
        stopText = TransferTexts::stopMessage(rules);
        emit logLine(tr("Stopped waiting for the ports."));
        emit transferStopped(stopText);
        return;
    }
    rules.stop();
}

Sysex::ReplyKind MidiTransfer::handleMidiEvent(MidiEvent *event)
{
    const Sysex::ReplyKind kind = sysex.handleReceived(event->takeBuffer());
    if (kind == Sysex::ReplyKind::Identity) {
        if (state == Connecting)
            enter(Connected);
        emit identityReceived();
    }
    requests.handle(kind, sysex.lastWasForeign());
    return kind;
}

bool MidiTransfer::event(QEvent *e)
{
    if (e->type() != QEvent::User)
        return QObject::event(e);
    handleMidiEvent(static_cast<MidiEvent *>(e));
    return true;
}

void MidiTransfer::onAnswered(const RequestLink::Request &request, Sysex::ReplyKind kind)
{
    if (!rules.running()) {
        if (kind == Sysex::ReplyKind::Identity)
            emit logLine(
                tr("Connected: serial %1, firmware %2.").arg(sysex.serialText(), sysex.versionText()));
        return;
    }
    answerTimes.push_back(clock.elapsed());
    if (int(answerTimes.size()) > RecentAnswers)
        answerTimes.pop_front();
    rules.onAnswered(request, kind, kind == Sysex::ReplyKind::PresetData ? &sysex.imageBuffer() : nullptr);
}

void MidiTransfer::onUnanswered(const RequestLink::Request &request, bool onlyDamaged)
{
    if (rules.running()) {
        rules.onUnanswered(request, onlyDamaged);
        return;
    }
    if (request.ask != RequestLink::Ask::Identify || state != Connecting)
        return;
    const QString message =
        tr("The module did not answer. Check that it is switched on and connected to the chosen ports.");
    emit logLine(message);
    sysex.closePorts();
    requests.reset();
    enter(Disconnected);
    emit connectFailed(message);
}

int MidiTransfer::secondsLeft() const
{
    if (answerTimes.size() < 2)
        return -1;
    const double perAnswer =
        double(answerTimes.back() - answerTimes.front()) / double(answerTimes.size() - 1);
    return int(perAnswer * rules.requestsLeft() / 1000.0 + 0.5);
}

QString MidiTransfer::positionText() const
{
    if (reopening)
        return tr("Waiting for the MIDI ports \"%1\" and \"%2\" to come back").arg(inPort, outPort);
    return TransferTexts::statusText(rules, requests, secondsLeft());
}
