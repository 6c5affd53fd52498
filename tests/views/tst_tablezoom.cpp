#include "model/bankstore.h"
#include "views/presetcelldelegate.h"
#include "views/presetgrid.h"
#include "views/presettable.h"
#include "views/tablezoom.h"

#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QSettings>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <memory>

namespace {

struct Rig
{
    QWidget window;
    BankStore store;
    PresetGrid *table = new PresetGrid(PresetsPerBank, BankCount);
    PresetCellDelegate *delegate = new PresetCellDelegate(&window);
    std::unique_ptr<TableZoom> zoom;

    explicit Rig(QSettings &settings)
    {
        store.fillEmptyBanks();
        PresetTable::setUp(table);
        table->setItemDelegate(delegate);
        PresetTable::rebuildMarkedCells(table, store);
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(table);
        window.resize(1000, 600);
        zoom = std::make_unique<TableZoom>(table, delegate, settings, &window);
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            qWarning("zoom window did not become active");
    }
    int width(int column) const { return table->columnWidth(column); }
    void wheel(int delta, Qt::KeyboardModifiers modifiers)
    {
        const QPointF at(50, 50);
        QWheelEvent event(at, table->viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(table->viewport(), &event);
    }
};

} // namespace

class TestTableZoom : public QObject
{
    Q_OBJECT

    std::unique_ptr<QSettings> settings;

private slots:
    void init()
    {
        settings = std::make_unique<QSettings>();
        settings->clear();
    }

    void keysAndWheelChangeAllColumnsWithinLimits()
    {
        Rig rig(*settings);
        QCOMPARE(rig.width(0), TableZoom::NormalWidth);
        QCOMPARE(rig.delegate->scale(), 1.0);
        const int rowHeight = rig.table->rowHeight(0);

        QTest::keyClick(&rig.window, Qt::Key_Plus, Qt::ControlModifier);
        const int wider = rig.width(15);
        QVERIFY(wider > TableZoom::NormalWidth);
        QCOMPARE(rig.width(0), wider);
        QVERIFY(rig.delegate->scale() > 1.0);
        QVERIFY(rig.table->rowHeight(127) > rowHeight); // the larger text still fits
        QCOMPARE(settings->value("columnwidth").toInt(), wider);

        QTest::keyClick(&rig.window, Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(rig.width(3), TableZoom::NormalWidth);

        // A wheel notch with Ctrl zooms and does not scroll; half notches add up; without Ctrl it scrolls.
        const int scrolled = rig.table->verticalScrollBar()->value();
        rig.wheel(60, Qt::ControlModifier);
        QCOMPARE(rig.width(0), TableZoom::NormalWidth);
        rig.wheel(60, Qt::ControlModifier);
        QCOMPARE(rig.width(0), wider);
        QCOMPARE(rig.table->verticalScrollBar()->value(), scrolled);
        rig.wheel(-120, Qt::NoModifier);
        QCOMPARE(rig.width(0), wider);

        for (int i = 0; i < 30; ++i)
            rig.zoom->zoomOut();
        QCOMPARE(rig.width(7), TableZoom::MinWidth);
        QVERIFY(rig.delegate->scale() >= 0.75);
        for (int i = 0; i < 30; ++i)
            rig.zoom->zoomIn();
        QCOMPARE(rig.width(7), TableZoom::MaxWidth);
    }

    void fitAllKeepsFittingAndIsRemembered()
    {
        {
            Rig rig(*settings);
            // Starting writes nothing: the settings file changes only when the user zooms.
            QVERIFY(!settings->contains("columnwidth"));
            QTest::keyClick(&rig.window, Qt::Key_0, Qt::ControlModifier);
            auto allFit = [&rig] {
                const int room = rig.table->viewport()->width();
                return 16 * rig.width(0) <= room && 16 * (rig.width(0) + 1) > room - 16;
            };
            QVERIFY(allFit());
            rig.window.resize(1400, 600);
            QTRY_VERIFY(allFit());
            QCOMPARE(settings->value("columnwidth").toInt(), 0);
        }
        settings->setValue("columnwidth", 130);
        Rig again(*settings);
        QCOMPARE(again.width(9), 130);
        settings->setValue("columnwidth", "junk");
        Rig junk(*settings);
        QCOMPARE(junk.width(9), TableZoom::NormalWidth);
    }

    void longTextStaysInsideItsCell()
    {
        // Centred text too wide for the cell used to lose both ends; now it ends in "…".
        PresetGrid table(1, BankCount);
        PresetTable::setUp(&table);
        PresetCellDelegate delegate;
        table.setItem(
            0, 0,
            new QTableWidgetItem(QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWWW\nMMMMMMMMMMMMMMMMMMMMMM\n0\n0")));
        QImage image(100, 30, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        QStyleOptionViewItem option;
        option.initFrom(&table);
        option.rect = image.rect();
        delegate.paint(&painter, option, table.model()->index(0, 0));
        painter.end();
        for (int y = 0; y < image.height(); ++y) {
            QCOMPARE(image.pixel(0, y), QColor(Qt::white).rgb());
            QCOMPARE(image.pixel(99, y), QColor(Qt::white).rgb());
        }
    }

    void toolTipTellsThePresetAndWhereItIs()
    {
        PresetRecord r;
        r.name = QStringLiteral("<Vintage> & Co");
        r.author = QStringLiteral("C. Duval");
        r.category = 4;
        const QString tip = PresetCellDelegate::toolTip(r, 4, 22);
        QVERIFY(tip.contains(QStringLiteral("&lt;Vintage&gt; &amp; Co"))); // a name is never markup
        QVERIFY(tip.contains(QStringLiteral("C. Duval")));
        QVERIFY(tip.contains(QStringLiteral("Jazz")));
        QVERIFY(tip.contains(QString::fromUtf8("Bank 5 · preset 23")));
    }
};

QTEST_MAIN(TestTableZoom)
#include "tst_tablezoom.moc"
