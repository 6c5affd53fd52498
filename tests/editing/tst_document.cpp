// The document: where its latest state is kept after each way it comes in or goes out,
// and the one change signal the window, the title and the recovery copy follow.
#include "editing/document.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

BankStore named(const QString &tag)
{
    BankStore store;
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p)
            store.at(b, p).name = QStringLiteral("%1 %2/%3").arg(tag).arg(b).arg(p);
    return store;
}

void rename(Document &d, int bank, int preset, const QString &name)
{
    d.history.startNewGroup = true;
    d.history.recordUndo(bank, preset);
    d.store.at(bank, preset).name = name;
    d.noteChange();
}

} // namespace

class TestDocument : public QObject
{
    Q_OBJECT

private slots:
    void replaceSaysWhereTheDocumentIsKept_data()
    {
        QTest::addColumn<Document::Source>("source");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("modified");
        QTest::addColumn<bool>("fileHolds");
        QTest::addColumn<bool>("moduleHolds");
        const QString file = QStringLiteral("/music/studio.pre");
        QTest::newRow("loaded") << Document::Source::File << file << false << true << false;
        QTest::newRow("imported") << Document::Source::Module << QString() << false << false << true;
        QTest::newRow("recovered") << Document::Source::Unsaved << file << true << false << false;
    }
    void replaceSaysWhereTheDocumentIsKept()
    {
        QFETCH(Document::Source, source);
        QFETCH(QString, file);
        QFETCH(bool, modified);
        QFETCH(bool, fileHolds);
        QFETCH(bool, moduleHolds);
        Document d;
        rename(d, 2, 2, QStringLiteral("old edit"));
        QSignalSpy changed(&d, &Document::changed);
        d.replace(named(QStringLiteral("new")), source, QStringLiteral("/music/studio.pre"));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(d.store.at(2, 2).name, QStringLiteral("new 2/2"));
        QVERIFY(d.store.at(15, 127).mark);
        QVERIFY(d.banksLoaded);
        QVERIFY(!d.history.canUndo());
        QCOMPARE(d.fileName(), file);
        QCOMPARE(d.modified, modified);
        QCOMPARE(d.fileHoldsDocument(), fileHolds);
        QCOMPARE(d.moduleHoldsDocument(), moduleHolds);
    }

    // A complete export: with a file named the file still lacks the change; without one
    // the module is the document's place and it counts as saved.
    void aCompleteExportSavesOnlyWithoutAFile()
    {
        for (const QString &file : {QStringLiteral("/music/studio.pre"), QString()}) {
            Document d;
            d.replace(named(QStringLiteral("a")), Document::Source::File, file);
            rename(d, 3, 4, QStringLiteral("edit"));
            d.exportedWhole();
            QCOMPARE(d.modified, !file.isEmpty());
            QVERIFY(d.moduleHoldsDocument());
            QVERIFY(!d.fileHoldsDocument());
            // The next change is in neither place.
            rename(d, 3, 5, QStringLiteral("later"));
            QVERIFY(!d.moduleHoldsDocument());
            QVERIFY(d.modified);
            // Saved whole afterwards: the file holds it.
            d.savedWhole(QStringLiteral("/music/other.pre"));
            QVERIFY(d.fileHoldsDocument());
            // A backup written to the module: it no longer holds the document.
            d.exportedWhole();
            d.moduleOverwritten();
            QVERIFY(!d.moduleHoldsDocument());
        }
    }

    // A part written over the document's file: no undo or redo leads back to "saved".
    void aPartOverTheFileLeavesNothingSaved()
    {
        Document d;
        d.replace(named(QStringLiteral("a")), Document::Source::File, QStringLiteral("/music/studio.pre"));
        QSignalSpy changed(&d, &Document::changed);
        d.fileReplacedByPart();
        QCOMPARE(changed.size(), 1);
        QVERIFY(d.modified);
        QVERIFY(!d.fileHoldsDocument());
        QCOMPARE(d.fileName(), QStringLiteral("/music/studio.pre"));
        rename(d, 1, 1, QStringLiteral("x"));
        QVERIFY(d.history.undo());
        QVERIFY(d.modified);
        // Nothing changed since: the signal stays quiet.
        d.noteChange();
        d.noteChange();
        QCOMPARE(changed.size(), 3);
    }

    void theDocumentsFileUnderAnotherPath()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("studio.pre"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QVERIFY(QFile::link(file, dir.filePath(QStringLiteral("link.pre"))));
        Document d;
        d.setFileName(file);
        QVERIFY(d.isDocumentFile(dir.filePath(QStringLiteral("./studio.pre"))));
        QVERIFY(d.isDocumentFile(dir.filePath(QStringLiteral("link.pre"))));
        QVERIFY(!d.isDocumentFile(dir.filePath(QStringLiteral("other.pre"))));
        QVERIFY(!Document().isDocumentFile(file));
    }
};

QTEST_GUILESS_MAIN(TestDocument)
#include "tst_document.moc"
