// Presets dragged from the library: what a drop takes back, and what it refuses.
#include "model/presetimage.h"
#include "views/librarymime.h"

#include <QDataStream>
#include <QIODevice>
#include <QTest>

namespace {

PresetRecord record(const QString &name, int category, uint8_t fill)
{
    PresetRecord r;
    r.name = name;
    r.author = QStringLiteral("Ann");
    r.category = category;
    r.params.fill(fill);
    return r;
}

QByteArray countOnly(qint32 count)
{
    QByteArray data;
    QDataStream(&data, QIODevice::WriteOnly) << count;
    return data;
}

} // namespace

class TestLibraryMime : public QObject
{
    Q_OBJECT

private slots:
    void aDropTakesBackWhatWasDragged()
    {
        const QVector<PresetRecord> dragged = {record(QString::fromUtf8("Gl\xC3\xA4ser"), 13, 0x7f),
                                               record(QString(), 0, 0)};
        const QVector<PresetRecord> dropped = LibraryMime::decode(LibraryMime::encode(dragged));
        QCOMPARE(dropped.size(), dragged.size());
        for (int i = 0; i < dragged.size(); ++i) {
            QCOMPARE(dropped[i].name, dragged[i].name);
            QCOMPARE(dropped[i].author, dragged[i].author);
            QCOMPARE(dropped[i].category, dragged[i].category);
            QVERIFY(dropped[i].params == dragged[i].params);
        }
    }

    // Data another program (or a damaged drag) offers under the same type drops nothing.
    void damagedDataDropsNothing_data()
    {
        QTest::addColumn<QByteArray>("data");
        const QByteArray two =
            LibraryMime::encode({record(QStringLiteral("a"), 1, 1), record(QStringLiteral("b"), 2, 2)});
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("cut in the count") << two.left(2);
        QTest::newRow("cut in the last preset") << two.left(two.size() - 1);
        QTest::newRow("a negative count") << countOnly(-1);
        QTest::newRow("more than a bank") << countOnly(PresetsPerBank + 1);
        QTest::newRow("a count without presets") << countOnly(3);
    }
    void damagedDataDropsNothing()
    {
        QFETCH(QByteArray, data);
        QVERIFY(LibraryMime::decode(data).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLibraryMime)
#include "tst_librarymime.moc"
