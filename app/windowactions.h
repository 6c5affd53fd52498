#pragma once

#include <QList>

class MainWindow;
class QAction;
class QMenu;
class SelectionMask;

// The window's commands, one QAction each: its keys, what it runs and when it may run are
// set here, and the context menu, the tool panel's buttons and the keys all use that one
// action. The texts are MainWindow's (its translation context).
class WindowActions
{
public:
    explicit WindowActions(MainWindow &window);

    // When each command may run, from the document, the history, the clipboard and the
    // table's selection; the tool panel's buttons follow their actions.
    void update();
    void update(const SelectionMask &selection);
    // The table's context menu, its entries' states those of the selection now.
    void fillContextMenu(QMenu &menu);

    QAction *cut = nullptr;
    QAction *copy = nullptr;
    QAction *paste = nullptr;
    QAction *remove = nullptr;
    QAction *sortByName = nullptr;
    QAction *sortByAuthor = nullptr;
    QAction *sortByCategory = nullptr;
    QAction *selectDuplicates = nullptr;
    QAction *undo = nullptr;
    QAction *redo = nullptr;
    QAction *importBanks = nullptr;
    QAction *exportBanks = nullptr;
    QAction *load = nullptr;
    QAction *save = nullptr;   // Ctrl+S: again to the document's file
    QAction *saveAs = nullptr; // the Save button, Ctrl+Shift+S
    QAction *print = nullptr;
    QAction *recentFiles = nullptr;
    QAction *library = nullptr;
    QAction *quit = nullptr;

private:
    // Set when the menu is shown, so they come from the catalogue running then.
    void setTexts();

    MainWindow &window;
};
