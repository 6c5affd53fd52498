#include "app/mainwindow.h"
#include "common/germancatalogue.h"
#include "editing/editfixtures.h"
#include "model/categorytable.h"
#include "views/detailview.h"
#include "views/presetgrid.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTranslator>

#include <memory>

namespace {

// What the context menu showed, and the entry that was clicked.
struct MenuSeen
{
    bool shown = false;
    QStringList texts;        // "-" for a separator
    QList<QKeySequence> keys; // of the entries: cut, copy, paste, delete
    QList<bool> enabled;
    QPoint topLeft;
};

} // namespace

class TestEditSlots : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindow> w;

    // Banks as after a complete load: distinct presets, table enabled.
    void load()
    {
        fillDistinct(w->bankStore);
        w->banksLoaded = true;
        w->updateTable(true);
    }

    void select(int firstRow, int firstColumn, int lastRow, int lastColumn)
    {
        w->table->setRangeSelected(QTableWidgetSelectionRange(firstRow, firstColumn, lastRow, lastColumn),
                                   true);
    }
    void select(std::initializer_list<std::pair<int, int>> rowColumns)
    {
        for (auto [r, c] : rowColumns)
            w->table->item(r, c)->setSelected(true);
    }

    // Right-click request on the table; `click` names the entry to choose, if any.
    MenuSeen openMenu(const QString &click = QString())
    {
        MenuSeen seen;
        QTimer poll;
        int ticksAfterClick = 0;
        connect(&poll, &QTimer::timeout, [&] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu)
                return;
            if (seen.shown) { // the click did not close it: close it so the test fails, not hangs
                if (++ticksAfterClick > 100)
                    menu->close();
                return;
            }
            seen.shown = true;
            seen.topLeft = menu->geometry().topLeft();
            QAction *chosen = nullptr;
            for (QAction *a : menu->actions()) {
                seen.texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
                if (a->isSeparator())
                    continue;
                seen.keys << a->shortcut();
                seen.enabled << a->isEnabled();
                if (!click.isEmpty() && QString(a->text()).remove(QLatin1Char('&')) == click)
                    chosen = a;
            }
            // Chosen by keyboard: a mouse click on an open menu is not delivered alike by every Qt version.
            if (chosen) {
                menu->setActiveAction(chosen);
                QTest::keyClick(menu, Qt::Key_Return);
            } else
                menu->close();
        });
        poll.start(5);
        emit w->table->customContextMenuRequested(QPoint(30, 40));
        return seen;
    }

    void pressButton(QAbstractButton *button) { QTest::mousePress(button, Qt::LeftButton); }
    void releaseButton(QAbstractButton *button) { QTest::mouseRelease(button, Qt::LeftButton); }

    void clickCategoryRow(int row)
    {
        QListWidget *list = w->detailView->categoryList;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }

