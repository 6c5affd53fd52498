// MainWindow's block operations (cut, copy, paste, delete, context menu) and the
// author and category assignment. The slots read the selection once and call editing/.
#include "app/mainwindow.h"

#include "app/windowactions.h"

#include "editing/assignment.h"
#include "editing/blockoperations.h"
#include "editing/duplicates.h"
#include "model/selectionmask.h"
#include "views/detailview.h"
#include "views/presetgrid.h"
#include "views/presettable.h"

#include <QMenu>
#include <QStatusBar>

namespace {

void pasteAndRefresh(MainWindow &w, const SelectionMask &selection)
{
    BlockOperations::pasteClipboard(w.bankStore, w.clipboard, selection, w.history);
    w.updateTable(true);
}

void deleteAndRefresh(MainWindow &w, const SelectionMask &selection)
{
    BlockOperations::deleteSelection(w.bankStore, selection, w.history);
    w.updateTable(true);
}

} // namespace

bool MainWindow::factoryCellSelected() const
{
    return currentSelection().factoryCellSelected();
}

bool MainWindow::singleCellSelected() const
{
    return currentSelection().singleCellSelected();
}

bool MainWindow::selectionIsRectangle() const
{
    return currentSelection().isRectangle();
}

void MainWindow::copySelectionToClipboard()
{
    BlockOperations::copySelectionToClipboard(bankStore, clipboard, currentSelection());
}

void MainWindow::pasteClipboard()
{
    pasteAndRefresh(*this, currentSelection());
}

void MainWindow::deleteSelection()
{
    deleteAndRefresh(*this, currentSelection());
}

void MainWindow::on_Table_ContextMenuRequest(const QPoint &pos)
{
    if (!banksLoaded)
        return;
    QMenu menu(this);
    actions->fillContextMenu(menu);
    // The request position is relative to the viewport, not to the table with its headers.
    menu.exec(table->viewport()->mapToGlobal(pos));
}

void MainWindow::sortSelection(PresetSort::Key key)
{
    if (!banksLoaded)
        return;
    if (PresetSort::sortSelection(bankStore, currentSelection(), key, history) > 0)
        updateTable(true);
}

void MainWindow::selectDuplicates()
{
    if (!banksLoaded)
        return;
    const Duplicates::Found found = Duplicates::find(bankStore);
    PresetTable::select(table, found.userPresets);
    QString text = tr("No duplicates found");
    if (found.groups > 0) {
        const int presets = found.userPresets.count();
        text = (found.groups == 1 ? tr("1 group of duplicates found")
                                  : tr("%1 groups of duplicates found").arg(found.groups)) +
               QStringLiteral(", ") +
               (presets == 1 ? tr("1 preset selected") : tr("%1 presets selected").arg(presets));
    }
    statusBar()->showMessage(text);
}

void MainWindow::on_cut_Table()
{
    const SelectionMask selection = currentSelection();
    if (!BlockOperations::allowed(BlockOperations::Command::Cut, selection, clipboardFilled))
        return;
    BlockOperations::copySelectionToClipboard(bankStore, clipboard, selection);
    clipboardFilled = true;
    deleteAndRefresh(*this, selection);
}

void MainWindow::on_copy_Table()
{
    const SelectionMask selection = currentSelection();
    if (!BlockOperations::allowed(BlockOperations::Command::Copy, selection, clipboardFilled))
        return;
    BlockOperations::copySelectionToClipboard(bankStore, clipboard, selection);
    clipboardFilled = true;
    // Paste may run now.
    actions->update(selection);
}

void MainWindow::on_paste_Table()
{
    const SelectionMask selection = currentSelection();
    if (!BlockOperations::allowed(BlockOperations::Command::Paste, selection, clipboardFilled))
        return;
    pasteAndRefresh(*this, selection);
}

void MainWindow::on_delete_Table()
{
    const SelectionMask selection = currentSelection();
    if (!BlockOperations::allowed(BlockOperations::Command::Delete, selection, clipboardFilled))
        return;
    deleteAndRefresh(*this, selection);
}

void MainWindow::assignNewAuthor()
{
    if (!banksLoaded)
        return;
    Assignment::assignAuthor(bankStore, currentSelection(), detailView->newAuthorEdit->text(), history);
    updateTable(true);
}

void MainWindow::takeShownAuthor()
{
    if (!banksLoaded)
        return;
    detailView->newAuthorEdit->setText(detailView->shownAuthorEdit->text());
}

void MainWindow::assignChosenCategory()
{
    if (!banksLoaded)
        return;
    // The detail view also moves the current row when the selection changes; the
    // selection then already has that category and nothing is recorded.
    Assignment::assignCategory(bankStore, currentSelection(), detailView->categoryList->currentRow(),
                               history);
    updateTable(true);
}

void MainWindow::categoryRowChanged(int)
{
    assignChosenCategory();
}

void MainWindow::categoryItemChanged(QListWidgetItem *, QListWidgetItem *)
{
    assignChosenCategory();
}
