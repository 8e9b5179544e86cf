// Water and fan energy: Poppe's integration, the cross-flow outlet air, and the variable-speed
// drive over an hourly year (counter flow well under 0.2 s, cross flow under 2 s).

#include "core/capability.h"
#include "core/psychro.h"
#include "core/savings.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <numbers>

namespace {

// Problem 1's defaults: 100 kg/s water from 38 to 33 degC, 90 kg/s air at 25 degC, 55 %, 1 bar.
const capability::TestPoint kTest{100, 90, 38, 33, 1.0, 25, 55};

void BM_Poppe(benchmark::State& state) {
    const double x = psychro::AbsoluteHumidity(kTest.dryBulb, kTest.relativeHumidity, 1.0);
    const savings::PoppeInput in{100, 90, 38, 33, 1.0, 25, x};
    for (auto _ : state) {
        const savings::Poppe r = savings::poppeCounterFlow(in);
        if (r.status != savings::Status::Ok)
            state.SkipWithError("Poppe failed");
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_Poppe);

void BM_CrossFlowOutlet(benchmark::State& state) {
    for (auto _ : state) {
        const savings::CrossFlowOutlet r = savings::crossFlowOutlet(kTest);
        if (r.status != savings::Status::Ok)
            state.SkipWithError("outlet failed");
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_CrossFlowOutlet)->Unit(benchmark::kMillisecond);

// A synthetic hourly year: a seasonal and a daily swing of the wet bulb (about -6 to 26 degC)
// with every other hour given as dry bulb and humidity; no two rows alike, so the search runs
// on every row.
std::vector<savings::Ambient> hourlyYear(int hours) {
    std::vector<savings::Ambient> rows;
    for (int h = 0; h < hours; ++h) {
        const double season = std::sin(2 * std::numbers::pi * h / 8760 - 1.8);
        const double day = std::sin(2 * std::numbers::pi * h / 24 - 2);
        const double wobble = 0.37 * std::sin(0.61 * h);
        if (h % 2)
            rows.push_back({10 + 12 * season + 4 * day + wobble, 0, -1, 1});
        else
            rows.push_back(
                {0, 13 + 14 * season + 6 * day + wobble, 60 + 30 * std::sin(0.13 * h), 1});
    }
    return rows;
}

savings::DriveInput drive(Arrangement arrangement, int hours) {
    savings::DriveInput in;
    in.arrangement = arrangement;
    in.test = kTest;
    const capability::EnteringAir air = capability::enteringAir(1.0, 25, 55);
    if (arrangement == Arrangement::CounterFlow)
        in.merkel = capability::counterFlowMerkel({33, 38, 100.0 / 90, air.enthalpy, 1.0}).value;
    else
        in.merkel =
            capability::crossFlowMerkel({38, 100.0 / 90, air.enthalpy, air.wetBulb, 1.0}, 33).value;
    in.measuredPower = 45;
    in.pricePerKWh = 0.2;
    in.ambient = hourlyYear(hours);
    return in;
}

void runDrive(benchmark::State& state, const savings::DriveInput& in) {
    long evaluations = 0;
    for (auto _ : state) {
        const savings::Drive d = savings::variableSpeedDrive(in);
        if (d.status != savings::Status::Ok)
            state.SkipWithError("drive failed");
        evaluations = d.evaluations;
        benchmark::DoNotOptimize(d);
    }
    state.counters["rows"] = double(in.ambient.size());
    state.counters["evaluations/row"] = double(evaluations) / double(in.ambient.size());
}

void BM_DriveHourlyYear(benchmark::State& state) {
    runDrive(state, drive(Arrangement::CounterFlow, 8760));
}
BENCHMARK(BM_DriveHourlyYear)->Unit(benchmark::kMillisecond);

// Cross flow: each evaluation is a sweep of the test point's finest grid; a day of hours.
void BM_DriveCrossFlowDay(benchmark::State& state) {
    runDrive(state, drive(Arrangement::CrossFlow, 24));
}
BENCHMARK(BM_DriveCrossFlowDay)->Unit(benchmark::kMillisecond);

// Cross flow over an hourly year: G* interpolated over the air's enthalpy, so the sweeps are
// those of the nodes and checks (every air solved directly takes about 35 s).
void BM_DriveCrossFlowHourlyYear(benchmark::State& state) {
    runDrive(state, drive(Arrangement::CrossFlow, 8760));
}
BENCHMARK(BM_DriveCrossFlowHourlyYear)->Unit(benchmark::kMillisecond);

} // namespace
