#pragma once

#include "editing/presetcomparison.h"
#include "model/selectionmask.h"

#include <QAbstractTableModel>
#include <QString>

#include <cstdint>
#include <vector>

class BankStore;

// What an export will change, one row per preset the module holds differently: where it
// is, what the module holds now, what replaces it, whether the sound changes or only the
// text, and what the module will keep of a text it cannot hold (past 32 characters,
// outside printable ASCII). Each row has a tick; only ticked presets are written.
// A table model without widgets, so the preview dialog shows it and tests read it.
class ExportPreview : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column {
        Position,
        NowName,
        NowAuthor,
        NowCategory,
        NewName,
        NewAuthor,
        NewCategory,
        Change,
        Kept,
        ColumnCount
    };

    struct Row
    {
        int bank = 0;
        int preset = 0;
        QString nowName, nowAuthor;
        int nowCategory = 0;
        QString newName, newAuthor;
        int newCategory = 0;
        PresetComparison::Kind kind = PresetComparison::Kind::Sound;
        // What the module keeps of the new texts, where it alters them; empty otherwise.
        QString keptName, keptAuthor;
        bool ticked = true;
    };

    using QAbstractTableModel::QAbstractTableModel;

    // Compares, for every position of `chosen`, the image the document gives the module
    // (recordOverImage) with the module's image in `moduleDump` (16 x 128 images,
    // bank-major), as the export does. Every row starts ticked.
    void build(const BankStore &document, const uint8_t *moduleDump, const SelectionMask &chosen);
    // One row for each of `changes` (bank * 128 + preset), which the export decided on:
    // `targetDump` holds what each will become.
    void build(const BankStore &document, const uint8_t *moduleDump, const uint8_t *targetDump,
               const std::vector<int> &changes);

    const std::vector<Row> &rows() const { return list; }
    int tickedCount() const { return ticks; }
    SelectionMask ticked() const;
    void setAllTicked(bool ticked);
    // Ticks or unticks the listed presets of `positions`; the others keep their ticks.
    void setTicked(const SelectionMask &positions, bool ticked);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // "3 · 17": bank and preset as a person counts them.
    static QString positionText(int bank, int preset);

signals:
    void tickedCountChanged(int count);

private:
    QString kindText(PresetComparison::Kind kind) const;
    QString keptText(const Row &row) const;
    void addRow(const PresetRecord &record, int bank, int preset, const uint8_t *theirs, const uint8_t *ours);

    std::vector<Row> list;
    int ticks = 0;
};
