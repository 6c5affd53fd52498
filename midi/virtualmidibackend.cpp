#include "midi/virtualmidibackend.h"

#include "midi/virtualmididevice.h"

#include <algorithm>

VirtualMidiDevice::~VirtualMidiDevice() = default;

VirtualMidiBackend::VirtualMidiBackend() : worker(std::make_unique<MidiWorker>()) {}

VirtualMidiBackend::~VirtualMidiBackend()
{
    // Stopped before the pointer goes: a device's reply running on the worker posts to it.
    worker->stop();
    worker.reset();
}

int VirtualMidiBackend::addDevice(std::shared_ptr<VirtualMidiDevice> device)
{
    std::lock_guard<std::mutex> lock(mutex);
    devices.push_back(std::move(device));
    wires.emplace_back();
    unplugged.push_back(false);
    generations.push_back(0);
    return int(devices.size()) - 1;
}

int VirtualMidiBackend::deviceCount() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return int(devices.size());
}

void VirtualMidiBackend::setPlugged(int index, bool plugged)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (index < 0 || index >= int(devices.size()) || unplugged[std::size_t(index)] == !plugged)
        return;
    unplugged[std::size_t(index)] = !plugged;
    if (!plugged)
        ++generations[std::size_t(index)];
}

std::optional<QString> VirtualMidiBackend::inputDeviceName(int index)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (index < 0 || index >= int(devices.size()) || unplugged[std::size_t(index)])
        return std::nullopt;
    return devices[index]->name();
}

std::optional<QString> VirtualMidiBackend::outputDeviceName(int index)
{
    return inputDeviceName(index);
}

MidiHandle VirtualMidiBackend::openInput(int index, MidiHandler handler, void *instance)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (index < 0 || index >= int(devices.size()) || !handler || unplugged[std::size_t(index)])
        return 0;
    const MidiHandle handle = nextMidiHandle();
    Input &input = inputs[handle];
    input.handler = handler;
    input.instance = instance;
    input.device = index;
    input.generation = generations[std::size_t(index)];
    return handle;
}

bool VirtualMidiBackend::addInputBuffer(MidiHandle input, MidiBufferPtr buffer)
{
    std::lock_guard<std::mutex> lock(mutex);
    auto it = inputs.find(input);
    if (it == inputs.end() || !buffer || buffer->data.empty())
        return false;
    buffer->bytesRecorded = 0;
    it->second.queued.push_back(std::move(buffer));
    return true;
}

bool VirtualMidiBackend::startInput(MidiHandle input)
{
    std::lock_guard<std::mutex> lock(mutex);
    auto it = inputs.find(input);
    if (it == inputs.end())
        return false;
    it->second.started = true;
    return true;
}

void VirtualMidiBackend::handBackQueued(MidiHandle input)
{
    std::lock_guard<std::mutex> lock(mutex);
    auto it = inputs.find(input);
    if (it == inputs.end())
        return;
    Input &in = it->second;
    in.started = false;
    handBackQueuedBuffers(input, in.queued, in.handler, in.instance);
}

void VirtualMidiBackend::stopInput(MidiHandle input)
{
    handBackQueued(input);
}

void VirtualMidiBackend::resetInput(MidiHandle input)
{
    handBackQueued(input);
}

void VirtualMidiBackend::closeInput(MidiHandle input)
{
    std::lock_guard<std::mutex> lock(mutex);
    inputs.erase(input);
}

MidiHandle VirtualMidiBackend::openOutput(int index, MidiHandler handler, void *instance)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (index < 0 || index >= int(devices.size()) || !handler || unplugged[std::size_t(index)])
        return 0;
    const MidiHandle handle = nextMidiHandle();
    outputs[handle] = Output{handler, instance, index, generations[std::size_t(index)]};
    return handle;
}

MidiWorker::Clock::time_point VirtualMidiBackend::wireDue(int device, std::size_t bytes, bool toHost)
{
    // Called with the mutex held.
    const auto now = MidiWorker::Clock::now();
    const int rate = devices[device]->byteRate();
    if (rate <= 0)
        return now;
    auto &free = toHost ? wires[device].toHost : wires[device].toDevice;
    free = std::max(free, now) + std::chrono::nanoseconds(int64_t(bytes) * 1000000000 / rate);
    return free;
}

