#pragma once

#include <QString>

class BankStore;
class QTableWidget;
class SelectionMask;
struct PresetRecord;

// Set-up and refresh of the 128 x 16 preset table: column = bank, row = preset.
namespace PresetTable {

// Header items, header modes, selection and drag modes of a fresh table.
void setUp(QTableWidget *table);

// "1: Factory", "2: User" ... "16: User"; also needed again after QTableWidget::clear().
void setColumnHeaders(QTableWidget *table);

// Replaces the item of every marked record and clears its mark; other items stay.
void rebuildMarkedCells(QTableWidget *table, BankStore &store);

// Reads the table's selection once; cells without an item count as unselected.
void readSelection(const QTableWidget *table, SelectionMask &mask);

// Makes the mask the table's selection and scrolls to its first cell.
void select(QTableWidget *table, const SelectionMask &mask);

} // namespace PresetTable
