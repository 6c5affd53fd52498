#include "app/mainwindow.h"

#include "model/selectionmask.h"
#include "views/bigtable.h"
#include "views/presettable.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QMessageBox>
#include <QSplitter>
#include <QToolButton>

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    language = settings.value(QStringLiteral("language"), QStringLiteral("0")).toInt();
    fillEmptyBanks();

    table = new BigTable(PresetsPerBank, BankCount);
    PresetTable::setUp(table);

    auto *splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(table);

    connect(table, &QWidget::customContextMenuRequested, this, &MainWindow::on_Table_ContextMenuRequest);
    connect(table, &QTableWidget::cellChanged, this, &MainWindow::on_Table_cellChanged);
    connect(table, &QTableWidget::itemSelectionChanged, this, &MainWindow::on_Table_selchanged);

    updateTable(false);
    setCentralWidget(splitter);
    updateDetailView();
    setWindowTitle(QStringLiteral("Orvex+ Preset Manager"));
}

MainWindow::~MainWindow() = default;

void MainWindow::updateTable(bool withDetailView)
{
    if (withDetailView)
        updateDetailView();
    PresetTable::rebuildMarkedCells(table, bankStore);
}

void MainWindow::updateDetailView()
{
    table->setEnabled(banksLoaded);
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
    return true;
}

void MainWindow::showError()
{
    QMessageBox::critical(this, QStringLiteral("Orvex+ Preset Manager"), errorText);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!modified || askSaveChanges())
        event->accept();
    else
        event->ignore();
}

void MainWindow::on_Table_selchanged()
{
    updateDetailView();
}

void MainWindow::on_Table_ContextMenuRequest(const QPoint &) {}
void MainWindow::on_cut_Table() {}
void MainWindow::on_copy_Table() {}
void MainWindow::on_paste_Table() {}
void MainWindow::on_delete_Table() {}
void MainWindow::on_Table_cellChanged(int, int) {}
void MainWindow::on_setAButtonPressed() {}
void MainWindow::on_A2AButtonPressed() {}
void MainWindow::on_CListSet() {}
void MainWindow::on_CListRowChanged(int) {}
void MainWindow::on_CListItemChanged(QListWidgetItem *, QListWidgetItem *) {}
void MainWindow::on_Import() {}
void MainWindow::on_Export() {}
void MainWindow::on_Load() {}
void MainWindow::on_Save() {}
void MainWindow::on_LangChanged(int) {}
void MainWindow::on_undo() {}
void MainWindow::on_redo() {}
