#include "bench/benchmark.h"

#include "files/recoverycopy.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <memory>

namespace {

struct RecoveryBench
{
    QTemporaryDir dir;
    BankStore store;
    std::unique_ptr<RecoveryCopy> copy;
    quint64 change = 0;
};

} // namespace

// What keeping the recovery copy costs the window for one change: noting the change and,
// when its wait ends, copying the banks and handing them to the writer's thread. Every
// change here ends its wait at once (the worst case: in use, a burst of changes ends one
// wait). The write itself runs on the writer's thread and is finished, untimed, before
// each run, so the figure is the window's share alone; its own line shows what it takes.
ORVEX_BENCH(recovery)
{
    auto r = std::make_shared<RecoveryBench>();
    fillBenchStore(r->store);
    r->copy = std::make_unique<RecoveryCopy>(r->dir.filePath(QStringLiteral("recovery")));
    const QString file = QStringLiteral("/music/test.pre");
    return {
        BenchCase{"recovery copy: window's cost per change (goal <= 2 ms)",
                  [r, file] {
                      r->store.at(3, 4).name = QStringLiteral("Changed %1").arg(++r->change);
                      r->copy->documentChanged(r->store, true, r->change, file);
                      r->copy->writeNow();
                  },
                  [r] { r->copy->flush(); }, QString(), 41},
        BenchCase{"recovery copy: the write, on its own thread",
                  [r, file] {
                      r->copy->documentChanged(r->store, true, ++r->change, file);
                      r->copy->writeNow();
                      r->copy->flush();
                  },
                  nullptr, QString(), 9},
    };
}
