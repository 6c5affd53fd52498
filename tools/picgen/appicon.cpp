#include "appicon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace AppIcon {

namespace {

// A filled outline with a vertical gradient over its bounding box (top == bottom: a plain fill).
struct Shape
{
    QPainterPath path;
    QColor top;
    QColor bottom;
};

QPainterPath roundedRect(const QRectF &r, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

QList<Shape> shapes()
{
    QList<Shape> list;
    // Body: a dark, slightly raised tile like the module's front panel.
    list.append(
        {roundedRect(QRectF(12, 12, 232, 232), 52), QColor(0x3a, 0x43, 0x50), QColor(0x15, 0x19, 0x20)});
    // The preset grid: four banks by three presets in category colours.
    const QColor cells[] = {QColor(0x99, 0xE6, 0x00), QColor(0xB3, 0x33, 0x80), QColor(0x80, 0x80, 0xB3),
                            QColor(0xA4, 0x80, 0x33), QColor(0xAE, 0x4D, 0x66), QColor(0x99, 0xCC, 0x00),
                            QColor(0x80, 0x66, 0x99), QColor(0xFF, 0xFF, 0xFF), QColor(0x9F, 0x99, 0x1A),
                            QColor(0xA6, 0x40, 0x86), QColor(0xA9, 0x66, 0x4D), QColor(0x80, 0x73, 0xA6)};
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col) {
            const QColor c = cells[row * 4 + col];
            list.append({roundedRect(QRectF(40 + col * 46, 44 + row * 40, 40, 32), 7), c.lighter(112), c});
        }
    // The "+" badge in the product's accent, on a light disc that lifts it off the grid.
    QPainterPath disc;
    disc.addEllipse(QPointF(178, 184), 54, 54);
    list.append({disc, QColor(0xf4, 0xf6, 0xf9), QColor(0xc9, 0xcf, 0xd8)});
    QPainterPath ring;
    ring.addEllipse(QPointF(178, 184), 46, 46);
    list.append({ring, QColor(0x3f, 0x96, 0xf0), QColor(0x17, 0x5f, 0xb8)});
    QPainterPath plus;
    plus.addRoundedRect(QRectF(170, 152, 16, 64), 4, 4);
    plus.addRoundedRect(QRectF(146, 176, 64, 16), 4, 4);
    plus.setFillRule(Qt::WindingFill);
    list.append({plus.simplified(), Qt::white, QColor(0xe6, 0xee, 0xf8)});
    return list;
}

QLinearGradient gradientOf(const Shape &s)
{
    const QRectF r = s.path.boundingRect();
    QLinearGradient g(QPointF(0, r.top()), QPointF(0, r.bottom()));
    g.setColorAt(0, s.top);
    g.setColorAt(1, s.bottom);
    return g;
}

QByteArray number(qreal v)
{
    QByteArray text = QByteArray::number(v, 'f', 2);
    while (text.endsWith('0'))
        text.chop(1);
    if (text.endsWith('.'))
        text.chop(1);
    return text;
}

QByteArray pathData(const QPainterPath &path)
{
    QByteArray d;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            d += (d.isEmpty() ? "M" : "ZM") + number(e.x) + ' ' + number(e.y);
            break;
        case QPainterPath::LineToElement:
            d += 'L' + number(e.x) + ' ' + number(e.y);
            break;
        case QPainterPath::CurveToElement:
            d += 'C' + number(e.x) + ' ' + number(e.y);
            break;
        case QPainterPath::CurveToDataElement:
            d += ' ' + number(e.x) + ' ' + number(e.y);
            break;
        }
    }
    return d + 'Z';
}

QByteArray hex(const QColor &c)
{
    return c.name(QColor::HexRgb).toLatin1();
}

} // namespace

const QList<int> &pngSizes()
{
    static const QList<int> sizes = {16, 22, 24, 32, 48, 64, 128, 256};
    return sizes;
}

QImage render(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(qreal(size) / DesignSize, qreal(size) / DesignSize);
    p.setPen(Qt::NoPen);
    for (const Shape &s : shapes()) {
        p.setBrush(gradientOf(s));
        p.drawPath(s.path);
    }
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QByteArray svg()
{
    QByteArray defs;
    QByteArray body;
    int n = 0;
    for (const Shape &s : shapes()) {
        const QRectF r = s.path.boundingRect();
        const QByteArray id = "g" + QByteArray::number(n++);
        defs += "  <linearGradient id=\"" + id + "\" gradientUnits=\"userSpaceOnUse\" x1=\"0\" y1=\"" +
                number(r.top()) + "\" x2=\"0\" y2=\"" + number(r.bottom()) + "\">" +
                "<stop offset=\"0\" stop-color=\"" + hex(s.top) + "\"/><stop offset=\"1\" stop-color=\"" +
                hex(s.bottom) + "\"/></linearGradient>\n";
        body += "  <path fill=\"url(#" + id + ")\"";
        if (s.path.fillRule() == Qt::OddEvenFill)
            body += " fill-rule=\"evenodd\"";
        body += " d=\"" + pathData(s.path) + "\"/>\n";
    }
    const QByteArray size = QByteArray::number(DesignSize);
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + size + "\" height=\"" + size +
           "\" viewBox=\"0 0 " + size + ' ' + size + "\">\n <defs>\n" + defs + " </defs>\n" + body +
           "</svg>\n";
}

} // namespace AppIcon
