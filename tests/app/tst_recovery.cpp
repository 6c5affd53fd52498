// Recovery after a crash, end to end: a program is killed after an edit, and the next
// start offers its work back. A second program running meanwhile is never offered it.
#include "app/mainwindow.h"
#include "app/startup.h"
#include "common/loadedwindow.h"
#include "common/modaldriver.h"
#include "files/recoverycopy.h"
#include "views/bigtable.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <cstdio>

namespace {

const char *const ChildVariable = "ORVEX_RECOVERY_CHILD";
const QString EditedName = QString::fromUtf8("Geändert");

void loadSample(MainWindow &w)
{
    w.setCurrentFile(QStringLiteral("/music/test.pre"));
    loadSomething(w, QStringLiteral("P %1/%2"));
}

void rename(MainWindow &w, int bank, int preset, const QString &name)
{
    w.history.startNewGroup = true;
    w.recordUndo(bank, preset);
    w.bankStore.at(bank, preset).name = name;
    w.bankStore.at(bank, preset).mark = true;
    w.updateTable(true);
}

// The program that gets killed: loads, renames one preset, says so once its copy is on the
// disk, and runs until it is killed.
int runChild(int argc, char **argv)
{
    Startup::setApplicationIdentity();
    QApplication app(argc, argv);
    MainWindow w;
    w.recovery->delayMs = 50;
    loadSample(w);
    QObject::connect(w.recovery.get(), &RecoveryCopy::copyWritten, [] {
        std::puts("written");
        std::fflush(stdout);
    });
    rename(w, 3, 4, EditedName);
    return app.exec();
}

QStringList copies()
{
    return QDir(RecoveryCopy::defaultFolder()).entryList({QStringLiteral("*.recovery")}, QDir::Files);
}

} // namespace

class TestRecovery : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        Startup::setApplicationIdentity();
        QDir(RecoveryCopy::defaultFolder()).removeRecursively();
    }

    void workOfAKilledProgramComesBack()
    {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(ChildVariable), QStringLiteral("1"));
        child.setProcessEnvironment(env);
        const QString editedAt = QDateTime::currentDateTime().toString(QStringLiteral("d MMM yyyy HH:mm"));
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForStarted());
        QByteArray said;
        while (!said.contains("written") && child.waitForReadyRead(30000))
            said += child.readAllStandardOutput();
        QVERIFY2(said.contains("written"), child.readAllStandardError().constData());

        {
            // A second program while the first still runs: its own copy, nothing offered.
            MainWindow second;
            second.recovery->delayMs = 0;
            QVERIFY(!second.recovery->findOrphan());
            loadSample(second);
            rename(second, 5, 6, QStringLiteral("second"));
            second.recovery->writeNow();
            second.recovery->flush();
            QCOMPARE(copies().size(), 2);
        }
        QCOMPARE(copies().size(), 1); // the second ended normally: its copy went

        child.kill();
        QVERIFY(child.waitForFinished());

        MainWindow next;
        next.setGeometry(100, 80, 1000, 700);
        next.show();
        QVERIFY(QTest::qWaitForWindowExposed(&next));
        QString question;
        QString file;
        whenModalShows([&question, &file, &next](QWidget *m) {
            auto *box = qobject_cast<QMessageBox *>(m);
            QVERIFY(box);
            question = box->text();
            file = box->informativeText();
            // On the window's middle, wherever the window is, also once the window moves on.
            next.setGeometry(160, 120, 900, 650);
            QTRY_VERIFY2((box->frameGeometry().center() - next.frameGeometry().center()).manhattanLength() <=
                             2,
                         qPrintable(QStringLiteral("box at %1,%2")
                                        .arg(box->frameGeometry().center().x())
                                        .arg(box->frameGeometry().center().y())));
            for (QAbstractButton *b : box->buttons())
                if (b->text() == QLatin1String("Restore"))
                    b->click();
        });
        next.offerRecovery();
        // The minute may have turned since the edit.
        const QString now = QDateTime::currentDateTime().toString(QStringLiteral("d MMM yyyy HH:mm"));
        const QString asked = QStringLiteral("Unsaved changes to test.pre from %1 were found. Restore them?");
        QVERIFY2(question == asked.arg(editedAt) || question == asked.arg(now), qPrintable(question));
        QVERIFY2(file.endsWith(QStringLiteral("test.pre")), qPrintable(file));
        QCOMPARE(next.bankStore.at(3, 4).name, EditedName);
        QCOMPARE(next.bankStore.at(3, 5).name, QStringLiteral("P 3/5"));
        QVERIFY(next.banksLoaded);
        QVERIFY(next.modified);
        QVERIFY(next.isWindowModified());
        QCOMPARE(next.windowTitle(), QStringLiteral("test.pre[*] - Orvex+ Preset Manager"));
        QCOMPARE(next.table->item(4, 3)->text().section(QLatin1Char('\n'), 0, 0), EditedName);

        // Brought back once: the next start offers nothing, and saving removes the copy.
        QVERIFY(!RecoveryCopy().findOrphan());
        next.markClean();
        next.recovery->flush();
        QVERIFY(copies().isEmpty());
    }
};

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet(ChildVariable))
        return runChild(argc, argv);
    QApplication app(argc, argv);
    TestRecovery test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_recovery.moc"
