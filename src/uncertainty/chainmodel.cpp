#include "uncertainty/chainmodel.h"

#include "core/counterflow.h"
#include "core/crossflow.h"
#include "core/ntuscaling.h"
#include "core/psychro.h"
#include "core/vectorstate.h"
#include "uncertainty/rootsearch.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace uncertainty {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// clang-format off
constexpr ResultInfo kResults[kResultCount] = {
    {1, "Problem 1: number of transfer units [kW/(kJ/kg)]",      "Number of transfer units (1)",   "kW/(kJ/kg)"},
    {1, "Problem 1: heat capacity [kW]",                         "Heat capacity",                  "kW"},
    {1, "Problem 1: cooling degree [-]",                         "Cooling degree",                 "-"},
    {1, "Problem 1: range [oC]",                                 "Range",                          "oC"},
    {1, "Problem 1: approach [oC]",                              "Approach",                       "oC"},
    {1, "Problem 1: outlet (exhaust) dry bulb temperature [oC]", "Outlet (exhaust) dry bulb temp", "oC"},
    {1, "Problem 1: outlet (exhaust) wet bulb temperature [oC]", "Outlet (exhaust) wet bulb temp", "oC"},
    {1, "Problem 1: enthalpy of outlet air [kJ/kg]",             "Enthalpy of outlet air",         "kJ/kg"},
    {1, "Problem 1: relative humidity OUT [%]",                  "Relative humidity OUT",          "%"},
    {1, "Problem 1: absolute humidity OUT [-]",                  "Absolut humidity OUT",           "-"},
    {1, "Problem 1: wet bulb temperature IN [oC]",               "Wet bulb temperature IN",        "oC"},
    {1, "Problem 1: enthalpy of air IN [kJ/kg]",                 "Enthalpy of air IN",             "kJ/kg"},
    {1, "Problem 1: absolute humidity IN [-]",                   "Absolut humidity IN",            "-"},
    {2, "Problem 2: heat capacity Qa [kW]",                      "Heat capacity Qa",               "kW"},
    {2, "Problem 2: (Qa - Qd) / Qd * 100 [%]",                   "(Qa - Qd) / Qd * 100",           "%"},
    {3, "Problem 3: number of transfer units (3) [kW/(kJ/kg)]",  "Number of transfer units (3)",   "kW/(kJ/kg)"},
    {3, "Problem 3: water temperature OUT [oC]",                 "Water temperature OUT (3)",      "oC"},
    {4, "Problem 4: water mass flow rate (4) [kg/s]",            "Water mass flow rate (4)",       "kg/s"},
};
constexpr InputInfo kInputs[kInputCount] = {
    {"Water mass flow rate", "kg/s"},
    {"Air mass flow rate", "kg/s"},
    {"Water temperature IN", "oC"},
    {"Water temperature OUT", "oC"},
    {"Ambient air pressure", "bar"},
    {"Ambient dry bulb temp. IN", "oC"},
    {"Ambient air relative humidity IN", "%"},
};
// clang-format on

const char* airText(psychro::AirStatus s) {
    return s == psychro::AirStatus::ImpossibleState ? "no such moist-air state"
                                                    : "the wet-bulb search did not converge";
}

const char* counterText(counterflow::Status s) {
    switch (s) {
    case counterflow::Status::Ok:
        return "ok";
    case counterflow::Status::ZeroFlow:
        return "a water or air flow is not positive";
    case counterflow::Status::NoDrivingForce:
        return "saturated air at the water is no warmer than the air (no driving force)";
    case counterflow::Status::NotConverged:
        return "the search did not converge";
    case counterflow::Status::InvalidBracket:
        return "the search interval is empty";
    case counterflow::Status::NonFinite:
        return "a value overflowed";
    }
    return "unknown";
}

struct Chain {
    Evaluation e;
    bool fail(int problem, const std::string& why) {
        e.failure = "Problem " + std::to_string(problem) + ": " + why;
        return false;
    }
    void set(int result, double v) { e.results[result] = v; }
};

