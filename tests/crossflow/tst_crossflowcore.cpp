// The cross-flow core: cell sweep, NTU search and water-flow search, and the NTU scaling law.

#include "common/ntuscaling.h"
#include "common/numtext.h"
#include "crossflow/crossflowcore.h"
#include "psychro/psychro.h"

#include <QElapsedTimer>
#include <QTest>
#include <cmath>
#include <limits>
#include <string>

using namespace crossflow;

Q_DECLARE_METATYPE(crossflow::Status)
Q_DECLARE_METATYPE(crossflow::SweepInput)
Q_DECLARE_METATYPE(crossflow::NtuSearchInput)
Q_DECLARE_METATYPE(crossflow::FlowSearchInput)

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A value as a window reads it back from a text shown in `pattern`.
double shown(double value, const char* pattern) {
    return std::stod(numtext::fixedText(value, numtext::parsePattern(pattern)));
}

struct InletAir {
    double wetBulb = 0;  // degC, as Form11 shows it
    double enthalpy = 0; // kJ/kg, as Form11 shows it
};

// Inlet air as the problem windows get it from Form11: wet bulb with 2 decimals, enthalpy with 4.
InletAir inletAir(psychro::Given given, double p, double tdb, double second) {
    const psychro::AirResult a = psychro::moistAirState(given, p, tdb, second);
    if (a.status != psychro::AirStatus::Ok)
        return {kNaN, kNaN};
    return {shown(a.state.wetBulb, "###0.00"), shown(a.state.enthalpy, "####0.0000")};
}

// Problem 1 cross flow with the window's default inputs.
NtuSearchInput problem1Defaults() {
    const InletAir air = inletAir(psychro::Given::RelativeHumidity, 1, 28, 55);
    NtuSearchInput in;
    in.waterFlow = 90;
    in.airFlow = 70;
    in.waterIn = 37;
    in.waterOut = 34;
    in.airEnthalpyIn = air.enthalpy;
    in.airDryBulbIn = 28;
    in.airWetBulbIn = air.wetBulb;
    in.pressure = 1;
    return in;
}

SweepInput sweepOf(const NtuSearchInput& p1, double ntu, bool airTemperatures = true) {
    SweepInput s;
    s.ntu = ntu;
    s.waterFlow = p1.waterFlow;
    s.airFlow = p1.airFlow;
    s.waterIn = p1.waterIn;
    s.airEnthalpyIn = p1.airEnthalpyIn;
    s.airDryBulbIn = p1.airDryBulbIn;
    s.pressure = p1.pressure;
    s.bracketLow = p1.airWetBulbIn;
    s.airTemperatures = airTemperatures;
    return s;
}

// Problem 4 cross flow with the window's default inputs, chained from the default Problems 1
// and 3 (new flows 35 and 25 kg/s) through the texts the windows show: NTU1 with 2 decimals,
// NTU3 with 3.
FlowSearchInput problem4Defaults() {
    const NtuResult p1 = searchNtu(problem1Defaults());
    const double ntu1 = shown(p1.ntu, "###0.00");
    const double ntu3 = shown(ntuscaling::scaledNtu(ntu1, 90, 70, 35, 25), "###0.000");
    const InletAir air = inletAir(psychro::Given::WetBulb, 1, 28, 22);
    FlowSearchInput in;
    in.heat = 500;
    in.waterIn = 35;
    in.airEnthalpyIn = air.enthalpy;
    in.airDryBulbIn = 28;
    in.airWetBulbIn = 22;
    in.pressure = 1;
    in.ntu3 = ntu3;
    in.waterFlow3 = 35;
    in.airFlow3 = 25;
    return in;
}

bool finiteSweep(const SweepResult& r) {
    return std::isfinite(r.waterOutMean) && std::isfinite(r.airEnthalpyOutMean) &&
           std::isfinite(r.airDryBulbOutMean);
}

} // namespace

