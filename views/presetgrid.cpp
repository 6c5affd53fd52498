#include "views/presetgrid.h"

#include "model/selectionmask.h"
#include "views/librarymime.h"
#include "views/presettable.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDataStream>
#include <QDrag>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <vector>

namespace {
constexpr int ProbeDistance = 5;
constexpr int ScrollZone = 30;
constexpr int ScrollInterval = 100;
// Pixels between the pointer and the drag's picture.
constexpr int DragPictureGap = 16;

struct DraggedCell
{
    int row;
    int column;
    QMap<int, QVariant> roles;
};
} // namespace

PresetGrid::PresetGrid(int rows, int columns, QWidget *parent) : QTableWidget(rows, columns, parent)
{
    scrollTimer = new QTimer(this);
    connect(scrollTimer, &QTimer::timeout, this, &PresetGrid::autoscroll);
    connect(this, &QTableWidget::cellPressed, this, &PresetGrid::on_CellPressed);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Arrows move within the table; Tab goes on to the next control instead of walking
    // 2,048 cells.
    setTabKeyNavigation(false);
}

void PresetGrid::changeEvent(QEvent *event)
{
    QTableWidget::changeEvent(event);
    // The hint painted on the empty table, for screen readers; the tooltip once it is filled.
    if (event->type() == QEvent::EnabledChange)
        setAccessibleDescription(isEnabled() ? QString() : placeholderText());
}

void PresetGrid::keyPressEvent(QKeyEvent *event)
{
    // Ctrl+Tab leaves the table too, as it does every control that keeps Tab for itself.
    if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) &&
        event->modifiers().testFlag(Qt::ControlModifier)) {
        const bool backwards =
            event->key() == Qt::Key_Backtab || event->modifiers().testFlag(Qt::ShiftModifier);
        focusNextPrevChild(!backwards);
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void PresetGrid::focusInEvent(QFocusEvent *event)
{
    // Arriving without a current cell, the arrow keys would start from a cell nobody sees:
    // make the first selected cell (or the first cell) current and show it. The delegate draws
    // the current cell while the table has the focus.
    if (event->reason() != Qt::MouseFocusReason && !currentIndex().isValid() && model()->rowCount() > 0 &&
        model()->columnCount() > 0) {
        QModelIndex start = model()->index(0, 0);
        QModelIndexList selected = selectionModel()->selectedIndexes();
        if (!selected.isEmpty()) {
            std::sort(selected.begin(), selected.end(), [](const QModelIndex &a, const QModelIndex &b) {
                return std::make_pair(a.column(), a.row()) < std::make_pair(b.column(), b.row());
            });
            start = selected.first();
        }
        selectionModel()->setCurrentIndex(start, QItemSelectionModel::NoUpdate);
    }
    QTableWidget::focusInEvent(event);
    if (currentIndex().isValid() && event->reason() != Qt::MouseFocusReason)
        scrollTo(currentIndex());
}

QItemSelectionModel::SelectionFlags PresetGrid::selectionCommand(const QModelIndex &index,
                                                                 const QEvent *event) const
{
    if (event && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<const QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            // The view would move only the current cell while Ctrl is held.
            if (key->modifiers().testFlag(Qt::ControlModifier))
                return key->modifiers().testFlag(Qt::ShiftModifier) ? QItemSelectionModel::SelectCurrent
                                                                    : QItemSelectionModel::ClearAndSelect;
            break;
        default:
            break;
        }
    }
    return QTableWidget::selectionCommand(index, event);
}

QModelIndex PresetGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex current = currentIndex();
    if (modifiers.testFlag(Qt::ControlModifier) && current.isValid()) {
        switch (cursorAction) {
        case MoveUp:
            return model()->index(0, current.column());
        case MoveDown:
            return model()->index(model()->rowCount() - 1, current.column());
        case MoveLeft:
            return model()->index(current.row(), 0);
        case MoveRight:
            return model()->index(current.row(), model()->columnCount() - 1);
        default:
            break;
        }
    }
    return QTableWidget::moveCursor(cursorAction, modifiers);
}

void PresetGrid::keyboardSearch(const QString &) {}

bool PresetGrid::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    if (QTableWidget::edit(index, trigger, event))
        return true;
    // A rename the user asked for on a cell that takes none: say why nothing happens.
    const bool asked = trigger == EditKeyPressed ||
                       (editTriggers().testFlag(trigger) &&
                        (trigger == DoubleClicked || trigger == AnyKeyPressed || trigger == SelectedClicked));
    if (asked && index.isValid() && !(model()->flags(index) & Qt::ItemIsEditable) && isEnabled())
        emit readOnlyBankTouched();
    return false;
}

