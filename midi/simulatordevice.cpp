#include "midi/simulatordevice.h"

SimulatorDevice::SimulatorDevice(const QString &name) : deviceName(name) {}

void SimulatorDevice::setLog(std::function<void(const QString &)> log)
{
    std::lock_guard<std::mutex> lock(mutex);
    logLine = std::move(log);
}

void SimulatorDevice::receive(const std::vector<uint8_t> &message, const Reply &reply)
{
    std::vector<std::vector<uint8_t>> replies;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (logLine)
            logLine(ModuleSimulator::describe(message));
        replies = simulator.handle(message);
    }
    for (auto &m : replies)
        reply(std::move(m));
}
