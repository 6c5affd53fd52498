#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QScrollArea;

// Where the transfer dialog says how a transfer goes and what the user can do about it:
// its position while running (with Stop), the question before writing (Write or, without
// a backup, a separate "Write without backup" step; Cancel is the default), why it
// stopped (Retry, Close) and the summary at the end (Close). Long texts scroll.
class TransferStatusPanel : public QWidget
{
    Q_OBJECT

public:
    explicit TransferStatusPanel(QWidget *parent = nullptr);

    void showRunning(const QString &text);
    // With a backup saved: Write, Cancel; without: "Write without backup…", Cancel.
    void showQuestion(const QString &text, bool backupSaved);
    // The second step of writing without a backup.
    void showWithoutBackupQuestion(const QString &text);
    void showStopped(const QString &text, bool canRetry);
    void showDone(const QString &text);
    // A line without buttons (an unanswered connect); empty text hides the panel's text.
    void showNote(const QString &text);
    QString text() const;
    // The height that shows the text whole at `width`, up to ten lines and the buttons;
    // longer texts scroll.
    int wantedHeight(int width) const;
    static constexpr int MaxLinesShown = 10;

    QLabel *label = nullptr;
    QScrollArea *scroller = nullptr;
    QPushButton *stopButton = nullptr;
    QPushButton *retryButton = nullptr;
    QPushButton *writeButton = nullptr;
    QPushButton *noBackupButton = nullptr;
    QPushButton *writeAnywayButton = nullptr;
    QPushButton *cancelButton = nullptr;
    QPushButton *closeButton = nullptr;

signals:
    // A new state's text (not each step of a running transfer), for screen readers to speak.
    void stateShown(const QString &text);

private:
    bool running = false;
    // The first button is the default.
    void show(const QString &text, std::initializer_list<QPushButton *> buttons);
    QList<QPushButton *> allButtons() const;
};
