#include "views/searchbar.h"

#include "editing/presetsearch.h"
#include "model/bankstore.h"
#include "views/accessiblenames.h"
#include "views/presetcelldelegate.h"
#include "views/presettable.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

SearchBar::SearchBar(QTableWidget *table, const BankStore &store, PresetCellDelegate *delegate,
                     QWidget *shortcutScope, QWidget *parent)
    : QWidget(parent), table(table), store(store), delegate(delegate)
{
    setObjectName(QStringLiteral("searchBar"));
    searchField = new QLineEdit;
    searchField->setObjectName(QStringLiteral("searchField"));
    searchField->setPlaceholderText(tr("Search name, author or category (Ctrl+F)"));
    searchField->setAccessibleName(tr("Search presets"));
    searchField->setToolTip(
        tr("Marks every preset whose name, author or category holds the text; Return steps to the next"));
    // Wide enough for its hint where there is room; in a narrow window it gives way (the hint is
    // then cut) before the detail view beside the table does.
    searchField->setMaximumWidth(
        searchField->fontMetrics().horizontalAdvance(searchField->placeholderText()) + 40);
    searchField->setMinimumWidth(searchField->fontMetrics().averageCharWidth() * 14);
    searchField->installEventFilter(this);
    countLabel = new QLabel;
    countLabel->setObjectName(QStringLiteral("searchCount"));
    countLabel->setMinimumWidth(countLabel->fontMetrics().horizontalAdvance(QStringLiteral("2048 of 2048 ")));
    previousButton = new QToolButton;
    previousButton->setArrowType(Qt::UpArrow);
    previousButton->setToolTip(tr("Previous match (Shift+F3)"));
    previousButton->setAccessibleName(tr("Previous match"));
    nextButton = new QToolButton;
    nextButton->setArrowType(Qt::DownArrow);
    nextButton->setToolTip(tr("Next match (F3)"));
    nextButton->setAccessibleName(tr("Next match"));

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 2);
    layout->addWidget(searchField, 1);
    layout->addWidget(previousButton);
    layout->addWidget(nextButton);
    layout->addWidget(countLabel);
    layout->addStretch(0); // what the field, at its widest, leaves

    // The clear button shows only over text; made with the first text, since finding its
    // icon in the desktop's theme is a good part of the start-up.
    connect(searchField, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (text.isEmpty() || searchField->isClearButtonEnabled())
            return;
        searchField->setClearButtonEnabled(true);
        AccessibleNames::nameClearButton(searchField, tr("Clear the search"),
                                         tr("Clear the search (Escape)"));
    });
    connect(searchField, &QLineEdit::textChanged, this, &SearchBar::refresh);
    connect(searchField, &QLineEdit::returnPressed, this, &SearchBar::findNext);
    connect(previousButton, &QToolButton::clicked, this, &SearchBar::findPrevious);
    connect(nextButton, &QToolButton::clicked, this, &SearchBar::findNext);
    // Every change of a preset reaches its cell; search again once the change is done.
    connect(table, &QTableWidget::cellChanged, this, &SearchBar::scheduleRefresh);
    // The selection changes before the current cell does: follow both.
    connect(table, &QTableWidget::itemSelectionChanged, this, &SearchBar::showCount);
    connect(table, &QTableWidget::currentCellChanged, this, &SearchBar::showCount);
    table->installEventFilter(this);
    setEnabled(table->isEnabled());

    const std::pair<QKeySequence, void (SearchBar::*)()> keys[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_F), &SearchBar::focusField},
        {QKeySequence(Qt::Key_F3), &SearchBar::findNext},
        {QKeySequence(Qt::SHIFT | Qt::Key_F3), &SearchBar::findPrevious},
    };
    for (const auto &[key, slot] : keys) {
        auto *shortcut = new QShortcut(key, shortcutScope);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, slot);
    }

    delegate->setMarks(&matches);
    refresh();
}

SearchBar::~SearchBar()
{
    if (delegate)
        delegate->setMarks(nullptr);
}

QList<QWidget *> SearchBar::tabStops() const
{
    return {searchField, previousButton, nextButton};
}

QString SearchBar::countText() const
{
    if (searchField->text().isEmpty())
        return QString();
    if (matchCount == 0)
        return tr("Nothing found");
    // Once a match is the selected current cell, say which one it is.
    const int bank = table->currentColumn();
    const int preset = table->currentRow();
    const QTableWidgetItem *item = table->currentItem();
    const int at = item && item->isSelected() ? matches.ordinal(bank, preset) : 0;
    return at > 0 ? tr("%1 of %2").arg(at).arg(matchCount) : tr("%1 found").arg(matchCount);
}

