#pragma once

#include <QObject>

class PresetCellDelegate;
class QSettings;
class QTableView;
class QWidget;

// Width of the bank columns, with the cell fonts and row heights following it:
// Ctrl+plus, Ctrl+minus and Ctrl+wheel step it, Ctrl+0 fits all banks into the
// table's width (and keeps fitting as the window changes). The choice is kept in
// the setting "columnwidth" (pixels; 0 means fit all banks).
class TableZoom : public QObject
{
    Q_OBJECT
public:
    static constexpr int MinWidth = 40;
    static constexpr int MaxWidth = 300;
    static constexpr int NormalWidth = 100;

    TableZoom(QTableView *table, PresetCellDelegate *delegate, QSettings &settings, QWidget *shortcutScope);

    int columnWidth() const;
    bool fitsAll() const { return fitting; }

public slots:
    void zoomIn();
    void zoomOut();
    void fitAll();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setWidth(int width, bool fit);
    void apply(int width);
    int fittingWidth() const;

    QTableView *table;
    // Kept, not asked for: the viewport's last events arrive while the table is being destroyed.
    QWidget *viewport;
    PresetCellDelegate *delegate;
    QSettings &settings;
    int baseRowHeight;
    bool fitting = false;
    int wheelRest = 0;
};
