#include "bench/startupchild.h"

#include "app/startup.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStyleFactory>
#include <QTableWidget>

#include <sys/resource.h>

namespace {

int runBareTable(int &argc, char **argv)
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication app(argc, argv);
    QTableWidget table(128, 16);
    for (int c = 0; c < 16; ++c)
        for (int r = 0; r < 128; ++r)
            table.setItem(r, c, new QTableWidgetItem(QStringLiteral("\n\n%1\n%2").arg(r).arg(c)));
    table.showMaximized();
    Startup::quitWhenShown(&table);
    return app.exec();
}

} // namespace

int runStartupChild(const char *kind, int &argc, char **argv)
{
    if (qstrcmp(kind, "main") == 0)
        return Startup::runApplication(argc, argv, true);
    return runBareTable(argc, argv);
}

StartupTimes timeStartupChild(const char *kind)
{
    auto childrenCpu = [] {
        rusage usage{};
        getrusage(RUSAGE_CHILDREN, &usage);
        return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
               (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    };
    const double cpuBefore = childrenCpu();
    QProcess child;
    StartupTimes times;
    QElapsedTimer t;
    t.start();
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--startup-child"), QString::fromLatin1(kind)});
    // The child says "shown" once its window is on screen.
    QByteArray said;
    while (!said.contains("shown\n") && child.waitForReadyRead(30000))
        said += child.readAllStandardOutput();
    times.shown = t.nsecsElapsed() / 1e6;
    if (!said.contains("shown\n") && !child.waitForFinished(30000))
        qFatal("bench: start-up child '%s' never showed its window", kind);
    if (!child.waitForFinished(30000) || child.exitCode() != 0 || !said.contains("shown\n"))
        qFatal("bench: start-up child '%s' failed", kind);
    times.wholeRun = t.nsecsElapsed() / 1e6;
    times.processor = childrenCpu() - cpuBefore;
    return times;
}
