// Whole chains through the batch path. BM_*Chain: one case through the four Problems and the
// report's 58 texts read back. BM_*Batch: the tool's whole path in one process, CSV in (read
// and checked case by case), the chains, CSV rows out. The figure to read is
// items_per_second, chains per second in one process. BM_*UncertaintyTool/<jobs>: the program
// ctaudit-batch with --uncertainty on the same 64 regimes, in one process (1) and over two
// worker processes (2), wall time: the ratio of the two is what the workers gain.
// BM_*ToolCase: the program ctaudit-batch --jobs 1 itself, its processor time per case beyond
// its start-up (a run of many regimes less a run of one). It runs the cases in the process the
// tool really sets up (its libraries, Qt's start-up, its command line), which can slow the
// numeric core where this benchmark process does not: the tool once spent 4 to 5 times the
// chain's time per case on AVX-512 processors (core/vectorstate.h). Its time should stay
// within about 1.5 times BM_*Chain of the same run. Its Time column is the figure (the CPU
// column is this process's own, waiting for the tool).

#include "auditfile/batchinput.h"
#include "batch/batchaudit.h"
#include "batch/batchrunner.h"

#include <QBuffer>
#include <QProcess>
#include <QTemporaryFile>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <optional>
#include <sys/resource.h>

namespace {

// The case that holds every field's initial text, in input column order.
BatchCase defaultCase(Arrangement arrangement) {
    static const char* const counter[] = {"100", "90",   "38", "33", "1",  "25", "55",
                                          "90",  "80",   "34", "31", "21", "27", "105",
                                          "110", "2200", "36", "30", "22"};
    static const char* const cross[] = {"90", "70", "37", "34", "1",  "28",  "55", "90", "80", "34",
                                        "31", "21", "25", "35", "25", "500", "35", "28", "22"};
    BatchCase c;
    c.number = 1;
    for (size_t i = 0; i < c.values.size(); ++i)
        c.values[i] =
            QLatin1String(arrangement == Arrangement::CounterFlow ? counter[i] : cross[i]);
    return c;
}

void chains(benchmark::State& state, Arrangement arrangement) {
    const BatchAudit audit(arrangement);
    const BatchCase c = defaultCase(arrangement);
    for (auto _ : state) {
        const BatchAudit::Result result = audit.run(c);
        if (result.status != BatchAudit::kOk) {
            state.SkipWithError(qPrintable(result.status));
            break;
        }
        benchmark::DoNotOptimize(result.quantities.data());
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_CounterFlowChain(benchmark::State& state) {
    chains(state, Arrangement::CounterFlow);
}
BENCHMARK(BM_CounterFlowChain)->Unit(benchmark::kMicrosecond);

void BM_CrossFlowChain(benchmark::State& state) {
    chains(state, Arrangement::CrossFlow);
}
BENCHMARK(BM_CrossFlowChain)->Unit(benchmark::kMillisecond);

// Regimes around the design point (the ambient dry bulb from 20 to 32.6 oC, then again) as a
// file: 64 unless told.
QByteArray regimes(Arrangement arrangement, int count = 64) {
    constexpr int kDryBulbColumn = 5;
    QString text = BatchInput::header();
    BatchCase c = defaultCase(arrangement);
    for (int i = 0; i < count; ++i) {
        c.values[kDryBulbColumn] = QString::number(20 + 0.2 * (i % 64));
        text += BatchInput::record(c);
    }
    return text.toUtf8();
}

void batch(benchmark::State& state, Arrangement arrangement) {
    QByteArray data = regimes(arrangement);
    const BatchRunner runner(arrangement, 1);
    qsizetype rows = 0;
    for (auto _ : state) {
        QBuffer input(&data);
        input.open(QIODevice::ReadOnly);
        BatchReader cases(input);
        QByteArray output;
        runner.run(cases, 64,
                   [&](const QByteArray& row) {
                       output += row;
                       return true;
                   },
                   {});
        rows += output.count('\n');
        benchmark::DoNotOptimize(output.data());
    }
    state.SetItemsProcessed(rows);
}

void BM_CounterFlowBatch(benchmark::State& state) {
    batch(state, Arrangement::CounterFlow);
}
BENCHMARK(BM_CounterFlowBatch)->Unit(benchmark::kMillisecond);

void BM_CrossFlowBatch(benchmark::State& state) {
    batch(state, Arrangement::CrossFlow);
}
BENCHMARK(BM_CrossFlowBatch)->Unit(benchmark::kMillisecond);

// The program with --uncertainty and --jobs state.range(0) on the regimes, its output counted.
void uncertaintyTool(benchmark::State& state, Arrangement arrangement) {
    const QByteArray data = regimes(arrangement);
    const QStringList arguments{
        arrangement == Arrangement::CounterFlow ? QStringLiteral("--arrangement=counter")
                                                : QStringLiteral("--arrangement=cross"),
        QStringLiteral("--uncertainty"), QStringLiteral("--jobs=%1").arg(state.range(0)),
        QStringLiteral("-")};
    qsizetype rows = 0;
    for (auto _ : state) {
        QProcess tool;
        tool.start(QStringLiteral(CTAUDIT_BATCH), arguments);
        tool.write(data);
        tool.closeWriteChannel();
        if (!tool.waitForFinished(600000) || tool.exitStatus() != QProcess::NormalExit ||
            tool.exitCode() != 0) {
            state.SkipWithError("ctaudit-batch failed");
            break;
        }
        rows += tool.readAllStandardOutput().count('\n') - 1;
    }
    state.SetItemsProcessed(rows);
}

void BM_CounterFlowUncertaintyTool(benchmark::State& state) {
    uncertaintyTool(state, Arrangement::CounterFlow);
}
BENCHMARK(BM_CounterFlowUncertaintyTool)
    ->Arg(1)
    ->Arg(2)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_CrossFlowUncertaintyTool(benchmark::State& state) {
    uncertaintyTool(state, Arrangement::CrossFlow);
}
BENCHMARK(BM_CrossFlowUncertaintyTool)
    ->Arg(1)
    ->Arg(2)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// The processor time (user and system, s) of the child processes waited for so far.
double childrenProcessorTime() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& t) {
        return double(t.tv_sec) + 1e-6 * double(t.tv_usec);
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs ctaudit-batch --jobs 1 on the file; its processor time (s), or nothing if it failed.
std::optional<double> toolProcessorTime(Arrangement arrangement, const QString& path) {
    const QStringList arguments{
        arrangement == Arrangement::CounterFlow ? QStringLiteral("--arrangement=counter")
                                                : QStringLiteral("--arrangement=cross"),
        QStringLiteral("--jobs=1"), QStringLiteral("--output=/dev/null"), path};
    const double before = childrenProcessorTime();
    QProcess tool;
    tool.start(QStringLiteral(CTAUDIT_BATCH), arguments);
    if (!tool.waitForFinished(600000) || tool.exitStatus() != QProcess::NormalExit ||
        tool.exitCode() != 0)
        return std::nullopt;
    return childrenProcessorTime() - before;
}

// The tool's processor time per case beyond its start-up, over state.range(0) cases: a run of
// them less a run of the first alone, as the time of one case (few iterations: each is a run).
void toolCases(benchmark::State& state, Arrangement arrangement) {
    const int count = int(state.range(0));
    QTemporaryFile many, one;
    if (!many.open() || !one.open() || many.write(regimes(arrangement, count)) < 0 ||
        one.write(regimes(arrangement, 1)) < 0 || !many.flush() || !one.flush()) {
        state.SkipWithError("cannot write the regimes");
        return;
    }
    for (auto _ : state) {
        const std::optional<double> all = toolProcessorTime(arrangement, many.fileName());
        const std::optional<double> first = toolProcessorTime(arrangement, one.fileName());
        if (!all || !first) {
            state.SkipWithError("ctaudit-batch failed");
            break;
        }
        state.SetIterationTime(std::max(*all - *first, 0.0) / (count - 1));
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_CounterFlowToolCase(benchmark::State& state) {
    toolCases(state, Arrangement::CounterFlow);
}
BENCHMARK(BM_CounterFlowToolCase)
    ->Arg(2000)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

void BM_CrossFlowToolCase(benchmark::State& state) {
    toolCases(state, Arrangement::CrossFlow);
}
BENCHMARK(BM_CrossFlowToolCase)
    ->Arg(32)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    BatchAudit::prepareLocale();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
