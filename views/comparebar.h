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

    // `differing` presets differ from `other` (a file name, "the module").
    void showCount(int differing, const QString &other);
    QString text() const;

    QLabel *countLabel = nullptr;
    QToolButton *previousButton = nullptr;
    QToolButton *nextButton = nullptr;
    QToolButton *endButton = nullptr;

signals:
    void previousRequested();
    void nextRequested();
    void endRequested();
};
