// The request link and the transfer plan each on their own: replies are handed in by
// the test, so every rule is driven step by step, with no port and no timing.
#include "common/planrig.h"
#include "common/scriptedmidibackend.h"
#include "device/requestlink.h"
#include "device/transferplan.h"

#include <QSignalSpy>
#include <QTest>

#include <functional>

namespace {

// The positions (bank * 128 + preset) set in `positions` as a mask.
SelectionMask maskOf(const std::vector<bool> &positions)
{
    SelectionMask mask;
    for (int i = 0; i < PresetCount; ++i)
        mask.set(i / PresetsPerBank, i % PresetsPerBank, positions[std::size_t(i)]);
    return mask;
}

// A link whose messages go nowhere; replies are fed in as received buffers.
struct LinkRig
{
    SysexProtocol sysex{std::make_shared<ScriptedMidiBackend>(1, 1)};
    RequestLink link{sysex};
    QSignalSpy answered{&link, &RequestLink::answered};
    QSignalSpy tooMany{&link, &RequestLink::replyTooMany};
    QSignalSpy unanswered{&link, &RequestLink::unanswered};

    void feed(const std::vector<uint8_t> &message)
    {
        auto buffer = std::make_unique<MidiBuffer>();
        buffer->data = message;
        buffer->data.resize(1024, 0);
        buffer->bytesRecorded = message.size();
        const Sysex::ReplyKind kind = sysex.handleReceived(std::move(buffer));
        link.handle(kind, sysex.lastWasForeign());
    }
};

using Step = std::function<void(LinkRig &)>;

const RequestLink::Request read12{RequestLink::Ask::Read, 1, 2};
const RequestLink::Request write12{RequestLink::Ask::Write, 1, 2};

} // namespace

class TestTransferCore : public QObject
{
    Q_OBJECT

private slots:
    // A reply no request waits for is a shift while a transfer runs, and nothing otherwise.
    void aReplyTooMany_data()
    {
        QTest::addColumn<bool>("guarded");
        QTest::addColumn<Step>("steps");
        QTest::addColumn<int>("answers");
        QTest::addColumn<int>("tooMany");
        const auto data = [](LinkRig &r) { r.feed(Sysex::presetData(PresetImage{})); };
        QTest::newRow("data after the answer") << true << Step([data](LinkRig &r) {
            r.link.send(read12);
            data(r);
            data(r);
        }) << 1 << 1;
        QTest::newRow("data while a write waits") << true << Step([data](LinkRig &r) {
            r.link.send(write12);
            data(r);
        }) << 0 << 1;
        QTest::newRow("data with no transfer") << false << Step([data](LinkRig &r) {
            r.link.send(read12);
            data(r);
            data(r);
        }) << 1 << 0;
        QTest::newRow("an acknowledgement twice") << true << Step([](LinkRig &r) {
            r.link.send(write12);
            r.feed(Sysex::writeAck());
            r.feed(Sysex::writeAck());
        }) << 1 << 0;
    }
    void aReplyTooMany()
    {
        QFETCH(bool, guarded);
        QFETCH(Step, steps);
        QFETCH(int, answers);
        QFETCH(int, tooMany);
        LinkRig rig;
        rig.link.setGuarded(guarded);
        steps(rig);
        QCOMPARE(rig.answered.size(), answers);
        QCOMPARE(rig.tooMany.size(), tooMany);
    }

    void damagedAndForeignRepliesAreNoAnswer()
    {
        LinkRig rig;
        QSignalSpy notes(&rig.link, &RequestLink::noted);
        rig.link.setQuietTime(20);
        rig.link.setResends(1);
        rig.link.setGuarded(true);
        rig.link.send(read12);
        std::vector<uint8_t> damaged = Sysex::presetData(PresetImage{});
        damaged[100] = 0x80;
        std::vector<uint8_t> foreign = Sysex::presetData(PresetImage{});
        foreign[4] = 0x03;
        rig.feed(foreign);
        rig.feed(damaged); // asked again at once
        rig.feed(damaged);
        QVERIFY(rig.unanswered.wait(2000));
        QCOMPARE(rig.answered.size(), 0);
        QCOMPARE(rig.tooMany.size(), 0);
        QVERIFY(rig.unanswered.first().at(1).toBool()); // only damaged data came
        QCOMPARE(notes.first().first().value<RequestLink::Note>(), RequestLink::Note::Foreign);
    }

