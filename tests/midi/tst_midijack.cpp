#include "jackserver.h"
#include "midireceiver.h"

#include "midi/compositemidibackend.h"
#include "midi/midiport.h"
#include "midi/rtmidibackend.h"

#include <QElapsedTimer>
#include <QTest>

#include <mutex>

// Over a real MIDI stack: a JACK server with the dummy driver, RtMidi's JACK API.
class TestMidiJack : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QString why;
        if (!jack.start(&why))
            QSKIP(qPrintable(QStringLiteral("no JACK server for the end-to-end test: ") + why));
    }

    void sysexCrossesJackIntactBothWays()
    {
        QElapsedTimer overall;
        overall.start();
        std::mutex mutex;
        std::vector<std::vector<uint8_t>> peerGot;
        RtMidiBackend::VirtualPort peer(QStringLiteral("jack"), QStringLiteral("orvex-peer"),
                                        QStringLiteral("peer"), [&](const std::vector<uint8_t> &m) {
                                            std::lock_guard<std::mutex> lock(mutex);
                                            peerGot.push_back(m);
                                        });
        QString error;
        QVERIFY2(peer.open(&error), qPrintable(error));

        auto backend = std::make_shared<RtMidiBackend>(QStringLiteral("jack"));
        MidiPort port(backend);
        MidiReceiver receiver(&port);
        port.setReceiver(&receiver);
        int in = -1;
        int out = -1;
        for (int i = 0; i < 100; ++i) {
            const auto name = port.inputDeviceName(i);
            if (!name)
                break;
            if (name->contains(QStringLiteral("orvex-peer")))
                in = i;
        }
        for (int i = 0; i < 100; ++i) {
            const auto name = port.outputDeviceName(i);
            if (!name)
                break;
            if (name->contains(QStringLiteral("orvex-peer")))
                out = i;
        }
        QVERIFY2(in >= 0 && out >= 0, "the peer's ports are not listed");
        QVERIFY(port.openPorts(in, out));

        const std::vector<uint8_t> toPeer = sysexOfLength(333, 1);
        auto peerCount = [&] {
            std::lock_guard<std::mutex> lock(mutex);
            return int(peerGot.size());
        };
        // JACK on a busy machine may drop a long message now and then (the transfer's resends are
        // there for that); the port layer is at fault only if none of three copies arrives.
        for (int copy = 1; copy <= 3 && peerCount() == 0; ++copy) {
            if (copy > 1)
                qWarning("JACK dropped the 333-byte message; sending copy %d", copy);
            QVERIFY(port.sendSysex(toPeer));
            (void)QTest::qWaitFor([&] { return peerCount() > 0; }, 10000);
        }
        QVERIFY2(peerCount() > 0, "none of three 333-byte messages reached the peer within 10 s each");
        {
            std::lock_guard<std::mutex> lock(mutex);
            QCOMPARE(peerGot[0], toPeer);
        }

        const std::vector<uint8_t> fromPeer = sysexOfLength(333, 2);
        for (int copy = 1; copy <= 3 && receiver.messages.empty(); ++copy) {
            if (copy > 1)
                qWarning("JACK dropped the peer's 333-byte message; sending copy %d", copy);
            QVERIFY(peer.send(fromPeer));
            (void)QTest::qWaitFor([&] { return !receiver.messages.empty(); }, 10000);
        }
        QVERIFY2(!receiver.messages.empty(),
                 "none of three 333-byte messages from the peer arrived within 10 s each");
        QCOMPARE(receiver.messages[0], fromPeer);
        QCOMPARE(receiver.types[0], 1000);
        port.closePorts();
        QVERIFY2(overall.elapsed() < 75000, "the exchange took longer than 75 s");
    }

    // JACK gives a new port the lowest free slot and lists ports by slot. Our own input,
    // made at Connect in a slot another client freed, then came before the listed
    // device in RtMidi's re-count, and the output went to our own input.
    void connectReachesTheListedPortAfterJackReusedAFreedSlot()
    {
        std::mutex mutex;
        int peerGot = 0;
        auto gone = std::make_unique<RtMidiBackend::VirtualPort>(
            QStringLiteral("jack"), QStringLiteral("orvex-gone"), QStringLiteral("gone"), nullptr);
        QVERIFY(gone->open());
        RtMidiBackend::VirtualPort peer(QStringLiteral("jack"), QStringLiteral("orvex-slot"),
                                        QStringLiteral("peer"), [&](const std::vector<uint8_t> &) {
                                            std::lock_guard<std::mutex> lock(mutex);
                                            ++peerGot;
                                        });
        QVERIFY(peer.open());
        gone.reset();

        // The program's own stack of backends, as the dialog uses it.
        std::shared_ptr<MidiBackend> backend = CompositeMidiBackend::create(QStringLiteral("jack"), nullptr);
        MidiPort port(backend);
        MidiReceiver receiver(&port);
        port.setReceiver(&receiver);
        const int in = listedRow(port, true, QStringLiteral("orvex-slot"));
        const int out = listedRow(port, false, QStringLiteral("orvex-slot"));
        QVERIFY2(in >= 0 && out >= 0, "the peer's ports are not listed");
        QVERIFY(port.openPorts(in, out));
        QVERIFY(port.sendSysex(sysexOfLength(20, 3)));
        QTRY_VERIFY2_WITH_TIMEOUT(
            [&] {
                std::lock_guard<std::mutex> lock(mutex);
                return peerGot == 1;
            }(),
            "the message did not reach the listed output within 10 s", 10000);
        QVERIFY2(receiver.messages.empty(), "the output was connected to the program's own input");

        // A rescan sees a port that came since, but never our own open ports.
        RtMidiBackend::VirtualPort late(QStringLiteral("jack"), QStringLiteral("orvex-late"),
                                        QStringLiteral("late"), nullptr);
        QVERIFY(late.open());
        QCOMPARE(listedRow(port, true, QStringLiteral("orvex-late")), -1);
        backend->rescan();
        QVERIFY(listedRow(port, true, QStringLiteral("orvex-late")) >= 0);
        QVERIFY(listedRow(port, false, QStringLiteral("orvex-late")) >= 0);
        QCOMPARE(listedRow(port, true, QStringLiteral("Orvex+ Preset Manager")), -1);
        QCOMPARE(listedRow(port, false, QStringLiteral("Orvex+ Preset Manager")), -1);
        port.closePorts();
    }

    // A server stops on SIGTERM, leaving JACK's registry, and the next one takes its name:
    // repeated runs never fill the registry's eight slots.
    void serversStopCleanlyAndReuseTheirNames()
    {
        QString name;
        for (int run = 0; run < 2; ++run) {
            JackServer second;
            QVERIFY(second.name() != jack.name() &&
                    !second.name().contains(QString::number(QCoreApplication::applicationPid())));
            if (run == 1)
                QCOMPARE(second.name(), name);
            name = second.name();
            QString why;
            QVERIFY2(second.start(&why), qPrintable(why));
            QVERIFY2(second.stop(), qPrintable(second.log()));
        }
        // The process's own clients still reach the first server.
        qputenv("JACK_DEFAULT_SERVER", jack.name().toLocal8Bit());
    }

    void missingDevicesFailToOpen()
    {
        auto backend = std::make_shared<RtMidiBackend>(QStringLiteral("jack"));
        MidiPort port(backend);
        QVERIFY(!port.openPorts(500, 500));
        QVERIFY(!port.inputOpen());
        QVERIFY(!port.outputOpen());
        auto unknown = std::make_shared<RtMidiBackend>(QStringLiteral("no-such-api"));
        QVERIFY(!unknown->apiAvailable());
        MidiPort nowhere(unknown);
        QVERIFY(!nowhere.inputDeviceName(0));
        QVERIFY(!nowhere.openPorts(0, 0));
    }

private:
    // The last row whose name contains `part`, or -1.
    static int listedRow(const MidiPort &port, bool input, const QString &part)
    {
        int row = -1;
        for (int i = 0; i < 100; ++i) {
            const auto name = input ? port.inputDeviceName(i) : port.outputDeviceName(i);
            if (!name)
                break;
            if (name->contains(part))
                row = i;
        }
        return row;
    }

    JackServer jack;
};

QTEST_GUILESS_MAIN(TestMidiJack)
#include "tst_midijack.moc"
