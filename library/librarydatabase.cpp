#include "library/librarydatabase.h"

#include "base/appidentity.h"
#include "files/regularfile.h"
#include "files/wholefilewriter.h"
#include "library/libraryfile.h"
#include "library/libraryrecords.h"
#include "library/searchtext.h"
#include "model/presetimage.h"

#include <QAtomicInteger>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QVariant>
#include <QtEndian>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

// 2: presets stored a bank to a row with their hashes in groups and search filters sized to
// their files; a file of fewer than 16 banks (an export backup) is listed from bank 2 on.
// 3: every packed row sealed with a check, files stamped with change time, inode and
// ".info" companion, folders marked once an update has gone through them, full case
// folding in the search text. A library of an older version is read anew.
constexpr int SchemaVersion = 3;
// Rows are a bank's records or a file's text, a few to a hundred kilobytes: large pages
// write them with a sixteenth of the system calls of SQLite's default, into the log and again
// into the database.
constexpr int PageBytes = 65536;
// How long a writer waits for another one. Transactions are kept short, so this is only
// reached when something holds the database for good.
constexpr int WriteWaitMs = 20000;
// Searches and lists read alongside a writer (WAL); they wait only in rare moments.
constexpr int ReadWaitMs = 2000;

const char *const Schema[] = {
    "CREATE TABLE folders(path TEXT PRIMARY KEY, finished INTEGER NOT NULL DEFAULT 0)",
    "CREATE TABLE files(id INTEGER PRIMARY KEY, path TEXT NOT NULL UNIQUE, size INTEGER NOT NULL,"
    " mtime INTEGER NOT NULL, ctime INTEGER NOT NULL DEFAULT -1, inode INTEGER NOT NULL DEFAULT -1,"
    " companion INTEGER NOT NULL DEFAULT 0, error TEXT, presets INTEGER NOT NULL DEFAULT 0,"
    " filter_group INTEGER)",
    // A file's presets, a row per bank, and its parameter hashes, a row per hash group (see
    // LibraryRecords): a new file's rows go in after those stored before it, so storing
    // touches a few pages, never a page per preset as an index on the hash would.
    "CREATE TABLE presets(file_id INTEGER NOT NULL, bank INTEGER NOT NULL, records BLOB NOT NULL,"
    " PRIMARY KEY(file_id, bank)) WITHOUT ROWID",
    "CREATE TABLE sounds(grp INTEGER NOT NULL, file_id INTEGER NOT NULL, entries BLOB NOT NULL,"
    " PRIMARY KEY(grp, file_id)) WITHOUT ROWID",
    // Kept apart from files so that a search reads the small filters of all files and
    // the folded text of only those that may match. The filters of many files share a row
    // (see FilterGroups): a search over thousands of small files reads a few hundred rows.
    "CREATE TABLE filter_groups(id INTEGER PRIMARY KEY, filters BLOB NOT NULL)",
    "CREATE TABLE file_texts(file_id INTEGER PRIMARY KEY, positions BLOB NOT NULL, text BLOB NOT NULL)",
};

const char *const Tables[] = {"folders", "files", "presets", "sounds", "filter_groups", "file_texts"};

int sqliteCode(const QSqlError &e)
{
    return e.nativeErrorCode().toInt() & 0xFF;
}

bool isDamageCode(const QSqlError &e)
{
    const int code = sqliteCode(e);
    return code == 11 /* SQLITE_CORRUPT */ || code == 26 /* SQLITE_NOTADB */;
}

// Another connection holds the database for a moment (making it, switching it to WAL,
// recovering its journal): worth asking again.
bool isBusyCode(int code)
{
    return code == 5 /* SQLITE_BUSY */ || code == 6 /* SQLITE_LOCKED */;
}

