#include "views/librarymime.h"

#include "model/presetimage.h"

#include <QDataStream>
#include <QIODevice>

namespace LibraryMime {

QString format()
{
    return QStringLiteral("application/x-orvex-library-presets");
}

QByteArray encode(const QVector<PresetRecord> &presets)
{
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out << qint32(presets.size());
    for (const PresetRecord &r : presets) {
        out << r.name << r.author << qint32(r.category);
        out.writeRawData(reinterpret_cast<const char *>(r.params.data()), int(r.params.size()));
    }
    return data;
}

QVector<PresetRecord> decode(const QByteArray &data)
{
    QDataStream in(data);
    qint32 count = 0;
    in >> count;
    if (in.status() != QDataStream::Ok || count < 0 || count > PresetsPerBank)
        return {};
    QVector<PresetRecord> out(count);
    for (PresetRecord &r : out) {
        qint32 category = 0;
        in >> r.name >> r.author >> category;
        r.category = category;
        if (in.readRawData(reinterpret_cast<char *>(r.params.data()), int(r.params.size())) !=
                int(r.params.size()) ||
            in.status() != QDataStream::Ok)
            return {};
    }
    return out;
}

} // namespace LibraryMime
