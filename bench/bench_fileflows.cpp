#include "bench/benchmark.h"

#include "app/mainwindow.h"
#include "files/presetfile.h"
#include "views/presetgrid.h"

#include <QApplication>
#include <QDomDocument>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace {

struct FlowBench
{
    QTemporaryDir dir;
    QString full;
    std::unique_ptr<MainWindow> window;
};

} // namespace

// The load flow as the Load button runs it, file dialog answered at once: pre-scan,
// read, and the table rebuilt. The baseline is a bare DOM parse of the same file.
ORVEX_BENCH(fileflows)
{
    auto f = std::make_shared<FlowBench>();
    BankStore store;
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            PresetRecord &r = store.at(b, p);
            r.name = QStringLiteral("Preset %1").arg(b * PresetsPerBank + p);
            r.author = QStringLiteral("Author %1").arg(p % 9);
            r.category = (b + p) % 14;
            r.params.fill(uint8_t(b + p));
        }
    f->full = f->dir.filePath(QStringLiteral("all.pre"));
    QString errorText;
    if (!savePresetFile(store, f->full, 0, 15, errorText))
        qFatal("bench: can't write the preset file");

    f->window = std::make_unique<MainWindow>();
    MainWindow &w = *f->window;
    w.resize(1280, 800);
    w.show();
    QApplication::processEvents();
    auto *bench = f.get();
    w.fileDialogs.openFileName = [bench](QWidget *, const QString &, const QString &, const QString &) {
        return bench->full;
    };

    const QString baseline = QStringLiteral("load flow baseline: QDomDocument::setContent");
    return {
        BenchCase{baseline, [f] { parseWithBareDom(f->full); }},
        BenchCase{"load flow, all banks: check, read, 2048 cells",
                  [f] {
                      f->window->on_Load();
                      f->window->table->viewport()->repaint();
                  },
                  nullptr, baseline},
    };
}