private slots:
    void init()
    {
        w = std::make_unique<MainWindow>();
        w->move(0, 0);
        w->resize(1000, 700);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }
    void cleanup() { w.reset(); }

    void copyAndCutNeedARectangle()
    {
        load();
        const BankStore before = w->bankStore;
        select({{2, 3}, {5, 3}});
        QVERIFY(!w->selectionIsRectangle());
        w->on_copy_Table();
        QVERIFY(!w->clipboardFilled);
        w->on_cut_Table();
        QVERIFY(sameContent(w->bankStore, before));
        QCOMPARE(w->historyPos(), 0);
        const MenuSeen seen = openMenu();
        QVERIFY(!seen.enabled[0]); // cut
        QVERIFY(!seen.enabled[1]); // copy

        select(2, 3, 5, 3);
        QVERIFY(w->selectionIsRectangle());
        w->on_copy_Table();
        QVERIFY(w->clipboardFilled);
        QCOMPARE(w->historyPos(), 0);
    }

    void cutEmptiesAndPastesBack()
    {
        load();
        const BankStore before = w->bankStore;
        select(0, 0, 3, 1); // includes factory cells: refused
        QVERIFY(w->factoryCellSelected());
        w->on_cut_Table();
        QVERIFY(sameContent(w->bankStore, before));
        QVERIFY(!w->clipboardFilled);

        w->table->clearSelection();
        select(10, 4, 12, 5);
        w->on_cut_Table();
        QVERIFY(w->clipboardFilled);
        QCOMPARE(countDifferences(w->bankStore, before), 6);
        QCOMPARE(w->table->item(11, 5)->text(), QStringLiteral("empty\n\n11\n5"));
        QCOMPARE(w->historyPos(), 6);

        w->table->clearSelection();
        select({{100, 9}});
        w->on_paste_Table();
        QVERIFY(w->bankStore.at(9, 100).sameContent(before.at(4, 10)));
        QVERIFY(w->bankStore.at(10, 102).sameContent(before.at(5, 12)));
        QCOMPARE(w->table->item(100, 9)->text(),
                 QStringLiteral("%1\n%2\n100\n9").arg(before.at(4, 10).name, before.at(4, 10).author));

        w->on_undo(); // the paste
        w->on_undo(); // the whole cut
        QVERIFY(sameContent(w->bankStore, before));
        QVERIFY(!w->modified);
    }

    void deleteRefusesFactoryCellsAndLeavesEmptyPresets()
    {
        load();
        const BankStore before = w->bankStore;
        select(20, 1, 29, 1);
        select({{5, 0}});
        w->on_delete_Table();
        QVERIFY(sameContent(w->bankStore, before));
        QCOMPARE(w->historyPos(), 0);

        w->table->item(5, 0)->setSelected(false);
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(w.get(), Qt::Key_D, Qt::ControlModifier); // the window shortcut
        QCOMPARE(countDifferences(w->bankStore, before), 10);
        for (int r = 20; r <= 29; ++r) {
            const PresetRecord &rec = w->bankStore.at(1, r);
            QCOMPARE(rec.name, QStringLiteral("empty"));
            QVERIFY(rec.author.isEmpty());
            QCOMPARE(rec.category, 0);
            QVERIFY(rec.params == before.at(0, 0).params);
            QTableWidgetItem *item = w->table->item(r, 1);
            QCOMPARE(item->text(), QStringLiteral("empty\n\n%1\n1").arg(r));
            QCOMPARE(item->background().color(), QColor(Qt::white));
            QVERIFY(item->isSelected());
        }
        QCOMPARE(w->detailView->shownAuthorEdit->text(), QString());
        QCOMPARE(w->detailView->categoryList->currentRow(), 0);
    }

    void pasteConditions()
    {
        load();
        const BankStore before = w->bankStore;
        select({{7, 7}});
        w->on_paste_Table(); // nothing copied yet
        QCOMPARE(w->historyPos(), 0);
        QVERIFY(!openMenu().enabled[2]);

        w->on_copy_Table();
        select({{8, 8}}); // two cells
        w->on_paste_Table();
        w->table->clearSelection();
        select({{50, 0}}); // factory column
        w->on_paste_Table();
        QVERIFY(!openMenu().enabled[2]);
        QVERIFY(sameContent(w->bankStore, before));
        QCOMPARE(w->historyPos(), 0);

        w->table->clearSelection();
        select({{50, 2}});
        QVERIFY(openMenu().enabled[2]);
        w->activateWindow(); // a closed popup leaves no active window behind on offscreen
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(w.get(), Qt::Key_V, Qt::ControlModifier);
        QVERIFY(w->bankStore.at(2, 50).sameContent(before.at(7, 7)));
        QCOMPARE(countDifferences(w->bankStore, before), 1);
        const QList<QTableWidgetItem *> selected = w->table->selectedItems();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(w->table->row(selected[0]), 50);
        QCOMPARE(w->table->column(selected[0]), 2);
    }

    // The keys are the menu's actions: what one command changes (the clipboard, the history)
    // lets the next run at once, with no change of the selection between them.
    void keysFollowWhatTheLastCommandChanged()
    {
        load();
        const BankStore before = w->bankStore;
        select({{40, 6}});
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QVERIFY(!w->undoButton->isEnabled());
        QTest::keyClick(w.get(), Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(w->bankStore.at(6, 40).name, QStringLiteral("empty"));
        QVERIFY(w->undoButton->isEnabled());
        QTest::keyClick(w.get(), Qt::Key_V, Qt::ControlModifier);
        QVERIFY(w->bankStore.at(6, 40).sameContent(before.at(6, 40)));
        QTest::keyClick(w.get(), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(w.get(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(sameContent(w->bankStore, before));
        QVERIFY(!w->undoButton->isEnabled());
        QVERIFY(w->redoButton->isEnabled());
    }

    // Where copy may not run (two cells apart), Ctrl+C copies nothing at all, neither to the
    // window's clipboard nor, from the table or a list, the current item's text to the desktop's.
    void refusedCopyKeyCopiesNothing()
    {
        load();
        QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
        select({{2, 3}, {5, 3}});
        w->table->setCurrentCell(5, 3, QItemSelectionModel::NoUpdate);
        w->table->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(w->table, Qt::Key_C, Qt::ControlModifier);
        w->detailView->categoryList->setFocus();
        QTest::keyClick(w->detailView->categoryList, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(!w->clipboardFilled);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
    }

    // Every refused key says why in the status line, in English and German, and changes nothing.
    void refusalsSayWhy()
    {
        load();
        const BankStore before = w->bankStore;
        auto statusAfter = [&](std::initializer_list<std::pair<int, int>> cells, Qt::Key key,
                               Qt::KeyboardModifiers mods, QWidget *target = nullptr) {
            w->table->clearSelection();
            select(cells);
            if (cells.size() > 0)
                w->table->setCurrentCell(cells.begin()->first, cells.begin()->second,
                                         QItemSelectionModel::NoUpdate);
            w->statusBar()->clearMessage();
            QTest::keyClick(target ? target : w->table, key, mods);
            return w->statusBar()->currentMessage();
        };
        struct Case
        {
            std::initializer_list<std::pair<int, int>> cells;
            Qt::Key key;
            Qt::KeyboardModifiers mods;
            const char *english;
        };
        const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
        const Case cases[] = {
            {{}, Qt::Key_V, ctrl, "Nothing has been copied yet"}, // before asking for a cell
            {{}, Qt::Key_Z, ctrl, "Nothing to undo"},
            {{}, Qt::Key_D, ctrl, "Nothing is selected"},
            {{{5, 0}}, Qt::Key_F2, {}, "Bank 1 is read-only"},
            {{{5, 0}}, Qt::Key_B, {}, "Bank 1 is read-only"}, // names start with "B"
            {{{5, 0}, {5, 1}}, Qt::Key_X, ctrl, "Bank 1 is read-only"},
            {{{2, 3}, {5, 3}}, Qt::Key_C, ctrl, "Only a rectangular block of presets can be copied"},
            {{{2, 3}, {5, 3}}, Qt::Key_X, ctrl, "Only a rectangular block of presets can be cut"},
        };
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        GermanOrMissing german("MainWindow");
        QVERIFY(german.load());
        for (bool inGerman : {false, true}) {
            if (inGerman)
                QCoreApplication::installTranslator(&german);
            w->clipboardFilled = false;
            for (const Case &c : cases) {
                const QString said = statusAfter(c.cells, c.key, c.mods);
                const QString expected = inGerman ? QCoreApplication::translate("MainWindow", c.english)
                                                  : QString::fromLatin1(c.english);
                QCOMPARE(said, expected);
                QVERIFY(!w->table->viewport()->findChild<QLineEdit *>()); // no rename began
                if (c.cells.size() > 0)                                   // and typing jumped nowhere
                    QCOMPARE(w->table->currentRow(), c.cells.begin()->first);
            }
            // A block that does not fit is refused whole and says how many presets are left over.
            w->table->clearSelection();
            select(10, 4, 12, 5);
            w->on_copy_Table();
            QVERIFY(w->clipboardFilled);
            QCOMPARE(statusAfter({{5, 0}}, Qt::Key_V, ctrl),
                     QCoreApplication::translate("MainWindow", "Bank 1 is read-only"));
            QCOMPARE(statusAfter({{5, 6}, {6, 6}}, Qt::Key_V, ctrl),
                     QCoreApplication::translate("MainWindow",
                                                 "Select the one cell where the copied block's top-left "
                                                 "corner goes"));
            QCOMPARE(statusAfter({{127, 9}}, Qt::Key_V, ctrl),
                     QCoreApplication::translate("MainWindow",
                                                 "%1 presets did not fit below row %2; nothing was pasted")
                         .arg(4)
                         .arg(128));
            QCOMPARE(statusAfter({{0, 15}}, Qt::Key_V, ctrl),
                     QCoreApplication::translate(
                         "MainWindow", "%1 presets did not fit right of bank %2; nothing was pasted")
                         .arg(3)
                         .arg(16));
            QCoreApplication::removeTranslator(&german);
        }
        QVERIFY2(german.missing.isEmpty(), qPrintable(german.missing.join(QLatin1Char('\n'))));
        QVERIFY(sameContent(w->bankStore, before));
        QCOMPARE(w->historyPos(), 0);
    }

    // The walk: a cell copied, another clicked, Ctrl+End and Ctrl+Up away from it; the
    // paste lands where the current cell is, is selected and in view; the clicked cell stays.
    void pasteLandsWhereTheCurrentCellIs()
    {
        load();
        const BankStore before = w->bankStore;
        select(20, 7, 21, 7);
        w->on_copy_Table();
        w->table->clearSelection();
        w->table->setCurrentCell(0, 4, QItemSelectionModel::ClearAndSelect);
        w->table->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(w->table, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(w->table, Qt::Key_Up, Qt::ControlModifier);
        QTest::keyClick(w->table, Qt::Key_Down, Qt::ShiftModifier | Qt::ControlModifier);
        QCOMPARE(w->currentSelection(), rectangle(15, 0, 15, 127));
        QTest::keyClick(w->table, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(w->table, Qt::Key_Right, Qt::ControlModifier);
        QTest::keyClick(w->table, Qt::Key_Down);
        QCOMPARE(w->currentSelection(), rectangle(15, 1, 15, 1));
        QTest::keyClick(w->table, Qt::Key_V, Qt::ControlModifier);
        QVERIFY(w->bankStore.at(15, 1).sameContent(before.at(7, 20)));
        QVERIFY(w->bankStore.at(15, 2).sameContent(before.at(7, 21)));
        QCOMPARE(countDifferences(w->bankStore, before), 2);
        QCOMPARE(w->currentSelection(), rectangle(15, 1, 15, 2));
        QCOMPARE(w->table->currentRow(), 1);
        QCOMPARE(w->table->currentColumn(), 15);

        // Scrolled away with the wheel, a delete brings what it emptied back into view.
        w->table->scrollToTop();
        w->table->horizontalScrollBar()->setValue(0);
        QTest::keyClick(w->table, Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(w->bankStore.at(15, 2).name, QStringLiteral("empty"));
        const QRect shown = w->table->visualItemRect(w->table->item(1, 15));
        QVERIFY(w->table->viewport()->rect().contains(shown.center()));
    }

    void noContextMenuBeforeLoad()
    {
        QVERIFY(!openMenu().shown);
        load();
        QVERIFY(openMenu().shown);
    }

    void contextMenuEntries()
    {
        load();
        select(3, 2, 4, 3);
        MenuSeen seen = openMenu();
        QCOMPARE(seen.texts, (QStringList{"Cu&t", "&Copy", "&Paste", "-", "&Delete", "-", "Sort by &name",
                                          "Sort by &author", "Sort by cat&egory", "Select d&uplicates"}));
        QCOMPARE(seen.keys[0], QKeySequence("Ctrl+x"));
        QCOMPARE(seen.keys[1], QKeySequence("Ctrl+c"));
        QCOMPARE(seen.keys[2], QKeySequence("Ctrl+v"));
        QCOMPARE(seen.keys[3], QKeySequence("Ctrl+d"));
        // Two banks selected: nothing to sort.
        QCOMPARE(seen.enabled, (QList<bool>{true, true, false, true, false, false, false, true}));
        // Opens where the right click was, in the cell area below the header.
        QCOMPARE(seen.topLeft, w->table->viewport()->mapToGlobal(QPoint(30, 40)));

        w->table->clearSelection();
        select({{9, 0}}); // a single factory cell: only copy
        seen = openMenu();
        QCOMPARE(seen.enabled, (QList<bool>{false, true, false, false, false, false, false, true}));

        // Choosing entries runs them.
        w->table->clearSelection();
        select(3, 2, 4, 3);
        const BankStore before = w->bankStore;
        openMenu(QStringLiteral("Copy"));
        QVERIFY(w->clipboardFilled);
        w->table->clearSelection();
        select({{60, 12}});
        openMenu(QStringLiteral("Paste"));
        QVERIFY(w->bankStore.at(13, 61).sameContent(before.at(3, 4)));
        openMenu(QStringLiteral("Delete"));
        QCOMPARE(w->bankStore.at(12, 60).name, QStringLiteral("empty"));
    }

    void contextMenuInGerman()
    {
        QTranslator german;
        QVERIFY(german.load(QStringLiteral(":/translations/presetman_de")));
        QCoreApplication::installTranslator(&german);
        load();
        const QStringList texts = openMenu().texts;
        QCoreApplication::removeTranslator(&german);
        QCOMPARE(texts, (QStringList{"Aus&schneiden", "&Kopieren", QString::fromUtf8("&Einfügen"), "-",
                                     QString::fromUtf8("&Löschen"), "-", "Nach &Namen sortieren",
                                     "Nach &Autor sortieren", "Nach Ka&tegorie sortieren",
                                     QString::fromUtf8("&Duplikate auswählen")}));
    }

    void sortAndDuplicatesFromTheMenu()
    {
        load();
        // Bank 5, presets 10..13 renamed out of order; a sort is one undo step.
        const char *given[] = {"d", "b", "c", "a"};
        for (int i = 0; i < 4; ++i) {
            w->bankStore.at(4, 10 + i).name = QString::fromLatin1(given[i]);
            w->bankStore.at(4, 10 + i).mark = true;
        }
        w->updateTable(true);
        select(10, 4, 13, 4);
        const BankStore before = w->bankStore;
        openMenu(QStringLiteral("Sort by name"));
        QStringList shown;
        for (int r = 10; r <= 13; ++r)
            shown << w->table->item(r, 4)->text().section(QLatin1Char('\n'), 0, 0);
        QCOMPARE(shown, (QStringList{"a", "b", "c", "d"}));
        QCOMPARE(w->currentSelection(), rectangle(4, 10, 4, 13)); // the selection stays
        w->on_undo();
        QVERIFY(sameContent(w->bankStore, before));

        // Two user presets with a factory sound, one pair within the user banks: only the extra
        // copies are selected, the first of each group stays.
        w->bankStore.at(3, 0).params = w->bankStore.at(0, 7).params;
        w->bankStore.at(9, 5).params = w->bankStore.at(0, 7).params;
        w->bankStore.at(15, 127).params = w->bankStore.at(2, 64).params;
        openMenu(QStringLiteral("Select duplicates"));
        SelectionMask expected;
        for (auto [b, p] : {std::pair{3, 0}, {9, 5}, {15, 127}})
            expected.set(b, p);
        QCOMPARE(w->currentSelection(), expected);
        QCOMPARE(w->statusBar()->currentMessage(),
                 QStringLiteral("2 groups of duplicates found, 3 extra copies selected"));
        QVERIFY(!w->history.canUndo());
        // The note goes with the next change of the selection.
        w->table->setCurrentCell(0, 0);
        QCOMPARE(w->statusBar()->currentMessage(), QString());
    }

    void authorToUserPresets()
    {
        load();
        const BankStore before = w->bankStore;
        select({{4, 0}, {4, 2}, {9, 3}, {127, 15}});
        QTest::keyClicks(w->detailView->newAuthorEdit, QStringLiteral("Tom"));
        pressButton(w->detailView->assignAuthorButton); // acts on press, before the release
        QCOMPARE(w->bankStore.at(2, 4).author, QStringLiteral("Tom"));
        QCOMPARE(w->bankStore.at(3, 9).author, QStringLiteral("Tom"));
        QCOMPARE(w->bankStore.at(15, 127).author, QStringLiteral("Tom"));
        QCOMPARE(w->bankStore.at(0, 4).author, before.at(0, 4).author);
        releaseButton(w->detailView->assignAuthorButton);
        QCOMPARE(w->table->item(9, 3)->text(), QStringLiteral("%1\nTom\n9\n3").arg(before.at(3, 9).name));
        QVERIFY(w->undoButton->isEnabled());

        w->on_undo();
        QVERIFY(sameContent(w->bankStore, before));
        QCOMPARE(w->historyPos(), 0);
    }

    void sameAuthorStillRecords()
    {
        load();
        w->bankStore.at(6, 1).author = w->bankStore.at(6, 2).author = QStringLiteral("Ann");
        w->bankStore.at(6, 1).mark = w->bankStore.at(6, 2).mark = true;
        w->updateTable(true);
        select(1, 6, 2, 6);
        QCOMPARE(w->detailView->shownAuthorEdit->text(), QStringLiteral("Ann"));

        // Pick up the shown author, then assign it.
        pressButton(w->detailView->takeAuthorButton);
        QCOMPARE(w->detailView->newAuthorEdit->text(), QStringLiteral("Ann"));
        QCOMPARE(w->historyPos(), 0);
        QVERIFY(!w->modified);
        pressButton(w->detailView->assignAuthorButton);
        QCOMPARE(w->historyPos(), 2);
        QVERIFY(w->modified);
    }

    void categoryToSelection()
    {
        load();
        w->bankStore.at(4, 10).category = 2;
        w->bankStore.at(5, 30).category = 5;
        w->bankStore.at(4, 10).mark = w->bankStore.at(5, 30).mark = true;
        w->updateTable(true);
        const BankStore before = w->bankStore;
        select({{10, 4}, {30, 5}});
        clickCategoryRow(7);
        QCOMPARE(w->bankStore.at(4, 10).category, 7);
        QCOMPARE(w->bankStore.at(5, 30).category, 7);
        QCOMPARE(w->table->item(30, 5)->background().color(), QColor::fromRgb(categoryTable[7].rgb));
        QCOMPARE(w->historyPos(), 2); // both signals of the row change ran; one recorded

        w->on_undo();
        QVERIFY(sameContent(w->bankStore, before));
        QVERIFY(!w->undoButton->isEnabled());
    }

    void singlePresetShowsItsCategoryWithoutRecording()
    {
        load();
        w->bankStore.at(8, 44).category = 3;
        w->bankStore.at(8, 44).mark = true;
        w->updateTable(true);
        select({{44, 8}});
        QCOMPARE(w->detailView->categoryList->currentRow(), 3);
        QCOMPARE(w->historyPos(), 0);
        QVERIFY(!w->modified);

        // Factory presets never take a category; the list returns to theirs.
        w->table->clearSelection();
        select({{0, 0}});
        const int factoryCategory = w->bankStore.at(0, 0).category;
        clickCategoryRow(factoryCategory == 9 ? 10 : 9);
        QCOMPARE(w->bankStore.at(0, 0).category, factoryCategory);
        QCOMPARE(w->detailView->categoryList->currentRow(), factoryCategory);
        QCOMPARE(w->historyPos(), 0);
    }

    void nothingBeforeLoad()
    {
        fillDistinct(w->bankStore);
        w->updateTable(true); // banksLoaded stays cleared
        const BankStore before = w->bankStore;
        select(0, 1, 5, 3);
        w->detailView->newAuthorEdit->setText(QStringLiteral("Tom"));
        w->detailView->shownAuthorEdit->setText(QStringLiteral("Shown"));
        pressButton(w->detailView->assignAuthorButton);
        pressButton(w->detailView->takeAuthorButton);
        w->detailView->categoryList->setCurrentRow(9);
        QCOMPARE(w->detailView->newAuthorEdit->text(), QStringLiteral("Tom"));
        QVERIFY(sameContent(w->bankStore, before));
        QCOMPARE(w->historyPos(), 0);
        QVERIFY(!w->modified);
    }
};

QTEST_MAIN(TestEditSlots)
#include "tst_editslots.moc"
