#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

struct LibraryFile;

// The library's one SQLite database: the folders it covers, every file found in them
// (with size and time, so unchanged files are not read again) and every preset of each
// readable file with its position, name, author, category and parameter hash.
// A connection belongs to the thread that opened it; each thread opens its own.
class LibraryDatabase
{
public:
    // library.db in the program's data folder, shared by the window and orvex-pre.
    static QString defaultPath();
    // The folders a new library covers: Documents and the program's data folder
    // (where export backups go).
    static QStringList defaultFolders();

    explicit LibraryDatabase(const QString &path);
    ~LibraryDatabase();
    LibraryDatabase(const LibraryDatabase &) = delete;
    LibraryDatabase &operator=(const LibraryDatabase &) = delete;

    // For the one that updates the library (the window's updater, orvex-pre's commands):
    // opens the database, creating it with `initialFolders` when there is none and no
    // copy of the folder list survives beside it ("<path>.folders", kept after every
    // change of the folders: the list is the user's choice, which no file tells). A file
    // that is damaged or not a library is moved aside to "<path>.damaged" and a new
    // database takes its place (keeping the folders that could still be read); rebuilt()
    // says so, and the next update reads every file again. A library of an older schema
    // is brought up to this one (rebuilt once where there is no way up); one of a newer
    // schema, made by a newer program, is left alone and not opened. `thorough` also
    // checks every page and every packed row, which takes a moment on a large library.
    bool open(const QStringList &initialFolders, bool thorough = false);
    // For searches and lists: opens an existing library without ever creating, changing
    // or repairing it. A damaged file fails with damaged() set; the updater repairs it.
    bool openToRead();
    bool rebuilt() const { return wasRebuilt; }
    // The database was rebuilt because it came from an older program, not from damage.
    bool upgraded() const { return wasUpgraded; }
    // There was no database: this open made an empty one.
    bool created() const { return wasCreated; }
    const QString &path() const { return fileName; }
    QString errorString() const { return error; }
    // True when the last failure came from a damaged database file.
    bool damaged() const { return sawDamage; }

    // SQLite's check of every page, a table at a time so that `stop` can end it between
    // tables, then the check of every packed row; for the background after start-up, since it takes a while
    // on a large library. Damaged: reopen with `thorough` to rebuild.
    enum class Check { Sound, Damaged, Stopped, Failed };
    Check checkPages(const std::atomic<bool> *stop = nullptr);

    // `ok` (when given) is false when the list could not be read.
    QStringList folders(bool *ok = nullptr);
    // Covered folders that no update has gone through to its end since they were added
    // (or since the database was made anew): until then the index is not complete.
    QStringList unfinishedFolders();
    // Marks the folders as gone through by an update that ran to its end.
    bool markFinished(const QStringList &folders);
    bool addFolder(const QString &folder);
    bool removeFolder(const QString &folder);

    // What tells a file's change without reading it. Size and times alone miss a file
    // replaced by one of the same size and modification time (cp -p, rsync -t); the change
    // time and inode do not. `companion` stands for a backup's ".info" file (0: none).
    struct Stamp
    {
        qint64 id = 0;
        qint64 size = -1;
        qint64 mtime = -1;
        qint64 ctime = -1;
        qint64 inode = -1;
        qint64 companion = 0;
        bool failed = false; // the last reading of the file failed
        bool sealed = false; // for storeFile: the file's rows went through sealRows
    };
    // False when the database could not be read.
    bool fileStamps(QHash<QString, Stamp> &out);

    // Writes happen in short batches: begin, store or remove files, commit. begin() waits
    // (20 s at most) while another connection writes.
    bool begin();
    bool commit();
    void rollback();
    // Replaces what the index holds for file.path; `stamp` adds the change time, inode and
    // companion to file.size and file.mtime. Rows not yet sealed (stamp.sealed) are sealed here.
    bool storeFile(const LibraryFile &file, const Stamp &stamp);
    bool storeFile(const LibraryFile &file);
    // Appends to each packed row of a read file the check that every read verifies; for the
    // reader threads, so that the one writer only stores.
    static void sealRows(LibraryFile &file);
    bool removeFile(qint64 id);

    struct Hit
    {
        QString path;
        int bank = 0;
        int preset = 0;
        QString name;
        QString author;
        int category = 0;
        qint64 hash = 0;
    };
    struct Hits
    {
        std::vector<Hit> hits; // at most the limit asked for, ordered by file and position
        qint64 total = 0;      // every match
        bool ok = true;
        // Some folder has not been gone through to its end: the hits may be too few.
        bool incomplete = false;
    };
    // Presets whose name, author or category contains every word of `query`, ignoring
    // case and accents. limit <= 0: all of them. When `stop` turns true the search gives up
    // early and its hits are incomplete: for a search that a newer one has superseded.
    Hits search(const QString &query, int limit, const std::atomic<bool> *stop = nullptr);
    // Every file and position holding these parameter bytes.
    // Both read one state of the library (a read transaction), and each hit's record is
    // checked to still match what found it; a stored row that fails its check is damage.
    Hits whereElse(qint64 hash, int limit);
    // Sets the file aside as damaged and makes a new database in its place (folders kept);
    // for damage that a search met. The next update reads every file again.
    bool rebuildNow(const QStringList &initialFolders);

    struct Problem
    {
        QString path;
        QString error;
    };
    std::vector<Problem> unreadableFiles();

    struct Counts
    {
        qint64 files = 0;
        qint64 presets = 0;
        qint64 unreadable = 0;
    };
    Counts counts();

private:
    struct Statements;
    struct FilterGroups;

    Statements &writeStatements();
    bool openFilterGroup();
    void leaveFilterGroup(qint64 file, const QVariant &group);
    bool writeFilterGroups();
    bool openConnection();
    void closeConnection();
    bool createSchema(const QStringList &folders);
    enum class State { Usable, Empty, Damaged, Older, Newer, Failed };
    State checkExisting(bool thorough);
    bool openExisting(int busyTimeoutMs);
    bool rebuild(const QStringList &initialFolders);
    bool fail(const class QSqlError &e);
    bool failDamaged();
    bool openOnce(const QStringList &initialFolders, bool thorough);
    Check checkRows(const std::atomic<bool> *stop);
    bool readIncomplete(Hits &out);
    class ReadTransaction;
    bool exec(const QString &sql);
    QString foldersCopyPath() const;
    void saveFolders();
    bool changeFolders(const QString &sql, const QString &folder);
    // One statement for each folder, in one transaction.
    bool runOnFolders(const QString &sql, const QStringList &folders);
    // The paths a SELECT of folders gives; `ok` (if given) says whether it could be read.
    QStringList folderPaths(const QString &select, bool *ok);
    std::optional<QStringList> savedFolders() const;
    // The folders a database made anew covers.
    QStringList foldersToKeep(const QStringList &fromDatabase, const QStringList &initialFolders) const;

    QString fileName;
    QString connectionName;
    QSqlDatabase db;
    std::unique_ptr<Statements> statements;
    std::unique_ptr<FilterGroups> groups;
    QString error;
    bool wasRebuilt = false;
    bool wasUpgraded = false;
    bool wasCreated = false;
    bool sawDamage = false;
    int lastCode = 0; // SQLite's primary result code of the last failure
};