    // No preset is written unless its backup was saved or the user chose to go without.
    void theBackupRule_data()
    {
        QTest::addColumn<int>("writer"); // 0 none, 1 saves, 2 fails
        QTest::addColumn<bool>("confirmWrites");
        QTest::newRow("backup saved") << 1 << true;
        QTest::newRow("backup failed") << 2 << false;
        QTest::newRow("no backup writer") << 0 << false;
    }
    void theBackupRule()
    {
        QFETCH(int, writer);
        QFETCH(bool, confirmWrites);
        PlanRig rig;
        int saves = 0;
        if (writer)
            rig.plan.setBackupWriter(
                [&](const TransferBanks &held, QString &, QString &error) {
                    ++saves;
                    error = QStringLiteral("disk full");
                    return writer == 1 && held.at(2, 5) == rig.module.at(2, 5);
                },
                QStringLiteral("/backups/b.pre"));
        rig.exportWithChanges(2);
        QCOMPARE(rig.plan.state(), TransferPlan::State::Confirming);
        QCOMPARE(rig.plan.changeCount(), 2);
        QCOMPARE(saves, writer ? 1 : 0);
        QCOMPARE(rig.plan.backupSaved(), writer == 1);
        QCOMPARE(rig.plan.confirmWrite(), confirmWrites);
        if (!confirmWrites) {
            QCOMPARE(rig.plan.state(), TransferPlan::State::Confirming);
            QVERIFY(rig.plan.writeWithoutBackup());
            QCOMPARE(rig.plan.withoutBackup(), true);
        }
        QCOMPARE(rig.plan.state(), TransferPlan::State::Writing);
        rig.runUntil();
        QCOMPARE(rig.plan.state(), TransferPlan::State::Done);
        QCOMPARE(rig.plan.writtenCount(), 2);
        QVERIFY(rig.module == rig.plan.banks());
    }

    void stopDuringTheLastChecksIsHonouredBeforeTheQuestion()
    {
        PlanRig rig;
        bool saved = false;
        rig.plan.setBackupWriter([&](const TransferBanks &, QString &, QString &) { return saved = true; },
                                 QStringLiteral("b"));
        QSignalSpy asked(&rig.plan, &TransferPlan::confirmationNeeded);
        rig.plan.banks() = rig.module;
        rig.plan.banks().at(4, 4)[0] ^= 0x40;
        rig.plan.setExportMode(true);
        QVERIFY(rig.plan.start());
        rig.runUntil([&] { return rig.plan.state() == TransferPlan::State::Settling; });
        rig.plan.stop();
        rig.answer(); // the fence's answer
        QCOMPARE(rig.plan.state(), TransferPlan::State::Stopped);
        QCOMPARE(rig.plan.stopReason(), TransferPlan::StopReason::ByUser);
        QCOMPARE(asked.size(), 0);
        QVERIFY(!saved);
        // Retry settles again and only then asks.
        QVERIFY(rig.plan.retry());
        rig.runUntil();
        QCOMPARE(asked.size(), 1);
        QVERIFY(saved);
    }

    void retryGivesAWriteItsFullTriesAndKeepsTheCounts()
    {
        PlanRig rig;
        rig.exportWithChanges(3);
        QVERIFY(rig.plan.writeWithoutBackup());
        // The first preset goes through; the second reads back wrong twice, then the module
        // goes quiet.
        rig.runUntil([&] { return rig.plan.writtenCount() == 1; });
        rig.refusedWrites = 2;
        rig.runUntil([&] { return rig.plan.writeTry() == 3; });
        rig.plan.onUnanswered(rig.link.current(), false);
        QCOMPARE(rig.plan.stopReason(), TransferPlan::StopReason::NoAnswer);
        QCOMPARE(rig.plan.writeRepeats(), 2);
        // A new pass: four bad read-backs still leave the fifth try.
        rig.refusedWrites = 4;
        QVERIFY(rig.plan.retry());
        rig.runUntil();
        QCOMPARE(rig.plan.state(), TransferPlan::State::Done);
        QCOMPARE(rig.plan.writtenCount(), 3);
        QCOMPARE(rig.plan.writeRepeats(), 6);
    }