bool PresetGrid::takeDragStarted()
{
    const bool was = dragStarted;
    dragStarted = false;
    return was;
}

void PresetGrid::on_CellPressed(int row, int column)
{
    cellPressed = true;
    pressedSameCell = (row == lastPressedRow && column == lastPressedColumn);
    lastPressedRow = row;
    lastPressedColumn = column;
}

QString PresetGrid::placeholderText()
{
    return tr("Load a preset file or import the banks from the module");
}

void PresetGrid::paintEvent(QPaintEvent *event)
{
    QTableWidget::paintEvent(event);
    if (isEnabled())
        return;
    QPainter painter(viewport());
    QFont font = painter.font();
    font.setPointSizeF(font.pointSizeF() * 1.4);
    painter.setFont(font);
    const QString text = placeholderText();
    // Wrapped only where the table is narrower than the line.
    const QRect area = viewport()->rect().adjusted(24, 0, -24, 0);
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;
    QRect box = painter.fontMetrics().boundingRect(area, flags, text);
    box.adjust(-16, -10, 16, 10);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(palette().color(QPalette::Disabled, QPalette::Mid));
    painter.setBrush(palette().color(QPalette::Active, QPalette::Base));
    painter.drawRoundedRect(box, 6, 6);
    painter.setPen(palette().color(QPalette::Active, QPalette::Text));
    painter.drawText(area, flags, text);
}

QString PresetGrid::originFormat()
{
    return QStringLiteral("application/x-orvex-drag-origin");
}

QByteArray PresetGrid::originToken() const
{
    return QByteArray::number(QCoreApplication::applicationPid()) + ':' +
           QByteArray::number(reinterpret_cast<quintptr>(this), 16);
}

QMimeData *PresetGrid::mimeData(const QList<QTableWidgetItem *> &items) const
{
    QMimeData *data = QTableWidget::mimeData(items);
    // Another instance or program cannot tell us what its cell texts name, and the
    // copy reads from this table's snapshot: tag the drag so only our own drops land.
    if (data)
        data->setData(originFormat(), originToken());
    return data;
}

bool PresetGrid::isOwnPendingDrag(const QMimeData *mime) const
{
    return dragStarted && mime && mime->data(originFormat()) == originToken() &&
           mime->hasFormat(mimeTypes().value(0));
}

bool PresetGrid::isLibraryDrag(const QMimeData *mime)
{
    return mime && mime->hasFormat(LibraryMime::format());
}

QTableWidgetItem *PresetGrid::dropTargetAt(const QPoint &pos) const
{
    QTableWidgetItem *target = itemAt(pos);
    if (!target || !(target->flags() & Qt::ItemIsDropEnabled))
        return nullptr;
    const QPoint probes[] = {
        {0, -ProbeDistance}, {0, ProbeDistance}, {-ProbeDistance, 0}, {ProbeDistance, 0}};
    for (const QPoint &offset : probes)
        if (itemAt(pos + offset) != target)
            return nullptr;
    return target;
}

