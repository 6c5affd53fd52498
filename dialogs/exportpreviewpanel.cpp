#include "dialogs/exportpreviewpanel.h"

#include "editing/exportpreview.h"
#include "model/categorytable.h"
#include "views/tableaves.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {
// Measured per column: the longest texts by length. Measuring every row of 1,920 would
// cost more than building the list; a few of the longest find the widest all the same.
constexpr int MeasuredPerColumn = 6;
// No column grows past this many average characters; its tooltip and a wider dialog help.
constexpr int MaxColumnChars = 40;
} // namespace

ExportPreviewPanel::ExportPreviewPanel(ExportPreview *preview, QWidget *parent)
    : QWidget(parent), preview(preview)
{
    setObjectName(QStringLiteral("exportPreview"));
    summary = new QLabel;
    summary->setObjectName(QStringLiteral("previewSummary"));
    summary->setWordWrap(true);
    view = new QTableView;
    view->setObjectName(QStringLiteral("previewList"));
    view->setAccessibleName(tr("Presets that will change"));
    view->setToolTip(tr("Untick a preset to leave it as the module holds it; Space ticks or unticks the "
                        "selected rows; click a heading to sort"));
    view->setModel(preview);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setAlternatingRowColors(true);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    // Bold headings over selected rows would no longer fit the widths measured for them.
    view->horizontalHeader()->setHighlightSections(false);
    view->horizontalHeader()->setStretchLastSection(false);
    view->setSortingEnabled(true);
    // Tab and Ctrl+Tab leave the list for its buttons and the question's; arrows move within it.
    TabLeaves::install(view);
    view->installEventFilter(this);
    view->viewport()->installEventFilter(this);

    tickAllButton = new QPushButton(tr("&Tick all"));
    tickAllButton->setToolTip(tr("Write every preset listed"));
    untickAllButton = new QPushButton(tr("&Untick all"));
    untickAllButton->setToolTip(tr("Write none of them; tick the ones to write"));
    // Enter answers the question (Cancel), never these.
    for (QPushButton *b : {tickAllButton, untickAllButton})
        b->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(tickAllButton);
    buttons->addWidget(untickAllButton);
    buttons->addStretch(1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(summary);
    layout->addWidget(view, 1);
    layout->addLayout(buttons);

    connect(tickAllButton, &QPushButton::clicked, preview, [preview] { preview->setAllTicked(true); });
    connect(untickAllButton, &QPushButton::clicked, preview, [preview] { preview->setAllTicked(false); });
    connect(preview, &ExportPreview::tickedCountChanged, this, &ExportPreviewPanel::showCount);
    connect(view, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        QMenu *menu = contextMenuFor(view->indexAt(at).row());
        menu->exec(view->viewport()->mapToGlobal(at));
        menu->deleteLater();
    });
    fitColumns(false);
}

void ExportPreviewPanel::chainTabTo(const QList<QWidget *> &next)
{
    QWidget *previous = untickAllButton;
    for (QWidget *w : next) {
        setTabOrder(previous, w);
        previous = w;
    }
}

void ExportPreviewPanel::showPreview()
{
    view->sortByColumn(ExportPreview::Position, Qt::AscendingOrder);
    view->scrollToTop();
    fitColumns(true);
    showCount(preview->tickedCount());
}

QString ExportPreviewPanel::summaryText() const
{
    return summary->text();
}

void ExportPreviewPanel::fitColumns(bool measureRows)
{
    const QFontMetrics cells = view->fontMetrics();
    const QFontMetrics header = view->horizontalHeader()->fontMetrics();
    const int em = cells.horizontalAdvance(QLatin1Char('M'));
    const int average = cells.averageCharWidth();
    QStyleOptionViewItem option;
    option.initFrom(view);
    const int tick = view->style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, view) +
                     view->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &option, view);
    const int sortArrow = view->style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, view);
    const int margin = 2 * view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + em;
    static const std::vector<ExportPreview::Row> none;
    const std::vector<ExportPreview::Row> &rows = measureRows ? preview->rows() : none;
    // A length in characters from the row's own fields, cheap for every row; only the
    // longest few are then measured as shown.
    auto length = [](const ExportPreview::Row &r, int column) -> int {
        auto category = [](int c) { return int(categoryDisplayName(c).size()); };
        switch (column) {
        case ExportPreview::Position:
            return (r.bank >= 9 ? 1 : 0) + (r.preset >= 9 ? 1 : 0) + (r.preset >= 99 ? 1 : 0);
        case ExportPreview::NowName:
            return int(r.nowName.size());
        case ExportPreview::NowAuthor:
            return int(r.nowAuthor.size());
        case ExportPreview::NowCategory:
            return category(r.nowCategory);
        case ExportPreview::NewName:
            return int(r.newName.size());
        case ExportPreview::NewAuthor:
            return int(r.newAuthor.size());
        case ExportPreview::NewCategory:
            return category(r.newCategory);
        case ExportPreview::Kept:
            return r.keptName.isNull() && r.keptAuthor.isNull()
                       ? 0
                       : int(r.keptName.size() + r.keptAuthor.size()) + 10;
        default:
            return 0;
        }
    };
    fittedWidth = 0;
    for (int c = 0; c < ExportPreview::ColumnCount; ++c) {
        // The heading whole, with room for the sort arrow, in any language.
        int width =
            header.horizontalAdvance(preview->headerData(c, Qt::Horizontal).toString()) + sortArrow + 2 * em;
        std::vector<std::pair<int, int>> longest; // length, row
        for (size_t r = 0; r < rows.size(); ++r) {
            // Each kind of change once; otherwise the longest texts.
            const int n = c == ExportPreview::Change ? int(rows[r].kind) + 1 : length(rows[r], c);
            if (c == ExportPreview::Change &&
                std::any_of(longest.begin(), longest.end(), [n](const auto &l) { return l.first == n; }))
                continue;
            if (int(longest.size()) < MeasuredPerColumn) {
                longest.emplace_back(n, int(r));
                continue;
            }
            auto shortest = std::min_element(longest.begin(), longest.end());
            if (n > shortest->first)
                *shortest = {n, int(r)};
        }
        int content = 0;
        for (const auto &l : longest)
            content = std::max(
                content, cells.horizontalAdvance(preview->data(preview->index(l.second, c)).toString()));
        if (c == ExportPreview::Position)
            content += tick;
        width = std::max(width, std::min(content, MaxColumnChars * average) + margin);
        view->setColumnWidth(c, width);
        fittedWidth += width;
    }
}

