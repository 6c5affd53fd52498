// orvex-decodepictures: writes each PNG given as "<output folder>/<name>.argb": the "OARG" tag,
// width and height as 32-bit numbers, then the pixels as premultiplied ARGB32, row by row, all in
// this machine's byte order (the file is only read by programs built beside it).
//
//   orvex-decodepictures <output folder> <picture.png>...
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

#include <cstdint>
#include <cstdio>

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: orvex-decodepictures <output folder> <picture.png>...\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "orvex-decodepictures: cannot create %s\n", argv[1]);
        return 1;
    }
    for (int i = 2; i < argc; ++i) {
        const QString source = QString::fromLocal8Bit(argv[i]);
        QImageReader reader(source, "png");
        const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (image.isNull()) {
            std::fprintf(stderr, "orvex-decodepictures: %s: %s\n", argv[i], qPrintable(reader.errorString()));
            return 1;
        }
        const QString target =
            folder + QLatin1Char('/') + QFileInfo(source).completeBaseName() + QStringLiteral(".argb");
        QFile out(target);
        const uint32_t header[3] = {0x4752414fu /* "OARG" */, uint32_t(image.width()),
                                    uint32_t(image.height())};
        bool written =
            out.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
            out.write(reinterpret_cast<const char *>(header), sizeof header) == qint64(sizeof header);
        for (int y = 0; written && y < image.height(); ++y) {
            const qint64 row = qint64(image.width()) * 4;
            written = out.write(reinterpret_cast<const char *>(image.constScanLine(y)), row) == row;
        }
        if (!written || !out.flush()) {
            std::fprintf(stderr, "orvex-decodepictures: cannot write %s\n", qPrintable(target));
            return 1;
        }
    }
    return 0;
}