bool inletAir(Chain& chain, int problem, psychro::Given given, double p, double t, double second,
              psychro::AirState& air) {
    const psychro::AirResult r = psychro::moistAirState(given, p, t, second);
    if (r.status != psychro::AirStatus::Ok)
        return chain.fail(problem, std::string("inlet air: ") + airText(r.status));
    air = r.state;
    return true;
}

// Problem 1's common part: the inlet air and the indicators of the measured water.
bool problemOneIndicators(Chain& chain, const Measured& m, psychro::AirState& inlet) {
    const double L = m[WaterFlow], G = m[AirFlow], Tin = m[WaterIn], Tout = m[WaterOut];
    if (!(L > 0) || !(G > 0))
        return chain.fail(1, "a water or air flow is not positive");
    if (Tout > Tin)
        return chain.fail(1, "the water temperature OUT is above the water temperature IN");
    if (!inletAir(chain, 1, psychro::Given::RelativeHumidity, m[Pressure], m[DryBulb],
                  m[RelativeHumidity], inlet))
        return false;
    if (!(Tin - inlet.wetBulb != 0))
        return chain.fail(1, "the water temperature IN equals the inlet wet bulb");
    chain.set(Heat, (Tin - Tout) * counterflow::kSpecificHeatWater * L);
    chain.set(CoolingDegree, (Tin - Tout) / (Tin - inlet.wetBulb));
    chain.set(Range, Tin - Tout);
    chain.set(Approach, Tout - inlet.wetBulb);
    chain.set(InletWetBulb, inlet.wetBulb);
    chain.set(InletEnthalpy, inlet.enthalpy);
    chain.set(InletHumidity, inlet.absoluteHumidity);
    return true;
}

bool outletAir(Chain& chain, double p, double ta, double h) {
    const psychro::AirResult r = psychro::moistAirState(psychro::Given::Enthalpy, p, ta, h);
    if (r.status != psychro::AirStatus::Ok)
        return chain.fail(1, std::string("outlet air: ") + airText(r.status));
    chain.set(OutletDryBulb, ta);
    chain.set(OutletEnthalpy, h);
    chain.set(OutletWetBulb, r.state.wetBulb);
    chain.set(OutletRelativeHumidity, r.state.relativeHumidity);
    chain.set(OutletHumidity, r.state.absoluteHumidity);
    return true;
}

// Problem 1 done: its NTU and the outlet air at it.
bool problemOneDone(Chain& chain, double ntu, double p, double ta, double h) {
    chain.set(Ntu, ntu);
    if (!outletAir(chain, p, ta, h))
        return false;
    chain.e.problemsDone = 1;
    return true;
}

// The design inlet air of Problem 2, at Problem 1's pressure.
bool designInlet(Chain& chain, const Design& d, double p, psychro::AirState& air) {
    return inletAir(chain, 2, psychro::Given::WetBulb, p, d.dryBulb, d.wetBulb, air);
}

bool deviation(Chain& chain, const Case& c, double L, double waterOut2);

// Problems 2 and 3 as far as they are asked for: Problem 2's achieved heat at the outlet water
// temperature that waterOut2(design inlet air) finds, then Problem 3's NTU at the new flows (an
// NTU scaled from Problem 1's). false: a Problem failed (the chain says why) or none is left.
template <class WaterOut2>
std::optional<double> newFlowNtu(Chain& chain, const Case& c, double ntu1, double L, double G,
                                 double p, WaterOut2 waterOut2) {
    if (c.problems >= 2) {
        psychro::AirState design;
        if (!designInlet(chain, c.design, p, design))
            return std::nullopt;
        const std::optional<double> out = waterOut2(design);
        if (!out || !deviation(chain, c, L, *out))
            return std::nullopt;
        chain.e.problemsDone = 2;
    }
    if (c.problems < 3)
        return std::nullopt;
    const double ntu3 = ntuscaling::scaledNtu(ntu1, L, G, c.newFlows.waterFlow, c.newFlows.airFlow);
    if (!std::isfinite(ntu3)) {
        chain.fail(3, "a new flow is not positive");
        return std::nullopt;
    }
    return ntu3;
}

