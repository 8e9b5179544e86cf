// The cross-flow core: cell sweep, NTU search and water-flow search, and the NTU scaling law.

#include "core/crossflow.h"
#include "core/ntuscaling.h"
#include "core/psychro.h"
#include "engine/numtext.h"

#include <QTest>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

using namespace crossflow;

Q_DECLARE_METATYPE(crossflow::Status)
Q_DECLARE_METATYPE(crossflow::SweepInput)
Q_DECLARE_METATYPE(crossflow::NtuSearchInput)
Q_DECLARE_METATYPE(crossflow::FlowSearchInput)

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// A value as a window shows it in `pattern`.
std::string shownText(double value, const char* pattern) {
    return numtext::fixedText(value, numtext::parsePattern(pattern));
}
double shown(double value, const char* pattern) {
    return std::stod(shownText(value, pattern));
}

// Inlet air (wet bulb, enthalpy) as the windows read it from Form11: 2 and 4 decimals.
std::pair<double, double> inletAir(psychro::Given given, double p, double tdb, double second) {
    const psychro::AirResult a = psychro::moistAirState(given, p, tdb, second);
    if (a.status != psychro::AirStatus::Ok)
        return {kNaN, kNaN};
    return {shown(a.state.wetBulb, "###0.00"), shown(a.state.enthalpy, "####0.0000")};
}

NtuSearchInput ntuInput(double l, double g, double tin, double tout, double p, double tdb,
                        double rh) {
    const auto [twb, h] = inletAir(psychro::Given::RelativeHumidity, p, tdb, rh);
    return {l, g, tin, tout, h, tdb, twb, p};
}

// Problem 1 cross flow with the window's default inputs.
NtuSearchInput problem1Defaults() {
    return ntuInput(90, 70, 37, 34, 1, 28, 55);
}

SweepInput sweepOf(const NtuSearchInput& p1, double ntu) {
    return {ntu,         p1.waterFlow,    p1.airFlow, p1.waterIn, p1.airEnthalpyIn, p1.airDryBulbIn,
            p1.pressure, p1.airWetBulbIn, true};
}

// Problem 4 with its default inputs, chained from the default Problems 1 and 3 (new flows 35
// and 25 kg/s) through the texts the windows show: NTU1 with 2 decimals, NTU3 with 3.
FlowSearchInput problem4Defaults() {
    const double ntu1 = shown(searchNtu(problem1Defaults()).ntu, "###0.00");
    const double ntu3 = shown(ntuscaling::scaledNtu(ntu1, 90, 70, 35, 25), "###0.000");
    const double h = inletAir(psychro::Given::WetBulb, 1, 28, 22).second;
    return {500, 35, h, 28, 22, 1, ntu3, 35, 25};
}

bool finiteSweep(const SweepResult& r) {
    return std::isfinite(r.waterOutMean) && std::isfinite(r.airEnthalpyOutMean) &&
           std::isfinite(r.airDryBulbOutMean);
}

// Whether two sweeps agree to the last bit: status, failing cell, pass counts, every outlet and
// every cell written.
bool identical(const SweepResult& a, const SweepResult& b) {
    auto sameBits = [](const auto& x, const auto& y) { return std::memcmp(&x, &y, sizeof x) == 0; };
    return a.status == b.status && a.failedColumn == b.failedColumn && a.failedRow == b.failedRow &&
           a.cellPasses == b.cellPasses && a.maxCellPasses == b.maxCellPasses &&
           sameBits(a.waterOutMean, b.waterOutMean) &&
           sameBits(a.airEnthalpyOutMean, b.airEnthalpyOutMean) &&
           sameBits(a.airDryBulbOutMean, b.airDryBulbOutMean) && sameBits(a.waterOut, b.waterOut) &&
           sameBits(a.airEnthalpyOut, b.airEnthalpyOut) &&
           sameBits(a.airDryBulbOut, b.airDryBulbOut);
}

