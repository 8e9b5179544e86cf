// Water and fan energy: Poppe's evaporation against Merkel's integral and the balances, the
// make-up water's salt balance, and the variable-speed drive's air flow against the tower's
// characteristic.

#include "core/capability.h"
#include "core/psychro.h"
#include "core/savings.h"

#include <QTest>
#include <cmath>
#include <limits>
#include <numbers>

using namespace savings;

Q_DECLARE_METATYPE(savings::Status)
Q_DECLARE_METATYPE(capability::TestPoint)
Q_DECLARE_METATYPE(Arrangement)

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool near(double actual, double expected, double relative) {
    return std::fabs(actual - expected) <= relative * std::max(1.0, std::fabs(expected));
}

// Problem 1's defaults: 100 kg/s water from 38 to 33 degC, 90 kg/s air at 25 degC, 55 %, 1 bar.
capability::TestPoint problem1() {
    return {100, 90, 38, 33, 1.0, 25, 55};
}

DriveInput counterFlowDrive() {
    DriveInput in;
    in.test = problem1();
    const capability::EnteringAir air = capability::enteringAir(1.0, 25, 55);
    in.merkel = capability::counterFlowMerkel({33, 38, 100.0 / 90, air.enthalpy, 1.0}).value;
    in.measuredPower = 45;
    return in;
}

// The demand (Merkel's integral) at the row's air and G* against the characteristic there.
double mismatchAt(const DriveInput& in, const Drive& d, const Ambient& a, double g) {
    const double h =
        a.relativeHumidity < 0
            ? psychro::saturatedEnthalpy(a.wetBulb, in.test.pressure)
            : capability::enteringAir(in.test.pressure, a.dryBulb, a.relativeHumidity).enthalpy;
    const double x = in.test.waterFlow / g;
    const capability::Integral demand =
        capability::counterFlowMerkel({in.test.waterOut, in.test.waterIn, x, h, in.test.pressure});
    return demand.value / (d.coefficient * std::pow(x, -in.exponent)) - 1;
}

} // namespace

class TestSavings : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void poppe_data();
    void poppe();
    void poppeRefusals_data();
    void poppeRefusals();
    void makeupWater_data();
    void makeupWater();
    void driveAtTheTestPointSavesNothing();
    void driveRows_data();
    void driveRows();
    void driveSearchOverAYear();
    void driveRefusals();
    void driveAirLineNearSaturation();
    void crossFlowOutlet_data();
    void crossFlowOutlet();
    void crossFlowDrive();
    void driveInterpolatedAgainstDirect_data();
    void driveInterpolatedAgainstDirect();
};

void TestSavings::poppe_data() {
    QTest::addColumn<double>("L");
    QTest::addColumn<double>("G");
    QTest::addColumn<double>("tIn");
    QTest::addColumn<double>("tOut");
    QTest::addColumn<double>("p");
    QTest::addColumn<double>("dryBulb");
    QTest::addColumn<double>("rh");
    QTest::addColumn<bool>("fog");
    QTest::newRow("Problem 1 defaults")
        << 100.0 << 90.0 << 38.0 << 33.0 << 1.0 << 25.0 << 55.0 << false;
    QTest::newRow("low pressure, much air")
        << 50.0 << 120.0 << 30.0 << 25.0 << 0.9 << 20.0 << 60.0 << false;
    QTest::newRow("wide range, fog")
        << 150.0 << 100.0 << 45.0 << 30.0 << 1.01325 << 30.0 << 40.0 << true;
    QTest::newRow("cold humid air, fog")
        << 100.0 << 60.0 << 45.0 << 30.0 << 1.0 << 10.0 << 95.0 << true;
}

