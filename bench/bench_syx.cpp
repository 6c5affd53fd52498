#include "bench/benchmark.h"

#include "files/syxfile.h"
#include "model/selectionmask.h"

#include <QTemporaryDir>

#include <memory>

namespace {

struct SyxBench
{
    QTemporaryDir dir;
    BankStore store;
    SelectionMask userBanks;
    QByteArray bytes;
};

} // namespace

// The library indexes .syx files beside preset files, so reading one must stay cheap.
ORVEX_BENCH(syx)
{
    auto f = std::make_shared<SyxBench>();
    fillBenchStore(f->store);
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            f->userBanks.set(b, p);
    f->bytes = syxFileBytes(f->store, f->userBanks);

    return {
        BenchCase{"syx read, 1920 PresetWrites", [f] { readSyxBytes(f->bytes); }},
        BenchCase{"syx save, banks 2-16",
                  [f] {
                      QString e;
                      saveSyxFile(f->store, f->userBanks, f->dir.filePath(QStringLiteral("all.syx")), e);
                  }},
    };
}
