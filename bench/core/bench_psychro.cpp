// The moist-air functions sit in the innermost loops of every integration; the state routine
// runs twice per Problem 1 calculation.

#include "core/psychro.h"

#include <array>
#include <benchmark/benchmark.h>

namespace {

// Water temperatures across a tower's range, so the branches and the exponential see
// varied arguments.
constexpr std::array<double, 8> kTemperatures = {18.6, 22.5, 25.0, 28.05, 31.2, 33.0, 35.7, 38.0};

void BM_pvsateis(benchmark::State& state) {
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(psychro::pvsateis(kTemperatures[i++ % kTemperatures.size()]));
    }
}
BENCHMARK(BM_pvsateis);

void BM_AbsoluteHumidity(benchmark::State& state) {
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            psychro::AbsoluteHumidity(kTemperatures[i++ % kTemperatures.size()], 100, 1.0));
    }
}
BENCHMARK(BM_AbsoluteHumidity);

void BM_Enthalpy(benchmark::State& state) {
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            psychro::Enthalpy(kTemperatures[i++ % kTemperatures.size()], 0.0189));
    }
}
BENCHMARK(BM_Enthalpy);

// Mode 3 (relative humidity given) with its wet-bulb search: 25 degC, 55 %, and dry air, whose
// search starts at -1000 degC.
void BM_moistAirStateMode3(benchmark::State& state) {
    const double rh = static_cast<double>(state.range(0));
    int iterations = 0;
    for (auto _ : state) {
        const psychro::AirResult r =
            psychro::moistAirState(psychro::Given::RelativeHumidity, 1.01325, 25, rh);
        iterations = r.iterations;
        benchmark::DoNotOptimize(r);
    }
    state.counters["search passes"] = iterations;
}
BENCHMARK(BM_moistAirStateMode3)->Arg(55)->Arg(0);

} // namespace
