#include "files/presetfile.h"

#include "files/wholefilewriter.h"

#include <QCoreApplication>
#include <QDomDocument>
#include <QFile>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstring>

namespace {

const char *const CantOpenForWrite = QT_TRANSLATE_NOOP("MainWindow", "can't open file for write");
const char *const CantWrite = QT_TRANSLATE_NOOP("MainWindow", "can't write file");
const char *const FileNotFound = QT_TRANSLATE_NOOP("MainWindow", "file not found");
const char *const CantOpenForRead = QT_TRANSLATE_NOOP("MainWindow", "can't open file for read");
const char *const NotValid1 = QT_TRANSLATE_NOOP("MainWindow", "not a valid preset file (1)");
const char *const NotValid2 = QT_TRANSLATE_NOOP("MainWindow", "not a valid preset file (2)");
const char *const NoPresetbanks =
    QT_TRANSLATE_NOOP("MainWindow", "not a valid preset file (tag \"presetbanks\" not found)");
const char *const NoDevice =
    QT_TRANSLATE_NOOP("MainWindow", "preset file not intended for Orvex+ (tag \"device\" not found)");
const char *const WrongDevice =
    QT_TRANSLATE_NOOP("MainWindow", "preset file not intended for Orvex+ (tag \"device\" not correct)");

QString message(const char *text)
{
    return QCoreApplication::translate("MainWindow", text);
}

constexpr int ParamTextLength = 2 * 128;

// A full file is under a megabyte. Reading anything far larger whole (or a device
// that never ends) would only exhaust memory.
constexpr qint64 MaxFileSize = 32 * 1024 * 1024;

// Real files nest three deep. The DOM spends time proportional to the depth on every
// node it adds, so a few hundred kilobytes of nested elements would stall it for minutes.
constexpr int MaxDepth = 256;

// ---- writing

bool isHighSurrogate(char16_t u)
{
    return u >= 0xD800 && u <= 0xDBFF;
}
bool isLowSurrogate(char16_t u)
{
    return u >= 0xDC00 && u <= 0xDFFF;
}

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
            if (isHighSurrogate(u) && i + 1 < value.size() && isLowSurrogate(value.at(i + 1).unicode())) {
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

// ---- reading

bool readAtMost(QFile &file, QByteArray &data)
{
    if (!file.isSequential()) {
        if (file.size() > MaxFileSize)
            return false;
        data = file.readAll();
        return data.size() <= MaxFileSize;
    }
    char chunk[65536];
    for (;;) {
        const qint64 got = file.read(chunk, sizeof chunk);
        if (got <= 0)
            return true;
        data.append(chunk, got);
        if (data.size() > MaxFileSize)
            return false;
    }
}

// The deepest element nesting of a plain document (UTF-8, no document type declaration),
// read from its markup alone; -1 when the text is not plain. Wherever this reading could
// part from the parser's, the parser has already stopped at an error, so for any input
// it never reports less nesting than the DOM would build.
int plainNestingDepth(const QByteArray &data)
{
    const char *const begin = data.constData();
    const char *const end = begin + data.size();
    const char *pos = begin;
    if (data.startsWith("\xEF\xBB\xBF"))
        pos += 3;
    else if (data.size() >= 2 &&
             (uchar(data[0]) == 0xFE || uchar(data[0]) == 0xFF || data[0] == 0 || data[1] == 0))
        return -1; // UTF-16 or UTF-32
    if (QByteArrayView(pos, end - pos).startsWith("<?xml")) {
        const qsizetype close = QByteArrayView(pos, end - pos).indexOf("?>");
        if (close < 0)
            return -1;
        const QByteArray declaration = QByteArray(pos, close).toLower();
        if (declaration.contains("encoding") && !declaration.contains("\"utf-8\"") &&
            !declaration.contains("'utf-8'"))
            return -1;
    }
    auto skipPast = [&](const char *from, QByteArrayView terminator) -> const char * {
        const qsizetype at = QByteArrayView(from, end - from).indexOf(terminator);
        return at < 0 ? end : from + at + terminator.size();
    };
    int depth = 0;
    int deepest = 0;
    while (pos < end) {
        pos = static_cast<const char *>(std::memchr(pos, '<', size_t(end - pos)));
        if (!pos || pos + 1 >= end)
            break;
        const char next = pos[1];
        const QByteArrayView rest(pos, end - pos);
        if (next == '!') {
            if (rest.startsWith("<!--"))
                pos = skipPast(pos + 4, "-->");
            else if (rest.startsWith("<![CDATA["))
                pos = skipPast(pos + 9, "]]>");
            else
                return -1; // a document type declaration may define entities that expand to markup
        } else if (next == '?') {
            pos = skipPast(pos + 2, "?>");
        } else if (next == '/') {
            --depth;
            pos = skipPast(pos + 2, ">");
        } else {
            const char *p = pos + 1;
            char quote = 0;
            for (; p < end; ++p) {
                const char c = *p;
                if (quote) {
                    if (c == quote)
                        quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '>' || c == '<') {
                    break;
                }
            }
            if (p >= end || *p == '<')
                return -1;
            if (p[-1] != '/')
                deepest = std::max(deepest, ++depth);
            pos = p + 1;
        }
    }
    return deepest;
}

// A streaming pass for documents that aren't plain: linear whatever the nesting, and a
// document that is not well-formed is rejected here without building a tree at all.
bool streamedWithinDepth(const QByteArray &data)
{
    QXmlStreamReader reader(data);
    reader.setNamespaceProcessing(false);
    int depth = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (++depth > MaxDepth)
                return false;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    return !reader.hasError();
}

bool shallowEnough(const QByteArray &data)
{
    const int depth = plainNestingDepth(data);
    return depth >= 0 ? depth <= MaxDepth : streamedWithinDepth(data);
}

bool isElementNamed(const QDomNode &node, const QString &name)
{
    return node.isElement() && node.nodeName() == name;
}

// The checks shared by the pre-scan and the reader, in their order; the first that fails
// decides the message. On success `root` is the document element.
bool openPresetDocument(const QString &fileName, const char *openFailure, QDomDocument &doc,
                        QDomElement &root, QString &errorText)
{
    QByteArray data;
    {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly)) {
            errorText = message(openFailure);
            return false;
        }
        if (!readAtMost(file, data)) {
            errorText = message(NotValid1);
            return false;
        }
    }
    if (!shallowEnough(data) || !doc.setContent(data, false)) {
        errorText = message(NotValid1);
        return false;
    }
    root = doc.documentElement();
    if (root.isNull()) {
        errorText = message(NotValid2);
        return false;
    }
    if (root.tagName() != QLatin1String("presetbanks")) {
        errorText = message(NoPresetbanks);
        return false;
    }
    const QString deviceTag = QStringLiteral("device");
    QDomNode device = root.firstChild();
    while (!device.isNull() && !isElementNamed(device, deviceTag))
        device = device.nextSibling();
    if (device.isNull()) {
        errorText = message(NoDevice);
        return false;
    }
    if (device.toElement().attribute(QStringLiteral("name")) != QLatin1String("orvex+")) {
        errorText = message(WrongDevice);
        return false;
    }
    return true;
}

