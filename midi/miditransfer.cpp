#include "midi/miditransfer.h"

#include "midi/midievent.h"

MidiTransfer::MidiTransfer(std::shared_ptr<MidiBackend> backend, QObject *parent)
    : QObject(parent), sysex(std::move(backend))
{
    sysex.port().setReceiver(this);
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

bool MidiTransfer::connectPorts(int inputIndex, int outputIndex)
{
    if (state != Disconnected)
        return false;
    if (!sysex.openPorts(inputIndex, outputIndex))
        return false;
    enter(Connecting);
    sysex.requestIdentity();
    return true;
}

void MidiTransfer::disconnectPorts()
{
    sysex.closePorts();
    active = false;
    enter(Disconnected);
}

bool MidiTransfer::startTransfer()
{
    if (state != Connected || active)
        return false;
    active = true;
    done = false;
    retries = 0;
    currentPreset = 0;
    if (exporting) {
        // The factory bank is never written.
        currentBank = 1;
        unwritten = true;
    } else {
        currentBank = 0;
    }
    emit progressChanged(0);
    sysex.requestPreset(currentPreset, currentBank);
    return true;
}

Sysex::ReplyKind MidiTransfer::handleMidiEvent(MidiEvent *event)
{
    const Sysex::ReplyKind kind = sysex.handleReceived(event->takeBuffer());
    switch (kind) {
    case Sysex::ReplyKind::Identity:
        if (state == Connecting)
            enter(Connected);
        emit identityReceived();
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
    return kind;
}

bool MidiTransfer::event(QEvent *e)
{
    if (e->type() != QEvent::User)
        return QObject::event(e);
    handleMidiEvent(static_cast<MidiEvent *>(e));
    return true;
}

bool MidiTransfer::advance()
{
    if (++currentPreset == PresetsPerBank) {
        currentPreset = 0;
        ++currentBank;
    }
    emit progressChanged(progress());
    return currentBank < BankCount;
}

void MidiTransfer::onPresetData()
{
    // Replies that no transfer asked for (before the start, after the end) are ignored.
    if (!active)
        return;
    if (!exporting) {
        if (sysex.imageLength() != 256)
            return; // a malformed image: wait, as the module will not send another
        images.at(currentBank, currentPreset) = Sysex::fromModule(currentBank, sysex.imageBuffer());
        if (advance())
            sysex.requestPreset(currentPreset, currentBank);
        else
            complete();
        return;
    }
    PresetImage &local = images.at(currentBank, currentPreset);
    if (sysex.imageBuffer() != local) {
        if (!unwritten)
            ++retries;
        sysex.imageBuffer() = Sysex::toModule(currentBank, local);
        sysex.writePreset(currentPreset, currentBank);
        return;
    }
    if (advance()) {
        unwritten = true;
        sysex.requestPreset(currentPreset, currentBank);
    } else {
        complete();
    }
}

void MidiTransfer::onWriteAck()
{
    if (!active)
        return;
    // Read back what was just written.
    unwritten = false;
    sysex.requestPreset(currentPreset, currentBank);
}

void MidiTransfer::complete()
{
    active = false;
    done = true;
    currentBank = 0;
    currentPreset = 0;
    emit transferCompleted();
}
