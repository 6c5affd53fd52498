// MainWindow's comparison with a file, a backup or the module, and the backups list:
// created and connected here; CompareController and BackupsDialog do the work.
#include "app/mainwindow.h"

#include "app/comparecontroller.h"
#include "device/backuptexts.h"
#include "dialogs/backupsdialog.h"
#include "editing/fileflows.h"
#include "views/comparebar.h"
#include "views/comparepanel.h"
#include "views/presetcelldelegate.h"
#include "views/presetgrid.h"
#include "views/searchbar.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

void MainWindow::setUpCompare(QVBoxLayout *tablePaneLayout)
{
    compareButton = new QToolButton;
    compareButton->setObjectName(QStringLiteral("compareButton"));
    compareButton->setText(tr("Compare"));
    compareButton->setAccessibleName(tr("Compare"));
    compareButton->setToolTip(tr("Mark the presets that differ from a file, a backup or the module"));
    compareButton->setPopupMode(QToolButton::InstantPopup);
    auto *menu = new QMenu(compareButton);
    menu->addAction(tr("With a file…"), this, &MainWindow::compareWithFile);
    menu->addAction(tr("With a backup…"), this, &MainWindow::showBackups);
    menu->addAction(tr("With the module…"), this, &MainWindow::compareWithModule);
    compareButton->setMenu(menu);
    backupsButton = new QToolButton;
    backupsButton->setObjectName(QStringLiteral("backupsButton"));
    backupsButton->setText(tr("Backups"));
    backupsButton->setAccessibleName(tr("Backups"));
    backupsButton->setToolTip(tr("The backups each export saves: compare with one or restore it"));
    connect(backupsButton, &QToolButton::clicked, this, &MainWindow::showBackups);

    // Beside the search, above the table they act on: the tool panel has no room left
    // beside the library. Not inside the search bar, which is disabled until banks are
    // loaded, while the backups can be listed at any time.
    auto *row = new QWidget;
    delete tablePaneLayout->replaceWidget(searchBar, row);
    auto *rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 4, 0);
    rowLayout->addWidget(searchBar, 1);
    for (QToolButton *b : {compareButton, backupsButton})
        rowLayout->addWidget(b);
}

CompareController *MainWindow::compare()
{
    if (compareController)
        return compareController;
    // Below the search row, above the table.
    auto *tablePaneLayout = qobject_cast<QVBoxLayout *>(table->parentWidget()->layout());
    auto *bar = new CompareBar;
    tablePaneLayout->insertWidget(1, bar);
    auto *panel = new ComparePanel(this);
    panel->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    addDockWidget(Qt::RightDockWidgetArea, panel);
    // Narrow: the table is what is being compared.
    resizeDocks({panel}, {340}, Qt::Horizontal);
    compareController =
        new CompareController(*this, qobject_cast<PresetCellDelegate *>(table->itemDelegate()), bar, panel);
    return compareController;
}

void MainWindow::compareWithFile()
{
    if (!banksLoaded)
        return;
    const QString directory =
        FileFlows::startDirectory(settings.value(QStringLiteral("defaultpath"), QString()).toString());
    const QString fileName = fileDialogs.openFileName(this, tr("Compare with"), directory,
                                                      tr("Presets and SysEx (*.pre *.syx)") +
                                                          QStringLiteral(";;") + tr("All files (*)"));
    if (fileName.isEmpty())
        return;
    if (!compare()->compareWithFile(fileName, errorText))
        showError();
}

void MainWindow::compareWithModule()
{
    if (!banksLoaded)
        return;
    // Read only: nothing is written to the module, nothing in the document changes.
    BankStore module;
    if (!readModule(module, true))
        return;
    SelectionMask all;
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            all.set(b, p);
    compare()->compareWith(module, all, tr("the module"), true);
}

void MainWindow::showBackups()
{
    BackupsDialog dialog(BackupCatalog(), bankStore, BackupTexts::interfaceLocale(language), this);
    // Without loaded banks there is nothing to compare with; a restore needs none.
    dialog.compareButton->setEnabled(dialog.compareButton->isEnabled() && banksLoaded);
    dialog.exec();
    if (dialog.choice == BackupsDialog::Choice::Restore)
        restoreBackup(dialog.chosenPath());
    else if (dialog.choice == BackupsDialog::Choice::Compare && banksLoaded &&
             !compare()->compareWithFile(dialog.chosenPath(), errorText))
        showError();
}
