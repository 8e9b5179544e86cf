// The cross-flow Problems: 1 (the measured regime), 2 (the acceptance test), 3 (new flow
// rates) and 4 (the water flow for a desired heat).

#include "core/crossflow.h"
#include "core/ntuscaling.h"
#include "engine/crossflowrefusal.h"
#include "engine/problemone.h"
#include "engine/problemtwo.h"
#include "engine/resultblocks.h"
#include "engine/run.h"

#include <optional>

namespace engine {

namespace {

const QString kProblem1Incomplete =
    QStringLiteral("The data of Problem 1 are incomplete: enter and calculate them first.");

// The sweep at a search's result, with air temperatures, written into the trace.
void traceSweep(Run& run, double ntu, double waterFlow, double airFlow, double waterIn,
                double airEnthalpyIn, double airDryBulbIn, double pressure, double bracketLow) {
    if (crossflow::FillCell* cells = run.traceCells())
        crossflow::sweep(crossflow::sweepWithAirTemperatures(ntu, waterFlow, airFlow, waterIn,
                                                             airEnthalpyIn, airDryBulbIn, pressure,
                                                             bracketLow, cells));
}

// One sweep with the air temperatures, its cells kept in the trace, the heat the water gives
// off, and the outlet air as the moist-air calculator shows it.
struct Swept {
    crossflow::SweepResult fill;
    double heat; // kW
    Run::ShownAir outlet;
};
std::optional<Swept> sweepWithOutlet(Run& run, double ntu, double waterFlow, double airFlow,
                                     double waterIn, double airEnthalpyIn, double airDryBulbIn,
                                     double pressure, double bracketLow) {
    const crossflow::SweepResult fill = crossflow::sweep(
        crossflow::sweepWithAirTemperatures(ntu, waterFlow, airFlow, waterIn, airEnthalpyIn,
                                            airDryBulbIn, pressure, bracketLow, run.traceCells()));
    if (fill.status != crossflow::Status::Ok) {
        run.refuse(crossflow::refusalText(fill.status));
        return std::nullopt;
    }
    const auto outlet = run.airState(2, pressure, fill.airDryBulbOutMean, fill.airEnthalpyOutMean,
                                     QStringLiteral("outlet air"));
    if (!outlet)
        return std::nullopt;
    return Swept{fill, (waterIn - fill.waterOutMean) * crossflow::kSpecificHeatWater * waterFlow,
                 *outlet};
}

} // namespace

void calculateCrossFlow1(Run& run) {
    using namespace xf1;
    const auto measured = problemone::readMeasured(run, {waterOut, waterIn});
    if (!measured)
        return;
    const auto [L, G, Tin, Tout, p, tdb, rh, inlet] = *measured;
    const double twbIn = inlet.wetBulb;
    if (!(Tin > twbIn)) {
        run.refuse(crossflow::refusalText(crossflow::Status::WaterNotAboveWetBulb));
        return;
    }

    run.busy(); // the checks have passed: the long search starts

    const crossflow::NtuResult search =
        crossflow::searchNtu({L, G, Tin, Tout, inlet.enthalpy, tdb, twbIn, p});
    if (search.status != crossflow::Status::Ok) {
        run.refuse(crossflow::refusalText(search.status));
        return;
    }
    const double taOut = search.sweep.airDryBulbOutMean;
    const double hOut = search.sweep.airEnthalpyOutMean;

    // The measured outlet temperature gives the indicators, not the computed mean.
    const double Q = crossflow::kSpecificHeatWater * (Tin - Tout) * L;

    // Outlet air.
    const auto outlet = run.airState(2, p, taOut, hOut, QStringLiteral("outlet air"));
    if (!outlet)
        return;
    traceSweep(run, search.ntu, L, G, Tin, inlet.enthalpy, tdb, p, twbIn);

    // Every result is in hand: show them.
    problemone::showResults(run, *measured,
                            {.ntu = search.ntu,
                             .heat = Q,
                             .indicators = indicators(Tin, Tout, twbIn),
                             .inlet = inlet,
                             .outletDryBulb = taOut,
                             .outletEnthalpy = hOut,
                             .outlet = *outlet},
                            "###0.00", "###0.00");
    const QString status =
        problemone::completionStatus(run, toQString(messages::kCompletedMisspelt));
    run.succeed(status);
}

void calculateCrossFlow2(Run& run) {
    using namespace xf2;
    const auto design = problemtwo::readDesign<Control>(run);
    if (!design)
        return;
    const auto [Ld, Gd, TinD, ToutD, twbD, tdbD] = *design;

    const double Qd = (TinD - ToutD) * crossflow::kSpecificHeatWater * Ld;
    if (!(Qd > 0)) {
        run.refuse(QStringLiteral(
            "The design heat capacity is zero, so the deviation from it cannot be calculated: "
            "the design water temperatures IN and OUT must differ and the design water mass flow "
            "rate must be greater than zero."));
        return;
    }

    // Problem 1 as its window shows it: NTU, and the water flow, air flow and pressure copied
    // through this window's hidden labels.
    const QString lText = run.of(1, xf1::waterFlow);
    const QString gText = run.of(1, xf1::airFlow);
    const QString pText = run.of(1, xf1::pressure);
    const auto NTU1 = run.number(run.of(1, xf1::ntu));
    if (!NTU1) {
        run.refuse(toQString(messages::kProblem1NotCalculated));
        return;
    }
    const auto measured1 = run.numbers({lText, gText, pText}, kProblem1Incomplete);
    if (!measured1)
        return;
    const auto [L, G, p] = *measured1;
    if (!(L > 0) || !(G > 0)) {
        run.refuse(crossflow::refusalText(crossflow::Status::NonPositiveFlow));
        return;
    }
    if (TinD == twbD) {
        run.refuse(QStringLiteral("The design water temperature IN equals the design wet bulb "
                                  "temperature: the cooling degree is undefined."));
        return;
    }

    // Design inlet air, as the moist-air calculator shows it.
    const auto inlet = run.airState(1, p, tdbD, twbD, QStringLiteral("design inlet air"));
    if (!inlet)
        return;
    const double hIn = inlet->enthalpy;

    // One sweep at the NTU of Problem 1; the cells' bracket reaches down to 0 degC.
    const auto swept = sweepWithOutlet(run, *NTU1, L, G, TinD, hIn, tdbD, p, 0);
    if (!swept)
        return;
    const crossflow::SweepResult& fill = swept->fill;
    const double Tout2 = fill.waterOutMean;
    const double Qa = swept->heat;

    // Every result is in hand: show them.
    run.set(waterFlow1, lText);
    run.set(airFlow1, gText);
    run.set(pressure1, pText);
    problemtwo::showDesign<Control>(run, *design);
    run.set(designHeat, run.generalText(Qd));
    run.set(testWaterOut, run.format(Tout2, "##0.00"));
    run.set(achievedHeat, run.format(Qa, "###0.00"));
    run.set(deviation, run.format((Qa - Qd) / Qd * 100, "##0.0"));
    run.set(ntu, run.format(*NTU1, "###0.00"));
    showIndicators<Control>(run, indicators(TinD, Tout2, twbD));
    run.set(inletDryBulb, run.t(designDryBulb));
    run.set(inletWetBulb, run.t(designWetBulb));
    run.set(inletEnthalpy, run.format(hIn, "###0.00"));
    run.set(inletRelativeHumidity, run.format(inlet->relativeHumidity, "##0.0"));
    run.set(inletHumidity, run.format(inlet->absoluteHumidity, "0.00000"));
    showOutletAir<Control>(run, fill.airDryBulbOutMean, fill.airEnthalpyOutMean, swept->outlet,
                           "###0.00");

    run.succeed(toQString(messages::kCompletedMisspelt));
}

void calculateCrossFlow3(Run& run) {
    using namespace xf3;
    const auto newFlows = readNewFlows(run);
    if (!newFlows)
        return;
    const auto [L3, G3] = *newFlows;

    // Problem 1 as its window shows it; each copy is formatted here before it is used.
    const auto ntuText = run.number(run.of(1, xf1::ntu));
    if (!ntuText) {
        run.refuse(toQString(messages::kProblem1NotCalculated));
        return;
    }
    const auto measured1 =
        run.numbers({run.of(1, xf1::waterFlow), run.of(1, xf1::waterIn), run.of(1, xf1::waterOut),
                     run.of(1, xf1::airFlow), run.of(1, xf1::pressure), run.of(1, xf1::dryBulb),
                     run.of(1, xf1::relativeHumidity)},
                    kProblem1Incomplete);
    if (!measured1)
        return;
    if (!run.numbers({run.of(1, xf1::heat), run.of(1, xf1::outletDryBulb),
                      run.of(1, xf1::outletWetBulb), run.of(1, xf1::outletEnthalpy),
                      run.of(1, xf1::outletRelativeHumidity), run.of(1, xf1::outletHumidity)},
                     toQString(messages::kProblem1NotCalculated)))
        return;
    const auto [L1in, Tin1, Tout1, G1in, p1, tdb1, rh1] = *measured1;
    const QString l1Text = run.format(L1in, "###0.00");
    const QString l3Text = run.format(Tin1, "##0.00");
    const QString l4Text = run.of(1, xf1::waterOut);
    const QString l8Text = run.format(G1in, "###0.00");
    const QString l5Text = run.format(p1, "#0.000");
    const QString l6Text = run.format(tdb1, "##0.00");
    const QString l7Text = run.format(rh1, "##0.0");
    const QString l2Text = run.format(*ntuText, "###0.00");
    const QString l10Text = run.of(1, xf1::heat);

    // The values as this window shows them.
    const double L1 = *run.number(l1Text);
    const double G1 = *run.number(l8Text);
    const double NTU1 = *run.number(l2Text);
    const double Tin = *run.number(l3Text);
    const double p = *run.number(l5Text);
    const double tdbIn = *run.number(l6Text);
    const double rhIn = *run.number(l7Text);
    if (!(L1 > 0) || !(G1 > 0) || !(L3 > 0) || !(G3 > 0)) {
        run.refuse(crossflow::refusalText(crossflow::Status::NonPositiveFlow));
        return;
    }

    // Inlet air of Problem 1, recomputed.
    const auto inlet = run.airState(3, p, tdbIn, rhIn, QStringLiteral("inlet air"));
    if (!inlet)
        return;
    const double twbIn = inlet->wetBulb;
    const double hIn = inlet->enthalpy;
    if (!(Tin > twbIn)) {
        run.refuse(crossflow::refusalText(crossflow::Status::WaterNotAboveWetBulb));
        return;
    }

    const double NTU3 = ntuscaling::scaledNtu(NTU1, L1, G1, L3, G3);
    const auto swept = sweepWithOutlet(run, NTU3, L3, G3, Tin, hIn, tdbIn, p, twbIn);
    if (!swept)
        return;
    const crossflow::SweepResult& fill = swept->fill;
    const double t3 = fill.waterOutMean;

    // Every result is in hand: show them.
    run.set(waterFlow1, l1Text);
    run.set(waterIn1, l3Text);
    run.set(waterOut1, l4Text);
    run.set(airFlow1, l8Text);
    run.set(pressure1, l5Text);
    run.set(dryBulb1, l6Text);
    run.set(relativeHumidity1, l7Text);
    run.set(ntu1, l2Text);
    run.set(heat1, l10Text);
    run.set(outlet1DryBulb, run.of(1, xf1::outletDryBulb));
    run.set(outlet1WetBulb, run.of(1, xf1::outletWetBulb));
    run.set(outlet1Enthalpy, run.of(1, xf1::outletEnthalpy));
    run.set(outlet1RelativeHumidity, run.of(1, xf1::outletRelativeHumidity));
    run.set(outlet1Humidity, run.of(1, xf1::outletHumidity));

    run.set(inletWetBulb1, run.format(twbIn, "##0.00"));
    run.set(inletEnthalpy1, run.format(hIn, "###0.00"));
    run.set(inletHumidity1, run.format(inlet->absoluteHumidity, "0.00000"));
    run.set(flowRatio, run.format(L3 / G3, "#0.00"));
    run.set(ntu, run.format(NTU3, "###0.000"));
    run.set(heat, run.format(swept->heat, "###0.00"));
    run.set(waterOut, run.format(t3, "##0.00"));
    showIndicators<Control>(run, indicators(Tin, t3, twbIn));
    showOutletAir<Control>(run, fill.airDryBulbOutMean, fill.airEnthalpyOutMean, swept->outlet,
                           "###0.00");

    run.succeed(toQString(messages::kCompletedMisspelt));
}

void calculateCrossFlow4(Run& run) {
    using namespace xf4;
    const auto duty = readDuty(run, {wetBulb, dryBulb}, wetBulb);
    if (!duty)
        return;
    const auto [Q4, T4, tdb4, twb4] = *duty;

    // Problem 3 as its window shows it; the calculation uses the texts as copied, the labels
    // show them formatted.
    const QString ntu3Text = run.of(3, xf3::ntu);
    const QString l3Text = run.of(3, xf3::newWaterFlow);
    const auto calculated3 = run.numbers(
        {ntu3Text, run.of(3, xf3::waterIn1), run.of(3, xf3::heat), run.of(3, xf3::waterOut)},
        toQString(messages::kProblem3NotCalculated));
    if (!calculated3)
        return;
    const double NTU3 = calculated3->front();
    const auto flows3 = run.numbers({l3Text, run.of(3, xf3::newAirFlow)},
                                    QStringLiteral("The flow rates of Problem 3 are incomplete: "
                                                   "enter them and calculate Problem 3 first."));
    if (!flows3)
        return;
    const auto [L3, G3] = *flows3;
    const QString pText = run.of(1, xf1::pressure);
    const auto p = run.number(pText);
    if (!p) {
        run.refuse(QStringLiteral("The air pressure of Problem 1 is missing: enter it and "
                                  "calculate Problem 1 first."));
        return;
    }
    if (!(L3 > 0) || !(G3 > 0)) {
        run.refuse(crossflow::refusalText(crossflow::Status::NonPositiveFlow));
        return;
    }
    const double ratio3 = L3 / G3; // (L/G)3 at full precision
    if (!(Q4 > 0)) {
        run.refuse(crossflow::refusalText(crossflow::Status::NonPositiveHeat));
        return;
    }

    // New inlet air, as the moist-air calculator shows it.
    const auto inlet = run.airState(1, *p, tdb4, twb4, QStringLiteral("inlet air"));
    if (!inlet)
        return;
    const double hIn = inlet->enthalpy;

    run.busy(); // the checks have passed: the long search starts
    const crossflow::FlowResult flow = crossflow::searchWaterFlow({.heat = Q4,
                                                                   .waterIn = T4,
                                                                   .airEnthalpyIn = hIn,
                                                                   .airDryBulbIn = tdb4,
                                                                   .airWetBulbIn = twb4,
                                                                   .pressure = *p,
                                                                   .ntu3 = NTU3,
                                                                   .waterFlow3 = L3,
                                                                   .airFlow3 = G3});
    if (flow.status != crossflow::Status::Ok) {
        run.refuse(crossflow::refusalText(flow.status));
        return;
    }
    const double t4 = flow.waterOut;
    const double taOut = flow.sweep.airDryBulbOutMean;
    const double hOut = flow.sweep.airEnthalpyOutMean;

    // Outlet air.
    const auto outlet = run.airState(2, *p, taOut, hOut, QStringLiteral("outlet air"));
    if (!outlet)
        return;
    traceSweep(run, flow.ntu, flow.waterFlow, flow.airFlow, T4, hIn, tdb4, *p, twb4);

    // Every result is in hand: show them.
    run.set(ntu3, run.format(NTU3, "#0.00"));
    run.set(waterFlow3, run.format(L3, "#0.00"));
    run.set(flowRatio3, run.format(ratio3, "#0.00"));
    run.set(waterIn3, run.of(3, xf3::waterIn1));
    run.set(waterOut3, run.of(3, xf3::waterOut));
    run.set(heat3, run.of(3, xf3::heat));
    run.set(pressure1, pText);

    run.setField(heat, run.format(Q4, "####0.00"));
    run.setField(waterIn, run.format(T4, "##0.00"));
    run.setField(dryBulb, run.format(tdb4, "##0.00"));
    run.setField(wetBulb, run.format(twb4, "##0.00"));
    showInletAir<Control>(run, tdb4, twb4, *inlet, "###0.00");

    run.set(waterFlow, run.format(flow.waterFlow, "###0.00"));
    run.set(airFlow, run.format(flow.airFlow, "###0.00"));
    run.set(flowRatio, run.format(ratio3, "#0.00"));
    run.set(ntu, run.format(flow.ntu, "###0.00"));
    run.set(waterOut, run.format(t4, "##0.0"));
    showOutletAir<Control>(run, taOut, hOut, *outlet, "###0.00");
    showIndicators<Control>(run, indicators(T4, t4, twb4));

    run.succeed(toQString(messages::kCompleted));
}

} // namespace engine
