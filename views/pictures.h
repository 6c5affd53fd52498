#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>

// The program's pictures, by resource name (":/pictures/import.png"). Those the window shows at
// start are embedded twice: as PNG with an "@2x" twin, and as raw pixels (":/pictures/import.argb",
// written at build time) that are taken without decoding. Decoding the PNGs took about a
// millisecond each, a fifth of the start-up beyond a bare table.
namespace Pictures {

// The raw copy of resource; null when there is none or it does not hold a whole picture.
QImage decoded(const QString &resource);

// resource at size for a screen of devicePixelRatio: the raw copy on ordinary screens, the PNG
// (and its twin) where more pixels are needed or there is no raw copy.
QPixmap pixmap(const QString &resource, const QSize &size, qreal devicePixelRatio);

// An icon of resource for a program started on a screen of devicePixelRatio. From the raw copy
// on an ordinary screen, with the PNGs read the first time the window is shown on a sharper one.
QIcon icon(const QString &resource, qreal devicePixelRatio);

// Adds resource to a multi-size icon (the window's), from its raw copy where there is one.
void addSize(QIcon &icon, const QString &resource);

} // namespace Pictures
