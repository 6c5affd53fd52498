// orvex-picgen: draws the program's pictures and writes them as PNG files, each also as
// "<name>@2x.png" with twice the pixels, which Qt loads by itself on high-DPI screens.
//
//   orvex-picgen <output folder> [--preview <sheet.png>] [--icons <folder>]
//
// --icons writes the application icon as an icon theme tree: hicolor/scalable/apps/<id>.svg and
// hicolor/<N>x<N>/apps/<id>.png. Run with QT_QPA_PLATFORM=offscreen; the build's `make-pictures`
// target does that and writes into resources/pictures/, packaging/icons/ and docs/pictures-preview.png.
#include "appicon.h"
#include "pictures.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStringList>
#include <QTextStream>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    auto takeOption = [&args](const QString &name, QString &value) {
        const int at = args.indexOf(name);
        if (at < 0)
            return true;
        if (at + 1 >= args.size()) {
            QTextStream(stderr) << name << " needs a value\n";
            return false;
        }
        value = args.at(at + 1);
        args.remove(at, 2);
        return true;
    };
    QString previewPath;
    QString iconFolder;
    if (!takeOption(QStringLiteral("--preview"), previewPath) ||
        !takeOption(QStringLiteral("--icons"), iconFolder))
        return 2;
    if (args.size() != 1) {
        QTextStream(stderr)
            << "usage: orvex-picgen <output folder> [--preview <sheet.png>] [--icons <folder>]\n";
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
        const QString path2x = out.filePath(picture.name + QStringLiteral("@2x.png"));
        if (!renderPicture(picture, 2).save(path2x, "PNG")) {
            QTextStream(stderr) << "cannot write " << path2x << '\n';
            return 1;
        }
        log << path2x << '\n';
    }
    if (!iconFolder.isEmpty()) {
        const QString name = QStringLiteral("example.quillmoth.OrvexPresetManager");
        const QDir icons(iconFolder);
        QList<std::pair<QString, QByteArray>> files;
        files.append({QStringLiteral("hicolor/scalable/apps/%1.svg").arg(name), AppIcon::svg()});
        for (int size : AppIcon::pngSizes()) {
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            AppIcon::render(size).save(&buffer, "PNG");
            files.append({QStringLiteral("hicolor/%1x%1/apps/%2.png").arg(size).arg(name), png});
        }
        for (const auto &[relative, bytes] : files) {
            const QString path = icons.filePath(relative);
            QFile file(path);
            if (!icons.mkpath(QFileInfo(relative).path()) || !file.open(QIODevice::WriteOnly) ||
                file.write(bytes) != bytes.size() || !file.flush()) {
                QTextStream(stderr) << "cannot write " << path << '\n';
                return 1;
            }
            log << path << '\n';
        }
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
