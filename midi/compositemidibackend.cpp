#include "midi/compositemidibackend.h"

#include "midi/rtmidibackend.h"
#include "midi/virtualmidibackend.h"

CompositeMidiBackend::CompositeMidiBackend(std::vector<std::shared_ptr<MidiBackend>> parts)
    : parts(std::move(parts))
{
}

std::shared_ptr<MidiBackend> CompositeMidiBackend::create(const QString &api,
                                                          std::shared_ptr<VirtualMidiDevice> extra)
{
    std::vector<std::shared_ptr<MidiBackend>> parts;
    parts.push_back(std::make_shared<RtMidiBackend>(api));
    if (extra) {
        auto virtualDevices = std::make_shared<VirtualMidiBackend>();
        virtualDevices->addDevice(std::move(extra));
        parts.push_back(virtualDevices);
    }
    return std::make_shared<CompositeMidiBackend>(std::move(parts));
}

MidiBackend *CompositeMidiBackend::locate(int index, bool input, int *local) const
{
    if (index < 0)
        return nullptr;
    int first = 0;
    for (const auto &part : parts) {
        // Count this backend's devices only as far as needed.
        int count = 0;
        while (first + count <= index &&
               (input ? part->inputDeviceName(count) : part->outputDeviceName(count)).has_value())
            ++count;
        if (index < first + count) {
            *local = index - first;
            return part.get();
        }
        first += count;
    }
    return nullptr;
}

MidiBackend *CompositeMidiBackend::owner(MidiHandle handle) const
{
    std::lock_guard<std::mutex> lock(mutex);
    auto it = owners.find(handle);
    return it == owners.end() ? nullptr : it->second;
}

void CompositeMidiBackend::rescan()
{
    for (const auto &part : parts)
        part->rescan();
}

std::optional<QString> CompositeMidiBackend::inputDeviceName(int index)
{
    int local = 0;
    MidiBackend *part = locate(index, true, &local);
    return part ? part->inputDeviceName(local) : std::nullopt;
}

std::optional<QString> CompositeMidiBackend::outputDeviceName(int index)
{
    int local = 0;
    MidiBackend *part = locate(index, false, &local);
    return part ? part->outputDeviceName(local) : std::nullopt;
}

MidiHandle CompositeMidiBackend::openInput(int index, MidiHandler handler, void *instance)
{
    int local = 0;
    MidiBackend *part = locate(index, true, &local);
    const MidiHandle handle = part ? part->openInput(local, handler, instance) : 0;
    if (handle) {
        std::lock_guard<std::mutex> lock(mutex);
        owners[handle] = part;
    }
    return handle;
}

bool CompositeMidiBackend::addInputBuffer(MidiHandle input, MidiBufferPtr buffer)
{
    MidiBackend *part = owner(input);
    return part && part->addInputBuffer(input, std::move(buffer));
}

bool CompositeMidiBackend::startInput(MidiHandle input)
{
    MidiBackend *part = owner(input);
    return part && part->startInput(input);
}

void CompositeMidiBackend::stopInput(MidiHandle input)
{
    if (MidiBackend *part = owner(input))
        part->stopInput(input);
}

void CompositeMidiBackend::resetInput(MidiHandle input)
{
    if (MidiBackend *part = owner(input))
        part->resetInput(input);
}

void CompositeMidiBackend::closeInput(MidiHandle input)
{
    if (MidiBackend *part = owner(input))
        part->closeInput(input);
    std::lock_guard<std::mutex> lock(mutex);
    owners.erase(input);
}

MidiHandle CompositeMidiBackend::openOutput(int index, MidiHandler handler, void *instance)
{
    int local = 0;
    MidiBackend *part = locate(index, false, &local);
    const MidiHandle handle = part ? part->openOutput(local, handler, instance) : 0;
    if (handle) {
        std::lock_guard<std::mutex> lock(mutex);
        owners[handle] = part;
    }
    return handle;
}

bool CompositeMidiBackend::sendSysex(MidiHandle output, MidiBufferPtr message)
{
    MidiBackend *part = owner(output);
    return part && part->sendSysex(output, std::move(message));
}

void CompositeMidiBackend::resetOutput(MidiHandle output)
{
    if (MidiBackend *part = owner(output))
        part->resetOutput(output);
}

void CompositeMidiBackend::closeOutput(MidiHandle output)
{
    if (MidiBackend *part = owner(output))
        part->closeOutput(output);
    std::lock_guard<std::mutex> lock(mutex);
    owners.erase(output);
}
