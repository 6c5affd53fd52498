#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>

// The longest name or author the program keeps, from the editors and from files: far
// beyond the module's 32 characters, and short enough that a file of 2,048 presets with
// every character escaped stays well inside what the file reader accepts.
constexpr int MaxPresetTextLength = 256;

// `text` cut to MaxPresetTextLength, never between the two halves of a surrogate pair.
inline QString limitedText(QStringView text)
{
    if (text.size() <= MaxPresetTextLength)
        return text.toString();
    qsizetype n = MaxPresetTextLength;
    if (text[n - 1].isHighSurrogate())
        --n;
    return text.first(n).toString();
}

// The in-memory preset. A plain value: copying copies everything.
struct PresetRecord
{
    QString name;
    QString author;
    int32_t category = 0;
    // In the live store: the table cell is stale. In a snapshot: the cell was selected.
    bool mark = false;
    std::array<uint8_t, 128> params{};

    // Content equality; the mark is bookkeeping, not content.
    bool sameContent(const PresetRecord &o) const
    {
        return category == o.category && params == o.params && name == o.name && author == o.author;
    }
    void copyContentFrom(const PresetRecord &o)
    {
        name = o.name;
        author = o.author;
        category = o.category;
        params = o.params;
    }
};
