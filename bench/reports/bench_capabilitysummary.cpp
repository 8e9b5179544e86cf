// How long the Capability window's figures take for one audit: the capability with its
// diagram's curves and its first-order uncertainty, and the water and fan energy with the
// drive over Problem 4's ambient air, from an audit with all four Problems calculated (the
// default chain of each arrangement, a measured fan power and prices given).

#include "engine/audit.h"
#include "reports/capabilitysummary.h"
#include "support/defaultaudit.h"

#include <benchmark/benchmark.h>

namespace {

engine::Audit pricedAudit(Arrangement arrangement, bool* refused) {
    engine::Audit audit = calculatedAudit(arrangement, refused);
    engine::CapabilityInputs in = audit.capabilityInputs(arrangement);
    in.values[std::size_t(engine::Setting::FanPower)] = 75;
    in.values[std::size_t(engine::Setting::PricePerKWh)] = 0.2;
    in.values[std::size_t(engine::Setting::WaterPrice)] = 2;
    audit.setCapabilityInputs(arrangement, in);
    return audit;
}

void BM_CapabilitySummary(benchmark::State& state) {
    const Arrangement arrangement =
        state.range(0) == 0 ? Arrangement::CounterFlow : Arrangement::CrossFlow;
    bool refused = false;
    const engine::Audit audit = pricedAudit(arrangement, &refused);
    bool available = false;
    for (auto _ : state) {
        const report::CapabilitySummary s =
            report::summarize(audit, arrangement, uncertainty::hintAccuracies());
        available = s.available && s.figure(QStringLiteral("capability.pct"))->value;
        benchmark::DoNotOptimize(s.figures.merkel.value);
    }
    if (refused || !available)
        state.SkipWithError("the audit has no capability");
}
BENCHMARK(BM_CapabilitySummary)
    ->ArgName("crossflow")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

} // namespace
