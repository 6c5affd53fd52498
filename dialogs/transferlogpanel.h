#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;
class QToolButton;

// The transfer dialog's log: collapsed to one "Log" button until opened; one timed line
// per event, with Copy (to the clipboard) and Save (to a text file).
class TransferLogPanel : public QWidget
{
    Q_OBJECT

public:
    explicit TransferLogPanel(QWidget *parent = nullptr);

    void addLine(const QString &line);
    QString text() const;
    bool expanded() const;
    void setExpanded(bool open);
    // Writes the log to `fileName`; false with a message in errorText.
    bool saveTo(const QString &fileName, QString &errorText) const;

    QToolButton *toggleButton = nullptr;
    QPlainTextEdit *view = nullptr;
    QPushButton *copyButton = nullptr;
    QPushButton *saveButton = nullptr;

signals:
    void expandedChanged(bool open);

private:
    void copy();
    void save();
};
