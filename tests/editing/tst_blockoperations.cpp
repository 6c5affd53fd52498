#include "editfixtures.h"
#include "editing/assignment.h"
#include "editing/blockoperations.h"
#include "editing/undohistory.h"

#include <QTest>

#include <deque>
#include <memory>
#include <vector>

using namespace BlockOperations;
using namespace Assignment;

namespace {

// A store with its history, as the main window holds them.
struct Banks
{
    BankStore store;
    BankStore clipboard;
    bool modified = false;
    UndoHistory history{store, modified};

    Banks() { fillDistinct(store); }
    void rename(int bank, int preset, const QString &name)
    {
        history.startNewGroup = true;
        history.recordUndo(bank, preset);
        store.at(bank, preset).name = name;
    }
};

SelectionMask cells(std::initializer_list<std::pair<int, int>> list)
{
    SelectionMask m;
    for (auto [b, p] : list)
        m.set(b, p);
    return m;
}

} // namespace

class TestBlockOperations : public QObject
{
    Q_OBJECT

private slots:
    // The one rule the menu and the keys both follow.
    void whichCommandsASelectionAllows_data()
    {
        QTest::addColumn<SelectionMask>("selection");
        QTest::addColumn<bool>("clipboardFilled");
        QTest::addColumn<QVector<bool>>("cutCopyPasteDelete");
        QTest::newRow("one user cell, clipboard empty")
            << cells({{3, 4}}) << false << QVector<bool>{1, 1, 0, 1};
        QTest::newRow("one user cell, clipboard filled")
            << cells({{3, 4}}) << true << QVector<bool>{1, 1, 1, 1};
        QTest::newRow("factory cell") << cells({{0, 4}}) << true << QVector<bool>{0, 1, 0, 0};
        QTest::newRow("not a rectangle") << cells({{3, 4}, {5, 9}}) << true << QVector<bool>{0, 0, 0, 1};
        QTest::newRow("nothing") << SelectionMask() << true << QVector<bool>{0, 0, 0, 0};
    }
    void whichCommandsASelectionAllows()
    {
        QFETCH(SelectionMask, selection);
        QFETCH(bool, clipboardFilled);
        QFETCH(QVector<bool>, cutCopyPasteDelete);
        const Command commands[] = {Command::Cut, Command::Copy, Command::Paste, Command::Delete};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(allowed(commands[i], selection, clipboardFilled), cutCopyPasteDelete.at(i));
    }

    void factoryColumnPastedIntoUserBank()
    {
        auto k = std::make_unique<Banks>();
        const BankStore before = k->store;
        copySelectionToClipboard(k->store, k->clipboard, rectangle(0, 0, 0, 127));
        QVERIFY(sameContent(k->store, before)); // copy changes nothing and records nothing
        QCOMPARE(k->history.historyPos(), 0);

        QCOMPARE(pasteClipboard(k->store, k->clipboard, cells({{5, 0}}), k->history), 128);
        for (int p = 0; p < 128; ++p) {
            QVERIFY(k->store.at(5, p).sameContent(before.at(0, p)));
            QVERIFY(k->store.at(5, p).mark);
        }
        QCOMPARE(countDifferences(k->store, before), 128);
        QVERIFY(k->modified);

        QVERIFY(k->history.undo());
        QVERIFY(sameContent(k->store, before));
        QVERIFY(!k->history.canUndo());
        QVERIFY(!k->modified);
    }

    void pasteIsClippedAtTheEdges()
    {
        auto k = std::make_unique<Banks>();
        const BankStore before = k->store;
        copySelectionToClipboard(k->store, k->clipboard, rectangle(2, 10, 4, 12));
        QCOMPARE(pasteClipboard(k->store, k->clipboard, cells({{14, 126}}), k->history), 4);
        QCOMPARE(countDifferences(k->store, before), 4);
        QVERIFY(k->store.at(14, 126).sameContent(before.at(2, 10)));
        QVERIFY(k->store.at(14, 127).sameContent(before.at(2, 11)));
        QVERIFY(k->store.at(15, 126).sameContent(before.at(3, 10)));
        QVERIFY(k->store.at(15, 127).sameContent(before.at(3, 11)));
        QCOMPARE(k->history.historyPos(), 4);
    }

