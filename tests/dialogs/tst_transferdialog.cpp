// The transfer dialog on its own: its states, port lists, texts and pictures, through
// the virtual backend and the in-process module simulator.
#include "common/altkeys.h"
#include "common/samepicture.h"
#include "common/scriptedmidibackend.h"
#include "common/transferrig.h"
#include "device/backupcatalog.h"
#include "device/programbackend.h"
#include "device/transferbackup.h"
#include "device/transfertexts.h"
#include "dialogs/exportchoicebox.h"
#include "dialogs/exportpreviewpanel.h"
#include "dialogs/syxload.h"
#include "dialogs/transferdialog.h"
#include "dialogs/transferlogpanel.h"
#include "dialogs/transferstatuspanel.h"
#include "editing/exportpreview.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>

#include <QApplication>
#include <QProcessEnvironment>
#include <QTest>
#include <QTranslator>

class TestTransferDialog : public QObject
{
    Q_OBJECT

private slots:
    void freshDialogWaitsForAConnection()
    {
        Rig rig;
        TransferDialog d(rig.backend);
        QCOMPARE(d.objectName(), QStringLiteral("MidiSet"));
        QCOMPARE(d.windowTitle(), QStringLiteral("Orvex+ Preset Manager"));
        QVERIFY(!d.parentWidget());
        QVERIFY(d.TryConText->isHidden());
        QVERIFY(d.progressBar->isHidden());
        QVERIFY(!d.TransferButton->isEnabled());
        QVERIFY(d.ConnectButton->isEnabled());
        QCOMPARE(d.connectionState(), int(MidiTransfer::Disconnected));
        QVERIFY(!d.transferDone());
        QVERIFY(!d.exportMode());

        // The whole 320 x 87 picture is shown, for each direction.
        d.setMode(true);
        QVERIFY(d.exportMode());
        QVERIFY(!d.IconLabel->pixmap().isNull());
        QCOMPARE(d.TransferButton->text(), QStringLiteral("&Export"));
        QVERIFY(samePicture(d.IconLabel->pixmap().toImage(),
                            QImage(QStringLiteral(":/pictures/export_screen.png"))));
        QVERIFY(d.IconLabel->contentsRect().contains(QRect(QPoint(0, 0), QSize(320, 87))));
        d.setMode(false);
        QVERIFY(!d.exportMode());
        QCOMPARE(d.TransferButton->text(), QStringLiteral("&Import"));
        QVERIFY(samePicture(d.IconLabel->pixmap().toImage(),
                            QImage(QStringLiteral(":/pictures/import_screen.png"))));
    }

    // Disconnect works while the transfer runs and after it stopped: it ends the transfer with
    // a true message, and nothing is taken over.
    void disconnectEndsARunningTransfer()
    {
        Rig rig;
        TransferDialog d(rig.backend);
        d.setMode(false);
        d.fillPortLists();
        QTest::mouseClick(d.ConnectButton, Qt::LeftButton);
        QTRY_COMPARE(d.connectionState(), int(MidiTransfer::Connected));
        QObject::connect(&d.transfer(), &MidiTransfer::progressChanged, &d, [&](int done, int) {
            if (done == 200 && d.ConnectButton->isEnabled())
                QTimer::singleShot(0, &d, [&] { QTest::mouseClick(d.ConnectButton, Qt::LeftButton); });
        });
        QTest::mouseClick(d.TransferButton, Qt::LeftButton);
        QTRY_COMPARE(d.connectionState(), int(MidiTransfer::Disconnected));
        QCOMPARE(d.transfer().phase(), MidiTransfer::Phase::Stopped);
        QVERIFY2(d.transfer().stopMessage().startsWith(QStringLiteral("Stopped at bank 2, preset")),
                 qPrintable(d.transfer().stopMessage()));
        QVERIFY(!d.transferDone() && d.status->retryButton->isHidden());
        QCOMPARE(d.ConnectButton->text(), QStringLiteral("Co&nnect"));
    }

