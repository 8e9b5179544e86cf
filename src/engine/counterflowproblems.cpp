// The counter-flow Problems: 1 (Form5), 2 (Form2, the acceptance test), 3 (Form10, new flow
// rates) and 4 (Form3, the water flow for a desired heat).

#include "core/counterflow.h"
#include "core/ntuscaling.h"
#include "engine/controls.h"
#include "engine/counterflowrefusal.h"
#include "engine/problemone.h"
#include "engine/run.h"

#include <cmath>

namespace engine {

namespace {

const QString kCompleted = QStringLiteral("Calculation has successfully complited");
const QString kCompletedTypo = QStringLiteral("Calculation has successfuly complited");

// The integration at a search's result, written into the trace.
void traceFill(Run& run, const counterflow::Fill& fill) {
    if (counterflow::FillNode* nodes = run.traceNodes())
        counterflow::integrate(fill, nodes);
}

} // namespace

void calculateCounterFlow1(Run& run) {
    using namespace cf1;
    const auto measured = problemone::readMeasured(run, {Text3, Text4});
    if (!measured)
        return;
    const auto [L, G, Tin, Tout, p, tdb, rh] = *measured;
    if (!(L > 0) || !(G > 0)) {
        run.refuse(counterflow::refusalText(counterflow::Status::ZeroFlow));
        return;
    }

    // Inlet air, as the moist-air calculator shows it.
    const auto inlet = run.airState(3, p, tdb, rh, QStringLiteral("inlet air"));
    if (!inlet)
        return;
    const double twbIn = inlet->wetBulb;
    if (Tin == twbIn) {
        run.refuse(QStringLiteral("The water temperature IN equals the inlet wet bulb temperature: "
                                  "the cooling degree is undefined."));
        return;
    }

    const counterflow::Integration fill =
        counterflow::integrate({Tout, Tin, L, G, p, inlet->enthalpy, tdb}, run.traceNodes());
    if (fill.status != counterflow::Status::Ok) {
        run.refuse(counterflow::refusalText(fill.status));
        return;
    }
    const double Q = (Tin - Tout) * counterflow::kSpecificHeatWater * L;
    const double coolingDegree = (Tin - Tout) / (Tin - twbIn);
    const double range = Tin - Tout;
    const double approach = Tout - twbIn;

    // Outlet air.
    const auto outlet =
        run.airState(2, p, fill.airTempOut, fill.airEnthalpyOut, QStringLiteral("outlet air"));
    if (!outlet)
        return;

    // Every result is in hand: show them.
    problemone::showResults(run,
                            {.ntu = lbl2,
                             .heat = lbl10,
                             .coolingDegree = lbl18,
                             .range = lbl19,
                             .approach = lbl20,
                             .outletDryBulb = lbl13,
                             .outletWetBulb = lbl14,
                             .outletEnthalpy = lbl15,
                             .outletRelativeHumidity = lbl16,
                             .outletHumidity = lbl17,
                             .inletWetBulb = lbl9,
                             .inletEnthalpy = lbl11,
                             .inletHumidity = lbl12},
                            *measured,
                            {.ntu = fill.ntu,
                             .heat = Q,
                             .coolingDegree = coolingDegree,
                             .range = range,
                             .approach = approach,
                             .inlet = *inlet,
                             .outletDryBulb = fill.airTempOut,
                             .outletEnthalpy = fill.airEnthalpyOut,
                             .outlet = *outlet},
                            "##0.00", "##0.00");
    const QString status = problemone::completionStatus(run, kCompleted, lbl16);
    run.succeed(&status);
}

void calculateCounterFlow2(Run& run) {
    using namespace cf2;
    if (!run.allFieldsFilled(applicationTitle(), MessageIcon::None))
        return;
    const auto design = run.fieldNumbers({Text13, Text15, Text11, Text12, Text14, Text16});
    if (!design)
        return;
    const auto [Ld, Gd, TinD, ToutD, twbD, tdbD] = *design;
    if (!run.checkWaterTemperatures(TinD, ToutD, applicationTitle(), MessageIcon::None,
                                    {Text11, Text12}, Text11))
        return;
    if (!run.checkAirTemperatures(twbD, tdbD, {Text14, Text16}, Text14))
        return;

    // The tower as Problem 1 shows it: its NTU as displayed, its flows and the pressure.
    const auto shown1 = run.numbers(
        {run.of(1, cf1::lbl2), run.of(1, cf1::Text1), run.of(1, cf1::Text8), run.of(1, cf1::Text5)},
        QStringLiteral("Problem 1 has not been calculated yet: "
                       "calculate it first."));
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
    const counterflow::Fill fill{0, TinD, L, G, p, hIn, tdbD};
    const counterflow::OutletSearch search =
        counterflow::findOutletTemperature(fill, twbD, ntu1, counterflow::kAcceptanceNtuTolerance);
    if (search.status != counterflow::Status::Ok) {
        run.refuse(counterflow::refusalText(search.status));
        return;
    }
    const double tout2 = search.waterOut;
    const double Qa = (TinD - tout2) * counterflow::kSpecificHeatWater * L;
    const double deviation = (Qa - Qd) / Qd * 100;
    const double coolingDegree = (TinD - tout2) / (TinD - twbD);
    const double range = TinD - tout2;
    const double approach = tout2 - twbD;

    // Outlet air.
    const double taOut = search.fill.airTempOut;
    const double hOut = search.fill.airEnthalpyOut;
    const auto outlet = run.airState(2, p, taOut, hOut, QStringLiteral("outlet air"));
    if (!outlet)
        return;
    traceFill(run, {tout2, TinD, L, G, p, hIn, tdbD});

    // Every result is in hand: show them.
    run.setField(Text13, run.format(Ld, "###0.00"));
    run.setField(Text15, run.format(Gd, "###0.00"));
    run.setField(Text11, run.format(TinD, "##0.00"));
    run.setField(Text12, run.format(ToutD, "##0.00"));
    run.setField(Text14, run.format(twbD, "##0.00"));
    run.setField(Text16, run.format(tdbD, "##0.00"));
    run.set(l27, run.format(TinD, "##0.00"));
    run.set(l5, run.format(Qd, "####0.00"));

    run.set(l25, run.format(tdbD, "##0.00"));
    run.set(l26, run.format(twbD, "##0.00"));
    run.set(l17, run.format(tdbD, "###0.00"));
    run.set(l18, run.format(twbD, "###0.00"));
    run.set(l19, run.format(hIn, "####0.00"));
    run.set(l20, run.format(inlet->relativeHumidity, "##0.0"));
    run.set(l21, run.format(inlet->absoluteHumidity, "0.00000"));

    run.set(l3, run.format(tout2, "###0.00"));
    run.set(l4, run.format(Qa, "###0.00"));
    run.set(l1, run.format(deviation, "###0.0"));
    run.set(l2, run.format(ntu1, "###0.00"));
    run.set(l22, run.format(coolingDegree, "0.000"));
    run.set(l23, run.format(range, "#0.0"));
    run.set(l24, run.format(approach, "#0.0"));

    run.set(l6, run.format(taOut, "##0.00"));
    run.set(l7, run.format(outlet->wetBulb, "##0.00"));
    run.set(l8, run.format(hOut, "##00.00"));
    run.set(l9, run.format(outlet->relativeHumidity, "##0.0"));
    run.set(l10, run.format(outlet->absoluteHumidity, "0.00000"));

    run.succeed(&kCompletedTypo);
}

void calculateCounterFlow3(Run& run) {
    using namespace cf3;
    if (!run.allFieldsFilled())
        return;
    const auto newFlows = run.fieldNumbers({Text18, Text19});
    if (!newFlows)
        return;
    const auto [L3, G3] = *newFlows;

    // Problem 1, as Problem 2 copied it here (and the inlet enthalpy as Problem 1 shows it).
    const auto problem1 = run.numbers(
        {run.t(l1), run.t(l8), run.t(l2), run.t(l3), run.t(l9), run.t(l6), run.t(l5),
         run.of(1, cf1::lbl11), run.t(l29), run.t(l30), run.t(l31), run.t(l32), run.t(l33)},
        QStringLiteral("Problem 1 has not been calculated yet: calculate it first, "
                       "then come here with \"GoTo Problem 3\" of Problem 2."));
    if (!problem1)
        return;
    const auto [L1, G1, ntu1, Tin, twbIn, tdbIn, p, hIn, taOut1, twbOut1, hOut1, rhOut1, xOut1] =
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
    const double ntu3 = ntuscaling::scaledNtu(ntu1, L1, G1, L3, G3);
    if (!std::isfinite(ntu3) || !std::isfinite(ratio3)) {
        run.refuse(counterflow::refusalText(counterflow::Status::NonFinite));
        return;
    }
    const counterflow::OutletSearch search = counterflow::findOutletTemperature(
        {0, Tin, L3, G3, p, hIn, tdbIn}, twbIn, ntu3, counterflow::kNewFlowNtuTolerance);
    if (search.status != counterflow::Status::Ok) {
        run.refuse(counterflow::refusalText(search.status));
        return;
    }
    const double t3 = search.waterOut;
    const double Q3 = (Tin - t3) * counterflow::kSpecificHeatWater * L3;
    const double coolingDegree = (Tin - t3) / (Tin - twbIn);
    const double range = Tin - t3;
    const double approach = t3 - twbIn;

    // Outlet air at the new flows, at Problem 1's pressure.
    const double taOut = search.fill.airTempOut;
    const double hOut = search.fill.airEnthalpyOut;
    const auto outlet = run.airState(2, p, taOut, hOut, QStringLiteral("outlet air"));
    if (!outlet)
        return;
    traceFill(run, {t3, Tin, L3, G3, p, hIn, tdbIn});

    // Every result is in hand: show them.
    run.set(l29, run.format(taOut1, "##0.00"));
    run.set(l30, run.format(twbOut1, "##0.00"));
    run.set(l31, run.format(hOut1, "###0.00"));
    run.set(l32, run.format(rhOut1, "##0.0"));
    run.set(l33, run.format(xOut1, "0.00000"));
    run.setField(Text18, run.format(L3, "###0.00"));
    run.setField(Text19, run.format(G3, "###0.00"));

    run.set(l20, run.format(ratio3, "#0.00"));
    run.set(l21, run.format(ntu3, "###0.00"));
    run.set(l23, run.format(t3, "##0.00"));
    run.set(l22, run.format(Q3, "###0.00"));
    run.set(l13, run.format(coolingDegree, "0.000"));
    run.set(l14, run.format(range, "#0.0"));
    run.set(l15, run.format(approach, "#0.0"));

    run.set(l24, run.format(taOut, "##0.00"));
    run.set(l25, run.format(outlet->wetBulb, "##0.00"));
    run.set(l26, run.format(hOut, "##00.00"));
    run.set(l27, run.format(outlet->absoluteHumidity, "0.00000"));
    run.set(l28, run.format(outlet->relativeHumidity, "##0.0"));

    run.succeed(nullptr);
}

void calculateCounterFlow4(Run& run) {
    using namespace cf4;
    if (!run.allFieldsFilled())
        return;
    const auto inputs = run.fieldNumbers({Text1, Text29, Text2, Text3});
    if (!inputs)
        return;
    const auto [Q4, T4, tdb4, twb4] = *inputs;
    if (!run.checkAirTemperatures(twb4, tdb4, {Text2, Text3}, Text2))
        return;

    // The tower of Problem 3, as its window shows it, and the pressure of Problem 1.
    const QString ntu3Text = run.of(3, cf3::l21);
    const QString l3Text = run.of(3, cf3::Text18);
    const QString g3Text = run.of(3, cf3::Text19);
    const QString tin3Text = run.of(3, cf3::l3);
    const QString tout3Text = run.of(3, cf3::l23);
    const QString q3Text = run.of(3, cf3::l22);
    const QString pText = run.of(1, cf1::Text5);
    const auto problem3 =
        run.numbers({ntu3Text, l3Text, g3Text, pText, tin3Text, tout3Text, q3Text},
                    QStringLiteral("Problem 3 has not been calculated yet: calculate it first."));
    if (!problem3)
        return;
    const auto [ntu3, L3, G3field, p, tin3, tout3, q3] = *problem3;
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
        counterflow::findWaterFlow({Q4, T4, twb4, tdb4, hIn, p}, {ntu3, L3, G3, ratio3});
    if (search.status != counterflow::Status::Ok) {
        run.refuse(counterflow::refusalText(search.status));
        return;
    }
    const double t4 = search.waterOut;
    const double coolingDegree = (T4 - t4) / (T4 - twb4);
    const double range = T4 - t4;
    const double approach = t4 - twb4;

    // Outlet air.
    const double taOut = search.fill.airTempOut;
    const double hOut = search.fill.airEnthalpyOut;
    const auto outlet = run.airState(2, p, taOut, hOut, QStringLiteral("outlet air (4)"));
    if (!outlet)
        return;
    traceFill(run, {t4, T4, search.waterFlow, search.airFlow, p, hIn, tdb4});

    // Every result is in hand: show them.
    run.set(l4, ntu3Text);
    run.set(l5, l3Text);
    run.set(l6, run.format(ratio3, "#0.00"));
    run.set(l7, tin3Text);
    run.set(l20, tout3Text);
    run.set(l8, q3Text);
    run.set(l9, pText);

    run.setField(Text1, run.format(Q4, "###0.00"));
    run.setField(Text29, run.format(T4, "##0.00"));
    run.setField(Text2, run.format(tdb4, "##0.00"));
    run.setField(Text3, run.format(twb4, "##0.00"));

    run.set(l10, run.format(tdb4, "##0.0"));
    run.set(l11, run.format(twb4, "##0.0"));
    run.set(l12, run.format(hIn, "####0.0000"));
    run.set(l13, run.format(inlet->relativeHumidity, "##0.0"));
    run.set(l14, run.format(inlet->absoluteHumidity, "0.00000"));

    run.set(l21, run.format(search.waterFlow, "##0.00"));
    run.set(l22, run.format(search.airFlow, "##0.00"));
    run.set(l23, run.format(ratio3, "#0.000"));
    run.set(l24, run.format(t4, "##0.00"));
    run.set(l28, run.format(search.ntu, "##0.00"));

    run.set(l15, run.format(taOut, "##0.00"));
    run.set(l16, run.format(outlet->wetBulb, "##0.00"));
    run.set(l17, run.format(hOut, "##00.00"));
    run.set(l18, run.format(outlet->relativeHumidity, "##0.0"));
    run.set(l19, run.format(outlet->absoluteHumidity, "0.00000"));

    run.set(l25, run.format(coolingDegree, "0.000"));
    run.set(l26, run.format(range, "#0.0"));
    run.set(l27, run.format(approach, "#0.0"));

    run.succeed(nullptr);
}

} // namespace engine
