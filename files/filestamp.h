#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// What the program last saw of a file it read or wrote: size, modification and change
// times, device and inode, and a hash of the content. Compared with the file on the disk
// before it is replaced, it tells whether another program (another window, a sync client,
// an editor) changed the file in between. Times or an inode that differ with the same
// content (a touch, a copy of the same bytes) are no change: nothing would be lost.
class FileStamp
{
public:
    // Nothing seen: never counts as changed.
    FileStamp() = default;

    // The file as it is now, read whole (regular files only, never waiting on a FIFO).
    // Taken before the program reads the file itself, so a change in between shows later.
    static FileStamp of(const QString &path);

    bool isValid() const { return valid; }

    enum class Change {
        None,    // the file holds what was seen (or nothing was seen)
        Changed, // someone else's content is there now
        Gone,    // the file was removed or replaced by something that is not a file
    };
    Change compare(const QString &path) const;

    // One line of text, for a record that must outlive the program (the recovery copy);
    // fromText of anything else is a stamp that saw nothing.
    QString toText() const;
    static FileStamp fromText(const QString &text);
    bool operator==(const FileStamp &other) const;
    bool operator!=(const FileStamp &other) const { return !(*this == other); }

    // When the file on the disk was last modified; invalid when it can't be told.
    static QDateTime modifiedAt(const QString &path);

private:
    bool valid = false;
    qint64 size = -1;
    qint64 mtimeNs = 0;
    qint64 ctimeNs = 0;
    quint64 device = 0;
    quint64 inode = 0;
    QByteArray hash;
};
