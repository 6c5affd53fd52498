#include "model/bankstore.h"
#include "model/celltext.h"
#include "model/selectionmask.h"
#include "views/bigtable.h"
#include "views/presettable.h"

#include <QSignalSpy>
#include <QTest>

class TestPresetTable : public QObject
{
    Q_OBJECT

private slots:
    void cellTextNamesItsPlace()
    {
        PresetRecord r;
        r.name = QStringLiteral("Bass 1");
        r.author = QStringLiteral("Tom");
        QCOMPARE(CellText::build(r, 5, 3), QStringLiteral("Bass 1\nTom\n5\n3"));
    }

    void refreshRebuildsOnlyMarkedCells()
    {
        BigTable table(PresetsPerBank, BankCount);
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
        BigTable table(PresetsPerBank, BankCount);
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
        BigTable table(PresetsPerBank, BankCount);
        BankStore store;
        store.fillEmptyBanks();
        store.at(1, 0).category = 99;
        PresetTable::rebuildMarkedCells(&table, store);
        QCOMPARE(table.item(0, 1)->background().color(), QColor(Qt::white));
        QCOMPARE(store.at(1, 0).category, 99);
    }
};

QTEST_MAIN(TestPresetTable)
#include "tst_presettable.moc"
