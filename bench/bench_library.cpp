#include "bench/benchmark.h"

#include "files/presetfile.h"
#include "library/librarydatabase.h"
#include "library/libraryfile.h"
#include "library/libraryindexer.h"
#include "library/libraryupdater.h"
#include "views/librarypanel.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

namespace {

// 1,000 files of 16 banks unless ORVEX_BENCH_LIBRARY_FILES says otherwise.
int corpusFiles()
{
    const int n = qEnvironmentVariableIntValue("ORVEX_BENCH_LIBRARY_FILES");
    return n > 0 ? n : 1000;
}

// Exactly this many presets in the corpus are named so that the search finds them.
constexpr int MarkedPresets = 100;
const char *const MarkedName = "Quasar Drift";
// The collection of one-bank files.
constexpr int SmallFiles = 20000;
constexpr int SmallFilePresets = 12;

// Generating a corpus takes longer than some cases: it stays in the temporary folder,
// named by its kind and size, and is made again only when incomplete (or the generator
// below changes its version).
QString cachedCorpus(const QString &kind, int files, const std::function<void(const QString &)> &generate)
{
    const QString dir =
        QStringLiteral("%1/orvex-bench-library-%2-%3-v1").arg(QDir::tempPath(), kind).arg(files);
    const QString complete = dir + QStringLiteral("/.complete");
    if (QFileInfo::exists(complete))
        return dir;
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    generate(dir);
    QFile mark(complete);
    if (!mark.open(QIODevice::WriteOnly))
        qFatal("cannot write the library corpus");
    return dir;
}

// Varied names from a small vocabulary with numbers, authors from a few dozen, random
// parameters: every file is different, as years of edited backups would be. `marked` of
// the presets are named MarkedName.
void randomPreset(QRandomGenerator &random, PresetRecord &r, bool marked)
{
    static const char *const words[] = {"Pad",   "Lead",  "Bass",   "Soft",   "Warm",  "Bright", "Dark",
                                        "Glass", "Str",   "Brass",  "Bell",   "Choir", "Sweep",  "Pluck",
                                        "Organ", "Piano", "Fat",    "Thin",   "Wide",  "Deep",   "Space",
                                        "Dream", "Night", "Sun",    "Ice",    "Fire",  "Analog", "Vox",
                                        "Sync",  "Saw",   "Square", "Mellow", "Hard",  "Edge",   "Crunch"};
    const int wordCount = int(sizeof words / sizeof *words);
    if (marked)
        r.name = QString::fromLatin1(MarkedName);
    else
        r.name = QStringLiteral("%1 %2 %3")
                     .arg(QLatin1String(words[random.bounded(wordCount)]),
                          QLatin1String(words[random.bounded(wordCount)]))
                     .arg(random.bounded(1000));
    r.author = QStringLiteral("Author %1").arg(random.bounded(40));
    r.category = int(random.bounded(14));
    for (uint8_t &v : r.params)
        v = uint8_t(random.bounded(128));
}

qint64 folderBytes(const QString &dir)
{
    qint64 bytes = 0;
    QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        if (isLibraryFileName(it.fileName()))
            bytes += it.fileInfo().size();
    }
    return bytes;
}

struct LibraryBench
{
    QTemporaryDir dir;
    QString corpus;
    std::unique_ptr<LibraryDatabase> db;
    std::unique_ptr<LibraryPanel> panel;
    int files = 0;
    bool ready = false;
    qint64 probe = 0;
    double parseMs = 0;

    void generate()
    {
        files = corpusFiles();
        corpus = cachedCorpus(QStringLiteral("full"), files, [this](const QString &to) {
            QRandomGenerator random(18);
            const int presetsTotal = files * PresetCount;
            BankStore store;
            int marked = 0;
            for (int f = 0; f < files; ++f) {
                for (int b = 0; b < BankCount; ++b)
                    for (int p = 0; p < PresetsPerBank; ++p) {
                        const int index = f * PresetCount + b * PresetsPerBank + p;
                        const bool mark =
                            marked < MarkedPresets && index % (presetsTotal / MarkedPresets) == 7;
                        marked += mark;
                        randomPreset(random, store.at(b, p), mark);
                    }
                QFile out(QStringLiteral("%1/backup-%2.pre").arg(to).arg(f, 4, 10, QLatin1Char('0')));
                if (!out.open(QIODevice::WriteOnly) || out.write(presetFileText(store, 0, 15)) < 0)
                    qFatal("cannot write the library corpus");
            }
        });
    }

