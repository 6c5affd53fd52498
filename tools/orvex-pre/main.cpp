// orvex-pre: the preset file format for scripts and version control, and the transfer
// with the module for scripted backups. Reads, writes and transfers exactly as the
// program does, through the same libraries.
#include "backupcommands.h"
#include "base/brokenpipes.h"
#include "files/filecontents.h"
#include "files/presetfile.h"
#include "librarycommands.h"
#include "output.h"
#include "sheetcommands.h"
#include "syxcommands.h"
#include "transfercommands.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// Positional arguments plus the value of one optional "--name N" / "--name=N" option.
struct Arguments
{
    QStringList positional;
    QString optionValue;
    bool hasOption = false;
};

bool splitArguments(const QStringList &args, const QString &option, Arguments &out, QString &error)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (!option.isEmpty() && a == option) {
            if (i + 1 >= args.size()) {
                error = QStringLiteral("%1 needs a value").arg(option);
                return false;
            }
            out.optionValue = args.at(++i);
            out.hasOption = true;
        } else if (!option.isEmpty() && a.startsWith(option + QLatin1Char('='))) {
            out.optionValue = a.mid(option.size() + 1);
            out.hasOption = true;
        } else if (a.startsWith(QLatin1String("--")) && a.size() > 2) {
            error = QStringLiteral("unknown option '%1'").arg(a);
            return false;
        } else {
            out.positional << a;
        }
    }
    return true;
}

// A file's banks as `dump` shows them: at most 16, read into an empty store at banks
// 0..n-1 with every mark cleared, so a set mark means "taken from the file".
struct FileBanks
{
    BankStore store;
    int banks = 0;
};

bool readFileBanks(const QString &fileName, FileBanks &file)
{
    const FileContents contents = readFileContents(fileName);
    // A SysEx file has no banks of its own to show.
    const QString errorText = !contents.readable() ? contents.errorText
                              : contents.isSyx()   ? presetFileLoadFailure(PresetFileReader::Result::NotValid)
                                                   : QString();
    if (!errorText.isEmpty()) {
        writeErr(QStringLiteral("%1: %2\n").arg(fileName, errorText));
        return false;
    }
    file.store = contents.presets;
    file.banks = contents.banks;
    return true;
}

// A name's bytes as a shell would quote them: printable ASCII as it is, the rest as \xHH.
QByteArray escapedBytes(QByteArrayView bytes)
{
    QByteArray out;
    for (const char c : bytes) {
        const uchar u = uchar(c);
        if (u >= 0x20 && u < 0x7F && u != '\\')
            out += c;
        else
            out += "\\x" + QByteArray::number(u, 16).toUpper().rightJustified(2, '0');
    }
    return out;
}

QByteArray jsonString(const QString &text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"':
            out += QLatin1String("\\\"");
            break;
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
    return out.toUtf8();
}

QByteArray paramsHex(const PresetRecord &r)
{
    return QByteArray(reinterpret_cast<const char *>(r.params.data()), int(r.params.size()))
        .toHex()
        .toUpper();
}

int runCheck(const QStringList &args)
{
    if (args.size() != 1)
        return usageError(QStringLiteral("check needs exactly one FILE"));
    const FileContents file = readFileContents(args.at(0));
    // A file that lacks presets of its banks, or holds damaged ones, is refused by a load.
    const QString errorText = !file.readable() ? file.errorText
                              : file.isSyx()   ? presetFileLoadFailure(PresetFileReader::Result::NotValid)
                                               : file.problemsText(0, file.banks - 1);
    if (!errorText.isEmpty()) {
        writeErr(QStringLiteral("%1: %2\n").arg(args.at(0), errorText));
        return Failed;
    }
    writeOut("banks: " + QByteArray::number(file.banks) + '\n');
    return Success;
}

int runDump(const QStringList &args)
{
    if (args.size() != 1)
        return usageError(QStringLiteral("dump needs exactly one FILE"));
    FileBanks file;
    if (!readFileBanks(args.at(0), file))
        return Failed;
    // One preset per line, so dumps compare well with line-based tools.
    QByteArray out = "{\"banks\": [";
    for (int b = 0; b < file.banks; ++b) {
        out += b == 0 ? "\n  [\n" : ",\n  [\n";
        for (int p = 0; p < PresetsPerBank; ++p) {
            const PresetRecord &r = file.store.at(b, p);
            out += "    {\"taken\": ";
            out += r.mark ? "true" : "false";
            out += ", \"name\": " + jsonString(r.name);
            out += ", \"author\": " + jsonString(r.author);
            out += ", \"category\": " + QByteArray::number(r.category);
            out += ", \"params\": \"" + paramsHex(r) + "\"}";
            out += p + 1 < PresetsPerBank ? ",\n" : "\n";
        }
        out += "  ]";
    }
    out += file.banks > 0 ? "\n]}\n" : "]}\n";
    writeOut(out);
    return Success;
}

