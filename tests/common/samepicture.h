#pragma once

#include <QImage>

// A QPixmap keeps colours premultiplied by alpha, and turning them back into straight ARGB rounds
// half-transparent pixels differently on different processors' code paths. Premultiplied, a picture
// that went through a pixmap equals its file on every machine.
inline QImage premultiplied(const QImage &image)
{
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

inline bool samePicture(const QImage &shown, const QImage &file)
{
    return premultiplied(shown) == premultiplied(file);
}
