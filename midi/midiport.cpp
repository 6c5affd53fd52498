#include "midi/midiport.h"

#include "midi/midievent.h"

#include <QCoreApplication>

MidiPort::MidiPort(std::shared_ptr<MidiBackend> backend) : midi(std::move(backend)) {}

MidiPort::~MidiPort()
{
    closePorts();
}

std::optional<QString> MidiPort::inputDeviceName(int index) const
{
    return midi->inputDeviceName(index);
}

std::optional<QString> MidiPort::outputDeviceName(int index) const
{
    return midi->outputDeviceName(index);
}

void MidiPort::setReceiver(QObject *object)
{
    receiver.store(object);
}

bool MidiPort::openPorts(int inputIndex, int outputIndex)
{
    closePorts();
    const bool inputGood = openInputSide(inputIndex);
    outHandle = midi->openOutput(outputIndex, &MidiPort::outputHandler, this);
    inFailed = !inputGood;
    outFailed = outHandle == 0;
    if (inFailed || outFailed) {
        // Half a pair is of no use, and a port left open blocks other programs.
        closePorts();
        return false;
    }
    return true;
}

bool MidiPort::openInputSide(int inputIndex)
{
    stopping.store(false);
    const MidiHandle in = midi->openInput(inputIndex, &MidiPort::inputHandler, this);
    if (!in)
        return false;
    inHandle.store(in);
    for (int i = 0; i < QueuedInputBuffers; ++i)
        queueInputBuffer();
    midi->startInput(in);
    return true;
}

bool MidiPort::openInputOnly(int inputIndex)
{
    closePorts();
    inFailed = !openInputSide(inputIndex);
    outFailed = false;
    return !inFailed;
}

bool MidiPort::openOutputOnly(int outputIndex)
{
    closePorts();
    outHandle = midi->openOutput(outputIndex, &MidiPort::outputHandler, this);
    inFailed = false;
    outFailed = outHandle == 0;
    return !outFailed;
}

void MidiPort::closePorts()
{
    if (const MidiHandle in = inHandle.load()) {
        // Buffers handed back by stop and reset must not reach the receiver.
        stopping.store(true);
        midi->stopInput(in);
        midi->resetInput(in);
        midi->closeInput(in);
        inHandle.store(0);
    }
    if (outHandle) {
        midi->resetOutput(outHandle);
        midi->closeOutput(outHandle);
        outHandle = 0;
    }
}

bool MidiPort::queueInputBuffer()
{
    const MidiHandle in = inHandle.load();
    if (stopping.load() || !in)
        return false;
    auto buffer = std::make_unique<MidiBuffer>();
    buffer->data.assign(InputBufferSize, 0);
    return midi->addInputBuffer(in, std::move(buffer));
}

void MidiPort::releaseInputBuffer(MidiBufferPtr buffer)
{
    buffer.reset();
}

bool MidiPort::sendSysex(std::vector<uint8_t> message)
{
    if (!outHandle)
        return false;
    auto buffer = std::make_unique<MidiBuffer>();
    buffer->bytesRecorded = message.size();
    buffer->data = std::move(message);
    buffer->user = outHandle;
    return midi->sendSysex(outHandle, std::move(buffer));
}

void MidiPort::inputHandler(MidiHandle handle, MidiNotice notice, void *instance, MidiBufferPtr buffer)
{
    auto *port = static_cast<MidiPort *>(instance);
    if (!port)
        return;
    // During openInput the handle is not stored yet, so any handle passes.
    const MidiHandle own = port->inHandle.load();
    if (own && own != handle)
        return;
    if (notice != MidiNotice::InLongData || !buffer)
        return;
    if (port->stopping.load())
        return;
    QObject *target = port->receiver.load();
    if (!target)
        return;
    QCoreApplication::postEvent(target, new MidiEvent(std::move(buffer)));
}

void MidiPort::outputHandler(MidiHandle, MidiNotice notice, void *, MidiBufferPtr buffer)
{
    // The sent message dies with `buffer` at the end of this call.
    if (notice == MidiNotice::OutDone && buffer)
        buffer.reset();
}
