// MainWindow's library dock: created and connected here; presets it hands over are
// placed like a drop.
#include "app/mainwindow.h"

#include "library/librarydatabase.h"
#include "views/librarymime.h"
#include "views/librarypanel.h"
#include "views/presetgrid.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

void MainWindow::setUpLibrary()
{
    // The button and the keys are there from the start; the dock itself is made when first
    // needed, or soon after the window is up, so start-up does not wait for it.
    libraryButton = new QToolButton;
    libraryButton->setObjectName(QStringLiteral("libraryButton"));
    libraryButton->setText(tr("Library"));
    libraryButton->setCheckable(true);
    libraryButton->setToolTip(tr("Show or hide the library (Ctrl+L)"));
    // Its text changes with the progress; the name read out stays.
    libraryButton->setAccessibleName(tr("Library"));
    if (auto *row = qobject_cast<QHBoxLayout *>(redoButton->parentWidget()->layout()))
        row->addWidget(libraryButton);
    connect(libraryButton, &QToolButton::clicked, this, [this](bool shown) { library()->setVisible(shown); });

    connect(table, &PresetGrid::libraryPresetsDropped, this,
            [this](int row, int column, const QByteArray &data) {
                placeLibraryPresets(LibraryMime::decode(data), column, row);
            });
    // Once the window is up and painted: start-up never waits for the library, and its
    // thread does not compete with the first paint for the processor.
    QTimer::singleShot(500, this, [this] { library()->startUpdate(); });
}

LibraryPanel *MainWindow::library()
{
    if (libraryPanel)
        return libraryPanel;
    libraryPanel = new LibraryPanel(LibraryDatabase::defaultPath(), LibraryDatabase::defaultFolders(), this);
    libraryPanel->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    libraryPanel->hide();
    addDockWidget(Qt::RightDockWidgetArea, libraryPanel);
    // Wide enough for the results' file and position columns.
    resizeDocks({libraryPanel}, {560}, Qt::Horizontal);
    // Not through `this`: the dock also hides while the window is being destroyed.
    connect(libraryPanel, &QDockWidget::visibilityChanged, libraryButton,
            [button = libraryButton, panel = libraryPanel] { button->setChecked(!panel->isHidden()); });
    // Escape in the dock goes back to the table, and Tab goes on from the table into the dock.
    auto *backToTable = new QShortcut(QKeySequence(Qt::Key_Escape), libraryPanel);
    backToTable->setContext(Qt::WidgetWithChildrenShortcut);
    connect(backToTable, &QShortcut::activated, this, [this] { table->setFocus(Qt::ShortcutFocusReason); });
    setTabOrder(table, libraryPanel->searchEdit);

    // The progress of a long update shows on the button too, so it is seen with the dock hidden.
    connect(libraryPanel, &LibraryPanel::progressChanged, this, [this](int percent) {
        libraryButton->setText(percent < 0 ? tr("Library") : tr("Library %1%").arg(percent));
    });
    connect(libraryPanel, &LibraryPanel::sendRequested, this, [this](const QVector<PresetRecord> &presets) {
        // The current cell when it is selected, else the topmost selected user cell.
        const SelectionMask selection = currentSelection();
        const QTableWidgetItem *current = table->currentItem();
        auto placed = [this, &presets](int bank, int preset) {
            if (!placeLibraryPresets(presets, bank, preset))
                return false;
            // Also replaces an earlier "select a cell first".
            libraryPanel->showMessage(tr("Presets placed: %1, from bank %2, preset %3")
                                          .arg(std::min<int>(presets.size(), PresetsPerBank - preset))
                                          .arg(bank + 1)
                                          .arg(preset + 1));
            return true;
        };
        if (current && selection.isSelected(current->column(), current->row()) &&
            placed(current->column(), current->row()))
            return;
        for (int p = 0; p < PresetsPerBank; ++p)
            for (int b = FirstUserBank; b < BankCount; ++b)
                if (selection.isSelected(b, p) && placed(b, p))
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
    return libraryPanel;
}

void MainWindow::focusLibrary()
{
    QWidget *focus = QApplication::focusWidget();
    library();
    if (libraryPanel->isVisible() && focus && libraryPanel->isAncestorOf(focus)) {
        libraryPanel->hide();
        table->setFocus(Qt::ShortcutFocusReason);
        return;
    }
    libraryPanel->show();
    libraryPanel->raise();
    libraryPanel->activateWindow();
    libraryPanel->searchEdit->setFocus(Qt::ShortcutFocusReason);
    libraryPanel->searchEdit->selectAll();
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
