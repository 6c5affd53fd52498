#include "sheetcommands.h"
#include "output.h"

#include "editing/banksheet.h"
#include "files/filecontents.h"

#include <QFileInfo>

namespace SheetCommands {

const char *const Help =
    "sheet lists the banks of FILE (a preset, SysEx or MIDI file) as they sit: a PDF of one\n"
    "page per bank (A4, or Letter where the locale measures in inches) or, for a name ending\n"
    "in .csv, one row per preset. --bank N lists the file's bank index N alone.\n";

namespace {

// The presets of FILE in the module's banks, and the banks it fills in file order.
bool readBanks(const QString &in, BankStore &store, std::vector<int> &banks, QString &errorText)
{
    const FileContents file = readFileContents(in);
    if (!file.readable()) {
        errorText = file.errorText;
        return false;
    }
    if (file.isSyx()) {
        // A SysEx file's presets stand where a load puts them; its banks are those it fills.
        store = file.placed();
        for (int b = 0; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p)
                if (file.state(b, p) == FileContents::State::Present) {
                    banks.push_back(b);
                    break;
                }
        return true;
    }
    if (file.banks == 0) {
        errorText = QStringLiteral("holds no bank");
        return false;
    }
    // A damaged or missing preset is not listed as an empty one: the file is refused, as a load refuses it.
    errorText = file.problemsText();
    if (!errorText.isEmpty())
        return false;
    store = file.placed();
    for (int b = 0; b < file.banks && file.moduleBank(b) < BankCount; ++b)
        banks.push_back(file.moduleBank(b));
    return true;
}

} // namespace

int runSheet(const QStringList &args)
{
    QStringList files;
    QString bankValue;
    bool hasBank = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--bank") && i + 1 < args.size()) {
            bankValue = args.at(++i);
            hasBank = true;
        } else if (a.startsWith(QLatin1String("--bank="))) {
            bankValue = a.mid(7);
            hasBank = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            return usageError(QStringLiteral("unknown option or missing value '%1'").arg(a));
        } else {
            files << a;
        }
    }
    if (files.size() != 2)
        return usageError(QStringLiteral("sheet needs FILE and OUT"));
    const QString &in = files.at(0);
    const QString &out = files.at(1);

    BankStore store;
    std::vector<int> banks;
    QString errorText;
    if (!readBanks(in, store, banks, errorText))
        return fileFailure(in, errorText);
    if (hasBank) {
        bool ok = false;
        const int index = bankValue.toInt(&ok);
        if (!ok || index < 0 || index >= int(banks.size()))
            return usageError(QStringLiteral("--bank takes a bank index of the file from 0 to %1, not '%2'")
                                  .arg(int(banks.size()) - 1)
                                  .arg(bankValue));
        banks = {banks[std::size_t(index)]};
    }
    const bool csv = out.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
    BankSheetSource source;
    source.fileName = QFileInfo(in).fileName();
    source.banks = banks;
    const bool written = csv ? saveBankSheetCsv(store, banks, out, errorText)
                             : saveBankSheetPdf(store, source, out, errorText);
    if (!written) {
        writeErr(errorText + QLatin1Char('\n'));
        return Failed;
    }
    return Success;
}

} // namespace SheetCommands