    // What the index has to beat: every file read by the library's own reader, one after
    // the other on one core, nothing stored.
    void plainParse()
    {
        QStringList paths;
        QDirIterator it(corpus, {QStringLiteral("*.pre")}, QDir::Files);
        while (it.hasNext())
            paths << it.next();
        paths.sort();
        qint64 presets = 0;
        QElapsedTimer t;
        t.start();
        for (const QString &path : paths) {
            const LibraryFile file = readLibraryFile(path);
            if (!file.error.isEmpty())
                qFatal("cannot read %s", qPrintable(path));
            presets += qint64(file.presets.size());
        }
        parseMs = t.nsecsElapsed() / 1e6;
        benchPrint(QStringLiteral("library plain parse, one core"), parseMs,
                   QStringLiteral("%1 files, %2 presets").arg(paths.size()).arg(presets));
    }

    void indexFromScratch()
    {
        db.reset();
        QFile::remove(dir.filePath(QStringLiteral("library.db")));
        db = std::make_unique<LibraryDatabase>(dir.filePath(QStringLiteral("library.db")));
        if (!db->open({corpus}))
            qFatal("cannot open the bench library: %s", qPrintable(db->errorString()));
        const LibraryUpdateResult r = LibraryIndexer::update(*db, {corpus}, true);
        if (!r.ok || r.filesRead != files)
            qFatal("indexing failed: %s", qPrintable(r.error));
    }
};

// 20,000 files of one bank each, as a collection of single-bank saves of a few sounds would
// be: a dozen presets, about 4 KB a file. MarkedPresets of their presets are named for the
// search.
struct SmallFilesBench
{
    QTemporaryDir dir;
    QString corpus;
    std::unique_ptr<LibraryDatabase> db;

    void prepare()
    {
        if (db)
            return;
        corpus = cachedCorpus(QStringLiteral("small"), SmallFiles, [](const QString &to) {
            QRandomGenerator random(31);
            BankStore store;
            const int presetsTotal = SmallFiles * SmallFilePresets;
            int marked = 0;
            for (int f = 0; f < SmallFiles; ++f) {
                const int bank = 1 + f % (BankCount - 1);
                for (int p = 0; p < SmallFilePresets; ++p) {
                    const int index = f * SmallFilePresets + p;
                    const bool mark = marked < MarkedPresets && index % (presetsTotal / MarkedPresets) == 7;
                    marked += mark;
                    randomPreset(random, store.at(bank, p), mark);
                }
                // A preset is one line of the file: keep the bank's first few.
                const QList<QByteArray> lines = presetFileText(store, bank, bank).split('\n');
                const QByteArray text =
                    (lines.mid(0, 3 + SmallFilePresets) + lines.mid(3 + PresetsPerBank)).join('\n');
                QFile out(QStringLiteral("%1/bank-%2.pre").arg(to).arg(f, 5, 10, QLatin1Char('0')));
                if (!out.open(QIODevice::WriteOnly) || out.write(text) < 0)
                    qFatal("cannot write the library corpus");
            }
        });
        const QString path = dir.filePath(QStringLiteral("small.db"));
        QElapsedTimer t;
        t.start();
        {
            LibraryDatabase index(path);
            if (!index.open({corpus}))
                qFatal("cannot open the bench library: %s", qPrintable(index.errorString()));
            const LibraryUpdateResult r = LibraryIndexer::update(index, {corpus}, true);
            if (!r.ok || r.filesRead != SmallFiles)
                qFatal("indexing failed: %s", qPrintable(r.error));
        }
        const double took = t.nsecsElapsed() / 1e6;
        // Closing the last connection folds the write-ahead log into the database.
        qint64 dbBytes = 0;
        for (const QString &suffix : {QString(), QStringLiteral("-wal")})
            dbBytes += QFileInfo(path + suffix).size();
        const qint64 fileBytes = folderBytes(corpus);
        benchPrint(
            QStringLiteral("library small files: index from scratch"), took,
            QStringLiteral("%1 files of one bank, %2 presets each").arg(SmallFiles).arg(SmallFilePresets));
        benchPrint(QStringLiteral("library small files: database (goal <= 1.5x)"), dbBytes / 1e6,
                   QStringLiteral("MB, not ms: %1x the files' %2 MB")
                       .arg(double(dbBytes) / double(fileBytes), 0, 'f', 2)
                       .arg(fileBytes / 1e6, 0, 'f', 1));
        db = std::make_unique<LibraryDatabase>(path);
        if (!db->openToRead())
            qFatal("cannot open the bench library: %s", qPrintable(db->errorString()));
    }
};

// Runs the event loop until `done`, looking after each event it handles (and every 10 ms),
// or ten minutes at most.
void waitUntil(const std::function<bool()> &done)
{
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start();
    QTimer::singleShot(600000, &loop, &QEventLoop::quit);
    if (!done())
        loop.exec();
}

