#pragma once

#include "midi/midibackend.h"

#include <map>
#include <memory>
#include <mutex>
#include <vector>

class VirtualMidiDevice;

// Several backends behind one device list: the devices of the first backend, then
// those of the next, and so on. Handles are unique across backends, so each call is
// routed by the handle alone.
class CompositeMidiBackend : public MidiBackend
{
public:
    explicit CompositeMidiBackend(std::vector<std::shared_ptr<MidiBackend>> parts);

    // The program's devices: RtMidi's (API by name, empty for the default) and, when
    // `extra` is given, that in-process device after them.
    static std::shared_ptr<MidiBackend> create(const QString &api, std::shared_ptr<VirtualMidiDevice> extra);

    void rescan() override;
    std::optional<QString> inputDeviceName(int index) override;
    std::optional<QString> outputDeviceName(int index) override;
    MidiHandle openInput(int index, MidiHandler handler, void *instance) override;
    bool addInputBuffer(MidiHandle input, MidiBufferPtr buffer) override;
    bool startInput(MidiHandle input) override;
    void stopInput(MidiHandle input) override;
    void resetInput(MidiHandle input) override;
    void closeInput(MidiHandle input) override;
    MidiHandle openOutput(int index, MidiHandler handler, void *instance) override;
    bool sendSysex(MidiHandle output, MidiBufferPtr message) override;
    void resetOutput(MidiHandle output) override;
    void closeOutput(MidiHandle output) override;

private:
    // The backend holding device `index` and its index there, or null.
    MidiBackend *locate(int index, bool input, int *local) const;
    MidiBackend *owner(MidiHandle handle) const;

    std::vector<std::shared_ptr<MidiBackend>> parts;
    mutable std::mutex mutex;
    std::map<MidiHandle, MidiBackend *> owners;
};