QString cleanFolder(const QString &folder)
{
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

// A group's filters, one after the other: file id (8 bytes), filter length (2), filter.
constexpr qsizetype EntryHead = 8 + 2;
// A group takes files until its filters reach this size.
constexpr qsizetype GroupBytes = 64 * 1024;

void appendFilterEntry(QByteArray &group, qint64 id, const QByteArray &filter)
{
    const qint64 le = qToLittleEndian(id);
    const quint16 length = qToLittleEndian(quint16(filter.size()));
    group.append(reinterpret_cast<const char *>(&le), 8);
    group.append(reinterpret_cast<const char *>(&length), 2);
    group += filter;
}

// Calls f(id, filter) for each entry; a cut short entry ends the walk.
template <typename F> void forEachFilterEntry(const QByteArray &group, F f)
{
    for (qsizetype at = 0; at + EntryHead <= group.size();) {
        const qint64 id = qFromLittleEndian<qint64>(group.constData() + at);
        const qsizetype length = qFromLittleEndian<quint16>(group.constData() + at + 8);
        if (at + EntryHead + length > group.size())
            return;
        f(id, QByteArray::fromRawData(group.constData() + at + EntryHead, length));
        at += EntryHead + length;
    }
}

QByteArray withoutEntries(const QByteArray &group, const QSet<qint64> &ids)
{
    QByteArray out;
    out.reserve(group.size());
    forEachFilterEntry(group, [&](qint64 id, const QByteArray &filter) {
        if (!ids.contains(id))
            appendFilterEntry(out, id, filter);
    });
    return out;
}

// The stored records of hits' presets, reading each bank once: hits come in file and
// position order.
struct BankRecords
{
    explicit BankRecords(const QSqlDatabase &db) : query(db)
    {
        query.setForwardOnly(true);
        query.prepare(QStringLiteral("SELECT records FROM presets WHERE file_id = ? AND bank = ?"));
    }
    // Fills name, author, category and hash of `hit`; `present` is false when the file no
    // longer holds that preset. False when the database failed (`damaged`: a row failed
    // its check).
    bool fill(qint64 id, LibraryDatabase::Hit &hit, bool &present)
    {
        if (id != file || hit.bank != bank) {
            file = -1;
            records.clear();
            query.addBindValue(id);
            query.addBindValue(hit.bank);
            if (!query.exec())
                return false;
            if (query.next()) {
                stored = query.value(0).toByteArray();
                if (!LibraryRecords::unseal(stored, records)) {
                    damaged = true;
                    return false;
                }
            }
            query.finish();
            file = id;
            bank = hit.bank;
        }
        LibraryRecords::Record r;
        present = LibraryRecords::findRecord(records, hit.preset, r);
        if (!present)
            return true;
        hit.name = r.name;
        hit.author = r.author;
        hit.category = r.category;
        hit.hash = r.hash;
        return true;
    }
    QSqlQuery query;
    qint64 file = -1;
    int bank = -1;
    QByteArray stored;
    QByteArray records; // shows `stored` without its check
    bool damaged = false;
};

} // namespace

// One state of the library for everything a search or lookup reads: in WAL mode the
// transaction's first read fixes the snapshot, and writers go on beside it.
class LibraryDatabase::ReadTransaction
{
public:
    explicit ReadTransaction(QSqlDatabase &db) : db(db)
    {
        QSqlQuery q(db);
        open = q.exec(QStringLiteral("BEGIN"));
        if (!open)
            error = q.lastError();
    }
    ~ReadTransaction()
    {
        if (open) {
            QSqlQuery q(db);
            q.exec(QStringLiteral("ROLLBACK")); // nothing was written
        }
    }
    ReadTransaction(const ReadTransaction &) = delete;
    ReadTransaction &operator=(const ReadTransaction &) = delete;
    bool open = false;
    QSqlError error;

private:
    QSqlDatabase &db;
};

// The filters of a transaction's files, gathered in memory and written as one row when it
// commits: the last group while it has room, then new ones. A file stored again or removed
// leaves its old group in the same transaction.
struct LibraryDatabase::FilterGroups
{
    qint64 open = 0; // the group new filters go to; 0 until the transaction stores one
    QByteArray filters;
    bool changed = false;
    QHash<qint64, QSet<qint64>> leaving; // older group: files whose entries it drops

    void clear()
    {
        open = 0;
        filters.clear();
        changed = false;
        leaving.clear();
    }
};

struct LibraryDatabase::Statements
{
    explicit Statements(const QSqlDatabase &db)
        : findFile(db), insertFile(db), updateFile(db), deletePresets(db), deleteSounds(db), insertBank(db),
          insertSound(db), replaceText(db)
    {
    }
    QSqlQuery findFile, insertFile, updateFile, deletePresets, deleteSounds, insertBank, insertSound,
        replaceText;
    bool prepared = false;
};

QString LibraryDatabase::defaultPath()
{
    return AppIdentity::dataFolder() + QStringLiteral("/library.db");
}

QStringList LibraryDatabase::defaultFolders()
{
    QStringList out;
    for (const QString &dir :
         {QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), AppIdentity::dataFolder()}) {
        if (!dir.isEmpty() && !out.contains(dir))
            out << dir;
    }
    return out;
}

LibraryDatabase::LibraryDatabase(const QString &path)
    : fileName(path), groups(std::make_unique<FilterGroups>())
{
    static QAtomicInteger<quint64> counter;
    connectionName = QStringLiteral("orvex-library-%1").arg(counter.fetchAndAddRelaxed(1));
}

LibraryDatabase::~LibraryDatabase()
{
    closeConnection();
}

bool LibraryDatabase::fail(const QSqlError &e)
{
    // SQLite's own words; the driver's ("Unable to fetch row") add nothing for a person.
    error = e.databaseText().isEmpty() ? e.text() : e.databaseText();
    lastCode = sqliteCode(e);
    if (isDamageCode(e))
        sawDamage = true;
    return false;
}

bool LibraryDatabase::failDamaged()
{
    error = QCoreApplication::translate("LibraryDatabase",
                                        "A stored row of the library database fails its check.");
    lastCode = 11;
    sawDamage = true;
    return false;
}

bool LibraryDatabase::exec(const QString &sql)
{
    QSqlQuery q(db);
    return q.exec(sql) || fail(q.lastError());
}

bool LibraryDatabase::openConnection()
{
    db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(fileName);
    // Another process (orvex-pre, a second window) may be writing: wait for it.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(WriteWaitMs));
    if (!db.open())
        return fail(db.lastError());
    return true;
}

