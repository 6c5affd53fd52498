// The SysEx save and load flows of the main window, driven through their dialogs: what
// the files hold, where loaded presets land, the factory bank, undo, and refusals.
#include "app/mainwindow.h"
#include "app/windowactions.h"
#include "base/appidentity.h"
#include "common/altkeys.h"
#include "common/modaldriver.h"
#include "common/samestore.h"
#include "common/testfiles.h"
#include "dialogs/bankloaddialog.h"
#include "dialogs/banksavedialog.h"
#include "dialogs/syxload.h"
#include "files/midifile.h"
#include "files/presetfile.h"
#include "files/sysexmessages.h"
#include "files/syxfile.h"
#include "views/presetgrid.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTranslator>

namespace {

void fillStore(BankStore &store, const QString &tag)
{
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            PresetRecord &r = store.at(b, p);
            r.name = QStringLiteral("%1 %2/%3").arg(tag).arg(b).arg(p);
            r.author = tag;
            r.category = (b + p) % 14;
            r.params.fill(uint8_t((b * 16 + p) & 0x7F));
            r.mark = true;
        }
}

QByteArray writeOf(int preset, int bank, const PresetRecord &r)
{
    PresetImage image{};
    recordToImage(r, image.data());
    const auto m = Sysex::presetWrite(preset, bank, Sysex::toModule(bank, image));
    return QByteArray(reinterpret_cast<const char *>(m.data()), qsizetype(m.size()));
}

QByteArray replyOf(const PresetRecord &r)
{
    PresetImage image{};
    recordToImage(r, image.data());
    const auto m = Sysex::presetData(image);
    return QByteArray(reinterpret_cast<const char *>(m.data()), qsizetype(m.size()));
}

PresetRecord filePreset(int i)
{
    PresetRecord r;
    r.name = QStringLiteral("From file %1").arg(i);
    r.author = QStringLiteral("Syx");
    r.category = i % 14;
    r.params.fill(uint8_t(i));
    return r;
}

const QByteArray Foreign = QByteArray::fromHex("F04310F7");

QByteArray bytesOf(const std::vector<uint8_t> &m)
{
    return QByteArray(reinterpret_cast<const char *>(m.data()), qsizetype(m.size()));
}

// Answers the next modal dialog, then the one after it, and so on.
void answerInTurn(QList<std::function<void(QWidget *)>> answers, QWidget *skip = nullptr)
{
    if (answers.isEmpty())
        return;
    auto first = answers.takeFirst();
    whenModalShows(
        [first, answers](QWidget *m) {
            answerInTurn(answers, m);
            first(m);
        },
        skip);
}

QString boxText(QWidget *m)
{
    auto *box = qobject_cast<QMessageBox *>(m);
    return box ? box->text() : QStringLiteral("(no message box)");
}

} // namespace

class TestSyxFlows : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    // A window whose banks count as loaded, nothing modified.
    void loadWindow(MainWindow &w)
    {
        fillStore(w.bankStore, QStringLiteral("win"));
        w.banksLoaded = true;
        w.updateTable(true);
    }

