#include "editfixtures.h"
#include "editing/exportchoice.h"
#include "editing/exportpreview.h"
#include "editing/presetcomparison.h"

#include <QSignalSpy>
#include <QTest>

#include <vector>

namespace {

using Kind = PresetComparison::Kind;

// What the module holds when it already has every preset of `store`.
std::vector<uint8_t> moduleDump(const BankStore &store)
{
    std::vector<uint8_t> dump(BankDumpSize);
    store.toDump(dump.data());
    return dump;
}

SelectionMask userBanks()
{
    SelectionMask m;
    for (int b = 1; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            m.set(b, p);
    return m;
}

} // namespace

class TestComparison : public QObject
{
    Q_OBJECT

private slots:
    void tellsSoundFromText_data()
    {
        QTest::addColumn<int>("change");
        QTest::addColumn<int>("fields");
        QTest::addColumn<int>("kind");
        QTest::newRow("nothing") << 0 << 0 << int(Kind::Same);
        QTest::newRow("name") << 1 << int(PresetComparison::Name) << int(Kind::TextOnly);
        QTest::newRow("author") << 2 << int(PresetComparison::Author) << int(Kind::TextOnly);
        QTest::newRow("category") << 3 << int(PresetComparison::Category) << int(Kind::TextOnly);
        QTest::newRow("one parameter") << 4 << int(PresetComparison::Params) << int(Kind::Sound);
        QTest::newRow("parameter and name")
            << 5 << int(PresetComparison::Params | PresetComparison::Name) << int(Kind::Sound);
    }
    void tellsSoundFromText()
    {
        QFETCH(int, change);
        QFETCH(int, fields);
        QFETCH(int, kind);
        BankStore ours;
        fillDistinct(ours);
        BankStore theirs = ours;
        PresetRecord &r = theirs.at(7, 127);
        if (change == 1 || change == 5)
            r.name += QLatin1Char('x');
        if (change == 2)
            r.author = QStringLiteral("Someone else");
        if (change == 3)
            r.category = (r.category + 1) % 14;
        if (change >= 4)
            r.params[127] ^= 1;
        const PresetComparison c = PresetComparison::compare(ours, theirs);
        QCOMPARE(int(c.fields(7, 127)), fields);
        QCOMPARE(int(c.kind(7, 127)), kind);
        QCOMPARE(c.count(), fields ? 1 : 0);
        QCOMPARE(c.soundCount(), kind == int(Kind::Sound) ? 1 : 0);
        QCOMPARE(c.mask().isSelected(7, 127), fields != 0);
    }

    void onlyComparesWhatTheOtherSideHolds()
    {
        BankStore ours;
        fillDistinct(ours);
        BankStore theirs;
        fillDistinct(theirs, 99); // every preset differs
        SelectionMask present;
        present.set(0, 0);
        present.set(15, 127);
        const PresetComparison c = PresetComparison::compare(ours, theirs, &present);
        QCOMPARE(c.count(), 2);
        // Steps wrap around in bank order, both ways.
        int bank = 15, preset = 127;
        QVERIFY(c.step(bank, preset, true));
        QCOMPARE(std::make_pair(bank, preset), std::make_pair(0, 0));
        QVERIFY(c.step(bank, preset, false));
        QCOMPARE(std::make_pair(bank, preset), std::make_pair(15, 127));
        QVERIFY(!PresetComparison().step(bank, preset, true));
        // Without wrapping they stop at either end and leave the position alone.
        QVERIFY(!c.step(bank, preset, true, false));
        QCOMPARE(std::make_pair(bank, preset), std::make_pair(15, 127));
        QVERIFY(c.step(bank, preset, false, false));
        QCOMPARE(std::make_pair(bank, preset), std::make_pair(0, 0));
        QVERIFY(!c.step(bank, preset, false, false));
        QCOMPARE(std::make_pair(bank, preset), std::make_pair(0, 0));
        bank = -1; // before the first: the first one
        QVERIFY(c.step(bank, preset, true, false));
        QCOMPARE(std::make_pair(bank, preset), std::make_pair(0, 0));
    }