// sweep() and the pass-by-pass bisection on the same input, cells included.
bool sweepsAgree(SweepInput in) {
    std::array<FillCell, kCells * kCells> fast{};
    std::array<FillCell, kCells * kCells> plain{};
    in.cells = fast.data();
    const SweepResult a = sweep(in);
    in.cells = plain.data();
    const SweepResult b = sweepPassByPass(in);
    return identical(a, b) && std::memcmp(fast.data(), plain.data(), sizeof fast) == 0;
}

} // namespace

class TestCrossflowCore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void scaledNtu();
    void defaultProblem1();
    void inletEqualsOutletGivesNtuZero();
    void sweepOverNtu();
    void sweepBalancesWaterAndAirHeat_data();
    void sweepBalancesWaterAndAirHeat();
    void smallNtuMatchesLinearisedExchange();
    void defaultProblem4();
    void problem4StallIsAcceptedWithinBound();
    void sweepRefusals_data();
    void sweepRefusals();
    void sweepFollowsEveryPassOfTheBisection_data();
    void sweepFollowsEveryPassOfTheBisection();
    void ntuRefusals_data();
    void ntuRefusals();
    void flowRefusals_data();
    void flowRefusals();
    void ntuSearchConvergesOverTheFieldRanges();
    void flowSearchConvergesOverTheFieldRanges();
    void singleSweepEndsOverTheFieldRanges_data();
    void singleSweepEndsOverTheFieldRanges();
};

void TestCrossflowCore::scaledNtu() {
    // Hand-computed: 17.97 x 35/90 x ((90/70)/(35/25))^0.72 = 17.97 x 0.388889 x 0.940528.
    QVERIFY(std::fabs(ntuscaling::scaledNtu(17.97, 90, 70, 35, 25) - 6.5727) < 1e-4);
    QCOMPARE(ntuscaling::scaledNtu(12.5, 90, 70, 90, 70), 12.5);
    QVERIFY(std::fabs(ntuscaling::scaledNtu(2, 35, 25, 70, 50) - 4) < 1e-12); // same L/G
    QVERIFY(std::isnan(ntuscaling::scaledNtu(2, 0, 25, 70, 50)));
    QVERIFY(std::isnan(ntuscaling::scaledNtu(2, 35, 25, 70, -1)));
}

void TestCrossflowCore::defaultProblem1() {
    const NtuSearchInput in = problem1Defaults();
    QCOMPARE(in.airWetBulbIn, 21.13);
    const NtuResult r = searchNtu(in);
    QCOMPARE(r.status, Status::Ok);
    QVERIFY(std::fabs(r.sweep.waterOutMean - in.waterOut) < kOutletTolerance);
    // The refinement runs between the last two coarse trials, 5 apart.
    QVERIFY(r.ntu >= kCoarseStep * (r.coarseTrials - 2));
    QVERIFY(r.ntu <= kCoarseStep * (r.coarseTrials - 1));
    // Regression values of the displays lbl2, lbl13 and lbl11.
    QCOMPARE(shownText(r.ntu, "###0.00"), std::string("17.97"));
    QCOMPARE(shownText(r.sweep.airEnthalpyOutMean, "###0.00"), std::string("78.00"));
    QCOMPARE(shownText(r.sweep.airDryBulbOutMean, "##0.00"), std::string("29.68"));
}

void TestCrossflowCore::inletEqualsOutletGivesNtuZero() {
    NtuSearchInput in = problem1Defaults();
    in.waterOut = in.waterIn;
    const NtuResult r = searchNtu(in);
    QCOMPARE(r.status, Status::Ok);
    QCOMPARE(r.ntu, 0.0);
    QCOMPARE(r.coarseTrials, 1);
    QCOMPARE(r.refinementPasses, 1);
    QVERIFY(r.sweep.waterOutMean < in.waterIn);
    QVERIFY(std::fabs(r.sweep.waterOutMean - in.waterOut) < kOutletTolerance);
    // No transfer units: the air leaves as it came.
    QVERIFY(std::fabs(r.sweep.airEnthalpyOutMean - in.airEnthalpyIn) < 1e-9);
    QVERIFY(std::fabs(r.sweep.airDryBulbOutMean - in.airDryBulbIn) < 1e-9);
}

