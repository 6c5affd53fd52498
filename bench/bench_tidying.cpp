#include "bench/benchmark.h"

#include "app/mainwindow.h"
#include "views/presetgrid.h"
#include "views/searchbar.h"

#include <QApplication>
#include <QLineEdit>
#include <QRandomGenerator>

#include <memory>

namespace {

// A loaded, shown window whose presets read like real ones: some names share words,
// some carry accents, a few sounds are copies of others.
std::shared_ptr<MainWindow> shownWindow()
{
    auto w = std::make_shared<MainWindow>();
    const char *const words[] = {"Warm", "Pad", "Bright", "Lead", "Vintage", "Rhythm", "Glassy", "Bass"};
    QRandomGenerator rng(5);
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            PresetRecord &r = w->bankStore.at(b, p);
            r.name = QStringLiteral("%1 %2 %3")
                         .arg(QLatin1String(words[rng.bounded(8)]), QLatin1String(words[rng.bounded(8)]))
                         .arg(p);
            if (p % 8 == 0)
                r.name += QString::fromUtf8(" Jürgen");
            r.author = QStringLiteral("Author %1").arg(p % 9);
            r.category = (b + p) % 14;
            for (auto &v : r.params)
                v = static_cast<uint8_t>(rng.bounded(128));
            r.mark = true;
        }
    for (int i = 0; i < 40; ++i)
        w->bankStore.at(1 + i % 15, i * 3).params = w->bankStore.at(0, i).params;
    w->banksLoaded = true;
    w->updateTable(true);
    w->resize(1280, 800);
    w->show();
    QApplication::processEvents();
    return w;
}

void shuffleBank(MainWindow &w, int bank)
{
    QRandomGenerator rng(11);
    for (int p = 0; p < PresetsPerBank; ++p) {
        PresetRecord &r = w.bankStore.at(bank, p);
        r.name = QStringLiteral("Preset %1").arg(rng.bounded(1000));
        r.mark = true;
    }
    w.updateTable(true);
    w.table->clearSelection();
    w.table->setRangeSelected(QTableWidgetSelectionRange(0, bank, PresetsPerBank - 1, bank), true);
}

} // namespace

ORVEX_BENCH(tidying)
{
    auto searching = shownWindow();
    auto sorting = shownWindow();
    auto duplicates = shownWindow();
    auto typed = std::make_shared<int>(0);

    return {
        // One keystroke: the field grows by a letter (or loses it), the presets are searched and the
        // cells whose frame changed are painted.
        BenchCase{"search a keystroke, 2048 presets + marks (goal <= 5 ms)",
                  [searching, typed] {
                      searching->searchBar->field()->setText(++*typed % 2 ? QStringLiteral("b")
                                                                          : QStringLiteral("br"));
                      QApplication::processEvents();
                  },
                  nullptr, QString(), 31},
        BenchCase{"search a keystroke with an accent (goal <= 5 ms)",
                  [searching, typed] {
                      searching->searchBar->field()->setText(++*typed % 2 ? QString::fromUtf8("j")
                                                                          : QString::fromUtf8("jü"));
                      QApplication::processEvents();
                  },
                  nullptr, QString(), 31},
        // Worst case: the first letter typed or taken back, nearly every visible frame comes or goes.
        BenchCase{"search, all visible frames change (goal <= 5 ms)",
                  [searching, typed] {
                      searching->searchBar->field()->setText(++*typed % 2 ? QStringLiteral("a") : QString());
                      QApplication::processEvents();
                  },
                  nullptr, QString(), 31},
        BenchCase{"sort a full bank by name + refresh (goal <= 20 ms)",
                  [sorting] {
                      sorting->sortSelection(PresetSort::Key::Name);
                      sorting->table->viewport()->repaint();
                  },
                  [sorting] { shuffleBank(*sorting, 5); }},
        BenchCase{"select duplicates, all banks (goal <= 20 ms)",
                  [duplicates] {
                      duplicates->selectDuplicates();
                      duplicates->table->viewport()->repaint();
                  },
                  [duplicates] { duplicates->table->clearSelection(); }},
    };
}
