#include "files/formfit.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <algorithm>

namespace {

int rightmostChild(const QList<QWidget *> &children)
{
    int right = 0;
    for (const QWidget *c : children)
        right = std::max(right, c->geometry().right() + 1);
    return right;
}

bool overlapVertically(const QRect &a, const QRect &b)
{
    return a.top() <= b.bottom() && b.top() <= a.bottom();
}

// Returns how much wider `parent` must become to keep the right margin its children had.
int fitChildren(QWidget *parent)
{
    const QList<QWidget *> children = parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    const int spare = parent->width() - rightmostChild(children);
    for (QWidget *child : children) {
        if (const int grow = fitChildren(child); grow > 0)
            child->resize(child->width() + grow, child->height());
    }
    for (QWidget *child : children) {
        const bool wordWrapped = qobject_cast<QLabel *>(child) && static_cast<QLabel *>(child)->wordWrap();
        if (!(qobject_cast<QAbstractButton *>(child) || qobject_cast<QLabel *>(child)) || wordWrapped)
            continue;
        // Push buttons draw their text well inside their frame; a few pixels of it may go.
        const int slack = qobject_cast<QPushButton *>(child) ? 8 : 0;
        const int grow = child->sizeHint().width() - slack - child->width();
        if (grow <= 0)
            continue;
        const QRect before = child->geometry();
        for (QWidget *other : children) {
            if (other != child && other->x() > before.right() && overlapVertically(other->geometry(), before))
                other->move(other->x() + grow, other->y());
        }
        child->resize(child->width() + grow, child->height());
    }
    return std::max(0, rightmostChild(children) + std::max(spare, 0) - parent->width());
}

} // namespace

void growToFitTexts(QWidget *form)
{
    const int grow = fitChildren(form);
    if (grow <= 0)
        return;
    const bool fixed = form->minimumSize() == form->maximumSize();
    const QSize size(form->width() + grow, form->height());
    if (fixed)
        form->setFixedSize(size);
    else
        form->resize(size);
}
