// The main window's import and export through the transfer dialog, driven as a user
// would, against the in-process module simulator.
#include "app/comparecontroller.h"
#include "app/mainwindow.h"
#include "base/appidentity.h"
#include "common/modaldriver.h"
#include "common/transferrig.h"
#include "device/backupcatalog.h"
#include "dialogs/exportchoicebox.h"
#include "dialogs/transferdialog.h"
#include "dialogs/transferstatuspanel.h"
#include "files/sysexmessages.h"
#include "model/presetimage.h"
#include "views/presetgrid.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "files/presetfile.h"
#include <QMessageBox>
#include <QSettings>
#include <QTest>
#include <QToolButton>

namespace {

TransferBanks storeImages(const MainWindow &w)
{
    TransferBanks images;
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            w.recordToImage(b, p, images.at(b, p).data());
    return images;
}

void loadImages(MainWindow &w, const TransferBanks &images)
{
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            w.imageToRecord(b, p, images.at(b, p).data());
    w.banksLoaded = true;
    w.updateTable(true);
}

// Remembers every modal widget that shows; message boxes get `answer`, everything else
// is closed, so a dialog that should not appear cannot block the test.
struct ModalRecorder : QObject
{
    QStringList seen;
    QTimer timer;
    explicit ModalRecorder(std::function<void(QMessageBox *)> answer = {})
    {
        connect(&timer, &QTimer::timeout, this, [this, answer] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible())
                return;
            seen << QString::fromLatin1(modal->metaObject()->className());
            auto *box = qobject_cast<QMessageBox *>(modal);
            if (box && answer)
                answer(box);
            else
                modal->close();
        });
        timer.start(5);
    }
};

// Notes every message box that is open while the test runs.
struct MessageWatch : QObject
{
    int boxes = 0;
    QTimer timer;
    MessageWatch()
    {
        connect(&timer, &QTimer::timeout, this, [this] {
            if (qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                ++boxes;
        });
        timer.start(5);
    }
};

// Hands the transfer dialog to `act` once it shows; anything else is closed.
void whenDialogShows(std::function<void(TransferDialog *)> act, QWidget *skip = nullptr)
{
    whenModalShows(
        [act](QWidget *modal) {
            if (auto *d = qobject_cast<TransferDialog *>(modal))
                act(d);
            else
                modal->close();
        },
        skip);
}

// Answers the unsaved-changes prompt with the button `choose` picks, then hands the
// transfer dialog that follows to `act`.
void afterPrompt(std::function<QAbstractButton *(QMessageBox *)> choose,
                 std::function<void(TransferDialog *)> act)
{
    whenModalShows([choose, act](QWidget *prompt) {
        auto *box = qobject_cast<QMessageBox *>(prompt);
        if (!box) {
            prompt->close();
            return;
        }
        whenDialogShows(act, box);
        choose(box)->click();
    });
}

QAbstractButton *discard(QMessageBox *box)
{
    return box->button(QMessageBox::Discard);
}

// Connect, wait for the identity, then Transfer; an export's question is answered with
// Write and its summary closed. On failure the dialog is closed so the modal run returns
// and the test ends instead of hanging.
bool connectAndTransfer(TransferDialog *d)
{
    QObject::connect(&d->transfer(), &MidiTransfer::confirmationNeeded, d,
                     [d] { QTimer::singleShot(0, d->status->writeButton, &QPushButton::click); });
    QObject::connect(&d->transfer(), &MidiTransfer::transferCompleted, d, [d] {
        if (d->exportMode())
            QTimer::singleShot(0, d->status->closeButton, &QPushButton::click);
    });
    QTest::mouseClick(d->ConnectButton, Qt::LeftButton);
    if (!QTest::qWaitFor([d] { return d->TransferButton->isEnabled(); }, 10000)) {
        d->close();
        return false;
    }
    QTest::mouseClick(d->TransferButton, Qt::LeftButton);
    return true;
}

} // namespace

