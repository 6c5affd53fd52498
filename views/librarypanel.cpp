#include "views/librarypanel.h"

#include "library/libraryfile.h"
#include "library/librarysearcher.h"
#include "library/libraryupdater.h"
#include "model/categorytable.h"
#include "views/accessiblenames.h"
#include "views/librarymime.h"
#include "views/presettable.h"
#include "views/tableaves.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <map>

namespace {

enum Role { PathRole = Qt::UserRole + 1, BankRole, PresetRole, HashRole };

// File paths differ at their ends: cut in the middle. Names and authors read from the start.
class MiddleElided : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->textElideMode = Qt::ElideMiddle;
    }
};

// The results hand their presets to a drag, read from the files when it starts.
class ResultsModel : public QStandardItemModel
{
public:
    ResultsModel(LibraryPanel *panel) : QStandardItemModel(panel), panel(panel) {}

    QStringList mimeTypes() const override { return {LibraryMime::format()}; }
    QMimeData *mimeData(const QModelIndexList &) const override
    {
        const QVector<PresetRecord> presets = panel->selectedPresets();
        if (presets.isEmpty())
            return nullptr;
        auto *data = new QMimeData;
        data->setData(LibraryMime::format(), LibraryMime::encode(presets));
        return data;
    }
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

    // Filled cell by cell, the view would hear of each of thousands of cells; one reset
    // afterwards makes a long result list quick to show.
    template <typename Fill> void refill(Fill fill)
    {
        beginResetModel();
        {
            const QSignalBlocker quiet(this);
            fill();
        }
        endResetModel();
    }

private:
    LibraryPanel *panel;
};

} // namespace

