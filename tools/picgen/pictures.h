#pragma once

#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

#include <functional>

class QPainter;

// Every picture of the program, by resource name (":/pictures/<name>.png") and exact size.
struct Picture
{
    QString name;
    QSize size;
    std::function<void(QPainter &)> draw;
};

QList<Picture> pictureCatalogue();

// The picture on a transparent background, antialiased; devicePixelRatio 2 draws the same
// picture with twice the pixels in each direction, for the "@2x" file Qt picks on high-DPI screens.
QImage renderPicture(const Picture &picture, qreal devicePixelRatio = 1);

// One sheet showing every picture where the program shows it: the tool panel in both languages on
// its grey gradient, the transfer dialog's pictures on the dialog background, the small arrows enlarged.
QImage previewSheet(const QList<Picture> &pictures, const QList<QImage> &images);