    // Random blocks at random user cells: what the overflow counts is exactly what a paste
    // leaves out, and the cells it reports written are the presets that changed.
    void overflowCountsWhatAPasteLeavesOut()
    {
        QRandomGenerator rng(3);
        for (int round = 0; round < 200; ++round) {
            auto k = std::make_unique<Banks>();
            const int b0 = rng.bounded(BankCount), p0 = rng.bounded(PresetsPerBank);
            const int b1 = std::min(BankCount - 1, b0 + int(rng.bounded(4))),
                      p1 = std::min(PresetsPerBank - 1, p0 + int(rng.bounded(6)));
            copySelectionToClipboard(k->store, k->clipboard, rectangle(b0, p0, b1, p1));
            const SelectionMask target =
                cells({{1 + int(rng.bounded(BankCount - 1)), int(rng.bounded(PresetsPerBank))}});
            int tb = 0, tp = 0;
            target.first(tb, tp);
            const Overflow overflow = pasteOverflow(k->clipboard, target);
            int right = 0, below = 0;
            for (int b = b0; b <= b1; ++b)
                for (int p = p0; p <= p1; ++p) {
                    const bool outRight = tb + b - b0 >= BankCount;
                    right += outRight;
                    below += !outRight && tp + p - p0 >= PresetsPerBank;
                }
            QCOMPARE(overflow.right, right);
            QCOMPARE(overflow.below, below);
            const BankStore before = k->store;
            SelectionMask written;
            const int n = pasteClipboard(k->store, k->clipboard, target, k->history, &written);
            QCOMPARE(n, (b1 - b0 + 1) * (p1 - p0 + 1) - right - below);
            QCOMPARE(written.count(), n);
            for (int b = 0; b < BankCount; ++b)
                for (int p = 0; p < PresetsPerBank; ++p)
                    if (!written.isSelected(b, p))
                        QVERIFY(k->store.at(b, p).sameContent(before.at(b, p)));
                    else
                        QVERIFY(k->store.at(b, p).sameContent(before.at(b0 + b - tb, p0 + p - tp)));
        }
    }

    void pasteNeverWritesTheFactoryBank()
    {
        // Even with the target in column 0 the block keeps its shape and only
        // its part right of the factory bank lands.
        auto k = std::make_unique<Banks>();
        const BankStore before = k->store;
        copySelectionToClipboard(k->store, k->clipboard, rectangle(3, 0, 5, 1));
        QCOMPARE(pasteClipboard(k->store, k->clipboard, cells({{0, 40}}), k->history), 4);
        for (int p = 0; p < 128; ++p)
            QVERIFY(k->store.at(0, p).sameContent(before.at(0, p)));
        QVERIFY(k->store.at(1, 40).sameContent(before.at(4, 0)));
        QVERIFY(k->store.at(2, 41).sameContent(before.at(5, 1)));
    }

    void pasteTakesTheContentOfCopyTime()
    {
        auto k = std::make_unique<Banks>();
        const PresetRecord old = k->store.at(3, 7);
        copySelectionToClipboard(k->store, k->clipboard, cells({{3, 7}}));
        k->rename(3, 7, QStringLiteral("Renamed"));
        k->store.at(3, 7).params[0] = static_cast<uint8_t>(old.params[0] ^ 1);
        QCOMPARE(pasteClipboard(k->store, k->clipboard, cells({{9, 20}}), k->history), 1);
        QVERIFY(k->store.at(9, 20).sameContent(old));
        QCOMPARE(k->store.at(3, 7).name, QStringLiteral("Renamed"));
    }

    void pasteWithoutCopyOrTargetDoesNothing()
    {
        auto k = std::make_unique<Banks>();
        const BankStore before = k->store;
        QCOMPARE(pasteClipboard(k->store, k->clipboard, cells({{4, 4}}), k->history), 0); // nothing copied
        copySelectionToClipboard(k->store, k->clipboard, cells({{3, 7}}));
        QCOMPARE(pasteClipboard(k->store, k->clipboard, SelectionMask(), k->history), 0); // no target
        QVERIFY(sameContent(k->store, before));
        QCOMPARE(k->history.historyPos(), 0);
        QVERIFY(!k->modified);
    }

