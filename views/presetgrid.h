#pragma once

#include <QTableWidget>

class QTimer;

// The preset table: decides when a drag may start and where a drop may land,
// and scrolls while a drag hovers near its edges.
class PresetGrid : public QTableWidget
{
    Q_OBJECT
public:
    PresetGrid(int rows, int columns, QWidget *parent = nullptr);

    // Returns whether a drag from this table is pending and clears it.
    bool takeDragStarted();

    // Pixels to scroll per autoscroll tick towards each side; 0 outside the zones.
    struct ScrollSteps
    {
        int left = 0;
        int right = 0;
        int up = 0;
        int down = 0;
    };
    // `pos` is the pointer in the table's own coordinates; headers and scroll bars
    // take their sizes whether shown or not.
    static ScrollSteps autoscrollSteps(const QPoint &pos, const QSize &tableSize, int verticalHeaderWidth,
                                       int horizontalHeaderHeight, int verticalBarWidth,
                                       int horizontalBarHeight);

    // The MIME format that ties a drag to the table and process it started in.
    static QString originFormat();

    // What the disabled table says before any banks are loaded.
    static QString placeholderText();

signals:
    // Presets from the library panel (LibraryMime data) were dropped on the user cell
    // (row, column); the window places them, one undo step.
    void libraryPresetsDropped(int row, int column, const QByteArray &data);
    // The user tried to rename a factory preset or to drop onto the factory bank.
    void readOnlyBankTouched();

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    QMimeData *mimeData(const QList<QTableWidgetItem *> &items) const override;
    // While disabled (no banks yet), one centred line tells how to fill them.
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    // The selection follows the current cell for every key, Ctrl held or not: paste and
    // delete act on what the user sees. Shift extends it.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event = nullptr) const override;
    // Ctrl+arrows go to the bank's first or last preset, or to the first or last bank.
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    // Typing never jumps: on a user cell it starts a rename, on a factory cell it is refused.
    void keyboardSearch(const QString &search) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;

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

private:
    QByteArray originToken() const;
    // A drag started here whose drop has not reached the store yet.
    bool isOwnPendingDrag(const QMimeData *mime) const;
    static bool isLibraryDrag(const QMimeData *mime);
    // The user-bank item under `pos` when `pos` lies at least 5 pixels inside it.
    QTableWidgetItem *dropTargetAt(const QPoint &pos) const;
    void writeDroppedCells(const QMimeData *mime, int dropRow, int dropColumn);
};
