#include "artwork.h"

#include <QConicalGradient>
#include <QFontMetricsF>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <vector>

namespace artwork {

namespace {

// One horizontal or vertical pass of a box blur over premultiplied ARGB pixels.
void boxBlurPass(QImage &img, int half, bool horizontal)
{
    const int w = img.width();
    const int h = img.height();
    const int lines = horizontal ? h : w;
    const int length = horizontal ? w : h;
    std::vector<quint32> line(static_cast<size_t>(length));
    for (int l = 0; l < lines; ++l) {
        auto at = [&](int i) -> QRgb & {
            return horizontal ? reinterpret_cast<QRgb *>(img.scanLine(l))[i]
                              : reinterpret_cast<QRgb *>(img.scanLine(i))[l];
        };
        for (int i = 0; i < length; ++i)
            line[static_cast<size_t>(i)] = at(i);
        int sum[4] = {0, 0, 0, 0};
        auto add = [&](int i, int sign) {
            if (i < 0 || i >= length)
                return;
            const quint32 px = line[static_cast<size_t>(i)];
            for (int c = 0; c < 4; ++c)
                sum[c] += sign * static_cast<int>((px >> (8 * c)) & 0xff);
        };
        for (int i = -half; i <= half; ++i)
            add(i, 1);
        const int n = 2 * half + 1;
        for (int i = 0; i < length; ++i) {
            quint32 px = 0;
            for (int c = 0; c < 4; ++c)
                px |= static_cast<quint32>(sum[c] / n) << (8 * c);
            at(i) = px;
            add(i - half, -1);
            add(i + half + 1, 1);
        }
    }
}

QColor mix(const QColor &a, const QColor &b, qreal t)
{
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t,
                            a.alphaF() + (b.alphaF() - a.alphaF()) * t);
}

QLinearGradient vertical(const QRectF &r, const QColor &top, const QColor &bottom)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

QPainterPath roundedRect(const QRectF &r, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

// Dark rubber knob with a white pointer; the small knobs of the module.
void drawKnob(QPainter &p, QPointF c, qreal r, qreal angleDeg)
{
    QPainterPath body;
    body.addEllipse(c, r, r);
    softShadow(p, body, r * 0.5, QPointF(0, r * 0.25), QColor(0, 0, 0, 120));
    QRadialGradient g(c - QPointF(r * 0.35, r * 0.45), r * 1.6);
    g.setColorAt(0, QColor(0x6b, 0x71, 0x7b));
    g.setColorAt(0.55, QColor(0x2c, 0x30, 0x36));
    g.setColorAt(1, QColor(0x15, 0x17, 0x1b));
    p.setPen(QPen(QColor(0x0b, 0x0c, 0x0e), std::max(0.6, r * 0.1)));
    p.setBrush(g);
    p.drawPath(body);
    const qreal a = qDegreesToRadians(angleDeg);
    const QPointF dir(std::sin(a), -std::cos(a));
    p.setPen(QPen(QColor(0xf2, 0xf4, 0xf7), std::max(0.9, r * 0.22), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + dir * (r * 0.25), c + dir * (r * 0.78));
}

// Brushed-aluminium encoder, the module's main control.
void drawEncoder(QPainter &p, QPointF c, qreal r)
{
    QPainterPath outer;
    outer.addEllipse(c, r, r);
    softShadow(p, outer, r * 0.45, QPointF(0, r * 0.2), QColor(0, 0, 0, 140));
    QLinearGradient rim(c - QPointF(r, r), c + QPointF(r, r));
    rim.setColorAt(0, QColor(0xf6, 0xf7, 0xf9));
    rim.setColorAt(0.5, QColor(0x9c, 0xa2, 0xab));
    rim.setColorAt(1, QColor(0x50, 0x55, 0x5d));
    p.setPen(QPen(QColor(0x18, 0x1a, 0x1e), std::max(0.7, r * 0.06)));
    p.setBrush(rim);
    p.drawPath(outer);
    const qreal ri = r * 0.74;
    QConicalGradient face(c, 45);
    face.setColorAt(0.00, QColor(0xe4, 0xe7, 0xeb));
    face.setColorAt(0.25, QColor(0xa7, 0xad, 0xb5));
    face.setColorAt(0.50, QColor(0xec, 0xee, 0xf1));
    face.setColorAt(0.75, QColor(0x9a, 0xa0, 0xa9));
    face.setColorAt(1.00, QColor(0xe4, 0xe7, 0xeb));
    p.setPen(QPen(QColor(255, 255, 255, 150), std::max(0.5, r * 0.03)));
    p.setBrush(face);
    p.drawEllipse(c, ri, ri);
    // Finger dimple
    const QPointF dimple = c + QPointF(r * 0.32, -r * 0.32);
    QRadialGradient dg(dimple - QPointF(r * 0.05, r * 0.05), r * 0.2);
    dg.setColorAt(0, QColor(0x6e, 0x74, 0x7d));
    dg.setColorAt(1, QColor(0xb8, 0xbd, 0xc4));
    p.setPen(Qt::NoPen);
    p.setBrush(dg);
    p.drawEllipse(dimple, r * 0.15, r * 0.15);
}

void drawLed(QPainter &p, QPointF c, qreal r, const QColor &colour, bool lit)
{
    if (lit) {
        QRadialGradient glow(c, r * 3);
        QColor halo = colour;
        halo.setAlpha(110);
        glow.setColorAt(0, halo);
        halo.setAlpha(0);
        glow.setColorAt(1, halo);
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(c, r * 3, r * 3);
    }
    QRadialGradient g(c - QPointF(r * 0.3, r * 0.3), r * 1.2);
    g.setColorAt(0, lit ? colour.lighter(170) : QColor(0x50, 0x50, 0x50));
    g.setColorAt(1, lit ? colour : QColor(0x22, 0x22, 0x22));
    p.setPen(QPen(QColor(0, 0, 0, 160), r * 0.3));
    p.setBrush(g);
    p.drawEllipse(c, r, r);
}

// A feather-shaped wing from root to tip; width is its greatest half-width.
void drawFeatherWing(QPainter &p, QPointF root, QPointF tip, qreal width, const QColor &inner,
                     const QColor &outer)
{
    const QPointF axis = tip - root;
    const qreal len = std::hypot(axis.x(), axis.y());
    const QPointF u = axis / len;
    const QPointF n(-u.y(), u.x());
    QPainterPath wing;
    wing.moveTo(root);
    wing.cubicTo(root + u * (len * 0.25) + n * (width * 1.1), root + u * (len * 0.8) + n * (width * 0.9),
                 tip);
    wing.cubicTo(root + u * (len * 0.85) - n * (width * 0.7), root + u * (len * 0.3) - n * (width * 1.0),
                 root);
    QLinearGradient g(root, tip);
    g.setColorAt(0, inner);
    g.setColorAt(1, outer);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(wing);
    // Barbs of the feather, clipped to the wing.
    p.save();
    p.setClipPath(wing, Qt::IntersectClip);
    p.setPen(QPen(QColor(255, 255, 255, 60), std::max(0.6, width * 0.08)));
    for (int i = 1; i < 7; ++i) {
        const QPointF on = root + u * (len * (0.12 + i * 0.13));
        p.drawLine(on, on - u * (len * 0.18) + n * (width * 1.4));
        p.drawLine(on, on - u * (len * 0.18) - n * (width * 1.4));
    }
    p.restore();
    p.setPen(QPen(colour::makerGold, std::max(0.8, width * 0.12), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(root + u * (len * 0.05), root + u * (len * 0.92));
}

} // namespace

QFont font(qreal pixelSize, QFont::Weight weight, qreal letterSpacing)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    f.setPixelSize(std::max(1, qRound(pixelSize)));
    f.setWeight(weight);
    f.setStyleStrategy(QFont::PreferAntialias);
    f.setHintingPreference(QFont::PreferNoHinting);
    if (letterSpacing != 0)
        f.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing);
    return f;
}

qreal fittingSize(const QStringList &texts, qreal width, qreal maxSize, QFont::Weight weight,
                  qreal letterSpacing)
{
    for (qreal size = maxSize; size > 6; size -= 0.5) {
        const QFontMetricsF fm(font(size, weight, letterSpacing));
        const bool fits = std::all_of(texts.begin(), texts.end(),
                                      [&](const QString &t) { return fm.horizontalAdvance(t) <= width; });
        if (fits)
            return size;
    }
    return 6;
}

void softShadow(QPainter &p, const QPainterPath &shape, qreal radius, QPointF offset, const QColor &colour)
{
    const int pad = static_cast<int>(std::ceil(radius * 2)) + 2;
    const QRect bounds = shape.boundingRect().toAlignedRect().adjusted(-pad, -pad, pad, pad);
    // Blurred at the target's own resolution, so @2x pictures get a smooth shadow too.
    const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    QImage img(bounds.size() * dpr, QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(dpr);
    img.fill(Qt::transparent);
    {
        QPainter ip(&img);
        ip.setRenderHint(QPainter::Antialiasing);
        ip.translate(-bounds.topLeft());
        ip.fillPath(shape, colour);
    }
    const int half = std::max(1, qRound(radius * dpr / 2));
    for (int i = 0; i < 3; ++i) {
        boxBlurPass(img, half, true);
        boxBlurPass(img, half, false);
    }
    p.drawImage(QPointF(bounds.topLeft()) + offset, img);
}

QPainterPath textPath(const QString &text, const QFont &f, QPointF baselineCentre)
{
    QPainterPath path;
    path.addText(0, 0, f, text);
    const QFontMetricsF fm(f);
    path.translate(baselineCentre.x() - fm.horizontalAdvance(text) / 2, baselineCentre.y());
    return path;
}

void drawModule(QPainter &p, const QRectF &box)
{
    p.save();
    const qreal w = box.width();
    const qreal h = box.height();
    const qreal topH = h * 0.17;
    const qreal inset = w * 0.03;
    const qreal radius = h * 0.06;
    const QRectF front(box.left(), box.top() + topH, w, h - topH);

    QPainterPath top;
    top.moveTo(box.left() + inset + radius, box.top());
    top.lineTo(box.right() - inset - radius, box.top());
    top.quadTo(box.right() - inset, box.top(), box.right() - inset * 0.8, box.top() + radius * 0.5);
    top.lineTo(box.right(), front.top() + radius);
    top.lineTo(box.left(), front.top() + radius);
    top.lineTo(box.left() + inset * 0.8, box.top() + radius * 0.5);
    top.quadTo(box.left() + inset, box.top(), box.left() + inset + radius, box.top());
    top.closeSubpath();
    const QPainterPath frontPath = roundedRect(front, radius);

    softShadow(p, frontPath.united(top), h * 0.1, QPointF(0, h * 0.09), QColor(0, 0, 0, 130));

    p.setPen(QPen(QColor(0x14, 0x16, 0x19), 0.8));
    p.setBrush(
        vertical(QRectF(box.topLeft(), QSizeF(w, topH)), QColor(0x7a, 0x80, 0x8a), QColor(0x4a, 0x4f, 0x57)));
    p.drawPath(top);

    // Side cheeks framing the front panel.
    const qreal cw = w * 0.055;
    p.setBrush(vertical(front, QColor(0x52, 0x57, 0x60), QColor(0x22, 0x25, 0x2a)));
    p.drawPath(frontPath);
    const QRectF panel = front.adjusted(cw, h * 0.012, -cw, -h * 0.012);
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(panel, QColor(0x3b, 0x40, 0x48), QColor(0x1c, 0x1f, 0x24)));
    p.drawRect(panel);
    p.setPen(QPen(QColor(255, 255, 255, 55), 0.8));
    p.drawLine(panel.topLeft() + QPointF(0, 0.5), panel.topRight() + QPointF(0, 0.5));
    p.setPen(QPen(QColor(0, 0, 0, 110), 0.8));
    p.drawLine(panel.topLeft(), panel.bottomLeft());
    p.drawLine(panel.topRight(), panel.bottomRight());

    const qreal pad = panel.height() * 0.12;
    const QRectF inner = panel.adjusted(pad, pad, -pad, -pad);

    // Name plate
    const qreal nameSize = std::max(5.5, inner.height() * 0.17);
    QFont nameFont = font(nameSize, QFont::Black, nameSize * 0.06);
    nameFont.setItalic(true);
    const QFontMetricsF nfm(nameFont);
    const QPointF nameAt(inner.left(), inner.top() + nfm.ascent() * 0.92);
    p.setFont(nameFont);
    p.setPen(QColor(0xdc, 0xe1, 0xe8));
    p.drawText(nameAt, QStringLiteral("ORVEX"));
    p.setPen(colour::brand.lighter(125));
    p.drawText(nameAt + QPointF(nfm.horizontalAdvance(QStringLiteral("ORVEX")), 0), QStringLiteral("+"));

    // Display
    const QRectF lcd(inner.left(), inner.top() + inner.height() * 0.3, inner.width() * 0.37,
                     inner.height() * 0.44);
    p.setPen(QPen(QColor(0x0a, 0x0b, 0x0d), 1.0));
    p.setBrush(QColor(0x0e, 0x10, 0x13));
    p.drawRoundedRect(lcd.adjusted(-1, -1, 1, 1), 1.5, 1.5);
    const QRectF glass = lcd.adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(glass, QColor(0x13, 0x4a, 0x63), QColor(0x0a, 0x2a, 0x3a)));
    p.drawRect(glass);
    p.save();
    p.setClipRect(glass);
    const qreal lcdSize = std::max(5.5, glass.height() * 0.42);
    p.setFont(font(lcdSize, QFont::Bold));
    p.setPen(colour::lcdText);
    const QFontMetricsF lfm(p.font());
    p.drawText(
        QPointF(glass.left() + glass.width() * 0.08, glass.top() + glass.height() * 0.12 + lfm.ascent()),
        QStringLiteral("A001"));
    // Envelope of the current preset
    QPainterPath env;
    const QRectF er(glass.left() + glass.width() * 0.5, glass.top() + glass.height() * 0.2,
                    glass.width() * 0.42, glass.height() * 0.45);
    env.moveTo(er.left(), er.bottom());
    env.lineTo(er.left() + er.width() * 0.15, er.top());
    env.lineTo(er.left() + er.width() * 0.4, er.top() + er.height() * 0.45);
    env.lineTo(er.left() + er.width() * 0.75, er.top() + er.height() * 0.45);
    env.lineTo(er.right(), er.bottom());
    p.setPen(QPen(colour::lcdText, std::max(0.8, glass.height() * 0.07), Qt::SolidLine, Qt::RoundCap,
                  Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(env);
    QColor dim = colour::lcdText;
    dim.setAlpha(120);
    p.setPen(Qt::NoPen);
    p.setBrush(dim);
    const qreal barY = glass.top() + glass.height() * 0.78;
    for (int i = 0; i < 8; ++i) {
        const qreal bw = glass.width() * 0.085;
        p.drawRect(
            QRectF(glass.left() + glass.width() * 0.08 + i * bw * 1.25, barY, bw, glass.height() * 0.1));
    }
    p.setBrush(QColor(255, 255, 255, 28));
    QPainterPath sheen;
    sheen.moveTo(glass.topLeft());
    sheen.lineTo(glass.topRight());
    sheen.lineTo(glass.right(), glass.top() + glass.height() * 0.3);
    sheen.lineTo(glass.left(), glass.top() + glass.height() * 0.55);
    p.drawPath(sheen);
    p.restore();

    // Buttons under the display
    const qreal btnH = inner.height() * 0.13;
    const qreal btnY = lcd.bottom() + inner.height() * 0.1;
    const qreal btnW = lcd.width() * 0.22;
    for (int i = 0; i < 4; ++i) {
        const QRectF b(lcd.left() + i * (lcd.width() - btnW) / 3, btnY, btnW, btnH);
        p.setPen(QPen(QColor(0x0c, 0x0d, 0x10), 0.7));
        p.setBrush(vertical(b, QColor(0x8c, 0x92, 0x9b), QColor(0x55, 0x5a, 0x62)));
        p.drawRoundedRect(b, btnH * 0.3, btnH * 0.3);
    }

    // Encoder and two rows of parameter knobs
    const qreal er2 = inner.height() * 0.33;
    const QPointF encoder(inner.right() - er2, inner.center().y() + inner.height() * 0.04);
    const qreal knobsLeft = lcd.right() + inner.width() * 0.06;
    const qreal knobsRight = encoder.x() - er2 - inner.width() * 0.05;
    const qreal kr = inner.height() * 0.12;
    const qreal angles[2][3] = {{-120, -30, 60}, {20, -80, 110}};
    for (int row = 0; row < 2; ++row) {
        const qreal y = inner.top() + inner.height() * (row == 0 ? 0.3 : 0.74);
        for (int col = 0; col < 3; ++col) {
            const qreal x = knobsLeft + kr + col * (knobsRight - knobsLeft - 2 * kr) / 2;
            drawKnob(p, QPointF(x, y), kr, angles[row][col]);
        }
    }
    drawEncoder(p, encoder, er2);
    drawLed(p, QPointF(encoder.x() - er2 * 0.95, inner.top() + inner.height() * 0.05),
            std::max(0.9, inner.height() * 0.045), QColor(0x4c, 0xe0, 0x6a), true);
    p.restore();
}

void drawFloppy(QPainter &p, const QRectF &box, const QString &label, qreal labelSize)
{
    p.save();
    const qreal w = box.width();
    const qreal h = box.height();
    const qreal r = w * 0.05;
    const qreal chamfer = w * 0.075;
    QPainterPath body;
    body.moveTo(box.left() + r, box.top());
    body.lineTo(box.right() - chamfer, box.top());
    body.lineTo(box.right(), box.top() + chamfer);
    body.lineTo(box.right(), box.bottom() - r);
    body.quadTo(box.right(), box.bottom(), box.right() - r, box.bottom());
    body.lineTo(box.left() + r, box.bottom());
    body.quadTo(box.left(), box.bottom(), box.left(), box.bottom() - r);
    body.lineTo(box.left(), box.top() + r);
    body.quadTo(box.left(), box.top(), box.left() + r, box.top());
    body.closeSubpath();

    softShadow(p, body, w * 0.07, QPointF(0, w * 0.05), QColor(0, 0, 0, 130));
    p.setPen(QPen(QColor(0x10, 0x12, 0x15), 1.0));
    p.setBrush(vertical(box, QColor(0x45, 0x4b, 0x55), QColor(0x1e, 0x21, 0x26)));
    p.drawPath(body);
    // Moulded rim just inside the edge
    p.setPen(QPen(QColor(255, 255, 255, 40), 1.0));
    p.setBrush(Qt::NoBrush);
    QTransform rim;
    rim.translate(box.center().x(), box.center().y());
    rim.scale((w - 5) / w, (h - 5) / h);
    rim.translate(-box.center().x(), -box.center().y());
    p.drawPath(rim.map(body));

    // Metal shutter with its window
    const QRectF shutter(box.left() + w * 0.22, box.top() - 0.5, w * 0.52, h * 0.36);
    QLinearGradient metal(shutter.topLeft(), shutter.topRight());
    metal.setColorAt(0, QColor(0xb7, 0xbd, 0xc6));
    metal.setColorAt(0.35, QColor(0xf1, 0xf3, 0xf6));
    metal.setColorAt(0.7, QColor(0xc4, 0xc9, 0xd0));
    metal.setColorAt(1, QColor(0x97, 0x9e, 0xa8));
    QPainterPath shutterPath;
    shutterPath.addRoundedRect(shutter, w * 0.02, w * 0.02);
    p.setPen(QPen(QColor(0x3a, 0x3f, 0x47), 0.8));
    p.setBrush(metal);
    p.drawPath(shutterPath);
    const QRectF window(shutter.left() + shutter.width() * 0.58, shutter.top() + shutter.height() * 0.16,
                        shutter.width() * 0.22, shutter.height() * 0.66);
    p.setPen(QPen(QColor(0x55, 0x5b, 0x64), 0.8));
    p.setBrush(vertical(window, QColor(0x15, 0x17, 0x1a), QColor(0x3a, 0x3e, 0x45)));
    p.drawRoundedRect(window, 1.5, 1.5);

    // Write-protect holes
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x0c, 0x0d, 0x0f));
    const qreal hole = w * 0.045;
    p.drawRect(QRectF(box.left() + w * 0.03, box.bottom() - h * 0.04 - hole, hole, hole));
    p.drawRect(QRectF(box.right() - w * 0.03 - hole, box.bottom() - h * 0.04 - hole, hole, hole));

    // Paper label with the caption written on it
    const QRectF paper(box.left() + w * 0.09, box.top() + h * 0.45, w * 0.82, h * 0.55 - h * 0.015);
    QPainterPath paperPath;
    paperPath.addRoundedRect(paper, w * 0.02, w * 0.02);
    p.setBrush(vertical(paper, QColor(0xfb, 0xfa, 0xf5), QColor(0xe6, 0xe3, 0xd8)));
    p.setPen(QPen(QColor(0x9a, 0x96, 0x8a), 0.8));
    p.drawPath(paperPath);
    const QRectF stripe(paper.left(), paper.top(), paper.width(), paper.height() * 0.14);
    p.save();
    p.setClipPath(paperPath);
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(stripe, colour::brand.lighter(110), colour::brand.darker(110)));
    p.drawRect(stripe);
    p.restore();
    const QFont lf = font(labelSize, QFont::Bold);
    const QFontMetricsF fm(lf);
    const qreal textArea = paper.bottom() - stripe.bottom();
    const QPointF baseline(paper.center().x(), stripe.bottom() + textArea * 0.46 + fm.capHeight() / 2);
    // The word sits on a ruled line, as written on a real disk label.
    const qreal ruleY = std::round(baseline.y() + fm.descent() + 1.5) + 0.5;
    p.setPen(QPen(QColor(0xc4, 0xc0, 0xb2), 1.0));
    p.drawLine(QPointF(paper.left() + 5, ruleY), QPointF(paper.right() - 5, ruleY));
    p.setPen(Qt::NoPen);
    p.setBrush(colour::ink);
    p.drawPath(textPath(label, lf, baseline));
    p.restore();
}

