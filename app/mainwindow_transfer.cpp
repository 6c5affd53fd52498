// MainWindow's import from and export to the module, through its TransferController.
#include "app/mainwindow.h"

#include "app/transfercontroller.h"

void MainWindow::on_Export()
{
    if (!banksLoaded)
        return;
    // Presets left out (another choice, unticked) still differ from the module.
    if (transfers->exportBanks(bankStore, nullptr))
        document.exportedWhole();
}

void MainWindow::restoreBackup(const QString &fileName)
{
    if (!transfers->restoreBackup(fileName, errorText)) {
        showError();
        return;
    }
    // The module got the backup; the window keeps its banks.
    document.moduleOverwritten();
}

bool MainWindow::readModule(BankStore &into, bool forCompare)
{
    return transfers->importBanks(into, forCompare ? tr("Read all 16 banks to compare them with the document")
                                                   : QString());
}

void MainWindow::on_Import()
{
    if (modified && !askSaveChanges())
        return;
    BankStore module;
    if (!readModule(module, false))
        return;
    replaceDocument(module, Document::Source::Module, QString());
}
