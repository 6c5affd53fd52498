#include "model/celltext.h"

#include "model/presetimage.h"
#include "model/presetrecord.h"

namespace CellText {

QString build(const PresetRecord &record, int row, int column)
{
    // Put together piece by piece: arg() would also replace a "%1" inside a name, and it is the
    // larger share of building 2,048 cells at start.
    const QString name = line(record.name);
    const QString author = line(record.author);
    QString text;
    text.reserve(name.size() + author.size() + 8);
    text += name;
    text += QLatin1Char('\n');
    text += author;
    text += QLatin1Char('\n');
    text += QString::number(row);
    text += QLatin1Char('\n');
    text += QString::number(column);
    return text;
}

Parsed parse(const QString &text)
{
    Parsed result;
    const qsizetype p1 = text.indexOf(QLatin1Char('\n'));
    const qsizetype p2 = p1 < 0 ? -1 : text.indexOf(QLatin1Char('\n'), p1 + 1);
    const qsizetype p3 = p2 < 0 ? -1 : text.indexOf(QLatin1Char('\n'), p2 + 1);
    if (p3 < 0) {
        result.name = text;
        return result;
    }
    result.name = text.left(p1);
    bool rowOk = false;
    bool columnOk = false;
    const int row = QStringView(text).mid(p2 + 1, p3 - p2 - 1).toInt(&rowOk);
    const int column = QStringView(text).mid(p3 + 1).toInt(&columnOk);
    // Anything that is not a cell of the table names no cell; never index with it.
    if (rowOk && columnOk && row >= 0 && row < PresetsPerBank && column >= 0 && column < BankCount) {
        result.kind = Parsed::Located;
        result.row = row;
        result.column = column;
    } else {
        result.kind = Parsed::Unplaced;
    }
    return result;
}

} // namespace CellText