void TestCrossflowCore::sweepOverNtu() {
    const NtuSearchInput p1 = problem1Defaults();
    double previous = p1.waterIn;
    for (double ntu : {0.0, 0.5, 2.0, 5.0, 18.0, 50.0, 100.0, 200.0}) {
        SweepInput in = sweepOf(p1, ntu);
        const SweepResult r = sweep(in);
        QCOMPARE(r.status, Status::Ok);
        // More transfer units cool more.
        QVERIFY2(r.waterOutMean < previous, qPrintable(QString::number(ntu)));
        previous = r.waterOutMean;
        // Every column leaves between the wet bulb and the inlet; Tm is their plain mean.
        double sum = 0;
        for (double t : r.waterOut) {
            QVERIFY(t >= p1.airWetBulbIn && t < p1.waterIn);
            sum += t;
        }
        QVERIFY(std::fabs(sum / kCells - r.waterOutMean) < 1e-12);
        for (double h : r.airEnthalpyOut)
            QVERIFY(h >= p1.airEnthalpyIn - 1e-9);
        // Without the air temperature line the dry bulb passes through and nothing else moves.
        in.airTemperatures = false;
        const SweepResult plain = sweep(in);
        QCOMPARE(plain.airDryBulbOutMean, p1.airDryBulbIn);
        QCOMPARE(plain.waterOutMean, r.waterOutMean);
        QCOMPARE(plain.airEnthalpyOutMean, r.airEnthalpyOutMean);
    }
}

void TestCrossflowCore::sweepBalancesWaterAndAirHeat_data() {
    QTest::addColumn<SweepInput>("input");
    const SweepInput d = sweepOf(problem1Defaults(), 18);
    QTest::newRow("defaults") << d;
    QTest::newRow("small flows") << SweepInput{3, 10, 10, 37, d.airEnthalpyIn, 28, 1, 21.13, true};
    QTest::newRow("much air") << SweepInput{40, 20, 200, 37, d.airEnthalpyIn, 28, 1, 21.13, true};
    QTest::newRow("much water") << SweepInput{60, 200, 30, 37, d.airEnthalpyIn, 28, 1, 21.13, true};
    // Problem 2 defaults: Tin,d 34, twb,d 21, tdb,d 25, the cell bracket opens at 0 degC.
    const double h2 = inletAir(psychro::Given::WetBulb, 1, 25, 21).second;
    QTest::newRow("problem 2 bracket") << SweepInput{17.97, 90, 70, 34, h2, 25, 1, 0, true};
}

void TestCrossflowCore::sweepBalancesWaterAndAirHeat() {
    QFETCH(SweepInput, input);
    const SweepResult r = sweep(input);
    QCOMPARE(r.status, Status::Ok);
    QVERIFY(finiteSweep(r));
    const double water = (input.waterIn - r.waterOutMean) * kSpecificHeatWater * input.waterFlow;
    const double air = (r.airEnthalpyOutMean - input.airEnthalpyIn) * input.airFlow;
    // Each of the 400 cells balances to the cell tolerance.
    QVERIFY2(std::fabs(water - air) < kCells * kCells * kCellTolerance + 1e-9,
             qPrintable(QString::number(water - air)));
    QVERIFY(water > 0);
}

void TestCrossflowCore::smallNtuMatchesLinearisedExchange() {
    // For a small NTU every cell sees the inlet driving forces: Q = NTU (hs(Tin) - h,in) and
    // the air dry bulb rises by NTU / G (Tin - tdb), both to within 1 % (the neglected terms
    // are of first order in NTU).
    const NtuSearchInput p1 = problem1Defaults();
    const double ntu = 0.05;
    const SweepResult r = sweep(sweepOf(p1, ntu));
    QCOMPARE(r.status, Status::Ok);
    const double q = (p1.waterIn - r.waterOutMean) * kSpecificHeatWater * p1.waterFlow;
    const double expectedQ =
        ntu * (psychro::saturatedEnthalpy(p1.waterIn, p1.pressure) - p1.airEnthalpyIn);
    QVERIFY2(std::fabs(q / expectedQ - 1) < 0.01, qPrintable(QString::number(q / expectedQ)));
    const double rise = r.airDryBulbOutMean - p1.airDryBulbIn;
    const double expectedRise = ntu / p1.airFlow * (p1.waterIn - p1.airDryBulbIn);
    QVERIFY2(std::fabs(rise / expectedRise - 1) < 0.01,
             qPrintable(QString::number(rise / expectedRise)));
}