// Merkel's assumptions (Lewis factor 1, no water lost) turn Poppe's equations into Merkel's
// integral; with them lifted the energy balance closes to rounding (the air enthalpy comes from
// the balance itself), the Merkel number rises by a few per cent (Kloppers and Kroger 2005) and
// the tower evaporates the textbook 0.12 to 0.18 % of the water flow per kelvin of range.
void TestSavings::poppe() {
    QFETCH(double, L);
    QFETCH(double, G);
    QFETCH(double, tIn);
    QFETCH(double, tOut);
    QFETCH(double, p);
    QFETCH(double, dryBulb);
    QFETCH(double, rh);
    QFETCH(bool, fog);
    const double x = psychro::AbsoluteHumidity(dryBulb, rh, p);
    const double hIn = psychro::Enthalpy(dryBulb, x);
    PoppeInput in{L, G, tIn, tOut, p, dryBulb, x, false, false};
    const Poppe merkel = poppeCounterFlow(in);
    const capability::Integral reference =
        capability::counterFlowMerkel({tOut, tIn, L / G, hIn, p});
    QCOMPARE(merkel.status, Status::Ok);
    QVERIFY2(near(merkel.merkel, reference.value, 1e-7),
             qPrintable(QString::number(merkel.merkel)));

    in.lewisFactor = true;
    in.evaporation = true;
    const Poppe r = poppeCounterFlow(in);
    QCOMPARE(r.status, Status::Ok);
    const double heat = kSpecificHeatWater * (L * tIn - (L - r.evaporation) * tOut);
    QVERIFY(near(G * (r.airEnthalpyOut - hIn), heat, 1e-9 * heat));
    QVERIFY(r.merkel > reference.value && r.merkel < 1.15 * reference.value);
    const double perKelvinPct = 100 * r.evaporation / (L * (tIn - tOut));
    QVERIFY2(perKelvinPct > 0.12 && perKelvinPct < 0.18, qPrintable(QString::number(perKelvinPct)));
    QCOMPARE(r.supersaturated, fog);
    // The outlet dry bulb reproduces the outlet enthalpy, the fog's water included.
    const double ws = psychro::AbsoluteHumidity(r.airTempOut, 100, p);
    const double hBack = psychro::Enthalpy(r.airTempOut, std::min(ws, r.airHumidityOut)) +
                         r.mistOut * kSpecificHeatWater * r.airTempOut;
    QVERIFY(near(hBack, r.airEnthalpyOut, 1e-11));
    QVERIFY(near(r.airHumidityOut - r.mistOut, std::min(ws, r.airHumidityOut), 1e-12));
}

void TestSavings::poppeRefusals_data() {
    QTest::addColumn<double>("L");
    QTest::addColumn<double>("tIn");
    QTest::addColumn<double>("tOut");
    QTest::addColumn<double>("x");
    QTest::addColumn<Status>("status");
    QTest::newRow("no range") << 100.0 << 33.0 << 33.0 << 0.01 << Status::InvalidInput;
    QTest::newRow("water warms") << 100.0 << 30.0 << 33.0 << 0.01 << Status::InvalidInput;
    QTest::newRow("no water") << 0.0 << 38.0 << 33.0 << 0.01 << Status::InvalidInput;
    QTest::newRow("humidity not a number") << 100.0 << 38.0 << 33.0 << kNaN << Status::InvalidInput;
    QTest::newRow("air line meets saturation")
        << 300.0 << 45.0 << 30.0 << 0.02 << Status::AirSaturates;
    QTest::newRow("cold water below the wet bulb")
        << 100.0 << 38.0 << 20.0 << 0.02 << Status::AirSaturates;
}

void TestSavings::poppeRefusals() {
    QFETCH(double, L);
    QFETCH(double, tIn);
    QFETCH(double, tOut);
    QFETCH(double, x);
    QFETCH(Status, status);
    const Poppe r = poppeCounterFlow({L, 90, tIn, tOut, 1.0, 25, x});
    QCOMPARE(r.status, status);
    if (status == Status::AirSaturates) {
        QVERIFY(r.at >= tOut && r.at <= tIn);
        QVERIFY(refusal(r).find(" oC.") != std::string::npos);
    }
}

