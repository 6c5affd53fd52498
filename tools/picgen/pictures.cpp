#include "pictures.h"

#include "artwork.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>

using namespace artwork;

namespace {

const QSize buttonSize(200, 150);
const QSize bannerSize(200, 72);
const QSize arrowSize(18, 16);
const QSize screenSize(320, 87);

// The transfer dialog shows its picture in a label of 311 x 61 pixels, left-aligned and centred
// vertically, so only this part of a 320 x 87 picture is sure to be seen.
const QRectF screenVisible(0, 13, 311, 61);

// Button pictures sit inside a border with 20-pixel rounded corners: keep clear of the corners.
const QRectF moduleBox(18, 14, 164, 76);
const QRectF captionPill(14, 108, 172, 28);
const QRectF floppyBox(42, 10, 116, 116);

const QStringList transferCaptions = {QStringLiteral("Import from Orvex+"),
                                      QStringLiteral("Import von Orvex+"), QStringLiteral("Export to Orvex+"),
                                      QStringLiteral("Export zum Orvex+")};

qreal captionSize()
{
    return fittingSize(transferCaptions, captionPill.width() - 28, 15.5);
}

// Load and Save share one size per language, so the pair looks alike side by side.
qreal floppyLabelSize(const QStringList &languagePair)
{
    return fittingSize(languagePair, floppyBox.width() * 0.82 - 10, 22);
}

// Widths of the parts of a transfer-screen picture, inside the visible area.
const QRectF screenComputer(10, 19, 62, 52);
const QRectF screenFlow(82, 24, 116, 40);
const QRectF screenModule(206, 25, 100, 44);

qreal flowSize()
{
    return fittingSize(transferCaptions, screenFlow.width() + 4, 12.5);
}

Picture transferButton(const QString &name, const QString &caption, bool import)
{
    return {name, buttonSize, [caption, import](QPainter &p) {
                drawModule(p, moduleBox);
                drawBadge(p, QPointF(moduleBox.right() - 4, moduleBox.bottom() - 2), 14,
                          import ? colour::importGreen : colour::exportRed, import ? Arrow::Down : Arrow::Up);
                drawCaption(p, captionPill, caption, import ? colour::importGreen : colour::exportRed,
                            captionSize());
            }};
}

Picture fileButton(const QString &name, const QString &label, bool load, const QStringList &languagePair)
{
    return {name, buttonSize, [label, load, languagePair](QPainter &p) {
                drawFloppy(p, floppyBox, label, floppyLabelSize(languagePair));
                drawBadge(p, QPointF(floppyBox.right() - 2, floppyBox.bottom() - 2), 14, colour::brand,
                          load ? Arrow::Up : Arrow::Down);
            }};
}

Picture transferScreen(const QString &name, const QString &caption, bool import)
{
    return {name, screenSize, [caption, import](QPainter &p) {
                drawComputer(p, screenComputer);
                drawModule(p, screenModule);
                drawFlow(p, screenFlow, import ? Arrow::Left : Arrow::Right,
                         import ? colour::importGreen : colour::exportRed, caption, flowSize());
            }};
}

void fillWidgetGradient(QPainter &p, const QRectF &r)
{
    QLinearGradient g(r.topLeft(), r.topRight());
    g.setColorAt(0, QColor(0x80, 0x80, 0x80));
    g.setColorAt(1, QColor(0xc0, 0xc0, 0xc0));
    p.fillRect(r, g);
}

} // namespace

