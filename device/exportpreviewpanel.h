#pragma once

#include <QWidget>

class ExportPreview;
class QLabel;
class QPushButton;
class QTableView;

// The list behind the question before an export writes: every preset that will change,
// sortable by each column, with a tick each. The transfer dialog's Write and Cancel
// answer the question; only ticked presets are written.
class ExportPreviewPanel : public QWidget
{
    Q_OBJECT
public:
    // `preview` outlives the panel.
    explicit ExportPreviewPanel(ExportPreview *preview, QWidget *parent = nullptr);

    // Shows the list afresh after the preview was built.
    void showPreview();
    QString summaryText() const;
    // The width at which every column shows whole.
    int wantedWidth() const;

    QTableView *view = nullptr;
    QLabel *summary = nullptr;
    QPushButton *tickAllButton = nullptr;
    QPushButton *untickAllButton = nullptr;

signals:
    void tickedCountChanged(int ticked);

private:
    void showCount(int ticked);

    ExportPreview *preview;
};
