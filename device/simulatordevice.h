#pragma once

#include "device/modulesimulator.h"
#include "midi/virtualmididevice.h"

#include <QProcessEnvironment>

#include <atomic>
#include <functional>
#include <mutex>

// The module simulator as an in-process device of a VirtualMidiBackend ("Orvex+
// Simulator"). The simulator is reached from the backend's thread, so every other use
// goes through access(), which holds its lock.
class SimulatorDevice : public VirtualMidiDevice
{
public:
    explicit SimulatorDevice(const QString &name = QStringLiteral("Orvex+ Simulator"));

    QString name() const override { return deviceName; }
    int byteRate() const override { return rate.load(); }
    void receive(const std::vector<uint8_t> &message, const Reply &reply) override;
    void receiveTimed(const std::vector<uint8_t> &message, const TimedReply &reply) override;

    template <typename F> auto access(F &&f)
    {
        std::lock_guard<std::mutex> lock(mutex);
        return f(simulator);
    }
    // Faults for trying the program: ORVEX_SIMULATOR_FAULTS holds ModuleSimulator::applyFaults'
    // text. Returns false (and sets nothing) when it cannot be read.
    bool applyFaultsFromEnvironment(const QProcessEnvironment &environment);
    // Why ORVEX_SIMULATOR_FAULTS cannot be read (an unknown fault, a bad count); empty when it can.
    static QString faultListError(const QProcessEnvironment &environment);
    // 0 for no pacing, ModuleSimulator::DinByteRate for a DIN cable.
    void setByteRate(int bytesPerSecond) { rate.store(bytesPerSecond); }
    // Called on the backend's thread with one line per message received.
    void setLog(std::function<void(const QString &line)> log);

private:
    const QString deviceName;
    std::atomic<int> rate{0};
    std::mutex mutex;
    ModuleSimulator simulator;
    std::function<void(const QString &)> logLine;
};
