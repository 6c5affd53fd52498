#pragma once

#include <QString>

struct PresetRecord;

// The text a table cell carries: "name\nauthor\nrow\ncolumn". The last two lines
// say where the item was built, which tells a rename from a dropped preset.
namespace CellText {

// A name or author holding line feeds would shift the row and column lines and
// let an edit merge name and author, so the cell shows such line feeds as spaces.
inline QString line(const QString &text)
{
    if (!text.contains(QLatin1Char('\n')))
        return text;
    QString flat = text;
    flat.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return flat;
}

QString build(const PresetRecord &record, int row, int column);

// What a cell's text says about itself.
struct Parsed
{
    enum Kind {
        Plain,   // fewer than three line feeds: a bare name
        Located, // names the cell (row, column) it was built for
        Unplaced // has the lines but the row or column line is not a cell
    };
    Kind kind = Plain;
    QString name; // the first line (the whole text for Plain)
    int row = -1;
    int column = -1;
};

Parsed parse(const QString &text);

} // namespace CellText
