// MainWindow's list of recent files, on the Load button.
#include "app/mainwindow.h"

#include "files/recentfiles.h"
#include "views/panelwidgets.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QToolButton>

namespace {
// "&" in a file name is no shortcut mark.
QString escapedAmpersands(QString text)
{
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}
} // namespace

void MainWindow::setUpRecentFiles()
{
    // The arrow at the Load button's right edge (or Ctrl+Shift+O) opens the list; the rest
    // of the button still asks for a file.
    recentMenu = new QMenu(loadButton);
    recentMenu->setObjectName(QStringLiteral("recentFiles"));
    recentMenu->setTitle(tr("Recent files"));
    loadButton->setMenu(recentMenu);
    loadButton->setPopupMode(QToolButton::MenuButtonPopup);
    connect(recentMenu, &QMenu::aboutToShow, this, &MainWindow::fillRecentMenu);
}

void MainWindow::fillRecentMenu()
{
    recentMenu->clear();
    const QStringList files = RecentFiles(settings).files();
    if (files.isEmpty()) {
        recentMenu->addAction(tr("No recent files"))->setEnabled(false);
        return;
    }
    int number = 0;
    for (const QString &path : files) {
        const QFileInfo info(path);
        // "&1" to "&8" choose by key; the folder tells two files of one name apart.
        QAction *open =
            recentMenu->addAction(QStringLiteral("&%1  %2  (%3)")
                                      .arg(++number)
                                      .arg(escapedAmpersands(info.fileName()),
                                           escapedAmpersands(QDir::toNativeSeparators(info.absolutePath()))));
        // A file since moved or deleted stays listed, greyed, so the user sees what is gone.
        const bool there = info.isFile();
        open->setEnabled(there);
        open->setToolTip(there ? QDir::toNativeSeparators(path)
                               : tr("%1 is no longer there").arg(QDir::toNativeSeparators(path)));
        connect(open, &QAction::triggered, this, [this, path] { openFile(path); });
    }
    recentMenu->addSeparator();
    connect(recentMenu->addAction(tr("Clear the list")), &QAction::triggered, this,
            [this] { RecentFiles(settings).clear(); });
    recentMenu->setToolTipsVisible(true);
}

void MainWindow::addRecentFile(const QString &fileName)
{
    RecentFiles(settings).add(fileName);
}
