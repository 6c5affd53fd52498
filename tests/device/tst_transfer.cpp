#include "common/scriptedmidibackend.h"
#include "device/miditransfer.h"
#include "device/simulatordevice.h"
#include "device/transferbackup.h"
#include "midi/compositemidibackend.h"
#include "midi/midievent.h"
#include "midi/virtualmidibackend.h"
#include "model/bankstore.h"

#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <cstring>

#include <mutex>

namespace {

// The transfer against the in-process simulator, as the dialog would drive it.
struct Rig
{
    std::shared_ptr<SimulatorDevice> device = std::make_shared<SimulatorDevice>();
    std::shared_ptr<VirtualMidiBackend> backend = std::make_shared<VirtualMidiBackend>();
    std::unique_ptr<MidiTransfer> transfer;
    std::mutex logMutex;
    QStringList log;

    Rig()
    {
        backend->addDevice(device);
        device->setLog([this](const QString &line) {
            std::lock_guard<std::mutex> lock(logMutex);
            log << line;
        });
        transfer = std::make_unique<MidiTransfer>(backend);
        // Write whatever differs; the backup rule has tests of its own.
        QObject::connect(transfer.get(), &MidiTransfer::confirmationNeeded, transfer.get(),
                         [this] { transfer->writeWithoutBackup(); });
    }
    ModuleSimulator::Counts counts()
    {
        return device->access([](ModuleSimulator &s) { return s.counts(); });
    }
    QStringList lines()
    {
        std::lock_guard<std::mutex> lock(logMutex);
        return log;
    }
    bool connect()
    {
        return transfer->connectPorts(0, 0) &&
               QTest::qWaitFor([&] { return transfer->connectionState() == MidiTransfer::Connected; }, 5000);
    }
    bool run(bool exportAll)
    {
        transfer->setExportMode(exportAll);
        // An event loop, not a polling wait: each of the 2048 round trips must not sleep.
        QSignalSpy completed(transfer.get(), &MidiTransfer::transferCompleted);
        return transfer->startTransfer() && (completed.size() > 0 || completed.wait(60000));
    }
    // Lets everything in flight arrive and be handled.
    void settle()
    {
        for (int i = 0; i < 3; ++i) {
            backend->flush();
            QCoreApplication::sendPostedEvents();
        }
    }
    void flush() { settle(); }
};

} // namespace

class TestTransfer : public QObject
{
    Q_OBJECT

private slots:
    void connectShowsTheIdentity()
    {
        Rig rig;
        rig.device->access([](ModuleSimulator &s) {
            s.setSerialNumber(123456789);
            s.setFirmwareVersion(642);
            return 0;
        });
        QSignalSpy states(rig.transfer.get(), &MidiTransfer::connectionStateChanged);
        QSignalSpy identities(rig.transfer.get(), &MidiTransfer::identityReceived);
        QVERIFY(!rig.transfer->startTransfer()); // not connected yet
        QVERIFY(rig.connect());
        QCOMPARE(states.size(), 2);
        QCOMPARE(states.at(0).at(0).toInt(), int(MidiTransfer::Connecting));
        QCOMPARE(states.at(1).at(0).toInt(), int(MidiTransfer::Connected));
        QCOMPARE(identities.size(), 1);
        QCOMPARE(rig.transfer->protocol().serialText(), QStringLiteral("586-638-764"));
        QCOMPARE(rig.transfer->protocol().versionText(), QStringLiteral("130.02"));
        QCOMPARE(rig.transfer->protocol().deviceText(), QStringLiteral("Orvex+ Sim"));

        rig.transfer->disconnectPorts();
        QCOMPARE(rig.transfer->connectionState(), MidiTransfer::Disconnected);
        QCOMPARE(rig.backend->openInputCount(), 0);
    }

    void failedOrUnansweredConnects()
    {
        Rig rig;
        QVERIFY(!rig.transfer->connectPorts(0, 3));
        QCOMPARE(rig.transfer->connectionState(), MidiTransfer::Disconnected);
        QVERIFY(!rig.transfer->connectPorts(-1, 0));
        rig.flush();
        QCOMPARE(rig.counts().identifyRequests, 0);

        rig.device->access([](ModuleSimulator &s) { return s.faults().dropReplies = 1; });
        QVERIFY(rig.transfer->connectPorts(0, 0));
        rig.flush();
        QCOMPARE(rig.counts().identifyRequests, 1);
        QCOMPARE(rig.transfer->connectionState(), MidiTransfer::Connecting);
        QVERIFY(!rig.transfer->startTransfer());
    }

