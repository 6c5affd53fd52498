#include "app/mainwindow.h"
#include "app/startup.h"
#include "base/appidentity.h"
#include "common/loadedwindow.h"
#include "common/modaldriver.h"
#include "views/detailview.h"
#include "views/presetgrid.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QToolButton>
#include <QToolTip>
#include <QTranslator>

namespace {

// A window whose banks count as loaded, with a few distinct presets.
void select(MainWindow &w, std::initializer_list<std::pair<int, int>> cells)
{
    w.table->clearSelection();
    for (auto [bank, preset] : cells)
        w.table->item(preset, bank)->setSelected(true);
}

QString messageText(QWidget *modal)
{
    auto *box = qobject_cast<QMessageBox *>(modal);
    return box ? box->text() : QString();
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        AppIdentity::apply();
        QSettings().clear();
    }

    void enabledStatesFollowTheStore()
    {
        MainWindow w;
        QVERIFY(!w.table->isEnabled());
        QVERIFY(!w.saveButton->isEnabled());
        QVERIFY(!w.exportButton->isEnabled());
        QVERIFY(w.importButton->isEnabled());
        QVERIFY(w.loadButton->isEnabled());
        QVERIFY(w.languageBox->isEnabled());
        QVERIFY(!w.undoButton->isEnabled());
        QVERIFY(!w.redoButton->isEnabled());
        QCOMPARE(w.languageBox->currentText(), QStringLiteral("EN"));

        loadSomething(w);
        QVERIFY(w.table->isEnabled());
        QVERIFY(w.saveButton->isEnabled());
        QVERIFY(w.exportButton->isEnabled());

        // Ctrl+Z with an empty history does nothing.
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.historyPos(), 0);
        QVERIFY(!w.modified);
    }

    void tabIntoTheTableShowsTheCurrentCell_data()
    {
        QTest::addColumn<QList<QPoint>>("selected"); // (bank, preset)
        QTest::addColumn<QPoint>("current");
        QTest::newRow("nothing selected: the first cell") << QList<QPoint>() << QPoint(0, 0);
        QTest::newRow("the first selected cell, bank by bank")
            << QList<QPoint>{QPoint(7, 3), QPoint(4, 90), QPoint(4, 100)} << QPoint(4, 90);
    }

    void tabIntoTheTableShowsTheCurrentCell()
    {
        QFETCH(QList<QPoint>, selected);
        QFETCH(QPoint, current);
        MainWindow w;
        w.resize(1400, 1000);
        loadSomething(w);
        w.table->setCurrentIndex(QModelIndex());
        for (const QPoint &cell : selected)
            w.table->item(cell.y(), cell.x())->setSelected(true);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.backupsButton->setFocus(Qt::TabFocusReason);
        QTest::keyClick(w.backupsButton, Qt::Key_Tab);
        QTRY_VERIFY(w.table->hasFocus());
        QCOMPARE(QPoint(w.table->currentColumn(), w.table->currentRow()), current);
        QCOMPARE(w.table->selectedItems().size(), selected.size()); // the selection stays

        // The current cell is drawn: a line in the text's colour inside the cell, where the
        // same cell without the focus shows its plain colour.
        const QRect cell = w.table->visualRect(w.table->model()->index(current.y(), current.x()));
        auto pixelAt = [&w, &cell] {
            const QImage shot = w.table->viewport()->grab(cell).toImage();
            return shot.pixelColor(int(8 * shot.devicePixelRatio()), int(1 * shot.devicePixelRatio()));
        };
        const QColor focused = pixelAt();
        w.backupsButton->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(!w.table->hasFocus());
        QVERIFY2(pixelAt() != focused, qPrintable(focused.name()));

        // The first arrow moves from the cell shown.
        w.table->setFocus(Qt::TabFocusReason);
        QTest::keyClick(w.table, Qt::Key_Down);
        QCOMPARE(QPoint(w.table->currentColumn(), w.table->currentRow()), current + QPoint(0, 1));
    }

    void cellTooltipTellsWhereThePresetIs()
    {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QRect cell = w.table->visualItemRect(w.table->item(3, 1));
        auto hover = [&w, &cell] {
            QToolTip::hideText();
            QHelpEvent event(QEvent::ToolTip, cell.center(), w.table->viewport()->mapToGlobal(cell.center()));
            QCoreApplication::sendEvent(w.table->viewport(), &event);
        };
        hover();
        // Nothing loaded, nothing to tell about the cell (the table's own hint may show).
        QVERIFY(!QToolTip::isVisible() || !QToolTip::text().contains(QStringLiteral(" · ")));

        loadSomething(w);
        w.bankStore.at(1, 3).name = QStringLiteral("Renamed"); // the store, not the stale cell, is told
        hover();
        QTRY_VERIFY(QToolTip::isVisible());
        QVERIFY(QToolTip::text().contains(QStringLiteral("Renamed")));
        QVERIFY(QToolTip::text().contains(QString::fromUtf8("Bank 2 · preset 4")));
        QToolTip::hideText();
    }

    void commonAuthorAndCategory()
    {
        MainWindow w;
        loadSomething(w);
        auto &s = w.bankStore;
        s.at(1, 0).author = "";
        s.at(1, 1).author = "Tom";
        s.at(1, 2).author = "Tom";
        s.at(1, 0).category = 3;
        s.at(1, 1).category = 3;
        s.at(1, 2).category = 5;
        QLineEdit *author = w.detailView->shownAuthorEdit;
        QListWidget *list = w.detailView->categoryList;

        select(w, {{1, 1}, {1, 2}});
        QCOMPARE(author->text(), QStringLiteral("Tom"));
        select(w, {{1, 0}, {1, 1}, {1, 2}}); // empty author first
        QVERIFY(author->text().isEmpty());
        select(w, {{1, 1}, {1, 0}, {1, 2}}); // empty author second (in table order it is first again)
        QVERIFY(author->text().isEmpty());
        select(w, {{1, 1}, {1, 2}, {2, 0}}); // empty author last
        QVERIFY(author->text().isEmpty());

        select(w, {{1, 0}, {1, 1}});
        QCOMPARE(list->currentRow(), 3);
        // Adding a preset of another category leaves the list where it was.
        w.table->setRangeSelected(QTableWidgetSelectionRange(2, 1, 2, 1), true);
        QCOMPARE(list->currentRow(), 3);
        QCOMPARE(w.bankStore.at(1, 1).category, 3);
        w.table->clearSelection();
        QCOMPARE(list->currentRow(), -1);
        QVERIFY(author->text().isEmpty());
    }

    void standardKeysBesideTheSpecifiedOnes()
    {
        MainWindow w;
        loadSomething(w);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));

        int opened = 0;
        w.fileDialogs.openFileName = [&](QWidget *, const QString &, const QString &, const QString &) {
            ++opened;
            return QString();
        };
        QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(opened, 1);
        QString saveDialog;
        whenModalShows([&](QWidget *m) {
            saveDialog = QString::fromLatin1(m->metaObject()->className());
            QTest::keyClick(m, Qt::Key_Escape);
        });
        QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(saveDialog, QStringLiteral("BankSaveDialog"));

        // Delete edits text where text is edited, and deletes presets in the table.
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        select(w, {{2, 5}});
        w.table->setFocus();
        w.table->editItem(w.table->item(5, 2));
        auto *editor = w.table->viewport()->findChild<QLineEdit *>();
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_Home);
        QTest::keyClick(editor, Qt::Key_Delete);
        QCOMPARE(editor->text(), QStringLiteral("2-5"));
        QTest::keyClick(editor, Qt::Key_Escape);
        QCOMPARE(w.bankStore.at(2, 5).name, QStringLiteral("P2-5"));
        w.table->setFocus();
        QTest::keyClick(w.table, Qt::Key_Delete);
        QCOMPARE(w.bankStore.at(2, 5).name, QStringLiteral("empty"));

        QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.bankStore.at(2, 5).name, QStringLiteral("P2-5"));
        QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(w.bankStore.at(2, 5).name, QStringLiteral("empty"));
        QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(&w, Qt::Key_Y, Qt::ControlModifier); // the specified redo key stays
        QCOMPARE(w.bankStore.at(2, 5).name, QStringLiteral("empty"));

        // Ctrl+Q closes through the unsaved-changes prompt.
        QString shown;
        whenModalShows([&](QWidget *m) {
            shown = messageText(m);
            static_cast<QMessageBox *>(m)->button(QMessageBox::Cancel)->click();
        });
        QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(shown, QStringLiteral("The preset banks have unsaved changes."));
        QVERIFY(w.isVisible());
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        whenModalShows(
            [](QWidget *m) { static_cast<QMessageBox *>(m)->button(QMessageBox::Discard)->click(); });
        QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!w.isVisible());
    }

    void closePromptKeepsOrDiscards()
    {
        MainWindow w;
        loadSomething(w);
        w.show();
        QVERIFY(w.close()); // nothing modified: no prompt

        w.show();
        w.history.startNewGroup = true;
        w.recordUndo(3, 3);
        w.bankStore.at(3, 3).name = "changed";
        QVERIFY(w.modified);

        QString shown;
        whenModalShows([&](QWidget *m) {
            shown = messageText(m);
            static_cast<QMessageBox *>(m)->button(QMessageBox::Cancel)->click();
        });
        QVERIFY(!w.close());
        QCOMPARE(shown, QStringLiteral("The preset banks have unsaved changes."));
        QVERIFY(w.isVisible());
        QCOMPARE(w.bankStore.at(3, 3).name, QStringLiteral("changed"));

        whenModalShows([](QWidget *m) { QTest::keyClick(m, Qt::Key_Escape); });
        QVERIFY(!w.close());

        whenModalShows([](QWidget *m) {
            auto *box = static_cast<QMessageBox *>(m);
            QCOMPARE(box->defaultButton(), box->button(QMessageBox::Cancel));
            QCOMPARE(box->informativeText(), QStringLiteral("Do you want to save or export your changes?"));
            box->button(QMessageBox::Discard)->click();
        });
        QVERIFY(w.close());
    }

    void languageSwitchStoresAndAsks()
    {
        MainWindow w;
        QString shown;
        whenModalShows([&](QWidget *m) {
            shown = messageText(m);
            static_cast<QMessageBox *>(m)->button(QMessageBox::Ok)->click();
        });
        w.languageBox->setCurrentIndex(1);
        QCOMPARE(shown, QStringLiteral("Bitte starten Sie das Programm neu, um die Sprache anzupassen"));
        QCOMPARE(QSettings().value("language").toInt(), 1);
        // The running interface keeps its language.
        QCOMPARE(w.detailView->groupBox->title(), QStringLiteral("Author"));

        whenModalShows([&](QWidget *m) {
            shown = messageText(m);
            static_cast<QMessageBox *>(m)->button(QMessageBox::Ok)->click();
        });
        w.languageBox->setCurrentIndex(0);
        QCOMPARE(shown, QStringLiteral("Please restart the program to change the language."));
        QCOMPARE(QSettings().value("language").toInt(), 0);

        // Choosing the current entry again shows nothing and writes nothing.
        QSettings().remove("language");
        w.on_LangChanged(0);
        QVERIFY(!QSettings().contains("language"));
        QVERIFY(!QApplication::activeModalWidget());
    }

    void germanWindowWhenLanguageIsOne()
    {
        QSettings().setValue("language", 1);
        QTranslator app, qt;
        QVERIFY(Startup::installTranslators(1, app, qt));
        {
            MainWindow w;
            QCOMPARE(w.languageBox->currentText(), QStringLiteral("DE"));
            QCOMPARE(w.detailView->groupBox->title(), QStringLiteral("Autor"));
            QCOMPARE(w.detailView->groupBox_3->title(), QStringLiteral("Kategorien"));
            QCOMPARE(w.tr(":/pictures/save.png"), QStringLiteral(":/pictures/save_de.png"));
        }
        QCoreApplication::removeTranslator(&app);
        QCoreApplication::removeTranslator(&qt);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
