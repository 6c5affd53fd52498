// The bank sheet read back by standard tools: pdftotext finds every name on its bank's
// page, Python's csv module reads every field as it was, commas, quotes and line breaks
// included. Either half is skipped, with a message, when its tool is missing.
#include "common/testfiles.h"
#include "editing/banksheet.h"
#include "model/categorytable.h"

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Names unique to their bank and preset, so a name found on the wrong page is caught.
BankStore sampleStore(QRandomGenerator &random)
{
    const QStringList odd{QStringLiteral(","), QStringLiteral("\""), QStringLiteral("\n"),
                          QStringLiteral("ü"), QStringLiteral(" "),  QStringLiteral("x")};
    BankStore store;
    store.fillEmptyBanks();
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            PresetRecord &r = store.at(b, p);
            r.name = QStringLiteral("Q%1y%2").arg(b).arg(p) + odd[random.bounded(int(odd.size()))] +
                     QStringLiteral("z");
            r.author = odd[random.bounded(int(odd.size()))] + QStringLiteral("A%1").arg(p % 9);
            r.category = random.bounded(-2, CategoryCount + 2);
        }
    return store;
}

QString run(const QString &program, const QStringList &args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString squeezed(QString s)
{
    return s.remove(QRegularExpression(QStringLiteral("\\s")));
}

} // namespace

class TestBankSheet : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void pdfHoldsEveryNameOnItsBanksPage()
    {
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (pdftotext.isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed; scripts/deps.sh installs it");
        QRandomGenerator random(11);
        const BankStore store = sampleStore(random);
        BankSheetSource source;
        source.fileName = QStringLiteral("Gig, 2026.pre");
        source.banks = {0, 4, 15};
        const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
        QString errorText;
        QVERIFY2(saveBankSheetPdf(store, source, pdf, errorText), qPrintable(errorText));
        const int pages = int(source.banks.size());
        for (int i = 0; i < pages; ++i) {
            const int bank = source.banks[std::size_t(i)];
            const QString page =
                squeezed(run(pdftotext, {QStringLiteral("-f"), QString::number(i + 1), QStringLiteral("-l"),
                                         QString::number(i + 1), pdf, QStringLiteral("-")}));
            QVERIFY(page.contains(squeezed(source.fileName)));
            QVERIFY(page.contains(QStringLiteral("Page%1of%2").arg(i + 1).arg(pages)));
            for (int b = 0; b < BankCount; ++b)
                for (int p = 0; p < PresetsPerBank; ++p) {
                    const QString name = squeezed(store.at(b, p).name);
                    QVERIFY2(page.contains(name) == (b == bank), qPrintable(name));
                }
            for (const char *category : {"User", "Hi Gain"})
                QVERIFY(page.contains(squeezed(QString::fromLatin1(category))));
        }
    }

    void csvReadsBackFieldForField()
    {
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty())
            QSKIP("python3 is not installed");
        QRandomGenerator random(12);
        const BankStore store = sampleStore(random);
        const std::vector<int> banks{15, 1};
        const QString csv = dir.filePath(QStringLiteral("sheet.csv"));
        QString errorText;
        QVERIFY2(saveBankSheetCsv(store, banks, csv, errorText), qPrintable(errorText));
        QVERIFY(readTestFile(csv).startsWith("\xEF\xBB\xBF"));
        const QString read =
            run(python, {QStringLiteral("-c"),
                         QStringLiteral("import csv, json, sys\n"
                                        "with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
                                        "    print(json.dumps(list(csv.reader(f, strict=True))))"),
                         csv});
        const QJsonArray rows = QJsonDocument::fromJson(read.toUtf8()).array();
        QCOMPARE(rows.size(), 1 + int(banks.size()) * PresetsPerBank);
        QCOMPARE(rows.at(0).toArray().toVariantList(),
                 QVariantList({"bank", "preset", "name", "author", "category"}));
        int row = 1;
        for (int b : banks)
            for (int p = 0; p < PresetsPerBank; ++p, ++row) {
                const PresetRecord &r = store.at(b, p);
                QCOMPARE(rows.at(row).toArray().toVariantList(),
                         QVariantList({QString::number(b + 1), QString::number(p + 1), r.name, r.author,
                                       QString::fromLatin1(categoryFor(r.category).name)}));
            }
    }
};

QTEST_MAIN(TestBankSheet)
#include "tst_banksheet.moc"
