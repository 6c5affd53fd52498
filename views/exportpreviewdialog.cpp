#include "views/exportpreviewdialog.h"

#include "editing/exportpreview.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

ExportPreviewDialog::ExportPreviewDialog(ExportPreview *preview, const QString &where, const QString &note,
                                         QWidget *parent)
    : QDialog(parent), preview(preview), where(where)
{
    setObjectName(QStringLiteral("exportPreview"));
    setWindowTitle(tr("Orvex+ Preset Manager"));
    summary = new QLabel;
    summary->setObjectName(QStringLiteral("previewSummary"));
    summary->setWordWrap(true);
    view = new QTableView;
    view->setObjectName(QStringLiteral("previewList"));
    view->setAccessibleName(tr("Presets that will change"));
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
    view->sortByColumn(ExportPreview::Position, Qt::AscendingOrder);

    tickAllButton = new QPushButton(tr("Tick all"));
    untickAllButton = new QPushButton(tr("Untick all"));
    writeButton = new QPushButton(tr("Write"));
    cancelButton = new QPushButton(tr("Cancel"));
    // Enter must not overwrite the module by accident.
    writeButton->setAutoDefault(false);
    cancelButton->setDefault(true);
    for (QPushButton *b : {tickAllButton, untickAllButton})
        b->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(tickAllButton);
    buttons->addWidget(untickAllButton);
    buttons->addStretch(1);
    buttons->addWidget(writeButton);
    buttons->addWidget(cancelButton);

    auto *layout = new QVBoxLayout(this);
    if (!note.isEmpty()) {
        auto *noteLabel = new QLabel(note);
        noteLabel->setWordWrap(true);
        layout->addWidget(noteLabel);
    }
    layout->addWidget(summary);
    layout->addWidget(view, 1);
    layout->addLayout(buttons);

    connect(tickAllButton, &QPushButton::clicked, preview, [preview] { preview->setAllTicked(true); });
    connect(untickAllButton, &QPushButton::clicked, preview, [preview] { preview->setAllTicked(false); });
    connect(writeButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(preview, &ExportPreview::tickedCountChanged, this, &ExportPreviewDialog::showCount);
    showCount(preview->tickedCount());
    cancelButton->setFocus();
    resize(96 * em, 36 * view->verticalHeader()->defaultSectionSize());
}

void ExportPreviewDialog::showCount(int ticked)
{
    const int all = preview->rowCount();
    QString text = all == 1 ? tr("1 preset in %1 will change on the module.").arg(where)
                            : tr("%1 presets in %2 will change on the module.").arg(all).arg(where);
    if (ticked != all)
        text += QLatin1Char(' ') + tr("%1 ticked: the others stay as the module holds them.").arg(ticked);
    summary->setText(text);
    writeButton->setEnabled(ticked > 0);
}
