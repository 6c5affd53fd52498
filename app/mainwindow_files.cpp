// MainWindow's save and load flows.
#include "app/mainwindow.h"

void MainWindow::on_Load() {}
void MainWindow::on_Save() {}
