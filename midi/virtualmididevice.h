#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

// An in-process MIDI endpoint that a VirtualMidiBackend lists as both an input and an
// output device.
class VirtualMidiDevice
{
public:
    using Reply = std::function<void(std::vector<uint8_t> message)>;

    virtual ~VirtualMidiDevice();

    virtual QString name() const = 0;
    // Bytes per second on the simulated wire, both ways; 0 delivers at once. Read from
    // any thread.
    virtual int byteRate() const { return 0; }
    // One complete message from the host, on the backend's thread. Replies go through
    // `reply`, in order, only during this call.
    virtual void receive(const std::vector<uint8_t> &message, const Reply &reply) = 0;

    // As receive, for devices whose replies may leave late (the wire is held meanwhile,
    // as a module answers in order).
    using TimedReply = std::function<void(std::vector<uint8_t> message, int delayMs)>;
    virtual void receiveTimed(const std::vector<uint8_t> &message, const TimedReply &reply)
    {
        receive(message, [&reply](std::vector<uint8_t> m) { reply(std::move(m), 0); });
    }
};
