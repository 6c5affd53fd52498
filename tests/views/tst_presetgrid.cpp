#include "model/bankstore.h"
#include "model/celltext.h"
#include "model/selectionmask.h"
#include "views/presetgrid.h"
#include "views/presettable.h"

#include <QApplication>
#include <QCursor>
#include <QDrag>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

// A set-up table whose cells all differ, shown so that geometry is real.
struct Fixture
{
    PresetGrid table{PresetsPerBank, BankCount};
    BankStore store;

    Fixture()
    {
        PresetTable::setUp(&table);
        for (int b = 0; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p) {
                PresetRecord &r = store.at(b, p);
                r.name = QStringLiteral("P%1-%2").arg(b).arg(p);
                r.category = (b + p) % 14;
                r.mark = true;
            }
        PresetTable::rebuildMarkedCells(&table, store);
        table.resize(700, 500);
        table.show();
    }

    // The MIME data a drag of these cells carries, with the drag pending as startDrag leaves it.
    std::unique_ptr<QMimeData> drag(const QList<QPoint> &rowColumn)
    {
        table.clearSelection();
        for (const QPoint &rc : rowColumn)
            table.item(rc.x(), rc.y())->setSelected(true);
        table.dragStarted = true;
        return std::unique_ptr<QMimeData>(table.model()->mimeData(table.selectionModel()->selectedIndexes()));
    }

    QRect cellRect(int row, int column)
    {
        table.scrollToItem(table.item(row, column));
        return table.visualItemRect(table.item(row, column));
    }

