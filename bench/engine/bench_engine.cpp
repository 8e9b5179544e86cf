// Whole chains through the audit engine, and the core routines those chains call, in the same
// process: the engine's cost over its core is the cost of its texts, checks and copies.
//
//   BM_CounterFlowChain / BM_CounterFlowCore   the default counter-flow chain (Problems 1-4)
//   BM_CrossFlowChain / BM_CrossFlowCore       the default cross-flow chain
//   BM_TypedDigits/N                           a field given N digits, cut to the largest
//                                              number (time grows linearly with N)
//
// A chain starts from a fresh audit in the windows' design state and types, leaves and
// calculates every Problem as the batch audit does. The core benchmarks make the same core
// calls (moist-air states, integrations, sweeps, searches) with the inputs the chain reads.

#include "core/counterflow.h"
#include "core/crossflow.h"
#include "core/psychro.h"
#include "engine/audit.h"
#include "engine/chain.h"
#include "engine/fieldbehaviour.h"

#include <QLocale>
#include <benchmark/benchmark.h>

namespace {

using engine::Audit;

// The design state's texts of every field of an arrangement, in chain order.
std::vector<QString> designTexts(Arrangement arrangement) {
    const Audit audit;
    std::vector<QString> texts;
    for (int p = 1; p <= engine::kProblems; ++p)
        for (int f = 0; f < Audit::fieldCount(arrangement, p); ++f)
            texts.push_back(audit.text(arrangement, p, Audit::controls(arrangement, p)[f]));
    return texts;
}

void runChains(benchmark::State& state, Arrangement arrangement, bool tracing) {
    QLocale::setDefault(QLocale::c());
    const std::vector<QString> texts = designTexts(arrangement);
    for (auto _ : state) {
        Audit audit;
        audit.setTracing(tracing);
        const engine::ChainResult r = engine::runChain(audit, arrangement, texts);
        if (r.completed != engine::kProblems)
            state.SkipWithError("the chain stopped");
        benchmark::DoNotOptimize(r);
    }
    state.SetItemsProcessed(state.iterations());
}

double number(const Audit& audit, Arrangement a, int problem, std::string_view control) {
    return audit.text(a, problem, control).toDouble();
}

// The default counter-flow chain's texts after a run.
const Audit& counterFlowRun() {
    static const Audit audit = [] {
        Audit a;
        QLocale::setDefault(QLocale::c());
        engine::runChain(a, Arrangement::CounterFlow, designTexts(Arrangement::CounterFlow));
        return a;
    }();
    return audit;
}

const Audit& crossFlowRun() {
    static const Audit audit = [] {
        Audit a;
        QLocale::setDefault(QLocale::c());
        engine::runChain(a, Arrangement::CrossFlow, designTexts(Arrangement::CrossFlow));
        return a;
    }();
    return audit;
}

using psychro::Given;

void BM_CounterFlowChain(benchmark::State& state) {
    runChains(state, Arrangement::CounterFlow, false);
}
BENCHMARK(BM_CounterFlowChain)->Unit(benchmark::kMicrosecond);

void BM_CounterFlowChainTraced(benchmark::State& state) {
    runChains(state, Arrangement::CounterFlow, true);
}
BENCHMARK(BM_CounterFlowChainTraced)->Unit(benchmark::kMicrosecond);

void BM_CounterFlowCore(benchmark::State& state) {
    const Audit& run = counterFlowRun();
    const auto cf = Arrangement::CounterFlow;
    const double ntu1 = number(run, cf, 1, "lbl2");
    const double ntu3 = number(run, cf, 3, "l21");
    const double twb1 = number(run, cf, 1, "lbl9");
    for (auto _ : state) {
        // Problem 1
        const auto in1 = psychro::moistAirState(Given::RelativeHumidity, 1, 25, 55);
        const auto fill = counterflow::integrate({33, 38, 100, 90, 1, in1.state.enthalpy, 25});
        benchmark::DoNotOptimize(
            psychro::moistAirState(Given::Enthalpy, 1, fill.airTempOut, fill.airEnthalpyOut));
        // Problem 2
        const auto in2 = psychro::moistAirState(Given::WetBulb, 1, 27, 21);
        const auto s2 =
            counterflow::findOutletTemperature({0, 34, 100, 90, 1, in2.state.enthalpy, 27}, 21,
                                               ntu1, counterflow::kAcceptanceNtuTolerance);
        benchmark::DoNotOptimize(
            psychro::moistAirState(Given::Enthalpy, 1, s2.fill.airTempOut, s2.fill.airEnthalpyOut));
        // Problem 3
        const auto s3 =
            counterflow::findOutletTemperature({0, 38, 105, 110, 1, in1.state.enthalpy, 25}, twb1,
                                               ntu3, counterflow::kNewFlowNtuTolerance);
        benchmark::DoNotOptimize(
            psychro::moistAirState(Given::Enthalpy, 1, s3.fill.airTempOut, s3.fill.airEnthalpyOut));
        // Problem 4
        const auto in4 = psychro::moistAirState(Given::WetBulb, 1, 30, 22);
        const auto s4 = counterflow::findWaterFlow({2200, 36, 22, 30, in4.state.enthalpy, 1},
                                                   {ntu3, 105, 110, 105.0 / 110});
        benchmark::DoNotOptimize(
            psychro::moistAirState(Given::Enthalpy, 1, s4.fill.airTempOut, s4.fill.airEnthalpyOut));
        if (s2.status != counterflow::Status::Ok || s3.status != counterflow::Status::Ok ||
            s4.status != counterflow::Status::Ok)
            state.SkipWithError("a search failed");
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CounterFlowCore)->Unit(benchmark::kMicrosecond);

void BM_CrossFlowChain(benchmark::State& state) {
    runChains(state, Arrangement::CrossFlow, false);
}
BENCHMARK(BM_CrossFlowChain)->Unit(benchmark::kMillisecond);

void BM_CrossFlowCore(benchmark::State& state) {
    const Audit& run = crossFlowRun();
    const auto xf = Arrangement::CrossFlow;
    const double ntu1 = number(run, xf, 1, "lbl2");
    const double ntu3 = number(run, xf, 3, "l21");
    const double twb1 = number(run, xf, 1, "lbl9");
    for (auto _ : state) {
        // Problem 1
        const auto in1 = psychro::moistAirState(Given::RelativeHumidity, 1, 28, 55);
        const auto s1 =
            crossflow::searchNtu({90, 70, 37, 34, in1.state.enthalpy, 28, in1.state.wetBulb, 1});
        benchmark::DoNotOptimize(psychro::moistAirState(
            Given::Enthalpy, 1, s1.sweep.airDryBulbOutMean, s1.sweep.airEnthalpyOutMean));
        // Problem 2
        const auto in2 = psychro::moistAirState(Given::WetBulb, 1, 25, 21);
        crossflow::SweepInput sweep2;
        sweep2.ntu = ntu1;
        sweep2.waterFlow = 90;
        sweep2.airFlow = 70;
        sweep2.waterIn = 34;
        sweep2.airEnthalpyIn = in2.state.enthalpy;
        sweep2.airDryBulbIn = 25;
        sweep2.pressure = 1;
        sweep2.bracketLow = 0;
        sweep2.airTemperatures = true;
        const auto f2 = crossflow::sweep(sweep2);
        benchmark::DoNotOptimize(psychro::moistAirState(Given::Enthalpy, 1, f2.airDryBulbOutMean,
                                                        f2.airEnthalpyOutMean));
        // Problem 3
        const auto in3 = psychro::moistAirState(Given::RelativeHumidity, 1, 28, 55);
        crossflow::SweepInput sweep3 = sweep2;
        sweep3.ntu = ntu3;
        sweep3.waterFlow = 35;
        sweep3.airFlow = 25;
        sweep3.waterIn = 37;
        sweep3.airEnthalpyIn = in3.state.enthalpy;
        sweep3.airDryBulbIn = 28;
        sweep3.bracketLow = twb1;
        const auto f3 = crossflow::sweep(sweep3);
        benchmark::DoNotOptimize(psychro::moistAirState(Given::Enthalpy, 1, f3.airDryBulbOutMean,
                                                        f3.airEnthalpyOutMean));
        // Problem 4
        const auto in4 = psychro::moistAirState(Given::WetBulb, 1, 28, 22);
        crossflow::FlowSearchInput flow;
        flow.heat = 500;
        flow.waterIn = 35;
        flow.airEnthalpyIn = in4.state.enthalpy;
        flow.airDryBulbIn = 28;
        flow.airWetBulbIn = 22;
        flow.pressure = 1;
        flow.ntu3 = ntu3;
        flow.waterFlow3 = 35;
        flow.airFlow3 = 25;
        const auto f4 = crossflow::searchWaterFlow(flow);
        benchmark::DoNotOptimize(psychro::moistAirState(
            Given::Enthalpy, 1, f4.sweep.airDryBulbOutMean, f4.sweep.airEnthalpyOutMean));
        if (s1.status != crossflow::Status::Ok || f2.status != crossflow::Status::Ok ||
            f3.status != crossflow::Status::Ok || f4.status != crossflow::Status::Ok)
            state.SkipWithError("a core routine failed");
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CrossFlowCore)->Unit(benchmark::kMillisecond);

// A pasted run of digits too large for a double, and one with junk after a number: the field
// keeps the largest start that is a number.
void BM_TypedDigits(benchmark::State& state) {
    const numtext::Converter numbers(QLocale::c());
    const QString digits = QStringLiteral("1") + QString(qsizetype(state.range(0)), u'7');
    const QString junk = QStringLiteral("1e5e") + digits;
    for (auto _ : state) {
        const engine::TypedText a = engine::correctTyped(digits, numbers);
        const engine::TypedText b = engine::correctTyped(junk, numbers);
        if (a.text.size() != 309 || b.text.size() != 3)
            state.SkipWithError("not cut to the largest number");
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(b);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_TypedDigits)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

} // namespace
