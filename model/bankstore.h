#pragma once

#include "model/presetimage.h"
#include "model/presetrecord.h"

#include <vector>

class SelectionMask;

// 16 banks x 128 presets, indexed [bank][preset]. Allocated once, never resized.
class BankStore
{
public:
    BankStore() : records(PresetCount) {}

    PresetRecord *operator[](int bank) { return records.data() + bank * PresetsPerBank; }
    const PresetRecord *operator[](int bank) const { return records.data() + bank * PresetsPerBank; }
    PresetRecord &at(int bank, int preset) { return records[bank * PresetsPerBank + preset]; }
    const PresetRecord &at(int bank, int preset) const { return records[bank * PresetsPerBank + preset]; }

    static bool validIndex(int bank, int preset)
    {
        return bank >= 0 && bank < BankCount && preset >= 0 && preset < PresetsPerBank;
    }

    void imageToRecord(int bank, int preset, const uint8_t *image);
    void recordToImage(int bank, int preset, uint8_t *image) const;
    // Every record becomes the empty start-up preset, marked.
    void fillEmptyBanks();

    // Whole-store conversions to and from a 524,288-byte bank dump.
    void toDump(uint8_t *dump) const;
    void fromDump(const uint8_t *dump);

    // Copies content of every record and sets each mark from selection[bank][preset].
    void snapshotFrom(const BankStore &live, const SelectionMask &selection);

    void clearMarks();

private:
    std::vector<PresetRecord> records;
};
