#include "model/selectionmask.h"

SelectionMask SelectionMask::userBanks()
{
    SelectionMask mask;
    for (int b = FirstUserBank; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            mask.set(b, p);
    return mask;
}

bool SelectionMask::factoryCellSelected() const
{
    for (int p = 0; p < PresetsPerBank; ++p)
        if (bits.test(index(0, p)))
            return true;
    return false;
}

bool SelectionMask::isRectangle() const
{
    int minB = BankCount, maxB = -1, minP = PresetsPerBank, maxP = -1;
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            if (bits.test(index(b, p))) {
                minB = std::min(minB, b);
                maxB = std::max(maxB, b);
                minP = std::min(minP, p);
                maxP = std::max(maxP, p);
            }
    if (maxB < 0)
        return false;
    return count() == (maxB - minB + 1) * (maxP - minP + 1);
}

bool SelectionMask::first(int &bank, int &preset) const
{
    if (bits.none())
        return false;
    for (int i = 0; i < PresetCount; ++i)
        if (bits.test(i)) {
            bank = i / PresetsPerBank;
            preset = i % PresetsPerBank;
            return true;
        }
    return false;
}

bool SelectionMask::step(int &bank, int &preset, bool forward, bool wrap) const
{
    if (bits.none())
        return false;
    int at = bank < 0 ? (forward ? -1 : PresetCount) : index(bank, preset);
    for (int n = 0; n < PresetCount; ++n) {
        if (!wrap && (forward ? at + 1 >= PresetCount : at - 1 < 0))
            return false;
        at = forward ? (at + 1) % PresetCount : (at + PresetCount - 1) % PresetCount;
        if (bits.test(at)) {
            bank = at / PresetsPerBank;
            preset = at % PresetsPerBank;
            return true;
        }
    }
    return false;
}

int SelectionMask::ordinal(int bank, int preset) const
{
    if (bank < 0 || bank >= BankCount || preset < 0 || preset >= PresetsPerBank || !isSelected(bank, preset))
        return 0;
    return int((bits << (PresetCount - index(bank, preset))).count()) + 1;
}
