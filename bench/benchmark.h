#pragma once

#include <QString>

#include <functional>
#include <utility>
#include <vector>

// A benchmark case: `run` is timed `repeats` times; `setup` runs untimed before each
// run. When `baseline` names another case, the line shows the ratio to its median.
struct BenchCase
{
    QString name;
    std::function<void()> run;
    std::function<void()> setup;
    QString baseline;
    int repeats = 15;
    // Cases that print their own line (computed figures, one-off runs) set this instead of `run`.
    std::function<void()> report;
};

using BenchMaker = std::function<std::vector<BenchCase>()>;
std::vector<BenchMaker> &benchMakers();

struct BenchRegistrar
{
    explicit BenchRegistrar(BenchMaker make) { benchMakers().push_back(std::move(make)); }
};

// Registers the cases returned by the body, e.g.
// ORVEX_BENCH(files) { return {BenchCase{...}, ...}; }
#define ORVEX_BENCH(area)                                                                                    \
    static std::vector<BenchCase> orvexBench_##area();                                                       \
    static BenchRegistrar orvexBenchRegistrar_##area(orvexBench_##area);                                     \
    static std::vector<BenchCase> orvexBench_##area()

class BankStore;

// 16 full banks whose presets all differ: names with a "&" to escape, nine authors, every
// category, 7-bit parameters.
void fillBenchStore(BankStore &store);

// The baseline of the file cases: a bare DOM parse of the file, without namespace processing.
void parseWithBareDom(const QString &path);

// Prints a line in the common format (for `report` cases).
void benchPrint(const QString &name, double medianMs, const QString &extra = QString());
