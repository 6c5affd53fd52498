#pragma once

#include "device/backupcatalog.h"

#include <QDialog>
#include <QLocale>

class BankStore;
class QLabel;
class QPushButton;
class QTreeWidget;

// The export backups in the data folder, newest first: when each was made (in the
// interface language), what it covers, from which module, and how many presets differ
// from the document; a backup whose export wrote nothing is marked so. Compare or restore the chosen
// one; the dialog only says which, the caller does it.
class BackupsDialog : public QDialog
{
    Q_OBJECT
public:
    BackupsDialog(const BackupCatalog &catalog, const BankStore &document, const QLocale &locale = QLocale(),
                  QWidget *parent = nullptr);

    QString chosenPath() const;
    // Set by Compare or Restore when the dialog closes with one chosen.
    enum class Choice { None, Compare, Restore };
    Choice choice = Choice::None;
    // Counts the differences of every listed backup now, instead of one per event loop turn.
    void countAll();

    QTreeWidget *list = nullptr;
    QLabel *folderLabel = nullptr;
    QPushButton *compareButton = nullptr;
    QPushButton *restoreButton = nullptr;
    QPushButton *closeButton = nullptr;

    enum ColumnIndex { Made, Covers, Serial, Firmware, Differ, File };

private:
    void countNext();
    void finish(Choice chosen);

    QVector<BackupCatalog::Entry> entries;
    const BankStore &document;
    int counted = 0;
};
