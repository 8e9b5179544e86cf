// Whole chains through the batch audit, offscreen: a fresh set of windows, the four Problems'
// fields pasted and left, CALCULATE and GoTo, and the report's 58 texts read back. The
// figure to read is items_per_second, chains per second in one process.

#include "batch/batchaudit.h"

#include <QApplication>
#include <benchmark/benchmark.h>

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
BENCHMARK(BM_CounterFlowChain)->Unit(benchmark::kMillisecond);

void BM_CrossFlowChain(benchmark::State& state) {
    chains(state, Arrangement::CrossFlow);
}
BENCHMARK(BM_CrossFlowChain)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    BatchAudit::preparePlatform();
    QApplication app(argc, argv);
    BatchAudit::prepareLocale();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
