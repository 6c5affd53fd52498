// Temporary: screenshots for docs/ (not committed).
#include "app/backupsdialog.h"
#include "app/comparecontroller.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "device/backupcatalog.h"
#include "editing/exportpreview.h"
#include "files/presetfile.h"
#include "views/bigtable.h"
#include "views/exportpreviewdialog.h"

#include <QApplication>
#include <QDir>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTranslator>

static void fill(BankStore &s, quint32 seed)
{
    const char *const words[] = {"Warm", "Pad", "Bright", "Lead", "Vintage", "Rhythm", "Glassy", "Bass", "Velvet", "Dusty"};
    const char *const authors[] = {"Anna", "Tom", "Jürgen", "Sofia", "Ravi", "Lee", "Mika"};
    QRandomGenerator rng(seed);
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            PresetRecord &r = s.at(b, p);
            r.name = QStringLiteral("%1 %2").arg(QLatin1String(words[rng.bounded(10)]), QLatin1String(words[rng.bounded(10)]));
            r.author = b == 0 ? QStringLiteral("Factory") : QString::fromUtf8(authors[rng.bounded(7)]);
            r.category = 1 + rng.bounded(13);
            for (auto &v : r.params)
                v = uint8_t(rng.bounded(128));
            r.mark = true;
        }
}

int main(int argc, char **argv)
{
    QStandardPaths::setTestModeEnabled(true);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication app(argc, argv);
    const int language = argc > 2 ? atoi(argv[2]) : 0;
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString suffix = language == 1 ? QStringLiteral("_de") : QStringLiteral("_en");
    QTranslator t1, t2;
    Startup::installTranslators(language, t1, t2);

    BankStore module;
    fill(module, 1);
    BankStore doc = module;
    QRandomGenerator rng(9);
    for (int i = 0; i < 23; ++i) {
        PresetRecord &r = doc.at(1 + rng.bounded(15), rng.bounded(128));
        if (i % 3 == 0)
            r.name = QStringLiteral("My %1").arg(r.name);
        else
            r.params[i] ^= 3;
    }
    doc.at(2, 4).name = QString::fromUtf8("Sanfter Streicherteppich mit Hall und Chor");
    doc.at(2, 5).author = QString::fromUtf8("Björn Müller");

    // Preview
    {
        std::vector<uint8_t> dump(BankDumpSize);
        module.toDump(dump.data());
        SelectionMask users;
        for (int b = 1; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p)
                users.set(b, p);
        ExportPreview preview;
        preview.build(doc, dump.data(), users);
        preview.setData(preview.index(2, 0), Qt::Unchecked, Qt::CheckStateRole);
        ExportPreviewDialog d(&preview, QCoreApplication::translate("MidiSetting", "banks 2–16"),
                              QCoreApplication::translate("MidiSetting", "What the module held is saved in %1.")
                                  .arg(QStringLiteral("~/.local/share/Quillmoth/Orvex_presetmanager/module-backup-20261207-161502.pre")));
        d.resize(1200, 480);
        d.show();
        app.processEvents();
        d.grab().save(out + QStringLiteral("/preview") + suffix + QStringLiteral(".png"));
    }
    // Backups
    QTemporaryDir dir;
    {
        QString e;
        const char *const stamps[] = {"20261207-161502", "20261130-094411", "20261112-201733", "20261003-110520"};
        for (int i = 0; i < 4; ++i) {
            BankStore m = module;
            for (int k = 0; k < i * 7; ++k)
                m.at(1 + k % 15, k).params[0] ^= 1;
            const QString path = dir.filePath(QStringLiteral("module-backup-%1.pre").arg(QLatin1String(stamps[i])));
            savePresetFile(m, path, 1, 15, e);
            if (i < 3)
                BackupCatalog::writeInfo(path, QStringLiteral("0004711"), i == 2 ? QStringLiteral("1.04") : QStringLiteral("1.05"), e);
        }
        BackupsDialog d(BackupCatalog(dir.path()), doc);
        d.countAll();
        d.show();
        app.processEvents();
        d.grab().save(out + QStringLiteral("/backups") + suffix + QStringLiteral(".png"));
    }
    // Comparison in the window
    {
        MainWindow w;
        w.bankStore = doc;
        for (int b = 0; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p)
                w.bankStore.at(b, p).mark = true;
        w.banksLoaded = true;
        w.updateTable(true);
        w.resize(1600, 900);
        w.show();
        QString e;
        w.compare->compareWithFile(dir.filePath(QStringLiteral("module-backup-20261130-094411.pre")), e);
        w.table->setCurrentCell(0, 0);
        w.compare->next();
        w.compare->next();
        app.processEvents();
        w.grab().save(out + QStringLiteral("/compare") + suffix + QStringLiteral(".png"));
    }
    return 0;
}
