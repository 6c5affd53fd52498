// The library panel in the window: what it finds, and presets from it landing in the
// table like a drop (one undo step, user banks only).
#include "app/mainwindow.h"
#include "common/testfiles.h"
#include "files/heldlock.h"
#include "files/presetfile.h"
#include "library/librarydatabase.h"
#include "library/libraryupdater.h"
#include "views/librarypanel.h"
#include "views/presetgrid.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {

QTemporaryDir *home = nullptr;

QString documents()
{
    return home->filePath(QStringLiteral("docs"));
}

QString libraryFile()
{
    return documents() + QStringLiteral("/backup.pre");
}

// The file's bank index 3, preset index 4 is the one the tests look for.
BankStore fileStore(uint8_t sound)
{
    BankStore store;
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            PresetRecord &r = store.at(b, p);
            r.name = QStringLiteral("F%1-%2").arg(b).arg(p);
            r.author = QStringLiteral("Filer");
            r.params.fill(uint8_t(b * 8 + p % 8));
        }
    PresetRecord &r = store.at(3, 4);
    r.name = QString::fromUtf8("Velvet P\xC3\xA4"
                               "d");
    r.author = QStringLiteral("Zoe");
    r.category = 5;
    r.params.fill(sound);
    return store;
}

struct Window
{
    MainWindow w;
    BankStore before;

    Window()
    {
        for (int b = 0; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p) {
                PresetRecord &r = w.bankStore.at(b, p);
                r.name = QStringLiteral("W%1-%2").arg(b).arg(p);
                r.params.fill(uint8_t(200 + b));
                r.mark = true;
            }
        w.banksLoaded = true;
        w.clearTable();
        w.updateTable(true);
        w.resize(1280, 800);
        w.show();
        w.library()->show();
        before = w.bankStore;
    }

    LibraryPanel &panel() { return *w.library(); }

    bool waitForUpdate()
    {
        QSignalSpy done(w.library(), &LibraryPanel::updateFinished);
        return done.wait(20000);
    }

    // Searches at once (Return) and selects the only result.
    bool findVelvet()
    {
        QSignalSpy shown(&panel(), &LibraryPanel::resultsShown);
        panel().searchEdit->setText(QStringLiteral("VELVET pad zoe"));
        emit panel().searchEdit->returnPressed();
        if (!shown.wait(5000) || panel().results->rowCount() != 1)
            return false;
        panel().resultsView->selectRow(0);
        return true;
    }

