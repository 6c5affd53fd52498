// The save and load flows of the main window, driven through their dialogs as a user
// would: what ends up in files, in the store, the table, the history and "defaultpath".
#include "app/filecontroller.h"
#include "app/mainwindow.h"
#include "base/appidentity.h"
#include "base/brokenpipes.h"
#include "common/altkeys.h"
#include "common/fifowatch.h"
#include "common/programrun.h"
#include "common/quittingreader.h"
#include "common/testfiles.h"
#include "device/backupcatalog.h"
#include "dialogs/bankloaddialog.h"
#include "dialogs/banksavedialog.h"
#include "editing/fileflows.h"
#include "files/presetfile.h"
#include "files/recentfiles.h"
#include "files/syxfile.h"
#include "model/selectionmask.h"
#include "views/presetgrid.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

// Answers the modal dialogs of one flow in order. A dialog for which no answer is left
// is noted and closed, so an unexpected question fails the test instead of hanging it.
// Each answer may leave its dialog open; it is closed afterwards so a failed check
// inside an answer cannot block the flow either.
class ModalScript
{
public:
    using Answer = std::function<void(QWidget *)>;

    explicit ModalScript(QList<Answer> answers) : answers(std::move(answers))
    {
        QObject::connect(&timer, &QTimer::timeout, [this] { poll(); });
        timer.start(5);
    }

    QStringList unexpected; // class names of dialogs nobody expected
    int answered = 0;
    bool done() const { return answers.isEmpty(); }

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal == current)
            return;
        current = modal;
        if (answers.isEmpty()) {
            unexpected << QString::fromLatin1(modal->metaObject()->className());
        } else {
            ++answered;
            answers.takeFirst()(modal);
        }
        if (current && current->isVisible())
            current->close();
    }

    QList<Answer> answers;
    QPointer<QWidget> current;
    QTimer timer;
};

QString boxText(QWidget *modal)
{
    auto *box = qobject_cast<QMessageBox *>(modal);
    return box ? box->text()
               : QStringLiteral("(not a message box: %1)").arg(modal->metaObject()->className());
}

ModalScript::Answer noteText(QString &into)
{
    return [&into](QWidget *m) { into = boxText(m); };
}

ModalScript::Answer promptButton(QMessageBox::StandardButton which)
{
    return [which](QWidget *m) {
        if (auto *box = qobject_cast<QMessageBox *>(m))
            QTest::mouseClick(box->button(which), Qt::LeftButton);
    };
}

// BankSaveDialog: "All" (bank < 1) or "Select:" with the item naming bank index `bank`.
ModalScript::Answer saveBanks(int bank)
{
    return [bank](QWidget *m) {
        auto *d = qobject_cast<BankSaveDialog *>(m);
        QVERIFY(d);
        if (bank >= 1) {
            QTest::mouseClick(d->rbsel, Qt::LeftButton);
            d->selBox->setCurrentIndex(bank - 1);
        }
        QTest::mouseClick(d->okButton, Qt::LeftButton);
    };
}

// BankLoadDialog: the item naming bank index `bank`.
ModalScript::Answer loadInto(int bank)
{
    return [bank](QWidget *m) {
        auto *d = qobject_cast<BankLoadDialog *>(m);
        QVERIFY(d);
        d->selBox->setCurrentIndex(bank - 1);
        QTest::mouseClick(d->okButton, Qt::LeftButton);
    };
}

// Stands in for the user at the platform's file dialogs.
struct FileAnswer
{
    explicit FileAnswer(QString answer = QString()) : name(std::move(answer)) {}

    QString name;       // empty: the user cancels
    QString pickFilter; // chosen in the save dialog; empty: the one offered is kept
    int asked = 0;
    QWidget *parent = nullptr;
    QString caption, directory, filter, offeredFilter;

    FileDialogs::Ask ask()
    {
        return [this](QWidget *p, const QString &c, const QString &d, const QString &f) {
            ++asked;
            parent = p;
            caption = c;
            directory = d;
            filter = f;
            return name;
        };
    }

    FileDialogs::AskSave askSave()
    {
        return [this, open = ask()](QWidget *p, const QString &c, const QString &d, const QString &f,
                                    QString *selected) {
            offeredFilter = *selected;
            if (!pickFilter.isEmpty())
                *selected = pickFilter;
            return open(p, c, d, f);
        };
    }
};

void fillStore(BankStore &store, const QString &tag)
{
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            PresetRecord &r = store.at(b, p);
            r.name = QStringLiteral("%1 %2/%3").arg(tag).arg(b).arg(p);
            r.author = tag;
            r.category = (b + p) % 14;
            r.params.fill(uint8_t(b * 16 + p));
            r.mark = true;
        }
}

// A window whose banks count as loaded, every cell built, nothing modified.
void loadDistinct(MainWindow &w, const QString &tag = QStringLiteral("win"))
{
    fillStore(w.bankStore, tag);
    w.banksLoaded = true;
    w.updateTable(true);
}

void editOnePreset(MainWindow &w)
{
    w.history.startNewGroup = true;
    w.recordUndo(3, 3);
    w.bankStore.at(3, 3).name = QStringLiteral("edited");
    w.bankStore.at(3, 3).mark = true;
    w.updateTable(true);
}

bool sameBank(const BankStore &a, int bankA, const BankStore &b, int bankB)
{
    for (int p = 0; p < PresetsPerBank; ++p)
        if (!a.at(bankA, p).sameContent(b.at(bankB, p)))
            return false;
    return true;
}

bool sameStore(const BankStore &a, const BankStore &b)
{
    for (int bank = 0; bank < BankCount; ++bank)
        if (!sameBank(a, bank, b, bank))
            return false;
    return true;
}

// Every cell has an item showing its record, and the column headers are there.
bool tableShowsStore(MainWindow &w)
{
    for (int b = 0; b < BankCount; ++b) {
        QTableWidgetItem *header = w.table->horizontalHeaderItem(b);
        const QString label = b == 0 ? QStringLiteral("1: Factory") : QStringLiteral("%1: User").arg(b + 1);
        if (!header || header->text() != label)
            return false;
        for (int p = 0; p < PresetsPerBank; ++p) {
            QTableWidgetItem *item = w.table->item(p, b);
            if (!item || item->text().section(QLatin1Char('\n'), 0, 0) != w.bankStore.at(b, p).name)
                return false;
        }
    }
    return true;
}

QString defaultPath()
{
    return QSettings().value(QStringLiteral("defaultpath")).toString();
}

} // namespace

