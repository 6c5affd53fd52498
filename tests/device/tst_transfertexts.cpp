// The words of a transfer in German: every log line, stop message and status a run can
// produce comes from the catalogue, never half English.
#include "common/germancatalogue.h"
#include "common/planrig.h"
#include "common/transferrig.h"
#include "device/miditransfer.h"
#include "device/transfertexts.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

namespace {

using Scenario = std::function<void(PlanRig &)>;

void exportToTheQuestion(PlanRig &rig, int changes, bool backup)
{
    if (backup)
        rig.plan.setBackupWriter([](const TransferBanks &, QString &, QString &) { return true; },
                                 QStringLiteral("/tmp/backup.pre"));
    else
        rig.plan.setBackupWriter(
            [](const TransferBanks &, QString &, QString &why) {
                why = QStringLiteral("disk full");
                return false;
            },
            QStringLiteral("/tmp/backup.pre"));
    rig.exportWithChanges(changes);
}

} // namespace

Q_DECLARE_METATYPE(Scenario)

class TestTransferTexts : public QObject
{
    Q_OBJECT

private slots:
    void everyTextOfARunIsGerman_data()
    {
        QTest::addColumn<Scenario>("scenario");
        QTest::newRow("import, no answer") << Scenario([](PlanRig &r) {
            QVERIFY(r.plan.start());
            r.plan.onUnanswered(r.link.current(), false);
        });
        QTest::newRow("import, only damaged") << Scenario([](PlanRig &r) {
            QVERIFY(r.plan.start());
            r.plan.onUnanswered(r.link.current(), true);
        });
        QTest::newRow("import, reply too many") << Scenario([](PlanRig &r) {
            QVERIFY(r.plan.start());
            r.plan.onReplyTooMany();
        });
        QTest::newRow("import, a check reads differently") << Scenario([](PlanRig &r) {
            QVERIFY(r.plan.start());
            r.runUntil([&] { return r.plan.state() == TransferPlan::State::Checking; });
            const RequestLink::Request at = r.link.current();
            r.module.at(at.bank, at.preset)[0] ^= 0x40;
            r.answer();
        });
        QTest::newRow("import, stopped") << Scenario([](PlanRig &r) {
            QVERIFY(r.plan.start());
            r.plan.stop();
            r.answer();
        });
        QTest::newRow("import, resending") << Scenario([](PlanRig &r) {
            r.link.setQuietTime(5);
            QSignalSpy unanswered(&r.link, &RequestLink::unanswered);
            QVERIFY(r.plan.start());
            QVERIFY(unanswered.wait(10000));
            r.plan.onUnanswered(r.link.current(), false);
        });
        QTest::newRow("export, cancelled at the question") << Scenario([](PlanRig &r) {
            exportToTheQuestion(r, 2, false);
            r.plan.cancelWrite();
        });
        QTest::newRow("export, a write refused after one went through") << Scenario([](PlanRig &r) {
            exportToTheQuestion(r, 3, false);
            QVERIFY(r.plan.writeWithoutBackup());
            r.runUntil([&] { return r.plan.writtenCount() == 1; });
            r.refusedWrites = TransferPlan::MaxWrites;
            r.runUntil();
        });
        QTest::newRow("export, silent after a write went out") << Scenario([](PlanRig &r) {
            exportToTheQuestion(r, 3, true);
            QVERIFY(r.plan.confirmWrite());
            r.runUntil([&] { return r.plan.writtenCount() == 2; });
            r.plan.onUnanswered(r.link.current(), false);
        });
        QTest::newRow("export, out of step while writing, then cancelled") << Scenario([](PlanRig &r) {
            exportToTheQuestion(r, 3, true);
            QVERIFY(r.plan.confirmWrite());
            r.runUntil([&] { return r.plan.writtenCount() == 2; });
            r.plan.onReplyTooMany();
            QCOMPARE(r.plan.stopReason(), TransferPlan::StopReason::OutOfStep);
            QVERIFY(r.plan.retry());
            r.runUntil();
            QCOMPARE(r.plan.state(), TransferPlan::State::Confirming);
            r.plan.cancelWrite();
        });
        QTest::newRow("export, out of step before writing") << Scenario([](PlanRig &r) {
            r.plan.setExportMode(true);
            QVERIFY(r.plan.start());
            r.plan.onReplyTooMany();
        });
        QTest::newRow("export, done") << Scenario([](PlanRig &r) {
            exportToTheQuestion(r, 1, true);
            QVERIFY(r.plan.confirmWrite());
            r.runUntil();
        });
    }
    void everyTextOfARunIsGerman()
    {
        QFETCH(Scenario, scenario);
        GermanOrMissing catalogue("MidiTransfer");
        QVERIFY(catalogue.load());
        QCoreApplication::installTranslator(&catalogue);

        PlanRig rig;
        QStringList texts;
        const auto status = [&] {
            texts << TransferTexts::statusText(rig.plan, rig.link, 100);
            for (auto note :
                 {RequestLink::Note::Resending, RequestLink::Note::LateDropped, RequestLink::Note::Damaged,
                  RequestLink::Note::Foreign, RequestLink::Note::Unexpected, RequestLink::Note::Unasked,
                  RequestLink::Note::Holding})
                texts << TransferTexts::linkNote(note, rig.link);
        };
        connect(&rig.plan, &TransferPlan::noted, this,
                [&](const TransferPlan::Event &e) { texts << TransferTexts::planNote(rig.plan, e); });
        // The status and the link's lines once in every state the run passes through.
        TransferPlan::State seen = TransferPlan::State::Idle;
        connect(&rig.plan, &TransferPlan::progressChanged, this, [&] {
            if (rig.plan.state() != seen)
                status();
            seen = rig.plan.state();
        });
        connect(&rig.link, &RequestLink::noted, this, [&](RequestLink::Note note) {
            texts << TransferTexts::linkNote(note, rig.link)
                  << TransferTexts::statusText(rig.plan, rig.link, 0);
        });
        scenario(rig);
        status();
        const TransferPlan::StopReason reason = rig.plan.stopReason();
        if (rig.plan.state() != TransferPlan::State::Done) {
            QCOMPARE(rig.plan.state(), TransferPlan::State::Stopped);
            const QString stop = TransferTexts::stopMessage(rig.plan);
            QVERIFY(!stop.isEmpty());
            texts << stop << TransferTexts::afterRetry(1, reason, stop);
        }
        QCoreApplication::removeTranslator(&catalogue);
        QVERIFY2(catalogue.missing.isEmpty(), qPrintable(catalogue.missing.join(QLatin1Char('\n'))));
        QVERIFY(!texts.isEmpty());
        for (const QString &text : texts)
            QVERIFY2(!text.isEmpty(), "a text for nothing");
    }

