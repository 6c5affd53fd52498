#include "device/exportpreviewpanel.h"

#include "editing/exportpreview.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

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
    view->setToolTip(tr("Untick a preset to leave it as the module holds it; click a heading to sort"));
    view->setModel(preview);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setAlternatingRowColors(true);
    view->verticalHeader()->hide();
    // Fixed widths: measuring 1,920 rows' texts would cost more than building them.
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    const int em = view->fontMetrics().horizontalAdvance(QLatin1Char('M'));
    const int widths[ExportPreview::ColumnCount] = {7, 13, 7, 7, 13, 7, 7, 7, 16};
    const QFontMetrics header = view->horizontalHeader()->fontMetrics();
    for (int c = 0; c < ExportPreview::ColumnCount; ++c) {
        // Room for the heading and its sort arrow, whatever the language.
        const int heading =
            header.horizontalAdvance(preview->headerData(c, Qt::Horizontal).toString()) + 2 * em;
        view->setColumnWidth(c, std::max(widths[c] * em, heading));
    }
    view->horizontalHeader()->setStretchLastSection(true);
    view->setSortingEnabled(true);

    tickAllButton = new QPushButton(tr("Tick all"));
    tickAllButton->setToolTip(tr("Write every preset listed"));
    untickAllButton = new QPushButton(tr("Untick all"));
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
}

void ExportPreviewPanel::showPreview()
{
    view->sortByColumn(ExportPreview::Position, Qt::AscendingOrder);
    view->scrollToTop();
    showCount(preview->tickedCount());
}

QString ExportPreviewPanel::summaryText() const
{
    return summary->text();
}

int ExportPreviewPanel::wantedWidth() const
{
    int width = 0;
    for (int c = 0; c < ExportPreview::ColumnCount; ++c)
        width += view->columnWidth(c);
    return width + view->verticalScrollBar()->sizeHint().width() + 2 * view->frameWidth();
}

void ExportPreviewPanel::showCount(int ticked)
{
    // The question above says how many change and where; this line is about the ticks.
    const int all = preview->rowCount();
    summary->setText(
        ticked == all
            ? tr("Untick a preset to leave it as the module holds it.")
            : tr("%1 of %2 ticked: the others stay as the module holds them.").arg(ticked).arg(all));
    emit tickedCountChanged(ticked);
}
