#include "dialogs/formfit.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <algorithm>

namespace {

QPoint bottomRightOf(const QList<QWidget *> &children)
{
    QPoint corner(0, 0);
    for (const QWidget *c : children)
        corner = QPoint(std::max(corner.x(), c->geometry().right() + 1),
                        std::max(corner.y(), c->geometry().bottom() + 1));
    return corner;
}

bool overlap(int aStart, int aEnd, int bStart, int bEnd)
{
    return aStart <= bEnd && bStart <= aEnd;
}

// How much wider and taller a text widget must be for its text.
QSize shortfall(QWidget *w)
{
    auto *label = qobject_cast<QLabel *>(w);
    if (label && label->wordWrap())
        return QSize(0, std::max(0, label->heightForWidth(label->width()) - label->height()));
    if (!label && !qobject_cast<QAbstractButton *>(w))
        return QSize(0, 0);
    // Push buttons draw their text well inside their frame; a few pixels of it may go.
    const int slack = qobject_cast<QPushButton *>(w) ? 8 : 0;
    return QSize(std::max(0, w->sizeHint().width() - slack - w->width()), 0);
}

// Makes room inside `parent`; returns how much it must grow to keep the margins its children had.
QSize fitChildren(QWidget *parent)
{
    const QList<QWidget *> children = parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    const QPoint before = bottomRightOf(children);
    const QSize spare(std::max(0, parent->width() - before.x()), std::max(0, parent->height() - before.y()));
    for (QWidget *child : children) {
        QSize grow = fitChildren(child);
        grow = grow.expandedTo(shortfall(child));
        if (grow.isNull())
            continue;
        const QRect was = child->geometry();
        for (QWidget *other : children) {
            if (other == child)
                continue;
            const QRect o = other->geometry();
            if (grow.width() > 0 && o.x() > was.right() &&
                overlap(o.top(), o.bottom(), was.top(), was.bottom()))
                other->move(other->x() + grow.width(), other->y());
            if (grow.height() > 0 && o.y() > was.bottom() &&
                overlap(o.left(), o.right(), was.left(), was.right()))
                other->move(other->x(), other->y() + grow.height());
        }
        child->resize(child->size() + grow);
    }
    const QPoint after = bottomRightOf(children);
    return QSize(std::max(0, after.x() + spare.width() - parent->width()),
                 std::max(0, after.y() + spare.height() - parent->height()));
}

} // namespace

void growToFitTexts(QWidget *form)
{
    const QSize grow = fitChildren(form);
    if (grow.isNull())
        return;
    if (form->minimumSize() == form->maximumSize())
        form->setFixedSize(form->size() + grow);
    else
        form->resize(form->size() + grow);
}
