#include "views/comparebar.h"

#include "views/accessiblenames.h"

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
    noteLabel = new QLabel;
    noteLabel->setObjectName(QStringLiteral("compareNote"));
    endButton = new QToolButton;
    endButton->setText(tr("End comparison"));
    endButton->setToolTip(tr("Hide the marks and the comparison panel"));

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 2);
    layout->addWidget(countLabel);
    layout->addWidget(previousButton);
    layout->addWidget(nextButton);
    layout->addWidget(noteLabel);
    layout->addStretch(1);
    layout->addWidget(endButton);

    connect(previousButton, &QToolButton::clicked, this, &CompareBar::previousRequested);
    connect(nextButton, &QToolButton::clicked, this, &CompareBar::nextRequested);
    connect(endButton, &QToolButton::clicked, this, &CompareBar::endRequested);
}

void CompareBar::showCount(int differing, const QString &other, int at)
{
    QString text;
    if (differing == 0)
        text = tr("No preset differs from %1").arg(other);
    else if (at > 0 && differing == 1)
        text = tr("1 of 1 preset that differs from %1").arg(other);
    else if (at > 0)
        text = tr("%1 of %2 presets that differ from %3").arg(at).arg(differing).arg(other);
    else if (differing == 1)
        text = tr("1 preset differs from %1").arg(other);
    else
        text = tr("%1 presets differ from %2").arg(differing).arg(other);
    countLabel->setText(text);
    previousButton->setEnabled(differing > 0);
    nextButton->setEnabled(differing > 0);
}

void CompareBar::showEndReached(bool forward)
{
    // Heard too: the focus stays on the arrow, and nothing else moves.
    AccessibleNames::announce(noteLabel, forward ? tr("No more differences after this one")
                                                 : tr("No more differences before this one"));
    noteLabel->setText(noteLabel->accessibleName());
}

void CompareBar::clearNote()
{
    noteLabel->clear();
    noteLabel->setAccessibleName(QString());
}

QString CompareBar::text() const
{
    return countLabel->text();
}

QString CompareBar::note() const
{
    return noteLabel->text();
}
