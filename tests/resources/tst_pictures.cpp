// The pictures the windows load from the embedded resources: present, at the size the layout
// reserves for them, and chosen correctly for the German interface.
#include "common/samepicture.h"
#include "views/panelwidgets.h"
#include "views/pictures.h"

#include <QApplication>
#include <QDirIterator>
#include <QImage>
#include <QTest>
#include <QTranslator>

namespace {

QString path(const QString &name)
{
    return QStringLiteral(":/pictures/%1.png").arg(name);
}

// Pictures with a German variant, and the translation context that picks it.
struct Localised
{
    const char *name;
    const char *context;
};
const Localised localised[] = {{"import", "MainWindow"},
                               {"export", "MainWindow"},
                               {"load", "MainWindow"},
                               {"save", "MainWindow"},
                               {"import_screen", "TransferDialog"},
                               {"export_screen", "TransferDialog"},
                               {"restore_screen", "TransferDialog"},
                               {"read_screen", "TransferDialog"}};

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    void everyPictureAtItsSize_data();
    void everyPictureAtItsSize();
    void germanVariantsCarryOtherCaptions();
    void panelShowsThroughLogosAndArrows();
    void germanCatalogueChoosesGermanPictures();
    void twinsShowTheirOwnPicture();
    void decodedCopiesMatchTheirPictures();
    void iconsTakeTheTwinWhenSharper();
    void pictureButtonShowsFocusAndPress();
};

void TestPictures::everyPictureAtItsSize_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    const QSize banner(200, 72);
    const QSize button(200, 150);
    const QSize arrow(18, 16);
    const QSize screen(320, 87);
    QTest::newRow("title") << "title" << banner;
    QTest::newRow("footer") << "footer" << banner;
    for (const char *name : {"import", "export", "load", "save"}) {
        QTest::newRow(name) << QString::fromLatin1(name) << button;
        QTest::newRow(QByteArray(name).append("_de").constData())
            << QString::fromLatin1(name) + "_de" << button;
    }
    QTest::newRow("undo") << "undo" << arrow;
    QTest::newRow("redo") << "redo" << arrow;
    for (const char *name : {"import_screen", "export_screen", "restore_screen", "read_screen"}) {
        QTest::newRow(name) << QString::fromLatin1(name) << screen;
        QTest::newRow(QByteArray(name).append("_de").constData())
            << QString::fromLatin1(name) + "_de" << screen;
    }
}

void TestPictures::everyPictureAtItsSize()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    const QImage image(path(name));
    QVERIFY2(!image.isNull(), qPrintable(path(name) + " is missing or unreadable"));
    QCOMPARE(image.size(), size);
    // The twin Qt loads by itself on high-DPI screens: the same picture with twice the pixels.
    const QImage twin(QStringLiteral(":/pictures/%1@2x.png").arg(name));
    QCOMPARE(twin.size(), size * 2);
}

void TestPictures::germanVariantsCarryOtherCaptions()
{
    // A German picture that is a copy of the English one would show the English caption.
    for (const Localised &l : localised) {
        const QString name = QString::fromLatin1(l.name);
        const QImage english = QImage(path(name)).convertToFormat(QImage::Format_ARGB32);
        const QImage german = QImage(path(name + "_de")).convertToFormat(QImage::Format_ARGB32);
        QVERIFY2(english != german, qPrintable(name + "_de shows the same picture as " + name));
    }
    QVERIFY(QImage(path("import")) != QImage(path("export")));
    QVERIFY(QImage(path("load")) != QImage(path("save")));
    QVERIFY(QImage(path("undo")) != QImage(path("redo")));
}

void TestPictures::panelShowsThroughLogosAndArrows()
{
    // These sit straight on the tool panel's gradient; an opaque background would show as a box.
    for (const char *name : {"title", "footer", "undo", "redo"}) {
        const QImage image = QImage(path(QString::fromLatin1(name))).convertToFormat(QImage::Format_ARGB32);
        QVERIFY2(image.hasAlphaChannel(), name);
        const int right = image.width() - 1;
        const int bottom = image.height() - 1;
        for (const QPoint corner : {QPoint(0, 0), QPoint(right, 0), QPoint(0, bottom), QPoint(right, bottom)})
            QVERIFY2(qAlpha(image.pixel(corner)) == 0, name);
        // ... and they are not empty either.
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                opaque += qAlpha(image.pixel(x, y)) > 200 ? 1 : 0;
        }
        QVERIFY2(opaque > image.width() * image.height() / 20, name);
    }
}

void TestPictures::germanCatalogueChoosesGermanPictures()
{
    QTranslator german;
    QVERIFY(german.load(QStringLiteral(":/translations/presetman_de")));
    for (const Localised &l : localised) {
        const QString english = path(QString::fromLatin1(l.name));
        const QString translated = german.translate(l.context, english.toUtf8().constData());
        QCOMPARE(translated, path(QString::fromLatin1(l.name) + "_de"));
        const QImage image(translated);
        QVERIFY2(!image.isNull(), qPrintable(translated));
        QCOMPARE(image.size(), QImage(english).size());
    }
    // The arrows carry no words: the German interface keeps them, so the lookup must not name another file.
    for (const char *name : {"undo", "redo"}) {
        const QString translated =
            german.translate("MainWindow", path(QString::fromLatin1(name)).toUtf8().constData());
        QVERIFY2(translated.isEmpty() || translated == path(QString::fromLatin1(name)),
                 qPrintable(translated));
    }
}