void TestCrossflowCore::defaultProblem4() {
    const FlowSearchInput in = problem4Defaults();
    const FlowResult r = searchWaterFlow(in);
    QCOMPARE(r.status, Status::Ok);
    QVERIFY(r.metTolerance);
    const double q = kSpecificHeatWater * r.waterFlow * (in.waterIn - r.waterOut);
    QVERIFY2(std::fabs(q - in.heat) < kHeatTolerance, qPrintable(QString::number(q - in.heat)));
    QCOMPARE(r.waterOut, r.sweep.waterOutMean);
    // L/G held at that of Problem 3, so NTU4 = NTU3 x L4 / L3.
    QVERIFY(std::fabs(r.airFlow - r.waterFlow / (35.0 / 25.0)) < 1e-9 * r.airFlow);
    QVERIFY(std::fabs(r.ntu - in.ntu3 * r.waterFlow / 35) < 1e-9 * r.ntu);
    QVERIFY(r.waterFlow > in.heat / (kSpecificHeatWater * (in.waterIn - in.airWetBulbIn)));
    QVERIFY(r.waterFlow < in.heat / (kSpecificHeatWater * kSmallestRange));
    QVERIFY(r.waterOut > in.airWetBulbIn && r.waterOut < in.waterIn);
    QVERIFY(finiteSweep(r.sweep));
}

void TestCrossflowCore::problem4StallIsAcceptedWithinBound() {
    // A tolerance no flow rate meets: the bracket shrinks to adjacent numbers, the search stops
    // there and accepts the last pass, whose error is within the resolution of a sweep.
    FlowSearchInput in = problem4Defaults();
    in.heatTolerance = 1e-300;
    const FlowResult r = searchWaterFlow(in);
    QCOMPARE(r.status, Status::Ok);
    QVERIFY(!r.metTolerance);
    QVERIFY(r.passes < kFlowMaxPasses);
    QVERIFY(std::fabs(r.heat - in.heat) <= kHeatAcceptBound);
}

void TestCrossflowCore::sweepRefusals_data() {
    QTest::addColumn<SweepInput>("input");
    QTest::addColumn<Status>("expected");
    const SweepInput ok = sweepOf(problem1Defaults(), 18);
    auto row = [&](const char* name, Status expected, auto change) {
        SweepInput in = ok;
        change(in);
        QTest::newRow(name) << in << expected;
    };
    row("zero water flow", Status::NonPositiveFlow, [](SweepInput& s) { s.waterFlow = 0; });
    row("zero air flow", Status::NonPositiveFlow, [](SweepInput& s) { s.airFlow = 0; });
    row("negative air flow", Status::NonPositiveFlow, [](SweepInput& s) { s.airFlow = -70; });
    row("negative NTU", Status::InvalidInput, [](SweepInput& s) { s.ntu = -1; });
    row("NaN enthalpy", Status::InvalidInput, [](SweepInput& s) { s.airEnthalpyIn = kNaN; });
    row("infinite inlet", Status::InvalidInput, [](SweepInput& s) { s.waterIn = kInf; });
    row("zero pressure", Status::InvalidInput, [](SweepInput& s) { s.pressure = 0; });
    row("inlet at the wet bulb", Status::WaterNotAboveWetBulb,
        [](SweepInput& s) { s.waterIn = s.bracketLow; });
    row("boiling water", Status::SaturationAbovePressure, [](SweepInput& s) {
        s.waterIn = 99;
        s.pressure = 0.9;
    });
    // hs(37 degC) is about 143 kJ/kg.
    row("air above saturation", Status::CellAboveSaturation,
        [](SweepInput& s) { s.airEnthalpyIn = 200; });
    // Very many transfer units per kg of water: the water would cool below the bracket.
    row("water below the bracket", Status::CellBelowBracket, [](SweepInput& s) {
        s.bracketLow = 36.9;
        s.ntu = 400;
        s.waterFlow = 10;
    });
    row("overflow", Status::NonFinite, [](SweepInput& s) { s.airEnthalpyIn = 1e308; });
}