QList<Picture> pictureCatalogue()
{
    QList<Picture> list;
    list.append({QStringLiteral("title"), bannerSize,
                 [](QPainter &p) { drawProductLogo(p, QRectF(0, 0, 200, 72)); }});
    list.append(
        {QStringLiteral("footer"), bannerSize, [](QPainter &p) { drawMakerLogo(p, QRectF(4, 0, 192, 72)); }});
    list.append(transferButton(QStringLiteral("import"), QStringLiteral("Import from Orvex+"), true));
    list.append(transferButton(QStringLiteral("import_de"), QStringLiteral("Import von Orvex+"), true));
    list.append(transferButton(QStringLiteral("export"), QStringLiteral("Export to Orvex+"), false));
    list.append(transferButton(QStringLiteral("export_de"), QStringLiteral("Export zum Orvex+"), false));
    const QStringList english = {QStringLiteral("Load"), QStringLiteral("Save")};
    const QStringList german = {QStringLiteral("Laden"), QStringLiteral("Speichern")};
    list.append(fileButton(QStringLiteral("load"), english.at(0), true, english));
    list.append(fileButton(QStringLiteral("load_de"), german.at(0), true, german));
    list.append(fileButton(QStringLiteral("save"), english.at(1), false, english));
    list.append(fileButton(QStringLiteral("save_de"), german.at(1), false, german));
    list.append({QStringLiteral("undo"), arrowSize,
                 [](QPainter &p) { drawTurnArrow(p, QRectF(QPointF(0, 0), arrowSize), false); }});
    list.append({QStringLiteral("redo"), arrowSize,
                 [](QPainter &p) { drawTurnArrow(p, QRectF(QPointF(0, 0), arrowSize), true); }});
    list.append(transferScreen(QStringLiteral("import_screen"), QStringLiteral("Import from Orvex+"), true));
    list.append(
        transferScreen(QStringLiteral("import_screen_de"), QStringLiteral("Import von Orvex+"), true));
    list.append(transferScreen(QStringLiteral("export_screen"), QStringLiteral("Export to Orvex+"), false));
    list.append(
        transferScreen(QStringLiteral("export_screen_de"), QStringLiteral("Export zum Orvex+"), false));
    // A restore writes a backup; a read for a comparison takes nothing over.
    list.append(transferScreen(QStringLiteral("restore_screen"), QStringLiteral("Restore to Orvex+"), false));
    list.append(
        transferScreen(QStringLiteral("restore_screen_de"), QStringLiteral("Wiederherstellen"), false));
    list.append(transferScreen(QStringLiteral("read_screen"), QStringLiteral("Read from Orvex+"), true));
    list.append(transferScreen(QStringLiteral("read_screen_de"), QStringLiteral("Lesen von Orvex+"), true));
    return list;
}

