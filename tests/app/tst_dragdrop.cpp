#include "app/mainwindow.h"
#include "base/appidentity.h"
#include "model/celltext.h"
#include "views/presetgrid.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QSettings>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {

// Every preset differs in name, author, category and parameters.
void loadDistinct(MainWindow &w)
{
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            PresetRecord &r = w.bankStore.at(b, p);
            r.name = QStringLiteral("P%1-%2").arg(b).arg(p);
            r.author = QStringLiteral("A%1").arg(p % 7);
            r.category = (b * 3 + p) % 14;
            r.params.fill(uint8_t(b * 16 + p));
            r.mark = true;
        }
    w.banksLoaded = true;
    w.clearTable();
    w.updateTable(true);
    w.modified = false;
}

struct Window
{
    MainWindow w;
    BankStore before;

    Window()
    {
        loadDistinct(w);
        w.resize(1280, 800);
        w.show();
        before = w.bankStore;
    }

    // Selects the cells of rows [top, bottom] in `column` and returns what their drag carries;
    // the drag is pending, as the table's startDrag leaves it.
    std::unique_ptr<QMimeData> drag(int top, int bottom, int column)
    {
        w.table->clearSelection();
        w.table->setRangeSelected(QTableWidgetSelectionRange(top, column, bottom, column), true);
        w.table->dragStarted = true;
        return std::unique_ptr<QMimeData>(
            w.table->model()->mimeData(w.table->selectionModel()->selectedIndexes()));
    }

    // Enter, move and drop at the centre of the cell, proposing a move as a shift-drag would.
    bool drop(const QMimeData *mime, int row, int column)
    {
        w.table->scrollToItem(w.table->item(row, column));
        const QPoint pos = w.table->visualItemRect(w.table->item(row, column)).center();
        QWidget *vp = w.table->viewport();
        QDragEnterEvent enter(pos, Qt::CopyAction | Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(vp, &enter);
        if (!enter.isAccepted())
            return false;
        QDragMoveEvent move(pos, Qt::CopyAction | Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
        move.setDropAction(Qt::MoveAction);
        QApplication::sendEvent(vp, &move);
        QDropEvent dropped(pos, Qt::CopyAction | Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
        dropped.setDropAction(Qt::MoveAction);
        QApplication::sendEvent(vp, &dropped);
        return move.isAccepted() && dropped.isAccepted() && dropped.dropAction() == Qt::CopyAction;
    }

    bool same(int bank, int preset, int beforeBank, int beforePreset) const
    {
        return w.bankStore.at(bank, preset).sameContent(before.at(beforeBank, beforePreset));
    }
    bool unchanged(int bank, int preset) const { return same(bank, preset, bank, preset); }
    bool cellShowsRecord(int bank, int preset) const
    {
        return w.table->item(preset, bank)->text() ==
               CellText::build(w.bankStore.at(bank, preset), preset, bank);
    }
};

} // namespace

class TestDragDrop : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        AppIdentity::apply();
        QSettings().clear();
    }

    void factoryPresetsCopyIntoAUserBankAsOneUndoStep()
    {
        Window f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.w));
        auto mime = f.drag(10, 11, 0);
        QVERIFY(f.drop(mime.get(), 0, 3));

        QVERIFY(f.same(3, 0, 0, 10));
        QVERIFY(f.same(3, 1, 0, 11));
        QVERIFY(f.unchanged(0, 10));
        QVERIFY(f.unchanged(0, 11));
        QVERIFY(f.unchanged(3, 2));
        QVERIFY(f.cellShowsRecord(3, 0));
        QVERIFY(f.cellShowsRecord(3, 1));
        QVERIFY(f.cellShowsRecord(0, 10));
        QCOMPARE(f.w.table->item(1, 3)->background().color().rgb(),
                 f.w.table->item(11, 0)->background().color().rgb());
        // What the drop wrote is selected, the drop cell current.
        SelectionMask written;
        written.set(3, 0);
        written.set(3, 1);
        QVERIFY(f.w.currentSelection() == written);
        QCOMPARE(f.w.table->currentRow(), 0);
        QCOMPARE(f.w.table->currentColumn(), 3);
        QCOMPARE(f.w.table->rowCount(), PresetsPerBank);
        QCOMPARE(f.w.table->columnCount(), BankCount);
        QCOMPARE(f.w.historyPos(), 2);
        QVERIFY(f.w.modified);
        QVERIFY(f.w.undoButton->isEnabled());
        QVERIFY(!f.w.table->dragStarted);

        f.w.on_undo();
        QCOMPARE(f.w.historyPos(), 0);
        QVERIFY(f.unchanged(3, 0));
        QVERIFY(f.unchanged(3, 1));
        QVERIFY(!f.w.modified);
        QVERIFY(f.cellShowsRecord(3, 0));
        QVERIFY(f.cellShowsRecord(3, 1));
        f.w.on_redo();
        QVERIFY(f.same(3, 0, 0, 10));
        QVERIFY(f.same(3, 1, 0, 11));
    }

    void overlappingBlockCopiesWhatWasThereBeforeTheDrop()
    {
        Window f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.w));
        auto mime = f.drag(20, 22, 5);
        QVERIFY(f.drop(mime.get(), 21, 5));

        QVERIFY(f.unchanged(5, 20));
        QVERIFY(f.same(5, 21, 5, 20));
        QVERIFY(f.same(5, 22, 5, 21));
        QVERIFY(f.same(5, 23, 5, 22));
        QVERIFY(f.unchanged(5, 24));
        for (int p = 20; p <= 24; ++p)
            QVERIFY(f.cellShowsRecord(5, p));
        QCOMPARE(f.w.historyPos(), 3);

        f.w.on_undo();
        for (int p = 20; p <= 24; ++p)
            QVERIFY(f.unchanged(5, p));
    }

    void blockDroppedOntoItselfRecordsNothing()
    {
        Window f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.w));
        auto mime = f.drag(30, 32, 6);
        QVERIFY(f.drop(mime.get(), 30, 6));

        QCOMPARE(f.w.historyPos(), 0);
        QVERIFY(!f.w.modified);
        for (int p = 30; p <= 32; ++p)
            QVERIFY(f.unchanged(6, p));
    }

    void aSecondDeliveryOfAConsumedDragChangesNothing()
    {
        Window f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.w));
        auto mime = f.drag(50, 51, 4);
        QVERIFY(f.drop(mime.get(), 0, 9));
        const BankStore afterFirst = f.w.bankStore;
        const int pos = f.w.historyPos();

        // It would copy from a snapshot that no longer matches what the cells show.
        QVERIFY(!f.drop(mime.get(), 10, 9));
        QCOMPARE(f.w.historyPos(), pos);
        for (int b = 0; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p)
                QVERIFY(f.w.bankStore.at(b, p).sameContent(afterFirst.at(b, p)));
    }
};

QTEST_MAIN(TestDragDrop)
#include "tst_dragdrop.moc"
