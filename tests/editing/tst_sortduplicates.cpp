#include "editfixtures.h"
#include "editing/blockoperations.h"
#include "editing/duplicates.h"
#include "editing/presetsort.h"
#include "editing/undohistory.h"

#include <QRandomGenerator>
#include <QTest>

#include <map>
#include <memory>
#include <vector>

namespace {

struct Banks
{
    BankStore store;
    bool modified = false;
    UndoHistory history{store, modified};
    Banks()
    {
        fillDistinct(store);
        store.clearMarks();
    }
};

QStringList names(const BankStore &s, int bank, int first, int last)
{
    QStringList out;
    for (int p = first; p <= last; ++p)
        out << s.at(bank, p).name;
    return out;
}

} // namespace

class TestSortDuplicates : public QObject
{
    Q_OBJECT

private slots:
    void onlyOneRunInOneUserBankSorts_data()
    {
        QTest::addColumn<SelectionMask>("selection");
        QTest::addColumn<bool>("sortable");
        SelectionMask gap = rectangle(3, 0, 3, 4);
        gap.set(3, 6);
        QTest::newRow("whole user bank") << rectangle(15, 0, 15, 127) << true;
        QTest::newRow("run in a bank") << rectangle(2, 10, 2, 20) << true;
        QTest::newRow("factory bank") << rectangle(0, 0, 0, 127) << false;
        QTest::newRow("two banks") << rectangle(2, 0, 3, 5) << false;
        QTest::newRow("gap") << gap << false;
        QTest::newRow("nothing") << SelectionMask() << false;
    }
    void onlyOneRunInOneUserBankSorts()
    {
        QFETCH(SelectionMask, selection);
        QFETCH(bool, sortable);
        auto k = std::make_unique<Banks>();
        const BankStore before = k->store;
        QCOMPARE(PresetSort::canSort(selection), sortable);
        const int moved = PresetSort::sortSelection(k->store, selection, PresetSort::Key::Author, k->history);
        QCOMPARE(moved > 0, sortable);
        if (!sortable) {
            QVERIFY(sameContent(k->store, before));
            QCOMPARE(k->history.historyPos(), 0);
        }
    }

    void sortsStableInPlaceAsOneUndoStep()
    {
        auto k = std::make_unique<Banks>();
        const char *given[] = {"pad 10", "Bass", "", "Pad 2", "bass", "Ärger", "Zither", "pad 02"};
        for (int i = 0; i < 8; ++i) {
            PresetRecord &r = k->store.at(4, 20 + i);
            r.name = QString::fromUtf8(given[i]);
            r.author = QStringLiteral("A%1").arg(i);
        }
        const BankStore before = k->store;
        PresetSort::sortSelection(k->store, rectangle(4, 20, 4, 27), PresetSort::Key::Name, k->history);
        // Folded, numbers by value, equal keys in their old order, no name last.
        QCOMPARE(names(k->store, 4, 20, 27),
                 (QStringList{"Ärger", "Bass", "bass", "Pad 2", "pad 02", "pad 10", "Zither", ""}));
        // Whole presets move: the author travels with its name; nothing outside the run changes.
        QCOMPARE(k->store.at(4, 21).author, QStringLiteral("A1"));
        QCOMPARE(k->store.at(4, 22).author, QStringLiteral("A4"));
        // "Bass", "Pad 2" and "Zither" are where they were: only the other five are written.
        QCOMPARE(countDifferences(k->store, before), 5);
        QVERIFY(!k->store.at(4, 26).mark);
        QVERIFY(k->store.at(4, 20).mark);

        QVERIFY(k->history.undo());
        QVERIFY(sameContent(k->store, before));
        QVERIFY(!k->history.canUndo());
    }

