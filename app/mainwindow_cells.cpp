// MainWindow's handling of changed cells: renames in place and dropped presets.
#include "app/mainwindow.h"

#include "model/celltext.h"
#include "views/presetgrid.h"

void MainWindow::on_Table_cellChanged(int row, int column)
{
    if (!banksLoaded || !BankStore::validIndex(column, row))
        return;
    QTableWidgetItem *item = table->item(row, column);
    if (!item)
        return;
    CellText::Parsed parsed = CellText::parse(item->text());
    // Text dropped from elsewhere is not limited by the editor.
    parsed.name = limitedText(parsed.name);
    PresetRecord &record = bankStore.at(column, row);

    if (parsed.kind == CellText::Parsed::Plain) {
        history.startNewGroup = true;
        recordUndo(column, row);
        record.name = parsed.name;
        record.author.clear();
        record.mark = true;
    } else if (parsed.kind == CellText::Parsed::Located && (parsed.row != row || parsed.column != column)) {
        dropPreset(parsed.row, parsed.column, row, column);
    } else if (parsed.name != record.name && parsed.name != CellText::line(record.name)) {
        // The cell's own text (or one that names no cell): a rename.
        history.startNewGroup = true;
        recordUndo(column, row);
        record.name = parsed.name;
        record.mark = true;
    } else {
        // A refresh writing back what the cell shows: nothing changed, so the detail
        // view would come out the same. Skipping it keeps a 2,048-cell refresh cheap.
        return;
    }
    updateDetailView();
}

void MainWindow::takeDragSnapshot()
{
    dragSnapshot.snapshotFrom(bankStore, currentSelection());
}

void MainWindow::dropPreset(int sourceRow, int sourceColumn, int row, int column)
{
    if (table->takeDragStarted()) {
        // First cell of the drop: no destination record has changed yet, so the
        // snapshot still holds every source, even where the block overlaps itself.
        takeDragSnapshot();
        table->clearSelection();
        history.startNewGroup = true;
    }
    writePreset(bankStore, history, column, row, dragSnapshot.at(sourceColumn, sourceRow));
    // The cell now names itself; this rewrite comes back here as a no-change.
    if (QTableWidgetItem *item = table->item(row, column))
        item->setText(CellText::build(bankStore.at(column, row), row, column));
}
