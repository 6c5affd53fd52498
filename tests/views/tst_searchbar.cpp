#include "editing/presetsearch.h"
#include "model/bankstore.h"
#include "model/selectionmask.h"
#include "views/presetcelldelegate.h"
#include "views/presetgrid.h"
#include "views/presettable.h"
#include "views/searchbar.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>
#include <tuple>

namespace {

// A window with the table and its search bar, as the main window builds them.
struct Rig
{
    QWidget window;
    BankStore store;
    PresetGrid *table = new PresetGrid(PresetsPerBank, BankCount);
    PresetCellDelegate *delegate = new PresetCellDelegate(&window);
    SearchBar *bar = nullptr;

    Rig()
    {
        for (int b = 0; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p) {
                PresetRecord &r = store.at(b, p);
                r.name = QStringLiteral("Preset %1").arg(p);
                r.author = QStringLiteral("Tom");
                r.category = 1;
                r.mark = true;
            }
        PresetTable::setUp(table);
        table->setItemDelegate(delegate);
        PresetTable::rebuildMarkedCells(table, store);
        bar = new SearchBar(table, store, delegate, &window);
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(bar);
        layout->addWidget(table);
        window.show();
        window.activateWindow(); // window shortcuts need the active window
        if (!QTest::qWaitForWindowActive(&window))
            qWarning("search bar window did not become active");
    }
    void name(int bank, int preset, const QString &text)
    {
        store.at(bank, preset).name = text;
        store.at(bank, preset).mark = true;
        PresetTable::rebuildMarkedCells(table, store);
    }
    SelectionMask selection() const
    {
        SelectionMask m;
        PresetTable::readSelection(table, m);
        return m;
    }
};

} // namespace

