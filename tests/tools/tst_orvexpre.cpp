// orvex-pre end to end: its output formats and exit codes are an interface for scripts.
#include "common/fifowatch.h"
#include "common/programrun.h"
#include "common/quittingreader.h"
#include "common/testfiles.h"
#include "files/presetfile.h"
#include "files/sysexmessages.h"
#include "files/syxfile.h"
#include "model/selectionmask.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Run = ProgramRun;

Run orvexPre(const QStringList &args)
{
    return runProgram(QStringLiteral(ORVEX_PRE), args);
}

BankStore sampleStore()
{
    BankStore store;
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            PresetRecord &r = store.at(b, p);
            r.name = QStringLiteral("B%1 P%2").arg(b).arg(p);
            r.author = QStringLiteral("author %1").arg(p % 5);
            r.category = (b + p) % 14;
            for (int k = 0; k < 128; ++k)
                r.params[k] = uint8_t(b * 16 + p + k);
        }
    store.at(0, 3).name = QString::fromUtf8("Gr\xC3\xBC\xC3\x9F \"Lead\"\\\nline\x01");
    store.at(0, 3).category = -3;
    return store;
}

} // namespace

class TestOrvexPre : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString fullFile;
    QString wrongFile; // fails the device check

    QString path(const QString &name) const { return dir.filePath(name); }

    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        return writeTestFile(path(name), bytes);
    }
    static QByteArray readFile(const QString &fileName) { return readTestFile(fileName); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        fullFile = path(QStringLiteral("full.pre"));
        QString errorText;
        QVERIFY(savePresetFile(sampleStore(), fullFile, 0, 15, errorText));
        wrongFile = writeFile("wrong.pre", "<presetbanks><device name=\"ORVEX+\"/><bank/></presetbanks>");
    }

    void badCommandLinesExitWith2_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("nothing") << QStringList{};
        QTest::newRow("unknown command") << QStringList{"frobnicate", "x.pre"};
        QTest::newRow("check without file") << QStringList{"check"};
        QTest::newRow("check two files") << QStringList{"check", "a.pre", "b.pre"};
        QTest::newRow("dump without file") << QStringList{"dump"};
        QTest::newRow("copy one file") << QStringList{"copy", "a.pre"};
        QTest::newRow("copy bank not a number") << QStringList{"copy", "a.pre", "b.pre", "--bank", "two"};
        QTest::newRow("copy bank out of range") << QStringList{"copy", "a.pre", "b.pre", "--bank=16"};
        QTest::newRow("copy bank without value") << QStringList{"copy", "a.pre", "b.pre", "--bank"};
        QTest::newRow("unknown option") << QStringList{"copy", "a.pre", "b.pre", "--banks=1"};
        QTest::newRow("diff one file") << QStringList{"diff", "a.pre"};
        QTest::newRow("syx one file") << QStringList{"syx", "a.pre"};
        QTest::newRow("syx to the factory bank") << QStringList{"syx", "a.pre", "b.syx", "--to-bank", "0"};
        QTest::newRow("syx of a 16-bank file's factory bank")
            << QStringList{"syx", fullFile, "b.syx", "--bank=0"};
        QTest::newRow("pre bank out of range") << QStringList{"pre", "a.syx", "b.pre", "--bank=16"};
        for (const char *timeout : {"nan", "inf", "-1", "0"})
            QTest::newRow(qPrintable(QStringLiteral("timeout %1").arg(QLatin1String(timeout))))
                << QStringList{"import", "a.pre", "--simulator", "--timeout", QLatin1String(timeout)};
    }

    void badCommandLinesExitWith2()
    {
        QFETCH(QStringList, args);
        const Run run = orvexPre(args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.err.startsWith("orvex-pre: "), run.err.constData());
    }

    void helpNamesCommandsAndExitCodes()
    {
        for (const QString &flag : {QStringLiteral("--help"), QStringLiteral("-h"), QStringLiteral("help")}) {
            const Run run = orvexPre({flag});
            QCOMPARE(run.exitCode, 0);
            for (const char *word :
                 {"check FILE", "dump FILE", "copy IN OUT [--bank N]", "diff A B",
                  "syx IN OUT [--bank N] [--to-bank M]", "pre IN OUT [--to-bank M]", "Exit codes"})
                QVERIFY2(run.out.contains(word), word);
        }
    }

    void checkPrintsBanksOrTheMessage()
    {
        Run run = orvexPre({"check", fullFile});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("banks: 16\n"));
        QVERIFY(run.err.isEmpty());

        run = orvexPre(
            {"check", writeFile("none.pre", "<presetbanks><device name=\"orvex+\"/></presetbanks>")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("banks: 0\n"));

        run = orvexPre({"check", wrongFile});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.err.contains("preset file not intended for Orvex+ (tag \"device\" not correct)"),
                 run.err);

        run = orvexPre({"check", path("missing.pre")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("file not found"), run.err);

        run = orvexPre({"check", writeFile("empty.pre", QByteArray())});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("not a valid preset file (1)"), run.err);
    }

    // check refuses what a load refuses: damaged data (256 characters that are not hex
    // digits), more than 16 banks, and a pipe, which it must not wait on.
    void checkRefusesWhatALoadRefuses_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("message");
        QByteArray damaged = readFile(fullFile);
        const qsizetype text = damaged.indexOf("\">", damaged.indexOf("<preset ")) + 2;
        damaged.replace(text, 256, QByteArray(256, 'Z'));
        QTest::newRow("256 non-hex characters")
            << writeFile("damaged.pre", damaged) << QByteArray("bank 1: presets with damaged data: 1");
        QByteArray seventeen = "<presetbanks><device name=\"orvex+\"/>";
        for (int b = 0; b < 17; ++b)
            seventeen += "<bank/>";
        QTest::newRow("17 banks") << writeFile("17.pre", seventeen + "</presetbanks>")
                                  << QByteArray("The file holds 17 banks; a preset file holds 1 to 16.");
        QTest::newRow("FIFO") << path("fifo.pre") << QByteArray("not a regular file (a pipe or a device)");
        QByteArray emptyLast = readFile(fullFile);
        emptyLast.replace("</presetbanks>", " <bank/>\n</presetbanks>");
        QTest::newRow("16 banks and an empty 17th")
            << writeFile("16+1.pre", emptyLast)
            << QByteArray("The file holds 17 banks; a preset file holds 1 to 16.");
        QDir(dir.path()).mkdir(QStringLiteral("folder.pre"));
        QTest::newRow("folder") << path("folder.pre") << QByteArray("folder.pre is a folder, not a file.");
    }

    // A name that is not UTF-8 cannot come through as text: it is refused, shown as its
    // bytes, never "file not found" for a file that exists, never another file written.
    void namesThatAreNotUtf8AreRefusedShowingThem_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("check") << QStringLiteral("\"$0\" check \"$(printf 'bad\\377x.pre')\"");
        QTest::newRow("copy") << QStringLiteral("\"$0\" copy full.pre \"$(printf 'new\\376y.pre')\"");
    }
    void namesThatAreNotUtf8AreRefusedShowingThem()
    {
        QFETCH(QString, command);
        QTemporaryDir here;
        QVERIFY(QFile::copy(fullFile, here.filePath(QStringLiteral("full.pre"))));
        // The shell counts the files: Qt does not list a name that is not UTF-8.
        const QString script = QStringLiteral("cd \"$1\" && printf x > \"$(printf 'bad\\377x.pre')\" && ") +
                               command + QStringLiteral("; code=$?; ls | wc -l; exit $code");
        const Run run =
            runProgram(QStringLiteral("/bin/sh"), {"-c", script, QStringLiteral(ORVEX_PRE), here.path()});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("not valid UTF-8") &&
                     (run.err.contains("bad\\xFFx.pre") || run.err.contains("new\\xFEy.pre")),
                 run.err);
        QCOMPARE(run.out.trimmed(), QByteArray("2")); // nothing written
    }
    void checkRefusesWhatALoadRefuses()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, message);
        FifoWatch fifo(path("fifo.pre"));
        QVERIFY(fifo.ok());
        const Run run = orvexPre({"check", file});
        QVERIFY(!fifo.blocked());
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.err.contains(message), run.err);
        // syx refuses the same files, and sheet lists no damaged preset as an empty one.
        QCOMPARE(orvexPre({"syx", file, path("out.syx")}).exitCode, 1);
        QCOMPARE(orvexPre({"sheet", file, path("out.csv")}).exitCode, 1);
        QVERIFY(!QFile::exists(path("out.csv")));
    }

    void dumpShowsTakenPresetsAsJson()
    {
        // Bank 1 has a usable preset, an unusable one, and nothing more.
        QByteArray text = presetFileText(sampleStore(), 0, 0);
        const QByteArray params = QByteArray(256, 'f');
        text.replace("</presetbanks>",
                     " <bank><preset name=\"x\" category=\"2\">" + params +
                         "</preset><preset name=\"short\">00</preset></bank>\n</presetbanks>");
        const Run run = orvexPre({"dump", writeFile("two.pre", text)});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.err.isEmpty());
        QVERIFY2(
            run.out.startsWith("{\"banks\": [\n  [\n    {\"taken\": true, \"name\": \"B0 P0\", \"author\": "
                               "\"author 0\", \"category\": 0, \"params\": \"000102"),
            run.out.left(200).constData());

        QJsonParseError error;
        const QJsonDocument json = QJsonDocument::fromJson(run.out, &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        const QJsonArray banks = json.object().value("banks").toArray();
        QCOMPARE(banks.size(), 2);
        QCOMPARE(banks.at(0).toArray().size(), 128);
        QCOMPARE(banks.at(1).toArray().size(), 128);

        const QJsonObject special = banks.at(0).toArray().at(3).toObject();
        QCOMPARE(special.value("taken").toBool(), true);
        // The control character could not be stored and came back as a space.
        QCOMPARE(special.value("name").toString(), QString::fromUtf8("Gr\xC3\xBC\xC3\x9F \"Lead\"\\\nline "));
        QCOMPARE(special.value("category").toInt(), -3);
        QCOMPARE(special.value("params").toString().left(8), QStringLiteral("03040506"));

        const QJsonArray second = banks.at(1).toArray();
        QCOMPARE(second.at(0).toObject().value("taken").toBool(), true);
        QCOMPARE(second.at(0).toObject().value("params").toString(), QString(256, QLatin1Char('F')));
        QCOMPARE(second.at(0).toObject().value("author").toString(), QString());
        for (int p : {1, 127}) {
            const QJsonObject untaken = second.at(p).toObject();
            QCOMPARE(untaken.value("taken").toBool(), false);
            QCOMPARE(untaken.value("name").toString(), QString());
            QCOMPARE(untaken.value("category").toInt(), 0);
            QCOMPARE(untaken.value("params").toString(), QString(256, QLatin1Char('0')));
        }

        QByteArray seventeen = "<presetbanks><device name=\"orvex+\"/>";
        for (int b = 0; b < 17; ++b)
            seventeen += "<bank/>";
        // More banks than there are: refused, as by a load and by check.
        const Run many = orvexPre({"dump", writeFile("17.pre", seventeen + "</presetbanks>")});
        QCOMPARE(many.exitCode, 1);
        QVERIFY2(many.err.contains("The file holds 17 banks; a preset file holds 1 to 16."), many.err);

        const Run none = orvexPre(
            {"dump", writeFile("no-banks.pre", "<presetbanks><device name=\"orvex+\"/></presetbanks>")});
        QCOMPARE(none.exitCode, 0);
        QCOMPARE(none.out, QByteArray("{\"banks\": []}\n"));
    }

    // A pipe whose reader quits after 10 bytes, as the file written or as standard output:
    // the program says so and fails, never ends by SIGPIPE.
    void aPipeThatClosesIsAFailedWrite_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("toStandardOutput");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("copy") << QStringList{"copy", fullFile, path("pipe.pre")} << false
                              << (path("pipe.pre") + " can't be written completely.\n").toUtf8();
        QTest::newRow("dump") << QStringList{"dump", fullFile} << true
                              << QByteArray("orvex-pre: standard output can't be written completely\n");
    }
    void aPipeThatClosesIsAFailedWrite()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, toStandardOutput);
        QFETCH(QByteArray, message);
        QuittingReader reader(path("pipe.pre"));
        QVERIFY(reader.ok());
        QProcess process;
        if (toStandardOutput)
            process.setStandardOutputFile(path("pipe.pre"));
        process.start(QStringLiteral(ORVEX_PRE), args);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(reader.taken().size(), 10);
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 1);
        const QByteArray err = process.readAllStandardError();
        QVERIFY2(err.startsWith(message), err.constData());
    }

    void copyRewritesAllOrOneBank()
    {
        const QString all = path("copy-all.pre");
        Run run = orvexPre({"copy", fullFile, all});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(readFile(all), readFile(fullFile));

        BankStore read;
        QString errorText;
        QVERIFY(loadPresetFile(read, fullFile, 0, 15, errorText));
        for (const QStringList &bankArgs : {QStringList{"--bank", "9"}, QStringList{"--bank=9"}}) {
            const QString one = path("copy-one.pre");
            QFile::remove(one);
            run = orvexPre(QStringList{"copy", fullFile, one} + bankArgs);
            QCOMPARE(run.exitCode, 0);
            QCOMPARE(readFile(one), presetFileText(read, 9, 9));
        }

        run = orvexPre({"copy", path("copy-one.pre"), path("x.pre"), "--bank", "1"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("no bank index 1"), run.err);

        run = orvexPre({"copy", fullFile, path("no/such/dir/x.pre")});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, path("no/such/dir/x.pre").toUtf8() + " can't be opened for writing.\n");

        run = orvexPre({"copy", wrongFile, path("x.pre")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(!QFile::exists(path("x.pre")));
#ifdef Q_OS_LINUX
        // Devices are written, never replaced by a file; a write that fails is reported.
        run = orvexPre({"copy", fullFile, "/dev/null"});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(!QFileInfo(QStringLiteral("/dev/null")).isFile());
        run = orvexPre({"copy", fullFile, "/dev/full"});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, QByteArray("/dev/full can't be written completely.\n"));
#endif
    }

    // Everything a SysEx file can carry survives .pre -> .syx -> .pre byte for byte; the
    // factory bank is never written and comes back as empty start-up presets.
    void syxAndPreConvertBothWays()
    {
        BankStore store;
        for (int b = 0; b < BankCount; ++b)
            for (int p = 0; p < PresetsPerBank; ++p) {
                PresetRecord &r = store.at(b, p);
                r.name = QStringLiteral("Name %1/%2 & \"q\"").arg(b).arg(p);
                r.author = QStringLiteral("au%1").arg(p % 9);
                r.category = (b * 3 + p) % 14;
                for (int k = 0; k < 128; ++k)
                    r.params[k] = uint8_t((b * 7 + p + k) & 0x7F);
            }
        const QString in = path("convert.pre");
        const QString syx = path("convert.syx");
        const QString back = path("back.pre");
        writeFile("convert.pre", presetFileText(store, 0, 15));
        Run run = orvexPre({"syx", in, syx});
        QCOMPARE(run.exitCode, 0);
        const QByteArray bytes = readFile(syx);
        QCOMPARE(bytes.size(), 15 * 128 * 333);
        QCOMPARE(bytes.left(12).toHex(), QByteArray("f00011220200000000020001"));
        QCOMPARE(bytes.mid(bytes.size() - 333, 12).toHex(), QByteArray("f00011220200000000027f0f"));

        run = orvexPre({"pre", syx, back});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.err.isEmpty());
        BankStore expected = store;
        const PresetImage empty{};
        for (int p = 0; p < PresetsPerBank; ++p)
            imageToRecord(empty.data(), expected.at(0, p));
        QCOMPARE(readFile(back), presetFileText(expected, 0, 15));

        // A file that lacks presets is refused, unless they are to go as empty presets.
        QByteArray shortText = presetFileText(store, 0, 15);
        shortText.remove(shortText.indexOf("  <preset"),
                         shortText.indexOf("  <preset", 100) - shortText.indexOf("  <preset"));
        writeFile("short.pre", shortText);
        run = orvexPre({"syx", path("short.pre"), syx});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("bank 1 holds 127 presets; 128 are needed"), run.err);
        run = orvexPre({"syx", path("short.pre"), syx, "--incomplete"});
        QCOMPARE(run.exitCode, 0);

        // A captured dump placed into the factory bank counts its categories as the module
        // counts that bank's; in a user bank they stay.
        PresetImage image{};
        recordToImage(store.at(2, 0), image.data());
        const auto reply = Sysex::presetData(image);
        writeFile("dump.syx",
                  QByteArray(reinterpret_cast<const char *>(reply.data()), qsizetype(reply.size())));
        for (const int bank : {0, 1}) {
            // OUT's banks are the module's, so the old --bank still says the same as --to-bank.
            run = orvexPre(
                {"pre", path("dump.syx"), back, bank == 0 ? "--bank" : "--to-bank", QString::number(bank)});
            QCOMPARE(run.exitCode, 0);
            BankStore placed;
            QString errorText;
            QVERIFY(loadPresetFile(placed, back, 0, 15, errorText));
            QCOMPARE(placed.at(bank, 0).category, store.at(2, 0).category + (bank == 0 ? 2 : 0));
        }

        run = orvexPre({"syx", in, path("no/such/dir/x.syx")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("can't be opened for writing"), run.err);
    }

    // --bank names the file's own bank, --to-bank the module's. Each row: the sampleStore()
    // banks the file holds (first, count), the options, and the module banks written (first,
    // last) with the store bank the first holds; no module banks: refused, with `err`.
    void syxNumbersTheFilesOwnBanks_data()
    {
        QTest::addColumn<QList<int>>("file");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QList<int>>("written");
        QTest::addColumn<QByteArray>("err");
        QTest::newRow("full") << QList<int>{0, 16} << QStringList{} << QList<int>{1, 15, 1} << QByteArray();
        QTest::newRow("full 9") << QList<int>{0, 16} << QStringList{"--bank=9"} << QList<int>{9, 9, 9}
                                << QByteArray();
        QTest::newRow("factory to 3") << QList<int>{0, 16} << QStringList{"--bank", "0", "--to-bank", "3"}
                                      << QList<int>{3, 3, 0} << QByteArray();
        QTest::newRow("full to 14") << QList<int>{0, 16} << QStringList{"--to-bank=14"}
                                    << QList<int>{14, 15, 1} << QByteArray("left out: 13");
        QTest::newRow("one") << QList<int>{4, 1} << QStringList{"--bank=0"} << QList<int>{1, 1, 4}
                             << QByteArray();
        QTest::newRow("one to 12") << QList<int>{4, 1} << QStringList{"--to-bank", "12"}
                                   << QList<int>{12, 12, 4} << QByteArray();
        QTest::newRow("one, no bank 12") << QList<int>{4, 1} << QStringList{"--bank", "12"} << QList<int>{}
                                         << QByteArray("no bank index 12 (it holds 1 bank); --to-bank 12");
        QTest::newRow("three, 2") << QList<int>{5, 3} << QStringList{"--bank=2"} << QList<int>{3, 3, 7}
                                  << QByteArray();
        QTest::newRow("three, 1 to 15") << QList<int>{5, 3} << QStringList{"--bank=1", "--to-bank=15"}
                                        << QList<int>{15, 15, 6} << QByteArray();
    }
    void syxNumbersTheFilesOwnBanks()
    {
        QFETCH(QList<int>, file);
        QFETCH(QStringList, options);
        QFETCH(QList<int>, written);
        QFETCH(QByteArray, err);
        BankStore store = sampleStore();
        store.at(0, 3) = store.at(1, 3); // what a SysEx message carries as it is: plain names, 7-bit values
        for (int i = 0; i < PresetCount; ++i)
            for (auto &v : store.at(i / PresetsPerBank, i % PresetsPerBank).params)
                v &= 0x7F;
        const QString in = writeFile("banks.pre", presetFileText(store, file[0], file[0] + file[1] - 1));
        const QString out = path("banks.syx");
        QFile::remove(out);
        const Run run = orvexPre(QStringList{"syx", in, out} + options);
        QCOMPARE(run.exitCode, written.isEmpty() ? 1 : 0);
        QVERIFY2(run.err.contains(err), run.err);
        const SyxContents read = readSyxFile(out);
        QCOMPARE(int(read.presets.size()),
                 written.isEmpty() ? 0 : (written[1] - written[0] + 1) * PresetsPerBank);
        for (const SyxPreset &preset : read.presets)
            QVERIFY2(
                preset.bank >= written[0] && preset.bank <= written[1] &&
                    preset.record.sameContent(store.at(written[2] + preset.bank - written[0], preset.preset)),
                qPrintable(QStringLiteral("%1 · %2").arg(preset.bank).arg(preset.preset)));
    }

    void preReportsWhatItSkipsAndRefusesUnusableFiles()
    {
        BankStore store;
        store.fillEmptyBanks();
        store.at(3, 0).name = QStringLiteral("kept");
        SelectionMask one;
        one.set(3, 0);
        const QByteArray foreign = QByteArray::fromHex("F043100CF7");
        writeFile("mixed.syx", foreign + syxFileBytes(store, one) + foreign);
        Run run = orvexPre({"pre", path("mixed.syx"), path("mixed.pre")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.contains("Messages for other devices skipped: 2."), run.err);
        BankStore read;
        QString errorText;
        QVERIFY(loadPresetFile(read, path("mixed.pre"), 0, 15, errorText));
        QCOMPARE(read.at(3, 0).name, QStringLiteral("kept"));

        writeFile("foreign.syx", foreign);
        run = orvexPre({"pre", path("foreign.syx"), path("unwritten.pre")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("no complete Orvex+ preset"), run.err);
        QVERIFY(!QFile::exists(path("unwritten.pre")));
        run = orvexPre({"syx", wrongFile, path("unwritten.syx")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(!QFile::exists(path("unwritten.syx")));
    }

    void diffListsDifferingPresets()
    {
        QString errorText;
        const QString same = path("same.pre");
        QVERIFY(savePresetFile(sampleStore(), same, 0, 15, errorText));
        Run run = orvexPre({"diff", fullFile, same});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.isEmpty());

        BankStore changed = sampleStore();
        changed.at(0, 5).name = QStringLiteral("renamed");
        changed.at(0, 5).params[100] ^= 1;
        changed.at(15, 127).category = 200;
        changed.at(15, 127).author = QStringLiteral("someone");
        const QString other = path("changed.pre");
        QVERIFY(savePresetFile(changed, other, 0, 15, errorText));
        run = orvexPre({"diff", fullFile, other});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out,
                 QByteArray("bank 0 preset 5: name, params\nbank 15 preset 127: author, category\n"));

        // An unusable preset in B is reported as not taken.
        const QString one = path("diff-one.pre");
        QVERIFY(savePresetFile(sampleStore(), one, 9, 9, errorText));
        QByteArray broken = readFile(one);
        broken.replace(broken.indexOf("</preset>"), 0, "0");
        run = orvexPre({"diff", one, writeFile("broken.pre", broken)});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, QByteArray("bank 0 preset 0: taken, name, author, category, params\n"));

        run = orvexPre({"diff", fullFile, one});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.out.contains("bank 1: only in A\n") && run.out.endsWith("bank 15: only in A\n"),
                 run.out);

        run = orvexPre({"diff", fullFile, wrongFile});
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains("not correct"), run.err);
    }

    void backupsListsNewestFirstWithTheModule()
    {
        QTemporaryDir data;
        const QString folder = data.filePath(QStringLiteral("Quillmoth/Orvex_presetmanager"));
        QVERIFY(QDir().mkpath(folder));
        const QString older = folder + QStringLiteral("/module-backup-20261101-080000.pre");
        const QString newer = folder + QStringLiteral("/module-backup-20261205-174501.pre");
        writeTestFile(older, "x");
        writeTestFile(newer, "x");
        writeTestFile(folder + QStringLiteral("/module-backup-20261205-174501.info"),
                      "serial=4711\nfirmware=2.01\n");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), data.path());
        const Run run = runProgram(QStringLiteral(ORVEX_PRE), {QStringLiteral("backups")}, env);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("2026-12-05 17:45:01\t4711\t2.01\t" + newer.toUtf8() +
                                     "\n2026-11-01 08:00:00\t\t\t" + older.toUtf8() + "\n"));
        QCOMPARE(runProgram(QStringLiteral(ORVEX_PRE), {QStringLiteral("backups"), QStringLiteral("x")}, env)
                     .exitCode,
                 2);
    }
};

QTEST_GUILESS_MAIN(TestOrvexPre)
#include "tst_orvexpre.moc"
