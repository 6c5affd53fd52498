#include "syxcommands.h"
#include "output.h"

#include "files/filecontents.h"
#include "files/midifile.h"
#include "files/presetfile.h"
#include "files/syxfile.h"
#include "model/selectionmask.h"

#include <algorithm>
#include <cstdio>

namespace SyxCommands {

const char *const Help =
    "syx writes one PresetWrite message per preset, so any SysEx tool can send OUT to the\n"
    "module. --bank N writes the file's bank index N alone (default: every bank but a 16-bank\n"
    "file's factory bank, index 0). Each bank goes to the module bank it belongs to: the same\n"
    "index in a 16-bank file, the next one (the file's bank index 0 to module bank index 1)\n"
    "in a file of fewer banks; --to-bank M writes the first of them to module bank index M\n"
    "(1..15) and the rest after it. The factory bank is never written to. A file that lacks\n"
    "presets of its banks is refused; with --incomplete, syx writes them as empty\n"
    "presets. pre writes a 16-bank file: PresetWrite messages go to the positions they name,\n"
    "PresetData replies (a captured dump) fill the output file's bank index M (--to-bank M,\n"
    "default 1) and on in file order, and every other preset is the empty start-up preset.\n"
    "mid writes what syx writes as a Standard MIDI File (format 0), one SysEx event per\n"
    "message, each after the one before has crossed a MIDI cable plus a 60 ms pause for the\n"
    "module to store it. pre reads a Standard MIDI File's SysEx as it reads a SysEx file.\n";

namespace {

// A write failure's text names the file already.
int notWritten(const QString &text)
{
    writeErr(text + QLatin1Char('\n'));
    return Failed;
}

// A bank index given as "--bank N", "--bank=N", "--to-bank M" or "--to-bank=M"; -1 when absent.
struct BankOption
{
    const char *name;
    int value = -1;
};

// IN, OUT, the bank options (each 0..15) and, where `incomplete` is given, "--incomplete".
bool parse(const QStringList &args, const char *command, QStringList &files, BankOption *options,
           int optionCount, int &exitCode, bool *incomplete = nullptr)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        BankOption *option = nullptr;
        QString value;
        for (int o = 0; o < optionCount && !option; ++o) {
            const QString name = QLatin1String(options[o].name);
            if (a == name) {
                if (i + 1 >= args.size()) {
                    exitCode = usageError(QStringLiteral("%1 needs a value").arg(name));
                    return false;
                }
                option = &options[o];
                value = args.at(++i);
            } else if (a.startsWith(name + QLatin1Char('='))) {
                option = &options[o];
                value = a.mid(name.size() + 1);
            }
        }
        if (option) {
            bool ok = false;
            option->value = value.toInt(&ok);
            if (!ok || option->value < 0 || option->value >= BankCount) {
                exitCode = usageError(QStringLiteral("%1 takes a bank index from 0 to 15, not '%2'")
                                          .arg(QLatin1String(option->name), value));
                return false;
            }
        } else if (incomplete && a == QLatin1String("--incomplete")) {
            *incomplete = true;
        } else if (a.startsWith(QLatin1String("--")) && a.size() > 2) {
            exitCode = usageError(QStringLiteral("unknown option '%1'").arg(a));
            return false;
        } else {
            files << a;
        }
    }
    if (files.size() != 2) {
        exitCode = usageError(QStringLiteral("%1 needs IN and OUT").arg(QLatin1String(command)));
        return false;
    }
    return true;
}