void TestCrossflowCore::sweepRefusals() {
    QFETCH(SweepInput, input);
    QFETCH(Status, expected);
    const SweepResult r = sweep(input);
    QCOMPARE(r.status, expected);
    const bool inCell = expected == Status::CellAboveSaturation ||
                        expected == Status::CellBelowBracket || expected == Status::NonFinite;
    QCOMPARE(r.failedColumn > 0 && r.failedRow > 0, inCell);
    if (inCell)
        QCOMPARE(r.maxCellPasses, kCellMaxPasses);
    QVERIFY(std::string(statusText(expected)).size() > 10);
}

void TestCrossflowCore::sweepFollowsEveryPassOfTheBisection_data() {
    // The sweep skips the passes whose outcome the heat balance's slope decides; it must end
    // every cell's bisection exactly where evaluating each pass does, refusals included.
    QTest::addColumn<SweepInput>("input");
    const NtuSearchInput p1 = problem1Defaults();
    for (double ntu : {0.0, 1e-9, 0.5, 17.97, 100.0, 495.0, 1e6})
        QTest::addRow("defaults, NTU %g", ntu) << sweepOf(p1, ntu);
    SweepInput dryBulbOnly = sweepOf(p1, 17.97);
    dryBulbOnly.airTemperatures = false;
    QTest::newRow("without air temperatures") << dryBulbOnly;
    const double h2 = inletAir(psychro::Given::WetBulb, 1, 25, 21).second;
    QTest::newRow("problem 2 bracket from 0 degC")
        << SweepInput{17.97, 90, 70, 34, h2, 25, 1, 0, true};
    // Cold air: the water crosses 0 degC, where the saturation fits step from water to ice.
    const auto [twbCold, hCold] = inletAir(psychro::Given::RelativeHumidity, 1, -8, 60);
    QTest::newRow("water cooled across 0 degC")
        << SweepInput{40, 20, 80, 4, hCold, -8, 1, twbCold, true};
    QTest::newRow("bracket from 0 degC, water at 0.5 degC")
        << SweepInput{18, 90, 70, 0.5, hCold, -8, 1, 0, true};
    // Near boiling the saturated enthalpy is steep and its rounding large.
    const auto [twbHot, hHot] = inletAir(psychro::Given::RelativeHumidity, 0.9, 45, 90);
    QTest::newRow("water near boiling") << SweepInput{30, 50, 50, 96, hHot, 45, 0.9, twbHot, true};
    QTest::newRow("tiny flows") << SweepInput{
        0.2, 0.01, 0.01, 37, p1.airEnthalpyIn, 28, 1, p1.airWetBulbIn, true};
    QTest::newRow("huge flows") << SweepInput{
        50, 5000, 4000, 37, p1.airEnthalpyIn, 28, 1, p1.airWetBulbIn, true};
    // Beyond the range where the fits are known to rise the plain bisection runs.
    QTest::newRow("hot water at high pressure")
        << SweepInput{20, 90, 70, 210, 80, 28, 30, 150, true};
    const SweepInput ok = sweepOf(p1, 18);
    SweepInput above = ok;
    above.airEnthalpyIn = 200;
    QTest::newRow("air above saturation") << above;
    SweepInput justAbove = ok;
    justAbove.airEnthalpyIn = psychro::saturatedEnthalpy(ok.waterIn, 1) + 1e-7;
    QTest::newRow("air just above saturation") << justAbove;
    SweepInput below = ok;
    below.bracketLow = 36.9;
    below.ntu = 400;
    below.waterFlow = 10;
    QTest::newRow("water below the bracket") << below;
    SweepInput overflow = ok;
    overflow.airEnthalpyIn = 1e308;
    QTest::newRow("overflow") << overflow;
}

