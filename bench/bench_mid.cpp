#include "bench/benchmark.h"

#include "editing/banksheet.h"
#include "files/midifile.h"
#include "files/presetfile.h"
#include "files/sysexmessages.h"
#include "files/syxfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace {

struct MidBench
{
    QTemporaryDir dir;
    BankStore store;
    BankStore target;
    QString pre;
    QString mid;
};

const char *const Baseline = "mid baseline: loadPresetFile, the same 2048 presets from a .pre";

} // namespace

// A traded .mid and a printed sheet of all banks should each take no longer than loading
// the same presets from a preset file.
ORVEX_BENCH(mid)
{
    auto f = std::make_shared<MidBench>();
    fillBenchStore(f->store);
    f->pre = f->dir.filePath(QStringLiteral("all.pre"));
    f->mid = f->dir.filePath(QStringLiteral("all.mid"));
    QString errorText;
    savePresetFile(f->store, f->pre, 0, 15, errorText);
    // All 2048, the factory bank included, as a dump from another tool may hold them.
    std::vector<std::vector<uint8_t>> messages;
    PresetImage image{};
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            recordToImage(f->store.at(b, p), image.data());
            messages.push_back(Sysex::presetWrite(p, b, Sysex::toModule(b, image)));
        }
    QFile file(f->mid);
    if (file.open(QIODevice::WriteOnly))
        file.write(midiFileBytes(messages, QStringLiteral("bench"), MidiTiming::DefaultPauseMs));
    file.close();

    return {
        BenchCase{Baseline,
                  [f] {
                      QString e;
                      loadPresetFile(f->target, f->pre, 0, 15, e);
                  }},
        BenchCase{"read a 2,048-preset .mid (goal <= 1x)", [f] { readSyxFile(f->mid); }, nullptr, Baseline},
        BenchCase{"write a 16-bank PDF sheet (goal <= 1x)",
                  [f] {
                      BankSheetSource source;
                      source.fileName = QStringLiteral("all.pre");
                      for (int b = 0; b < BankCount; ++b)
                          source.banks.push_back(b);
                      QString e;
                      saveBankSheetPdf(f->store, source, f->dir.filePath(QStringLiteral("sheet.pdf")), e);
                  },
                  nullptr, Baseline},
    };
}
