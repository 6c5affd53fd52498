#include "editing/duplicates.h"

#include "model/bankstore.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace Duplicates {

namespace {

bool isEmptySlot(const PresetRecord &r, const PresetRecord &firstFactory)
{
    return r.category == 0 && r.author.isEmpty() && r.name == QLatin1String("empty") &&
           r.params == firstFactory.params;
}

} // namespace

Found find(const BankStore &store)
{
    // Sorting the indexes by their bytes puts equal presets next to each other.
    std::array<int, PresetCount> order;
    int n = 0;
    const PresetRecord &firstFactory = store.at(0, 0);
    for (int i = 0; i < PresetCount; ++i) {
        const PresetRecord &r = store.at(i / PresetsPerBank, i % PresetsPerBank);
        if (i == 0 || !isEmptySlot(r, firstFactory))
            order[n++] = i;
    }
    auto params = [&store](int i) { return store.at(i / PresetsPerBank, i % PresetsPerBank).params.data(); };
    auto compare = [&params](int a, int b) { return std::memcmp(params(a), params(b), 128); };
    std::sort(order.begin(), order.begin() + n, [&compare](int a, int b) { return compare(a, b) < 0; });

    Found found;
    for (int start = 0; start < n;) {
        int end = start + 1;
        while (end < n && compare(order[start], order[end]) == 0)
            ++end;
        if (end - start > 1) {
            // The sort is not stable: the group's first place is its smallest index.
            const int first = *std::min_element(order.begin() + start, order.begin() + end);
            bool anyExtra = false;
            for (int k = start; k < end; ++k) {
                const int bank = order[k] / PresetsPerBank;
                if (bank == 0 || order[k] == first)
                    continue;
                anyExtra = true;
                found.extraCopies.set(bank, order[k] % PresetsPerBank);
            }
            found.groups += anyExtra;
        }
        start = end;
    }
    return found;
}

} // namespace Duplicates
