#pragma once

#include "midi/midievent.h"
#include "midi/midiport.h"

#include <QCoreApplication>
#include <QObject>
#include <QThread>

#include <vector>

// Stands in for the transfer dialog: takes every MidiEvent, replaces the buffer at the
// port and keeps what arrived.
class MidiReceiver : public QObject
{
public:
    explicit MidiReceiver(MidiPort *port = nullptr) : port(port) {}

    bool event(QEvent *e) override
    {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        auto *midi = static_cast<MidiEvent *>(e);
        types.push_back(int(e->type()));
        wrongThread |= QThread::currentThread() != thread();
        MidiBufferPtr buffer = midi->takeBuffer();
        if (port && requeue)
            port->queueInputBuffer();
        capacities.push_back(buffer ? int(buffer->data.size()) : -1);
        messages.emplace_back(
            buffer ? std::vector<uint8_t>(buffer->data.begin(), buffer->data.begin() + buffer->bytesRecorded)
                   : std::vector<uint8_t>());
        if (buffer) {
            // Bytes past the message are as the buffer was queued: zero.
            for (std::size_t i = buffer->bytesRecorded; i < buffer->data.size(); ++i)
                dirtyTail |= buffer->data[i] != 0;
        }
        if (port)
            port->releaseInputBuffer(std::move(buffer));
        return true;
    }

    MidiPort *port;
    bool requeue = true;
    bool wrongThread = false;
    bool dirtyTail = false;
    std::vector<int> types;
    std::vector<int> capacities;
    std::vector<std::vector<uint8_t>> messages;
};

inline std::vector<uint8_t> sysexOfLength(std::size_t length, uint8_t seed)
{
    std::vector<uint8_t> m(length);
    m.front() = 0xF0;
    for (std::size_t i = 1; i + 1 < length; ++i)
        m[i] = uint8_t((i * 7 + seed) & 0x7F);
    m.back() = 0xF7;
    return m;
}
