#include "app/mainwindow.h"
#include "app/startup.h"
#include "base/appidentity.h"
#include "views/detailview.h"
#include "views/presetgrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QProcessEnvironment>
#include <QSettings>
#include <QTest>
#include <QTranslator>

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        AppIdentity::apply();
        QSettings().clear();
    }

    void languageSettingDecidesCatalogues()
    {
        QSettings s;
        QCOMPARE(Startup::readLanguage(s), 0); // no settings
        s.setValue("language", "abc");
        QCOMPARE(Startup::readLanguage(s), 0);
        s.setValue("language", 2);
        QTranslator app2, qt2;
        QVERIFY(!Startup::installTranslators(Startup::readLanguage(s), app2, qt2));
        QVERIFY(app2.isEmpty());
        QCOMPARE(QCoreApplication::translate("MainWindow", "Export"), QStringLiteral("Export"));

        s.setValue("language", 1);
        QTranslator app, qt;
        QVERIFY(Startup::installTranslators(Startup::readLanguage(s), app, qt));
        auto tr = [](const char *ctx, const char *text) { return QCoreApplication::translate(ctx, text); };
        QCOMPARE(tr("MainWindow", "Export"), QStringLiteral("Exportieren"));
        QCOMPARE(tr("MainWindow", ":/pictures/import.png"), QStringLiteral(":/pictures/import_de.png"));
        QCOMPARE(tr("MainWindow", ":/pictures/undo.png"), QStringLiteral(":/pictures/undo.png"));
        QCOMPARE(
            tr("MainWindow", "not a valid preset file (tag \"presetbanks\" not found)"),
            QString::fromUtf8("Keine gültige Preset Datei (Bezeichnung \"presetbanks\" nicht gefunden)"));
        QCOMPARE(tr("BankSaveDialog", "&Select:"), QStringLiteral("&diese:"));
        QCOMPARE(tr("BankLoadDialog", "Load single preset bank"),
                 QStringLiteral("Lade einzelne Preset Bank"));
        QCOMPARE(tr("DetailView", "Categories"), QStringLiteral("Kategorien"));
        QCOMPARE(tr("TransferDialog", "MIDI IN port"), QStringLiteral("MIDI IN Kanal"));
        QCOMPARE(tr("TransferDialog", ":/pictures/export_screen.png"),
                 QStringLiteral(":/pictures/export_screen_de.png"));
        QCOMPARE(tr("TransferDialog", "transfer successful, %1 retries"),
                 QString::fromUtf8("Übertragung erfolgreich, %1 Versuche"));
        // Qt's own catalogue covers the standard buttons.
        QCOMPARE(tr("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
        QCoreApplication::removeTranslator(&app);
        QCoreApplication::removeTranslator(&qt);
    }

    void helpAndVersionAnswerWithoutTheWindow_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("answer"); // "" = the window starts
        const QString version = QStringLiteral("orvex-presetmanager " ORVEX_VERSION "\n");
        QTest::newRow("nothing") << QStringList{} << "";
        QTest::newRow("--simulator") << QStringList{"--simulator"} << "";
        // Qt's own single-dash options must not read as bundles of short ones (-s -t -y ... -h).
        QTest::newRow("Qt's options")
            << QStringList{"-stylesheet", "a.qss", "-reverse", "-platform", "xcb"} << "";
        QTest::newRow("--version") << QStringList{"--version"} << version;
        QTest::newRow("-v among Qt's options") << QStringList{"-platform", "xcb", "-v"} << version;
        QTest::newRow("--help") << QStringList{"--help"} << "--simulator";
        QTest::newRow("-h") << QStringList{"-h"} << "--version";
    }

    void helpAndVersionAnswerWithoutTheWindow()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, answer);
        const std::optional<QString> text =
            Startup::commandLineAnswer(QStringList{"orvex-presetmanager"} + args);
        QCOMPARE(text.has_value(), !answer.isEmpty());
        if (text)
            QVERIFY2(answer.endsWith('\n') ? *text == answer : text->contains(answer), qPrintable(*text));
    }

    void aFileOnTheCommandLineIsOpened_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("file");
        QTest::newRow("nothing") << QStringList{} << "";
        QTest::newRow("a file") << QStringList{"/music/studio.pre"} << "/music/studio.pre";
        QTest::newRow("after an option") << QStringList{"--simulator", "bank 5.syx"} << "bank 5.syx";
        QTest::newRow("the first of two") << QStringList{"a.pre", "b.pre"} << "a.pre";
    }

    void aFileOnTheCommandLineIsOpened()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, file);
        QCOMPARE(Startup::fileToOpen(QStringList{"orvex-presetmanager"} + args), file);
        // And --help names it.
        QVERIFY(Startup::commandLineAnswer({"orvex-presetmanager", "--help"})
                    ->contains(QStringLiteral("[file]")));
    }

    void aMisspeltSimulatorFaultStopsTheProgram()
    {
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("ORVEX_SIMULATOR_FAULTS"),
                           QStringLiteral("fail-writes,dubble-reply=3"));
        const QStringList withSimulator{"orvex-presetmanager", "--simulator"};
        QVERIFY(Startup::simulatorFaultError(withSimulator, environment).contains("\"dubble-reply=3\""));
        // Without the simulator the variable means nothing.
        QCOMPARE(Startup::simulatorFaultError({"orvex-presetmanager"}, environment), QString());
        environment.insert(QStringLiteral("ORVEX_SIMULATOR_FAULTS"), QStringLiteral("double-reply=3"));
        QCOMPARE(Startup::simulatorFaultError(withSimulator, environment), QString());
    }

    void tableAfterStartUp()
    {
        MainWindow w;
        QVERIFY(!w.modified);
        QVERIFY(!w.banksLoaded);
        PresetGrid *t = w.table;
        QCOMPARE(t->rowCount(), 128);
        QCOMPARE(t->columnCount(), 16);
        QVERIFY(!t->isEnabled());
        QCOMPARE(t->horizontalHeaderItem(0)->text(), QStringLiteral("1: Factory"));
        for (int c = 1; c < 16; ++c)
            QCOMPARE(t->horizontalHeaderItem(c)->text(), QStringLiteral("%1: User").arg(c + 1));
        QCOMPARE(t->horizontalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
        QCOMPARE(t->selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(t->dragDropMode(), QAbstractItemView::DragDrop);
        QCOMPARE(t->contextMenuPolicy(), Qt::CustomContextMenu);
        for (int c = 0; c < 16; ++c)
            for (int r = 0; r < 128; ++r) {
                QTableWidgetItem *item = t->item(r, c);
                QVERIFY(item);
                QCOMPARE(item->text(), QStringLiteral("\n\n%1\n%2").arg(r).arg(c));
                QCOMPARE(item->background().color(), QColor(Qt::white));
                QCOMPARE(bool(item->flags() & Qt::ItemIsEditable), c != 0);
                QCOMPARE(bool(item->flags() & Qt::ItemIsDropEnabled), c != 0);
                QVERIFY(item->flags() & Qt::ItemIsDragEnabled);
                QVERIFY(!w.bankStore.at(c, r).mark);
            }
        // "[*]" is Qt's place for the unsaved-changes mark; it shows nothing while unmodified.
        QCOMPARE(w.windowTitle(), QStringLiteral("Orvex+ Preset Manager[*]"));
        QVERIFY(!w.isWindowModified());
        // The same version as --version prints.
        QCOMPARE(w.detailView->label->text(), QStringLiteral("Version " ORVEX_VERSION));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
