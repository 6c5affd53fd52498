#include "transfercommands.h"
#include "output.h"

#include "base/appidentity.h"
#include "device/backupcatalog.h"
#include "device/miditransfer.h"
#include "device/programbackend.h"
#include "device/simulatordevice.h"
#include "device/transferbackup.h"
#include "device/transfertexts.h"
#include "editing/exportchoice.h"
#include "files/filecontents.h"
#include "files/presetfile.h"
#include "midi/compositemidibackend.h"
#include "midi/portnames.h"
#include "midi/rtmidibackend.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcessEnvironment>
#include <QSettings>
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
    "  --verify           read every preset twice (reading takes twice as long): closes\n"
    "                     the one gap in the checks, below\n"
    "  --backup FILE      export: where to save what banks 2..16 of the module held\n"
    "                     (default: module-backup-DATE-TIME.pre in the data folder)\n"
    "  --yes              export: write without asking, also on a terminal\n"
    "  --no-backup        export: save no backup and write all the same\n"
    "  --bank N           export: only user bank index N (1..15)\n"
    "  --presets B:P,...  export: only these presets (bank index 1..15 : preset index)\n"
    "  --dry-run          export: read the module and print one line per preset that\n"
    "                     would change: bank index, preset index, the module's name,\n"
    "                     the file's name, tab-separated; writes nothing, saves no backup\n"
    "  --incomplete       export: send the presets FILE lacks as empty presets instead\n"
    "                     of refusing it\n"
    "import writes all 16 banks; export reads the module (the factory bank only to\n"
    "check the replies), saves banks 2..16 as the backup, writes the presets that\n"
    "differ and verifies each write by reading it again; without a saved backup it\n"
    "writes nothing unless --no-backup is given. With --bank or --presets only those\n"
    "presets are read (each twice, to check the replies), backed up and written. Both\n"
    "stop on replies out of step (a module that answers twice) instead of using them.\n"
    "A reply in place of a lost one is caught when its content repeats a preset the\n"
    "module holds; one the module stores nowhere (an edit buffer sent by a button\n"
    "pressed on the module during the transfer) is caught only with --verify.\n"
    "A terminal shows a progress bar, other outputs a line per bank.\n";

namespace {

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
    bool verify = false;
    bool yes = false;
    bool noBackup = false;
    bool incomplete = false; // export: presets a file lacks go as empty presets
    QString backup;
    // Export only: list the changes and write nothing; what to export (all user banks
    // unless --bank or --presets says).
    bool dryRun = false;
    bool chosen = false;
    ExportChoice choice = ExportChoice::allUserBanks();
    QStringList positional;
};