int hexDigit(char16_t c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

void readPreset(const QDomElement &preset, PresetRecord &record)
{
    QDomNode textNode = preset.lastChild();
    while (!textNode.isNull() && !textNode.isText())
        textNode = textNode.previousSibling();
    if (textNode.isNull())
        return;
    const QString text = textNode.toText().data();
    if (text.size() != ParamTextLength)
        return;
    const QChar *digits = text.constData();
    for (int k = 0; k < 128; ++k) {
        const int high = hexDigit(digits[2 * k].unicode());
        const int low = hexDigit(digits[2 * k + 1].unicode());
        record.params[k] = (high < 0 || low < 0) ? 0 : uint8_t(high * 16 + low);
    }
    record.name = preset.attribute(QStringLiteral("name"));
    record.author = preset.attribute(QStringLiteral("author"));
    record.category = preset.attribute(QStringLiteral("category")).toInt();
    record.mark = true;
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
    switch (WholeFileWriter::write(fileName, presetFileText(store, firstBank, lastBank))) {
    case WholeFileWriter::Result::Written:
        return true;
    case WholeFileWriter::Result::CantOpen:
        errorText = message(CantOpenForWrite);
        return false;
    case WholeFileWriter::Result::CantWrite:
        break;
    }
    errorText = message(CantWrite);
    return false;
}

int countPresetFileBanks(const QString &fileName, QString &errorText)
{
    QDomDocument doc;
    QDomElement root;
    if (!openPresetDocument(fileName, FileNotFound, doc, root, errorText))
        return -1;
    const QString bankTag = QStringLiteral("bank");
    int banks = 0;
    for (QDomNode n = root.firstChild(); !n.isNull(); n = n.nextSibling())
        if (isElementNamed(n, bankTag))
            ++banks;
    return banks;
}

bool loadPresetFile(BankStore &store, const QString &fileName, int firstBank, int lastBank,
                    QString &errorText)
{
    QDomDocument doc;
    QDomElement root;
    if (!openPresetDocument(fileName, CantOpenForRead, doc, root, errorText))
        return false;
    firstBank = std::max(firstBank, 0);
    lastBank = std::min(lastBank, BankCount - 1);
    const QString bankTag = QStringLiteral("bank");
    const QString presetTag = QStringLiteral("preset");
    int b = firstBank;
    for (QDomNode bank = root.firstChild(); !bank.isNull() && b <= lastBank; bank = bank.nextSibling()) {
        if (!isElementNamed(bank, bankTag))
            continue;
        int p = 0;
        for (QDomNode preset = bank.firstChild(); !preset.isNull() && p < PresetsPerBank;
             preset = preset.nextSibling()) {
            if (!isElementNamed(preset, presetTag))
                continue;
            readPreset(preset.toElement(), store.at(b, p));
            ++p;
        }
        ++b;
    }
    return true;
}
