#include "device/backupcatalog.h"
#include "device/backuptexts.h"
#include "files/presetfile.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

namespace {

const QDateTime Now(QDate(2026, 12, 7), QTime(12, 0, 0));

// A backup made `daysAgo` days before Now (plus `minutes` minutes earlier still).
QString backupName(int daysAgo, int minutes = 0)
{
    return QStringLiteral("module-backup-%1.pre")
        .arg(Now.addDays(-daysAgo).addSecs(-60 * minutes).toString(QStringLiteral("yyyyMMdd-HHmmss")));
}

void touch(const QString &path, const QByteArray &bytes = "x")
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TestBackupCatalog : public QObject
{
    Q_OBJECT

private slots:
    // The settings the window and orvex-pre share; text or nothing falls back to the defaults.
    void keepingComesFromTheSettings()
    {
        QTemporaryDir dir;
        QSettings settings(QDir(dir.path()).filePath(QStringLiteral("keep.ini")), QSettings::IniFormat);
        BackupCatalog::Keeping keeping = BackupCatalog::keepingFrom(settings);
        QCOMPARE(keeping.newest, BackupCatalog::DefaultKeepNewest);
        QCOMPARE(keeping.days, BackupCatalog::DefaultKeepDays);
        settings.setValue(QStringLiteral("backupkeep"), 7);
        settings.setValue(QStringLiteral("backupdays"), 3);
        keeping = BackupCatalog::keepingFrom(settings);
        QCOMPARE(keeping.newest, 7);
        QCOMPARE(keeping.days, 3);
    }

    void listsNewestFirstWithTheModuleItCameFrom()
    {
        QTemporaryDir dir;
        BackupCatalog catalog(dir.path());
        const QString older = dir.filePath(backupName(3));
        const QString newer = dir.filePath(backupName(1));
        touch(older);
        touch(newer);
        touch(dir.filePath(QStringLiteral("module-backup-notadate.pre")));
        touch(dir.filePath(QStringLiteral("studio.pre")));
        QString error;
        QVERIFY(BackupCatalog::writeInfo(newer, QStringLiteral("00042\nx"), QStringLiteral("1.05"), error));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("module-backup-notadate.info"))));

        const QVector<BackupCatalog::Entry> list = catalog.entries();
        QCOMPARE(list.size(), 2);
        QCOMPARE(list[0].path, QFileInfo(newer).absoluteFilePath());
        QCOMPARE(list[0].made, Now.addDays(-1));
        QCOMPARE(list[0].serial, QStringLiteral("00042 x")); // one line, whatever it held
        QCOMPARE(list[0].firmware, QStringLiteral("1.05"));
        QCOMPARE(list[1].serial, QString()); // made before serials were kept
    }

    void pruneKeepsTheNewestAndTheYoungAndTheOneJustMade_data()
    {
        QTest::addColumn<int>("keepNewest");
        QTest::addColumn<int>("keepDays");
        QTest::addColumn<int>("justMade"); // index into the ages below, or -1
        QTest::addColumn<int>("left");
        // Ages in days: 0, 10, 40, 50, 60.
        QTest::newRow("defaults keep all five") << 50 << 30 << -1 << 5;
        QTest::newRow("newest 2, 30 days") << 2 << 30 << -1 << 2;
        QTest::newRow("newest 1, 45 days") << 1 << 45 << -1 << 3;
        QTest::newRow("none kept but the young") << 0 << 30 << -1 << 2;
        QTest::newRow("the one just made stays") << 0 << 0 << 4 << 1;
    }
    void pruneKeepsTheNewestAndTheYoungAndTheOneJustMade()
    {
        QFETCH(int, keepNewest);
        QFETCH(int, keepDays);
        QFETCH(int, justMade);
        QFETCH(int, left);
        QTemporaryDir dir;
        const int ages[] = {0, 10, 40, 50, 60};
        QStringList paths;
        QString error;
        for (int age : ages) {
            paths << dir.filePath(backupName(age, 1));
            touch(paths.last());
            QVERIFY(
                BackupCatalog::writeInfo(paths.last(), QStringLiteral("1"), QStringLiteral("1.00"), error));
        }
        BackupCatalog catalog(dir.path());
        const QStringList removed =
            catalog.prune(keepNewest, keepDays, justMade >= 0 ? paths[justMade] : QString(), Now);
        QCOMPARE(removed.size(), int(std::size(ages)) - left);
        QCOMPARE(catalog.entries().size(), left);
        if (justMade >= 0)
            QVERIFY(QFile::exists(paths[justMade]));
        for (const QString &gone : removed)
            QVERIFY(!QFile::exists(BackupCatalog::infoPath(gone)));
        // Other files in the folder are never touched.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2 * left);
    }

    // Two exports within one second: the second backup gets a name of its own, each keeps
    // what it covers, and the newer lists first.
    void aBackupNeverReplacesAnother()
    {
        QTemporaryDir dir;
        BackupCatalog catalog(dir.path());
        TransferBanks first;
        TransferBanks second;
        second.at(3, 4)[PresetImageLayout::NameOffset] = 'S';
        first.at(3, 4)[PresetImageLayout::NameOffset] = 'F';
        SelectionMask few;
        few.set(3, 4);
        QString error;
        QStringList notes;
        QString name1 = dir.filePath(backupName(0));
        QString name2 = name1;
        QVERIFY2(catalog.saveBackup(first, name1, QStringLiteral("1"), QStringLiteral("1.00"), &few, 50, 30,
                                    error, notes),
                 qPrintable(error));
        QVERIFY(catalog.saveBackup(second, name2, QStringLiteral("1"), QStringLiteral("1.00"), nullptr, 50,
                                   30, error, notes));
        QCOMPARE(name1, dir.filePath(backupName(0)));
        QCOMPARE(QFileInfo(name2).fileName(),
                 backupName(0).replace(QStringLiteral(".pre"), QStringLiteral("-2.pre")));
        BankStore store;
        SelectionMask present;
        QVERIFY(BackupCatalog::load(name1, store, present, error));
        QCOMPARE(store.at(3, 4).name, QStringLiteral("F"));
        QVERIFY(present == few);
        QVERIFY(BackupCatalog::load(name2, store, present, error));
        QCOMPARE(store.at(3, 4).name, QStringLiteral("S"));
        QCOMPARE(present.count(), (BankCount - 1) * PresetsPerBank);
        const QVector<BackupCatalog::Entry> list = catalog.entries();
        QCOMPARE(list.size(), 2);
        QCOMPARE(list[0].path, QFileInfo(name2).absoluteFilePath());
        // A name whose information file is left over from another backup is not taken either.
        touch(dir.filePath(backupName(1).replace(QStringLiteral(".pre"), QStringLiteral(".info"))));
        QString name3 = dir.filePath(backupName(1));
        QVERIFY(catalog.saveBackup(first, name3, QString(), QString(), nullptr, 50, 30, error, notes));
        QVERIFY(name3.endsWith(QStringLiteral("-2.pre")));
    }

    void loadsBanksTwoToSixteen()
    {
        QTemporaryDir dir;
        BankStore module;
        module.fillEmptyBanks();
        module.at(1, 0).name = QStringLiteral("First user");
        module.at(15, 127).name = QStringLiteral("Last");
        const QString path = dir.filePath(backupName(0));
        QString error;
        QVERIFY(savePresetFile(module, path, 1, BankCount - 1, error));
        BankStore store;
        store.fillEmptyBanks();
        SelectionMask present;
        QVERIFY2(BackupCatalog::load(path, store, present, error), qPrintable(error));
        QCOMPARE(store.at(1, 0).name, QStringLiteral("First user"));
        QCOMPARE(store.at(15, 127).name, QStringLiteral("Last"));
        // Nothing says what it covers: its empty presets may be a choice's placeholders.
        QCOMPARE(present.count(), 2);
        QVERIFY(BackupCatalog::writeInfo(path, QStringLiteral("1"), QStringLiteral("1.00"), error));
        QVERIFY(BackupCatalog::load(path, store, present, error));
        QCOMPARE(present.count(), (BankCount - 1) * PresetsPerBank);
        QVERIFY(!present.isSelected(0, 0));

        // A backup of a chosen few holds only those; the rest of its file are placeholders.
        SelectionMask chosen;
        chosen.set(4, 9);
        chosen.set(15, 127);
        QVERIFY(BackupCatalog::writeInfo(path, QStringLiteral("1"), QStringLiteral("1.00"), error, &chosen));
        QVERIFY(BackupCatalog::load(path, store, present, error));
        QVERIFY(present == chosen);
        QVERIFY(BackupCatalog(dir.path()).entries().first().held == chosen);
        QFile info(BackupCatalog::infoPath(path));
        QVERIFY(info.open(QIODevice::WriteOnly));
        info.write("presets=zz\n"); // damaged: never more than its presets that are not empty
        info.close();
        QVERIFY(BackupCatalog::load(path, store, present, error));
        QCOMPARE(present.count(), 2);

        QVERIFY(savePresetFile(module, path, 2, 5, error)); // not the shape of a backup
        QVERIFY(!BackupCatalog::load(path, store, present, error));
        QVERIFY(!error.isEmpty());
    }
    // What a backup covers, as the list names it.
    void coverageNamesBanksOrPresets_data()
    {
        QTest::addColumn<QList<int>>("positions"); // bank * 128 + preset; -bank for a whole bank
        QTest::addColumn<QString>("text");
        QList<int> all;
        for (int b = 1; b < BankCount; ++b)
            all << -b;
        QTest::newRow("all user banks") << all << QStringLiteral("all user banks");
        QTest::newRow("one bank") << QList<int>{-5} << QStringLiteral("bank 6");
        QTest::newRow("two banks") << QList<int>{-2, -5} << QStringLiteral("banks 3, 6");
        QTest::newRow("a bank and a preset") << QList<int>{-2, 5 * 128 + 1} << QStringLiteral("129 presets");
        QTest::newRow("three presets") << QList<int>{128, 129, 300} << QStringLiteral("3 presets");
        QTest::newRow("one preset") << QList<int>{300} << QStringLiteral("1 preset");
    }
    void coverageNamesBanksOrPresets()
    {
        QFETCH(QList<int>, positions);
        QFETCH(QString, text);
        SelectionMask held;
        for (int at : positions) {
            if (at < 0)
                for (int p = 0; p < PresetsPerBank; ++p)
                    held.set(-at, p);
            else
                held.set(at / PresetsPerBank, at % PresetsPerBank);
        }
        QCOMPARE(BackupTexts::coverage(held), text);
    }

    void datesFollowTheInterfaceLanguage()
    {
        const QDateTime made(QDate(2026, 12, 7), QTime(14, 3));
        QCOMPARE(BackupTexts::made(made, BackupTexts::interfaceLocale(0)),
                 QStringLiteral("7 Dec 2026, 14:03"));
        QTranslator translator;
        QVERIFY(translator.load(QStringLiteral(":/translations/presetman_de")));
        QCoreApplication::installTranslator(&translator);
        QCOMPARE(BackupTexts::made(made, BackupTexts::interfaceLocale(1)),
                 QStringLiteral("7. Dez. 2026, 14:03"));
        QCOMPARE(BackupTexts::coverage(SelectionMask()), QStringLiteral("0 Presets"));
        QCoreApplication::removeTranslator(&translator);
    }

    // A backup whose export was cancelled says so, keeping what else its note holds.
    void aCancelledExportsBackupIsMarked()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(backupName(0));
        touch(path);
        SelectionMask held;
        held.set(3, 7);
        QString error;
        QVERIFY(
            BackupCatalog::writeInfo(path, QStringLiteral("1-2-3"), QStringLiteral("3.01"), error, &held));
        QVERIFY(!BackupCatalog::entryFor(path).unused);
        QVERIFY(BackupCatalog::markUnused(path, error));
        const BackupCatalog::Entry e = BackupCatalog::entryFor(path);
        QVERIFY(e.unused);
        QCOMPARE(e.serial, QStringLiteral("1-2-3"));
        QVERIFY(e.held == held);
        QVERIFY(!BackupCatalog::markUnused(dir.filePath(QStringLiteral("missing/x.pre")), error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestBackupCatalog)
#include "tst_backupcatalog.moc"
