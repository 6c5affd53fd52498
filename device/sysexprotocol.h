#pragma once

#include "files/sysexmessages.h"
#include "midi/midiport.h"

#include <QString>

#include <memory>

// The host's side of the conversation with the module over one MidiPort: sends the
// three requests and turns each received buffer into a ReplyKind, keeping the last
// identity and the last preset image.
class SysexProtocol
{
public:
    explicit SysexProtocol(std::shared_ptr<MidiBackend> backend);

    MidiPort &port() { return midiPort; }
    bool openPorts(int inputIndex, int outputIndex) { return midiPort.openPorts(inputIndex, outputIndex); }
    void closePorts() { midiPort.closePorts(); }

    // Dropped without notice while the output is closed.
    void requestIdentity();
    void requestPreset(int preset, int bank);
    // Sends the current imageBuffer.
    void writePreset(int preset, int bank);

    // Replaces the buffer at the input, parses it, then frees it.
    Sysex::ReplyKind handleReceived(MidiBufferPtr buffer);

    uint32_t serialNumber() const { return serial; }
    uint32_t firmwareVersion() const { return version; }
    QString serialText() const { return serialShown; }
    QString versionText() const { return Sysex::versionText(version); }
    QString deviceText() const { return device; }
    // Whether the last buffer handled was a SysEx message for another device.
    bool lastWasForeign() const { return foreign; }
    // 256 after a well-formed PresetData, 0 after a malformed one.
    int imageLength() const { return imageBytes; }
    // The image last received, or the one the next writePreset carries.
    PresetImage &imageBuffer() { return image; }
    const PresetImage &imageBuffer() const { return image; }

private:
    MidiPort midiPort;
    uint32_t serial = 0;
    uint32_t version = 0;
    QString serialShown;
    QString device;
    int imageBytes = 0;
    bool foreign = false;
    PresetImage image{};
};