private slots:
    void init()
    {
        AppIdentity::apply();
        QSettings().clear();
    }

    void saveWritesTheChosenUserPresets_data()
    {
        QTest::addColumn<int>("choice"); // -2 the selection, -1 all, else the bank index
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("presets");
        QTest::addColumn<QString>("losses"); // what the question before writing says; empty: not asked
        QTest::addColumn<QString>("written");
        QTest::newRow("selection, extension added")
            << -2 << "sel" << 3 << "Presets of the factory bank left out: 3."
            << "sel.syx";
        // A selection is no bank: never a preset file, whatever the name says.
        QTest::newRow("selection under a .pre name")
            << -2 << "part.pre" << 3 << "Presets of the factory bank left out: 3."
            << "part.syx";
        QTest::newRow("one bank") << 4 << "bank5.syx" << 128 << ""
                                  << "bank5.syx";
        // A MIDI file is the same image, spaced: 128 messages of 107 ms on the cable and a pause.
        QTest::newRow("one bank as MIDI") << 4 << "bank5.MID" << 128 << ""
                                          << "bank5.MID";
        QTest::newRow("selection as MIDI, extension added")
            << -2 << "sel.syx.x" << 3 << "Presets of the factory bank left out: 3."
            << "sel.syx.x.mid";
        QTest::newRow("all: banks 2 to 16")
            << -1 << "all.SYX" << 15 * 128
            << "Presets of the factory bank left out: 128.\n"
               "Names longer than 32 characters or with characters outside ASCII (cut or changed): 2.\n"
               "Authors longer than 32 characters or with characters outside ASCII (cut or changed): 1."
            << "all.SYX";
    }

    void saveWritesTheChosenUserPresets()
    {
        QFETCH(int, choice);
        QFETCH(QString, name);
        QFETCH(int, presets);
        QFETCH(QString, losses);
        QFETCH(QString, written);
        MainWindow w;
        loadWindow(w);
        w.bankStore.at(7, 1).name = QStringLiteral("Geändert");
        w.bankStore.at(7, 2).name = QString(33, QLatin1Char('n'));
        w.bankStore.at(7, 2).author = QString(33, QLatin1Char('a'));
        w.modified = true;
        w.setCurrentFile(dir.filePath(QStringLiteral("document.pre")));
        // Three factory cells and three of bank 3 are selected: only the user presets are saved.
        w.table->setRangeSelected(QTableWidgetSelectionRange(10, 0, 12, 0), true);
        w.table->setRangeSelected(QTableWidgetSelectionRange(10, 2, 12, 2), true);
        QString filter;
        const bool midi = written.endsWith(QLatin1String(".mid"), Qt::CaseInsensitive);
        // The pause setting, read at each save; one out of range is taken as its nearest bound.
        w.settings.setValue(QStringLiteral("midipause"), presets == 3 ? -5 : 200);
        w.fileDialogs.saveFileName = [&](QWidget *, const QString &, const QString &, const QString &f,
                                         QString *chosen) {
            filter = f;
            if (midi)
                *chosen = f.section(QStringLiteral(";;"), -1);
            return dir.filePath(name);
        };
        const std::function<void(QWidget *)> chooseBanks = [choice](QWidget *m) {
            auto *d = qobject_cast<BankSaveDialog *>(m);
            QVERIFY(d);
            QVERIFY(d->rbselection->isEnabled());
            if (choice == -2)
                QTest::mouseClick(d->rbselection, Qt::LeftButton);
            if (choice >= 1) {
                QTest::mouseClick(d->rbsel, Qt::LeftButton);
                d->selBox->setCurrentIndex(choice - 1);
            }
            QTest::mouseClick(d->okButton, Qt::LeftButton);
        };
        QString asked;
        const auto answerLosses = [&asked](QMessageBox::StandardButton choice) {
            return [&asked, choice](QWidget *m) {
                auto *box = qobject_cast<QMessageBox *>(m);
                QVERIFY(box);
                asked = box->informativeText().section(QStringLiteral("\n\n"), 0, 0);
                QCOMPARE(altKeyFault(box), QString());
                (choice == QMessageBox::Cancel ? box->button(QMessageBox::Cancel) : box->defaultButton())
                    ->click();
            };
        };
        QString length;
        const std::function<void(QWidget *)> answerLength = [&length](QWidget *m) {
            length = boxText(m);
            QCOMPARE(altKeyFault(m), QString());
            qobject_cast<QMessageBox *>(m)->defaultButton()->click();
        };
        QList<std::function<void(QWidget *)>> answers{chooseBanks};
        if (!losses.isEmpty()) {
            // The length box may take the closed question's address: it is watched for afresh.
            const auto save = answerLosses(QMessageBox::Save);
            answers << answerLosses(QMessageBox::Cancel) << chooseBanks
                    << [save, midi, answerLength](QWidget *m) {
                           save(m);
                           if (midi)
                               whenModalShows(answerLength);
                       };
        } else if (midi) {
            answers << answerLength;
        }
        answerInTurn(answers);
        w.on_Save();
        QCOMPARE(asked, losses);
        // Cancelled: nothing written. The second time it is answered with Save.
        written = dir.filePath(written);
        if (!losses.isEmpty()) {
            QVERIFY(!QFileInfo::exists(written));
            w.on_Save();
        }
        if (dir.filePath(name) != written)
            QVERIFY(!QFileInfo::exists(dir.filePath(name)));

        QCOMPARE(filter, choice == -2
                             ? QStringLiteral("SysEx (*.syx);;Standard MIDI File (*.mid)")
                             : QStringLiteral("Presets (*.pre);;SysEx (*.syx);;Standard MIDI File (*.mid)"));
        QCOMPARE(readTestFile(written).startsWith("MThd"), midi);
        if (midi)
            QCOMPARE(length, QStringLiteral("The MIDI file plays for 0:%1.").arg(presets == 3 ? "01" : "40"));
        // A name typed without an extension gets the one of the format written.
        const SyxContents read = readSyxFile(written);
        QCOMPARE(int(read.presets.size()), presets);
        for (const SyxPreset &p : read.presets) {
            QVERIFY(p.bank >= 1);
            QVERIFY(choice < 1 || p.bank == choice);
            PresetImage image{};
            recordToImage(w.bankStore.at(p.bank, p.preset), image.data());
            PresetRecord kept; // what the module keeps of it
            imageToRecord(image.data(), kept);
            QVERIFY(p.record.sameContent(kept));
        }
        if (choice == -2)
            QCOMPARE(read.presets.front().bank, 2);
        // Nothing else on the screen changes, so the status line says what was written.
        QCOMPARE(w.statusBar()->currentMessage(),
                 QStringLiteral("%1 presets saved to %2").arg(presets).arg(QFileInfo(written).fileName()));
        // An export, not a save: the document is still the .pre, with its changes unsaved.
        QVERIFY(w.modified);
        QCOMPARE(w.windowTitle(), QStringLiteral("document.pre[*] - Orvex+ Preset Manager"));

        // Asked once a run: a later SysEx save writes without asking.
        QFile::remove(written);
        answerInTurn(midi ? QList<std::function<void(QWidget *)>>{chooseBanks, answerLength}
                          : QList<std::function<void(QWidget *)>>{chooseBanks});
        w.on_Save();
        QTRY_VERIFY(QFileInfo::exists(written));
    }

    // Ctrl+P prints the bank sheet: a page a bank, through the platform's print dialog.
    void printSendsTheSheetToThePrinter()
    {
        MainWindow w;
        QVERIFY(!w.actions->print->isEnabled()); // nothing to print before all banks are there
        loadWindow(w);
        QVERIFY(w.actions->print->isEnabled());
        const QString pdf = dir.filePath(QStringLiteral("printed.pdf"));
        answerInTurn({[&](QWidget *m) {
            auto *d = qobject_cast<QPrintDialog *>(m);
            QVERIFY(d);
            // No printer here: the dialog's own choice "Print to File (PDF)", as a user makes it.
            auto *printers = d->findChild<QComboBox *>(QStringLiteral("printers"));
            auto *file = d->findChild<QLineEdit *>(QStringLiteral("filename"));
            QVERIFY(printers && file);
            printers->setCurrentIndex(printers->count() - 1);
            file->setText(pdf);
            d->accept();
        }});
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::keyClick(&w, Qt::Key_P, Qt::ControlModifier);
        QFile printed(pdf);
        QVERIFY(printed.open(QIODevice::ReadOnly));
        // Sixteen page objects, one a bank.
        QCOMPARE(printed.readAll().count("/Type /Page\n"), BankCount);
    }

    void loadToNamedPositionsIsOneUndoStep()
    {
        const QString file = writeTestFile(
            dir.filePath("named.syx"), Foreign + writeOf(0, 0, filePreset(1)) + writeOf(5, 3, filePreset(2)) +
                                           writeOf(127, 15, filePreset(3)) + Foreign);
        MainWindow w;
        loadWindow(w);
        const BankStore before = w.bankStore;
        w.fileDialogs.openFileName = [&](QWidget *, const QString &, const QString &, const QString &) {
            return file;
        };
        QString summary;
        answerInTurn({[&](QWidget *m) {
            auto *d = qobject_cast<SyxLoad *>(m);
            QVERIFY(d);
            for (QLabel *l : d->findChildren<QLabel *>())
                summary += l->text() + '\n';
            QTest::mouseClick(d->okButton, Qt::LeftButton);
        }});
        w.on_Load();

        QVERIFY2(summary.contains("Messages for other devices skipped: 2."), qPrintable(summary));
        QVERIFY2(summary.contains("never written: 1."), qPrintable(summary));
        QVERIFY(w.bankStore.at(3, 5).sameContent(filePreset(2)));
        QVERIFY(w.bankStore.at(15, 127).sameContent(filePreset(3)));
        QVERIFY(w.bankStore.at(0, 0).sameContent(before.at(0, 0)));
        QCOMPARE(w.table->item(5, 3)->text().section('\n', 0, 0), QStringLiteral("From file 2"));
        QVERIFY(w.modified);
        QCOMPARE(w.historyPos(), 2);

        w.on_undo();
        QVERIFY(sameContent(w.bankStore, before));
        QCOMPARE(w.historyPos(), 0);
        QVERIFY(!w.modified);
    }

    void loadIntoChosenBankOrFromChosenPosition()
    {
        // Writes naming banks 4 and 5 go to 15 and 16; three replies from 16/127: one fits.
        const QString file =
            writeTestFile(dir.filePath("both.syx"),
                          writeOf(7, 4, filePreset(1)) + writeOf(8, 5, filePreset(2)) +
                              replyOf(filePreset(3)) + replyOf(filePreset(4)) + replyOf(filePreset(5)));
        MainWindow w;
        loadWindow(w);
        const BankStore before = w.bankStore;
        w.fileDialogs.openFileName = [&](QWidget *, const QString &, const QString &, const QString &) {
            return file;
        };
        QString result;
        answerInTurn({[&](QWidget *m) {
            auto *d = qobject_cast<SyxLoad *>(m);
            QVERIFY(d);
            QTest::mouseClick(d->intoBankButton, Qt::LeftButton);
            d->bankBox->setCurrentIndex(13);      // "15"
            d->replyBankBox->setCurrentIndex(14); // "16"
            d->replyPresetBox->setValue(128);
            result = d->resultLabel->text();
            QTest::mouseClick(d->okButton, Qt::LeftButton);
        }});
        w.on_Load();

        QVERIFY2(result.contains("Presets to load: 3.") && result.contains("past bank 16: 2."),
                 qPrintable(result));
        QVERIFY(w.bankStore.at(14, 7).sameContent(filePreset(1)));
        QVERIFY(w.bankStore.at(15, 8).sameContent(filePreset(2)));
        QVERIFY(w.bankStore.at(15, 127).sameContent(filePreset(3)));
        QVERIFY(w.bankStore.at(4, 7).sameContent(before.at(4, 7)));
        w.on_undo();
        QVERIFY(sameContent(w.bankStore, before));
    }

    // Load's "All files (*)" lets any name through: a file starting with F0 is read as
    // SysEx whatever its name, anything else as a preset file.
    void loadRecognisesTheFormatByContent_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("syx");
        QTest::addColumn<bool>("midi"); // the same message in a Standard MIDI File
        QTest::newRow("SysEx without extension") << "dump" << true << false;
        QTest::newRow("SysEx named .pre") << "dump.pre" << true << false;
        QTest::newRow("MIDI file named .pre") << "song.pre" << true << true;
        QTest::newRow("preset file without extension") << "banks" << false << false;
    }

    void loadRecognisesTheFormatByContent()
    {
        QFETCH(QString, name);
        QFETCH(bool, syx);
        QFETCH(bool, midi);
        const QString file = dir.filePath(name);
        if (midi) {
            const QByteArray m = writeOf(5, 3, filePreset(2));
            writeTestFile(file, midiFileBytes({std::vector<uint8_t>(m.begin(), m.end())}, name, 0));
        } else if (syx) {
            writeTestFile(file, writeOf(5, 3, filePreset(2)));
        } else {
            BankStore store;
            store.at(3, 5) = filePreset(2);
            QString errorText;
            QVERIFY(savePresetFile(store, file, 3, 3, errorText));
        }
        MainWindow w;
        loadWindow(w);
        w.fileDialogs.openFileName = [&](QWidget *, const QString &, const QString &, const QString &) {
            return file;
        };
        QString asked;
        answerInTurn({[&](QWidget *m) {
            asked = QString::fromLatin1(m->metaObject()->className());
            if (auto *d = qobject_cast<SyxLoad *>(m))
                QTest::mouseClick(d->okButton, Qt::LeftButton);
            else if (auto *d = qobject_cast<BankLoadDialog *>(m))
                QTest::mouseClick(d->okButton, Qt::LeftButton); // into bank index 1
            else
                m->close();
        }});
        w.on_Load();

        QCOMPARE(asked, syx ? QStringLiteral("SyxLoad") : QStringLiteral("BankLoadDialog"));
        QVERIFY(w.bankStore.at(syx ? 3 : 1, 5).sameContent(filePreset(2)));
    }

    void unusableOrEarlyLoadsAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("banksLoaded");
        QTest::addColumn<QString>("message");
        QTest::newRow("only foreign messages") << Foreign + Foreign << true
                                               << "The file holds no complete Orvex+ preset.\n"
                                                  "Messages for other devices skipped: 2.";
        QTest::newRow("cut off") << writeOf(1, 1, filePreset(1)).left(300) << true
                                 << "The file holds no complete Orvex+ preset.\n"
                                    "Damaged or incomplete messages skipped: 1.";
        QTest::newRow("banks not loaded yet")
            << writeOf(1, 1, filePreset(1)) << false << "Please import or load all banks first";
    }

    void unusableOrEarlyLoadsAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, banksLoaded);
        const QString file = writeTestFile(dir.filePath("refused.syx"), bytes);
        MainWindow w;
        loadWindow(w);
        w.banksLoaded = banksLoaded;
        const BankStore before = w.bankStore;
        w.fileDialogs.openFileName = [&](QWidget *, const QString &, const QString &, const QString &) {
            return file;
        };
        QString shown;
        answerInTurn({[&](QWidget *m) {
            shown = boxText(m);
            m->close();
        }});
        w.on_Load();
        QTEST(shown, "message");
        QVERIFY(sameContent(w.bankStore, before));
        QCOMPARE(w.historyPos(), 0);
        QVERIFY(!w.modified);
    }

    // Every text of the load dialog and of the file messages has its German translation.
    void germanCatalogueCoversTheNewTexts()
    {
        const QByteArray bytes = Foreign + bytesOf(Sysex::writeAck()) + writeOf(1, 0, filePreset(1)) +
                                 writeOf(1, 1, filePreset(1)).left(40) + replyOf(filePreset(2)) +
                                 replyOf(filePreset(2));
        auto texts = [&] {
            const SyxContents c = readSyxBytes(bytes);
            SyxLoad d(c);
            d.replyBankBox->setCurrentIndex(14);
            d.replyPresetBox->setValue(128);
            QStringList all{d.windowTitle(), readSyxBytes(Foreign).errorText, readSyxBytes("x").errorText,
                            readSyxBytes({}).errorText};
            for (QWidget *w : d.findChildren<QWidget *>())
                for (const char *property : {"text", "title"})
                    if (const QString t = w->property(property).toString(); !t.isEmpty())
                        all << t.split('\n');
            return all;
        };
        const QStringList english = texts();
        QTranslator german;
        QVERIFY(german.load(QStringLiteral(":/translations/presetman_de")));
        QCoreApplication::installTranslator(&german);
        const QStringList translated = texts();
        QCoreApplication::removeTranslator(&german);
        QCOMPARE(translated.size(), english.size());
        QVERIFY(english.contains("Left out, as the factory bank is never written: 1."));
        const QStringList same{"&Ok", "&Bank:", "&Preset:", "2", "16", "128"};
        for (int i = 0; i < english.size(); ++i)
            QVERIFY2(same.contains(english[i]) || translated[i] != english[i], qPrintable(english[i]));
    }
};

QTEST_MAIN(TestSyxFlows)
#include "tst_syxflows.moc"
