#include "device/requestlink.h"

RequestLink::RequestLink(SysexProtocol &protocol, QObject *parent) : QObject(parent), sysex(protocol)
{
    quietTimer.setSingleShot(true);
    settleTimer.setSingleShot(true);
    connect(&quietTimer, &QTimer::timeout, this, &RequestLink::onQuietTimeout);
    connect(&settleTimer, &QTimer::timeout, this, &RequestLink::onSettled);
    clock.start();
}

void RequestLink::holdAfterLastSend()
{
    holdUntil = std::max(holdUntil, lastSend + qint64(LateFactor + 1) * quietMs);
    owed = std::max(0, sent - answers);
    owedKind = expectedKind();
}

Sysex::ReplyKind RequestLink::expectedKind() const
{
    return request.ask == Ask::Identify ? Sysex::ReplyKind::Identity
           : request.ask == Ask::Read   ? Sysex::ReplyKind::PresetData
                                        : Sysex::ReplyKind::WriteAck;
}

void RequestLink::tooMany()
{
    // More strays may be on their way: whatever asks next waits until they are in.
    holdAfterLastSend();
    stopTimers();
    awaiting = false;
    settling = false;
    emit replyTooMany();
}

bool RequestLink::holding() const
{
    return holdUntil >= 0 && clock.elapsed() < holdUntil;
}

void RequestLink::stopTimers()
{
    quietTimer.stop();
    settleTimer.stop();
}

void RequestLink::send(const Request &next, const PresetImage &content)
{
    request = next;
    image = content;
    resendAllowed = true;
    sent = 0;
    answers = 0;
    malformed = 0;
    stopTimers();
    if (holding()) {
        // Copies of an earlier request may still be answered: wait for them first.
        settling = true;
        awaiting = false;
        settleTimer.start(int(holdUntil - clock.elapsed()));
        emit noted(Note::Holding, request);
        return;
    }
    settling = false;
    transmit();
}

int RequestLink::msUntilNextStep() const
{
    if (settling)
        return int(std::max<qint64>(0, holdUntil - clock.elapsed()));
    if (awaiting)
        return int(std::max<qint64>(0, lastSend + quietMs - clock.elapsed()));
    return -1;
}

void RequestLink::abandon()
{
    stopTimers();
    if (awaiting || sent > 1)
        holdAfterLastSend();
    awaiting = false;
    settling = false;
}

void RequestLink::reset()
{
    stopTimers();
    awaiting = false;
    settling = false;
    holdUntil = -1;
    owed = 0;
}

void RequestLink::transmit()
{
    ++sent;
    awaiting = true;
    lastSend = clock.elapsed();
    switch (request.ask) {
    case Ask::Identify:
        sysex.requestIdentity();
        break;
    case Ask::Read:
        sysex.requestPreset(request.preset, request.bank);
        break;
    case Ask::Write:
        sysex.imageBuffer() = image;
        sysex.writePreset(request.preset, request.bank);
        break;
    }
    quietTimer.start(quietMs);
}

void RequestLink::onSettled()
{
    if (!settling)
        return;
    if (holding()) {
        settleTimer.start(int(std::max<qint64>(1, holdUntil - clock.elapsed())));
        return;
    }
    settling = false;
    settleTimer.stop();
    transmit();
}

void RequestLink::onQuietTimeout()
{
    if (!awaiting)
        return;
    if (resendAllowed && sent <= resendLimit) {
        ++resent;
        transmit();
        emit noted(Note::Resending, request);
        return;
    }
    awaiting = false;
    holdAfterLastSend();
    emit unanswered(request, sent > 0 && malformed == sent);
}

void RequestLink::handle(Sysex::ReplyKind kind, bool foreign)
{
    if (foreign)
        emit noted(Note::Foreign, request);
    if (kind == Sysex::ReplyKind::None)
        return;
    const Sysex::ReplyKind expected = expectedKind();
    if (settling || (!awaiting && holding())) {
        // A reply to an earlier copy of a request that was sent again: never used. More
        // of them than copies went out means one reply stood in for another.
        if (kind == owedKind && owed > 0) {
            --owed;
        } else if (guarded && kind == Sysex::ReplyKind::PresetData) {
            tooMany();
            return;
        }
        emit noted(Note::LateDropped, request);
        return;
    }
    if (guarded && kind == Sysex::ReplyKind::PresetData && (!awaiting || expected != kind)) {
        // No request waits for it: the module answered something twice, and every answer
        // since may belong to the request before.
        tooMany();
        return;
    }
    if (!awaiting) {
        if (guarded && kind != Sysex::ReplyKind::Identity)
            emit noted(Note::Unasked, request);
        return;
    }
    if (kind != expected) {
        if (kind != Sysex::ReplyKind::Identity)
            emit noted(Note::Unexpected, request);
        return;
    }
    ++answers;
    if (kind == Sysex::ReplyKind::PresetData && sysex.imageLength() != int(sizeof(PresetImage))) {
        // Damaged: no answer at all, so ask again at once rather than after the quiet time.
        ++malformed;
        emit noted(Note::Damaged, request);
        quietTimer.stop();
        if (!resendAllowed || sent > resendLimit) {
            quietTimer.start(0);
            return;
        }
        ++resent;
        transmit();
        return;
    }
    quietTimer.stop();
    awaiting = false;
    if (sent > 1)
        holdAfterLastSend();
    emit answered(request, kind);
}
