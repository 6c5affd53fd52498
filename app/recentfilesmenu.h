#pragma once

#include <QMenu>

class MainWindow;
class QToolButton;

// The list of files last opened or saved (setting "recentfiles", kept by
// RecentFiles), filled each time it opens; choosing a file opens it as Load would. Its texts
// are the window's (MainWindow's translation context).
class RecentFilesMenu : public QMenu
{
public:
    explicit RecentFilesMenu(MainWindow &window);

    // A button of its own below Load, that opens the list (so does Ctrl+Shift+O).
    QToolButton *button = nullptr;

private:
    void fill();

    MainWindow &window;
};
