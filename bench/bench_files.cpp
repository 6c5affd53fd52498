#include "bench/benchmark.h"

#include "files/filecontents.h"
#include "files/presetfile.h"

#include <QDomDocument>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace {

struct FilesBench
{
    QTemporaryDir dir;
    BankStore store;
    BankStore target;
    QString file;
    QString saveTarget;
};

const char *const Baseline = "files baseline: QDomDocument::setContent";

} // namespace

ORVEX_BENCH(files)
{
    auto f = std::make_shared<FilesBench>();
    fillBenchStore(f->store);
    f->file = f->dir.filePath(QStringLiteral("all.pre"));
    f->saveTarget = f->dir.filePath(QStringLiteral("saved.pre"));
    QString errorText;
    savePresetFile(f->store, f->file, 0, 15, errorText);

    return {
        BenchCase{Baseline, [f] { parseWithBareDom(f->file); }},
        BenchCase{"savePresetFile, 2048 presets (goal <= 2x)",
                  [f] {
                      QString e;
                      savePresetFile(f->store, f->saveTarget, 0, 15, e);
                  },
                  nullptr, Baseline},
        BenchCase{"countPresetFileBanks, 2048 presets (goal <= 2x)",
                  [f] {
                      QString e;
                      countPresetFileBanks(f->file, e);
                  },
                  nullptr, Baseline},
        BenchCase{"loadCompletePresetFile, 2048 presets (goal <= 2x)",
                  [f] {
                      QString e;
                      loadCompletePresetFile(f->target, f->file, 0, 15, e);
                  },
                  nullptr, Baseline},
        BenchCase{"readFileContents, 2048 presets (goal <= 2x)", [f] { readFileContents(f->file); }, nullptr,
                  Baseline},
        BenchCase{"loadPresetFile, 2048 presets (goal <= 2x)",
                  [f] {
                      QString e;
                      loadPresetFile(f->target, f->file, 0, 15, e);
                  },
                  nullptr, Baseline},
    };
}
