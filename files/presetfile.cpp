#include "files/presetfile.h"

#include "files/filecontents.h"
#include "files/presetfilereader.h"
#include "files/wholefilewriter.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>

namespace {

const char *const FileNotFound = QT_TRANSLATE_NOOP("MainWindow", "file not found");
const char *const CantOpenForRead = QT_TRANSLATE_NOOP("MainWindow", "can't open file for read");
const char *const NotValid1 = QT_TRANSLATE_NOOP("MainWindow", "not a valid preset file (1)");
const char *const NotValid2 = QT_TRANSLATE_NOOP("MainWindow", "not a valid preset file (2)");
const char *const NoPresetbanks =
    QT_TRANSLATE_NOOP("MainWindow", "not a valid preset file (tag \"presetbanks\" not found)");
const char *const NoDevice =
    QT_TRANSLATE_NOOP("MainWindow", "preset file not intended for Orvex+ (tag \"device\" not found)");
const char *const NotRegular = QT_TRANSLATE_NOOP("MainWindow", "not a regular file (a pipe or a device)");
const char *const WrongDevice =
    QT_TRANSLATE_NOOP("MainWindow", "preset file not intended for Orvex+ (tag \"device\" not correct)");

QString message(const char *text)
{
    return QCoreApplication::translate("MainWindow", text);
}

constexpr int ParamTextLength = 2 * 128;

// ---- writing

bool needsEscaping(const QString &value)
{
    for (const QChar c : value) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == '&' || u == '<' || u == '"' || (u >= 0xD800 && u <= 0xDFFF) || u >= 0xFFFE)
            return true;
    }
    return false;
}

// Characters XML 1.0 cannot carry, not even as references; a surrogate counts only when
// unpaired.
bool notInXml(const QString &value, qsizetype i)
{
    const char16_t u = value.at(i).unicode();
    if (QChar::isHighSurrogate(u))
        return i + 1 >= value.size() || !QChar::isLowSurrogate(value.at(i + 1).unicode());
    if (QChar::isLowSurrogate(u))
        return i == 0 || !QChar::isHighSurrogate(value.at(i - 1).unicode());
    return (u < 0x20 && u != '\t' && u != '\n' && u != '\r') || u >= 0xFFFE;
}

// An attribute value between double quotes. Characters that XML 1.0 cannot carry at all,
// not even as references (most control characters, unpaired surrogates), become spaces:
// written raw they would make the whole file unreadable.
void appendAttribute(QByteArray &out, const char *name, const QString &value)
{
    out += ' ';
    out += name;
    out += "=\"";
    if (!needsEscaping(value)) {
        out += value.toUtf8();
        out += '"';
        return;
    }
    QString escaped;
    escaped.reserve(value.size() + 16);
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        const char16_t u = c.unicode();
        switch (u) {
        case '&':
            escaped += QLatin1String("&amp;");
            break;
        case '<':
            escaped += QLatin1String("&lt;");
            break;
        case '"':
            escaped += QLatin1String("&quot;");
            break;
        case '\t':
            escaped += QLatin1String("&#x9;");
            break;
        case '\n':
            escaped += QLatin1String("&#xa;");
            break;
        case '\r':
            escaped += QLatin1String("&#xd;");
            break;
        default:
            escaped += notInXml(value, i) ? QChar(u' ') : c;
        }
    }
    out += escaped.toUtf8();
    out += '"';
}

void appendPreset(QByteArray &out, const PresetRecord &record)
{
    static const char digits[] = "0123456789ABCDEF";
    out += "  <preset";
    appendAttribute(out, "name", record.name);
    appendAttribute(out, "author", record.author);
    out += " category=\"";
    out += QByteArray::number(record.category);
    out += "\">";
    char hex[ParamTextLength];
    for (int k = 0; k < 128; ++k) {
        hex[2 * k] = digits[record.params[k] >> 4];
        hex[2 * k + 1] = digits[record.params[k] & 0x0F];
    }
    out.append(hex, ParamTextLength);
    out += "</preset>\n";
}

// The result of a failed check as the message the caller shows.
const char *failureMessage(PresetFileReader::Result result, const char *openFailure)
{
    switch (result) {
    case PresetFileReader::Result::Ok:
        break;
    case PresetFileReader::Result::CantOpen:
        return openFailure;
    case PresetFileReader::Result::NotValid:
        return NotValid1;
    case PresetFileReader::Result::NoRoot:
        return NotValid2;
    case PresetFileReader::Result::NoPresetbanks:
        return NoPresetbanks;
    case PresetFileReader::Result::NoDevice:
        return NoDevice;
    case PresetFileReader::Result::WrongDevice:
        return WrongDevice;
    case PresetFileReader::Result::NotRegular:
        return NotRegular;
    case PresetFileReader::Result::TooManyBanks:
        break; // its message names the count
    }
    return nullptr;
}

