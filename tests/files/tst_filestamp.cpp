// What a save compares before replacing a file: a change of content counts, new times or a
// new inode with the same bytes do not, and a file that went is told apart.
#include "common/testfiles.h"
#include "files/filestamp.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class TestFileStamp : public QObject
{
    Q_OBJECT

private slots:
    void changesOfContentCount_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<FileStamp::Change>("expected");
        QTest::newRow("untouched") << "none" << FileStamp::Change::None;
        QTest::newRow("new times only") << "touch" << FileStamp::Change::None;
        QTest::newRow("new permissions") << "chmod" << FileStamp::Change::None;
        QTest::newRow("the same bytes as a new file") << "same" << FileStamp::Change::None;
        QTest::newRow("one byte, same size and times") << "byte" << FileStamp::Change::Changed;
        QTest::newRow("new content as a new file") << "other" << FileStamp::Change::Changed;
        QTest::newRow("appended") << "append" << FileStamp::Change::Changed;
        QTest::newRow("removed") << "remove" << FileStamp::Change::Gone;
        QTest::newRow("a FIFO in its place") << "fifo" << FileStamp::Change::Gone;
    }
    void changesOfContentCount()
    {
        QFETCH(QString, what);
        QFETCH(FileStamp::Change, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.pre"));
        const QByteArray name = QFile::encodeName(path);
        const QByteArray content = QByteArray("<presetbanks>").repeated(1000);
        writeTestFile(path, content);
        const FileStamp seen = FileStamp::of(path);
        QVERIFY(seen.isValid());
        struct stat before;
        QVERIFY(::stat(name.constData(), &before) == 0);
        const struct timespec later[2] = {{before.st_atim.tv_sec + 100, 0}, {before.st_mtim.tv_sec + 100, 0}};
        auto replaceWith = [&](const QByteArray &bytes) {
            writeTestFile(path + QStringLiteral(".new"), bytes);
            QVERIFY(::rename(QFile::encodeName(path + QStringLiteral(".new")).constData(),
                             name.constData()) == 0);
        };
        if (what == QLatin1String("touch")) {
            QVERIFY(::utimensat(AT_FDCWD, name.constData(), later, 0) == 0);
        } else if (what == QLatin1String("chmod")) {
            QVERIFY(::chmod(name.constData(), 0640) == 0);
        } else if (what == QLatin1String("same")) {
            replaceWith(content);
        } else if (what == QLatin1String("other")) {
            replaceWith(QByteArray(content).replace("bank", "BANK"));
        } else if (what == QLatin1String("byte")) {
            const int fd = ::open(name.constData(), O_WRONLY);
            QVERIFY(fd >= 0 && ::pwrite(fd, "X", 1, 5000) == 1);
            ::close(fd);
            const struct timespec old[2] = {before.st_atim, before.st_mtim};
            QVERIFY(::utimensat(AT_FDCWD, name.constData(), old, 0) == 0);
        } else if (what == QLatin1String("append")) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::Append) && f.write("x") == 1);
        } else if (what == QLatin1String("remove")) {
            QVERIFY(QFile::remove(path));
        } else if (what == QLatin1String("fifo")) {
            QVERIFY(QFile::remove(path) && ::mkfifo(name.constData(), 0600) == 0);
        }
        QCOMPARE(seen.compare(path), expected);
        QCOMPARE(FileStamp().compare(path), FileStamp::Change::None);
    }
};

QTEST_GUILESS_MAIN(TestFileStamp)
#include "tst_filestamp.moc"
