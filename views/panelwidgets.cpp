#include "views/panelwidgets.h"

#include <QPainter>
#include <QPainterPath>

void GradientPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QLinearGradient gradient(0, 0, width(), 0);
    gradient.setColorAt(0, QColor(0x80, 0x80, 0x80));
    gradient.setColorAt(1, QColor(0xc0, 0xc0, 0xc0));
    painter.fillRect(rect(), gradient);
}

PictureButton::PictureButton(const QIcon &picture, const QSize &pictureSize, int frameWidth, int radius,
                             const QColor &frame, QWidget *parent)
    : QToolButton(parent), frameWidth(frameWidth), radius(radius), frame(frame)
{
    setIcon(picture);
    setIconSize(pictureSize);
}

QSize PictureButton::sizeHint() const
{
    // The picture, its frame on both sides and a little air: the size the buttons always had.
    return iconSize() + QSize(2 * frameWidth + 3, 2 * frameWidth + 3);
}

void PictureButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal inset = frameWidth / 2.0;
    QPainterPath outline;
    outline.addRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), radius, radius);
    if (isDown())
        painter.fillPath(outline, QColor(0, 0, 0, 40));
    const QColor edge = hasFocus() ? palette().color(QPalette::Highlight) : frame;
    if (edge.isValid() && edge.alpha() > 0)
        painter.strokePath(outline, QPen(edge, frameWidth));

    const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    const QPixmap picture = icon().pixmap(iconSize(), devicePixelRatio(), mode);
    const QSize shown = picture.deviceIndependentSize().toSize();
    painter.drawPixmap(QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2), picture);
}
