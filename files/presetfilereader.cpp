#include "files/presetfilereader.h"

#include "files/regularfile.h"

#include <QStringDecoder>
#include <QXmlStreamReader>

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

using Result = PresetFileReader::Result;

constexpr int ParamTextLength = 2 * 128;

// Bounds on what a preset file never needs. Real files nest three deep, give a preset
// three attributes and hold nothing outside the format.
constexpr int MaxDepth = 256;
constexpr int MaxAttributes = 16;
// Elements of other names, banks past the 16th, presets past the 128th of a bank and
// anything inside a preset: a few are passed over, a flood is refused.
constexpr int MaxExtraElements = 10000; // below MaxMarkup, which usually stops a flood first
// The XML reader spends time on document type declarations that grows faster than their
// number, and expands what they declare, so they are measured before it sees them.
constexpr qsizetype MaxPrologBytes = 64 * 1024;
constexpr qsizetype MaxDoctypeBytes = 16 * 1024;
constexpr int MaxDeclarations = 64;
constexpr qsizetype ChunkBytes = 64 * 1024;
// The XML reader's cost is per piece of markup and per reference, so a flood of empty
// elements, comments or "&amp;" costs far more than the same bytes of plain text. A full
// file has about 4,200 tags; with every character of every name and author escaped it
// holds 2,048 x 2 x 256 references.
constexpr qsizetype MaxMarkup = 20000;
constexpr qsizetype MaxReferences = 2 * BankCount * PresetsPerBank * MaxPresetTextLength + 50000;

// ---- encodings

bool isValidUtf8(QByteArrayView data)
{
    const auto *p = reinterpret_cast<const unsigned char *>(data.data());
    const auto *const end = p + data.size();
    while (p < end) {
        // Plain ASCII, eight bytes at a time.
        uint64_t word;
        if (end - p >= 8 && (std::memcpy(&word, p, 8), (word & 0x8080808080808080u) == 0)) {
            p += 8;
            continue;
        }
        const unsigned lead = *p;
        if (lead < 0x80) {
            ++p;
            continue;
        }
        int follow;
        uint32_t code;
        uint32_t least;
        if (lead >= 0xC2 && lead <= 0xDF) {
            follow = 1, code = lead & 0x1F, least = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            follow = 2, code = lead & 0x0F, least = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            follow = 3, code = lead & 0x07, least = 0x10000;
        } else {
            return false;
        }
        if (end - p <= follow)
            return false;
        for (int i = 1; i <= follow; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[i] & 0x3F);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        p += follow + 1;
    }
    return true;
}

