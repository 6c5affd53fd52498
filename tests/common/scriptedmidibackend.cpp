#include "common/scriptedmidibackend.h"

#include "midi/virtualmididevice.h"

#include <mutex>

class ScriptedMidiBackend::Device : public VirtualMidiDevice
{
public:
    explicit Device(int index) : index(index) {}
    QString name() const override { return QStringLiteral("Scripted %1").arg(index); }
    void receive(const std::vector<uint8_t> &message, const Reply &reply) override
    {
        std::function<std::vector<std::vector<uint8_t>>(int, const std::vector<uint8_t> &)> respond;
        {
            std::lock_guard<std::mutex> lock(mutex);
            log.push_back(message);
            respond = responder;
        }
        if (respond)
            for (auto &answer : respond(index, message))
                reply(std::move(answer));
    }

    const int index;
    mutable std::mutex mutex;
    std::vector<std::vector<uint8_t>> log;
    std::function<std::vector<std::vector<uint8_t>>(int, const std::vector<uint8_t> &)> responder;
};

ScriptedMidiBackend::ScriptedMidiBackend(int inputCount, int outputCount)
    : inputs(0), outputs(0), pendingInputs(0), pendingOutputs(0)
{
    setDeviceCounts(inputCount, outputCount);
    rescan();
}

void ScriptedMidiBackend::setDeviceCounts(int inputCount, int outputCount)
{
    pendingInputs = inputCount;
    pendingOutputs = outputCount;
    while (int(recorders.size()) < std::max(inputCount, outputCount)) {
        recorders.push_back(std::make_shared<Device>(int(recorders.size())));
        addDevice(recorders.back());
    }
}

void ScriptedMidiBackend::rescan()
{
    inputs = pendingInputs;
    outputs = pendingOutputs;
}

ScriptedMidiBackend::~ScriptedMidiBackend() = default;

std::optional<QString> ScriptedMidiBackend::inputDeviceName(int index)
{
    if (index < 0 || index >= inputs)
        return std::nullopt;
    return QStringLiteral("Scripted In %1").arg(index);
}

std::optional<QString> ScriptedMidiBackend::outputDeviceName(int index)
{
    if (index < 0 || index >= outputs)
        return std::nullopt;
    return QStringLiteral("Scripted Out %1").arg(index);
}

MidiHandle ScriptedMidiBackend::openInput(int index, MidiHandler handler, void *instance)
{
    if (index < 0 || index >= inputs)
        return 0;
    const MidiHandle handle = VirtualMidiBackend::openInput(index, handler, instance);
    lastIn.store(handle);
    return handle;
}

MidiHandle ScriptedMidiBackend::openOutput(int index, MidiHandler handler, void *instance)
{
    if (index < 0 || index >= outputs)
        return 0;
    const MidiHandle handle = VirtualMidiBackend::openOutput(index, handler, instance);
    lastOut.store(handle);
    return handle;
}

bool ScriptedMidiBackend::sendSysex(MidiHandle output, MidiBufferPtr message)
{
    ++sends;
    return VirtualMidiBackend::sendSysex(output, std::move(message));
}

void ScriptedMidiBackend::deliver(int index, std::vector<uint8_t> message)
{
    sendFromDevice(index, std::move(message));
}

void ScriptedMidiBackend::inject(MidiHandle input, MidiHandle asHandle, MidiNotice notice,
                                 MidiBufferPtr buffer)
{
    notifyInput(input, asHandle, notice, std::move(buffer));
}

std::vector<std::vector<uint8_t>> ScriptedMidiBackend::received(int index) const
{
    if (index < 0 || index >= int(recorders.size()))
        return {};
    std::lock_guard<std::mutex> lock(recorders[index]->mutex);
    return recorders[index]->log;
}

void ScriptedMidiBackend::setResponder(
    std::function<std::vector<std::vector<uint8_t>>(int, const std::vector<uint8_t> &)> fn)
{
    for (auto &device : recorders) {
        std::lock_guard<std::mutex> lock(device->mutex);
        device->responder = fn;
    }
}
