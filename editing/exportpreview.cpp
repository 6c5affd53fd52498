#include "editing/exportpreview.h"

#include "files/presetfile.h"
#include "model/bankstore.h"
#include "model/categorytable.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr int ImageSize = int(sizeof(PresetImage));
} // namespace

QString ExportPreview::positionText(int bank, int preset)
{
    return QStringLiteral("%1 · %2").arg(bank + 1).arg(preset + 1);
}

void ExportPreview::build(const BankStore &document, const uint8_t *moduleDump, const SelectionMask &chosen)
{
    beginResetModel();
    list.clear();
    PresetImage ours;
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            if (!chosen.isSelected(b, p))
                continue;
            const uint8_t *theirs = moduleDump + (b * PresetsPerBank + p) * ImageSize;
            // A text the document got back from a preset file is the module's unchanged.
            if (recordOverImage(document.at(b, p), theirs, ours.data(), presetFileKeeps))
                addRow(document.at(b, p), b, p, theirs, ours.data());
        }
    ticks = int(list.size());
    endResetModel();
    emit tickedCountChanged(ticks);
}

void ExportPreview::build(const BankStore &document, const uint8_t *moduleDump, const uint8_t *targetDump,
                          const std::vector<int> &changes)
{
    beginResetModel();
    list.clear();
    for (int position : changes) {
        const int b = position / PresetsPerBank;
        const int p = position % PresetsPerBank;
        addRow(document.at(b, p), b, p, moduleDump + position * ImageSize, targetDump + position * ImageSize);
    }
    ticks = int(list.size());
    endResetModel();
    emit tickedCountChanged(ticks);
}

void ExportPreview::addRow(const PresetRecord &record, int bank, int preset, const uint8_t *theirs,
                           const uint8_t *ours)
{
    PresetRecord now;
    imageToRecord(theirs, now);
    PresetRecord kept;
    imageToRecord(ours, kept);
    Row row;
    row.bank = bank;
    row.preset = preset;
    row.nowName = now.name;
    row.nowAuthor = now.author;
    row.nowCategory = now.category;
    row.newName = record.name;
    row.newAuthor = record.author;
    row.newCategory = kept.category;
    row.kind = std::memcmp(ours, theirs, PresetImageLayout::ParamCount) != 0
                   ? PresetComparison::Kind::Sound
                   : PresetComparison::Kind::TextOnly;
    if (kept.name != record.name)
        row.keptName = kept.name;
    if (kept.author != record.author)
        row.keptAuthor = kept.author;
    list.push_back(std::move(row));
}

SelectionMask ExportPreview::ticked() const
{
    SelectionMask mask;
    for (const Row &row : list)
        if (row.ticked)
            mask.set(row.bank, row.preset);
    return mask;
}

void ExportPreview::setAllTicked(bool ticked)
{
    for (Row &row : list)
        row.ticked = ticked;
    ticks = ticked ? int(list.size()) : 0;
    if (!list.empty())
        emit dataChanged(index(0, Position), index(int(list.size()) - 1, Position), {Qt::CheckStateRole});
    emit tickedCountChanged(ticks);
}

void ExportPreview::setTicked(const SelectionMask &positions, bool ticked)
{
    int first = -1;
    int last = -1;
    for (size_t i = 0; i < list.size(); ++i) {
        Row &row = list[i];
        if (row.ticked == ticked || !positions.isSelected(row.bank, row.preset))
            continue;
        row.ticked = ticked;
        ticks += ticked ? 1 : -1;
        if (first < 0)
            first = int(i);
        last = int(i);
    }
    if (first < 0)
        return;
    emit dataChanged(index(first, Position), index(last, Position), {Qt::CheckStateRole});
    emit tickedCountChanged(ticks);
}

int ExportPreview::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(list.size());
}

int ExportPreview::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString ExportPreview::kindText(PresetComparison::Kind kind) const
{
    return kind == PresetComparison::Kind::Sound ? tr("Sound") : tr("Text only");
}

