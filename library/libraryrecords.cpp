#include "library/libraryrecords.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace LibraryRecords {

namespace {

// Per preset: preset (1 byte), category (4, as the file gave it), hash (8), name length (2),
// name, author length (2), author; numbers little endian, text UTF-8.
constexpr qsizetype FixedBytes = 1 + 4 + 8 + 2;
constexpr qsizetype SoundBytes = 8 + 2;

template <typename T> void appendNumber(QByteArray &out, T value)
{
    const T le = qToLittleEndian(value);
    out.append(reinterpret_cast<const char *>(&le), sizeof le);
}

void appendText(QByteArray &out, const QString &text)
{
    // Plain ASCII, as most names are, goes in without a temporary string.
    const qsizetype length = text.size();
    if (length <= 0xFFFF &&
        std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; })) {
        appendNumber(out, quint16(length));
        const qsizetype at = out.size();
        out.resize(at + length);
        for (qsizetype i = 0; i < length; ++i)
            out[at + i] = char(text[i].unicode());
        return;
    }
    const QByteArray utf8 = text.toUtf8().left(0xFFFF);
    appendNumber(out, quint16(utf8.size()));
    out += utf8;
}

// The text at `at`, moving `at` past it; false when the blob ends too soon.
bool readText(const QByteArray &in, qsizetype &at, QString *text)
{
    if (at + 2 > in.size())
        return false;
    const qsizetype length = qFromLittleEndian<quint16>(in.constData() + at);
    at += 2;
    if (at + length > in.size())
        return false;
    if (text)
        *text = QString::fromUtf8(in.constData() + at, length);
    at += length;
    return true;
}

} // namespace

int soundGroup(qint64 hash)
{
    static_assert(SoundGroups == 16, "the group is the hash's top four bits");
    return int(quint64(hash) >> 60);
}

void appendRecord(QByteArray &records, int preset, const PresetRecord &record, qint64 hash)
{
    records += char(preset);
    appendNumber(records, qint32(record.category));
    appendNumber(records, hash);
    appendText(records, record.name);
    appendText(records, record.author);
}

void appendPlainRecord(QByteArray &records, int preset, int category, qint64 hash, QByteArrayView name,
                       QByteArrayView author)
{
    const qsizetype start = records.size();
    records.resize(start + FixedBytes + 2 + name.size() + author.size());
    char *out = records.data() + start;
    *out++ = char(preset);
    qToLittleEndian(qint32(category), out);
    qToLittleEndian(hash, out + 4);
    out += 12;
    for (QByteArrayView text : {name, author}) {
        qToLittleEndian(quint16(text.size()), out);
        std::memcpy(out + 2, text.data(), size_t(text.size()));
        out += 2 + text.size();
    }
}

bool findRecord(const QByteArray &records, int preset, Record &out)
{
    qsizetype at = 0;
    while (at + FixedBytes <= records.size()) {
        const bool wanted = uchar(records[at]) == preset;
        const int category = qFromLittleEndian<qint32>(records.constData() + at + 1);
        const qint64 hash = qFromLittleEndian<qint64>(records.constData() + at + 5);
        at += 1 + 4 + 8;
        if (!wanted) {
            if (!readText(records, at, nullptr) || !readText(records, at, nullptr))
                return false;
            continue;
        }
        out.category = category;
        out.hash = hash;
        return readText(records, at, &out.name) && readText(records, at, &out.author);
    }
    return false;
}

void appendSound(QByteArray &entries, qint64 hash, int position)
{
    const qsizetype at = entries.size();
    entries.resize(at + SoundBytes);
    qToLittleEndian(hash, entries.data() + at);
    qToLittleEndian(quint16(position), entries.data() + at + 8);
}

void shiftSounds(QByteArray &entries, int shift)
{
    char *data = entries.data();
    for (qsizetype at = 0; at + SoundBytes <= entries.size(); at += SoundBytes)
        qToLittleEndian(quint16(qFromLittleEndian<quint16>(data + at + 8) + shift), data + at + 8);
}

std::vector<int> soundPositions(const QByteArray &entries, qint64 hash)
{
    std::vector<int> out;
    const qint64 le = qToLittleEndian(hash);
    for (qsizetype at = 0; at + SoundBytes <= entries.size(); at += SoundBytes)
        if (std::memcmp(entries.constData() + at, &le, 8) == 0)
            out.push_back(qFromLittleEndian<quint16>(entries.constData() + at + 8));
    return out;
}

namespace {

quint64 rowCheck(const char *data, qsizetype size)
{
    // Four lanes of eight bytes, each multiplied and folded, so that a row of text is checked
    // at memory speed; a zeroed or shifted stretch changes the result, and the length is in it.
    constexpr quint64 Prime = 0xFF51AFD7ED558CCDull;
    quint64 lane[4] = {0x9E3779B97F4A7C15ull ^ quint64(size), 0xC4CEB9FE1A85EC53ull, 0x62A9D9ED799705F5ull,
                       0x2545F4914F6CDD1Dull};
    qsizetype at = 0;
    for (; at + 32 <= size; at += 32)
        for (int i = 0; i < 4; ++i) {
            quint64 w;
            std::memcpy(&w, data + at + 8 * i, 8);
            lane[i] = (lane[i] ^ w) * Prime;
            lane[i] ^= lane[i] >> 32;
        }
    quint64 h = lane[0] ^ (lane[1] * 3) ^ (lane[2] * 5) ^ (lane[3] * 7);
    for (; at + 8 <= size; at += 8) {
        quint64 w;
        std::memcpy(&w, data + at, 8);
        h = (h ^ w) * Prime;
        h ^= h >> 32;
    }
    quint64 tail = 0;
    std::memcpy(&tail, data + at, size_t(size - at));
    h = (h ^ tail ^ 0xC4CEB9FE1A85EC53ull) * Prime;
    return h ^ (h >> 29);
}

} // namespace

void seal(QByteArray &row)
{
    appendNumber(row, rowCheck(row.constData(), row.size()));
}

namespace {

qsizetype checkedSize(const QByteArray &row)
{
    const qsizetype size = row.size() - SealBytes;
    if (size < 0 || qFromLittleEndian<quint64>(row.constData() + size) != rowCheck(row.constData(), size))
        return -1;
    return size;
}

} // namespace

bool unseal(QByteArray &row)
{
    const qsizetype size = checkedSize(row);
    if (size < 0)
        return false;
    row.truncate(size);
    return true;
}

bool unseal(const QByteArray &row, QByteArray &payload)
{
    const qsizetype size = checkedSize(row);
    if (size < 0)
        return false;
    payload = QByteArray::fromRawData(row.constData(), size);
    return true;
}

} // namespace LibraryRecords