void TestCrossflowCore::sweepFollowsEveryPassOfTheBisection() {
    QFETCH(SweepInput, input);
    QVERIFY(sweepsAgree(input));
}

void TestCrossflowCore::ntuRefusals_data() {
    QTest::addColumn<NtuSearchInput>("input");
    QTest::addColumn<Status>("expected");
    const NtuSearchInput ok = problem1Defaults();
    auto row = [&](const char* name, Status expected, auto change) {
        NtuSearchInput in = ok;
        change(in);
        QTest::newRow(name) << in << expected;
    };
    row("zero water flow", Status::NonPositiveFlow, [](NtuSearchInput& s) { s.waterFlow = 0; });
    row("negative air flow", Status::NonPositiveFlow, [](NtuSearchInput& s) { s.airFlow = -1; });
    row("NaN outlet", Status::InvalidInput, [](NtuSearchInput& s) { s.waterOut = kNaN; });
    row("outlet above inlet", Status::OutletAboveInlet, [](NtuSearchInput& s) { s.waterOut = 38; });
    row("inlet at the wet bulb", Status::WaterNotAboveWetBulb,
        [](NtuSearchInput& s) { s.waterIn = s.waterOut = s.airWetBulbIn; });
    row("outlet at the wet bulb", Status::OutletNotReached,
        [](NtuSearchInput& s) { s.waterOut = s.airWetBulbIn; });
    row("needs NTU above 495", Status::OutletNotReached, [](NtuSearchInput& s) {
        s.waterFlow = s.airFlow = 200;
        s.waterOut = 21.2;
    });
    // A trickle of water: at NTU 0 each cell stops once its heat is below 1e-5 kW, leaving the
    // mean outlet more than 0.01 K below the inlet; the bracket [0, 0] cannot move, so the
    // refinement stops instead of looping.
    row("trickle with Tin = Tout", Status::RefinementNoConvergence, [](NtuSearchInput& s) {
        s.waterFlow = 0.01;
        s.waterOut = s.waterIn;
    });
}

void TestCrossflowCore::ntuRefusals() {
    QFETCH(NtuSearchInput, input);
    QFETCH(Status, expected);
    const NtuResult r = searchNtu(input);
    QCOMPARE(r.status, expected);
    QVERIFY(r.coarseTrials <= kCoarseTrials && r.refinementPasses <= kRefineMaxPasses);
}

void TestCrossflowCore::flowRefusals_data() {
    QTest::addColumn<FlowSearchInput>("input");
    QTest::addColumn<Status>("expected");
    const FlowSearchInput ok = problem4Defaults();
    auto row = [&](const char* name, Status expected, auto change) {
        FlowSearchInput in = ok;
        change(in);
        QTest::newRow(name) << in << expected;
    };
    row("zero heat", Status::NonPositiveHeat, [](FlowSearchInput& s) { s.heat = 0; });
    row("zero L3", Status::NonPositiveFlow, [](FlowSearchInput& s) { s.waterFlow3 = 0; });
    row("zero G3", Status::NonPositiveFlow, [](FlowSearchInput& s) { s.airFlow3 = 0; });
    row("NaN NTU", Status::InvalidInput, [](FlowSearchInput& s) { s.ntu3 = kNaN; });
    row("inlet at the wet bulb", Status::WaterNotAboveWetBulb,
        [](FlowSearchInput& s) { s.waterIn = s.airWetBulbIn; });
    row("inlet 0.05 K above the wet bulb", Status::HeatNotReachable,
        [](FlowSearchInput& s) { s.waterIn = s.airWetBulbIn + 0.05; });
    // No transfer units: the tower cools nothing, whatever the flow.
    row("NTU 0", Status::HeatNotReachable, [](FlowSearchInput& s) { s.ntu3 = 0; });
}

