#include "bench/benchmark.h"

#include "app/mainwindow.h"
#include "views/bigtable.h"

#include <QApplication>
#include <QTableWidget>

#include <memory>

namespace {

void markAll(BankStore &store)
{
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            store.at(b, p).mark = true;
}

} // namespace

ORVEX_BENCH(table)
{
    auto store = std::make_shared<BankStore>();
    auto window = std::make_shared<MainWindow>();
    window->banksLoaded = true;
    window->table->selectAll(); // a rebuild also has to keep a selection in step

    return {
        BenchCase{"fillEmptyBanks", [store] { store->fillEmptyBanks(); }},
        BenchCase{"updateTable, 2048 cells (goal <= 20 ms)", [window] { window->updateTable(true); },
                  [window] { markAll(window->bankStore); }},
        // Start-up to a shown, filled window, against a bare table of the same size.
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
