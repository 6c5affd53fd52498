#include "dialogs/backupsdialog.h"

#include "device/backuptexts.h"
#include "editing/presetcomparison.h"
#include "model/bankstore.h"
#include "views/tableaves.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

BackupsDialog::BackupsDialog(const BackupCatalog &catalog, const BankStore &document, const QLocale &locale,
                             QWidget *parent)
    : QDialog(parent), entries(catalog.entries()), document(document)
{
    setObjectName(QStringLiteral("backupsDialog"));
    setWindowTitle(tr("Backups of the module"));
    // The home folder as "~", as a shell shows it: the path then fits the line.
    QString folder = QDir::toNativeSeparators(catalog.folder());
    const QString home = QDir::toNativeSeparators(QDir::homePath());
    if (folder.startsWith(home + QDir::separator()))
        folder = QLatin1Char('~') + folder.mid(home.size());
    folderLabel = new QLabel(tr("Each export saves what it overwrites in %1.").arg(folder));
    folderLabel->setWordWrap(true);
    folderLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    list = new QTreeWidget;
    list->setObjectName(QStringLiteral("backupList"));
    list->setAccessibleName(tr("Backups"));
    TabLeaves::install(list);
    list->setRootIsDecorated(false);
    list->setHeaderLabels({tr("Made"), tr("Covers"), tr("Module serial"), tr("Firmware"),
                           tr("Differ from the document"), tr("File")});
    for (const BackupCatalog::Entry &e : entries) {
        auto *item = new QTreeWidgetItem(list);
        item->setText(Made, BackupTexts::made(e.made, locale));
        item->setText(Covers, BackupTexts::coverage(e.held));
        if (e.unused) {
            // Kept, since it still shows what the module held, but nothing was overwritten.
            item->setText(Covers, tr("%1 (export cancelled, nothing written)").arg(item->text(Covers)));
            item->setToolTip(Covers, tr("The export this backup was made for was cancelled before it wrote "
                                        "anything."));
            for (int c = Made; c <= File; ++c)
                item->setForeground(c, palette().brush(QPalette::Disabled, QPalette::Text));
        }
        item->setText(Serial, e.serial.isEmpty() ? tr("unknown") : e.serial);
        item->setToolTip(Serial, tr("The serial number as the module shows it"));
        item->setText(Firmware, e.firmware.isEmpty() ? tr("unknown") : e.firmware);
        item->setText(Differ, QStringLiteral("…"));
        item->setText(File, QFileInfo(e.path).fileName());
        item->setToolTip(File, QDir::toNativeSeparators(e.path));
    }
    if (entries.isEmpty()) {
        auto *item = new QTreeWidgetItem(list);
        item->setText(Made, tr("No backups yet: an export makes one before it writes."));
        item->setFlags(Qt::NoItemFlags);
        item->setFirstColumnSpanned(true);
    } else {
        list->setCurrentItem(list->topLevelItem(0));
    }
    int columns = 0;
    for (int c = Made; c <= File; ++c) {
        list->resizeColumnToContents(c);
        columns += list->columnWidth(c);
    }

    compareButton = new QPushButton(tr("&Compare"));
    compareButton->setToolTip(tr("Mark in the table the presets that differ from this backup"));
    restoreButton = new QPushButton(tr("&Restore…"));
    restoreButton->setToolTip(tr("Write this backup to the module, after a preview of every change"));
    closeButton = new QPushButton(tr("C&lose"));
    closeButton->setDefault(true);
    for (QPushButton *b : {compareButton, restoreButton})
        b->setEnabled(!entries.isEmpty());
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(compareButton);
    buttons->addWidget(restoreButton);
    buttons->addStretch(1);
    buttons->addWidget(closeButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(folderLabel);
    layout->addWidget(list, 1);
    layout->addLayout(buttons);
    // Wide enough for every column, the file name included, up to most of a small screen.
    const int margins = layout->contentsMargins().left() + layout->contentsMargins().right();
    resize(std::clamp(columns + 2 * list->frameWidth() + margins + 24, 760, 1200), 380);

    connect(compareButton, &QPushButton::clicked, this, [this] { finish(Choice::Compare); });
    connect(restoreButton, &QPushButton::clicked, this, [this] { finish(Choice::Restore); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(list, &QTreeWidget::itemDoubleClicked, this, [this] { finish(Choice::Compare); });
    // One backup per turn of the event loop: the list shows at once, the counts follow.
    if (!entries.isEmpty())
        QTimer::singleShot(0, this, &BackupsDialog::countNext);
}

QString BackupsDialog::chosenPath() const
{
    const int row = list->currentItem() ? list->indexOfTopLevelItem(list->currentItem()) : -1;
    return row >= 0 && row < entries.size() ? entries.at(row).path : QString();
}

void BackupsDialog::countAll()
{
    while (counted < entries.size())
        countNext();
}

void BackupsDialog::countNext()
{
    if (counted >= entries.size())
        return;
    const int row = counted++;
    BankStore backup;
    SelectionMask present;
    SelectionMask unusable;
    QString error;
    QTreeWidgetItem *item = list->topLevelItem(row);
    if (BackupCatalog::load(entries.at(row).path, backup, present, error, &unusable)) {
        // The backup holds what the module kept: compare the document's texts the same way.
        const int n = PresetComparison::compare(document, backup, &present, true).count();
        item->setText(Differ, QString::number(n));
        if (!unusable.empty()) {
            // What it covers is not all there: Restore refuses it, so the list says so first.
            item->setText(Covers,
                          tr("%1 (%2 damaged or missing)").arg(item->text(Covers)).arg(unusable.count()));
            item->setToolTip(Covers, BackupCatalog::unusableText(entries.at(row).path, unusable));
            item->setIcon(Covers, style()->standardIcon(QStyle::SP_MessageBoxWarning));
            list->resizeColumnToContents(Covers);
        }
    } else {
        item->setText(Differ, tr("unreadable"));
        item->setToolTip(Differ, error);
    }
    if (counted < entries.size())
        QTimer::singleShot(0, this, &BackupsDialog::countNext);
}

void BackupsDialog::finish(Choice chosen)
{
    if (chosenPath().isEmpty())
        return;
    choice = chosen;
    accept();
}
