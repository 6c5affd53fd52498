#include "midireceiver.h"

#include "common/scriptedmidibackend.h"
#include "midi/midievent.h"
#include "midi/midiport.h"

#include <QTest>

namespace {

void drain(ScriptedMidiBackend &backend)
{
    backend.flush();
    QCoreApplication::sendPostedEvents();
}

MidiBufferPtr filledBuffer(const std::vector<uint8_t> &bytes)
{
    auto b = std::make_unique<MidiBuffer>();
    b->data.assign(1024, 0);
    std::copy(bytes.begin(), bytes.end(), b->data.begin());
    b->bytesRecorded = bytes.size();
    return b;
}

} // namespace

class TestMidiPort : public QObject
{
    Q_OBJECT

private slots:
    void listsDevicesUntilTheFirstMissingIndex()
    {
        auto backend = std::make_shared<ScriptedMidiBackend>(3, 2);
        MidiPort port(backend);
        QCOMPARE(port.inputDeviceName(2).value_or(QString()), QStringLiteral("Scripted In 2"));
        QVERIFY(!port.inputDeviceName(3));
        QCOMPARE(port.outputDeviceName(1).value_or(QString()), QStringLiteral("Scripted Out 1"));
        QVERIFY(!port.outputDeviceName(2));
        QVERIFY(!port.inputDeviceName(-1));
    }

    void fourBuffersWaitAtTheInputWhileItIsOpen()
    {
        auto backend = std::make_shared<ScriptedMidiBackend>(1, 1);
        MidiPort port(backend);
        MidiReceiver receiver(&port);
        port.setReceiver(&receiver);
        QVERIFY(port.openPorts(0, 0));
        const MidiHandle in = backend->lastInput();
        QCOMPARE(backend->queuedBufferCount(in), 4);

        // One at a time: after each handled delivery there are four again.
        for (int i = 0; i < 5; ++i) {
            backend->deliver(0, sysexOfLength(11 + i * 100, uint8_t(i)));
            QTRY_COMPARE_WITH_TIMEOUT(int(receiver.messages.size()), i + 1, 5000);
            QCOMPARE(backend->queuedBufferCount(in), 4);
        }
        for (int i = 0; i < 5; ++i)
            QCOMPARE(receiver.messages[i], sysexOfLength(11 + i * 100, uint8_t(i)));
        QCOMPARE(receiver.capacities, std::vector<int>(5, 1024));
        QVERIFY(!receiver.dirtyTail);
        QCOMPARE(receiver.types, std::vector<int>(5, 1000));
        QVERIFY(!receiver.wrongThread);
    }

    void eventsKeepArrivalOrderAndOverflowIsDroppedWhole()
    {
        auto backend = std::make_shared<ScriptedMidiBackend>(1, 1);
        MidiPort port(backend);
        MidiReceiver receiver(&port);
        port.setReceiver(&receiver);
        QVERIFY(port.openPorts(0, 0));

        // Nothing is handled meanwhile, so only four buffers are there for six messages;
        // a message longer than a buffer never goes in at all.
        backend->deliver(0, sysexOfLength(1025, 9));
        for (int i = 0; i < 6; ++i)
            backend->deliver(0, sysexOfLength(20 + i, uint8_t(i)));
        drain(*backend);
        QCOMPARE(int(receiver.messages.size()), 4);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(receiver.messages[i], sysexOfLength(20 + i, uint8_t(i)));

        // A full 1024-byte message fits exactly.
        backend->deliver(0, sysexOfLength(1024, 3));
        drain(*backend);
        QCOMPARE(int(receiver.messages.size()), 5);
        QCOMPARE(receiver.messages.back(), sysexOfLength(1024, 3));
        QCOMPARE(backend->queuedBufferCount(backend->lastInput()), 4);
    }

    void strayNotificationsPostNothing()
    {
        auto backend = std::make_shared<ScriptedMidiBackend>(1, 1);
        MidiPort port(backend);
        MidiReceiver receiver(&port);
        receiver.requeue = false;
        port.setReceiver(&receiver);
        QVERIFY(port.openPorts(0, 0));
        const MidiHandle in = backend->lastInput();
        const std::vector<uint8_t> reply = sysexOfLength(13, 1);

        backend->inject(in, in + 1000, MidiNotice::InLongData, filledBuffer(reply)); // another port's buffer
        backend->inject(in, in, MidiNotice::InData, filledBuffer(reply));
        backend->inject(in, in, MidiNotice::InOpen);
        backend->inject(in, in, MidiNotice::InClose);
        backend->inject(in, in, MidiNotice::InError, filledBuffer(reply));
        backend->inject(in, in, MidiNotice::InLongData); // no buffer at all
        drain(*backend);
        QCOMPARE(int(receiver.messages.size()), 0);

        backend->inject(in, in, MidiNotice::InLongData, filledBuffer(reply));
        drain(*backend);
        QCOMPARE(int(receiver.messages.size()), 1);
        QCOMPARE(receiver.messages[0], reply);
    }

