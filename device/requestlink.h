#pragma once

#include "device/sysexprotocol.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// One request at a time to the module, and which reply belongs to it.
//
// Replies name no request: a PresetData or WriteAck answers the request sent last. So a
// request waits a quiet time for its answer and is sent again up to resends() times. A
// reply may come up to LateFactor quiet times late; once a request needed more than one
// copy (or was left unanswered), the next request is held back until every copy's reply
// could have arrived (settling), and what arrives meanwhile is dropped as late. Counting
// the answers still owed is not enough to end the hold early (a doubled late reply would
// pay the debt twice), but a reply beyond that debt is one too many.
// Damaged preset data counts as no answer and is asked for again at once.
//
// A module that answers twice shifts every later answer by one, which equal presets hide;
// but it always leaves one reply too many. While guarded (a transfer runs), preset data
// that no request waits for is reported as replyTooMany, never taken.
class RequestLink : public QObject
{
    Q_OBJECT

public:
    enum class Ask { Identify, Read, Write };
    struct Request
    {
        Ask ask = Ask::Identify;
        int bank = 0;
        int preset = 0;
    };
    // What happened on the way, for a log.
    enum class Note { Resending, LateDropped, Damaged, Foreign, Unexpected, Unasked, Holding };

    static constexpr int DefaultQuietMs = 1000; // a 344-byte reply takes 110 ms at DIN speed
    static constexpr int DefaultResends = 3;
    // How late a reply may come, in quiet times; the hold after a resend adds one more as
    // margin for a busy machine.
    static constexpr int LateFactor = 3;

    explicit RequestLink(SysexProtocol &protocol, QObject *parent = nullptr);

    void setQuietTime(int ms) { quietMs = std::max(1, ms); }
    int quietTime() const { return quietMs; }
    void setResends(int count) { resendLimit = std::max(0, count); }
    int resends() const { return resendLimit; }
    void setGuarded(bool on) { guarded = on; }

    // Sends `request` (a write carries `image`), after settling when earlier copies may
    // still be answered.
    void send(const Request &request, const PresetImage &image = PresetImage{});
    // No more copies of the waiting request: the next quiet time ends it as unanswered.
    void stopResending() { resendAllowed = false; }
    // Forgets the waiting request; its replies that may still come are dropped as late.
    void abandon();
    // The ports closed: nothing is owed any more.
    void reset();

    bool waiting() const { return awaiting || settling; }
    // Held back until late replies to an earlier request are in.
    bool holdingBack() const { return settling; }
    // Milliseconds until the link acts by itself: sends the held request, sends the waiting
    // one again, or gives it up; -1 when it waits for nothing.
    int msUntilNextStep() const;
    const Request &current() const { return request; }
    // Copies of the current request sent so far (1 for the first).
    int sends() const { return sent; }
    // Requests sent again since the count was reset.
    int resendCount() const { return resent; }
    void resetResendCount() { resent = 0; }

    // Called with what the protocol made of one received buffer.
    void handle(Sysex::ReplyKind kind, bool foreign);

signals:
    // The reply to `request`; the protocol holds its content.
    void answered(const RequestLink::Request &request, Sysex::ReplyKind kind);
    // Every copy went unanswered (onlyDamaged: what came back was all damaged), or
    // stopResending cut it short.
    void unanswered(const RequestLink::Request &request, bool onlyDamaged);
    void replyTooMany();
    void noted(RequestLink::Note note, const RequestLink::Request &request);

private:
    void transmit();
    void onQuietTimeout();
    void onSettled();
    void stopTimers();
    void holdAfterLastSend();
    Sysex::ReplyKind expectedKind() const;
    void tooMany();
    bool holding() const;

    SysexProtocol &sysex;
    Request request;
    PresetImage image{};
    bool guarded = false;
    bool awaiting = false;
    bool resendAllowed = true;
    int sent = 0;
    int answers = 0;
    int malformed = 0;
    int resent = 0;
    // No request goes out before this time (clock ms): replies to earlier copies may come.
    qint64 holdUntil = -1;
    // Replies of this kind the held request may still get; one more is a reply too many.
    int owed = 0;
    Sysex::ReplyKind owedKind = Sysex::ReplyKind::None;
    qint64 lastSend = 0;
    QElapsedTimer clock;
    bool settling = false;
    int quietMs = DefaultQuietMs;
    int resendLimit = DefaultResends;
    QTimer quietTimer;
    QTimer settleTimer;
};
