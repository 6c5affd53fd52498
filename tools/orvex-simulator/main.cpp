// orvex-simulator: the module simulator on virtual MIDI ports, so the program (or any
// other) can import and export over a real MIDI stack without the hardware.
#include "simulatorhost.h"

#include "base/brokenpipes.h"
#include "device/simulatordevice.h"
#include "files/sysexmessages.h"

#ifdef ORVEX_HAVE_PRESET_FILES
#include "files/filecontents.h"
#include "files/presetfile.h"
#endif

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QProcessEnvironment>
#include <QSocketNotifier>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    (void)!::write(signalPipe[1], &c, 1);
}

// "3.01" is shown by the program as 3.01: the major number in the low byte, the minor
// in the high byte of the 14-bit value. A plain number is taken as the raw value.
bool parseVersion(const QString &text, uint32_t *value)
{
    bool ok = false;
    if (!text.contains(QLatin1Char('.'))) {
        const uint v = text.toUInt(&ok);
        *value = v;
        return ok && v < 16384;
    }
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 2)
        return false;
    bool okMinor = false;
    const uint major = parts[0].toUInt(&ok);
    const uint minor = parts[1].toUInt(&okMinor);
    if (!ok || !okMinor || major > 255 || minor > 63)
        return false;
    *value = major + minor * 256;
    return true;
}

