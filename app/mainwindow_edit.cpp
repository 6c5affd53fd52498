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

// What a command changed is on screen: the current cell (or the first changed one) in view.
void showChanged(MainWindow &w, const SelectionMask &changed)
{
    const QModelIndex current = w.table->currentIndex();
    if (current.isValid() && changed.isSelected(current.column(), current.row())) {
        w.table->scrollTo(current);
        return;
    }
    int bank = 0, preset = 0;
    if (changed.first(bank, preset))
        w.table->scrollTo(w.table->model()->index(preset, bank));
}

// A block that does not fit whole is not pasted in part: the user would not see what was lost.
bool pasteFits(MainWindow &w, const SelectionMask &selection)
{
    const BlockOperations::Overflow overflow = BlockOperations::pasteOverflow(w.clipboard, selection);
    if (!overflow.any())
        return true;
    QString text;
    if (overflow.right > 0)
        text =
            overflow.right == 1
                ? MainWindow::tr("1 preset did not fit right of bank %1; nothing was pasted").arg(BankCount)
                : MainWindow::tr("%1 presets did not fit right of bank %2; nothing was pasted")
                      .arg(overflow.right)
                      .arg(BankCount);
    else
        text =
            overflow.below == 1
                ? MainWindow::tr("1 preset did not fit below row %1; nothing was pasted").arg(PresetsPerBank)
                : MainWindow::tr("%1 presets did not fit below row %2; nothing was pasted")
                      .arg(overflow.below)
                      .arg(PresetsPerBank);
    w.statusBar()->showMessage(text);
    return false;
}

void pasteAndRefresh(MainWindow &w, const SelectionMask &selection)
{
    if (!pasteFits(w, selection))
        return;
    SelectionMask written;
    BlockOperations::pasteClipboard(w.bankStore, w.clipboard, selection, w.history, &written);
    w.updateTable(true);
    // The pasted block is selected, its top-left cell current and in view.
    PresetTable::select(w.table, written);
}

void deleteAndRefresh(MainWindow &w, const SelectionMask &selection)
{
    BlockOperations::deleteSelection(w.bankStore, selection, w.history);
    w.updateTable(true);
    showChanged(w, selection);
}

} // namespace

void MainWindow::explainRefusal(BlockOperations::Command command)
{
    using BlockOperations::Command;
    using BlockOperations::Refusal;
    QString text;
    if (!banksLoaded) {
        text = tr("Please import or load all banks first");
    } else {
        switch (BlockOperations::refusal(command, currentSelection(), clipboardFilled)) {
        case Refusal::None:
            return;
        case Refusal::NothingSelected:
            text = tr("Nothing is selected");
            break;
        case Refusal::FactoryBank:
            text = tr("Bank 1 is read-only");
            break;
        case Refusal::NotRectangle:
            text = command == Command::Cut ? tr("Only a rectangular block of presets can be cut")
                                           : tr("Only a rectangular block of presets can be copied");
            break;
        case Refusal::NotOneCell:
            text = tr("Select the one cell where the copied block's top-left corner goes");
            break;
        case Refusal::NothingCopied:
            text = tr("Nothing has been copied yet");
            break;
        }
    }
    statusBar()->showMessage(text);
}

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
    PresetTable::select(table, found.extraCopies);
    QString text = tr("No duplicates found");
    if (found.groups > 0) {
        const int copies = found.extraCopies.count();
        text = (found.groups == 1 ? tr("1 group of duplicates found")
                                  : tr("%1 groups of duplicates found").arg(found.groups)) +
               QStringLiteral(", ") +
               (copies == 1 ? tr("1 extra copy selected") : tr("%1 extra copies selected").arg(copies));
    }
    statusBar()->showMessage(text);
}

void MainWindow::on_cut_Table()
{
    const SelectionMask selection = currentSelection();
    if (!BlockOperations::allowed(BlockOperations::Command::Cut, selection, clipboardFilled))
        return explainRefusal(BlockOperations::Command::Cut);
    BlockOperations::copySelectionToClipboard(bankStore, clipboard, selection);
    clipboardFilled = true;
    deleteAndRefresh(*this, selection);
}

void MainWindow::on_copy_Table()
{
    const SelectionMask selection = currentSelection();
    if (!BlockOperations::allowed(BlockOperations::Command::Copy, selection, clipboardFilled))
        return explainRefusal(BlockOperations::Command::Copy);
    BlockOperations::copySelectionToClipboard(bankStore, clipboard, selection);
    clipboardFilled = true;
    // Paste may run now.
    actions->update(selection);
}

void MainWindow::on_paste_Table()
{
    const SelectionMask selection = currentSelection();
    if (!BlockOperations::allowed(BlockOperations::Command::Paste, selection, clipboardFilled))
        return explainRefusal(BlockOperations::Command::Paste);
    pasteAndRefresh(*this, selection);
}

void MainWindow::on_delete_Table()
{
    const SelectionMask selection = currentSelection();
    if (!BlockOperations::allowed(BlockOperations::Command::Delete, selection, clipboardFilled))
        return explainRefusal(BlockOperations::Command::Delete);
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
