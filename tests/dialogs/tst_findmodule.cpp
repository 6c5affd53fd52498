// Finding the port pair the module answers on: the finder on its own and the dialog's
// Find button, through the virtual backend with muted devices and two simulators.
#include "common/transferrig.h"
#include "device/modulefinder.h"
#include "dialogs/transferdialog.h"
#include "dialogs/transferstatuspanel.h"

#include <QSignalSpy>
#include <QTest>

namespace {
// Mute 0, module A, Mute 1, module B: each device is an input and an output at its index.
struct TwoModules
{
    std::shared_ptr<VirtualMidiBackend> backend = std::make_shared<VirtualMidiBackend>();
    std::shared_ptr<SimulatorDevice> a = std::make_shared<SimulatorDevice>();
    std::shared_ptr<SimulatorDevice> b = std::make_shared<SimulatorDevice>();
    TwoModules(bool withB = true)
    {
        a->access([](ModuleSimulator &s) {
            s.setSerialNumber(111222333);
            return 0;
        });
        b->access([](ModuleSimulator &s) {
            s.setSerialNumber(222333444);
            return 0;
        });
        backend->addDevice(std::make_shared<SilentDevice>(QStringLiteral("Mute 0")));
        backend->addDevice(a);
        backend->addDevice(std::make_shared<SilentDevice>(QStringLiteral("Mute 1")));
        if (withB)
            backend->addDevice(b);
    }
    QStringList names() const
    {
        QStringList list;
        for (int i = 0; backend->inputDeviceName(i); ++i)
            list << *backend->inputDeviceName(i);
        return list;
    }
};
} // namespace

class TestFindModule : public QObject
{
    Q_OBJECT

private slots:
    void outputsAreTriedMostAlikeFirst_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QStringList>("outputs");
        QTest::addColumn<QList<int>>("order");
        const QStringList usb = {QStringLiteral("Midi Through Port-0"), QStringLiteral("UM-ONE MIDI 2"),
                                 QStringLiteral("UM-ONE MIDI 1")};
        QTest::newRow("same name first") << QStringLiteral("UM-ONE MIDI 1") << usb << QList<int>{2, 1, 0};
        QTest::newRow("longest common start")
            << QStringLiteral("UM-ONE MIDI 3") << usb << QList<int>{1, 2, 0};
        QTest::newRow("nothing alike keeps the order")
            << QStringLiteral("Other") << usb << QList<int>{0, 1, 2};
        QTest::newRow("no outputs") << QStringLiteral("Other") << QStringList() << QList<int>{};
    }
    void outputsAreTriedMostAlikeFirst()
    {
        QFETCH(QString, input);
        QFETCH(QStringList, outputs);
        QFETCH(QList<int>, order);
        const std::vector<int> got = ModuleFinder::outputsByLikeness(input, outputs);
        QCOMPARE(QList<int>(got.begin(), got.end()), order);
    }

    // Each module is found on its own pair, with its serial number; the muted devices are
    // passed over; nothing but identify requests is sent.
    void findsEveryModuleOnItsOwnPair_data()
    {
        QTest::addColumn<bool>("withB");
        QTest::newRow("two modules") << true;
        QTest::newRow("one module") << false;
    }
    void findsEveryModuleOnItsOwnPair()
    {
        QFETCH(bool, withB);
        TwoModules rig(withB);
        ModuleFinder finder(rig.backend);
        QSignalSpy done(&finder, &ModuleFinder::finished);
        QVERIFY(finder.start(rig.names(), rig.names()));
        QVERIFY(finder.running());
        QVERIFY(done.wait(20000));
        QVERIFY(!finder.running());
        QCOMPARE(rig.backend->openInputCount() + rig.backend->openOutputCount(), 0);
        const auto &found = finder.found();
        QCOMPARE(int(found.size()), withB ? 2 : 1);
        QCOMPARE(found[0].input, 1);
        QCOMPARE(found[0].output, 1);
        QCOMPARE(found[0].identity.serialNumber, 111222333u);
        if (withB) {
            QCOMPARE(found[1].input, 3);
            QCOMPARE(found[1].output, 3);
            QCOMPARE(found[1].identity.serialNumber, 222333444u);
        }
        QVERIFY(finder.unpaired().empty());
        const ModuleSimulator::Counts counts = rig.a->access([](ModuleSimulator &s) { return s.counts(); });
        QVERIFY(counts.identifyRequests >= 2);
        QCOMPARE(counts.presetRequests + counts.presetWrites, 0);
    }

    void nothingAnswersWhenEveryDeviceIsMute()
    {
        auto backend = std::make_shared<VirtualMidiBackend>();
        backend->addDevice(std::make_shared<SilentDevice>(QStringLiteral("Mute 0")));
        backend->addDevice(std::make_shared<SilentDevice>(QStringLiteral("Mute 1")));
        ModuleFinder finder(backend);
        finder.setListenTime(200);
        QSignalSpy done(&finder, &ModuleFinder::finished);
        QVERIFY(finder.start({QStringLiteral("Mute 0"), QStringLiteral("Mute 1")},
                             {QStringLiteral("Mute 0"), QStringLiteral("Mute 1")}));
        QVERIFY(done.wait(20000));
        QVERIFY(finder.found().empty());
        QVERIFY(finder.unpaired().empty());
        // No device at all: nothing to open, nothing to wait for.
        QVERIFY(!finder.start({}, {}));
        QVERIFY(!finder.running());
    }

    // The dialog's button chooses the pair, connects and shows the serial number; the other
    // module is named.
    void theFindButtonChoosesAndConnects()
    {
        TwoModules rig;
        TransferDialog d(rig.backend);
        d.fillPortLists();
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QCOMPARE(d.MidiInList->currentRow(), 0);
        QVERIFY(d.FindButton->isEnabled());
        QTest::mouseClick(d.FindButton, Qt::LeftButton);
        QVERIFY(!d.FindButton->isEnabled());
        QVERIFY(!d.MidiInList->isEnabled());
        QVERIFY(!d.ConnectButton->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(d.connectionState(), int(MidiTransfer::Connected), 20000);
        QCOMPARE(d.MidiInList->currentRow(), 1);
        QCOMPARE(d.MidiOutList->currentRow(), 1);
        QCOMPARE(d.SnEdit->text(), Sysex::formatSerial(111222333));
        const QString text = d.status->text();
        QVERIFY2(text.startsWith(QStringLiteral("Found the module %1").arg(Sysex::formatSerial(111222333))),
                 qPrintable(text));
        QVERIFY2(text.contains(Sysex::formatSerial(222333444)), qPrintable(text));
        QVERIFY(!d.FindButton->isEnabled());
        QVERIFY(d.TransferButton->isEnabled());
    }
};

QTEST_MAIN(TestFindModule)
#include "tst_findmodule.moc"
