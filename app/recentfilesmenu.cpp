#include "app/recentfilesmenu.h"

#include "app/mainwindow.h"
#include "files/recentfiles.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
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
    // The arrow at the Load button's right edge (or Ctrl+Shift+O) opens the list; the rest
    // of the button still asks for a file.
    setObjectName(QStringLiteral("recentFiles"));
    setTitle(MainWindow::tr("Recent files"));
    w.loadButton->setMenu(this);
    w.loadButton->setPopupMode(QToolButton::MenuButtonPopup);
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
