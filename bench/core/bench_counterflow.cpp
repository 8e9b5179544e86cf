// The counter-flow integration and its two searches, at the default data of the chain.

#include "core/counterflow.h"
#include "core/psychro.h"

#include <benchmark/benchmark.h>

namespace {

// Problem 1's defaults: 100 kg/s water from 38 to 33 degC, 90 kg/s air at 25 degC, 55 %.
counterflow::Fill problem1Fill() {
    const psychro::AirResult air =
        psychro::moistAirState(psychro::Given::RelativeHumidity, 1.0, 25, 55);
    return {33, 38, 100, 90, 1.0, air.state.enthalpy, 25};
}

void BM_Integrate(benchmark::State& state) {
    const counterflow::Fill fill = problem1Fill();
    for (auto _ : state)
        benchmark::DoNotOptimize(counterflow::integrate(fill));
}
BENCHMARK(BM_Integrate);

// Problem 2's search at the design inlet (34 degC water, 27/21 degC air).
void BM_FindOutletTemperature(benchmark::State& state) {
    const psychro::AirResult air = psychro::moistAirState(psychro::Given::WetBulb, 1.0, 27, 21);
    const counterflow::Fill fill{0, 34, 100, 90, 1.0, air.state.enthalpy, 27};
    for (auto _ : state) {
        const counterflow::OutletSearch s = counterflow::findOutletTemperature(
            fill, 21, 30.58, counterflow::kAcceptanceNtuTolerance);
        if (s.status != counterflow::Status::Ok)
            state.SkipWithError("search failed");
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(BM_FindOutletTemperature);

// Problem 4's search: 2200 kW from 36 degC water in 30/22 degC air, the tower of Problem 3.
void BM_FindWaterFlow(benchmark::State& state) {
    const psychro::AirResult air = psychro::moistAirState(psychro::Given::WetBulb, 1.0, 30, 22);
    const counterflow::Duty duty{2200, 36, 22, 30, air.state.enthalpy, 1.0};
    const counterflow::Tower tower{35.82, 105, 110, 105.0 / 110};
    for (auto _ : state) {
        const counterflow::FlowSearch s = counterflow::findWaterFlow(duty, tower);
        if (s.status != counterflow::Status::Ok)
            state.SkipWithError("search failed");
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(BM_FindWaterFlow);

} // namespace
