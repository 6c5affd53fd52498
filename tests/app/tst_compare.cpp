// Comparing the document with a file or a backup in the window, the backups list and the
// export preview dialog, driven as a user would.
#include "app/comparecontroller.h"
#include "app/mainwindow.h"
#include "app/transfercontroller.h"
#include "common/modaldriver.h"
#include "common/testfiles.h"
#include "device/backupcatalog.h"
#include "device/backuptexts.h"
#include "dialogs/backupsdialog.h"
#include "dialogs/exportchoicebox.h"
#include "editing/exportpreview.h"
#include "files/presetfile.h"
#include "files/syxfile.h"
#include "views/comparebar.h"
#include "views/comparepanel.h"
#include "views/presetgrid.h"

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace {

void fill(BankStore &store, const QString &prefix)
{
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            PresetRecord &r = store.at(b, p);
            r.name = QStringLiteral("%1 %2").arg(prefix).arg(p);
            r.author = QStringLiteral("Author");
            r.category = p % 14;
            r.params.fill(uint8_t(p % 100));
            r.mark = true;
        }
}

struct Window
{
    MainWindow w;
    Window()
    {
        fill(w.bankStore, QStringLiteral("Name"));
        w.banksLoaded = true;
        w.updateTable(true);
    }
};

} // namespace