class TestTransferFlows : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        // Export backups go to the test's data folder, never the user's.
        QStandardPaths::setTestModeEnabled(true);
        AppIdentity::apply();
        QSettings().clear();
    }

    void storedRowsAreCurrentAndWrittenBack()
    {
        Rig rig(3);
        MainWindow w;
        w.midiBackend = rig.backend;

        // Nothing stored and nothing done: both rows are written all the same.
        whenModalShows([](QWidget *modal) { modal->close(); });
        w.on_Import();
        QCOMPARE(w.settings.value(QStringLiteral("midiin")).toString(), QStringLiteral("0"));
        QCOMPARE(w.settings.value(QStringLiteral("midiout")).toString(), QStringLiteral("0"));

        w.settings.setValue(QStringLiteral("midiin"), 2);
        w.settings.setValue(QStringLiteral("midiout"), 1);
        int shownIn = -2;
        int shownOut = -2;
        whenDialogShows([&](TransferDialog *d) {
            shownIn = d->MidiInList->currentRow();
            shownOut = d->MidiOutList->currentRow();
            // The rows of a connection are the ones remembered.
            d->MidiInList->setCurrentRow(3);
            d->MidiOutList->setCurrentRow(0);
            QTest::mouseClick(d->ConnectButton, Qt::LeftButton);
            d->close();
        });
        w.on_Import();
        QCOMPARE(shownIn, 2);
        QCOMPARE(shownOut, 1);
        QCOMPARE(w.settings.value(QStringLiteral("midiin")).toInt(), 3);
        QCOMPARE(w.settings.value(QStringLiteral("midiout")).toInt(), 0);
        QVERIFY(!w.banksLoaded);
        // Destroying the dialog closed the ports.
        QCOMPARE(rig.backend->openInputCount(), 0);
        QCOMPARE(rig.backend->openOutputCount(), 0);
    }

    void portsAreRememberedByNameBeforeRow()
    {
        Rig rig(3);
        MainWindow w;
        w.midiBackend = rig.backend;
        // Row 0 is stale: the simulator's name is what counts. A name no longer listed
        // leaves the row.
        w.settings.setValue(QStringLiteral("midiin"), 0);
        w.settings.setValue(QStringLiteral("midiinname"), QStringLiteral("Orvex+ Simulator"));
        w.settings.setValue(QStringLiteral("midiout"), 2);
        w.settings.setValue(QStringLiteral("midioutname"), QStringLiteral("Unplugged"));
        int shownIn = -2;
        int shownOut = -2;
        whenDialogShows([&](TransferDialog *d) {
            shownIn = d->MidiInList->currentRow();
            shownOut = d->MidiOutList->currentRow();
            d->MidiOutList->setCurrentRow(1);
            QTest::mouseClick(d->ConnectButton, Qt::LeftButton);
            d->close();
        });
        w.on_Import();
        QCOMPARE(shownIn, rig.simulatorIndex);
        QCOMPARE(shownOut, 2);
        QCOMPARE(w.settings.value(QStringLiteral("midiin")).toInt(), rig.simulatorIndex);
        QCOMPARE(w.settings.value(QStringLiteral("midiinname")).toString(),
                 QStringLiteral("Orvex+ Simulator"));
        QCOMPARE(w.settings.value(QStringLiteral("midioutname")).toString(), QStringLiteral("Mute 1"));
    }

    void completedImportTakesOverEveryBank()
    {
        Rig rig;
        const TransferBanks module = rig.banks();
        MainWindow w;
        w.midiBackend = rig.backend;
        // An unsaved rename, discarded in the prompt; its undo step must go with the import.
        w.history.startNewGroup = true;
        w.recordUndo(3, 7);
        w.bankStore.at(3, 7).name = QStringLiteral("unsaved");
        QVERIFY(w.modified);

        MessageWatch messages;
        QElapsedTimer sinceCompletion;
        bool driven = false;
        afterPrompt(discard, [&](TransferDialog *d) {
            connect(&d->transfer(), &MidiTransfer::transferCompleted, [&] { sinceCompletion.start(); });
            messages.boxes = 0;
            driven = connectAndTransfer(d);
        });
        w.on_Import();
        QVERIFY(driven);
        QVERIFY(sinceCompletion.isValid());
        // Closed by itself about a second after the last preset, without a message.
        QVERIFY2(sinceCompletion.elapsed() >= 900, qPrintable(QString::number(sinceCompletion.elapsed())));
        QVERIFY2(sinceCompletion.elapsed() < 4000, qPrintable(QString::number(sinceCompletion.elapsed())));
        QCOMPARE(messages.boxes, 0);

        QVERIFY(w.banksLoaded);
        QVERIFY(!w.modified);
        QCOMPARE(w.historyPos(), 0);
        QCOMPARE(w.historyEnd(), 0);
        QVERIFY(!w.undoButton->isEnabled());
        QVERIFY(w.exportButton->isEnabled());
        QVERIFY(w.table->isEnabled());
        QVERIFY(storeImages(w) == module);
        // The bank sheet's heading names the module by its serial number.
        QCOMPARE(w.moduleSerial,
                 Sysex::formatSerial(rig.simulator->access([](ModuleSimulator &s) { return s.serial(); })));
        // The table shows all banks, under its column headers again.
        QCOMPARE(w.table->horizontalHeaderItem(0)->text(), QStringLiteral("1: Factory"));
        QCOMPARE(w.table->horizontalHeaderItem(15)->text(), QStringLiteral("16: User"));
        for (int b : {0, 7, 15})
            for (int p : {0, 127})
                QVERIFY(
                    w.table->item(p, b)->text().startsWith(w.bankStore.at(b, p).name + QLatin1Char('\n')));
        QCOMPARE(rig.counts().presetRequests, PresetCount + BankCount);
    }

    void exportOfMatchingBanksWritesNothing()
    {
        Rig rig;
        MainWindow w;
        w.midiBackend = rig.backend;
        loadImages(w, rig.banks());
        w.modified = true; // as after an edit that was changed back by hand

        MessageWatch messages;
        QList<int> values;
        bool driven = false;
        whenDialogShows([&](TransferDialog *d) {
            connect(d->progressBar, &QProgressBar::valueChanged, [&](int v) { values << v; });
            driven = connectAndTransfer(d);
        });
        w.on_Export();
        QVERIFY(driven);
        QVERIFY(!w.modified);
        QCOMPARE(messages.boxes, 0);
        QCOMPARE(values.size(), 1 + PresetCount);
        QCOMPARE(values.at(0), 0);
        QCOMPARE(values.at(1), 1); // the factory bank is read, never written
        QCOMPARE(values.last(), 2048);
        const ModuleSimulator::Counts c = rig.counts();
        QCOMPARE(c.presetWrites, 0);
        QCOMPARE(c.presetRequests, PresetCount + 15 + 15);
    }

    // Names the module holds with control bytes come back from a preset file with spaces:
    // import, save, load and export unchanged still writes nothing.
    void roundTripThroughAFileWritesNothing()
    {
        Rig rig;
        rig.simulator->access([](ModuleSimulator &s) {
            for (int i = 0; i < 20; ++i)
                s.image(1 + i % 15, i * 5)[PresetImageLayout::NameOffset + 1 + i % 3] = uint8_t(1 + i);
        });
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("round.pre"));
        MainWindow w;
        w.midiBackend = rig.backend;
        loadImages(w, rig.banks());
        QString error;
        QVERIFY(savePresetFile(w.bankStore, file, 0, BankCount - 1, error));
        QVERIFY(loadCompletePresetFile(w.bankStore, file, 0, BankCount - 1, error));
        w.updateTable(true);
        bool driven = false;
        whenDialogShows([&](TransferDialog *d) { driven = connectAndTransfer(d); });
        w.on_Export();
        QVERIFY(driven);
        QCOMPARE(rig.counts().presetWrites, 0);
    }

    void exportBacksUpAsksAndSumsUp()
    {
        Rig rig;
        const TransferBanks before = rig.banks();
        MainWindow w;
        w.midiBackend = rig.backend;
        loadImages(w, rig.banks());
        w.history.startNewGroup = true;
        w.recordUndo(5, 3);
        w.bankStore.at(5, 3).name = QStringLiteral("Rewritten with a name far too long to keep");
        w.bankStore.at(5, 3).params[9] = 99;
        w.recordUndo(0, 1); // the factory bank is never sent
        w.bankStore.at(0, 1).name = QStringLiteral("Not sent");
        rig.simulator->access([](ModuleSimulator &s) {
            s.faults().badWrites = 3;
            return 0;
        });

        QString question;
        QString summary;
        QString backup;
        bool driven = false;
        whenDialogShows([&](TransferDialog *d) {
            QObject::connect(&d->transfer(), &MidiTransfer::confirmationNeeded, d, [&, d] {
                question = d->status->text();
                backup = d->backupFileName();
            });
            QObject::connect(&d->transfer(), &MidiTransfer::transferCompleted, d, [&, d] {
                summary = d->status->text();
                QVERIFY(d->status->closeButton->isVisible());
            });
            driven = connectAndTransfer(d);
        });
        w.on_Export();
        QVERIFY(driven);
        QVERIFY2(
            question.startsWith(QStringLiteral("1 preset in banks 2–16 will change on the module. What it "
                                               "holds now is saved in module-backup-")),
            qPrintable(question));
        QVERIFY2(
            summary.startsWith(QStringLiteral("Export done. Presets written: 1; writes repeated: 3. Backup: "
                                              "module-backup-")),
            qPrintable(summary));
        QVERIFY2(summary.contains(
                     QStringLiteral("Bank 6, preset 4: \"Rewritten with a name far too long to keep\"")),
                 qPrintable(summary));
        QVERIFY(!w.modified);
        QCOMPARE(w.historyPos(), 2); // an export keeps the history
        TransferBanks expected = storeImages(w);
        expected.at(0, 1) = ModuleSimulator::factoryProgramBanks().at(0, 1);
        QVERIFY(rig.banks() == expected);
        QCOMPARE(rig.counts().presetWrites, 4);

        // The backup holds what the module held before, banks 2..16.
        QVERIFY(backup.startsWith(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)));
        BankStore saved;
        QString error;
        QCOMPARE(countPresetFileBanks(backup, error), 15);
        QVERIFY2(loadPresetFile(saved, backup, 1, 15, error), qPrintable(error));
        TransferBanks savedImages;
        saved.toDump(savedImages.data());
        for (int b = 1; b < BankCount; ++b)
            QVERIFY(savedImages.at(b, 3) == before.at(b, 3) && savedImages.at(b, 127) == before.at(b, 127));
        QFile::remove(backup);
    }

    void stoppedTransfersLeaveTheWindowAlone()
    {
        Rig rig;
        MainWindow w;
        w.midiBackend = rig.backend;
        w.settings.setValue(QStringLiteral("quiettime"), 40);
        TransferBanks mine = ModuleSimulator::factoryProgramBanks();
        mine.at(2, 2)[129] = 'Q';
        loadImages(w, mine);
        w.history.startNewGroup = true;
        w.recordUndo(4, 4);
        w.bankStore.at(4, 4).author = QStringLiteral("me");
        const TransferBanks before = storeImages(w);
        // Silent from preset 101 of bank 1 on.
        rig.simulator->access([](ModuleSimulator &s) {
            s.faults().silentAfter = 101;
            return 0;
        });

        QString shown;
        bool retryOffered = false;
        auto readAndClose = [&](TransferDialog *d) {
            QObject::connect(&d->transfer(), &MidiTransfer::transferStopped, d, [&, d] {
                shown = d->status->text();
                retryOffered =
                    d->status->retryButton->isVisibleTo(d) && d->status->closeButton->isVisibleTo(d);
                QTimer::singleShot(0, d->status->closeButton, &QPushButton::click);
            });
            connectAndTransfer(d);
        };
        afterPrompt(discard, readAndClose);
        w.on_Import();
        QCOMPARE(shown, QStringLiteral("The module stopped answering at bank 1, preset 101."));
        QVERIFY(retryOffered);
        QVERIFY(storeImages(w) == before);
        QVERIFY(w.modified);
        QCOMPARE(w.historyPos(), 1);

        // An export stopped after writing: modified stays, the dialog says how much was written.
        rig.simulator->access([](ModuleSimulator &s) {
            s.faults().silentAfter = 0;
            s.faults().failWrites = true;
            s.resetCounts();
            return 0;
        });
        whenDialogShows(readAndClose);
        w.on_Export();
        // The slot got five writes that read back wrong: it may hold a damaged preset, and the
        // backup is named.
        QVERIFY2(
            shown.startsWith(QStringLiteral("Bank 3, preset 3 did not take the write 5 times and may now "
                                            "hold a damaged preset. 0 presets were written and read back "
                                            "right. What the module held before is saved in "
                                            "module-backup-")),
            qPrintable(shown));
        QVERIFY(w.modified);
    }

    void closingMidImportChangesNothing()
    {
        Rig rig;
        // Slow enough to close in the middle: about 9 s for the whole import.
        rig.simulator->setByteRate(80000);
        MainWindow w;
        w.midiBackend = rig.backend;
        TransferBanks mine = ModuleSimulator::factoryProgramBanks();
        mine.at(2, 2)[129] = 'Q';
        loadImages(w, mine);
        w.history.startNewGroup = true;
        w.recordUndo(4, 4);
        w.bankStore.at(4, 4).author = QStringLiteral("me");
        const TransferBanks before = storeImages(w);

        int progressAtClose = -1;
        afterPrompt(discard, [&](TransferDialog *d) {
            if (connectAndTransfer(d) &&
                QTest::qWaitFor([d] { return d->progressBar->value() >= 64; }, 20000))
                progressAtClose = d->progressBar->value();
            d->close();
        });
        w.on_Import();
        QVERIFY(progressAtClose >= 64);
        QVERIFY(progressAtClose < PresetCount);
        QVERIFY(storeImages(w) == before);
        QVERIFY(w.modified);
        QVERIFY(w.banksLoaded);
        QCOMPARE(w.historyPos(), 1);
        QCOMPARE(rig.backend->openInputCount(), 0);
    }

    void entriesThatMustShowNothing()
    {
        Rig rig;
        MainWindow w;
        w.midiBackend = rig.backend;
        {
            // Export before anything is loaded.
            ModalRecorder recorder;
            w.on_Export();
            QTest::qWait(50);
            QCOMPARE(recorder.seen, QStringList());
        }
        // Import with unsaved changes, cancelled in the prompt.
        loadImages(w, rig.banks());
        w.modified = true;
        ModalRecorder recorder([](QMessageBox *box) { box->button(QMessageBox::Cancel)->click(); });
        w.on_Import();
        QTest::qWait(50);
        QCOMPARE(recorder.seen, QStringList{QStringLiteral("QMessageBox")});
        QVERIFY(w.modified);
        QCOMPARE(rig.counts().identifyRequests, 0);
    }

    void closePromptExportClosesOnlyAfterACompletedExport()
    {
        Rig rig;
        MainWindow w;
        w.midiBackend = rig.backend;
        loadImages(w, rig.banks());
        w.history.startNewGroup = true;
        w.recordUndo(9, 9);
        w.bankStore.at(9, 9).name = QStringLiteral("changed");

        auto exportChoice = [](QMessageBox *box) {
            for (QAbstractButton *b : box->buttons())
                if (b->text() == QStringLiteral("&Export"))
                    return b;
            return box->button(QMessageBox::Cancel);
        };

        // The transfer dialog closed without a transfer: the window stays open.
        afterPrompt(exportChoice, [](TransferDialog *d) { d->close(); });
        QVERIFY(!w.close());
        QVERIFY(w.modified);

        bool driven = false;
        afterPrompt(exportChoice, [&](TransferDialog *d) { driven = connectAndTransfer(d); });
        QVERIFY(w.close());
        QVERIFY(driven);
        QVERIFY(!w.modified);
        QCOMPARE(rig.banks().at(9, 9)[129], uint8_t('c'));
    }

    // With a file named, a complete export leaves that file without the change: the mark
    // stays and closing asks again, saying that the module has it.
    void exportWithAFileNamedKeepsTheMark()
    {
        Rig rig;
        MainWindow w;
        w.midiBackend = rig.backend;
        loadImages(w, rig.banks());
        w.setCurrentFile(QStringLiteral("/music/studio.pre"));
        w.history.startNewGroup = true;
        w.recordUndo(9, 9);
        w.bankStore.at(9, 9).name = QStringLiteral("changed");
        w.updateTable(true);

        QStringList prompts;
        QStringList buttons;
        auto answer = [&](QMessageBox::StandardButton which) {
            return [&, which](QMessageBox *box) -> QAbstractButton * {
                prompts << box->informativeText();
                buttons.clear();
                for (QAbstractButton *b : box->buttons())
                    buttons << b->text();
                for (QAbstractButton *b : box->buttons())
                    if (b->text() == QStringLiteral("&Export"))
                        return b;
                return box->button(which);
            };
        };
        // Export chosen in the prompt: after it, the prompt comes again for the file alone.
        bool driven = false;
        afterPrompt(answer(QMessageBox::Cancel), [&](TransferDialog *d) {
            driven = connectAndTransfer(d);
            whenModalShows(
                [&](QWidget *m) {
                    auto *box = qobject_cast<QMessageBox *>(m);
                    QVERIFY(box);
                    answer(QMessageBox::Cancel)(box);
                    box->button(QMessageBox::Cancel)->click();
                },
                d);
        });
        QVERIFY(!w.close());
        QVERIFY(driven);
        QCOMPARE(rig.banks().at(9, 9)[129], uint8_t('c'));
        QVERIFY(w.modified);
        QVERIFY(w.isWindowModified());
        QCOMPARE(w.windowTitle(), QStringLiteral("studio.pre[*] - Orvex+ Preset Manager"));
        QCOMPARE(prompts.size(), 2);
        QCOMPARE(prompts.at(1), QStringLiteral("The module already has the changes, but studio.pre does not. "
                                               "Do you want to save them?"));
        QVERIFY(!buttons.contains(QStringLiteral("&Export")));

        whenModalShows(
            [](QWidget *m) { qobject_cast<QMessageBox *>(m)->button(QMessageBox::Discard)->click(); });
        QVERIFY(w.close());
    }

    // The question lists every change; an unticked preset stays as the module holds it and
    // the document stays modified. The backup says which module it came from, and old ones go.
    void previewLeavesUntickedPresetsAndPrunesOldBackups()
    {
        Rig rig;
        MainWindow w;
        w.midiBackend = rig.backend;
        const TransferBanks module = rig.banks();
        loadImages(w, module);
        for (int p : {10, 11, 12}) {
            w.recordUndo(3, p);
            w.bankStore.at(3, p).name = QStringLiteral("Changed %1").arg(p);
        }
        const QString folder = BackupCatalog::defaultFolder();
        QVERIFY(QDir().mkpath(folder));
        for (const char *old : {"module-backup-20190101-000000.pre", "module-backup-20200101-000000.pre"})
            QVERIFY(QFile(folder + QLatin1Char('/') + QLatin1String(old)).open(QIODevice::WriteOnly));
        w.settings.setValue(QStringLiteral("backupkeep"), 1);
        w.settings.setValue(QStringLiteral("backupdays"), 0);

        int listed = -1;
        bool driven = false;
        whenDialogShows([&](TransferDialog *d) {
            QObject::connect(&d->transfer(), &MidiTransfer::confirmationNeeded, d, [&, d] {
                ExportPreview &preview = d->exportPreview();
                listed = preview.rowCount();
                QCOMPARE(preview.rows()[1].newName, QStringLiteral("Changed 11"));
                preview.setData(preview.index(1, ExportPreview::Position), Qt::Unchecked, Qt::CheckStateRole);
            });
            driven = connectAndTransfer(d);
        });
        w.on_Export();
        QVERIFY(driven);
        QCOMPARE(listed, 3);
        const TransferBanks after = rig.banks();
        QVERIFY(after.at(3, 10) == storeImages(w).at(3, 10));
        QVERIFY(after.at(3, 11) == module.at(3, 11));
        QVERIFY(after.at(3, 12) == storeImages(w).at(3, 12));
        QVERIFY(w.modified);

        const QVector<BackupCatalog::Entry> backups = BackupCatalog().entries();
        QCOMPARE(backups.size(), 1);
        QVERIFY(backups[0].made.isValid() && backups[0].made.date().year() > 2020);
        QCOMPARE(backups[0].serial, QStringLiteral("586-638-764")); // as the dialog shows it
        QVERIFY(!backups[0].firmware.isEmpty());
    }

    // One bank: only it is read and written, and the document stays modified.
    void exportOfOneBankReadsAndWritesOnlyIt()
    {
        Rig rig;
        MainWindow w;
        w.midiBackend = rig.backend;
        loadImages(w, rig.banks());
        for (int b : {4, 6}) {
            w.recordUndo(b, 0);
            w.bankStore.at(b, 0).params[0] ^= 1;
        }
        rig.simulator->access([](ModuleSimulator &s) {
            s.resetCounts();
            return 0;
        });
        bool driven = false;
        whenDialogShows([&](TransferDialog *d) {
            d->choiceBox->setCurrentIndex(d->choiceBox->findData(4));
            driven = connectAndTransfer(d);
        });
        w.on_Export();
        QVERIFY(driven);
        const ModuleSimulator::Counts counts = rig.counts();
        QCOMPARE(counts.presetWrites, 1);
        // The bank read twice, its check and the read-back: nothing of the other banks.
        QVERIFY2(counts.presetRequests < 3 * PresetsPerBank,
                 qPrintable(QString::number(counts.presetRequests)));
        QVERIFY(rig.banks().at(4, 0) == storeImages(w).at(4, 0));
        QVERIFY(rig.banks().at(6, 0) != storeImages(w).at(6, 0));
        QVERIFY(w.modified);
    }

    // A backup goes back on the module through the same question; the document stays.
    void restoringABackupWritesItAndLeavesTheDocument()
    {
        Rig rig;
        MainWindow w;
        w.midiBackend = rig.backend;
        const TransferBanks module = rig.banks();
        loadImages(w, module);
        BankStore backup;
        backup.fromDump(module.data());
        backup.at(2, 7).name = QStringLiteral("From the backup");
        const QString path =
            BackupCatalog::defaultFolder() + QStringLiteral("/module-backup-20250101-000000.pre");
        QString error;
        QVERIFY(QDir().mkpath(BackupCatalog::defaultFolder()));
        QVERIFY(savePresetFile(backup, path, 1, BankCount - 1, error));
        const BankStore before = w.bankStore;

        int listed = -1;
        bool driven = false;
        QString title;
        whenDialogShows([&](TransferDialog *d) {
            title = d->windowTitle();
            QObject::connect(&d->transfer(), &MidiTransfer::confirmationNeeded, d,
                             [&, d] { listed = d->exportPreview().rowCount(); });
            driven = connectAndTransfer(d);
        });
        w.restoreBackup(path);
        QVERIFY(driven);
        QCOMPARE(listed, 1);
        QCOMPARE(title, QStringLiteral("Restore to Orvex+: the backup of 1 Jan 2025, 00:00"));
        PresetRecord onModule;
        imageToRecord(rig.banks().at(2, 7).data(), onModule);
        QCOMPARE(onModule.name, QStringLiteral("From the backup"));
        QVERIFY(w.bankStore.at(2, 7).sameContent(before.at(2, 7)));
        QVERIFY(!w.modified);
    }

    // Comparing with the module reads it and writes nothing.
    void comparingWithTheModuleReadsOnly()
    {
        Rig rig;
        MainWindow w;
        w.midiBackend = rig.backend;
        loadImages(w, rig.banks());
        w.recordUndo(9, 9);
        w.bankStore.at(9, 9).author = QStringLiteral("Someone");
        w.recordUndo(1, 0);
        w.bankStore.at(1, 0).name = QStringLiteral("A name longer than the module keeps, so cut");
        w.updateTable(true);
        rig.simulator->access([](ModuleSimulator &s) {
            s.resetCounts();
            return 0;
        });
        QString button;
        bool driven = false;
        QString title;
        whenDialogShows([&](TransferDialog *d) {
            button = d->TransferButton->text();
            title = d->windowTitle();
            driven = connectAndTransfer(d);
        });
        w.compareWithModule();
        QVERIFY(driven);
        QCOMPARE(button, QStringLiteral("&Read"));
        QCOMPARE(title, QStringLiteral("Read from Orvex+ to compare"));
        QCOMPARE(rig.counts().presetWrites, 0);
        QVERIFY(w.compare()->active());
        QCOMPARE(w.compare()->comparison().count(), 2);
        QVERIFY(w.compare()->comparison().differs(9, 9));
        QVERIFY(w.modified);
    }
};

QTEST_MAIN(TestTransferFlows)
#include "tst_transferflows.moc"