void TestCrossflowCore::flowRefusals() {
    QFETCH(FlowSearchInput, input);
    QFETCH(Status, expected);
    const FlowResult r = searchWaterFlow(input);
    QCOMPARE(r.status, expected);
    QVERIFY(r.passes <= kFlowMaxPasses);
}

void TestCrossflowCore::ntuSearchConvergesOverTheFieldRanges() {
    // Every combination either succeeds with finite results within tolerance or is refused
    // for a physical reason; none hangs. Flows 10..200 kg/s, inlet water 30..60 degC, outlet
    // from the inlet towards the wet bulb, ambient 0..40 degC at 0..100 %, 0.9..1.15 bar.
    const std::pair<double, double> flows[] = {
        {10, 10}, {200, 10}, {90, 70}, {10, 200}, {200, 200}};
    const std::pair<double, double> ambient[] = {{0, 0}, {20, 50}, {40, 100}};
    int ok = 0;
    int total = 0;
    for (double p : {0.9, 1.15})
        for (const auto& [tdb, rh] : ambient)
            for (double tin : {30.0, 60.0})
                for (double share : {0.0, 0.3, 0.8})
                    for (const auto& [l, g] : flows) {
                        NtuSearchInput in = ntuInput(l, g, tin, tin, p, tdb, rh);
                        QVERIFY(std::isfinite(in.airWetBulbIn) && std::isfinite(in.airEnthalpyIn));
                        in.waterOut = tin - share * (tin - in.airWetBulbIn);
                        const NtuResult r = searchNtu(in);
                        ++total;
                        QVERIFY(r.coarseTrials <= kCoarseTrials);
                        QVERIFY(r.refinementPasses <= kRefineMaxPasses);
                        if (r.status != Status::Ok) {
                            // Water below the wet bulb (40 degC saturated air), more than 495
                            // transfer units, or cells beyond the reach of their bracket.
                            QVERIFY2(r.status == Status::WaterNotAboveWetBulb ||
                                         r.status == Status::OutletNotReached ||
                                         r.status == Status::CellAboveSaturation ||
                                         r.status == Status::CellBelowBracket,
                                     statusText(r.status));
                            continue;
                        }
                        ++ok;
                        QVERIFY(std::isfinite(r.ntu) && r.ntu >= 0 && finiteSweep(r.sweep));
                        QVERIFY(std::fabs(r.sweep.waterOutMean - in.waterOut) < kOutletTolerance);
                    }
    qInfo("NTU search: %d of %d combinations solved", ok, total);
    QVERIFY(ok > total / 2);
}

void TestCrossflowCore::flowSearchConvergesOverTheFieldRanges() {
    // Heat 100..2000 kW, water 3 or 15 K above the wet bulb, NTU3 0.5..40, Problem 3 flows
    // 10..200 kg/s. The only refusal: towers that cannot cool the largest flow by 0.1 K.
    const std::pair<double, double> flows3[] = {{10, 200}, {200, 10}, {35, 25}};
    int ok = 0;
    int total = 0;
    for (double p : {0.9, 1.15})
        for (double twb : {5.0, 30.0})
            for (double tin : {twb + 3, twb + 15})
                for (double heat : {100.0, 2000.0})
                    for (double ntu3 : {0.5, 5.0, 40.0})
                        for (const auto& [l3, g3] : flows3) {
                            const double h =
                                inletAir(psychro::Given::WetBulb, p, twb + 5, twb).second;
                            const FlowSearchInput in{heat, tin, h, twb + 5, twb, p, ntu3, l3, g3};
                            const FlowResult r = searchWaterFlow(in);
                            ++total;
                            QVERIFY(r.passes <= kFlowMaxPasses);
                            if (r.status != Status::Ok) {
                                QVERIFY2(r.status == Status::HeatNotReachable,
                                         statusText(r.status));
                                QVERIFY(r.heat < heat);
                                continue;
                            }
                            ++ok;
                            QVERIFY(std::isfinite(r.waterFlow) && r.waterFlow > 0);
                            QVERIFY(std::isfinite(r.ntu) && finiteSweep(r.sweep));
                            const double q =
                                kSpecificHeatWater * r.waterFlow * (in.waterIn - r.waterOut);
                            QVERIFY(std::fabs(q - heat) <=
                                    (r.metTolerance ? kHeatTolerance : kHeatAcceptBound));
                        }
    qInfo("flow search: %d of %d combinations solved", ok, total);
    QVERIFY(ok > total / 2);
}

