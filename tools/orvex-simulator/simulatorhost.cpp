#include "simulatorhost.h"

#include <QDateTime>

SimulatorHost::SimulatorHost(const QString &api, const QString &portName, std::FILE *log) : log(log)
{
    port = std::make_unique<RtMidiBackend::VirtualPort>(
        api, QStringLiteral("orvex-simulator"), portName,
        [this](const std::vector<uint8_t> &message) { onMessage(message); });
}

SimulatorHost::~SimulatorHost()
{
    close();
}

bool SimulatorHost::open(QString *error)
{
    sender = std::make_unique<MidiWorker>();
    return port->open(error);
}

void SimulatorHost::close()
{
    // Nothing may arrive while the sender goes, and nothing may be sent once the port is gone.
    if (port)
        port->stopReceiving();
    sender.reset();
    port.reset();
}

void SimulatorHost::onMessage(const std::vector<uint8_t> &message)
{
    std::vector<ModuleSimulator::Outgoing> replies;
    MidiWorker::Clock::time_point due{};
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (log) {
            std::fprintf(log, "%s %s\n",
                         qPrintable(QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz"))),
                         qPrintable(ModuleSimulator::describe(message)));
            std::fflush(log);
        }
        replies = sim.handleTimed(message);
        if (rate > 0) {
            // The request took its time on the wire before the module could answer, and
            // each reply takes its own.
            const auto now = MidiWorker::Clock::now();
            auto bytesTime = [this](std::size_t n) {
                return std::chrono::nanoseconds(int64_t(n) * 1000000000 / rate);
            };
            wireFree = std::max(wireFree, now) + bytesTime(message.size());
            due = wireFree;
            for (const auto &r : replies)
                wireFree += bytesTime(r.message.size());
        }
    }
    if (!sender)
        return;
    for (auto &r : replies) {
        auto *target = port.get();
        auto at = due;
        if (r.delayMs > 0)
            at = std::max(at, MidiWorker::Clock::now()) + std::chrono::milliseconds(r.delayMs);
        sender->post([target, m = std::move(r.message)] { target->send(m); }, at);
    }
}