    // Moves and drops reach only the widget whose drag-enter was accepted, as in a real drag.
    bool enter(const QMimeData *mime, const QPoint &pos)
    {
        QDragEnterEvent event(pos, Qt::CopyAction | Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(table.viewport(), &event);
        return event.isAccepted();
    }

    void leave()
    {
        QDragLeaveEvent event;
        QApplication::sendEvent(table.viewport(), &event);
    }

    bool move(const QMimeData *mime, const QPoint &pos, Qt::DropAction proposed = Qt::CopyAction)
    {
        const bool entered = enter(mime, pos);
        QDragMoveEvent event(pos, Qt::CopyAction | Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
        event.setDropAction(proposed);
        QApplication::sendEvent(table.viewport(), &event);
        leave();
        return entered && event.isAccepted() && event.dropAction() == Qt::CopyAction;
    }

    bool drop(const QMimeData *mime, const QPoint &pos, Qt::DropAction proposed = Qt::CopyAction)
    {
        const bool entered = enter(mime, pos);
        QDropEvent event(pos, Qt::CopyAction | Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
        event.setDropAction(proposed);
        QApplication::sendEvent(table.viewport(), &event);
        if (!entered)
            leave();
        return entered && event.isAccepted() && event.dropAction() == Qt::CopyAction;
    }

    QString text(int row, int column) { return table.item(row, column)->text(); }
};

int changedAt(const QSignalSpy &spy, int row, int column)
{
    int n = 0;
    for (const QList<QVariant> &args : spy)
        n += args.at(0).toInt() == row && args.at(1).toInt() == column;
    return n;
}

} // namespace

class TestPresetGrid : public QObject
{
    Q_OBJECT

private slots:
    void dragStartsForABlockOrASecondPressOnTheSameCell()
    {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.table));
        QWidget *vp = f.table.viewport();
        auto pressAndPull = [&](int row, int column) {
            const QPoint at = f.cellRect(row, column).center();
            QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, at);
            // The first move arms the view's drag, the second one past the drag distance starts it.
            QTest::mouseMove(vp, at + QPoint(3, 0));
            QTest::mouseMove(vp, at + QPoint(QApplication::startDragDistance() + 10, 0));
            QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier,
                                at + QPoint(QApplication::startDragDistance() + 10, 0));
        };

        pressAndPull(5, 3);
        QVERIFY(!f.table.dragStarted);
        QVERIFY(!f.table.findChild<QDrag *>());

        pressAndPull(5, 3);
        QVERIFY(f.table.takeDragStarted());
        QDrag *drag = f.table.findChild<QDrag *>();
        QVERIFY(drag);
        QCOMPARE(drag->supportedActions(), Qt::DropActions(Qt::CopyAction));
        // The picture hangs beside the pointer, off the cell it will land on.
        QVERIFY(!drag->pixmap().isNull());
        QVERIFY(drag->hotSpot().x() < 0 && drag->hotSpot().y() < 0);
        QVERIFY(drag->mimeData()->hasFormat(PresetGrid::originFormat()));
        delete drag;

        // A press on another single cell selects it and starts no drag.
        pressAndPull(9, 6);
        QVERIFY(!f.table.dragStarted);

        // A selected block drags from a press on any of its cells.
        f.table.clearSelection();
        f.table.setRangeSelected(QTableWidgetSelectionRange(20, 4, 21, 4), true);
        pressAndPull(21, 4);
        QVERIFY(f.table.takeDragStarted());
        QVERIFY(!f.table.takeDragStarted());
    }

    void dropLandsOnlyWellInsideAUserCell()
    {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.table));
        auto mime = f.drag({{10, 0}, {11, 0}});
        f.cellRect(4, 2);
        // The cell's whole section, its grid line included.
        const QRect r(f.table.columnViewportPosition(2), f.table.rowViewportPosition(4),
                      f.table.columnWidth(2), f.table.rowHeight(4));

        QSignalSpy refused(&f.table, &PresetGrid::readOnlyBankTouched);
        QVERIFY(f.move(mime.get(), r.center()));
        QVERIFY(f.move(mime.get(), r.center(), Qt::MoveAction)); // still answered as a copy
        QVERIFY(f.move(mime.get(), QPoint(r.center().x(), r.top() + 5)));
        QVERIFY(!f.move(mime.get(), QPoint(r.center().x(), r.top() + 4)));
        QVERIFY(f.move(mime.get(), QPoint(r.center().x(), r.bottom() - 5)));
        QVERIFY(!f.move(mime.get(), QPoint(r.center().x(), r.bottom() - 4)));
        QVERIFY(f.move(mime.get(), QPoint(r.left() + 5, r.center().y())));
        QVERIFY(!f.move(mime.get(), QPoint(r.left() + 4, r.center().y())));
        QVERIFY(f.move(mime.get(), QPoint(r.right() - 5, r.center().y())));
        QVERIFY(!f.move(mime.get(), QPoint(r.right() - 4, r.center().y())));
        QCOMPARE(refused.count(), 0);                            // near a border is no refusal to explain
        QVERIFY(!f.move(mime.get(), f.cellRect(4, 0).center())); // factory bank: says why
        QCOMPARE(refused.count(), 1);

        QSignalSpy changed(&f.table, &QTableWidget::cellChanged);
        const QPoint nearBorder(r.center().x(), r.top() + 2);
        QVERIFY(!f.drop(mime.get(), nearBorder, Qt::MoveAction));
        QVERIFY(!f.drop(mime.get(), f.cellRect(4, 0).center()));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(f.table.rowCount(), PresetsPerBank);
        QCOMPARE(f.table.columnCount(), BankCount);
        QCOMPARE(f.text(10, 0), CellText::build(f.store.at(0, 10), 10, 0));
    }

    void dragsFromElsewhereAreRefused()
    {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.table));
        const QPoint target = f.cellRect(4, 2).center();
        QSignalSpy changed(&f.table, &QTableWidget::cellChanged);

        // Another table (as another running instance would be) with the same content.
        PresetGrid other(PresetsPerBank, BankCount);
        PresetTable::setUp(&other);
        for (int b = 0; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p)
                f.store.at(b, p).mark = true;
        PresetTable::rebuildMarkedCells(&other, f.store);
        other.item(10, 0)->setSelected(true);
        other.item(11, 0)->setSelected(true);
        std::unique_ptr<QMimeData> foreign(
            other.model()->mimeData(other.selectionModel()->selectedIndexes()));
        f.table.dragStarted = true;
        QVERIFY(!f.move(foreign.get(), target));
        QVERIFY(!f.drop(foreign.get(), target));

        QMimeData plain;
        plain.setText(QStringLiteral("Bass\nTom\n10\n0"));
        QVERIFY(!f.move(&plain, target));
        QVERIFY(!f.drop(&plain, target));

        QVERIFY(!f.enter(&plain, target));
        QVERIFY(!f.table.autoscrollActive);
        QVERIFY(!f.table.scrollTimer->isActive());

        // Our own data, but the drop that consumed the drag has already reached the store.
        auto stale = f.drag({{10, 0}, {11, 0}});
        f.table.dragStarted = false;
        QVERIFY(!f.move(stale.get(), target));
        QVERIFY(!f.drop(stale.get(), target));
        QCOMPARE(changed.count(), 0);
    }

    void dropOverwritesOneCellAtATimeAndNeverMoves()
    {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.table));
        QTableWidgetItem *dest0 = f.table.item(0, 3);
        QTableWidgetItem *dest1 = f.table.item(1, 3);
        const QString source10 = f.text(10, 0);
        const QString source11 = f.text(11, 0);
        const QBrush background11 = f.table.item(11, 0)->background();
        auto mime = f.drag({{10, 0}, {11, 0}});

        QSignalSpy changed(&f.table, &QTableWidget::cellChanged);
        QVERIFY(f.drop(mime.get(), f.cellRect(0, 3).center(), Qt::MoveAction));

        QCOMPARE(changed.count(), 2);
        QCOMPARE(changedAt(changed, 0, 3), 1);
        QCOMPARE(changedAt(changed, 1, 3), 1);
        QCOMPARE(f.table.item(0, 3), dest0); // the same items, overwritten
        QCOMPARE(f.table.item(1, 3), dest1);
        QCOMPARE(dest0->text(), source10);
        QCOMPARE(dest1->text(), source11);
        QCOMPARE(dest1->background(), background11);
        QCOMPARE(dest1->flags(), f.table.item(2, 3)->flags());
        // The sources keep their items and texts, whatever the gesture proposed.
        QCOMPARE(f.text(10, 0), source10);
        QCOMPARE(f.text(11, 0), source11);
        QCOMPARE(f.table.rowCount(), PresetsPerBank);
        QCOMPARE(f.table.columnCount(), BankCount);
        QVERIFY(!f.table.autoscrollActive);
    }

    void cellsBeyondTheTableAreSkipped()
    {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.table));
        // A 3 x 2 block dropped on the last row of bank 15: only its top-left cell fits.
        auto mime = f.drag({{40, 2}, {41, 2}, {42, 2}, {40, 3}, {41, 3}, {42, 3}});
        const QString topLeft = f.text(40, 2);
        const QString above = f.text(126, 15);
        QSignalSpy changed(&f.table, &QTableWidget::cellChanged);
        QVERIFY(f.drop(mime.get(), f.cellRect(127, 15).center()));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(f.text(127, 15), topLeft);
        QCOMPARE(f.text(126, 15), above);
        QCOMPARE(f.table.rowCount(), PresetsPerBank);
        QCOMPARE(f.table.columnCount(), BankCount);

        // A drop onto its own place writes nothing.
        auto same = f.drag({{60, 5}, {61, 5}});
        changed.clear();
        QVERIFY(f.drop(same.get(), f.cellRect(60, 5).center()));
        QCOMPARE(changed.count(), 0);
    }

    // Random walks of arrows, Home and End with and without Ctrl and Shift: the selection is
    // always the current cell, or with Shift the rectangle from where Shift began to it, and
    // the current cell is in view.
    void selectionFollowsTheCurrentCell()
    {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.table));
        const int lastRow = PresetsPerBank - 1, lastColumn = BankCount - 1;
        const Qt::Key keys[] = {Qt::Key_Up,    Qt::Key_Down, Qt::Key_Left,
                                Qt::Key_Right, Qt::Key_Home, Qt::Key_End};
        QRandomGenerator rng(7);
        int row = 4, column = 0, anchorRow = row, anchorColumn = column;
        f.table.setCurrentCell(row, column, QItemSelectionModel::ClearAndSelect);
        for (int step = 0; step < 300; ++step) {
            const Qt::Key key = keys[rng.bounded(6)];
            const bool ctrl = rng.bounded(2), shift = rng.bounded(3) == 0;
            switch (key) {
            case Qt::Key_Up:
                row = ctrl ? 0 : std::max(row - 1, 0);
                break;
            case Qt::Key_Down:
                row = ctrl ? lastRow : std::min(row + 1, lastRow);
                break;
            case Qt::Key_Left:
                column = ctrl ? 0 : std::max(column - 1, 0);
                break;
            case Qt::Key_Right:
                column = ctrl ? lastColumn : std::min(column + 1, lastColumn);
                break;
            case Qt::Key_Home:
                column = 0;
                row = ctrl ? 0 : row;
                break;
            default:
                column = lastColumn;
                row = ctrl ? lastRow : row;
                break;
            }
            Qt::KeyboardModifiers mods;
            mods.setFlag(Qt::ControlModifier, ctrl);
            mods.setFlag(Qt::ShiftModifier, shift);
            const QModelIndex before = f.table.currentIndex();
            QTest::keyClick(&f.table, key, mods);
            if (!shift && f.table.currentIndex() != before) {
                anchorRow = row;
                anchorColumn = column;
            }
            if (!shift && f.table.currentIndex() == before) // nowhere to go: the selection stays
                continue;
            QCOMPARE(f.table.currentRow(), row);
            QCOMPARE(f.table.currentColumn(), column);
            SelectionMask expected, seen;
            for (int c = std::min(column, anchorColumn); c <= std::max(column, anchorColumn); ++c)
                for (int r = std::min(row, anchorRow); r <= std::max(row, anchorRow); ++r)
                    expected.set(c, r);
            PresetTable::readSelection(&f.table, seen);
            QVERIFY2(seen == expected, qPrintable(QStringLiteral("step %1").arg(step)));
            QVERIFY(f.table.viewport()->rect().intersects(f.table.visualItemRect(f.table.item(row, column))));
        }
    }

    void disabledTableSaysHowToFillIt()
    {
        PresetGrid table(PresetsPerBank, BankCount);
        table.resize(900, 500);
        // Dark pixels across the middle of the empty grid: the hint's text.
        auto darkInTheMiddle = [&table] {
            const QImage image = table.viewport()->grab().toImage();
            int dark = 0;
            for (int x = 0; x < image.width(); ++x)
                for (int y = image.height() / 2 - 6; y <= image.height() / 2 + 6; ++y)
                    dark += QColor(image.pixel(x, y)).lightness() < 90;
            return dark;
        };
        table.setEnabled(false);
        QVERIFY(darkInTheMiddle() > 50);
        table.setEnabled(true);
        QCOMPARE(darkInTheMiddle(), 0);
    }

    void autoscrollStepGrowsTowardsEachEdge()
    {
        const QSize size(600, 400);
        const int vh = 40, hh = 25, sv = 15, sh = 15;
        auto at = [&](int x, int y) {
            return PresetGrid::autoscrollSteps(QPoint(x, y), size, vh, hh, sv, sh);
        };

        const int midX = 300, midY = 200;
        PresetGrid::ScrollSteps s = at(midX, midY);
        QCOMPARE(s.left + s.right + s.up + s.down, 0);

        QCOMPARE(at(midX, hh + 10).up, 20);
        QCOMPARE(at(midX, hh).up, 30);
        QCOMPARE(at(midX, hh - 8).up, 30);
        QCOMPARE(at(midX, hh + 29).up, 1);
        QCOMPARE(at(midX, hh + 30).up, 0);
        QCOMPARE(at(midX, 400 - sh - 10).down, 20);
        QCOMPARE(at(midX, 400 - sh + 3).down, 30);
        QCOMPARE(at(2, midY).left, 30);
        QCOMPARE(at(600 - sv - 29, midY).right, 1);

        // In a corner both directions apply.
        s = at(vh + 5, hh + 5);
        QCOMPARE(s.left, 25);
        QCOMPARE(s.up, 25);
        QCOMPARE(s.right + s.down, 0);
    }

    void autoscrollMovesTheViewWhileADragIsOver()
    {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.table));
        QScrollBar *v = f.table.verticalScrollBar();
        QScrollBar *h = f.table.horizontalScrollBar();
        v->setValue(600);
        h->setValue(200);
        auto mime = f.drag({{10, 1}, {11, 1}});

        QVERIFY(f.enter(mime.get(), f.cellRect(20, 3).center()));
        QVERIFY(f.table.autoscrollActive);
        QVERIFY(f.table.scrollTimer->isActive());
        QCOMPARE(f.table.scrollTimer->interval(), 100);
        v->setValue(600);
        h->setValue(200);

        const int hh = f.table.horizontalHeader()->height();
        const int vh = f.table.verticalHeader()->width();
        const int midX = f.table.width() / 2;
        const int midY = f.table.height() / 2;
        auto tickAt = [&](int x, int y) {
            QCursor::setPos(f.table.mapToGlobal(QPoint(x, y)));
            f.table.autoscroll();
        };
        QCursor::setPos(f.table.mapToGlobal(QPoint(midX, midY)));
        if (f.table.mapFromGlobal(QCursor::pos()) != QPoint(midX, midY))
            QSKIP("this platform cannot place the pointer");

        tickAt(midX, midY);
        QCOMPARE(v->value(), 600);
        QCOMPARE(h->value(), 200);
        tickAt(midX, hh + 10);
        QCOMPARE(v->value(), 580);
        tickAt(midX, hh);
        QCOMPARE(v->value(), 550);
        tickAt(midX, f.table.height() - h->sizeHint().height() - 10);
        QCOMPARE(v->value(), 570);
        tickAt(vh + 10, midY);
        QCOMPARE(h->value(), 180);
        tickAt(f.table.width() - v->sizeHint().width() - 1, midY);
        QCOMPARE(h->value(), 209);

        f.leave();
        QVERIFY(!f.table.autoscrollActive);
        tickAt(midX, hh);
        QCOMPARE(v->value(), 570);
        QVERIFY(!f.table.scrollTimer->isActive());
    }
};

QTEST_MAIN(TestPresetGrid)
#include "tst_presetgrid.moc"