void drawComputer(QPainter &p, const QRectF &box)
{
    p.save();
    const qreal w = box.width();
    const qreal h = box.height();
    const QRectF monitor(box.left(), box.top(), w, h * 0.78);
    const QPainterPath monitorPath = roundedRect(monitor, w * 0.05);
    QPainterPath stand;
    stand.moveTo(box.center().x() - w * 0.08, monitor.bottom() - 1);
    stand.lineTo(box.center().x() + w * 0.08, monitor.bottom() - 1);
    stand.lineTo(box.center().x() + w * 0.11, box.bottom() - h * 0.06);
    stand.lineTo(box.center().x() - w * 0.11, box.bottom() - h * 0.06);
    stand.closeSubpath();
    const QRectF foot(box.center().x() - w * 0.26, box.bottom() - h * 0.08, w * 0.52, h * 0.08);
    QPainterPath footPath = roundedRect(foot, h * 0.03);
    softShadow(p, monitorPath.united(stand).united(footPath), h * 0.08, QPointF(0, h * 0.06),
               QColor(0, 0, 0, 110));
    p.setPen(QPen(QColor(0x10, 0x12, 0x15), 0.8));
    p.setBrush(vertical(stand.boundingRect(), QColor(0x9b, 0xa1, 0xaa), QColor(0x5c, 0x61, 0x69)));
    p.drawPath(stand);
    p.setBrush(vertical(foot, QColor(0x8a, 0x90, 0x99), QColor(0x4a, 0x4f, 0x56)));
    p.drawPath(footPath);
    p.setBrush(vertical(monitor, QColor(0x4a, 0x50, 0x59), QColor(0x1c, 0x1f, 0x24)));
    p.drawPath(monitorPath);

    // The screen shows a small version of the preset table: category colours in a grid.
    const qreal bezel = w * 0.06;
    const QRectF screen = monitor.adjusted(bezel, bezel, -bezel, -bezel * 1.6);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf4, 0xf6, 0xf9));
    p.drawRect(screen);
    const QColor cells[] = {QColor(0xff, 0xd6, 0x8a), QColor(0xa8, 0xd8, 0xff), QColor(0xc6, 0xf0, 0xb0),
                            QColor(0xf7, 0xb8, 0xc8), QColor(0xd9, 0xc8, 0xff), QColor(0xff, 0xf0, 0xa0)};
    const int cols = 6;
    const int rows = 4;
    const qreal headH = screen.height() * 0.16;
    p.setBrush(QColor(0xd4, 0xd9, 0xe0));
    p.drawRect(QRectF(screen.topLeft(), QSizeF(screen.width(), headH)));
    const qreal cw = screen.width() / cols;
    const qreal ch = (screen.height() - headH) / rows;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            p.setBrush(cells[(r * 5 + c * 7 + r * c) % 6]);
            p.drawRect(
                QRectF(screen.left() + c * cw + 0.5, screen.top() + headH + r * ch + 0.5, cw - 1, ch - 1));
        }
    }
    p.setBrush(QColor(255, 255, 255, 40));
    QPainterPath sheen;
    sheen.moveTo(screen.topLeft());
    sheen.lineTo(screen.left() + screen.width() * 0.55, screen.top());
    sheen.lineTo(screen.left() + screen.width() * 0.25, screen.bottom());
    sheen.lineTo(screen.left(), screen.bottom());
    p.drawPath(sheen);
    drawLed(p, QPointF(monitor.center().x(), monitor.bottom() - bezel * 0.8), std::max(0.8, w * 0.012),
            QColor(0x4c, 0xe0, 0x6a), true);
    p.restore();
}

