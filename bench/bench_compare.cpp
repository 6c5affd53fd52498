#include "bench/benchmark.h"

#include "dialogs/exportpreviewpanel.h"
#include "editing/exportpreview.h"
#include "editing/presetcomparison.h"
#include "model/bankstore.h"

#include <QApplication>
#include <QRandomGenerator>

#include <memory>
#include <vector>

namespace {

// Two documents that differ in most presets, by sound or by text, as a backup from
// months ago differs from today's banks.
struct Pair
{
    BankStore ours;
    BankStore theirs;
    std::vector<uint8_t> theirsDump = std::vector<uint8_t>(BankDumpSize);
    SelectionMask userBanks;

    Pair()
    {
        QRandomGenerator rng(3);
        for (int b = 0; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p) {
                PresetRecord &r = ours.at(b, p);
                r.name = QStringLiteral("Preset %1 of bank %2").arg(p + 1).arg(b + 1);
                r.author = QStringLiteral("Author %1").arg(p % 11);
                r.category = (b + p) % 14;
                for (auto &v : r.params)
                    v = uint8_t(rng.bounded(128));
                PresetRecord &t = theirs.at(b, p);
                t = r;
                // Texts of their own, as read from a file: equal ones are compared character by character.
                t.name = QString(r.name.constData(), r.name.size());
                t.author = QString(r.author.constData(), r.author.size());
                if (p % 2 == 0)
                    t.params[p % 128] ^= 1;
                else
                    t.name += QStringLiteral(" (old)");
                if (b > 0)
                    userBanks.set(b, p);
            }
        theirs.toDump(theirsDump.data());
    }
};

} // namespace

ORVEX_BENCH(compare)
{
    auto pair = std::make_shared<Pair>();
    auto preview = std::make_shared<ExportPreview>();
    return {
        BenchCase{"compare 2 docs of 2048 (goal <= 20 ms)",
                  [pair] {
                      const PresetComparison c = PresetComparison::compare(pair->ours, pair->theirs);
                      if (c.count() != PresetCount)
                          qFatal("comparison missed presets");
                  }},
        BenchCase{"compare 2 docs, module texts (goal <= 20 ms)",
                  [pair] { PresetComparison::compare(pair->ours, pair->theirs, nullptr, true); }},
        BenchCase{"preview 1920 changes, model (goal <= 50 ms)",
                  [pair, preview] {
                      preview->build(pair->ours, pair->theirsDump.data(), pair->userBanks);
                      if (preview->rowCount() != 1920)
                          qFatal("preview missed presets");
                  }},
        BenchCase{"preview 1920 changes, shown (goal <= 50 ms)",
                  [pair, preview] {
                      preview->build(pair->ours, pair->theirsDump.data(), pair->userBanks);
                      ExportPreviewPanel panel(preview.get());
                      panel.resize(1100, 330);
                      panel.showPreview();
                      panel.show();
                      QApplication::processEvents();
                  },
                  nullptr, QString(), 9},
        BenchCase{"preview 1920 changes, sort (goal <= 50 ms)",
                  [preview] { preview->sort(ExportPreview::NewName, Qt::DescendingOrder); },
                  [pair, preview] { preview->build(pair->ours, pair->theirsDump.data(), pair->userBanks); }},
    };
}