LibraryPanel::LibraryPanel(const QString &path, const QStringList &defaultFolders, QWidget *parent)
    : QDockWidget(tr("Library"), parent), databasePath(path)
{
    setObjectName(QStringLiteral("libraryPanel"));
    auto *content = new QWidget;
    auto *layout = new QVBoxLayout(content);

    searchEdit = new QLineEdit;
    searchEdit->setObjectName(QStringLiteral("librarySearch"));
    searchEdit->setPlaceholderText(searchHint());
    searchEdit->setClearButtonEnabled(true);
    AccessibleNames::nameClearButton(searchEdit, tr("Clear the library search"),
                                     tr("Clear the library search"));
    searchEdit->setAccessibleName(tr("Search the library"));
    searchEdit->setToolTip(tr("Finds presets in every indexed file by name, author or category"));
    layout->addWidget(searchEdit);

    results = new ResultsModel(this);
    results->setHorizontalHeaderLabels(
        {tr("Name"), tr("Author"), tr("Category"), tr("Bank"), tr("Preset"), tr("File")});
    resultsView = new QTableView;
    resultsView->setObjectName(QStringLiteral("libraryResults"));
    resultsView->setModel(results);
    resultsView->setSortingEnabled(true);
    resultsView->sortByColumn(-1, Qt::AscendingOrder); // the search's order until a header is clicked
    resultsView->setSelectionBehavior(QAbstractItemView::SelectRows);
    TabLeaves::install(resultsView); // Tab leaves the results, arrows move within

    resultsView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    resultsView->setDragEnabled(true);
    resultsView->setDragDropMode(QAbstractItemView::DragOnly);
    resultsView->setDefaultDropAction(Qt::CopyAction);
    resultsView->verticalHeader()->hide();
    resultsView->verticalHeader()->setDefaultSectionSize(resultsView->fontMetrics().height() + 6);
    resultsView->horizontalHeader()->setStretchLastSection(true);
    // Column widths from the first rows: measuring a thousand would hold up each search.
    resultsView->horizontalHeader()->setResizeContentsPrecision(100);
    resultsView->setWordWrap(false);
    resultsView->setTextElideMode(Qt::ElideRight);
    resultsView->setItemDelegateForColumn(FileColumn, new MiddleElided(resultsView));
    resultsView->setAccessibleName(tr("Library results"));
    resultsView->setToolTip(
        tr("Drag results onto a user cell of the table, or send them to the selected cell"));
    layout->addWidget(resultsView, 1);

    auto *buttons = new QHBoxLayout;
    sendButton = new QPushButton(tr("&Send to selected cell"));
    whereButton = new QPushButton(tr("&Where else is this sound?"));
    whereButton->setToolTip(
        tr("Lists the files that hold the parameters of the preset selected in the table"));
    foldersButton = new QToolButton;
    foldersButton->setText(tr("F&olders"));
    foldersButton->setPopupMode(QToolButton::InstantPopup);
    foldersButton->setToolTip(tr("Choose the folders the library reads"));
    sendButton->setToolTip(tr("Put the selected results into the table from its selected cell on"));
    foldersButton->setMenu(new QMenu(foldersButton));
    buttons->addWidget(sendButton);
    buttons->addWidget(whereButton);
    buttons->addStretch(1);
    buttons->addWidget(foldersButton);
    layout->addLayout(buttons);

    auto *statusRow = new QHBoxLayout;
    statusLabel = new QLabel;
    statusLabel->setWordWrap(true);
    problemsButton = new QPushButton;
    problemsButton->setFlat(true);
    problemsButton->setToolTip(tr("List the files that could not be read, and why"));
    problemsButton->hide();
    statusRow->addWidget(statusLabel, 1);
    statusRow->addWidget(problemsButton);
    layout->addLayout(statusRow);
    progressBar = new QProgressBar;
    progressBar->setAccessibleName(tr("Library update progress"));
    progressBar->hide();
    layout->addWidget(progressBar);
    setWidget(content);

    searchTimer = new QTimer(this);
    searchTimer->setSingleShot(true);
    searchTimer->setInterval(150);
    progressDelay = new QTimer(this);
    progressDelay->setSingleShot(true);
    progressDelay->setInterval(1000);
    changeDelay = new QTimer(this);
    changeDelay->setSingleShot(true);
    changeDelay->setInterval(1000);
    watcher = new QFileSystemWatcher(this);
    updater = new LibraryUpdater(path, defaultFolders, this);
    searcher = new LibrarySearcher(path, this);

    connect(searchEdit, &QLineEdit::textChanged, searchTimer, qOverload<>(&QTimer::start));
    // The results of an older text never show once the field says something else.
    connect(searchEdit, &QLineEdit::textChanged, searcher, &LibrarySearcher::cancel);
    connect(searchTimer, &QTimer::timeout, this, &LibraryPanel::runSearch);
    connect(searchEdit, &QLineEdit::returnPressed, this, &LibraryPanel::runSearch);
    connect(searcher, &LibrarySearcher::finished, this,
            [this](quint64, const LibrarySearchResult &result) { searchFinished(result); });
    connect(sendButton, &QPushButton::clicked, this, [this] {
        const QVector<PresetRecord> presets = selectedPresets();
        if (!presets.isEmpty())
            emit sendRequested(presets);
    });
    connect(whereButton, &QPushButton::clicked, this, &LibraryPanel::whereElseRequested);
    connect(foldersButton->menu(), &QMenu::aboutToShow, this, &LibraryPanel::fillFoldersMenu);
    connect(problemsButton, &QPushButton::clicked, this, &LibraryPanel::showProblems);
    connect(resultsView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { sendButton->setEnabled(resultsView->selectionModel()->hasSelection()); });
    sendButton->setEnabled(false);
    connect(progressDelay, &QTimer::timeout, this, [this] {
        if (!updater->isRunning())
            return;
        progressShown = true;
        progressBar->show();
        emit progressChanged(progressBar->maximum() > 0 ? progressBar->value() * 100 / progressBar->maximum()
                                                        : 0);
    });
    connect(watcher, &QFileSystemWatcher::directoryChanged, changeDelay, qOverload<>(&QTimer::start));
    connect(changeDelay, &QTimer::timeout, this, &LibraryPanel::startUpdate);
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        // Files may have been changed in place, which no folder reports.
        if (visible && opened)
            startUpdate();
    });
    connect(updater, &LibraryUpdater::opened, this, [this](bool ok, bool rebuilt, const QString &error) {
        if (!ok) {
            note = tr("The library database cannot be opened: %1").arg(error);
            showSummary();
            return;
        }
        if (rebuilt) {
            note = updater->upgraded()
                       ? tr("The library database came from an older version of the program "
                            "and has been rebuilt from the files.")
                       : tr("The library database was damaged and has been rebuilt from the files.");
            db.reset();
            searcher->reopen();
        }
        const bool wasOpened = opened;
        opened = true;
        showSummary();
        // What was typed while the library was not ready yet is searched now.
        if (!wasOpened && !searchEdit->text().trimmed().isEmpty())
            runSearch();
    });
    connect(updater, &LibraryUpdater::progress, this, [this](int done, int total) {
        progressBar->setRange(0, total);
        progressBar->setValue(done);
        progressBar->setFormat(tr("Reading files: %1 of %2").arg(done).arg(total));
        if (progressShown)
            emit progressChanged(total > 0 ? done * 100 / total : 0);
    });
    // Said until the update ends: then the summary takes its place.
    connect(updater, &LibraryUpdater::waiting, this,
            [this] { showMessage(tr("Waiting for another program's update of the library to end…")); });
    connect(updater, &LibraryUpdater::finished, this, &LibraryPanel::updateFinishedRun);
    connect(updater, &LibraryUpdater::folderChangeFailed, this, &LibraryPanel::folderChangeFailed);
    showSummary();
}