void TestSavings::makeupWater_data() {
    QTest::addColumn<double>("E");
    QTest::addColumn<double>("driftPct");
    QTest::addColumn<double>("cycles");
    QTest::addColumn<double>("drainPrice");
    QTest::addColumn<Status>("status");
    QTest::addColumn<double>("blowdown");
    QTest::addColumn<double>("cost");
    // 100 kg/s circulating, 8000 h, water at 2 per m3. E = 1 kg/s at 4 cycles: M = 4/3 kg/s,
    // 4.8 m3/h, 38400 m3 a year; B = 1/3 - 0.02 kg/s, 9024 m3 a year.
    QTest::newRow("ordinary") << 1.0 << 0.02 << 4.0 << -1.0 << Status::Ok << 1.0 / 3 - 0.02
                              << 76800.0;
    QTest::newRow("with the drain's price")
        << 1.0 << 0.02 << 4.0 << 1.0 << Status::Ok << 1.0 / 3 - 0.02 << 76800.0 + 9024;
    QTest::newRow("no drift") << 0.7 << 0.0 << 3.0 << -1.0 << Status::Ok << 0.35 << 60480.0;
    QTest::newRow("drift too large: X = 3.5")
        << 0.125 << 0.05 << 4.0 << -1.0 << Status::DriftTooLarge << 0.0 << 0.0;
    QTest::newRow("one cycle") << 1.0 << 0.02 << 1.0 << -1.0 << Status::InvalidInput << 0.0 << 0.0;
    QTest::newRow("negative evaporation")
        << -1.0 << 0.02 << 4.0 << -1.0 << Status::InvalidInput << 0.0 << 0.0;
}

void TestSavings::makeupWater() {
    QFETCH(double, E);
    QFETCH(double, driftPct);
    QFETCH(double, cycles);
    QFETCH(double, drainPrice);
    QFETCH(Status, status);
    QFETCH(double, blowdown);
    QFETCH(double, cost);
    const Water w = savings::makeupWater({E, 100, driftPct, cycles, 8000, 2, drainPrice});
    QCOMPARE(w.status, status);
    if (status == Status::DriftTooLarge) {
        QVERIFY(near(w.highestCycles, 3.5, 1e-15));
        QCOMPARE(refusal(w), std::string("Cycles above 3.5 cannot be reached with this drift."));
    }
    if (status != Status::Ok)
        return;
    QCOMPARE(w.makeup, E * cycles / (cycles - 1));
    QVERIFY(near(w.blowdown, blowdown, 1e-15));
    QVERIFY(near(w.makeup, E + w.blowdown + w.drift, 1e-15));
    QVERIFY(near(w.costPerYear, cost, 1e-12));
}

// With a lossless drive and the test's own air the drive runs the fan at the test's air flow:
// the characteristic passes through the test point.
void TestSavings::driveAtTheTestPointSavesNothing() {
    DriveInput in = counterFlowDrive();
    in.driveEfficiency = 1;
    in.pricePerKWh = 0.2;
    in.ambient = {{0, 25, 55, 8000}};
    const Drive d = variableSpeedDrive(in);
    QCOMPARE(d.status, Status::Ok);
    QVERIFY(!d.rows[0].fullSpeedShort);
    QVERIFY(near(d.airFlow, 90, 1e-8));
    QVERIFY(std::fabs(d.kWhSavedAgainstFull) < 1e-6 * d.kWhFullSpeed);
    QCOMPARE(d.kWhDrive, 8000 * d.power);
    QCOMPARE(d.kWhFullSpeed, 8000 * in.measuredPower);
    QVERIFY(std::fabs(d.moneySavedAgainstFull) < 1e-6 * d.kWhFullSpeed);
}

