#pragma once

#include <QString>

#include <array>
#include <cstdint>

// One preset category: the colour of its cells and its (untranslated) name.
struct Category
{
    uint32_t rgb; // 0xRRGGBB
    const char *name;
};

constexpr int CategoryCount = 14;

extern const std::array<Category, CategoryCount> categoryTable;

// Categories outside 0..13 come from files or the module unchanged; they are
// shown like category 0 so nothing ever indexes past the table.
inline const Category &categoryFor(int category)
{
    return categoryTable[(category >= 0 && category < CategoryCount) ? category : 0];
}

// The name as shown, in the program's language where the catalogue has one (context
// "Category"); files and the module keep numbers, never these names.
QString categoryDisplayName(int category);
