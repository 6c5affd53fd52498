#pragma once

#include <QColor>
#include <QFont>
#include <QPainterPath>
#include <QRectF>
#include <QString>
#include <QStringList>

class QPainter;

// Drawing pieces shared by the program's pictures: one palette, one typeface, one light source
// (from the top left), so every picture looks like part of the same set.
namespace artwork {

namespace colour {
const QColor ink(0x1d, 0x22, 0x2a);         // text and line art on the grey tool panel
const QColor brand(0x1f, 0x7a, 0xe0);       // the product's accent (the "+" of the logo, load and save)
const QColor importGreen(0x2f, 0xa3, 0x4c); // data coming from the module
const QColor exportRed(0xd6, 0x3b, 0x2f);   // data going to the module
const QColor maker(0x3a, 0x2a, 0x6b);       // the maker's logo
const QColor makerGold(0xe0, 0xa8, 0x2e);
const QColor lcdText(0x8e, 0xe8, 0xff);
} // namespace colour

enum class Arrow { Up, Down, Left, Right };

// The one typeface of the set, at a pixel size so layouts do not depend on the screen's resolution.
QFont font(qreal pixelSize, QFont::Weight weight = QFont::Bold, qreal letterSpacing = 0);

// Largest pixel size up to maxSize at which every text fits in width, so the English and German
// variants of a picture share one size.
qreal fittingSize(const QStringList &texts, qreal width, qreal maxSize, QFont::Weight weight = QFont::Bold,
                  qreal letterSpacing = 0);

// A soft shadow of shape, blurred by radius and moved by offset.
void softShadow(QPainter &p, const QPainterPath &shape, qreal radius, QPointF offset, const QColor &colour);

// Text as an outline, centred on the point horizontally, with its baseline at the point's y.
QPainterPath textPath(const QString &text, const QFont &font, QPointF baselineCentre);

void drawModule(QPainter &p, const QRectF &box);
void drawFloppy(QPainter &p, const QRectF &box, const QString &label, qreal labelSize);
void drawComputer(QPainter &p, const QRectF &box);
void drawCaption(QPainter &p, const QRectF &pill, const QString &text, const QColor &base, qreal textSize);
void drawBadge(QPainter &p, QPointF centre, qreal radius, const QColor &base, Arrow arrow);
// A cable-like arrow with a caption above it, pointing left or right.
void drawFlow(QPainter &p, const QRectF &box, Arrow arrow, const QColor &base, const QString &caption,
              qreal textSize);
void drawProductLogo(QPainter &p, const QRectF &box);
void drawMakerLogo(QPainter &p, const QRectF &box);
// A small round arrow turning to the left (undo) or, mirrored, to the right (redo).
void drawTurnArrow(QPainter &p, const QRectF &box, bool mirrored);

} // namespace artwork
