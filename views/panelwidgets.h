#pragma once

#include <QColor>
#include <QToolButton>
#include <QWidget>

// The tool panel's own painting. Style sheets did this before; polishing them was a sixth of the
// start-up, and a sheet on the panel reached into every control on it.

// A horizontal grey gradient behind the panel's pictures, the same in light and dark palettes.
class GradientPanel : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A picture as a button: the picture, a rounded frame that takes the highlight colour while the
// button has keyboard focus, and a shade while it is pressed. frame invalid: no frame until focus.
// Given a menu in MenuButtonPopup mode, an arrow strip at its right edge opens the menu.
class PictureButton : public QToolButton
{
public:
    PictureButton(const QIcon &picture, const QSize &pictureSize, int frameWidth, int radius,
                  const QColor &frame, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // With a menu and MenuButtonPopup, the strip that opens the menu.
    QRect menuArea() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintMenuArrow(QPainter &painter);
    int frameWidth;
    int radius;
    QColor frame;
};