    void fullImportFillsEveryBank()
    {
        Rig rig;
        QVERIFY(rig.connect());
        QSignalSpy progress(rig.transfer.get(), &MidiTransfer::progressChanged);
        QSignalSpy completed(rig.transfer.get(), &MidiTransfer::transferCompleted);
        QVERIFY(rig.run(false));
        QCOMPARE(completed.size(), 1);
        // Every preset once, then one of each bank again.
        QCOMPARE(rig.counts().presetRequests, 2048 + 16);
        QCOMPARE(rig.counts().presetWrites, 0);
        QCOMPARE(progress.size(), 2049);
        QCOMPARE(progress.last().at(0).toInt(), 2048);
        // Factory categories come back in the program's numbering, the rest as stored.
        const TransferBanks expected = ModuleSimulator::factoryProgramBanks();
        QVERIFY(rig.transfer->banks() == expected);
        for (int p = 0; p < 128; ++p)
            QCOMPARE(int(rig.transfer->banks().at(0, p)[128]),
                     rig.device->access([p](ModuleSimulator &s) { return int(s.image(0, p)[128]); }) + 2);
        QCOMPARE(rig.transfer->bank(), 0);
        QCOMPARE(rig.transfer->preset(), 0);
        QVERIFY(!rig.transfer->running());
    }

    void importIgnoresForeignAndGarbageMessages()
    {
        Rig rig;
        QVERIFY(rig.connect());
        rig.device->access([](ModuleSimulator &s) {
            s.faults().foreignMessages = 40;
            s.faults().garbageMessages = 40;
            return 0;
        });
        QVERIFY(rig.run(false));
        QVERIFY(rig.transfer->banks() == ModuleSimulator::factoryProgramBanks());
        QCOMPARE(rig.counts().presetRequests, 2048 + 16);
    }

    void exportOfMatchingBanksOnlyReads()
    {
        Rig rig;
        QVERIFY(rig.connect());
        rig.transfer->banks() = ModuleSimulator::factoryProgramBanks();
        QSignalSpy progress(rig.transfer.get(), &MidiTransfer::progressChanged);
        QVERIFY(rig.run(true));
        // The factory bank is read too (never written): a stray reply carrying one of its
        // presets then shows as a repeat.
        QCOMPARE(rig.counts().presetRequests, 2048 + 15 + 15);
        QCOMPARE(rig.counts().presetWrites, 0);
        QCOMPARE(rig.transfer->retryCount(), 0);
        QCOMPARE(progress.at(0).at(0).toInt(), 0);
        QCOMPARE(progress.at(1).at(0).toInt(), 1);
        QCOMPARE(progress.last().at(0).toInt(), 2048);
        QCOMPARE(rig.lines().first(), QStringLiteral("identify"));
        QCOMPARE(rig.lines().at(1), QStringLiteral("request bank 1 preset 1"));
    }

    void aDifferingPresetIsWrittenAndReadBack()
    {
        Rig rig;
        QVERIFY(rig.connect());
        TransferBanks local = ModuleSimulator::factoryProgramBanks();
        local.at(3, 5)[129] = 'Z';
        // The factory bank is never sent, whatever it holds.
        local.at(0, 0)[129] = 'Z';
        rig.transfer->banks() = local;
        QVERIFY(rig.run(true));
        QCOMPARE(rig.counts().presetRequests, 2048 + 15 + 1 + 15);
        QCOMPARE(rig.counts().presetWrites, 1);
        QCOMPARE(rig.transfer->retryCount(), 0);
        QCOMPARE(rig.transfer->writtenCount(), 1);
        // All of the module is read (and one preset per bank again) before the first write,
        // which is read back.
        const QStringList lines = rig.lines();
        const int at = lines.indexOf(QStringLiteral("write bank 4 preset 6"));
        QCOMPARE(at, 1 + 2048 + 15 + 1); // and the identify request that fences the reads
        QCOMPARE(lines.at(2048), QStringLiteral("request bank 16 preset 128"));
        QCOMPARE(lines.at(at + 1), QStringLiteral("request bank 4 preset 6"));
        QVERIFY(rig.transfer->moduleBanks().at(3, 5) == ModuleSimulator::factoryProgramBanks().at(3, 5));
        QVERIFY(rig.device->access([](ModuleSimulator &s) { return s.image(3, 5)[129] == 'Z'; }));
        QVERIFY(rig.device->access([](ModuleSimulator &s) { return s.image(0, 0)[129] != 'Z'; }));
    }

