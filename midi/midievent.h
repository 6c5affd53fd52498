#pragma once

#include "midi/midibackend.h"

#include <QEvent>

// Carries one filled input buffer from the MIDI thread to the receiver's thread.
// Whoever handles the event takes the buffer; one left in it is freed with the event,
// so events discarded with their receiver leak nothing.
class MidiEvent : public QEvent
{
public:
    static constexpr QEvent::Type Type = QEvent::User;

    explicit MidiEvent(MidiBufferPtr buffer) : QEvent(Type), filled(std::move(buffer)) {}

    const MidiBuffer *buffer() const { return filled.get(); }
    MidiBufferPtr takeBuffer() { return std::move(filled); }

private:
    MidiBufferPtr filled;
};