    // In every state a button is enabled and shown exactly when pressing it does something;
    // Disconnect from any of them leaves the dialog as before a connect, and Connect again
    // as a fresh connect does (the export's choice box back, Transfer focused).
    void buttonsInEveryStateAndDisconnectConnect_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("pressable");
        QTest::addColumn<bool>("leavesAMessage");
        auto row = [](const char *name, const char *state, const char *pressable, bool leavesAMessage) {
            QTest::newRow(name) << QString::fromLatin1(state) << QString::fromLatin1(pressable)
                                << leavesAMessage;
        };
        row("idle", "idle", "connect find rescan choice twice", false);
        row("connected", "connected", "disconnect transfer choice twice", false);
        row("running", "running", "disconnect stop", true);
        row("stopped", "stopped", "disconnect retry close", true);
        row("port gone", "gone", "disconnect retry close", true);
        row("port gone before the transfer", "gonefirst", "disconnect retry close", true);
        row("waiting for ports", "waiting", "disconnect stop", true);
        row("stop while waiting", "waitstop", "disconnect retry close", true);
        row("question", "question", "disconnect write cancel", true);
        row("done", "done", "disconnect close", true);
    }
    void buttonsInEveryStateAndDisconnectConnect()
    {
        QFETCH(QString, state);
        QFETCH(QString, pressable);
        QFETCH(bool, leavesAMessage);
        Rig rig;
        QTemporaryDir dir;
        TransferDialog d(rig.backend);
        d.setBackupFile(dir.filePath(QStringLiteral("b.pre")));
        d.inRow = d.outRow = rig.simulatorIndex;
        d.fillPortLists();
        d.setMode(true);
        TransferBanks local = rig.banks();
        if (state == QLatin1String("question"))
            local.at(3, 5)[0] ^= 1;
        d.transferBanks() = local;
        d.show();
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        auto shown = [&] {
            QStringList on;
            const std::pair<const char *, QWidget *> all[] = {
                {d.connectionState() == MidiTransfer::Disconnected ? "connect" : "disconnect",
                 d.ConnectButton},
                {"transfer", d.TransferButton},
                {"find", d.FindButton},
                {"rescan", d.RescanButton},
                {"choice", d.choiceBox},
                {"twice", d.readTwiceBox},
                {"stop", d.status->stopButton},
                {"retry", d.status->retryButton},
                {"write", d.status->writeButton},
                {"nobackup", d.status->noBackupButton},
                {"cancel", d.status->cancelButton},
                {"close", d.status->closeButton}};
            for (const auto &[name, w] : all)
                if (w->isVisible() && w->isEnabled())
                    on << QLatin1String(name);
            return on.join(QLatin1Char(' '));
        };
        const QString fresh = shown();
        if (state != QLatin1String("idle")) {
            QTest::mouseClick(d.ConnectButton, Qt::LeftButton);
            QTRY_COMPARE(d.connectionState(), int(MidiTransfer::Connected));
        }
        const QString connected = shown();
        QCOMPARE(QApplication::focusWidget(),
                 static_cast<QWidget *>(state == QLatin1String("idle") ? d.ConnectButton : d.TransferButton));
        if (state == QLatin1String("question") || state == QLatin1String("done")) {
            QTest::mouseClick(d.TransferButton, Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(d.transfer().phase() == (state == QLatin1String("done")
                                                                  ? MidiTransfer::Phase::Done
                                                                  : MidiTransfer::Phase::Confirming),
                                     20000);
        } else if (state == QLatin1String("gonefirst")) {
            rig.backend->setPlugged(rig.simulatorIndex, false);
            QTest::mouseClick(d.TransferButton, Qt::LeftButton);
            QCOMPARE(d.transfer().stopReason(), MidiTransfer::StopReason::PortGone);
        } else if (state != QLatin1String("idle") && state != QLatin1String("connected")) {
            rig.simulator->setByteRate(90000);
            QTest::mouseClick(d.TransferButton, Qt::LeftButton);
            QVERIFY(d.transfer().running());
            QTRY_VERIFY(d.transfer().progress() > 10);
            if (state == QLatin1String("stopped"))
                QTest::mouseClick(d.status->stopButton, Qt::LeftButton);
            if (state == QLatin1String("gone") || state.startsWith(QLatin1String("wait"))) {
                rig.backend->setPlugged(rig.simulatorIndex, false);
                d.transfer().checkPorts();
            }
            if (state != QLatin1String("running"))
                QTRY_COMPARE(d.transfer().phase(), MidiTransfer::Phase::Stopped);
            if (state.startsWith(QLatin1String("wait"))) {
                QTest::mouseClick(d.status->retryButton, Qt::LeftButton);
                QVERIFY(d.transfer().waitingForPorts());
            }
            if (state == QLatin1String("waitstop"))
                QTest::mouseClick(d.status->stopButton, Qt::LeftButton);
        }
        QCOMPARE(shown(), pressable);
        if (state == QLatin1String("idle"))
            return;

        QTest::mouseClick(d.ConnectButton, Qt::LeftButton);
        QCOMPARE(d.connectionState(), int(MidiTransfer::Disconnected));
        QVERIFY(!d.transfer().running() && !d.transfer().waitingForPorts());
        QVERIFY(d.progressBar->isHidden() && d.previewPanel->isHidden());
        QCOMPARE(shown(), fresh + (leavesAMessage ? " close" : ""));
        QVERIFY2(!d.status->text().contains(QLatin1String("Retry opens")), qPrintable(d.status->text()));
        if (state == QLatin1String("question")) {
            // Nothing was written over what the backup holds: it says so, as after Cancel.
            QFile info(BackupCatalog::infoPath(d.backupFileName()));
            QVERIFY(info.open(QIODevice::ReadOnly));
            QVERIFY(info.readAll().contains("written=none"));
        }

        rig.backend->setPlugged(rig.simulatorIndex, true);
        rig.simulator->setByteRate(0);
        QTest::mouseClick(d.ConnectButton, Qt::LeftButton);
        QTRY_COMPARE(d.connectionState(), int(MidiTransfer::Connected));
        QCOMPARE(shown(), connected);
        QCOMPARE(d.status->text(), QString());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(d.TransferButton));
        QVERIFY(!d.SnEdit->text().isEmpty());

        // The next export runs as the first did; its own backup is noted unused on Cancel.
        QTest::mouseClick(d.TransferButton, Qt::LeftButton);
        const bool asks = state == QLatin1String("question");
        QTRY_VERIFY_WITH_TIMEOUT(d.transfer().phase() ==
                                     (asks ? MidiTransfer::Phase::Confirming : MidiTransfer::Phase::Done),
                                 20000);
        if (asks) {
            QTest::mouseClick(d.status->cancelButton, Qt::LeftButton);
            QFile info(BackupCatalog::infoPath(d.backupFileName()));
            QVERIFY(info.open(QIODevice::ReadOnly));
            QCOMPARE(info.readAll().count("written=none"), 1);
        }
    }

    void germanTextsAndPictures()
    {
        QTranslator translator;
        QVERIFY(translator.load(QStringLiteral(":/translations/presetman_de")));
        QCoreApplication::installTranslator(&translator);
        Rig rig;
        TransferDialog d(rig.backend);
        d.setMode(true);
        QCOMPARE(d.TransferButton->text(), QStringLiteral("&Exportieren"));
        QCOMPARE(d.groupBox_3->title(), QStringLiteral("MIDI IN Kanal"));
        QCOMPARE(d.TryConText->text(), QStringLiteral("versuche zu verbinden..."));
        QCOMPARE(d.status->retryButton->text(), QStringLiteral("&Wiederholen"));
        QCOMPARE(d.log->toggleButton->text(), QStringLiteral("&Protokoll"));
        QCOMPARE(d.FindButton->text(), QStringLiteral("&Modul suchen"));
        QCOMPARE(TransferTexts::afterRetry(2, TransferPlan::StopReason::NoAnswer, QStringLiteral("…")),
                 QStringLiteral("Wiederholung 2: noch immer keine Antwort. …"));
        d.setRestoreOf(QStringLiteral("b.pre"), QStringLiteral("7. Dez. 2026, 14:03"));
        QCOMPARE(d.windowTitle(),
                 QStringLiteral("Ins Orvex+ zurückschreiben: die Sicherung vom 7. Dez. 2026, 14:03"));
        QCOMPARE(d.transfer().positionText(), QStringLiteral("Bank 1 · Preset 1 von 128"));
        QVERIFY(samePicture(d.IconLabel->pixmap().toImage(),
                            QImage(QStringLiteral(":/pictures/restore_screen_de.png"))));
        d.fillPortLists();
        QTest::mouseClick(d.ConnectButton, Qt::LeftButton);
        QCOMPARE(d.ConnectButton->text(), QStringLiteral("&Trennen"));
        QCoreApplication::removeTranslator(&translator);
    }

    void portListsStopAtTheFirstGapOrAtAHundred()
    {
        Rig few(2);
        TransferDialog small(few.backend);
        small.fillPortLists();
        QCOMPARE(small.MidiInList->count(), 3);
        QCOMPARE(small.MidiOutList->count(), 3);
        QCOMPARE(small.MidiInList->item(2)->text(), QStringLiteral("Orvex+ Simulator"));
        QCOMPARE(small.MidiInList->currentRow(), 0);

        Rig many(120);
        TransferDialog large(many.backend);
        large.inRow = 99;
        large.outRow = 100; // beyond the list: no current row
        large.fillPortLists();
        QCOMPARE(large.MidiInList->count(), 100);
        QCOMPARE(large.MidiOutList->count(), 100);
        QCOMPARE(large.MidiOutList->item(99)->text(), QStringLiteral("Mute 99"));
        QCOMPARE(large.MidiInList->currentRow(), 99);
        QCOMPARE(large.MidiOutList->currentRow(), -1);
    }

    void connectShowsTheIdentityAndDisconnectClearsIt()
    {
        Rig rig(1);
        rig.simulator->access([](ModuleSimulator &s) {
            s.setSerialNumber(42);
            s.setFirmwareVersion(642);
            return 0;
        });
        TransferDialog d(rig.backend);
        d.inRow = d.outRow = rig.simulatorIndex;
        d.fillPortLists();
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));

        // The reply can only be handled once the event loop runs: Connecting is seen first.
        QTest::mouseClick(d.ConnectButton, Qt::LeftButton);
        QCOMPARE(d.connectionState(), int(MidiTransfer::Connecting));
        QCOMPARE(d.ConnectButton->text(), QStringLiteral("&Disconnect"));
        QVERIFY(d.TryConText->isVisible());
        QVERIFY(!d.TransferButton->isEnabled());
        QVERIFY(!d.MidiInList->isEnabled());
        QVERIFY(!d.MidiOutList->isEnabled());
        QVERIFY(d.SnEdit->text().isEmpty());

        QTRY_COMPARE(d.connectionState(), int(MidiTransfer::Connected));
        QVERIFY(!d.TryConText->isVisible());
        QVERIFY(d.progressBar->isHidden());
        QVERIFY(d.TransferButton->isEnabled());
        QCOMPARE(d.SnEdit->text(), QStringLiteral("040-000-020"));
        QCOMPARE(d.VersionEdit->text(), QStringLiteral("130.02"));
        QCOMPARE(rig.backend->openInputCount(), 1);

        QTest::mouseClick(d.ConnectButton, Qt::LeftButton);
        QCOMPARE(d.connectionState(), int(MidiTransfer::Disconnected));
        QCOMPARE(d.ConnectButton->text(), QStringLiteral("Co&nnect"));
        QVERIFY(d.SnEdit->text().isEmpty());
        QVERIFY(d.VersionEdit->text().isEmpty());
        QVERIFY(d.MidiInList->isEnabled());
        QVERIFY(d.MidiOutList->isEnabled());
        QVERIFY(!d.TransferButton->isEnabled());
        QCOMPARE(rig.backend->openInputCount(), 0);
        QCOMPARE(rig.backend->openOutputCount(), 0);
    }

    void aSilentOrMissingDeviceNeverConnects()
    {
        Rig rig(1);
        TransferDialog d(rig.backend);
        d.fillPortLists();
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));

        // No output chosen: nothing opens as a pair, and the status line says what is missing.
        d.MidiOutList->setCurrentRow(-1);
        QTest::mouseClick(d.ConnectButton, Qt::LeftButton);
        QCOMPARE(d.connectionState(), int(MidiTransfer::Disconnected));
        QCOMPARE(d.outRow, -1);
        QCOMPARE(d.status->text(), QStringLiteral("Choose a MIDI input and a MIDI output."));
        QCOMPARE(rig.backend->openInputCount(), 0);
        QVERIFY(!d.TryConText->isVisible());
        QVERIFY(d.MidiInList->isEnabled());
        QVERIFY(!QApplication::activeModalWidget());

        // A device that never answers keeps the dialog trying until Disconnect...
        d.MidiOutList->setCurrentRow(0);
        QTest::mouseClick(d.ConnectButton, Qt::LeftButton);
        QCOMPARE(d.connectionState(), int(MidiTransfer::Connecting));
        QTest::qWait(200);
        QCOMPARE(d.connectionState(), int(MidiTransfer::Connecting));
        QVERIFY(d.TryConText->isVisible());
        QVERIFY(!d.TransferButton->isEnabled());
        QTest::mouseClick(d.ConnectButton, Qt::LeftButton);
        QCOMPARE(d.connectionState(), int(MidiTransfer::Disconnected));
        QVERIFY(!d.TryConText->isVisible());

        // ... or until its resends are spent: then the dialog says so and can connect again.
        d.transfer().setQuietTime(30);
        QTest::mouseClick(d.ConnectButton, Qt::LeftButton);
        QTRY_COMPARE(d.connectionState(), int(MidiTransfer::Disconnected));
        QVERIFY(d.status->text().startsWith(QStringLiteral("The module did not answer.")));
        QVERIFY(!d.TryConText->isVisible());
        QVERIFY(d.MidiInList->isEnabled());
        QCOMPARE(d.ConnectButton->text(), QStringLiteral("Co&nnect"));
        QCOMPARE(rig.backend->openInputCount(), 0);
    }

    void aPortGoneSinceTheListWasReadIsNamed()
    {
        auto backend = std::make_shared<ScriptedMidiBackend>(1, 1);
        TransferDialog d(backend);
        d.fillPortLists();
        backend->setDeviceCounts(1, 0); // unplugged while the dialog is open
        backend->rescan();
        d.toggleConnection();
        QCOMPARE(d.connectionState(), int(MidiTransfer::Disconnected));
        QCOMPARE(d.status->text(), QStringLiteral("Cannot open the MIDI output \"Scripted Out 0\"."));
        QCOMPARE(backend->openInputCount(), 0); // the input that did open is closed again
        QVERIFY(d.MidiInList->isEnabled());
        QCOMPARE(d.ConnectButton->text(), QStringLiteral("Co&nnect"));
    }

    // Writing is never one keypress away, and without a backup it takes a step of its own.
    void theQuestionBeforeWriting_data()
    {
        QTest::addColumn<bool>("backupPossible");
        QTest::newRow("backup saved") << true;
        QTest::newRow("backup impossible") << false;
    }
    void theQuestionBeforeWriting()
    {
        QFETCH(bool, backupPossible);
        Rig rig;
        QTemporaryDir dir;
        TransferDialog d(rig.backend);
        d.setBackupFile(backupPossible ? dir.filePath(QStringLiteral("b.pre"))
                                       : QStringLiteral("/proc/orvex/b.pre"));
        d.setNameChanges({QStringLiteral("Bank 2, preset 4: \"Crème\" becomes \"Cr me\""),
                          QStringLiteral("Bank 2, preset 4: author \"Jürgen\" becomes \"J rgen\"")});
        d.inRow = d.outRow = rig.simulatorIndex;
        d.fillPortLists();
        d.setMode(true);
        TransferBanks local = rig.banks();
        local.at(1, 3)[0] ^= 1;
        local.at(9, 3)[0] ^= 1;
        d.transferBanks() = local;
        // One bar per phase: within a phase the bar never runs backwards.
        QList<std::pair<int, int>> bar;
        connect(d.progressBar, &QProgressBar::valueChanged, &d, [&](int value) {
            bar.append({d.progressBar->maximum(), value});
        });
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.toggleConnection();
        QTRY_VERIFY(d.TransferButton->isEnabled());
        d.Transfer();
        QTRY_VERIFY_WITH_TIMEOUT(d.status->cancelButton->isVisible(), 20000);
        // Return writes only where a backup can bring back what it replaces.
        QCOMPARE(d.status->writeButton->isDefault(), backupPossible);
        QCOMPARE(d.status->cancelButton->isDefault(), !backupPossible);
        QCOMPARE(d.status->writeButton->isVisible(), backupPossible);
        QCOMPARE(d.status->noBackupButton->isVisible(), !backupPossible);
        QCOMPARE(QFileInfo::exists(d.backupFileName()), backupPossible);
        if (backupPossible) {
            d.status->writeButton->click();
        } else {
            QVERIFY(d.status->text().startsWith(QStringLiteral("No backup could be saved: ")));
            d.status->writeButton->click(); // hidden, and refused by the rules all the same
            QCOMPARE(d.transfer().phase(), MidiTransfer::Phase::Confirming);
            d.status->noBackupButton->click();
            QVERIFY(d.status->cancelButton->isDefault());
            QVERIFY(d.status->writeAnywayButton->isVisible());
            QCOMPARE(d.transfer().phase(), MidiTransfer::Phase::Confirming);
            d.status->writeAnywayButton->click();
        }
        QTRY_VERIFY_WITH_TIMEOUT(d.transferDone(), 20000);
        QVERIFY(rig.banks() == local);
        const QString summary = d.status->text();
        QVERIFY2(summary.contains(backupPossible ? QStringLiteral("Backup: b.pre")
                                                 : QStringLiteral("Written without a backup.")),
                 qPrintable(summary));
        QVERIFY(summary.contains(QStringLiteral("author \"Jürgen\" becomes \"J rgen\"")));
        for (int i = 1; i < bar.size(); ++i)
            QVERIFY2(bar[i].first != bar[i - 1].first || bar[i].second >= bar[i - 1].second,
                     qPrintable(QStringLiteral("%1 after %2").arg(bar[i].second).arg(bar[i - 1].second)));
        QCOMPARE(bar.last(), std::make_pair(2, 2)); // the writing phase: both written
    }

    void stopRetryAndTheLog()
    {
        Rig rig;
        // About 8 s for a whole import: slow enough to stop in the middle.
        rig.simulator->setByteRate(90000);
        TransferDialog d(rig.backend);
        d.inRow = d.outRow = rig.simulatorIndex;
        d.fillPortLists();
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QVERIFY(!d.log->expanded());
        QVERIFY(!d.log->view->isVisible());
        QTest::mouseClick(d.ConnectButton, Qt::LeftButton);
        QTRY_VERIFY(d.TransferButton->isEnabled());
        QTest::mouseClick(d.TransferButton, Qt::LeftButton);
        QVERIFY(d.status->stopButton->isVisible());
        QTRY_VERIFY(d.progressBar->value() > 20);
        QVERIFY2(d.status->text().startsWith(QStringLiteral("Bank 1 · preset ")),
                 qPrintable(d.status->text()));

        QTest::mouseClick(d.status->stopButton, Qt::LeftButton);
        QTRY_VERIFY(d.status->retryButton->isVisible());
        QVERIFY(d.status->closeButton->isVisible());
        QVERIFY(!d.status->stopButton->isVisible());
        QVERIFY2(d.status->text().startsWith(QStringLiteral("Stopped at bank ")),
                 qPrintable(d.status->text()));
        const int stoppedAt = d.transfer().progress();
        QVERIFY(!d.transferDone());

        // Retry goes on from there; the import closes the dialog when it is through.
        rig.simulator->setByteRate(0);
        QTest::mouseClick(d.status->retryButton, Qt::LeftButton);
        QVERIFY(d.status->stopButton->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(d.transferDone(), 20000);
        QCOMPARE(rig.counts().presetRequests, PresetCount + BankCount);
        QVERIFY(stoppedAt > 20);

        // The log names what happened; it opens, copies and saves.
        d.log->toggleButton->click();
        QVERIFY(d.log->view->isVisible());
        const QString text = d.log->text();
        for (const char *expected : {"Connected: serial 586-638-764, firmware 3.01.", "Stop pressed",
                                     "Stopped at bank", "Going on from bank", "Import done."})
            QVERIFY2(text.contains(QLatin1String(expected)), expected);
        QTest::mouseClick(d.log->copyButton, Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), text);
        QTemporaryDir dir;
        QString error;
        QVERIFY(d.log->saveTo(dir.filePath(QStringLiteral("log.txt")), error));
        QFile saved(dir.filePath(QStringLiteral("log.txt")));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(saved.readAll()).trimmed(), text.trimmed());
        QVERIFY(!d.log->saveTo(dir.filePath(QStringLiteral("missing/log.txt")), error));
        QVERIFY(!error.isEmpty());
    }

    // Focus goes to what comes next: Connect, then the transfer. Each use of the dialog
    // says in its title what it does.
    void focusAndTitles()
    {
        Rig rig;
        TransferDialog d(rig.backend);
        d.inRow = d.outRow = rig.simulatorIndex;
        d.fillPortLists();
        d.setMode(false);
        d.show();
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(d.ConnectButton));
        QTest::keyClick(d.ConnectButton, Qt::Key_Space);
        QTRY_COMPARE(d.connectionState(), int(MidiTransfer::Connected));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(d.TransferButton));
        QCOMPARE(d.windowTitle(), QStringLiteral("Import from Orvex+"));

        d.setReadForCompare(QStringLiteral("tip"));
        QCOMPARE(d.windowTitle(), QStringLiteral("Read from Orvex+ to compare"));
        QCOMPARE(d.TransferButton->text(), QStringLiteral("&Read"));

        TransferDialog restore(rig.backend);
        restore.setRestoreOf(QStringLiteral("/x/module-backup-20261207-140312.pre"),
                             QStringLiteral("7 Dec 2026"));
        restore.setMode(true);
        QCOMPARE(restore.windowTitle(), QStringLiteral("Restore to Orvex+: the backup of 7 Dec 2026"));
        QCOMPARE(restore.TransferButton->text(), QStringLiteral("&Restore"));
        QVERIFY(
            restore.TransferButton->toolTip().contains(QStringLiteral("module-backup-20261207-140312.pre")));
    }

    // Against a module that fell silent: the bar stays where it stopped and says so, and
    // each Retry is counted in the message.
    void retriesAgainstASilentModuleAreCounted()
    {
        Rig rig;
        TransferDialog d(rig.backend);
        d.transfer().setQuietTime(100);
        d.transfer().setResends(1);
        d.inRow = d.outRow = rig.simulatorIndex;
        d.fillPortLists();
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.toggleConnection();
        QTRY_VERIFY(d.TransferButton->isEnabled());
        rig.simulator->access([](ModuleSimulator &s) {
            s.faults().silentAfter = s.counts().identifyRequests + 300;
            return 0;
        });
        d.Transfer();
        QTRY_VERIFY_WITH_TIMEOUT(d.status->retryButton->isVisible(), 20000);
        QVERIFY2(
            d.status->text().startsWith(QStringLiteral("The module stopped answering at bank 3, preset 45.")),
            qPrintable(d.status->text()));
        QVERIFY(d.progressBar->isVisible());
        QCOMPARE(d.progressBar->value(), 2 * PresetsPerBank + 44);
        QCOMPARE(d.progressBar->text(), QStringLiteral("Stopped at bank 3, preset 45"));
        for (int attempt = 1; attempt <= 2; ++attempt) {
            d.status->retryButton->click();
            QVERIFY(!d.status->retryButton->isVisible());
            QTRY_VERIFY_WITH_TIMEOUT(d.status->retryButton->isVisible(), 20000);
            const QString expected =
                QStringLiteral("Retry %1: still no answer. The module stopped answering at "
                               "bank 3, preset 45.")
                    .arg(attempt);
            QVERIFY2(d.status->text().startsWith(expected), qPrintable(d.status->text()));
            QCOMPARE(d.progressBar->text(), QStringLiteral("Stopped at bank 3, preset 45"));
        }
    }

    // The list before writing: Space and the context menu tick or untick many at once,
    // the question's count follows the ticks and survives the question being asked again
    // (as after a Retry), columns and headings show whole, Cancel marks the backup unused.
    void thePreviewTicksRangesAndKeepsThem()
    {
        Rig rig;
        QTemporaryDir dir;
        TransferDialog d(rig.backend);
        const QString backup = dir.filePath(QStringLiteral("module-backup-20261207-140312.pre"));
        d.setBackupFile(backup);
        d.inRow = d.outRow = rig.simulatorIndex;
        d.fillPortLists();
        d.setMode(true);
        SelectionMask chosen;
        chosen.set(1, 3);
        chosen.set(1, 4);
        chosen.set(1, 5);
        d.setFixedChoice(ExportChoice::presets(chosen));
        TransferBanks local = rig.banks();
        PresetRecord record;
        for (int p : {3, 4}) {
            imageToRecord(local.at(1, p).data(), record);
            record.name = QStringLiteral("Changed %1").arg(p);
            record.author = QStringLiteral("P. Abercrombie-Featherstonehaugh");
            recordToImage(record, local.at(1, p).data());
        }
        d.transferBanks() = local;
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.toggleConnection();
        QTRY_VERIFY(d.TransferButton->isEnabled());
        d.Transfer();
        QTRY_VERIFY_WITH_TIMEOUT(d.status->cancelButton->isVisible(), 20000);
        QVERIFY2(d.status->text().startsWith(
                     QStringLiteral("2 of the 3 chosen presets will change on the module.")),
                 qPrintable(d.status->text()));
        // The question and its buttons are under the list.
        QVERIFY(d.status->geometry().top() >= d.previewPanel->geometry().bottom());

        QTableView *view = d.previewPanel->view;
        view->setFocus();
        view->selectRow(0);
        QTest::keyClick(view, Qt::Key_Space);
        QCOMPARE(d.exportPreview().tickedCount(), 1);
        QVERIFY2(d.status->text().startsWith(QStringLiteral("1 of the 3 chosen presets will change")),
                 qPrintable(d.status->text()));
        // Asked again: the unticked preset stays unticked, and the count with it.
        emit d.transfer().confirmationNeeded(2);
        QCOMPARE(d.exportPreview().tickedCount(), 1);
        QVERIFY(!d.exportPreview().ticked().isSelected(1, 3));
        QVERIFY(d.status->text().startsWith(QStringLiteral("1 of the 3 chosen presets will change")));

        // All selected: Space ticks both (one was unticked), then unticks both.
        view->selectAll();
        QTest::keyClick(view, Qt::Key_Space);
        QCOMPARE(d.exportPreview().tickedCount(), 2);
        QTest::keyClick(view, Qt::Key_Space);
        QCOMPARE(d.exportPreview().tickedCount(), 0);
        QVERIFY(!d.status->writeButton->isEnabled());
        std::unique_ptr<QMenu> menu(d.previewPanel->contextMenuFor(0));
        QAction *tickBank = nullptr;
        for (QAction *a : menu->actions())
            if (a->text() == QLatin1String("Tick bank 2"))
                tickBank = a;
        QVERIFY(tickBank);
        tickBank->trigger();
        QCOMPARE(d.exportPreview().tickedCount(), 2);
        // A click on the tick of a selected row acts on every selected row.
        view->selectAll();
        QStyleOptionViewItem option;
        option.initFrom(view);
        option.rect = view->visualRect(d.exportPreview().index(0, ExportPreview::Position));
        option.features |= QStyleOptionViewItem::HasCheckIndicator;
        const QRect tick =
            view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, view);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, tick.center());
        QCOMPARE(d.exportPreview().tickedCount(), 0);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, tick.center());
        QCOMPARE(d.exportPreview().tickedCount(), 2);

        // Headings whole over selected rows; texts whole; the empty column not the widest.
        QHeaderView *header = view->horizontalHeader();
        for (int c = 0; c < ExportPreview::ColumnCount; ++c) {
            const QString heading = d.exportPreview().headerData(c, Qt::Horizontal).toString();
            QVERIFY2(header->fontMetrics().horizontalAdvance(heading) < view->columnWidth(c),
                     qPrintable(heading));
        }
        QVERIFY(view->fontMetrics().horizontalAdvance(QStringLiteral("P. Abercrombie-Featherstonehaugh")) <
                view->columnWidth(ExportPreview::NewAuthor));
        QVERIFY(view->columnWidth(ExportPreview::Kept) < view->columnWidth(ExportPreview::NewAuthor));
        QVERIFY(d.width() >= d.previewPanel->wantedWidth());

        d.status->cancelButton->click();
        QVERIFY(BackupCatalog::entryFor(backup).unused);
        QVERIFY(!(rig.banks() == local));
    }

    // The summary names only the texts of presets written, not those of another choice.
    void theSummaryNamesOnlyWrittenTexts()
    {
        Rig rig;
        QTemporaryDir dir;
        TransferDialog d(rig.backend);
        d.setBackupFile(dir.filePath(QStringLiteral("b.pre")));
        d.inRow = d.outRow = rig.simulatorIndex;
        d.fillPortLists();
        d.setMode(true);
        BankStore records;
        records.fromDump(rig.banks().data());
        records.at(1, 3).name = QStringLiteral("Crème");
        records.at(1, 9).name = QStringLiteral("Brûlée");
        for (int b = 0; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p)
                recordToImage(records.at(b, p), d.transferBanks().at(b, p).data());
        d.setPreviewSource(&records);
        d.setNameChanges(TransferBackup::nameChanges(records));
        SelectionMask chosen;
        chosen.set(1, 3);
        d.setFixedChoice(ExportChoice::presets(chosen));
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.toggleConnection();
        QTRY_VERIFY(d.TransferButton->isEnabled());
        d.Transfer();
        QTRY_VERIFY_WITH_TIMEOUT(d.status->writeButton->isVisible(), 20000);
        d.status->writeButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(d.transferDone(), 20000);
        const QString summary = d.status->text();
        QVERIFY2(summary.contains(QStringLiteral("Bank 2, preset 4: \"Crème\" becomes \"Cr me\"")),
                 qPrintable(summary));
        QVERIFY2(!summary.contains(QStringLiteral("Brûlée")), qPrintable(summary));
    }

    // Ten lines of summary show without scrolling.
    void aTenLineSummaryFits()
    {
        Rig rig;
        TransferDialog d(rig.backend);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QStringList lines;
        for (int i = 1; i <= 10; ++i)
            lines << QStringLiteral("Bank 2, preset %1: \"Crème\" becomes \"Cr me\"").arg(i);
        d.status->showDone(lines.join(QLatin1Char('\n')));
        QTRY_VERIFY(d.status->height() > 10 * d.status->label->fontMetrics().lineSpacing());
        QTRY_COMPARE(d.status->scroller->verticalScrollBar()->maximum(), 0);
        QVERIFY(d.log->geometry().top() >= d.status->geometry().bottom());
    }

    void simulatorSwitch()
    {
        const QProcessEnvironment none;
        QProcessEnvironment on;
        on.insert(QStringLiteral("ORVEX_SIMULATOR"), QStringLiteral("1"));
        QProcessEnvironment off;
        off.insert(QStringLiteral("ORVEX_SIMULATOR"), QStringLiteral("0"));
        const QStringList plain = {QStringLiteral("orvex-presetmanager")};
        const QStringList flagged = {QStringLiteral("orvex-presetmanager"), QStringLiteral("--simulator")};
        QVERIFY(ProgramBackend::simulatorRequested(flagged, none));
        QVERIFY(ProgramBackend::simulatorRequested(plain, on));
        QVERIFY(!ProgramBackend::simulatorRequested(plain, off));
        QVERIFY(!ProgramBackend::simulatorRequested(plain, none));

        // The built-in device comes after the platform's devices, in both lists.
        TransferDialog with(ProgramBackend::forCommandLine(flagged, none));
        with.fillPortLists();
        QVERIFY(with.MidiInList->count() >= 1);
        QCOMPARE(with.MidiInList->item(with.MidiInList->count() - 1)->text(),
                 QStringLiteral("Orvex+ Simulator"));
        QCOMPARE(with.MidiOutList->item(with.MidiOutList->count() - 1)->text(),
                 QStringLiteral("Orvex+ Simulator"));
        TransferDialog without(ProgramBackend::forCommandLine(plain, none));
        without.fillPortLists();
        QCOMPARE(without.MidiInList->findItems(QStringLiteral("Orvex+ Simulator"), Qt::MatchExactly).size(),
                 0);
        QCOMPARE(without.MidiInList->count(), with.MidiInList->count() - 1);
    }
    // Every button the user can see, in every state of the dialogs, has an Alt key, and no key
    // is taken twice at once; a label's key reaches the field beside it.
    void everyVisibleButtonHasItsOwnAltKey_data()
    {
        QTest::addColumn<bool>("german");
        QTest::newRow("English") << false;
        QTest::newRow("German") << true;
    }

    void everyVisibleButtonHasItsOwnAltKey()
    {
        QFETCH(bool, german);
        QTranslator translator;
        if (german) {
            QVERIFY(translator.load(QStringLiteral(":/translations/presetman_de")));
            QCoreApplication::installTranslator(&translator);
        }
        auto check = [](QWidget *dialog, const char *state) {
            const QString fault = altKeyFault(dialog);
            return fault.isEmpty() ? fault : QStringLiteral("%1: %2").arg(state, fault);
        };
        QStringList faults;
        auto note = [&](const QString &fault) {
            if (!fault.isEmpty())
                faults << fault;
        };

        SyxContents mixed;
        mixed.writes = 1;
        mixed.replies = 1;
        SyxLoad syx(mixed);
        note(check(&syx, "SysEx load"));

        Rig rig;
        TransferDialog d(rig.backend);
        d.log->toggleButton->setChecked(true);
        d.setMode(false);
        note(check(&d, "import"));
        d.setReadForCompare(QStringLiteral("tip"));
        note(check(&d, "read to compare"));
        d.setMode(true);
        note(check(&d, "export"));
        d.setRestoreOf(QStringLiteral("b.pre"), QStringLiteral("today"));
        note(check(&d, "restore"));
        d.fillPortLists();
        QTest::mouseClick(d.ConnectButton, Qt::LeftButton);
        QTRY_COMPARE(d.connectionState(), int(MidiTransfer::Connected));
        note(check(&d, "connected"));
        d.status->showRunning(QStringLiteral("running"));
        note(check(&d, "running"));
        d.previewPanel->show();
        d.status->showQuestion(QStringLiteral("question"), true);
        note(check(&d, "question"));
        d.status->showQuestion(QStringLiteral("question"), false);
        note(check(&d, "question without a backup"));
        d.status->showWithoutBackupQuestion(QStringLiteral("sure?"));
        note(check(&d, "second question"));
        d.previewPanel->hide();
        d.status->showStopped(QStringLiteral("stopped"), true);
        note(check(&d, "stopped"));
        d.status->showDone(QStringLiteral("done"));
        note(check(&d, "done"));
        QCoreApplication::removeTranslator(&translator);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TestTransferDialog)
#include "tst_transferdialog.moc"
