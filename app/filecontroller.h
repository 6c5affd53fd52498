#pragma once

#include <QString>

class MainWindow;
class QSettings;
class SelectionMask;
struct SyxLosses;

// The window's Save and Load: which banks or presets, which file, what is asked before a
// file is replaced, and what the document is afterwards (saved, still unsaved, replaced).
class FileController
{
public:
    explicit FileController(MainWindow &window) : window(window) {}

    // Save…: which banks, then which file (the dialog opens on the document's file).
    void save();
    // Ctrl+S: all banks to the file the title names, asking nothing, when that is a preset
    // file holding all 16 banks; otherwise save().
    void resave();
    void load();
    // Opens a file as Load does after its dialog: a .pre file over all banks or into chosen
    // ones, a .syx file through its placement dialog. From the recent files and the command line.
    void open(const QString &fileName);

    // Where a file dialog starts: the folder of the file last saved or loaded (setting
    // "defaultpath") while it still exists, else the documents folder.
    static QString startDirectory(const QSettings &settings);
    static void rememberFolderOf(QSettings &settings, const QString &fileName);

private:
    // All banks to `fileName`, which then names and holds the document; a failure is shown.
    bool saveWhole(const QString &fileName);
    // Asks before a save of less than the document (one bank, a selection, a SysEx image)
    // replaces the document's own file; true to go on. `selectedPresets` is 0 unless a
    // selection is saved; `bank` is the bank index, below 1 for all banks.
    bool confirmPartOverDocument(const QString &fileName, int selectedPresets, int bank, bool asSyx);
    // SysEx files: a failure is shown in the error box.
    bool saveSyx(const QString &fileName, const SelectionMask &presets);
    // Says what a SysEx file can't keep and asks, once a run; true to go on.
    bool acceptSyxLosses(const SyxLosses &losses);
    void loadSyx(const QString &fileName);

    MainWindow &window;
};