    void asTheModuleKeepsIgnoresWhatItWouldCutAnyway()
    {
        BankStore ours;
        fillDistinct(ours);
        BankStore theirs = ours;
        ours.at(3, 4).name = QStringLiteral("A name far longer than the module's thirty-two");
        theirs.at(3, 4).name = ours.at(3, 4).name.left(32);
        ours.at(3, 5).author = QString::fromUtf8("Jürgen");
        theirs.at(3, 5).author = QStringLiteral("J rgen");
        QCOMPARE(PresetComparison::compare(ours, theirs).count(), 2);
        QCOMPARE(PresetComparison::compare(ours, theirs, nullptr, true).count(), 0);
        // A real difference still counts, and update follows a changed side.
        PresetComparison c = PresetComparison::compare(ours, theirs, nullptr, true);
        theirs.at(3, 4).name = QStringLiteral("Other");
        c.update(3, 4, ours.at(3, 4), theirs.at(3, 4));
        QCOMPARE(int(c.fields(3, 4)), int(PresetComparison::Name));
    }

    void previewListsOnlyChosenPresetsTheModuleHoldsDifferently()
    {
        BankStore document;
        fillDistinct(document);
        const std::vector<uint8_t> module = moduleDump(document);
        document.at(2, 10).params[0] ^= 5;                  // sound
        document.at(2, 11).author = QStringLiteral("New");  // text only
        document.at(0, 3).name = QStringLiteral("Factory"); // not chosen: never listed
        document.at(5, 0).name = QStringLiteral("Out of the choice");
        SelectionMask chosen = userBanks();
        chosen.set(5, 0, false);
        ExportPreview preview;
        preview.build(document, module.data(), chosen);
        QCOMPARE(preview.rowCount(), 2);
        const ExportPreview::Row &sound = preview.rows()[0];
        QCOMPARE(std::make_pair(sound.bank, sound.preset), std::make_pair(2, 10));
        QCOMPARE(sound.kind, Kind::Sound);
        QCOMPARE(preview.data(preview.index(0, ExportPreview::Position)).toString(),
                 QStringLiteral("3 · 11"));
        QCOMPARE(preview.rows()[1].kind, Kind::TextOnly);
        QCOMPARE(preview.rows()[1].nowAuthor, QStringLiteral("Author 6"));
        QCOMPARE(preview.rows()[1].newAuthor, QStringLiteral("New"));
        // A text that reads the same to the module as what it holds is no change.
        document.at(2, 10).params[0] ^= 5;
        document.at(2, 11).author = QStringLiteral("Author 6");
        preview.build(document, module.data(), chosen);
        QCOMPARE(preview.rowCount(), 0);
    }

    void previewShowsWhatTheModuleKeeps_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("author");
        QTest::addColumn<QString>("keptName");
        QTest::addColumn<QString>("keptAuthor");
        QTest::newRow("fits") << "Warm Pad"
                              << "Anna" << QString() << QString();
        QTest::newRow("long name") << "Forty characters of a name, far too long"
                                   << "Anna"
                                   << "Forty characters of a name, far " << QString();
        QTest::newRow("umlaut author") << "Warm Pad" << QString::fromUtf8("Jürgen") << QString() << "J rgen";
        QTest::newRow("both") << QString::fromUtf8("Café") << "Tab\there"
                              << "Caf "
                              << "Tab here";
    }
    void previewShowsWhatTheModuleKeeps()
    {
        QFETCH(QString, name);
        QFETCH(QString, author);
        QFETCH(QString, keptName);
        QFETCH(QString, keptAuthor);
        BankStore document;
        fillDistinct(document);
        const std::vector<uint8_t> module = moduleDump(document);
        document.at(9, 9).name = name;
        document.at(9, 9).author = author;
        ExportPreview preview;
        preview.build(document, module.data(), userBanks());
        QCOMPARE(preview.rowCount(), 1);
        const ExportPreview::Row &row = preview.rows()[0];
        QCOMPARE(row.newName, name);
        QCOMPARE(row.keptName, keptName);
        QCOMPARE(row.keptAuthor, keptAuthor);
        QCOMPARE(preview.data(preview.index(0, ExportPreview::Kept)).toString().isEmpty(),
                 keptName.isEmpty() && keptAuthor.isEmpty());
    }

