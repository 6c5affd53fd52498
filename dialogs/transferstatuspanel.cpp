#include "dialogs/transferstatuspanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

TransferStatusPanel::TransferStatusPanel(QWidget *parent) : QWidget(parent)
{
    label = new QLabel(this);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    stopButton = new QPushButton(tr("S&top"), this);
    retryButton = new QPushButton(tr("Retr&y"), this);
    // The question's answers have Alt keys; the two that write without a backup are never
    // shown with Write.
    writeButton = new QPushButton(tr("&Write"), this);
    noBackupButton = new QPushButton(tr("Write without &backup…"), this);
    writeAnywayButton = new QPushButton(tr("&Write without backup"), this);
    cancelButton = new QPushButton(tr("&Cancel"), this);
    closeButton = new QPushButton(tr("Cl&ose"), this);
    // The text changes with every reply; the name says what it is.
    label->setAccessibleName(tr("Transfer status"));
    label->setToolTip(tr("How the transfer goes; the text can be selected and copied"));
    stopButton->setToolTip(tr("Stop the transfer at the module's next reply"));
    retryButton->setToolTip(tr("Carry on from where the transfer stopped"));
    writeButton->setToolTip(tr("Write the changed presets to the module"));
    noBackupButton->setToolTip(tr("Go on although what the module holds could not be saved"));
    writeAnywayButton->setToolTip(tr("Write the changed presets to the module without a backup"));
    cancelButton->setToolTip(tr("Leave the module as it is"));
    closeButton->setToolTip(tr("Close this window"));

    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch();
    for (QPushButton *b : allButtons())
        row->addWidget(b);
    // A summary with many changed names scrolls instead of being cut off.
    scroller = new QScrollArea(this);
    scroller->setWidget(label);
    scroller->setWidgetResizable(true);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroller->setAccessibleName(label->accessibleName());
    scroller->setToolTip(label->toolTip());
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(scroller, 1);
    column->addLayout(row);
    showNote(QString());
}

void TransferStatusPanel::show(const QString &text, std::initializer_list<QPushButton *> buttons)
{
    running = false;
    label->setText(text);
    for (QPushButton *b : allButtons()) {
        b->setVisible(std::find(buttons.begin(), buttons.end(), b) != buttons.end());
        b->setDefault(false);
    }
    if (buttons.size() > 0)
        (*buttons.begin())->setDefault(true);
    if (!text.isEmpty())
        emit stateShown(text);
}

QList<QPushButton *> TransferStatusPanel::allButtons() const
{
    return {stopButton,        retryButton,  writeButton, noBackupButton,
            writeAnywayButton, cancelButton, closeButton};
}

void TransferStatusPanel::showRunning(const QString &text)
{
    // Called on every reply: only the text changes while it runs.
    if (!running)
        show(text, {stopButton});
    running = true;
    label->setText(text);
}

void TransferStatusPanel::showQuestion(const QString &text, bool backupSaved)
{
    // With a backup saved, what the module holds can be written back: Write is the default.
    // Without one, writing is never one keypress away.
    if (backupSaved)
        show(text, {writeButton, cancelButton});
    else
        show(text, {cancelButton, noBackupButton});
}

void TransferStatusPanel::showWithoutBackupQuestion(const QString &text)
{
    show(text, {cancelButton, writeAnywayButton});
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

int TransferStatusPanel::wantedHeight(int width) const
{
    const QFontMetrics metrics = label->fontMetrics();
    // Two lines at least, so the panel keeps its place while short texts come and go.
    const int minimumText = 2 * metrics.lineSpacing();
    int buttons = 0;
    for (QPushButton *b : allButtons())
        buttons = std::max(buttons, b->sizeHint().height());
    const int spacing = layout() ? layout()->spacing() : 6;
    const int textWidth = std::max(1, width - scroller->verticalScrollBar()->sizeHint().width());
    const int text = std::clamp(label->heightForWidth(textWidth), minimumText,
                                MaxLinesShown * metrics.lineSpacing() + metrics.descent());
    return text + spacing + buttons + 2;
}

QString TransferStatusPanel::text() const
{
    return label->text();
}