// syx and mid: the same presets, as bare messages or as a MIDI file that spaces them.
int exportPresets(const QStringList &args, const char *command)
{
    QStringList files;
    BankOption options[] = {{"--bank"}, {"--to-bank"}};
    int exitCode = 0;
    bool incomplete = false;
    if (!parse(args, command, files, options, 2, exitCode, &incomplete))
        return exitCode;
    const QString &in = files.at(0);
    const QString &out = files.at(1);
    const int bank = options[0].value;   // the file's own bank index
    const int toBank = options[1].value; // a module bank index
    if (toBank == 0)
        return usageError(
            QStringLiteral("module bank index 0 is the factory bank, which is never written to"));

    const FileContents file = readFileContents(in);
    if (!file.readable())
        return fileFailure(in, file.errorText);
    if (file.isSyx())
        return fileFailure(in, presetFileLoadFailure(PresetFileReader::Result::NotValid));
    const int banks = file.banks;
    if (banks == 0)
        return fileFailure(in, QStringLiteral("holds no bank; a preset file holds 1 to 16"));
    if (bank >= banks) {
        // Before, --bank named the module bank a smaller file went to: say what it means now.
        QString text = banks == 1
                           ? QStringLiteral("has no bank index %1 (it holds 1 bank)").arg(bank)
                           : QStringLiteral("has no bank index %1 (it holds %2 banks)").arg(bank).arg(banks);
        if (toBank < 0)
            text += QStringLiteral("; --to-bank %1 writes to module bank index %1").arg(bank);
        return fileFailure(in, text);
    }
    // The file's banks to write, and the module bank the first of them goes to.
    const int firstFileBank = bank >= 0 ? bank : file.moduleBank(0) == 0 ? 1 : 0;
    const int lastFileBank = bank >= 0 ? bank : banks - 1;
    const int first = toBank >= 0 ? toBank : file.moduleBank(firstFileBank);
    if (first == 0)
        return usageError(QStringLiteral("bank index 0 of a 16-bank file is the factory bank, which is never "
                                         "written to; --to-bank M writes it to module bank index M"));
    const int wanted = lastFileBank - firstFileBank + 1;
    const int last = std::min(first + wanted - 1, BankCount - 1);
    if (first + wanted - 1 > last)
        writeErr(QStringLiteral("%1: banks past module bank index 15 left out: %2\n")
                     .arg(in)
                     .arg(first + wanted - 1 - last));
    // Presets the file lacks would go to the module as empty presets: only when asked.
    if (!incomplete) {
        const QString problems = file.problemsText();
        if (!problems.isEmpty())
            return fileFailure(in, problems);
    }
    BankStore store;
    store.fillEmptyBanks();
    SelectionMask presets;
    for (int b = first; b <= last; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            // A backup's placeholders stand for presets it does not hold: they are not written.
            const FileContents::State state = file.state(firstFileBank + (b - first), p);
            if (state == FileContents::State::NotHeld)
                continue;
            if (state == FileContents::State::Present)
                store.at(b, p) = file.presets.at(firstFileBank + (b - first), p);
            presets.set(b, p);
        }
    QString errorText;
    const bool written = qstrcmp(command, "mid") == 0
                             ? saveMidiFile(store, presets, out, MidiTiming::DefaultPauseMs, errorText)
                             : saveSyxFile(store, presets, out, errorText);
    if (!written)
        return notWritten(errorText);
    return 0;
}

} // namespace

int runSyx(const QStringList &args)
{
    return exportPresets(args, "syx");
}

int runMid(const QStringList &args)
{
    return exportPresets(args, "mid");
}

int runPre(const QStringList &args)
{
    QStringList files;
    // OUT holds 16 banks, so its bank indexes are the module's: --bank still means the same.
    BankOption options[] = {{"--to-bank"}, {"--bank"}};
    int exitCode = 0;
    if (!parse(args, "pre", files, options, 2, exitCode))
        return exitCode;
    const QString &in = files.at(0);
    const QString &out = files.at(1);
    const FileContents file = readFileContents(in);
    if (!file.readable())
        return fileFailure(in, file.errorText);
    if (!file.isSyx())
        return fileFailure(in,
                           QStringLiteral("is a preset file, not a SysEx or MIDI file (copy rewrites it)"));
    const SyxContents &contents = file.syx;
    if (contents.skipped() > 0)
        writeErr(QStringLiteral("%1: %2\n").arg(in, syxSkippedText(contents)));

    SyxTargets targets;
    targets.factoryWritable = true;
    targets.replyBank = options[0].value >= 0   ? options[0].value
                        : options[1].value >= 0 ? options[1].value
                                                : 1;
    const SyxPlacement placement = placeSyxPresets(contents, targets);
    if (placement.pastLastBank > 0)
        writeErr(QStringLiteral("%1: presets past bank index 15 left out: %2\n")
                     .arg(in)
                     .arg(placement.pastLastBank));

    BankStore store;
    store.fillEmptyBanks();
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            if (placement.sourceAt(b, p) >= 0)
                store.at(b, p).copyContentFrom(placedSyxRecord(contents, placement, b, p));
    QString errorText;
    if (!savePresetFile(store, out, 0, BankCount - 1, errorText))
        return notWritten(errorText);
    return 0;
}

} // namespace SyxCommands
