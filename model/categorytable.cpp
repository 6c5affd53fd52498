#include "model/categorytable.h"

#include <QCoreApplication>

const std::array<Category, CategoryCount> categoryTable = {{
    {0xFFFFFF, "empty"},
    {0xB33380, "User"},
    {0x99E600, "BestOf"},
    {0x99CC00, "Rock"},
    {0x9F991A, "Jazz"},
    {0xA48033, "Gospel/Blues"},
    {0xA9664D, "Soul"},
    {0xAE4D66, "Funk"},
    {0xA64086, "House"},
    {0x994D8D, "Reggae"},
    {0x8D5A93, "Hi Gain"},
    {0x806699, "Transistor"},
    {0x8073A6, "Entertainer"},
    {0x8080B3, "Specials"},
}};

QString categoryDisplayName(int category)
{
    return QCoreApplication::translate("Category", categoryFor(category).name);
}
