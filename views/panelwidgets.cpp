#include "views/panelwidgets.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOptionToolButton>

#include <algorithm>

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
    if (menu() && popupMode() == QToolButton::MenuButtonPopup)
        paintMenuArrow(painter);
}

QRect PictureButton::menuArea() const
{
    // Where QToolButton opens the menu instead of pressing the button.
    QStyleOptionToolButton opt;
    initStyleOption(&opt);
    return style()->subControlRect(QStyle::CC_ToolButton, &opt, QStyle::SC_ToolButtonMenu, this);
}

void PictureButton::paintMenuArrow(QPainter &painter)
{
    // A strip along the right edge, inside the frame, with an arrow pointing down: the rest
    // of the picture still presses the button.
    const QRect area = menuArea().adjusted(0, frameWidth + radius, -frameWidth, -frameWidth - radius);
    if (area.width() < 4 || area.height() < 4)
        return;
    const QColor ink = isEnabled() ? QColor(0x30, 0x30, 0x30) : QColor(0x90, 0x90, 0x90);
    painter.setPen(QPen(frame.isValid() ? frame : ink, 1));
    painter.drawLine(QPointF(area.left() + 0.5, area.top()), QPointF(area.left() + 0.5, area.bottom()));
    const qreal half = std::min<qreal>(area.width() / 2.0 - 1, 5);
    const QPointF centre(area.center().x() + 1, area.center().y() + 0.5);
    const QPointF arrow[] = {centre + QPointF(-half, -half / 2), centre + QPointF(half, -half / 2),
                             centre + QPointF(0, half / 2)};
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawPolygon(arrow, 3);
}