    // A module holding what the document cannot tell: an accented letter (0xEB) in an
    // author, parameters with bit 7 set, reserved bytes. Importing and exporting unchanged
    // writes nothing; a renamed preset is written with only its name replaced.
    void anExportChangesOnlyWhatTheUserChanged()
    {
        Rig rig;
        QVERIFY(rig.connect());
        TransferBanks module = ModuleSimulator::factoryProgramBanks();
        for (int b = 1; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; p += 3) {
                PresetImage &image = module.at(b, p);
                image[PresetImageLayout::AuthorOffset + 1] = 0xEB;
                image[7] |= 0x80;
                image[200] = uint8_t(p);
            }
        rig.device->access([&](ModuleSimulator &s) {
            s.setProgramBanks(module);
            return 0;
        });
        QVERIFY(rig.run(false));
        BankStore document;
        document.fromDump(rig.transfer->banks().data());
        QCOMPARE(document.at(2, 3).author.at(1), QChar(0xEB));

        for (bool renamed : {false, true}) {
            if (renamed)
                document.at(2, 3).name = QStringLiteral("Zoë's pad");
            document.toDump(rig.transfer->banks().data());
            rig.transfer->plan().setDocument(&document);
            rig.device->access([](ModuleSimulator &s) {
                s.resetCounts();
                return 0;
            });
            QVERIFY(rig.run(true));
            QCOMPARE(rig.counts().presetWrites, renamed ? 1 : 0);
            const TransferBanks after =
                rig.device->access([](ModuleSimulator &s) { return s.programBanks(); });
            PresetImage expected = module.at(2, 3);
            if (renamed) {
                std::fill_n(expected.begin() + PresetImageLayout::NameOffset, PresetImageLayout::TextLength,
                            0);
                std::memcpy(expected.data() + PresetImageLayout::NameOffset, "Zo 's pad", 9);
                QCOMPARE(rig.transfer->plan().changes(), std::vector<int>{2 * PresetsPerBank + 3});
                QCOMPARE(
                    TransferBackup::nameChanges(document, rig.transfer->banks(),
                                                rig.transfer->plan().changes()),
                    QStringList{QStringLiteral("Bank 3, preset 4: \"Zoë's pad\" becomes \"Zo 's pad\"")});
            }
            QVERIFY(after.at(2, 3) == expected);
            module.at(2, 3) = expected;
            QVERIFY(after == module);
        }
    }

    void writesThatReadBackWrongAreRepeated()
    {
        Rig rig;
        QVERIFY(rig.connect());
        TransferBanks local = ModuleSimulator::factoryProgramBanks();
        local.at(1, 0)[10] = 99;
        local.at(15, 127)[10] = 98;
        rig.transfer->banks() = local;
        // The first three writes of (1, 0) go wrong; the fourth and that of (15, 127) hold.
        rig.device->access([](ModuleSimulator &s) { return s.faults().badWrites = 3; });
        QVERIFY(rig.run(true));
        QCOMPARE(rig.transfer->retryCount(), 3);
        QCOMPARE(rig.counts().presetWrites, 5);
        QVERIFY(rig.device->access([](ModuleSimulator &s) { return s.programBanks(); }) == local);
    }

