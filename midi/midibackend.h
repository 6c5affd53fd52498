#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

// An open input or output of a backend; 0 means none. Handles are unique across all
// backends of the process, so several backends can be combined behind one list.
using MidiHandle = std::uintptr_t;
MidiHandle nextMidiHandle();

// Notification codes, numbered like the classic platform service's own.
enum class MidiNotice : uint32_t {
    InOpen = 0x3C1,
    InClose = 0x3C2,
    InData = 0x3C3,     // a short (non-SysEx) message arrived
    InLongData = 0x3C4, // a SysEx buffer came back
    InError = 0x3C5,
    OutOpen = 0x3C7,
    OutClose = 0x3C8,
    OutDone = 0x3C9, // a sent buffer is no longer needed
};

// A SysEx buffer travelling between the port layer and a backend. Input buffers have
// a fixed capacity (data.size()); bytesRecorded says how much of it is valid.
struct MidiBuffer
{
    std::vector<uint8_t> data;
    std::size_t bytesRecorded = 0;
    MidiHandle user = 0;
};
using MidiBufferPtr = std::unique_ptr<MidiBuffer>;

// Called on the backend's own thread (stop and reset may call it on the caller's).
// The handler owns `buffer`; a buffer it does not keep is freed when it returns.
using MidiHandler = void (*)(MidiHandle handle, MidiNotice notice, void *instance, MidiBufferPtr buffer);

// What stop and reset do in every backend: each queued buffer goes back, empty,
// through the input's handler, oldest first.
void handBackQueuedBuffers(MidiHandle input, std::deque<MidiBufferPtr> &queued, MidiHandler handler,
                           void *instance);

// The platform operations the port layer relies on. After closeInput/closeOutput
// returns, the handler is never called again for that handle.
class MidiBackend
{
public:
    virtual ~MidiBackend();

    // Devices are numbered from 0 without gaps; none past the last. A backend whose
    // devices come and go keeps the list it read until rescan, so an index names the
    // same device from listing to opening.
    virtual void rescan() {}
    virtual std::optional<QString> inputDeviceName(int index) = 0;
    virtual std::optional<QString> outputDeviceName(int index) = 0;

    // 0 when the device cannot be opened.
    virtual MidiHandle openInput(int index, MidiHandler handler, void *instance) = 0;
    // Queues an empty buffer; the oldest queued buffer receives the next SysEx message.
    // A refused buffer is freed.
    virtual bool addInputBuffer(MidiHandle input, MidiBufferPtr buffer) = 0;
    virtual bool startInput(MidiHandle input) = 0;
    // Both end delivery and hand every queued buffer back with bytesRecorded 0.
    virtual void stopInput(MidiHandle input) = 0;
    virtual void resetInput(MidiHandle input) = 0;
    virtual void closeInput(MidiHandle input) = 0;

    virtual MidiHandle openOutput(int index, MidiHandler handler, void *instance) = 0;
    // Sends one complete SysEx message without blocking; the handler gets the buffer
    // back with OutDone once it is sent. A refused message is freed.
    virtual bool sendSysex(MidiHandle output, MidiBufferPtr message) = 0;
    // Drops messages not yet sent.
    virtual void resetOutput(MidiHandle output) = 0;
    virtual void closeOutput(MidiHandle output) = 0;
};
