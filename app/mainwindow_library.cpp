// MainWindow's library dock: created and connected here; presets it hands over are
// placed like a drop.
#include "app/mainwindow.h"

#include "library/librarydatabase.h"
#include "views/bigtable.h"
#include "views/librarymime.h"
#include "views/librarypanel.h"

#include <QAction>
#include <QHBoxLayout>
#include <QTimer>
#include <QToolButton>

void MainWindow::setUpLibrary()
{
    libraryPanel = new LibraryPanel(LibraryDatabase::defaultPath(), LibraryDatabase::defaultFolders(), this);
    libraryPanel->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    addDockWidget(Qt::RightDockWidgetArea, libraryPanel);
    // Wide enough for the results' file and position columns.
    resizeDocks({libraryPanel}, {560}, Qt::Horizontal);
    libraryPanel->hide();

    QAction *toggle = libraryPanel->toggleViewAction();
    toggle->setText(tr("Library"));
    toggle->setToolTip(tr("Show or hide the library (Ctrl+L)"));
    toggle->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    addAction(toggle); // the shortcut works while the dock is hidden
    libraryButton = new QToolButton;
    libraryButton->setObjectName(QStringLiteral("libraryButton"));
    libraryButton->setDefaultAction(toggle);
    // Its text changes with the progress; the name read out stays.
    libraryButton->setAccessibleName(tr("Library"));
    // A plain button in the palette's colours, light or dark, over the panel's gradient; it
    // shows whether the dock is open, and keyboard focus.
    libraryButton->setStyleSheet(QStringLiteral(
        "QToolButton { background-color: palette(button); color: palette(button-text);"
        " border: 1px solid palette(mid); border-radius: 2px; padding: 2px 6px; }"
        "QToolButton:checked { background-color: palette(highlight); color: palette(highlighted-text); }"
        "QToolButton:focus { border: 1px solid palette(highlight); }"));
    if (auto *row = qobject_cast<QHBoxLayout *>(redoButton->parentWidget()->layout()))
        row->addWidget(libraryButton);

    // The progress of a long update shows on the button too, so it is seen with the dock hidden.
    connect(libraryPanel, &LibraryPanel::progressChanged, this, [this, toggle](int percent) {
        toggle->setText(percent < 0 ? tr("Library") : tr("Library %1%").arg(percent));
    });
    connect(table, &BigTable::libraryPresetsDropped, this,
            [this](int row, int column, const QByteArray &data) {
                placeLibraryPresets(LibraryMime::decode(data), column, row);
            });
    connect(libraryPanel, &LibraryPanel::sendRequested, this, [this](const QVector<PresetRecord> &presets) {
        // The current cell when it is selected, else the topmost selected user cell.
        const SelectionMask selection = currentSelection();
        const QTableWidgetItem *current = table->currentItem();
        if (current && selection.isSelected(current->column(), current->row()) &&
            placeLibraryPresets(presets, current->column(), current->row()))
            return;
        for (int p = 0; p < PresetsPerBank; ++p)
            for (int b = 1; b < BankCount; ++b)
                if (selection.isSelected(b, p) && placeLibraryPresets(presets, b, p))
                    return;
        libraryPanel->showMessage(tr("Select a cell of a user bank first."));
    });
    connect(libraryPanel, &LibraryPanel::whereElseRequested, this, [this] {
        QTableWidgetItem *item = table->currentItem();
        const SelectionMask selection = currentSelection();
        if (!banksLoaded || !item || !selection.isSelected(item->column(), item->row())) {
            libraryPanel->showMessage(tr("Select a preset in the table first."));
            return;
        }
        libraryPanel->showWhereElse(bankStore.at(item->column(), item->row()));
    });
    // Once the window is up and painted: start-up never waits for the library, and its
    // thread does not compete with the first paint for the processor.
    QTimer::singleShot(500, libraryPanel, &LibraryPanel::startUpdate);
}

bool MainWindow::placeLibraryPresets(const QVector<PresetRecord> &presets, int bank, int preset)
{
    if (!banksLoaded || presets.isEmpty() || !BankStore::validIndex(bank, preset) || bank == 0)
        return false;
    history.startNewGroup = true;
    for (int i = 0; i < presets.size() && preset + i < PresetsPerBank; ++i) {
        recordUndo(bank, preset + i);
        PresetRecord &record = bankStore.at(bank, preset + i);
        record.copyContentFrom(presets.at(i));
        record.mark = true;
    }
    updateTable(true);
    return true;
}
