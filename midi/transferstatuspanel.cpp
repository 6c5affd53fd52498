#include "midi/transferstatuspanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

TransferStatusPanel::TransferStatusPanel(QWidget *parent) : QWidget(parent)
{
    label = new QLabel(this);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    stopButton = new QPushButton(tr("Stop"), this);
    retryButton = new QPushButton(tr("Retry"), this);
    writeButton = new QPushButton(tr("Write"), this);
    cancelButton = new QPushButton(tr("Cancel"), this);
    closeButton = new QPushButton(tr("Close"), this);
    // The text changes with every reply; the name says what it is.
    label->setAccessibleName(tr("Transfer status"));
    label->setToolTip(tr("How the transfer goes; the text can be selected and copied"));
    stopButton->setToolTip(tr("Stop the transfer at the module's next reply"));
    retryButton->setToolTip(tr("Carry on from where the transfer stopped"));
    writeButton->setToolTip(tr("Write the changed presets to the module"));
    cancelButton->setToolTip(tr("Leave the module as it is"));
    closeButton->setToolTip(tr("Close this window"));

    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch();
    for (QPushButton *b : {stopButton, retryButton, writeButton, cancelButton, closeButton})
        row->addWidget(b);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(label, 1);
    column->addLayout(row);
    showNote(QString());
}

void TransferStatusPanel::show(const QString &text, std::initializer_list<QPushButton *> buttons)
{
    running = false;
    label->setText(text);
    for (QPushButton *b : {stopButton, retryButton, writeButton, cancelButton, closeButton})
        b->setVisible(std::find(buttons.begin(), buttons.end(), b) != buttons.end());
    if (buttons.size() > 0)
        (*buttons.begin())->setDefault(true);
    if (!text.isEmpty())
        emit stateShown(text);
}

void TransferStatusPanel::showRunning(const QString &text)
{
    // Called on every reply: only the text changes while it runs.
    if (!running)
        show(text, {stopButton});
    running = true;
    label->setText(text);
}

void TransferStatusPanel::showQuestion(const QString &text)
{
    show(text, {writeButton, cancelButton});
}

void TransferStatusPanel::showStopped(const QString &text, bool canRetry)
{
    if (canRetry)
        show(text, {retryButton, closeButton});
    else
        show(text, {closeButton});
}

void TransferStatusPanel::showDone(const QString &text)
{
    show(text, {closeButton});
}

void TransferStatusPanel::showNote(const QString &text)
{
    show(text, {});
}

QString TransferStatusPanel::text() const
{
    return label->text();
}
