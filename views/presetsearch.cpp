#include "views/presetsearch.h"

#include "model/bankstore.h"
#include "model/categorytable.h"
#include "model/textfold.h"

#include <array>

namespace PresetSearch {

SelectionMask find(const BankStore &store, const QString &text)
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
            if (categoryFound[category] || foldedForSearch(r.name).contains(needle) ||
                foldedForSearch(r.author).contains(needle))
                found.set(b, p);
        }
    return found;
}

bool step(const SelectionMask &found, int &bank, int &preset, bool forward)
{
    if (found.empty())
        return false;
    int at = bank < 0 ? (forward ? -1 : PresetCount) : bank * PresetsPerBank + preset;
    for (int n = 0; n < PresetCount; ++n) {
        at = forward ? (at + 1) % PresetCount : (at + PresetCount - 1) % PresetCount;
        if (found.isSelected(at / PresetsPerBank, at % PresetsPerBank)) {
            bank = at / PresetsPerBank;
            preset = at % PresetsPerBank;
            return true;
        }
    }
    return false;
}

} // namespace PresetSearch