// A search as the panel runs it: from Return in the search field until its results are in
// the table, and the longest time the window's event loop did not run meanwhile (what a
// user typing on would feel).
void panelSearch(LibraryBench &l, const QString &text)
{
    if (!l.panel) {
        l.panel = std::make_unique<LibraryPanel>(l.db->path(), QStringList{l.corpus});
        l.panel->show();
        l.panel->startUpdate();
        // The start-up update and the page check that follows it, before anything is timed.
        waitUntil([&] { return !l.panel->updater->isRunning(); });
        QEventLoop settle;
        QTimer::singleShot(0, &settle, &QEventLoop::quit);
        settle.exec();
    }
    std::vector<double> shown, stalls;
    for (int i = 0; i < 7; ++i) {
        QElapsedTimer t;
        t.start();
        qint64 lastTick = 0, longest = 0;
        QTimer tick;
        tick.setInterval(0);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = t.nsecsElapsed();
            longest = std::max(longest, now - lastTick);
            lastTick = now;
        });
        tick.start();
        bool arrived = false;
        QMetaObject::Connection c =
            QObject::connect(l.panel.get(), &LibraryPanel::resultsShown, [&] { arrived = true; });
        // Alternate the case so that each run is a new text, as typing makes.
        l.panel->searchEdit->setText(i % 2 ? text.toUpper() : text);
        emit l.panel->searchEdit->returnPressed();
        longest = std::max(longest, t.nsecsElapsed() - lastTick);
        lastTick = t.nsecsElapsed();
        QEventLoop wait;
        QObject::connect(l.panel.get(), &LibraryPanel::resultsShown, &wait, &QEventLoop::quit);
        if (!arrived)
            wait.exec();
        const qint64 end = t.nsecsElapsed();
        longest = std::max(longest, end - lastTick);
        QObject::disconnect(c);
        if (l.panel->results->rowCount() != LibraryPanel::ResultLimit)
            qFatal("the panel shows %d results", l.panel->results->rowCount());
        shown.push_back(end / 1e6);
        stalls.push_back(longest / 1e6);
    }
    std::sort(shown.begin(), shown.end());
    std::sort(stalls.begin(), stalls.end());
    benchPrint(QStringLiteral("library search, two letters, panel: shown"), shown[shown.size() / 2]);
    benchPrint(QStringLiteral("library search, two letters, panel: stall"), stalls[stalls.size() / 2],
               QStringLiteral("longest the window waited (median of %1)").arg(stalls.size()));
}

// An update from scratch on a thread of its own while a second connection changes the
// folder list every 20 ms, as the window's folder list or orvex-pre library add would: how
// long each change waited for its turn.
void secondWriterDuringIndex(LibraryBench &l)
{
    l.db.reset();
    const QString path = l.dir.filePath(QStringLiteral("library.db"));
    for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(path + suffix);
    {
        LibraryDatabase create(path);
        if (!create.open({l.corpus}))
            qFatal("cannot open the bench library: %s", qPrintable(create.errorString()));
    }
    std::atomic<bool> done{false};
    QElapsedTimer run;
    run.start();
    std::thread indexer([&] {
        LibraryDatabase db(path);
        if (!db.open({}))
            qFatal("cannot open the bench library: %s", qPrintable(db.errorString()));
        const LibraryUpdateResult r = LibraryIndexer::update(db, {l.corpus}, true);
        if (!r.ok || r.filesRead != l.files)
            qFatal("indexing failed: %s", qPrintable(r.error));
        done = true;
    });
    LibraryDatabase second(path);
    if (!second.open({}))
        qFatal("cannot open the second writer: %s", qPrintable(second.errorString()));
    const QString elsewhere = l.dir.filePath(QStringLiteral("elsewhere"));
    std::vector<double> waits;
    for (bool add = true; !done; add = !add) {
        QElapsedTimer t;
        t.start();
        if (!(add ? second.addFolder(elsewhere) : second.removeFolder(elsewhere)))
            qFatal("the second writer failed: %s", qPrintable(second.errorString()));
        waits.push_back(t.nsecsElapsed() / 1e6);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    indexer.join();
    const double took = run.nsecsElapsed() / 1e9;
    std::sort(waits.begin(), waits.end());
    const QString extra = QStringLiteral("%1 folder changes during an index from scratch of %2 s")
                              .arg(waits.size())
                              .arg(took, 0, 'f', 1);
    benchPrint(QStringLiteral("library second writer during an update: median wait"), waits[waits.size() / 2],
               extra);
    benchPrint(QStringLiteral("library second writer during an update: longest wait (goal <= 1 s)"),
               waits.back(), extra);
    l.db = std::make_unique<LibraryDatabase>(path);
    if (!l.db->open({}))
        qFatal("cannot open the bench library: %s", qPrintable(l.db->errorString()));
}

} // namespace

