#include "model/presetimage.h"

#include <cstring>
#include <utility>

using namespace PresetImageLayout;

namespace {

QString readText(const uint8_t *field)
{
    // The field needs no terminator when full, so never read past it.
    int n = 0;
    while (n < TextLength && field[n] != 0)
        ++n;
    return QString::fromLatin1(reinterpret_cast<const char *>(field), n);
}

void writeText(const QString &text, uint8_t *field)
{
    const int n = std::min<int>(text.size(), TextLength);
    for (int k = 0; k < n; ++k) {
        const char16_t u = text.at(k).unicode();
        // Only printable ASCII reaches the module; everything else becomes a space.
        field[k] = (u < 0x20 || u > 0x7F) ? 0x20 : static_cast<uint8_t>(u);
    }
}

} // namespace

void imageToRecord(const uint8_t *image, PresetRecord &record)
{
    record.category = image[CategoryOffset];
    record.mark = true;
    record.name = readText(image + NameOffset);
    record.author = readText(image + AuthorOffset);
    for (int k = 0; k < ParamCount; ++k)
        record.params[k] = image[ParamsOffset + k] & 0x7F;
}

void recordToImage(const PresetRecord &record, uint8_t *image)
{
    std::memset(image, 0, 256);
    image[CategoryOffset] = static_cast<uint8_t>(record.category & 0xFF);
    writeText(record.name, image + NameOffset);
    writeText(record.author, image + AuthorOffset);
    for (int k = 0; k < ParamCount; ++k)
        image[ParamsOffset + k] = record.params[k] & 0x7F;
}

bool recordOverImage(const PresetRecord &record, const uint8_t *module, uint8_t *image,
                     QString (*sameAfter)(const QString &))
{
    std::array<uint8_t, 256> copy;
    std::memcpy(copy.data(), module, 256);
    const uint8_t *held = copy.data();
    std::memcpy(image, held, 256);
    bool changed = false;
    for (int k = 0; k < ParamCount; ++k)
        if ((record.params[k] & 0x7F) != (held[ParamsOffset + k] & 0x7F)) {
            image[ParamsOffset + k] = record.params[k] & 0x7F;
            changed = true;
        }
    const uint8_t category = static_cast<uint8_t>(record.category & 0xFF);
    if (category != held[CategoryOffset]) {
        image[CategoryOffset] = category;
        changed = true;
    }
    for (const auto &[text, offset] : {std::pair<const QString &, int>{record.name, NameOffset},
                                       std::pair<const QString &, int>{record.author, AuthorOffset}}) {
        const QString now = readText(held + offset);
        if (text == now || (sameAfter && text == sameAfter(now)))
            continue;
        std::memset(image + offset, 0, TextLength);
        writeText(text, image + offset);
        // A text the module cannot hold may come out as the bytes it already has.
        changed = changed || std::memcmp(image + offset, held + offset, TextLength) != 0;
    }
    return changed;
}

bool keptInImage(const QString &text)
{
    if (text.size() > TextLength)
        return false;
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x7F)
            return false;
    return true;
}
