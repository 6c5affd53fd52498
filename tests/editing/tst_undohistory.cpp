#include "editing/undohistory.h"

#include <QTest>

#include <memory>

namespace {

// A store where every preset has a distinct name, and a history over it.
struct Fixture
{
    BankStore store;
    bool modified = false;
    std::unique_ptr<UndoHistory> history = std::make_unique<UndoHistory>(store, modified);

    Fixture()
    {
        for (int b = 0; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p)
                store.at(b, p).name = QStringLiteral("%1/%2").arg(b).arg(p);
    }

    // One user operation: a new group that renames the given presets.
    void rename(std::initializer_list<std::pair<int, int>> cells, const QString &name)
    {
        history->startNewGroup = true;
        for (auto [b, p] : cells) {
            history->recordUndo(b, p);
            store.at(b, p).name = name;
        }
    }
};

} // namespace

class TestUndoHistory : public QObject
{
    Q_OBJECT

private slots:
    void undoRedoOfRenameGroups()
    {
        Fixture f;
        f.rename({{1, 0}}, "A");
        QVERIFY(f.modified);
        QVERIFY(f.history->canUndo());
        QVERIFY(!f.history->canRedo());
        QVERIFY(f.history->undo());
        QCOMPARE(f.store.at(1, 0).name, QStringLiteral("1/0"));
        QVERIFY(f.store.at(1, 0).mark);
        QVERIFY(!f.modified); // the only change since the load is undone
        QVERIFY(!f.history->canUndo());
        QVERIFY(f.history->canRedo());
        QVERIFY(f.history->redo());
        QCOMPARE(f.store.at(1, 0).name, QStringLiteral("A"));
        QVERIFY(f.modified);
        QVERIFY(!f.history->redo());
        QVERIFY(!Fixture().history->undo());
    }

    void groupsUndoWhole()
    {
        Fixture f;
        f.history->startNewGroup = true;
        for (int p = 0; p < 30; ++p) {
            f.history->recordUndo(2, p);
            f.store.at(2, p).category = 7;
        }
        f.rename({{3, 0}}, "x");
        f.rename({{3, 1}}, "y");
        QVERIFY(f.history->undo());
        QVERIFY(f.history->undo());
        QCOMPARE(f.store.at(3, 0).name, QStringLiteral("3/0"));
        QCOMPARE(f.store.at(2, 29).category, 7);
        QVERIFY(f.history->undo());
        for (int p = 0; p < 30; ++p)
            QCOMPARE(f.store.at(2, p).category, 0);
        QCOMPARE(f.history->historyPos(), 0);
        QCOMPARE(f.history->historyEnd(), 32);
    }

    void newChangeAfterUndoDiscardsRedo()
    {
        Fixture f;
        f.rename({{1, 1}}, "a");
        f.rename({{1, 2}}, "b");
        f.history->undo();
        f.history->undo();
        f.rename({{4, 4}}, "c");
        QVERIFY(!f.history->canRedo());
        QCOMPARE(f.history->historyEnd(), 1);
        QCOMPARE(f.store.at(1, 1).name, QStringLiteral("1/1"));
    }

    void samePresetTwiceInAGroup()
    {
        Fixture f;
        f.rename({{5, 5}, {5, 5}}, "second");
        QCOMPARE(f.store.at(5, 5).name, QStringLiteral("second"));
        f.history->undo();
        QCOMPARE(f.store.at(5, 5).name, QStringLiteral("5/5"));
        f.history->redo();
        QCOMPARE(f.store.at(5, 5).name, QStringLiteral("second"));
        f.history->undo();
        QCOMPARE(f.store.at(5, 5).name, QStringLiteral("5/5"));
    }

    void modifiedTravelsWithTheEntries()
    {
        Fixture f;
        f.rename({{1, 0}}, "a");
        f.modified = false; // saved
        f.rename({{1, 1}}, "b");
        f.history->undo();
        QVERIFY(!f.modified);
        f.history->undo(); // before the save: the entry says it was clean
        QVERIFY(!f.modified);
        // Redo exchanges again: each step brings back the value it had when undone.
        f.history->redo();
        QVERIFY(!f.modified);
        f.history->redo();
        QVERIFY(f.modified);
    }

    void trimDropsWholeOldGroups()
    {
        Fixture f;
        // 9,998 entries in groups of 100, each entry naming its sequence number.
        for (int i = 0; i < 9998; ++i) {
            f.history->startNewGroup = (i % 100) == 0;
            const int b = 1 + (i / 128) % 15, p = i % 128;
            f.history->recordUndo(b, p);
            f.store.at(b, p).name = QString::number(i);
        }
        QCOMPARE(f.history->historyPos(), 9998);
        f.history->startNewGroup = true;
        f.history->recordUndo(0, 0);
        // Entries up to 2,499 went; 2,500 is the new entry 0 and starts a group.
        QCOMPARE(f.history->historyPos(), 9998 - 2500 + 1);
        QCOMPARE(f.history->historyEnd(), f.history->historyPos());
        QVERIFY(f.history->entry(0).groupStart);
        QCOMPARE(f.history->entry(0).preset, 2500 % 128);
        QCOMPARE(f.history->entry(0).bank, 1 + (2500 / 128) % 15);
        int undos = 0;
        while (f.history->undo())
            ++undos;
        QCOMPARE(undos, 1 + 75);
        QCOMPARE(f.history->historyPos(), 0);
        // The oldest kept entry restored what was there before sequence number 2,500.
        QCOMPARE(f.store.at(1 + (2500 / 128) % 15, 2500 % 128).name, QString::number(2500 - 15 * 128));
    }

    void trimWithUnevenGroups()
    {
        Fixture f;
        // Groups of 1,920, 7 and 1 entries in turn: the cut lands on a group start.
        int i = 0;
        const int sizes[] = {1920, 7, 1, 600, 33};
        for (int g = 0; i < 9998; ++g) {
            const int size = std::min(sizes[g % 5], 9998 - i);
            f.history->startNewGroup = true;
            for (int k = 0; k < size; ++k, ++i)
                f.history->recordUndo(1 + (k / 128) % 15, k % 128);
        }
        f.history->startNewGroup = true;
        f.history->recordUndo(0, 0);
        QVERIFY(f.history->entry(0).groupStart);
        const int dropped = 9999 - f.history->historyPos();
        QVERIFY2(dropped >= 582 && dropped <= 2501, qPrintable(QString::number(dropped)));
        QVERIFY(f.history->historyPos() <= UndoHistory::Limit);
        while (f.history->undo()) {
        }
        QCOMPARE(f.history->historyPos(), 0);
    }

    void resetEmptiesAndClearsModified()
    {
        Fixture f;
        f.rename({{1, 0}}, "a");
        f.history->reset();
        QVERIFY(!f.modified);
        QVERIFY(!f.history->canUndo());
        QVERIFY(!f.history->canRedo());
    }
};

QTEST_APPLESS_MAIN(TestUndoHistory)
#include "tst_undohistory.moc"