    void buffersReturnedByCloseAreNotDelivered()
    {
        auto backend = std::make_shared<ScriptedMidiBackend>(1, 1);
        MidiPort port(backend);
        MidiReceiver receiver(&port);
        port.setReceiver(&receiver);
        QVERIFY(port.openPorts(0, 0));
        const MidiHandle in = backend->lastInput();
        port.closePorts();
        QVERIFY(!port.inputOpen());
        QVERIFY(!port.outputOpen());
        QCOMPARE(backend->queuedBufferCount(in), -1);
        QCOMPARE(backend->openInputCount(), 0);
        QCOMPARE(backend->openOutputCount(), 0);
        backend->deliver(0, sysexOfLength(13, 1));
        drain(*backend);
        QCOMPARE(int(receiver.messages.size()), 0);
        // Nothing to replace a buffer with once closed, and closing twice is harmless.
        QVERIFY(!port.queueInputBuffer());
        port.closePorts();
    }

    void eventsStillQueuedWhenThePortClosesAreHandledOrFreed()
    {
        auto backend = std::make_shared<ScriptedMidiBackend>(1, 1);
        {
            MidiPort port(backend);
            auto receiver = std::make_unique<MidiReceiver>(&port);
            port.setReceiver(receiver.get());
            QVERIFY(port.openPorts(0, 0));
            backend->deliver(0, sysexOfLength(300, 2));
            backend->deliver(0, sysexOfLength(300, 3));
            backend->flush();
            port.closePorts();
            // The two events are still posted; destroying their receiver frees them.
            port.setReceiver(nullptr);
            receiver.reset();
        }
        QCoreApplication::sendPostedEvents();
    }

    void sendingNeedsAnOpenOutput()
    {
        auto backend = std::make_shared<ScriptedMidiBackend>(1, 1);
        MidiPort port(backend);
        QVERIFY(!port.sendSysex(sysexOfLength(11, 0)));
        QCOMPARE(backend->sendCalls(), 0);

        QVERIFY(port.openPorts(0, 0));
        const std::vector<uint8_t> write = sysexOfLength(333, 5);
        QVERIFY(port.sendSysex(write));
        QVERIFY(port.sendSysex(sysexOfLength(13, 6)));
        backend->flush();
        const auto got = backend->received(0);
        QCOMPARE(int(got.size()), 2);
        QCOMPARE(got[0], write);
        QCOMPARE(got[1], sysexOfLength(13, 6));

        port.closePorts();
        QVERIFY(!port.sendSysex(sysexOfLength(11, 0)));
        QCOMPARE(backend->sendCalls(), 2);
    }

    void aPortThatOpenedStaysOpenWhenTheOtherFails()
    {
        auto backend = std::make_shared<ScriptedMidiBackend>(1, 1);
        MidiPort port(backend);
        MidiReceiver receiver(&port);
        port.setReceiver(&receiver);

        // Half a pair is closed again at once, and the side that failed is named.
        QVERIFY(!port.openPorts(0, 1)); // valid input, no output 1
        QVERIFY(!port.inputOpen());
        QVERIFY(!port.outputOpen());
        QVERIFY(!port.inputFailed());
        QVERIFY(port.outputFailed());
        QCOMPARE(backend->openInputCount(), 0);
        QVERIFY(!port.sendSysex(sysexOfLength(11, 0)));
        QCOMPARE(backend->sendCalls(), 0);

        QVERIFY(!port.openPorts(-1, 0)); // no list row chosen
        QVERIFY(!port.inputOpen());
        QVERIFY(!port.outputOpen());
        QVERIFY(port.inputFailed());
        QVERIFY(!port.outputFailed());
        QCOMPARE(backend->openOutputCount(), 0);
        // Opening again closes what was open first.
        QVERIFY(port.openPorts(0, 0));
        QVERIFY(port.openPorts(0, 0));
        QCOMPARE(backend->openInputCount(), 1);
        QCOMPARE(backend->openOutputCount(), 1);
    }

    void destroyingThePortClosesIt()
    {
        auto backend = std::make_shared<ScriptedMidiBackend>(1, 1);
        {
            MidiPort port(backend);
            QVERIFY(port.openPorts(0, 0));
            QVERIFY(port.sendSysex(sysexOfLength(333, 1)));
        }
        QCOMPARE(backend->openInputCount(), 0);
        QCOMPARE(backend->openOutputCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestMidiPort)
#include "tst_midiport.moc"
