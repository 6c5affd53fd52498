// Which ports the transfer dialog offers and starts on: remembered names, Rescan, and
// the line shown when there are no ports at all.
#include "common/scriptedmidibackend.h"
#include "dialogs/transferdialog.h"
#include "midi/portnames.h"
#include "midi/rtmidibackend.h"

#include <QTest>
#include <QTranslator>

class TestPortChoice : public QObject
{
    Q_OBJECT

private slots:
    void namesAreFoundAgain()
    {
        const QStringList alsa = {QStringLiteral("Midi Through:Midi Through Port-0 14:0"),
                                  QStringLiteral("Orvex:Orvex MIDI 1 28:0"), QStringLiteral("Twin:Port 30:0"),
                                  QStringLiteral("Twin:Port 31:0")};
        const struct
        {
            QString name;
            int row;
        } cases[] = {
            {QStringLiteral("Orvex:Orvex MIDI 1 28:0"), 1},
            {QStringLiteral("Orvex:Orvex MIDI 1 24:0"), 1}, // plugged in again, new address
            {QStringLiteral("Twin:Port 31:0"), 3},
            {QStringLiteral("Twin:Port 29:0"), -1}, // two candidates: neither
            {QStringLiteral("Orvex:Orvex MIDI 2 28:1"), -1},
            {QString(), -1},
        };
        for (const auto &c : cases)
            QVERIFY2(PortNames::find(alsa, c.name) == c.row, qPrintable(c.name));
    }

    void ownPortsAreKnownByName()
    {
        const RtMidiBackend backend(QStringLiteral("jack"));
        const struct
        {
            const char *name;
            bool own;
        } cases[] = {
            {"Orvex+ Preset Manager:in", true},
            {"Orvex+ Preset Manager-01:out", true},    // JACK's name for a second client
            {"Orvex+ Preset Manager:out 129:0", true}, // ALSA
            {"Orvex+ Preset Manager Backup:in", false},
            {"Orvex+ Preset Manager-new:in", false},
            {"orvex-simulator:Orvex+ Preset Manager", false},
        };
        for (const auto &c : cases)
            QVERIFY2(backend.ownPort(QString::fromUtf8(c.name)) == c.own, c.name);
    }

    void rescanRefillsBothListsAndSaysWhenThereAreNone()
    {
        auto backend = std::make_shared<ScriptedMidiBackend>(2, 2);
        TransferDialog d(backend);
        d.fillPortLists();
        QVERIFY(d.NoPortsText->isHidden());
        d.MidiInList->setCurrentRow(1);

        // A device plugged in at the front: the chosen one stays chosen.
        backend->setDeviceCounts(3, 1);
        QCOMPARE(d.MidiInList->count(), 2);
        QTest::mouseClick(d.RescanButton, Qt::LeftButton);
        QCOMPARE(d.MidiInList->count(), 3);
        QCOMPARE(d.MidiOutList->count(), 1);
        QCOMPARE(d.MidiInList->currentItem()->text(), QStringLiteral("Scripted In 1"));

        backend->setDeviceCounts(0, 0);
        QTest::mouseClick(d.RescanButton, Qt::LeftButton);
        QCOMPARE(d.MidiInList->count() + d.MidiOutList->count(), 0);
        QVERIFY(!d.NoPortsText->isHidden());
        QVERIFY(d.NoPortsText->text().contains(QStringLiteral("MIDI system")));

        backend->setDeviceCounts(0, 1);
        QTest::mouseClick(d.RescanButton, Qt::LeftButton);
        QVERIFY(d.NoPortsText->isHidden());

        // The lists stay as connected until Disconnect.
        backend->setDeviceCounts(1, 1);
        d.fillPortLists();
        QTest::mouseClick(d.ConnectButton, Qt::LeftButton);
        QCOMPARE(d.connectionState(), int(MidiTransfer::Connecting));
        QVERIFY(!d.RescanButton->isEnabled());
        QTest::mouseClick(d.ConnectButton, Qt::LeftButton);
        QVERIFY(d.RescanButton->isEnabled());
    }

    // Devices plugged in or out while the dialog is open show by themselves, the chosen
    // port staying chosen; while connected the lists stay as they were.
    void theListsFollowDevicesPluggedInOrOut()
    {
        auto backend = std::make_shared<ScriptedMidiBackend>(2, 2);
        TransferDialog d(backend);
        d.fillPortLists();
        d.MidiInList->setCurrentRow(1);
        backend->setDeviceCounts(3, 1);
        QTRY_COMPARE_WITH_TIMEOUT(d.MidiInList->count(), 3, 10000);
        QCOMPARE(d.MidiOutList->count(), 1);
        QCOMPARE(d.MidiInList->currentItem()->text(), QStringLiteral("Scripted In 1"));

        QTest::mouseClick(d.ConnectButton, Qt::LeftButton);
        QCOMPARE(d.connectionState(), int(MidiTransfer::Connecting));
        backend->setDeviceCounts(1, 1);
        d.pollPorts();
        QCOMPARE(d.MidiInList->count(), 3);
        QTest::mouseClick(d.ConnectButton, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(d.MidiInList->count(), 1, 10000);
    }

    void germanTexts()
    {
        QTranslator translator;
        QVERIFY(translator.load(QStringLiteral(":/translations/presetman_de")));
        QCoreApplication::installTranslator(&translator);
        TransferDialog d(std::make_shared<ScriptedMidiBackend>(0, 0));
        QCOMPARE(d.RescanButton->text(), QStringLiteral("&Neu suchen"));
        QVERIFY(d.NoPortsText->text().startsWith(QStringLiteral("Keine MIDI-Ports gefunden.")));
        QCoreApplication::removeTranslator(&translator);
    }
};

QTEST_MAIN(TestPortChoice)
#include "tst_portchoice.moc"
