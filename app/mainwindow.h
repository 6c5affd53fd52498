#pragma once

#include "dialogs/filedialogs.h"
#include "editing/blockoperations.h"
#include "editing/document.h"
#include "editing/presetsort.h"
#include "editing/undohistory.h"
#include "files/recoverycopy.h"
#include "model/bankstore.h"
#include "model/selectionmask.h"

#include <QMainWindow>
#include <QSettings>
#include <QString>
#include <QVector>

#include <memory>

class PresetGrid;
class CompareCommands;
class CompareController;
class DetailView;
class LibraryController;
class LibraryPanel;
class MidiBackend;
class PresetCellDelegate;
class QComboBox;
class QListWidgetItem;
class QMenu;
class QToolButton;
class SearchBar;
struct SyxLosses;
class TableZoom;
class TransferController;
class WindowActions;
class FileController;

// The single top-level window and owner of all application state. Slots stay
// thin: they read the selection once and call into editing/, files/ and midi/.
// The window's state is public so the flows and the tests can drive it directly.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Refresh operations.
    void updateTable(bool withDetailView);
    void updateDetailView();

    // Asks whether to save or export unsaved changes; true means the caller may go on.
    bool askSaveChanges();
    // The banks as they are now were saved whole or exported: unmodified from here on.
    void markClean();
    // The file last saved or loaded whole, shown in the title; empty after an import.
    void setCurrentFile(const QString &fileName);
    // A whole new document (full load, import, recovered work): the table is rebuilt.
    void replaceDocument(const BankStore &banks, Document::Source source, const QString &fileName);
    void updateWindowTitle();
    // The error box with errorText; `fileName`, when given, is named below the message.
    void showError(const QString &fileName = QString());

    // Store conversions on bankStore.
    void imageToRecord(int bank, int preset, const uint8_t *image)
    {
        bankStore.imageToRecord(bank, preset, image);
    }
    void recordToImage(int bank, int preset, uint8_t *image) const
    {
        bankStore.recordToImage(bank, preset, image);
    }

    // Undo history, under the names the rest of the program uses.
    void recordUndo(int bank, int preset) { history.recordUndo(bank, preset); }
    int historyPos() const { return history.historyPos(); }
    int historyEnd() const { return history.historyEnd(); }

    // The table's selection, read once.
    SelectionMask currentSelection() const;
    // Full load or import: every item goes, the column labels come back.
    void clearTable();

    // Selection queries and block operations; each reads the table's selection once.
    bool factoryCellSelected() const;
    bool singleCellSelected() const;
    bool selectionIsRectangle() const;
    void copySelectionToClipboard();
    void pasteClipboard();
    void deleteSelection();
    // Says in the status line why `command` does not run on the selection now.
    void explainRefusal(BlockOperations::Command command);

    // Sorts the selected run of one user bank as one undo step.
    void sortSelection(PresetSort::Key key);
    // Selects every user preset that sounds like another one; the status bar says how many groups.
    void selectDuplicates();

    // A drop wrote the cell (sourceRow, sourceColumn) into (row, column).
    void dropPreset(int sourceRow, int sourceColumn, int row, int column);
    void takeDragSnapshot();

    // Preset files on bankStore; a failure leaves its message in errorText.
    bool savePresetFile(const QString &fileName, int firstBank, int lastBank);
    // Offers work a crashed run left behind (Restore / Discard); called once the window shows.
    void offerRecovery();
    // A SysEx save's losses were accepted: not asked again this run.
    bool syxLossesAccepted = false;
    // Opens a file as Load does after its dialog: a .pre file over all banks or into chosen
    // ones, a .syx file through its placement dialog. From the recent files and the command line.
    void openFile(const QString &fileName);
    // The Load button's list of files last opened or saved.
    QMenu *recentMenu = nullptr;
    // Where the save and load flows get file names; tests answer in place of the user.
    FileDialogs fileDialogs;

    PresetGrid *table = nullptr;
    DetailView *detailView = nullptr;
    QToolButton *importButton = nullptr;
    QToolButton *exportButton = nullptr;
    QToolButton *loadButton = nullptr;
    QToolButton *saveButton = nullptr;
    QToolButton *undoButton = nullptr;
    QToolButton *redoButton = nullptr;
    QComboBox *languageBox = nullptr;
    SearchBar *searchBar = nullptr;
    TableZoom *tableZoom = nullptr;
    // The library dock (Ctrl+L), made on first use, and the button that shows and hides it.
    LibraryPanel *library();
    QToolButton *libraryButton = nullptr;
    LibraryController *libraryController = nullptr;
    // Presets from the library go to (bank, preset) and the rows below it, like a drop:
    // one undo step, user banks only. False when nothing could be placed there.
    bool placeLibraryPresets(const QVector<PresetRecord> &presets, int bank, int preset);
    // Ctrl+L: into the library's search field, or out of the library when already there.
    void focusLibrary();

    // Comparing the document with a file, a backup or the module, and the list of backups.
    // The controller, its bar and its dock are made on first use.
    CompareController *compare();
    QToolButton *compareButton = nullptr;
    QToolButton *backupsButton = nullptr;
    CompareCommands *compareCommands = nullptr;
    void compareWithFile();
    void compareWithModule();
    void showBackups();
    // Writes a backup to the module through the export's question; the document stays.
    void restoreBackup(const QString &fileName);
    // Reads all 16 banks from the module through the transfer dialog, for an import or a
    // comparison (then its button says "Read"). False when nothing was read.
    bool readModule(BankStore &into, bool forCompare);

    QSettings settings;
    // The banks, their history, their file and where they are saved; the names below are
    // the ones the rest of the window uses for its parts.
    Document document;
    BankStore &bankStore = document.store;
    bool &modified = document.modified;
    bool &banksLoaded = document.banksLoaded;
    UndoHistory &history = document.history;
    BankStore dragSnapshot;
    BankStore clipboard;
    QString errorText;
    // The serial number of the module the document was last imported from, for the bank sheet.
    QString moduleSerial;
    int language = 0;
    bool clipboardFilled = false;
    // The MIDI devices the transfer dialog lists, made on first use from the command line
    // (--simulator adds the built-in module); tests put a virtual backend here.
    std::shared_ptr<MidiBackend> midiBackend;
    // Runs the transfer dialog for Import, Export, a restored backup and a comparison.
    std::unique_ptr<TransferController> transfers;
    // Save and Load.
    std::unique_ptr<FileController> files;
    // Every command as one action: its keys and when it may run.
    std::unique_ptr<WindowActions> actions;
    // The unsaved document kept in the data folder against a crash; after the banks, which
    // it reads.
    std::unique_ptr<RecoveryCopy> recovery;

public slots:
    void on_Table_ContextMenuRequest(const QPoint &pos);
    void on_cut_Table();
    void on_copy_Table();
    void on_paste_Table();
    void on_delete_Table();
    void tableSelectionChanged();
    void on_Table_cellChanged(int row, int column);
    void assignNewAuthor();
    void takeShownAuthor();
    void assignChosenCategory();
    void categoryRowChanged(int row);
    void categoryItemChanged(QListWidgetItem *current, QListWidgetItem *previous);
    void on_Import();
    void on_Export();
    void on_Load();
    void on_Save();
    // Ctrl+S: all banks again to the file the title names, or the Save flow when none holds them.
    void resave();
    void on_LangChanged(int index);
    void on_undo();
    void on_redo();
    void quit();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void connectSignals();
};