void TestSavings::driveRows_data() {
    QTest::addColumn<double>("wetBulb");
    QTest::addColumn<double>("minimumSpeedPct");
    QTest::addColumn<bool>("fullSpeedShort");
    QTest::addColumn<bool>("halfSpeed");
    QTest::addColumn<bool>("atMinimum");
    QTest::newRow("cool day") << 10.0 << 20.0 << false << false << false;
    QTest::newRow("frost, half speed enough") << -25.0 << 20.0 << false << true << false;
    QTest::newRow("held at the minimum speed") << 10.0 << 90.0 << false << false << true;
    QTest::newRow("hot day: full speed short") << 24.0 << 20.0 << true << false << false;
    QTest::newRow("wet bulb above the cold water") << 34.0 << 20.0 << true << false << false;
}

void TestSavings::driveRows() {
    QFETCH(double, wetBulb);
    QFETCH(double, minimumSpeedPct);
    QFETCH(bool, fullSpeedShort);
    QFETCH(bool, halfSpeed);
    QFETCH(bool, atMinimum);
    DriveInput in = counterFlowDrive();
    in.minimumSpeedPct = minimumSpeedPct;
    in.ambient = {{wetBulb, 0, -1, 1000}};
    const Drive d = variableSpeedDrive(in);
    QCOMPARE(d.status, Status::Ok);
    const AmbientResult& row = d.rows.front();
    QCOMPARE(row.fullSpeedShort, fullSpeedShort);
    QCOMPARE(d.hoursShort, fullSpeedShort ? 1000.0 : 0.0);
    QCOMPARE(row.twoSpeedPower, halfSpeed ? in.measuredPower / 8 : in.measuredPower);
    const double speed = atMinimum ? minimumSpeedPct / 100 : row.speed;
    QVERIFY(near(row.power, fanPower(in.measuredPower, 1, speed) / in.driveEfficiency, 1e-14));
    if (!fullSpeedShort)
        QVERIFY(std::fabs(mismatchAt(in, d, in.ambient[0], row.airFlow)) < 1e-8);
    else
        QCOMPARE(row.power, in.measuredPower / in.driveEfficiency);
    // One row is the single-point figure.
    QCOMPARE(d.airFlow, row.airFlow);
    QCOMPARE(d.kWhDrive, 1000 * row.power);
    QCOMPARE(d.kWhSavedAgainstTwoSpeed, 1000 * (row.twoSpeedPower - row.power));
}

// The search from the previous row's G* over a year of hourly air, wet bulbs and dry bulbs with
// humidities, cold to hot: every row either meets its duty at G* or is short at full speed.
void TestSavings::driveSearchOverAYear() {
    DriveInput in = counterFlowDrive();
    for (int h = 0; h < 8760; h += 7) {
        const double season = std::sin(2 * std::numbers::pi * h / 8760 - 1.8);
        const double day = std::sin(2 * std::numbers::pi * h / 24 - 2);
        if (h % 2)
            in.ambient.push_back({8 + 14 * season + 4 * day, 0, -1, 7});
        else
            in.ambient.push_back({0, 12 + 16 * season + 6 * day, 40 + 50 * (h % 3) / 2.0, 7});
    }
    const Drive d = variableSpeedDrive(in);
    QCOMPARE(d.status, Status::Ok);
    int solved = 0;
    for (std::size_t i = 0; i < d.rows.size(); ++i) {
        if (d.rows[i].fullSpeedShort)
            continue;
        ++solved;
        QVERIFY2(std::fabs(mismatchAt(in, d, in.ambient[i], d.rows[i].airFlow)) < 1e-8,
                 qPrintable(QString::number(i)));
    }
    QVERIFY(solved > 0 && d.hoursShort > 0);
    QCOMPARE(d.hours, 7.0 * in.ambient.size());
}

