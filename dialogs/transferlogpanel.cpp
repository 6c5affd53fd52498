#include "dialogs/transferlogpanel.h"

#include "base/appidentity.h"
#include "files/wholefilewriter.h"

#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTime>
#include <QToolButton>
#include <QVBoxLayout>

TransferLogPanel::TransferLogPanel(QWidget *parent) : QWidget(parent)
{
    toggleButton = new QToolButton(this);
    toggleButton->setText(tr("&Log"));
    toggleButton->setCheckable(true);
    toggleButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toggleButton->setArrowType(Qt::RightArrow);
    toggleButton->setAutoRaise(true);
    copyButton = new QPushButton(tr("Co&py"), this);
    saveButton = new QPushButton(tr("S&ave..."), this);
    view = new QPlainTextEdit(this);
    view->setReadOnly(true);
    view->setMaximumBlockCount(5000);
    view->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    toggleButton->setToolTip(tr("Show or hide the transfer's log"));
    copyButton->setToolTip(tr("Copy the whole log to the clipboard"));
    saveButton->setToolTip(tr("Save the log to a text file"));
    view->setAccessibleName(tr("Transfer log"));
    view->setToolTip(tr("One line per event, with its time"));

    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(toggleButton);
    row->addStretch();
    row->addWidget(copyButton);
    row->addWidget(saveButton);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(row);
    column->addWidget(view);

    connect(toggleButton, &QToolButton::toggled, this, &TransferLogPanel::setExpanded);
    connect(copyButton, &QPushButton::clicked, this, &TransferLogPanel::copy);
    connect(saveButton, &QPushButton::clicked, this, &TransferLogPanel::save);
    setExpanded(false);
}

void TransferLogPanel::addLine(const QString &line)
{
    view->appendPlainText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz ")) + line);
}

QString TransferLogPanel::text() const
{
    return view->toPlainText();
}

bool TransferLogPanel::expanded() const
{
    return toggleButton->isChecked();
}

void TransferLogPanel::setExpanded(bool open)
{
    toggleButton->setChecked(open);
    toggleButton->setArrowType(open ? Qt::DownArrow : Qt::RightArrow);
    view->setVisible(open);
    copyButton->setVisible(open);
    saveButton->setVisible(open);
    emit expandedChanged(open);
}

void TransferLogPanel::copy()
{
    QGuiApplication::clipboard()->setText(text());
}

bool TransferLogPanel::saveTo(const QString &fileName, QString &errorText) const
{
    const WholeFileWriter::Result result =
        WholeFileWriter::write(fileName, (text() + QLatin1Char('\n')).toUtf8());
    if (result != WholeFileWriter::Result::Written) {
        errorText = WholeFileWriter::errorText(result, fileName);
        return false;
    }
    return true;
}

void TransferLogPanel::save()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QFileInfo(folder).isDir())
        folder = QDir::homePath();
    QString fileName = QFileDialog::getSaveFileName(
        this, tr("Save the log"), folder + QStringLiteral("/transfer-log.txt"), tr("Text files (*.txt)"));
    if (fileName.isEmpty())
        return;
    // Qt's own dialog adds no extension to a name typed without one.
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".txt");
    QString error;
    if (!saveTo(fileName, error))
        QMessageBox::critical(this, AppIdentity::ProgramName, error);
}
