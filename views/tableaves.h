#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>

// Tab and Ctrl+Tab (Shift for backwards) leave a list or table for the next control; the
// arrows move within it. Item views keep Ctrl+Tab for themselves otherwise.
class TabLeaves : public QObject
{
public:
    static void install(QAbstractItemView *view) { view->installEventFilter(new TabLeaves(view)); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab) ||
            !key->modifiers().testFlag(Qt::ControlModifier))
            return false;
        QKeyEvent tab(QEvent::KeyPress, key->key(), key->modifiers() & ~Qt::ControlModifier);
        QApplication::sendEvent(watched, &tab);
        return true;
    }

private:
    explicit TabLeaves(QAbstractItemView *view) : QObject(view) { view->setTabKeyNavigation(false); }
};
