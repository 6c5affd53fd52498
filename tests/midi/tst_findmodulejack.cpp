// Finding the module over a real MIDI stack: two command-line simulators on a private
// JACK server, each with its own ports and serial number, among the program's listing.
#include "jackserver.h"

#include "device/modulefinder.h"
#include "midi/rtmidibackend.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <csignal>
#include <memory>
#include <sys/prctl.h>

class TestFindModuleJack : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QString why;
        if (!jack.start(&why, 512))
            QSKIP(qPrintable(QStringLiteral("no JACK server for the end-to-end test: ") + why));
    }

    void findsBothSimulatorsOnTheirOwnPorts()
    {
        const struct
        {
            const char *name;
            const char *serial;
            uint32_t number;
        } modules[] = {{"find-a", "42", 42}, {"find-b", "4242", 4242}};
        std::vector<std::unique_ptr<QProcess>> simulators;
        for (const auto &m : modules) {
            auto simulator = std::make_unique<QProcess>();
            simulator->setProcessEnvironment(jack.environment());
            simulator->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
            simulator->start(QStringLiteral(ORVEX_SIMULATOR_PATH),
                             {QStringLiteral("--api"), QStringLiteral("jack"), QStringLiteral("--name"),
                              QString::fromLatin1(m.name), QStringLiteral("--serial"),
                              QString::fromLatin1(m.serial)});
            QVERIFY2(simulator->waitForStarted(5000), qPrintable(simulator->errorString()));
            QProcess *p = simulator.get();
            QByteArray output;
            QTRY_VERIFY2_WITH_TIMEOUT((output += p->readAllStandardOutput()).contains("ready"),
                                      "orvex-simulator did not get ready within 10 s", 10000);
            simulators.push_back(std::move(simulator));
        }

        auto backend = std::make_shared<RtMidiBackend>(QStringLiteral("jack"));
        backend->rescan();
        QStringList inputs;
        QStringList outputs;
        for (int i = 0; i < 100; ++i) {
            if (const auto name = backend->inputDeviceName(i))
                inputs << *name;
            if (const auto name = backend->outputDeviceName(i))
                outputs << *name;
        }
        ModuleFinder finder(backend);
        QSignalSpy done(&finder, &ModuleFinder::finished);
        QVERIFY(finder.start(inputs, outputs));
        QVERIFY2(done.wait(60000), "the search did not end within 60 s");
        const auto &found = finder.found();
        QVERIFY2(found.size() == 2, qPrintable(inputs.join(QStringLiteral(", "))));
        for (const ModuleFinder::Found &f : found) {
            const auto &m = f.identity.serialNumber == 42 ? modules[0] : modules[1];
            QCOMPARE(f.identity.serialNumber, m.number);
            const QString suffix = QLatin1Char(':') + QString::fromLatin1(m.name);
            QVERIFY2(inputs.at(f.input).endsWith(suffix), qPrintable(inputs.at(f.input)));
            QVERIFY2(outputs.at(f.output).endsWith(suffix), qPrintable(outputs.at(f.output)));
        }
        QVERIFY(found[0].identity.serialNumber != found[1].identity.serialNumber);
        for (const auto &simulator : simulators) {
            simulator->terminate();
            QVERIFY(simulator->waitForFinished(10000));
        }
    }

private:
    JackServer jack;
};

QTEST_GUILESS_MAIN(TestFindModuleJack)
#include "tst_findmodulejack.moc"
