// The transfer dialog on its own: its states, port lists, texts and pictures, through
// the virtual backend and the in-process module simulator.
#include "common/transferrig.h"
#include "device/midisetting.h"
#include "device/transferlogpanel.h"
#include "device/transferstatuspanel.h"
#include "midi/scriptedmidibackend.h"

#include <QClipboard>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
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
        MidiSetting d(rig.backend);
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
        QCOMPARE(d.TransferButton->text(), QStringLiteral("Export"));
        QCOMPARE(d.IconLabel->pixmap().toImage().convertToFormat(QImage::Format_ARGB32),
                 QImage(QStringLiteral(":/Charts/export_screen.png")).convertToFormat(QImage::Format_ARGB32));
        QVERIFY(d.IconLabel->contentsRect().contains(QRect(QPoint(0, 0), QSize(320, 87))));
        d.setMode(false);
        QVERIFY(!d.exportMode());
        QCOMPARE(d.TransferButton->text(), QStringLiteral("Import"));
        QCOMPARE(d.IconLabel->pixmap().toImage().convertToFormat(QImage::Format_ARGB32),
                 QImage(QStringLiteral(":/Charts/import_screen.png")).convertToFormat(QImage::Format_ARGB32));
    }

    void germanTextsAndPictures()
    {
        QTranslator translator;
        QVERIFY(translator.load(QStringLiteral(":/Charts/presetman_de")));
        QCoreApplication::installTranslator(&translator);
        Rig rig;
        MidiSetting d(rig.backend);
        d.setMode(true);
        QCOMPARE(d.TransferButton->text(), QStringLiteral("Exportieren"));
        QCOMPARE(d.groupBox_3->title(), QStringLiteral("MIDI IN Kanal"));
        QCOMPARE(d.TryConText->text(), QStringLiteral("versuche zu verbinden..."));
        QCOMPARE(d.status->retryButton->text(), QStringLiteral("Wiederholen"));
        QCOMPARE(d.log->toggleButton->text(), QStringLiteral("Protokoll"));
        QCOMPARE(d.transfer().positionText(), QStringLiteral("Bank 1 · Preset 1 von 128"));
        QCOMPARE(
            d.IconLabel->pixmap().toImage().convertToFormat(QImage::Format_ARGB32),
            QImage(QStringLiteral(":/Charts/export_screen_de.png")).convertToFormat(QImage::Format_ARGB32));
        d.fillPortLists();
        QTest::mouseClick(d.ConnectButton, Qt::LeftButton);
        QCOMPARE(d.ConnectButton->text(), QStringLiteral("Trennen"));
        QCoreApplication::removeTranslator(&translator);
    }

    void portListsStopAtTheFirstGapOrAtAHundred()
    {
        Rig few(2);
        MidiSetting small(few.backend);
        small.fillPortLists();
        QCOMPARE(small.MidiInList->count(), 3);
        QCOMPARE(small.MidiOutList->count(), 3);
        QCOMPARE(small.MidiInList->item(2)->text(), QStringLiteral("Orvex+ Simulator"));
        QCOMPARE(small.MidiInList->currentRow(), 0);

        Rig many(120);
        MidiSetting large(many.backend);
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
        MidiSetting d(rig.backend);
        d.inRow = d.outRow = rig.simulatorIndex;
        d.fillPortLists();
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));

        // The reply can only be handled once the event loop runs: Connecting is seen first.
        QTest::mouseClick(d.ConnectButton, Qt::LeftButton);
        QCOMPARE(d.connectionState(), int(MidiTransfer::Connecting));
        QCOMPARE(d.ConnectButton->text(), QStringLiteral("Disconnect"));
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
        QCOMPARE(d.ConnectButton->text(), QStringLiteral("Connect"));
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
        MidiSetting d(rig.backend);
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
        QCOMPARE(d.ConnectButton->text(), QStringLiteral("Connect"));
        QCOMPARE(rig.backend->openInputCount(), 0);
    }

    void aPortGoneSinceTheListWasReadIsNamed()
    {
        auto backend = std::make_shared<ScriptedMidiBackend>(1, 1);
        MidiSetting d(backend);
        d.fillPortLists();
        backend->setDeviceCounts(1, 0); // unplugged while the dialog is open
        backend->rescan();
        d.Connect();
        QCOMPARE(d.connectionState(), int(MidiTransfer::Disconnected));
        QCOMPARE(d.status->text(), QStringLiteral("Cannot open the MIDI output \"Scripted Out 0\"."));
        QCOMPARE(backend->openInputCount(), 0); // the input that did open is closed again
        QVERIFY(d.MidiInList->isEnabled());
        QCOMPARE(d.ConnectButton->text(), QStringLiteral("Connect"));
    }

    void stopRetryAndTheLog()
    {
        Rig rig;
        // About 8 s for a whole import: slow enough to stop in the middle.
        rig.simulator->setByteRate(90000);
        MidiSetting d(rig.backend);
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

    void simulatorSwitch()
    {
        const QProcessEnvironment none;
        QProcessEnvironment on;
        on.insert(QStringLiteral("ORVEX_SIMULATOR"), QStringLiteral("1"));
        QProcessEnvironment off;
        off.insert(QStringLiteral("ORVEX_SIMULATOR"), QStringLiteral("0"));
        const QStringList plain = {QStringLiteral("orvex-presetmanager")};
        const QStringList flagged = {QStringLiteral("orvex-presetmanager"), QStringLiteral("--simulator")};
        QVERIFY(MidiSetting::simulatorRequested(flagged, none));
        QVERIFY(MidiSetting::simulatorRequested(plain, on));
        QVERIFY(!MidiSetting::simulatorRequested(plain, off));
        QVERIFY(!MidiSetting::simulatorRequested(plain, none));

        // The built-in device comes after the platform's devices, in both lists.
        MidiSetting with(MidiSetting::programBackend(flagged, none));
        with.fillPortLists();
        QVERIFY(with.MidiInList->count() >= 1);
        QCOMPARE(with.MidiInList->item(with.MidiInList->count() - 1)->text(),
                 QStringLiteral("Orvex+ Simulator"));
        QCOMPARE(with.MidiOutList->item(with.MidiOutList->count() - 1)->text(),
                 QStringLiteral("Orvex+ Simulator"));
        MidiSetting without(MidiSetting::programBackend(plain, none));
        without.fillPortLists();
        QCOMPARE(without.MidiInList->findItems(QStringLiteral("Orvex+ Simulator"), Qt::MatchExactly).size(),
                 0);
        QCOMPARE(without.MidiInList->count(), with.MidiInList->count() - 1);
    }
};

QTEST_MAIN(TestTransferDialog)
#include "tst_transferdialog.moc"
