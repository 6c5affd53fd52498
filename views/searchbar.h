#pragma once

#include "editing/presetsearch.h"
#include "model/selectionmask.h"

#include <QPointer>
#include <QWidget>

class BankStore;
class PresetCellDelegate;
class QLabel;
class QLineEdit;
class QTableWidget;
class QToolButton;

// The search field above the table. As the user types, the presets it finds are
// framed in the table and counted; Return / F3 and Shift+F3 select the next and
// previous one, Escape clears. Typing never touches the selection or the presets.
class SearchBar : public QWidget
{
    Q_OBJECT
public:
    // Ctrl+F, F3 and Shift+F3 work anywhere inside `shortcutScope`'s window.
    SearchBar(QTableWidget *table, const BankStore &store, PresetCellDelegate *delegate,
              QWidget *shortcutScope, QWidget *parent = nullptr);
    ~SearchBar() override;

    QLineEdit *field() const { return searchField; }
    // The bar's controls in Tab order.
    QList<QWidget *> tabStops() const;
    const SelectionMask &found() const { return matches; }
    QString countText() const;

public slots:
    void focusField();
    void findNext();
    void findPrevious();
    void clear();
    // Searches the presets again, for example after they changed.
    void refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void step(bool forward);
    void showCount();
    void scheduleRefresh();

    QTableWidget *table;
    const BankStore &store;
    QPointer<PresetCellDelegate> delegate;
    QLineEdit *searchField;
    QLabel *countLabel;
    QToolButton *previousButton;
    QToolButton *nextButton;
    PresetSearch::FoldCache foldCache;
    SelectionMask matches;
    int matchCount = 0;
    bool refreshPending = false;
};
