#pragma once

#include "midi/sysexprotocol.h"
#include "midi/transferbanks.h"

#include <QObject>

#include <memory>

class MidiEvent;

// The rules of connecting to the module and of one import or export, without widgets:
// a dialog or a command-line driver calls connectPorts and startTransfer and shows what
// the signals say. Replies arrive as MidiEvents, either to this object or to a receiver
// that hands each one to handleMidiEvent.
class MidiTransfer : public QObject
{
    Q_OBJECT

public:
    enum ConnectionState { Disconnected = 0, Connecting = 1, Connected = 2 };

    explicit MidiTransfer(std::shared_ptr<MidiBackend> backend, QObject *parent = nullptr);
    ~MidiTransfer() override;

    SysexProtocol &protocol() { return sysex; }
    // Where the port posts MidiEvents; this object unless another is set.
    void setReceiver(QObject *receiver);

    ConnectionState connectionState() const { return state; }
    // From Disconnected: opens both ports and, only if both opened, sends an identify
    // request and enters Connecting. Returns whether it did.
    bool connectPorts(int inputIndex, int outputIndex);
    // Closes the ports, abandons a running transfer, enters Disconnected.
    void disconnectPorts();

    void setExportMode(bool exportAll) { exporting = exportAll; }
    bool exportMode() const { return exporting; }
    TransferBanks &banks() { return images; }
    const TransferBanks &banks() const { return images; }

    // In Connected with no transfer running: an import of banks 0..15 or an export of
    // banks 1..15, whichever exportMode says. Returns whether it started.
    bool startTransfer();
    bool running() const { return active; }
    bool transferDone() const { return done; }
    int bank() const { return currentBank; }
    int preset() const { return currentPreset; }
    int retryCount() const { return retries; }
    bool firstRead() const { return unwritten; }
    int progress() const { return currentBank * PresetsPerBank + currentPreset; }

    // Handles the buffer a MidiEvent carries; returns what it was.
    Sysex::ReplyKind handleMidiEvent(MidiEvent *event);
    bool event(QEvent *e) override;

signals:
    void connectionStateChanged(int state);
    // An identity reply arrived (in any state): serialText and versionText are new.
    void identityReceived();
    void progressChanged(int value);
    // Every preset is through; transferDone is set. After an export, retryCount says
    // how many writes were repeated.
    void transferCompleted();

private:
    void onPresetData();
    void onWriteAck();
    // Next preset; false when the last one is through.
    bool advance();
    void complete();
    void enter(ConnectionState next);

    SysexProtocol sysex;
    TransferBanks images;
    ConnectionState state = Disconnected;
    bool exporting = false;
    bool active = false;
    bool done = false;
    bool unwritten = true;
    int currentBank = 0;
    int currentPreset = 0;
    int retries = 0;
};
