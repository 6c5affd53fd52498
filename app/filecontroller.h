#pragma once

#include <QString>

class FileStamp;
class MainWindow;
class QSettings;
class SelectionMask;
struct FileContents;
struct SyxContents;
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

    // Just before a save writes `fileName`: when it is the document's file and another
    // program changed it since this one last read or wrote it, says so and asks whether to
    // replace it, to save under another name (which changes `fileName`) or to cancel. True
    // to go on writing `fileName`. Every path that saves over a file calls it.
    bool confirmReplacingChanges(QString &fileName, bool asSyx);
    // The document's file was changed by another program while the document is unmodified:
    // offers to read it again; kept, the document counts as unsaved (the title shows it, and
    // closing asks). Called when the window comes back to the front.
    void offerReloadIfChanged();

private:
    // Reads a file of all 16 banks as the new document; false (errorText set) when it
    // can't. `ask` first asks about unsaved changes, after the read.
    bool loadWhole(const QString &fileName, bool ask);
    // The same with the file already read, `seen` taken before that read.
    bool loadWhole(const QString &fileName, const FileContents &file, const FileStamp &seen, bool ask);
    // All banks to `fileName`, which then names and holds the document; a failure is shown.
    bool saveWhole(const QString &fileName);
    // Asks before a save of less than the document (one bank, a selection, a SysEx image)
    // replaces the document's own file; true to go on. `selectedPresets` is 0 unless a
    // selection is saved; `bank` is the bank index, below 1 for all banks.
    bool confirmPartOverDocument(const QString &fileName, int selectedPresets, int bank, bool asSyx);
    // SysEx files, or with midiPauseMs >= 0 MIDI files: a failure is shown in the error box.
    bool saveSyx(const QString &fileName, const SelectionMask &presets, int midiPauseMs = -1);
    // Says how long the MIDI file of those presets plays and asks; true to go on.
    bool acceptMidiLength(const SelectionMask &presets, int pauseMs);
    // Says what a SysEx file can't keep and asks, once a run; true to go on.
    bool acceptSyxLosses(const SyxLosses &losses);
    void loadSyx(const QString &fileName, const SyxContents &contents);

    MainWindow &window;
    bool askingReload = false;
};
