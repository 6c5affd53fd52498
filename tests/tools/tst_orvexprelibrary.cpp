// orvex-pre's library commands end to end, on a database in a temporary data folder.
#include "common/programrun.h"
#include "common/testfiles.h"
#include "files/heldlock.h"
#include "files/presetfile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QVariant>

#include <csignal>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

class TestOrvexPreLibrary : public QObject
{
    Q_OBJECT

    QTemporaryDir home;
    QString presets;

    using Run = ProgramRun;

    Run orvexPre(const QStringList &args, const QString &data = QStringLiteral("data"))
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(data));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("HOME"), home.path());
        return runProgram(QStringLiteral(ORVEX_PRE), args, env);
    }

    static QStringList library(const QStringList &rest)
    {
        return QStringList{QStringLiteral("library")} + rest;
    }

    QProcess *startOrvexPre(const QStringList &args, const QString &data)
    {
        auto *process = new QProcess(this);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(data));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("HOME"), home.path());
        process->setProcessEnvironment(env);
        process->start(QStringLiteral(ORVEX_PRE), args);
        return process;
    }

    QString databaseOf(const QString &data) const
    {
        return home.filePath(data + QStringLiteral("/Quillmoth/Orvex_presetmanager/library.db"));
    }

    // `count` full files whose presets all differ, in a folder of their own.
    QString manyFiles(const QString &name, int count)
    {
        const QString folder = home.filePath(name);
        if (QDir(folder).exists())
            return folder;
        QDir().mkpath(folder);
        BankStore store;
        for (int f = 0; f < count; ++f) {
            for (int b = 0; b < BankCount; ++b)
                for (int p = 0; p < PresetsPerBank; ++p) {
                    PresetRecord &r = store.at(b, p);
                    r.name = QStringLiteral("F%1 B%2 P%3").arg(f).arg(b).arg(p);
                    r.author = QStringLiteral("Ann");
                    r.params.fill(uint8_t((f + b + p) & 0x7F));
                    r.params[1] = uint8_t(f & 0x7F);
                }
            QString error;
            if (!savePresetFile(store, QStringLiteral("%1/f%2.pre").arg(folder).arg(f), 0, 15, error))
                return QString();
        }
        return folder;
    }

    // Runs `sql` on the database from outside; the first row's first value, or an empty
    // variant when it could not be read (yet, or at once without `wait`).
    static QVariant ask(const QString &db, const QString &sql, const QString &bind = QString(),
                        bool wait = true)
    {
        QVariant out;
        if (!QFileInfo::exists(db))
            return out;
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("ask"));
            raw.setDatabaseName(db);
            if (!wait)
                raw.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
            if (raw.open()) {
                QSqlQuery q(raw);
                q.prepare(sql);
                if (!bind.isNull())
                    q.addBindValue(bind);
                if (q.exec() && q.next())
                    out = q.value(0);
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("ask"));
        return out;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(home.isValid());
        presets = home.filePath(QStringLiteral("presets"));
        QVERIFY(QDir().mkpath(presets + QStringLiteral("/old")));
        BankStore store;
        for (int b = 0; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p) {
                PresetRecord &r = store.at(b, p);
                r.name = QStringLiteral("N%1.%2").arg(b).arg(p);
                r.author = QStringLiteral("Ann");
                r.category = 1;
                r.params.fill(uint8_t(p));
                r.params[0] = uint8_t(b);
            }
        store.at(2, 5).name = QString::fromUtf8("Sch\xC3\xB6n\tPad");
        store.at(2, 5).author = QStringLiteral("Tom");
        store.at(2, 5).category = 3;
        QString error;
        QVERIFY(savePresetFile(store, presets + QStringLiteral("/all.pre"), 0, 15, error));
        QVERIFY(savePresetFile(store, presets + QStringLiteral("/old/bank3.pre"), 2, 2, error));
        writeTestFile(presets + QStringLiteral("/broken.pre"),
                      "<presetbanks><device name=\"other\"/></presetbanks>");
    }

    void addSearchWhere()
    {
        Run r = orvexPre(library({QStringLiteral("add"), presets}));
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.contains("broken.pre"), r.err);
        QVERIFY2(r.out.contains("2176 presets in 2 files, 1 unreadable"), r.out);

        // Tab-separated, zero-based, the file's own bank and then the module bank; the tab
        // in the name became a space.
        r = orvexPre(library({QStringLiteral("search"), QStringLiteral("SCHON"), QStringLiteral("tom")}));
        QCOMPARE(r.exitCode, 0);
        const QByteArray name = QString::fromUtf8("Sch\xC3\xB6n Pad").toUtf8();
        QCOMPARE(r.out, QDir::cleanPath(presets).toUtf8() + "/all.pre\t2\t5\t" + name + "\tTom\t3\t2\n" +
                            QDir::cleanPath(presets).toUtf8() + "/old/bank3.pre\t0\t5\t" + name +
                            "\tTom\t3\t1\n");

        // One numbering: a file of one bank is bank index 0, as dump and copy count it; a
        // load puts it unasked at module bank index 1, the last column.
        r = orvexPre(library({QStringLiteral("where"), presets + QStringLiteral("/old/bank3.pre"),
                              QStringLiteral("0"), QStringLiteral("7")}));
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out.count('\n'), 2);
        QVERIFY(r.out.contains("/all.pre\t2\t7\tN2.7\tAnn\t1\t2\n"));
        QVERIFY(r.out.contains("/old/bank3.pre\t0\t7\tN2.7\tAnn\t1\t1\n"));
        r = orvexPre(library({QStringLiteral("where"), presets + QStringLiteral("/old/bank3.pre"),
                              QStringLiteral("1"), QStringLiteral("7")}));
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("(it holds 1 bank)"), r.err);

        r = orvexPre(library({QStringLiteral("search"), QStringLiteral("nothing-like-this")}));
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray());
    }

    // An update killed while it stores leaves a sound database, and the next one completes
    // what it began.
    void aKilledUpdateLeavesASoundLibrary()
    {
        const int count = 40;
        const QString folder = manyFiles(QStringLiteral("many"), count);
        QVERIFY(!folder.isEmpty());
        const QString data = QStringLiteral("killed");
        const QString db = databaseOf(data);
        const QString inFolder = QStringLiteral("SELECT count(*) FROM files WHERE path LIKE ? || '/%'");
        QProcess *child = startOrvexPre(library({QStringLiteral("add"), folder}), data);
        QVERIFY(child->waitForStarted());
        // The index of a few files takes a moment only: the child is stopped while the test
        // looks, so that the kill lands exactly where the folder was seen listed but unfinished.
        const QString unfinished =
            QStringLiteral("SELECT count(*) FROM folders WHERE path = ? AND finished = 0");
        const pid_t pid = pid_t(child->processId());
        bool caught = false;
        QElapsedTimer waited;
        waited.start();
        while (!caught && child->state() != QProcess::NotRunning && waited.elapsed() < 60000) {
            // Waiting for the stop (or the end) without reaping: the child stays QProcess's.
            siginfo_t info{};
            QVERIFY(::kill(pid, SIGSTOP) == 0 &&
                    ::waitid(P_PID, id_t(pid), &info, WSTOPPED | WEXITED | WNOWAIT) == 0);
            if (info.si_code != CLD_STOPPED)
                break;
            caught = ask(db, unfinished, folder, false).toInt() > 0; // never wait on a stopped lock
            if (!caught) {
                ::kill(pid, SIGCONT);
                QTest::qWait(2);
            }
        }
        QVERIFY2(caught, "the update ended before it could be caught");
        child->kill();
        QVERIFY(child->waitForFinished());
        QCOMPARE(ask(db, QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));

        // The next command, a search too, says that the index was cut short and completes it
        // before it answers.
        const Run r = orvexPre(library({QStringLiteral("search"), QStringLiteral("ann")}), data);
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.contains("cut short"), r.err);
        QCOMPARE(r.out.count('\n'), qsizetype(count) * PresetCount);
        QCOMPARE(ask(db, inFolder, folder).toInt(), count);
        QCOMPARE(ask(db, QStringLiteral("SELECT sum(presets) FROM files WHERE path LIKE ? || '/%'"), folder)
                     .toLongLong(),
                 qint64(count) * PresetCount);
        QCOMPARE(ask(db, QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
        const Run where = orvexPre(library({QStringLiteral("where"), folder + QStringLiteral("/f7.pre"),
                                            QStringLiteral("3"), QStringLiteral("9")}),
                                   data);
        QCOMPARE(where.exitCode, 0);
        QVERIFY2(where.out.contains("/f7.pre\t3\t9\tF7 B3 P9\tAnn\t"), where.out);
    }

    // An update that waits for another program's says so on standard error, and goes on
    // when that one ends.
    void aWaitingUpdateSaysWhatItWaitsFor()
    {
        const QString data = QStringLiteral("waiting");
        QCOMPARE(orvexPre(library({QStringLiteral("folders")}), data).exitCode, 0);
        HeldLock running(databaseOf(data) + QStringLiteral(".updating"));
        QCOMPARE(running.tryLock(), HeldLock::State::Held);
        QProcess *update = startOrvexPre(library({QStringLiteral("update")}), data);
        update->setReadChannel(QProcess::StandardError);
        QByteArray said;
        while (!said.contains('\n') && update->waitForReadyRead(30000))
            said += update->readAllStandardError();
        QVERIFY2(said.contains("orvex-pre: waiting for another program's update of the library " +
                               QFile::encodeName(databaseOf(data)) + " to end\n"),
                 said);
        QVERIFY(update->state() == QProcess::Running);
        running.unlock();
        QVERIFY(update->waitForFinished(60000));
        QCOMPARE(update->exitCode(), 0);
    }

    // Two programs updating at once: the second waits for the first and finds every file
    // stored, so each file is read and stored once, and both report the whole library.
    void twoProgramsStoreEachFileOnce()
    {
        const int count = 30;
        const QString folder = manyFiles(QStringLiteral("shared"), count);
        QVERIFY(!folder.isEmpty());
        const QString data = QStringLiteral("two");
        const QString db = databaseOf(data);
        QCOMPARE(orvexPre(library({QStringLiteral("folders")}), data).exitCode, 0);
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
            raw.setDatabaseName(db);
            QVERIFY(raw.open());
            for (const char *sql : {"CREATE TABLE stores(path TEXT)",
                                    "CREATE TRIGGER stored_new AFTER INSERT ON files"
                                    " BEGIN INSERT INTO stores VALUES(new.path); END",
                                    "CREATE TRIGGER stored_again AFTER UPDATE ON files"
                                    " BEGIN INSERT INTO stores VALUES(new.path); END"})
                QVERIFY(QSqlQuery(raw).exec(QLatin1String(sql)));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));

        QProcess *first = startOrvexPre(library({QStringLiteral("add"), folder}), data);
        QProcess *second = startOrvexPre(library({QStringLiteral("add"), folder}), data);
        for (QProcess *p : {first, second}) {
            QVERIFY(p->waitForFinished(120000));
            QCOMPARE(p->exitCode(), 0);
        }
        const QString stores = QStringLiteral("SELECT count(*) FROM stores WHERE path LIKE ? || '/%'");
        QCOMPARE(ask(db, stores, folder).toInt(), count);
        QCOMPARE(ask(db, QStringLiteral("SELECT count(DISTINCT path) FROM stores")).toInt(),
                 ask(db, QStringLiteral("SELECT count(*) FROM stores")).toInt());
        const QByteArray summary = first->readAllStandardOutput();
        QVERIFY2(summary.contains(QByteArray::number(qint64(count) * PresetCount) + " presets"), summary);
        QCOMPARE(second->readAllStandardOutput(), summary);
    }

    // Programs started together on a new library: every one opens it (no "database is
    // locked"), the folders added while an update runs keep their files, and no file is
    // stored twice.
    void programsStartedTogetherOnANewLibrary()
    {
        const int count = 6;
        QStringList folders;
        for (const char *name : {"togetherA", "togetherB", "togetherC"})
            folders << manyFiles(QLatin1String(name), count);
        QVERIFY(!folders.contains(QString()));
        for (int trial = 0; trial < 2; ++trial) {
            const QString data = QStringLiteral("together%1").arg(trial);
            QList<QProcess *> runs;
            for (int i = 0; i < 5; ++i)
                runs << startOrvexPre(i < 3 ? library({QStringLiteral("add"), folders.at(i)})
                                            : library({QStringLiteral("update")}),
                                      data);
            for (QProcess *p : runs) {
                QVERIFY(p->waitForFinished(120000));
                const QByteArray err = p->readAllStandardError();
                QVERIFY2(p->exitCode() == 0 && !err.contains("locked"), err);
            }
            const QString db = databaseOf(data);
            const QString inFolder = QStringLiteral("SELECT count(*) FROM files WHERE path LIKE ? || '/%'");
            for (const QString &folder : folders)
                QCOMPARE(ask(db, inFolder, folder).toInt(), count);
            QCOMPARE(ask(db, QStringLiteral("SELECT sum(presets) FROM files")).toLongLong(),
                     qint64(folders.size() * count) * PresetCount);
            QCOMPARE(ask(db, QStringLiteral("SELECT count(*) FROM folders WHERE finished = 0")).toInt(), 0);
        }
    }

    // A folder that cannot be read keeps its presets and is named, with a failing exit; once
    // readable again, all is as before. Run as an unprivileged user where the test is root,
    // since permissions do not stop root.
    void anUnreadableFolderKeepsItsFiles()
    {
        const QString folder = home.filePath(QStringLiteral("locking"));
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/inner")));
        QString error;
        for (const char *name : {"/top.pre", "/inner/a.pre", "/inner/b.pre"})
            QVERIFY(savePresetFile(BankStore(), folder + QLatin1String(name), 3, 3, error));
        const QStringList asNobody = QStringLiteral("--reuid=65534 --regid=65534 --clear-groups").split(' ');
        auto run = [&](const QStringList &args) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("locking-data")));
            // A home of its own: the library's first folder (the documents folder) must not be
            // root's, which nobody may read.
            env.insert(QStringLiteral("HOME"), home.path());
            if (::geteuid() != 0)
                return runProgram(QStringLiteral(ORVEX_PRE), library(args), env);
            return runProgram(QStringLiteral("setpriv"), asNobody + QStringList{ORVEX_PRE} + library(args),
                              env);
        };
        for (const QString &d : {home.path(), folder, folder + QStringLiteral("/inner")})
            QVERIFY(::chmod(QFile::encodeName(d).constData(), 0777) == 0);
        const QByteArray all = QByteArray::number(3 * PresetsPerBank) + " presets in 3 files";
        Run r = run({QStringLiteral("add"), folder});
        QVERIFY2(r.exitCode == 0 && r.out.contains(all), r.out + r.err);
        for (const QString &locked : {folder + QStringLiteral("/inner"), folder}) {
            QVERIFY(::chmod(QFile::encodeName(locked).constData(), 0) == 0);
            r = run({QStringLiteral("update")});
            QVERIFY(::chmod(QFile::encodeName(locked).constData(), 0777) == 0);
            QCOMPARE(r.exitCode, 1);
            QVERIFY2(r.out.contains(all), r.out);
            QVERIFY2(r.err.contains(locked.toUtf8() + ": ") && r.err.contains("cannot be read"), r.err);
        }
        r = run({QStringLiteral("update")});
        QVERIFY2(r.exitCode == 0 && r.out.contains(all) && r.err.isEmpty(), r.out + r.err);
    }

    // A row damaged where SQLite's own checks miss it is found by the search that reads it,
    // which says so, rebuilds and answers from the files.
    void aDamagedRowIsRebuiltWhenMet()
    {
        const QString data = QStringLiteral("rows");
        QCOMPARE(orvexPre(library({QStringLiteral("add"), presets}), data).exitCode, 0);
        ask(databaseOf(data), QStringLiteral("UPDATE presets SET records = zeroblob(length(records))"));
        const Run search = orvexPre(library({QStringLiteral("search"), QStringLiteral("schon")}), data);
        QVERIFY2(search.exitCode == 0 && search.err.contains("damaged"), search.err);
        QVERIFY2(search.out.contains("/all.pre\t2\t5\t") && search.out.contains("/old/bank3.pre\t0\t5\t"),
                 search.out);
    }

    void badCommandLinesAndFiles_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("no command") << QStringList{} << 2;
        QTest::newRow("unknown command") << QStringList{QStringLiteral("frob")} << 2;
        QTest::newRow("add without DIR") << QStringList{QStringLiteral("add")} << 2;
        QTest::newRow("add a missing folder")
            << QStringList{QStringLiteral("add"), QStringLiteral("/no/such/dir")} << 1;
        QTest::newRow("where bank 16") << QStringList{QStringLiteral("where"), QStringLiteral("x.pre"),
                                                      QStringLiteral("16"), QStringLiteral("0")}
                                       << 2;
        QTest::newRow("where in a missing file")
            << QStringList{QStringLiteral("where"), QStringLiteral("/no/x.pre"), QStringLiteral("1"),
                           QStringLiteral("0")}
            << 1;
        QTest::newRow("search without text") << QStringList{QStringLiteral("search")} << 2;
    }
    void badCommandLinesAndFiles()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        const Run r = orvexPre(library(args));
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY(r.out.isEmpty());
        QVERIFY(!r.err.isEmpty());
    }

    void aNewLibraryReadsDocumentsBeforeItsFirstSearch()
    {
        // Documents is $HOME/Documents here: no user-dirs.dirs in the test's config folder.
        QVERIFY(QDir().mkpath(home.filePath(QStringLiteral("Documents"))));
        QVERIFY(QFile::copy(presets + QStringLiteral("/old/bank3.pre"),
                            home.filePath(QStringLiteral("Documents/mine.pre"))));
        const Run r =
            orvexPre(library({QStringLiteral("search"), QStringLiteral("schon")}), QStringLiteral("fresh"));
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.endsWith("/Documents/mine.pre\t0\t5\t" +
                                QString::fromUtf8("Sch\xC3\xB6n Pad").toUtf8() + "\tTom\t3\t1\n"),
                 r.out);
    }

    // A change the database refuses is named on standard error with a failing exit.
    void aFailedRemoveIsReported()
    {
        const QString db = home.filePath(QStringLiteral("data/Quillmoth/Orvex_presetmanager/library.db"));
        QVERIFY(QFileInfo::exists(db));
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
            raw.setDatabaseName(db);
            QVERIFY(raw.open());
            QVERIFY(QSqlQuery(raw).exec(QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON folders"
                                                       " BEGIN SELECT RAISE(ABORT, 'folders kept'); END")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
        const Run r = orvexPre(library({QStringLiteral("remove"), presets}));
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("could not be removed") && r.err.contains("folders kept"), r.err);
        const Run folders = orvexPre(library({QStringLiteral("folders")}));
        QVERIFY(folders.out.contains(QDir::cleanPath(presets).toUtf8() + '\n'));
    }

    void damagedDatabaseIsRebuiltFromTheFiles()
    {
        const QString db = home.filePath(QStringLiteral("data/Quillmoth/Orvex_presetmanager/library.db"));
        QVERIFY(QFileInfo::exists(db));
        writeTestFile(db, QByteArray(8192, 'x'));
        const Run r = orvexPre(library({QStringLiteral("search"), QStringLiteral("schon")}));
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.contains("damaged"), r.err);
        QVERIFY2(r.out.contains("/all.pre\t2\t5\t") && r.out.contains("/old/bank3.pre\t0\t5\t"), r.out);
    }

    // Damage in a page no update writes shows only in a check of every page: update
    // checks them, as the window does, and rebuilds the library.
    void updateRepairsADamagedPage()
    {
        const QString db = home.filePath(QStringLiteral("data/Quillmoth/Orvex_presetmanager/library.db"));
        QVERIFY(orvexPre(library({QStringLiteral("update")})).exitCode == 0);
        QFile::remove(db + QStringLiteral(".damaged"));
        qint64 pageSize = 0;
        int root = 0;
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
            raw.setDatabaseName(db);
            QVERIFY(raw.open());
            QSqlQuery q(raw);
            QVERIFY(q.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")));
            QVERIFY(q.exec(QStringLiteral("PRAGMA page_size")) && q.next());
            pageSize = q.value(0).toLongLong();
            QVERIFY(q.exec(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = 'presets'")) &&
                    q.next());
            root = q.value(0).toInt();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
        QVERIFY(root > 1);
        // The presets' own page: an update of unchanged files never reads or writes it.
        QFile f(db);
        QVERIFY(f.open(QIODevice::ReadWrite) && f.seek((root - 1) * pageSize));
        QCOMPARE(f.write(QByteArray(int(pageSize), '\xff')), pageSize);
        f.close();

        const Run r = orvexPre(library({QStringLiteral("update")}));
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.contains("damaged"), r.err);
        QVERIFY(QFileInfo::exists(db + QStringLiteral(".damaged")));
        const Run where = orvexPre(library({QStringLiteral("where"), presets + QStringLiteral("/all.pre"),
                                            QStringLiteral("2"), QStringLiteral("7")}));
        QCOMPARE(where.exitCode, 0);
        QVERIFY2(where.out.contains("/all.pre\t2\t7\t"), where.out);
    }

    // The folders are the user's choice: a lost database comes back covering them, and
    // the copy beside it is not overwritten with the defaults.
    void aLostDatabaseKeepsTheFolders()
    {
        const QString db = home.filePath(QStringLiteral("data/Quillmoth/Orvex_presetmanager/library.db"));
        const QByteArray copy = readTestFile(db + QStringLiteral(".folders"));
        QVERIFY(copy.contains(QDir::cleanPath(presets).toUtf8()));
        for (const char *suffix : {"", "-wal", "-shm"})
            QFile::remove(db + QLatin1String(suffix));
        const Run r = orvexPre(library({QStringLiteral("folders")}));
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, copy);
        QCOMPARE(readTestFile(db + QStringLiteral(".folders")), copy);
    }
};

QTEST_GUILESS_MAIN(TestOrvexPreLibrary)
#include "tst_orvexprelibrary.moc"
