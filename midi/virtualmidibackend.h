#pragma once

#include "midi/midibackend.h"
#include "midi/midiworker.h"

#include <deque>
#include <map>
#include <memory>
#include <mutex>

class VirtualMidiDevice;

// In-process devices behind the backend interface. Messages and notifications travel
// through a thread of the backend's own, like a platform service's, optionally paced
// at each device's byte rate.
class VirtualMidiBackend : public MidiBackend
{
public:
    VirtualMidiBackend();
    ~VirtualMidiBackend() override;

    // Devices are added before any port opens; the index is returned.
    int addDevice(std::shared_ptr<VirtualMidiDevice> device);
    int deviceCount() const;
    // Unplugs the device (it leaves the lists, and the ports open on it reach nothing, also
    // after it is plugged in again) or plugs it in again.
    void setPlugged(int index, bool plugged);

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

    // Buffers waiting at an input; -1 when it is not open.
    int queuedBufferCount(MidiHandle input) const;
    // Number of inputs and outputs open right now.
    int openInputCount() const;
    int openOutputCount() const;
    // Waits until everything sent or delivered so far has arrived (not from a handler).
    void flush();

protected:
    // The device at `index` sends `message` to every started input that listens to it.
    void sendFromDevice(int index, std::vector<uint8_t> message, int delayMs = 0);
    // Calls the handler of `input` on the backend's thread as if `asHandle` had sent
    // `notice` (for tests of foreign and stray notifications).
    void notifyInput(MidiHandle input, MidiHandle asHandle, MidiNotice notice, MidiBufferPtr buffer);
    // Frees the buffers of an input's queue, handing each back empty through its handler.
    void handBackQueued(MidiHandle input);

private:
    struct Input
    {
        MidiHandler handler = nullptr;
        void *instance = nullptr;
        int device = -1;
        int generation = 0;
        bool started = false;
        std::deque<MidiBufferPtr> queued;
    };
    struct Output
    {
        MidiHandler handler = nullptr;
        void *instance = nullptr;
        int device = -1;
        int generation = 0;
    };
    struct Wire
    {
        MidiWorker::Clock::time_point toDevice{};
        MidiWorker::Clock::time_point toHost{};
    };

    MidiWorker::Clock::time_point wireDue(int device, std::size_t bytes, bool toHost);
    void deliver(int device, const std::vector<uint8_t> &message);

    // Guards the maps and the wires. Every handler call happens with it held, so once
    // a close has returned no handler of that port runs any more.
    mutable std::mutex mutex;
    std::vector<std::shared_ptr<VirtualMidiDevice>> devices;
    std::vector<Wire> wires;
    // Per device: unplugged, and how often it was (ports opened before reach nothing).
    std::vector<bool> unplugged;
    std::vector<int> generations;
    std::map<MidiHandle, Input> inputs;
    std::map<MidiHandle, Output> outputs;
    // Last member: stopped first, before anything its tasks use goes away.
    std::unique_ptr<MidiWorker> worker;
};