void drawCaption(QPainter &p, const QRectF &pill, const QString &text, const QColor &base, qreal textSize)
{
    p.save();
    const qreal radius = pill.height() / 2;
    const QPainterPath shape = roundedRect(pill, radius);
    softShadow(p, shape, 3, QPointF(0, 1.5), QColor(0, 0, 0, 90));
    p.setPen(QPen(base.darker(150), 1.0));
    p.setBrush(vertical(pill, base.lighter(122), base.darker(112)));
    p.drawPath(shape);
    // Gloss on the upper half
    p.setPen(Qt::NoPen);
    QLinearGradient gloss(pill.topLeft(), QPointF(pill.left(), pill.center().y()));
    gloss.setColorAt(0, QColor(255, 255, 255, 80));
    gloss.setColorAt(1, QColor(255, 255, 255, 10));
    p.setBrush(gloss);
    p.drawPath(roundedRect(QRectF(pill.left() + 2, pill.top() + 1.5, pill.width() - 4, pill.height() / 2 - 1),
                           radius - 2));

    const QFont f = font(textSize, QFont::Bold);
    const QFontMetricsF fm(f);
    const QPointF baseline(pill.center().x(), pill.center().y() + fm.capHeight() / 2);
    const QPainterPath glyphs = textPath(text, f, baseline);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawPath(glyphs.translated(0, 1));
    p.setBrush(Qt::white);
    p.drawPath(glyphs);
    p.restore();
}

