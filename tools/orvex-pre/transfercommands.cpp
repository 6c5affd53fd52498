#include "transfercommands.h"

#include "app/startup.h"
#include "device/miditransfer.h"
#include "device/simulatordevice.h"
#include "device/transferbackup.h"
#include "files/presetfile.h"
#include "midi/compositemidibackend.h"
#include "midi/portnames.h"
#include "midi/rtmidibackend.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcessEnvironment>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <unistd.h>

namespace TransferCommands {

const char *const OptionsHelp =
    "Transfers with the module (ports, import, export):\n"
    "  --in N, --out M    the MIDI input and output as \"ports\" lists them: the index\n"
    "                     or the name\n"
    "  --api alsa|jack    the MIDI system (default: $ORVEX_MIDI_API, else the platform's)\n"
    "  --simulator        add the built-in module \"Orvex+ Simulator\" after the devices\n"
    "  --timeout SECONDS  how long a request may go unanswered before it is sent again\n"
    "                     (default 1)\n"
    "  --retries N        how often it is sent again before the transfer stops (default 3)\n"
    "  --verbose          print the transfer's log on stderr\n"
    "  --backup FILE      export: where to save what banks 2..16 of the module held\n"
    "                     (default: module-backup-DATE-TIME.pre in the data folder)\n"
    "  --yes              export: write without asking, also on a terminal\n"
    "  --incomplete       export: send the presets FILE lacks as empty presets instead\n"
    "                     of refusing it\n"
    "import writes all 16 banks; export reads banks 2..16 of the module, saves them as\n"
    "the backup, writes the presets that differ and verifies each write by reading it\n"
    "again. Both re-read one preset per bank at the end to catch replies out of step.\n"
    "A terminal shows a progress bar, other outputs a line per bank.\n";

namespace {

QString backupSaved;

enum ExitCode { Success = 0, Failed = 1, Usage = 2 };

void writeOut(const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

int fail(const QString &text)
{
    const QByteArray bytes = QStringLiteral("orvex-pre: %1\n").arg(text).toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    return Failed;
}

int usageError(const QString &text)
{
    const QByteArray bytes =
        QStringLiteral("orvex-pre: %1\nTry 'orvex-pre --help'.\n").arg(text).toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    return Usage;
}

struct Options
{
    QString api;
    bool simulator = false;
    int in = -1;
    int out = -1;
    // A port given by name, found in the list when the ports are known.
    QString inName;
    QString outName;
    int quietMs = MidiTransfer::DefaultQuietMs;
    int retries = MidiTransfer::DefaultResends;
    bool verbose = false;
    bool yes = false;
    bool incomplete = false; // export: presets a file lacks go as empty presets
    QString backup;
    QStringList positional;
};

bool toCount(const QString &text, int *value)
{
    bool ok = false;
    *value = text.toInt(&ok);
    return ok && *value >= 0;
}

// "--name value" and "--name=value" for the valued options; "ports" takes no --in/--out.
bool parseOptions(const QStringList &args, bool withPorts, Options &o, QString &error)
{
    for (int i = 0; i < args.size(); ++i) {
        QString name = args.at(i);
        QString value;
        bool hasValue = false;
        const int equals = name.indexOf(QLatin1Char('='));
        if (name.startsWith(QLatin1String("--")) && equals > 0) {
            value = name.mid(equals + 1);
            name = name.left(equals);
            hasValue = true;
        }
        auto takeValue = [&]() {
            if (hasValue)
                return true;
            if (i + 1 >= args.size()) {
                error = QStringLiteral("%1 needs a value").arg(name);
                return false;
            }
            value = args.at(++i);
            return true;
        };
        if (name == QLatin1String("--simulator") && !hasValue) {
            o.simulator = true;
        } else if (name == QLatin1String("--api")) {
            if (!takeValue())
                return false;
            o.api = value;
        } else if (name == QLatin1String("--timeout")) {
            if (!takeValue())
                return false;
            bool ok = false;
            const double seconds = value.toDouble(&ok);
            if (!ok || seconds < 0.001 || seconds > 3600) {
                error = QStringLiteral("--timeout takes a number of seconds above 0, not '%1'").arg(value);
                return false;
            }
            o.quietMs = int(seconds * 1000 + 0.5);
        } else if (name == QLatin1String("--retries")) {
            if (!takeValue())
                return false;
            if (!toCount(value, &o.retries)) {
                error = QStringLiteral("--retries takes a count from 0 on, not '%1'").arg(value);
                return false;
            }
        } else if (withPorts && name == QLatin1String("--backup")) {
            if (!takeValue())
                return false;
            o.backup = value;
        } else if (name == QLatin1String("--verbose") && !hasValue) {
            o.verbose = true;
        } else if (name == QLatin1String("--yes") && !hasValue) {
            o.yes = true;
        } else if (withPorts && name == QLatin1String("--incomplete") && !hasValue) {
            o.incomplete = true;
        } else if (withPorts && (name == QLatin1String("--in") || name == QLatin1String("--out"))) {
            if (!takeValue())
                return false;
            const bool input = name == QLatin1String("--in");
            bool number = false;
            value.toInt(&number);
            if (number ? !toCount(value, input ? &o.in : &o.out) : value.trimmed().isEmpty()) {
                error = QStringLiteral("%1 takes a device index from 0 on or a port name, not '%2'")
                            .arg(name, value);
                return false;
            }
            if (!number)
                (input ? o.inName : o.outName) = value;
        } else if (name.startsWith(QLatin1String("--")) && name.size() > 2) {
            error = QStringLiteral("unknown option '%1'").arg(args.at(i));
            return false;
        } else {
            o.positional << args.at(i);
        }
    }
    if (!o.api.isEmpty() && !RtMidiBackend(o.api).apiAvailable()) {
        error = QStringLiteral("unknown MIDI API '%1'; this build has: %2")
                    .arg(o.api, RtMidiBackend::compiledApis().join(QStringLiteral(", ")));
        return false;
    }
    return true;
}

std::shared_ptr<MidiBackend> makeBackend(const Options &o)
{
    const QString api = o.api.isEmpty() ? RtMidiBackend::apiFromEnvironment() : o.api;
    std::shared_ptr<SimulatorDevice> simulator;
    if (o.simulator) {
        simulator = std::make_shared<SimulatorDevice>();
        simulator->applyFaultsFromEnvironment(QProcessEnvironment::systemEnvironment());
    }
    return CompositeMidiBackend::create(api, std::move(simulator));
}

// As many as the program's dialog lists.
constexpr int MaxListedDevices = 100;

QString deviceName(const MidiPort &port, bool input, int index)
{
    const std::optional<QString> name = input ? port.inputDeviceName(index) : port.outputDeviceName(index);
    return name ? *name : QString();
}

// Ports given by name get the index they have in the list, found as the dialog finds
// a remembered port.
bool findNamedPorts(const MidiPort &port, Options &o, QString &error)
{
    for (bool input : {true, false}) {
        const QString &wanted = input ? o.inName : o.outName;
        if (wanted.isEmpty())
            continue;
        QStringList names;
        for (int i = 0; i < MaxListedDevices; ++i) {
            const QString name = deviceName(port, input, i);
            if (name.isEmpty())
                break;
            names << name;
        }
        const int row = PortNames::find(names, wanted);
        if (row < 0) {
            error = QStringLiteral("there is no MIDI %1 named '%2' (see 'orvex-pre ports')")
                        .arg(input ? QStringLiteral("input") : QStringLiteral("output"), wanted);
            return false;
        }
        (input ? o.in : o.out) = row;
    }
    return true;
}

// A bar redrawn in place on a terminal; elsewhere one line per bank, so logs stay short.
class ProgressDisplay
{
public:
    explicit ProgressDisplay(const char *what) : what(what), terminal(::isatty(::fileno(stdout)) == 1) {}

    void show(int value)
    {
        if (terminal) {
            constexpr int Width = 40;
            const int filled = value * Width / PresetCount;
            writeOut(QStringLiteral("\r%1 [%2%3] %4/%5")
                         .arg(QLatin1String(what), QString(filled, QLatin1Char('#')),
                              QString(Width - filled, QLatin1Char('.')))
                         .arg(value, 4)
                         .arg(PresetCount));
            drawn = true;
        } else if (value % PresetsPerBank == 0) {
            writeOut(
                QStringLiteral("%1: %2/%3 presets\n").arg(QLatin1String(what)).arg(value).arg(PresetCount));
        }
    }
    void end()
    {
        if (drawn)
            writeOut(QStringLiteral("\n"));
        drawn = false;
    }

private:
    const char *what;
    bool terminal;
    bool drawn = false;
};

void writeErr(const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

// The program's own data folder, so the dialog and orvex-pre keep their backups together.
QString programBackupPath()
{
    const QString organization = QCoreApplication::organizationName();
    const QString application = QCoreApplication::applicationName();
    QCoreApplication::setOrganizationName(Startup::OrganizationName);
    QCoreApplication::setApplicationName(Startup::ApplicationName);
    const QString path = TransferBackup::defaultPath();
    QCoreApplication::setOrganizationName(organization);
    QCoreApplication::setApplicationName(application);
    return path;
}

// Asked on a terminal only, unless --yes: scripts go ahead as they always did.
bool confirmWrite(const Options &o, int changes)
{
    const QString question = QStringLiteral("%1 preset%2 in banks 2–16 will change on the module.")
                                 .arg(changes)
                                 .arg(changes == 1 ? QString() : QStringLiteral("s"));
    if (o.yes || ::isatty(::fileno(stdin)) != 1) {
        writeOut(question + QLatin1Char('\n'));
        return true;
    }
    writeOut(question + QStringLiteral(" Write? [y/N] "));
    char answer[16] = {};
    if (!std::fgets(answer, sizeof answer, stdin))
        return false;
    return answer[0] == 'y' || answer[0] == 'Y';
}

// Connects, then runs one transfer to its end: false with `error` set when the ports
// fail, the module does not answer or the transfer stops.
bool transfer(MidiTransfer &midi, const Options &o, bool exportAll, QString &error)
{
    midi.setQuietTime(o.quietMs);
    midi.setResends(o.retries);
    if (o.verbose)
        QObject::connect(&midi, &MidiTransfer::logLine,
                         [](const QString &line) { writeErr(QStringLiteral("orvex-pre: %1\n").arg(line)); });
    const MidiPort &port = midi.protocol().port();
    if (!midi.connectPorts(o.in, o.out)) {
        if (deviceName(port, true, o.in).isEmpty())
            error = QStringLiteral("there is no MIDI input with index %1 (see 'orvex-pre ports')").arg(o.in);
        else if (deviceName(port, false, o.out).isEmpty())
            error =
                QStringLiteral("there is no MIDI output with index %1 (see 'orvex-pre ports')").arg(o.out);
        else
            error = QStringLiteral("cannot open MIDI input %1 (%2) and output %3 (%4)")
                        .arg(o.in)
                        .arg(deviceName(port, true, o.in))
                        .arg(o.out)
                        .arg(deviceName(port, false, o.out));
        return false;
    }

    QEventLoop loop;
    bool failed = false;
    QObject::connect(&midi, &MidiTransfer::identityReceived, &loop, &QEventLoop::quit);
    QObject::connect(&midi, &MidiTransfer::connectFailed, &loop, [&](const QString &message) {
        error = message;
        failed = true;
        loop.quit();
    });
    loop.exec();
    if (failed)
        return false;
    QObject::disconnect(&midi, &MidiTransfer::identityReceived, &loop, nullptr);
    writeOut(QStringLiteral("connected: serial %1, firmware %2\n")
                 .arg(midi.protocol().serialText(), midi.protocol().versionText()));

    ProgressDisplay progress(exportAll ? "export" : "import");
    QObject::connect(&midi, &MidiTransfer::progressChanged, &loop, [&](int value) { progress.show(value); });
    QObject::connect(&midi, &MidiTransfer::transferCompleted, &loop, &QEventLoop::quit);
    QObject::connect(&midi, &MidiTransfer::transferStopped, &loop, [&](const QString &message) {
        error = message;
        if (exportAll && midi.stopReason() != MidiTransfer::StopReason::Cancelled)
            error += QStringLiteral(" %1 preset%2 written.")
                         .arg(midi.writtenCount())
                         .arg(midi.writtenCount() == 1 ? QStringLiteral(" was") : QStringLiteral("s were"));
        failed = true;
        loop.quit();
    });
    QObject::connect(&midi, &MidiTransfer::confirmationNeeded, &loop, [&](int changes) {
        progress.end();
        const QString backup = o.backup.isEmpty() ? programBackupPath() : o.backup;
        QString why;
        if (!TransferBackup::save(midi.moduleBanks(), backup, why)) {
            midi.cancelWrite();
            error = QStringLiteral("no backup, nothing written: %1").arg(why);
            return;
        }
        backupSaved = backup;
        writeOut(QStringLiteral("backup of banks 2..16: %1\n").arg(backup));
        if (confirmWrite(o, changes))
            midi.confirmWrite();
        else
            midi.cancelWrite();
    });
    midi.setExportMode(exportAll);
    if (!midi.startTransfer()) {
        error = QStringLiteral("the transfer did not start");
        return false;
    }
    loop.exec();
    progress.end();
    if (failed)
        return false;
    midi.disconnectPorts();
    return true;
}

// Checks shared by import and export: both ports and exactly one file.
bool parseTransfer(const QStringList &args, const char *command, Options &o, QString &error)
{
    if (!parseOptions(args, true, o, error))
        return false;
    if ((o.in < 0 && o.inName.isEmpty()) || (o.out < 0 && o.outName.isEmpty())) {
        error =
            QStringLiteral("%1 needs --in N and --out M (see 'orvex-pre ports')").arg(QLatin1String(command));
        return false;
    }
    if (o.positional.size() != 1) {
        error = QStringLiteral("%1 needs exactly one FILE").arg(QLatin1String(command));
        return false;
    }
    return true;
}

} // namespace

int runPorts(const QStringList &args)
{
    Options o;
    QString error;
    if (!parseOptions(args, false, o, error))
        return usageError(error);
    if (!o.positional.isEmpty())
        return usageError(QStringLiteral("ports takes no file"));
    MidiPort port(makeBackend(o));
    QString text;
    for (bool input : {true, false}) {
        text += input ? QStringLiteral("inputs:\n") : QStringLiteral("outputs:\n");
        int i = 0;
        for (; i < MaxListedDevices; ++i) {
            const QString name = deviceName(port, input, i);
            if (name.isEmpty())
                break;
            text += QStringLiteral("  %1  %2\n").arg(i, 2).arg(name);
        }
        if (i == 0)
            text += QStringLiteral("  (none)\n");
    }
    writeOut(text);
    return Success;
}

int runImport(const QStringList &args)
{
    Options o;
    QString error;
    if (!parseTransfer(args, "import", o, error))
        return usageError(error);
    const QString fileName = o.positional.first();
    MidiTransfer midi(makeBackend(o));
    if (!findNamedPorts(midi.protocol().port(), o, error))
        return fail(error);
    if (!transfer(midi, o, false, error))
        return fail(error);
    BankStore store;
    store.fromDump(midi.banks().data());
    QString errorText;
    if (!savePresetFile(store, fileName, 0, BankCount - 1, errorText))
        return fail(QStringLiteral("%1: %2").arg(fileName, errorText));
    writeOut(QStringLiteral("imported %1 banks to %2\n").arg(BankCount).arg(fileName));
    return Success;
}

int runExport(const QStringList &args)
{
    Options o;
    QString error;
    if (!parseTransfer(args, "export", o, error))
        return usageError(error);
    const QString fileName = o.positional.first();
    QString errorText;
    const int banks = countPresetFileBanks(fileName, errorText);
    if (banks < 0)
        return fail(QStringLiteral("%1: %2").arg(fileName, errorText));
    if (banks != BankCount)
        return fail(QStringLiteral("%1: holds %2 banks; an export needs a file of all %3")
                        .arg(fileName)
                        .arg(banks)
                        .arg(BankCount));
    BankStore store;
    if (!(o.incomplete ? loadPresetFile(store, fileName, 0, BankCount - 1, errorText)
                       : loadCompletePresetFile(store, fileName, 0, BankCount - 1, errorText)))
        return fail(QStringLiteral("%1: %2").arg(fileName, errorText));

    MidiTransfer midi(makeBackend(o));
    if (!findNamedPorts(midi.protocol().port(), o, error))
        return fail(error);
    store.toDump(midi.banks().data());
    if (!transfer(midi, o, true, error))
        return fail(error);
    if (midi.changeCount() == 0) {
        writeOut(QStringLiteral("exported banks 2..%1: the module already held them, nothing written\n")
                     .arg(BankCount));
        return Success;
    }
    const QStringList names = TransferBackup::nameChanges(store);
    if (!names.isEmpty())
        writeOut(QStringLiteral("the module shortens or changes these names:\n  %1\n")
                     .arg(names.join(QStringLiteral("\n  "))));
    writeOut(QStringLiteral("exported banks 2..%1: %2 presets written, %3 writes repeated, backup %4\n")
                 .arg(BankCount)
                 .arg(midi.writtenCount())
                 .arg(midi.retryCount())
                 .arg(backupSaved));
    return Success;
}

} // namespace TransferCommands
