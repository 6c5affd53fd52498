#include "app/mainwindow.h"

#include "app/comparecommands.h"
#include "app/filecontroller.h"
#include "app/librarycontroller.h"
#include "app/recentfilesmenu.h"
#include "app/startup.h"
#include "app/toolpanel.h"
#include "app/transfercontroller.h"
#include "app/windowactions.h"
#include "base/appidentity.h"
#include "editing/assignment.h"
#include "files/recoverycopy.h"
#include "model/selectionmask.h"
#include "views/accessiblenames.h"
#include "views/detailview.h"
#include "views/panelwidgets.h"
#include "views/pictures.h"
#include "views/presetcelldelegate.h"
#include "views/presetgrid.h"
#include "views/presettable.h"
#include "views/searchbar.h"
#include "views/tablezoom.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <tuple>

namespace {
const QString &WindowTitle = AppIdentity::ProgramName;
} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    language = Startup::readLanguage(settings);
    recovery = std::make_unique<RecoveryCopy>();
    transfers = std::make_unique<TransferController>(*this);
    files = std::make_unique<FileController>(*this);
    // The title and the recovery copy follow the document.
    connect(&document, &Document::changed, this, &MainWindow::updateWindowTitle);
    connect(&document, &Document::changed, this, [this] {
        recovery->documentChanged(bankStore, modified && banksLoaded, history.changeCount(),
                                  document.fileName(), document.fileStamp());
    });
    connect(recovery.get(), &RecoveryCopy::writeFailed, this,
            [this](const QString &text) { statusBar()->showMessage(text); });
    // The note goes once a copy is on the disk again.
    connect(recovery.get(), &RecoveryCopy::copyWritten, this, [this] {
        if (statusBar()->currentMessage() == recovery->failureText())
            statusBar()->clearMessage();
    });

    auto *toolPanel = new ToolPanel(language);
    importButton = toolPanel->importButton;
    exportButton = toolPanel->exportButton;
    loadButton = toolPanel->loadButton;
    saveButton = toolPanel->saveButton;
    undoButton = toolPanel->undoButton;
    redoButton = toolPanel->redoButton;
    languageBox = toolPanel->languageBox;
    detailView = new DetailView;
    table = new PresetGrid(PresetsPerBank, BankCount);
    PresetTable::setUp(table);
    table->setAccessibleName(tr("Presets"));
    table->setToolTip(tr("16 banks of 128 presets: double-click or F2 renames, dragging copies, "
                         "the right mouse button shows the block commands"));
    auto *delegate = new PresetCellDelegate(this);
    delegate->setStore(&bankStore);
    table->setItemDelegate(delegate);
    tableZoom = new TableZoom(table, delegate, settings, this);
    searchBar = new SearchBar(table, bankStore, delegate, this);
    auto *tablePane = new QWidget;
    auto *tablePaneLayout = new QVBoxLayout(tablePane);
    tablePaneLayout->setContentsMargins(0, 0, 0, 0);
    tablePaneLayout->setSpacing(0);
    tablePaneLayout->addWidget(searchBar);
    tablePaneLayout->addWidget(table);

    auto *splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(toolPanel);
    splitter->addWidget(detailView);
    splitter->addWidget(tablePane);
    splitter->setCollapsible(0, false);
    splitter->setCollapsible(1, true);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 0);
    splitter->setStretchFactor(2, 1);
    splitter->handle(1)->setCursor(Qt::ArrowCursor);

    actions = std::make_unique<WindowActions>(*this);
    connectSignals();
    libraryController = new LibraryController(*this);
    libraryButton = libraryController->button;
    compareCommands = new CompareCommands(*this, tablePaneLayout);
    compareButton = compareCommands->compareButton;
    backupsButton = compareCommands->backupsButton;
    recentMenu = new RecentFilesMenu(*this);

    // Tab walks the tool panel top to bottom, the detail view, the search bar, the table and
    // then the library dock; arrows move within the table.
    QList<QWidget *> tabOrder = {importButton,
                                 exportButton,
                                 loadButton,
                                 static_cast<RecentFilesMenu *>(recentMenu)->button,
                                 saveButton,
                                 languageBox,
                                 undoButton,
                                 redoButton,
                                 libraryButton,
                                 detailView->takeAuthorButton,
                                 detailView->newAuthorEdit,
                                 detailView->assignAuthorButton,
                                 detailView->categoryList};
    // Compare and Backups stand at the search row's right end.
    tabOrder << searchBar->tabStops() << compareButton << backupsButton << table;

    updateTable(false);
    updateWindowTitle();
    setCentralWidget(splitter);
    // In one window now, so the order can be set.
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));
    statusBar(); // there from the start, so the table does not jump when a message first shows
    updateDetailView();
}

MainWindow::~MainWindow() = default;

void MainWindow::connectSignals()
{
    connect(table, &QWidget::customContextMenuRequested, this, &MainWindow::on_Table_ContextMenuRequest);
    connect(table, &QTableWidget::itemSelectionChanged, this, &MainWindow::tableSelectionChanged);
    connect(table, &QTableWidget::cellChanged, this, &MainWindow::on_Table_cellChanged);
    connect(table, &PresetGrid::readOnlyBankTouched, this,
            [this] { statusBar()->showMessage(tr("Bank 1 is read-only")); });
    connect(detailView->assignAuthorButton, &QPushButton::pressed, this, &MainWindow::assignNewAuthor);
    connect(detailView->takeAuthorButton, &QPushButton::pressed, this, &MainWindow::takeShownAuthor);
    connect(detailView->categoryList, &QListWidget::currentRowChanged, this, &MainWindow::categoryRowChanged);
    connect(detailView->categoryList, &QListWidget::currentItemChanged, this,
            &MainWindow::categoryItemChanged);
    connect(languageBox, &QComboBox::currentIndexChanged, this, &MainWindow::on_LangChanged);
}

