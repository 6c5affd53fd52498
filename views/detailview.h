#pragma once

#include "ui_detailview.h"

#include <QWidget>

// The panel beside the table: the selection's common author and category, and
// the controls that assign them. MainWindow makes all connections.
class DetailView : public QWidget, public Ui_DetailView
{
    Q_OBJECT
public:
    explicit DetailView(QWidget *parent = nullptr);

protected:
    void changeEvent(QEvent *event) override;

private:
    void applyListStyle();
    bool listStyleApplied = false;
    bool listStyleDark = false;
};
