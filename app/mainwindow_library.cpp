// MainWindow's library, through its LibraryController; presets it hands over are placed like
// a drop.
#include "app/mainwindow.h"

#include "app/librarycontroller.h"
#include "views/presetgrid.h"
#include "views/presettable.h"

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
    SelectionMask placed;
    for (int i = 0; i < presets.size() && preset + i < PresetsPerBank; ++i) {
        writePreset(bankStore, history, bank, preset + i, presets.at(i));
        placed.set(bank, preset + i);
    }
    updateTable(true);
    // Where they went is selected and in view.
    PresetTable::select(table, placed);
    return true;
}
