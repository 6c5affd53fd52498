#include "midi/rtmidibackend.h"

#include "midi/midiworker.h"

#include <RtMidi.h>

#include <QByteArray>

#include <deque>

namespace {

// Records RtMidi's complaints instead of printing or throwing them. A warning such as
// "JACK server not running?" counts as a failure of the call it came from.
struct ErrorTrap
{
    std::mutex mutex;
    bool failed = false;
    std::string text;

    static void callback(RtMidiError::Type, const std::string &message, void *user)
    {
        auto *trap = static_cast<ErrorTrap *>(user);
        std::lock_guard<std::mutex> lock(trap->mutex);
        trap->failed = true;
        trap->text = message;
    }
    // True when nothing went wrong since the last call.
    bool clean()
    {
        std::lock_guard<std::mutex> lock(mutex);
        const bool ok = !failed;
        failed = false;
        return ok;
    }
    std::string lastText()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return text;
    }
};

RtMidi::Api apiFor(const QString &name, bool *known)
{
    *known = true;
    if (name.isEmpty()) {
#if defined(__linux__)
        std::vector<RtMidi::Api> apis;
        RtMidi::getCompiledApi(apis);
        for (RtMidi::Api a : apis)
            if (a == RtMidi::LINUX_ALSA)
                return a;
#endif
        return RtMidi::UNSPECIFIED;
    }
    const RtMidi::Api api = RtMidi::getCompiledApiByName(name.trimmed().toLower().toStdString());
    if (api == RtMidi::UNSPECIFIED)
        *known = false;
    return api;
}

QString nameOf(const std::string &name)
{
    return QString::fromStdString(name);
}

} // namespace

// Objects kept only to list devices, created on first use.
struct RtMidiBackend::Lister
{
    ErrorTrap trap;
    std::unique_ptr<RtMidiIn> in;
    std::unique_ptr<RtMidiOut> out;
};

struct RtMidiBackend::Input
{
    ErrorTrap trap;
    std::unique_ptr<RtMidiIn> midi;
    MidiHandle handle = 0;
    MidiHandler handler = nullptr;
    void *instance = nullptr;
    // Guards everything below and every handler call, so that once `closed` is set no
    // handler runs any more.
    std::mutex mutex;
    bool started = false;
    bool closed = false;
    std::deque<MidiBufferPtr> queued;

    static void onMessage(double, std::vector<unsigned char> *message, void *user)
    {
        auto *in = static_cast<Input *>(user);
        std::lock_guard<std::mutex> lock(in->mutex);
        if (in->closed || !message || !in->started)
            return;
        if (message->empty() || message->front() != 0xF0) {
            in->handler(in->handle, MidiNotice::InData, in->instance, nullptr);
            return;
        }
        // No free buffer, or one too small: the message is dropped whole.
        if (in->queued.empty() || message->size() > in->queued.front()->data.size())
            return;
        MidiBufferPtr buffer = std::move(in->queued.front());
        in->queued.pop_front();
        std::copy(message->begin(), message->end(), buffer->data.begin());
        buffer->bytesRecorded = message->size();
        in->handler(in->handle, MidiNotice::InLongData, in->instance, std::move(buffer));
    }
};

struct RtMidiBackend::Output
{
    ErrorTrap trap;
    std::unique_ptr<RtMidiOut> midi;
    MidiHandle handle = 0;
    MidiHandler handler = nullptr;
    void *instance = nullptr;
    std::mutex mutex;
    bool closed = false;
    // Sends one message at a time off the caller's thread and reports completion.
    std::unique_ptr<MidiWorker> sender;
};

RtMidiBackend::RtMidiBackend(const QString &apiName, const QString &clientName)
    : client(clientName.toStdString()), lister(std::make_unique<Lister>())
{
    api = apiFor(apiName, &known);
}

RtMidiBackend::~RtMidiBackend()
{
    std::vector<MidiHandle> open;
    {
        std::lock_guard<std::mutex> lock(mutex);
        for (auto &entry : inputs)
            open.push_back(entry.first);
    }
    for (MidiHandle h : open)
        closeInput(h);
    open.clear();
    {
        std::lock_guard<std::mutex> lock(mutex);
        for (auto &entry : outputs)
            open.push_back(entry.first);
    }
    for (MidiHandle h : open)
        closeOutput(h);
}

