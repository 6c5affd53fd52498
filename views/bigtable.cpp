#include "views/bigtable.h"

#include <QDragEnterEvent>
#include <QTimer>

BigTable::BigTable(int rows, int columns, QWidget *parent) : QTableWidget(rows, columns, parent)
{
    scrollTimer = new QTimer(this);
    connect(scrollTimer, &QTimer::timeout, this, &BigTable::autoscroll);
    connect(this, &QTableWidget::cellPressed, this, &BigTable::on_CellPressed);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
}

bool BigTable::takeDragStarted()
{
    const bool was = dragStarted;
    dragStarted = false;
    return was;
}

void BigTable::on_CellPressed(int row, int column)
{
    cellPressed = true;
    pressedSameCell = (row == lastPressedRow && column == lastPressedColumn);
    lastPressedRow = row;
    lastPressedColumn = column;
}

void BigTable::dragEnterEvent(QDragEnterEvent *event)
{
    event->acceptProposedAction();
    autoscrollActive = true;
    scrollTimer->start(100);
}

void BigTable::dragMoveEvent(QDragMoveEvent *event)
{
    event->ignore();
}

void BigTable::dragLeaveEvent(QDragLeaveEvent *)
{
    autoscrollActive = false;
}

void BigTable::dropEvent(QDropEvent *event)
{
    autoscrollActive = false;
    QTableWidget::dropEvent(event);
}

void BigTable::startDrag(Qt::DropActions)
{
    // Dragging comes with the drag-and-drop work; until then no drag starts.
}

void BigTable::autoscroll()
{
    if (!autoscrollActive) {
        scrollTimer->stop();
        return;
    }
}
