// MainWindow's save and load flows.
#include "app/filecontroller.h"
#include "app/mainwindow.h"
#include "app/recoveryoffer.h"
#include "base/appidentity.h"

#include "device/backupcatalog.h"
#include "dialogs/bankloaddialog.h"
#include "dialogs/banksavedialog.h"
#include "dialogs/syxload.h"
#include "editing/fileflows.h"
#include "editing/syxflows.h"
#include "files/presetfile.h"
#include "files/recoverycopy.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>

bool MainWindow::savePresetFile(const QString &fileName, int firstBank, int lastBank)
{
    return ::savePresetFile(bankStore, fileName, firstBank, lastBank, errorText);
}

void MainWindow::on_Save()
{
    files->save();
}

void MainWindow::resave()
{
    files->resave();
}

void MainWindow::on_Load()
{
    files->load();
}

void MainWindow::openFile(const QString &fileName)
{
    files->open(fileName);
}

void MainWindow::offerRecovery()
{
    RecoveryOffer::run(*this);
}