bool deviation(Chain& chain, const Case& c, double L, double waterOut2) {
    const Design& d = c.design;
    const double Qd = (d.waterIn - d.waterOut) * counterflow::kSpecificHeatWater * d.waterFlow;
    if (!(Qd != 0))
        return chain.fail(2, "the design heat capacity is zero");
    const double Qa = (d.waterIn - waterOut2) * counterflow::kSpecificHeatWater * L;
    chain.set(HeatAchieved, Qa);
    chain.set(DesignDeviation, (Qa - Qd) / Qd * 100);
    return true;
}

bool counterChain(Chain& chain, const Case& c) {
    const Measured& m = c.measured;
    const double L = m[WaterFlow], G = m[AirFlow], Tin = m[WaterIn], p = m[Pressure];
    psychro::AirState inlet;
    if (!problemOneIndicators(chain, m, inlet))
        return false;
    const counterflow::Integration fill =
        counterflow::integrate({m[WaterOut], Tin, L, G, p, inlet.enthalpy, m[DryBulb]});
    if (fill.status != counterflow::Status::Ok)
        return chain.fail(1, counterText(fill.status));
    if (!problemOneDone(chain, fill.ntu, p, fill.airTempOut, fill.airEnthalpyOut))
        return false;

    const double L3 = c.newFlows.waterFlow, G3 = c.newFlows.airFlow;
    const std::optional<double> newNtu =
        newFlowNtu(chain, c, fill.ntu, L, G, p, [&](const psychro::AirState& design) {
            const Design& d = c.design;
            const counterflow::OutletSearch s = counterflow::findOutletTemperature(
                {0, d.waterIn, L, G, p, design.enthalpy, d.dryBulb}, d.wetBulb, fill.ntu,
                counterflow::kAcceptanceNtuTolerance);
            if (s.status != counterflow::Status::Ok) {
                chain.fail(2, std::string("outlet-temperature search: ") + counterText(s.status));
                return std::optional<double>();
            }
            return std::optional<double>(s.waterOut);
        });
    if (!newNtu)
        return chain.e.failure.empty();
    const double ntu3 = *newNtu;
    const counterflow::OutletSearch s3 =
        counterflow::findOutletTemperature({0, Tin, L3, G3, p, inlet.enthalpy, m[DryBulb]},
                                           inlet.wetBulb, ntu3, counterflow::kNewFlowNtuTolerance);
    if (s3.status != counterflow::Status::Ok)
        return chain.fail(3, std::string("outlet-temperature search: ") + counterText(s3.status));
    chain.set(NewNtu, ntu3);
    chain.set(NewWaterOut, s3.waterOut);
    chain.e.problemsDone = 3;

    if (c.problems < 4)
        return true;
    const Duty& duty = c.duty;
    if (!(duty.waterIn - duty.wetBulb > counterflow::kSmallestRange))
        return chain.fail(4, "the water temperature IN is not above the wet bulb");
    psychro::AirState air4;
    if (!inletAir(chain, 4, psychro::Given::WetBulb, p, duty.dryBulb, duty.wetBulb, air4))
        return false;
    const counterflow::FlowSearch s4 = counterflow::findWaterFlow(
        {duty.heat, duty.waterIn, duty.wetBulb, duty.dryBulb, air4.enthalpy, p},
        {ntu3, L3, G3, L3 / G3});
    if (s4.status != counterflow::Status::Ok)
        return chain.fail(4, std::string("water-flow search: ") + counterText(s4.status));
    chain.set(DutyWaterFlow, s4.waterFlow);
    chain.e.problemsDone = 4;
    return true;
}

// The search of Problem 1 stops within 0.01 K of the measured outlet temperature, a fifth of
// the thermometers' accuracy: its steps would show in every sensitivity. The model closes in
// on the NTU whose mean outlet meets the measured temperature to 1e-5 K, starting from the
// search's result (or from a nearby chain's root).
constexpr double kOutletMatch = 1e-5;  // K
constexpr double kOutletAccept = 1e-4; // K, when the cells' own tolerance allows no closer
constexpr double kNtuStep = 0.05;      // kW/(kJ/kg)
constexpr double kRelativeFlowStep = 2e-3;