bool VirtualMidiBackend::sendSysex(MidiHandle output, MidiBufferPtr message)
{
    std::unique_lock<std::mutex> lock(mutex);
    auto it = outputs.find(output);
    if (it == outputs.end() || !message || message->bytesRecorded > message->data.size())
        return false;
    const int index = it->second.device;
    const auto due = wireDue(index, message->bytesRecorded, false);
    // A port opened before the device went away reaches nothing.
    std::shared_ptr<VirtualMidiDevice> device =
        it->second.generation == generations[std::size_t(index)] && !unplugged[std::size_t(index)]
            ? devices[index]
            : nullptr;
    lock.unlock();

    auto held = std::make_shared<MidiBufferPtr>(std::move(message));
    worker->post(
        [this, output, index, device, held] {
            MidiBuffer &sent = **held;
            sent.data.resize(sent.bytesRecorded);
            if (device)
                device->receiveTimed(sent.data, [this, index](std::vector<uint8_t> reply, int delayMs) {
                    sendFromDevice(index, std::move(reply), delayMs);
                });
            std::lock_guard<std::mutex> lock(mutex);
            auto out = outputs.find(output);
            if (out != outputs.end())
                out->second.handler(output, MidiNotice::OutDone, out->second.instance, std::move(*held));
        },
        due);
    return true;
}

void VirtualMidiBackend::resetOutput(MidiHandle)
{
    // Messages already posted are on the wire; closing the output frees their buffers.
}

void VirtualMidiBackend::closeOutput(MidiHandle output)
{
    std::lock_guard<std::mutex> lock(mutex);
    outputs.erase(output);
}

void VirtualMidiBackend::sendFromDevice(int index, std::vector<uint8_t> message, int delayMs)
{
    MidiWorker::Clock::time_point due;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (index < 0 || index >= int(devices.size()))
            return;
        due = wireDue(index, message.size(), true);
    }
    if (delayMs > 0)
        due = std::max(due, MidiWorker::Clock::now()) + std::chrono::milliseconds(delayMs);
    worker->post([this, index, message = std::move(message)] { deliver(index, message); }, due);
}

void VirtualMidiBackend::deliver(int device, const std::vector<uint8_t> &message)
{
    std::lock_guard<std::mutex> lock(mutex);
    for (auto &[handle, input] : inputs) {
        if (input.device != device || !input.started || unplugged[std::size_t(device)] ||
            input.generation != generations[std::size_t(device)])
            continue;
        if (message.empty() || message.front() != 0xF0) {
            input.handler(handle, MidiNotice::InData, input.instance, nullptr);
            continue;
        }
        // Without a free buffer, or too long for it, a message is dropped whole.
        if (input.queued.empty() || message.size() > input.queued.front()->data.size())
            continue;
        MidiBufferPtr buffer = std::move(input.queued.front());
        input.queued.pop_front();
        std::copy(message.begin(), message.end(), buffer->data.begin());
        buffer->bytesRecorded = message.size();
        input.handler(handle, MidiNotice::InLongData, input.instance, std::move(buffer));
    }
}

void VirtualMidiBackend::notifyInput(MidiHandle input, MidiHandle asHandle, MidiNotice notice,
                                     MidiBufferPtr buffer)
{
    auto held = std::make_shared<MidiBufferPtr>(std::move(buffer));
    worker->post([this, input, asHandle, notice, held] {
        std::lock_guard<std::mutex> lock(mutex);
        auto it = inputs.find(input);
        if (it != inputs.end())
            it->second.handler(asHandle, notice, it->second.instance, std::move(*held));
    });
}

void VirtualMidiBackend::flush()
{
    worker->flush();
}

int VirtualMidiBackend::queuedBufferCount(MidiHandle input) const
{
    std::lock_guard<std::mutex> lock(mutex);
    auto it = inputs.find(input);
    return it == inputs.end() ? -1 : int(it->second.queued.size());
}

int VirtualMidiBackend::openInputCount() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return int(inputs.size());
}

int VirtualMidiBackend::openOutputCount() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return int(outputs.size());
}
