#include "library/libraryfile.h"

#include "files/filecontents.h"
#include "files/presetfile.h"
#include "files/presetfilereader.h"
#include "files/regularfile.h"
#include "library/libraryrecords.h"
#include "library/searchtext.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

// The program's readers refuse anything larger; both limits are 32 MB.
constexpr qint64 MaxFileSize = PresetFileReader::MaxFileSize;

using Raw = RegularFile::Result;

Raw readRegularFile(const QString &path, QByteArray &data)
{
    return RegularFile::read(path, MaxFileSize, data);
}

bool isXmlChar(uint c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// The value of a quoted attribute as an XML parser gives it; false for anything this
// reader does not handle exactly like the parser (the caller then leaves the file to it).
bool decodeValue(const char *begin, const char *end, QString &out)
{
    bool plain = true;
    for (const char *p = begin; p < end; ++p) {
        const uchar c = uchar(*p);
        if (c < 0x20 || c == '<')
            return false; // raw white space is normalised by the parser; '<' is an error
        if (c == 0xEF && end - p >= 3 && uchar(p[1]) == 0xBF && (uchar(p[2]) == 0xBE || uchar(p[2]) == 0xBF))
            return false; // U+FFFE, U+FFFF are not XML characters
        if (c == '&')
            plain = false;
    }
    if (plain) {
        out = QString::fromUtf8(begin, end - begin);
        return true;
    }
    QByteArray decoded;
    decoded.reserve(end - begin);
    for (const char *p = begin; p < end;) {
        if (*p != '&') {
            decoded += *p++;
            continue;
        }
        const char *semi = static_cast<const char *>(std::memchr(p, ';', size_t(end - p)));
        if (!semi)
            return false;
        const QByteArrayView name(p + 1, semi - p - 1);
        if (name == "amp")
            decoded += '&';
        else if (name == "lt")
            decoded += '<';
        else if (name == "gt")
            decoded += '>';
        else if (name == "quot")
            decoded += '"';
        else if (name == "apos")
            decoded += '\'';
        else if (name.size() >= 2 && name[0] == '#') {
            const bool hexRef = name[1] == 'x';
            const QByteArrayView digits = name.sliced(hexRef ? 2 : 1);
            if (digits.isEmpty() || digits.size() > 8)
                return false;
            uint code = 0;
            for (char d : digits) {
                const int v = hexRef ? hexDigitValue(uchar(d)) : (d >= '0' && d <= '9' ? d - '0' : -1);
                if (v < 0)
                    return false;
                code = code * (hexRef ? 16 : 10) + uint(v);
            }
            if (!isXmlChar(code))
                return false;
            const char32_t c32 = code;
            decoded += QString::fromUcs4(&c32, 1).toUtf8();
        } else {
            return false;
        }
        p = semi + 1;
    }
    out = QString::fromUtf8(decoded);
    return true;
}

// A value that needs no decoding: printable ASCII without references, so that its bytes are
// its characters (the limit on a text's length counts bytes then).
bool isPlainValue(const char *begin, const char *end)
{
    for (const char *p = begin; p < end; ++p)
        if (uchar(*p) < 0x20 || uchar(*p) > 0x7E || *p == '&')
            return false;
    return true;
}

// The number of a category the reader has checked to be an optional '-' and 1 to 10 digits,
// as QString::toInt reads it: 0 when it does not fit an int.
int categoryNumber(QByteArrayView text)
{
    const bool negative = text.front() == '-';
    qint64 value = 0;
    for (qsizetype i = negative ? 1 : 0; i < text.size(); ++i)
        value = value * 10 + (text[i] - '0');
    value = negative ? -value : value;
    return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max() ? int(value)
                                                                                                : 0;
}

QByteArrayView limitedBytes(const char *begin, const char *end)
{
    return QByteArrayView(begin, std::min<qsizetype>(end - begin, MaxPresetTextLength));
}

// Where readWrittenForm puts each preset: the presets a load gives.
struct PresetList
{
    std::vector<LibraryPreset> &presets;

    bool take(int bank, int preset, QByteArrayView hex, const char *nameBegin, const char *nameEnd,
              const char *authorBegin, const char *authorEnd, QByteArrayView category)
    {
        LibraryPreset out{bank, preset, {}};
        if (!readPresetParams(hex, out.record.params))
            return false;
        QString name, author;
        if (!decodeValue(nameBegin, nameEnd, name) || !decodeValue(authorBegin, authorEnd, author))
            return false;
        takePresetAttributes(out.record, name, author, QString::fromLatin1(category));
        presets.push_back(std::move(out));
        return true;
    }
    void placeFrom(int home)
    {
        for (LibraryPreset &preset : presets)
            preset.bank += home;
    }
    void clear() { presets.clear(); }
};

// The search data and stored rows of a file, built preset by preset (see prepareSearchData).
class RowBuilder
{
public:
    RowBuilder(LibraryFile &file, qsizetype expected)
        : file(file), banks(BankCount), groups(LibraryRecords::SoundGroups)
    {
        file.searchText.clear();
        file.positions.clear();
        file.searchText.reserve(expected * 40);
        file.positions.reserve(expected * 2);
        for (QByteArray &g : groups)
            g.reserve((expected / LibraryRecords::SoundGroups + 8) * 10); // a hash and a position each
    }

    void add(int bank, int preset, const PresetRecord &record)
    {
        SearchText::appendLine(file.searchText, record);
        const qint64 hash = paramsHash(record.params);
        LibraryRecords::appendRecord(bankRow(bank), preset, record, hash);
        addPosition(bank, preset, hash);
    }

    // The same for a preset whose name and author are plain ASCII, without a QString.
    void addPlain(int bank, int preset, const std::array<uint8_t, 128> &params, QByteArrayView name,
                  QByteArrayView author, int category)
    {
        SearchText::appendPlainLine(file.searchText, name, author, category);
        const qint64 hash = paramsHash(params);
        LibraryRecords::appendPlainRecord(bankRow(bank), preset, category, hash, name, author);
        addPosition(bank, preset, hash);
    }

    // Moves every preset `home` banks on: a file's banks are numbered only once their count
    // is known.
    void placeFrom(int home)
    {
        if (home == 0)
            return;
        const int shift = home * PresetsPerBank;
        auto *pos = reinterpret_cast<uchar *>(file.positions.data());
        for (qsizetype i = 0; i + 1 < file.positions.size(); i += 2)
            qToLittleEndian(quint16(qFromLittleEndian<quint16>(pos + i) + shift), pos + i);
        for (QByteArray &g : groups)
            LibraryRecords::shiftSounds(g, shift);
        std::rotate(banks.rbegin(), banks.rbegin() + home, banks.rend());
    }

    void clear()
    {
        file.searchText.clear();
        file.positions.clear();
        for (QByteArray &b : banks)
            b.clear();
        for (QByteArray &g : groups)
            g.clear();
        count = 0;
    }

    void finish()
    {
        file.presetCount = count;
        file.searchFilter = SearchText::filterOf(file.searchText);
        file.banks.clear();
        for (int b = 0; b < BankCount; ++b)
            if (!banks[size_t(b)].isEmpty())
                file.banks.emplace_back(b, std::move(banks[size_t(b)]));
        file.sounds.clear();
        for (int g = 0; g < LibraryRecords::SoundGroups; ++g)
            if (!groups[size_t(g)].isEmpty())
                file.sounds.emplace_back(g, std::move(groups[size_t(g)]));
    }

private:
    QByteArray &bankRow(int bank)
    {
        QByteArray &row = banks[size_t(bank)];
        if (row.capacity() == 0)
            row.reserve(PresetsPerBank * 48);
        return row;
    }
    void addPosition(int bank, int preset, qint64 hash)
    {
        const int position = bank * PresetsPerBank + preset;
        file.positions += char(position & 0xFF);
        file.positions += char(position >> 8);
        LibraryRecords::appendSound(groups[size_t(LibraryRecords::soundGroup(hash))], hash, position);
        ++count;
    }

    LibraryFile &file;
    std::vector<QByteArray> banks;
    std::vector<QByteArray> groups;
    int count = 0;
};

// Where readWrittenForm puts each preset when the index reads a file: straight into its
// rows, plain names without ever becoming QStrings.
struct RowSink
{
    RowBuilder &rows;

    bool take(int bank, int preset, QByteArrayView hex, const char *nameBegin, const char *nameEnd,
              const char *authorBegin, const char *authorEnd, QByteArrayView category)
    {
        std::array<uint8_t, 128> params;
        if (!readPresetParams(hex, params))
            return false;
        if (isPlainValue(nameBegin, nameEnd) && isPlainValue(authorBegin, authorEnd)) {
            rows.addPlain(bank, preset, params, limitedBytes(nameBegin, nameEnd),
                          limitedBytes(authorBegin, authorEnd), categoryNumber(category));
            return true;
        }
        PresetRecord record;
        record.params = params;
        QString name, author;
        if (!decodeValue(nameBegin, nameEnd, name) || !decodeValue(authorBegin, authorEnd, author))
            return false;
        takePresetAttributes(record, name, author, QString::fromLatin1(category));
        rows.add(bank, preset, record);
        return true;
    }
    void placeFrom(int home) { rows.placeFrom(home); }
    void clear() { rows.clear(); }
};

template <typename Sink> bool readWrittenPresets(const QByteArray &data, Sink &sink)
{
    // Valid UTF-8 starting with the document element: no encoding to convert, no prolog.
    if (!QByteArrayView(data).isValidUtf8())
        return false;
    qsizetype references = 0;
    const char *p = data.constData();
    const char *const end = p + data.size();
    auto take = [&](QByteArrayView token) {
        if (end - p < token.size() || std::memcmp(p, token.data(), size_t(token.size())) != 0)
            return false;
        p += token.size();
        return true;
    };
    auto valueUntilQuote = [&](const char *&begin, const char *&stop) {
        begin = p;
        stop = static_cast<const char *>(std::memchr(p, '"', size_t(end - p)));
        if (!stop)
            return false;
        p = stop + 1;
        return true;
    };
    if (!take("<presetbanks>\n <device name=\"orvex+\"/>\n"))
        return false;
    int bank = 0;
    while (!take("</presetbanks>\n")) {
        if (!take(" <bank>\n"))
            return false;
        int preset = 0;
        while (!take(" </bank>\n")) {
            const char *nameBegin, *nameEnd, *authorBegin, *authorEnd, *categoryBegin, *categoryEnd;
            if (!take("  <preset name=\"") || !valueUntilQuote(nameBegin, nameEnd) || !take(" author=\"") ||
                !valueUntilQuote(authorBegin, authorEnd) || !take(" category=\"") ||
                !valueUntilQuote(categoryBegin, categoryEnd) || !take(">"))
                return false;
            if (end - p < 256 + 10)
                return false;
            const char *hex = p;
            p += 256;
            if (!take("</preset>\n") || ++preset > PresetsPerBank)
                return false;
            const QByteArrayView category(categoryBegin, categoryEnd - categoryBegin);
            const qsizetype digits = category.startsWith('-') ? category.size() - 1 : category.size();
            if (digits < 1 || digits > 10)
                return false;
            for (qsizetype i = category.size() - digits; i < category.size(); ++i)
                if (category[i] < '0' || category[i] > '9')
                    return false;
            if (bank >= BankCount)
                return false; // a load refuses the file: the reader gives its message
            references += std::count(nameBegin, nameEnd, '&') + std::count(authorBegin, authorEnd, '&');
            if (!sink.take(bank, preset - 1, QByteArrayView(hex, 256), nameBegin, nameEnd, authorBegin,
                           authorEnd, category))
                return false;
        }
        ++bank;
    }
    // A 17th bank, even an empty one, makes a load refuse the file: the reader says so.
    if (p != end || bank > BankCount || !PresetFileReader::writtenFormWithinBounds(data.size(), references))
        return false;
    sink.placeFrom(presetFileHomeBank(bank));
    return true;
}

// Reads a file in exactly the form the program writes, far faster than the XML reader,
// within the same bounds and text limits as a load. Returns false, having taken nothing,
// at the first thing it does not expect.
template <typename Sink> bool readWrittenForm(const QByteArray &data, Sink &&sink)
{
    if (!readWrittenPresets(data, sink)) {
        sink.clear();
        return false;
    }
    return true;
}

} // namespace