void MainWindow::quit()
{
    // Through the close event, so unsaved changes are asked about first.
    close();
}

void MainWindow::updateTable(bool withDetailView)
{
    if (withDetailView)
        updateDetailView();
    PresetTable::rebuildMarkedCells(table, bankStore);
}

void MainWindow::updateDetailView()
{
    const SelectionMask selection = currentSelection();
    actions->update(selection);
    compareButton->setEnabled(banksLoaded);
    table->setEnabled(banksLoaded);
    // A note on the last command goes with the next change of the table or its selection.
    statusBar()->clearMessage();
    // Every change ends here, through the detail view's refresh; after the note above went, so
    // what follows the change (a recovery copy that can't be kept) stays on show.
    document.noteChange();

    const Assignment::Shared shown = Assignment::shared(bankStore, selection);
    detailView->shownAuthorEdit->setText(shown.author.value_or(QString()));
    const int categories = detailView->categoryList->count();
    if (!shown.any)
        detailView->categoryList->setCurrentRow(-1);
    else if (shown.category && *shown.category >= 0 && *shown.category < categories)
        detailView->categoryList->setCurrentRow(*shown.category);
}

SelectionMask MainWindow::currentSelection() const
{
    SelectionMask mask;
    PresetTable::readSelection(table, mask);
    return mask;
}

void MainWindow::clearTable()
{
    table->clear();
    PresetTable::setColumnHeaders(table);
}

bool MainWindow::askSaveChanges()
{
    const QString file = QFileInfo(document.fileName()).fileName();
    QMessageBox box(QMessageBox::Question, WindowTitle,
                    file.isEmpty() ? tr("The preset banks have unsaved changes.")
                                   : tr("The preset banks have changes that are not in %1.").arg(file),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setInformativeText(tr("Do you want to save or export your changes?"));
    box.setDefaultButton(QMessageBox::Cancel);
    // Each answer with its own Alt key.
    box.button(QMessageBox::Save)->setText(tr("&Save"));
    box.button(QMessageBox::Discard)->setText(tr("&Discard"));
    box.button(QMessageBox::Cancel)->setText(tr("&Cancel"));
    // After a complete export only the file lacks the changes: exporting again adds nothing.
    QPushButton *exportChoice = nullptr;
    if (document.moduleHoldsDocument() && !document.fileName().isEmpty())
        box.setInformativeText(tr("The module already has the changes, but %1 does not. "
                                  "Do you want to save them?")
                                   .arg(QFileInfo(document.fileName()).fileName()));
    else
        exportChoice = box.addButton(tr("&Export"), QMessageBox::AcceptRole);
    const int result = box.exec();

    if (exportChoice && box.clickedButton() == exportChoice) {
        on_Export();
        // With a file named, the file still lacks what the module now has: asked once more.
        if (modified && document.moduleHoldsDocument())
            return askSaveChanges();
        return !modified;
    }
    if (result == QMessageBox::Save) {
        // As Ctrl+S: to the named file when it holds the document, else through the dialogs.
        resave();
        return !modified;
    }
    return result == QMessageBox::Discard;
}

void MainWindow::markClean()
{
    history.markClean();
    document.noteChange();
}

void MainWindow::setCurrentFile(const QString &fileName)
{
    document.setFileName(fileName);
}

void MainWindow::replaceDocument(const BankStore &banks, Document::Source source, const QString &fileName)
{
    clearTable();
    document.replace(banks, source, fileName);
    updateTable(true);
}

void MainWindow::updateWindowTitle()
{
    const QString &file = document.fileName();
    // "[*]" is where Qt shows the mark: with a file named, whether that file lacks the document.
    const QString title = file.isEmpty()
                              ? WindowTitle + QStringLiteral("[*]")
                              : QStringLiteral("%1[*] - %2").arg(QFileInfo(file).fileName(), WindowTitle);
    if (windowTitle() != title)
        setWindowTitle(title);
    setWindowModified(modified);
}

void MainWindow::showError(const QString &fileName)
{
    QMessageBox box(QMessageBox::Critical, WindowTitle, errorText, QMessageBox::Ok, this);
    if (!fileName.isEmpty())
        box.setInformativeText(
            tr("File: %1").arg(QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath())));
    box.exec();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Another program's content in the file: the document is saved nowhere, so closing asks.
    if (!modified && document.fileChangedOnDisk() == FileStamp::Change::Changed)
        document.fileChangedElsewhere();
    if (!modified || askSaveChanges())
        event->accept();
    else
        event->ignore();
}

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Back from another program, which may have changed the document's file: asked once
    // the activation is done, never inside it.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        QTimer::singleShot(0, this, [this] { files->offerReloadIfChanged(); });
}

void MainWindow::tableSelectionChanged()
{
    updateDetailView();
}

void MainWindow::on_LangChanged(int index)
{
    if (index == language)
        return;
    language = index;
    Startup::writeLanguage(settings, index);
    // Shown in the language just chosen, not through the running catalogue.
    const QString text =
        index == 1 ? QString::fromUtf8("Bitte starten Sie das Programm neu, um die Sprache anzupassen")
                   : QStringLiteral("Please restart the program to change the language.");
    QMessageBox::warning(this, WindowTitle, text, QMessageBox::Ok);
}

void MainWindow::on_undo()
{
    if (history.undo())
        updateTable(true);
}

void MainWindow::on_redo()
{
    if (history.redo())
        updateTable(true);
}
