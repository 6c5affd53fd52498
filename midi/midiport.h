#pragma once

#include "midi/midibackend.h"

#include <QString>

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

class QObject;

// One MIDI input and one MIDI output of a backend, opened as a pair. Every SysEx buffer
// the input fills is posted to the receiver as a MidiEvent; four empty buffers wait at
// the input while it is open, provided each handled buffer is replaced (queueInputBuffer).
class MidiPort
{
public:
    static constexpr int InputBufferSize = 1024;
    static constexpr int QueuedInputBuffers = 4;

    explicit MidiPort(std::shared_ptr<MidiBackend> backend);
    ~MidiPort();
    MidiPort(const MidiPort &) = delete;
    MidiPort &operator=(const MidiPort &) = delete;

    std::optional<QString> inputDeviceName(int index) const;
    std::optional<QString> outputDeviceName(int index) const;
    // Not owned; must outlive the open ports or be replaced before it goes.
    void setReceiver(QObject *object);

    // True only when both ports opened. When either fails, neither stays open, and
    // inputFailed / outputFailed say which could not be opened.
    bool openPorts(int inputIndex, int outputIndex);
    bool inputFailed() const { return inFailed; }
    bool outputFailed() const { return outFailed; }
    void closePorts();
    // One side alone, the other closed: for listening on, or sending to, every device in
    // turn when looking for the module. True when it opened.
    bool openInputOnly(int inputIndex);
    bool openOutputOnly(int outputIndex);
    bool inputOpen() const { return inHandle.load() != 0; }
    bool outputOpen() const { return outHandle != 0; }

    // Gives the input one new zero-filled buffer; false when stopping, closed or refused.
    bool queueInputBuffer();
    // Ends the life of a buffer that came back filled.
    void releaseInputBuffer(MidiBufferPtr buffer);
    // Takes the message; true when the backend accepted it.
    bool sendSysex(std::vector<uint8_t> message);

    MidiBackend &backend() const { return *midi; }

private:
    bool openInputSide(int inputIndex);
    static void inputHandler(MidiHandle handle, MidiNotice notice, void *instance, MidiBufferPtr buffer);
    static void outputHandler(MidiHandle handle, MidiNotice notice, void *instance, MidiBufferPtr buffer);

    std::shared_ptr<MidiBackend> midi;
    // Read by the notification thread.
    std::atomic<MidiHandle> inHandle{0};
    std::atomic<bool> stopping{false};
    std::atomic<QObject *> receiver{nullptr};
    MidiHandle outHandle = 0;
    bool inFailed = false;
    bool outFailed = false;
};
