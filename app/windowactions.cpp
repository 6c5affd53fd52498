#include "app/windowactions.h"

#include "app/mainwindow.h"
#include "app/recentfilesmenu.h"
#include "app/sheetprinter.h"
#include "editing/blockoperations.h"
#include "editing/presetsort.h"
#include "model/selectionmask.h"
#include "views/presetgrid.h"

#include <QAction>
#include <QMenu>
#include <QStatusBar>
#include <QToolButton>

#include <functional>

namespace {

// `refused` runs when the keys are pressed while the command may not run: it says why.
QAction *windowAction(MainWindow &window, const QList<QKeySequence> &keys,
                      const std::function<void()> &refused = {})
{
    auto *action = new QAction(&window);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    window.addAction(action);
    if (keys.isEmpty())
        return action;
    // A command that may not run still takes its keys: they never fall through to the control
    // with the focus, whose own Ctrl+C, say, would copy its text. Enabled only while the
    // command is not, so a key is never bound twice at once.
    auto *keyHolder = new QAction(&window);
    keyHolder->setShortcuts(keys);
    keyHolder->setShortcutContext(Qt::WindowShortcut);
    keyHolder->setEnabled(false);
    window.addAction(keyHolder);
    if (refused)
        QObject::connect(keyHolder, &QAction::triggered, &window, refused);
    QObject::connect(action, &QAction::enabledChanged, keyHolder,
                     [keyHolder](bool enabled) { keyHolder->setEnabled(!enabled); });
    return action;
}

// A tool panel button runs its action on press, and is enabled as its action is.
void runsOnPress(QToolButton *button, QAction *action)
{
    QObject::connect(button, &QToolButton::pressed, action, &QAction::trigger);
    QObject::connect(action, &QAction::enabledChanged, button, &QWidget::setEnabled);
    button->setEnabled(action->isEnabled());
}

} // namespace

WindowActions::WindowActions(MainWindow &w) : window(w)
{
    auto key = [](const char *keys) { return QKeySequence(QString::fromLatin1(keys)); };
    auto make = [&w](const QList<QKeySequence> &keys, void (MainWindow::*slot)(),
                     const std::function<void()> &refused = {}) {
        QAction *action = windowAction(w, keys, refused);
        QObject::connect(action, &QAction::triggered, &w, slot);
        return action;
    };
    // A block command's key, pressed where the command may not run, says why in the status line.
    using BlockOperations::Command;
    auto block = [&](const char *keys, void (MainWindow::*slot)(), Command command) {
        return make({key(keys)}, slot, [&w, command] { w.explainRefusal(command); });
    };
    cut = block("Ctrl+x", &MainWindow::on_cut_Table, Command::Cut);
    copy = block("Ctrl+c", &MainWindow::on_copy_Table, Command::Copy);
    paste = block("Ctrl+v", &MainWindow::on_paste_Table, Command::Paste);
    remove = block("Ctrl+d", &MainWindow::on_delete_Table, Command::Delete);
    sortByName = windowAction(w, {});
    sortByAuthor = windowAction(w, {});
    sortByCategory = windowAction(w, {});
    const std::pair<QAction *, PresetSort::Key> sorts[] = {{sortByName, PresetSort::Key::Name},
                                                           {sortByAuthor, PresetSort::Key::Author},
                                                           {sortByCategory, PresetSort::Key::Category}};
    for (const auto &[action, sortKey] : sorts)
        QObject::connect(action, &QAction::triggered, &w,
                         [&w, sortKey = sortKey] { w.sortSelection(sortKey); });
    selectDuplicates = make({}, &MainWindow::selectDuplicates);

    // The platform's usual redo keys beside Ctrl+Y, each once: a key bound twice would fire
    // neither binding.
    QList<QKeySequence> redoKeys{key("Ctrl+y"), key("Ctrl+Shift+Z")};
    for (const QKeySequence &keys : QKeySequence::keyBindings(QKeySequence::Redo))
        if (!redoKeys.contains(keys))
            redoKeys << keys;
    auto say = [&w](const char *text) {
        return [&w, text] { w.statusBar()->showMessage(MainWindow::tr(text)); };
    };
    undo =
        make({key("Ctrl+z")}, &MainWindow::on_undo, say(QT_TRANSLATE_NOOP("MainWindow", "Nothing to undo")));
    redo = make(redoKeys, &MainWindow::on_redo, say(QT_TRANSLATE_NOOP("MainWindow", "Nothing to redo")));
    importBanks = make({}, &MainWindow::on_Import);
    exportBanks = make({}, &MainWindow::on_Export);
    load = make({key("Ctrl+O")}, &MainWindow::on_Load);
    // Ctrl+S saves the document again where the title says; the Save button and Ctrl+Shift+S
    // ask which banks and which file.
    save = make({key("Ctrl+S")}, &MainWindow::resave,
                say(QT_TRANSLATE_NOOP("MainWindow", "Please import or load all banks first")));
    saveAs = make({key("Ctrl+Shift+S")}, &MainWindow::on_Save,
                  say(QT_TRANSLATE_NOOP("MainWindow", "Please import or load all banks first")));
    print = windowAction(w, {key("Ctrl+P")});
    print->setText(MainWindow::tr("Print…"));
    QObject::connect(print, &QAction::triggered, &w, [&w] { printBankSheet(w); });
    // The list under the Load button.
    recentFiles = windowAction(w, {key("Ctrl+Shift+O")});
    QObject::connect(recentFiles, &QAction::triggered, &w, [&w] {
        if (auto *recent = static_cast<RecentFilesMenu *>(w.recentMenu))
            recent->button->showMenu();
    });
    // Into the library's search field, or out of the library when already there.
    library = make({QKeySequence(Qt::CTRL | Qt::Key_L)}, &MainWindow::focusLibrary);
    // Through the close event, so unsaved changes are asked about first.
    quit = make({key("Ctrl+Q")}, &MainWindow::quit);

    // Delete also, but only while the table has the focus: elsewhere the key edits text.
    auto *deleteKey = new QAction(w.table);
    deleteKey->setShortcut(QKeySequence::Delete);
    deleteKey->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(deleteKey, &QAction::triggered, remove, &QAction::trigger);
    w.table->addAction(deleteKey);

    runsOnPress(w.importButton, importBanks);
    runsOnPress(w.exportButton, exportBanks);
    runsOnPress(w.loadButton, load);
    runsOnPress(w.saveButton, saveAs);
    runsOnPress(w.undoButton, undo);
    runsOnPress(w.redoButton, redo);
}

