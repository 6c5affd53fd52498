#pragma once

#include <QWidget>

class QLabel;
class QToolButton;

// The line above the table while the document is compared with something else: how
// many presets differ, with steps to the previous and next one and a way out.
class CompareBar : public QWidget
{
    Q_OBJECT
public:
    explicit CompareBar(QWidget *parent = nullptr);

    // `differing` presets differ from `other` (a file name, "the module"); `at` is where the
    // current preset stands among them, from 1, or 0 when it is not one of them.
    void showCount(int differing, const QString &other, int at = 0);
    // A step found no further difference that way: said beside the arrows until the next move.
    void showEndReached(bool forward);
    void clearNote();
    QString text() const;
    QString note() const;

    QLabel *countLabel = nullptr;
    QLabel *noteLabel = nullptr;
    QToolButton *previousButton = nullptr;
    QToolButton *nextButton = nullptr;
    QToolButton *endButton = nullptr;

signals:
    void previousRequested();
    void nextRequested();
    void endRequested();
};