void PresetGrid::dragEnterEvent(QDragEnterEvent *event)
{
    if (!isOwnPendingDrag(event->mimeData()) && !isLibraryDrag(event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    autoscrollActive = true;
    scrollTimer->start(ScrollInterval);
}

// The base class is left out on purpose: no drop indicator, no autoscroll of its own.
void PresetGrid::dragMoveEvent(QDragMoveEvent *event)
{
    const bool ours = isOwnPendingDrag(event->mimeData()) || isLibraryDrag(event->mimeData());
    if (ours && dropTargetAt(event->position().toPoint())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        return;
    }
    event->ignore();
    // Over the factory bank the pointer only shows "no": the status line says why.
    const QTableWidgetItem *under = itemAt(event->position().toPoint());
    if (ours && under && !(under->flags() & Qt::ItemIsDropEnabled))
        emit readOnlyBankTouched();
}

void PresetGrid::dragLeaveEvent(QDragLeaveEvent *)
{
    autoscrollActive = false;
}

// The drop is written here rather than by QTableWidget::dropEvent: that one moves
// items for a move action and, near a cell border, inserts rows into the model.
// Here every dragged cell overwrites the existing item at its offset from the drop
// cell, whatever the gesture proposed.
void PresetGrid::dropEvent(QDropEvent *event)
{
    autoscrollActive = false;
    QTableWidgetItem *target = dropTargetAt(event->position().toPoint());
    if (target && isLibraryDrag(event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        emit libraryPresetsDropped(target->row(), target->column(),
                                   event->mimeData()->data(LibraryMime::format()));
        return;
    }
    if (!target || !isOwnPendingDrag(event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    writeDroppedCells(event->mimeData(), target->row(), target->column());
}

void PresetGrid::writeDroppedCells(const QMimeData *mime, int dropRow, int dropColumn)
{
    QByteArray encoded = mime->data(mimeTypes().value(0));
    QDataStream stream(&encoded, QIODevice::ReadOnly);
    std::vector<DraggedCell> cells;
    int top = INT_MAX;
    int left = INT_MAX;
    while (!stream.atEnd()) {
        DraggedCell cell;
        stream >> cell.row >> cell.column >> cell.roles;
        if (stream.status() != QDataStream::Ok || cell.row < 0 || cell.column < 0)
            return; // damaged data: write nothing rather than part of it
        top = std::min(top, cell.row);
        left = std::min(left, cell.column);
        cells.push_back(std::move(cell));
    }

    QItemSelection written;
    for (const DraggedCell &cell : cells) {
        const int row = cell.row - top + dropRow;
        const int column = cell.column - left + dropColumn;
        if (row >= rowCount() || column >= columnCount() || !item(row, column))
            continue;
        written.select(model()->index(row, column), model()->index(row, column));
        QMap<int, QVariant> roles;
        for (int role : {int(Qt::DisplayRole), int(Qt::BackgroundRole)})
            if (cell.roles.contains(role))
                roles.insert(role, cell.roles.value(role));
        // One call per cell, so the table reports each written cell once.
        model()->setItemData(model()->index(row, column), roles);
    }
    // What the drop wrote is selected and in view, the drop cell current.
    if (written.isEmpty())
        return;
    const QModelIndex dropIndex = model()->index(dropRow, dropColumn);
    selectionModel()->select(written, QItemSelectionModel::ClearAndSelect);
    selectionModel()->setCurrentIndex(dropIndex, QItemSelectionModel::NoUpdate);
    scrollTo(dropIndex);
}

void PresetGrid::startDrag(Qt::DropActions)
{
    const bool same = cellPressed && pressedSameCell;
    SelectionMask selection;
    PresetTable::readSelection(this, selection);
    if (selection.count() <= 1 && !same)
        return;
    QModelIndexList dragged = selectedIndexes();
    QMimeData *data = dragged.isEmpty() ? nullptr : model()->mimeData(dragged);
    if (!data)
        return;
    dragStarted = true;
    // The picture of the dragged cells hangs beside the pointer, below and to the right,
    // so the cell it will land on stays in sight.
    QRect shown;
    for (const QModelIndex &index : dragged)
        shown |= visualRect(index);
    shown &= viewport()->rect();
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    if (!shown.isEmpty()) {
        QPixmap picture = viewport()->grab(shown);
        const QSize most(240, 160);
        if (shown.width() > most.width() || shown.height() > most.height())
            picture = picture.scaled(most * picture.devicePixelRatio(), Qt::KeepAspectRatio,
                                     Qt::SmoothTransformation);
        drag->setPixmap(picture);
        drag->setHotSpot(QPoint(-DragPictureGap, -DragPictureGap));
    }
    // Copy only: after a move the view would empty or remove the source cells.
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}

PresetGrid::ScrollSteps PresetGrid::autoscrollSteps(const QPoint &pos, const QSize &tableSize,
                                                    int verticalHeaderWidth, int horizontalHeaderHeight,
                                                    int verticalBarWidth, int horizontalBarHeight)
{
    // The step grows from 1 pixel at the zone's inner border to the zone's depth at the edge and beyond.
    auto step = [](int distance) { return distance < ScrollZone ? ScrollZone - std::max(distance, 0) : 0; };
    ScrollSteps steps;
    steps.left = step(pos.x() - verticalHeaderWidth);
    steps.right = step(tableSize.width() - verticalBarWidth - pos.x());
    steps.up = step(pos.y() - horizontalHeaderHeight);
    steps.down = step(tableSize.height() - horizontalBarHeight - pos.y());
    return steps;
}

void PresetGrid::autoscroll()
{
    if (!autoscrollActive) {
        scrollTimer->stop();
        return;
    }
    // The view lays its bars out at their size hints, so those are their sizes even while hidden.
    const ScrollSteps steps = autoscrollSteps(
        mapFromGlobal(QCursor::pos()), size(), verticalHeader()->width(), horizontalHeader()->height(),
        verticalScrollBar()->sizeHint().width(), horizontalScrollBar()->sizeHint().height());
    auto move = [](QScrollBar *bar, int delta) {
        if (delta == 0)
            return;
        bar->setSliderPosition(bar->sliderPosition() + delta);
        bar->triggerAction(QAbstractSlider::SliderMove);
    };
    move(horizontalScrollBar(), -steps.left);
    move(horizontalScrollBar(), steps.right);
    move(verticalScrollBar(), -steps.up);
    move(verticalScrollBar(), steps.down);
}
