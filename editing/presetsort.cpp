#include "editing/presetsort.h"

#include "editing/undohistory.h"
#include "model/bankstore.h"
#include "model/categorytable.h"
#include "model/selectionmask.h"
#include "model/textfold.h"

#include <algorithm>
#include <vector>

namespace PresetSort {

namespace {

struct Run
{
    int bank = -1;
    int first = 0;
    int last = -1;
};

Run selectedRun(const SelectionMask &selection)
{
    Run run;
    int bank = 0, preset = 0;
    if (!selection.first(bank, preset) || bank == 0 || !selection.isRectangle())
        return run;
    run.first = preset;
    run.last = preset + selection.count() - 1;
    // A rectangle whose first cell starts a run of `count` cells in one bank lies in that bank.
    if (run.last >= PresetsPerBank || !selection.isSelected(bank, run.last))
        return run;
    run.bank = bank;
    return run;
}

// Text order as people read it: folded like a search, digit runs by value.
int compareNatural(const QString &a, const QString &b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype ie = i, je = j;
            while (ie < a.size() && a[ie].isDigit())
                ++ie;
            while (je < b.size() && b[je].isDigit())
                ++je;
            // Leading zeros do not change a number's value.
            qsizetype is = i, js = j;
            while (is + 1 < ie && a[is] == QLatin1Char('0'))
                ++is;
            while (js + 1 < je && b[js] == QLatin1Char('0'))
                ++js;
            if (ie - is != je - js)
                return ie - is < je - js ? -1 : 1;
            for (; is < ie; ++is, ++js)
                if (a[is] != b[js])
                    return a[is] < b[js] ? -1 : 1;
            i = ie;
            j = je;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j] ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

struct Item
{
    PresetRecord record;
    QString text; // folded name or author
    int category = 0;
    bool blank = false;
};

} // namespace

bool canSort(const SelectionMask &selection)
{
    return selectedRun(selection).bank > 0;
}

int sortSelection(BankStore &live, const SelectionMask &selection, Key key, UndoHistory &history)
{
    const Run run = selectedRun(selection);
    if (run.bank <= 0)
        return 0;

    std::vector<Item> items;
    items.reserve(run.last - run.first + 1);
    for (int p = run.first; p <= run.last; ++p) {
        Item item;
        item.record = live.at(run.bank, p);
        if (key == Key::Category) {
            item.category = item.record.category;
            item.blank = item.category <= 0 || item.category >= CategoryCount;
        } else {
            item.text = foldedForSearch(key == Key::Name ? item.record.name : item.record.author).trimmed();
            item.blank = item.text.isEmpty();
        }
        items.push_back(std::move(item));
    }
    std::stable_sort(items.begin(), items.end(), [key](const Item &a, const Item &b) {
        if (a.blank != b.blank)
            return b.blank;
        if (a.blank)
            return false;
        if (key == Key::Category)
            return a.category < b.category;
        return compareNatural(a.text, b.text) < 0;
    });

    history.startNewGroup = true;
    int moved = 0;
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        if (live.at(run.bank, run.first + i).sameContent(items[i].record))
            continue;
        writePreset(live, history, run.bank, run.first + i, items[i].record);
        ++moved;
    }
    return moved;
}

} // namespace PresetSort
