#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class MidiBackend;
class QProcessEnvironment;

// The MIDI devices the program offers, the same in the window and orvex-pre.
namespace ProgramBackend {

// How many devices each way a port list shows at the most.
constexpr int MaxListedDevices = 100;

// Whether the built-in module is asked for: --simulator on the command line or the
// environment's ORVEX_SIMULATOR=1.
bool simulatorRequested(const QStringList &arguments, const QProcessEnvironment &environment);

// The platform's devices (RtMidi with `api`) and, after them when withSimulator, the built-in
// module "Orvex+ Simulator" with the faults ORVEX_SIMULATOR_FAULTS names.
std::shared_ptr<MidiBackend> create(const QString &api, bool withSimulator,
                                    const QProcessEnvironment &environment);

// The window's devices: the API from ORVEX_MIDI_API, the simulator when it is asked for.
std::shared_ptr<MidiBackend> forCommandLine(const QStringList &arguments,
                                            const QProcessEnvironment &environment);

} // namespace ProgramBackend
