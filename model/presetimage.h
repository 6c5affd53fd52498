#pragma once

#include "model/presetrecord.h"

#include <array>
#include <cstdint>

// The module's 256-byte form of one preset.
using PresetImage = std::array<uint8_t, 256>;

namespace PresetImageLayout {
constexpr int ParamsOffset = 0;
constexpr int ParamCount = 128;
constexpr int CategoryOffset = 128;
constexpr int NameOffset = 129;
constexpr int AuthorOffset = 161;
constexpr int TextLength = 32;
} // namespace PresetImageLayout

constexpr int BankCount = 16;
// Bank 1 (index 0) is the module's read-only factory bank; the user banks 2..16 follow it.
constexpr int FirstUserBank = 1;
constexpr int PresetsPerBank = 128;
constexpr int PresetCount = BankCount * PresetsPerBank;
// 16 x 128 images, bank-major.
constexpr int BankDumpSize = PresetCount * 256;

void imageToRecord(const uint8_t *image, PresetRecord &record);
// True when a name or author comes back from a PresetImage unchanged: at most 32
// printable ASCII characters.
bool keptInImage(const QString &text);
void recordToImage(const PresetRecord &record, uint8_t *image);
// The image that gives the module `record` where it now holds `held`: `held` itself where
// the record equals it as imageToRecord reads it, else `held` with only the fields that
// differ (each parameter, the category, the name, the author) written as recordToImage
// writes them. What the record cannot tell (bit 7 of parameters, the reserved bytes,
// text bytes above 0x7F of a text left alone) stays as the module holds it. Returns
// whether the result differs from `held`.
// With `sameAfter`, a text of the module that reads as the record's once passed through it
// (what a file the record came through can hold) counts as unchanged too.
bool recordOverImage(const PresetRecord &record, const uint8_t *held, uint8_t *image,
                     QString (*sameAfter)(const QString &) = nullptr);
