// What a screen reader hears from the panels: a name for every control, in German too,
// and combo boxes named by what they choose.
#include "common/germancatalogue.h"
#include "model/bankstore.h"
#include "views/accessiblenames.h"
#include "views/comparebar.h"
#include "views/comparepanel.h"
#include "views/detailview.h"
#include "views/librarypanel.h"
#include "views/presetcelldelegate.h"
#include "views/presetgrid.h"
#include "views/presettable.h"
#include "views/searchbar.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString heard(QObject *object, QAccessible::Text text = QAccessible::Name)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(text) : QString();
}

} // namespace

class TestAccessibleNames : public QObject
{
    Q_OBJECT

private slots:
    // Every control of the panels beside the table has a name, and every text they show or
    // speak has its German words.
    void everyControlOfThePanelsIsNamedInGerman()
    {
        QTemporaryDir dir;
        GermanOrMissing catalogue;
        QVERIFY(catalogue.load());
        QCoreApplication::installTranslator(&catalogue);
        {
            QWidget host;
            BankStore store;
            auto *table = new PresetGrid(PresetsPerBank, BankCount);
            PresetTable::setUp(table);
            auto *delegate = new PresetCellDelegate(&host);
            table->setItemDelegate(delegate);
            const QList<QWidget *> panels = {
                new DetailView(&host),
                new SearchBar(table, store, delegate, &host, &host),
                new CompareBar(&host),
                new ComparePanel(&host),
                new LibraryPanel(dir.filePath(QStringLiteral("library.db")), {dir.path()}, &host),
            };
            for (QWidget *panel : panels)
                for (QWidget *w : panel->findChildren<QWidget *>()) {
                    // Item views draw their own parts (corner button, editors) and name them.
                    bool inView = false;
                    for (QWidget *up = w->parentWidget(); up != panel; up = up->parentWidget())
                        inView = inView || qobject_cast<QAbstractItemView *>(up);
                    if (inView || (w->focusPolicy() == Qt::NoFocus && !qobject_cast<QAbstractButton *>(w)))
                        continue;
                    QVERIFY2(!heard(w).trimmed().isEmpty(),
                             qPrintable(QStringLiteral("%1 %2 in %3")
                                            .arg(QString::fromLatin1(w->metaObject()->className()),
                                                 w->objectName(),
                                                 QString::fromLatin1(panel->metaObject()->className()))));
                }
            delete table;
        }
        QCoreApplication::removeTranslator(&catalogue);
        QVERIFY2(catalogue.missing.isEmpty(), qPrintable(catalogue.missing.join(QLatin1Char('\n'))));
    }

    // A kept combo box is called by its name and read by its item; its list stays its child.
    void aKeptComboBoxIsNamedAndReadByItsItem()
    {
        QComboBox box;
        AccessibleNames::keepComboBoxName(&box);
        box.addItems({QStringLiteral("EN"), QStringLiteral("DE")});
        box.setAccessibleName(QStringLiteral("Language"));
        box.setCurrentIndex(1);
        QCOMPARE(heard(&box), QStringLiteral("Language"));
        QCOMPARE(heard(&box, QAccessible::Value), QStringLiteral("DE"));
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&box);
        QCOMPARE(iface->childCount(), 1);
        QCOMPARE(iface->child(0)->object(), static_cast<QObject *>(box.view()));

        QComboBox unnamed;
        AccessibleNames::keepComboBoxName(&unnamed);
        unnamed.addItem(QStringLiteral("EN"));
        QCOMPARE(heard(&unnamed), QStringLiteral("EN"));
    }
};

QTEST_MAIN(TestAccessibleNames)
#include "tst_accessiblenames.moc"