QString RtMidiBackend::apiFromEnvironment()
{
    return QString::fromLocal8Bit(qgetenv("ORVEX_MIDI_API"));
}

QStringList RtMidiBackend::compiledApis()
{
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    QStringList names;
    for (RtMidi::Api a : apis)
        names << nameOf(RtMidi::getApiName(a));
    return names;
}

bool RtMidiBackend::apiAvailable() const
{
    return known;
}

QString RtMidiBackend::apiName() const
{
    return nameOf(RtMidi::getApiName(RtMidi::Api(api)));
}

bool RtMidiBackend::serviceReachable()
{
    // Asked through an input: RtMidi's JACK output leaks its ring buffers each time it
    // fails to reach the server, its input leaks nothing.
    try {
        if (!lister->in) {
            lister->in = std::make_unique<RtMidiIn>(RtMidi::Api(api), client + " list");
            lister->in->setErrorCallback(&ErrorTrap::callback, &lister->trap);
        }
        lister->trap.clean();
        lister->in->getPortCount();
        return lister->trap.clean();
    } catch (const RtMidiError &) {
        return false;
    }
}

std::optional<QString> RtMidiBackend::inputDeviceName(int index)
{
    if (!known || index < 0)
        return std::nullopt;
    try {
        if (!lister->in) {
            lister->in = std::make_unique<RtMidiIn>(RtMidi::Api(api), client + " list");
            lister->in->setErrorCallback(&ErrorTrap::callback, &lister->trap);
        }
        lister->trap.clean();
        const unsigned count = lister->in->getPortCount();
        if (!lister->trap.clean() || unsigned(index) >= count)
            return std::nullopt;
        const std::string name = lister->in->getPortName(unsigned(index));
        if (!lister->trap.clean())
            return std::nullopt;
        return nameOf(name);
    } catch (const RtMidiError &) {
        return std::nullopt;
    }
}

std::optional<QString> RtMidiBackend::outputDeviceName(int index)
{
    if (!known || index < 0)
        return std::nullopt;
    if (!lister->out && !serviceReachable())
        return std::nullopt;
    try {
        if (!lister->out) {
            lister->out = std::make_unique<RtMidiOut>(RtMidi::Api(api), client + " list");
            lister->out->setErrorCallback(&ErrorTrap::callback, &lister->trap);
        }
        lister->trap.clean();
        const unsigned count = lister->out->getPortCount();
        if (!lister->trap.clean() || unsigned(index) >= count)
            return std::nullopt;
        const std::string name = lister->out->getPortName(unsigned(index));
        if (!lister->trap.clean())
            return std::nullopt;
        return nameOf(name);
    } catch (const RtMidiError &) {
        return std::nullopt;
    }
}

MidiHandle RtMidiBackend::openInput(int index, MidiHandler handler, void *instance)
{
    if (!known || index < 0 || !handler)
        return 0;
    auto in = std::make_unique<Input>();
    in->handle = nextMidiHandle();
    in->handler = handler;
    in->instance = instance;
    try {
        in->midi = std::make_unique<RtMidiIn>(RtMidi::Api(api), client);
        in->midi->setErrorCallback(&ErrorTrap::callback, &in->trap);
        const unsigned count = in->midi->getPortCount();
        if (!in->trap.clean() || unsigned(index) >= count)
            return 0;
        // SysEx must come through; timing and active sensing are of no use here.
        in->midi->ignoreTypes(false, true, true);
        in->midi->setCallback(&Input::onMessage, in.get());
        in->midi->openPort(unsigned(index), "in");
        if (!in->trap.clean() || !in->midi->isPortOpen()) {
            in->midi.reset();
            return 0;
        }
    } catch (const RtMidiError &) {
        return 0;
    }
    const MidiHandle handle = in->handle;
    std::lock_guard<std::mutex> lock(mutex);
    inputs[handle] = std::move(in);
    return handle;
}