void TestSavings::driveRefusals() {
    DriveInput in = counterFlowDrive();
    in.ambient = {{10, 0, -1, 100}, {0, 25, 120, 100}};
    Drive d = variableSpeedDrive(in);
    QCOMPARE(d.status, Status::InvalidInput);
    QCOMPARE(d.failedRow, 1);
    in.ambient.pop_back();
    in.measuredPower = 0;
    QCOMPARE(variableSpeedDrive(in).status, Status::NoFanPower);
    in.measuredPower = 45;
    in.ambient.clear();
    QCOMPARE(variableSpeedDrive(in).status, Status::InvalidInput);
}

// An hour whose air line at full speed nearly touches saturation (L/G1 within 3e-6 of its
// pinch), where Merkel's integral cannot reach its tolerance: its demand far exceeds the
// characteristic, so the hour is short at full speed, not a refusal of the year.
void TestSavings::driveAirLineNearSaturation() {
    DriveInput in;
    in.test = {99.7, 89.9, 22.61, 15.70, 0.992, 7.27, 72.2};
    in.merkel =
        capability::evaluate(Arrangement::CounterFlow, in.test, nullptr, {}, false).merkel.value;
    in.measuredPower = 40;
    in.ambient = {{0, 14.34, 80.7, 1}};
    const Drive d = variableSpeedDrive(in);
    QCOMPARE(d.status, Status::Ok);
    QVERIFY(d.rows[0].fullSpeedShort);
    QCOMPARE(d.rowsUnsolved, 0);
}

void TestSavings::crossFlowOutlet_data() {
    QTest::addColumn<capability::TestPoint>("test");
    QTest::addColumn<bool>("capped");
    QTest::newRow("Problem 1 defaults") << problem1() << false;
    QTest::newRow("cold humid air: fog, capped")
        << capability::TestPoint{100, 60, 45, 30, 1.0, 10, 95} << true;
}

// The cell model's mixed outlet air carries the water's heat (its own grid reproduces Tout);
// its humidity never lies above saturation, and evaporation stays in the textbook band unless
// the cap took part of it.
void TestSavings::crossFlowOutlet() {
    QFETCH(capability::TestPoint, test);
    QFETCH(bool, capped);
    const CrossFlowOutlet r = savings::crossFlowOutlet(test);
    QCOMPARE(r.status, Status::Ok);
    const capability::EnteringAir air =
        capability::enteringAir(test.pressure, test.dryBulb, test.relativeHumidity);
    const double heat = kSpecificHeatWater * test.waterFlow * (test.waterIn - test.waterOut);
    QVERIFY(near(test.airFlow * (r.airEnthalpyOut - air.enthalpy), heat, 1e-7 * heat));
    QCOMPARE(r.cappedAtSaturation, capped);
    const double saturated = psychro::AbsoluteHumidity(r.airTempOut, 100, test.pressure);
    QVERIFY(r.airHumidityOut <= saturated);
    const double perKelvinPct =
        100 * r.evaporation / (test.waterFlow * (test.waterIn - test.waterOut));
    QVERIFY2(capped ? perKelvinPct > 0.05 && perKelvinPct < 0.18
                    : perKelvinPct > 0.12 && perKelvinPct < 0.18,
             qPrintable(QString::number(perKelvinPct)));
}

// G* of the cell model: at the test's air within the grid's error of G1, and in cooler air the
// characteristic cools the water to Tout on the grid used.
void TestSavings::crossFlowDrive() {
    DriveInput in;
    in.arrangement = Arrangement::CrossFlow;
    in.test = problem1();
    const capability::EnteringAir air = capability::enteringAir(1.0, 25, 55);
    const capability::CrossFlowFill fill{38, 100.0 / 90, air.enthalpy, air.wetBulb, 1.0};
    in.merkel = capability::crossFlowMerkel(fill, 33).value;
    in.measuredPower = 45;
    in.ambient = {{0, 25, 55, 1}, {10, 0, -1, 1}};
    const Drive d = variableSpeedDrive(in);
    QCOMPARE(d.status, Status::Ok);
    QVERIFY(near(d.rows[0].airFlow, 90, 1e-4));
    const double x = 100 / d.rows[1].airFlow;
    const capability::Figure out =
        capability::crossFlowWaterOut({38, x, psychro::saturatedEnthalpy(10, 1.0), 10, 1.0},
                                      d.coefficient * std::pow(x, -in.exponent), d.grid);
    QVERIFY(std::fabs(out.value - 33) < 1e-8);
    QVERIFY(d.rows[1].airFlow < 0.8 * 90);
}