    void deletedPresetsAreEmpty()
    {
        auto k = std::make_unique<Banks>();
        const BankStore before = k->store;
        QCOMPARE(deleteSelection(k->store, cells({{0, 3}, {2, 5}, {15, 127}}), k->history), 2);
        for (auto [b, p] : {std::pair{2, 5}, std::pair{15, 127}}) {
            const PresetRecord &r = k->store.at(b, p);
            QCOMPARE(r.name, QStringLiteral("empty"));
            QVERIFY(r.author.isEmpty());
            QCOMPARE(r.category, 0);
            QVERIFY(r.params == before.at(0, 0).params);
            QVERIFY(r.mark);
        }
        QCOMPARE(countDifferences(k->store, before), 2); // the factory cell stays

        // A second delete is a group of its own.
        const BankStore afterFirst = k->store;
        QCOMPARE(deleteSelection(k->store, cells({{7, 7}}), k->history), 1);
        QVERIFY(k->history.undo());
        QVERIFY(sameContent(k->store, afterFirst));
        QVERIFY(k->history.undo());
        QVERIFY(sameContent(k->store, before));
    }

    // What the detail view shows: only what every selected preset shares, the factory
    // bank included.
    void sharedAuthorAndCategory()
    {
        BankStore store;
        const std::pair<int, int> at[] = {{0, 1}, {2, 1}, {2, 2}, {9, 100}};
        const std::tuple<const char *, int> given[] = {{"Ann", 4}, {"Ann", 4}, {"Bob", 4}, {"Ann", 7}};
        for (int i = 0; i < 4; ++i) {
            store.at(at[i].first, at[i].second).author = QString::fromLatin1(std::get<0>(given[i]));
            store.at(at[i].first, at[i].second).category = std::get<1>(given[i]);
        }
        struct Case
        {
            std::vector<std::pair<int, int>> selected;
            bool any;
            std::optional<QString> author;
            std::optional<int> category;
        };
        const Case cases[] = {
            {{}, false, std::nullopt, std::nullopt},
            {{{2, 2}}, true, QStringLiteral("Bob"), 4},
            {{{0, 1}, {2, 1}}, true, QStringLiteral("Ann"), 4},
            {{{0, 1}, {2, 1}, {2, 2}}, true, std::nullopt, 4},
            {{{0, 1}, {9, 100}}, true, QStringLiteral("Ann"), std::nullopt},
            {{{2, 2}, {9, 100}}, true, std::nullopt, std::nullopt},
        };
        for (const Case &c : cases) {
            SelectionMask selection;
            for (auto [b, p] : c.selected)
                selection.set(b, p);
            const Assignment::Shared shown = shared(store, selection);
            QCOMPARE(shown.any, c.any);
            QVERIFY(shown.author == c.author);
            QVERIFY(shown.category == c.category);
        }
    }