QString fromWindows1252(QByteArrayView data)
{
    // 0x80..0x9F; the five codes Windows leaves unassigned keep their Latin-1 meaning.
    static const char16_t high[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString text(data.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : data) {
        const uchar b = uchar(c);
        *out++ = QChar(b >= 0x80 && b < 0xA0 ? high[b - 0x80] : char16_t(b));
    }
    return text;
}

bool declaresEncoding(QByteArrayView data)
{
    if (data.size() < 6 || !data.startsWith("<?xml") || !QByteArrayView(" \t\r\n").contains(data[5]))
        return false;
    const qsizetype close = data.indexOf("?>");
    return close > 0 && data.first(close).indexOf("encoding") >= 0;
}

// Encodings in which the markup characters are the ASCII bytes, so that the document type
// declaration can be measured on the bytes themselves.
bool asciiCompatible(QStringView encoding)
{
    const QString e = encoding.toString().toLower();
    for (const char *prefix : {"utf-8", "utf8", "us-ascii", "ascii", "iso-8859-", "iso8859", "latin",
                               "windows-125", "cp125", "koi8"})
        if (e.startsWith(QLatin1String(prefix)))
            return true;
    return false;
}

// What the XML reader gets: the file's own bytes where they are UTF-8 or say what they
// are, otherwise UTF-8 made from them (lockUtf8: the reader must ignore any declaration).
bool prepareText(const QByteArray &data, QByteArray &text, bool &lockUtf8)
{
    lockUtf8 = false;
    text = data;
    const QByteArrayView v(data);
    if (v.startsWith("\xEF\xBB\xBF") || declaresEncoding(v))
        return true;
    const bool wide = v.startsWith("\xFE\xFF") || v.startsWith("\xFF\xFE") ||
                      v.first(std::min<qsizetype>(v.size(), 4)).contains('\0');
    if (wide) {
        // UTF-16 or UTF-32, with or without a byte order mark. Handed over as they are,
        // the declarations in them could not be measured.
        const auto encoding = QStringConverter::encodingForData(v, u'<');
        if (!encoding || *encoding == QStringConverter::Utf8)
            return false;
        QStringDecoder decode(*encoding);
        const QString decoded = decode(v);
        if (decode.hasError())
            return false;
        text = decoded.toUtf8();
        lockUtf8 = true;
        return true;
    }
    if (isValidUtf8(v))
        return true;
    text = fromWindows1252(v).toUtf8();
    lockUtf8 = true;
    return true;
}

// ---- the prolog, measured before the XML reader sees it

struct Prolog
{
    qsizetype end = 0; // where the document element (or whatever else follows) begins
    bool doctype = false;
};

qsizetype skipPast(QByteArrayView d, qsizetype from, QByteArrayView terminator)
{
    const qsizetype at = d.indexOf(terminator, from);
    return at < 0 ? d.size() : at + terminator.size();
}

// Document type declarations may hold a few small declarations and no parameter entities.
bool scanDoctype(QByteArrayView d, qsizetype &i)
{
    const qsizetype start = i;
    i += 9; // "<!DOCTYPE"
    int declarations = 0;
    bool subset = false;
    char quote = 0;
    while (i < d.size()) {
        if (i - start > MaxDoctypeBytes)
            return false;
        const char c = d[i];
        if (quote) {
            if (c == quote)
                quote = 0;
            ++i;
        } else if (c == '"' || c == '\'') {
            quote = c;
            ++i;
        } else if (c == '%') {
            return false;
        } else if (subset && d.sliced(i).startsWith("<!--")) {
            i = skipPast(d, i + 4, "-->");
        } else if (subset && d.sliced(i).startsWith("<?")) {
            i = skipPast(d, i + 2, "?>");
        } else if (subset && d.sliced(i).startsWith("<!")) {
            if (++declarations > MaxDeclarations)
                return false;
            i += 2;
        } else {
            if (c == '[')
                subset = true;
            else if (c == ']')
                subset = false;
            ++i;
            if (c == '>' && !subset)
                return true;
        }
    }
    return i - start <= MaxDoctypeBytes;
}

bool scanProlog(QByteArrayView d, Prolog &prolog)
{
    qsizetype i = d.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    for (;;) {
        while (i < d.size() && (d[i] == ' ' || d[i] == '\t' || d[i] == '\n' || d[i] == '\r'))
            ++i;
        if (i > MaxPrologBytes)
            return false;
        const QByteArrayView rest = d.sliced(i);
        if (rest.startsWith("<?")) {
            i = skipPast(d, i + 2, "?>");
        } else if (rest.startsWith("<!--")) {
            i = skipPast(d, i + 4, "-->");
        } else if (rest.startsWith("<!DOCTYPE")) {
            prolog.doctype = true;
            if (!scanDoctype(d, i))
                return false;
        } else {
            prolog.end = i;
            return true;
        }
    }
}

// Each start tag's attributes, counted in the raw text. The XML reader compares every
// attribute of a tag with every earlier one before it hands them over, so a tag of a
// million attributes would take hours before a bound on what it returns could act.
bool tagsWithinBounds(QByteArrayView d, qsizetype from)
{
    qsizetype i = from;
    while (i < d.size()) {
        const qsizetype open = d.indexOf('<', i);
        if (open < 0)
            return true;
        const QByteArrayView rest = d.sliced(open);
        if (rest.startsWith("<!--")) {
            i = skipPast(d, open + 4, "-->");
        } else if (rest.startsWith("<![CDATA[")) {
            i = skipPast(d, open + 9, "]]>");
        } else if (rest.startsWith("<?")) {
            i = skipPast(d, open + 2, "?>");
        } else if (rest.startsWith("</") || rest.startsWith("<!")) {
            i = open + 2;
        } else {
            // Attribute names hold no '=', so each '=' outside a value is one attribute.
            int attributes = 0;
            for (i = open + 1; i < d.size(); ++i) {
                const char c = d[i];
                if (c == '"' || c == '\'') {
                    const qsizetype close = d.indexOf(c, i + 1);
                    if (close < 0)
                        return true; // not well-formed: the XML reader says so
                    i = close;
                } else if (c == '=') {
                    if (++attributes > MaxAttributes)
                        return false;
                } else if (c == '>' || c == '<') {
                    break;
                }
            }
        }
    }
    return true;
}

// Everything checked on the bytes before the XML reader sees them. `text` is what the
// reader then gets (lockUtf8: made from another encoding), `prolog` where its body begins.
bool bytesWithinBounds(const QByteArray &data, QByteArray &text, bool &lockUtf8, Prolog &prolog)
{
    return data.size() <= PresetFileReader::MaxFileSize && prepareText(data, text, lockUtf8) &&
           scanProlog(text, prolog) && std::count(text.cbegin(), text.cend(), '<') <= MaxMarkup &&
           std::count(text.cbegin(), text.cend(), '&') <= MaxReferences && tagsWithinBounds(text, prolog.end);
}

// Start tags of "bank" in the raw text. A file refused for its size or its amount of
// markup may still be a file of too many banks, and then says how many it holds.
int rawBankTags(QByteArrayView d)
{
    int n = 0;
    for (qsizetype at = d.indexOf("<bank"); at >= 0; at = d.indexOf("<bank", at + 5)) {
        const char next = at + 5 < d.size() ? d[at + 5] : 0;
        n +=
            next == '>' || next == '/' || next == ' ' || next == '\t' || next == '\n' || next == '\r' ? 1 : 0;
    }
    return n;
}

// ---- presets

bool allSpace(QStringView text)
{
    for (const QChar c : text)
        if (!c.isSpace())
            return false;
    return true;
}

char16_t codeUnit(QChar c)
{
    return c.unicode();
}
[[maybe_unused]] char16_t codeUnit(char c)
{
    return uchar(c);
}

// A digit's value for each byte, 0xFF for anything else: the hottest loop of every reader.
constexpr std::array<uint8_t, 256> HexValues = [] {
    std::array<uint8_t, 256> values{};
    for (int c = 0; c < 256; ++c)
        values[size_t(c)] = c >= '0' && c <= '9'   ? uint8_t(c - '0')
                            : c >= 'A' && c <= 'F' ? uint8_t(c - 'A' + 10)
                            : c >= 'a' && c <= 'f' ? uint8_t(c - 'a' + 10)
                                                   : uint8_t(0xFF);
    return values;
}();

template <typename Text> bool readParamsFrom(const Text &text, std::array<uint8_t, 128> &params)
{
    if (text.size() != ParamTextLength)
        return false;
    std::array<uint8_t, 128> read;
    unsigned bad = 0;
    for (int k = 0; k < 128; ++k) {
        const char16_t a = codeUnit(text[2 * k]);
        const char16_t b = codeUnit(text[2 * k + 1]);
        const unsigned high = a < 256 ? HexValues[a] : 0xFF;
        const unsigned low = b < 256 ? HexValues[b] : 0xFF;
        bad |= high | low;
        read[size_t(k)] = uint8_t(high << 4 | (low & 0x0F));
    }
    if (bad & 0xF0)
        return false;
    params = read;
    return true;
}

} // namespace