    void repliesOutsideATransferTouchNothing()
    {
        // A module that answers the identify request and otherwise only what the test sends.
        auto backend = std::make_shared<ScriptedMidiBackend>(1, 1);
        backend->setResponder([](int, const std::vector<uint8_t> &m) {
            std::vector<std::vector<uint8_t>> out;
            if (m == Sysex::identifyRequest())
                out.push_back(Sysex::identityReply(1, 1, "X"));
            else if (m.size() == 13)
                out.push_back(Sysex::presetData(PresetImage{}));
            return out;
        });
        MidiTransfer transfer(backend);
        auto settle = [&] {
            for (int i = 0; i < 3; ++i) {
                backend->flush();
                QCoreApplication::sendPostedEvents();
            }
        };
        PresetImage odd{};
        odd.fill(0x11);
        const std::vector<uint8_t> data = Sysex::presetData(odd);

        // Before the transfer.
        QVERIFY(transfer.connectPorts(0, 0));
        settle();
        QCOMPARE(transfer.connectionState(), MidiTransfer::Connected);
        transfer.setExportMode(true);
        backend->deliver(0, data);
        backend->deliver(0, Sysex::writeAck());
        settle();
        QCOMPARE(int(backend->received(0).size()), 1);
        QVERIFY(transfer.banks() == TransferBanks());

        // After the last preset of an export (every preset matched the empty images).
        QSignalSpy completed(&transfer, &MidiTransfer::transferCompleted);
        QVERIFY(transfer.startTransfer());
        QVERIFY(completed.wait(30000));
        settle();
        const std::size_t sent = backend->received(0).size();
        // Every preset alike: no spot check could tell a shift, so each preset that repeats
        // one read before is read again instead (the factory bank's too), then the two fences.
        QCOMPARE(int(sent), 1 + 2048 + 2048 + 1 + 1);
        backend->deliver(0, data);
        backend->deliver(0, Sysex::writeAck());
        backend->deliver(0, data);
        settle();
        QCOMPARE(backend->received(0).size(), sent);
        QVERIFY(transfer.banks() == TransferBanks());
        QCOMPARE(transfer.retryCount(), 0);

        // After an abandoned one.
        transfer.disconnectPorts();
        QVERIFY(transfer.connectPorts(0, 0));
        settle();
        transfer.setExportMode(false);
        backend->setResponder([](int, const std::vector<uint8_t> &m) {
            std::vector<std::vector<uint8_t>> out;
            if (m == Sysex::identifyRequest())
                out.push_back(Sysex::identityReply(1, 1, "X"));
            return out;
        });
        QVERIFY(transfer.startTransfer());
        transfer.disconnectPorts();
        QVERIFY(transfer.connectPorts(0, 0));
        settle();
        const std::size_t before = backend->received(0).size();
        backend->deliver(0, data);
        backend->deliver(0, Sysex::writeAck());
        settle();
        QCOMPARE(backend->received(0).size(), before);
        QVERIFY(transfer.banks() == TransferBanks());
    }

    void simulatorListedAfterTheOtherDevices()
    {
        auto device = std::make_shared<SimulatorDevice>();
        auto simulated = std::make_shared<VirtualMidiBackend>();
        simulated->addDevice(device);
        auto scripted = std::make_shared<ScriptedMidiBackend>(2, 1);
        CompositeMidiBackend both({scripted, simulated});
        QCOMPARE(both.inputDeviceName(1).value_or(QString()), QStringLiteral("Scripted In 1"));
        QCOMPARE(both.inputDeviceName(2).value_or(QString()), QStringLiteral("Orvex+ Simulator"));
        QVERIFY(!both.inputDeviceName(3));
        QCOMPARE(both.outputDeviceName(1).value_or(QString()), QStringLiteral("Orvex+ Simulator"));
        QVERIFY(!both.outputDeviceName(2));

        MidiTransfer transfer(std::make_shared<CompositeMidiBackend>(
            std::vector<std::shared_ptr<MidiBackend>>{scripted, simulated}));
        QSignalSpy identity(&transfer, &MidiTransfer::identityReceived);
        QVERIFY(transfer.connectPorts(2, 1));
        QVERIFY(identity.wait(5000));
        QCOMPARE(simulated->openInputCount(), 1);
        QCOMPARE(scripted->openInputCount(), 0);
        transfer.disconnectPorts();
        QCOMPARE(simulated->openInputCount(), 0);
        QCOMPARE(simulated->openOutputCount(), 0);
    }

    void anotherReceiverHandsEventsOn()
    {
        // The dialog receives the events itself and passes them on.
        struct Forwarder : QObject
        {
            MidiTransfer *transfer = nullptr;
            int seen = 0;
            bool event(QEvent *e) override
            {
                if (e->type() != QEvent::User)
                    return QObject::event(e);
                ++seen;
                transfer->handleMidiEvent(static_cast<MidiEvent *>(e));
                return true;
            }
        } forwarder;
        Rig rig;
        forwarder.transfer = rig.transfer.get();
        rig.transfer->setReceiver(&forwarder);
        QVERIFY(rig.connect());
        QCOMPARE(forwarder.seen, 1);
    }
};

QTEST_GUILESS_MAIN(TestTransfer)
#include "tst_transfer.moc"
