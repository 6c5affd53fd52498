#include "device/miditransfer.h"

#include "midi/midievent.h"

namespace {
constexpr int RecentUnits = 24;
constexpr int FirstExportBank = 1; // the factory bank is never written
} // namespace

MidiTransfer::MidiTransfer(std::shared_ptr<MidiBackend> backend, QObject *parent)
    : QObject(parent), sysex(std::move(backend))
{
    sysex.port().setReceiver(this);
    quietTimer.setSingleShot(true);
    settleTimer.setSingleShot(true);
    connect(&quietTimer, &QTimer::timeout, this, &MidiTransfer::onQuietTimeout);
    connect(&settleTimer, &QTimer::timeout, this, &MidiTransfer::onSettled);
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

QString MidiTransfer::where(int bank, int preset) const
{
    return tr("bank %1, preset %2").arg(bank + 1).arg(preset + 1);
}

QString MidiTransfer::requestText(const Request &request) const
{
    switch (request.ask) {
    case Ask::Identify:
        return tr("the identify request");
    case Ask::Read:
        return tr("the request for %1").arg(where(request.bank, request.preset));
    case Ask::Write:
        return tr("the write of %1").arg(where(request.bank, request.preset));
    }
    return QString();
}

bool MidiTransfer::connectPorts(int inputIndex, int outputIndex)
{
    if (state != Disconnected)
        return false;
    if (!sysex.openPorts(inputIndex, outputIndex))
        return false;
    const MidiPort &port = sysex.port();
    emit logLine(tr("Ports opened: in \"%1\", out \"%2\".")
                     .arg(port.inputDeviceName(inputIndex).value_or(QString()),
                          port.outputDeviceName(outputIndex).value_or(QString())));
    enter(Connecting);
    owed = 0;
    settling = false;
    issue(Request{Ask::Identify, 0, 0});
    return true;
}

void MidiTransfer::disconnectPorts()
{
    sysex.closePorts();
    quietTimer.stop();
    settleTimer.stop();
    awaiting = false;
    settling = false;
    owed = 0;
    if (active) {
        active = false;
        currentPhase = Phase::Idle;
    }
    enter(Disconnected);
}

bool MidiTransfer::startTransfer()
{
    if (state != Connected || active)
        return false;
    active = true;
    done = false;
    stopRequested = false;
    reason = StopReason::None;
    stopText.clear();
    retries = 0;
    resent = 0;
    written = 0;
    changes = 0;
    toWrite.clear();
    writeAt = 0;
    unwritten = true;
    currentPreset = 0;
    currentBank = exporting ? FirstExportBank : 0;
    held = TransferBanks();
    unitTimes.clear();
    emit logLine(exporting
                     ? tr("Reading banks %1–%2 from the module.").arg(FirstExportBank + 1).arg(BankCount)
                     : tr("Importing banks 1–%1.").arg(BankCount));
    emit progressChanged(0);
    beginReading();
    return true;
}

void MidiTransfer::beginReading()
{
    currentPhase = Phase::Reading;
    issue(Request{Ask::Read, currentBank, currentPreset});
}

void MidiTransfer::stop()
{
    if (!active || stopRequested)
        return;
    if (currentPhase == Phase::Confirming) {
        cancelWrite();
        return;
    }
    stopRequested = true;
    emit logLine(tr("Stop pressed; the transfer ends at the next reply."));
}

bool MidiTransfer::canRetry() const
{
    return !active && currentPhase == Phase::Stopped && reason != StopReason::Cancelled && state == Connected;
}

bool MidiTransfer::retry()
{
    if (!canRetry())
        return false;
    if (reason == StopReason::OutOfStep) {
        // Replies may still be on their way: a fence first, dropping whatever comes before
        // its answer, then the whole transfer again.
        emit logLine(tr("Starting the transfer again."));
        active = true;
        stopRequested = false;
        resyncing = true;
        currentPhase = Phase::Settling;
        issue(Request{Ask::Identify, std::min(currentBank, BankCount - 1), currentPreset});
        return true;
    }
    const Phase resumeIn = phaseBeforeStop;
    active = true;
    stopRequested = false;
    reason = StopReason::None;
    stopText.clear();
    unitTimes.clear();
    emit logLine(tr("Going on from %1.").arg(where(currentBank, currentPreset)));
    currentPhase = resumeIn;
    switch (resumeIn) {
    case Phase::Writing:
        writesOfThis = 0;
        unwritten = true;
        writeCurrent();
        break;
    case Phase::Checking:
        checkNext();
        break;
    case Phase::Settling:
        settle();
        break;
    default:
        beginReading();
        break;
    }
    return true;
}

void MidiTransfer::confirmWrite()
{
    if (!active || currentPhase != Phase::Confirming)
        return;
    currentPhase = Phase::Writing;
    writeAt = 0;
    unitTimes.clear();
    emit logLine(tr("Writing the presets that differ: %1.").arg(changes));
    writeCurrent();
}

void MidiTransfer::cancelWrite()
{
    if (!active || currentPhase != Phase::Confirming)
        return;
    end(StopReason::Cancelled, tr("Nothing was written to the module."));
}

void MidiTransfer::issue(const Request &request)
{
    if (stopRequested) {
        end(StopReason::ByUser, tr("Stopped at %1.").arg(where(request.bank, request.preset)));
        return;
    }
    current = request;
    if (owed > 0) {
        // Copies of the last request may still be answered: wait for them first.
        settling = true;
        awaiting = false;
        settleTimer.start(quietMs);
        return;
    }
    sends = 0;
    answers = 0;
    malformed = 0;
    transmit();
}

void MidiTransfer::transmit()
{
    ++sends;
    awaiting = true;
    switch (current.ask) {
    case Ask::Identify:
        sysex.requestIdentity();
        break;
    case Ask::Read:
        sysex.requestPreset(current.preset, current.bank);
        break;
    case Ask::Write:
        sysex.imageBuffer() = Sysex::toModule(current.bank, images.at(current.bank, current.preset));
        sysex.writePreset(current.preset, current.bank);
        break;
    }
    quietTimer.start(quietMs);
}

void MidiTransfer::onSettled()
{
    if (!settling)
        return;
    settling = false;
    settleTimer.stop();
    owed = 0;
    issue(current);
}

void MidiTransfer::onQuietTimeout()
{
    if (!awaiting)
        return;
    if (stopRequested && active) {
        awaiting = false;
        owed = sends - answers;
        end(StopReason::ByUser, tr("Stopped at %1.").arg(where(current.bank, current.preset)));
        return;
    }
    if (sends <= resendLimit) {
        ++resent;
        emit logLine(tr("No answer to %1 within %2 s; sending it again (%3 of %4).")
                         .arg(requestText(current))
                         .arg(quietMs / 1000.0, 0, 'f', 1)
                         .arg(sends)
                         .arg(resendLimit));
        transmit();
        return;
    }
    awaiting = false;
    owed = sends - answers;
    if (current.ask == Ask::Identify && !active) {
        const QString message =
            tr("The module did not answer. Check that it is switched on and connected to the chosen ports.");
        emit logLine(message);
        sysex.closePorts();
        enter(Disconnected);
        emit connectFailed(message);
        return;
    }
    end(StopReason::NoAnswer,
        malformed == sends
            ? tr("The module sent only damaged replies at %1.").arg(where(current.bank, current.preset))
            : tr("The module stopped answering at %1.").arg(where(current.bank, current.preset)));
}

Sysex::ReplyKind MidiTransfer::handleMidiEvent(MidiEvent *event)
{
    const Sysex::ReplyKind kind = sysex.handleReceived(event->takeBuffer());
    if (sysex.lastWasForeign())
        emit logLine(tr("A message for another device was ignored."));
    if (kind == Sysex::ReplyKind::Identity) {
        if (state == Connecting)
            enter(Connected);
        emit identityReceived();
    }
    if (kind != Sysex::ReplyKind::None)
        onReply(kind);
    return kind;
}

bool MidiTransfer::event(QEvent *e)
{
    if (e->type() != QEvent::User)
        return QObject::event(e);
    handleMidiEvent(static_cast<MidiEvent *>(e));
    return true;
}

void MidiTransfer::onReply(Sysex::ReplyKind kind)
{
    const Sysex::ReplyKind expected = current.ask == Ask::Identify ? Sysex::ReplyKind::Identity
                                      : current.ask == Ask::Read   ? Sysex::ReplyKind::PresetData
                                                                   : Sysex::ReplyKind::WriteAck;
    if (!awaiting && owed > 0) {
        // An answer owed to an earlier copy of a request that was sent again: never used.
        --owed;
        emit logLine(tr("A late reply was dropped."));
        if (owed == 0 && settling)
            onSettled();
        return;
    }
    if (active && resyncing && kind != Sysex::ReplyKind::Identity) {
        emit logLine(tr("A late reply was dropped."));
        return;
    }
    if (active && kind == Sysex::ReplyKind::PresetData && (!awaiting || expected != kind)) {
        // No request waits for it: the module answered something twice, and every answer
        // since may belong to the request before.
        outOfStep(tr("The module's replies went out of step: it sent preset data nobody asked for."));
        return;
    }
    if (!awaiting) {
        if (active && kind != Sysex::ReplyKind::Identity)
            emit logLine(tr("A reply nobody asked for was ignored."));
        return;
    }
    if (kind != expected) {
        if (kind != Sysex::ReplyKind::Identity)
            emit logLine(tr("An unexpected reply was ignored."));
        return;
    }
    ++answers;
    if (kind == Sysex::ReplyKind::PresetData && sysex.imageLength() != 256) {
        // Damaged: no answer at all, so ask again at once rather than after the quiet time.
        ++malformed;
        emit logLine(tr("Damaged preset data for %1 was dropped.").arg(where(current.bank, current.preset)));
        quietTimer.stop();
        if (stopRequested || sends > resendLimit) {
            quietTimer.start(0);
            return;
        }
        ++resent;
        transmit();
        return;
    }
    quietTimer.stop();
    awaiting = false;
    owed = sends - answers;
    switch (kind) {
    case Sysex::ReplyKind::Identity:
        if (active && resyncing) {
            resyncing = false;
            active = false;
            startTransfer();
            break;
        }
        if (active && currentPhase == Phase::Settling) {
            // Every reply sent before the fence's answer has arrived: none was too many.
            if (checkingHeld)
                decideWrites();
            else
                complete();
            break;
        }
        emit logLine(tr("Connected: serial %1, firmware %2.").arg(sysex.serialText(), sysex.versionText()));
        break;
    case Sysex::ReplyKind::PresetData:
        onPresetData();
        break;
    case Sysex::ReplyKind::WriteAck:
        onWriteAck();
        break;
    case Sysex::ReplyKind::None:
        break;
    }
}

void MidiTransfer::noteUnit()
{
    unitTimes.push_back(clock.elapsed());
    if (int(unitTimes.size()) > RecentUnits)
        unitTimes.pop_front();
}

void MidiTransfer::onPresetData()
{
    if (!active)
        return;
    const PresetImage received = Sysex::fromModule(current.bank, sysex.imageBuffer());
    switch (currentPhase) {
    case Phase::Reading:
        if (exporting)
            held.at(currentBank, currentPreset) = received;
        else
            images.at(currentBank, currentPreset) = received;
        noteUnit();
        readNext();
        return;
    case Phase::Writing:
        if (received == images.at(currentBank, currentPreset)) {
            ++written;
            ++writeAt;
            noteUnit();
            if (writeAt < toWrite.size()) {
                currentBank = toWrite[writeAt] / PresetsPerBank;
                currentPreset = toWrite[writeAt] % PresetsPerBank;
                emit progressChanged(progress());
                writesOfThis = 0;
                unwritten = true;
                writeCurrent();
            } else {
                currentBank = BankCount;
                currentPreset = 0;
                emit progressChanged(progress());
                startCheck(false);
            }
            return;
        }
        if (writesOfThis >= MaxWrites) {
            end(StopReason::WriteRefused, tr("Bank %1, preset %2 did not take the write %3 times.")
                                              .arg(currentBank + 1)
                                              .arg(currentPreset + 1)
                                              .arg(MaxWrites));
            return;
        }
        ++retries;
        emit logLine(tr("Bank %1, preset %2 read back different; writing it again (%3 of %4).")
                         .arg(currentBank + 1)
                         .arg(currentPreset + 1)
                         .arg(writesOfThis + 1)
                         .arg(MaxWrites));
        writeCurrent();
        return;
    case Phase::Checking: {
        const auto [b, p] = checks[checkAt];
        if (received != (checkingHeld ? held : images).at(b, p)) {
            outOfStep(tr("The module's replies went out of step: %1 read differently the second time.")
                          .arg(where(b, p)));
            return;
        }
        ++checkAt;
        checkNext();
        return;
    }
    default:
        return;
    }
}

void MidiTransfer::readNext()
{
    if (++currentPreset == PresetsPerBank) {
        currentPreset = 0;
        ++currentBank;
    }
    emit progressChanged(progress());
    if (currentBank < BankCount) {
        issue(Request{Ask::Read, currentBank, currentPreset});
        return;
    }
    // An export checks what it read before deciding on writes and saving it as the backup.
    startCheck(exporting);
}

void MidiTransfer::decideWrites()
{
    toWrite.clear();
    for (int b = FirstExportBank; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            if (held.at(b, p) != images.at(b, p))
                toWrite.push_back(b * PresetsPerBank + p);
    changes = int(toWrite.size());
    emit logLine(tr("Presets that differ from the module: %1.").arg(changes));
    if (changes == 0) {
        startCheck(false);
        return;
    }
    currentBank = toWrite.front() / PresetsPerBank;
    currentPreset = toWrite.front() % PresetsPerBank;
    currentPhase = Phase::Confirming;
    emit confirmationNeeded(changes);
}

void MidiTransfer::writeCurrent()
{
    ++writesOfThis;
    issue(Request{Ask::Write, currentBank, currentPreset});
}

void MidiTransfer::onWriteAck()
{
    if (!active || currentPhase != Phase::Writing)
        return;
    // Read back what was just written.
    unwritten = false;
    issue(Request{Ask::Read, currentBank, currentPreset});
}

void MidiTransfer::startCheck(bool againstModule)
{
    currentPhase = Phase::Checking;
    checkingHeld = againstModule;
    checks.clear();
    const int first = exporting ? FirstExportBank : 0;
    const std::vector<int> picked = pickChecks(againstModule ? held : images, first, random);
    QStringList alike;
    for (int b = first; b < BankCount; ++b) {
        if (picked[b - first] >= 0)
            checks.emplace_back(b, picked[b - first]);
        else
            alike << QString::number(b + 1);
    }
    checkAt = 0;
    emit logLine(tr("Checking one preset of each bank again."));
    if (!alike.isEmpty())
        emit logLine(
            tr("Banks whose presets are all alike, where replies out of step cannot change anything: %1.")
                .arg(alike.join(QStringLiteral(", "))));
    checkNext();
}

std::vector<int> MidiTransfer::pickChecks(const TransferBanks &content, int firstBank, std::mt19937 &random)
{
    std::vector<int> picked;
    const PresetImage *lastChecked = nullptr;
    for (int b = firstBank; b < BankCount; ++b) {
        std::vector<int> differing; // from the preset read just before
        std::vector<int> better;    // from the check before too
        for (int p = 0; p < PresetsPerBank; ++p) {
            if (b == firstBank && p == 0)
                continue; // nothing was read before it
            const PresetImage &here = content.at(b, p);
            const PresetImage &before = p > 0 ? content.at(b, p - 1) : content.at(b - 1, PresetsPerBank - 1);
            if (here == before)
                continue;
            differing.push_back(p);
            if (!lastChecked || here != *lastChecked)
                better.push_back(p);
        }
        const std::vector<int> &from = better.empty() ? differing : better;
        if (from.empty()) {
            picked.push_back(-1);
            continue;
        }
        const int p = from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
        picked.push_back(p);
        lastChecked = &content.at(b, p);
    }
    return picked;
}

void MidiTransfer::checkNext()
{
    if (checkAt >= checks.size()) {
        settle();
        return;
    }
    issue(Request{Ask::Read, checks[checkAt].first, checks[checkAt].second});
}

void MidiTransfer::settle()
{
    currentPhase = Phase::Settling;
    issue(Request{Ask::Identify, std::min(currentBank, BankCount - 1), currentPreset});
}

void MidiTransfer::outOfStep(const QString &why)
{
    const QString outcome = !exporting     ? tr("Nothing was imported.")
                            : written == 0 ? tr("Nothing was written.")
                                           : tr("Export again to be sure of what the module holds.");
    end(StopReason::OutOfStep, why + QLatin1Char(' ') + outcome);
}

void MidiTransfer::complete()
{
    active = false;
    done = true;
    currentPhase = Phase::Done;
    currentBank = 0;
    currentPreset = 0;
    emit logLine(exporting ? tr("Export done. Presets written: %1.").arg(written) : tr("Import done."));
    emit transferCompleted();
}

void MidiTransfer::end(StopReason why, const QString &message)
{
    quietTimer.stop();
    settleTimer.stop();
    if (awaiting)
        owed = sends - answers;
    awaiting = false;
    settling = false;
    resyncing = false;
    phaseBeforeStop = currentPhase;
    active = false;
    stopRequested = false;
    currentPhase = Phase::Stopped;
    reason = why;
    stopText = message;
    emit logLine(message);
    emit transferStopped(message);
}

int MidiTransfer::secondsLeft() const
{
    if (unitTimes.size() < 2)
        return -1;
    const double perUnit = double(unitTimes.back() - unitTimes.front()) / double(unitTimes.size() - 1);
    int units = 0;
    switch (currentPhase) {
    case Phase::Reading:
        units = PresetCount - progress() + int(BankCount - (exporting ? FirstExportBank : 0));
        break;
    case Phase::Writing:
        units = int(toWrite.size() - writeAt) + BankCount - FirstExportBank;
        break;
    case Phase::Checking:
        units = int(checks.size() - checkAt);
        break;
    default:
        return -1;
    }
    return int(perUnit * units / 1000.0 + 0.5);
}

QString MidiTransfer::positionText() const
{
    const int b = std::min(currentBank, BankCount - 1);
    const int p = currentBank >= BankCount ? PresetsPerBank - 1 : currentPreset;
    QString text = tr("Bank %1 · preset %2 of %3").arg(b + 1).arg(p + 1).arg(PresetsPerBank);
    const int left = secondsLeft();
    if (left >= 0)
        text += tr(" · about %1:%2 left").arg(left / 60).arg(left % 60, 2, 10, QLatin1Char('0'));
    return text;
}
