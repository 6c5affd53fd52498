#include "views/comparepanel.h"

#include "editing/presetcomparison.h"
#include "model/categorytable.h"
#include "model/presetrecord.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Name, author, category and sound as rich text, the differing parts in bold.
QString describe(const PresetRecord &r, uint8_t fields, const QString &soundText)
{
    auto line = [fields](uint8_t field, const QString &text) {
        const QString escaped = text.toHtmlEscaped();
        return fields & field ? QStringLiteral("<b>%1</b>").arg(escaped) : escaped;
    };
    return QStringList{line(PresetComparison::Name, r.name), line(PresetComparison::Author, r.author),
                       line(PresetComparison::Category, QString::fromLatin1(categoryFor(r.category).name)),
                       line(PresetComparison::Params, soundText)}
        .join(QStringLiteral("<br>"));
}

} // namespace

ComparePanel::ComparePanel(QWidget *parent) : QDockWidget(parent)
{
    setObjectName(QStringLiteral("comparePanel"));
    setWindowTitle(tr("Compare"));
    auto *body = new QWidget;
    positionLabel = new QLabel;
    positionLabel->setObjectName(QStringLiteral("comparePosition"));
    otherLabel = new QLabel;
    otherLabel->setWordWrap(true);
    // A long file name is cut rather than widening the panel.
    otherLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto *oursHeading = new QLabel(tr("This document"));
    theirsHeading = new QLabel(tr("Theirs"));
    oursLabel = new QLabel;
    theirsLabel = new QLabel;
    for (QLabel *l : {oursHeading, theirsHeading})
        l->setStyleSheet(QStringLiteral("font-weight: bold"));
    for (QLabel *l : {oursLabel, theirsLabel}) {
        l->setTextFormat(Qt::RichText);
        l->setAlignment(Qt::AlignTop | Qt::AlignLeft);
        l->setWordWrap(true);
    }
    takeButton = new QPushButton(tr("Take theirs"));
    takeButton->setObjectName(QStringLiteral("takeTheirs"));
    takeButton->setToolTip(tr("Put their version of this preset in the document (one undo step)"));

    auto *grid = new QGridLayout;
    grid->addWidget(oursHeading, 0, 0);
    grid->addWidget(theirsHeading, 0, 1);
    grid->addWidget(oursLabel, 1, 0);
    grid->addWidget(theirsLabel, 1, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    auto *layout = new QVBoxLayout(body);
    layout->addWidget(otherLabel);
    layout->addWidget(positionLabel);
    layout->addLayout(grid);
    layout->addWidget(takeButton, 0, Qt::AlignLeft);
    layout->addStretch(1);
    setWidget(body);
    connect(takeButton, &QPushButton::clicked, this, &ComparePanel::takeTheirsRequested);
    showNothing();
}

void ComparePanel::setOtherName(const QString &name)
{
    otherLabel->setText(tr("Compared with %1").arg(name));
    otherLabel->setToolTip(name);
}

void ComparePanel::showPreset(int bank, int preset, const PresetRecord &ours, const PresetRecord *theirs,
                              uint8_t fields, bool canTake)
{
    QString state = tr("the same");
    if (!theirs)
        state = tr("not compared");
    else if (fields & PresetComparison::Params)
        state = tr("a different sound");
    else if (fields)
        state = tr("same sound, other text");
    positionLabel->setText(tr("Bank %1 · preset %2: %3").arg(bank + 1).arg(preset + 1).arg(state));
    int values = 0;
    if (theirs)
        for (size_t k = 0; k < ours.params.size(); ++k)
            values += ours.params[k] != theirs->params[k];
    const QString sound = values > 0 ? tr("Sound differs in %1 of 128 values").arg(values) : tr("Same sound");
    oursLabel->setText(describe(ours, fields, sound));
    theirsLabel->setText(theirs ? describe(*theirs, fields, sound) : tr("(nothing here)"));
    takeButton->setEnabled(canTake);
}

void ComparePanel::showNothing()
{
    positionLabel->setText(tr("Select a preset in the table."));
    oursLabel->clear();
    theirsLabel->clear();
    takeButton->setEnabled(false);
}
