// The transfer rules against a module that loses, damages, delays, doubles or invents
// replies: every transfer either ends right or stops with a message, never hangs.
#include "common/transferrig.h"
#include "device/miditransfer.h"

#include <QEventLoop>
#include <QSignalSpy>
#include <QTest>

#include <cstring>
#include <functional>

namespace {

using Fault = std::function<void(ModuleSimulator::Faults &)>;

// Requests are counted by the module from 1: the identify request, then preset 0 of bank 0
// (or bank 1 for an export) is request 2; an export's first write is request 1937, after
// 1920 reads and 15 re-reads.
struct FaultRig : Rig
{
    std::unique_ptr<MidiTransfer> transfer = std::make_unique<MidiTransfer>(backend);
    QStringList log;

    FaultRig()
    {
        transfer->setQuietTime(50);
        QObject::connect(transfer.get(), &MidiTransfer::logLine, transfer.get(),
                         [this](const QString &line) { log << line; });
        QObject::connect(transfer.get(), &MidiTransfer::confirmationNeeded, transfer.get(),
                         [this] { transfer->writeWithoutBackup(); });
    }
    void fault(const Fault &f)
    {
        simulator->access([&f](ModuleSimulator &s) {
            f(s.faults());
            return 0;
        });
    }
    bool connect()
    {
        QSignalSpy identity(transfer.get(), &MidiTransfer::identityReceived);
        return transfer->connectPorts(simulatorIndex, simulatorIndex) && identity.wait(5000);
    }
    // Runs until the transfer completes (true) or stops (false).
    bool run(bool exportAll)
    {
        transfer->setExportMode(exportAll);
        return transfer->startTransfer() && finish();
    }
    bool finish()
    {
        // An event loop, not a polling wait: each round trip must not sleep.
        QEventLoop loop;
        bool completed = false;
        bool ended = false;
        QObject::connect(transfer.get(), &MidiTransfer::transferCompleted, &loop, [&] {
            completed = ended = true;
            loop.quit();
        });
        QObject::connect(transfer.get(), &MidiTransfer::transferStopped, &loop, [&] {
            ended = true;
            loop.quit();
        });
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        loop.exec();
        if (!ended)
            qFatal("the transfer neither completed nor stopped within 30 s");
        return completed;
    }
};

// What most modules hold: user banks full of "Init" with one pad at bank 4, preset 11.
TransferBanks mostlyInit(int padAt = 10)
{
    TransferBanks banks = ModuleSimulator::factoryProgramBanks();
    PresetImage init{};
    init[PresetImageLayout::CategoryOffset] = 1;
    std::memcpy(init.data() + PresetImageLayout::NameOffset, "Init", 4);
    for (int b = 1; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            banks.at(b, p) = init;
    PresetImage &pad = banks.at(3, padAt);
    std::memcpy(pad.data() + PresetImageLayout::NameOffset, "Pad", 4);
    pad[7] = 0x40;
    return banks;
}

TransferBanks withUserChange()
{
    TransferBanks local = ModuleSimulator::factoryProgramBanks();
    local.at(1, 0)[129] = 'W';
    return local;
}

} // namespace

class TestTransferFaults : public QObject
{
    Q_OBJECT

private slots:
    void lostDamagedAndLateRepliesAreSurvived_data()
    {
        QTest::addColumn<bool>("exportAll");
        QTest::addColumn<Fault>("fault");
        QTest::newRow("import, reply dropped") << false << Fault([](auto &f) { f.dropReplyTo = 10; });
        QTest::newRow("import, damaged data") << false << Fault([](auto &f) { f.wrongLengthData = 2; });
        // Answered after every resend went out: four answers for one request.
        QTest::newRow("import, late reply") << false << Fault([](auto &f) {
            f.lateReplyTo = 10;
            f.lateByMs = 250;
        });
        QTest::newRow("import, late reply after one resend") << false << Fault([](auto &f) {
            f.lateReplyTo = 300;
            f.lateByMs = 150;
        });
        QTest::newRow("export, acknowledgement dropped")
            << true << Fault([](auto &f) { f.dropReplyTo = 1937; });
        QTest::newRow("export, read-back late") << true << Fault([](auto &f) {
            f.lateReplyTo = 1938;
            f.lateByMs = 250;
        });
        QTest::newRow("import, foreign and garbage") << false << Fault([](auto &f) {
            f.foreignMessages = 30;
            f.garbageMessages = 30;
        });
    }
    void lostDamagedAndLateRepliesAreSurvived()
    {
        QFETCH(bool, exportAll);
        QFETCH(Fault, fault);
        FaultRig rig;
        rig.transfer->setQuietTime(100);
        QVERIFY(rig.connect());
        rig.fault(fault);
        if (exportAll)
            rig.transfer->banks() = withUserChange();
        QVERIFY2(rig.run(exportAll), qPrintable(rig.transfer->stopMessage()));
        QVERIFY(rig.transfer->transferDone());
        if (exportAll) {
            QVERIFY(rig.banks() == withUserChange());
            QCOMPARE(rig.transfer->writtenCount(), 1);
            QCOMPARE(rig.transfer->retryCount(), 0);
        } else {
            QVERIFY(rig.transfer->banks() == ModuleSimulator::factoryProgramBanks());
        }
    }