void SearchBar::showCount()
{
    const QString count = countText();
    if (count == countLabel->text())
        return;
    // Heard while typing, with the focus in the field. Named first, so the label's own
    // report of its new text does not say it twice.
    if (!count.isEmpty())
        AccessibleNames::announce(countLabel, count);
    else
        countLabel->setAccessibleName(QString());
    countLabel->setText(count);
}

void SearchBar::focusField()
{
    if (!isEnabled())
        return;
    searchField->setFocus(Qt::ShortcutFocusReason);
    searchField->selectAll();
}

void SearchBar::findNext()
{
    step(true);
}

void SearchBar::findPrevious()
{
    step(false);
}

void SearchBar::clear()
{
    searchField->clear();
}

void SearchBar::refresh()
{
    refreshPending = false;
    const SelectionMask before = matches;
    matches = PresetSearch::find(store, searchField->text(), &foldCache);
    matchCount = matches.count();
    showCount();
    previousButton->setEnabled(matchCount > 0);
    nextButton->setEnabled(matchCount > 0);

    // Repaint only the visible cells whose frame comes or goes, as one rectangle: the table
    // paints a region rectangle by rectangle, so many small ones cost more than one large one.
    QWidget *viewport = table->viewport();
    const int top = std::max(0, table->rowAt(0));
    const int bottom = table->rowAt(viewport->height() - 1) < 0 ? table->rowCount() - 1
                                                                : table->rowAt(viewport->height() - 1);
    const int left = std::max(0, table->columnAt(0));
    const int right = table->columnAt(viewport->width() - 1) < 0 ? table->columnCount() - 1
                                                                 : table->columnAt(viewport->width() - 1);
    QRect changed;
    for (int c = left; c <= std::min(right, BankCount - 1); ++c)
        for (int r = top; r <= std::min(bottom, PresetsPerBank - 1); ++r)
            if (before.isSelected(c, r) != matches.isSelected(c, r))
                changed |= table->visualRect(table->model()->index(r, c));
    if (!changed.isEmpty())
        viewport->update(changed);
}

void SearchBar::scheduleRefresh()
{
    // A full refresh changes 2,048 cells: search once, after the last of them.
    if (refreshPending || searchField->text().isEmpty())
        return;
    refreshPending = true;
    QTimer::singleShot(0, this, [this] {
        if (refreshPending)
            refresh();
    });
}

void SearchBar::step(bool forward)
{
    if (!isEnabled() || searchField->text().isEmpty())
        return;
    if (refreshPending)
        refresh();
    int bank = table->currentColumn();
    int preset = table->currentRow();
    if (bank < 0 || preset < 0)
        bank = -1;
    if (!PresetSearch::step(matches, bank, preset, forward))
        return;
    table->setCurrentCell(preset, bank, QItemSelectionModel::ClearAndSelect);
    if (QTableWidgetItem *item = table->item(preset, bank))
        table->scrollToItem(item, QAbstractItemView::EnsureVisible);
    // The focus stays in the field, so the preset found is said here.
    const PresetRecord &found = store.at(bank, preset);
    AccessibleNames::announce(
        countLabel, PresetTable::spokenText(found.name, found.author, found.category, bank, preset));
}

bool SearchBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == table && event->type() == QEvent::EnabledChange) {
        setEnabled(table->isEnabled());
    } else if (watched == searchField && event->type() == QEvent::Resize) {
        // Where the whole hint does not fit (a narrow window, the library open at 2x), a short
        // one that does, rather than a hint cut off mid-word.
        const QString full = tr("Search name, author or category (Ctrl+F)");
        const int room = searchField->width() - 2 * searchField->fontMetrics().averageCharWidth() - 12;
        searchField->setPlaceholderText(
            searchField->fontMetrics().horizontalAdvance(full) <= room ? full : tr("Search (Ctrl+F)"));
    } else if (watched == searchField && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape) {
            // A second Escape goes back to the table.
            if (searchField->text().isEmpty())
                table->setFocus(Qt::OtherFocusReason);
            clear();
            return true;
        }
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            key->modifiers().testFlag(Qt::ShiftModifier)) {
            findPrevious();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
