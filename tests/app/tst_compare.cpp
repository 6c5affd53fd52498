// Comparing the document with a file or a backup in the window, the backups list and the
// export preview dialog, driven as a user would.
#include "app/backupsdialog.h"
#include "app/comparecontroller.h"
#include "app/mainwindow.h"
#include "common/modaldriver.h"
#include "device/backupcatalog.h"
#include "device/backuptexts.h"
#include "device/exportchoicebox.h"
#include "editing/exportpreview.h"
#include "files/presetfile.h"
#include "files/syxfile.h"
#include "views/bigtable.h"
#include "views/comparebar.h"
#include "views/comparepanel.h"

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

        // Next walks bank by bank from the current cell, and wraps.
        w.table->setCurrentCell(0, 2);
        const std::pair<int, int> order[] = {{3, 7}, {9, 100}, {0, 5}};
        for (auto [bank, preset] : order) {
            emit bar->nextRequested();
            QCOMPARE(w.table->currentColumn(), bank);
            QCOMPARE(w.table->currentRow(), preset);
        }
        // The factory bank takes nothing; a user bank takes theirs in one undo step.
        auto *panel = w.findChild<ComparePanel *>();
        QVERIFY(!panel->takeButton->isEnabled());
        emit bar->previousRequested();
        QCOMPARE(w.table->currentColumn(), 9);
        QVERIFY(panel->takeButton->isEnabled());
        QVERIFY(panel->theirsLabel->text().contains(QStringLiteral("<b>Other</b>")));
        const int undoBefore = w.historyPos();
        panel->takeButton->click();
        QCOMPARE(w.bankStore.at(9, 100).author, QStringLiteral("Other"));
        QCOMPARE(w.historyPos(), undoBefore + 1);
        QTRY_COMPARE(bar->text(), QStringLiteral("2 presets differ from other.pre"));
        w.on_undo();
        QTRY_COMPARE(bar->text(), QStringLiteral("3 presets differ from other.pre"));

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