void WindowActions::update()
{
    update(window.currentSelection());
}

void WindowActions::update(const SelectionMask &selection)
{
    const bool loaded = window.banksLoaded;
    using BlockOperations::Command;
    const std::pair<QAction *, Command> blocks[] = {
        {cut, Command::Cut}, {copy, Command::Copy}, {paste, Command::Paste}, {remove, Command::Delete}};
    for (const auto &[action, command] : blocks)
        action->setEnabled(BlockOperations::allowed(command, selection, window.clipboardFilled));
    const bool sortable = PresetSort::canSort(selection);
    for (QAction *sort : {sortByName, sortByAuthor, sortByCategory})
        sort->setEnabled(sortable);
    undo->setEnabled(window.history.canUndo());
    redo->setEnabled(window.history.canRedo());
    exportBanks->setEnabled(loaded);
    save->setEnabled(loaded);
    print->setEnabled(loaded);
    saveAs->setEnabled(loaded);
}

void WindowActions::setTexts()
{
    // Each with its own Alt key in the open menu.
    cut->setText(MainWindow::tr("Cu&t"));
    copy->setText(MainWindow::tr("&Copy"));
    paste->setText(MainWindow::tr("&Paste"));
    remove->setText(MainWindow::tr("&Delete"));
    sortByName->setText(MainWindow::tr("Sort by &name"));
    sortByAuthor->setText(MainWindow::tr("Sort by &author"));
    sortByCategory->setText(MainWindow::tr("Sort by cat&egory"));
    selectDuplicates->setText(MainWindow::tr("Select d&uplicates"));
}

void WindowActions::fillContextMenu(QMenu &menu)
{
    setTexts();
    update();
    menu.addActions({cut, copy, paste});
    menu.addSeparator();
    menu.addAction(remove);
    menu.addSeparator();
    menu.addActions({sortByName, sortByAuthor, sortByCategory, selectDuplicates});
}
