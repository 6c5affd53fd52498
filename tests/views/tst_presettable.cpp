#include "model/bankstore.h"
#include "model/celltext.h"
#include "model/selectionmask.h"
#include "views/presetgrid.h"
#include "views/presettable.h"

#include <QAccessible>
#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

#include <tuple>

class TestPresetTable : public QObject
{
    Q_OBJECT

private slots:
    void cellTextNamesItsPlace_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("author");
        QTest::newRow("plain") << QStringLiteral("Bass 1") << QStringLiteral("Tom");
        // Placeholders in a name once took the row's place.
        QTest::newRow("placeholders") << QStringLiteral("Lead %1 %2") << QStringLiteral("%3%4");
    }

    void cellTextNamesItsPlace()
    {
        QFETCH(QString, name);
        QFETCH(QString, author);
        PresetRecord r;
        r.name = name;
        r.author = author;
        const QString text = CellText::build(r, 5, 3);
        QCOMPARE(text, QStringLiteral("%1\n%2\n5\n3").arg(name, author));
        const CellText::Parsed parsed = CellText::parse(text);
        QCOMPARE(parsed.kind, CellText::Parsed::Located);
        QCOMPARE(std::make_tuple(parsed.name, parsed.row, parsed.column), std::make_tuple(name, 5, 3));
    }

    void refreshRebuildsOnlyMarkedCells()
    {
        PresetGrid table(PresetsPerBank, BankCount);
        PresetTable::setUp(&table);
        BankStore store;
        store.fillEmptyBanks();
        PresetTable::rebuildMarkedCells(&table, store);
        for (int c = 0; c < BankCount; ++c)
            for (int r = 0; r < PresetsPerBank; ++r)
                QVERIFY(!store.at(c, r).mark);

        QTableWidgetItem *kept = table.item(7, 2);
        QTableWidgetItem *stale = table.item(5, 3);
        table.setCurrentItem(kept);
        kept->setSelected(true);

        store.at(3, 5).category = 7;
        store.at(3, 5).name = QStringLiteral("Funky");
        store.at(3, 5).mark = true;
        QSignalSpy changed(&table, &QTableWidget::cellChanged);
        PresetTable::rebuildMarkedCells(&table, store);

        QCOMPARE(changed.count(), 1);
        QCOMPARE(table.item(7, 2), kept);
        QVERIFY(kept->isSelected());
        QVERIFY(table.item(5, 3) != stale);
        QCOMPARE(table.item(5, 3)->text(), QStringLiteral("Funky\n\n5\n3"));
        QCOMPARE(table.item(5, 3)->background().color(), QColor(0xAE, 0x4D, 0x66));
        QVERIFY(!store.at(3, 5).mark);

        SelectionMask mask;
        PresetTable::readSelection(&table, mask);
        QCOMPARE(mask.count(), 1);
        QVERIFY(mask.isSelected(2, 7));
    }

    void clearThenHeadersComeBack()
    {
        PresetGrid table(PresetsPerBank, BankCount);
        PresetTable::setUp(&table);
        table.clear();
        PresetTable::setColumnHeaders(&table);
        QCOMPARE(table.horizontalHeaderItem(0)->text(), QStringLiteral("1: Factory"));
        QCOMPARE(table.horizontalHeaderItem(15)->text(), QStringLiteral("16: User"));
        QCOMPARE(table.rowCount(), 128);
        QCOMPARE(table.columnCount(), 16);
        SelectionMask mask;
        table.selectAll();
        PresetTable::readSelection(&table, mask);
        QVERIFY(mask.empty()); // cells without an item never count as selected
    }

    void unknownCategoryIsWhite()
    {
        PresetGrid table(PresetsPerBank, BankCount);
        BankStore store;
        store.fillEmptyBanks();
        store.at(1, 0).category = 99;
        PresetTable::rebuildMarkedCells(&table, store);
        QCOMPARE(table.item(0, 1)->background().color(), QColor(Qt::white));
        QCOMPARE(store.at(1, 0).category, 99);
    }

    // What a screen reader hears for a cell: the preset as the user sees it and where it is,
    // counted from 1, read through the table's own accessible interface.
    void cellsSpeakNameAuthorCategoryAndPlace()
    {
        PresetGrid table(PresetsPerBank, BankCount);
        PresetTable::setUp(&table);
        BankStore store;
        store.fillEmptyBanks();
        auto set = [&store](int bank, int preset, const char *name, const char *author, int category) {
            PresetRecord &r = store.at(bank, preset);
            r.name = QString::fromUtf8(name);
            r.author = QString::fromUtf8(author);
            r.category = category;
        };
        set(4, 22, "Deep Shimmer", "Factory", 13);
        set(15, 127, "Lead", "", 3);
        set(2, 0, "", "Ann", 1);
        PresetTable::rebuildMarkedCells(&table, store);
        QAccessibleTableInterface *cells = QAccessible::queryAccessibleInterface(&table)->tableInterface();
        QVERIFY(cells);
        const std::tuple<int, int, QString> expected[] = {
            {22, 4, QStringLiteral("Deep Shimmer, Factory, Specials, bank 5, preset 23")},
            {127, 15, QStringLiteral("Lead, Rock, bank 16, preset 128")},
            {0, 2, QStringLiteral("Unnamed, Ann, User, bank 3, preset 1")},
            {0, 0, QStringLiteral("Empty, bank 1, preset 1")},
        };
        for (const auto &[row, column, text] : expected)
            QCOMPARE(cells->cellAt(row, column)->text(QAccessible::Name), text);

        // A rename in the cell is heard at once, before the refresh rebuilds it.
        table.item(22, 4)->setText(QStringLiteral("Shallow\nFactory\n22\n4"));
        QCOMPARE(cells->cellAt(22, 4)->text(QAccessible::Name),
                 QStringLiteral("Shallow, Factory, Specials, bank 5, preset 23"));
        // The hint painted on the empty table is its description until the banks are there.
        table.setEnabled(false);
        QCOMPARE(QAccessible::queryAccessibleInterface(&table)->text(QAccessible::Description),
                 PresetGrid::placeholderText());
        table.setEnabled(true);
        QVERIFY(QAccessible::queryAccessibleInterface(&table)->text(QAccessible::Description) !=
                PresetGrid::placeholderText());
    }

    void narrowHeadersKeepTheirNumber_data()
    {
        QTest::addColumn<int>("bank");
        QTest::addColumn<int>("room");
        const QFontMetrics m(QApplication::font());
        const int numberOnly = m.horizontalAdvance(QStringLiteral("10: U")) - 1;
        for (int bank : {0, 9, 15})
            for (int room : {4, numberOnly, m.horizontalAdvance(QStringLiteral("10: Us…")), 60, 200})
                QTest::addRow("bank %d in %d px", bank + 1, room) << bank << room;
    }

    void narrowHeadersKeepTheirNumber()
    {
        QFETCH(int, bank);
        QFETCH(int, room);
        const QFontMetrics m(QApplication::font());
        const QString number = QString::number(bank + 1);
        const QString full = bank == 0 ? QStringLiteral("1: Factory") : number + QStringLiteral(": User");
        const QString label = PresetTable::columnLabel(bank, room, m);
        if (m.horizontalAdvance(full) <= room) {
            QCOMPARE(label, full);
        } else if (label != number) {
            // Shortened at its end only, with at least one letter of the word left.
            QVERIFY2(label.startsWith(number + QStringLiteral(": ")) && label.endsWith(QChar(0x2026)) &&
                         label.size() >= number.size() + 4,
                     qPrintable(label));
            QVERIFY(m.horizontalAdvance(label) <= room);
        } else {
            QVERIFY(m.horizontalAdvance(number + QStringLiteral(": ") + full.mid(number.size() + 2, 1) +
                                        QChar(0x2026)) > room);
        }
    }

    void headersFollowTheColumnWidth()
    {
        PresetGrid table(PresetsPerBank, BankCount);
        PresetTable::setUp(&table);
        table.horizontalHeader()->setDefaultSectionSize(30);
        PresetTable::setColumnHeaders(&table);
        QCOMPARE(table.horizontalHeaderItem(9)->text(), QStringLiteral("10"));
        // The whole label for the pointer and the screen reader.
        QCOMPARE(table.horizontalHeaderItem(9)->toolTip(), QStringLiteral("10: User"));
        table.horizontalHeader()->setDefaultSectionSize(300);
        PresetTable::setColumnHeaders(&table);
        QCOMPARE(table.horizontalHeaderItem(9)->text(), QStringLiteral("10: User"));
    }
};

QTEST_MAIN(TestPresetTable)
#include "tst_presettable.moc"
