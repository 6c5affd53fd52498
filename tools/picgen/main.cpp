// orvex-picgen: draws the program's pictures and writes them as PNG files.
//
//   orvex-picgen <output folder> [--preview <sheet.png>]
//
// Run with QT_QPA_PLATFORM=offscreen; the build's `make-pictures` target does that and writes into
// resources/pictures/ and docs/pictures-preview.png.
#include "pictures.h"

#include <QDir>
#include <QGuiApplication>
#include <QStringList>
#include <QTextStream>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    QString previewPath;
    const int previewAt = args.indexOf(QStringLiteral("--preview"));
    if (previewAt >= 0) {
        if (previewAt + 1 >= args.size()) {
            QTextStream(stderr) << "--preview needs a file name\n";
            return 2;
        }
        previewPath = args.at(previewAt + 1);
        args.remove(previewAt, 2);
    }
    if (args.size() != 1) {
        QTextStream(stderr) << "usage: orvex-picgen <output folder> [--preview <sheet.png>]\n";
        return 2;
    }
    const QDir out(args.first());
    if (!out.mkpath(QStringLiteral("."))) {
        QTextStream(stderr) << "cannot create " << out.path() << '\n';
        return 1;
    }

    QTextStream log(stdout);
    const QList<Picture> pictures = pictureCatalogue();
    QList<QImage> images;
    for (const Picture &picture : pictures) {
        const QImage image = renderPicture(picture);
        const QString path = out.filePath(picture.name + QStringLiteral(".png"));
        if (!image.save(path, "PNG")) {
            QTextStream(stderr) << "cannot write " << path << '\n';
            return 1;
        }
        log << path << ' ' << image.width() << 'x' << image.height() << '\n';
        images.append(image);
    }
    if (!previewPath.isEmpty()) {
        if (!previewSheet(pictures, images).save(previewPath, "PNG")) {
            QTextStream(stderr) << "cannot write " << previewPath << '\n';
            return 1;
        }
        log << previewPath << '\n';
    }
    return 0;
}
