// The counter-flow Problems: 1 (the measured regime), 2 (the acceptance test), 3 (new flow
// rates) and 4 (the water flow for a desired heat).

#include "core/counterflow.h"
#include "core/ntuscaling.h"
#include "engine/counterflowrefusal.h"
#include "engine/problemone.h"
#include "engine/problemtwo.h"
#include "engine/resultblocks.h"
#include "engine/run.h"

#include <cmath>
#include <optional>

namespace engine {

namespace {

// The integration at a search's result, written into the trace.
void traceFill(Run& run, const counterflow::Fill& fill) {
    if (counterflow::FillNode* nodes = run.traceNodes())
        counterflow::integrate(fill, nodes);
}

// The outlet water temperature at which the fill needs an NTU, with the fill's outlet air there
// as the moist-air calculator shows it; the integration there goes into the trace.
struct AtNtu {
    double waterOut;       // degC
    double heat;           // the heat the water gives off, kW
    double airTempOut;     // degC
    double airEnthalpyOut; // kJ/kg
    Run::ShownAir outlet;
};
std::optional<AtNtu> outletAtNtu(Run& run, counterflow::Fill fill, double wetBulb, double ntu,
                                 double tolerance) {
    const counterflow::OutletSearch search =
        counterflow::findOutletTemperature(fill, wetBulb, ntu, tolerance);
    if (search.status != counterflow::Status::Ok) {
        run.refuse(counterflow::refusalText(search.status));
        return std::nullopt;
    }
    const double taOut = search.fill.airTempOut;
    const double hOut = search.fill.airEnthalpyOut;
    const auto outlet = run.airState(2, fill.pressure, taOut, hOut, QStringLiteral("outlet air"));
    if (!outlet)
        return std::nullopt;
    fill.waterOut = search.waterOut;
    traceFill(run, fill);
    const double heat =
        (fill.waterIn - search.waterOut) * counterflow::kSpecificHeatWater * fill.waterFlow;
    return AtNtu{search.waterOut, heat, taOut, hOut, *outlet};
}

} // namespace

void calculateCounterFlow1(Run& run) {
    using namespace cf1;
    const auto measured = problemone::readMeasured(run, {waterIn, waterOut});
    if (!measured)
        return;
    const auto [L, G, Tin, Tout, p, tdb, rh, inlet] = *measured;
    const double twbIn = inlet.wetBulb;
    if (Tin == twbIn) {
        run.refuse(QStringLiteral("The water temperature IN equals the inlet wet bulb temperature: "
                                  "the cooling degree is undefined."));
        return;
    }

    const counterflow::Fill tower{Tout, Tin, L, G, p, inlet.enthalpy, tdb};
    const counterflow::Integration fill = counterflow::integrate(tower, run.traceNodes());
    if (fill.status == counterflow::Status::NoDrivingForce) {
        run.refuse(counterflow::noHeatTransferText(tower));
        return;
    }
    if (fill.status != counterflow::Status::Ok) {
        run.refuse(counterflow::refusalText(fill.status));
        return;
    }
    const double Q = (Tin - Tout) * counterflow::kSpecificHeatWater * L;

    // Outlet air.
    const auto outlet =
        run.airState(2, p, fill.airTempOut, fill.airEnthalpyOut, QStringLiteral("outlet air"));
    if (!outlet)
        return;

    // Every result is in hand: show them.
    problemone::showResults(run, *measured,
                            {.ntu = fill.ntu,
                             .heat = Q,
                             .indicators = indicators(Tin, Tout, twbIn),
                             .inlet = inlet,
                             .outletDryBulb = fill.airTempOut,
                             .outletEnthalpy = fill.airEnthalpyOut,
                             .outlet = *outlet},
                            "##0.00", "##0.00");
    const QString status = problemone::completionStatus(run, toQString(messages::kCompleted));
    run.succeed(status);
}

void calculateCounterFlow2(Run& run) {
    using namespace cf2;
    const auto design = problemtwo::readDesign<Control>(run);
    if (!design)
        return;
    const auto [Ld, Gd, TinD, ToutD, twbD, tdbD] = *design;

    // The tower as Problem 1 shows it: its NTU as displayed, its flows and the pressure.
    const auto shown1 = run.numbers({run.of(1, cf1::ntu), run.of(1, cf1::waterFlow),
                                     run.of(1, cf1::airFlow), run.of(1, cf1::pressure)},
                                    toQString(messages::kProblem1NotCalculated));
    if (!shown1)
        return;
    const auto [ntu1, L, G, p] = *shown1;
    if (!(L > 0) || !(G > 0)) {
        run.refuse(counterflow::refusalText(counterflow::Status::ZeroFlow));
        return;
    }
    const double Qd = (TinD - ToutD) * counterflow::kSpecificHeatWater * Ld;
    if (!(Qd > 0)) {
        run.refuse(QStringLiteral("The design heat capacity Qd is zero: the design water "
                                  "temperatures IN and OUT must differ and the design water mass "
                                  "flow rate must be greater than zero, or the deviation from Qd "
                                  "is undefined."));
        return;
    }
    if (!(TinD > twbD)) {
        run.refuse(QStringLiteral("The design water temperature IN must be above the design wet "
                                  "bulb temperature: the cooling degree is undefined otherwise."));
        return;
    }

    // Design inlet air, as the moist-air calculator shows it.
    const auto inlet = run.airState(1, p, tdbD, twbD, QStringLiteral("design inlet air"));
    if (!inlet)
        return;
    const double hIn = inlet->enthalpy;

    // The outlet water temperature at which the tower needs the NTU of Problem 1.
    const auto found = outletAtNtu(run, {0, TinD, L, G, p, hIn, tdbD}, twbD, ntu1,
                                   counterflow::kAcceptanceNtuTolerance);
    if (!found)
        return;
    const double tout2 = found->waterOut;
    const double Qa = found->heat;

    // Every result is in hand: show them.
    problemtwo::showDesign<Control>(run, *design);
    run.set(designHeat, run.format(Qd, "####0.00"));
    showAir(run, kInletAir<Control>, tdbD, twbD, hIn, *inlet, "###0.00", "####0.00");

    run.set(testWaterOut, run.format(tout2, "###0.00"));
    run.set(achievedHeat, run.format(Qa, "###0.00"));
    run.set(deviation, run.format((Qa - Qd) / Qd * 100, "###0.0"));
    run.set(ntu, run.format(ntu1, "###0.00"));
    showIndicators<Control>(run, indicators(TinD, tout2, twbD));
    showOutletAir<Control>(run, found->airTempOut, found->airEnthalpyOut, found->outlet, "##00.00");

    run.succeed(toQString(messages::kCompletedMisspelt));
}

void calculateCounterFlow3(Run& run) {
    using namespace cf3;
    const auto newFlows = readNewFlows(run);
    if (!newFlows)
        return;
    const auto [L3, G3] = *newFlows;

    // Problem 1, as Problem 2 copied it here (and the inlet enthalpy as Problem 1 shows it).
    const auto problem1 = run.numbers(
        {run.t(waterFlow1), run.t(airFlow1), run.t(ntu1), run.t(waterIn1), run.t(inletWetBulb1),
         run.t(dryBulb1), run.t(pressure1), run.of(1, cf1::inletEnthalpy), run.t(outlet1DryBulb),
         run.t(outlet1WetBulb), run.t(outlet1Enthalpy), run.t(outlet1RelativeHumidity),
         run.t(outlet1Humidity)},
        QStringLiteral("Problem 1 has not been calculated yet: calculate it first, "
                       "then come here with \"GoTo Problem 3\" of Problem 2."));
    if (!problem1)
        return;
    const auto [L1, G1, NTU1, Tin, twbIn, tdbIn, p, hIn, taOut1, twbOut1, hOut1, rhOut1, xOut1] =
        *problem1;
    if (!(L1 > 0) || !(G1 > 0) || !(L3 > 0) || !(G3 > 0)) {
        run.refuse(counterflow::refusalText(counterflow::Status::ZeroFlow));
        return;
    }
    if (!(Tin > twbIn)) {
        run.refuse(
            QStringLiteral("The water temperature IN (1) must be above the wet bulb "
                           "temperature IN (1): the cooling degree is undefined otherwise."));
        return;
    }

    // The tower's NTU at the new flows, and the outlet water temperature that needs it.
    const double ratio3 = L3 / G3;
    const double ntu3 = ntuscaling::scaledNtu(NTU1, L1, G1, L3, G3);
    if (!std::isfinite(ntu3) || !std::isfinite(ratio3)) {
        run.refuse(counterflow::refusalText(counterflow::Status::NonFinite));
        return;
    }
    // At Problem 1's pressure.
    const auto found = outletAtNtu(run, {0, Tin, L3, G3, p, hIn, tdbIn}, twbIn, ntu3,
                                   counterflow::kNewFlowNtuTolerance);
    if (!found)
        return;
    const double t3 = found->waterOut;

    // Every result is in hand: show them.
    run.set(outlet1DryBulb, run.format(taOut1, "##0.00"));
    run.set(outlet1WetBulb, run.format(twbOut1, "##0.00"));
    run.set(outlet1Enthalpy, run.format(hOut1, "###0.00"));
    run.set(outlet1RelativeHumidity, run.format(rhOut1, "##0.0"));
    run.set(outlet1Humidity, run.format(xOut1, "0.00000"));
    run.setField(newWaterFlow, run.format(L3, "###0.00"));
    run.setField(newAirFlow, run.format(G3, "###0.00"));

    run.set(flowRatio, run.format(ratio3, "#0.00"));
    run.set(ntu, run.format(ntu3, "###0.00"));
    run.set(waterOut, run.format(t3, "##0.00"));
    run.set(heat, run.format(found->heat, "###0.00"));
    showIndicators<Control>(run, indicators(Tin, t3, twbIn));
    showOutletAir<Control>(run, found->airTempOut, found->airEnthalpyOut, found->outlet, "##00.00");

    run.succeed();
}

void calculateCounterFlow4(Run& run) {
    using namespace cf4;
    const auto duty = readDuty(run, {dryBulb, wetBulb}, dryBulb);
    if (!duty)
        return;
    const auto [Q4, T4, tdb4, twb4] = *duty;

    // The tower of Problem 3, as its window shows it, and the pressure of Problem 1.
    const QString ntu3Text = run.of(3, cf3::ntu);
    const QString l3Text = run.of(3, cf3::newWaterFlow);
    const QString g3Text = run.of(3, cf3::newAirFlow);
    const QString tin3Text = run.of(3, cf3::waterIn1);
    const QString tout3Text = run.of(3, cf3::waterOut);
    const QString q3Text = run.of(3, cf3::heat);
    const QString pText = run.of(1, cf1::pressure);
    const auto problem3 =
        run.numbers({ntu3Text, l3Text, g3Text, pText, tin3Text, tout3Text, q3Text},
                    toQString(messages::kProblem3NotCalculated));
    if (!problem3)
        return;
    const auto [NTU3, L3, G3field, p, tin3, tout3, q3] = *problem3;
    if (!(L3 > 0) || !(G3field > 0)) {
        run.refuse(counterflow::refusalText(counterflow::Status::ZeroFlow));
        return;
    }
    const double ratio3 = L3 / G3field; // full precision: the search holds it
    const double G3 = L3 / ratio3;
    if (!(Q4 > 0)) {
        run.refuse(QStringLiteral("The heat capacity (4) must be greater than zero."));
        return;
    }
    if (!(T4 - twb4 > counterflow::kSmallestRange)) {
        run.refuse(QStringLiteral("The water temperature IN (4) must lie more than 0.1 oC above "
                                  "the ambient wet bulb temperature (4): the water cannot be "
                                  "cooled otherwise and the cooling degree is undefined."));
        return;
    }

    // Inlet air: dry and wet bulb given. A wet bulb far below the dry bulb describes no air
    // (its humidity would be negative); the moist-air calculator refuses it.
    const auto inlet = run.airState(1, p, tdb4, twb4, QStringLiteral("inlet air (4)"));
    if (!inlet)
        return;
    const double hIn = inlet->enthalpy;

    // The water flow that rejects Q4 at L/G of Problem 3.
    const counterflow::FlowSearch search =
        counterflow::findWaterFlow({Q4, T4, twb4, tdb4, hIn, p}, {NTU3, L3, G3, ratio3});
    if (search.status != counterflow::Status::Ok) {
        run.refuse(counterflow::refusalText(search.status));
        return;
    }
    const double t4 = search.waterOut;

    // Outlet air.
    const double taOut = search.fill.airTempOut;
    const double hOut = search.fill.airEnthalpyOut;
    const auto outlet = run.airState(2, p, taOut, hOut, QStringLiteral("outlet air (4)"));
    if (!outlet)
        return;
    traceFill(run, {t4, T4, search.waterFlow, search.airFlow, p, hIn, tdb4});

    // Every result is in hand: show them.
    run.set(ntu3, ntu3Text);
    run.set(waterFlow3, l3Text);
    run.set(flowRatio3, run.format(ratio3, "#0.00"));
    run.set(waterIn3, tin3Text);
    run.set(waterOut3, tout3Text);
    run.set(heat3, q3Text);
    run.set(pressure1, pText);

    run.setField(heat, run.format(Q4, "###0.00"));
    run.setField(waterIn, run.format(T4, "##0.00"));
    run.setField(dryBulb, run.format(tdb4, "##0.00"));
    run.setField(wetBulb, run.format(twb4, "##0.00"));
    showInletAir<Control>(run, tdb4, twb4, *inlet, "####0.0000");

    run.set(waterFlow, run.format(search.waterFlow, "##0.00"));
    run.set(airFlow, run.format(search.airFlow, "##0.00"));
    run.set(flowRatio, run.format(ratio3, "#0.000"));
    run.set(waterOut, run.format(t4, "##0.00"));
    run.set(ntu, run.format(search.ntu, "##0.00"));
    showOutletAir<Control>(run, taOut, hOut, *outlet, "##00.00");
    showIndicators<Control>(run, indicators(T4, t4, twb4));

    run.succeed();
}

} // namespace engine