bool RtMidiBackend::addInputBuffer(MidiHandle input, MidiBufferPtr buffer)
{
    std::lock_guard<std::mutex> lock(mutex);
    auto it = inputs.find(input);
    if (it == inputs.end() || !buffer || buffer->data.empty())
        return false;
    Input &in = *it->second;
    std::lock_guard<std::mutex> inputLock(in.mutex);
    buffer->bytesRecorded = 0;
    in.queued.push_back(std::move(buffer));
    return true;
}

bool RtMidiBackend::startInput(MidiHandle input)
{
    std::lock_guard<std::mutex> lock(mutex);
    auto it = inputs.find(input);
    if (it == inputs.end())
        return false;
    std::lock_guard<std::mutex> inputLock(it->second->mutex);
    it->second->started = true;
    return true;
}

void RtMidiBackend::handBack(MidiHandle input)
{
    std::lock_guard<std::mutex> lock(mutex);
    auto it = inputs.find(input);
    if (it == inputs.end())
        return;
    Input &in = *it->second;
    std::lock_guard<std::mutex> inputLock(in.mutex);
    in.started = false;
    handBackQueuedBuffers(input, in.queued, in.handler, in.instance);
}

void RtMidiBackend::stopInput(MidiHandle input)
{
    handBack(input);
}

void RtMidiBackend::resetInput(MidiHandle input)
{
    handBack(input);
}

void RtMidiBackend::closeInput(MidiHandle input)
{
    std::unique_ptr<Input> in;
    {
        std::lock_guard<std::mutex> lock(mutex);
        auto it = inputs.find(input);
        if (it == inputs.end())
            return;
        in = std::move(it->second);
        inputs.erase(it);
    }
    {
        std::lock_guard<std::mutex> inputLock(in->mutex);
        in->closed = true;
        in->queued.clear();
    }
    // Not under the input's lock: closing joins RtMidi's thread, which may be waiting for it.
    try {
        in->midi->cancelCallback();
        in->midi->closePort();
        in->midi.reset();
    } catch (const RtMidiError &) {
    }
}

MidiHandle RtMidiBackend::openOutput(int index, MidiHandler handler, void *instance)
{
    if (!known || index < 0 || !handler)
        return 0;
    if (!serviceReachable())
        return 0;
    auto out = std::make_unique<Output>();
    out->handle = nextMidiHandle();
    out->handler = handler;
    out->instance = instance;
    try {
        out->midi = std::make_unique<RtMidiOut>(RtMidi::Api(api), client);
        out->midi->setErrorCallback(&ErrorTrap::callback, &out->trap);
        const unsigned count = out->midi->getPortCount();
        if (!out->trap.clean() || unsigned(index) >= count)
            return 0;
        out->midi->openPort(unsigned(index), "out");
        if (!out->trap.clean() || !out->midi->isPortOpen())
            return 0;
    } catch (const RtMidiError &) {
        return 0;
    }
    out->sender = std::make_unique<MidiWorker>();
    const MidiHandle handle = out->handle;
    std::lock_guard<std::mutex> lock(mutex);
    outputs[handle] = std::move(out);
    return handle;
}

bool RtMidiBackend::sendSysex(MidiHandle output, MidiBufferPtr message)
{
    std::lock_guard<std::mutex> lock(mutex);
    auto it = outputs.find(output);
    if (it == outputs.end() || !message || message->bytesRecorded == 0 ||
        message->bytesRecorded > message->data.size())
        return false;
    Output *out = it->second.get();
    auto held = std::make_shared<MidiBufferPtr>(std::move(message));
    out->sender->post([out, held] {
        MidiBuffer &sent = **held;
        try {
            out->midi->sendMessage(sent.data.data(), sent.bytesRecorded);
        } catch (const RtMidiError &) {
        }
        std::lock_guard<std::mutex> outputLock(out->mutex);
        if (!out->closed)
            out->handler(out->handle, MidiNotice::OutDone, out->instance, std::move(*held));
    });
    return true;
}

void RtMidiBackend::resetOutput(MidiHandle output)
{
    std::lock_guard<std::mutex> lock(mutex);
    auto it = outputs.find(output);
    if (it != outputs.end())
        it->second->sender->clear();
}

