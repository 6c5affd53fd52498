// MainWindow's library, through its LibraryController; presets it hands over are placed like
// a drop.
#include "app/mainwindow.h"

#include "app/librarycontroller.h"

LibraryPanel *MainWindow::library()
{
    return libraryController->panel();
}

void MainWindow::focusLibrary()
{
    libraryController->focus();
}

bool MainWindow::placeLibraryPresets(const QVector<PresetRecord> &presets, int bank, int preset)
{
    if (!banksLoaded || presets.isEmpty() || !BankStore::validIndex(bank, preset) || bank == 0)
        return false;
    history.startNewGroup = true;
    for (int i = 0; i < presets.size() && preset + i < PresetsPerBank; ++i) {
        writePreset(bankStore, history, bank, preset + i, presets.at(i));
    }
    updateTable(true);
    return true;
}