void LibraryDatabase::closeConnection()
{
    statements.reset();
    if (db.isValid())
        db.close();
    db = QSqlDatabase();
    if (QSqlDatabase::contains(connectionName))
        QSqlDatabase::removeDatabase(connectionName);
}

LibraryDatabase::State LibraryDatabase::checkExisting(bool thorough)
{
    // Only a file that is evidently damaged or not a library counts as damaged; any other
    // failure (locked, unreadable) leaves it alone.
    QSqlQuery q(db);
    auto failed = [&] {
        fail(q.lastError());
        return sawDamage ? State::Damaged : State::Failed;
    };
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next())
        return failed();
    const int version = q.value(0).toInt();
    if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !q.next())
        return failed();
    const int objects = q.value(0).toInt();
    if (version == 0 && objects == 0)
        return State::Empty;
    if (version == 0)
        return State::Damaged; // tables without a version: not a library
    // Another program's version of the library: neither damaged nor this one's to read.
    if (version > SchemaVersion) {
        error = QCoreApplication::translate(
            "LibraryDatabase", "The library database was made by a newer version of the program; "
                               "this version leaves it unchanged.");
        return State::Newer;
    }
    if (version < SchemaVersion) {
        error = QCoreApplication::translate(
            "LibraryDatabase", "The library database was made by an older version of the program.");
        return State::Older;
    }
    for (const char *table : Tables)
        if (!q.exec(QStringLiteral("SELECT 1 FROM %1 LIMIT 1").arg(QLatin1String(table)))) {
            const bool missing = q.lastError().text().contains(QLatin1String("no such table"));
            const State state = failed();
            return missing ? State::Damaged : state;
        }
    if (thorough) {
        if (!q.exec(QStringLiteral("PRAGMA quick_check")) || !q.next())
            return failed();
        if (q.value(0).toString() != QLatin1String("ok"))
            return State::Damaged;
        q.finish();
        // What the pages hold, too: damage a search met may be in a row's bytes alone.
        switch (checkRows(nullptr)) {
        case Check::Damaged:
            return State::Damaged;
        case Check::Failed:
            return State::Failed;
        default:
            break;
        }
    }
    return State::Usable;
}

LibraryDatabase::Check LibraryDatabase::checkPages(const std::atomic<bool> *stop)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    for (const char *table : Tables) {
        if (stop && stop->load())
            return Check::Stopped;
        // Each table with its indexes; the first row is "ok" or the first problem.
        if (!q.exec(QStringLiteral("PRAGMA quick_check(%1)").arg(QLatin1String(table))) || !q.next()) {
            fail(q.lastError());
            return sawDamage ? Check::Damaged : Check::Failed;
        }
        if (q.value(0).toString() != QLatin1String("ok")) {
            error = q.value(0).toString();
            return Check::Damaged;
        }
        q.finish();
    }
    return checkRows(stop);
}

LibraryDatabase::Check LibraryDatabase::checkRows(const std::atomic<bool> *stop)
{
    // SQLite checks its pages' structure, not what a row holds: a page of row data zeroed or
    // overwritten shows only in the rows' own checks.
    ReadTransaction state(db);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    for (const char *sql : {"SELECT filters FROM filter_groups", "SELECT records FROM presets",
                            "SELECT entries FROM sounds", "SELECT positions, text FROM file_texts"}) {
        if (!q.exec(QLatin1String(sql))) {
            fail(q.lastError());
            return sawDamage ? Check::Damaged : Check::Failed;
        }
        const int columns = q.record().count();
        for (qint64 row = 0; q.next(); ++row) {
            if ((row & 1023) == 0 && stop && stop->load())
                return Check::Stopped;
            for (int c = 0; c < columns; ++c) {
                const QByteArray row = q.value(c).toByteArray();
                QByteArray payload;
                if (!LibraryRecords::unseal(row, payload)) {
                    failDamaged();
                    return Check::Damaged;
                }
            }
        }
        if (q.lastError().isValid()) {
            fail(q.lastError());
            return sawDamage ? Check::Damaged : Check::Failed;
        }
        q.finish();
    }
    return Check::Sound;
}

bool LibraryDatabase::createSchema(const QStringList &folders)
{
    if (!begin())
        return false;
    // Another process may have created it while this one waited.
    QSqlQuery q(db);
    const bool exists =
        q.exec(QStringLiteral("PRAGMA user_version")) && q.next() && q.value(0).toInt() == SchemaVersion;
    q.finish();
    if (exists)
        return exec(QStringLiteral("COMMIT"));
    for (const char *sql : Schema)
        if (!exec(QLatin1String(sql))) {
            exec(QStringLiteral("ROLLBACK"));
            return false;
        }
    for (const QString &f : folders) {
        q.prepare(QStringLiteral("INSERT OR IGNORE INTO folders(path) VALUES(?)"));
        q.addBindValue(cleanFolder(f));
        if (!q.exec()) {
            fail(q.lastError());
            exec(QStringLiteral("ROLLBACK"));
            return false;
        }
    }
    if (!exec(QStringLiteral("PRAGMA user_version = %1").arg(SchemaVersion)) ||
        !exec(QStringLiteral("COMMIT")))
        return false;
    saveFolders();
    return true;
}