class TestFileFlows : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }

    // A file of the given banks of a store filled with `tag`.
    QString presetFile(const QString &name, const QString &tag, int first = 0, int last = BankCount - 1)
    {
        BankStore store;
        fillStore(store, tag);
        QString errorText;
        const QString file = path(name);
        if (!savePresetFile(store, file, first, last, errorText))
            qFatal("can't write test file %s", qPrintable(file));
        return file;
    }

    QString rawFile(const QString &name, const QByteArray &content)
    {
        QFile f(path(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
            qFatal("can't write test file");
        return f.fileName();
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void recentFilesKeepTheNewestEightOnce()
    {
        QStringList list;
        for (int i = 0; i < 10; ++i)
            list = RecentFiles::withFile(list, path(QStringLiteral("f%1.pre").arg(i)));
        QCOMPARE(list.size(), RecentFiles::MaxFiles);
        QCOMPARE(list.first(), path(QStringLiteral("f9.pre")));
        QCOMPARE(list.last(), path(QStringLiteral("f2.pre")));
        // Opened again, by another spelling of the same path: moved to the front, not doubled.
        list = RecentFiles::withFile(list, dir.path() + QStringLiteral("/./sub/../f5.pre"));
        QCOMPARE(list.size(), RecentFiles::MaxFiles);
        QCOMPARE(list.first(), path(QStringLiteral("f5.pre")));
        QCOMPARE(list.count(path(QStringLiteral("f5.pre"))), 1);
        // What a hand-edited setting holds is read by the same rules.
        QSettings().setValue("recentfiles", QStringList{"", path("a.pre"), path("a.pre"), path("b.pre")});
        QSettings settings;
        QCOMPARE(RecentFiles(settings).files(), (QStringList{path("a.pre"), path("b.pre")}));
    }

    void recentFilesOnTheLoadButton()
    {
        MainWindow w;
        QAction *none = nullptr;
        auto entries = [&w, &none] {
            emit w.recentMenu->aboutToShow();
            QList<QAction *> files;
            for (QAction *a : w.recentMenu->actions())
                if (!a->isSeparator() && a->text() != QLatin1String("Clear the list"))
                    files << a;
            none = files.size() == 1 && !files.first()->isEnabled() ? files.first() : nullptr;
            return files;
        };
        QCOMPARE(entries().size(), 1);
        QVERIFY(none); // "No recent files", greyed

        BankStore full;
        fillStore(full, QStringLiteral("full"));
        QString error;
        const QString first = path(QStringLiteral("recent-a.pre"));
        const QString second = path(QStringLiteral("recent-b.pre"));
        QVERIFY(savePresetFile(full, first, 0, BankCount - 1, error));
        QVERIFY(savePresetFile(full, second, 0, BankCount - 1, error));
        FileAnswer file(first);
        w.fileDialogs.openFileName = file.ask();
        w.on_Load();
        QVERIFY(w.banksLoaded);
        // Saved under a second name: the newest first.
        FileAnswer saveAs(second);
        w.fileDialogs.saveFileName = saveAs.askSave();
        ModalScript script({saveBanks(-1)});
        w.on_Save();
        QVERIFY(script.done());
        QList<QAction *> listed = entries();
        QCOMPARE(listed.size(), 2);
        QVERIFY(listed.at(0)->text().contains(QStringLiteral("recent-b.pre")));
        QVERIFY(listed.at(1)->text().contains(QStringLiteral("recent-a.pre")));
        QVERIFY(listed.at(0)->isEnabled() && listed.at(1)->isEnabled());

        // A file that is gone is greyed; choosing one that is there opens it, no dialog asked.
        QVERIFY(QFile::remove(second));
        listed = entries();
        QVERIFY(!listed.at(0)->isEnabled());
        w.bankStore.at(4, 4).name = QStringLiteral("changed");
        w.setCurrentFile(QString());
        file.asked = 0;
        listed.at(1)->trigger();
        QCOMPARE(file.asked, 0);
        QCOMPARE(w.document.fileName(), first);
        QCOMPARE(w.bankStore.at(4, 4).name, full.at(4, 4).name);
        QCOMPARE(entries().first()->text().contains(QStringLiteral("recent-a.pre")), true);
    }

    void init()
    {
        AppIdentity::apply();
        QSettings().clear();
    }

    void saveAllBanksClearsModified_data()
    {
        QTest::addColumn<bool>("selectFirst");
        QTest::newRow("all") << false;
        QTest::newRow("select:, an item, then all again") << true;
    }

    void saveAllBanksClearsModified()
    {
        QFETCH(bool, selectFirst);
        MainWindow w;
        loadDistinct(w);
        editOnePreset(w);
        QDir(dir.path()).mkpath(QStringLiteral("saves"));
        QSettings().setValue("defaultpath", dir.path());
        FileAnswer file{path("saves/all.pre")};
        w.fileDialogs.saveFileName = file.askSave();

        bool boxDisabledAgain = true;
        ModalScript script({[&](QWidget *m) {
            auto *d = qobject_cast<BankSaveDialog *>(m);
            QVERIFY(d);
            if (selectFirst) {
                QTest::mouseClick(d->rbsel, Qt::LeftButton);
                d->selBox->setCurrentIndex(6);
                QTest::mouseClick(d->rball, Qt::LeftButton);
                boxDisabledAgain = !d->selBox->isEnabled();
            }
            QTest::mouseClick(d->okButton, Qt::LeftButton);
        }});
        w.on_Save();

        QVERIFY(script.done() && script.unexpected.isEmpty());
        QVERIFY(boxDisabledAgain);
        QCOMPARE(file.asked, 1);
        QCOMPARE(file.parent, &w);
        QCOMPARE(file.caption, QStringLiteral("Save preset file"));
        QCOMPARE(file.directory, dir.path());
        QCOMPARE(file.filter, QStringLiteral("Presets (*.pre);;SysEx (*.syx);;Standard MIDI File (*.mid)"));
        QVERIFY(!w.modified);
        QCOMPARE(w.historyPos(), 1); // saving leaves the history alone
        QCOMPARE(defaultPath(), path("saves"));

        QString errorText;
        QCOMPARE(countPresetFileBanks(file.name, errorText), 16);
        BankStore back;
        QVERIFY(loadPresetFile(back, file.name, 0, 15, errorText));
        QVERIFY(sameStore(back, w.bankStore));
        QCOMPARE(back.at(3, 3).name, QStringLiteral("edited"));
    }

    void saveOneBankKeepsModified()
    {
        MainWindow w;
        loadDistinct(w);
        editOnePreset(w);
        FileAnswer file{path("bank16.pre")};
        w.fileDialogs.saveFileName = file.askSave();

        ModalScript script({saveBanks(15)}); // item "16"
        w.on_Save();

        QVERIFY(script.done() && script.unexpected.isEmpty());
        QVERIFY(w.modified);
        QString errorText;
        QCOMPARE(countPresetFileBanks(file.name, errorText), 1);
        BankStore back;
        QVERIFY(loadPresetFile(back, file.name, 4, 4, errorText));
        QVERIFY(sameBank(back, 4, w.bankStore, 15));
        QVERIFY(!sameBank(back, 4, w.bankStore, 14));
    }

    // One bank saved over the file the title names replaces the whole document there: asked
    // first, naming both; afterwards the document counts as saved nowhere.
    void oneBankOverTheDocumentsFileAsksFirst_data()
    {
        QTest::addColumn<bool>("replace");
        QTest::newRow("cancelled") << false;
        QTest::newRow("replaced") << true;
    }
    void oneBankOverTheDocumentsFileAsksFirst()
    {
        QFETCH(bool, replace);
        const QString studio = presetFile(QStringLiteral("studio.pre"), QStringLiteral("studio"));
        BankStore banks;
        fillStore(banks, QStringLiteral("studio"));
        MainWindow w;
        w.replaceDocument(banks, Document::Source::File, studio);
        QCOMPARE(w.windowTitle(), QStringLiteral("studio.pre[*] - Orvex+ Preset Manager"));
        QVERIFY(!w.isWindowModified());
        // Typed without its extension: still the document's file.
        FileAnswer file{path("studio")};
        w.fileDialogs.saveFileName = file.askSave();
        QString question;
        auto script = std::make_unique<ModalScript>(QList<ModalScript::Answer>{
            saveBanks(5), [&](QWidget *m) {
                auto *box = qobject_cast<QMessageBox *>(m);
                QVERIFY(box);
                question = box->text() + QLatin1Char('|') + box->informativeText();
                QCOMPARE(box->defaultButton(), box->button(QMessageBox::Cancel));
                QCOMPARE(altKeyFault(box), QString());
                for (QAbstractButton *b : box->buttons())
                    if (b->text() == (replace ? QStringLiteral("&Replace") : QStringLiteral("&Cancel")))
                        b->click();
            }});
        w.on_Save();
        QVERIFY(script->done() && script->unexpected.isEmpty());
        script.reset();
        QCOMPARE(question,
                 QStringLiteral("studio.pre is the document's file.|It holds all 16 banks. Saving bank 6 "
                                "alone there replaces all of it, and the document then counts as "
                                "unsaved."));
        QString errorText;
        QCOMPARE(countPresetFileBanks(studio, errorText), replace ? 1 : 16);
        QCOMPARE(w.modified, replace);
        QCOMPARE(w.isWindowModified(), replace);
        QCOMPARE(w.windowTitle(), QStringLiteral("studio.pre[*] - Orvex+ Preset Manager"));
        if (!replace)
            return;
        // Closing asks now; undo and redo never reach a saved state again.
        ModalScript prompt({promptButton(QMessageBox::Cancel)});
        QVERIFY(!w.close());
        QVERIFY(prompt.done());
        editOnePreset(w);
        w.on_undo();
        QVERIFY(w.modified);
    }

    // The close prompt's Save runs the same flow: the window closes only when all banks
    // were saved.
    void closePromptSaveRunsTheSaveFlow()
    {
        MainWindow w;
        loadDistinct(w);
        editOnePreset(w);
        w.show();
        FileAnswer file{path("from-prompt.pre")};
        w.fileDialogs.saveFileName = file.askSave();
        {
            ModalScript script({promptButton(QMessageBox::Save), saveBanks(4)});
            QVERIFY(!w.close());
            QVERIFY(script.done() && script.unexpected.isEmpty());
        }
        QVERIFY(w.isVisible());
        QVERIFY(w.modified);
        {
            ModalScript script({promptButton(QMessageBox::Save), saveBanks(-1)});
            QVERIFY(w.close());
            QVERIFY(script.done() && script.unexpected.isEmpty());
        }
        QVERIFY(!w.modified);
        QString errorText;
        QCOMPARE(countPresetFileBanks(file.name, errorText), 16);
    }

    // Save, undo, save again, redo: the banks differ from the file, so closing asks; undo
    // back to what was saved and it closes without a question. The title follows.
    void undoAroundSavesFollowsTheSavedState()
    {
        MainWindow w;
        loadDistinct(w);
        editOnePreset(w);
        w.show();
        FileAnswer file{path("round.pre")};
        w.fileDialogs.saveFileName = file.askSave();
        auto saveAll = [&] {
            ModalScript script({saveBanks(-1)});
            w.on_Save();
            QVERIFY(script.done() && script.unexpected.isEmpty());
        };
        saveAll();
        QCOMPARE(w.windowTitle(), QStringLiteral("round.pre[*] - Orvex+ Preset Manager"));
        QVERIFY(!w.isWindowModified());
        w.on_undo();
        QVERIFY(w.modified && w.isWindowModified());
        saveAll();
        QVERIFY(!w.modified && !w.isWindowModified());
        w.on_redo();
        QVERIFY(w.modified && w.isWindowModified());
        {
            ModalScript script({promptButton(QMessageBox::Cancel)});
            QVERIFY(!w.close());
            QVERIFY(script.done() && script.unexpected.isEmpty());
        }
        w.on_undo();
        QVERIFY(!w.modified);
        ModalScript none({});
        QVERIFY(w.close());
        QVERIFY(none.unexpected.isEmpty());
    }

    // "mine" is saved as "mine.pre", in the documents folder's dialog; an existing
    // "mine.pre" is replaced only when the user says so.
    void saveAddsTheExtension()
    {
        MainWindow w;
        loadDistinct(w);
        editOnePreset(w);
        FileAnswer file{path("mine")};
        w.fileDialogs.saveFileName = file.askSave();
        const auto save = [&](QList<ModalScript::Answer> answers) {
            ModalScript script(answers);
            w.on_Save();
            QVERIFY(script.done() && script.unexpected.isEmpty());
        };
        save({saveBanks(-1)});
        QCOMPARE(file.directory, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
        QVERIFY(!QFile::exists(path("mine")));
        QString errorText;
        QCOMPARE(countPresetFileBanks(path("mine.pre"), errorText), 16);
        QCOMPARE(w.windowTitle(), QStringLiteral("mine.pre[*] - Orvex+ Preset Manager"));

        editOnePreset(w);
        const QByteArray before = presetFileText(w.bankStore, 0, 15);
        QString question;
        save({saveBanks(-1), [&](QWidget *m) {
                  question = boxText(m);
                  promptButton(QMessageBox::No)(m);
              }});
        QCOMPARE(question, QStringLiteral("mine.pre already exists.\nDo you want to replace it?"));
        QVERIFY(w.modified);
        save({saveBanks(-1), promptButton(QMessageBox::Yes)});
        QVERIFY(!w.modified);
        QFile saved(path("mine.pre"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), before);
    }

    // Ctrl+S writes all banks to the file the title names without a question while that file
    // holds all 16 banks; once it holds less (one bank saved over it) or none is named, it is the
    // Save flow, whose file dialog opens on the named file. Ctrl+Shift+S is the Save flow always.
    void ctrlSResavesTheNamedFile()
    {
        MainWindow w;
        loadDistinct(w);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        FileAnswer file{path("named.pre")};
        w.fileDialogs.saveFileName = file.askSave();
        const auto keys = [&](QKeyCombination key, QList<ModalScript::Answer> answers) {
            w.activateWindow(); // a closed dialog leaves no active window behind on offscreen
            QVERIFY(QTest::qWaitForWindowActive(&w));
            ModalScript script(answers);
            QTest::keyClick(&w, key.key(), key.keyboardModifiers());
            QVERIFY(script.done() && script.unexpected.isEmpty());
        };
        keys(Qt::CTRL | Qt::Key_S, {saveBanks(-1)}); // nothing named yet: the Save flow
        QCOMPARE(file.asked, 1);
        QCOMPARE(w.document.fileName(), path("named.pre"));

        editOnePreset(w);
        keys(Qt::CTRL | Qt::Key_S, {});
        QCOMPARE(file.asked, 1);
        QVERIFY(!w.modified);
        QCOMPARE(w.statusBar()->currentMessage(), QStringLiteral("Saved to named.pre"));
        QFile saved(path("named.pre"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), presetFileText(w.bankStore, 0, 15));
        saved.close();

        // The Save flow opens on the named file; typed without its extension, replacing the
        // document's own file is the question's default.
        file.name = path("named");
        keys(Qt::CTRL | Qt::SHIFT | Qt::Key_S,
             {saveBanks(-1), [](QWidget *m) {
                  auto *box = qobject_cast<QMessageBox *>(m);
                  QVERIFY(box && box->defaultButton() == box->button(QMessageBox::Yes));
                  QTest::keyClick(box, Qt::Key_Return);
              }});
        QCOMPARE(file.asked, 2);
        QCOMPARE(file.directory, path("named.pre"));

        // One bank over it: the named file no longer holds the document, so Ctrl+S asks again.
        file.name = path("named.pre");
        keys(Qt::CTRL | Qt::SHIFT | Qt::Key_S, {saveBanks(4), promptButton(QMessageBox::Cancel)});
        QCOMPARE(file.asked, 3);
        editOnePreset(w);
        keys(Qt::CTRL | Qt::SHIFT | Qt::Key_S,
             {saveBanks(4), [](QWidget *m) {
                  auto *box = qobject_cast<QMessageBox *>(m);
                  QVERIFY(box);
                  for (QAbstractButton *b : box->buttons())
                      if (box->buttonRole(b) == QMessageBox::DestructiveRole)
                          QTest::mouseClick(b, Qt::LeftButton);
              }});
        QVERIFY(w.modified);
        keys(Qt::CTRL | Qt::Key_S, {[](QWidget *m) { QVERIFY(qobject_cast<BankSaveDialog *>(m)); }});
        QCOMPARE(file.asked, 4); // the bank dialog was closed: no file dialog this time
    }

    // The program's own save dialog opens on the name it is given; replacing the file chosen
    // there asks with Replace as the default, and the other answer goes back to the dialog.
    void replacingTheChosenNameDefaultsToReplace()
    {
        QFile existing(path("chosen.pre"));
        QVERIFY(existing.open(QIODevice::WriteOnly) && existing.write("old") == 3);
        existing.close();
        FileDialogs dialogs;
        QString filter = QStringLiteral("Presets (*.pre)");
        QStringList defaults;
        auto replaceAnswer = [&](bool replace) {
            return [&defaults, replace](QWidget *m) {
                auto *box = qobject_cast<QMessageBox *>(m);
                QVERIFY(box && box->defaultButton());
                defaults << box->defaultButton()->text();
                for (QAbstractButton *b : box->buttons())
                    if ((box->buttonRole(b) == QMessageBox::AcceptRole) == replace)
                        b->click();
            };
        };
        auto keepName = [](QWidget *m) {
            QVERIFY(qobject_cast<QFileDialog *>(m));
            QTest::keyClick(m, Qt::Key_Return); // the name it opened on
        };
        ModalScript script({keepName, replaceAnswer(false), keepName, replaceAnswer(true)});
        const QString name =
            dialogs.saveFileName(nullptr, QStringLiteral("Save"), path("chosen.pre"), filter, &filter);
        QVERIFY(script.done() && script.unexpected.isEmpty());
        QCOMPARE(QFileInfo(name).canonicalFilePath(), QFileInfo(path("chosen.pre")).canonicalFilePath());
        QCOMPARE(defaults, (QStringList{"&Replace", "&Replace"}));
    }

    // The typed name's extension decides the format; a name without one gets the extension
    // of the filter left chosen, and the question before replacing names that file.
    void saveFollowsTheChosenFilter_data()
    {
        QTest::addColumn<QString>("pick"); // empty: the offered filter is kept
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("bank"); // -1: all banks
        QTest::addColumn<bool>("existed");
        QTest::addColumn<QString>("written");
        QTest::addColumn<int>("syxPresets"); // 0: a preset file
        const QString pre = QStringLiteral("Presets (*.pre)"), syx = QStringLiteral("SysEx (*.syx)");
        QTest::newRow("SysEx, all banks") << syx << "mybank" << -1 << false << "mybank.syx" << 15 * 128;
        QTest::newRow("SysEx, one bank") << syx << "mybank" << 4 << false << "mybank.syx" << 128;
        QTest::newRow("SysEx, replacing asks") << syx << "mybank" << -1 << true << "mybank.syx" << 15 * 128;
        QTest::newRow("Presets, one bank") << pre << "mybank" << 4 << false << "mybank.pre" << 0;
        QTest::newRow("offered filter kept") << QString() << "mybank" << -1 << false << "mybank.pre" << 0;
        QTest::newRow("SysEx, .pre typed") << syx << "mybank.pre" << -1 << false << "mybank.pre" << 0;
        QTest::newRow("Presets, .SYX typed") << pre << "mybank.SYX" << 4 << false << "mybank.SYX" << 128;
        QTest::newRow("SysEx, other extension") << syx << "my.bank" << -1 << false << "my.bank" << 15 * 128;
        QTest::newRow("Presets, other extension") << pre << "my.bank" << 4 << false << "my.bank" << 0;
    }

    void saveFollowsTheChosenFilter()
    {
        QFETCH(QString, pick);
        QFETCH(QString, typed);
        QFETCH(int, bank);
        QFETCH(bool, existed);
        QFETCH(QString, written);
        QFETCH(int, syxPresets);
        QTemporaryDir folder;
        const QString target = folder.filePath(written);
        QFile old(target);
        if (existed)
            QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3 && old.flush());
        MainWindow w;
        loadDistinct(w);
        w.syxLossesAccepted = true; // what a SysEx file can't keep is asked in the SysEx tests
        FileAnswer file{folder.filePath(typed)};
        file.pickFilter = pick;
        w.fileDialogs.saveFileName = file.askSave();
        QString question;
        QList<ModalScript::Answer> answers{saveBanks(bank)};
        if (existed)
            answers << [&](QWidget *m) {
                question = boxText(m);
                promptButton(QMessageBox::Yes)(m);
            };
        ModalScript script(answers);
        w.on_Save();

        QVERIFY(script.done() && script.unexpected.isEmpty());
        QCOMPARE(file.offeredFilter, QStringLiteral("Presets (*.pre)"));
        if (existed)
            QCOMPARE(question, written + QStringLiteral(" already exists.\nDo you want to replace it?"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{written});
        QString errorText;
        if (syxPresets > 0) {
            QCOMPARE(int(readSyxFile(target).presets.size()), syxPresets);
        } else {
            QCOMPARE(countPresetFileBanks(target, errorText), bank < 1 ? 16 : 1);
        }
    }

    void cancelledSaveChangesNothing_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("Cancel") << 0;
        QTest::newRow("Escape") << 1;
        QTest::newRow("close button") << 2;
        QTest::newRow("file dialog cancelled") << 3;
    }

    void cancelledSaveChangesNothing()
    {
        QFETCH(int, way);
        MainWindow w;
        loadDistinct(w);
        editOnePreset(w);
        QSettings().setValue("defaultpath", QStringLiteral("/before"));
        FileAnswer file{way == 3 ? QString() : path("never.pre")};
        w.fileDialogs.saveFileName = file.askSave();

        ModalScript script({[way](QWidget *m) {
            auto *d = qobject_cast<BankSaveDialog *>(m);
            QVERIFY(d);
            if (way == 0)
                QTest::mouseClick(d->cancelButton, Qt::LeftButton);
            else if (way == 1)
                QTest::keyClick(d, Qt::Key_Escape);
            else if (way == 2)
                d->close();
            else
                QTest::mouseClick(d->okButton, Qt::LeftButton);
        }});
        w.on_Save();

        QVERIFY(script.done() && script.unexpected.isEmpty());
        QCOMPARE(file.asked, way == 3 ? 1 : 0);
        QVERIFY(w.modified);
        QCOMPARE(defaultPath(), QStringLiteral("/before"));
        QVERIFY(!QFile::exists(path("never.pre")));
    }

    void saveBeforeBanksAreLoadedDoesNothing()
    {
        MainWindow w;
        FileAnswer file{path("early.pre")};
        w.fileDialogs.saveFileName = file.askSave();
        ModalScript script({});
        w.on_Save();
        QVERIFY(script.unexpected.isEmpty());
        QCOMPARE(file.asked, 0);
    }

    // Another program (orvex-pre, a second process) writes the document's file after the
    // window loaded it: the save says so, naming the file and when, Cancel by default. The
    // same bytes written again are no change, nor is what the window saved itself.
    void aFileChangedByAnotherProgramIsNotReplacedUnasked_data()
    {
        QTest::addColumn<QString>("other");
        QTest::addColumn<QString>("answer");
        QTest::newRow("cancelled") << "other"
                                   << "&Cancel";
        QTest::newRow("replaced") << "other"
                                  << "&Replace";
        QTest::newRow("saved under another name") << "other"
                                                  << "Save under &Another Name…";
        QTest::newRow("the same bytes again") << "disk" << QString();
    }
    void aFileChangedByAnotherProgramIsNotReplacedUnasked()
    {
        QFETCH(QString, other);
        QFETCH(QString, answer);
        const QString same = presetFile("same.pre", "disk");
        const QString elsewhere = path("elsewhere.pre");
        MainWindow w;
        w.openFile(same);
        editOnePreset(w);
        QCOMPARE(runProgram(ORVEX_PRE, {"copy", presetFile("theirs.pre", other), same}).exitCode, 0);
        const QByteArray theirs = readTestFile(same);
        int asked = 0;
        w.fileDialogs.saveFileName = [&](auto &&...) { return ++asked == 1 ? same : elsewhere; };
        QString question;
        QList<ModalScript::Answer> answers{saveBanks(-1)};
        if (!answer.isEmpty())
            answers << [&](QWidget *m) {
                auto *box = qobject_cast<QMessageBox *>(m);
                question = box->text() + QLatin1Char('|') + box->informativeText();
                QCOMPARE(box->defaultButton(), box->button(QMessageBox::Cancel));
                QCOMPARE(altKeyFault(box), QString());
                for (QAbstractButton *b : box->buttons())
                    if (b->text() == answer)
                        b->click();
            };
        {
            ModalScript script(answers);
            w.on_Save();
            QVERIFY(script.done() && script.unexpected.isEmpty());
        }
        if (!answer.isEmpty())
            QCOMPARE(question,
                     QStringLiteral("same.pre was changed by another program on %1, after it was last "
                                    "loaded or saved here.|Replacing it loses those changes.\n\n%2")
                         .arg(QFileInfo(same).lastModified().toString("d MMM yyyy HH:mm:ss"), same));
        const QString saved = answer == "&Cancel" ? QString() : answer.startsWith("Save") ? elsewhere : same;
        QVERIFY(saved == same || readTestFile(same) == theirs);
        QCOMPARE(w.modified, saved.isEmpty());
        if (saved.isEmpty())
            return;
        BankStore back;
        QString errorText;
        QVERIFY(loadPresetFile(back, saved, 0, 15, errorText) && sameStore(back, w.bankStore));
        QCOMPARE(w.document.fileName(), saved);
        editOnePreset(w);
        asked = saved == same ? 0 : 1;
        ModalScript again({saveBanks(-1)});
        w.on_Save();
        QVERIFY(again.done() && again.unexpected.isEmpty() && !w.modified);
    }

    // The file changed while the document is unmodified: coming back to the window offers to
    // load it again, once, and never over unsaved work.
    void aChangedFileIsOfferedToBeLoadedAgain()
    {
        const QString same = presetFile("same.pre", "disk");
        MainWindow w;
        w.openFile(same);
        auto offer = [&](const QString &tag, QList<ModalScript::Answer> answers) {
            if (!tag.isEmpty())
                QCOMPARE(runProgram(ORVEX_PRE, {"copy", presetFile("theirs.pre", tag), same}).exitCode, 0);
            ModalScript script(answers);
            w.files->offerReloadIfChanged();
            w.files->offerReloadIfChanged();
            QVERIFY(script.done() && script.unexpected.isEmpty());
        };
        auto click = [](const QString &button) {
            return [button](QWidget *m) {
                QVERIFY(boxText(m).startsWith("same.pre was changed by another program on "));
                QCOMPARE(altKeyFault(m), QString());
                for (QAbstractButton *b : qobject_cast<QMessageBox *>(m)->buttons())
                    if (b->text() == button)
                        b->click();
            };
        };
        offer(QString(), {});
        offer("first", {click("&Load Again")});
        BankStore expected;
        fillStore(expected, "first");
        QVERIFY(sameStore(w.bankStore, expected) && tableShowsStore(w) && !w.modified);
        // Load of the file the title names reads it again, unasked while nothing is unsaved,
        // and a save then compares with what it read.
        QCOMPARE(runProgram(ORVEX_PRE, {"copy", presetFile("theirs.pre", "loaded"), same}).exitCode, 0);
        {
            ModalScript none({});
            w.openFile(same);
            QVERIFY(none.done() && none.unexpected.isEmpty());
        }
        fillStore(expected, "loaded");
        QVERIFY(sameStore(w.bankStore, expected) && !w.modified);
        QCOMPARE(w.document.fileChangedOnDisk(), FileStamp::Change::None);
        offer("second", {click("&Keep")}); // kept: the title and the close question know
        QVERIFY(sameStore(w.bankStore, expected) && w.modified && w.isWindowModified());
        editOnePreset(w);
        offer("third", {});
        // Closing an unmodified window whose file another program changed asks first.
        MainWindow other;
        other.openFile(same);
        QCOMPARE(runProgram(ORVEX_PRE, {"copy", presetFile("theirs.pre", "fourth"), same}).exitCode, 0);
        ModalScript prompt({promptButton(QMessageBox::Cancel)});
        QVERIFY(!other.close() && prompt.done());
    }

    // A pipe whose reader quits after 10 bytes: the save fails with the writer's message and
    // the work stays unsaved, the window alive.
    void aSaveToAPipeThatClosesIsReported()
    {
        BrokenPipes::reportInsteadOfDying();
        MainWindow w;
        loadDistinct(w);
        editOnePreset(w);
        QuittingReader reader(path("pipe.pre"));
        QVERIFY(reader.ok());
        FileAnswer file{path("pipe.pre")};
        w.fileDialogs.saveFileName = file.askSave();
        QString error;
        ModalScript script({saveBanks(-1), noteText(error)});
        w.on_Save();
        QVERIFY(script.done() && script.unexpected.isEmpty());
        QCOMPARE(reader.taken().size(), 10);
        QCOMPARE(error, QDir::toNativeSeparators(path("pipe.pre")) +
                            QStringLiteral(" can't be written completely."));
        QVERIFY(w.modified);
    }

    void saveIntoUnwritableFolderReportsIt_data()
    {
        QTest::addColumn<bool>("protectedFolder");
        // A folder below a regular file can't exist, whoever runs the test.
        QTest::newRow("folder below a file") << false;
        QTest::newRow("write-protected folder") << true;
    }

    void saveIntoUnwritableFolderReportsIt()
    {
        QFETCH(bool, protectedFolder);
        QString folder = rawFile("blocker", "x") + "/sub";
        if (protectedFolder) {
#ifdef Q_OS_UNIX
            if (geteuid() == 0)
                QSKIP("running as root: folder permissions don't stop writes (the other row covers the "
                      "failure)");
#endif
            QDir(dir.path()).mkpath(QStringLiteral("locked"));
            folder = path("locked");
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        }
        MainWindow w;
        loadDistinct(w);
        editOnePreset(w);
        FileAnswer file{folder + "/all.pre"};
        w.fileDialogs.saveFileName = file.askSave();
        QString shown;
        ModalScript script({saveBanks(-1), noteText(shown)});
        w.on_Save();
        if (protectedFolder)
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QVERIFY(script.done() && script.unexpected.isEmpty());
        QCOMPARE(shown,
                 file.name + (protectedFolder ? QStringLiteral(" can't be saved: its folder is read-only.")
                                              : QStringLiteral(" can't be opened for writing.")));
        QCOMPARE(defaultPath(), folder);
        QVERIFY(w.modified);
        QVERIFY(!QFile::exists(file.name));
    }

    void fullLoad_data()
    {
        QTest::addColumn<bool>("unsaved");
        QTest::newRow("first load, nothing to ask") << false;
        QTest::newRow("unsaved changes discarded") << true;
    }

    void fullLoad()
    {
        QFETCH(bool, unsaved);
        const QString name = presetFile("full.pre", "file");
        MainWindow w;
        if (unsaved) {
            loadDistinct(w);
            editOnePreset(w);
        }
        QSettings().setValue("defaultpath", QStringLiteral("/before"));
        FileAnswer file{name};
        w.fileDialogs.openFileName = file.ask();
        QList<ModalScript::Answer> answers;
        QString prompt;
        if (unsaved)
            answers << [&](QWidget *m) {
                prompt = boxText(m);
                // The question comes before the table is emptied.
                if (!w.table->item(0, 0))
                    prompt = QStringLiteral("table already emptied");
                promptButton(QMessageBox::Discard)(m);
            };
        ModalScript script(answers);
        w.on_Load();

        QVERIFY(script.done() && script.unexpected.isEmpty());
        if (unsaved)
            QCOMPARE(prompt, QStringLiteral("The preset banks have unsaved changes."));
        QCOMPARE(file.caption, QStringLiteral("Open preset file"));
        // The remembered folder is gone: the dialog opens in the documents folder.
        QCOMPARE(file.directory, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
        QCOMPARE(file.filter,
                 QStringLiteral("Presets (*.pre);;SysEx (*.syx);;Standard MIDI File (*.mid);;All files (*)"));
        QCOMPARE(file.parent, &w);
        QCOMPARE(defaultPath(), dir.path());

        BankStore expected;
        fillStore(expected, "file");
        QVERIFY(sameStore(w.bankStore, expected));
        QVERIFY(tableShowsStore(w));
        QVERIFY(w.banksLoaded);
        QVERIFY(!w.modified);
        QCOMPARE(w.historyPos(), 0);
        QCOMPARE(w.historyEnd(), 0);
        QVERIFY(!w.undoButton->isEnabled());
        QVERIFY(w.table->isEnabled());
        QVERIFY(w.saveButton->isEnabled());
    }

    void fullLoadCancelledAtThePromptKeepsEverything()
    {
        const QString name = presetFile("full.pre", "file");
        MainWindow w;
        loadDistinct(w);
        editOnePreset(w);
        BankStore before = w.bankStore;
        QTableWidgetItem *firstItem = w.table->item(0, 0);
        FileAnswer file{name};
        w.fileDialogs.openFileName = file.ask();

        ModalScript script({promptButton(QMessageBox::Cancel)});
        w.on_Load();

        QVERIFY(script.done() && script.unexpected.isEmpty());
        QCOMPARE(w.table->item(0, 0), firstItem);
        QVERIFY(tableShowsStore(w));
        QVERIFY(sameStore(w.bankStore, before));
        QVERIFY(w.modified);
        QCOMPARE(w.historyPos(), 1);
        QCOMPARE(defaultPath(), dir.path());
    }

    // The file is read whole before the question: what was checked is what is loaded, even
    // when the file goes away while the question is open.
    void fullLoadReadsTheFileBeforeAsking()
    {
        const QString name = presetFile("vanishing.pre", "file");
        MainWindow w;
        loadDistinct(w);
        editOnePreset(w);
        FileAnswer file{name};
        w.fileDialogs.openFileName = file.ask();
        ModalScript script({[&](QWidget *m) {
            QFile::remove(name);
            promptButton(QMessageBox::Discard)(m);
        }});
        w.on_Load();

        QVERIFY(script.done() && script.unexpected.isEmpty());
        BankStore fileStore;
        fillStore(fileStore, "file");
        QVERIFY(sameStore(w.bankStore, fileStore));
        QVERIFY(tableShowsStore(w));
        QVERIFY(!w.modified);
        QCOMPARE(w.historyEnd(), 0);
    }

    // A full load is the file or nothing: short banks and damaged presets are named, and
    // the document stays as it was, unsaved changes and undo included.
    void fullLoadOfAnIncompleteFileIsRefused()
    {
        QByteArray doc = "<presetbanks><device name=\"orvex+\"/>";
        for (int b = 0; b < BankCount; ++b) {
            doc += "<bank>";
            const int presets = b == 2 || b == 3 ? 97 : PresetsPerBank;
            for (int p = 0; p < presets; ++p) {
                const bool damaged = (b == 5 && p == 7) || (b == 3 && p < 2);
                const QByteArray text = damaged ? QByteArray("ABC") : QByteArray(256, '1');
                doc += "<preset name=\"new\" author=\"a\" category=\"2\">" + text + "</preset>";
            }
            doc += "</bank>";
        }
        doc += "</presetbanks>";
        const QString name = rawFile("short.pre", doc);
        MainWindow w;
        loadDistinct(w, "old");
        editOnePreset(w);
        const BankStore before = w.bankStore;
        QTableWidgetItem *firstItem = w.table->item(0, 0);
        FileAnswer file{name};
        w.fileDialogs.openFileName = file.ask();
        QString shown;
        ModalScript script({noteText(shown)});
        w.on_Load();

        QVERIFY(script.done() && script.unexpected.isEmpty());
        QCOMPARE(shown,
                 QStringLiteral("The file does not hold every preset of its banks:\n"
                                "bank 3 holds 97 presets; 128 are needed\n"
                                "bank 4 holds 97 presets, 2 of them with damaged data; 128 are needed\n"
                                "bank 6: presets with damaged data: 1"));
        QVERIFY(sameStore(w.bankStore, before));
        QCOMPARE(w.table->item(0, 0), firstItem);
        QVERIFY(w.modified);
        QCOMPARE(w.historyPos(), 1);
    }

    void oneBankFileIntoBankSevenUndoesInOneStep()
    {
        const QString name = presetFile("one.pre", "file", 9, 9);
        MainWindow w;
        loadDistinct(w);
        BankStore before = w.bankStore;
        FileAnswer file{name};
        w.fileDialogs.openFileName = file.ask();
        ModalScript script({loadInto(6)}); // item "7"
        w.on_Load();

        QVERIFY(script.done() && script.unexpected.isEmpty());
        BankStore fileStore;
        fillStore(fileStore, "file");
        QVERIFY(sameBank(w.bankStore, 6, fileStore, 9));
        for (int b = 0; b < BankCount; ++b)
            if (b != 6)
                QVERIFY(sameBank(w.bankStore, b, before, b));
        QVERIFY(tableShowsStore(w));
        QVERIFY(w.modified);
        QCOMPARE(w.historyPos(), PresetsPerBank);
        QVERIFY(w.undoButton->isEnabled());

        w.on_undo();
        QVERIFY(sameStore(w.bankStore, before));
        QVERIFY(tableShowsStore(w));
        QCOMPARE(w.historyPos(), 0);
        QVERIFY(!w.modified);
    }

    // A file of three banks says so and offers only the starts from which all three fit;
    // the last of them fills banks 14 to 16, as one undo step.
    void multiBankFileIsPlacedWhole()
    {
        const QString name = presetFile("three.pre", "file", 0, 2);
        MainWindow w;
        loadDistinct(w);
        BankStore before = w.bankStore;
        FileAnswer file{name};
        w.fileDialogs.openFileName = file.ask();
        QStringList items;
        QString label;
        ModalScript script({[&](QWidget *m) {
            auto *d = qobject_cast<BankLoadDialog *>(m);
            QVERIFY(d);
            label = d->label->text();
            for (int i = 0; i < d->selBox->count(); ++i)
                items << d->selBox->itemText(i);
            loadInto(13)(m);
        }});
        w.on_Load();

        QVERIFY(script.done() && script.unexpected.isEmpty());
        QVERIFY2(label.contains("holds 3 preset banks"), qPrintable(label));
        QCOMPARE(items.size(), 13);
        QCOMPARE(items.first(), QString::fromUtf8("2–4"));
        QCOMPARE(items.last(), QString::fromUtf8("14–16"));
        BankStore fileStore;
        fillStore(fileStore, "file");
        for (int b = 0; b < 3; ++b)
            QVERIFY(sameBank(w.bankStore, 13 + b, fileStore, b));
        for (int b = 0; b < 13; ++b)
            QVERIFY(sameBank(w.bankStore, b, before, b));
        QCOMPARE(w.historyPos(), 3 * PresetsPerBank);
        for (int i = 0; i < w.historyPos(); ++i) {
            const UndoEntry &e = w.history.entry(i);
            QCOMPARE(e.bank, 13 + i / PresetsPerBank);
            QCOMPARE(e.preset, i % PresetsPerBank);
            QCOMPARE(e.groupStart, i == 0);
        }
        w.on_undo();
        QVERIFY(sameStore(w.bankStore, before));
        QCOMPARE(w.historyPos(), 0);
    }

    // An export backup is banks 2..16 of the module: it goes there, and a backup of a
    // choice brings only the presets it holds. Any other file of 15 banks fills 2..16 too.
    void backupsLoadIntoBanksTwoToSixteen_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("backup");
        QTest::addColumn<bool>("damaged");
        QTest::newRow("backup of a choice") << "module-backup-20260101-120000.pre" << true << false;
        QTest::newRow("15 banks") << "fifteen.pre" << false << false;
        QTest::newRow("a held preset damaged") << "module-backup-20260101-130000.pre" << true << true;
        QTest::newRow("damaged, without .info") << "module-backup-20260101-140000.pre" << false << true;
    }
    void backupsLoadIntoBanksTwoToSixteen()
    {
        QFETCH(QString, name);
        QFETCH(bool, backup);
        QFETCH(bool, damaged);
        const QString fileName = presetFile(name, "file", 1, 15);
        if (damaged) {
            QFile f(fileName);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QByteArray bytes = f.readAll();
            f.close();
            const qsizetype text = bytes.indexOf('>', bytes.indexOf("name=\"file 4/7\"")) + 1;
            bytes.replace(text, 256, QByteArray(256, 'Z'));
            rawFile(name, bytes);
        }
        SelectionMask held;
        held.set(4, 7);
        held.set(15, 127);
        QString errorText;
        if (backup)
            QVERIFY(BackupCatalog::writeInfo(fileName, "42", "1.00", errorText, &held));
        MainWindow w;
        loadDistinct(w);
        BankStore before = w.bankStore;
        const bool modifiedBefore = w.modified;
        const int historyBefore = w.historyPos();
        FileAnswer file{fileName};
        w.fileDialogs.openFileName = file.ask();
        QStringList items;
        QString label;
        QString shown;
        QList<ModalScript::Answer> answers{[&](QWidget *m) {
            auto *d = qobject_cast<BankLoadDialog *>(m);
            QVERIFY(d);
            label = d->label->text();
            for (int i = 0; i < d->selBox->count(); ++i)
                items << d->selBox->itemText(i);
            QTest::mouseClick(d->okButton, Qt::LeftButton);
        }};
        if (damaged)
            answers << noteText(shown);
        ModalScript script(answers);
        w.on_Load();

        QVERIFY(script.done() && script.unexpected.isEmpty());
        QCOMPARE(items, QStringList{QString::fromUtf8("2–16")});
        if (damaged) {
            // Refused whether or not its .info is there, naming the preset; nothing changes.
            QCOMPARE(shown, QStringLiteral("The backup lacks 1 of its presets, or holds it damaged.\n5 · 8"));
            QVERIFY(sameStore(w.bankStore, before));
            QCOMPARE(w.modified, modifiedBefore);
            QCOMPARE(w.historyPos(), historyBefore);
            QVERIFY(!w.undoButton->isEnabled());
            return;
        }
        QCOMPARE(label.contains("export backup"), backup);
        BankStore fileStore;
        fillStore(fileStore, "file");
        for (int b = 0; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p) {
                const bool taken = b > 0 && (!backup || held.isSelected(b, p));
                QVERIFY(w.bankStore.at(b, p).sameContent(taken ? fileStore.at(b, p) : before.at(b, p)));
            }
        QVERIFY(tableShowsStore(w));
        w.on_undo();
        QVERIFY(sameStore(w.bankStore, before));
    }

    // The file is read once, before anything is asked: what the dialog offers is what
    // loads, even when the file goes away meanwhile.
    void loadIntoChosenBanksTakesWhatWasRead()
    {
        const QString name = presetFile("gone.pre", "file", 1, 1);
        MainWindow w;
        loadDistinct(w);
        BankStore before = w.bankStore;
        FileAnswer file{name};
        w.fileDialogs.openFileName = file.ask();
        ModalScript script({[&](QWidget *m) {
            QFile::remove(name);
            loadInto(3)(m);
        }});
        w.on_Load();
        QVERIFY(script.done() && script.unexpected.isEmpty());
        BankStore fileStore;
        fillStore(fileStore, "file");
        QVERIFY(sameBank(w.bankStore, 3, fileStore, 1));
        QVERIFY(tableShowsStore(w));
        QVERIFY(w.modified);
        QCOMPARE(w.historyPos(), PresetsPerBank);
    }

    void partialFileBeforeAnyFullLoadIsRefused()
    {
        const QString name = presetFile("one.pre", "file", 2, 2);
        MainWindow w;
        BankStore before = w.bankStore;
        FileAnswer file{name};
        w.fileDialogs.openFileName = file.ask();
        QString shown;
        ModalScript script({noteText(shown)});
        w.on_Load();
        QVERIFY(script.done() && script.unexpected.isEmpty());
        QCOMPARE(shown, QStringLiteral("Please import or load all banks first"));
        QVERIFY(sameStore(w.bankStore, before));
        QVERIFY(!w.banksLoaded);
        QVERIFY(!w.modified);
        QCOMPARE(w.historyEnd(), 0);
    }

    void filesWithoutAUsableBankCountAreRefused_data()
    {
        QTest::addColumn<int>("banks");
        QTest::addColumn<QString>("message");
        QTest::newRow("no bank") << 0 << "The file holds no bank.";
        QTest::newRow("17 banks") << 17 << "The file holds 17 banks; a preset file holds 1 to 16.";
    }

    void filesWithoutAUsableBankCountAreRefused()
    {
        QFETCH(int, banks);
        QFETCH(QString, message);
        QByteArray bank = "<bank>";
        for (int p = 0; p < PresetsPerBank; ++p)
            bank += "<preset name=\"n\" author=\"a\" category=\"1\">" + QByteArray(256, 'A') + "</preset>";
        bank += "</bank>";
        const QString name = rawFile("count.pre", "<presetbanks><device name=\"orvex+\"/>" +
                                                      bank.repeated(banks) + "</presetbanks>");
        MainWindow w;
        loadDistinct(w);
        editOnePreset(w);
        BankStore before = w.bankStore;
        FileAnswer file{name};
        w.fileDialogs.openFileName = file.ask();
        QString shown;
        ModalScript script({noteText(shown)});
        w.on_Load();
        QVERIFY(script.done() && script.unexpected.isEmpty());
        QCOMPARE(shown, message);
        QVERIFY(sameStore(w.bankStore, before));
        QVERIFY(tableShowsStore(w));
        QVERIFY(w.modified);
        QCOMPARE(w.historyPos(), 1);
        QCOMPARE(defaultPath(), dir.path());
    }

    void unreadableFileShowsTheCheckMessage()
    {
        MainWindow w;
        loadDistinct(w);
        FileAnswer file{path("missing/nothing.pre")};
        w.fileDialogs.openFileName = file.ask();
        QString shown;
        ModalScript script({noteText(shown)});
        w.on_Load();
        QVERIFY(script.done() && script.unexpected.isEmpty());
        QCOMPARE(shown,
                 QDir::toNativeSeparators(path("missing/nothing.pre")) + QStringLiteral(" does not exist."));
        QCOMPARE(defaultPath(), path("missing"));
        QVERIFY(tableShowsStore(w));
    }

    // A pipe named like a preset file is refused at once; the window never waits on it.
    void loadOfAFifoIsRefused()
    {
        FifoWatch fifo(path("x.pre"));
        QVERIFY(fifo.ok());
        MainWindow w;
        loadDistinct(w);
        FileAnswer file{path("x.pre")};
        w.fileDialogs.openFileName = file.ask();
        QString shown;
        ModalScript script({noteText(shown)});
        w.on_Load();
        QVERIFY(!fifo.blocked());
        QVERIFY(script.done() && script.unexpected.isEmpty());
        QCOMPARE(shown, QStringLiteral("not a regular file (a pipe or a device)"));
        QVERIFY(tableShowsStore(w));
    }

    void cancelledLoadChangesNothing_data()
    {
        QTest::addColumn<bool>("atBankChoice");
        QTest::newRow("file dialog") << false;
        QTest::newRow("bank choice") << true;
    }

    void cancelledLoadChangesNothing()
    {
        QFETCH(bool, atBankChoice);
        MainWindow w;
        loadDistinct(w);
        BankStore before = w.bankStore;
        QSettings().setValue("defaultpath", QStringLiteral("/before"));
        FileAnswer file{atBankChoice ? presetFile("two.pre", "file", 3, 4) : QString()};
        w.fileDialogs.openFileName = file.ask();
        QList<ModalScript::Answer> answers;
        if (atBankChoice)
            answers << [](QWidget *m) {
                auto *d = qobject_cast<BankLoadDialog *>(m);
                QVERIFY(d);
                QTest::mouseClick(d->cancelButton, Qt::LeftButton);
            };
        ModalScript script(answers);
        w.on_Load();

        QVERIFY(script.done() && script.unexpected.isEmpty());
        QCOMPARE(file.asked, 1);
        QVERIFY(sameStore(w.bankStore, before));
        QVERIFY(!w.modified);
        QCOMPARE(w.historyEnd(), 0);
        // Only a chosen file moves "defaultpath".
        QCOMPARE(defaultPath(), atBankChoice ? dir.path() : QStringLiteral("/before"));
    }

    // A folder that does not exist yet would be offered as the file's name.
    void dialogsStartInAFolderThatExists()
    {
        const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
        QTemporaryDir config;
        const QString missing = config.filePath(QStringLiteral("Documents"));
        QFile dirs(config.filePath(QStringLiteral("user-dirs.dirs")));
        QVERIFY(dirs.open(QIODevice::WriteOnly));
        dirs.write("XDG_DOCUMENTS_DIR=\"" + missing.toUtf8() + "\"\n");
        dirs.close();
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        const QString fresh = FileFlows::startDirectory(QString());
        QDir().mkpath(missing);
        const QString withDocuments = FileFlows::startDirectory(QString());
        qputenv("XDG_CONFIG_HOME", configHome);
        QCOMPARE(fresh, QDir::homePath());
        QCOMPARE(withDocuments, missing);
    }
};

QTEST_MAIN(TestFileFlows)
#include "tst_fileflows.moc"
