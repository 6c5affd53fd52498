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
void describe(QLabel *const (&labels)[ComparePanel::FieldCount], const PresetRecord &r, uint8_t fields,
              const QString &soundText)
{
    const std::pair<uint8_t, QString> lines[ComparePanel::FieldCount] = {
        {PresetComparison::Name, r.name},
        {PresetComparison::Author, r.author},
        {PresetComparison::Category, categoryDisplayName(r.category)},
        {PresetComparison::Params, soundText}};
    for (int i = 0; i < ComparePanel::FieldCount; ++i) {
        const QString escaped = lines[i].second.toHtmlEscaped();
        labels[i]->setText(fields & lines[i].first ? QStringLiteral("<b>%1</b>").arg(escaped) : escaped);
    }
}

QString joined(QLabel *const (&labels)[ComparePanel::FieldCount])
{
    QStringList lines;
    for (QLabel *l : labels)
        lines << l->text();
    return lines.join(QStringLiteral("<br>"));
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
    for (QLabel *l : {oursHeading, theirsHeading})
        l->setStyleSheet(QStringLiteral("font-weight: bold"));
    takeButton = new QPushButton(tr("Take theirs"));
    takeButton->setObjectName(QStringLiteral("takeTheirs"));
    takeButton->setToolTip(tr("Put their version of this preset in the document (one undo step)"));

    auto *grid = new QGridLayout;
    grid->addWidget(oursHeading, 0, 0);
    grid->addWidget(theirsHeading, 0, 1);
    for (int i = 0; i < FieldCount; ++i) {
        oursFields[i] = new QLabel;
        theirsFields[i] = new QLabel;
        for (QLabel *l : {oursFields[i], theirsFields[i]}) {
            l->setTextFormat(Qt::RichText);
            l->setAlignment(Qt::AlignTop | Qt::AlignLeft);
            l->setWordWrap(true);
        }
        grid->addWidget(oursFields[i], i + 1, 0);
        grid->addWidget(theirsFields[i], i + 1, 1);
    }
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
                              uint8_t fields, bool canTake, bool damagedThere)
{
    QString state = tr("the same");
    if (damagedThere)
        state = tr("damaged in the other file");
    else if (!theirs)
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
    describe(oursFields, ours, fields, sound);
    if (theirs) {
        describe(theirsFields, *theirs, fields, sound);
    } else {
        theirsFields[0]->setText(damagedThere ? tr("(damaged data: nothing to take)") : tr("(nothing here)"));
        for (int i = 1; i < FieldCount; ++i)
            theirsFields[i]->clear();
    }
    takeButton->setEnabled(canTake && !damagedThere);
}

void ComparePanel::showNothing()
{
    positionLabel->setText(tr("Select a preset in the table."));
    for (int i = 0; i < FieldCount; ++i) {
        oursFields[i]->clear();
        theirsFields[i]->clear();
    }
    takeButton->setEnabled(false);
}

QString ComparePanel::oursText() const
{
    return joined(oursFields);
}

QString ComparePanel::theirsText() const
{
    return joined(theirsFields);
}
