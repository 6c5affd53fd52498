#pragma once

#include "model/presetimage.h"

#include <vector>

// All 16 x 128 images of one transfer, bank-major: a 524,288-byte bank dump.
class TransferBanks
{
public:
    TransferBanks() : images(PresetCount) {}

    PresetImage &at(int bank, int preset) { return images[bank * PresetsPerBank + preset]; }
    const PresetImage &at(int bank, int preset) const { return images[bank * PresetsPerBank + preset]; }
    uint8_t *data() { return images.front().data(); }
    const uint8_t *data() const { return images.front().data(); }
    bool operator==(const TransferBanks &o) const { return images == o.images; }

private:
    std::vector<PresetImage> images;
};
static_assert(sizeof(PresetImage) == 256, "images must lie back to back in a bank dump");