int ExportPreviewPanel::wantedWidth() const
{
    return fittedWidth + view->verticalScrollBar()->sizeHint().width() + 2 * view->frameWidth();
}

SelectionMask ExportPreviewPanel::selectedPositions() const
{
    SelectionMask mask;
    const auto &rows = preview->rows();
    for (const QModelIndex &index : view->selectionModel()->selectedRows())
        if (index.row() < int(rows.size()))
            mask.set(rows[size_t(index.row())].bank, rows[size_t(index.row())].preset);
    return mask;
}

void ExportPreviewPanel::toggleSelected()
{
    const SelectionMask chosen = selectedPositions();
    if (chosen.empty())
        return;
    const SelectionMask ticked = preview->ticked();
    bool allTicked = true;
    for (const ExportPreview::Row &row : preview->rows())
        if (chosen.isSelected(row.bank, row.preset) && !ticked.isSelected(row.bank, row.preset))
            allTicked = false;
    preview->setTicked(chosen, !allTicked);
}

QMenu *ExportPreviewPanel::contextMenuFor(int row)
{
    auto *menu = new QMenu(this);
    const SelectionMask chosen = selectedPositions();
    if (chosen.count() > 1) {
        menu->addAction(tr("Tick the %1 selected").arg(chosen.count()), this,
                        [this, chosen] { preview->setTicked(chosen, true); });
        menu->addAction(tr("Untick the %1 selected").arg(chosen.count()), this,
                        [this, chosen] { preview->setTicked(chosen, false); });
    }
    if (row >= 0 && row < int(preview->rows().size())) {
        const int bank = preview->rows()[size_t(row)].bank;
        SelectionMask wholeBank;
        for (int p = 0; p < PresetsPerBank; ++p)
            wholeBank.set(bank, p);
        menu->addAction(tr("Tick bank %1").arg(bank + 1), this,
                        [this, wholeBank] { preview->setTicked(wholeBank, true); });
        menu->addAction(tr("Untick bank %1").arg(bank + 1), this,
                        [this, wholeBank] { preview->setTicked(wholeBank, false); });
    }
    menu->addSeparator();
    menu->addAction(tickAllButton->text(), this, [this] { preview->setAllTicked(true); });
    menu->addAction(untickAllButton->text(), this, [this] { preview->setAllTicked(false); });
    return menu;
}

bool ExportPreviewPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == view && event->type() == QEvent::FocusIn && !view->currentIndex().isValid() &&
        preview->rowCount() > 0) {
        // Arriving by keyboard, the focus shows on a row at once, and Space has one to tick.
        view->selectionModel()->setCurrentIndex(preview->index(0, 0), QItemSelectionModel::ClearAndSelect |
                                                                          QItemSelectionModel::Rows);
    }
    if (watched == view && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier &&
            view->selectionModel()->selectedRows().size() > 0) {
            toggleSelected();
            return true;
        }
    }
    // A click on the tick of a selected row acts on the whole selection.
    if (watched == view->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const QModelIndex at = view->indexAt(mouse->position().toPoint());
        if (mouse->button() == Qt::LeftButton && at.isValid() && at.column() == ExportPreview::Position &&
            mouse->modifiers() == Qt::NoModifier &&
            view->selectionModel()->isRowSelected(at.row(), QModelIndex()) &&
            view->selectionModel()->selectedRows().size() > 1) {
            QStyleOptionViewItem option;
            option.initFrom(view);
            option.rect = view->visualRect(at);
            option.features |= QStyleOptionViewItem::HasCheckIndicator;
            const QRect tick =
                view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, view);
            if (tick.contains(mouse->position().toPoint())) {
                const bool wasTicked = preview->data(at, Qt::CheckStateRole).toInt() == Qt::Checked;
                preview->setTicked(selectedPositions(), !wasTicked);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ExportPreviewPanel::showCount(int ticked)
{
    // The question says how many change and where; this line is about the ticks.
    const int all = preview->rowCount();
    summary->setText(
        ticked == all
            ? tr("Untick a preset to leave it as the module holds it; Space unticks the selected rows.")
            : tr("%1 of %2 ticked: the others stay as the module holds them.").arg(ticked).arg(all));
    emit tickedCountChanged(ticked);
}