void TestSavings::driveInterpolatedAgainstDirect_data() {
    QTest::addColumn<Arrangement>("arrangement");
    QTest::addColumn<int>("gridCells");
    QTest::newRow("counter flow") << Arrangement::CounterFlow << 0;
    QTest::newRow("cross flow, 20 x 20") << Arrangement::CrossFlow << 20;
}

// A year of distinct airs, every seventh hour, cold to hot: G* from the interpolant over the
// enthalpy agrees with every air solved directly within its tolerance, short rows and
// two-speed steps exactly, and a bad row is refused as it is there.
void TestSavings::driveInterpolatedAgainstDirect() {
    QFETCH(Arrangement, arrangement);
    QFETCH(int, gridCells);
    DriveInput in = counterFlowDrive();
    in.arrangement = arrangement;
    in.gridCells = gridCells;
    const capability::EnteringAir air = capability::enteringAir(1.0, 25, 55);
    if (arrangement == Arrangement::CrossFlow)
        in.merkel =
            capability::crossFlowMerkel({38, 100.0 / 90, air.enthalpy, air.wetBulb, 1.0}, 33).value;
    for (int h = 0; h < 8760; h += 7) {
        const double season = std::sin(2 * std::numbers::pi * h / 8760 - 1.8);
        const double day = std::sin(2 * std::numbers::pi * h / 24 - 2) + 0.1 * std::sin(0.61 * h);
        if (h % 2)
            in.ambient.push_back({10 + 14 * season + 4 * day, 0, -1, 7});
        else
            in.ambient.push_back({0, 13 + 16 * season + 6 * day, 60 + 30 * std::sin(0.13 * h), 7});
    }
    const Drive fast = variableSpeedDrive(in);
    in.interpolate = false;
    const Drive direct = variableSpeedDrive(in);
    QCOMPARE(fast.status, Status::Ok);
    QCOMPARE(direct.status, Status::Ok);
    QVERIFY(fast.nodes > 0 && direct.nodes == 0);
    QVERIFY(fast.interpolationError <= kDriveInterpolationTolerance);
    for (std::size_t i = 0; i < fast.rows.size(); ++i) {
        const AmbientResult& a = fast.rows[i];
        const AmbientResult& b = direct.rows[i];
        QVERIFY2(a.fullSpeedShort == b.fullSpeedShort && a.twoSpeedPower == b.twoSpeedPower &&
                     near(a.airFlow, b.airFlow, kDriveInterpolationTolerance * b.airFlow),
                 qPrintable(QString::number(i)));
    }
    QVERIFY(direct.hoursShort > 0 && direct.hoursShort < direct.hours);
    QCOMPARE(fast.hoursShort, direct.hoursShort);
    QCOMPARE(fast.kWhTwoSpeed, direct.kWhTwoSpeed);
    QVERIFY(near(fast.kWhDrive, direct.kWhDrive, kDriveInterpolationTolerance));
    QVERIFY(fast.evaluations < direct.evaluations / 10);
    in.ambient.push_back({0, 25, 120, 1});
    in.interpolate = true;
    QCOMPARE(variableSpeedDrive(in).failedRow, int(in.ambient.size()) - 1);
}

QTEST_APPLESS_MAIN(TestSavings)
#include "tst_savings.moc"
