// What a file holds, as the one reader every other one asks: random files with damaged,
// missing and placeholder presets against an oracle built beside them, and the kinds and
// refusals a reader must name.
#include "common/testfiles.h"
#include "files/backupinfo.h"
#include "files/filecontents.h"
#include "files/presetfile.h"
#include "files/syxfile.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using State = FileContents::State;

class TestFileContents : public QObject
{
    Q_OBJECT

private slots:
    void randomFilesAgreeWithOracle();
    void kindsAndRefusals_data();
    void kindsAndRefusals();
};

void TestFileContents::randomFilesAgreeWithOracle()
{
    QTemporaryDir dir;
    QRandomGenerator rng(38);
    for (int round = 0; round < 40; ++round) {
        const int banks = 1 + int(rng.bounded(16));
        const bool backupName = banks >= 15 && rng.bounded(3) != 0;
        const bool withInfo = backupName && rng.bounded(2) == 0;
        const int home = banks == 16 ? 0 : 1;
        BankStore store;
        store.fillEmptyBanks();
        for (int b = 0; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p)
                if (rng.bounded(4) != 0) { // the rest stay empty: placeholders in a backup
                    PresetRecord &r = store.at(b, p);
                    r.name = QStringLiteral("N%1x%2").arg(b).arg(p);
                    r.params[size_t(rng.bounded(128))] = uint8_t(1 + rng.bounded(255));
                }
        // The oracle: what each of the file's presets is, edited into the written text.
        std::array<State, PresetCount> expected{};
        QList<QByteArray> lines = presetFileText(store, home, home + banks - 1).split('\n');
        QList<QByteArray> out = {lines[0], lines[1]};
        for (int b = 0; b < banks; ++b) {
            const int base = 2 + b * (PresetsPerBank + 2);
            out << lines[base];
            const int cut = rng.bounded(8) == 0 ? int(rng.bounded(PresetsPerBank)) : PresetsPerBank;
            for (int p = 0; p < PresetsPerBank; ++p) {
                State &s = expected[size_t(b * PresetsPerBank + p)];
                if (p >= cut) {
                    s = State::Missing;
                    continue;
                }
                QByteArray line = lines[base + 1 + p];
                s = State::Present;
                if (rng.bounded(40) == 0) {
                    line[line.indexOf("\">") + 2 + int(rng.bounded(256))] = 'g';
                    s = State::Damaged;
                }
                out << line;
            }
            out << lines[base + PresetsPerBank + 1];
        }
        out << lines[lines.size() - 2] << QByteArray();
        SelectionMask held;
        for (int b = 1; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p)
                held.set(b, p, rng.bounded(3) != 0);
        const QString path = dir.filePath(
            backupName
                ? QStringLiteral("module-backup-20260101-0000%1.pre").arg(round, 2, 10, QLatin1Char('0'))
                : QStringLiteral("file%1.pre").arg(round));
        writeTestFile(path, out.join('\n'));
        if (withInfo)
            writeTestFile(BackupInfo::infoPath(path),
                          BackupInfo::text(QStringLiteral("S"), QString(), &held));
        if (backupName)
            for (int b = 0; b < banks; ++b)
                for (int p = 0; p < PresetsPerBank; ++p) {
                    State &s = expected[size_t(b * PresetsPerBank + p)];
                    if (home + b > 0 &&
                        (withInfo ? !held.isSelected(home + b, p)
                                  : s == State::Present && store.at(home + b, p).name.isEmpty()))
                        s = State::NotHeld;
                }

        const FileContents c = readFileContents(path);
        QVERIFY2(c.readable(), qPrintable(c.errorText));
        QCOMPARE(c.kind, !backupName ? FileContents::Kind::PresetFile
                         : withInfo  ? FileContents::Kind::Backup
                                     : FileContents::Kind::BackupWithoutInfo);
        QCOMPARE(c.banks, banks);
        QCOMPARE(c.firstModuleBank, home);
        int bad = 0;
        for (int b = 0; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p) {
                const State want = b < banks ? expected[size_t(b * PresetsPerBank + p)] : State::NotHeld;
                QCOMPARE(int(c.state(b, p)), int(want));
                bad += want == State::Damaged || want == State::Missing ? 1 : 0;
                if (want == State::Present) {
                    QCOMPARE(c.presets.at(b, p).name, store.at(home + b, p).name);
                    QVERIFY(c.presets.at(b, p).params == store.at(home + b, p).params);
                }
                // Placed for the module: only what the file holds, never an empty stand-in.
                if (b < banks && home + b < BankCount)
                    QCOMPARE(c.positions(State::Present).isSelected(home + b, p), want == State::Present);
            }
        QCOMPARE(c.damaged() + c.missing(), bad);
        QCOMPARE(c.problemsText().isEmpty(), bad == 0);
    }
}

