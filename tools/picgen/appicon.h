#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

// The application icon for menus, docks and window frames: a preset grid in the category
// colours with the product's "+" badge. Drawn from plain shapes so that the SVG and every PNG
// size come from one description.
namespace AppIcon {

// Edge of the square the shapes are laid out in; the SVG's view box.
constexpr int DesignSize = 256;

// The sizes installed as PNG under hicolor/<N>x<N>/apps.
const QList<int> &pngSizes();

QImage render(int size);
QByteArray svg();

} // namespace AppIcon
