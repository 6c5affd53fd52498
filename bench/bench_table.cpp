#include "bench/benchmark.h"

#include "app/mainwindow.h"
#include "bench/startupchild.h"
#include "views/presetgrid.h"

#include <QApplication>
#include <QTableWidget>

#include <algorithm>
#include <tuple>
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
    for (int b = FirstUserBank; b < BankCount; ++b)
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
        // Start-up of whole programs to a shown, filled window, against a bare table of the same
        // size, run by turns: on a shared machine the load changes from minute to minute, and
        // taking them in turn lets both meet the same load. The goal is the time to the shown
        // window, what a user waits for; the whole run adds the teardown after it.
        BenchCase{"startup, process, by turns: orvex-presetmanager (goal <= 1.2x)", nullptr, nullptr,
                  QString(), 0,
                  [] {
                      // One pair first, not counted: it reads the libraries into the page cache.
                      timeStartupChild("bare");
                      timeStartupChild("main");
                      std::vector<StartupTimes> bare, main;
                      for (int i = 0; i < 21; ++i) {
                          bare.push_back(timeStartupChild("bare"));
                          main.push_back(timeStartupChild("main"));
                      }
                      auto median = [](const std::vector<StartupTimes> &runs, double StartupTimes::*field) {
                          std::vector<double> v;
                          for (const StartupTimes &run : runs)
                              v.push_back(run.*field);
                          std::sort(v.begin(), v.end());
                          return v[v.size() / 2];
                      };
                      const std::tuple<QString, double StartupTimes::*> figures[] = {
                          {QStringLiteral("to the shown window"), &StartupTimes::shown},
                          {QStringLiteral("whole run"), &StartupTimes::wholeRun},
                          {QStringLiteral("processor time"), &StartupTimes::processor}};
                      for (const auto &[what, field] : figures) {
                          const QString bareName =
                              QStringLiteral("startup, %1: bare 128x16 QTableWidget").arg(what);
                          const double bareMs = median(bare, field);
                          const double mainMs = median(main, field);
                          benchPrint(bareName, bareMs);
                          benchPrint(
                              QStringLiteral("startup, %1: orvex-presetmanager%2")
                                  .arg(what, field == &StartupTimes::shown ? QStringLiteral(" (goal <= 1.2x)")
                                                                           : QString()),
                              mainMs, QStringLiteral("%1x %2").arg(mainMs / bareMs, 0, 'f', 2).arg(bareName));
                      }
                  }},
        // The windows alone, built again and again in this process: without the program's own
        // start (libraries, fonts, first use of each class), which the goal above includes.
        BenchCase{"startup, in process: bare 128x16 QTableWidget",
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
        BenchCase{"startup, in process: MainWindow shown",
                  [] {
                      MainWindow w;
                      w.showMaximized();
                      QApplication::processEvents();
                  },
                  nullptr, "startup, in process: bare 128x16 QTableWidget", 7},
    };
}
