#include "bench/benchmark.h"

#include "device/miditransfer.h"
#include "device/simulatordevice.h"
#include "midi/virtualmidibackend.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <memory>

namespace {

// The transfer against the in-process simulator with no pacing: MidiPort, the virtual
// backend's thread, posted MidiEvents and the state machine, as the dialog runs it.
struct ImportRig
{
    std::shared_ptr<SimulatorDevice> device = std::make_shared<SimulatorDevice>();
    std::shared_ptr<VirtualMidiBackend> backend = std::make_shared<VirtualMidiBackend>();
    std::unique_ptr<MidiTransfer> transfer;

    ImportRig()
    {
        backend->addDevice(device);
        transfer = std::make_unique<MidiTransfer>(backend);
        QEventLoop loop;
        QObject::connect(transfer.get(), &MidiTransfer::identityReceived, &loop, &QEventLoop::quit);
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        if (transfer->connectPorts(0, 0))
            loop.exec();
    }
    bool import()
    {
        QEventLoop loop;
        QObject::connect(transfer.get(), &MidiTransfer::transferCompleted, &loop, &QEventLoop::quit);
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        transfer->setExportMode(false);
        if (!transfer->startTransfer())
            return false;
        loop.exec();
        return transfer->transferDone();
    }
};

} // namespace

ORVEX_BENCH(midi)
{
    auto rig = std::make_shared<ImportRig>();
    return {
        BenchCase{"MIDI import, 2048 presets (goal <= 250 ms)",
                  [rig] {
                      if (!rig->import())
                          std::printf("  the import did not complete\n");
                  },
                  nullptr, QString(), 7},
        BenchCase{"MIDI import, one reply lost and one late (quiet 100 ms)", nullptr, nullptr, QString(), 1,
                  [] {
                      // The fault path: one quiet time to resend the lost request, one
                      // for the late reply and its settling; the rest as fast as ever.
                      ImportRig faulty;
                      faulty.transfer->setQuietTime(100);
                      faulty.device->access([](ModuleSimulator &s) {
                          s.faults().dropReplyTo = 200;
                          s.faults().lateReplyTo = 1000;
                          s.faults().lateByMs = 150;
                          return 0;
                      });
                      QElapsedTimer t;
                      t.start();
                      const bool done = faulty.import();
                      benchPrint(QStringLiteral("MIDI import, one reply lost and one late (quiet 100 ms)"),
                                 t.nsecsElapsed() / 1e6,
                                 done ? QStringLiteral("%1 resends").arg(faulty.transfer->resendCount())
                                      : QStringLiteral("did not complete"));
                  }},
        BenchCase{"MIDI import at DIN pacing (computed)", nullptr, nullptr, QString(), 1,
                  [] {
                      // What the wire needs for the same import at 31,250 baud.
                      ImportRig counted;
                      counted.device->access([](ModuleSimulator &s) {
                          s.resetCounts();
                          return 0;
                      });
                      counted.import();
                      const ModuleSimulator::Counts c =
                          counted.device->access([](ModuleSimulator &s) { return s.counts(); });
                      const long long bytes = c.bytesIn + c.bytesOut;
                      benchPrint(QStringLiteral("MIDI import at DIN pacing (computed)"),
                                 1000.0 * double(bytes) / ModuleSimulator::DinByteRate,
                                 QStringLiteral("%1 bytes at %2 bytes/s, not run")
                                     .arg(bytes)
                                     .arg(ModuleSimulator::DinByteRate));
                  }},
    };
}
