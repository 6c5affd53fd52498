#include "app/comparecontroller.h"

#include "app/mainwindow.h"
#include "files/filecontents.h"
#include "views/comparebar.h"
#include "views/comparepanel.h"
#include "views/presetcelldelegate.h"
#include "views/presetgrid.h"

#include <QFileInfo>
#include <QTimer>

CompareController::CompareController(MainWindow &window, PresetCellDelegate *delegate, CompareBar *bar,
                                     ComparePanel *panel)
    : QObject(&window), window(window), delegate(delegate), bar(bar), panel(panel)
{
    bar->hide();
    panel->hide();
    connect(bar, &CompareBar::nextRequested, this, &CompareController::next);
    connect(bar, &CompareBar::previousRequested, this, &CompareController::previous);
    connect(bar, &CompareBar::endRequested, this, &CompareController::end);
    connect(panel, &ComparePanel::takeTheirsRequested, this, &CompareController::takeTheirs);
    // Every change of a preset reaches its cell; compare again once the change is done.
    connect(window.table, &QTableWidget::cellChanged, this, &CompareController::scheduleRefresh);
    connect(window.table, &QTableWidget::currentCellChanged, this, &CompareController::showCurrent);
}

CompareController::~CompareController()
{
    if (delegate)
        delegate->setDifferences(nullptr);
}

void CompareController::compareWith(const BankStore &other, const SelectionMask &where, const QString &name,
                                    bool asModuleKeeps, const SelectionMask &unusable)
{
    theirs = other;
    present = where;
    damaged = unusable;
    otherName = name;
    moduleTexts = asModuleKeeps;
    comparing = true;
    panel->setOtherName(name);
    delegate->setDifferences(&result.mask());
    bar->show();
    panel->show();
    refresh();
}

bool CompareController::compareWithFile(const QString &fileName, QString &errorText)
{
    const FileContents file = readFileContents(fileName);
    const QString name = QFileInfo(fileName).fileName();
    if (!file.readable()) {
        errorText = file.errorText;
        return false;
    }
    if (file.banks == 0) {
        errorText = tr("%1 holds no bank.").arg(name);
        return false;
    }
    // A single bank is compared with the user bank of the current cell.
    int first = file.firstModuleBank;
    if (!file.isSyx() && file.banks == 1 && window.table->currentColumn() >= 1)
        first = window.table->currentColumn();
    SelectionMask unusable = file.positions(FileContents::State::Damaged, first);
    const SelectionMask lacking = file.positions(FileContents::State::Missing, first);
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            if (lacking.isSelected(b, p))
                unusable.set(b, p);
    // A backup, a SysEx file and any file of banks 2..16 hold what the module kept.
    const bool moduleTexts = file.isSyx() || file.isBackup() || file.banks == BankCount - 1;
    compareWith(file.placed(first), file.positions(FileContents::State::Present, first), name, moduleTexts,
                unusable);
    return true;
}

void CompareController::end()
{
    comparing = false;
    result = PresetComparison();
    delegate->setDifferences(nullptr);
    bar->hide();
    panel->hide();
    window.table->viewport()->update();
}

void CompareController::refresh()
{
    refreshPending = false;
    if (!comparing)
        return;
    result = PresetComparison::compare(window.bankStore, theirs, &present, moduleTexts);
    window.table->viewport()->update();
    showCurrent();
}

void CompareController::scheduleRefresh()
{
    // A full refresh changes 2,048 cells: compare once, after the last of them.
    if (!comparing || refreshPending)
        return;
    refreshPending = true;
    QTimer::singleShot(0, this, [this] {
        if (refreshPending)
            refresh();
    });
}

void CompareController::next()
{
    step(true);
}

void CompareController::previous()
{
    step(false);
}

void CompareController::step(bool forward)
{
    if (!comparing)
        return;
    if (refreshPending)
        refresh();
    int bank = window.table->currentColumn();
    int preset = window.table->currentRow();
    if (bank < 0 || preset < 0)
        bank = -1;
    // At either end it stops and says so; wrapping round would look like more differences.
    if (!result.step(bank, preset, forward, false)) {
        bar->showEndReached(forward);
        return;
    }
    window.table->setCurrentCell(preset, bank, QItemSelectionModel::ClearAndSelect);
    if (QTableWidgetItem *item = window.table->item(preset, bank))
        window.table->scrollToItem(item, QAbstractItemView::EnsureVisible);
    showCurrent();
}

void CompareController::showCurrent()
{
    if (!comparing)
        return;
    const int bank = window.table->currentColumn();
    const int preset = window.table->currentRow();
    bar->clearNote();
    bar->showCount(result.count(), otherName, result.mask().ordinal(bank, preset));
    if (!BankStore::validIndex(bank, preset)) {
        panel->showNothing();
        return;
    }
    const bool there = present.isSelected(bank, preset);
    const uint8_t fields = result.fields(bank, preset);
    // A damaged preset of the other side is shown as such and never offered.
    panel->showPreset(
        bank, preset, window.bankStore.at(bank, preset), there ? &theirs.at(bank, preset) : nullptr, fields,
        window.banksLoaded && there && fields != 0 && bank > 0, damaged.isSelected(bank, preset));
}

void CompareController::takeTheirs()
{
    const int bank = window.table->currentColumn();
    const int preset = window.table->currentRow();
    if (!comparing || !BankStore::validIndex(bank, preset) || !present.isSelected(bank, preset) ||
        !result.differs(bank, preset))
        return;
    // Placed like a library preset: one undo step, never the factory bank.
    if (window.placeLibraryPresets({theirs.at(bank, preset)}, bank, preset))
        refresh();
}
