#pragma once

#include <QObject>
#include <QVector>

class LibraryPanel;
struct PresetRecord;
class MainWindow;
class QToolButton;

// The window's library: the tool panel's Library button, the dock (made on first use, or
// soon after the window is up), and what the dock hands over, placed in the table like a
// drop. Its texts are the window's (MainWindow's translation context).
class LibraryController : public QObject
{
public:
    explicit LibraryController(MainWindow &window);

    // The dock, made on first use.
    LibraryPanel *panel();
    // Into the library's search field, or out of the library when already there.
    void focus();

    QToolButton *button = nullptr;

private:
    void sendToTable(const QVector<PresetRecord> &presets);
    void showWhereElse();

    MainWindow &window;
    LibraryPanel *dock = nullptr;
};