void TestPictures::twinsShowTheirOwnPicture()
{
    // Halved, each @2x twin is closer to its own picture than to any other of that size
    // (the German one included), so no twin shows another caption or language.
    auto difference = [](const QImage &a, const QImage &b) {
        qint64 sum = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                sum += qAbs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) +
                       qAbs(qAlpha(a.pixel(x, y)) - qAlpha(b.pixel(x, y)));
        return sum;
    };
    QStringList names = {"title", "footer", "undo", "redo"};
    for (const char *name : {"import", "export", "load", "save", "import_screen", "export_screen"})
        names << QString::fromLatin1(name) << QString::fromLatin1(name) + "_de";
    for (const QString &name : names) {
        const QImage own = QImage(path(name)).convertToFormat(QImage::Format_ARGB32);
        const QImage halved = QImage(QStringLiteral(":/pictures/%1@2x.png").arg(name))
                                  .scaled(own.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                  .convertToFormat(QImage::Format_ARGB32);
        const qint64 toOwn = difference(halved, own);
        for (const QString &other : names) {
            const QImage otherImage = QImage(path(other)).convertToFormat(QImage::Format_ARGB32);
            if (other != name && otherImage.size() == own.size())
                QVERIFY2(toOwn < difference(halved, otherImage),
                         qPrintable(name + "@2x looks like " + other));
        }
    }
}

void TestPictures::decodedCopiesMatchTheirPictures()
{
    // Every picture of the first window has its raw copy; none would be decoded at start.
    QStringList expected = {"title", "footer", "undo", "redo"};
    for (const char *name : {"import", "export", "load", "save"})
        expected << QString::fromLatin1(name) << QString::fromLatin1(name) + "_de";
    QStringList pngs;
    for (const QString &name : expected)
        pngs << path(name);
    for (int size : {16, 32, 48, 64})
        pngs << QStringLiteral(":/icons/hicolor/%1x%1/apps/example.quillmoth.OrvexPresetManager.png")
                    .arg(size);
    // ... and every raw copy there is shows its picture, pixel for pixel.
    for (const QString &folder : {QStringLiteral(":/pictures"), QStringLiteral(":/icons")}) {
        QDirIterator raw(folder, {QStringLiteral("*.argb")}, QDir::Files, QDirIterator::Subdirectories);
        while (raw.hasNext()) {
            QString png = raw.next();
            png.replace(QLatin1String(".argb"), QLatin1String(".png"));
            if (!pngs.contains(png))
                pngs << png;
        }
    }
    for (const QString &png : pngs) {
        const QImage decoded = Pictures::decoded(png);
        QVERIFY2(!decoded.isNull(), qPrintable(png + ": no raw copy"));
        QVERIFY2(samePicture(decoded, QImage(png)), qPrintable(png));
    }
    QVERIFY(Pictures::decoded(path("import_screen")).isNull()); // not shown at start: PNG only
}

void TestPictures::iconsTakeTheTwinWhenSharper()
{
    // Started on an ordinary screen, then shown on a sharper one: the twin, not a blown-up copy.
    const std::pair<const char *, QSize> cases[] = {{"undo", QSize(18, 16)}, {"import", QSize(200, 150)}};
    for (const auto &[name, size] : cases) {
        const QIcon icon = Pictures::icon(path(QString::fromLatin1(name)), 1.0);
        QVERIFY(samePicture(icon.pixmap(size, 1.0).toImage(), QImage(path(QString::fromLatin1(name)))));
        const QPixmap sharp = icon.pixmap(size, 2.0);
        QCOMPARE(sharp.size(), size * 2);
        QVERIFY2(samePicture(sharp.toImage(), QImage(QStringLiteral(":/pictures/%1@2x.png").arg(name))),
                 name);
        QCOMPARE(icon.pixmap(size, 1.0, QIcon::Disabled).size(), size);
    }
}

void TestPictures::pictureButtonShowsFocusAndPress()
{
    const QColor frame(0x8f, 0x8f, 0x91);
    PictureButton button(Pictures::icon(path("load"), 1.0), QSize(200, 150), 2, 20, frame);
    button.setFocusPolicy(Qt::StrongFocus);
    QCOMPARE(button.sizeHint(), QSize(207, 157));
    button.resize(button.sizeHint());
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    // The middle of the top edge lies on the frame; the corner is outside its rounding.
    auto at = [&button](int x, int y) { return button.grab().toImage().pixelColor(x, y); };
    const int mid = button.width() / 2;
    button.clearFocus();
    QCOMPARE(at(mid, 1), frame);
    QCOMPARE(at(0, 0), button.palette().color(QPalette::Window));
    button.activateWindow();
    button.setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(button.hasFocus());
    QCOMPARE(at(mid, 1), button.palette().color(QPalette::Highlight));
    auto brightness = [&button] {
        const QImage shot = button.grab().toImage();
        qint64 sum = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                sum += qGray(shot.pixel(x, y));
        return sum;
    };
    const qint64 idle = brightness();
    button.setDown(true);
    QVERIFY(brightness() < idle);
}

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
