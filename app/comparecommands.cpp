#include "app/comparecommands.h"

#include "app/comparecontroller.h"
#include "app/filecontroller.h"
#include "app/mainwindow.h"
#include "device/backuptexts.h"
#include "dialogs/backupsdialog.h"
#include "views/comparebar.h"
#include "views/comparepanel.h"
#include "views/presetcelldelegate.h"
#include "views/presetgrid.h"
#include "views/searchbar.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

CompareCommands::CompareCommands(MainWindow &w, QVBoxLayout *tablePaneLayout) : QObject(&w), window(w)
{
    compareButton = new QToolButton;
    compareButton->setObjectName(QStringLiteral("compareButton"));
    compareButton->setText(MainWindow::tr("Compare"));
    compareButton->setAccessibleName(MainWindow::tr("Compare"));
    compareButton->setToolTip(
        MainWindow::tr("Mark the presets that differ from a file, a backup or the module"));
    compareButton->setPopupMode(QToolButton::InstantPopup);
    auto *menu = new QMenu(compareButton);
    menu->addAction(MainWindow::tr("With a file…"), this, &CompareCommands::compareWithFile);
    menu->addAction(MainWindow::tr("With a backup…"), this, &CompareCommands::showBackups);
    menu->addAction(MainWindow::tr("With the module…"), this, &CompareCommands::compareWithModule);
    compareButton->setMenu(menu);
    // The menu's arrow is drawn over the button's corner: room for it, so it never covers the
    // last letter, in any language and at any scale.
    compareButton->setMinimumWidth(
        compareButton->sizeHint().width() +
        2 * compareButton->style()->pixelMetric(QStyle::PM_MenuButtonIndicator, nullptr, compareButton));
    backupsButton = new QToolButton;
    backupsButton->setObjectName(QStringLiteral("backupsButton"));
    backupsButton->setText(MainWindow::tr("Backups"));
    backupsButton->setAccessibleName(MainWindow::tr("Backups"));
    backupsButton->setToolTip(
        MainWindow::tr("The backups each export saves: compare with one or restore it"));
    connect(backupsButton, &QToolButton::clicked, this, &CompareCommands::showBackups);

    // Beside the search, above the table they act on: the tool panel has no room left
    // beside the library. Not inside the search bar, which is disabled until banks are
    // loaded, while the backups can be listed at any time.
    auto *row = new QWidget;
    delete tablePaneLayout->replaceWidget(w.searchBar, row);
    auto *rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 4, 0);
    rowLayout->addWidget(w.searchBar, 1);
    for (QToolButton *b : {compareButton, backupsButton})
        rowLayout->addWidget(b);
}

CompareController *CompareCommands::controller()
{
    if (comparison)
        return comparison;
    // Below the search row, above the table.
    auto *tablePaneLayout = qobject_cast<QVBoxLayout *>(window.table->parentWidget()->layout());
    auto *bar = new CompareBar;
    tablePaneLayout->insertWidget(1, bar);
    auto *panel = new ComparePanel(&window);
    panel->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    window.addDockWidget(Qt::RightDockWidgetArea, panel);
    // Narrow: the table is what is being compared.
    window.resizeDocks({panel}, {340}, Qt::Horizontal);
    comparison = new CompareController(
        window, qobject_cast<PresetCellDelegate *>(window.table->itemDelegate()), bar, panel);
    return comparison;
}

void CompareCommands::compareWithFile()
{
    if (!window.banksLoaded)
        return;
    const QString directory = FileController::startDirectory(window.settings);
    const QString fileName =
        window.fileDialogs.openFileName(&window, MainWindow::tr("Compare with"), directory,
                                        MainWindow::tr("Presets, SysEx and MIDI files (*.pre *.syx *.mid)") +
                                            QStringLiteral(";;") + MainWindow::tr("All files (*)"));
    if (fileName.isEmpty())
        return;
    if (!controller()->compareWithFile(fileName, window.errorText))
        window.showError();
}

void CompareCommands::compareWithModule()
{
    if (!window.banksLoaded)
        return;
    // Read only: nothing is written to the module, nothing in the document changes.
    BankStore module;
    if (!window.readModule(module, true))
        return;
    SelectionMask all;
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            all.set(b, p);
    controller()->compareWith(module, all, MainWindow::tr("the module"), true);
}

void CompareCommands::showBackups()
{
    BackupsDialog dialog(BackupCatalog(), window.bankStore, BackupTexts::interfaceLocale(window.language),
                         &window);
    // Without loaded banks there is nothing to compare with; a restore needs none.
    dialog.compareButton->setEnabled(dialog.compareButton->isEnabled() && window.banksLoaded);
    dialog.exec();
    if (dialog.choice == BackupsDialog::Choice::Restore)
        window.restoreBackup(dialog.chosenPath());
    else if (dialog.choice == BackupsDialog::Choice::Compare && window.banksLoaded &&
             !controller()->compareWithFile(dialog.chosenPath(), window.errorText))
        window.showError();
}