class TestCrossflowCore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void scaledNtu();
    void defaultProblem1();
    void inletEqualsOutletGivesNtuZero();
    void moreTransferUnitsCoolMore();
    void sweepBalancesWaterAndAirHeat_data();
    void sweepBalancesWaterAndAirHeat();
    void smallNtuMatchesLinearisedExchange();
    void outletsStayBetweenWetBulbAndInlet();
    void withoutAirTemperaturesTheDryBulbPassesThrough();
    void problem2BracketFromZero();
    void defaultProblem4();
    void problem4StallIsAcceptedWithinBound();
    void sweepRefusals_data();
    void sweepRefusals();
    void ntuRefusals_data();
    void ntuRefusals();
    void flowRefusals_data();
    void flowRefusals();
    void ntuSearchConvergesOverTheFieldRanges();
    void flowSearchConvergesOverTheFieldRanges();
};

void TestCrossflowCore::scaledNtu() {
    // Hand-computed: 17.97 x 35/90 x ((90/70)/(35/25))^0.72 = 17.97 x 0.388889 x 0.940528.
    QVERIFY(std::fabs(ntuscaling::scaledNtu(17.97, 90, 70, 35, 25) - 6.5727) < 1e-4);
    // Same flows give the same NTU; same L/G scales linearly with L.
    QCOMPARE(ntuscaling::scaledNtu(12.5, 90, 70, 90, 70), 12.5);
    QVERIFY(std::fabs(ntuscaling::scaledNtu(2, 35, 25, 70, 50) - 4) < 1e-12);
    QVERIFY(std::isnan(ntuscaling::scaledNtu(2, 0, 25, 70, 50)));
    QVERIFY(std::isnan(ntuscaling::scaledNtu(2, 35, 25, 70, -1)));
}

