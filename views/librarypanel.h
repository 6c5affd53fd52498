#pragma once

#include "library/librarydatabase.h"
#include "model/presetrecord.h"

#include <QDockWidget>
#include <QVector>

#include <memory>

class LibrarySearcher;
class LibraryUpdater;
struct LibrarySearchResult;
struct LibraryUpdateResult;
class QFileSystemWatcher;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QStandardItemModel;
class QTableView;
class QTimer;
class QToolButton;

// The library beside the table: a search over every indexed preset, the results with
// their file and position (dragged onto a user cell, or sent to the selected one), and
// "Where else is this sound?" for the table's selected preset. The index is brought up
// to date in the background at start, when a covered folder changes and when the panel
// is shown.
class LibraryPanel : public QDockWidget
{
    Q_OBJECT
public:
    LibraryPanel(const QString &databasePath, const QStringList &defaultFolders, QWidget *parent = nullptr);
    ~LibraryPanel() override;

    void startUpdate();
    // Lists the files and positions holding the parameter bytes of `record`. Like the
    // search, it runs in the background and its results follow.
    void showWhereElse(const PresetRecord &record);
    // A short note in the panel's status line.
    void showMessage(const QString &text);
    // The presets of the selected results, read from their files now. Empty (with a
    // message) when a file changed since it was indexed.
    QVector<PresetRecord> selectedPresets();
    // The results shown: at most this many.
    static constexpr int ResultLimit = 1000;
    // `path` below the deepest of `folders` that holds it; the whole path when none does.
    static QString relativePath(const QString &path, const QStringList &folders);

    QLineEdit *searchEdit = nullptr;
    QTableView *resultsView = nullptr;
    QStandardItemModel *results = nullptr;
    QPushButton *sendButton = nullptr;
    QPushButton *whereButton = nullptr;
    QToolButton *foldersButton = nullptr;
    QPushButton *problemsButton = nullptr;
    QLabel *statusLabel = nullptr;
    QProgressBar *progressBar = nullptr;
    LibraryUpdater *updater = nullptr;
    LibrarySearcher *searcher = nullptr;

signals:
    void sendRequested(const QVector<PresetRecord> &presets);
    void whereElseRequested();
    // The database was opened and an update has finished (for tests and the status line).
    void updateFinished();
    // The results of the newest search or "where else" are shown.
    void resultsShown();
    // An update that has run for more than a second: percent done, -1 when it ends. The
    // panel shows a progress bar; this is for whoever shows it while the panel is hidden.
    void progressChanged(int percent);

private:
    enum Column {
        NameColumn,
        AuthorColumn,
        CategoryColumn,
        BankColumn,
        PresetColumn,
        FileColumn,
        ColumnCount
    };

    void runSearch();
    // The search field's hint while no sound is being looked for.
    static QString searchHint();
    void searchFinished(const LibrarySearchResult &result);
    void setResults(const LibraryDatabase::Hits &hits);
    void keepPlaceColumnsInView();
    void searchFailed(const QString &error, bool damaged);
    void updateFinishedRun(const LibraryUpdateResult &result);
    void showSummary();
    void showProblems();
    void fillFoldersMenu();
    void addFolder();
    void folderChangeFailed(const QString &folder, bool adding, const QString &error);
    void watchFolders();
    bool databaseReady();

    QString databasePath;
    std::unique_ptr<LibraryDatabase> db;
    bool opened = false;
    bool progressShown = false;
    QString note;
    // Names the folders the last update could not read (their presets stay).
    QString folderNote;
    // What the newest request was: a text search, or "where else" for this preset name.
    bool whereElseShown = false;
    QString whereElseName;
    QTimer *searchTimer = nullptr;
    QTimer *progressDelay = nullptr;
    QTimer *changeDelay = nullptr;
    QFileSystemWatcher *watcher = nullptr;
};
