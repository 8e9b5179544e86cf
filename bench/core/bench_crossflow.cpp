// Timings of the cross-flow core with the windows' default inputs: one cell sweep, the NTU
// search of Problem 1 and the water-flow search of Problem 4.

#include "core/crossflow.h"
#include "core/ntuscaling.h"
#include "core/psychro.h"

#include <benchmark/benchmark.h>
#include <cmath>

namespace {

double rounded(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

// Problem 1 defaults, the inlet air as Form11 shows it (wet bulb 2, enthalpy 4 decimals).
crossflow::NtuSearchInput problem1() {
    const psychro::AirResult air =
        psychro::moistAirState(psychro::Given::RelativeHumidity, 1, 28, 55);
    crossflow::NtuSearchInput in;
    in.waterFlow = 90;
    in.airFlow = 70;
    in.waterIn = 37;
    in.waterOut = 34;
    in.airEnthalpyIn = rounded(air.state.enthalpy, 4);
    in.airDryBulbIn = 28;
    in.airWetBulbIn = rounded(air.state.wetBulb, 2);
    in.pressure = 1;
    return in;
}

void BM_Sweep(benchmark::State& state) {
    const crossflow::NtuSearchInput p1 = problem1();
    crossflow::SweepInput in;
    in.ntu = 17.97;
    in.waterFlow = p1.waterFlow;
    in.airFlow = p1.airFlow;
    in.waterIn = p1.waterIn;
    in.airEnthalpyIn = p1.airEnthalpyIn;
    in.airDryBulbIn = p1.airDryBulbIn;
    in.pressure = p1.pressure;
    in.bracketLow = p1.airWetBulbIn;
    in.airTemperatures = true;
    for (auto _ : state)
        benchmark::DoNotOptimize(crossflow::sweep(in));
}
BENCHMARK(BM_Sweep)->Unit(benchmark::kMicrosecond);

void BM_NtuSearch(benchmark::State& state) {
    const crossflow::NtuSearchInput in = problem1();
    for (auto _ : state)
        benchmark::DoNotOptimize(crossflow::searchNtu(in));
}
BENCHMARK(BM_NtuSearch)->Unit(benchmark::kMillisecond);

// Problem 4 defaults (Q4 500 kW, T4 35, tdb 28, twb 22) chained from the default Problem 1
// and Problem 3 (flows 35 and 25 kg/s).
void BM_FlowSearch(benchmark::State& state) {
    const double ntu1 = rounded(crossflow::searchNtu(problem1()).ntu, 2);
    const psychro::AirResult air = psychro::moistAirState(psychro::Given::WetBulb, 1, 28, 22);
    crossflow::FlowSearchInput in;
    in.heat = 500;
    in.waterIn = 35;
    in.airEnthalpyIn = rounded(air.state.enthalpy, 4);
    in.airDryBulbIn = 28;
    in.airWetBulbIn = 22;
    in.pressure = 1;
    in.ntu3 = rounded(ntuscaling::scaledNtu(ntu1, 90, 70, 35, 25), 3);
    in.waterFlow3 = 35;
    in.airFlow3 = 25;
    for (auto _ : state)
        benchmark::DoNotOptimize(crossflow::searchWaterFlow(in));
}
BENCHMARK(BM_FlowSearch)->Unit(benchmark::kMillisecond);

} // namespace
