#include "app/recentfilesmenu.h"

#include "app/mainwindow.h"
#include "files/recentfiles.h"

#include <QAction>
#include <QBoxLayout>
#include <QDir>
#include <QFileInfo>
#include <QStyle>
#include <QToolButton>

namespace {
// "&" in a file name is no shortcut mark.
QString escapedAmpersands(QString text)
{
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}
} // namespace

RecentFilesMenu::RecentFilesMenu(MainWindow &w) : QMenu(w.loadButton), window(w)
{
    setObjectName(QStringLiteral("recentFiles"));
    setTitle(MainWindow::tr("Recent files"));
    // A button of its own under Load, plain to see, rather than an arrow on Load's edge.
    button = new QToolButton;
    button->setObjectName(QStringLiteral("recentFilesButton"));
    button->setText(MainWindow::tr("Recent files"));
    button->setAccessibleName(MainWindow::tr("Recent files"));
    button->setToolTip(MainWindow::tr("Open one of the files last opened or saved (Ctrl+Shift+O)"));
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    button->setMenu(this);
    if (auto *panel = qobject_cast<QBoxLayout *>(w.loadButton->parentWidget()->layout()))
        panel->insertWidget(panel->indexOf(w.loadButton) + 1, button);
    // The menu's arrow is drawn over the corner: room for it beside the words.
    button->setMinimumWidth(
        button->sizeHint().width() +
        2 * button->style()->pixelMetric(QStyle::PM_MenuButtonIndicator, nullptr, button));
    connect(this, &QMenu::aboutToShow, this, &RecentFilesMenu::fill);
}

void RecentFilesMenu::fill()
{
    clear();
    const QStringList files = RecentFiles(window.settings).files();
    if (files.isEmpty()) {
        addAction(MainWindow::tr("No recent files"))->setEnabled(false);
        return;
    }
    int number = 0;
    for (const QString &path : files) {
        const QFileInfo info(path);
        // "&1" to "&8" choose by key; the folder tells two files of one name apart.
        QAction *open = addAction(QStringLiteral("&%1  %2  (%3)")
                                      .arg(++number)
                                      .arg(escapedAmpersands(info.fileName()),
                                           escapedAmpersands(QDir::toNativeSeparators(info.absolutePath()))));
        // A file since moved or deleted stays listed, greyed, so the user sees what is gone.
        const bool there = info.isFile();
        open->setEnabled(there);
        open->setToolTip(there ? QDir::toNativeSeparators(path)
                               : MainWindow::tr("%1 is no longer there").arg(QDir::toNativeSeparators(path)));
        connect(open, &QAction::triggered, &window, [this, path] { window.openFile(path); });
    }
    addSeparator();
    connect(addAction(MainWindow::tr("Clear the list")), &QAction::triggered, &window,
            [this] { RecentFiles(window.settings).clear(); });
    setToolTipsVisible(true);
}