    void retryInTheChecksGoesOnFromTheCheckItStoppedAt()
    {
        PlanRig rig;
        rig.plan.setExportMode(false);
        QVERIFY(rig.plan.start());
        rig.runUntil([&] { return rig.plan.state() == TransferPlan::State::Checking; });
        rig.answer();
        rig.answer();
        const int b = rig.plan.bank();
        rig.plan.onUnanswered(rig.link.current(), false);
        QCOMPARE(rig.plan.stopBank(), b);
        QVERIFY(rig.plan.stopBank() < BankCount);
        QVERIFY(rig.plan.retry());
        QCOMPARE(rig.plan.bank(), b);
        rig.runUntil();
        QCOMPARE(rig.plan.state(), TransferPlan::State::Done);
        QVERIFY(rig.plan.banks() == rig.module);
    }

    void aChosenSetLimitsTheWrites()
    {
        PlanRig rig;
        std::vector<bool> chosen(PresetCount, false);
        chosen[3 * PresetsPerBank + 5] = true;
        rig.plan.setChosen(maskOf(chosen));
        rig.exportWithChanges(3); // banks 3, 4 and 5 differ at preset 6
        QCOMPARE(rig.plan.changes(), std::vector<int>{3 * PresetsPerBank + 5});
    }

    // Only the chosen presets are read and checked; of their changes only those kept are
    // written, and the rest stay as the module holds them.
    void aChoiceIsAllThatIsReadAndKeptChangesAllThatIsWritten()
    {
        PlanRig rig;
        std::vector<bool> chosen(PresetCount, false);
        for (int p = 0; p < PresetsPerBank; ++p)
            chosen[4 * PresetsPerBank + p] = true; // bank 5
        chosen[9 * PresetsPerBank + 1] = true;
        rig.plan.setChosen(maskOf(chosen));
        rig.plan.banks() = rig.module;
        for (int p : {1, 2, 3})
            rig.plan.banks().at(4, p)[0] ^= 0x40;
        rig.plan.banks().at(6, 0)[0] ^= 0x40; // not chosen
        rig.plan.setExportMode(true);
        QVERIFY(rig.plan.start());
        int reads = 0;
        auto answerChecked = [&] {
            const RequestLink::Request r = rig.link.current();
            if (r.ask == RequestLink::Ask::Read) {
                ++reads;
                QVERIFY2(chosen[size_t(r.bank * PresetsPerBank + r.preset)], "read outside the choice");
            }
            rig.answer();
        };
        while (rig.plan.running() && rig.plan.state() != TransferPlan::State::Confirming)
            answerChecked();
        QCOMPARE(rig.plan.readTotal(), PresetsPerBank + 1);
        QCOMPARE(rig.plan.changeCount(), 3);
        std::vector<bool> keep(PresetCount, false);
        keep[4 * PresetsPerBank + 2] = true;
        rig.plan.keepChanges(keep);
        QCOMPARE(rig.plan.changes(), std::vector<int>{4 * PresetsPerBank + 2});
        const TransferBanks before = rig.module;
        QVERIFY(rig.plan.writeWithoutBackup());
        while (rig.plan.running())
            answerChecked();
        QCOMPARE(rig.plan.state(), TransferPlan::State::Done);
        QVERIFY(reads >= PresetsPerBank + 1);
        QCOMPARE(rig.plan.writtenCount(), 1);
        QVERIFY(rig.module.at(4, 2) != before.at(4, 2));
        QVERIFY(rig.module.at(4, 1) == before.at(4, 1));
        QVERIFY(rig.module.at(6, 0) == before.at(6, 0));
    }
};

QTEST_GUILESS_MAIN(TestTransferCore)
#include "tst_transfercore.moc"