LibraryPanel::~LibraryPanel() = default;

bool LibraryPanel::databaseReady()
{
    if (!opened)
        return false;
    if (!db) {
        db = std::make_unique<LibraryDatabase>(databasePath);
        // Made by the updater already: this connection only reads it.
        if (!db->openToRead()) {
            db.reset();
            return false;
        }
    }
    return true;
}

void LibraryPanel::startUpdate()
{
    progressDelay->start();
    updater->start();
}

void LibraryPanel::updateFinishedRun(const LibraryUpdateResult &result)
{
    progressDelay->stop();
    progressBar->hide();
    // Busy until the next update reports: one asked for now may wait for the page check.
    progressBar->setRange(0, 0);
    if (progressShown) {
        progressShown = false;
        emit progressChanged(-1);
    }
    if (!result.ok && !result.cancelled)
        note = tr("The library could not be updated: %1").arg(result.error);
    if (result.ok && !result.cancelled) {
        QStringList folders;
        // The folders by name; why each could not be read is in the tooltip.
        for (const QString &problem : result.unreadableFolders)
            folders << QDir::toNativeSeparators(problem.left(problem.lastIndexOf(QLatin1String(": "))));
        statusLabel->setToolTip(result.unreadableFolders.join(QLatin1Char('\n')));
        folderNote = folders.isEmpty()
                         ? QString()
                         : tr("Not readable, presets kept: %1").arg(folders.join(QStringLiteral("; ")));
    }
    watchFolders();
    showSummary();
    if (!searchEdit->text().trimmed().isEmpty() && result.filesRead + result.filesRemoved > 0)
        runSearch();
    emit updateFinished();
}

void LibraryPanel::watchFolders()
{
    if (!databaseReady())
        return;
    // The covered folders and the folders right inside them; deeper changes are found
    // when the panel is shown or the program starts.
    QStringList dirs;
    for (const QString &folder : db->folders()) {
        if (!QFileInfo(folder).isDir())
            continue;
        dirs << folder;
        const QStringList subs = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString &sub : subs)
            if (dirs.size() < 256)
                dirs << folder + QLatin1Char('/') + sub;
    }
    // Only the differences: watching a folder anew would drop a change not yet reported.
    const QStringList watched = watcher->directories();
    QStringList gone;
    for (const QString &d : watched)
        if (!dirs.contains(d))
            gone << d;
    QStringList added;
    for (const QString &d : dirs)
        if (!watched.contains(d))
            added << d;
    if (!gone.isEmpty())
        watcher->removePaths(gone);
    if (!added.isEmpty())
        watcher->addPaths(added);
}

void LibraryPanel::showSummary()
{
    QString text;
    int unreadable = 0;
    if (databaseReady()) {
        const LibraryDatabase::Counts c = db->counts();
        unreadable = int(c.unreadable);
        if (searchEdit->text().trimmed().isEmpty())
            text = tr("%1 presets in %2 files").arg(c.presets).arg(c.files - c.unreadable);
    } else if (note.isEmpty()) {
        text = tr("Opening the library...");
    }
    for (const QString &n : {folderNote, note})
        if (!n.isEmpty())
            text = text.isEmpty() ? n : n + QLatin1Char('\n') + text;
    if (!searchEdit->text().trimmed().isEmpty() && text.isEmpty())
        return; // the search's own count stays
    statusLabel->setText(text);
    problemsButton->setVisible(unreadable > 0);
    problemsButton->setText(tr("Unreadable files: %1").arg(unreadable));
}

void LibraryPanel::showMessage(const QString &text)
{
    statusLabel->setText(text);
}

void LibraryPanel::showProblems()
{
    if (!databaseReady())
        return;
    QStringList lines;
    for (const LibraryDatabase::Problem &p : db->unreadableFiles())
        lines << QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(p.path), p.error);
    QMessageBox box(QMessageBox::Information, windowTitle(),
                    tr("These files could not be read and are left out of the library."), QMessageBox::Ok,
                    this);
    box.setDetailedText(lines.join(QLatin1Char('\n')));
    box.exec();
}

QString LibraryPanel::searchHint()
{
    return tr("Search name, author, category");
}

