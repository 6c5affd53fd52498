#pragma once

// What keeps a window from being worked by Alt keys alone: a button the user can see without
// one, or a key taken twice at once. A label's key counts where it reaches a field.
#include <QAbstractButton>
#include <QLabel>
#include <QString>
#include <QStringList>
#include <QWidget>

// Empty when every visible button of `window` has an Alt key of its own; else what is wrong.
inline QString altKeyFault(QWidget *window)
{
    QStringList texts;
    for (QAbstractButton *b : window->findChildren<QAbstractButton *>())
        if (b->isVisibleTo(window))
            texts << b->text();
    for (QLabel *l : window->findChildren<QLabel *>())
        if (l->buddy() && l->isVisibleTo(window))
            texts << l->text();
    QString keys;
    for (const QString &text : texts) {
        const qsizetype amp = text.indexOf(QLatin1Char('&'));
        if (amp < 0 || amp + 1 >= text.size())
            return QStringLiteral("\"%1\" has no Alt key").arg(text);
        const QChar key = text.at(amp + 1).toLower();
        if (keys.contains(key))
            return QStringLiteral("Alt+%1 twice, in \"%2\"").arg(key).arg(text);
        keys += key;
    }
    return texts.isEmpty() ? QStringLiteral("no buttons") : QString();
}
