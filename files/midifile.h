#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

// Standard MIDI Files (".mid", and the RIFF "RMID" wrapper ".rmi") as carriers of SysEx
// messages. Reading takes out the SysEx events and hands them on as the bytes of a ".syx",
// so the one SysEx reader decides what they hold; writing spaces one SysEx event per
// message so that a sequencer playing the file never outruns a DIN cable or the module.
//
// Messages are translatable texts of the "MidiFile" context.

struct MidiSysex
{
    // The SysEx messages in the order they are played, F0 .. F7 each, back to back as in a
    // ".syx". A message cut off by another event or by the end of its track ends in a status
    // byte that is no part of any message, so the SysEx reader counts it as damaged.
    QByteArray syx;
    int sysexEvents = 0; // F0 events and F7 continuations that belong to a message
    int otherEvents = 0; // channel events and F7 escapes that carry no SysEx, skipped
    // Set when the file is not a complete Standard MIDI File or holds no SysEx, saying why.
    QString errorText;
};

// True for bytes that start as a Standard MIDI File: "MThd", or a RIFF file of form "RMID".
// Twelve bytes are enough to tell.
bool isMidiFileBytes(const QByteArray &start);
// True for a name ending in ".mid", ".midi" or ".rmi", in any case.
bool isMidiName(const QString &fileName);

// Takes the SysEx events out of a whole file's bytes. A file whose structure is broken
// (cut off, a length past its end, an event without status) gives none, so nothing of it
// is loaded half.
MidiSysex readMidiBytes(const QByteArray &bytes);

// Writing: one SysEx event per message, each starting once the one before it has crossed
// a DIN cable (3,125 bytes a second, its F0 included) and the module has had `pauseMs`
// to store it. Ticks are milliseconds: 500 ticks a quarter note at 120 beats a minute.
namespace MidiTiming {
constexpr int DinBytesPerSecond = 3125;
constexpr int TicksPerQuarter = 500;
constexpr int MicrosecondsPerQuarter = 500000;
constexpr int DefaultPauseMs = 60;
constexpr int MaxPauseMs = 10000;
// Milliseconds a message of `bytes` bytes takes on the cable, rounded up.
int cableMs(int bytes);
} // namespace MidiTiming

// The file's events: a track name, the tempo, the messages (each F0 .. F7) at their
// times, and the end of the track once the last one has been stored.
QByteArray midiFileBytes(const std::vector<std::vector<uint8_t>> &messages, const QString &trackName,
                         int pauseMs);
// How long the file plays, in milliseconds: when its track ends.
qint64 midiFileDurationMs(const std::vector<std::vector<uint8_t>> &messages, int pauseMs);
// "1:07" or "1:02:03", for the user.
QString midiDurationText(qint64 ms);
