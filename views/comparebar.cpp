#include "views/comparebar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

CompareBar::CompareBar(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("compareBar"));
    countLabel = new QLabel;
    countLabel->setObjectName(QStringLiteral("compareCount"));
    previousButton = new QToolButton;
    previousButton->setArrowType(Qt::UpArrow);
    previousButton->setToolTip(tr("Previous preset that differs"));
    previousButton->setAccessibleName(tr("Previous difference"));
    nextButton = new QToolButton;
    nextButton->setArrowType(Qt::DownArrow);
    nextButton->setToolTip(tr("Next preset that differs"));
    nextButton->setAccessibleName(tr("Next difference"));
    endButton = new QToolButton;
    endButton->setText(tr("End comparison"));
    endButton->setToolTip(tr("Hide the marks and the comparison panel"));

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 2);
    layout->addWidget(countLabel);
    layout->addWidget(previousButton);
    layout->addWidget(nextButton);
    layout->addStretch(1);
    layout->addWidget(endButton);

    connect(previousButton, &QToolButton::clicked, this, &CompareBar::previousRequested);
    connect(nextButton, &QToolButton::clicked, this, &CompareBar::nextRequested);
    connect(endButton, &QToolButton::clicked, this, &CompareBar::endRequested);
}

void CompareBar::showCount(int differing, const QString &other)
{
    QString text;
    if (differing == 0)
        text = tr("No preset differs from %1").arg(other);
    else if (differing == 1)
        text = tr("1 preset differs from %1").arg(other);
    else
        text = tr("%1 presets differ from %2").arg(differing).arg(other);
    countLabel->setText(text);
    previousButton->setEnabled(differing > 0);
    nextButton->setEnabled(differing > 0);
}

QString CompareBar::text() const
{
    return countLabel->text();
}
