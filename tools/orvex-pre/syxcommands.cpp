#include "syxcommands.h"
#include "output.h"

#include "files/filecontents.h"
#include "files/midifile.h"
#include "files/presetfile.h"
#include "files/syxfile.h"
#include "model/selectionmask.h"

#include <cstdio>

namespace SyxCommands {

const char *const Help =
    "syx writes one PresetWrite message per preset, so any SysEx tool can send OUT to the\n"
    "module. Of a 16-bank IN it writes banks 1..15 (the factory bank, index 0, never), or\n"
    "bank index N. A file of fewer banks holds no positions: its banks are written to bank\n"
    "index N and on (default 1). A file that lacks presets of its banks is refused;\n"
    "with --incomplete, syx writes them as empty presets. pre writes a 16-bank file: PresetWrite messages go "
    "to the\n"
    "positions they name, PresetData replies (a captured dump) fill bank index N (default 1)\n"
    "and on in file order, and every other preset is the empty start-up preset.\n"
    "mid writes what syx writes as a Standard MIDI File (format 0), one SysEx event per\n"
    "message, each after the one before has crossed a MIDI cable plus a 60 ms pause for the\n"
    "module to store it. pre reads a Standard MIDI File's SysEx as it reads a SysEx file.\n";

namespace {

int failed(const QString &fileName, const QString &text)
{
    writeErr(QStringLiteral("%1: %2\n").arg(fileName, text));
    return Failed;
}

// A write failure's text names the file already.
int notWritten(const QString &text)
{
    writeErr(text + QLatin1Char('\n'));
    return Failed;
}

// IN, OUT, an optional "--bank N" / "--bank=N" (N in 0..15, -1 when absent) and, where
// `incomplete` is given, "--incomplete".
bool parse(const QStringList &args, const char *command, QStringList &files, int &bank, int &exitCode,
           bool *incomplete = nullptr)
{
    QString value;
    bool hasBank = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--bank")) {
            if (i + 1 >= args.size()) {
                exitCode = usageError(QStringLiteral("--bank needs a value"));
                return false;
            }
            value = args.at(++i);
            hasBank = true;
        } else if (a.startsWith(QLatin1String("--bank="))) {
            value = a.mid(7);
            hasBank = true;
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
    bank = -1;
    if (hasBank) {
        bool ok = false;
        bank = value.toInt(&ok);
        if (!ok || bank < 0 || bank >= BankCount) {
            exitCode =
                usageError(QStringLiteral("--bank takes a bank index from 0 to 15, not '%1'").arg(value));
            return false;
        }
    }
    return true;
}

// syx and mid: the same presets, as bare messages or as a MIDI file that spaces them.
int exportPresets(const QStringList &args, const char *command)
{
    QStringList files;
    int bank = -1;
    int exitCode = 0;
    bool incomplete = false;
    if (!parse(args, command, files, bank, exitCode, &incomplete))
        return exitCode;
    const QString &in = files.at(0);
    const QString &out = files.at(1);
    if (bank == 0)
        return usageError(
            QStringLiteral("bank index 0 is the factory bank, which is never written to a SysEx file"));

    QString errorText;
    const FileContents file = readFileContents(in);
    if (!file.readable())
        return failed(in, file.errorText);
    if (file.isSyx())
        return failed(in, presetFileLoadFailure(PresetFileReader::Result::NotValid));
    const int banks = file.banks;
    if (banks == 0)
        return failed(in, QStringLiteral("holds no bank; a preset file holds 1 to 16"));
    // Presets the file lacks would go to the module as empty presets: only when asked.
    auto lacking = [&](int firstFileBank, int lastFileBank) {
        return incomplete ? QString() : file.problemsText(firstFileBank, lastFileBank);
    };
    BankStore store;
    store.fillEmptyBanks();
    SelectionMask presets;
    int first = 1;
    int last = BankCount - 1;
    if (banks == BankCount) {
        if (bank > 0)
            first = last = bank;
        errorText = lacking(0, BankCount - 1);
        store = file.presets;
    } else {
        first = bank > 0 ? bank : 1;
        last = presetFileLastBank(first, banks);
        if (first + banks - 1 > last)
            writeErr(QStringLiteral("%1: banks past bank index 15 left out: %2\n")
                         .arg(in)
                         .arg(first + banks - 1 - last));
        errorText = lacking(0, last - first);
        for (int b = first; b <= last; ++b)
            for (int p = 0; p < PresetsPerBank; ++p)
                store.at(b, p) = file.presets.at(b - first, p);
    }
    if (!errorText.isEmpty())
        return failed(in, errorText);
    for (int b = first; b <= last; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            presets.set(b, p);
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
    int bank = -1;
    int exitCode = 0;
    if (!parse(args, "pre", files, bank, exitCode))
        return exitCode;
    const QString &in = files.at(0);
    const QString &out = files.at(1);
    const SyxContents contents = readSyxFile(in);
    if (!contents.usable())
        return failed(in, contents.errorText);
    if (contents.skipped() > 0)
        writeErr(QStringLiteral("%1: %2\n").arg(in, syxSkippedText(contents)));

    SyxTargets targets;
    targets.factoryWritable = true;
    targets.replyBank = bank >= 0 ? bank : 1;
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