bool crossChain(Chain& chain, const Case& c, const Roots* near) {
    const Measured& m = c.measured;
    const double L = m[WaterFlow], G = m[AirFlow], Tin = m[WaterIn], Tout = m[WaterOut];
    const double p = m[Pressure], tdb = m[DryBulb];
    psychro::AirState inlet;
    if (!problemOneIndicators(chain, m, inlet))
        return false;
    crossflow::SweepInput s1 =
        crossflow::sweepWithAirTemperatures(0, L, G, Tin, inlet.enthalpy, tdb, p, inlet.wetBulb);
    crossflow::SweepResult last;
    auto outletExcess = [&](double ntu) {
        if (!(ntu >= 0))
            return kNaN;
        s1.ntu = ntu;
        last = crossflow::sweep(s1);
        return last.status == crossflow::Status::Ok ? last.waterOutMean - Tout : kNaN;
    };
    std::optional<double> ntu;
    double ntuSlope = near ? near->ntuSlope : kNaN;
    if (near)
        ntu = rootAlong(outletExcess, near->ntu, ntuSlope, kOutletMatch);
    if (near && !ntu)
        ntu =
            rootNear(outletExcess, near->ntu, kNtuStep, 0, kOutletMatch, kOutletAccept, &ntuSlope);
    if (!ntu) {
        const crossflow::NtuResult search =
            crossflow::searchNtu({L, G, Tin, Tout, inlet.enthalpy, tdb, inlet.wetBulb, p});
        if (search.status != crossflow::Status::Ok)
            return chain.fail(1,
                              std::string("NTU search: ") + crossflow::statusText(search.status));
        ntu =
            rootNear(outletExcess, search.ntu, kNtuStep, 0, kOutletMatch, kOutletAccept, &ntuSlope);
        if (!ntu)
            return chain.fail(1, "NTU search: the mean outlet temperature cannot be matched");
    }
    // The search of Problem 1 tries no NTU above its last coarse trial.
    if (*ntu > crossflow::kCoarseStep * (crossflow::kCoarseTrials - 1))
        return chain.fail(1, std::string("NTU search: ") +
                                 crossflow::statusText(crossflow::Status::OutletNotReached));
    if (s1.ntu != *ntu)
        outletExcess(*ntu); // the sweep of the root, for the outlet air
    chain.e.roots.ntu = *ntu;
    chain.e.roots.ntuSlope = ntuSlope;
    if (!problemOneDone(chain, *ntu, p, last.airDryBulbOutMean, last.airEnthalpyOutMean))
        return false;

    const double L3 = c.newFlows.waterFlow, G3 = c.newFlows.airFlow;
    const std::optional<double> newNtu =
        newFlowNtu(chain, c, *ntu, L, G, p, [&](const psychro::AirState& design) {
            const Design& d = c.design;
            const crossflow::SweepResult fill =
                crossflow::sweep(crossflow::sweepWithAirTemperatures(
                    *ntu, L, G, d.waterIn, design.enthalpy, d.dryBulb, p, 0));
            if (fill.status != crossflow::Status::Ok) {
                chain.fail(2, std::string("cell sweep: ") + crossflow::statusText(fill.status));
                return std::optional<double>();
            }
            return std::optional<double>(fill.waterOutMean);
        });
    if (!newNtu)
        return chain.e.failure.empty();
    const double ntu3 = *newNtu;
    const crossflow::SweepResult fill3 = crossflow::sweep(crossflow::sweepWithAirTemperatures(
        ntu3, L3, G3, Tin, inlet.enthalpy, tdb, p, inlet.wetBulb));
    if (fill3.status != crossflow::Status::Ok)
        return chain.fail(3, std::string("cell sweep: ") + crossflow::statusText(fill3.status));
    chain.set(NewNtu, ntu3);
    chain.set(NewWaterOut, fill3.waterOutMean);
    chain.e.problemsDone = 3;

    if (c.problems < 4)
        return true;
    const Duty& duty = c.duty;
    psychro::AirState air4;
    if (!inletAir(chain, 4, psychro::Given::WetBulb, p, duty.dryBulb, duty.wetBulb, air4))
        return false;
    // The same balance as the water-flow search: the heat the sweep at that flow rejects.
    auto heatExcess = [&](double flow) {
        if (!(flow > 0))
            return kNaN;
        const double G4 = flow / (L3 / G3);
        const crossflow::SweepResult r = crossflow::sweep(crossflow::sweepWithAirTemperatures(
            ntuscaling::scaledNtu(ntu3, L3, G3, flow, G4), flow, G4, duty.waterIn, air4.enthalpy,
            duty.dryBulb, p, duty.wetBulb));
        return r.status == crossflow::Status::Ok
                   ? (duty.waterIn - r.waterOutMean) * flow * crossflow::kSpecificHeatWater -
                         duty.heat
                   : kNaN;
    };
    std::optional<double> L4;
    double flowSlope = near ? near->dutyFlowSlope : kNaN;
    if (near && near->dutyFlow > 0) {
        L4 = rootAlong(heatExcess, near->dutyFlow, flowSlope, crossflow::kHeatTolerance);
        if (!L4)
            L4 = rootNear(heatExcess, near->dutyFlow, kRelativeFlowStep * near->dutyFlow, 0,
                          crossflow::kHeatTolerance, crossflow::kHeatAcceptBound, &flowSlope);
        // Outside the water-flow search's bracket the search itself decides (and reports).
        const double cp = crossflow::kSpecificHeatWater;
        if (L4 && !(*L4 >= duty.heat / (cp * (duty.waterIn - duty.wetBulb)) &&
                    *L4 <= duty.heat / (cp * crossflow::kSmallestRange)))
            L4.reset();
    }
    if (!L4) {
        const crossflow::FlowSearchInput in{.heat = duty.heat,
                                            .waterIn = duty.waterIn,
                                            .airEnthalpyIn = air4.enthalpy,
                                            .airDryBulbIn = duty.dryBulb,
                                            .airWetBulbIn = duty.wetBulb,
                                            .pressure = p,
                                            .ntu3 = ntu3,
                                            .waterFlow3 = L3,
                                            .airFlow3 = G3};
        const crossflow::FlowResult flow = crossflow::searchWaterFlow(in);
        if (flow.status != crossflow::Status::Ok)
            return chain.fail(4, std::string("water-flow search: ") +
                                     crossflow::statusText(flow.status));
        L4 = flow.waterFlow;
        // The balance's slope there, from which nearby chains start.
        const double step = kRelativeFlowStep * flow.waterFlow;
        flowSlope = (heatExcess(flow.waterFlow + step) - heatExcess(flow.waterFlow)) / step;
    }
    chain.set(DutyWaterFlow, *L4);
    chain.e.roots.dutyFlow = *L4;
    chain.e.roots.dutyFlowSlope = flowSlope;
    chain.e.problemsDone = 4;
    return true;
}

} // namespace

