#pragma once

#include "common/samestore.h"
#include "model/bankstore.h"
#include "model/selectionmask.h"

#include <QRandomGenerator>

// Banks in which every preset differs from every other: names say where they
// were made, authors and categories vary, parameters are random from a fixed seed.
inline void fillDistinct(BankStore &store, quint32 seed = 7)
{
    QRandomGenerator rng(seed);
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            PresetRecord &r = store.at(b, p);
            r.name = QStringLiteral("B%1 P%2").arg(b + 1).arg(p + 1);
            r.author = p % 5 == 0 ? QString() : QStringLiteral("Author %1").arg((b + p) % 7);
            r.category = (b * 3 + p) % 14;
            for (auto &v : r.params)
                v = static_cast<uint8_t>(rng.bounded(128));
            r.mark = true;
        }
}

// Number of records whose content differs.
inline int countDifferences(const BankStore &a, const BankStore &b)
{
    int n = 0;
    for (int bank = 0; bank < BankCount; ++bank)
        for (int p = 0; p < PresetsPerBank; ++p)
            n += !a.at(bank, p).sameContent(b.at(bank, p));
    return n;
}

inline SelectionMask rectangle(int firstBank, int firstPreset, int lastBank, int lastPreset)
{
    SelectionMask m;
    for (int b = firstBank; b <= lastBank; ++b)
        for (int p = firstPreset; p <= lastPreset; ++p)
            m.set(b, p);
    return m;
}