void LibraryPanel::runSearch()
{
    searchTimer->stop();
    const QString query = searchEdit->text();
    whereElseShown = false;
    searchEdit->setPlaceholderText(searchHint());
    if (query.trimmed().isEmpty()) {
        searcher->cancel();
        results->removeRows(0, results->rowCount());
        showSummary();
        return;
    }
    if (!databaseReady()) {
        searcher->cancel();
        showMessage(tr("The library is not ready yet."));
        return;
    }
    // The results so far stay until the new ones arrive; a newer keystroke supersedes this.
    searcher->search(query, ResultLimit);
}

void LibraryPanel::searchFinished(const LibrarySearchResult &result)
{
    const LibraryDatabase::Hits &hits = result.hits;
    setResults(hits);
    if (!hits.ok)
        searchFailed(result.error, result.damaged);
    else if (whereElseShown && hits.total == 0)
        showMessage(tr("No file in the library holds the sound of \"%1\".").arg(whereElseName));
    else if (whereElseShown)
        showMessage(tr("Places holding the sound of \"%1\": %2").arg(whereElseName).arg(hits.total));
    else if (hits.total > qint64(hits.hits.size()))
        showMessage(tr("%1 presets found, the first %2 shown").arg(hits.total).arg(hits.hits.size()));
    else
        showMessage(tr("Presets found: %1").arg(hits.total));
    if (hits.ok && hits.incomplete)
        showMessage(statusLabel->text() + QLatin1Char('\n') +
                    tr("The library is not completely indexed yet: more may be found once it is."));
    emit resultsShown();
}

void LibraryPanel::setResults(const LibraryDatabase::Hits &hits)
{
    resultsView->setSortingEnabled(false);
    const QStringList folders = databaseReady() ? db->folders() : QStringList();
    static_cast<ResultsModel *>(results)->refill([this, &hits, &folders] {
        results->removeRows(0, results->rowCount());
        results->setRowCount(int(hits.hits.size()));
        int row = 0;
        for (const LibraryDatabase::Hit &h : hits.hits) {
            auto *name = new QStandardItem(h.name);
            name->setData(h.path, PathRole);
            name->setData(h.bank, BankRole);
            name->setData(h.preset, PresetRole);
            name->setData(h.hash, HashRole);
            name->setData(QColor(QRgb(categoryFor(h.category).rgb)), Qt::DecorationRole);
            // Files of the same name in different folders must not look alike.
            const QString shownPath = QDir::toNativeSeparators(relativePath(h.path, folders));
            name->setData(
                tr("%1, in %2")
                    .arg(PresetTable::spokenText(h.name, h.author, h.category, h.bank, h.preset), shownPath),
                Qt::AccessibleTextRole);
            results->setItem(row, NameColumn, name);
            results->setItem(row, AuthorColumn, new QStandardItem(h.author));
            results->setItem(row, CategoryColumn, new QStandardItem(categoryDisplayName(h.category)));
            // Numbers as people count them.
            auto *bank = new QStandardItem;
            bank->setData(h.bank + 1, Qt::DisplayRole);
            results->setItem(row, BankColumn, bank);
            auto *preset = new QStandardItem;
            preset->setData(h.preset + 1, Qt::DisplayRole);
            results->setItem(row, PresetColumn, preset);
            auto *file = new QStandardItem(shownPath);
            file->setToolTip(QDir::toNativeSeparators(h.path));
            results->setItem(row, FileColumn, file);
            ++row;
        }
    });
    sendButton->setEnabled(false); // the reset dropped the selection
    resultsView->setSortingEnabled(true);
    resultsView->resizeColumnsToContents();
    keepPlaceColumnsInView();
}

QString LibraryPanel::relativePath(const QString &path, const QStringList &folders)
{
    // The deepest covered folder holding the file; the path as it is when none does.
    QString best;
    for (const QString &folder : folders) {
        const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
        if (path.startsWith(prefix) && prefix.size() > best.size())
            best = prefix;
    }
    return best.isEmpty() ? path : path.mid(best.size());
}