void RtMidiBackend::closeOutput(MidiHandle output)
{
    std::unique_ptr<Output> out;
    {
        std::lock_guard<std::mutex> lock(mutex);
        auto it = outputs.find(output);
        if (it == outputs.end())
            return;
        out = std::move(it->second);
        outputs.erase(it);
    }
    {
        std::lock_guard<std::mutex> outputLock(out->mutex);
        out->closed = true;
    }
    out->sender.reset(); // waits for a send in progress, frees the rest
    try {
        out->midi->closePort();
        out->midi.reset();
    } catch (const RtMidiError &) {
    }
}

struct RtMidiBackend::VirtualPort::Impl
{
    RtMidi::Api api = RtMidi::UNSPECIFIED;
    bool known = true;
    std::string client;
    std::string port;
    Receive receive;
    ErrorTrap trap;
    std::unique_ptr<RtMidiIn> in;
    std::unique_ptr<RtMidiOut> out;
    std::mutex sendMutex;

    static void onMessage(double, std::vector<unsigned char> *message, void *user)
    {
        auto *d = static_cast<Impl *>(user);
        if (message && !message->empty() && d->receive)
            d->receive(*message);
    }
};

RtMidiBackend::VirtualPort::VirtualPort(const QString &api, const QString &clientName,
                                        const QString &portName, Receive receive)
    : d(std::make_unique<Impl>())
{
    d->api = apiFor(api, &d->known);
    d->client = clientName.toStdString();
    d->port = portName.toStdString();
    d->receive = std::move(receive);
}

RtMidiBackend::VirtualPort::~VirtualPort()
{
    stopReceiving();
    std::lock_guard<std::mutex> lock(d->sendMutex);
    try {
        d->out.reset();
    } catch (const RtMidiError &) {
    }
}

void RtMidiBackend::VirtualPort::stopReceiving()
{
    try {
        // Destroying the input closes its port and ends RtMidi's thread for it.
        d->in.reset();
    } catch (const RtMidiError &) {
    }
}

bool RtMidiBackend::VirtualPort::open(QString *error)
{
    auto fail = [&](const std::string &why) {
        if (error)
            *error = nameOf(why);
        stopReceiving();
        std::lock_guard<std::mutex> lock(d->sendMutex);
        d->out.reset();
        return false;
    };
    if (!d->known)
        return fail("unknown MIDI API");
    try {
        // The input reaches the server first, so a missing server is noticed before any port is
        // made (and before RtMidi's JACK output leaks its ring buffers on a failed connect).
        d->in = std::make_unique<RtMidiIn>(d->api, d->client);
        d->in->setErrorCallback(&ErrorTrap::callback, &d->trap);
        d->in->getPortCount();
        if (!d->trap.clean())
            return fail(d->trap.lastText());
        // Then the output port: once the input port exists a request may arrive and be answered.
        auto out = std::make_unique<RtMidiOut>(d->api, d->client);
        out->setErrorCallback(&ErrorTrap::callback, &d->trap);
        out->getPortCount();
        if (!d->trap.clean())
            return fail(d->trap.lastText());
        out->openVirtualPort(d->port);
        if (!d->trap.clean())
            return fail(d->trap.lastText());
        {
            std::lock_guard<std::mutex> lock(d->sendMutex);
            d->out = std::move(out);
        }
        d->in->ignoreTypes(false, true, true);
        d->in->setCallback(&Impl::onMessage, d.get());
        d->in->openVirtualPort(d->port);
        if (!d->trap.clean())
            return fail(d->trap.lastText());
    } catch (const RtMidiError &e) {
        return fail(e.getMessage());
    }
    return true;
}

bool RtMidiBackend::VirtualPort::send(const std::vector<uint8_t> &message)
{
    std::lock_guard<std::mutex> lock(d->sendMutex);
    if (!d->out || message.empty())
        return false;
    try {
        d->out->sendMessage(message.data(), message.size());
    } catch (const RtMidiError &) {
        return false;
    }
    return d->trap.clean();
}