QString ExportPreview::keptText(const Row &row) const
{
    QStringList parts;
    if (!row.keptName.isNull())
        parts << tr("Name: %1").arg(row.keptName);
    if (!row.keptAuthor.isNull())
        parts << tr("Author: %1").arg(row.keptAuthor);
    return parts.join(QStringLiteral("; "));
}

QVariant ExportPreview::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(list.size()))
        return QVariant();
    const Row &row = list[size_t(index.row())];
    if (role == Qt::CheckStateRole && index.column() == Position)
        return row.ticked ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::ToolTipRole && index.column() == Kept && !keptText(row).isEmpty())
        return tr("The module holds 32 characters of printable ASCII per text: %1").arg(keptText(row));
    if (role != Qt::DisplayRole)
        return QVariant();
    auto category = [](int c) { return categoryDisplayName(c); };
    switch (index.column()) {
    case Position:
        return positionText(row.bank, row.preset);
    case NowName:
        return row.nowName;
    case NowAuthor:
        return row.nowAuthor;
    case NowCategory:
        return category(row.nowCategory);
    case NewName:
        return row.newName;
    case NewAuthor:
        return row.newAuthor;
    case NewCategory:
        return category(row.newCategory);
    case Change:
        return kindText(row.kind);
    case Kept:
        return keptText(row);
    default:
        return QVariant();
    }
}

bool ExportPreview::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != Position || role != Qt::CheckStateRole ||
        index.row() >= int(list.size()))
        return false;
    Row &row = list[size_t(index.row())];
    const bool ticked = value.toInt() == Qt::Checked;
    if (row.ticked == ticked)
        return true;
    row.ticked = ticked;
    ticks += ticked ? 1 : -1;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    emit tickedCountChanged(ticks);
    return true;
}

Qt::ItemFlags ExportPreview::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == Position)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant ExportPreview::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Position:
        return tr("Bank · preset");
    case NowName:
        return tr("On the module now");
    case NowAuthor:
    case NewAuthor:
        return tr("Author");
    case NowCategory:
    case NewCategory:
        return tr("Category");
    case NewName:
        return tr("Replaced by");
    case Change:
        return tr("Changes");
    case Kept:
        return tr("The module keeps");
    default:
        return QVariant();
    }
}

void ExportPreview::sort(int column, Qt::SortOrder order)
{
    auto key = [this, column](const Row &r) -> QString {
        switch (column) {
        case NowName:
            return r.nowName;
        case NowAuthor:
            return r.nowAuthor;
        case NowCategory:
            return categoryDisplayName(r.nowCategory);
        case NewName:
            return r.newName;
        case NewAuthor:
            return r.newAuthor;
        case NewCategory:
            return categoryDisplayName(r.newCategory);
        case Change:
            return kindText(r.kind);
        case Kept:
            return keptText(r);
        default:
            return QString();
        }
    };
    auto position = [](const Row &r) { return r.bank * PresetsPerBank + r.preset; };
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> oldPositions;
    for (const QModelIndex &i : before)
        oldPositions.push_back(position(list[size_t(i.row())]));
    // Ties keep bank and preset order, whichever way the column sorts.
    std::stable_sort(list.begin(), list.end(), [&](const Row &a, const Row &b) {
        if (column != Position) {
            const int c = QString::compare(key(a), key(b), Qt::CaseInsensitive);
            if (c != 0)
                return order == Qt::AscendingOrder ? c < 0 : c > 0;
            return position(a) < position(b);
        }
        return order == Qt::AscendingOrder ? position(a) < position(b) : position(a) > position(b);
    });
    QModelIndexList after;
    for (size_t n = 0; n < size_t(before.size()); ++n) {
        const auto found = std::find_if(list.begin(), list.end(),
                                        [&](const Row &r) { return position(r) == oldPositions[n]; });
        after << index(int(found - list.begin()), before[int(n)].column());
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
