// The detail view on its own: what its controls say to a screen reader and the mouse
// pointer, in English and German, and the limits its fields keep.
#include "model/categorytable.h"
#include "model/presetimage.h"
#include "model/presetrecord.h"
#include "views/detailview.h"
#include "views/presettable.h"

#include <QApplication>
#include <QListWidget>
#include <QTableWidget>
#include <QTest>
#include <QTranslator>

namespace {

// Accessible name and tool tip of each control the view describes.
QList<QPair<QString, QString>> descriptions(const DetailView &view)
{
    QList<QPair<QString, QString>> out;
    for (const QWidget *w :
         {static_cast<QWidget *>(view.shownAuthorEdit), static_cast<QWidget *>(view.takeAuthorButton),
          static_cast<QWidget *>(view.newAuthorEdit), static_cast<QWidget *>(view.assignAuthorButton),
          static_cast<QWidget *>(view.categoryList)})
        out.append({w->accessibleName(), w->toolTip()});
    return out;
}

} // namespace

class TestDetailView : public QObject
{
    Q_OBJECT

private slots:
    // The two ">>" buttons say what they do; every description is German in German.
    void everyControlIsDescribedInBothLanguages()
    {
        const QList<QPair<QString, QString>> english = descriptions(DetailView());
        QTranslator german;
        QVERIFY(german.load(QStringLiteral(":/translations/presetman_de")));
        QCoreApplication::installTranslator(&german);
        const QList<QPair<QString, QString>> translated = descriptions(DetailView());
        QCoreApplication::removeTranslator(&german);

        QCOMPARE(translated.size(), english.size());
        QSet<QString> names;
        for (int i = 0; i < english.size(); ++i) {
            const QString at = QString::number(i);
            QVERIFY2(!english[i].first.isEmpty() && !english[i].second.isEmpty(), qPrintable(at));
            QVERIFY2(english[i].first != QLatin1String(">>"), qPrintable(at));
            QVERIFY2(translated[i].first != english[i].first, qPrintable(english[i].first));
            QVERIFY2(translated[i].second != english[i].second, qPrintable(english[i].second));
            names.insert(english[i].first);
        }
        QCOMPARE(names.size(), english.size()); // no two controls share a name
    }

    // In German the bank headers and the category "empty" read German too; the other category
    // names are the module's own and stay.
    void headersAndEmptyCategoryInGerman()
    {
        QTranslator german;
        QVERIFY(german.load(QStringLiteral(":/translations/presetman_de")));
        QCoreApplication::installTranslator(&german);
        DetailView view;
        QTableWidget table(PresetsPerBank, BankCount);
        PresetTable::setUp(&table);
        QCoreApplication::removeTranslator(&german);
        QCOMPARE(view.categoryList->item(0)->text(), QStringLiteral("leer"));
        QCOMPARE(view.categoryList->item(13)->text(), QStringLiteral("Specials"));
        QCOMPARE(table.horizontalHeaderItem(0)->toolTip(), QStringLiteral("1: Werk"));
        QCOMPARE(table.horizontalHeaderItem(15)->toolTip(), QStringLiteral("16: Benutzer"));
        QCOMPARE(categoryDisplayName(0), QStringLiteral("empty"));
    }

    // The list offers every category in the order a preset stores them, and the author
    // typed takes no more than a preset holds.
    void categoriesInStoredOrderAndAuthorsCut()
    {
        DetailView view;
        QCOMPARE(view.categoryList->count(), CategoryCount);
        for (int i = 0; i < CategoryCount; ++i)
            QCOMPARE(view.categoryList->item(i)->text(), QString::fromLatin1(categoryTable[i].name));
        QTest::keyClicks(view.newAuthorEdit, QString(MaxPresetTextLength + 5, QLatin1Char('a')));
        QCOMPARE(int(view.newAuthorEdit->text().size()), MaxPresetTextLength);
    }
};

QTEST_MAIN(TestDetailView)
#include "tst_detailview.moc"
