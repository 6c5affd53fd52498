#include "app/librarycontroller.h"

#include "app/mainwindow.h"
#include "library/librarydatabase.h"
#include "views/librarymime.h"
#include "views/librarypanel.h"
#include "views/presetgrid.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

LibraryController::LibraryController(MainWindow &w) : QObject(&w), window(w)
{
    // The button and the keys are there from the start; the dock itself is made when first
    // needed, or soon after the window is up, so start-up does not wait for it.
    button = new QToolButton;
    button->setObjectName(QStringLiteral("libraryButton"));
    button->setText(MainWindow::tr("Library"));
    button->setCheckable(true);
    button->setToolTip(MainWindow::tr("Show or hide the library (Ctrl+L)"));
    // Its text changes with the progress; the name read out stays.
    button->setAccessibleName(MainWindow::tr("Library"));
    if (auto *row = qobject_cast<QHBoxLayout *>(w.redoButton->parentWidget()->layout()))
        row->addWidget(button);
    connect(button, &QToolButton::clicked, this, [this](bool shown) { panel()->setVisible(shown); });

    connect(w.table, &PresetGrid::libraryPresetsDropped, this,
            [this](int row, int column, const QByteArray &data) {
                window.placeLibraryPresets(LibraryMime::decode(data), column, row);
            });
    // Once the window is up and painted: start-up never waits for the library, and its
    // thread does not compete with the first paint for the processor.
    QTimer::singleShot(500, this, [this] { panel()->startUpdate(); });
}

LibraryPanel *LibraryController::panel()
{
    if (dock)
        return dock;
    dock = new LibraryPanel(LibraryDatabase::defaultPath(), LibraryDatabase::defaultFolders(), &window);
    dock->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    dock->hide();
    window.addDockWidget(Qt::RightDockWidgetArea, dock);
    // Wide enough for the results' file and position columns.
    window.resizeDocks({dock}, {560}, Qt::Horizontal);
    // Not through `this`: the dock also hides while the window is being destroyed.
    connect(dock, &QDockWidget::visibilityChanged, button,
            [button = button, panel = dock] { button->setChecked(!panel->isHidden()); });
    // Escape in the dock goes back to the table, and Tab goes on from the table into the dock.
    auto *backToTable = new QShortcut(QKeySequence(Qt::Key_Escape), dock);
    backToTable->setContext(Qt::WidgetWithChildrenShortcut);
    connect(backToTable, &QShortcut::activated, this,
            [this] { window.table->setFocus(Qt::ShortcutFocusReason); });
    QWidget::setTabOrder(window.table, dock->searchEdit);

    // The progress of a long update shows on the button too, so it is seen with the dock hidden.
    connect(dock, &LibraryPanel::progressChanged, this, [this](int percent) {
        button->setText(percent < 0 ? MainWindow::tr("Library") : MainWindow::tr("Library %1%").arg(percent));
    });
    connect(dock, &LibraryPanel::sendRequested, this, &LibraryController::sendToTable);
    connect(dock, &LibraryPanel::whereElseRequested, this, &LibraryController::showWhereElse);
    return dock;
}

void LibraryController::sendToTable(const QVector<PresetRecord> &presets)
{
    // The current cell when it is selected, else the topmost selected user cell.
    const SelectionMask selection = window.currentSelection();
    const QTableWidgetItem *current = window.table->currentItem();
    auto placed = [this, &presets](int bank, int preset) {
        if (!window.placeLibraryPresets(presets, bank, preset))
            return false;
        // Also replaces an earlier "select a cell first".
        dock->showMessage(MainWindow::tr("Presets placed: %1, from bank %2, preset %3")
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
    dock->showMessage(MainWindow::tr("Select a cell of a user bank first."));
}

void LibraryController::showWhereElse()
{
    QTableWidgetItem *item = window.table->currentItem();
    const SelectionMask selection = window.currentSelection();
    if (!window.banksLoaded || !item || !selection.isSelected(item->column(), item->row())) {
        dock->showMessage(MainWindow::tr("Select a preset in the table first."));
        return;
    }
    dock->showWhereElse(window.bankStore.at(item->column(), item->row()));
}

void LibraryController::focus()
{
    QWidget *focused = QApplication::focusWidget();
    panel();
    if (dock->isVisible() && focused && dock->isAncestorOf(focused)) {
        dock->hide();
        window.table->setFocus(Qt::ShortcutFocusReason);
        return;
    }
    dock->show();
    dock->raise();
    dock->activateWindow();
    dock->searchEdit->setFocus(Qt::ShortcutFocusReason);
    dock->searchEdit->selectAll();
}
