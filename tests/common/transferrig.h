#pragma once

#include "device/modulesimulator.h"
#include "device/simulatordevice.h"
#include "midi/virtualmidibackend.h"

#include <memory>

// A device that takes every message and never answers.
class SilentDevice : public VirtualMidiDevice
{
public:
    explicit SilentDevice(QString name) : deviceName(std::move(name)) {}
    QString name() const override { return deviceName; }
    void receive(const std::vector<uint8_t> &, const Reply &) override {}

private:
    QString deviceName;
};

// The virtual backend with `silent` mute devices first, then the simulator.
struct Rig
{
    std::shared_ptr<VirtualMidiBackend> backend = std::make_shared<VirtualMidiBackend>();
    std::shared_ptr<SimulatorDevice> simulator = std::make_shared<SimulatorDevice>();
    int simulatorIndex = 0;

    explicit Rig(int silent = 0)
    {
        for (int i = 0; i < silent; ++i)
            backend->addDevice(std::make_shared<SilentDevice>(QStringLiteral("Mute %1").arg(i)));
        simulatorIndex = backend->addDevice(simulator);
    }
    ModuleSimulator::Counts counts()
    {
        return simulator->access([](ModuleSimulator &s) { return s.counts(); });
    }
    TransferBanks banks()
    {
        return simulator->access([](ModuleSimulator &s) { return s.programBanks(); });
    }
};