int runCopy(const QStringList &rawArgs)
{
    Arguments args;
    QString error;
    if (!splitArguments(rawArgs, QStringLiteral("--bank"), args, error))
        return usageError(error);
    if (args.positional.size() != 2)
        return usageError(QStringLiteral("copy needs IN and OUT"));
    int bank = -1;
    if (args.hasOption) {
        bool ok = false;
        bank = args.optionValue.toInt(&ok);
        if (!ok || bank < 0 || bank >= BankCount)
            return usageError(
                QStringLiteral("--bank takes a bank index from 0 to 15, not '%1'").arg(args.optionValue));
    }
    const QString in = args.positional.at(0);
    const QString out = args.positional.at(1);
    FileBanks file;
    if (!readFileBanks(in, file))
        return Failed;
    if (bank >= file.banks) {
        writeErr((file.banks == 1
                      ? QStringLiteral("%1: has no bank index %2 (it holds 1 bank)\n").arg(in).arg(bank)
                      : QStringLiteral("%1: has no bank index %2 (it holds %3 banks)\n")
                            .arg(in)
                            .arg(bank)
                            .arg(file.banks)));
        return Failed;
    }
    QString errorText;
    const bool saved = bank >= 0 ? savePresetFile(file.store, out, bank, bank, errorText)
                                 : savePresetFile(file.store, out, 0, file.banks - 1, errorText);
    if (!saved) {
        writeErr(errorText + QLatin1Char('\n')); // the text names the file
        return Failed;
    }
    return Success;
}

int runDiff(const QStringList &args)
{
    if (args.size() != 2)
        return usageError(QStringLiteral("diff needs two files"));
    FileBanks a;
    FileBanks b;
    if (!readFileBanks(args.at(0), a) || !readFileBanks(args.at(1), b))
        return Usage;
    QByteArray out;
    for (int bank = 0; bank < std::max(a.banks, b.banks); ++bank) {
        if (bank >= a.banks || bank >= b.banks) {
            out += "bank " + QByteArray::number(bank) + ": only in " + (bank < a.banks ? "A" : "B") + '\n';
            continue;
        }
        for (int p = 0; p < PresetsPerBank; ++p) {
            const PresetRecord &ra = a.store.at(bank, p);
            const PresetRecord &rb = b.store.at(bank, p);
            QByteArrayList fields;
            if (ra.mark != rb.mark)
                fields << "taken";
            if (ra.name != rb.name)
                fields << "name";
            if (ra.author != rb.author)
                fields << "author";
            if (ra.category != rb.category)
                fields << "category";
            if (ra.params != rb.params)
                fields << "params";
            if (!fields.isEmpty())
                out += "bank " + QByteArray::number(bank) + " preset " + QByteArray::number(p) + ": " +
                       fields.join(", ") + '\n';
        }
    }
    writeOut(out);
    return out.isEmpty() ? Success : Failed;
}

int runHelp(const QStringList &);

struct Command
{
    const char *name;
    const char *synopsis;
    const char *summary;
    int (*run)(const QStringList &args);
};

// New subcommands go here; the help text is built from this table.
const std::vector<Command> &commands()
{
    static const std::vector<Command> table = {
        {"check", "check FILE", "check the file as a load does; print \"banks: N\", or why a load refuses it",
         runCheck},
        {"dump", "dump FILE", "print the file's banks (at most 16) as JSON", runDump},
        {"copy", "copy IN OUT [--bank N]",
         "read IN as dump does and write its banks (or its bank index N) to OUT", runCopy},
        {"diff", "diff A B", "list the presets that differ between two files, and which fields", runDiff},
        {"syx", "syx IN OUT [--bank N] [--to-bank M] [--incomplete]",
         "write the user banks of IN (or its bank index N) as a SysEx file", SyxCommands::runSyx},
        {"mid", "mid IN OUT [--bank N] [--to-bank M] [--incomplete]",
         "write what syx writes as a Standard MIDI File, spaced for the module", SyxCommands::runMid},
        {"pre", "pre IN OUT [--to-bank M]",
         "write the presets of the SysEx or MIDI file IN as a 16-bank preset file", SyxCommands::runPre},
        {"sheet", "sheet FILE OUT.pdf|OUT.csv [--bank N]",
         "list the banks of FILE as a printable PDF or a CSV", SheetCommands::runSheet},
        {"ports", "ports", "list the MIDI input and output devices with their indexes",
         TransferCommands::runPorts},
        {"import", "import --in N --out M FILE", "import all 16 banks from the module and write them to FILE",
         TransferCommands::runImport},
        {"export", "export --in N --out M FILE [--incomplete]",
         "export banks 2..16 of the 16-bank FILE to the module, every write read back",
         TransferCommands::runExport},
        {"backups", "backups",
         "list the export backups, newest first: date, module serial, firmware, file (tab-separated)",
         BackupCommands::runBackups},
        {"library", "library COMMAND ...", "search the preset library; see below", LibraryCommands::run},
        {"help", "help", "show this text", runHelp},
    };
    return table;
}