PresetFileReader::Result PresetFileReader::readFile(const QString &fileName, BankStore *store, int firstBank,
                                                    int lastBank)
{
    bankCount = 0;
    presetCounts.fill(0);
    QByteArray data;
    switch (RegularFile::read(fileName, MaxFileSize, data)) {
    case RegularFile::Result::Ok:
        return readData(data, store, firstBank, lastBank);
    case RegularFile::Result::CantOpen:
        return Result::CantOpen;
    case RegularFile::Result::NotRegular:
        return Result::NotRegular;
    case RegularFile::Result::TooLarge:
        break;
    }
    return Result::NotValid;
}

PresetFileReader::Result PresetFileReader::readData(const QByteArray &data, BankStore *store, int firstBank,
                                                    int lastBank)
{
    bankCount = 0;
    presetCounts.fill(0);
    QByteArray text;
    bool lockUtf8 = false;
    Prolog prolog;
    if (!bytesWithinBounds(data, text, lockUtf8, prolog))
        return tooManyBanksOr(text.isEmpty() ? data : text, Result::NotValid);
    firstBank = std::max(firstBank, 0);
    lastBank = std::min(lastBank, BankCount - 1);

    QXmlStreamReader reader;
    reader.setNamespaceProcessing(false);
    if (lockUtf8)
        reader.addData(QString()); // from now on UTF-8, whatever the text declares
    qsizetype fed = 0;
    auto feed = [&](qsizetype upTo) {
        reader.addData(text.sliced(fed, upTo - fed));
        fed = upTo;
    };
    // The prolog alone first: the reader can't run past the measured declarations.
    feed(prolog.end > 0 ? prolog.end : std::min(text.size(), ChunkBytes));

    int depth = 0;
    int extra = 0;
    bool rootSeen = false, rootOk = false, deviceSeen = false, deviceOk = false;
    bool inBank = false, inPreset = false, haveParams = false, dtdSeen = false;
    int presetsInBank = 0;
    PresetRecord pending;
    std::vector<std::pair<int, PresetRecord>> taken; // (bank, preset) as bank * 128 + preset

    for (;;) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (reader.error() == QXmlStreamReader::PrematureEndOfDocumentError && fed < text.size()) {
            feed(std::min(text.size(), fed + ChunkBytes));
            continue;
        }
        if (reader.hasError())
            return Result::NotValid;
        if (token == QXmlStreamReader::EndDocument || reader.atEnd())
            break;
        switch (token) {
        case QXmlStreamReader::StartDocument:
            if (!lockUtf8 && !reader.documentEncoding().isEmpty() &&
                !asciiCompatible(reader.documentEncoding()))
                return Result::NotValid;
            break;
        case QXmlStreamReader::DTD: {
            if (!prolog.doctype || dtdSeen)
                return Result::NotValid;
            dtdSeen = true;
            const auto entities = reader.entityDeclarations();
            if (entities.size() + reader.notationDeclarations().size() > MaxDeclarations)
                return Result::NotValid;
            // Internal entities expand in the text; a preset file needs none.
            for (const auto &entity : entities)
                if (entity.systemId().isEmpty() && entity.publicId().isEmpty())
                    return Result::NotValid;
            break;
        }
        case QXmlStreamReader::StartElement: {
            if (++depth > MaxDepth)
                return Result::NotValid;
            const QXmlStreamAttributes attributes = reader.attributes();
            if (attributes.size() > MaxAttributes)
                return Result::NotValid;
            const QStringView name = reader.qualifiedName();
            if (depth == 1) {
                rootSeen = true;
                rootOk = name == u"presetbanks";
            } else if (depth == 2) {
                inBank = false;
                if (!deviceSeen && name == u"device") {
                    deviceSeen = true;
                    deviceOk = attributes.value(QLatin1String("name")) == u"orvex+";
                } else if (name == u"bank") {
                    inBank = true;
                    presetsInBank = 0;
                    if (++bankCount > BankCount)
                        ++extra;
                } else {
                    ++extra;
                }
            } else if (depth == 3 && inBank && name == u"preset") {
                if (bankCount <= BankCount)
                    presetCounts[std::size_t(bankCount - 1)] = std::min(presetsInBank + 1, PresetsPerBank);
                if (++presetsInBank > PresetsPerBank) {
                    ++extra;
                } else if (store && firstBank + bankCount - 1 <= lastBank) {
                    inPreset = true;
                    haveParams = false;
                    takePresetAttributes(pending, attributes.value(QLatin1String("name")),
                                         attributes.value(QLatin1String("author")),
                                         attributes.value(QLatin1String("category")));
                }
            } else {
                ++extra;
            }
            if (extra > MaxExtraElements)
                return tooManyBanksOr(text, Result::NotValid);
            break;
        }
        case QXmlStreamReader::EndElement:
            if (depth == 3 && inPreset) {
                if (haveParams) {
                    pending.mark = true;
                    taken.emplace_back((firstBank + bankCount - 1) * PresetsPerBank + presetsInBank - 1,
                                       pending);
                }
                inPreset = false;
            } else if (depth == 2) {
                inBank = false;
            }
            --depth;
            break;
        case QXmlStreamReader::Characters:
            // The preset's data is its last text (or CDATA) child that is not white space.
            if (depth == 3 && inPreset && !allSpace(reader.text()))
                haveParams = readPresetParams(reader.text(), pending.params);
            break;
        default:
            break;
        }
    }
    if (!rootSeen)
        return Result::NoRoot;
    if (!rootOk)
        return Result::NoPresetbanks;
    if (!deviceSeen)
        return Result::NoDevice;
    if (!deviceOk)
        return Result::WrongDevice;
    if (bankCount > BankCount)
        return Result::TooManyBanks;
    if (store)
        for (auto &[index, record] : taken)
            store->at(index / PresetsPerBank, index % PresetsPerBank) = std::move(record);
    return Result::Ok;
}

