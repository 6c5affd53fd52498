// The main window's import and export through the transfer dialog, driven as a user
// would, against the in-process module simulator.
#include "app/mainwindow.h"
#include "app/startup.h"
#include "common/modaldriver.h"
#include "midi/midisetting.h"
#include "transferrig.h"
#include "views/bigtable.h"

#include <QElapsedTimer>
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
void whenDialogShows(std::function<void(MidiSetting *)> act, QWidget *skip = nullptr)
{
    whenModalShows(
        [act](QWidget *modal) {
            if (auto *d = qobject_cast<MidiSetting *>(modal))
                act(d);
            else
                modal->close();
        },
        skip);
}

// Answers the unsaved-changes prompt with the button `choose` picks, then hands the
// transfer dialog that follows to `act`.
void afterPrompt(std::function<QAbstractButton *(QMessageBox *)> choose,
                 std::function<void(MidiSetting *)> act)
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

// Connect, wait for the identity, then Transfer. On failure the dialog is closed so the
// modal run returns and the test ends instead of hanging.
bool connectAndTransfer(MidiSetting *d)
{
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
        Startup::setApplicationIdentity();
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
        whenDialogShows([&](MidiSetting *d) {
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
        whenDialogShows([&](MidiSetting *d) {
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
        afterPrompt(discard, [&](MidiSetting *d) {
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
        // The table shows all banks, under its column headers again.
        QCOMPARE(w.table->horizontalHeaderItem(0)->text(), QStringLiteral("1: Factory"));
        QCOMPARE(w.table->horizontalHeaderItem(15)->text(), QStringLiteral("16: User"));
        for (int b : {0, 7, 15})
            for (int p : {0, 127})
                QVERIFY(
                    w.table->item(p, b)->text().startsWith(w.bankStore.at(b, p).name + QLatin1Char('\n')));
        QCOMPARE(rig.counts().presetRequests, PresetCount);
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
        whenDialogShows([&](MidiSetting *d) {
            connect(d->progressBar, &QProgressBar::valueChanged, [&](int v) { values << v; });
            driven = connectAndTransfer(d);
        });
        w.on_Export();
        QVERIFY(driven);
        QVERIFY(!w.modified);
        QCOMPARE(messages.boxes, 0);
        QCOMPARE(values.size(), 1 + 15 * PresetsPerBank);
        QCOMPARE(values.at(0), 0);
        QCOMPARE(values.at(1), 129); // the factory bank is skipped
        QCOMPARE(values.last(), 2048);
        const ModuleSimulator::Counts c = rig.counts();
        QCOMPARE(c.presetWrites, 0);
        QCOMPARE(c.presetRequests, 15 * PresetsPerBank);
    }

    void exportWithRewritesWarnsWithTheirCount()
    {
        Rig rig;
        MainWindow w;
        w.midiBackend = rig.backend;
        loadImages(w, rig.banks());
        w.history.startNewGroup = true;
        w.recordUndo(5, 3);
        w.bankStore.at(5, 3).name = QStringLiteral("Rewritten");
        w.bankStore.at(5, 3).params[9] = 99;
        w.recordUndo(0, 1); // the factory bank is never sent
        w.bankStore.at(0, 1).name = QStringLiteral("Not sent");
        rig.simulator->access([](ModuleSimulator &s) {
            s.faults().badWrites = 3;
            return 0;
        });

        QString warning;
        bool barShownWithBox = false;
        QElapsedTimer sinceDismissed;
        bool driven = false;
        whenDialogShows([&](MidiSetting *d) {
            whenModalShows(
                [&, d](QWidget *box) {
                    auto *message = qobject_cast<QMessageBox *>(box);
                    if (!message) {
                        box->close();
                        return;
                    }
                    warning = message->text();
                    barShownWithBox = !d->progressBar->isHidden();
                    sinceDismissed.start();
                    message->button(QMessageBox::Ok)->click();
                },
                d);
            driven = connectAndTransfer(d);
        });
        w.on_Export();
        QVERIFY(driven);
        QCOMPARE(warning, QStringLiteral("transfer successful, 3 retries"));
        QVERIFY(barShownWithBox); // hidden only once the box is dismissed
        QVERIFY2(sinceDismissed.elapsed() >= 900, qPrintable(QString::number(sinceDismissed.elapsed())));
        QVERIFY(!w.modified);
        QCOMPARE(w.historyPos(), 2); // an export keeps the history
        TransferBanks expected = storeImages(w);
        expected.at(0, 1) = ModuleSimulator::factoryProgramBanks().at(0, 1);
        QVERIFY(rig.banks() == expected);
        QCOMPARE(rig.counts().presetWrites, 4);

        // The same module imported again gives back what was exported.
        whenDialogShows([&](MidiSetting *d) { driven = connectAndTransfer(d); });
        w.on_Import();
        QVERIFY(driven);
        QCOMPARE(w.bankStore.at(5, 3).name, QStringLiteral("Rewritten"));
        QVERIFY(storeImages(w) == expected);
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
        afterPrompt(discard, [&](MidiSetting *d) {
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
                if (b->text() == QStringLiteral("Export"))
                    return b;
            return box->button(QMessageBox::Cancel);
        };

        // The transfer dialog closed without a transfer: the window stays open.
        afterPrompt(exportChoice, [](MidiSetting *d) { d->close(); });
        QVERIFY(!w.close());
        QVERIFY(w.modified);

        bool driven = false;
        afterPrompt(exportChoice, [&](MidiSetting *d) { driven = connectAndTransfer(d); });
        QVERIFY(w.close());
        QVERIFY(driven);
        QVERIFY(!w.modified);
        QCOMPARE(rig.banks().at(9, 9)[129], uint8_t('c'));
    }
};

QTEST_MAIN(TestTransferFlows)
#include "tst_transferflows.moc"