    bool drop(const QMimeData *mime, int row, int column)
    {
        const QPoint pos = w.table->visualItemRect(w.table->item(row, column)).center();
        QWidget *vp = w.table->viewport();
        QDragEnterEvent enter(pos, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(vp, &enter);
        QDragMoveEvent move(pos, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(vp, &move);
        if (!enter.isAccepted() || !move.isAccepted())
            return false;
        QDropEvent dropped(pos, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(vp, &dropped);
        return dropped.isAccepted();
    }

    bool isVelvet(int bank, int preset) const
    {
        return w.bankStore.at(bank, preset).author == QLatin1String("Zoe");
    }
    bool unchanged() const
    {
        for (int b = 0; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p)
                if (!w.bankStore.at(b, p).sameContent(before.at(b, p)))
                    return false;
        return true;
    }
};

} // namespace

class TestLibraryPanel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // A home of the test's own: the library's data folder and Documents.
        home = new QTemporaryDir;
        QVERIFY(home->isValid());
        qputenv("XDG_DATA_HOME", home->filePath(QStringLiteral("data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", home->filePath(QStringLiteral("config")).toUtf8());
        QVERIFY(QDir().mkpath(home->filePath(QStringLiteral("config"))));
        QVERIFY(QDir().mkpath(documents()));
        writeTestFile(home->filePath(QStringLiteral("config/user-dirs.dirs")),
                      "XDG_DOCUMENTS_DIR=\"" + documents().toUtf8() + "\"\n");
        QString error;
        QVERIFY(savePresetFile(fileStore(250), libraryFile(), 0, 15, error));
        writeTestFile(documents() + QStringLiteral("/broken.pre"), "<presetbanks>");
    }
    void cleanupTestCase() { delete home; }

    void dropAndSendPlaceOneUndoStepInUserBanks()
    {
        Window win;
        QVERIFY(win.waitForUpdate());
        QVERIFY(win.panel().problemsButton->isVisible()); // broken.pre is listed
        QVERIFY(win.findVelvet());

        std::unique_ptr<QMimeData> mime(win.panel().results->mimeData({win.panel().results->index(0, 0)}));
        QVERIFY(mime);
        QVERIFY(!win.drop(mime.get(), 10, 0)); // the factory bank takes nothing
        QVERIFY(win.unchanged());
        QVERIFY(win.drop(mime.get(), 10, 5));
        QVERIFY(win.isVelvet(5, 10));
        QCOMPARE(int(win.w.bankStore.at(5, 10).params[9]), 250);
        QVERIFY(win.w.table->item(10, 5)->text().startsWith(QLatin1String("Velvet")));
        win.w.on_undo();
        QVERIFY(win.unchanged());

        win.w.table->setCurrentCell(2, 7);
        win.panel().sendButton->click();
        QVERIFY(win.isVelvet(7, 2));
        win.w.on_undo();
        QVERIFY(win.unchanged());

        win.w.table->setCurrentCell(2, 0);
        win.panel().sendButton->click();
        QVERIFY(win.unchanged());
        QVERIFY(win.panel().statusLabel->text().contains(QLatin1String("user bank")));
        // A send that works replaces the request to choose a user cell.
        win.w.table->setCurrentCell(2, 7);
        win.panel().sendButton->click();
        QCOMPARE(win.panel().statusLabel->text(), QStringLiteral("Presets placed: 1, from bank 8, preset 3"));
    }

    // Files of one name in two covered folders must not look alike in the results.
    void filesShowBelowTheirCoveredFolder_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QString>("shown");
        QTest::newRow("below a folder") << "/h/a/test.pre" << QStringList{"/h"} << "a/test.pre";
        QTest::newRow("the deepest folder") << "/h/a/test.pre" << QStringList{"/h", "/h/a"} << "test.pre";
        QTest::newRow("a folder's name is not a prefix")
            << "/ha/test.pre" << QStringList{"/h"} << "/ha/test.pre";
        QTest::newRow("covered by none") << "/x/test.pre" << QStringList() << "/x/test.pre";
        QTest::newRow("folder with a slash") << "/h/b/test.pre" << QStringList{"/h/"} << "b/test.pre";
    }

    void filesShowBelowTheirCoveredFolder()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, folders);
        QFETCH(QString, shown);
        QCOMPARE(LibraryPanel::relativePath(path, folders), shown);
    }

    void whereElseAndAChangedFile()
    {
        Window win;
        QVERIFY(win.waitForUpdate());
        win.w.bankStore.at(9, 3).params.fill(250);
        win.w.bankStore.at(9, 3).name = QStringLiteral("Mine");
        win.w.table->setCurrentCell(3, 9);
        win.panel().searchEdit->setText(QStringLiteral("old word"));
        win.panel().whereButton->click();
        QTRY_COMPARE(win.panel().results->rowCount(), 1);
        // The field says what the results answer, not the word searched before.
        QVERIFY(win.panel().searchEdit->text().isEmpty());
        QCOMPARE(win.panel().searchEdit->placeholderText(), QStringLiteral("Same sound as \"Mine\""));
        QCOMPARE(win.panel().results->item(0, 5)->text(), QStringLiteral("backup.pre"));
        // A screen reader hears the result as it hears a cell of the table, with its file.
        QCOMPARE(win.panel().results->item(0, 0)->data(Qt::AccessibleTextRole).toString(),
                 QString::fromUtf8("Velvet P\xC3\xA4"
                                   "d, Zoe, Gospel/Blues, bank 4, preset 5, in backup.pre"));
        // People count from 1.
        QCOMPARE(win.panel().results->item(0, 3)->data(Qt::DisplayRole).toInt(), 4);
        QCOMPARE(win.panel().results->item(0, 4)->data(Qt::DisplayRole).toInt(), 5);

        // The file changes behind the index: the old result is not taken for the new sound.
        QVERIFY(win.findVelvet());
        QString error;
        QVERIFY(savePresetFile(fileStore(251), libraryFile(), 0, 15, error));
        QVERIFY(win.panel().selectedPresets().isEmpty());
        QVERIFY(win.panel().statusLabel->text().contains(QLatin1String("changed")));
        QVERIFY(win.waitForUpdate());
        QVERIFY(win.findVelvet());
        QCOMPARE(int(win.panel().selectedPresets().value(0).params[0]), 251);
    }

    void ctrlLGoesToTheLibraryAndBackAndNewFilesAreFound()
    {
        Window win;
        QVERIFY(win.waitForUpdate());
        win.w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&win.w));
        win.w.table->setFocus();
        // From the table into the open dock's search field, Escape back; Ctrl+L in the
        // dock closes it, and the next one opens it with the focus in the field again.
        const std::pair<Qt::Key, bool> steps[] = {{Qt::Key_L, true},
                                                  {Qt::Key_Escape, false},
                                                  {Qt::Key_L, true},
                                                  {Qt::Key_L, false},
                                                  {Qt::Key_L, true}};
        for (const auto &[key, intoLibrary] : steps) {
            QTest::keyClick(QApplication::focusWidget(), key,
                            key == Qt::Key_L ? Qt::ControlModifier : Qt::NoModifier);
            QCOMPARE(QApplication::focusWidget(),
                     intoLibrary ? static_cast<QWidget *>(win.panel().searchEdit) : win.w.table);
            QCOMPARE(win.panel().isVisible(), intoLibrary || key == Qt::Key_Escape);
            QCOMPARE(win.w.libraryButton->isChecked(), win.panel().isVisible());
        }

        // A file saved into a covered folder is found without asking.
        BankStore store = fileStore(250);
        store.at(0, 0).name = QStringLiteral("Newcomer");
        QString error;
        QVERIFY(savePresetFile(store, documents() + QStringLiteral("/new.pre"), 0, 0, error));
        win.panel().searchEdit->setText(QStringLiteral("newcomer"));
        QTRY_COMPARE_WITH_TIMEOUT(win.panel().results->rowCount(), 1, 15000);
        QVERIFY(QFile::remove(documents() + QStringLiteral("/new.pre")));
    }

    void longNamesLeaveBankPresetAndFileInView()
    {
        Window win;
        QVERIFY(win.waitForUpdate());
        BankStore store = fileStore(250);
        store.at(0, 0).name = QStringLiteral("Longname ") + QString(200, QLatin1Char('w'));
        store.at(0, 0).author = QString(200, QLatin1Char('m'));
        const QString file = documents() + QStringLiteral("/long.pre");
        QString error;
        QVERIFY(savePresetFile(store, file, 0, 0, error));
        win.panel().searchEdit->setText(QStringLiteral("longname"));
        QTRY_COMPARE_WITH_TIMEOUT(win.panel().results->rowCount(), 1, 15000);
        const QHeaderView *header = win.panel().resultsView->horizontalHeader();
        const int width = win.panel().resultsView->viewport()->width();
        for (int column : {3, 4}) // bank and preset whole
            QVERIFY2(
                header->sectionViewportPosition(column) + header->sectionSize(column) <= width,
                qPrintable(QStringLiteral("column %1 ends at %2 of %3")
                               .arg(column)
                               .arg(header->sectionViewportPosition(column) + header->sectionSize(column))
                               .arg(width)));
        // The file column starts with room for its name; the preset's name gave way last.
        QVERIFY(width - header->sectionViewportPosition(5) >=
                win.panel().resultsView->fontMetrics().horizontalAdvance(QStringLiteral("long.pre")));
        QVERIFY(header->sectionSize(0) > header->sectionSize(1));
        QVERIFY(QFile::remove(file));
    }

    // Typing on while a search runs: the window does not wait for it, and its result
    // never shows once the field says something else.
    void aNewerSearchSupersedesAnOlderOne()
    {
        Window win;
        QVERIFY(win.waitForUpdate());
        QSignalSpy rows(win.panel().results, &QAbstractItemModel::rowsInserted);
        win.panel().searchEdit->setText(QStringLiteral("velvet"));
        emit win.panel().searchEdit->returnPressed();
        QCOMPARE(rows.count(), 0);
        win.panel().searchEdit->setText(QStringLiteral("velvet nowhere"));
        QTRY_COMPARE_WITH_TIMEOUT(win.panel().statusLabel->text(), QStringLiteral("Presets found: 0"), 10000);
        QCOMPARE(rows.count(), 0);
    }

    void whatWasTypedBeforeTheLibraryOpenedIsSearchedOnceItIs()
    {
        {
            Window indexing; // so that the update below reads nothing new
            QVERIFY(indexing.waitForUpdate());
        }
        Window win;
        QSignalSpy shown(&win.panel(), &LibraryPanel::resultsShown);
        win.panel().searchEdit->setText(QStringLiteral("velvet"));
        emit win.panel().searchEdit->returnPressed();
        QVERIFY(win.panel().statusLabel->text().contains(QLatin1String("not ready")));
        QVERIFY(shown.wait(20000));
        QCOMPARE(win.panel().results->rowCount(), 1);
    }

    // Folder changes are handed to the updater; one the database refuses says so.
    void aFailedRemoveIsShown()
    {
        Window win;
        QVERIFY(win.waitForUpdate());
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
            raw.setDatabaseName(LibraryDatabase::defaultPath());
            QVERIFY(raw.open());
            QVERIFY(QSqlQuery(raw).exec(QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON folders"
                                                       " BEGIN SELECT RAISE(ABORT, 'folders kept'); END")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
        QMenu *menu = win.panel().foldersButton->menu();
        emit menu->aboutToShow();
        QAction *remove = nullptr;
        for (QAction *a : menu->actions())
            if (a->text().contains(QDir::toNativeSeparators(documents())))
                remove = a;
        QVERIFY(remove);
        remove->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(win.panel().statusLabel->text().contains(QLatin1String("folders kept")),
                                 20000);
        QVERIFY2(win.panel().statusLabel->text().contains(QLatin1String("could not be removed")),
                 qPrintable(win.panel().statusLabel->text()));
        QTRY_VERIFY_WITH_TIMEOUT(!win.panel().updater->isRunning(), 20000);
        QVERIFY(win.findVelvet()); // still covered
        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        raw.setDatabaseName(LibraryDatabase::defaultPath());
        QVERIFY(raw.open() && QSqlQuery(raw).exec(QStringLiteral("DROP TRIGGER keep")));
        raw.close();
        raw = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    }

    // A covered folder that cannot be read (a link to itself: root reads anything else) keeps
    // the panel's status naming it until it reads again.
    void anUnreadableFolderIsNamed()
    {
        const QString loop = home->filePath(QStringLiteral("loop"));
        QVERIFY(QFile::link(loop, loop));
        Window win;
        QVERIFY(win.waitForUpdate());
        LibraryDatabase db(LibraryDatabase::defaultPath());
        QVERIFY(db.open({}) && db.addFolder(loop));
        win.panel().startUpdate();
        QVERIFY(win.waitForUpdate());
        const QString status = win.panel().statusLabel->text();
        QVERIFY2(status.contains(QLatin1String("Not readable")) && status.contains(loop), qPrintable(status));
        QVERIFY(db.removeFolder(loop));
    }

    void damagedDatabaseIsRebuiltWithAMessage()
    {
        const QString db = LibraryDatabase::defaultPath();
        QVERIFY(db.startsWith(home->path()));
        QVERIFY(QFileInfo::exists(db));
        writeTestFile(db, QByteArray(10000, '#'));
        Window win;
        QVERIFY(win.waitForUpdate());
        QVERIFY(win.panel().statusLabel->text().contains(QLatin1String("rebuilt")));
        QVERIFY(win.findVelvet());
    }

    // An update that waits for another program's says so in the status; the summary takes
    // its place once that one ends.
    void aWaitingUpdateIsShown()
    {
        QVERIFY(QDir().mkpath(QFileInfo(LibraryDatabase::defaultPath()).path()));
        HeldLock running(LibraryDatabase::defaultPath() + QStringLiteral(".updating"));
        QCOMPARE(running.tryLock(), HeldLock::State::Held);
        Window win;
        const QString waiting = QStringLiteral("Waiting for another program's update of the library to end…");
        QTRY_COMPARE_WITH_TIMEOUT(win.panel().statusLabel->text(), waiting, 20000);
        running.unlock();
        QVERIFY(win.waitForUpdate());
        QVERIFY(!win.panel().statusLabel->text().contains(waiting));
    }
};

QTEST_MAIN(TestLibraryPanel)
#include "tst_librarypanel.moc"
