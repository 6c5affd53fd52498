#include "device/simulatordevice.h"

SimulatorDevice::SimulatorDevice(const QString &name) : deviceName(name) {}

void SimulatorDevice::setLog(std::function<void(const QString &)> log)
{
    std::lock_guard<std::mutex> lock(mutex);
    logLine = std::move(log);
}

void SimulatorDevice::receive(const std::vector<uint8_t> &message, const Reply &reply)
{
    receiveTimed(message, [&reply](std::vector<uint8_t> m, int) { reply(std::move(m)); });
}

void SimulatorDevice::receiveTimed(const std::vector<uint8_t> &message, const TimedReply &reply)
{
    std::vector<ModuleSimulator::Outgoing> replies;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (logLine)
            logLine(ModuleSimulator::describe(message));
        replies = simulator.handleTimed(message);
    }
    for (auto &o : replies)
        reply(std::move(o.message), o.delayMs);
}

bool SimulatorDevice::applyFaultsFromEnvironment(const QProcessEnvironment &environment)
{
    const QString faultList = environment.value(QStringLiteral("ORVEX_SIMULATOR_FAULTS"));
    if (faultList.isEmpty())
        return true;
    QString bad;
    if (access([&](ModuleSimulator &s) { return s.applyFaults(faultList, &bad); }))
        return true;
    qWarning("%s", qPrintable(faultListError(environment)));
    return false;
}

QString SimulatorDevice::faultListError(const QProcessEnvironment &environment)
{
    QString bad;
    if (ModuleSimulator().applyFaults(environment.value(QStringLiteral("ORVEX_SIMULATOR_FAULTS")), &bad))
        return QString();
    return QStringLiteral(
               "ORVEX_SIMULATOR_FAULTS: cannot read \"%1\"; the faults are %2, separated by commas")
        .arg(bad, ModuleSimulator::faultNames().join(QStringLiteral(", ")));
}