void TestCrossflowCore::singleSweepEndsOverTheFieldRanges_data() {
    QTest::addColumn<bool>("freezingBracket");
    // Problem 2: the cells' bracket reaches down to 0 degC whatever the design wet bulb.
    QTest::newRow("Problem 2, bracket from 0 degC") << true;
    // Problem 3: from the inlet wet bulb, at an NTU scaled to the new flows (up to far beyond
    // anything Problem 1 finds when the new water flow is large and the air flow small).
    QTest::newRow("Problem 3, bracket from the wet bulb") << false;
}

void TestCrossflowCore::singleSweepEndsOverTheFieldRanges() {
    // One sweep at a given NTU, as Problems 2 and 3 run it: over flows 0.01..200 kg/s, water
    // 0.5..90 degC, design air up to 35 degC dry bulb with wet bulbs from 0 degC up to it, and
    // 0.9..1.15 bar, every cell's bisection ends within its guard, and the sweep either gives
    // finite results with every outlet inside the cells' bracket or names its refusal. Each
    // sweep equals the pass-by-pass bisection to the last bit.
    QFETCH(bool, freezingBracket);
    const std::pair<double, double> flows[] = {
        {0.01, 200}, {200, 0.01}, {90, 70}, {10, 200}, {200, 10}};
    const std::pair<double, double> air[] = {{0, 0}, {20, 10}, {35, 30}, {35, 35}};
    int ok = 0;
    int total = 0;
    for (double p : {0.9, 1.15})
        for (const auto& [tdb, twb] : air)
            for (double tin : {0.5, 31.0, 90.0})
                for (double ntu : {0.0, 0.5, 18.0, 495.0, 1e6})
                    for (const auto& [l, g] : flows) {
                        const double h = inletAir(psychro::Given::WetBulb, p, tdb, twb).second;
                        QVERIFY(std::isfinite(h));
                        const SweepInput in{ntu, l, g, tin, h, tdb, p, freezingBracket ? 0 : twb,
                                            true};
                        const SweepResult r = sweep(in);
                        QVERIFY(sweepsAgree(in));
                        const QString where = QStringLiteral("p %1 tdb %2 twb %3 tin %4 NTU %5 "
                                                             "L %6 G %7: %8")
                                                  .arg(p)
                                                  .arg(tdb)
                                                  .arg(twb)
                                                  .arg(tin)
                                                  .arg(ntu)
                                                  .arg(l)
                                                  .arg(g)
                                                  .arg(QString::fromLatin1(statusText(r.status)));
                        ++total;
                        QVERIFY2(r.maxCellPasses <= kCellMaxPasses, qPrintable(where));
                        if (r.status != Status::Ok) {
                            QVERIFY2(r.status == Status::WaterNotAboveWetBulb ||
                                         r.status == Status::CellAboveSaturation ||
                                         r.status == Status::CellBelowBracket,
                                     qPrintable(where));
                            continue;
                        }
                        ++ok;
                        QVERIFY2(finiteSweep(r), qPrintable(where));
                        for (double out : r.waterOut)
                            QVERIFY2(out >= in.bracketLow && out <= tin, qPrintable(where));
                        QVERIFY2(r.waterOutMean >= in.bracketLow && r.waterOutMean <= tin,
                                 qPrintable(where));
                    }
    qInfo("single sweep: %d of %d combinations solved", ok, total);
    QVERIFY(ok > total / 3);
}

QTEST_APPLESS_MAIN(TestCrossflowCore)
#include "tst_crossflow.moc"
