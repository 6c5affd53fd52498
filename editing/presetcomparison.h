#pragma once

#include "model/selectionmask.h"

#include <array>
#include <cstdint>

class BankStore;
struct PresetRecord;

// How the document's presets differ from another set of 16 x 128 (a file, a backup, the
// module), preset by preset. Widget-free, so the table marks, the compare bar and the
// tests read the same answer.
class PresetComparison
{
public:
    // Which parts of a preset differ; Params is the sound, the rest is text.
    enum Field : uint8_t {
        Name = 1,
        Author = 2,
        Category = 4,
        Params = 8,
    };
    enum class Kind { Same, TextOnly, Sound };

    PresetComparison() = default;
    // Compares every position `present` holds (all of them when null); the rest count as
    // the same, since the other side says nothing about them. With `asModuleKeeps`, the
    // document's texts are first cut and cleaned as the module would keep them, so a
    // long name does not count against a .syx file or the module.
    static PresetComparison compare(const BankStore &ours, const BankStore &theirs,
                                    const SelectionMask *present = nullptr, bool asModuleKeeps = false);
    // The fields in which two presets differ.
    static uint8_t fieldsOf(const PresetRecord &ours, const PresetRecord &theirs, bool asModuleKeeps = false);
    static Kind kindOf(uint8_t fields)
    {
        return fields == 0 ? Kind::Same : fields & Params ? Kind::Sound : Kind::TextOnly;
    }

    uint8_t fields(int bank, int preset) const { return differences[bank * PresetsPerBank + preset]; }
    Kind kind(int bank, int preset) const { return kindOf(fields(bank, preset)); }
    bool differs(int bank, int preset) const { return fields(bank, preset) != 0; }
    // Recompares one position, after either side of it changed.
    void update(int bank, int preset, const PresetRecord &ours, const PresetRecord &theirs);

    int count() const { return differing.count(); }
    int soundCount() const;
    const SelectionMask &mask() const { return differing; }
    // The next or previous differing position after (bank, preset), bank by bank and
    // preset by preset, wrapping around unless `wrap` is false; bank -1 starts before the
    // first. False when none.
    bool step(int &bank, int &preset, bool forward, bool wrap = true) const;

private:
    std::array<uint8_t, PresetCount> differences{};
    SelectionMask differing;
    bool moduleTexts = false;
};
