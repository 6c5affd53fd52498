#pragma once

#include "model/bankstore.h"

// Two stores whose presets hold the same content, position by position.
inline bool sameContent(const BankStore &a, const BankStore &b)
{
    for (int bank = 0; bank < BankCount; ++bank)
        for (int p = 0; p < PresetsPerBank; ++p)
            if (!a.at(bank, p).sameContent(b.at(bank, p)))
                return false;
    return true;
}
