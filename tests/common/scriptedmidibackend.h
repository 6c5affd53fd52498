#pragma once

#include "midi/virtualmidibackend.h"

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

// A backend for tests: a fixed number of input and output devices whose traffic is
// recorded, messages delivered on demand, and notifications of any kind injected.
// Notifications arrive on the backend's own thread, as from a real service.
class ScriptedMidiBackend : public VirtualMidiBackend
{
public:
    // Devices are named "Scripted In N" / "Scripted Out N".
    ScriptedMidiBackend(int inputCount, int outputCount);
    ~ScriptedMidiBackend() override;

    // Devices plugged in or out: the lists change at the next rescan.
    void setDeviceCounts(int inputCount, int outputCount);
    void rescan() override;
    std::optional<QString> inputDeviceName(int index) override;
    std::optional<QString> outputDeviceName(int index) override;
    MidiHandle openInput(int index, MidiHandler handler, void *instance) override;
    MidiHandle openOutput(int index, MidiHandler handler, void *instance) override;
    bool sendSysex(MidiHandle output, MidiBufferPtr message) override;

    // Input device `index` sends `message` to whoever listens.
    void deliver(int index, std::vector<uint8_t> message);
    // Calls the handler of `input` with any handle, notice and buffer.
    void inject(MidiHandle input, MidiHandle asHandle, MidiNotice notice, MidiBufferPtr buffer = nullptr);

    // Messages received by output device `index`, in order.
    std::vector<std::vector<uint8_t>> received(int index) const;
    // Called on the backend's thread for every message a device receives; replies go
    // back to the listeners of that device.
    void setResponder(
        std::function<std::vector<std::vector<uint8_t>>(int index, const std::vector<uint8_t> &)> fn);

    MidiHandle lastInput() const { return lastIn.load(); }
    MidiHandle lastOutput() const { return lastOut.load(); }
    int sendCalls() const { return sends.load(); }

private:
    class Device;
    int inputs;
    int outputs;
    int pendingInputs;
    int pendingOutputs;
    std::vector<std::shared_ptr<Device>> recorders;
    std::atomic<MidiHandle> lastIn{0};
    std::atomic<MidiHandle> lastOut{0};
    std::atomic<int> sends{0};
};