bool LibraryDatabase::openExisting(int busyTimeoutMs)
{
    closeConnection();
    error.clear();
    sawDamage = false;
    wasRebuilt = false;
    wasUpgraded = false;
    wasCreated = false;
    if (!openConnection())
        return false;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(busyTimeoutMs)))
        return fail(q.lastError());
    return true;
}

bool LibraryDatabase::openToRead()
{
    // Opening a missing file would create an empty one: making it is the updater's part.
    if (!QFileInfo(fileName).isFile()) {
        error = QCoreApplication::translate("LibraryDatabase", "The library database does not exist yet.");
        return false;
    }
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        lastCode = 0;
        if (openExisting(ReadWaitMs) && checkExisting(false) == State::Usable)
            break;
        closeConnection();
        if (!isBusyCode(lastCode) || waited.elapsed() >= ReadWaitMs) {
            if (error.isEmpty())
                error = QCoreApplication::translate("LibraryDatabase", "The library database is not ready.");
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    exec(QStringLiteral("PRAGMA cache_size=-32768"));
    statements = std::make_unique<Statements>(db);
    return true;
}

bool LibraryDatabase::rebuild(const QStringList &initialFolders)
{
    // Keep what can still be read of the folder list, set the old file aside for
    // inspection, and start again: every file gets read anew.
    QStringList keep;
    if (db.isOpen()) {
        QSqlQuery q(db);
        if (q.exec(QStringLiteral("SELECT path FROM folders ORDER BY path")))
            while (q.next())
                keep << q.value(0).toString();
    }
    closeConnection();
    const QString aside = fileName + (wasUpgraded ? QStringLiteral(".old") : QStringLiteral(".damaged"));
    QFile::remove(aside);
    if (!QFile::rename(fileName, aside))
        QFile::remove(fileName);
    QFile::remove(fileName + QStringLiteral("-wal"));
    QFile::remove(fileName + QStringLiteral("-shm"));
    wasRebuilt = true;
    if (!openConnection())
        return false;
    {
        QSqlQuery q(db);
        q.exec(QStringLiteral("PRAGMA page_size=%1").arg(PageBytes));
        q.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    }
    return createSchema(foldersToKeep(keep, initialFolders));
}

bool LibraryDatabase::open(const QStringList &initialFolders, bool thorough)
{
    // Programs started together on a new library meet each other while one makes it or
    // switches it to WAL, where SQLite answers "locked" at once instead of waiting.
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        lastCode = 0;
        if (openOnce(initialFolders, thorough))
            return true;
        if (!isBusyCode(lastCode) || waited.elapsed() >= WriteWaitMs)
            return false;
        closeConnection();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

bool LibraryDatabase::openOnce(const QStringList &initialFolders, bool thorough)
{
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    State state = State::Failed;
    if (openExisting(WriteWaitMs)) {
        // WAL lets searches read while an update writes.
        QSqlQuery q(db);
        // Only a new, empty file takes the page size; an existing one keeps its own.
        q.exec(QStringLiteral("PRAGMA page_size=%1").arg(PageBytes));
        if (q.exec(QStringLiteral("PRAGMA journal_mode=WAL")))
            state = checkExisting(thorough);
        else
            state = fail(q.lastError()) || sawDamage ? State::Damaged : State::Failed;
    }
    switch (state) {
    case State::Failed:
    case State::Newer:
        closeConnection();
        return false;
    case State::Older:
        // No step leads up from an older schema yet: read the files anew, once. A newer
        // program leaves this one's library alone, so the two never rebuild in turn.
        wasUpgraded = true;
        [[fallthrough]];
    case State::Damaged:
        if (!rebuild(initialFolders))
            return false;
        break;
    case State::Empty:
        // A library that was lost (deleted, a new disk) still covers the user's folders.
        if (!createSchema(foldersToKeep({}, initialFolders)))
            return false;
        wasCreated = true;
        break;
    case State::Usable:
        break;
    }
    // The database is an index of the files: an update cut short by a crash is detected
    // and rebuilt, so it need not wait for the disk after every transaction.
    exec(QStringLiteral("PRAGMA synchronous=OFF"));
    exec(QStringLiteral("PRAGMA cache_size=-32768"));
    statements = std::make_unique<Statements>(db);
    error.clear();
    return true;
}

QStringList LibraryDatabase::folders(bool *ok)
{
    return folderPaths(QStringLiteral("SELECT path FROM folders ORDER BY path"), ok);
}

QStringList LibraryDatabase::folderPaths(const QString &select, bool *ok)
{
    QStringList out;
    QSqlQuery q(db);
    const bool read = q.exec(select);
    if (ok)
        *ok = read;
    if (!read) {
        fail(q.lastError());
        return out;
    }
    while (q.next())
        out << q.value(0).toString();
    return out;
}

QStringList LibraryDatabase::unfinishedFolders()
{
    return folderPaths(QStringLiteral("SELECT path FROM folders WHERE finished = 0 ORDER BY path"), nullptr);
}

bool LibraryDatabase::markFinished(const QStringList &done)
{
    // Mostly there is nothing to mark: no write then.
    const QStringList unfinished = unfinishedFolders();
    if (std::none_of(done.cbegin(), done.cend(),
                     [&](const QString &f) { return unfinished.contains(cleanFolder(f)); }))
        return true;
    return runOnFolders(QStringLiteral("UPDATE folders SET finished = 1 WHERE path = ?"), done);
}

bool LibraryDatabase::rebuildNow(const QStringList &initialFolders)
{
    wasUpgraded = false;
    if (!rebuild(initialFolders))
        return false;
    exec(QStringLiteral("PRAGMA synchronous=OFF"));
    exec(QStringLiteral("PRAGMA cache_size=-32768"));
    statements = std::make_unique<Statements>(db);
    error.clear();
    sawDamage = false;
    return true;
}

bool LibraryDatabase::addFolder(const QString &folder)
{
    return changeFolders(QStringLiteral("INSERT OR IGNORE INTO folders(path) VALUES(?)"), folder);
}

bool LibraryDatabase::removeFolder(const QString &folder)
{
    return changeFolders(QStringLiteral("DELETE FROM folders WHERE path = ?"), folder);
}

bool LibraryDatabase::changeFolders(const QString &sql, const QString &folder)
{
    if (!runOnFolders(sql, {folder}))
        return false;
    saveFolders();
    return true;
}

bool LibraryDatabase::runOnFolders(const QString &sql, const QStringList &folders)
{
    // Through begin(), which takes the next turn between an update's transactions.
    if (!begin())
        return false;
    QSqlQuery q(db);
    q.prepare(sql);
    for (const QString &f : folders) {
        q.addBindValue(cleanFolder(f));
        if (!q.exec()) {
            fail(q.lastError());
            rollback();
            return false;
        }
    }
    if (!commit()) {
        rollback();
        return false;
    }
    return true;
}

// The folder list is the user's choice, not something the files can tell: a copy beside
// the database survives a database that has to be rebuilt.
QString LibraryDatabase::foldersCopyPath() const
{
    return fileName + QStringLiteral(".folders");
}

void LibraryDatabase::saveFolders()
{
    // Only a copy: the database holds the list, so a failure here loses nothing yet.
    WholeFileWriter::write(foldersCopyPath(), folders().join(QLatin1Char('\n')).toUtf8() + '\n');
}

std::optional<QStringList> LibraryDatabase::savedFolders() const
{
    QByteArray text;
    if (RegularFile::read(foldersCopyPath(), 16 * 1024 * 1024, text) != RegularFile::Result::Ok)
        return std::nullopt;
    return QString::fromUtf8(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList LibraryDatabase::foldersToKeep(const QStringList &fromDatabase,
                                           const QStringList &initialFolders) const
{
    // What the old database still held, else the copy (an empty list too: the user
    // removed every folder), and only without either the folders of a new library.
    if (!fromDatabase.isEmpty())
        return fromDatabase;
    if (const std::optional<QStringList> saved = savedFolders())
        return *saved;
    return initialFolders;
}

bool LibraryDatabase::fileStamps(QHash<QString, Stamp> &out)
{
    out.clear();
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral(
            "SELECT path, id, size, mtime, ctime, inode, companion, error IS NOT NULL FROM files")))
        return fail(q.lastError());
    while (q.next())
        out.insert(q.value(0).toString(),
                   Stamp{q.value(1).toLongLong(), q.value(2).toLongLong(), q.value(3).toLongLong(),
                         q.value(4).toLongLong(), q.value(5).toLongLong(), q.value(6).toLongLong(),
                         q.value(7).toBool()});
    return true;
}

bool LibraryDatabase::begin()
{
    groups->clear();
    // SQLite's own wait for a busy database asks again ever more rarely (every 100 ms
    // after the first half second) and would mostly miss the short moments between
    // another writer's transactions; asking every millisecond takes the next one.
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA busy_timeout = 0")))
        return fail(q.lastError());
    QElapsedTimer waited;
    waited.start();
    bool ok = false;
    for (;;) {
        if ((ok = q.exec(QStringLiteral("BEGIN IMMEDIATE"))))
            break;
        if (sqliteCode(q.lastError()) != 5 /* SQLITE_BUSY */ || waited.elapsed() >= WriteWaitMs) {
            fail(q.lastError());
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    QSqlQuery restore(db);
    restore.exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(WriteWaitMs));
    return ok;
}

bool LibraryDatabase::commit()
{
    const bool ok = writeFilterGroups() && exec(QStringLiteral("COMMIT"));
    groups->clear();
    return ok;
}

void LibraryDatabase::rollback()
{
    groups->clear();
    QSqlQuery q(db);
    q.exec(QStringLiteral("ROLLBACK"));
}

bool LibraryDatabase::openFilterGroup()
{
    FilterGroups &g = *groups;
    if (g.open != 0 && g.filters.size() < GroupBytes)
        return true;
    if (g.open != 0) {
        // Full: written now, and a new group follows it.
        if (!writeFilterGroups())
            return false;
        g.clear();
    }
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT id, filters FROM filter_groups ORDER BY id DESC LIMIT 1")))
        return fail(q.lastError());
    if (q.next()) {
        g.open = q.value(0).toLongLong();
        QByteArray last = q.value(1).toByteArray();
        if (!LibraryRecords::unseal(last))
            return failDamaged();
        if (last.size() < GroupBytes) {
            g.filters = last;
            // Files this transaction already took out of the group leave it here, or the
            // group written back at the commit would still list them.
            const auto leaving = g.leaving.find(g.open);
            if (leaving != g.leaving.end()) {
                g.filters = withoutEntries(g.filters, *leaving);
                g.leaving.erase(leaving);
                g.changed = true;
            }
        } else {
            ++g.open;
        }
    } else {
        g.open = 1;
    }
    return true;
}

void LibraryDatabase::leaveFilterGroup(qint64 file, const QVariant &group)
{
    if (group.isNull())
        return;
    FilterGroups &g = *groups;
    const qint64 id = group.toLongLong();
    if (id == g.open) {
        g.filters = withoutEntries(g.filters, {file});
        g.changed = true;
    } else {
        g.leaving[id].insert(file);
    }
}

bool LibraryDatabase::writeFilterGroups()
{
    FilterGroups &g = *groups;
    QSqlQuery read(db), write(db);
    auto store = [&](qint64 id, const QByteArray &filters) {
        if (filters.isEmpty()) {
            write.prepare(QStringLiteral("DELETE FROM filter_groups WHERE id = ?"));
            write.addBindValue(id);
        } else {
            QByteArray sealed = filters;
            LibraryRecords::seal(sealed);
            write.prepare(QStringLiteral("INSERT OR REPLACE INTO filter_groups VALUES(?, ?)"));
            write.addBindValue(id);
            write.addBindValue(sealed);
        }
        return write.exec() || fail(write.lastError());
    };
    read.prepare(QStringLiteral("SELECT filters FROM filter_groups WHERE id = ?"));
    for (auto it = g.leaving.constBegin(); it != g.leaving.constEnd(); ++it) {
        read.addBindValue(it.key());
        if (!read.exec())
            return fail(read.lastError());
        if (!read.next())
            continue;
        QByteArray stored = read.value(0).toByteArray();
        read.finish();
        if (!LibraryRecords::unseal(stored))
            return failDamaged();
        const QByteArray kept = withoutEntries(stored, it.value());
        if (!store(it.key(), kept))
            return false;
    }
    g.leaving.clear();
    if (g.changed && g.open != 0 && !store(g.open, g.filters))
        return false;
    g.changed = false;
    return true;
}

LibraryDatabase::Statements &LibraryDatabase::writeStatements()
{
    Statements &s = *statements;
    if (s.prepared)
        return s;
    s.findFile.prepare(QStringLiteral("SELECT id, filter_group FROM files WHERE path = ?"));
    s.insertFile.prepare(
        QStringLiteral("INSERT INTO files(size, mtime, ctime, inode, companion, error, presets, filter_group,"
                       " path) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    s.updateFile.prepare(
        QStringLiteral("UPDATE files SET size = ?, mtime = ?, ctime = ?, inode = ?, companion = ?,"
                       " error = ?, presets = ?, filter_group = ? WHERE id = ?"));
    s.deletePresets.prepare(QStringLiteral("DELETE FROM presets WHERE file_id = ?"));
    // Every group named, so that SQLite looks up each rather than reading the table.
    QStringList groups;
    for (int g = 0; g < LibraryRecords::SoundGroups; ++g)
        groups << QString::number(g);
    s.deleteSounds.prepare(QStringLiteral("DELETE FROM sounds WHERE grp IN (%1) AND file_id = ?")
                               .arg(groups.join(QLatin1Char(','))));
    // One row a statement: SQLite then keeps no statement journal of the pages touched.
    s.insertBank.prepare(QStringLiteral("INSERT INTO presets VALUES(?, ?, ?)"));
    s.insertSound.prepare(QStringLiteral("INSERT INTO sounds VALUES(?, ?, ?)"));
    s.replaceText.prepare(QStringLiteral("INSERT OR REPLACE INTO file_texts VALUES(?, ?, ?)"));
    s.prepared = true;
    return s;
}

void LibraryDatabase::sealRows(LibraryFile &file)
{
    for (auto &rows : {&file.banks, &file.sounds})
        for (auto &row : *rows)
            LibraryRecords::seal(row.second);
    LibraryRecords::seal(file.positions);
    LibraryRecords::seal(file.searchText);
}

bool LibraryDatabase::storeFile(const LibraryFile &file)
{
    return storeFile(file, Stamp());
}

bool LibraryDatabase::storeFile(const LibraryFile &unsealed, const Stamp &stamp)
{
    std::optional<LibraryFile> copy;
    if (!stamp.sealed && unsealed.error.isEmpty()) {
        copy = unsealed;
        sealRows(*copy);
    }
    const LibraryFile &file = copy ? *copy : unsealed;
    Statements &s = writeStatements();
    const QVariant errorValue = file.error.isEmpty() ? QVariant() : QVariant(file.error);
    const qint64 presetCount = file.error.isEmpty() ? file.presetCount : 0;
    if (file.error.isEmpty() && !openFilterGroup())
        return false;
    const QVariant group = file.error.isEmpty() ? QVariant(groups->open) : QVariant();
    qint64 id = 0;
    s.findFile.addBindValue(file.path);
    if (!s.findFile.exec())
        return fail(s.findFile.lastError());
    if (s.findFile.next()) {
        id = s.findFile.value(0).toLongLong();
        const QVariant oldGroup = s.findFile.value(1);
        s.findFile.finish();
        leaveFilterGroup(id, oldGroup);
        for (const QVariant &v :
             {QVariant(file.size), QVariant(file.mtime), QVariant(stamp.ctime), QVariant(stamp.inode),
              QVariant(stamp.companion), errorValue, QVariant(presetCount), group, QVariant(id)})
            s.updateFile.addBindValue(v);
        if (!s.updateFile.exec())
            return fail(s.updateFile.lastError());
        for (QSqlQuery *q : {&s.deletePresets, &s.deleteSounds}) {
            q->addBindValue(id);
            if (!q->exec())
                return fail(q->lastError());
        }
    } else {
        s.findFile.finish();
        for (const QVariant &v :
             {QVariant(file.size), QVariant(file.mtime), QVariant(stamp.ctime), QVariant(stamp.inode),
              QVariant(stamp.companion), errorValue, QVariant(presetCount), group, QVariant(file.path)})
            s.insertFile.addBindValue(v);
        if (!s.insertFile.exec())
            return fail(s.insertFile.lastError());
        id = s.insertFile.lastInsertId().toLongLong();
    }

    const QVariant fileId(id);
    if (!file.error.isEmpty()) {
        // An unreadable file has nothing to search; drop what an older reading left.
        QSqlQuery q(db);
        q.prepare(QStringLiteral("DELETE FROM file_texts WHERE file_id = ?"));
        q.addBindValue(fileId);
        return q.exec() || fail(q.lastError());
    }
    auto insertRows = [&](QSqlQuery &q, const std::vector<std::pair<int, QByteArray>> &rows, bool keyFirst) {
        for (const auto &[key, blob] : rows) {
            q.bindValue(0, keyFirst ? QVariant(key) : fileId);
            q.bindValue(1, keyFirst ? fileId : QVariant(key));
            q.bindValue(2, blob);
            if (!q.exec())
                return fail(q.lastError());
        }
        return true;
    };
    if (!insertRows(s.insertBank, file.banks, false) || !insertRows(s.insertSound, file.sounds, true))
        return false;
    appendFilterEntry(groups->filters, id, file.searchFilter);
    groups->changed = true;
    s.replaceText.addBindValue(fileId);
    s.replaceText.addBindValue(file.positions);
    s.replaceText.addBindValue(file.searchText);
    if (!s.replaceText.exec())
        return fail(s.replaceText.lastError());
    return true;
}

bool LibraryDatabase::removeFile(qint64 id)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT filter_group FROM files WHERE id = ?"));
    q.addBindValue(id);
    if (!q.exec())
        return fail(q.lastError());
    if (q.next())
        leaveFilterGroup(id, q.value(0));
    q.finish();
    for (const char *sql : {"DELETE FROM presets WHERE file_id = ?",
                            "DELETE FROM file_texts WHERE file_id = ?", "DELETE FROM files WHERE id = ?"}) {
        q.prepare(QLatin1String(sql));
        q.addBindValue(id);
        if (!q.exec())
            return fail(q.lastError());
    }
    QSqlQuery &sounds = writeStatements().deleteSounds;
    sounds.addBindValue(id);
    return sounds.exec() || fail(sounds.lastError());
}

LibraryDatabase::Hits LibraryDatabase::search(const QString &query, int limit, const std::atomic<bool> *stop)
{
    auto stopped = [stop] { return stop && stop->load(std::memory_order_relaxed); };
    Hits out;
    const QList<QByteArray> terms = SearchText::terms(query);
    if (terms.isEmpty())
        return out;
    ReadTransaction state(db);
    if (!state.open) {
        out.ok = fail(state.error);
        return out;
    }
    // The filters alone, in the order they are stored: the files that may match are put in
    // path order once their text has been read.
    QSqlQuery filters(db);
    filters.setForwardOnly(true);
    if (!filters.exec(QStringLiteral("SELECT filters FROM filter_groups"))) {
        out.ok = fail(filters.lastError());
        return out;
    }
    std::vector<qint64> candidates;
    while (filters.next()) {
        if (stopped())
            return out;
        const QByteArray stored = filters.value(0).toByteArray();
        QByteArray group;
        if (!LibraryRecords::unseal(stored, group)) {
            out.ok = failDamaged();
            return out;
        }
        forEachFilterEntry(group, [&](qint64 id, const QByteArray &filter) {
            if (SearchText::mayContain(filter, terms))
                candidates.push_back(id);
        });
    }
    filters.finish();
    // A file is searched once however many entries name it.
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    if (!readIncomplete(out))
        return out;

    struct Found
    {
        QString path;
        qint64 id = 0;
        QByteArray positions;
        std::vector<int> lines;
    };
    std::vector<Found> found;
    QSqlQuery text(db);
    text.setForwardOnly(true);
    text.prepare(QStringLiteral("SELECT f.path, t.positions, t.text FROM file_texts t"
                                " JOIN files f ON f.id = t.file_id WHERE t.file_id = ?"));
    for (qint64 id : candidates) {
        if (stopped())
            return out;
        text.addBindValue(id);
        if (!text.exec()) {
            out.ok = fail(text.lastError());
            return out;
        }
        if (!text.next())
            continue; // an entry left behind by a file that has gone
        const QByteArray stored = text.value(2).toByteArray();
        QByteArray lines;
        QByteArray positions = text.value(1).toByteArray();
        if (!LibraryRecords::unseal(stored, lines) || !LibraryRecords::unseal(positions)) {
            out.ok = failDamaged();
            return out;
        }
        Found f;
        f.lines = SearchText::matchingLines(lines, terms);
        if (!f.lines.empty()) {
            f.path = text.value(0).toString();
            f.id = id;
            f.positions = std::move(positions);
            found.push_back(std::move(f));
        }
        text.finish();
    }
    std::sort(found.begin(), found.end(), [](const Found &a, const Found &b) { return a.path < b.path; });

    BankRecords records(db);
    for (const Found &f : found) {
        if (stopped())
            return out;
        for (int line : f.lines) {
            if (2 * line + 1 >= f.positions.size()) {
                out.ok = failDamaged(); // a text line without its position
                return out;
            }
            if (limit > 0 && qint64(out.hits.size()) >= limit) {
                ++out.total;
                continue;
            }
            const int position = uchar(f.positions[2 * line]) | (uchar(f.positions[2 * line + 1]) << 8);
            Hit hit;
            hit.path = f.path;
            hit.bank = position / PresetsPerBank;
            hit.preset = position % PresetsPerBank;
            bool present = false;
            if (!records.fill(f.id, hit, present)) {
                out.ok = records.damaged ? failDamaged() : fail(records.query.lastError());
                return out;
            }
            // The record itself must still match: the text that found it is only its index.
            if (present && SearchText::recordMatches(hit.name, hit.author, hit.category, terms)) {
                ++out.total;
                out.hits.push_back(std::move(hit));
            }
        }
    }
    return out;
}

bool LibraryDatabase::readIncomplete(Hits &out)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT count(*) FROM folders WHERE finished = 0")) || !q.next())
        return out.ok = fail(q.lastError());
    out.incomplete = q.value(0).toLongLong() > 0;
    return true;
}

LibraryDatabase::Hits LibraryDatabase::whereElse(qint64 hash, int limit)
{
    Hits out;
    ReadTransaction state(db);
    if (!state.open) {
        out.ok = fail(state.error);
        return out;
    }
    if (!readIncomplete(out))
        return out;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT s.file_id, f.path, s.entries FROM sounds s JOIN files f ON f.id = "
                             "s.file_id WHERE s.grp = ?"));
    q.addBindValue(LibraryRecords::soundGroup(hash));
    if (!q.exec()) {
        out.ok = fail(q.lastError());
        return out;
    }
    struct Place
    {
        QString path;
        qint64 id;
        int position;
    };
    std::vector<Place> places;
    while (q.next()) {
        QByteArray entries = q.value(2).toByteArray();
        if (!LibraryRecords::unseal(entries)) {
            out.ok = failDamaged();
            return out;
        }
        const std::vector<int> positions = LibraryRecords::soundPositions(entries, hash);
        if (positions.empty())
            continue;
        const qint64 id = q.value(0).toLongLong();
        const QString path = q.value(1).toString();
        for (int position : positions)
            places.push_back(Place{path, id, position});
    }
    q.finish();
    std::sort(places.begin(), places.end(), [](const Place &a, const Place &b) {
        return a.path != b.path ? a.path < b.path : a.position < b.position;
    });
    places.erase(
        std::unique(places.begin(), places.end(),
                    [](const Place &a, const Place &b) { return a.id == b.id && a.position == b.position; }),
        places.end());
    out.total = qint64(places.size());
    BankRecords records(db);
    for (const Place &place : places) {
        if (limit > 0 && qint64(out.hits.size()) >= limit)
            break;
        Hit hit;
        hit.path = place.path;
        hit.bank = place.position / PresetsPerBank;
        hit.preset = place.position % PresetsPerBank;
        bool present = false;
        if (!records.fill(place.id, hit, present)) {
            out.ok = records.damaged ? failDamaged() : fail(records.query.lastError());
            return out;
        }
        // The record must still hold the sound it was found by.
        if (present && hit.hash == hash)
            out.hits.push_back(std::move(hit));
        else
            --out.total;
    }
    return out;
}

std::vector<LibraryDatabase::Problem> LibraryDatabase::unreadableFiles()
{
    std::vector<Problem> out;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT path, error FROM files WHERE error IS NOT NULL ORDER BY path"))) {
        fail(q.lastError());
        return out;
    }
    while (q.next())
        out.push_back(Problem{q.value(0).toString(), q.value(1).toString()});
    return out;
}

LibraryDatabase::Counts LibraryDatabase::counts()
{
    Counts c;
    QSqlQuery q(db);
    if (q.exec(QStringLiteral("SELECT count(*), coalesce(sum(presets), 0), count(error) FROM files")) &&
        q.next()) {
        c.files = q.value(0).toLongLong();
        c.presets = q.value(1).toLongLong();
        c.unreadable = q.value(2).toLongLong();
    } else {
        fail(q.lastError());
    }
    return c;
}
