// The cross-flow Problems: 1 (Form8), 2 (Form6, the acceptance test), 3 (Form9, new flow
// rates) and 4 (Form4, the water flow for a desired heat).

#include "core/crossflow.h"
#include "core/ntuscaling.h"
#include "engine/controls.h"
#include "engine/crossflowrefusal.h"
#include "engine/problemone.h"
#include "engine/run.h"

namespace engine {

namespace {

const QString kCompleted = QStringLiteral("Calculation has successfully complited");
const QString kCompletedTypo = QStringLiteral("Calculation has successfuly complited");
const QString kProblem1NotCalculated =
    QStringLiteral("Problem 1 has not been calculated yet: calculate it first.");
const QString kProblem1Incomplete =
    QStringLiteral("The data of Problem 1 are incomplete: enter and calculate them first.");

// The sweep at a search's result, with air temperatures, written into the trace.
void traceSweep(Run& run, crossflow::SweepInput in) {
    if (crossflow::FillCell* cells = run.traceCells()) {
        in.airTemperatures = true;
        in.cells = cells;
        crossflow::sweep(in);
    }
}

} // namespace

void calculateCrossFlow1(Run& run) {
    using namespace xf1;
    const auto measured = problemone::readMeasured(run, {Text4, Text3});
    if (!measured)
        return;
    const auto [L, G, Tin, Tout, p, tdb, rh] = *measured;
    if (!(L > 0) || !(G > 0)) {
        run.refuse(crossflow::refusalText(crossflow::Status::NonPositiveFlow));
        return;
    }

    // Inlet air, as the moist-air calculator shows it.
    const auto inlet = run.airState(3, p, tdb, rh, QStringLiteral("inlet air"));
    if (!inlet)
        return;
    const double twbIn = inlet->wetBulb;
    if (!(Tin > twbIn)) {
        run.refuse(crossflow::refusalText(crossflow::Status::WaterNotAboveWetBulb));
        return;
    }

    run.busy(); // the checks have passed: the long search starts

    const crossflow::NtuResult search =
        crossflow::searchNtu({L, G, Tin, Tout, inlet->enthalpy, tdb, twbIn, p});
    if (search.status != crossflow::Status::Ok) {
        run.refuse(crossflow::refusalText(search.status));
        return;
    }
    const double taOut = search.sweep.airDryBulbOutMean;
    const double hOut = search.sweep.airEnthalpyOutMean;

    // The measured outlet temperature gives the indicators, not the computed mean.
    const double Q = crossflow::kSpecificHeatWater * (Tin - Tout) * L;
    const double coolingDegree = (Tin - Tout) / (Tin - twbIn);
    const double range = Tin - Tout;
    const double approach = Tout - twbIn;

    // Outlet air.
    const auto outlet = run.airState(2, p, taOut, hOut, QStringLiteral("outlet air"));
    if (!outlet)
        return;
    crossflow::SweepInput found;
    found.ntu = search.ntu;
    found.waterFlow = L;
    found.airFlow = G;
    found.waterIn = Tin;
    found.airEnthalpyIn = inlet->enthalpy;
    found.airDryBulbIn = tdb;
    found.pressure = p;
    found.bracketLow = twbIn;
    traceSweep(run, found);

    // Every result is in hand: show them.
    problemone::showResults(run,
                            {.ntu = lbl2,
                             .heat = lbl10,
                             .coolingDegree = lbl16,
                             .range = lbl17,
                             .approach = lbl18,
                             .outletDryBulb = lbl11,
                             .outletWetBulb = lbl12,
                             .outletEnthalpy = lbl13,
                             .outletRelativeHumidity = lbl14,
                             .outletHumidity = lbl15,
                             .inletWetBulb = lbl9,
                             .inletEnthalpy = lbl19,
                             .inletHumidity = lbl20},
                            *measured,
                            {.ntu = search.ntu,
                             .heat = Q,
                             .coolingDegree = coolingDegree,
                             .range = range,
                             .approach = approach,
                             .inlet = *inlet,
                             .outletDryBulb = taOut,
                             .outletEnthalpy = hOut,
                             .outlet = *outlet},
                            "###0.00", "###0.00");
    const QString status = problemone::completionStatus(run, kCompletedTypo, lbl14);
    run.succeed(&status);
}

void calculateCrossFlow2(Run& run) {
    using namespace xf2;
    const QString title = applicationTitle();
    if (!run.allFieldsFilled(title, MessageIcon::None))
        return;
    const auto design = run.fieldNumbers({Text16, Text17, Text14, Text15, Text18, Text19});
    if (!design)
        return;
    const auto [Ld, Gd, TinD, ToutD, twbD, tdbD] = *design;
    if (!run.checkWaterTemperatures(TinD, ToutD, title, MessageIcon::None, {Text14, Text15},
                                    Text14))
        return;
    if (!run.checkAirTemperatures(twbD, tdbD, {Text18, Text19}, Text18))
        return;

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
    const QString lText = run.of(1, xf1::Text1);
    const QString gText = run.of(1, xf1::Text8);
    const QString pText = run.of(1, xf1::Text5);
    const auto NTU1 = run.number(run.of(1, xf1::lbl2));
    if (!NTU1) {
        run.refuse(kProblem1NotCalculated);
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
    crossflow::SweepInput in;
    in.ntu = *NTU1;
    in.waterFlow = L;
    in.airFlow = G;
    in.waterIn = TinD;
    in.airEnthalpyIn = hIn;
    in.airDryBulbIn = tdbD;
    in.pressure = p;
    in.bracketLow = 0;
    in.airTemperatures = true;
    in.cells = run.traceCells();
    const crossflow::SweepResult fill = crossflow::sweep(in);
    if (fill.status != crossflow::Status::Ok) {
        run.refuse(crossflow::refusalText(fill.status));
        return;
    }
    const double Tout2 = fill.waterOutMean;
    const double Qa = (TinD - Tout2) * crossflow::kSpecificHeatWater * L;
    const double deviation = (Qa - Qd) / Qd * 100;
    const double coolingDegree = (TinD - Tout2) / (TinD - twbD);
    const double range = TinD - Tout2;
    const double approach = Tout2 - twbD;

    // Outlet air.
    const auto outlet = run.airState(2, p, fill.airDryBulbOutMean, fill.airEnthalpyOutMean,
                                     QStringLiteral("outlet air"));
    if (!outlet)
        return;

    // Every result is in hand: show them.
    run.set(l1, lText);
    run.set(l8, gText);
    run.set(l5, pText);
    run.setField(Text16, run.format(Ld, "###0.00"));
    run.setField(Text17, run.format(Gd, "###0.00"));
    run.setField(Text14, run.format(TinD, "##0.00"));
    run.setField(Text15, run.format(ToutD, "##0.00"));
    run.setField(Text18, run.format(twbD, "##0.00"));
    run.setField(Text19, run.format(tdbD, "##0.00"));

    run.set(l20, run.generalText(Qd));
    run.set(l6, run.format(tdbD, "##0.00"));
    run.set(l9, run.format(twbD, "##0.00"));
    run.set(l3, run.format(TinD, "##0.00"));
    run.set(l4, run.format(Tout2, "##0.00"));
    run.set(l10, run.format(Qa, "###0.00"));
    run.set(l28, run.format(deviation, "##0.0"));
    run.set(l2, run.format(*NTU1, "###0.00"));
    run.set(l11, run.format(coolingDegree, "0.000"));
    run.set(l12, run.format(range, "#0.0"));
    run.set(l13, run.format(approach, "#0.0"));
    run.set(l50, run.t(Text19));
    run.set(l51, run.t(Text18));
    run.set(l25, run.format(hIn, "###0.00"));
    run.set(l26, run.format(inlet->relativeHumidity, "##0.0"));
    run.set(l27, run.format(inlet->absoluteHumidity, "0.00000"));
    run.set(l7, run.format(fill.airDryBulbOutMean, "##0.00"));
    run.set(l21, run.format(outlet->wetBulb, "##0.00"));
    run.set(l22, run.format(fill.airEnthalpyOutMean, "###0.00"));
    run.set(l23, run.format(outlet->relativeHumidity, "##0.0"));
    run.set(l24, run.format(outlet->absoluteHumidity, "0.00000"));

    run.succeed(&kCompletedTypo);
}

void calculateCrossFlow3(Run& run) {
    using namespace xf3;
    if (!run.allFieldsFilled())
        return;
    const auto newFlows = run.fieldNumbers({Text18, Text19});
    if (!newFlows)
        return;
    const auto [L3, G3] = *newFlows;

    // Problem 1 as its window shows it; each copy is formatted here before it is used.
    const auto ntuText = run.number(run.of(1, xf1::lbl2));
    if (!ntuText) {
        run.refuse(kProblem1NotCalculated);
        return;
    }
    const auto measured1 = run.numbers(
        {run.of(1, xf1::Text1), run.of(1, xf1::Text3), run.of(1, xf1::Text4), run.of(1, xf1::Text8),
         run.of(1, xf1::Text5), run.of(1, xf1::Text6), run.of(1, xf1::Text7)},
        kProblem1Incomplete);
    if (!measured1)
        return;
    if (!run.numbers({run.of(1, xf1::lbl10), run.of(1, xf1::lbl11), run.of(1, xf1::lbl12),
                      run.of(1, xf1::lbl13), run.of(1, xf1::lbl14), run.of(1, xf1::lbl15)},
                     kProblem1NotCalculated))
        return;
    const auto [L1in, Tin1, Tout1, G1in, p1, tdb1, rh1] = *measured1;
    const QString l1Text = run.format(L1in, "###0.00");
    const QString l3Text = run.format(Tin1, "##0.00");
    const QString l4Text = run.of(1, xf1::Text4);
    const QString l8Text = run.format(G1in, "###0.00");
    const QString l5Text = run.format(p1, "#0.000");
    const QString l6Text = run.format(tdb1, "##0.00");
    const QString l7Text = run.format(rh1, "##0.0");
    const QString l2Text = run.format(*ntuText, "###0.00");
    const QString l10Text = run.of(1, xf1::lbl10);

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
    crossflow::SweepInput in;
    in.ntu = NTU3;
    in.waterFlow = L3;
    in.airFlow = G3;
    in.waterIn = Tin;
    in.airEnthalpyIn = hIn;
    in.airDryBulbIn = tdbIn;
    in.pressure = p;
    in.bracketLow = twbIn;
    in.airTemperatures = true;
    in.cells = run.traceCells();
    const crossflow::SweepResult fill = crossflow::sweep(in);
    if (fill.status != crossflow::Status::Ok) {
        run.refuse(crossflow::refusalText(fill.status));
        return;
    }
    const double t3 = fill.waterOutMean;
    const double Q3 = (Tin - t3) * crossflow::kSpecificHeatWater * L3;
    const double coolingDegree = (Tin - t3) / (Tin - twbIn);
    const double range = Tin - t3;
    const double approach = t3 - twbIn;

    // Outlet air.
    const auto outlet = run.airState(2, p, fill.airDryBulbOutMean, fill.airEnthalpyOutMean,
                                     QStringLiteral("outlet air"));
    if (!outlet)
        return;

    // Every result is in hand: show them.
    run.set(l1, l1Text);
    run.set(l3, l3Text);
    run.set(l4, l4Text);
    run.set(l8, l8Text);
    run.set(l5, l5Text);
    run.set(l6, l6Text);
    run.set(l7, l7Text);
    run.set(l2, l2Text);
    run.set(l10, l10Text);
    run.set(l29, run.of(1, xf1::lbl11));
    run.set(l30, run.of(1, xf1::lbl12));
    run.set(l31, run.of(1, xf1::lbl13));
    run.set(l32, run.of(1, xf1::lbl14));
    run.set(l33, run.of(1, xf1::lbl15));

    run.set(l9, run.format(twbIn, "##0.00"));
    run.set(l11, run.format(hIn, "###0.00"));
    run.set(l12, run.format(inlet->absoluteHumidity, "0.00000"));
    run.set(l20, run.format(L3 / G3, "#0.00"));
    run.set(l21, run.format(NTU3, "###0.000"));
    run.set(l22, run.format(Q3, "###0.00"));
    run.set(l23, run.format(t3, "##0.00"));
    run.set(l13, run.format(coolingDegree, "0.000"));
    run.set(l14, run.format(range, "#0.0"));
    run.set(l15, run.format(approach, "#0.0"));
    run.set(l24, run.format(fill.airDryBulbOutMean, "##0.00"));
    run.set(l25, run.format(outlet->wetBulb, "##0.00"));
    run.set(l26, run.format(fill.airEnthalpyOutMean, "###0.00"));
    run.set(l28, run.format(outlet->relativeHumidity, "##0.0"));
    run.set(l27, run.format(outlet->absoluteHumidity, "0.00000"));

    run.succeed(&kCompletedTypo);
}

void calculateCrossFlow4(Run& run) {
    using namespace xf4;
    if (!run.allFieldsFilled())
        return;
    const auto inputs = run.fieldNumbers({Text7, Text4, Text6, Text5});
    if (!inputs)
        return;
    const auto [Q4, T4, tdb4, twb4] = *inputs;
    if (!run.checkAirTemperatures(twb4, tdb4, {Text5, Text6}, Text5))
        return;

    // Problem 3 as its window shows it; the calculation uses the texts as copied, the labels
    // show them formatted.
    const QString ntu3Text = run.of(3, xf3::l21);
    const QString l3Text = run.of(3, xf3::Text18);
    const auto calculated3 =
        run.numbers({ntu3Text, run.of(3, xf3::l3), run.of(3, xf3::l22), run.of(3, xf3::l23)},
                    QStringLiteral("Problem 3 has not been calculated yet: calculate it first."));
    if (!calculated3)
        return;
    const double NTU3 = calculated3->front();
    const auto flows3 = run.numbers({l3Text, run.of(3, xf3::Text19)},
                                    QStringLiteral("The flow rates of Problem 3 are incomplete: "
                                                   "enter them and calculate Problem 3 first."));
    if (!flows3)
        return;
    const auto [L3, G3] = *flows3;
    const QString pText = run.of(1, xf1::Text5);
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

    crossflow::FlowSearchInput in;
    in.heat = Q4;
    in.waterIn = T4;
    in.airEnthalpyIn = hIn;
    in.airDryBulbIn = tdb4;
    in.airWetBulbIn = twb4;
    in.pressure = *p;
    in.ntu3 = NTU3;
    in.waterFlow3 = L3;
    in.airFlow3 = G3;
    run.busy(); // the checks have passed: the long search starts
    const crossflow::FlowResult flow = crossflow::searchWaterFlow(in);
    if (flow.status != crossflow::Status::Ok) {
        run.refuse(crossflow::refusalText(flow.status));
        return;
    }
    const double t4 = flow.waterOut;
    const double coolingDegree = (T4 - t4) / (T4 - twb4);
    const double range = T4 - t4;
    const double approach = t4 - twb4;
    const double taOut = flow.sweep.airDryBulbOutMean;
    const double hOut = flow.sweep.airEnthalpyOutMean;

    // Outlet air.
    const auto outlet = run.airState(2, *p, taOut, hOut, QStringLiteral("outlet air"));
    if (!outlet)
        return;
    crossflow::SweepInput found;
    found.ntu = flow.ntu;
    found.waterFlow = flow.waterFlow;
    found.airFlow = flow.airFlow;
    found.waterIn = T4;
    found.airEnthalpyIn = hIn;
    found.airDryBulbIn = tdb4;
    found.pressure = *p;
    found.bracketLow = twb4;
    traceSweep(run, found);

    // Every result is in hand: show them.
    run.set(Label11, run.format(NTU3, "#0.00"));
    run.set(l5, run.format(L3, "#0.00"));
    run.set(l6, run.format(ratio3, "#0.00"));
    run.set(l7, run.of(3, xf3::l3));
    run.set(l20, run.of(3, xf3::l23));
    run.set(l8, run.of(3, xf3::l22));
    run.set(l9, pText);

    run.setField(Text7, run.format(Q4, "####0.00"));
    run.setField(Text4, run.format(T4, "##0.00"));
    run.setField(Text6, run.format(tdb4, "##0.00"));
    run.setField(Text5, run.format(twb4, "##0.00"));

    run.set(l10, run.format(tdb4, "##0.0"));
    run.set(l11, run.format(twb4, "##0.0"));
    run.set(l12, run.format(hIn, "###0.00"));
    run.set(l13, run.format(inlet->relativeHumidity, "##0.0"));
    run.set(l14, run.format(inlet->absoluteHumidity, "0.00000"));

    run.set(l21, run.format(flow.waterFlow, "###0.00"));
    run.set(l22, run.format(flow.airFlow, "###0.00"));
    run.set(l23, run.format(ratio3, "#0.00"));
    run.set(l17, run.format(hOut, "###0.00"));
    run.set(l15, run.format(taOut, "##0.00"));
    run.set(l28, run.format(flow.ntu, "###0.00"));
    run.set(l16, run.format(outlet->wetBulb, "##0.00"));
    run.set(l18, run.format(outlet->relativeHumidity, "##0.0"));
    run.set(l19, run.format(outlet->absoluteHumidity, "0.00000"));
    run.set(l24, run.format(t4, "##0.0"));
    run.set(l25, run.format(coolingDegree, "0.000"));
    run.set(l26, run.format(range, "#0.0"));
    run.set(l27, run.format(approach, "#0.0"));

    run.succeed(&kCompleted);
}

} // namespace engine
