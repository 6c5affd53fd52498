#include "views/presettable.h"

#include "model/bankstore.h"
#include "model/categorytable.h"
#include "model/celltext.h"
#include "model/selectionmask.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QStyle>
#include <QTableWidget>

namespace PresetTable {

namespace {
constexpr Qt::ItemFlags FactoryFlags = Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsEnabled;
constexpr Qt::ItemFlags UserFlags = Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsDragEnabled |
                                    Qt::ItemIsDropEnabled | Qt::ItemIsEnabled;
QString fullLabel(int bank)
{
    return bank == 0 ? QCoreApplication::translate("PresetTable", "1: Factory")
                     : QCoreApplication::translate("PresetTable", "%1: User").arg(bank + 1);
}

// A cell that tells screen readers what the user sees: its name, author and category and
// where it is, counted as people count. Made when asked, so a refresh costs nothing more.
class PresetItem : public QTableWidgetItem
{
public:
    PresetItem(const QString &text, int category) : QTableWidgetItem(text, UserType), category(category) {}

    QVariant data(int role) const override
    {
        if (role != Qt::AccessibleTextRole || !tableWidget())
            return QTableWidgetItem::data(role);
        const QString text = QTableWidgetItem::data(Qt::DisplayRole).toString();
        const QStringList lines = text.split(QLatin1Char('\n'));
        return spokenText(lines.value(0), lines.value(1), category, column(), row());
    }
    QTableWidgetItem *clone() const override { return new PresetItem(*this); }

private:
    int category;
};

} // namespace

QString columnLabel(int bank, int room, const QFontMetrics &metrics)
{
    const QString full = fullLabel(bank);
    if (metrics.horizontalAdvance(full) <= room)
        return full;
    // Qt's own eliding would cut the number, the one part that tells the banks apart.
    const QString number = QString::number(bank + 1);
    const QString prefix = number + QStringLiteral(": ");
    const QString rest =
        metrics.elidedText(full.mid(prefix.size()), Qt::ElideRight, room - metrics.horizontalAdvance(prefix));
    // Only worth it while a letter of the word shows before the ellipsis.
    if (rest.size() >= 2)
        return prefix + rest;
    return number;
}

QString spokenText(const QString &name, const QString &author, int category, int bank, int preset)
{
    auto tr = [](const char *text) { return QCoreApplication::translate("PresetTable", text); };
    const QString place = tr("bank %1, preset %2").arg(bank + 1).arg(preset + 1);
    if (name.isEmpty() && author.isEmpty())
        return tr("Empty, %1").arg(place);
    QStringList parts{name.isEmpty() ? tr("Unnamed") : name};
    if (!author.isEmpty())
        parts << author;
    parts << categoryDisplayName(category) << place;
    return parts.join(QStringLiteral(", "));
}

void setColumnHeaders(QTableWidget *table)
{
    const QHeaderView *header = table->horizontalHeader();
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const QFontMetrics metrics = header->fontMetrics();
    for (int c = 0; c < BankCount && c < table->columnCount(); ++c) {
        const int room = header->sectionSize(c) - 2 * margin;
        const QString label = columnLabel(c, room, metrics);
        QTableWidgetItem *item = table->horizontalHeaderItem(c);
        if (item && item->text() == label)
            continue;
        item = new QTableWidgetItem(label);
        // The whole label for the pointer and for screen readers, however narrow the column.
        item->setToolTip(fullLabel(c));
        item->setData(Qt::AccessibleTextRole, fullLabel(c));
        table->setHorizontalHeaderItem(c, item);
    }
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
            auto *item = new PresetItem(CellText::build(rec, r, c), rec.category);
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
