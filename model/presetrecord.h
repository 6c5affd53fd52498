#pragma once

#include <QString>

#include <array>
#include <cstdint>

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
