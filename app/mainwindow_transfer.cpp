// MainWindow's import from and export to the module, through its TransferController.
#include "app/mainwindow.h"

#include "app/transfercontroller.h"
#include "device/backupcatalog.h"
#include "editing/exportchoice.h"

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
    BankStore backup;
    backup.fillEmptyBanks();
    SelectionMask held;
    if (!BackupCatalog::load(fileName, backup, held, errorText)) {
        showError();
        return;
    }
    const ExportChoice all = ExportChoice::allUserBanks();
    const ExportChoice choice = held == all.positions() ? all : ExportChoice::presets(held);
    // The document is not touched: the module gets the backup, the window keeps its banks.
    transfers->exportBanks(backup, &choice, fileName);
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
