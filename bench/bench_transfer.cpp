#include "bench/benchmark.h"

#include "device/simulatordevice.h"
#include "dialogs/transferdialog.h"
#include "midi/virtualmidibackend.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// The transfer dialog connected to the in-process simulator with no pacing: what the
// program adds to the wire time of one transfer (port layer, backend thread, posted
// events, the state machine and the dialog's progress bar).
class DialogRig
{
public:
    DialogRig() { backend->addDevice(device); }

    // A fresh, connected dialog; the module holds its factory banks.
    bool prepare(bool exportAll)
    {
        device->access([](ModuleSimulator &s) {
            s.resetToFactory();
            s.resetCounts();
            return 0;
        });
        dialog = std::make_unique<TransferDialog>(backend);
        // The export's backup goes to a scratch folder, and its question is answered at once.
        dialog->setBackupFile(scratch.filePath(QStringLiteral("backup.pre")));
        QObject::connect(&dialog->transfer(), &MidiTransfer::confirmationNeeded, &dialog->transfer(),
                         &MidiTransfer::confirmWrite, Qt::QueuedConnection);
        dialog->fillPortLists();
        dialog->setMode(exportAll);
        if (exportAll) {
            // Every user preset differs: each costs request, write, acknowledgement, read-back.
            TransferBanks &banks = dialog->transferBanks();
            banks = ModuleSimulator::factoryProgramBanks();
            for (int b = FirstUserBank; b < BankCount; ++b)
                for (int p = 0; p < PresetsPerBank; ++p)
                    banks.at(b, p)[0] ^= 0x01;
        }
        QEventLoop loop;
        QObject::connect(&dialog->transfer(), &MidiTransfer::identityReceived, &loop, &QEventLoop::quit);
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        dialog->toggleConnection();
        loop.exec();
        return dialog->connectionState() == MidiTransfer::Connected;
    }

    // Transfer pressed until the last preset is through; the dialog's closing steps after
    // that are timers, not work.
    bool run()
    {
        QEventLoop loop;
        QObject::connect(&dialog->transfer(), &MidiTransfer::transferCompleted, &loop, &QEventLoop::quit);
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        dialog->Transfer();
        loop.exec();
        return dialog->transferDone();
    }

    ModuleSimulator::Counts counts()
    {
        return device->access([](ModuleSimulator &s) { return s.counts(); });
    }

private:
    std::shared_ptr<SimulatorDevice> device = std::make_shared<SimulatorDevice>();
    std::shared_ptr<VirtualMidiBackend> backend = std::make_shared<VirtualMidiBackend>();
    std::unique_ptr<TransferDialog> dialog;
    QTemporaryDir scratch;
};

void reportTransfer(const QString &name, bool exportAll, int presets)
{
    DialogRig rig;
    std::vector<double> times;
    ModuleSimulator::Counts counts;
    for (int i = 0; i < 7; ++i) {
        if (!rig.prepare(exportAll)) {
            std::printf("  %s: the dialog did not connect\n", qPrintable(name));
            return;
        }
        QElapsedTimer t;
        t.start();
        const bool done = rig.run();
        times.push_back(t.nsecsElapsed() / 1e6);
        if (!done) {
            std::printf("  %s: the transfer did not complete\n", qPrintable(name));
            return;
        }
        counts = rig.counts();
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    // The reads beyond one per preset and one per write: what checking the replies costs.
    const int checkReads = counts.presetRequests - presets - counts.presetWrites;
    benchPrint(name, median,
               QStringLiteral("%1 us per preset (%2 presets, %3 writes); %4 requests, %5 of them "
                              "check reads (%6 %)")
                   .arg(1000.0 * median / presets, 0, 'f', 1)
                   .arg(presets)
                   .arg(counts.presetWrites)
                   .arg(counts.requests)
                   .arg(checkReads)
                   .arg(100.0 * checkReads / std::max(1, counts.requests), 0, 'f', 1));
}

} // namespace

ORVEX_BENCH(transfer)
{
    return {
        BenchCase{"dialog import, 2048 presets, no pacing", nullptr, nullptr, QString(), 1,
                  [] {
                      reportTransfer(QStringLiteral("dialog import, 2048 presets, no pacing"), false,
                                     PresetCount);
                  }},
        BenchCase{"dialog export, 1920 differing, no pacing", nullptr, nullptr, QString(), 1,
                  [] {
                      reportTransfer(QStringLiteral("dialog export, 1920 differing, no pacing"), true,
                                     PresetCount - PresetsPerBank);
                  }},
    };
}
