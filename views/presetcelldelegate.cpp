#include "views/presetcelldelegate.h"

#include "model/bankstore.h"
#include "model/categorytable.h"
#include "model/celltext.h"
#include "model/presetrecord.h"
#include "model/selectionmask.h"
#include "views/themecolours.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPainter>
#include <QToolTip>
#include <QtMath>
#include <algorithm>

namespace {
// Keeps elided text off the grid lines.
constexpr int TextMargin = 2;
} // namespace

void PresetCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                               const QModelIndex &index) const
{
    const QString text = index.data(Qt::DisplayRole).toString();
    const qsizetype p1 = text.indexOf(QLatin1Char('\n'));
    const QString name = p1 < 0 ? text : text.left(p1);
    QString author;
    if (p1 >= 0) {
        const qsizetype p2 = text.indexOf(QLatin1Char('\n'), p1 + 1);
        author = p2 < 0 ? text.mid(p1 + 1) : text.mid(p1 + 1, p2 - p1 - 1);
    }

    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.text.clear();
    // The empty table before any load: no category colours, so a dark palette stays dark.
    if (!(opt.state & QStyle::State_Enabled))
        opt.backgroundBrush = QBrush();

    painter->save();
    const QWidget *widget = opt.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    const int w = opt.rect.width();
    const int h = opt.rect.height();
    const int room = std::max(0, w - 2 * TextMargin);
    if (room != textRoom) {
        nameTexts.clear();
        authorTexts.clear();
        textRoom = room;
    }
    // Text that reads on the cell's own colour (or the selection's), whatever the palette's text colour.
    QColor background = opt.backgroundBrush.style() != Qt::NoBrush ? opt.backgroundBrush.color()
                                                                   : opt.palette.color(QPalette::Base);
    if (opt.state & QStyle::State_Selected)
        background = opt.palette.color(
            opt.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive, QPalette::Highlight);
    painter->setPen(ThemeColours::textOn(background));
    painter->translate(opt.rect.topLeft());
    if (searchMarks && searchMarks->isSelected(index.column(), index.row())) {
        // A band that stands out on the cell's colour or the selection, edged with the other
        // colour; drawn under the text, which stays whole.
        // Filled bands, not a wide pen: stroking costs more than the whole cell.
        auto frame = [painter](const QRect &r, int width, const QColor &colour) {
            painter->fillRect(r.left(), r.top(), r.width(), width, colour);
            painter->fillRect(r.left(), r.bottom() - width + 1, r.width(), width, colour);
            painter->fillRect(r.left(), r.top() + width, width, r.height() - 2 * width, colour);
            painter->fillRect(r.right() - width + 1, r.top() + width, width, r.height() - 2 * width, colour);
        };
        frame(QRect(0, 0, w, h), 1, ThemeColours::markEdgeOn(background));
        frame(QRect(1, 1, w - 2, h - 2), 2, ThemeColours::markOn(background));
    }
    if (differenceMarks && differenceMarks->isSelected(index.column(), index.row())) {
        // A corner, so it reads beside a search frame and the selection.
        const int side = std::max(8, std::min(w, h) / 2);
        const QPoint corner[] = {QPoint(w - side, 0), QPoint(w, 0), QPoint(w, side)};
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(ThemeColours::differenceEdgeOn(background));
        painter->setBrush(ThemeColours::differenceOn(background));
        painter->drawPolygon(corner, 3);
        painter->restore();
    }
    if (opt.state & QStyle::State_HasFocus) {
        // The current cell, where the arrow keys move from: a dashed line along its edge, clear
        // of the name, in the text's colour, so it reads on every category and on the selection.
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(QPen(ThemeColours::textOn(background), 2, Qt::DashLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRectF(1.0, 1.0, w - 2.0, h - 2.0));
        painter->restore();
    }
    // Name at the top, author 14 pixels lower (at the normal scale), both centred. Empty
    // texts (the whole table before any load) need no font: it is loaded with the first name.
    if (!name.isEmpty()) {
        painter->setFont(nameFont);
        const ShortText shortName = shortText(name, nameTexts, nameFont, painter->fontMetrics(), room);
        painter->drawStaticText((w - shortName.width) / 2, 0, shortName.text);
    }
    if (!author.isEmpty()) {
        painter->setFont(authorFont);
        const ShortText shortAuthor =
            shortText(author, authorTexts, authorFont, painter->fontMetrics(), room);
        painter->drawStaticText((w - shortAuthor.width) / 2, qRound(14 * fontScale), shortAuthor.text);
    }

    painter->restore();
}

QWidget *PresetCellDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                          const QModelIndex &) const
{
    auto *editor = new QLineEdit(parent);
    editor->setMaxLength(MaxPresetTextLength);
    editor->setAccessibleName(tr("Preset name"));
    return editor;
}

void PresetCellDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    const QString text = index.data(Qt::EditRole).toString();
    const qsizetype p1 = text.indexOf(QLatin1Char('\n'));
    static_cast<QLineEdit *>(editor)->setText(p1 < 0 ? text : text.left(p1));
}

void PresetCellDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                      const QModelIndex &index) const
{
    const QString text = index.data(Qt::EditRole).toString();
    // A pasted line feed would make a second line of the name.
    const QString name = CellText::line(static_cast<QLineEdit *>(editor)->text());
    const qsizetype p1 = text.indexOf(QLatin1Char('\n'));
    const QString rest = p1 < 0 ? QStringLiteral("\n") : text.mid(p1);
    model->setData(index, name + rest, Qt::EditRole);
}

const PresetCellDelegate::ShortText &PresetCellDelegate::shortText(const QString &text,
                                                                   QHash<QString, ShortText> &cache,
                                                                   const QFont &font,
                                                                   const QFontMetrics &metrics, int room)
{
    // Laying text out (to shorten it, then to draw it) for every painted cell is most of a
    // repaint; names repeat from paint to paint, so each is laid out once.
    auto found = cache.constFind(text);
    if (found != cache.constEnd())
        return *found;
    if (cache.size() > 4 * PresetCount)
        cache.clear();
    ShortText made;
    made.text.setTextFormat(Qt::PlainText); // a name is never markup
    made.text.setText(metrics.elidedText(text, Qt::ElideRight, room));
    made.text.prepare(QTransform(), font);
    made.width = qCeil(made.text.size().width());
    return *cache.insert(text, made);
}

QFont PresetCellDelegate::cellFont(double pointSize, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(pointSize);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

void PresetCellDelegate::setScale(double scale)
{
    nameTexts.clear();
    authorTexts.clear();
    fontScale = scale;
    nameFont = cellFont(10 * scale, true);
    authorFont = cellFont(8 * scale, false);
}

bool PresetCellDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view,
                                   const QStyleOptionViewItem &option, const QModelIndex &index)
{
    // The disabled table holds no banks yet: nothing to tell.
    if (event->type() != QEvent::ToolTip || !presets || !view->isEnabled() || !index.isValid() ||
        !BankStore::validIndex(index.column(), index.row()))
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    // Read from the store, so a rename or drop shows at once, before the cell is rebuilt.
    QToolTip::showText(event->globalPos(),
                       toolTip(presets->at(index.column(), index.row()), index.column(), index.row()),
                       view->viewport(), option.rect);
    return true;
}

QString PresetCellDelegate::toolTip(const PresetRecord &record, int bank, int preset)
{
    QStringList lines;
    lines << QStringLiteral("<b>%1</b>").arg(record.name.toHtmlEscaped());
    if (!record.author.isEmpty())
        lines << record.author.toHtmlEscaped();
    lines << categoryDisplayName(record.category).toHtmlEscaped();
    lines << tr("Bank %1 · preset %2").arg(bank + 1).arg(preset + 1);
    // Spaces kept as typed; no wrapping inside a line.
    return QStringLiteral("<p style='white-space:pre'>%1</p>").arg(lines.join(QStringLiteral("<br>")));
}