ORVEX_BENCH(library)
{
    auto l = std::make_shared<LibraryBench>();
    auto small = std::make_shared<SmallFilesBench>();
    // The corpus is made only when a library case runs.
    auto prepare = [l] {
        if (l->ready)
            return;
        l->ready = true;
        QElapsedTimer t;
        t.start();
        l->generate();
        std::printf("(library corpus: %d files, %d presets, generated in %.1f s)\n", l->files,
                    l->files * PresetCount, t.nsecsElapsed() / 1e9);
        std::fflush(stdout);
    };
    return {
        BenchCase{"library plain parse, one core", nullptr, nullptr, QString(), 1,
                  [l, prepare] {
                      prepare();
                      l->plainParse();
                  }},
        BenchCase{"library index from scratch (goal <= 0.7x plain parse)", nullptr, nullptr, QString(), 1,
                  [l, prepare] {
                      prepare();
                      QElapsedTimer t;
                      t.start();
                      l->indexFromScratch();
                      const double ms = t.nsecsElapsed() / 1e6;
                      QString extra =
                          QStringLiteral("%1 files, %2 presets").arg(l->files).arg(l->db->counts().presets);
                      if (l->parseMs > 0)
                          extra += QStringLiteral(", %1x the plain parse").arg(ms / l->parseMs, 0, 'f', 2);
                      const QString dbPath = l->db->path();
                      extra += QStringLiteral(", database %1 MB (log %2 MB)")
                                   .arg(QFileInfo(dbPath).size() / 1e6, 0, 'f', 1)
                                   .arg(QFileInfo(dbPath + QStringLiteral("-wal")).size() / 1e6, 0, 'f', 1);
                      benchPrint(QStringLiteral("library index from scratch (goal <= 0.7x plain parse)"), ms,
                                 extra);
                  }},
        BenchCase{"library second writer during an update", nullptr, nullptr, QString(), 1,
                  [l, prepare] {
                      prepare();
                      secondWriterDuringIndex(*l);
                  }},
        BenchCase{"library re-scan unchanged (goal <= 1 s)",
                  [l] {
                      const LibraryUpdateResult r = LibraryIndexer::update(*l->db, {l->corpus}, true);
                      if (r.filesRead != 0)
                          qFatal("an unchanged file was read again");
                  },
                  [l, prepare] {
                      prepare();
                      if (!l->db)
                          l->indexFromScratch();
                  },
                  QString(), 5},
        BenchCase{"library search, 100 hits (goal <= 10 ms)",
                  [l] {
                      const LibraryDatabase::Hits h = l->db->search(QString::fromLatin1(MarkedName), 1000);
                      if (h.total != MarkedPresets)
                          qFatal("the search found %lld presets, not %d", h.total, MarkedPresets);
                  },
                  [l, prepare] {
                      prepare();
                      if (!l->db)
                          l->indexFromScratch();
                  }},
        BenchCase{"library search, two letters (no file left out)",
                  [l] { l->db->search(QStringLiteral("qu"), 1000); },
                  [l, prepare] {
                      prepare();
                      if (!l->db)
                          l->indexFromScratch();
                  },
                  QString(), 5},
        BenchCase{"library search, two letters, panel", nullptr, nullptr, QString(), 1,
                  [l, prepare] {
                      prepare();
                      if (!l->db)
                          l->indexFromScratch();
                      panelSearch(*l, QStringLiteral("qu"));
                  }},
        BenchCase{"library where else, one sound",
                  [l] {
                      if (l->db->whereElse(l->probe, 1000).total < 1)
                          qFatal("where else found nothing");
                  },
                  [l, prepare] {
                      prepare();
                      if (!l->db)
                          l->indexFromScratch();
                      // A marked preset's random parameters.
                      l->probe = l->db->search(QString::fromLatin1(MarkedName), 1).hits.at(0).hash;
                  }},
        BenchCase{"library page check after start-up (background)",
                  [l] {
                      if (l->db->checkPages() != LibraryDatabase::Check::Sound)
                          qFatal("the bench library failed its check");
                  },
                  [l, prepare] {
                      prepare();
                      if (!l->db)
                          l->indexFromScratch();
                  },
                  QString(), 3},
        BenchCase{"library check of every page (after a search met damage)",
                  [l] {
                      LibraryDatabase check(l->db->path());
                      if (!check.open({}, true) || check.rebuilt())
                          qFatal("the bench library failed its check");
                  },
                  [l, prepare] {
                      prepare();
                      if (!l->db)
                          l->indexFromScratch();
                  },
                  QString(), 3},
        BenchCase{"library small files: search, 100 hits (goal <= 20 ms)",
                  [small] {
                      const LibraryDatabase::Hits h =
                          small->db->search(QString::fromLatin1(MarkedName), 1000);
                      if (h.total != MarkedPresets)
                          qFatal("the search found %lld presets, not %d", h.total, MarkedPresets);
                  },
                  [small] { small->prepare(); }},
    };
}