PresetFileReader::Result PresetFileReader::tooManyBanksOr(const QByteArray &text, Result otherwise)
{
    const int tags = rawBankTags(text);
    if (tags <= BankCount)
        return otherwise;
    bankCount = tags;
    return Result::TooManyBanks;
}

bool PresetFileReader::withinBounds(const QByteArray &data)
{
    QByteArray text;
    bool lockUtf8 = false;
    Prolog prolog;
    return bytesWithinBounds(data, text, lockUtf8, prolog);
}

bool PresetFileReader::writtenFormWithinBounds(qsizetype size, qsizetype references)
{
    static_assert(3 + 2 * BankCount + 2 * BankCount * PresetsPerBank <= MaxMarkup);
    static_assert(3 <= MaxAttributes);
    return size <= MaxFileSize && references <= MaxReferences;
}

void takePresetAttributes(PresetRecord &record, QStringView name, QStringView author, QStringView category)
{
    record.name = limitedText(name);
    record.author = limitedText(author);
    record.category = category.toInt();
}

bool readPresetParams(QStringView text, std::array<uint8_t, 128> &params)
{
    return readParamsFrom(text, params);
}

bool readPresetParams(QByteArrayView text, std::array<uint8_t, 128> &params)
{
#ifdef __SSE2__
    // Thirty-two digits at a time: the index reads millions of presets, and the table
    // lookups a byte apart were most of its reading time.
    if (text.size() != ParamTextLength)
        return false;
    std::array<uint8_t, 128> read;
    const __m128i zero = _mm_set1_epi8('0'), nine = _mm_set1_epi8(9), five = _mm_set1_epi8(5);
    const __m128i lower = _mm_set1_epi8(0x20), a = _mm_set1_epi8('a'), ten = _mm_set1_epi8(10);
    const __m128i low = _mm_set1_epi16(0x00FF);
    __m128i bad = _mm_setzero_si128();
    auto values = [&](const char *at) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
        const __m128i digit = _mm_sub_epi8(c, zero);
        const __m128i isDigit = _mm_cmpeq_epi8(_mm_min_epu8(digit, nine), digit);
        // Only 'A'..'F' and 'a'..'f' land on 'a'..'f' once the case bit is set.
        const __m128i letter = _mm_sub_epi8(_mm_or_si128(c, lower), a);
        const __m128i isLetter = _mm_cmpeq_epi8(_mm_min_epu8(letter, five), letter);
        bad = _mm_or_si128(bad, _mm_andnot_si128(_mm_or_si128(isDigit, isLetter), _mm_set1_epi8(-1)));
        const __m128i v =
            _mm_or_si128(_mm_and_si128(isDigit, digit), _mm_and_si128(isLetter, _mm_add_epi8(letter, ten)));
        // Each pair of digits, high then low, as one 16-bit lane: high << 4 | low.
        return _mm_and_si128(_mm_or_si128(_mm_slli_epi16(v, 4), _mm_srli_epi16(v, 8)), low);
    };
    for (int k = 0; k < ParamTextLength; k += 32) {
        const __m128i bytes = _mm_packus_epi16(values(text.data() + k), values(text.data() + k + 16));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(read.data() + k / 2), bytes);
    }
    if (_mm_movemask_epi8(bad) != 0)
        return false;
    params = read;
    return true;
#else
    return readParamsFrom(text, params);
#endif
}

int hexDigitValue(char16_t c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}