    // The words say what happened: no writes named before any, the fence named as such, the
    // writes before a stop counted at the end, and a restore and a read called so.
    void wordsSayWhatHappened_data()
    {
        QTest::addColumn<Scenario>("scenario");
        QTest::addColumn<int>("purpose");
        QTest::addColumn<QString>("says");
        QTest::addColumn<QString>("never");
        QTest::newRow("export, no answer while reading") << Scenario([](PlanRig &r) {
            r.plan.setExportMode(true);
            QVERIFY(r.plan.start());
            r.runUntil([&] { return r.plan.readProgress() == 300; });
            r.plan.onUnanswered(r.link.current(), false);
        }) << 0 << QStringLiteral("stopped answering at bank 3, preset 45.")
                                                         << QStringLiteral("written");
        QTest::newRow("export, silent at the fence") << Scenario([](PlanRig &r) {
            r.plan.setExportMode(true);
            QVERIFY(r.plan.start());
            r.runUntil([&] { return r.plan.state() == TransferPlan::State::Settling; });
            r.plan.onUnanswered(r.link.current(), false);
        }) << 0 << QStringLiteral("did not answer the check that closes the reading.")
                                                     << QStringLiteral("preset");
        QTest::newRow("restore, out of step while writing, Retry") << Scenario([](PlanRig &r) {
            exportToTheQuestion(r, 3, true);
            QVERIFY(r.plan.confirmWrite());
            r.runUntil([&] { return r.plan.writtenCount() == 2; });
            r.plan.onReplyTooMany(); // the third write was on its way, and did not arrive
            QVERIFY(r.plan.retry());
            r.runUntil();
            QVERIFY(r.plan.confirmWrite());
            r.runUntil();
        }) << 1 << QStringLiteral("Restore done. Presets written: 3.")
                                                                   << QStringLiteral("Export");
        QTest::newRow("export, a check after writing reads differently") << Scenario([](PlanRig &r) {
            exportToTheQuestion(r, 2, true);
            QVERIFY(r.plan.confirmWrite());
            r.runUntil([&] { return r.plan.state() == TransferPlan::State::Checking; });
            const RequestLink::Request at = r.link.current();
            r.module.at(at.bank, at.preset)[0] ^= 0x40;
            r.answer();
        }) << 0 << QStringLiteral("The backup's originals of bank ") << QStringLiteral("Nothing");
        QTest::newRow("read to compare") << Scenario([](PlanRig &r) {
            QVERIFY(r.plan.start());
            r.runUntil();
        }) << 2 << QStringLiteral("Read done.")
                                         << QStringLiteral("Import");
    }
    void wordsSayWhatHappened()
    {
        QFETCH(Scenario, scenario);
        QFETCH(int, purpose);
        QFETCH(QString, says);
        QFETCH(QString, never);
        PlanRig rig;
        QStringList texts;
        connect(&rig.plan, &TransferPlan::noted, this, [&](const TransferPlan::Event &e) {
            texts << TransferTexts::planNote(rig.plan, e, TransferTexts::Purpose(purpose));
        });
        scenario(rig);
        if (rig.plan.state() == TransferPlan::State::Stopped)
            texts << TransferTexts::stopMessage(rig.plan);
        const QString last = texts.value(texts.size() - 1);
        QVERIFY2(last.contains(says) && !last.contains(never), qPrintable(last));
    }

