#pragma once

#include <QObject>

class CompareController;
class MainWindow;
class QToolButton;
class QVBoxLayout;

// The window's Compare and Backups buttons beside the search, and what they run: a
// comparison with a file, a backup or the module, and the list of backups. The comparison
// itself, its bar and its dock are made on first use. Its texts are the window's
// (MainWindow's translation context).
class CompareCommands : public QObject
{
public:
    // `tablePaneLayout` holds the search bar above the table; the buttons go beside it.
    CompareCommands(MainWindow &window, QVBoxLayout *tablePaneLayout);

    CompareController *controller();
    void compareWithFile();
    void compareWithModule();
    void showBackups();

    QToolButton *compareButton = nullptr;
    QToolButton *backupsButton = nullptr;

private:
    MainWindow &window;
    CompareController *comparison = nullptr;
};