    void transfersThatCannotGoOnStopWithAMessage_data()
    {
        QTest::addColumn<bool>("exportAll");
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<int>("why");
        QTest::addColumn<QString>("message");
        const int noAnswer = int(MidiTransfer::StopReason::NoAnswer);
        const int outOfStep = int(MidiTransfer::StopReason::OutOfStep);
        QTest::newRow("silent") << false << Fault([](auto &f) { f.silentAfter = 9; }) << noAnswer
                                << QStringLiteral("The module stopped answering at bank 1, preset 9.");
        QTest::newRow("only damaged data")
            << false << Fault([](auto &f) { f.wrongLengthData = 1000; })
            << int(MidiTransfer::StopReason::OnlyDamaged)
            << QStringLiteral("The module sent only damaged replies at bank 1, preset 1.");
        QTest::newRow("write never taken")
            << true << Fault([](auto &f) { f.failWrites = true; })
            << int(MidiTransfer::StopReason::WriteRefused)
            << QStringLiteral("Bank 2, preset 1 did not take the write 5 times and may now hold a damaged "
                              "preset. 0 presets were written and read back right.");
        QTest::newRow("reply twice") << false << Fault([](auto &f) { f.doubleReplyTo = 40; }) << outOfStep
                                     << QString();
        QTest::newRow("unasked reply")
            << false << Fault([](auto &f) { f.unaskedAfter = 700; }) << outOfStep << QString();
        QTest::newRow("reply twice in export")
            << true << Fault([](auto &f) { f.doubleReplyTo = 500; }) << outOfStep << QString();
    }
    void transfersThatCannotGoOnStopWithAMessage()
    {
        QFETCH(bool, exportAll);
        QFETCH(Fault, fault);
        QFETCH(int, why);
        QFETCH(QString, message);
        const int outOfStep = int(MidiTransfer::StopReason::OutOfStep);
        FaultRig rig;
        QVERIFY(rig.connect());
        rig.fault(fault);
        if (exportAll)
            rig.transfer->banks() = withUserChange();
        QVERIFY(!rig.run(exportAll));
        QCOMPARE(int(rig.transfer->stopReason()), why);
        QVERIFY(!rig.transfer->transferDone());
        QVERIFY(!rig.transfer->running());
        QVERIFY(rig.transfer->canRetry());
        if (!message.isEmpty())
            QCOMPARE(rig.transfer->stopMessage(), message);
        QCOMPARE(rig.log.last(), rig.transfer->stopMessage());
        if (why == int(MidiTransfer::StopReason::WriteRefused))
            QCOMPARE(rig.counts().presetWrites, MidiTransfer::MaxWrites);
        if (why == outOfStep && exportAll) // caught while reading, before anything was written
            QCOMPARE(rig.counts().presetWrites, 0);
        // Nothing more goes out once it has stopped.
        rig.backend->flush();
        const int requests = rig.counts().requests;
        QTest::qWait(150);
        QCOMPARE(rig.counts().requests, requests);
    }

