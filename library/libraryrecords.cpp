#include "library/libraryrecords.h"

#include <QtEndian>

#include <cstring>

namespace LibraryRecords {

namespace {

// Per preset: preset (1 byte), category (1), hash (8), name length (2), name, author
// length (2), author; numbers little endian, text UTF-8.
constexpr qsizetype FixedBytes = 1 + 1 + 8 + 2;
constexpr qsizetype SoundBytes = 8 + 2;

void appendText(QByteArray &out, const QString &text)
{
    const QByteArray utf8 = text.toUtf8().left(0xFFFF);
    const quint16 length = qToLittleEndian(quint16(utf8.size()));
    out.append(reinterpret_cast<const char *>(&length), 2);
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
    return int(quint64(hash) >> 57);
}

void appendRecord(QByteArray &records, int preset, const PresetRecord &record, qint64 hash)
{
    records += char(preset);
    records += char(record.category);
    const qint64 le = qToLittleEndian(hash);
    records.append(reinterpret_cast<const char *>(&le), 8);
    appendText(records, record.name);
    appendText(records, record.author);
}

bool findRecord(const QByteArray &records, int preset, Record &out)
{
    qsizetype at = 0;
    while (at + FixedBytes <= records.size()) {
        const bool wanted = uchar(records[at]) == preset;
        const int category = uchar(records[at + 1]);
        const qint64 hash = qFromLittleEndian<qint64>(records.constData() + at + 2);
        at += 2 + 8;
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
    const qint64 le = qToLittleEndian(hash);
    const quint16 pos = qToLittleEndian(quint16(position));
    entries.append(reinterpret_cast<const char *>(&le), 8);
    entries.append(reinterpret_cast<const char *>(&pos), 2);
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

} // namespace LibraryRecords
