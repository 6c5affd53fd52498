#include "device/sysexprotocol.h"

SysexProtocol::SysexProtocol(std::shared_ptr<MidiBackend> backend) : midiPort(std::move(backend)) {}

void SysexProtocol::requestIdentity()
{
    midiPort.sendSysex(Sysex::identifyRequest());
}

void SysexProtocol::requestPreset(int preset, int bank)
{
    midiPort.sendSysex(Sysex::presetRequest(preset, bank));
}

void SysexProtocol::writePreset(int preset, int bank)
{
    midiPort.sendSysex(Sysex::presetWrite(preset, bank, image));
}

Sysex::ReplyKind SysexProtocol::handleReceived(MidiBufferPtr buffer)
{
    // The port keeps four buffers waiting only if each one handled is replaced first.
    midiPort.queueInputBuffer();
    foreign = false;
    if (!buffer)
        return Sysex::ReplyKind::None;
    const std::size_t length = std::min(buffer->bytesRecorded, buffer->data.size());
    const Sysex::Reply reply = Sysex::parseReply(buffer->data.data(), length);
    midiPort.releaseInputBuffer(std::move(buffer));
    foreign = reply.foreign;

    switch (reply.kind) {
    case Sysex::ReplyKind::Identity:
        serial = reply.identity.serialNumber;
        version = reply.identity.firmwareVersion;
        device = reply.identity.deviceText;
        serialShown = Sysex::formatSerial(serial);
        break;
    case Sysex::ReplyKind::PresetData:
        if (reply.imageValid) {
            image = reply.image;
            imageBytes = 256;
        } else {
            imageBytes = 0;
        }
        break;
    default:
        break;
    }
    return reply.kind;
}
