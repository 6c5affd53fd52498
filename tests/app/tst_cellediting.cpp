#include "app/mainwindow.h"
#include "base/appidentity.h"
#include "model/celltext.h"
#include "views/presetgrid.h"

#include <QLineEdit>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace {

void loadSomething(MainWindow &w)
{
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            PresetRecord &r = w.bankStore.at(b, p);
            r.name = QStringLiteral("P%1-%2").arg(b).arg(p);
            r.author = QStringLiteral("Tom");
            r.mark = true;
        }
    w.banksLoaded = true;
    w.clearTable();
    w.updateTable(true);
}

// Opens the cell's editor as a double-click would and returns it (null if none opened).
QLineEdit *openEditor(MainWindow &w, int row, int column)
{
    QTableWidgetItem *item = w.table->item(row, column);
    w.table->setCurrentItem(item);
    w.table->editItem(item);
    return w.table->viewport()->findChild<QLineEdit *>();
}

void type(QLineEdit *editor, const QString &text, Qt::Key confirm = Qt::Key_Return)
{
    editor->selectAll();
    editor->insert(text);
    QTest::keyClick(editor, confirm);
}

} // namespace

class TestCellEditing : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        AppIdentity::apply();
        QSettings().clear();
    }

    void renameInPlaceWithUndoAndRedo()
    {
        MainWindow w;
        loadSomething(w);
        w.bankStore.at(3, 5).name = "Bass 1";
        w.bankStore.at(3, 5).mark = true;
        w.updateTable(true);
        w.modified = false;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        QLineEdit *editor = openEditor(w, 5, 3);
        QVERIFY(editor);
        QCOMPARE(editor->text(), QStringLiteral("Bass 1"));
        type(editor, "Bass 2");
        QTRY_VERIFY(!w.table->viewport()->findChild<QLineEdit *>());

        QCOMPARE(w.bankStore.at(3, 5).name, QStringLiteral("Bass 2"));
        QCOMPARE(w.bankStore.at(3, 5).author, QStringLiteral("Tom"));
        QCOMPARE(w.table->item(5, 3)->text(), QStringLiteral("Bass 2\nTom\n5\n3"));
        QVERIFY(w.modified);
        QVERIFY(w.undoButton->isEnabled());
        QVERIFY(!w.redoButton->isEnabled());

        w.on_undo();
        QCOMPARE(w.bankStore.at(3, 5).name, QStringLiteral("Bass 1"));
        QCOMPARE(w.table->item(5, 3)->text(), QStringLiteral("Bass 1\nTom\n5\n3"));
        QVERIFY(!w.modified); // the only change since the load is undone
        QVERIFY(!w.undoButton->isEnabled());
        QVERIFY(w.redoButton->isEnabled());
        w.on_redo();
        QCOMPARE(w.table->item(5, 3)->text(), QStringLiteral("Bass 2\nTom\n5\n3"));
        QVERIFY(w.modified);
    }

    // Whatever way a name comes in, it is kept only as long as a saved file can carry it.
    void longNamesAreCut()
    {
        MainWindow w;
        loadSomething(w);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QString longName(MaxPresetTextLength + 50, QLatin1Char('x'));
        QLineEdit *editor = openEditor(w, 1, 1);
        QVERIFY(editor);
        type(editor, longName);
        QTRY_VERIFY(!w.table->viewport()->findChild<QLineEdit *>());
        QCOMPARE(w.bankStore.at(1, 1).name, longName.left(MaxPresetTextLength));
        w.table->item(2, 1)->setText(longName); // as text dropped from another program
        QCOMPARE(w.bankStore.at(1, 2).name, longName.left(MaxPresetTextLength));
    }

    void unchangedOrDiscardedEditRecordsNothing()
    {
        MainWindow w;
        loadSomething(w);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QLineEdit *editor = openEditor(w, 7, 2);
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!w.table->viewport()->findChild<QLineEdit *>());
        QCOMPARE(w.historyPos(), 0);
        QVERIFY(!w.modified);

        editor = openEditor(w, 7, 2);
        type(editor, "never", Qt::Key_Escape);
        QTRY_VERIFY(!w.table->viewport()->findChild<QLineEdit *>());
        QCOMPARE(w.bankStore.at(2, 7).name, QStringLiteral("P2-7"));
        QCOMPARE(w.historyPos(), 0);
    }

    void factoryCellsNeverEdit()
    {
        MainWindow w;
        loadSomething(w);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(!openEditor(w, 0, 0));
        QCOMPARE(w.historyPos(), 0);
    }

    void refreshStormChangesNothing()
    {
        MainWindow w;
        loadSomething(w);
        QSignalSpy changed(w.table, &QTableWidget::cellChanged);
        for (int b = 0; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p)
                w.bankStore.at(b, p).mark = true;
        w.updateTable(true);
        QCOMPARE(changed.count(), 2048);
        QCOMPARE(w.historyPos(), 0);
        QVERIFY(!w.modified);
    }

    void lineFeedsInNamesStayPut()
    {
        MainWindow w;
        loadSomething(w);
        PresetRecord &r = w.bankStore.at(4, 9);
        r.name = "two\nlines";
        r.author = "a\nb\n12\n7"; // would name another cell if taken literally
        r.mark = true;
        w.updateTable(true);
        // The refresh wrote the cell and ran the slot: nothing was renamed or dropped.
        QCOMPARE(r.name, QStringLiteral("two\nlines"));
        QCOMPARE(w.bankStore.at(4, 9).author, QStringLiteral("a\nb\n12\n7"));
        QCOMPARE(w.bankStore.at(7, 12).name, QStringLiteral("P7-12"));
        QCOMPARE(w.historyPos(), 0);
        QCOMPARE(w.table->item(9, 4)->text(), QStringLiteral("two lines\na b 12 7\n9\n4"));

        // Renaming it gives a one-line name and keeps the author.
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QLineEdit *editor = openEditor(w, 9, 4);
        QCOMPARE(editor->text(), QStringLiteral("two lines"));
        type(editor, "one line");
        QTRY_COMPARE(r.name, QStringLiteral("one line"));
        QCOMPARE(r.author, QStringLiteral("a\nb\n12\n7"));
    }

    void textsThatNameNoCellAreRenames()
    {
        MainWindow w;
        loadSomething(w);
        const QString texts[] = {"x\ny\n128\n3", "x\ny\n-1\n3", "x\ny\n5\n16", "x\ny\nfive\n3",
                                 "x\ny\n5\n3\n9"};
        for (const QString &t : texts) {
            w.table->item(5, 2)->setText(t);
            QCOMPARE(w.bankStore.at(2, 5).name, QStringLiteral("x"));
            QCOMPARE(w.bankStore.at(2, 5).author, QStringLiteral("Tom"));
        }
        // Fewer than three line feeds: the whole text is the name and the author goes.
        w.table->item(5, 2)->setText("bare");
        QCOMPARE(w.bankStore.at(2, 5).name, QStringLiteral("bare"));
        QVERIFY(w.bankStore.at(2, 5).author.isEmpty());
        QCOMPARE(w.historyPos(), 2);
        // Before the banks are loaded, nothing reaches the store.
        MainWindow fresh;
        fresh.table->item(1, 1)->setText("loose");
        QVERIFY(fresh.bankStore.at(1, 1).name.isEmpty());
    }

    void parseNeverLeavesTheTable()
    {
        using P = CellText::Parsed;
        QCOMPARE(CellText::parse("a\nb\n127\n15").kind, P::Located);
        QCOMPARE(CellText::parse("a\nb\n127\n15").row, 127);
        QCOMPARE(CellText::parse("a\nb\n2147483648\n1").kind, P::Unplaced);
        QCOMPARE(CellText::parse("a\nb\n\n").kind, P::Unplaced);
        QCOMPARE(CellText::parse("a\nb\n1").kind, P::Plain);
        QCOMPARE(CellText::parse("").kind, P::Plain);
    }
};

QTEST_MAIN(TestCellEditing)
#include "tst_cellediting.moc"
