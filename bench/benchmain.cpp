#include "base/appidentity.h"
#include "bench/benchmark.h"

#include "bench/startupchild.h"
#include "model/bankstore.h"

#include <QApplication>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QStandardPaths>
#include <QStyleFactory>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

std::vector<BenchMaker> &benchMakers()
{
    static std::vector<BenchMaker> makers;
    return makers;
}

void fillBenchStore(BankStore &store)
{
    for (int b = 0; b < BankCount; ++b)
        for (int p = 0; p < PresetsPerBank; ++p) {
            PresetRecord &r = store.at(b, p);
            r.name = QStringLiteral("Preset %1 & Co").arg(b * PresetsPerBank + p);
            r.author = QStringLiteral("Author %1").arg(p % 9);
            r.category = (b + p) % 14;
            for (int k = 0; k < int(r.params.size()); ++k)
                r.params[std::size_t(k)] = uint8_t((b + p + k) & 0x7F);
        }
}

void parseWithBareDom(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("bench: can't read %s", qPrintable(path));
    QDomDocument doc;
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    doc.setContent(&file, QDomDocument::ParseOption::Default);
#else
    doc.setContent(&file, false);
#endif
}

void benchPrint(const QString &name, double medianMs, const QString &extra)
{
    std::printf("%-44s %10.3f ms%s%s\n", qPrintable(name), medianMs, extra.isEmpty() ? "" : "  ",
                qPrintable(extra));
    std::fflush(stdout);
}

int main(int argc, char *argv[])
{
    QStandardPaths::setTestModeEnabled(true); // never touch the user's settings
    if (argc >= 3 && qstrcmp(argv[1], "--startup-child") == 0)
        return runStartupChild(argv[2], argc, argv);
    AppIdentity::apply();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication app(argc, argv);
    const QString filter = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();

    // Cases are built here, once the application object exists.
    std::vector<BenchCase> cases;
    for (const BenchMaker &make : benchMakers())
        for (BenchCase &c : make())
            cases.push_back(std::move(c));

    std::printf("%-44s %13s  %s\n", "case", "median", "ratio to baseline");
    QMap<QString, double> medians;
    for (BenchCase &c : cases) {
        if (!filter.isEmpty() && !c.name.contains(filter) && !c.baseline.contains(filter))
            continue;
        if (!c.run) {
            c.report();
            continue;
        }
        std::vector<double> times;
        for (int i = 0; i < c.repeats; ++i) {
            if (c.setup)
                c.setup();
            QElapsedTimer t;
            t.start();
            c.run();
            times.push_back(t.nsecsElapsed() / 1e6);
        }
        std::sort(times.begin(), times.end());
        const double median = times[times.size() / 2];
        medians[c.name] = median;
        QString extra;
        if (!c.baseline.isEmpty() && medians.contains(c.baseline) && medians[c.baseline] > 0)
            extra = QStringLiteral("%1x %2").arg(median / medians[c.baseline], 0, 'f', 2).arg(c.baseline);
        benchPrint(c.name, median, extra);
    }
    return 0;
}