int runHelp(const QStringList &)
{
    QByteArray out = "Usage: orvex-pre COMMAND [ARGUMENTS]\n"
                     "\n"
                     "Checks, shows, copies and compares Orvex+ preset files (\".pre\") exactly as the\n"
                     "Orvex+ Preset Manager reads and writes them, converts them to and from SysEx\n"
                     "files (\".syx\"), and backs up the module's banks to a file or restores them\n"
                     "from one over MIDI.\n"
                     "\n"
                     "Commands:\n";
    for (const Command &c : commands())
        out += "  " + QByteArray(c.synopsis).leftJustified(26) + ' ' + c.summary + '\n';
    out += "\n"
           "Bank and preset indexes are zero-based, as in the JSON arrays of dump. Every --bank N\n"
           "and every bank index printed is the file's own: 0 is the file's first bank (bank 1\n"
           "\"Factory\" only in a file of all 16). --to-bank M names a bank of the module (0 is\n"
           "bank 1 \"Factory\", 15 is bank 16). In dump, \"taken\" tells whether the preset was\n"
           "read from the file; presets the file does not supply show the empty start-up preset.\n"
           "diff prints one line \"bank B preset P: FIELDS\" per differing preset, or\n"
           "\"bank B: only in A|B\".\n"
           "\n";
    out += SyxCommands::Help;
    out += SheetCommands::Help;
    out += "\n";
    out += TransferCommands::OptionsHelp;
    out += "\n";
    out += LibraryCommands::Help;
    out += "\n"
           "orvex-pre --help and orvex-pre --version print this text and the version.\n"
           "\n"
           "Exit codes:\n"
           "  0  success; diff: no preset differs\n"
           "  1  check, dump, copy: a file failed a check, or OUT could not be written;\n"
           "     copy: IN has no bank index N; diff: at least one preset differs;\n"
           "     syx, pre: IN failed a check, lacks presets of its banks (syx) or holds no\n"
           "     usable preset (pre), or OUT could not be written\n"
           "     ports, import, export: the ports failed, the transfer stopped (the\n"
           "     message says where and why), FILE is not a 16-bank file of every preset or\n"
           "     could not be written\n"
           "  2  bad command line; diff: a file failed a check\n";
    writeOut(out);
    return Success;
}

} // namespace

int main(int argc, char *argv[])
{
    BrokenPipes::reportInsteadOfDying();
    // The bank sheet lays out text, which takes the GUI side of Qt; it needs no display.
    const bool gui = argc > 1 && std::strcmp(argv[1], "sheet") == 0;
    if (gui && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app(gui ? new QGuiApplication(argc, argv)
                                                    : new QCoreApplication(argc, argv));
    QCoreApplication::setApplicationName(QStringLiteral("orvex-pre"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVEX_VERSION));
    // Arguments reach the program as text: a name that is not UTF-8 would come out as another
    // name, so a file that exists would be "not found" and a write would make another file.
    for (int i = 1; i < argc; ++i)
        if (!QByteArrayView(argv[i]).isValidUtf8())
            return failure(QStringLiteral("'%1' is not valid UTF-8: it can be neither read nor written under "
                                          "exactly that name (rename the file)")
                               .arg(QString::fromLatin1(escapedBytes(argv[i]))));
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return usageError(QStringLiteral("no command given"));
    // --help anywhere; --version before the command (after it, options are the command's).
    QCommandLineParser global;
    global.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption version = global.addVersionOption();
    global.parse(QCoreApplication::arguments());
    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h")))
        return runHelp({});
    if (global.isSet(version)) {
        writeOut(QByteArray("orvex-pre " ORVEX_VERSION "\n"));
        return Success;
    }
    const QString name = args.takeFirst();
    for (const Command &c : commands())
        if (name == QLatin1String(c.name))
            return finishOutput(c.run(args));
    return usageError(QStringLiteral("unknown command '%1'").arg(name));
}
