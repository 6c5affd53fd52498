#pragma once

#include <QDialog>

class ExportPreview;
class QLabel;
class QPushButton;
class QTableView;

// The question before an export writes: every preset that will change, with a tick each.
// Write goes on with the ticked ones; Cancel, the default, writes nothing.
class ExportPreviewDialog : public QDialog
{
    Q_OBJECT
public:
    // `preview` is built already and outlives the dialog. `where` names what is exported
    // ("banks 2–16", "bank 5", ...); `note` adds a line above the list (the backup).
    ExportPreviewDialog(ExportPreview *preview, const QString &where, const QString &note = QString(),
                        QWidget *parent = nullptr);

    QTableView *view = nullptr;
    QLabel *summary = nullptr;
    QPushButton *writeButton = nullptr;
    QPushButton *cancelButton = nullptr;
    QPushButton *tickAllButton = nullptr;
    QPushButton *untickAllButton = nullptr;

private:
    void showCount(int ticked);

    ExportPreview *preview;
    QString where;
};
