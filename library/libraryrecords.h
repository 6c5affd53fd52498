#pragma once

#include "model/presetrecord.h"

#include <QByteArray>
#include <QString>

#include <vector>

// How the database holds a file's presets: one blob of records per bank (what a search hit
// shows) and the parameter hashes in groups by their top bits (what "where else" looks up).
// A file is stored as a few rows written one after the other, never as one row a preset
// in an index on a random key, so storing a file costs the same however large the
// library has grown. The readers encode; the single writer only stores.
namespace LibraryRecords {

constexpr int SoundGroups = 16;

struct Record
{
    QString name;
    QString author;
    int category = 0;
    qint64 hash = 0;
};

// The group of a parameter hash, 0 .. SoundGroups - 1.
int soundGroup(qint64 hash);

// Appends a preset's record to its bank's blob.
void appendRecord(QByteArray &records, int preset, const PresetRecord &record, qint64 hash);
// The same for a preset whose name and author are ASCII, already cut to their limit.
void appendPlainRecord(QByteArray &records, int preset, int category, qint64 hash, QByteArrayView name,
                       QByteArrayView author);
// The record of `preset` in a bank's blob; false when the blob holds none for it.
bool findRecord(const QByteArray &records, int preset, Record &out);

// Appends a preset's hash with its position (bank * 128 + preset) to a group's entries.
void appendSound(QByteArray &entries, qint64 hash, int position);
// Adds `shift` to every position in a group's entries.
void shiftSounds(QByteArray &entries, int shift);
// The positions in a group's entries whose hash is `hash`, in entry order.
std::vector<int> soundPositions(const QByteArray &entries, qint64 hash);

// Every packed row the database stores ends in a check of the bytes before it, so that a
// page damaged where SQLite's own checks do not look is found when the row is read.
constexpr qsizetype SealBytes = 8;
void seal(QByteArray &row);
// Takes the check off a row; false (row unchanged) when it does not match.
bool unseal(QByteArray &row);
// The same without a copy: `payload` shows the row's bytes before the check (valid while
// `row` is alive and unchanged).
bool unseal(const QByteArray &row, QByteArray &payload);

} // namespace LibraryRecords
