#include "app/comparecontroller.h"

#include "app/mainwindow.h"
#include "device/backupcatalog.h"
#include "files/presetfile.h"
#include "files/syxfile.h"
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
                                    bool asModuleKeeps)
{
    theirs = other;
    present = where;
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
    BankStore other;
    other.fillEmptyBanks();
    SelectionMask where;
    const QString name = QFileInfo(fileName).fileName();
    if (isSyxFile(fileName)) {
        const SyxContents contents = readSyxFile(fileName);
        if (!contents.usable()) {
            errorText = contents.errorText;
            return false;
        }
        // Where a load would put them by default: named positions, a dump from bank 2 on.
        const SyxPlacement placement = placeSyxPresets(contents, SyxTargets{});
        for (int b = 0; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p)
                if (placement.sourceAt(b, p) >= 0) {
                    other.at(b, p) = contents.presets[size_t(placement.sourceAt(b, p))].record;
                    where.set(b, p);
                }
        compareWith(other, where, name, true);
        return true;
    }
    if (BackupCatalog::isBackupName(fileName)) {
        // Only what the backup holds: one of a chosen few has placeholders elsewhere.
        if (!BackupCatalog::load(fileName, other, where, errorText))
            return false;
        compareWith(other, where, name, true);
        return true;
    }
    const int banks = countPresetFileBanks(fileName, errorText);
    if (banks < 0)
        return false;
    if (banks == 0) {
        errorText = tr("%1 holds no bank.").arg(name);
        return false;
    }
    // A backup holds banks 2..16; so does any file of fewer banks, from bank 2 on, but a
    // single bank is compared with the user bank of the current cell.
    const bool backup = banks == BankCount - 1;
    int first = presetFileHomeBank(banks);
    if (banks == 1 && window.table->currentColumn() >= 1)
        first = window.table->currentColumn();
    const int last = presetFileLastBank(first, banks);
    if (!loadPresetFile(other, fileName, first, last, errorText))
        return false;
    for (int b = first; b <= last; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            where.set(b, p);
    compareWith(other, where, name, backup);
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
    panel->showPreset(bank, preset, window.bankStore.at(bank, preset),
                      there ? &theirs.at(bank, preset) : nullptr, fields,
                      window.banksLoaded && there && fields != 0 && bank > 0);
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
