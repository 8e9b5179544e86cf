// The first-order uncertainty analysis of a whole chain (Problems 1 to 4, fourteen perturbed
// chains and the measured one) with the windows' default inputs.

#include "uncertainty/propagation.h"

#include <benchmark/benchmark.h>

using namespace uncertainty;

namespace {

Case counterFlowDefaults() {
    Case c;
    c.measured = {100, 90, 38, 33, 1, 25, 55};
    c.design = {90, 34, 31, 21, 27};
    c.newFlows = {105, 110};
    c.duty = {2200, 36, 30, 22};
    return c;
}

Case crossFlowDefaults() {
    Case c;
    c.measured = {90, 70, 37, 34, 1, 28, 55};
    c.design = {90, 34, 31, 21, 25};
    c.newFlows = {35, 25};
    c.duty = {500, 35, 28, 22};
    return c;
}

void BM_FirstOrderCounterFlow(benchmark::State& state) {
    const Case c = counterFlowDefaults();
    for (auto _ : state)
        benchmark::DoNotOptimize(firstOrder(Arrangement::CounterFlow, c, hintAccuracies()));
}
BENCHMARK(BM_FirstOrderCounterFlow)->Unit(benchmark::kMillisecond);

void BM_FirstOrderCrossFlow(benchmark::State& state) {
    const Case c = crossFlowDefaults();
    for (auto _ : state)
        benchmark::DoNotOptimize(firstOrder(Arrangement::CrossFlow, c, hintAccuracies()));
}
BENCHMARK(BM_FirstOrderCrossFlow)->Unit(benchmark::kMillisecond);

// Monte Carlo with 10,000 draws on one thread.
void BM_MonteCarloCounterFlow(benchmark::State& state) {
    const Case c = counterFlowDefaults();
    for (auto _ : state)
        benchmark::DoNotOptimize(monteCarlo(Arrangement::CounterFlow, c, hintAccuracies(), {}));
}
BENCHMARK(BM_MonteCarloCounterFlow)->Unit(benchmark::kMillisecond);

// One cross-flow chain started from the measured chain's roots, as each draw is.
void BM_CrossFlowDraw(benchmark::State& state) {
    Case c = crossFlowDefaults();
    const Evaluation nominal = evaluate(Arrangement::CrossFlow, c);
    c.measured[WaterOut] += 0.02;
    for (auto _ : state)
        benchmark::DoNotOptimize(evaluate(Arrangement::CrossFlow, c, &nominal.roots));
}
BENCHMARK(BM_CrossFlowDraw)->Unit(benchmark::kMillisecond);

} // namespace
