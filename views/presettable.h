#pragma once

#include <QString>

class BankStore;
class QFontMetrics;
class QTableWidget;
class SelectionMask;
struct PresetRecord;

// Set-up and refresh of the 128 x 16 preset table: column = bank, row = preset.
namespace PresetTable {

// Header items, header modes, selection and drag modes of a fresh table.
void setUp(QTableWidget *table);

// "1: Factory", "2: User" ... "16: User"; also needed again after QTableWidget::clear().
// Labels that do not fit the column keep their number: "10: U…", or "10" alone.
void setColumnHeaders(QTableWidget *table);

// The header label of `bank` shortened to `room` pixels of `metrics`.
QString columnLabel(int bank, int room, const QFontMetrics &metrics);

// What a screen reader says for a preset: "Deep Shimmer, Factory, Pads, bank 5, preset 23"
// (bank and preset zero-based here, spoken 1-based); an empty preset says so.
QString spokenText(const QString &name, const QString &author, int category, int bank, int preset);

// Replaces the item of every marked record and clears its mark; other items stay.
void rebuildMarkedCells(QTableWidget *table, BankStore &store);

// Reads the table's selection once; cells without an item count as unselected.
void readSelection(const QTableWidget *table, SelectionMask &mask);

// Makes the mask the table's selection and scrolls to its first cell.
void select(QTableWidget *table, const SelectionMask &mask);

} // namespace PresetTable