void TestFileContents::kindsAndRefusals_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("message"); // part of errorText, or of problemsText when readable

    BankStore store;
    store.fillEmptyBanks();
    const QByteArray full = presetFileText(store, 0, BankCount - 1);
    QByteArray withEmpty17th = full;
    withEmpty17th.replace("</presetbanks>", " <bank/>\n</presetbanks>");
    QByteArray many = "<presetbanks><device name=\"orvex+\"/>";
    for (int b = 0; b < 20016; ++b)
        many += "<bank/>";
    many += "</presetbanks>";
    const QByteArray syx = syxFileBytes(store, SelectionMask::userBanks());
    QTest::newRow("16 banks") << full << "a.pre" << int(FileContents::Kind::PresetFile) << "";
    QTest::newRow("16 + empty 17th") << withEmpty17th << "a.pre" << int(FileContents::Kind::Unreadable)
                                     << "holds 17 banks";
    QTest::newRow("20,016 banks") << many << "a.pre" << int(FileContents::Kind::Unreadable)
                                  << "holds 20016 banks";
    QTest::newRow("syx by name") << syx << "a.syx" << int(FileContents::Kind::SysEx) << "";
    QTest::newRow("syx by first byte") << syx << "a.pre" << int(FileContents::Kind::SysEx) << "";
    QTest::newRow("one bank of one preset")
        << QByteArray("<presetbanks><device name=\"orvex+\"/><bank>") +
               full.mid(full.indexOf("  <preset"),
                        full.indexOf("</preset>") + 9 - full.indexOf("  <preset")) +
               "</bank></presetbanks>"
        << "a.pre" << int(FileContents::Kind::PresetFile) << "bank 1 holds 1 preset; 128 are needed";
    QTest::newRow("not there") << QByteArray() << "" << int(FileContents::Kind::Unreadable)
                               << "file not found";
    QTest::newRow("folder") << QByteArray() << "dir" << int(FileContents::Kind::Unreadable) << "is a folder";
    // What a name of bytes that are not UTF-8 becomes as text: never "file not found" unnamed.
    QTest::newRow("name not UTF-8") << QByteArray() << QString::fromUtf8("!bad\xEF\xBF\xBDx.pre")
                                    << int(FileContents::Kind::Unreadable)
                                    << QString::fromUtf8(
                                           "bad\xEF\xBF\xBDx.pre cannot be opened: its name holds "
                                           "bytes that are not UTF-8");
}

void TestFileContents::kindsAndRefusals()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QFETCH(int, kind);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const bool absent = name.isEmpty() || name.startsWith(QLatin1Char('!'));
    QString path = dir.filePath(name.isEmpty() ? QStringLiteral("missing.pre") : name.mid(absent ? 1 : 0));
    if (name == QLatin1String("dir"))
        QVERIFY(QDir(dir.path()).mkdir(name));
    else if (!absent)
        writeTestFile(path, bytes);
    const FileContents c = readFileContents(path);
    QCOMPARE(int(c.kind), kind);
    const QString said = c.readable() ? c.problemsText() : c.errorText;
    QVERIFY2(message.isEmpty() ? said.isEmpty() : said.contains(message), qPrintable(said));
    // The pre-scan of a load gives the same answer.
    QString errorText;
    if (!c.readable()) {
        QCOMPARE(countPresetFileBanks(path, errorText), -1);
        QCOMPARE(errorText, c.errorText);
    }
}

QTEST_GUILESS_MAIN(TestFileContents)
#include "tst_filecontents.moc"
