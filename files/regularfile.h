#pragma once

#include <QByteArray>
#include <QString>

// Reading a file that should hold data. Opening never waits (a FIFO would block the open
// until a writer came, and nothing can interrupt that) and anything but a regular file is
// refused before the first read, so a pipe, socket or device named like a preset file
// never stalls a reader. Every reader of the program's files goes through here.
namespace RegularFile {

enum class Result { Ok, CantOpen, NotRegular, TooLarge };

// The whole file, at most maxSize bytes; a file that grows while it is read is read to
// its end, never past the limit.
Result read(const QString &path, qint64 maxSize, QByteArray &data);
// At most the first `count` bytes (fewer when the file is shorter).
Result readStart(const QString &path, qint64 count, QByteArray &data);

} // namespace RegularFile
