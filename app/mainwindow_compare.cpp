// MainWindow's comparison and backups list, through its CompareCommands.
#include "app/mainwindow.h"

#include "app/comparecommands.h"

CompareController *MainWindow::compare()
{
    return compareCommands->controller();
}

void MainWindow::compareWithFile()
{
    compareCommands->compareWithFile();
}

void MainWindow::compareWithModule()
{
    compareCommands->compareWithModule();
}

void MainWindow::showBackups()
{
    compareCommands->showBackups();
}
