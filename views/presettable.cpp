#include "views/presettable.h"

#include "model/bankstore.h"
#include "model/categorytable.h"
#include "model/celltext.h"
#include "model/selectionmask.h"

#include <QHeaderView>
#include <QTableWidget>

namespace PresetTable {

namespace {
constexpr Qt::ItemFlags FactoryFlags = Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsEnabled;
constexpr Qt::ItemFlags UserFlags = Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsDragEnabled |
                                    Qt::ItemIsDropEnabled | Qt::ItemIsEnabled;
} // namespace

void setColumnHeaders(QTableWidget *table)
{
    table->setHorizontalHeaderItem(0, new QTableWidgetItem(QStringLiteral("1: Factory")));
    for (int c = 1; c < BankCount; ++c)
        table->setHorizontalHeaderItem(c, new QTableWidgetItem(QStringLiteral("%1: User").arg(c + 1)));
}

void setUp(QTableWidget *table)
{
    setColumnHeaders(table);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->horizontalHeader()->setSectionsClickable(true);
    table->verticalHeader()->setSectionsClickable(false);
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    table->setDragEnabled(true);
    table->setDragDropMode(QAbstractItemView::DragDrop);
    table->setDragDropOverwriteMode(false);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
}

void rebuildMarkedCells(QTableWidget *table, BankStore &store)
{
    for (int c = 0; c < BankCount; ++c) {
        for (int r = 0; r < PresetsPerBank; ++r) {
            PresetRecord &rec = store.at(c, r);
            if (!rec.mark)
                continue;
            auto *item = new QTableWidgetItem(CellText::build(rec, r, c));
            item->setBackground(QColor::fromRgb(categoryFor(rec.category).rgb));
            item->setFlags(c == 0 ? FactoryFlags : UserFlags);
            // Clear the mark first: putting the item in place reports the cell as changed.
            rec.mark = false;
            table->setItem(r, c, item);
        }
    }
}

void readSelection(const QTableWidget *table, SelectionMask &mask)
{
    mask.clear();
    const QItemSelectionModel *sm = table->selectionModel();
    if (!sm)
        return;
    const QItemSelection sel = sm->selection();
    for (const QItemSelectionRange &range : sel) {
        for (int c = range.left(); c <= range.right(); ++c)
            for (int r = range.top(); r <= range.bottom(); ++r)
                if (c < BankCount && r < PresetsPerBank && table->item(r, c))
                    mask.set(c, r);
    }
}

void select(QTableWidget *table, const SelectionMask &mask)
{
    QItemSelectionModel *sm = table->selectionModel();
    if (!sm)
        return;
    // One range per run of selected presets in a bank: one selection change, not thousands.
    QItemSelection selection;
    const QAbstractItemModel *model = table->model();
    for (int c = 0; c < BankCount; ++c)
        for (int r = 0; r < PresetsPerBank; ++r) {
            if (!mask.isSelected(c, r))
                continue;
            int last = r;
            while (last + 1 < PresetsPerBank && mask.isSelected(c, last + 1))
                ++last;
            selection.select(model->index(r, c), model->index(last, c));
            r = last;
        }
    sm->select(selection, QItemSelectionModel::ClearAndSelect);
    int bank = 0, preset = 0;
    if (mask.first(bank, preset)) {
        // Current cell without touching the selection just made.
        sm->setCurrentIndex(model->index(preset, bank), QItemSelectionModel::NoUpdate);
        table->scrollTo(model->index(preset, bank));
    }
}

} // namespace PresetTable
