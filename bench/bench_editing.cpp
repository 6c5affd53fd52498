#include "bench/benchmark.h"

#include "app/mainwindow.h"
#include "views/detailview.h"
#include "views/presetgrid.h"

#include <QRandomGenerator>

#include <memory>

namespace {

// A loaded window with distinct presets in every cell.
std::shared_ptr<MainWindow> loadedWindow()
{
    auto w = std::make_shared<MainWindow>();
    QRandomGenerator rng(3);
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            PresetRecord &r = w->bankStore.at(b, p);
            r.name = QStringLiteral("Preset %1-%2").arg(b + 1).arg(p + 1);
            r.author = QStringLiteral("Author %1").arg(p % 9);
            r.category = (b + p) % 14;
            for (auto &v : r.params)
                v = static_cast<uint8_t>(rng.bounded(128));
            r.mark = true;
        }
    w->banksLoaded = true;
    w->updateTable(true);
    return w;
}

void selectRange(MainWindow &w, int top, int left, int bottom, int right)
{
    w.table->clearSelection();
    w.table->setRangeSelected(QTableWidgetSelectionRange(top, left, bottom, right), true);
}

} // namespace

ORVEX_BENCH(editing)
{
    auto pasting = loadedWindow();
    auto deleting = loadedWindow();
    auto assigning = loadedWindow();

    return {
        // Banks 1..15 copied one bank to the right: 1,920 cells written.
        BenchCase{"paste 1920 cells + refresh (goal <= 50 ms)", [pasting] { pasting->on_paste_Table(); },
                  [pasting] {
                      selectRange(*pasting, 0, 0, 127, 14);
                      pasting->on_copy_Table();
                      selectRange(*pasting, 0, 1, 0, 1);
                  }},
        BenchCase{"delete 1920 cells + refresh (goal <= 50 ms)", [deleting] { deleting->on_delete_Table(); },
                  [deleting] { selectRange(*deleting, 0, 1, 127, 15); }},
        // A click on another category row: both list signals run the assignment.
        BenchCase{"category to 1920 cells + refresh (goal <= 50 ms)",
                  [assigning] {
                      QListWidget *list = assigning->detailView->categoryList;
                      list->setCurrentRow(list->currentRow() == 4 ? 9 : 4);
                  },
                  [assigning] { selectRange(*assigning, 0, 1, 127, 15); }},
    };
}
