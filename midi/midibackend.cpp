#include "midi/midibackend.h"

#include <atomic>

MidiHandle nextMidiHandle()
{
    static std::atomic<MidiHandle> counter{0};
    return ++counter;
}

MidiBackend::~MidiBackend() = default;

void handBackQueuedBuffers(MidiHandle input, std::deque<MidiBufferPtr> &queued, MidiHandler handler,
                           void *instance)
{
    while (!queued.empty()) {
        MidiBufferPtr buffer = std::move(queued.front());
        queued.pop_front();
        buffer->bytesRecorded = 0;
        handler(input, MidiNotice::InLongData, instance, std::move(buffer));
    }
}