class TestSearchBar : public QObject
{
    Q_OBJECT

private slots:
    void findsNameAuthorAndCategory_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("count");
        QTest::newRow("accent and case aside") << "JURGEN" << 2;
        QTest::newRow("typed with the accent") << QString::fromUtf8("jür") << 2;
        QTest::newRow("author") << "anna" << 1;
        QTest::newRow("category name") << "gospel" << 1;
        QTest::newRow("middle of a word") << "ROCK" << 2; // "Rock" category and "Krock" by name
        QTest::newRow("nothing") << "zzz" << 0;
        QTest::newRow("empty text") << "" << 0;
    }
    void findsNameAuthorAndCategory()
    {
        QFETCH(QString, text);
        QFETCH(int, count);
        BankStore store;
        store.fillEmptyBanks(); // empty names, category "empty"
        store.at(0, 5).name = QString::fromUtf8("Jürgen's Pad");
        store.at(7, 127).name = QStringLiteral("jurgen lead");
        store.at(3, 9).author = QStringLiteral("Anna");
        store.at(15, 0).category = 5; // Gospel/Blues
        store.at(2, 2).category = 3;  // Rock
        store.at(2, 3).name = QStringLiteral("Krock");
        QCOMPARE(PresetSearch::find(store, text).count(), count);
    }

    void typingMarksAndCountsWithoutTouchingSelectionOrPresets()
    {
        Rig rig;
        rig.name(4, 22, QStringLiteral("Warm Pad"));
        rig.name(1, 3, QStringLiteral("Dark pad"));
        rig.name(9, 100, QStringLiteral("Pad Stack"));
        rig.table->setCurrentCell(50, 6);
        const SelectionMask selected = rig.selection();
        const BankStore before = rig.store;

        rig.bar->focusField();
        QTest::keyClicks(rig.bar->field(), QStringLiteral("pad"));
        QCOMPARE(rig.bar->countText(), QStringLiteral("3 found"));
        QVERIFY(rig.bar->found().isSelected(4, 22) && rig.bar->found().isSelected(1, 3));
        QVERIFY(rig.selection() == selected);
        for (int b = 0; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p)
                QVERIFY(rig.store.at(b, p).sameContent(before.at(b, p)));

        // Return and F3 go forward from the current cell, bank by bank; Shift+F3 back; both wrap.
        // The count then says which match is shown, counted in the same order.
        const std::tuple<int, int, const char *> expected[] = {
            {100, 9, "3 of 3"}, {3, 1, "1 of 3"}, {22, 4, "2 of 3"}};
        for (auto [row, column, count] : expected) {
            QTest::keyClick(rig.bar->field(), Qt::Key_Return);
            QCOMPARE(rig.table->currentRow(), row);
            QCOMPARE(rig.table->currentColumn(), column);
            QCOMPARE(rig.selection().count(), 1);
            QCOMPARE(rig.bar->findChild<QLabel *>(QStringLiteral("searchCount"))->text(),
                     QString::fromLatin1(count));
        }
        QTest::keyClick(&rig.window, Qt::Key_F3);
        QCOMPARE(rig.table->currentColumn(), 9);
        QTest::keyClick(&rig.window, Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(rig.table->currentColumn(), 4);
        QVERIFY(rig.bar->field()->hasFocus()); // so Return can step on
        rig.table->setCurrentCell(5, 4);       // not a match
        QCOMPARE(rig.bar->countText(), QStringLiteral("3 found"));
        rig.table->setCurrentCell(22, 4, QItemSelectionModel::NoUpdate); // a match, not selected
        QCOMPARE(rig.bar->countText(), QStringLiteral("3 found"));
        rig.table->setCurrentCell(22, 4);

        QTest::keyClick(rig.bar->field(), Qt::Key_Escape);
        QCOMPARE(rig.bar->field()->text(), QString());
        QVERIFY(rig.bar->found().empty());
        QCOMPARE(rig.bar->countText(), QString());
        QCOMPARE(rig.table->currentColumn(), 4); // the match stays selected
    }

    // The hint is never cut: where the whole one does not fit, a short one that does.
    void hintFitsTheField()
    {
        Rig rig;
        auto *field = rig.bar->findChild<QLineEdit *>(QStringLiteral("searchField"));
        for (int width : {1200, 300, 200, 1200}) {
            rig.window.resize(width, 400);
            QTRY_COMPARE(rig.bar->width(), rig.window.layout()->contentsRect().width());
            const int room = field->width() - 2 * field->fontMetrics().averageCharWidth() - 12;
            QVERIFY2(field->fontMetrics().horizontalAdvance(field->placeholderText()) <= room ||
                         field->placeholderText() == QStringLiteral("Search (Ctrl+F)"),
                     qPrintable(field->placeholderText()));
            QCOMPARE(field->placeholderText().startsWith(QStringLiteral("Search name")), width == 1200);
        }
    }

    void followsChangedPresetsAndTheTableState()
    {
        Rig rig;
        QTest::keyClicks(rig.bar->field(), QStringLiteral("bass"));
        QCOMPARE(rig.bar->countText(), QStringLiteral("Nothing found"));
        rig.name(12, 7, QStringLiteral("Sub Bass"));
        QTRY_COMPARE(rig.bar->countText(), QStringLiteral("1 found"));
        rig.table->setEnabled(false); // no banks loaded
        QVERIFY(!rig.bar->isEnabled());
        QTest::keyClick(&rig.window, Qt::Key_F3);
        QCOMPARE(rig.selection().count(), 0);
    }

    // The focus stays in the field: the count and the preset found are spoken from the count
    // label, whose name carries what was last said (the running program's events are checked
    // through AT-SPI).
    void countAndFoundPresetAreAnnounced()
    {
        Rig rig;
        rig.name(5, 22, QStringLiteral("Deep Shimmer"));
        QWidget *live = rig.window.findChild<QWidget *>(QStringLiteral("searchCount"));
        QVERIFY(live);
        auto heard = [live] { return QAccessible::queryAccessibleInterface(live)->text(QAccessible::Name); };
        rig.bar->field()->setText(QStringLiteral("shimmer"));
        QCOMPARE(heard(), QStringLiteral("1 found"));
        QTest::keyClick(rig.bar->field(), Qt::Key_Return);
        QCOMPARE(heard(), QStringLiteral("Deep Shimmer, Tom, User, bank 6, preset 23"));
        rig.bar->field()->setText(QStringLiteral("shimmers"));
        QCOMPARE(heard(), QStringLiteral("Nothing found"));
        rig.bar->field()->clear();
        QCOMPARE(heard(), QString());
        // The clear button that came with the text is named too.
        const auto buttons = rig.bar->field()->findChildren<QToolButton *>();
        QCOMPARE(buttons.size(), 1);
        QCOMPARE(buttons.first()->accessibleName(), QStringLiteral("Clear the search"));
    }
};

QTEST_MAIN(TestSearchBar)
#include "tst_searchbar.moc"
