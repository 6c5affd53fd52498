#include "views/pictures.h"

#include <QFile>
#include <QIconEngine>
#include <QPainter>
#include <QResource>

#include <cstdint>
#include <cstring>
#include <utility>

namespace {

QString rawName(const QString &resource)
{
    QString name = resource;
    if (name.endsWith(QLatin1String(".png")))
        name.chop(4);
    return name + QStringLiteral(".argb");
}

// Serves the raw copy at its own size and below; anything larger (a high-DPI screen the window
// was moved to) comes from the PNGs, read then.
class RawFirstIconEngine final : public QIconEngine
{
public:
    RawFirstIconEngine(const QString &resource, const QPixmap &raw) : resource(resource), rawSize(raw.size())
    {
        small.addPixmap(raw);
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal scale = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        forPixels(rect.size() * scale).paint(painter, rect, Qt::AlignCenter, mode, state);
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return forPixels(size).pixmap(size, 1.0, mode, state);
    }

    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return forPixels(size * scale).pixmap(size, scale, mode, state);
    }

    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return small.actualSize(size, mode, state);
    }

    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return small.availableSizes(mode, state);
    }

    QIconEngine *clone() const override { return new RawFirstIconEngine(*this); }
    QString key() const override { return QStringLiteral("OrvexRawFirst"); }

private:
    QIcon &forPixels(const QSize &pixels)
    {
        if (pixels.width() <= rawSize.width() && pixels.height() <= rawSize.height())
            return small;
        if (full.isNull()) {
            // Both, named: QIcon(resource) would leave the twin out, the program having started
            // on an ordinary screen.
            full.addFile(resource);
            QString twin = resource;
            twin.insert(twin.lastIndexOf(QLatin1Char('.')), QStringLiteral("@2x"));
            if (QFile::exists(twin))
                full.addFile(twin);
        }
        return full;
    }

    QString resource;
    QSize rawSize;
    QIcon small;
    QIcon full;
};

} // namespace

namespace Pictures {

QImage decoded(const QString &resource)
{
    const QResource raw(rawName(resource));
    if (!raw.isValid() || raw.compressionAlgorithm() != QResource::NoCompression)
        return QImage();
    constexpr qint64 HeaderSize = 3 * sizeof(uint32_t);
    uint32_t header[3] = {};
    if (raw.size() < HeaderSize)
        return QImage();
    std::memcpy(header, raw.data(), sizeof header);
    const uint32_t width = header[1];
    const uint32_t height = header[2];
    if (header[0] != 0x4752414fu || width == 0 || height == 0 || width > 4096 || height > 4096 ||
        raw.size() != HeaderSize + qint64(width) * height * 4)
        return QImage();
    QImage image(int(width), int(height), QImage::Format_ARGB32_Premultiplied);
    const uchar *pixels = raw.data() + HeaderSize;
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(image.scanLine(y), pixels + qint64(y) * width * 4, size_t(width) * 4);
    return image;
}

QPixmap pixmap(const QString &resource, const QSize &size, qreal devicePixelRatio)
{
    if (devicePixelRatio <= 1.0) {
        QImage raw = decoded(resource);
        if (raw.size() == size)
            return QPixmap::fromImage(std::move(raw)); // taken over, not copied
    }
    return QIcon(resource).pixmap(size, devicePixelRatio);
}

QIcon icon(const QString &resource, qreal devicePixelRatio)
{
    if (devicePixelRatio <= 1.0) {
        QImage raw = decoded(resource);
        if (!raw.isNull())
            return QIcon(new RawFirstIconEngine(resource, QPixmap::fromImage(std::move(raw))));
    }
    return QIcon(resource);
}

void addSize(QIcon &icon, const QString &resource)
{
    QImage raw = decoded(resource);
    if (raw.isNull())
        icon.addFile(resource);
    else
        icon.addPixmap(QPixmap::fromImage(std::move(raw)));
}

} // namespace Pictures
