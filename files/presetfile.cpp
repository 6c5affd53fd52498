#include "files/presetfile.h"

#include "files/presetfilereader.h"
#include "files/wholefilewriter.h"

#include <QCoreApplication>
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
            if (QChar::isHighSurrogate(u) && i + 1 < value.size() &&
                QChar::isLowSurrogate(value.at(i + 1).unicode())) {
                escaped += c;
                escaped += value.at(++i);
            } else if (u < 0x20 || (u >= 0xD800 && u <= 0xDFFF) || u >= 0xFFFE) {
                escaped += QLatin1Char(' ');
            } else {
                escaped += c;
            }
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
        errorText = presetFileFailure(result, reader.banks(), FileNotFound);
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
    PresetFileReader reader;
    BankStore read = store;
    read.clearMarks(); // a set mark means "taken from the file"
    const PresetFileReader::Result result = reader.readFile(fileName, &read, firstBank, lastBank);
    if (result != PresetFileReader::Result::Ok) {
        errorText = presetFileLoadFailure(result, reader.banks());
        return false;
    }
    QStringList missing;
    for (int b = 0; b <= lastBank - firstBank; ++b) {
        int taken = 0;
        for (int p = 0; p < PresetsPerBank; ++p)
            taken += read.at(firstBank + b, p).mark ? 1 : 0;
        const int held = b < reader.banks() ? reader.presetsInBank(b) : 0;
        const int damaged = held - taken;
        if (held < PresetsPerBank && damaged == 0)
            missing << QCoreApplication::translate("MainWindow", "bank %1 holds %2 presets; %3 are needed")
                           .arg(b + 1)
                           .arg(held)
                           .arg(PresetsPerBank);
        else if (held < PresetsPerBank)
            missing << QCoreApplication::translate(
                           "MainWindow",
                           "bank %1 holds %2 presets, %3 of them with damaged data; %4 are needed")
                           .arg(b + 1)
                           .arg(held)
                           .arg(damaged)
                           .arg(PresetsPerBank);
        else if (damaged > 0)
            missing << QCoreApplication::translate("MainWindow", "bank %1: presets with damaged data: %2")
                           .arg(b + 1)
                           .arg(damaged);
    }
    if (!missing.isEmpty()) {
        errorText =
            QCoreApplication::translate("MainWindow", "The file does not hold every preset of its banks:") +
            QLatin1Char('\n') + missing.join(QLatin1Char('\n'));
        return false;
    }
    // Marks as loadPresetFile leaves them: set on what it took, the rest as it was.
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            PresetRecord &r = read.at(b, p);
            r.mark = r.mark || store.at(b, p).mark;
        }
    store = std::move(read);
    return true;
}
