#pragma once

#include <QString>

// A lock that the operating system keeps for the running program: an advisory lock on an
// open lock file, released when it is unlocked or when the program ends, however it ends
// (a crash, a kill, a power cut). What a lock file says (a process number, a host name)
// means nothing: a file that no open file holds is free, wherever it came from. Nothing here
// waits: files are opened non-blocking, and a path holding anything but a regular file (a
// FIFO, a device, a symbolic link) is no lock.
//
// Two HeldLock objects on one path exclude each other even within one program.
class HeldLock
{
public:
    enum class State {
        Held,          // this object holds it now
        HeldElsewhere, // a running program (or another object here) holds it
        Unavailable,   // no lock can be made at the path (a read-only folder, a folder in its place)
    };

    explicit HeldLock(const QString &path);
    // Releases the lock; the file stays.
    ~HeldLock();
    HeldLock(const HeldLock &) = delete;
    HeldLock &operator=(const HeldLock &) = delete;

    // Takes the lock without waiting, making the file when it is missing. Something other
    // than a regular file (or a folder) at the path is removed and replaced by a lock file.
    State tryLock();
    bool isLocked() const { return fd >= 0; }
    // Releases the lock; with `removeFile` the file goes first, while still held, so nobody
    // takes a file on its way out.
    void unlock(bool removeFile = false);
    const QString &path() const { return lockPath; }

    // True while an open file (of any program, this one included) holds the lock at `path`.
    static bool isHeld(const QString &path);
    // Removes whatever is at `path` unless a running program holds it there; true when
    // nothing is left.
    static bool removeIfStale(const QString &path);

private:
    QString lockPath;
    int fd = -1;
};
