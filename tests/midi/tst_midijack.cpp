#include "jackserver.h"
#include "midireceiver.h"

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
        QVERIFY(port.sendSysex(toPeer));
        auto peerCount = [&] {
            std::lock_guard<std::mutex> lock(mutex);
            return int(peerGot.size());
        };
        QTRY_VERIFY2_WITH_TIMEOUT(peerCount() == 1, "the 333-byte message did not reach the peer within 10 s",
                                  10000);
        {
            std::lock_guard<std::mutex> lock(mutex);
            QCOMPARE(peerGot[0], toPeer);
        }

        const std::vector<uint8_t> fromPeer = sysexOfLength(333, 2);
        QVERIFY(peer.send(fromPeer));
        QTRY_VERIFY2_WITH_TIMEOUT(receiver.messages.size() == 1,
                                  "the 333-byte message from the peer did not arrive within 10 s", 10000);
        QCOMPARE(receiver.messages[0], fromPeer);
        QCOMPARE(receiver.types[0], 1000);
        port.closePorts();
        QVERIFY2(overall.elapsed() < 30000, "the exchange took longer than 30 s");
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
    JackServer jack;
};

QTEST_GUILESS_MAIN(TestMidiJack)
#include "tst_midijack.moc"
