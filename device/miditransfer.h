#pragma once

#include "device/sysexprotocol.h"
#include "device/transferbanks.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <algorithm>
#include <deque>
#include <memory>
#include <random>
#include <vector>

class MidiEvent;

// The rules of connecting to the module and of one import or export, without widgets:
// a dialog or a command-line driver calls connectPorts and startTransfer and shows what
// the signals say. Replies arrive as MidiEvents, either to this object or to a receiver
// that hands each one to handleMidiEvent.
//
// Every request waits a quiet time for its answer and is sent again up to resends()
// times; then the transfer stops with a message instead of waiting for ever. Replies
// name no request, so after a request went out more than once the next one waits until
// every copy has been answered or a further quiet time has passed, dropping what arrives
// meanwhile, so a late answer is not taken for the next request.
//
// A module that answers twice shifts every later answer by one, which equal presets hide.
// But a shift always leaves one reply too many: preset data that arrives while no request
// waits for it stops the transfer. Before an export decides what to write and before any
// transfer reports its end, an identify request is sent as a fence: its answer comes after
// every reply still in flight, so a reply too many shows up before it. On top of that one
// preset per bank is read again, chosen so that a shifted answer would differ.
class MidiTransfer : public QObject
{
    Q_OBJECT

public:
    enum ConnectionState { Disconnected = 0, Connecting = 1, Connected = 2 };
    enum class Phase { Idle, Reading, Confirming, Writing, Checking, Settling, Stopped, Done };
    enum class StopReason { None, NoAnswer, WriteRefused, OutOfStep, ByUser, Cancelled };

    static constexpr int DefaultQuietMs = 1000; // a 344-byte reply takes 110 ms at DIN speed
    static constexpr int DefaultResends = 3;
    static constexpr int MaxWrites = 5;

    explicit MidiTransfer(std::shared_ptr<MidiBackend> backend, QObject *parent = nullptr);
    ~MidiTransfer() override;

    SysexProtocol &protocol() { return sysex; }
    // Where the port posts MidiEvents; this object unless another is set.
    void setReceiver(QObject *receiver);

    void setQuietTime(int ms) { quietMs = std::max(1, ms); }
    int quietTime() const { return quietMs; }
    void setResends(int count) { resendLimit = std::max(0, count); }
    int resends() const { return resendLimit; }
    // The presets the out-of-step check re-reads are drawn from this seed.
    void setCheckSeed(unsigned seed) { random.seed(seed); }
    // For each bank from firstBank on, a preset to read again: one whose content differs
    // from the preset read just before it (and, where possible, from the check before),
    // so that an answer shifted by one would not compare equal; -1 where the bank and its
    // neighbour are all alike, so a shift there cannot change anything.
    static std::vector<int> pickChecks(const TransferBanks &content, int firstBank, std::mt19937 &random);

    ConnectionState connectionState() const { return state; }
    // From Disconnected: opens both ports and, only if both opened, sends an identify
    // request and enters Connecting. Returns whether it did. Unanswered, it ends in
    // Disconnected with connectFailed.
    bool connectPorts(int inputIndex, int outputIndex);
    // Closes the ports, abandons a running transfer, enters Disconnected.
    void disconnectPorts();

    void setExportMode(bool exportAll) { exporting = exportAll; }
    bool exportMode() const { return exporting; }
    TransferBanks &banks() { return images; }
    const TransferBanks &banks() const { return images; }
    // An export's first pass: what banks 2..16 of the module held before anything was written.
    const TransferBanks &moduleBanks() const { return held; }

    // In Connected with no transfer running: an import of banks 0..15, or an export that
    // reads banks 1..15, asks through confirmationNeeded, then writes what differs.
    bool startTransfer();
    // Ends the transfer at the next reply (or quiet time), as a stop.
    void stop();
    // After a stop: goes on from the preset it stopped at; after replies out of step, starts
    // the whole transfer again. Returns whether it did.
    bool retry();
    bool canRetry() const;
    // Answers confirmationNeeded.
    void confirmWrite();
    void cancelWrite();

