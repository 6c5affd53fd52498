#include "device/requestlink.h"

RequestLink::RequestLink(SysexProtocol &protocol, QObject *parent) : QObject(parent), sysex(protocol)
{
    quietTimer.setSingleShot(true);
    settleTimer.setSingleShot(true);
    connect(&quietTimer, &QTimer::timeout, this, &RequestLink::onQuietTimeout);
    connect(&settleTimer, &QTimer::timeout, this, &RequestLink::onSettled);
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
    if (owed > 0) {
        // Copies of the last request may still be answered: wait for them first.
        settling = true;
        awaiting = false;
        settleTimer.start(quietMs);
        return;
    }
    sent = 0;
    answers = 0;
    malformed = 0;
    transmit();
}

void RequestLink::abandon()
{
    stopTimers();
    if (awaiting)
        owed = sent - answers;
    awaiting = false;
    settling = false;
}

void RequestLink::reset()
{
    stopTimers();
    awaiting = false;
    settling = false;
    owed = 0;
}

void RequestLink::transmit()
{
    ++sent;
    awaiting = true;
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
    settling = false;
    settleTimer.stop();
    owed = 0;
    send(request, image);
}

void RequestLink::onQuietTimeout()
{
    if (!awaiting)
        return;
    if (resendAllowed && sent <= resendLimit) {
        ++resent;
        emit noted(Note::Resending, request);
        transmit();
        return;
    }
    awaiting = false;
    owed = sent - answers;
    emit unanswered(request, sent > 0 && malformed == sent);
}

void RequestLink::handle(Sysex::ReplyKind kind, bool foreign)
{
    if (foreign)
        emit noted(Note::Foreign, request);
    if (kind == Sysex::ReplyKind::None)
        return;
    const Sysex::ReplyKind expected = request.ask == Ask::Identify ? Sysex::ReplyKind::Identity
                                      : request.ask == Ask::Read   ? Sysex::ReplyKind::PresetData
                                                                   : Sysex::ReplyKind::WriteAck;
    if (!awaiting && owed > 0) {
        // An answer owed to an earlier copy of a request that was sent again: never used.
        --owed;
        emit noted(Note::LateDropped, request);
        if (owed == 0 && settling)
            onSettled();
        return;
    }
    if (guarded && kind == Sysex::ReplyKind::PresetData && (!awaiting || expected != kind)) {
        // No request waits for it: the module answered something twice, and every answer
        // since may belong to the request before.
        stopTimers();
        awaiting = false;
        settling = false;
        emit replyTooMany();
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
    owed = sent - answers;
    emit answered(request, kind);
}
