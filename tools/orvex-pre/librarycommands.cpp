#include "librarycommands.h"
#include "output.h"

#include "base/appidentity.h"
#include "files/filecontents.h"
#include "library/librarydatabase.h"
#include "library/libraryfile.h"
#include "library/libraryindexer.h"
#include "library/libraryupdater.h"
#include "model/bankstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <cstdio>
#include <functional>
#include <unistd.h>

namespace LibraryCommands {

const char *const Help =
    "Library (the program's index of every preset in the folders it covers; the window\n"
    "and these commands share one database in the program's data folder):\n"
    "  library add DIR           add DIR (searched with its subfolders) and read its files\n"
    "  library remove DIR        stop covering DIR; its presets leave the index\n"
    "  library update            read new and changed files in every covered folder,\n"
    "                            then check every page of the database (as the window\n"
    "                            does) and rebuild it from the files if one is damaged\n"
    "  library folders           list the covered folders\n"
    "  library search TEXT...    presets whose name, author or category contains every\n"
    "                            word (case and accents ignored)\n"
    "  library where FILE B P    every file and position holding the same parameter\n"
    "                            bytes as bank index B, preset index P of FILE\n"
    "  search and where print one line per preset: file path, bank, preset, name,\n"
    "  author, category, module bank, separated by tabs (indexes zero-based; tabs and\n"
    "  line breaks in names become spaces). The bank is the file's own bank index, as\n"
    "  dump and copy count it; the module bank is where a load puts that bank unasked\n"
    "  (a file of fewer than 16 banks from module bank index 1 on; a SysEx file's banks\n"
    "  are the module's). Files that cannot be read are named on standard error and\n"
    "  skipped. A folder that cannot be read keeps its presets in the index; it is named\n"
    "  on standard error and the command exits with status 1. A damaged database, or\n"
    "  one whose indexing was cut short, is rebuilt or completed from the files first.\n";

namespace {

QByteArray field(QString text)
{
    for (QChar &c : text)
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    return text.toUtf8();
}

// The module bank of a file's bank 0, as a load places it unasked; -1 when the file can no
// longer be read. The library keeps module banks; the command line counts a file's own.
int homeBankOf(const QString &path, QHash<QString, int> &known)
{
    const auto found = known.constFind(path);
    if (found != known.constEnd())
        return *found;
    const int home = firstModuleBankOf(path);
    known.insert(path, home);
    return home;
}

void printHits(const LibraryDatabase::Hits &hits)
{
    QByteArray out;
    QHash<QString, int> homes;
    for (const LibraryDatabase::Hit &h : hits.hits) {
        const int home = homeBankOf(h.path, homes);
        out += field(h.path) + '\t' + (home >= 0 ? QByteArray::number(h.bank - home) : QByteArray("-")) +
               '\t' + QByteArray::number(h.preset) + '\t' + field(h.name) + '\t' + field(h.author) + '\t' +
               QByteArray::number(h.category) + '\t' + QByteArray::number(h.bank) + '\n';
        if (out.size() > 65536) {
            writeOut(out);
            out.clear();
        }
    }
    writeOut(out);
}

// What a command's updates met beside their result: a folder that could not be read lets
// the command do its work and then exit with Failed.
struct Outcome
{
    bool unreadableFolder = false;
};

// Reads new and changed files (of `folders`, or of the whole library when empty) and, with
// `checkPages`, checks every page of the database afterwards, repairing what it finds as
// the window does; unreadable files and folders are named on standard error.
bool runUpdate(LibraryDatabase &db, Outcome &outcome, const QStringList &folders, bool checkPages = false)
{
    const bool terminal = ::isatty(::fileno(stderr)) == 1;
    auto progress = [terminal](int done, int total) {
        if (terminal)
            writeErr(QStringLiteral("\rreading files: %1/%2").arg(done).arg(total));
    };
    LibraryUpdater::Repair repair;
    repair.waiting = [&db] {
        writeErr(QStringLiteral("orvex-pre: waiting for another program's update of the library %1 to end\n")
                     .arg(db.path()));
    };
    repair.rebuilt = [] {
        writeErr(
            QStringLiteral("orvex-pre: the library database was damaged; it is rebuilt from the files\n"));
    };
    const LibraryUpdateResult result = LibraryUpdater::updateAndRepair(
        db, LibraryDatabase::defaultFolders(), folders, checkPages, progress, nullptr, repair);
    if (terminal && result.filesRead > 0)
        writeErr(QStringLiteral("\n"));
    for (const QString &problem : result.unreadable)
        writeErr(QStringLiteral("orvex-pre: %1 (skipped)\n").arg(problem));
    for (const QString &problem : result.unreadableFolders)
        writeErr(QStringLiteral("orvex-pre: folder %1 (cannot be read; its presets stay in the library)\n")
                     .arg(problem));
    outcome.unreadableFolder = outcome.unreadableFolder || !result.unreadableFolders.isEmpty();
    if (!result.ok) {
        failure(QStringLiteral("library database: %1").arg(result.error));
        return false;
    }
    return true;
}

bool openLibrary(LibraryDatabase &db, Outcome &outcome)
{
    if (!db.open(LibraryDatabase::defaultFolders())) {
        failure(QStringLiteral("cannot open the library database %1: %2").arg(db.path(), db.errorString()));
        return false;
    }
    if (db.rebuilt()) {
        writeErr(db.upgraded()
                     ? QStringLiteral("orvex-pre: the library database came from an older version; it "
                                      "is rebuilt from the files\n")
                     : QStringLiteral("orvex-pre: the library database was damaged; it is rebuilt "
                                      "from the files\n"));
        return runUpdate(db, outcome, {});
    }
    // A new library reads its folders first, so a first search finds what is there.
    if (db.created())
        return runUpdate(db, outcome, {});
    // An index cut short (a first indexing, a rebuild or an add that was killed) is never
    // answered from as if it were whole.
    if (!db.unfinishedFolders().isEmpty()) {
        writeErr(QStringLiteral("orvex-pre: the library's indexing was cut short or is still running; it "
                                "is completed first\n"));
        return runUpdate(db, outcome, {});
    }
    return true;
}

// A search or lookup that met damage rebuilds the database from the files and asks again.
LibraryDatabase::Hits askRepairing(LibraryDatabase &db, Outcome &outcome,
                                   const std::function<LibraryDatabase::Hits()> &ask)
{
    LibraryDatabase::Hits hits = ask();
    if (hits.ok || !db.damaged())
        return hits;
    writeErr(QStringLiteral("orvex-pre: the library database is damaged (%1); it is rebuilt from the files\n")
                 .arg(db.errorString()));
    if (!db.rebuildNow(LibraryDatabase::defaultFolders()) || !runUpdate(db, outcome, {}))
        return hits;
    return ask();
}

int finished(const Outcome &outcome)
{
    return outcome.unreadableFolder ? Failed : Success;
}

QString existingFolder(const QString &arg)
{
    const QFileInfo info(arg);
    return info.isDir() ? QDir::cleanPath(info.absoluteFilePath()) : QString();
}

void printSummary(LibraryDatabase &db)
{
    const LibraryDatabase::Counts c = db.counts();
    writeOut(QStringLiteral("library: %1 presets in %2 files, %3 unreadable\n")
                 .arg(c.presets)
                 .arg(c.files - c.unreadable)
                 .arg(c.unreadable)
                 .toUtf8());
}

int runAdd(const QStringList &args)
{
    if (args.size() != 1)
        return usageError(QStringLiteral("library add needs exactly one DIR"));
    const QString folder = existingFolder(args.at(0));
    if (folder.isEmpty())
        return failure(QStringLiteral("%1: not a folder").arg(args.at(0)));
    LibraryDatabase db(LibraryDatabase::defaultPath());
    Outcome outcome;
    if (!openLibrary(db, outcome))
        return Failed;
    if (!db.addFolder(folder))
        return failure(QStringLiteral("%1 could not be added: %2").arg(args.at(0), db.errorString()));
    if (!runUpdate(db, outcome, {folder}))
        return Failed;
    printSummary(db);
    return finished(outcome);
}

int runRemove(const QStringList &args)
{
    if (args.size() != 1)
        return usageError(QStringLiteral("library remove needs exactly one DIR"));
    LibraryDatabase db(LibraryDatabase::defaultPath());
    Outcome outcome;
    if (!openLibrary(db, outcome))
        return Failed;
    const QString folder = QDir::cleanPath(QFileInfo(args.at(0)).absoluteFilePath());
    if (!db.folders().contains(folder))
        return failure(QStringLiteral("%1: not a library folder").arg(args.at(0)));
    if (!db.removeFolder(folder))
        return failure(QStringLiteral("%1 could not be removed: %2").arg(args.at(0), db.errorString()));
    if (!runUpdate(db, outcome, {}))
        return Failed;
    printSummary(db);
    return finished(outcome);
}

int runUpdateCommand(const QStringList &args)
{
    if (!args.isEmpty())
        return usageError(QStringLiteral("library update takes no arguments"));
    LibraryDatabase db(LibraryDatabase::defaultPath());
    Outcome outcome;
    // The update also checks every page, as the window does once a session: an index page
    // damaged where no write goes is repaired here too.
    if (!openLibrary(db, outcome) || (!db.rebuilt() && !db.created() && !runUpdate(db, outcome, {}, true)))
        return Failed;
    printSummary(db);
    return finished(outcome);
}

int runFolders(const QStringList &args)
{
    if (!args.isEmpty())
        return usageError(QStringLiteral("library folders takes no arguments"));
    LibraryDatabase db(LibraryDatabase::defaultPath());
    Outcome outcome;
    if (!openLibrary(db, outcome))
        return Failed;
    QByteArray out;
    for (const QString &f : db.folders())
        out += f.toUtf8() + '\n';
    writeOut(out);
    return Success;
}

int runSearch(const QStringList &args)
{
    if (args.isEmpty())
        return usageError(QStringLiteral("library search needs TEXT"));
    LibraryDatabase db(LibraryDatabase::defaultPath());
    Outcome outcome;
    if (!openLibrary(db, outcome))
        return Failed;
    const QString query = args.join(QLatin1Char(' '));
    const LibraryDatabase::Hits hits = askRepairing(db, outcome, [&] { return db.search(query, 0); });
    if (!hits.ok)
        return failure(QStringLiteral("library database: %1").arg(db.errorString()));
    printHits(hits);
    return finished(outcome);
}

int runWhere(const QStringList &args)
{
    if (args.size() != 3)
        return usageError(QStringLiteral("library where needs FILE BANK PRESET"));
    bool bankOk = false;
    bool presetOk = false;
    const int bank = args.at(1).toInt(&bankOk);
    const int preset = args.at(2).toInt(&presetOk);
    if (!bankOk || !presetOk || !BankStore::validIndex(bank, preset))
        return usageError(
            QStringLiteral("BANK is a bank index from 0 to 15 and PRESET a preset index from 0 to 127"));
    // The file's own bank index, as dump and copy take it.
    const FileContents file = readFileContents(args.at(0));
    if (!file.readable())
        return failure(QStringLiteral("%1: %2").arg(args.at(0), file.errorText));
    if (file.state(bank, preset) == FileContents::State::Damaged)
        return failure(QStringLiteral("%1: holds damaged data at bank index %2, preset index %3")
                           .arg(args.at(0))
                           .arg(bank)
                           .arg(preset));
    if (file.state(bank, preset) != FileContents::State::Present)
        return failure(QStringLiteral("%1: holds no preset at bank index %2, preset index %3 (%4)")
                           .arg(args.at(0))
                           .arg(bank)
                           .arg(preset)
                           .arg(file.banks == 1 ? QStringLiteral("it holds 1 bank")
                                                : QStringLiteral("it holds %1 banks").arg(file.banks)));
    const PresetRecord *found = &file.presets.at(bank, preset);
    LibraryDatabase db(LibraryDatabase::defaultPath());
    Outcome outcome;
    if (!openLibrary(db, outcome))
        return Failed;
    const qint64 hash = paramsHash(found->params);
    const LibraryDatabase::Hits hits = askRepairing(db, outcome, [&] { return db.whereElse(hash, 0); });
    if (!hits.ok)
        return failure(QStringLiteral("library database: %1").arg(db.errorString()));
    printHits(hits);
    return finished(outcome);
}

} // namespace

int run(const QStringList &args)
{
    // The window's identity, so both find the same data folder and database.
    AppIdentity::apply();
    if (args.isEmpty())
        return usageError(
            QStringLiteral("library needs a command: add, remove, update, folders, search, where"));
    const QString command = args.first();
    const QStringList rest = args.mid(1);
    if (command == QLatin1String("add"))
        return runAdd(rest);
    if (command == QLatin1String("remove"))
        return runRemove(rest);
    if (command == QLatin1String("update"))
        return runUpdateCommand(rest);
    if (command == QLatin1String("folders"))
        return runFolders(rest);
    if (command == QLatin1String("search"))
        return runSearch(rest);
    if (command == QLatin1String("where"))
        return runWhere(rest);
    return usageError(QStringLiteral("unknown library command '%1'").arg(command));
}

} // namespace LibraryCommands
