// The first-order uncertainty analysis of a whole chain (Problems 1 to 4, fourteen perturbed
// chains and the measured one) with the windows' default inputs.

#include "uncertainty/propagation.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <thread>

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

// Monte Carlo as the Uncertainty window runs it: batches of 2,000 draws on every core until U is
// stable to two significant digits (the draws it took are reported as a counter).
void adaptiveMonteCarlo(benchmark::State& state, Arrangement arrangement, const Case& c) {
    MonteCarloOptions options;
    options.draws = 2000;
    options.adaptive = true;
    options.judged = UncertaintyFigure;
    options.threads = int(std::max(1u, std::thread::hardware_concurrency()));
    Analysis a;
    for (auto _ : state) {
        a = monteCarlo(arrangement, c, hintAccuracies(), options);
        benchmark::DoNotOptimize(a);
    }
    state.counters["draws"] = a.draws;
    state.counters["stable"] = a.stable ? 1 : 0;
    state.counters["threads"] = options.threads;
}

void BM_AdaptiveMonteCarloCounterFlow(benchmark::State& state) {
    adaptiveMonteCarlo(state, Arrangement::CounterFlow, counterFlowDefaults());
}
BENCHMARK(BM_AdaptiveMonteCarloCounterFlow)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_AdaptiveMonteCarloCrossFlow(benchmark::State& state) {
    adaptiveMonteCarlo(state, Arrangement::CrossFlow, crossFlowDefaults());
}
BENCHMARK(BM_AdaptiveMonteCarloCrossFlow)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

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