    // A wait says what it waits for and how long: a resend, the last copy, the hold after it.
    void aWaitIsExplained()
    {
        PlanRig rig;
        rig.link.setQuietTime(40);
        rig.link.setResends(2);
        QStringList log;
        connect(&rig.link, &RequestLink::noted, this,
                [&](RequestLink::Note note) { log << TransferTexts::linkNote(note, rig.link); });
        QVERIFY(rig.plan.start());
        rig.answer(); // bank 1, preset 1
        QSignalSpy noted(&rig.link, &RequestLink::noted);
        QVERIFY(noted.wait(5000)); // bank 1, preset 2 sent again
        QVERIFY2(
            TransferTexts::statusText(rig.plan, rig.link, -1)
                .endsWith(QStringLiteral(" · bank 1, preset 2 did not answer; asking again in 1 s (2 of 2)")),
            qPrintable(TransferTexts::statusText(rig.plan, rig.link, -1)));
        QVERIFY(noted.wait(5000));
        QVERIFY(TransferTexts::statusText(rig.plan, rig.link, -1)
                    .endsWith(QStringLiteral(
                        " · bank 1, preset 2 did not answer; giving up in 1 s unless it does")));
        QVERIFY(log.first().contains(QStringLiteral("Waiting for its answer until ")));

        // The module answers the copy sent again: the next request waits for late replies.
        Rig module;
        MidiTransfer transfer(module.backend);
        QSignalSpy identity(&transfer, &MidiTransfer::identityReceived);
        QVERIFY(transfer.connectPorts(module.simulatorIndex, module.simulatorIndex) && identity.wait(5000));
        module.simulator->access([](ModuleSimulator &s) {
            s.faults().dropReplyTo = 6; // bank 1, preset 5
            return 0;
        });
        transfer.setQuietTime(100);
        QStringList shown;
        connect(&transfer, &MidiTransfer::waitingChanged, this, [&] { shown << transfer.positionText(); });
        QSignalSpy completed(&transfer, &MidiTransfer::transferCompleted);
        QVERIFY(transfer.startTransfer());
        QVERIFY(completed.wait(60000));
        QVERIFY2(shown.filter(QStringLiteral("bank 1, preset 5 did not answer; asking again in 1 s (2 of 3)"))
                             .size() == 1 &&
                     !shown
                          .filter(QStringLiteral(
                              "waiting 1 s for late replies before the request for bank 1, preset 6"))
                          .isEmpty(),
                 qPrintable(shown.join(QLatin1Char('\n'))));
    }

    // Each note, whatever run it is made for, has its German words.
    void everyNoteIsGerman()
    {
        GermanOrMissing catalogue("MidiTransfer");
        QVERIFY(catalogue.load());
        QCoreApplication::installTranslator(&catalogue);
        for (bool exportAll : {false, true}) {
            PlanRig rig;
            rig.plan.setExportMode(exportAll);
            rig.plan.setReadEverythingTwice(exportAll);
            for (int n = int(TransferPlan::Note::Started); n <= int(TransferPlan::Note::Completed); ++n) {
                TransferPlan::Event event;
                event.note = TransferPlan::Note(n);
                event.count = 2;
                event.banks = {3, 4};
                for (auto purpose : {TransferTexts::Purpose::Transfer, TransferTexts::Purpose::Restore,
                                     TransferTexts::Purpose::ReadToCompare})
                    QVERIFY2(!TransferTexts::planNote(rig.plan, event, purpose).isEmpty(),
                             qPrintable(QString::number(n)));
            }
        }
        QCoreApplication::removeTranslator(&catalogue);
        QVERIFY2(catalogue.missing.isEmpty(), qPrintable(catalogue.missing.join(QLatin1Char('\n'))));
    }
};

QTEST_GUILESS_MAIN(TestTransferTexts)
#include "tst_transfertexts.moc"
