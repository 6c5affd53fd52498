#pragma once

#include "model/presetrecord.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// The library's text search: each file keeps one line of folded text per preset
// (name, author and category, separated by unit separators) and a bit filter of the
// three-byte sequences in those lines, so a search reads only the files that can match.
namespace SearchText {

// A filter is sized to its file: a power of two of about 16 bits for each different
// three-byte sequence, between these bounds, so a file of a few presets keeps a filter of
// a few hundred bytes and a full one about as few false matches as a large filter.
constexpr int MinFilterBytes = 64;
constexpr int MaxFilterBytes = 8192;

// Appends the preset's line, ending in a line feed.
void appendLine(QByteArray &text, const PresetRecord &record);

// The same for a preset whose name and author are printable ASCII (already cut to their
// limit): the same line without a QString.
void appendPlainLine(QByteArray &text, QByteArrayView name, QByteArrayView author, int category);

// The filter of a whole file's lines.
QByteArray filterOf(const QByteArray &text);

// The search terms: the folded words of `query` as UTF-8; a preset matches when each
// term occurs in its line.
QList<QByteArray> terms(const QString &query);

// False only when some term cannot occur anywhere in the file the filter was made of.
bool mayContain(const QByteArray &filter, const QList<QByteArray> &terms);

// The indexes of the lines of `text` that contain every term, in order.
std::vector<int> matchingLines(const QByteArray &text, const QList<QByteArray> &terms);

// Whether a preset's fields, folded as its line was, contain every term: a check of a hit
// against the record it names.
bool recordMatches(const QString &name, const QString &author, int category, const QList<QByteArray> &terms);

} // namespace SearchText
