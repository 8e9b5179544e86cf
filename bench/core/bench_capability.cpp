// Timings of the capability on a typical audit, curves included: L 120 kg/s, G 100 kg/s,
// 38 -> 30 degC, 1.013 bar, air at 30 degC and 40 %; name plate Ld 120, Gd 100, 40 -> 30 degC,
// wet bulb 24 degC.

#include "core/capability.h"

#include <benchmark/benchmark.h>

namespace {

const capability::TestPoint kTest{120, 100, 38, 30, 1.013, 30, 40};
const capability::DesignPoint kDesign{120, 100, 40, 30, 24};

void BM_CounterFlowEvaluate(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(capability::evaluate(Arrangement::CounterFlow, kTest, &kDesign,
                                                      capability::Settings{}, true));
}
BENCHMARK(BM_CounterFlowEvaluate)->Unit(benchmark::kMillisecond);

void BM_CrossFlowEvaluate(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(capability::evaluate(Arrangement::CrossFlow, kTest, &kDesign,
                                                      capability::Settings{}, true));
}
BENCHMARK(BM_CrossFlowEvaluate)->Unit(benchmark::kMillisecond);

// The perturbed evaluation of an uncertainty analysis: fixed grids, no curves.
void BM_CrossFlowEvaluateFixedGrids(benchmark::State& state) {
    const int finest =
        capability::evaluate(Arrangement::CrossFlow, kTest, &kDesign, {}, false).grids.back();
    for (auto _ : state)
        benchmark::DoNotOptimize(capability::evaluate(Arrangement::CrossFlow, kTest, &kDesign,
                                                      capability::Settings{}, false, finest));
}
BENCHMARK(BM_CrossFlowEvaluateFixedGrids)->Unit(benchmark::kMillisecond);

} // namespace