    void authorAndCategoryKeysPutBlanksLast()
    {
        auto k = std::make_unique<Banks>();
        const int categories[] = {5, 0, 3, 5, 14, 3};
        const char *authors[] = {"tom", "", "Ann", " ", "bob", "ann"};
        for (int i = 0; i < 6; ++i) {
            PresetRecord &r = k->store.at(9, i);
            r.name = QString::number(i);
            r.category = categories[i];
            r.author = QString::fromUtf8(authors[i]);
        }
        PresetSort::sortSelection(k->store, rectangle(9, 0, 9, 5), PresetSort::Key::Category, k->history);
        QCOMPARE(names(k->store, 9, 0, 5), (QStringList{"2", "5", "0", "3", "1", "4"}));
        PresetSort::sortSelection(k->store, rectangle(9, 0, 9, 5), PresetSort::Key::Author, k->history);
        QCOMPARE(names(k->store, 9, 0, 5), (QStringList{"2", "5", "4", "0", "3", "1"}));
        // Sorting what is already sorted records nothing.
        const int pos = k->history.historyPos();
        QCOMPARE(
            PresetSort::sortSelection(k->store, rectangle(9, 0, 9, 5), PresetSort::Key::Author, k->history),
            0);
        QCOMPARE(k->history.historyPos(), pos);
    }

    void duplicatesAreUserPresetsSharingParameters()
    {
        auto k = std::make_unique<Banks>();
        BankStore &s = k->store;
        s.at(3, 7).params = s.at(0, 9).params;   // a factory sound copied into a user bank
        s.at(5, 1).params = s.at(8, 100).params; // two user presets, one sound
        s.at(5, 1).name = QStringLiteral("renamed");
        s.at(12, 4).params = s.at(8, 100).params;
        s.at(0, 50).params = s.at(0, 51).params; // the factory bank's own twins are not the user's
        for (int p = 0; p < 3; ++p) {            // what a delete leaves behind
            PresetRecord &r = s.at(14, p);
            r.params = s.at(0, 0).params;
            r.name = QStringLiteral("empty");
            r.author.clear();
            r.category = 0;
        }
        const Duplicates::Found found = Duplicates::find(s);
        QCOMPARE(found.groups, 2);
        SelectionMask expected; // the first of each group (0·9, 5·1) stays unselected
        for (auto [b, p] : {std::pair{3, 7}, {8, 100}, {12, 4}})
            expected.set(b, p);
        QVERIFY(found.extraCopies == expected);

        // A named preset with the first factory sound is a duplicate all the same.
        s.at(14, 0).name = QStringLiteral("Init copy");
        QCOMPARE(Duplicates::find(s).groups, 3);
        QVERIFY(Duplicates::find(s).extraCopies.isSelected(14, 0));
        QVERIFY(!Duplicates::find(s).extraCopies.isSelected(14, 1));
    }

    // Random banks drawn from a few sounds: a preset is an extra copy exactly when an earlier
    // one (bank by bank) sounds the same, and deleting the extra copies leaves one of each.
    void extraCopiesAreAllButTheFirstOfEachSound()
    {
        QRandomGenerator rng(41);
        for (int round = 0; round < 20; ++round) {
            auto k = std::make_unique<Banks>();
            BankStore &s = k->store;
            const int sounds = 1 + int(rng.bounded(40));
            for (int b = 0; b < BankCount; ++b)
                for (int p = 0; p < PresetsPerBank; ++p)
                    if (rng.bounded(3) == 0)
                        s.at(b, p).params.fill(uint8_t(1 + rng.bounded(sounds)));
            std::map<std::vector<uint8_t>, int> seen; // sound -> extra copies
            SelectionMask expected;
            for (int b = 0; b < BankCount; ++b)
                for (int p = 0; p < PresetsPerBank; ++p) {
                    const auto &params = s.at(b, p).params;
                    const std::vector<uint8_t> key(params.begin(), params.end());
                    auto [it, first] = seen.emplace(key, 0);
                    if (!first && b > 0) {
                        expected.set(b, p);
                        ++it->second;
                    }
                }
            int groups = 0;
            for (const auto &entry : seen)
                groups += entry.second > 0;
            const Duplicates::Found found = Duplicates::find(s);
            QVERIFY(found.extraCopies == expected);
            QCOMPARE(found.groups, groups);

            BlockOperations::deleteSelection(s, found.extraCopies, k->history);
            QVERIFY(Duplicates::find(s).extraCopies.empty());
        }
    }
};

QTEST_GUILESS_MAIN(TestSortDuplicates)
#include "tst_sortduplicates.moc"
