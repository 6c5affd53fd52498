#pragma once

#include "model/selectionmask.h"

#include <QWidget>

class ExportPreview;
class QLabel;
class QMenu;
class QPushButton;
class QTableView;

// The list behind the question before an export writes: every preset that will change,
// sortable by each column, with a tick each. The transfer dialog's Write and Cancel
// answer the question; only ticked presets are written. Space, a click on a tick of a
// selected row, or the context menu tick or untick the selected rows, a bank or all.
class ExportPreviewPanel : public QWidget
{
    Q_OBJECT
public:
    // `preview` outlives the panel.
    explicit ExportPreviewPanel(ExportPreview *preview, QWidget *parent = nullptr);

    // Shows the list afresh after the preview was built, sizing its columns to the texts.
    void showPreview();
    QString summaryText() const;
    // The width at which every column shows whole.
    int wantedWidth() const;
    // The positions of the selected rows.
    SelectionMask selectedPositions() const;
    // Ticks the selected rows, or unticks them when all are ticked.
    void toggleSelected();
    // The context menu for the row at `row` (the bank it is in, the selection, all).
    QMenu *contextMenuFor(int row);
    // Tab goes from the list and its buttons on to `next`, in that order (the question's answers).
    void chainTabTo(const QList<QWidget *> &next);

    QTableView *view = nullptr;
    QLabel *summary = nullptr;
    QPushButton *tickAllButton = nullptr;
    QPushButton *untickAllButton = nullptr;

signals:
    void tickedCountChanged(int ticked);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showCount(int ticked);
    // The headings always; with `measureRows` the texts of the list too.
    void fitColumns(bool measureRows);

    ExportPreview *preview;
    int fittedWidth = 0;
};
