#include "views/multidelegate.h"

#include "model/celltext.h"
#include "model/presetrecord.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>

void MultiDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
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

    painter->save();
    const QWidget *widget = opt.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    const int w = opt.rect.width();
    const int h = opt.rect.height();
    painter->translate(opt.rect.topLeft());
    QFont nameFont(QStringLiteral("Arial"), 10);
    nameFont.setBold(true);
    painter->setFont(nameFont);
    painter->drawText(QRect(QPoint(0, 0), QPoint(w - 1, h - 1)), Qt::AlignHCenter | Qt::AlignTop, name);
    QFont authorFont(QStringLiteral("Arial"), 8);
    authorFont.setWeight(QFont::Normal);
    painter->setFont(authorFont);
    painter->drawText(QRect(QPoint(0, 14), QPoint(w - 1, h - 1)), Qt::AlignHCenter | Qt::AlignTop, author);
    painter->restore();
}

QWidget *MultiDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const
{
    auto *editor = new QLineEdit(parent);
    editor->setMaxLength(MaxPresetTextLength);
    return editor;
}

void MultiDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    const QString text = index.data(Qt::EditRole).toString();
    const qsizetype p1 = text.indexOf(QLatin1Char('\n'));
    static_cast<QLineEdit *>(editor)->setText(p1 < 0 ? text : text.left(p1));
}

void MultiDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    const QString text = index.data(Qt::EditRole).toString();
    // A pasted line feed would make a second line of the name.
    const QString name = CellText::line(static_cast<QLineEdit *>(editor)->text());
    const qsizetype p1 = text.indexOf(QLatin1Char('\n'));
    const QString rest = p1 < 0 ? QStringLiteral("\n") : text.mid(p1);
    model->setData(index, name + rest, Qt::EditRole);
}
