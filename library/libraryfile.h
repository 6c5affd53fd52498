#pragma once

#include "model/presetrecord.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

// One preset as a file holds it, at its zero-based position.
struct LibraryPreset
{
    int bank = 0;
    int preset = 0;
    PresetRecord record;
};

// What the index learns from one preset file. `error` is empty when the file was read;
// otherwise the file is listed with it and holds no presets.
struct LibraryFile
{
    QString path;
    qint64 size = -1;
    qint64 mtime = -1; // milliseconds since the epoch
    QString error;
    std::vector<LibraryPreset> presets;

    // Filled by prepareSearchData (or readLibraryFileRows, which leaves `presets` empty): one
    // line per preset, in `presets` order.
    int presetCount = 0;
    QByteArray searchText;
    QByteArray positions;    // per line: bank * 128 + preset, 16-bit little endian
    QByteArray searchFilter; // SearchText::filterOf(searchText)
    // Also filled there, as the database stores them (see LibraryRecords): each bank's
    // records, and the hash entries of each hash group.
    std::vector<std::pair<int, QByteArray>> banks;  // bank, records
    std::vector<std::pair<int, QByteArray>> sounds; // group, entries
};

// Whether the index reads files of this name: ".pre" and ".syx", in any case.
bool isLibraryFileName(const QString &fileName);

// Reads every preset a load of the whole file would take, exactly as the program loads
// it (a SysEx file: its writes where they name, a captured dump in order from bank 1);
// the file is opened for reading only. Size and time are those seen before reading.
LibraryFile readLibraryFile(const QString &path);
// The same for a file whose path, size and time are already set: it takes no time stamps,
// which converts through the local time zone (not something to do in many threads at once).
void readLibraryFileContents(LibraryFile &file);

// What the index stores of a file: readLibraryFileContents and prepareSearchData in one, the
// presets of a file in the written form going straight into the rows.
void readLibraryFileRows(LibraryFile &file);

// Fills the search data and the stored form of a file that was read; for the reader
// threads, so that the one that writes the database only stores.
void prepareSearchData(LibraryFile &file);

// The same parameter bytes give the same hash in every process and on every machine.
qint64 paramsHash(const std::array<uint8_t, 128> &params);