    // Thousands of random operations. After every step, undoing everything must
    // give back exactly the store from before the oldest group the history still
    // holds, redoing everything the current store, and the factory bank never moves.
    // The expectation comes from whole-store comparisons, not from the history.
    void randomOperationsAlwaysUndoExactly()
    {
        struct Change
        {
            int bank, preset;
            PresetRecord before, after;
        };
        using Group = std::vector<Change>;
        auto changes = [](const BankStore &from, const BankStore &to) {
            Group g;
            for (int b = 0; b < BankCount; ++b)
                for (int p = 0; p < PresetsPerBank; ++p)
                    if (!from.at(b, p).sameContent(to.at(b, p)))
                        g.push_back({b, p, from.at(b, p), to.at(b, p)});
            return g;
        };

        QRandomGenerator rng(20240611);
        auto k = std::make_unique<Banks>();
        const BankStore initial = k->store;
        SelectionMask sel;
        std::deque<Group> applied; // oldest first
        std::vector<Group> undone; // most recently undone last
        int trims = 0, pastes = 0, recordingOps = 0;

        auto randomSelection = [&rng] {
            SelectionMask m;
            const int kind = rng.bounded(10);
            if (kind < 4 || kind == 9) { // a rectangle, from column 0 when kind is 9
                const int b0 = kind == 9 ? 0 : rng.bounded(16), p0 = rng.bounded(128);
                const int b1 = std::min(15, b0 + rng.bounded(4)), p1 = std::min(127, p0 + rng.bounded(24));
                m = rectangle(b0, p0, b1, p1);
            } else if (kind < 6) {
                m.set(rng.bounded(16), rng.bounded(128));
            } else if (kind == 6) {
                for (int n = 2 + rng.bounded(9); n > 0; --n)
                    m.set(rng.bounded(16), rng.bounded(128));
            } else if (kind == 7) { // whole banks, up to all user banks
                const int b0 = 1 + rng.bounded(15);
                m = rectangle(b0, 0, std::min(15, b0 + rng.bounded(15)), 127);
            }
            return m; // kind 8: nothing selected
        };

        const int steps = 3000;
        for (int step = 0; step < steps; ++step) {
            const QByteArray where = "step " + QByteArray::number(step);
            const BankStore before = k->store;
            int recorded = -1; // -1: the operation does not record
            switch (rng.bounded(11)) {
            case 0:
            case 1:
                sel = randomSelection();
                break;
            case 2:
                copySelectionToClipboard(k->store, k->clipboard, sel);
                break;
            case 3: // cut
                copySelectionToClipboard(k->store, k->clipboard, sel);
                recorded = deleteSelection(k->store, sel, k->history);
                break;
            case 4:
                recorded = pasteClipboard(k->store, k->clipboard, sel, k->history);
                pastes += recorded > 0;
                break;
            case 5:
                recorded = deleteSelection(k->store, sel, k->history);
                break;
            case 6:
                recorded = assignAuthor(k->store, sel, QStringLiteral("A%1").arg(rng.bounded(4)), k->history);
                break;
            case 7:
                recorded = assignCategory(k->store, sel, rng.bounded(-1, 14), k->history);
                break;
            case 8:
                k->rename(1 + rng.bounded(15), rng.bounded(128), QStringLiteral("N%1").arg(step));
                recorded = 1;
                break;
            case 9:
                if (k->history.undo()) {
                    QVERIFY2(!applied.empty(), where);
                    BankStore expected = before;
                    for (const Change &c : applied.back())
                        expected.at(c.bank, c.preset) = c.before;
                    QVERIFY2(sameContent(k->store, expected), where);
                    undone.push_back(std::move(applied.back()));
                    applied.pop_back();
                } else {
                    QVERIFY2(applied.empty(), where);
                }
                break;
            case 10:
                if (k->history.redo()) {
                    QVERIFY2(!undone.empty(), where);
                    BankStore expected = before;
                    for (const Change &c : undone.back())
                        expected.at(c.bank, c.preset) = c.after;
                    QVERIFY2(sameContent(k->store, expected), where);
                    applied.push_back(std::move(undone.back()));
                    undone.pop_back();
                } else {
                    QVERIFY2(undone.empty(), where);
                }
                break;
            }
            if (recorded > 0) {
                ++recordingOps;
                applied.push_back(changes(before, k->store));
                undone.clear();
            } else if (recorded == 0) {
                QVERIFY2(sameContent(k->store, before), where);
            }

            // Groups the history holds; a full history forgets its oldest ones.
            const UndoHistory &h = k->history;
            QVERIFY2(h.historyEnd() == 0 || h.entry(0).groupStart, where);
            size_t held = 0, redoable = 0;
            for (int i = 0; i < h.historyEnd(); ++i)
                if (h.entry(i).groupStart)
                    ++(i < h.historyPos() ? held : redoable);
            QCOMPARE(redoable, undone.size());
            QVERIFY2(held <= applied.size(), where);
            if (held < applied.size()) {
                QVERIFY2(recorded > 0, where); // only recording trims
                applied.erase(applied.begin(), applied.begin() + (applied.size() - held));
                ++trims;
            }

            BankStore oldest = k->store;
            for (auto g = applied.rbegin(); g != applied.rend(); ++g)
                for (const Change &c : *g)
                    oldest.at(c.bank, c.preset) = c.before;
            if (trims == 0)
                QVERIFY2(sameContent(oldest, initial), where);

            const BankStore current = k->store;
            const int pos = h.historyPos();
            while (k->history.undo()) {
            }
            QVERIFY2(sameContent(k->store, oldest), where);
            while (h.historyPos() < pos)
                QVERIFY2(k->history.redo(), where);
            QCOMPARE(h.historyPos(), pos);
            QVERIFY2(sameContent(k->store, current), where);
            for (int p = 0; p < PresetsPerBank; ++p)
                QVERIFY2(k->store.at(0, p).sameContent(initial.at(0, p)), where);
        }
        // The run went through the interesting parts.
        QVERIFY(trims > 0);
        QVERIFY(pastes > 50);
        QVERIFY(recordingOps > 500);
    }
};

QTEST_GUILESS_MAIN(TestBlockOperations)
#include "tst_blockoperations.moc"
