// MainWindow's import from and export to the module.
#include "app/mainwindow.h"

void MainWindow::on_Import() {}
void MainWindow::on_Export() {}
