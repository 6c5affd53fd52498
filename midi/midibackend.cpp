#include "midi/midibackend.h"

#include <atomic>

MidiHandle nextMidiHandle()
{
    static std::atomic<MidiHandle> counter{0};
    return ++counter;
}

MidiBackend::~MidiBackend() = default;
