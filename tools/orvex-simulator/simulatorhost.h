#pragma once

#include "device/modulesimulator.h"
#include "midi/midiworker.h"
#include "midi/rtmidibackend.h"

#include <QString>

#include <cstdio>
#include <memory>
#include <mutex>

// Runs a ModuleSimulator on a pair of virtual MIDI ports: every message that arrives is
// answered, optionally paced like a real cable, and logged on one line.
class SimulatorHost
{
public:
    SimulatorHost(const QString &api, const QString &portName, std::FILE *log);
    ~SimulatorHost();

    ModuleSimulator &simulator() { return sim; } // only before open() or after close()
    void setByteRate(int bytesPerSecond) { rate = bytesPerSecond; }
    bool open(QString *error);
    // Stops answering; the simulator can be read safely afterwards.
    void close();

private:
    void onMessage(const std::vector<uint8_t> &message);

    ModuleSimulator sim;
    std::mutex mutex; // the simulator and the wire clock, reached from RtMidi's thread
    int rate = 0;
    MidiWorker::Clock::time_point wireFree{};
    std::FILE *log;
    std::unique_ptr<RtMidiBackend::VirtualPort> port;
    std::unique_ptr<MidiWorker> sender;
};
