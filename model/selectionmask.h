#pragma once

#include "model/presetimage.h"

#include <bitset>

// The table's selection read once into a plain 16 x 128 mask, so the editing
// logic never walks widgets.
class SelectionMask
{
public:
    bool isSelected(int bank, int preset) const { return bits.test(index(bank, preset)); }
    void set(int bank, int preset, bool selected = true) { bits.set(index(bank, preset), selected); }
    void clear() { bits.reset(); }

    int count() const { return static_cast<int>(bits.count()); }
    bool empty() const { return bits.none(); }

    // At least one cell of the factory bank (bank 0) is selected.
    bool factoryCellSelected() const;
    // Exactly one cell of the whole table is selected.
    bool singleCellSelected() const { return count() == 1; }
    // Something is selected and every cell of its bounding rectangle is selected.
    bool isRectangle() const;
    // First selected cell scanning bank by bank, preset by preset; false when empty.
    bool first(int &bank, int &preset) const;
    // The next or previous selected cell after (bank, preset) in that order, wrapping
    // around unless `wrap` is false; bank -1 starts before the first cell. False when there is
    // none (nothing selected, or nothing further on without wrapping); bank and preset then stay.
    bool step(int &bank, int &preset, bool forward, bool wrap = true) const;
    // Where (bank, preset) stands among the selected cells in that order, counted from 1;
    // 0 when it is not selected.
    int ordinal(int bank, int preset) const;

    bool operator==(const SelectionMask &o) const { return bits == o.bits; }

    // Every preset of the user banks (2..16): what a whole export covers.
    static SelectionMask userBanks();

private:
    static int index(int bank, int preset) { return bank * PresetsPerBank + preset; }
    std::bitset<PresetCount> bits;
};