    // A reply sent twice shifts every later answer by one; with equal presets every
    // comparison still passes, so only the reply too many can tell.
    void aShiftIsCaughtWhereContentRepeats_data()
    {
        QTest::addColumn<bool>("exportAll");
        QTest::addColumn<int>("doubled"); // request whose reply comes twice; 0: see below
        QTest::addColumn<int>(
            "afterWrite"); // export: the reply doubled is this many requests after the question
        QTest::addColumn<int>("written");
        QTest::newRow("export, a read early on") << true << 100 << 0 << 0;
        QTest::newRow("export, the last read") << true << 1921 << 0 << 0;
        QTest::newRow("import, a read early on") << false << 100 << 0 << 0;
        QTest::newRow("import, the last read") << false << 2049 << 0 << 0;
        QTest::newRow("export, the first read-back") << true << 0 << 2 << 1;
    }
    void aShiftIsCaughtWhereContentRepeats()
    {
        QFETCH(bool, exportAll);
        QFETCH(int, doubled);
        QFETCH(int, afterWrite);
        QFETCH(int, written);
        FaultRig rig;
        rig.simulator->access([](ModuleSimulator &s) {
            s.setProgramBanks(mostlyInit());
            return 0;
        });
        const TransferBanks before = rig.banks();
        QVERIFY(rig.connect());
        rig.fault([doubled](auto &f) { f.doubleReplyTo = doubled; });
        // The file moves the pad one slot down: exactly what a shifted read would show.
        rig.transfer->banks() = mostlyInit(11);
        int asked = 0;
        QObject::disconnect(rig.transfer.get(), &MidiTransfer::confirmationNeeded, nullptr, nullptr);
        QObject::connect(rig.transfer.get(), &MidiTransfer::confirmationNeeded, rig.transfer.get(), [&] {
            ++asked;
            rig.backend->flush();
            const int requests = rig.counts().requests;
            if (afterWrite)
                rig.fault([=](auto &f) { f.doubleReplyTo = requests + afterWrite; });
            rig.transfer->writeWithoutBackup();
        });
        QVERIFY(!rig.run(exportAll));
        QCOMPARE(int(rig.transfer->stopReason()), int(MidiTransfer::StopReason::OutOfStep));
        QVERIFY(!rig.transfer->transferDone());
        QVERIFY(rig.transfer->canRetry());
        QVERIFY2(
            rig.transfer->stopMessage().startsWith(QStringLiteral("The module's replies went out of step")),
            qPrintable(rig.transfer->stopMessage()));
        QCOMPARE(rig.transfer->writtenCount(), written);
        // Before any write: never asked, so no backup of shifted data and nothing written.
        QCOMPARE(asked, afterWrite ? 1 : 0);
        if (!afterWrite)
            QVERIFY(rig.banks() == before);
        if (written)
            QVERIFY(rig.transfer->stopMessage().contains(
                QStringLiteral("Export again to be sure of what the module holds.")));

        // Retry starts over and, without the fault, gets it right.
        rig.fault([](auto &f) { f.doubleReplyTo = 0; });
        QObject::disconnect(rig.transfer.get(), &MidiTransfer::confirmationNeeded, nullptr, nullptr);
        QObject::connect(rig.transfer.get(), &MidiTransfer::confirmationNeeded, rig.transfer.get(),
                         [&rig] { rig.transfer->writeWithoutBackup(); });
        QVERIFY(rig.transfer->retry());
        QVERIFY2(rig.finish(), qPrintable(rig.transfer->stopMessage()));
        if (exportAll)
            QVERIFY(rig.banks() == mostlyInit(11));
        else
            QVERIFY(rig.transfer->banks() == before);
        // A write of the run that went out of step still counts. (Where it stopped after the
        // first write, the second had gone out unverified; the new run finds it in place.)
        QCOMPARE(rig.transfer->writtenCount(), !exportAll ? 0 : written ? 1 : 2);
    }