    void ticksChooseWhatIsWrittenAndSurviveSorting()
    {
        BankStore document;
        fillDistinct(document);
        const std::vector<uint8_t> module = moduleDump(document);
        const char *const names[] = {"Delta", "alpha", "Charlie", "bravo"};
        for (int i = 0; i < 4; ++i)
            document.at(4, 20 + i).name = QString::fromLatin1(names[i]);
        ExportPreview preview;
        preview.build(document, module.data(), userBanks());
        QSignalSpy counts(&preview, &ExportPreview::tickedCountChanged);
        QCOMPARE(preview.tickedCount(), 4);
        QVERIFY(
            preview.setData(preview.index(1, ExportPreview::Position), Qt::Unchecked, Qt::CheckStateRole));
        QCOMPARE(counts.last().first().toInt(), 3);
        QVERIFY(!preview.ticked().isSelected(4, 21));

        preview.sort(ExportPreview::NewName, Qt::AscendingOrder);
        QStringList sorted;
        for (const ExportPreview::Row &r : preview.rows())
            sorted << r.newName;
        QCOMPARE(sorted, (QStringList{"alpha", "bravo", "Charlie", "Delta"}));
        QCOMPARE(preview.data(preview.index(0, ExportPreview::Position), Qt::CheckStateRole).toInt(),
                 int(Qt::Unchecked)); // the tick went with its row
        preview.sort(ExportPreview::Position, Qt::DescendingOrder);
        QCOMPARE(preview.rows().front().preset, 23);

        preview.setAllTicked(false);
        QVERIFY(preview.ticked().empty());
        preview.setAllTicked(true);
        QCOMPARE(preview.ticked().count(), 4);
    }

    void exportChoiceCoversUserPresetsOnly_data()
    {
        QTest::addColumn<QString>("presets");
        QTest::addColumn<int>("count"); // -1: refused
        QTest::addColumn<QString>("description");
        QTest::newRow("two") << "1:0, 15:127" << 2 << "2 chosen presets";
        QTest::newRow("twice the same") << "3:4,3:4" << 1 << "1 chosen preset";
        QTest::newRow("factory") << "0:5" << -1 << "";
        QTest::newRow("past the last bank") << "16:0" << -1 << "";
        QTest::newRow("past the last preset") << "2:128" << -1 << "";
        QTest::newRow("no colon") << "2" << -1 << "";
        QTest::newRow("not a number") << "b:1" << -1 << "";
        QTest::newRow("nothing") << "," << -1 << "";
    }
    void exportChoiceCoversUserPresetsOnly()
    {
        QFETCH(QString, presets);
        QFETCH(int, count);
        QFETCH(QString, description);
        ExportChoice choice;
        QString error;
        QCOMPARE(ExportChoice::parsePresets(presets, choice, error), count >= 0);
        QCOMPARE(error.isEmpty(), count >= 0);
        if (count >= 0) {
            QCOMPARE(choice.positions().count(), count);
            QCOMPARE(choice.description(), description);
        }
        // A selection reaching into the factory bank exports only its user presets.
        SelectionMask selected;
        selected.set(0, 1);
        selected.set(4, 1);
        QCOMPARE(ExportChoice::presets(selected).positions().count(), 1);
        QCOMPARE(ExportChoice::oneBank(4).positions().count(), PresetsPerBank);
        QCOMPARE(ExportChoice::oneBank(4).description(), QStringLiteral("bank 5"));
        QCOMPARE(ExportChoice::allUserBanks().positions().count(), PresetCount - PresetsPerBank);
    }
};

QTEST_GUILESS_MAIN(TestComparison)
#include "tst_comparison.moc"