// Replaces the first banks of the simulator with those of a preset file.
bool loadBanks(ModuleSimulator &sim, const QString &fileName, QString *error)
{
#ifdef ORVEX_HAVE_PRESET_FILES
    const FileContents file = readFileContents(fileName);
    if (!file.readable()) {
        *error = file.errorText;
        return false;
    }
    if (file.isSyx()) {
        *error = QStringLiteral("not a preset file");
        return false;
    }
    if (file.banks == 0) {
        *error = QStringLiteral("the file holds no bank");
        return false;
    }
    // A damaged or missing preset would stand as an empty one on the simulated module.
    *error = file.problemsText();
    if (!error->isEmpty())
        return false;
    BankStore store;
    store.fromDump(sim.programBanks().data());
    // The file's banks as it numbers them; a backup's placeholders leave those presets as they are.
    for (int b = 0; b < file.banks; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            if (file.state(b, p) == FileContents::State::Present)
                store.at(b, p) = file.presets.at(b, p);
    TransferBanks banks;
    store.toDump(banks.data());
    sim.setProgramBanks(banks);
    return true;
#else
    Q_UNUSED(sim);
    Q_UNUSED(fileName);
    *error = QStringLiteral("this build has no preset file support");
    return false;
#endif
}

bool saveBanks(const ModuleSimulator &sim, const QString &fileName, QString *error)
{
#ifdef ORVEX_HAVE_PRESET_FILES
    BankStore store;
    store.fromDump(sim.programBanks().data());
    return savePresetFile(store, fileName, 0, BankCount - 1, *error);
#else
    Q_UNUSED(sim);
    Q_UNUSED(fileName);
    *error = QStringLiteral("this build has no preset file support");
    return false;
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    BrokenPipes::reportInsteadOfDying();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvex-simulator"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVEX_VERSION));

    QCommandLineParser args;
    args.setApplicationDescription(QStringLiteral(
        "Runs the Orvex+ module simulator on a pair of virtual MIDI ports (an input and an output with\n"
        "the same name) and answers identify, preset request and preset write as the module does.\n"
        "Each message received is logged on one line. Ends cleanly on Ctrl+C (SIGINT) or SIGTERM.\n\n"
        "Exit status: 0 after a clean end, 1 when the ports cannot be made or a file fails, 2 for bad\n"
        "arguments."));
    args.addHelpOption();
    args.addVersionOption();
    const QCommandLineOption api(
        {QStringLiteral("a"), QStringLiteral("api")},
        QStringLiteral("MIDI API: alsa or jack (default: $ORVEX_MIDI_API, else alsa)."),
        QStringLiteral("api"));
    const QCommandLineOption name({QStringLiteral("n"), QStringLiteral("name")},
                                  QStringLiteral("Name of the two ports (default \"Orvex+ Simulator\")."),
                                  QStringLiteral("name"), QStringLiteral("Orvex+ Simulator"));
    const QCommandLineOption serial(QStringLiteral("serial"),
                                    QStringLiteral("Serial number, 0..268435455 (default 123456789)."),
                                    QStringLiteral("number"));
    // --version is the program's own; the module's firmware version is --firmware.
    const QCommandLineOption version(
        QStringLiteral("firmware"),
        QStringLiteral("Firmware version as the program shows it, e.g. 3.01, or the raw value."),
        QStringLiteral("version"));
    const QCommandLineOption deviceText(
        QStringLiteral("device-text"),
        QStringLiteral("Device text of the identity reply, up to 16 characters."), QStringLiteral("text"));
    const QCommandLineOption drop(QStringLiteral("drop"), QStringLiteral("Never send the next N replies."),
                                  QStringLiteral("N"));
    const QCommandLineOption wrongLength(
        QStringLiteral("wrong-length"),
        QStringLiteral("Send the next N preset data replies with the wrong length."), QStringLiteral("N"));
    const QCommandLineOption length(QStringLiteral("length"),
                                    QStringLiteral("Length of those replies in bytes (default 330)."),
                                    QStringLiteral("bytes"));
    const QCommandLineOption badWrites(QStringLiteral("bad-writes"),
                                       QStringLiteral("Store the next N preset writes slightly wrong."),
                                       QStringLiteral("N"));
    const QCommandLineOption foreign(
        QStringLiteral("foreign"),
        QStringLiteral("Precede the next N replies with one addressed to another model."),
        QStringLiteral("N"));
    const QCommandLineOption garbage(
        QStringLiteral("garbage"),
        QStringLiteral("Precede the next N replies with a message of random bytes."), QStringLiteral("N"));
    const QCommandLineOption dropReply(QStringLiteral("drop-reply"),
                                       QStringLiteral("Never answer request N (requests count from 1)."),
                                       QStringLiteral("N"));
    const QCommandLineOption lateReply(QStringLiteral("late-reply"),
                                       QStringLiteral("Answer request N late (see --late-by)."),
                                       QStringLiteral("N"));
    const QCommandLineOption lateBy(QStringLiteral("late-by"),
                                    QStringLiteral("How late that answer is, in ms (default 1500)."),
                                    QStringLiteral("ms"));
    const QCommandLineOption doubleReply(QStringLiteral("double-reply"),
                                         QStringLiteral("Send the reply to request N twice."),
                                         QStringLiteral("N"));
    const QCommandLineOption unasked(
        QStringLiteral("unasked-after"),
        QStringLiteral("Send a preset data reply nobody asked for after answering request N."),
        QStringLiteral("N"));
    const QCommandLineOption failWrites(QStringLiteral("fail-writes"),
                                        QStringLiteral("Store every preset write slightly wrong."));
    const QCommandLineOption silentAfter(QStringLiteral("silent-after"),
                                         QStringLiteral("Answer nothing after the first N requests."),
                                         QStringLiteral("N"));
    const QCommandLineOption pace(
        QStringLiteral("pace"),
        QStringLiteral("Pace the wire at RATE bytes per second, or \"din\" for a MIDI "
                       "cable (3125 bytes/s). Default: no pacing."),
        QStringLiteral("RATE"));
    const QCommandLineOption load(
        QStringLiteral("load"),
        QStringLiteral("Start from the banks of a preset file (its banks replace banks 1, 2, ...)."),
        QStringLiteral("FILE.pre"));
    const QCommandLineOption save(QStringLiteral("save"),
                                  QStringLiteral("Write all banks to a preset file on exit."),
                                  QStringLiteral("FILE.pre"));
    const QCommandLineOption quiet({QStringLiteral("q"), QStringLiteral("quiet")},
                                   QStringLiteral("Do not log each message."));
    args.addOptions({api, name, serial, version, deviceText, drop, wrongLength, length, badWrites, foreign,
                     garbage, pace, load, save, quiet});
    args.addOptions({dropReply, lateReply, lateBy, doubleReply, unasked, failWrites, silentAfter});
    args.process(app);

    auto bad = [](const QString &why) {
        std::fprintf(stderr, "orvex-simulator: %s (see --help)\n", qPrintable(why));
        return 2;
    };
    if (!args.positionalArguments().isEmpty())
        return bad(QStringLiteral("unexpected argument \"%1\"").arg(args.positionalArguments().first()));

    const QString apiName = args.isSet(api) ? args.value(api) : RtMidiBackend::apiFromEnvironment();
    if (!apiName.isEmpty() && !RtMidiBackend(apiName).apiAvailable())
        return bad(QStringLiteral("unknown MIDI API \"%1\"; built in: %2")
                       .arg(apiName, RtMidiBackend::compiledApis().join(QStringLiteral(", "))));

    SimulatorHost host(apiName, args.value(name), args.isSet(quiet) ? nullptr : stdout);
    ModuleSimulator &sim = host.simulator();
    if (args.isSet(serial)) {
        bool ok = false;
        const uint value = args.value(serial).toUInt(&ok);
        if (!ok || value > 0x0FFFFFFF)
            return bad(QStringLiteral("--serial needs a number from 0 to 268435455"));
        sim.setSerialNumber(value);
    }
    if (args.isSet(version)) {
        uint32_t value = 0;
        if (!parseVersion(args.value(version), &value))
            return bad(QStringLiteral("--firmware needs MAJOR.MINOR (0..255, 0..63) or a value below 16384"));
        sim.setFirmwareVersion(value);
    }
    if (args.isSet(deviceText))
        sim.setDeviceText(args.value(deviceText).toLatin1());
    // ORVEX_SIMULATOR_FAULTS first, as for the built-in simulator; the options add to it.
    const QString faultError = SimulatorDevice::faultListError(QProcessEnvironment::systemEnvironment());
    if (!faultError.isEmpty())
        return bad(faultError);
    QStringList faultList(qEnvironmentVariable("ORVEX_SIMULATOR_FAULTS"));
    // The fault options read as the built-in simulator's fault list does.
    for (const QCommandLineOption *option : {&drop, &wrongLength, &badWrites, &foreign, &garbage, &dropReply,
                                             &lateReply, &lateBy, &doubleReply, &unasked, &silentAfter})
        if (args.isSet(*option))
            faultList << option->names().first() + QLatin1Char('=') + args.value(*option);
    if (args.isSet(failWrites))
        faultList << failWrites.names().first();
    if (!sim.applyFaults(faultList.join(QLatin1Char(','))))
        return bad(QStringLiteral("fault options need a count of 0 or more"));
    ModuleSimulator::Faults &faults = sim.faults();
    if (args.isSet(length)) {
        bool ok = false;
        faults.wrongLength = args.value(length).toInt(&ok);
        if (!ok || faults.wrongLength < 11 || faults.wrongLength > 1024 || faults.wrongLength == 331)
            return bad(QStringLiteral("--length needs a byte count from 11 to 1024 other than 331"));
    }
    if (args.isSet(pace)) {
        bool ok = true;
        const QString value = args.value(pace);
        const int rate = value == QLatin1String("din") ? ModuleSimulator::DinByteRate : value.toInt(&ok);
        if (!ok || rate <= 0)
            return bad(QStringLiteral("--pace needs bytes per second or \"din\""));
        host.setByteRate(rate);
    }
    if (args.isSet(load)) {
        QString error;
        if (!loadBanks(sim, args.value(load), &error)) {
            std::fprintf(stderr, "orvex-simulator: cannot load %s: %s\n", qPrintable(args.value(load)),
                         qPrintable(error));
            return 1;
        }
    }

    // Signals end the event loop through a pipe, the one thing a handler may safely touch.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) {
        std::perror("orvex-simulator: socketpair");
        return 1;
    }
    QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [&] {
        char c;
        (void)!::read(signalPipe[0], &c, 1);
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    QString error;
    if (!host.open(&error)) {
        std::fprintf(stderr, "orvex-simulator: cannot create the MIDI ports: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("orvex-simulator: ready, ports \"%s\" (serial %s, version %s)\n",
                qPrintable(args.value(name)), qPrintable(Sysex::formatSerial(sim.serial())),
                qPrintable(Sysex::versionText(sim.version())));
    std::fflush(stdout);

    const int code = app.exec();
    host.close();
    const ModuleSimulator::Counts &counts = sim.counts();
    std::printf("orvex-simulator: stopped after %d identify, %d preset requests, %d writes\n",
                counts.identifyRequests, counts.presetRequests, counts.presetWrites);
    std::fflush(stdout);
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    if (args.isSet(save)) {
        QString error;
        if (!saveBanks(sim, args.value(save), &error)) {
            std::fprintf(stderr, "orvex-simulator: cannot save %s: %s\n", qPrintable(args.value(save)),
                         qPrintable(error));
            return 1;
        }
        std::printf("orvex-simulator: banks saved to %s\n", qPrintable(args.value(save)));
    }
    return code;
}
