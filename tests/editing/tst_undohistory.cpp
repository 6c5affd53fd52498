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

    // `modified` says whether the history stands at its clean point (the last whole
    // save, load, import or export), however undo and redo got there.
    void modifiedFollowsTheCleanPoint_data()
    {
        QTest::addColumn<QString>("steps"); // e edit, s save whole, u undo, r redo
        QTest::addColumn<QString>("modifiedAfterEach");
        QTest::newRow("undo back to the load") << "eu"
                                               << "10";
        QTest::newRow("undo past a save, save, redo") << "esusr"
                                                      << "10101";
        QTest::newRow("save after two edits") << "eesuurr"
                                              << "1101110";
        QTest::newRow("edit after undo drops the saved state") << "esueuu"
                                                               << "101111";
        QTest::newRow("save in the middle of the history") << "eeusuuru"
                                                           << "11101101";
    }
    void modifiedFollowsTheCleanPoint()
    {
        QFETCH(QString, steps);
        QFETCH(QString, modifiedAfterEach);
        Fixture f;
        for (int i = 0; i < steps.size(); ++i) {
            switch (steps.at(i).toLatin1()) {
            case 'e':
                f.rename({{1, i}}, "x");
                break;
            case 's':
                f.history->markClean();
                break;
            case 'u':
                f.history->undo();
                break;
            case 'r':
                f.history->redo();
                break;
            }
            QVERIFY2(f.modified == (modifiedAfterEach.at(i) == QLatin1Char('1')),
                     qPrintable(steps.left(i + 1)));
        }
    }

    void trimmedCleanPointNeverComesBack()
    {
        Fixture f;
        for (int i = 0; i < 9999; ++i)
            f.rename({{1 + (i / 128) % 15, i % 128}}, "x");
        while (f.history->undo())
            QVERIFY(f.modified);
    }

    // No operation reaches it today, but an operation larger than the whole history must
    // neither write past it nor leave half an undo step behind.
    void groupLargerThanTheHistory()
    {
        Fixture f;
        f.rename({{2, 0}}, "before");
        f.history->startNewGroup = true;
        for (int i = 0; i < UndoHistory::Capacity + 500; ++i) {
            f.history->recordUndo(1 + (i / 128) % 15, i % 128);
            f.store.at(1 + (i / 128) % 15, i % 128).category = 5;
        }
        QVERIFY(f.modified);
        QVERIFY(!f.history->undo());
        f.rename({{3, 3}}, "after");
        QVERIFY(f.history->undo());
        QCOMPARE(f.store.at(3, 3).category, 5);
        QVERIFY(f.history->entry(0).groupStart);
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
