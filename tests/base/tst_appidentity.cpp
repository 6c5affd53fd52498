// The program's identity and data folder, as the window and orvex-pre both find it.
#include "base/appidentity.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QTest>

class TestAppIdentity : public QObject
{
    Q_OBJECT

private slots:
    // orvex-pre runs under a name of its own and must still find the window's folder; the
    // process keeps its own names afterwards.
    void theDataFolderIsTheWindowsUnderAnyName()
    {
        AppIdentity::apply();
        const QString windows = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QVERIFY(windows.contains(AppIdentity::ApplicationName));
        QCOMPARE(AppIdentity::dataFolder(), windows);

        QCoreApplication::setOrganizationName(QString());
        QCoreApplication::setApplicationName(QStringLiteral("orvex-pre"));
        QCOMPARE(AppIdentity::dataFolder(), windows);
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("orvex-pre"));
        QCOMPARE(QCoreApplication::organizationName(), QString());
        QVERIFY(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) != windows);
    }
};

QTEST_GUILESS_MAIN(TestAppIdentity)
#include "tst_appidentity.moc"
