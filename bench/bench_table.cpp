#include "bench/benchmark.h"

#include "app/mainwindow.h"
#include "bench/startupchild.h"
#include "views/bigtable.h"

#include <QApplication>
#include <QTableWidget>

#include <algorithm>
#include <vector>

#include <memory>

namespace {

void markAll(BankStore &store)
{
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            store.at(b, p).mark = true;
}

// One group that changes every user preset, as a paste over all user banks would.
void recordUserBanks(MainWindow &w)
{
    w.history.startNewGroup = true;
    for (int b = 1; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            w.recordUndo(b, p);
            PresetRecord &r = w.bankStore.at(b, p);
            r.name = QStringLiteral("Pasted %1").arg(p);
            r.category = (r.category + 1) % 14;
            r.mark = true;
        }
    w.updateTable(true);
}

} // namespace

ORVEX_BENCH(table)
{
    auto store = std::make_shared<BankStore>();
    auto window = std::make_shared<MainWindow>();
    window->banksLoaded = true;
    window->updateDetailView();
    window->resize(1280, 800);
    window->show();
    QApplication::processEvents();
    window->table->selectAll(); // a rebuild also has to keep a selection in step
    if (window->currentSelection().count() != PresetCount)
        qFatal("bench: select all did not select the table");

    return {
        BenchCase{"fillEmptyBanks", [store] { store->fillEmptyBanks(); }},
        // The cell-changed slot is connected and the banks count as loaded, as after a load.
        BenchCase{"updateTable, 2048 cells (goal <= 20 ms)",
                  [window] {
                      window->updateTable(true);
                      window->table->viewport()->repaint();
                  },
                  [window] { markAll(window->bankStore); }},
        BenchCase{"select all + updateDetailView (goal <= 5 ms)", [window] { window->updateDetailView(); },
                  [window] { window->table->selectAll(); }},
        BenchCase{"undo of a 1,920-entry group + refresh (goal <= 50 ms)",
                  [window] {
                      window->on_undo();
                      window->table->viewport()->repaint();
                  },
                  [window] { recordUserBanks(*window); }},
        BenchCase{"redo of a 1,920-entry group + refresh (goal <= 50 ms)",
                  [window] {
                      window->on_redo();
                      window->table->viewport()->repaint();
                  },
                  [window] {
                      recordUserBanks(*window);
                      window->on_undo();
                  }},
        // Start-up to a shown, filled window, against a bare table of the same size: whole
        // programs first (what a user waits for), then the same within one process.
        BenchCase{"startup, process: bare 128x16 QTableWidget", [] { timeStartupChild("bare"); }, nullptr,
                  QString(), 7},
        BenchCase{"startup, process: orvex-presetmanager (goal <= 1.5x)", [] { timeStartupChild("main"); },
                  nullptr, "startup, process: bare 128x16 QTableWidget", 7},
        // The same two, run by turns: on a shared machine the load changes from minute to minute,
        // and taking them in turn lets both meet the same load.
        BenchCase{
            "startup, process, by turns: orvex-presetmanager (goal <= 1.5x)", nullptr, nullptr, QString(), 0,
            [] {
                std::vector<double> bare, main, bareCpu, mainCpu;
                for (int i = 0; i < 11; ++i) {
                    double cpu = 0;
                    bare.push_back(timeStartupChild("bare", &cpu));
                    bareCpu.push_back(cpu);
                    main.push_back(timeStartupChild("main", &cpu));
                    mainCpu.push_back(cpu);
                }
                auto median = [](std::vector<double> &v) {
                    std::sort(v.begin(), v.end());
                    return v[v.size() / 2];
                };
                auto ratioTo = [](double a, double b, const QString &baseline) {
                    return QStringLiteral("%1x %2").arg(a / b, 0, 'f', 2).arg(baseline);
                };
                const QString bareWall =
                    QStringLiteral("startup, process, by turns: bare 128x16 QTableWidget");
                const QString bareCpuName =
                    QStringLiteral("startup, process, processor time: bare 128x16 QTableWidget");
                const double bareMs = median(bare), mainMs = median(main);
                const double bareCpuMs = median(bareCpu), mainCpuMs = median(mainCpu);
                benchPrint(bareWall, bareMs);
                benchPrint(QStringLiteral("startup, process, by turns: orvex-presetmanager (goal <= 1.5x)"),
                           mainMs, ratioTo(mainMs, bareMs, bareWall));
                benchPrint(bareCpuName, bareCpuMs);
                benchPrint(QStringLiteral("startup, process, processor time: orvex-presetmanager"), mainCpuMs,
                           ratioTo(mainCpuMs, bareCpuMs, bareCpuName));
            }},
        BenchCase{"startup baseline: bare 128x16 QTableWidget",
                  [] {
                      QTableWidget t(128, 16);
                      for (int c = 0; c < 16; ++c)
                          for (int r = 0; r < 128; ++r)
                              t.setItem(r, c,
                                        new QTableWidgetItem(QStringLiteral("\n\n%1\n%2").arg(r).arg(c)));
                      t.showMaximized();
                      QApplication::processEvents();
                  },
                  nullptr, QString(), 7},
        BenchCase{"startup: MainWindow shown (goal <= 1.5x)",
                  [] {
                      MainWindow w;
                      w.showMaximized();
                      QApplication::processEvents();
                  },
                  nullptr, "startup baseline: bare 128x16 QTableWidget", 7},
    };
}