class TestCompare : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void marksStepsAndTakesTheirsAsOneUndoStep()
    {
        Window win;
        MainWindow &w = win.w;
        BankStore file = w.bankStore;
        file.at(0, 5).name = QStringLiteral("Factory changed");
        file.at(3, 7).params[0] = 99;
        file.at(9, 100).author = QStringLiteral("Other");
        const QString path = dir.filePath(QStringLiteral("other.pre"));
        QString error;
        QVERIFY(savePresetFile(file, path, 0, BankCount - 1, error));
        w.fileDialogs.openFileName = [&](QWidget *, const QString &, const QString &, const QString &) {
            return path;
        };
        w.compareWithFile();
        auto *bar = w.findChild<CompareBar *>();
        QVERIFY(w.compare()->active());
        QCOMPARE(bar->text(), QStringLiteral("3 presets differ from other.pre"));
        QVERIFY(w.compare()->comparison().mask().isSelected(3, 7));

        // Next walks bank by bank from the current cell; the bar says where it stands and, at
        // either end, stops and says so instead of wrapping round.
        auto at = [&w] { return std::make_pair(w.table->currentColumn(), w.table->currentRow()); };
        w.table->setCurrentCell(0, 2);
        QCOMPARE(bar->text(), QStringLiteral("3 presets differ from other.pre"));
        const struct
        {
            void (CompareBar::*request)();
            std::pair<int, int> lands;
            const char *text;
            const char *note;
        } steps[] = {
            {&CompareBar::nextRequested, {3, 7}, "2 of 3 presets that differ from other.pre", ""},
            {&CompareBar::nextRequested, {9, 100}, "3 of 3 presets that differ from other.pre", ""},
            {&CompareBar::nextRequested,
             {9, 100},
             "3 of 3 presets that differ from other.pre",
             "No more differences after this one"},
            {&CompareBar::previousRequested, {3, 7}, "2 of 3 presets that differ from other.pre", ""},
            {&CompareBar::previousRequested, {0, 5}, "1 of 3 presets that differ from other.pre", ""},
            {&CompareBar::previousRequested,
             {0, 5},
             "1 of 3 presets that differ from other.pre",
             "No more differences before this one"},
        };
        for (const auto &step : steps) {
            emit(bar->*step.request)();
            QCOMPARE(at(), step.lands);
            QCOMPARE(bar->text(), QString::fromUtf8(step.text));
            QCOMPARE(bar->note(), QString::fromUtf8(step.note));
        }
        // The factory bank takes nothing; a user bank takes theirs in one undo step.
        auto *panel = w.findChild<ComparePanel *>();
        QVERIFY(!panel->takeButton->isEnabled());
        w.table->setCurrentCell(100, 9);
        QVERIFY(panel->takeButton->isEnabled());
        QVERIFY(panel->theirsText().contains(QStringLiteral("<b>Other</b>")));
        const int undoBefore = w.historyPos();
        panel->takeButton->click();
        QCOMPARE(w.bankStore.at(9, 100).author, QStringLiteral("Other"));
        QCOMPARE(w.historyPos(), undoBefore + 1);
        QTRY_COMPARE(bar->text(), QStringLiteral("2 presets differ from other.pre"));
        w.on_undo();
        QTRY_COMPARE(bar->text(), QStringLiteral("3 of 3 presets that differ from other.pre"));

        // A name that wraps on one side moves the next field down on both.
        w.resize(1200, 800);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.resizeDocks({panel}, {300}, Qt::Horizontal);
        PresetRecord longer = w.bankStore.at(9, 100);
        longer.name = QStringLiteral("A name long enough to wrap over several lines in the panel");
        panel->showPreset(9, 100, w.bankStore.at(9, 100), &longer, PresetComparison::Name, true);
        QTRY_VERIFY(panel->theirsFields[0]->height() > panel->oursFields[0]->fontMetrics().height() * 2);
        for (int i = 1; i < ComparePanel::FieldCount; ++i)
            QCOMPARE(panel->oursFields[i]->y(), panel->theirsFields[i]->y());
        QVERIFY(panel->oursFields[1]->y() >= panel->theirsFields[0]->geometry().bottom());

        emit bar->endRequested();
        QVERIFY(!w.compare()->active());
        QVERIFY(bar->isHidden());
    }

    void comparesBackupsAndSysexAsTheModuleKeepsThem()
    {
        Window win;
        MainWindow &w = win.w;
        w.bankStore.at(4, 4).name = QStringLiteral("A name longer than thirty-two characters");
        w.bankStore.at(4, 4).mark = true;
        w.updateTable(true);
        BankStore module = w.bankStore;
        module.at(4, 4).name.truncate(32);
        module.at(4, 5).params[3] = 1;
        const QString backup = dir.filePath(QStringLiteral("module-backup-20261201-101010.pre"));
        QString error;
        QVERIFY(savePresetFile(module, backup, 1, BankCount - 1, error));
        QVERIFY(w.compare()->compareWithFile(backup, error));
        QCOMPARE(w.compare()->comparison().count(), 1);    // the cut name is what an export would give
        QVERIFY(!w.compare()->comparison().differs(0, 0)); // a backup says nothing of the factory bank
        // A backup of chosen presets is compared only there.
        SelectionMask held;
        held.set(4, 4);
        QVERIFY(BackupCatalog::writeInfo(backup, QStringLiteral("1"), QStringLiteral("1.00"), error, &held));
        QVERIFY(w.compare()->compareWithFile(backup, error));
        QCOMPARE(w.compare()->comparison().count(), 0);

        SelectionMask two;
        two.set(4, 5);
        two.set(6, 0);
        const QString syx = dir.filePath(QStringLiteral("two.syx"));
        QVERIFY(saveSyxFile(module, two, syx, error));
        QVERIFY(w.compare()->compareWithFile(syx, error));
        QCOMPARE(w.compare()->comparison().count(), 1);
        QVERIFY(w.compare()->comparison().differs(4, 5));
    }

    // A damaged preset of a file or backup is shown as damaged, never compared as an empty
    // preset, never offered to take, and a backup holding one is marked and never restored.
    void damagedPresetIsNeverTakenOrRestored_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("info");
        QTest::newRow("file") << "studio.pre" << false;
        QTest::newRow("backup with .info") << "module-backup-20261203-090000.pre" << true;
        QTest::newRow("backup without .info") << "module-backup-20261203-100000.pre" << false;
    }
    void damagedPresetIsNeverTakenOrRestored()
    {
        QFETCH(QString, name);
        QFETCH(bool, info);
        Window win;
        MainWindow &w = win.w;
        QTemporaryDir folder;
        const QString path = folder.filePath(name);
        const bool backup = name.startsWith(QLatin1String("module-backup"));
        BankStore other = w.bankStore;
        other.at(1, 0).params[5] = 99; // what the damage hides
        other.at(2, 2).params[5] = 98; // one real difference
        QByteArray text = presetFileText(other, backup ? 1 : 0, BankCount - 1);
        qsizetype bank2 = text.indexOf(" <bank>");
        if (!backup)
            bank2 = text.indexOf(" <bank>", bank2 + 1);
        const qsizetype at = text.indexOf("\">", text.indexOf("<preset", bank2));
        text[at + 2] = 'Q';
        writeTestFile(path, text);
        QString error;
        if (info)
            QVERIFY(BackupCatalog::writeInfo(path, QStringLiteral("1"), QStringLiteral("1.00"), error));

        QVERIFY2(w.compare()->compareWithFile(path, error), qPrintable(error));
        QCOMPARE(w.compare()->comparison().count(), 1);
        QVERIFY(w.compare()->comparison().differs(2, 2));
        w.table->setCurrentCell(0, 1);
        auto *panel = w.findChild<ComparePanel *>();
        QVERIFY(panel->theirsText().contains(QLatin1String("damaged")));
        QVERIFY(!panel->takeButton->isEnabled());
        const BankStore before = w.bankStore;
        w.compare()->takeTheirs();
        QVERIFY(w.bankStore.at(1, 0).sameContent(before.at(1, 0)));
        if (!backup)
            return;

        BackupsDialog dialog(BackupCatalog(folder.path()), w.bankStore, BackupTexts::interfaceLocale(0));
        dialog.countAll();
        QCOMPARE(dialog.list->topLevelItem(0)->text(BackupsDialog::Covers),
                 QStringLiteral("all user banks (1 damaged or missing)"));
        QVERIFY(!w.transfers->restoreBackup(path, error));
        QCOMPARE(error,
                 name + QStringLiteral(" lacks 1 of its presets or holds it damaged (bank · preset 2 · 1).\n"
                                       "Nothing is written from it: the module keeps what it holds."));
    }

    void backupsListCountsDifferencesAndPicksOne()
    {
        Window win;
        QTemporaryDir backups;
        BankStore module = win.w.bankStore;
        module.at(1, 1).params[0] = 77;
        module.at(2, 2).name = QStringLiteral("x");
        QString error;
        const QString newer = backups.filePath(QStringLiteral("module-backup-20261205-080000.pre"));
        QVERIFY(savePresetFile(module, newer, 1, BankCount - 1, error));
        SelectionMask bank6;
        for (int p = 0; p < PresetsPerBank; ++p)
            bank6.set(5, p);
        QVERIFY(BackupCatalog::writeInfo(newer, QStringLiteral("4711"), QStringLiteral("2.01"), error));
        const QString older = backups.filePath(QStringLiteral("module-backup-20261101-080000.pre"));
        QVERIFY(savePresetFile(win.w.bankStore, older, 1, BankCount - 1, error));
        QVERIFY(BackupCatalog::writeInfo(older, QString(), QString(), error, &bank6));
        QVERIFY(BackupCatalog::markUnused(older, error));

        BackupsDialog dialog(BackupCatalog(backups.path()), win.w.bankStore, BackupTexts::interfaceLocale(0));
        dialog.countAll();
        QCOMPARE(dialog.list->topLevelItemCount(), 2);
        const QTreeWidgetItem *first = dialog.list->topLevelItem(0);
        QCOMPARE(first->text(BackupsDialog::Made), QStringLiteral("5 Dec 2026, 08:00"));
        QCOMPARE(first->text(BackupsDialog::Covers), QStringLiteral("all user banks"));
        QCOMPARE(dialog.list->topLevelItem(1)->text(BackupsDialog::Covers),
                 QStringLiteral("bank 6 (export cancelled, nothing written)"));
        QCOMPARE(first->text(BackupsDialog::Serial), QStringLiteral("4711"));
        QCOMPARE(first->text(BackupsDialog::Firmware), QStringLiteral("2.01"));
        QCOMPARE(first->text(BackupsDialog::Differ), QStringLiteral("2"));
        QCOMPARE(dialog.list->topLevelItem(1)->text(BackupsDialog::Differ), QStringLiteral("0"));
        dialog.compareButton->click();
        QCOMPARE(dialog.choice, BackupsDialog::Choice::Compare);
        QCOMPARE(dialog.chosenPath(), QFileInfo(newer).absoluteFilePath());
    }

    void choiceBoxOffersTheSelectionOnlyWithUserPresetsInIt()
    {
        ExportChoiceBox box;
        QCOMPARE(box.count(), BankCount); // all user banks, then banks 2..16
        SelectionMask factoryOnly;
        factoryOnly.set(0, 4);
        box.setSelection(factoryOnly);
        QCOMPARE(box.count(), BankCount);
        SelectionMask some = factoryOnly;
        some.set(3, 4);
        some.set(3, 5);
        box.setSelection(some);
        QCOMPARE(box.itemText(box.count() - 1), QStringLiteral("The 2 selected presets"));
        box.setCurrentIndex(box.count() - 1);
        QCOMPARE(box.choice().positions().count(), 2);
        box.setCurrentIndex(5);
        QCOMPARE(box.choice().description(), QStringLiteral("bank 6"));
        box.setChoice(ExportChoice::allUserBanks());
        QCOMPARE(box.currentIndex(), 0);
    }
};

QTEST_MAIN(TestCompare)
#include "tst_compare.moc"