QString presetFileFailure(PresetFileReader::Result result, int banks, const char *openFailure)
{
    if (result == PresetFileReader::Result::TooManyBanks)
        return QCoreApplication::translate("MainWindow",
                                           "The file holds %1 banks; a preset file holds 1 to %2.")
            .arg(banks)
            .arg(BankCount);
    const char *text = failureMessage(result, openFailure);
    return text ? message(text) : QString();
}

} // namespace

QString presetFileKeeps(const QString &text)
{
    QString kept = text;
    for (qsizetype i = 0; i < kept.size(); ++i)
        if (notInXml(text, i))
            kept[i] = u' ';
    return limitedText(kept);
}

QByteArray presetFileText(const BankStore &store, int firstBank, int lastBank)
{
    firstBank = std::max(firstBank, 0);
    lastBank = std::min(lastBank, BankCount - 1);
    QByteArray out;
    out.reserve(64 + std::max(0, lastBank - firstBank + 1) * PresetsPerBank * 360);
    out += "<presetbanks>\n <device name=\"orvex+\"/>\n";
    for (int b = firstBank; b <= lastBank; ++b) {
        out += " <bank>\n";
        for (int p = 0; p < PresetsPerBank; ++p)
            appendPreset(out, store.at(b, p));
        out += " </bank>\n";
    }
    out += "</presetbanks>\n";
    return out;
}

bool savePresetFile(const BankStore &store, const QString &fileName, int firstBank, int lastBank,
                    QString &errorText)
{
    const WholeFileWriter::Result result =
        WholeFileWriter::write(fileName, presetFileText(store, firstBank, lastBank));
    if (result == WholeFileWriter::Result::Written)
        return true;
    errorText = WholeFileWriter::errorText(result, fileName);
    return false;
}

int countPresetFileBanks(const QString &fileName, QString &errorText)
{
    PresetFileReader reader;
    const PresetFileReader::Result result = reader.readFile(fileName);
    if (result != PresetFileReader::Result::Ok) {
        errorText = presetFileReadFailure(fileName, result, reader.banks());
        return -1;
    }
    return reader.banks();
}

int presetFileHomeBank(int banks)
{
    return banks >= BankCount ? 0 : 1;
}

int presetFileLastBank(int startBank, int fileBanks)
{
    return std::min(startBank + fileBanks - 1, BankCount - 1);
}

QString presetFileLoadFailure(PresetFileReader::Result result, int banks)
{
    return presetFileFailure(result, banks, CantOpenForRead);
}

QString presetFileReadFailure(const QString &fileName, PresetFileReader::Result result, int banks)
{
    if (result == PresetFileReader::Result::CantOpen) {
        const QFileInfo info(fileName);
        if (info.isDir())
            return QCoreApplication::translate("MainWindow", "%1 is a folder, not a file.")
                .arg(info.fileName().isEmpty() ? fileName : info.fileName());
        // A name given as bytes that are not UTF-8 arrives changed: say so, naming it.
        if (!info.exists() && !info.isSymLink() && fileName.contains(QChar::ReplacementCharacter))
            return QCoreApplication::translate(
                       "MainWindow", "%1 cannot be opened: its name holds bytes that are not UTF-8, "
                                     "which this program cannot name exactly. Rename the file.")
                .arg(info.fileName());
        if (!info.exists() && !info.isSymLink())
            return message(FileNotFound);
    }
    return presetFileLoadFailure(result, banks);
}

bool loadPresetFile(BankStore &store, const QString &fileName, int firstBank, int lastBank,
                    QString &errorText)
{
    PresetFileReader reader;
    const PresetFileReader::Result result = reader.readFile(fileName, &store, firstBank, lastBank);
    if (result != PresetFileReader::Result::Ok) {
        errorText = presetFileLoadFailure(result, reader.banks());
        return false;
    }
    return true;
}

bool loadCompletePresetFile(BankStore &store, const QString &fileName, int firstBank, int lastBank,
                            QString &errorText)
{
    firstBank = std::max(firstBank, 0);
    lastBank = std::min(lastBank, BankCount - 1);
    const FileContents file = readFileContents(fileName);
    if (!file.readable() || file.isSyx()) {
        errorText =
            file.readable() ? presetFileLoadFailure(PresetFileReader::Result::NotValid) : file.errorText;
        return false;
    }
    const int lastFileBank = lastBank - firstBank;
    // Banks in the range that the file does not have are missing whole.
    QString problems = file.problemsText(0, lastFileBank);
    if (problems.isEmpty() && lastFileBank >= file.banks) {
        FileContents whole = file;
        whole.banks = lastFileBank + 1;
        for (int b = file.banks; b <= lastFileBank; ++b)
            for (int p = 0; p < PresetsPerBank; ++p)
                whole.states[size_t(b * PresetsPerBank + p)] = FileContents::State::Missing;
        problems = whole.problemsText(file.banks, lastFileBank);
    }
    if (!problems.isEmpty()) {
        errorText = problems;
        return false;
    }
    // Marks as loadPresetFile leaves them: set on what it took, the rest as it was.
    for (int b = 0; b <= lastFileBank; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            if (file.presets.at(b, p).mark)
                store.at(firstBank + b, p) = file.presets.at(b, p);
    return true;
}