QImage renderPicture(const Picture &picture, qreal devicePixelRatio)
{
    QImage image(picture.size * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    picture.draw(p);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage previewSheet(const QList<Picture> &pictures, const QList<QImage> &images)
{
    auto find = [&](const QString &name) {
        for (int i = 0; i < pictures.size(); ++i) {
            if (pictures.at(i).name == name)
                return images.at(i);
        }
        return QImage();
    };

    const int panelW = 226;
    const QSize sheet(24 + 2 * (panelW + 24) + 360 + 24, 960);
    QImage image(sheet, QImage::Format_ARGB32);
    image.fill(QColor(0xfa, 0xfa, 0xfb));
    QPainter p(&image);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    const QFont heading = font(15, QFont::Bold);
    const QFont note = font(11, QFont::Normal);

    // The tool panel as the main window lays it out, once per language.
    const QStringList suffixes = {QString(), QStringLiteral("_de")};
    const QStringList titles = {QStringLiteral("Tool panel, English"), QStringLiteral("Tool panel, German")};
    for (int lang = 0; lang < 2; ++lang) {
        const qreal x0 = 24 + lang * (panelW + 24);
        p.setFont(heading);
        p.setPen(colour::ink);
        p.drawText(QPointF(x0, 32), titles.at(lang));
        const QRectF panel(x0, 44, panelW, 892);
        fillWidgetGradient(p, panel);
        p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(panel.adjusted(0.5, 0.5, -0.5, -0.5));
        qreal y = panel.top() + 9;
        const qreal cx = panel.left() + 9;
        auto plain = [&](const QString &name) {
            const QImage img = find(name);
            const QRectF r(cx + 2, y, img.width(), img.height());
            fillWidgetGradient(p, r);
            p.drawImage(r.topLeft(), img);
            y += img.height() + 6;
        };
        auto framed = [&](const QString &name) {
            const QImage img = find(name + suffixes.at(lang));
            const QRectF r(cx, y, img.width() + 4, img.height() + 4);
            QPainterPath shape;
            shape.addRoundedRect(r.adjusted(1, 1, -1, -1), 20, 20);
            p.save();
            p.setClipPath(shape);
            fillWidgetGradient(p, r);
            p.drawImage(r.topLeft() + QPointF(2, 2), img);
            p.restore();
            p.setPen(QPen(QColor(0x8f, 0x8f, 0x91), 2));
            p.setBrush(Qt::NoBrush);
            p.drawPath(shape);
            y += r.height() + 6;
        };
        plain(QStringLiteral("title"));
        framed(QStringLiteral("import"));
        framed(QStringLiteral("export"));
        framed(QStringLiteral("load"));
        framed(QStringLiteral("save"));
        // Row: language box, undo, redo
        const QRectF combo(cx, y + 1, 40, 22);
        fillWidgetGradient(p, combo);
        p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1));
        p.drawRoundedRect(combo.adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
        p.setFont(font(11, QFont::Normal));
        p.setPen(Qt::black);
        p.drawText(combo.adjusted(5, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                   lang == 0 ? QStringLiteral("EN") : QStringLiteral("DE"));
        p.drawImage(QPointF(combo.right() + 8, y + 4), find(QStringLiteral("undo")));
        p.drawImage(QPointF(combo.right() + 8 + 18 + 8, y + 4), find(QStringLiteral("redo")));
        y += 24 + 6;
        plain(QStringLiteral("footer"));
    }

    // Transfer dialog pictures on the dialog's own background; the dashed frame is the part the
    // dialog's label shows.
    const qreal x1 = 24 + 2 * (panelW + 24);
    const QStringList screens = {QStringLiteral("import_screen"), QStringLiteral("import_screen_de"),
                                 QStringLiteral("export_screen"), QStringLiteral("export_screen_de")};
    p.setFont(heading);
    p.setPen(colour::ink);
    p.drawText(QPointF(x1, 32), QStringLiteral("Transfer dialog"));
    p.setFont(note);
    p.setPen(QColor(0x55, 0x5a, 0x62));
    p.drawText(QPointF(x1 + 132, 31), QStringLiteral("dashed: what the 311 x 61 label shows"));
    qreal y = 44;
    for (const QString &name : screens) {
        const QRectF bg(x1, y, 360, 112);
        p.fillRect(bg, QColor(0xef, 0xef, 0xef));
        const QPointF at(x1 + 20, y + 18);
        p.drawImage(at, find(name));
        p.setPen(QPen(QColor(0x20, 0x80, 0xd0, 140), 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(at + screenVisible.topLeft(), screenVisible.size()).adjusted(-0.5, -0.5, 0.5, 0.5));
        p.setFont(note);
        p.setPen(QColor(0x55, 0x5a, 0x62));
        p.drawText(QPointF(x1 + 4, y + 12), name + QStringLiteral(".png  320 x 87"));
        y += 124;
    }

    // The small arrows, four times enlarged on the panel's grey.
    p.setFont(heading);
    p.setPen(colour::ink);
    p.drawText(QPointF(x1, y + 18), QStringLiteral("Undo and redo, 4x"));
    const QRectF strip(x1, y + 30, 360, 96);
    fillWidgetGradient(p, strip);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(QRectF(x1 + 40, y + 46, 72, 64), find(QStringLiteral("undo")));
    p.drawImage(QRectF(x1 + 140, y + 46, 72, 64), find(QStringLiteral("redo")));
    p.drawImage(QPointF(x1 + 260, y + 70), find(QStringLiteral("undo")));
    p.drawImage(QPointF(x1 + 290, y + 70), find(QStringLiteral("redo")));
    y += 140;

    p.setFont(note);
    p.setPen(QColor(0x55, 0x5a, 0x62));
    qreal ly = y + 8;
    for (const Picture &pic : pictures) {
        p.drawText(QPointF(x1, ly), QStringLiteral(":/pictures/%1.png  %2 x %3")
                                        .arg(pic.name)
                                        .arg(pic.size.width())
                                        .arg(pic.size.height()));
        ly += 15;
    }
    p.end();
    return image;
}
