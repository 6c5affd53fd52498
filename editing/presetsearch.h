#pragma once

#include "model/selectionmask.h"

#include <QString>

#include <vector>

class BankStore;

// Which presets a search text finds: those whose name, author or category name
// contains it, case and accents aside (as the library's search folds text).
namespace PresetSearch {

// Folded names and authors kept from one search to the next; a text is folded again
// only when it changed. Keeps a keystroke's search cheap.
class FoldCache
{
public:
    const QString &folded(int slot, const QString &text);

private:
    struct Entry
    {
        QString source;
        QString folded;
        bool filled = false;
    };
    std::vector<Entry> entries;
};

// Empty text finds nothing. `cache`, when given, saves folding unchanged texts again.
SelectionMask find(const BankStore &store, const QString &text, FoldCache *cache = nullptr);

// The next or previous found cell after (bank, preset), bank by bank and preset by
// preset, wrapping around; bank -1 starts before the first cell. False when none.
bool step(const SelectionMask &found, int &bank, int &preset, bool forward);

} // namespace PresetSearch
