#pragma once

#include <QByteArray>
#include <QString>

// Writes a whole file so that it is either complete or reported. A regular file (or a
// new one) is written to a temporary file beside it, synced to the disk and only then
// renamed over the old one, so any failure leaves the old file byte for byte as it was.
// An existing target that is not a regular file (a device, a FIFO) is written directly:
// replacing it would put a plain file where the device was. So is a writable file in a
// folder where nothing can be made (no temporary file fits there).
namespace WholeFileWriter {

enum class Result {
    Written,
    CantOpen,       // nothing was written; the target is untouched
    CantWrite,      // a write, the sync or the replace failed; a target that was replaced
                    // (not written in place) is untouched
    ReadOnlyFolder, // nothing was written: no file can be made in the target's folder
};

Result write(const QString &fileName, const QByteArray &data);

// What a failed write means for the user, naming the file: the one text every writer
// shows for it (translatable, "WholeFileWriter" context).
QString errorText(Result result, const QString &fileName);

} // namespace WholeFileWriter