const ResultInfo& resultInfo(int result) {
    return kResults[result];
}

const InputInfo& inputInfo(int input) {
    return kInputs[input];
}

Case caseFromInputs(const std::array<double, kChainInputCount>& v) {
    Case c;
    std::copy(v.begin(), v.begin() + kInputCount, c.measured.begin());
    c.design = {v[7], v[9], v[10], v[11], v[12]};
    c.newFlows = {v[13], v[14]};
    c.duty = {v[15], v[16], v[17], v[18]};
    // The first index of each Problem's inputs; Problem 2's design air flow is not needed.
    constexpr int kFirst[] = {0, 7, 13, 15, kChainInputCount};
    c.problems = 0;
    for (int problem = 1; problem <= 4; ++problem) {
        for (int k = kFirst[problem - 1]; k < kFirst[problem]; ++k)
            if (k != 8 && !std::isfinite(v[k]))
                return c;
        c.problems = problem;
    }
    return c;
}

Evaluation evaluate(Arrangement arrangement, const Case& c, const Roots* near) {
    // A chain may follow Qt code on the caller's thread (core/vectorstate.h).
    vectorstate::clearUpper();
    Chain chain;
    chain.e.results.fill(kNaN);
    if (c.problems < 1) {
        chain.fail(1, "a measured value is missing");
        return chain.e;
    }
    for (double v : c.measured)
        if (!std::isfinite(v)) {
            chain.fail(1, "a measured value is not a number");
            return chain.e;
        }
    if (arrangement == Arrangement::CounterFlow)
        counterChain(chain, c);
    else
        crossChain(chain, c, near);
    return chain.e;
}

} // namespace uncertainty
