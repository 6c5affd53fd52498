#include "editing/presetsearch.h"

#include "model/bankstore.h"
#include "model/categorytable.h"
#include "model/textfold.h"

#include <array>

namespace PresetSearch {

const QString &FoldCache::folded(int slot, const QString &text)
{
    if (entries.size() <= size_t(slot))
        entries.resize(slot + 1);
    Entry &e = entries[slot];
    // Comparing is far cheaper than folding, and after the first search nearly every text is unchanged.
    if (!e.filled || e.source != text) {
        e.source = text;
        e.folded = foldedForSearch(text);
        e.filled = true;
    }
    return e.folded;
}

SelectionMask find(const BankStore &store, const QString &text, FoldCache *cache)
{
    SelectionMask found;
    const QString needle = foldedForSearch(text);
    if (needle.isEmpty())
        return found;
    std::array<bool, CategoryCount> categoryFound{};
    for (int c = 0; c < CategoryCount; ++c)
        categoryFound[c] = foldedForSearch(QString::fromLatin1(categoryTable[c].name)).contains(needle);
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            const PresetRecord &r = store.at(b, p);
            const int category = (r.category >= 0 && r.category < CategoryCount) ? r.category : 0;
            if (categoryFound[category])
                found.set(b, p);
            else if (cache)
                found.set(b, p,
                          cache->folded(2 * (b * PresetsPerBank + p), r.name).contains(needle) ||
                              cache->folded(2 * (b * PresetsPerBank + p) + 1, r.author).contains(needle));
            else if (foldedForSearch(r.name).contains(needle) || foldedForSearch(r.author).contains(needle))
                found.set(b, p);
        }
    return found;
}

bool step(const SelectionMask &found, int &bank, int &preset, bool forward)
{
    return found.step(bank, preset, forward);
}

} // namespace PresetSearch
