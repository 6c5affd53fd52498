#pragma once

#include <QTableWidget>

class QTimer;

// The preset table: decides when a drag may start and where a drop may land,
// and scrolls while a drag hovers near its edges.
class BigTable : public QTableWidget
{
    Q_OBJECT
public:
    BigTable(int rows, int columns, QWidget *parent = nullptr);

    // Returns whether a drag from this table is pending and clears it.
    bool takeDragStarted();

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;

public slots:
    void autoscroll();
    void on_CellPressed(int row, int column);

public:
    bool dragStarted = false;
    bool autoscrollActive = false;
    QTimer *scrollTimer = nullptr;
    bool cellPressed = false;
    bool pressedSameCell = false;
    int lastPressedRow = -1;
    int lastPressedColumn = -1;
};