void TestCrossflowCore::defaultProblem1() {
    const NtuSearchInput in = problem1Defaults();
    QCOMPARE(in.airWetBulbIn, 21.13);
    const NtuResult r = searchNtu(in);
    QCOMPARE(r.status, Status::Ok);
    QVERIFY(std::isfinite(r.ntu) && r.ntu > 0);
    QVERIFY(std::fabs(r.sweep.waterOutMean - in.waterOut) < kOutletTolerance);
    // The refinement starts between two coarse trials 5 apart around the first overshoot.
    QVERIFY(r.coarseTrials >= 2);
    QVERIFY(r.ntu >= kCoarseStep * (r.coarseTrials - 2));
    QVERIFY(r.ntu <= kCoarseStep * (r.coarseTrials - 1));
    // Regression values of the windows' displays (lbl2, lbl13, lbl11).
    QCOMPARE(numtext::fixedText(r.ntu, numtext::parsePattern("###0.00")), std::string("17.97"));
    QCOMPARE(numtext::fixedText(r.sweep.airEnthalpyOutMean, numtext::parsePattern("###0.00")),
             std::string("78.00"));
    QCOMPARE(numtext::fixedText(r.sweep.airDryBulbOutMean, numtext::parsePattern("##0.00")),
             std::string("29.68"));
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

void TestCrossflowCore::moreTransferUnitsCoolMore() {
    const NtuSearchInput p1 = problem1Defaults();
    double previous = p1.waterIn;
    for (double ntu : {0.0, 0.5, 2.0, 5.0, 10.0, 20.0, 50.0, 100.0, 200.0}) {
        const SweepResult r = sweep(sweepOf(p1, ntu));
        QCOMPARE(r.status, Status::Ok);
        QVERIFY2(r.waterOutMean < previous, qPrintable(QString::number(ntu)));
        previous = r.waterOutMean;
    }
}

void TestCrossflowCore::sweepBalancesWaterAndAirHeat_data() {
    QTest::addColumn<double>("ntu");
    QTest::addColumn<double>("waterFlow");
    QTest::addColumn<double>("airFlow");
    QTest::newRow("default flows, NTU 18") << 18.0 << 90.0 << 70.0;
    QTest::newRow("small flows, NTU 3") << 3.0 << 10.0 << 10.0;
    QTest::newRow("much air, NTU 40") << 40.0 << 20.0 << 200.0;
    QTest::newRow("much water, NTU 60") << 60.0 << 200.0 << 30.0;
}

void TestCrossflowCore::sweepBalancesWaterAndAirHeat() {
    QFETCH(double, ntu);
    QFETCH(double, waterFlow);
    QFETCH(double, airFlow);
    SweepInput s = sweepOf(problem1Defaults(), ntu);
    s.waterFlow = waterFlow;
    s.airFlow = airFlow;
    const SweepResult r = sweep(s);
    QCOMPARE(r.status, Status::Ok);
    const double water = (s.waterIn - r.waterOutMean) * kSpecificHeatWater * waterFlow;
    const double air = (r.airEnthalpyOutMean - s.airEnthalpyIn) * airFlow;
    // Each of the 400 cells balances to the cell tolerance.
    QVERIFY2(std::fabs(water - air) < kCells * kCells * kCellTolerance + 1e-9,
             qPrintable(QString::number(water - air)));
    QVERIFY(water > 0);
}

void TestCrossflowCore::smallNtuMatchesLinearisedExchange() {
    // For a small NTU the water hardly cools and the air hardly warms, so every cell sees the
    // inlet driving forces: Q = NTU (hs(Tin) - h,in) and the air dry bulb rises by
    // NTU / G (Tin - tdb). Both to within 1 % (the first-order terms left out).
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

void TestCrossflowCore::outletsStayBetweenWetBulbAndInlet() {
    const NtuSearchInput p1 = problem1Defaults();
    for (double ntu : {0.0, 1.0, 18.0, 100.0}) {
        const SweepResult r = sweep(sweepOf(p1, ntu));
        QCOMPARE(r.status, Status::Ok);
        for (double t : r.waterOut) {
            QVERIFY(t >= p1.airWetBulbIn);
            QVERIFY(t < p1.waterIn);
        }
        QVERIFY(r.waterOutMean >= p1.airWetBulbIn && r.waterOutMean < p1.waterIn);
        // The mean is the plain mean of the columns.
        double sum = 0;
        for (double t : r.waterOut)
            sum += t;
        QVERIFY(std::fabs(sum / kCells - r.waterOutMean) < 1e-12);
        // Cooling water can only warm and humidify the air.
        for (double h : r.airEnthalpyOut)
            QVERIFY(h >= p1.airEnthalpyIn - 1e-9);
    }
}

void TestCrossflowCore::withoutAirTemperaturesTheDryBulbPassesThrough() {
    const NtuSearchInput p1 = problem1Defaults();
    const SweepResult with = sweep(sweepOf(p1, 18, true));
    const SweepResult without = sweep(sweepOf(p1, 18, false));
    QCOMPARE(without.status, Status::Ok);
    QCOMPARE(without.airDryBulbOutMean, p1.airDryBulbIn);
    // The water and enthalpy results do not depend on the air temperature line.
    QCOMPARE(without.waterOutMean, with.waterOutMean);
    QCOMPARE(without.airEnthalpyOutMean, with.airEnthalpyOutMean);
    QVERIFY(with.airDryBulbOutMean > p1.airDryBulbIn);
}

void TestCrossflowCore::problem2BracketFromZero() {
    // Problem 2 defaults: Tin,d 34, twb,d 21, tdb,d 25, the bracket opens at 0 degC.
    const InletAir air = inletAir(psychro::Given::WetBulb, 1, 25, 21);
    SweepInput s;
    s.ntu = 17.97;
    s.waterFlow = 90;
    s.airFlow = 70;
    s.waterIn = 34;
    s.airEnthalpyIn = air.enthalpy;
    s.airDryBulbIn = 25;
    s.pressure = 1;
    s.bracketLow = 0;
    s.airTemperatures = true;
    const SweepResult r = sweep(s);
    QCOMPARE(r.status, Status::Ok);
    QVERIFY(finiteSweep(r));
    QVERIFY(r.waterOutMean > 21 && r.waterOutMean < 34);
}

void TestCrossflowCore::defaultProblem4() {
    const FlowSearchInput in = problem4Defaults();
    QElapsedTimer timer;
    timer.start();
    const FlowResult r = searchWaterFlow(in);
    qInfo("Problem 4 default search: %lld ms, %d sweeps", timer.elapsed(), r.passes);
    QCOMPARE(r.status, Status::Ok);
    QVERIFY(r.metTolerance);
    const double q = kSpecificHeatWater * r.waterFlow * (in.waterIn - r.waterOut);
    QVERIFY2(std::fabs(q - in.heat) < kHeatTolerance, qPrintable(QString::number(q - in.heat)));
    QCOMPARE(r.waterOut, r.sweep.waterOutMean);
    // L/G held at that of Problem 3, so NTU4 = NTU3 x L4 / L3.
    QVERIFY(std::fabs(r.airFlow - r.waterFlow / (35.0 / 25.0)) < 1e-9 * r.airFlow);
    QVERIFY(std::fabs(r.ntu - in.ntu3 * r.waterFlow / 35) < 1e-9 * r.ntu);
    // The flow lies in the search's bracket, the outlet between the wet bulb and the inlet.
    QVERIFY(r.waterFlow > in.heat / (kSpecificHeatWater * (in.waterIn - in.airWetBulbIn)));
    QVERIFY(r.waterFlow < in.heat / (kSpecificHeatWater * kSmallestRange));
    QVERIFY(r.waterOut > in.airWetBulbIn && r.waterOut < in.waterIn);
    QVERIFY(finiteSweep(r.sweep));
}

void TestCrossflowCore::problem4StallIsAcceptedWithinBound() {
    // A tolerance no flow rate can meet: the bracket shrinks to adjacent numbers, the search
    // stops there (no endless loop) and accepts the last pass since its error is within the
    // resolution of a sweep.
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
    SweepInput s;

    s = ok, s.waterFlow = 0;
    QTest::newRow("zero water flow") << s << Status::NonPositiveFlow;
    s = ok, s.airFlow = 0;
    QTest::newRow("zero air flow") << s << Status::NonPositiveFlow;
    s = ok, s.airFlow = -70;
    QTest::newRow("negative air flow") << s << Status::NonPositiveFlow;
    s = ok, s.ntu = -1;
    QTest::newRow("negative NTU") << s << Status::InvalidInput;
    s = ok, s.airEnthalpyIn = kNaN;
    QTest::newRow("NaN enthalpy") << s << Status::InvalidInput;
    s = ok, s.waterIn = std::numeric_limits<double>::infinity();
    QTest::newRow("infinite water temperature") << s << Status::InvalidInput;
    s = ok, s.pressure = 0;
    QTest::newRow("zero pressure") << s << Status::InvalidInput;
    s = ok, s.waterIn = s.bracketLow;
    QTest::newRow("inlet water at the wet bulb") << s << Status::WaterNotAboveWetBulb;
    s = ok, s.waterIn = 99, s.pressure = 0.9;
    QTest::newRow("water boiling at the pressure") << s << Status::SaturationAbovePressure;
    // Air above saturation at the water temperature (hs(37 degC) is about 143 kJ/kg).
    s = ok, s.airEnthalpyIn = 200;
    QTest::newRow("air above saturation") << s << Status::CellAboveSaturation;
    // Very many transfer units per kg of water: the water would cool below the bracket.
    s = ok, s.bracketLow = 36.9, s.ntu = 400, s.waterFlow = 10;
    QTest::newRow("water driven below the bracket") << s << Status::CellBelowBracket;
    s = ok, s.airEnthalpyIn = 1e308;
    QTest::newRow("overflowing enthalpy") << s << Status::NonFinite;
}

void TestCrossflowCore::sweepRefusals() {
    QFETCH(SweepInput, input);
    QFETCH(Status, expected);
    const SweepResult r = sweep(input);
    QCOMPARE(r.status, expected);
    const bool cellFailure = expected == Status::CellAboveSaturation ||
                             expected == Status::CellBelowBracket || expected == Status::NonFinite;
    QCOMPARE(r.failedColumn > 0 && r.failedRow > 0, cellFailure);
    if (cellFailure)
        QCOMPARE(r.maxCellPasses, kCellMaxPasses);
    QVERIFY(std::string(statusText(expected)).size() > 10);
}

void TestCrossflowCore::ntuRefusals_data() {
    QTest::addColumn<NtuSearchInput>("input");
    QTest::addColumn<Status>("expected");
    const NtuSearchInput ok = problem1Defaults();
    NtuSearchInput in;

    in = ok, in.waterFlow = 0;
    QTest::newRow("zero water flow") << in << Status::NonPositiveFlow;
    in = ok, in.airFlow = -1;
    QTest::newRow("negative air flow") << in << Status::NonPositiveFlow;
    in = ok, in.waterOut = kNaN;
    QTest::newRow("NaN outlet") << in << Status::InvalidInput;
    in = ok, in.waterOut = 38;
    QTest::newRow("outlet above inlet") << in << Status::OutletAboveInlet;
    in = ok, in.waterIn = in.airWetBulbIn, in.waterOut = in.airWetBulbIn;
    QTest::newRow("inlet at the wet bulb") << in << Status::WaterNotAboveWetBulb;
    in = ok, in.waterOut = in.airWetBulbIn;
    QTest::newRow("outlet at the wet bulb") << in << Status::OutletNotReached;
    // Needs more than 495 transfer units.
    in = ok, in.waterFlow = 200, in.airFlow = 200, in.waterOut = 21.2;
    QTest::newRow("outlet beyond NTU 495") << in << Status::OutletNotReached;
    // A trickle of water: at NTU 0 each cell stops as soon as its heat is below 1e-5 kW,
    // which leaves the mean outlet more than 0.01 K below the inlet; the bracket [0, 0]
    // cannot move, so the refinement stops instead of looping.
    in = ok, in.waterFlow = 0.01, in.waterOut = in.waterIn;
    QTest::newRow("trickle with Tin = Tout") << in << Status::RefinementNoConvergence;
}

void TestCrossflowCore::ntuRefusals() {
    QFETCH(NtuSearchInput, input);
    QFETCH(Status, expected);
    const NtuResult r = searchNtu(input);
    QCOMPARE(r.status, expected);
    QVERIFY(r.coarseTrials <= kCoarseTrials);
    QVERIFY(r.refinementPasses <= kRefineMaxPasses);
}

void TestCrossflowCore::flowRefusals_data() {
    QTest::addColumn<FlowSearchInput>("input");
    QTest::addColumn<Status>("expected");
    const FlowSearchInput ok = problem4Defaults();
    FlowSearchInput in;

    in = ok, in.heat = 0;
    QTest::newRow("zero heat") << in << Status::NonPositiveHeat;
    in = ok, in.waterFlow3 = 0;
    QTest::newRow("zero water flow (3)") << in << Status::NonPositiveFlow;
    in = ok, in.airFlow3 = 0;
    QTest::newRow("zero air flow (3)") << in << Status::NonPositiveFlow;
    in = ok, in.ntu3 = kNaN;
    QTest::newRow("NaN NTU") << in << Status::InvalidInput;
    in = ok, in.waterIn = in.airWetBulbIn;
    QTest::newRow("inlet water at the wet bulb") << in << Status::WaterNotAboveWetBulb;
    in = ok, in.waterIn = in.airWetBulbIn + 0.05;
    QTest::newRow("less than 0.1 K above the wet bulb") << in << Status::HeatNotReachable;
    // No transfer units: the tower cools nothing, whatever the flow.
    in = ok, in.ntu3 = 0;
    QTest::newRow("NTU 0") << in << Status::HeatNotReachable;
}

void TestCrossflowCore::flowRefusals() {
    QFETCH(FlowSearchInput, input);
    QFETCH(Status, expected);
    const FlowResult r = searchWaterFlow(input);
    QCOMPARE(r.status, expected);
    QVERIFY(r.passes <= kFlowMaxPasses);
}

void TestCrossflowCore::ntuSearchConvergesOverTheFieldRanges() {
    // Every combination either succeeds with finite results that meet the tolerance or is
    // refused with a status; none hangs. Field ranges: flows up to 200 kg/s, inlet water
    // 30..60 degC, outlet from the inlet down towards the wet bulb, ambient 0..40 degC at
    // 0..100 %, pressure 0.9..1.15 bar.
    struct Pair {
        double a;
        double b;
    };
    const Pair flows[] = {{10, 10}, {10, 200}, {200, 10}, {90, 70}, {200, 200}};
    const Pair ambient[] = {{0, 0}, {0, 100}, {20, 50}, {40, 0}, {40, 100}};
    int ok = 0;
    int total = 0;
    for (double p : {0.9, 1.15})
        for (const Pair& amb : ambient) {
            const InletAir air = inletAir(psychro::Given::RelativeHumidity, p, amb.a, amb.b);
            QVERIFY(std::isfinite(air.wetBulb) && std::isfinite(air.enthalpy));
            for (double tin : {30.0, 60.0})
                for (double share : {0.0, 0.25, 0.6, 0.9})
                    for (const Pair& flow : flows) {
                        NtuSearchInput in;
                        in.waterFlow = flow.a;
                        in.airFlow = flow.b;
                        in.waterIn = tin;
                        in.waterOut = tin - share * (tin - air.wetBulb);
                        in.airEnthalpyIn = air.enthalpy;
                        in.airDryBulbIn = amb.a;
                        in.airWetBulbIn = air.wetBulb;
                        in.pressure = p;
                        const NtuResult r = searchNtu(in);
                        ++total;
                        QVERIFY(r.coarseTrials <= kCoarseTrials);
                        QVERIFY(r.refinementPasses <= kRefineMaxPasses);
                        if (r.status != Status::Ok)
                            continue; // refused with a status
                        ++ok;
                        QVERIFY(std::isfinite(r.ntu) && r.ntu >= 0);
                        QVERIFY(finiteSweep(r.sweep));
                        QVERIFY(std::fabs(r.sweep.waterOutMean - in.waterOut) < kOutletTolerance);
                    }
        }
    qInfo("NTU search: %d of %d combinations solved", ok, total);
    QVERIFY(ok > total / 2);
}

void TestCrossflowCore::flowSearchConvergesOverTheFieldRanges() {
    int ok = 0;
    int total = 0;
    for (double p : {0.9, 1.15})
        for (double twb : {5.0, 22.0, 30.0}) {
            const double tdb = twb + 5;
            const InletAir air = inletAir(psychro::Given::WetBulb, p, tdb, twb);
            QVERIFY(std::isfinite(air.enthalpy));
            for (double tin : {twb + 3, twb + 15})
                for (double heat : {100.0, 2000.0})
                    for (double ntu3 : {0.5, 5.0, 40.0})
                        for (double l3 : {10.0, 200.0})
                            for (double g3 : {10.0, 200.0}) {
                                FlowSearchInput in;
                                in.heat = heat;
                                in.waterIn = tin;
                                in.airEnthalpyIn = air.enthalpy;
                                in.airDryBulbIn = tdb;
                                in.airWetBulbIn = twb;
                                in.pressure = p;
                                in.ntu3 = ntu3;
                                in.waterFlow3 = l3;
                                in.airFlow3 = g3;
                                const FlowResult r = searchWaterFlow(in);
                                ++total;
                                QVERIFY(r.passes <= kFlowMaxPasses);
                                if (r.status != Status::Ok)
                                    continue; // refused with a status
                                ++ok;
                                QVERIFY(std::isfinite(r.waterFlow) && r.waterFlow > 0);
                                QVERIFY(std::isfinite(r.airFlow) && std::isfinite(r.ntu));
                                QVERIFY(finiteSweep(r.sweep));
                                const double q =
                                    kSpecificHeatWater * r.waterFlow * (in.waterIn - r.waterOut);
                                QVERIFY(std::fabs(q - heat) <=
                                        (r.metTolerance ? kHeatTolerance : kHeatAcceptBound));
                            }
        }
    qInfo("flow search: %d of %d combinations solved", ok, total);
    QVERIFY(ok > total / 2);
}

QTEST_APPLESS_MAIN(TestCrossflowCore)
#include "tst_crossflowcore.moc"
