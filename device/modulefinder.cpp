#include "device/modulefinder.h"

#include "midi/midievent.h"
#include "midi/midiport.h"

#include <algorithm>

// One input that listens: each buffer it fills comes to it as a MidiEvent, so the
// finder knows which input a reply came in on.
class ModuleFinder::Listener : public QObject
{
public:
    Listener(ModuleFinder *finder, int input) : finder(finder), input(input), port(finder->midi)
    {
        port.setReceiver(this);
    }
    bool open() { return port.openInputOnly(input); }

    bool event(QEvent *e) override
    {
        if (e->type() != MidiEvent::Type)
            return QObject::event(e);
        MidiBufferPtr buffer = static_cast<MidiEvent *>(e)->takeBuffer();
        port.queueInputBuffer();
        if (buffer && buffer->bytesRecorded > 0) {
            const Sysex::Reply reply =
                Sysex::parseReply(buffer->data.data(), std::min(buffer->bytesRecorded, buffer->data.size()));
            if (reply.kind == Sysex::ReplyKind::Identity)
                finder->heard(input, reply.identity);
        }
        return true;
    }

    ModuleFinder *finder;
    int input;
    MidiPort port;
};

ModuleFinder::ModuleFinder(std::shared_ptr<MidiBackend> backend, QObject *parent)
    : QObject(parent), midi(std::move(backend))
{
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, &ModuleFinder::timeUp);
}

ModuleFinder::~ModuleFinder()
{
    closeAll();
}

std::vector<int> ModuleFinder::outputsByLikeness(const QString &inputName, const QStringList &outputs)
{
    auto likeness = [&inputName](const QString &name) {
        if (name.compare(inputName, Qt::CaseInsensitive) == 0)
            return int(name.size()) + 1;
        int n = 0;
        while (n < name.size() && n < inputName.size() && name.at(n).toLower() == inputName.at(n).toLower())
            ++n;
        return n;
    };
    std::vector<int> order(size_t(outputs.size()));
    for (int i = 0; i < outputs.size(); ++i)
        order[size_t(i)] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return likeness(outputs.at(a)) > likeness(outputs.at(b)); });
    return order;
}

bool ModuleFinder::start(const QStringList &inputs, const QStringList &outputs)
{
    cancel();
    inNames = inputs;
    outNames = outputs;
    answered.clear();
    pairs.clear();
    lonelyInputs.clear();
    for (int i = 0; i < inputs.size(); ++i) {
        auto listener = std::make_unique<Listener>(this, i);
        if (listener->open())
            listeners.push_back(std::move(listener));
    }
    bool anySender = false;
    senders.resize(size_t(outputs.size()));
    for (int o = 0; o < outputs.size(); ++o) {
        auto port = std::make_unique<MidiPort>(midi);
        if (port->openOutputOnly(o)) {
            senders[size_t(o)] = std::move(port);
            anySender = true;
        }
    }
    if (listeners.empty() || !anySender) {
        closeAll();
        return false;
    }
    phase = Phase::Listening;
    for (const auto &port : senders)
        if (port)
            port->sendSysex(Sysex::identifyRequest());
    timer.start(listenMs);
    return true;
}

void ModuleFinder::cancel()
{
    timer.stop();
    closeAll();
    phase = Phase::Idle;
}

void ModuleFinder::closeAll()
{
    // Closed before they go, so no event is posted to a listener being destroyed.
    for (auto &listener : listeners)
        listener->port.closePorts();
    listeners.clear();
    senders.clear();
}

void ModuleFinder::heard(int input, const Sysex::Identity &identity)
{
    if (phase == Phase::Listening) {
        const bool known = std::any_of(answered.begin(), answered.end(),
                                       [input](const auto &a) { return a.first == input; });
        if (!known)
            answered.emplace_back(input, identity);
        return;
    }
    if (phase != Phase::Pairing || pairing >= answered.size() || input != answered[pairing].first)
        return;
    pairs.push_back({input, probing, identity});
    timer.stop();
    ++pairing;
    ordered = false;
    nextProbe();
}

void ModuleFinder::timeUp()
{
    if (phase == Phase::Listening) {
        std::sort(answered.begin(), answered.end(),
                  [](const auto &a, const auto &b) { return a.first < b.first; });
        phase = Phase::Pairing;
        pairing = 0;
        ordered = false;
        nextProbe();
        return;
    }
    if (phase == Phase::Pairing)
        nextProbe();
}

void ModuleFinder::nextProbe()
{
    while (pairing < answered.size()) {
        if (!ordered) {
            ordered = true;
            toTry.clear();
            // Outputs already paired with another input come last: one module per pair.
            const int input = answered[pairing].first;
            std::vector<int> order = outputsByLikeness(inNames.value(input), outNames);
            std::stable_partition(order.begin(), order.end(), [this](int o) {
                return std::none_of(pairs.begin(), pairs.end(),
                                    [o](const Found &f) { return f.output == o; });
            });
            for (int o : order)
                if (senders[size_t(o)])
                    toTry.push_back(o);
            std::reverse(toTry.begin(), toTry.end());
        }
        if (!toTry.empty()) {
            probing = toTry.back();
            toTry.pop_back();
            senders[size_t(probing)]->sendSysex(Sysex::identifyRequest());
            timer.start(listenMs);
            return;
        }
        // Every output tried and none answered on this input.
        lonelyInputs.push_back(answered[pairing].first);
        ++pairing;
        ordered = false;
    }
    finish();
}

void ModuleFinder::finish()
{
    timer.stop();
    closeAll();
    phase = Phase::Idle;
    probing = -1;
    emit finished();
}
