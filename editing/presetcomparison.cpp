#include "editing/presetcomparison.h"

#include "model/bankstore.h"

namespace {

// `record` as the module would keep it: texts cut to 32 printable ASCII characters,
// parameters without bit 7.
PresetRecord keptByModule(const PresetRecord &record)
{
    PresetImage image;
    recordToImage(record, image.data());
    PresetRecord kept;
    imageToRecord(image.data(), kept);
    return kept;
}

} // namespace

uint8_t PresetComparison::fieldsOf(const PresetRecord &ours, const PresetRecord &theirs, bool asModuleKeeps)
{
    if (asModuleKeeps)
        return fieldsOf(keptByModule(ours), keptByModule(theirs), false);
    uint8_t fields = 0;
    if (ours.name != theirs.name)
        fields |= Name;
    if (ours.author != theirs.author)
        fields |= Author;
    if (ours.category != theirs.category)
        fields |= Category;
    if (ours.params != theirs.params)
        fields |= Params;
    return fields;
}

PresetComparison PresetComparison::compare(const BankStore &ours, const BankStore &theirs,
                                           const SelectionMask *present, bool asModuleKeeps)
{
    PresetComparison result;
    result.moduleTexts = asModuleKeeps;
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            if (!present || present->isSelected(b, p))
                result.update(b, p, ours.at(b, p), theirs.at(b, p));
    return result;
}

void PresetComparison::update(int bank, int preset, const PresetRecord &ours, const PresetRecord &theirs)
{
    const uint8_t f = fieldsOf(ours, theirs, moduleTexts);
    differences[bank * PresetsPerBank + preset] = f;
    differing.set(bank, preset, f != 0);
}

int PresetComparison::soundCount() const
{
    int n = 0;
    for (uint8_t f : differences)
        n += (f & Params) != 0;
    return n;
}

bool PresetComparison::step(int &bank, int &preset, bool forward, bool wrap) const
{
    return differing.step(bank, preset, forward, wrap);
}
