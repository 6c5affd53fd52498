#include "midi/rtmidibackend.h"

#include "midi/midiworker.h"

#include <RtMidi.h>

#include <QByteArray>
#include <QLoggingCategory>
#include <QRegularExpression>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <deque>
#include <iostream>
#include <set>
#include <sstream>

#if defined(ORVEX_HAVE_JACK)
#include <jack/jack.h>
#endif
#if defined(ORVEX_HAVE_ALSA)
#include <alsa/asoundlib.h>
#endif

namespace {

// What the MIDI libraries have to say goes here rather than straight onto stderr.
// RtMidi's own complaints are warnings, each text once per run; the chatter of the
// JACK and ALSA libraries below it (repeated at every attempt to reach a server that is
// not running) only shows with QT_LOGGING_RULES="orvex.midi.info=true".
const QLoggingCategory &lcMidi()
{
    // Never destroyed: the JACK library may still report while the process exits.
    static const auto *category = new QLoggingCategory("orvex.midi", QtWarningMsg);
    return *category;
}

QString libraryText(const std::string &text)
{
    return QString::fromLocal8Bit(text.c_str()).trimmed();
}

void logRtMidi(const std::string &text)
{
    const QString message = libraryText(text);
    if (message.isEmpty())
        return;
    static std::mutex mutex;
    static std::set<QString> said;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!said.insert(message).second)
            return;
    }
    qCWarning(lcMidi).noquote() << message;
}

#if defined(ORVEX_HAVE_JACK)
void onJackError(const char *text)
{
    qCInfo(lcMidi).noquote() << "JACK:" << libraryText(text);
}
void onJackInfo(const char *text)
{
    qCDebug(lcMidi).noquote() << "JACK:" << libraryText(text);
}
#endif

#if defined(ORVEX_HAVE_ALSA)
void onAlsaError(const char *file, int line, const char *function, int, const char *format, ...)
{
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    qCInfo(lcMidi).noquote() << QStringLiteral("ALSA: %1 (%2:%3 %4)")
                                    .arg(QString::fromLocal8Bit(text), QString::fromLocal8Bit(file))
                                    .arg(line)
                                    .arg(QString::fromLocal8Bit(function));
}
#endif

// Installed once, before the first RtMidi object reaches a library.
void routeLibraryMessages()
{
    static std::once_flag once;
    std::call_once(once, [] {
#if defined(ORVEX_HAVE_JACK)
        jack_set_error_function(&onJackError);
        jack_set_info_function(&onJackInfo);
#endif
#if defined(ORVEX_HAVE_ALSA)
        snd_lib_error_set_handler(&onAlsaError);
#endif
    });
}

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
        {
            std::lock_guard<std::mutex> lock(trap->mutex);
            trap->failed = true;
            trap->text = message;
        }
        logRtMidi(message);
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

// An RtMidi object whose complaints reach `trap`. Its constructor already talks to the
// MIDI service and prints what goes wrong there, before a callback can be set; that
// text is caught from std::cerr (only RtMidi writes to it here) and logged.
template <class Midi> std::unique_ptr<Midi> makeMidi(int api, const std::string &client, ErrorTrap &trap)
{
    routeLibraryMessages();
    static std::mutex cerrMutex;
    std::lock_guard<std::mutex> lock(cerrMutex);
    std::ostringstream caught;
    struct Redirect
    {
        std::streambuf *old;
        ~Redirect() { std::cerr.rdbuf(old); }
    } redirect{std::cerr.rdbuf(caught.rdbuf())};
    std::unique_ptr<Midi> midi;
    try {
        midi = std::make_unique<Midi>(RtMidi::Api(api), client);
    } catch (const RtMidiError &) {
        logRtMidi(caught.str());
        throw;
    }
    logRtMidi(caught.str());
    midi->setErrorCallback(&ErrorTrap::callback, &trap);
    return midi;
}

// Every port name the object sees now, in its order; none when the service fails.
std::vector<QString> readPortNames(RtMidi &midi, ErrorTrap &trap)
{
    std::vector<QString> names;
    trap.clean();
    const unsigned count = midi.getPortCount();
    if (!trap.clean())
        return {};
    for (unsigned i = 0; i < count; ++i) {
        const std::string name = midi.getPortName(i);
        if (!trap.clean())
            return {};
        names.push_back(nameOf(name));
    }
    return names;
}

// RtMidi's index, at this moment, of the `occurrence`-th port named `name`.
std::optional<unsigned> portNumber(RtMidi &midi, ErrorTrap &trap, const QString &name, int occurrence)
{
    const std::vector<QString> names = readPortNames(midi, trap);
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == name && occurrence-- == 0)
            return unsigned(i);
    return std::nullopt;
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
        if (!lister->in)
            lister->in = makeMidi<RtMidiIn>(api, client + " list", lister->trap);
        lister->trap.clean();
        lister->in->getPortCount();
        return lister->trap.clean();
    } catch (const RtMidiError &) {
        return false;
    }
}

