#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

// Drives a modal dialog as a user would: once a modal widget other than `skip`
// is active, `act` runs with it (typically setting fields and clicking a button).
// Polls from the event loop that the dialog's exec() runs; gives up after 10 s.
inline void whenModalShows(std::function<void(QWidget *)> act, QWidget *skip = nullptr)
{
    auto *timer = new QTimer;
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    QObject::connect(timer, &QTimer::timeout, [timer, act, skip, started] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal != skip && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            act(modal);
        } else if (started->elapsed() > 10000) {
            timer->stop();
            timer->deleteLater();
            qWarning("whenModalShows: no modal widget appeared");
        }
    });
    timer->start(10);
}
