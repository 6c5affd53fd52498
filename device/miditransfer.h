#pragma once

#include "device/requestlink.h"
#include "device/sysexprotocol.h"
#include "device/transferbanks.h"
#include "device/transferplan.h"
#include "device/transfertexts.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <deque>
#include <memory>

class MidiEvent;

// One session with the module, without widgets: the connection (open the ports, ask the
// module who it is), the request link and the transfer plan over it, and the words for
// what happens, which the dialog and orvex-pre show. Replies arrive as MidiEvents, either
// to this object or to a receiver that hands each one to handleMidiEvent.
//
// The rules live in RequestLink (which reply belongs to which request) and TransferPlan
// (the states of an import or export); see there.
class MidiTransfer : public QObject
{
    Q_OBJECT

public:
    enum ConnectionState { Disconnected = 0, Connecting = 1, Connected = 2 };
    using Phase = TransferPlan::State;
    using StopReason = TransferPlan::StopReason;

    static constexpr int DefaultQuietMs = RequestLink::DefaultQuietMs;
    static constexpr int DefaultResends = RequestLink::DefaultResends;
    static constexpr int MaxWrites = TransferPlan::MaxWrites;

    explicit MidiTransfer(std::shared_ptr<MidiBackend> backend, QObject *parent = nullptr);
    ~MidiTransfer() override;

    SysexProtocol &protocol() { return sysex; }
    RequestLink &link() { return requests; }
    TransferPlan &plan() { return rules; }
    const TransferPlan &plan() const { return rules; }
    // Where the port posts MidiEvents; this object unless another is set.
    void setReceiver(QObject *receiver);

    void setQuietTime(int ms) { requests.setQuietTime(ms); }
    int quietTime() const { return requests.quietTime(); }
    void setResends(int count) { requests.setResends(count); }
    int resends() const { return requests.resends(); }
    void setCheckSeed(unsigned seed) { rules.setCheckSeed(seed); }
    void setPurpose(TransferTexts::Purpose what) { purpose = what; }
    // Where an export saves what the module held before writing; without it nothing is
    // written unless writeWithoutBackup is chosen.
    void setBackupWriter(TransferPlan::BackupWriter writer, const QString &fileName)
    {
        rules.setBackupWriter(std::move(writer), fileName);
    }

    ConnectionState connectionState() const { return state; }
    // From Disconnected: opens both ports and, only if both opened, sends an identify
    // request and enters Connecting. Returns whether it did; when not, nothing stays open
    // and openError says which port failed, by the names given (else those listed now).
    // Unanswered, it ends in Disconnected with connectFailed.
    bool connectPorts(int inputIndex, int outputIndex, QString inName = QString(),
                      QString outName = QString());
    QString openError() const { return openFailure; }
    // Closes the ports, stops a running transfer (as Stop would, at once), enters Disconnected.
    void disconnectPorts();

    void setExportMode(bool exportAll) { rules.setExportMode(exportAll); }
    bool exportMode() const { return rules.exportMode(); }
    TransferBanks &banks() { return rules.banks(); }
    const TransferBanks &banks() const { return rules.banks(); }
    const TransferBanks &moduleBanks() const { return rules.moduleBanks(); }

    // In Connected with no transfer running: an import of banks 0..15, or an export that
    // reads banks 1..15, asks through confirmationNeeded, then writes what differs.
    bool startTransfer();
    // Stops the transfer, or the wait for ports to come back.
    void stop();
    // After a port went away, opens the ports again by the names they had (waiting for them
    // to come back, until stop) and goes on.
    bool retry();
    // A port of the connection is no longer listed.
    bool portGone() const { return gone; }
    bool waitingForPorts() const { return reopening; }
    // Looks whether the connection's ports are still listed (a timer does it every second
    // while connected).
    void checkPorts();
    bool canRetry() const { return rules.canRetry() && state == Connected && !reopening; }
    // Answers confirmationNeeded; confirmWrite only writes when the backup was saved.
    bool confirmWrite() { return rules.confirmWrite(); }
    bool writeWithoutBackup() { return rules.writeWithoutBackup(); }
    void cancelWrite() { rules.cancelWrite(); }

    bool running() const { return rules.running(); }
    bool transferDone() const { return rules.state() == Phase::Done; }
    Phase phase() const { return rules.state(); }
    StopReason stopReason() const { return rules.stopReason(); }
    QString stopMessage() const { return stopText; }
    int bank() const { return rules.bank(); }
    int preset() const { return rules.preset(); }
    // Writes repeated because a read-back differed.
    int retryCount() const { return rules.writeRepeats(); }
    // Presets read so far, bank * 128 + preset.
    int progress() const { return rules.readProgress(); }
    int changeCount() const { return rules.changeCount(); }
    int writtenCount() const { return rules.writtenCount(); }
    int resendCount() const { return requests.resendCount(); }
    // Estimated from the pace of the recent replies; -1 while unknown.
    int secondsLeft() const;
    // "Bank 4 · preset 17 of 128 · about 1:40 left", or what the transfer waits for.
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
    // Reading: presets of 2048; writing: presets written of those that change.
    void progressChanged(int done, int total);
    // A request went unanswered and is sent again, or is held back for late replies, and
    // every half second while that lasts: positionText says what it waits for and how long.
    void waitingChanged();
    // Export: the module was read and its backup saved (or not); `changes` presets would
    // be written. Answer with confirmWrite, writeWithoutBackup or cancelWrite.
    void confirmationNeeded(int changes);
    // Every preset is through and checked; transferDone is set.
    void transferCompleted();
    // The transfer ended short of its end; stopMessage says where and why.
    void transferStopped(const QString &message);
    // One line per event worth knowing, for a log.
    void logLine(const QString &line);

private:
    void onAnswered(const RequestLink::Request &request, Sysex::ReplyKind kind);
    void onUnanswered(const RequestLink::Request &request, bool onlyDamaged);
    void enter(ConnectionState next);

    SysexProtocol sysex;
    RequestLink requests;
    TransferPlan rules;
    ConnectionState state = Disconnected;
    TransferTexts::Purpose purpose = TransferTexts::Purpose::Transfer;
    QString stopText;
    QString openFailure;
    QElapsedTimer clock;
    std::deque<qint64> answerTimes;
    QTimer waitTicker;
    // The ports by name, as opened; whether one went away and the wait for them to be back.
    QString inPort;
    QString outPort;
    bool gone = false;
    bool backNoted = false;
    bool reopening = false;
    QTimer portWatch;
    QTimer reopenTimer;
    bool listed(bool input, const QString &name, int *index = nullptr);
    void tryReopen();
};