// What an export covers, as its messages name it (indexes as the options take them).
QString choiceText(const Options &o)
{
    switch (o.choice.kind()) {
    case ExportChoice::Kind::AllUserBanks:
        return QStringLiteral("banks 2..16");
    case ExportChoice::Kind::OneBank:
        return QStringLiteral("bank index %1").arg(o.choice.bank());
    case ExportChoice::Kind::Presets:
        break;
    }
    const int n = o.choice.positions().count();
    return n == 1 ? QStringLiteral("1 chosen preset") : QStringLiteral("%1 chosen presets").arg(n);
}

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
            // Written so that NaN fails too.
            if (!ok || !(seconds >= 0.001 && seconds <= 3600)) {
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
        } else if (name == QLatin1String("--verify") && !hasValue) {
            o.verify = true;
        } else if (name == QLatin1String("--yes") && !hasValue) {
            o.yes = true;
        } else if (withPorts && name == QLatin1String("--no-backup") && !hasValue) {
            o.noBackup = true;
        } else if (withPorts && name == QLatin1String("--dry-run") && !hasValue) {
            o.dryRun = true;
        } else if (withPorts && (name == QLatin1String("--bank") || name == QLatin1String("--presets"))) {
            if (!takeValue())
                return false;
            if (o.chosen) {
                error = QStringLiteral("give --bank or --presets once, not both");
                return false;
            }
            o.chosen = true;
            if (name == QLatin1String("--presets")) {
                if (!ExportChoice::parsePresets(value, o.choice, error))
                    return false;
            } else {
                int bank = -1;
                if (!toCount(value, &bank) || bank < 1 || bank >= BankCount) {
                    error = QStringLiteral("--bank takes a user bank index from 1 to %1, not '%2'")
                                .arg(BankCount - 1)
                                .arg(value);
                    return false;
                }
                o.choice = ExportChoice::oneBank(bank);
            }
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
    if (o.simulator) {
        const QString faults = SimulatorDevice::faultListError(QProcessEnvironment::systemEnvironment());
        if (!faults.isEmpty()) {
            error = faults;
            return false;
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
    return ProgramBackend::create(api, o.simulator, QProcessEnvironment::systemEnvironment());
}

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
        for (int i = 0; i < ProgramBackend::MaxListedDevices; ++i) {
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

    void show(int value, int total)
    {
        total = std::max(1, total);
        if (terminal) {
            constexpr int Width = 40;
            const int filled = std::min(value, total) * Width / total;
            writeOut(QStringLiteral("\r%1 [%2%3] %4/%5")
                         .arg(QLatin1String(what), QString(filled, QLatin1Char('#')),
                              QString(Width - filled, QLatin1Char('.')))
                         .arg(value, 4)
                         .arg(total));
            drawn = true;
        } else if (value % PresetsPerBank == 0 || value == total) {
            writeOut(QStringLiteral("%1: %2/%3 presets\n").arg(QLatin1String(what)).arg(value).arg(total));
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

// Asked on a terminal only, unless --yes: scripts go ahead as they always did.
bool confirmWrite(const Options &o, int changes)
{
    const QString question = QStringLiteral("%1 preset%2 in %3 will change on the module.")
                                 .arg(changes)
                                 .arg(changes == 1 ? QString() : QStringLiteral("s"), choiceText(o));
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
    QObject::connect(&midi, &MidiTransfer::progressChanged, &loop,
                     [&](int value, int total) { progress.show(value, total); });
    QObject::connect(&midi, &MidiTransfer::transferCompleted, &loop, &QEventLoop::quit);
    QObject::connect(&midi, &MidiTransfer::transferStopped, &loop, [&](const QString &message) {
        // A dry run ends by cancelling at the question: that is its success.
        failed = !(o.dryRun && midi.stopReason() == MidiTransfer::StopReason::Cancelled);
        // orvex-pre has no Retry: the message must not offer one.
        if (failed)
            error = midi.stopReason() == MidiTransfer::StopReason::PortGone
                        ? TransferTexts::stopMessage(midi.plan(), false)
                        : message;
        loop.quit();
    });
    if (exportAll)
        midi.plan().setChosen(o.chosen ? std::optional<SelectionMask>(o.choice.positions()) : std::nullopt);
    midi.plan().setReadEverythingTwice(o.verify);
    if (o.verify)
        writeOut(
            QStringLiteral("--verify: every preset is read twice, so the reading takes twice as long\n"));
    if (exportAll && !o.noBackup && !o.dryRun) {
        // The transfer's rules save it before asking; without it they write nothing.
        BackupCatalog::saveBeforeWriting(
            midi, o.backup,
            BackupCatalog::keepingFrom(
                QSettings(AppIdentity::OrganizationName, AppIdentity::ApplicationName)),
            [](const QString &note) { writeErr(QStringLiteral("orvex-pre: %1\n").arg(note)); });
    }
    QObject::connect(&midi, &MidiTransfer::confirmationNeeded, &loop, [&](int changes) {
        progress.end();
        if (o.dryRun) {
            midi.cancelWrite();
            return;
        }
        const TransferPlan &plan = midi.plan();
        if (plan.backupSaved()) {
            writeOut(QStringLiteral("backup of %1: %2\n").arg(choiceText(o), plan.backupFile()));
            if (confirmWrite(o, changes))
                midi.confirmWrite();
            else
                midi.cancelWrite();
            return;
        }
        if (!o.noBackup) {
            midi.cancelWrite();
            error = QStringLiteral("no backup, nothing written: %1 (--no-backup writes without one)")
                        .arg(plan.backupError());
            return;
        }
        writeOut(QStringLiteral("no backup of %1 (--no-backup)\n").arg(choiceText(o)));
        if (confirmWrite(o, changes))
            midi.writeWithoutBackup();
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
        for (; i < ProgramBackend::MaxListedDevices; ++i) {
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
    if (o.dryRun || o.chosen)
        return usageError(QStringLiteral("--dry-run, --bank and --presets are for export"));
    const QString fileName = o.positional.first();
    MidiTransfer midi(makeBackend(o));
    if (!findNamedPorts(midi.protocol().port(), o, error))
        return failure(error);
    if (!transfer(midi, o, false, error))
        return failure(error);
    BankStore store;
    store.fromDump(midi.banks().data());
    QString errorText;
    if (!savePresetFile(store, fileName, 0, BankCount - 1, errorText))
        return failure(errorText); // the text names the file
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
    const FileContents file = readFileContents(fileName);
    if (!file.readable() || file.isSyx())
        return failure(QStringLiteral("%1: %2").arg(
            fileName,
            file.readable() ? presetFileLoadFailure(PresetFileReader::Result::NotValid) : file.errorText));
    if (file.banks == 1)
        return failure(QStringLiteral("%1: holds 1 bank; an export needs a file of all %2")
                           .arg(fileName)
                           .arg(BankCount));
    if (file.banks != BankCount)
        return failure(QStringLiteral("%1: holds %2 banks; an export needs a file of all %3")
                           .arg(fileName)
                           .arg(file.banks)
                           .arg(BankCount));
    // Presets the file lacks would go to the module as empty presets: only when asked.
    if (const QString problems = o.incomplete ? QString() : file.problemsText(); !problems.isEmpty())
        return failure(QStringLiteral("%1: %2").arg(fileName, problems));
    const BankStore &store = file.presets;

    MidiTransfer midi(makeBackend(o));
    if (!findNamedPorts(midi.protocol().port(), o, error))
        return failure(error);
    store.toDump(midi.banks().data());
    midi.plan().setDocument(&store);
    if (o.dryRun)
        o.yes = true; // nothing is asked: nothing is written
    if (!transfer(midi, o, true, error))
        return failure(error);
    if (o.dryRun) {
        // One line per preset that would change: where (zero-based), the module's name, the file's.
        QString lines;
        for (int position : midi.plan().changes()) {
            const int b = position / PresetsPerBank;
            const int p = position % PresetsPerBank;
            PresetRecord now;
            imageToRecord(midi.moduleBanks().at(b, p).data(), now);
            lines += QStringLiteral("%1\t%2\t%3\t%4\n").arg(b).arg(p).arg(now.name, store.at(b, p).name);
        }
        writeOut(lines);
        return Success;
    }
    const int written = midi.plan().presetsWritten();
    if (written == 0) {
        writeOut(QStringLiteral("exported %1: the module already held them, nothing written\n")
                     .arg(choiceText(o)));
        return Success;
    }
    const QStringList names = TransferBackup::nameChanges(store, midi.banks(), midi.plan().changes());
    if (!names.isEmpty())
        writeOut(QStringLiteral("the module shortens or changes these names:\n  %1\n")
                     .arg(names.join(QStringLiteral("\n  "))));
    writeOut(QStringLiteral("exported %1: %2 written, %3 writes repeated, backup %4\n")
                 .arg(choiceText(o))
                 .arg(written == 1 ? QStringLiteral("1 preset") : QStringLiteral("%1 presets").arg(written))
                 .arg(midi.retryCount())
                 .arg(midi.plan().backupSaved() ? midi.plan().backupFile() : QStringLiteral("none")));
    return Success;
}

} // namespace TransferCommands