void drawBadge(QPainter &p, QPointF centre, qreal radius, const QColor &base, Arrow arrow)
{
    p.save();
    QPainterPath disc;
    disc.addEllipse(centre, radius, radius);
    softShadow(p, disc, radius * 0.35, QPointF(0, radius * 0.15), QColor(0, 0, 0, 120));
    p.setPen(QPen(Qt::white, std::max(1.5, radius * 0.13)));
    QLinearGradient g(centre - QPointF(0, radius), centre + QPointF(0, radius));
    g.setColorAt(0, base.lighter(125));
    g.setColorAt(1, base.darker(115));
    p.setBrush(g);
    p.drawPath(disc);

    // Arrow drawn pointing down, then turned.
    const qreal s = radius * 0.58;
    QPainterPath a;
    const qreal shaft = s * 0.32;
    a.moveTo(-shaft, -s);
    a.lineTo(shaft, -s);
    a.lineTo(shaft, s * 0.05);
    a.lineTo(s * 0.8, s * 0.05);
    a.lineTo(0, s * 0.95);
    a.lineTo(-s * 0.8, s * 0.05);
    a.lineTo(-shaft, s * 0.05);
    a.closeSubpath();
    QTransform t;
    t.translate(centre.x(), centre.y());
    switch (arrow) {
    case Arrow::Down:
        break;
    case Arrow::Up:
        t.rotate(180);
        break;
    case Arrow::Left:
        t.rotate(90);
        break;
    case Arrow::Right:
        t.rotate(-90);
        break;
    }
    p.setPen(QPen(QColor(255, 255, 255), 0.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(t.map(a));
    p.restore();
}

void drawFlow(QPainter &p, const QRectF &box, Arrow arrow, const QColor &base, const QString &caption,
              qreal textSize)
{
    p.save();
    const bool right = arrow == Arrow::Right;
    const QFont f = font(textSize, QFont::Bold);
    const QFontMetricsF fm(f);
    const QPointF baseline(box.center().x(), box.top() + fm.ascent());
    const QPainterPath glyphs = textPath(caption, f, baseline);
    // A light rim: the caption reads on a dark dialog as on a light one.
    p.setPen(QPen(QColor(255, 255, 255, 220), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(glyphs);
    p.setPen(Qt::NoPen);
    p.setBrush(base.darker(115));
    p.drawPath(glyphs);

    // A row of chevrons growing stronger towards the destination.
    const qreal y = box.bottom() - box.height() * 0.28;
    const qreal size = box.height() * 0.2;
    const int count = 6;
    const qreal step = (box.width() - size * 2) / (count - 1);
    for (int i = 0; i < count; ++i) {
        const int k = right ? i : count - 1 - i;
        const qreal x = box.left() + size + k * step;
        QColor c = base;
        c.setAlphaF(0.25 + 0.75 * i / (count - 1));
        const qreal d = right ? 1 : -1;
        QPainterPath chevron;
        chevron.moveTo(x - d * size * 0.5, y - size);
        chevron.lineTo(x + d * size * 0.5, y);
        chevron.lineTo(x - d * size * 0.5, y + size);
        p.setPen(QPen(c, size * 0.55, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(chevron);
    }
    p.restore();
}

void drawProductLogo(QPainter &p, const QRectF &box)
{
    p.save();
    // Word mark: heavy, slightly slanted, dark on the grey panel with a pressed-in highlight.
    const QString word = QStringLiteral("ORVEX");
    QFont wf = font(box.height() * 0.56, QFont::Black, -box.height() * 0.01);
    const QFontMetricsF wfm(wf);
    QFont pf = font(box.height() * 0.5, QFont::Black);
    const QFontMetricsF pfm(pf);
    const qreal plusW = pfm.horizontalAdvance(QStringLiteral("+"));
    const qreal total = wfm.horizontalAdvance(word) + plusW * 0.9;
    const qreal baseY = box.top() + box.height() * 0.56;
    const qreal x0 = box.center().x() - total / 2;

    QPainterPath mark;
    mark.addText(x0, baseY, wf, word);
    QPainterPath plus;
    plus.addText(x0 + wfm.horizontalAdvance(word) + plusW * 0.02, baseY - wfm.capHeight() * 0.34, pf,
                 QStringLiteral("+"));
    QTransform slant;
    slant.translate(0, baseY);
    slant.shear(-0.16, 0);
    slant.translate(0, -baseY);
    mark = slant.map(mark);
    plus = slant.map(plus);
    // Recentre after the slant moved the glyphs.
    const qreal shift = box.center().x() - mark.united(plus).boundingRect().center().x();
    mark.translate(shift, 0);
    plus.translate(shift, 0);

    softShadow(p, mark.united(plus), 2.5, QPointF(0, 1.5), QColor(0, 0, 0, 70));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 90));
    p.drawPath(mark.translated(0, 1));
    const QRectF mr = mark.boundingRect();
    p.setBrush(vertical(mr, QColor(0x3c, 0x43, 0x4e), QColor(0x0f, 0x12, 0x17)));
    p.drawPath(mark);
    p.setBrush(vertical(plus.boundingRect(), colour::brand.lighter(130), colour::brand.darker(115)));
    p.drawPath(plus);

    // Sub-title with a hairline on each side.
    const QString sub = QStringLiteral("Preset Manager");
    const QFont sf = font(box.height() * 0.2, QFont::DemiBold, box.height() * 0.012);
    const QFontMetricsF sfm(sf);
    const qreal subY = box.top() + box.height() * 0.86;
    const QPainterPath subPath = textPath(sub, sf, QPointF(box.center().x(), subY));
    p.setBrush(QColor(255, 255, 255, 90));
    p.drawPath(subPath.translated(0, 1));
    p.setBrush(colour::ink);
    p.drawPath(subPath);
    const QRectF sr = subPath.boundingRect();
    const qreal lineY = subY - sfm.capHeight() / 2;
    const qreal gap = box.height() * 0.08;
    QLinearGradient left(QPointF(box.left() + 6, 0), QPointF(sr.left() - gap, 0));
    left.setColorAt(0, QColor(0x1f, 0x7a, 0xe0, 0));
    left.setColorAt(1, colour::brand);
    QLinearGradient rightG(QPointF(sr.right() + gap, 0), QPointF(box.right() - 6, 0));
    rightG.setColorAt(0, colour::brand);
    rightG.setColorAt(1, QColor(0x1f, 0x7a, 0xe0, 0));
    p.setPen(QPen(QBrush(left), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(box.left() + 6, lineY), QPointF(sr.left() - gap, lineY));
    p.setPen(QPen(QBrush(rightG), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(sr.right() + gap, lineY), QPointF(box.right() - 6, lineY));
    p.restore();
}

void drawMakerLogo(QPainter &p, const QRectF &box)
{
    p.save();
    // Emblem: a moth whose wings are quill feathers and whose body is a pen nib.
    const qreal s = box.height() * 0.86;
    const QPointF c(box.left() + s * 0.56, box.center().y() + s * 0.02);
    const QColor inner = colour::maker.darker(115);
    const QColor outer = mix(colour::maker, QColor(0x8f, 0x7c, 0xd6), 0.55);

    for (int side = -1; side <= 1; side += 2) {
        drawFeatherWing(p, c + QPointF(side * s * 0.03, -s * 0.04), c + QPointF(side * s * 0.5, -s * 0.3),
                        s * 0.12, inner, outer);
        drawFeatherWing(p, c + QPointF(side * s * 0.03, s * 0.04), c + QPointF(side * s * 0.34, s * 0.34),
                        s * 0.085, inner, outer);
    }
    // Antennae
    p.setPen(QPen(colour::maker, std::max(0.9, s * 0.025), Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (int side = -1; side <= 1; side += 2) {
        QPainterPath ant;
        ant.moveTo(c + QPointF(side * s * 0.015, -s * 0.2));
        ant.cubicTo(c + QPointF(side * s * 0.03, -s * 0.34), c + QPointF(side * s * 0.1, -s * 0.42),
                    c + QPointF(side * s * 0.18, -s * 0.44));
        p.drawPath(ant);
    }
    // Nib body
    QPainterPath nib;
    nib.moveTo(c + QPointF(0, -s * 0.24));
    nib.cubicTo(c + QPointF(s * 0.07, -s * 0.22), c + QPointF(s * 0.075, -s * 0.02),
                c + QPointF(s * 0.05, s * 0.12));
    nib.lineTo(c + QPointF(0, s * 0.42));
    nib.lineTo(c + QPointF(-s * 0.05, s * 0.12));
    nib.cubicTo(c + QPointF(-s * 0.075, -s * 0.02), c + QPointF(-s * 0.07, -s * 0.22),
                c + QPointF(0, -s * 0.24));
    QLinearGradient gold(c - QPointF(s * 0.07, 0), c + QPointF(s * 0.07, 0));
    gold.setColorAt(0, colour::makerGold.lighter(135));
    gold.setColorAt(0.5, colour::makerGold);
    gold.setColorAt(1, colour::makerGold.darker(140));
    p.setPen(QPen(colour::makerGold.darker(190), std::max(0.7, s * 0.015)));
    p.setBrush(gold);
    p.drawPath(nib);
    p.setPen(QPen(colour::makerGold.darker(220), std::max(0.7, s * 0.016), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(0, s * 0.06), c + QPointF(0, s * 0.36));
    p.setPen(Qt::NoPen);
    p.setBrush(colour::makerGold.darker(220));
    p.drawEllipse(c + QPointF(0, s * 0.04), s * 0.022, s * 0.022);

    // Word mark: "Quill" heavy, "moth" light, sharing one baseline.
    const qreal textLeft = box.left() + s * 1.12;
    const qreal textWidth = box.right() - 4 - textLeft;
    QFont heavy = font(10, QFont::Bold);
    QFont light = font(10, QFont::Normal);
    qreal size = box.height() * 0.42;
    for (; size > 8; size -= 0.5) {
        heavy.setPixelSize(qRound(size));
        light.setPixelSize(qRound(size));
        if (QFontMetricsF(heavy).horizontalAdvance(QStringLiteral("Quill")) +
                QFontMetricsF(light).horizontalAdvance(QStringLiteral("moth")) <=
            textWidth)
            break;
    }
    const QFontMetricsF hfm(heavy);
    const qreal baseY = box.center().y() + hfm.capHeight() / 2 - box.height() * 0.04;
    QPainterPath q;
    q.addText(textLeft, baseY, heavy, QStringLiteral("Quill"));
    QPainterPath m;
    m.addText(textLeft + hfm.horizontalAdvance(QStringLiteral("Quill")), baseY, light,
              QStringLiteral("moth"));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 90));
    p.drawPath(q.united(m).translated(0, 1));
    p.setBrush(colour::maker);
    p.drawPath(q);
    p.setBrush(colour::maker.darker(110));
    p.drawPath(m);
    // Gold underline as wide as the word.
    const qreal ulY = baseY + box.height() * 0.12;
    const QRectF wordBox = q.united(m).boundingRect();
    QLinearGradient ul(QPointF(wordBox.left(), 0), QPointF(wordBox.right(), 0));
    ul.setColorAt(0, colour::makerGold);
    ul.setColorAt(1, QColor(0xe0, 0xa8, 0x2e, 0));
    p.setPen(QPen(QBrush(ul), std::max(1.0, box.height() * 0.025), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(wordBox.left() + 1, ulY), QPointF(wordBox.right(), ulY));
    p.restore();
}

void drawTurnArrow(QPainter &p, const QRectF &box, bool mirrored)
{
    p.save();
    p.translate(box.topLeft());
    if (mirrored) {
        p.translate(box.width(), 0);
        p.scale(-1, 1);
    }
    const qreal w = box.width();
    const qreal h = box.height();
    // Hook: from the head on the upper left to the right, round and back towards the lower middle.
    const qreal stroke = std::max(1.6, h * 0.115);
    const qreal edge = stroke / 2 + 1.0; // room for the halo inside the picture
    const qreal top = h * 0.35;
    const qreal bottom = h - edge;
    const qreal r = (bottom - top) / 2;
    const qreal right = w - edge;
    const qreal headTip = 0.8;
    const qreal headLen = w * 0.34;
    const qreal headHalf = h * 0.25;
    QPainterPath hook;
    hook.moveTo(headTip + headLen * 0.7, top);
    hook.lineTo(right - r, top);
    hook.arcTo(QRectF(right - 2 * r, top, 2 * r, 2 * r), 90, -180);
    hook.lineTo(w * 0.4, bottom);
    QPainterPath head;
    head.moveTo(headTip, top);
    head.lineTo(headTip + headLen, top - headHalf);
    head.lineTo(headTip + headLen, top + headHalf);
    head.closeSubpath();

    // Light halo keeps the arrow readable on both ends of the grey panel.
    p.setPen(QPen(QColor(255, 255, 255, 90), stroke + 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(hook);
    p.setBrush(QColor(255, 255, 255, 90));
    p.drawPath(head);
    p.setPen(QPen(colour::ink, stroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(hook);
    p.setPen(QPen(colour::ink, 0.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(colour::ink);
    p.drawPath(head);
    p.restore();
}

} // namespace artwork
