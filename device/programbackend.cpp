#include "device/programbackend.h"

#include "device/simulatordevice.h"
#include "midi/compositemidibackend.h"
#include "midi/rtmidibackend.h"

#include <QProcessEnvironment>

namespace ProgramBackend {

bool simulatorRequested(const QStringList &arguments, const QProcessEnvironment &environment)
{
    return arguments.mid(1).contains(QStringLiteral("--simulator")) ||
           environment.value(QStringLiteral("ORVEX_SIMULATOR")) == QLatin1String("1");
}

std::shared_ptr<MidiBackend> create(const QString &api, bool withSimulator,
                                    const QProcessEnvironment &environment)
{
    std::shared_ptr<SimulatorDevice> simulator;
    if (withSimulator) {
        simulator = std::make_shared<SimulatorDevice>();
        simulator->applyFaultsFromEnvironment(environment);
    }
    return CompositeMidiBackend::create(api, std::move(simulator));
}

std::shared_ptr<MidiBackend> forCommandLine(const QStringList &arguments,
                                            const QProcessEnvironment &environment)
{
    return create(RtMidiBackend::apiFromEnvironment(), simulatorRequested(arguments, environment),
                  environment);
}

} // namespace ProgramBackend