bool RtMidiBackend::ownPort(const QString &name) const
{
    // JACK names ports "client:port" and renames a second client of the same name
    // "client-01"; ALSA adds the address ("client:port 129:0").
    static const QRegularExpression renamed(QStringLiteral("^-\\d+:"));
    const QString own = nameOf(client);
    if (!name.startsWith(own))
        return false;
    const QString rest = name.mid(own.size());
    return rest.startsWith(QLatin1Char(':')) || renamed.match(rest).hasMatch();
}

void RtMidiBackend::rescan()
{
    listedInputs.reset();
    listedOutputs.reset();
    // Fresh objects, so a server started or restarted since is reached anew.
    lister = std::make_unique<Lister>();
}

const std::vector<QString> &RtMidiBackend::listed(bool input)
{
    std::optional<std::vector<QString>> &list = input ? listedInputs : listedOutputs;
    if (list)
        return *list;
    list.emplace();
    if (!known)
        return *list;
    try {
        std::vector<QString> names;
        if (input) {
            if (!lister->in)
                lister->in = makeMidi<RtMidiIn>(api, client + " list", lister->trap);
            names = readPortNames(*lister->in, lister->trap);
        } else if (lister->out || serviceReachable()) {
            if (!lister->out)
                lister->out = makeMidi<RtMidiOut>(api, client + " list", lister->trap);
            names = readPortNames(*lister->out, lister->trap);
        }
        for (QString &name : names)
            if (!ownPort(name))
                list->push_back(std::move(name));
    } catch (const RtMidiError &) {
    }
    return *list;
}

std::optional<QString> RtMidiBackend::listedName(bool input, int index, int *occurrence)
{
    const std::vector<QString> &names = listed(input);
    if (index < 0 || std::size_t(index) >= names.size())
        return std::nullopt;
    if (occurrence)
        *occurrence = int(std::count(names.begin(), names.begin() + index, names[std::size_t(index)]));
    return names[std::size_t(index)];
}

std::optional<QString> RtMidiBackend::inputDeviceName(int index)
{
    return listedName(true, index, nullptr);
}

std::optional<QString> RtMidiBackend::outputDeviceName(int index)
{
    return listedName(false, index, nullptr);
}

MidiHandle RtMidiBackend::openInput(int index, MidiHandler handler, void *instance)
{
    int occurrence = 0;
    const std::optional<QString> name = listedName(true, index, &occurrence);
    if (!name || !handler)
        return 0;
    auto in = std::make_unique<Input>();
    in->handle = nextMidiHandle();
    in->handler = handler;
    in->instance = instance;
    try {
        in->midi = makeMidi<RtMidiIn>(api, client, in->trap);
        // By name: ports may have come and gone since the list was read.
        const std::optional<unsigned> number = portNumber(*in->midi, in->trap, *name, occurrence);
        if (!number) {
            qCWarning(lcMidi).noquote() << QStringLiteral("MIDI input \"%1\" is no longer there").arg(*name);
            return 0;
        }
        // SysEx must come through; timing and active sensing are of no use here.
        in->midi->ignoreTypes(false, true, true);
        in->midi->setCallback(&Input::onMessage, in.get());
        in->midi->openPort(*number, "in");
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
    int occurrence = 0;
    const std::optional<QString> name = listedName(false, index, &occurrence);
    if (!name || !handler)
        return 0;
    if (!serviceReachable())
        return 0;
    auto out = std::make_unique<Output>();
    out->handle = nextMidiHandle();
    out->handler = handler;
    out->instance = instance;
    try {
        out->midi = makeMidi<RtMidiOut>(api, client, out->trap);
        // By name: RtMidi's JACK output counts the ports again when it opens, and our
        // own input, made a moment ago in a slot another client freed, may now come
        // before the one listed.
        const std::optional<unsigned> number = portNumber(*out->midi, out->trap, *name, occurrence);
        if (!number) {
            qCWarning(lcMidi).noquote() << QStringLiteral("MIDI output \"%1\" is no longer there").arg(*name);
            return 0;
        }
        out->midi->openPort(*number, "out");
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
        d->in = makeMidi<RtMidiIn>(d->api, d->client, d->trap);
        d->in->getPortCount();
        if (!d->trap.clean())
            return fail(d->trap.lastText());
        // Then the output port: once the input port exists a request may arrive and be answered.
        auto out = makeMidi<RtMidiOut>(d->api, d->client, d->trap);
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