bool isLibraryFileName(const QString &fileName)
{
    return isPresetSourceName(fileName);
}

LibraryFile readLibraryFile(const QString &path)
{
    LibraryFile file;
    file.path = path;
    const QFileInfo info(path);
    file.size = info.size();
    file.mtime = info.lastModified().toMSecsSinceEpoch();
    readLibraryFileContents(file);
    return file;
}

namespace {

bool readRaw(LibraryFile &file, QByteArray &data)
{
    const Raw raw = readRegularFile(file.path, data);
    if (raw == Raw::Ok)
        return true;
    file.error = fileReadFailureText(file.path, raw); // in the words a load gives
    return false;
}

void readContents(LibraryFile &file, const QByteArray &data)
{
    // Anything else (a backup, a SysEx file, hand-edited, pretty-printed, damaged) is read by the
    // program's own reader, so the library holds exactly what loading the file would
    // place: never a damaged or missing preset, never a backup's placeholder.
    const FileContents contents = fileContentsOf(file.path, data);
    if (!contents.readable()) {
        file.error = contents.errorText;
        return;
    }
    for (int b = 0; b < contents.banks && contents.moduleBank(b) < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            if (contents.state(b, p) == FileContents::State::Present) {
                PresetRecord r = contents.presets.at(b, p);
                r.mark = false;
                file.presets.push_back(LibraryPreset{contents.moduleBank(b), p, std::move(r)});
            }
}

} // namespace

void readLibraryFileContents(LibraryFile &file)
{
    QByteArray data;
    if (!readRaw(file, data))
        return;
    // A backup's placeholders and .info, and SysEx, are for the one reader of what a file holds.
    if (isPlainPresetFileName(file.path) && readWrittenForm(data, PresetList{file.presets}))
        return;
    readContents(file, data);
}

void readLibraryFileRows(LibraryFile &file)
{
    QByteArray data;
    if (!readRaw(file, data))
        return;
    if (isPlainPresetFileName(file.path)) {
        RowBuilder rows(file, data.size() / 300 + 1); // a written preset takes about 300 bytes
        if (readWrittenForm(data, RowSink{rows})) {
            rows.finish();
            return;
        }
    }
    readContents(file, data);
    if (file.error.isEmpty())
        prepareSearchData(file);
}

qint64 paramsHash(const std::array<uint8_t, 128> &params)
{
    // Eight bytes a step, read little endian so every machine gets the same words; each
    // multiplied and rotated in, then a finaliser spreads the last words over all bits.
    // A step a byte took a good part of the index's own time.
    quint64 h = 0xcbf29ce484222325ull ^ params.size();
    for (size_t i = 0; i < params.size(); i += 8) {
        const quint64 w = qFromLittleEndian<quint64>(params.data() + i) * 0xc2b2ae3d27d4eb4full;
        h ^= (w << 31) | (w >> 33);
        h = ((h << 27) | (h >> 37)) * 0x9e3779b185ebca87ull + 0x85ebca77c2b2ae63ull;
    }
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ull;
    h ^= h >> 33;
    return qint64(h);
}

void prepareSearchData(LibraryFile &file)
{
    RowBuilder rows(file, qsizetype(file.presets.size()));
    for (const LibraryPreset &p : file.presets)
        rows.add(p.bank, p.preset, p.record);
    rows.finish();
}