void LibraryPanel::keepPlaceColumnsInView()
{
    // Where not everything fits the dock, bank and preset keep their width, and the others
    // give way in turn, down to a few letters each: the category first, then the author, then
    // the file (the last column, which takes what is left), and the preset's name last.
    QHeaderView *header = resultsView->horizontalHeader();
    const int minimumName = fontMetrics().horizontalAdvance(QStringLiteral("Mmmmmm"));
    const int minimumText = fontMetrics().horizontalAdvance(QStringLiteral("Mmm"));
    const int minimumFile = fontMetrics().horizontalAdvance(QStringLiteral("mmmmmmmmmm.pre"));
    int file = minimumFile;
    const QFontMetrics cells = resultsView->fontMetrics();
    for (int r = 0; r < results->rowCount(); ++r)
        file = std::max(file, cells.horizontalAdvance(results->index(r, FileColumn).data().toString()) + 16);
    int excess = header->sectionSize(BankColumn) + header->sectionSize(PresetColumn) + file -
                 resultsView->viewport()->width();
    for (int c : {NameColumn, AuthorColumn, CategoryColumn})
        excess += header->sectionSize(c);
    for (int c : {int(CategoryColumn), int(AuthorColumn), int(FileColumn), int(NameColumn)}) {
        if (excess <= 0)
            return;
        const int size = c == FileColumn ? file : header->sectionSize(c);
        const int least = c == FileColumn ? minimumFile : c == NameColumn ? minimumName : minimumText;
        const int cut = std::min(excess, std::max(0, size - least));
        excess -= cut;
        if (c == FileColumn)
            file -= cut;
        else
            header->resizeSection(c, size - cut);
    }
}

void LibraryPanel::showWhereElse(const PresetRecord &record)
{
    searchTimer->stop();
    if (!databaseReady()) {
        searcher->cancel();
        showMessage(tr("The library is not ready yet."));
        return;
    }
    whereElseShown = true;
    whereElseName = record.name.isEmpty() ? tr("(no name)") : record.name;
    // The old search word would stand above results it has nothing to do with.
    {
        const QSignalBlocker quiet(searchEdit);
        searchEdit->clear();
    }
    searchEdit->setPlaceholderText(tr("Same sound as \"%1\"").arg(whereElseName));
    searcher->whereElse(paramsHash(record.params), ResultLimit);
}

void LibraryPanel::searchFailed(const QString &error, bool damaged)
{
    showMessage(tr("The library could not be searched: %1").arg(error));
    if (damaged) {
        // Let the next update check the whole file and rebuild it; the connections open
        // again afterwards.
        db.reset();
        searcher->reopen();
        opened = false;
        updater->checkNextRun();
        startUpdate();
    }
}

QVector<PresetRecord> LibraryPanel::selectedPresets()
{
    QVector<PresetRecord> out;
    QModelIndexList rows = resultsView->selectionModel()->selectedRows(NameColumn);
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    if (rows.size() > 128)
        rows = rows.mid(0, 128); // a bank at most
    std::map<QString, LibraryFile> files;
    for (const QModelIndex &index : rows) {
        const QString path = index.data(PathRole).toString();
        auto it = files.find(path);
        if (it == files.end())
            it = files.emplace(path, readLibraryFile(path)).first;
        const int bank = index.data(BankRole).toInt();
        const int preset = index.data(PresetRole).toInt();
        const PresetRecord *found = nullptr;
        for (const LibraryPreset &p : it->second.presets)
            if (p.bank == bank && p.preset == preset)
                found = &p.record;
        if (!found || paramsHash(found->params) != index.data(HashRole).toLongLong()) {
            showMessage(tr("\"%1\" has changed since it was read; the library is being updated.")
                            .arg(QFileInfo(path).fileName()));
            startUpdate();
            return {};
        }
        out.push_back(*found);
    }
    return out;
}

void LibraryPanel::fillFoldersMenu()
{
    QMenu *menu = foldersButton->menu();
    menu->clear();
    connect(menu->addAction(tr("Add folder...")), &QAction::triggered, this, &LibraryPanel::addFolder);
    connect(menu->addAction(tr("Update now")), &QAction::triggered, this, &LibraryPanel::startUpdate);
    if (!databaseReady())
        return;
    const QStringList folders = db->folders();
    if (!folders.isEmpty())
        menu->addSeparator();
    for (const QString &folder : folders) {
        QAction *remove = menu->addAction(tr("Remove \"%1\"").arg(QDir::toNativeSeparators(folder)));
        connect(remove, &QAction::triggered, this, [this, folder] {
            progressDelay->start();
            updater->removeFolder(folder);
        });
    }
}

void LibraryPanel::addFolder()
{
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Add a folder to the library"));
    if (folder.isEmpty())
        return;
    progressDelay->start();
    updater->addFolder(folder);
}

void LibraryPanel::folderChangeFailed(const QString &folder, bool adding, const QString &error)
{
    const QString shown = QDir::toNativeSeparators(folder);
    note = adding ? tr("The folder \"%1\" could not be added to the library: %2").arg(shown, error)
                  : tr("The folder \"%1\" could not be removed from the library: %2").arg(shown, error);
    showSummary();
}