    void checksPickPresetsAShiftWouldChange_data()
    {
        QTest::addColumn<int>("padAt");
        QTest::addColumn<QList<int>>("allowed"); // for bank 4; other user banks are all alike
        QTest::newRow("pad inside the bank") << 10 << QList<int>{10, 11};
        QTest::newRow("pad first in the bank") << 0 << QList<int>{0, 1};
        QTest::newRow("pad last in the bank") << 127 << QList<int>{127};
    }
    void checksPickPresetsAShiftWouldChange()
    {
        QFETCH(int, padAt);
        QFETCH(QList<int>, allowed);
        const TransferBanks content = mostlyInit(padAt);
        for (unsigned seed = 1; seed < 40; ++seed) {
            std::mt19937 random(seed);
            const std::vector<int> picked = TransferPlan::pickChecks(content, 1, random);
            QCOMPARE(int(picked.size()), 15);
            for (int b = 1; b < BankCount; ++b) {
                const int p = picked[b - 1];
                if (b == 3)
                    QVERIFY2(allowed.contains(p), qPrintable(QString::number(p)));
                else if (b == 4 && padAt == 127)
                    QCOMPARE(p, 0); // the bank's first preset follows the pad
                else
                    QCOMPARE(p, -1);
            }
        }
        // Where every preset differs, each check also differs from the check before it.
        const TransferBanks factory = ModuleSimulator::factoryProgramBanks();
        std::mt19937 random(7);
        const std::vector<int> picked = TransferPlan::pickChecks(factory, 0, random);
        for (int b = 0; b < BankCount; ++b) {
            QVERIFY(picked[b] >= (b == 0 ? 1 : 0));
            if (b > 0)
                QVERIFY(factory.at(b, picked[b]) != factory.at(b - 1, picked[b - 1]));
        }
    }

    void retryGoesOnWhereItStopped()
    {
        FaultRig rig;
        QVERIFY(rig.connect());
        rig.fault([](auto &f) { f.silentAfter = 9; });
        QVERIFY(!rig.run(false));
        QCOMPARE(rig.transfer->progress(), 8);
        rig.fault([](auto &f) { f.silentAfter = 0; });
        QVERIFY(rig.transfer->retry());
        QVERIFY(rig.finish());
        QVERIFY(rig.transfer->banks() == ModuleSimulator::factoryProgramBanks());
        // The unanswered request went out four times and once more on Retry; nothing else twice.
        QCOMPARE(rig.counts().presetRequests, 2048 + 4 + 16);
        QVERIFY(!rig.transfer->retry());
    }

    void stopEndsAtTheNextReply()
    {
        FaultRig rig;
        QVERIFY(rig.connect());
        QObject::connect(rig.transfer.get(), &MidiTransfer::progressChanged, rig.transfer.get(),
                         [&rig](int value) {
                             if (value == 300)
                                 rig.transfer->stop();
                         });
        QVERIFY(!rig.run(false));
        QCOMPARE(int(rig.transfer->stopReason()), int(MidiTransfer::StopReason::ByUser));
        QCOMPARE(rig.transfer->stopMessage(), QStringLiteral("Stopped at bank 3, preset 45."));
        QCOMPARE(rig.counts().presetRequests, 300);
    }

    void exportAsksBeforeWritingAndCancelWritesNothing()
    {
        FaultRig rig;
        QVERIFY(rig.connect());
        QObject::disconnect(rig.transfer.get(), &MidiTransfer::confirmationNeeded, nullptr, nullptr);
        QSignalSpy asked(rig.transfer.get(), &MidiTransfer::confirmationNeeded);
        TransferBanks local = withUserChange();
        local.at(15, 127)[0] ^= 1;
        rig.transfer->banks() = local;
        rig.transfer->setExportMode(true);
        QVERIFY(rig.transfer->startTransfer());
        QVERIFY(asked.wait(10000));
        QCOMPARE(asked.first().first().toInt(), 2);
        QVERIFY(rig.transfer->moduleBanks().at(5, 5) == ModuleSimulator::factoryProgramBanks().at(5, 5));
        rig.transfer->cancelWrite();
        QCOMPARE(int(rig.transfer->stopReason()), int(MidiTransfer::StopReason::Cancelled));
        QVERIFY(!rig.transfer->canRetry());
        QCOMPARE(rig.counts().presetWrites, 0);
        QVERIFY(rig.banks() == ModuleSimulator::factoryProgramBanks());
    }

