#include "jackserver.h"

#include "files/presetfile.h"

#include "device/miditransfer.h"
#include "device/modulesimulator.h"
#include "midi/rtmidibackend.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <sys/prctl.h>

namespace {

// Says which way the message was lost: the simulator logs every request it received.
QString stalled(const QString &what, const MidiTransfer &transfer, QProcess &simulator, QByteArray &output,
                const QString &jackLog)
{
    output += simulator.readAllStandardOutput();
    const QStringList lines = QString::fromLocal8Bit(output).trimmed().split(QLatin1Char('\n'));
    return QStringLiteral(
               "the %1 stalled at %2 of 2048 (bank %3, preset %4); the simulator's last lines:\n%5")
               .arg(what)
               .arg(transfer.progress())
               .arg(transfer.bank() + 1)
               .arg(transfer.preset() + 1)
               .arg(lines.mid(std::max(0, int(lines.size()) - 3)).join(QLatin1Char('\n'))) +
           QStringLiteral("\nJACK server:\n") + jackLog.right(600);
}

// The simulator's input and output among the transfer's ports, by the name given with --name.
bool findPorts(MidiTransfer &transfer, const QString &name, int &in, int &out)
{
    in = out = -1;
    const QString suffix = QLatin1Char(':') + name;
    for (int i = 0; i < 100 && (in < 0 || out < 0); ++i) {
        const auto inName = transfer.protocol().port().inputDeviceName(i);
        const auto outName = transfer.protocol().port().outputDeviceName(i);
        if (inName && inName->startsWith(QStringLiteral("orvex-simulator")) && inName->endsWith(suffix))
            in = i;
        if (outName && outName->startsWith(QStringLiteral("orvex-simulator")) && outName->endsWith(suffix))
            out = i;
    }
    return in >= 0 && out >= 0;
}

// Waits for the transfer to complete or stop, at most `limitMs`; true when it completed.
bool runToEnd(MidiTransfer &transfer, int limitMs)
{
    QEventLoop loop;
    QObject::connect(&transfer, &MidiTransfer::transferCompleted, &loop, &QEventLoop::quit);
    QObject::connect(&transfer, &MidiTransfer::transferStopped, &loop, &QEventLoop::quit);
    QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
    loop.exec();
    return transfer.transferDone();
}

} // namespace