    bool running() const { return active; }
    bool transferDone() const { return done; }
    Phase phase() const { return currentPhase; }
    StopReason stopReason() const { return reason; }
    QString stopMessage() const { return stopText; }
    int bank() const { return currentBank; }
    int preset() const { return currentPreset; }
    int retryCount() const { return retries; }
    bool firstRead() const { return unwritten; }
    int progress() const { return currentBank * PresetsPerBank + currentPreset; }
    // Export: presets that differ from the module (after the reading pass), and how many
    // of them are written and read back equal so far.
    int changeCount() const { return changes; }
    int writtenCount() const { return written; }
    int resendCount() const { return resent; }
    // Estimated from the pace of the recent replies; -1 while unknown.
    int secondsLeft() const;
    // "Bank 4 · preset 17 of 128 · about 1:40 left" for the preset being transferred.
    QString positionText() const;

    // Handles the buffer a MidiEvent carries; returns what it was.
    Sysex::ReplyKind handleMidiEvent(MidiEvent *event);
    bool event(QEvent *e) override;

signals:
    void connectionStateChanged(int state);
    // An identity reply arrived (in any state): serialText and versionText are new.
    void identityReceived();
    // The identify request went unanswered through every resend; now Disconnected.
    void connectFailed(const QString &message);
    void progressChanged(int value);
    // Export: the module was read; `changes` presets would be written. Answer with
    // confirmWrite or cancelWrite.
    void confirmationNeeded(int changes);
    // Every preset is through and checked; transferDone is set.
    void transferCompleted();
    // The transfer ended short of its end; stopMessage says where and why.
    void transferStopped(const QString &message);
    // One line per event worth knowing, for a log.
    void logLine(const QString &line);

private:
    enum class Ask { Identify, Read, Write };
    struct Request
    {
        Ask ask = Ask::Identify;
        int bank = 0;
        int preset = 0;
    };

    void issue(const Request &request);
    void transmit();
    void onQuietTimeout();
    void onSettled();
    void onReply(Sysex::ReplyKind kind);
    void onPresetData();
    void onWriteAck();
    void readNext();
    void writeCurrent();
    // Re-reads one random preset per bank: against what was read (before an export writes)
    // or against the images (at the end).
    void startCheck(bool againstModule);
    // Sends the fence; its answer leads to decideWrites or complete.
    void settle();
    void outOfStep(const QString &why);
    void decideWrites();
    void checkNext();
    void beginReading();
    void complete();
    void end(StopReason why, const QString &message);
    void noteUnit();
    void enter(ConnectionState next);
    QString where(int bank, int preset) const;
    QString requestText(const Request &request) const;

    SysexProtocol sysex;
    TransferBanks images;
    TransferBanks held;
    ConnectionState state = Disconnected;
    Phase currentPhase = Phase::Idle;
    Phase phaseBeforeStop = Phase::Idle;
    StopReason reason = StopReason::None;
    QString stopText;
    bool exporting = false;
    bool active = false;
    bool done = false;
    bool unwritten = true;
    bool stopRequested = false;
    bool resyncing = false;
    int currentBank = 0;
    int currentPreset = 0;
    int retries = 0;
    int changes = 0;
    int written = 0;
    int resent = 0;
    int writesOfThis = 0;

    // The request waiting for its answer, how often it went out and how many answers came.
    Request current;
    bool awaiting = false;
    int sends = 0;
    int answers = 0;
    int malformed = 0;
    // Answers still owed to earlier requests; the next request waits for them (settling).
    int owed = 0;
    bool settling = false;
    Request queued;

    std::vector<int> toWrite; // positions bank * 128 + preset
    std::size_t writeAt = 0;
    std::vector<std::pair<int, int>> checks;
    std::size_t checkAt = 0;
    bool checkingHeld = false;

    int quietMs = DefaultQuietMs;
    int resendLimit = DefaultResends;
    QTimer quietTimer;
    QTimer settleTimer;
    std::mt19937 random{std::random_device{}()};
    QElapsedTimer clock;
    std::deque<qint64> unitTimes;
};