    void anUnansweredConnectGivesUp()
    {
        FaultRig rig;
        rig.fault([](auto &f) { f.dropReplies = 4; });
        QSignalSpy failed(rig.transfer.get(), &MidiTransfer::connectFailed);
        QVERIFY(rig.transfer->connectPorts(rig.simulatorIndex, rig.simulatorIndex));
        QVERIFY(failed.wait(5000));
        QCOMPARE(rig.transfer->connectionState(), MidiTransfer::Disconnected);
        QCOMPARE(rig.counts().identifyRequests, 4);
        QCOMPARE(rig.backend->openInputCount(), 0);
    }

    void faultsFromText()
    {
        ModuleSimulator sim;
        QVERIFY(sim.applyFaults(
            QStringLiteral("drop-reply=3, late-reply=7,late-by=20,fail-writes,silent-after=9")));
        QCOMPARE(sim.faults().dropReplyTo, 3);
        QCOMPARE(sim.faults().lateReplyTo, 7);
        QCOMPARE(sim.faults().lateByMs, 20);
        QCOMPARE(sim.faults().silentAfter, 9);
        QVERIFY(sim.faults().failWrites);
        QString bad;
        for (const char *text : {"drop-reply=x", "late-by=-1", "fail-writes=1", "nonsense", "double-reply"}) {
            ModuleSimulator fresh;
            QVERIFY2(!fresh.applyFaults(QString::fromLatin1(text) + QStringLiteral(",unasked-after=4"), &bad),
                     text);
            QCOMPARE(bad, QString::fromLatin1(text));
            QCOMPARE(fresh.faults().unaskedAfter, 0); // nothing is set from a bad text
        }
    }

    void whileWaitingTheStatusSaysWhatFor()
    {
        FaultRig rig;
        QVERIFY(rig.connect());
        rig.fault([](auto &f) { f.dropReplyTo = 20; });
        QStringList seen;
        QObject::connect(rig.transfer.get(), &MidiTransfer::waitingChanged, rig.transfer.get(),
                         [&] { seen << rig.transfer->positionText(); });
        QVERIFY(rig.run(false));
        QVERIFY2(!seen.isEmpty() &&
                     seen.first().startsWith(QStringLiteral(
                         "Bank 1 · preset 19 of 128 · bank 1, preset 19 did not answer; asking again in ")),
                 qPrintable(seen.join(QLatin1Char('\n'))));
    }

    void theSimulatorKeepsItsFactoryBank()
    {
        // So a transfer that wrote bank 1 by mistake fails its read-back in every test.
        ModuleSimulator sim;
        const PresetImage before = sim.image(0, 3);
        PresetImage other = before;
        other[0] ^= 1;
        const std::vector<uint8_t> write = Sysex::presetWrite(3, 0, other);
        QCOMPARE(int(sim.handle(write).size()), 1); // acknowledged all the same
        QVERIFY(sim.image(0, 3) == before);
        QCOMPARE(sim.counts().factoryWritesRefused, 1);
        QVERIFY(ModuleSimulator::describe(write).contains(QStringLiteral("refused")));
    }

    void positionTextEstimatesTheTimeLeft()
    {
        FaultRig rig;
        QVERIFY(rig.connect());
        // About 1.7 ms a preset on the wire: some 3 s for the rest of the import.
        rig.simulator->setByteRate(200000);
        QString seen;
        QObject::connect(rig.transfer.get(), &MidiTransfer::progressChanged, rig.transfer.get(),
                         [&](int value) {
                             if (value == 3 * 128 + 16) {
                                 seen = rig.transfer->positionText();
                                 rig.transfer->stop();
                             }
                         });
        QVERIFY(!rig.run(false));
        const QString prefix = QStringLiteral("Bank 4 · preset 17 of 128 · about 0:");
        QVERIFY2(seen.startsWith(prefix) && seen.endsWith(QStringLiteral(" left")), qPrintable(seen));
        const int seconds = seen.mid(prefix.size(), 2).toInt();
        QVERIFY2(seconds >= 1 && seconds < 30, qPrintable(seen));
    }
};

QTEST_GUILESS_MAIN(TestTransferFaults)
#include "tst_transferfaults.moc"