// Import and export through the command-line simulator, over a JACK server with the
// dummy driver and RtMidi's JACK API: the whole way a user without hardware would go.
class TestSimulatorJack : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QString why;
        // 512-frame periods: each cycle leaves a busy machine more time, and a port holds
        // several of the longest messages.
        if (!jack.start(&why, 512))
            QSKIP(qPrintable(QStringLiteral("no JACK server for the end-to-end test: ") + why));
    }

    void importAndExportThroughTheSimulator()
    {
        QElapsedTimer overall;
        overall.start();
        QTemporaryDir dir;
        const QString saved = dir.filePath(QStringLiteral("module.pre"));
        QProcess simulator;
        simulator.setProcessEnvironment(jack.environment());
        simulator.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        simulator.start(QStringLiteral(ORVEX_SIMULATOR_PATH),
                        {QStringLiteral("--api"), QStringLiteral("jack"), QStringLiteral("--name"),
                         QStringLiteral("e2e"), QStringLiteral("--serial"), QStringLiteral("42"),
                         QStringLiteral("--firmware"), QStringLiteral("1.00"), QStringLiteral("--bad-writes"),
                         QStringLiteral("1"), QStringLiteral("--save"), saved,
                         // A lost reply and a late one during the import: resent, and the
                         // late answer is not taken for the next preset.
                         QStringLiteral("--drop-reply"), QStringLiteral("500"),
                         QStringLiteral("--late-reply"), QStringLiteral("1200"), QStringLiteral("--late-by"),
                         QStringLiteral("1500")});
        QVERIFY2(simulator.waitForStarted(5000), qPrintable(simulator.errorString()));
        QByteArray output;
        QTRY_VERIFY2_WITH_TIMEOUT(
            (output += simulator.readAllStandardOutput()).contains("ready"),
            qPrintable(QStringLiteral("orvex-simulator did not get ready within 10 s: ") +
                       QString::fromLocal8Bit(simulator.readAllStandardError())),
            10000);

        auto backend = std::make_shared<RtMidiBackend>(QStringLiteral("jack"));
        MidiTransfer transfer(backend);
        int in = -1;
        int out = -1;
        QVERIFY2(findPorts(transfer, QStringLiteral("e2e"), in, out), "the simulator's ports are not listed");

        QSignalSpy identity(&transfer, &MidiTransfer::identityReceived);
        QVERIFY(transfer.connectPorts(in, out));
        QVERIFY2(identity.wait(10000), "no identity reply within 10 s");
        QCOMPARE(transfer.connectionState(), MidiTransfer::Connected);
        QCOMPARE(transfer.protocol().serialText(), QStringLiteral("040-000-020"));
        QCOMPARE(transfer.protocol().versionText(), QStringLiteral("1.00"));

        // About 20 s each on JACK (two periods per round trip); a stall fails here.
        QSignalSpy progress(&transfer, &MidiTransfer::progressChanged);
        QObject::connect(&transfer, &MidiTransfer::confirmationNeeded, &transfer,
                         &MidiTransfer::writeWithoutBackup);
        auto finished = [&] { return runToEnd(transfer, 120000); };
        transfer.setExportMode(false);
        QVERIFY(transfer.startTransfer());
        QVERIFY2(finished(),
                 qPrintable(transfer.stopMessage() + QLatin1Char(' ') +
                            stalled(QStringLiteral("import"), transfer, simulator, output, jack.log())));
        QVERIFY(transfer.banks() == ModuleSimulator::factoryProgramBanks());
        QVERIFY(transfer.resendCount() >= 2);

        TransferBanks changed = ModuleSimulator::factoryProgramBanks();
        changed.at(1, 0)[129] = 'X';
        changed.at(7, 64)[0] = 0x55;
        changed.at(15, 127)[161] = 'Y';
        transfer.banks() = changed;
        transfer.setExportMode(true);
        QVERIFY(transfer.startTransfer());
        QVERIFY2(finished(),
                 qPrintable(transfer.stopMessage() + QLatin1Char(' ') +
                            stalled(QStringLiteral("export"), transfer, simulator, output, jack.log())));
        // The simulator stored the first write wrongly; the read-back caught it.
        QCOMPARE(transfer.retryCount(), 1);
        transfer.disconnectPorts();

        simulator.terminate();
        QVERIFY2(simulator.waitForFinished(10000), "orvex-simulator did not end on SIGTERM");
        QCOMPARE(simulator.exitStatus(), QProcess::NormalExit);
        QCOMPARE(simulator.exitCode(), 0);
        output += simulator.readAllStandardOutput();
        const QString log = QString::fromLocal8Bit(output);
        // Import 2048 + 16 re-read, export 2048 + 15 + 4 read-backs + 15 re-read, and the two
        // resent requests; a message JACK loses on a busy machine adds a resend. Identify: the
        // connect and the fences, one at the end of the import, two in the export.
        const QRegularExpressionMatch counts =
            QRegularExpression(
                QStringLiteral("stopped after (\\d+) identify, (\\d+) preset requests, (\\d+) writes"))
                .match(log);
        QVERIFY2(counts.hasMatch(), qPrintable(log.right(300)));
        QVERIFY2(counts.captured(1).toInt() >= 4 && counts.captured(1).toInt() < 8,
                 qPrintable(counts.captured(0)));
        QVERIFY2(counts.captured(2).toInt() >= 4148 && counts.captured(2).toInt() < 4173,
                 qPrintable(counts.captured(0)));
        QVERIFY2(counts.captured(3).toInt() >= 4 && counts.captured(3).toInt() < 8,
                 qPrintable(counts.captured(0)));
        QVERIFY(log.count(QStringLiteral("write bank 2 preset 1")) >= 2);
        QVERIFY(log.count(QStringLiteral("write bank 8 preset 65")) >= 1);
        QVERIFY(log.count(QStringLiteral("write bank 16 preset 128")) >= 1);

        // What the module holds now, as the simulator saved it on the way out.
        BankStore store;
        QString error;
        QVERIFY2(loadPresetFile(store, saved, 0, 15, error), qPrintable(error));
        TransferBanks held;
        store.toDump(held.data());
        QVERIFY(held == changed);
        QVERIFY2(overall.elapsed() < 300000, "the end-to-end run took longer than 5 minutes");
    }

    // Retry after the replies went out of step reads everything again: also after Stop was
    // pressed while the fresh start's fence was out, and after that fence went unanswered.
    void retryAfterOutOfStepReadsAgainOverJack()
    {
        QTemporaryDir dir;
        const QString saved = dir.filePath(QStringLiteral("module.pre"));
        QProcess simulator;
        QProcessEnvironment env = jack.environment();
        // Identify 1 is the connect's, 2 the first Retry's fence, 3 the second's (never answered).
        env.insert(QStringLiteral("ORVEX_SIMULATOR_FAULTS"),
                   QStringLiteral("double-reply=20,drop-reply=21,drop-identify=3"));
        simulator.setProcessEnvironment(env);
        simulator.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        simulator.start(QStringLiteral(ORVEX_SIMULATOR_PATH),
                        {QStringLiteral("--api"), QStringLiteral("jack"), QStringLiteral("--name"),
                         QStringLiteral("retry"), QStringLiteral("--save"), saved});
        QVERIFY2(simulator.waitForStarted(5000), qPrintable(simulator.errorString()));
        QByteArray output;
        QTRY_VERIFY_WITH_TIMEOUT((output += simulator.readAllStandardOutput()).contains("ready"), 10000);

        auto backend = std::make_shared<RtMidiBackend>(QStringLiteral("jack"));
        MidiTransfer transfer(backend);
        int in = -1;
        int out = -1;
        QVERIFY2(findPorts(transfer, QStringLiteral("retry"), in, out),
                 "the simulator's ports are not listed");
        QSignalSpy identity(&transfer, &MidiTransfer::identityReceived);
        QVERIFY(transfer.connectPorts(in, out));
        QVERIFY(identity.wait(10000));
        transfer.setQuietTime(300);
        QObject::connect(&transfer, &MidiTransfer::confirmationNeeded, &transfer,
                         &MidiTransfer::writeWithoutBackup);
        auto finished = [&] { return runToEnd(transfer, 60000); };

        // Bank index 4 chosen; requests 20 and 21 read its presets 18 and 19.
        TransferBanks changed = ModuleSimulator::factoryProgramBanks();
        for (int p : {18, 19, 40})
            changed.at(4, p)[0] ^= 0x11;
        SelectionMask chosen;
        for (int p = 0; p < PresetsPerBank; ++p)
            chosen.set(4, p);
        transfer.banks() = changed;
        transfer.setExportMode(true);
        transfer.plan().setChosen(chosen);
        QVERIFY(transfer.startTransfer());
        QVERIFY(!finished());
        QCOMPARE(int(transfer.stopReason()), int(MidiTransfer::StopReason::OutOfStep));
        QCOMPARE(transfer.plan().writesSentCount(), 0);

        QVERIFY(transfer.retry());
        transfer.stop(); // while the fence is out
        QVERIFY(!finished());
        QCOMPARE(int(transfer.stopReason()), int(MidiTransfer::StopReason::ByUser));
        transfer.setResends(0); // the fence's one copy goes unanswered
        QVERIFY(transfer.retry());
        QVERIFY(!finished());
        QCOMPARE(int(transfer.stopReason()), int(MidiTransfer::StopReason::NoAnswer));
        QVERIFY(transfer.plan().mustReadAgain());
        transfer.setResends(MidiTransfer::DefaultResends);
        QVERIFY(transfer.retry());
        QVERIFY2(finished(), qPrintable(transfer.stopMessage()));
        QCOMPARE(transfer.writtenCount(), 3);

        simulator.terminate();
        QVERIFY(simulator.waitForFinished(10000));
        output += simulator.readAllStandardOutput();
        // The last Retry read the whole choice again: its first preset in the first reading,
        // then in the new reading and its second read.
        QVERIFY2(QString::fromLocal8Bit(output).count(QStringLiteral("request bank 5 preset 1\n")) >= 3,
                 qPrintable(QString::fromLocal8Bit(output).right(400)));
        BankStore store;
        QString error;
        QVERIFY2(loadPresetFile(store, saved, 0, 15, error), qPrintable(error));
        TransferBanks held;
        store.toDump(held.data());
        QVERIFY(held == changed);
    }

    // The simulator ended mid-import and mid-export (while writing) and started again: the
    // port watch says the ports went away, Retry opens them again by name and the transfer
    // ends exactly right (the new simulator holds its factory content again). SIGTERM, not
    // SIGKILL: a killed client holds JACK's sync cycles for its 5 s time-out until the server
    // drops it, which recovers the same way but takes minutes.
    void aSimulatorThatEndsAndStartsAgainIsReopened_data()
    {
        QTest::addColumn<bool>("exportAll");
        QTest::newRow("import") << false;
        QTest::newRow("export, writing") << true;
    }
    void aSimulatorThatEndsAndStartsAgainIsReopened()
    {
        QFETCH(bool, exportAll);
        QTemporaryDir dir;
        const QString saved = dir.filePath(QStringLiteral("module.pre"));
        QByteArray output;
        auto start = [&](QProcess &simulator) {
            simulator.setProcessEnvironment(jack.environment());
            simulator.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
            simulator.start(QStringLiteral(ORVEX_SIMULATOR_PATH),
                            {QStringLiteral("--api"), QStringLiteral("jack"), QStringLiteral("--name"),
                             QStringLiteral("again"), QStringLiteral("--save"), saved});
            output.clear();
            QElapsedTimer clock;
            clock.start();
            while (clock.elapsed() < 10000 &&
                   !(output += simulator.readAllStandardOutput()).contains("ready"))
                simulator.waitForReadyRead(200);
            return output.contains("ready");
        };
        QProcess first;
        QVERIFY2(start(first), "orvex-simulator did not get ready");
        auto backend = std::make_shared<RtMidiBackend>(QStringLiteral("jack"));
        MidiTransfer transfer(backend);
        QStringList log;
        QObject::connect(&transfer, &MidiTransfer::logLine, [&](const QString &line) { log << line; });
        int in = -1;
        int out = -1;
        QVERIFY2(findPorts(transfer, QStringLiteral("again"), in, out),
                 "the simulator's ports are not listed");
        QSignalSpy identity(&transfer, &MidiTransfer::identityReceived);
        QVERIFY(transfer.connectPorts(in, out));
        QVERIFY(identity.wait(10000));
        QObject::connect(&transfer, &MidiTransfer::confirmationNeeded, &transfer,
                         &MidiTransfer::writeWithoutBackup);
        TransferBanks changed = ModuleSimulator::factoryProgramBanks();
        for (int p : {18, 19, 40, 90})
            changed.at(4, p)[0] ^= 0x11;
        SelectionMask chosen;
        for (int p = 0; p < PresetsPerBank; ++p)
            chosen.set(4, p);
        transfer.banks() = exportAll ? changed : TransferBanks();
        transfer.setExportMode(exportAll);
        transfer.plan().setChosen(chosen);
        bool killed = false;
        QObject::connect(&transfer, &MidiTransfer::progressChanged, &transfer, [&](int done, int) {
            const bool writing = transfer.phase() == MidiTransfer::Phase::Writing;
            if (!killed && writing == exportAll && done == (exportAll ? 1 : 60)) {
                killed = true;
                first.terminate(); // as a clean exit or an unplugged interface: its ports leave at once
            }
        });
        QVERIFY(transfer.startTransfer());
        QVERIFY(!runToEnd(transfer, 60000));
        // JACK may take a few seconds to drop a dead client's ports: the module stops answering
        // first, and the watch notices the ports gone after that.
        QVERIFY(killed);
        QTRY_VERIFY2_WITH_TIMEOUT(transfer.portGone(), qPrintable(log.join(QLatin1Char('\n'))), 20000);
        QVERIFY(!log.filter(QStringLiteral("went away at")).isEmpty());
        first.waitForFinished(5000);

        // Retry waits for the ports, which come back with the simulator started again.
        QVERIFY(transfer.retry() && transfer.waitingForPorts());
        QProcess second;
        QVERIFY2(start(second), "orvex-simulator did not get ready the second time");
        QVERIFY2(runToEnd(transfer, 60000),
                 qPrintable(transfer.stopMessage() + QLatin1Char('\n') + log.join(QLatin1Char('\n'))));
        second.terminate();
        QVERIFY(second.waitForFinished(10000));
        if (!exportAll) {
            for (int p = 0; p < PresetsPerBank; ++p)
                QVERIFY(transfer.banks().at(4, p) == changed.at(4, p) || p == 18 || p == 19 || p == 40 ||
                        p == 90);
            QVERIFY(transfer.banks().at(4, 18) == ModuleSimulator::factoryProgramBanks().at(4, 18));
            return;
        }
        BankStore store;
        QString error;
        QVERIFY2(loadPresetFile(store, saved, 0, 15, error), qPrintable(error));
        TransferBanks held;
        store.toDump(held.data());
        QVERIFY(held == changed);
    }

private:
    JackServer jack;
};

QTEST_GUILESS_MAIN(TestSimulatorJack)
#include "tst_simulatorjack.moc"
