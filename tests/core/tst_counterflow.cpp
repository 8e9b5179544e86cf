// The counter-flow integration along the fill: reference results, the energy balance, the
// limits (no cooling, no flow, no driving force) and the trend of NTU with the cooling asked.
//
// Reference values come from a separate double-precision implementation of the same 25-interval
// sweep written from the published description; they agree with this code to the last few
// bits, so the tolerances (1e-9 relative) only cover summation order.

#include "core/counterflow.h"
#include "core/psychro.h"

#include <QTest>
#include <cmath>
#include <limits>

using namespace counterflow;

Q_DECLARE_METATYPE(counterflow::Status)

namespace {

// Problem 1 defaults: L 100, G 90, water 38 -> 33 degC, 1 bar, air in at 25 degC with the
// enthalpy the moist-air calculator shows for 55 % ("53.1840").
Fill defaultFill() {
    return {33, 38, 100, 90, 1, 53.1840, 25};
}

bool near(double actual, double expected, double relative = 1e-9) {
    return std::fabs(actual - expected) <= relative * std::max(1.0, std::fabs(expected));
}

} // namespace

class TestCounterflowIntegration : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void referenceResults_data();
    void referenceResults();
    void energyBalance_data();
    void energyBalance();
    void noCoolingNeedsNoTransferUnits();
    void refusals_data();
    void refusals();
    void ntuGrowsWithTheCooling();
    void integrationEndsOverTheFieldRanges();
};

void TestCounterflowIntegration::referenceResults_data() {
    QTest::addColumn<double>("waterOut");
    QTest::addColumn<double>("waterIn");
    QTest::addColumn<double>("L");
    QTest::addColumn<double>("G");
    QTest::addColumn<double>("p");
    QTest::addColumn<double>("hIn");
    QTest::addColumn<double>("tIn");
    QTest::addColumn<double>("ntu");
    QTest::addColumn<double>("hOut");
    QTest::addColumn<double>("tOut");
    QTest::newRow("Problem 1 defaults")
        << 33.0 << 38.0 << 100.0 << 90.0 << 1.0 << 53.1840 << 25.0 << 30.584773578957403
        << 76.46177777777777 << 28.047040837257885;
    QTest::newRow("close to the pinch")
        << 30.0 << 45.0 << 150.0 << 100.0 << 1.01325 << 60.0 << 30.0 << 236.54164519422707
        << 154.27499999999992 << 38.7549060579323;
    QTest::newRow("low pressure, much air")
        << 25.0 << 30.0 << 50.0 << 120.0 << 0.9 << 40.0 << 20.0 << 20.818653931476028
        << 48.72916666666672 << 21.18363778711747;
}

void TestCounterflowIntegration::referenceResults() {
    QFETCH(double, waterOut);
    QFETCH(double, waterIn);
    QFETCH(double, L);
    QFETCH(double, G);
    QFETCH(double, p);
    QFETCH(double, hIn);
    QFETCH(double, tIn);
    QFETCH(double, ntu);
    QFETCH(double, hOut);
    QFETCH(double, tOut);
    const Integration r = integrate({waterOut, waterIn, L, G, p, hIn, tIn});
    QCOMPARE(r.status, Status::Ok);
    QVERIFY2(near(r.ntu, ntu), qPrintable(QString::number(r.ntu, 'g', 17)));
    QVERIFY2(near(r.airEnthalpyOut, hOut), qPrintable(QString::number(r.airEnthalpyOut, 'g', 17)));
    QVERIFY2(near(r.airTempOut, tOut), qPrintable(QString::number(r.airTempOut, 'g', 17)));
}

void TestCounterflowIntegration::energyBalance_data() {
    QTest::addColumn<double>("waterOut");
    QTest::addColumn<double>("waterIn");
    QTest::addColumn<double>("L");
    QTest::addColumn<double>("G");
    QTest::newRow("defaults") << 33.0 << 38.0 << 100.0 << 90.0;
    QTest::newRow("small range") << 37.9 << 38.0 << 100.0 << 90.0;
    QTest::newRow("little water") << 30.0 << 38.0 << 10.0 << 150.0;
    QTest::newRow("typed decimals") << 32.996 << 38.004 << 100.004 << 89.997;
}

void TestCounterflowIntegration::energyBalance() {
    // The heat the water gives up is what the air takes: h_out - h_in = cpw L (Tin - Tout) / G.
    // The air leaves no warmer than the water entering, no cooler than it came in here.
    QFETCH(double, waterOut);
    QFETCH(double, waterIn);
    QFETCH(double, L);
    QFETCH(double, G);
    Fill fill = defaultFill();
    fill.waterOut = waterOut;
    fill.waterIn = waterIn;
    fill.waterFlow = L;
    fill.airFlow = G;
    const Integration r = integrate(fill);
    QCOMPARE(r.status, Status::Ok);
    const double expected = kSpecificHeatWater * L * (waterIn - waterOut) / G;
    QVERIFY2(std::fabs((r.airEnthalpyOut - fill.airEnthalpyIn) - expected) < 1e-10,
             qPrintable(QString::number(r.airEnthalpyOut - fill.airEnthalpyIn - expected)));
    QVERIFY(r.airTempOut > fill.airTempIn);
    QVERIFY(r.airTempOut < waterIn);
    QVERIFY(r.ntu > 0);
}

void TestCounterflowIntegration::noCoolingNeedsNoTransferUnits() {
    Fill fill = defaultFill();
    fill.waterOut = fill.waterIn;
    const Integration r = integrate(fill);
    QCOMPARE(r.status, Status::Ok);
    QCOMPARE(r.ntu, 0.0);
    QCOMPARE(r.airEnthalpyOut, fill.airEnthalpyIn);
    QCOMPARE(r.airTempOut, fill.airTempIn);
    // Even where the air is warmer than saturated air at the water: nothing is transferred.
    fill.waterIn = fill.waterOut = 10;
    QCOMPARE(integrate(fill).status, Status::Ok);
}

void TestCounterflowIntegration::refusals_data() {
    QTest::addColumn<double>("waterOut");
    QTest::addColumn<double>("waterIn");
    QTest::addColumn<double>("L");
    QTest::addColumn<double>("G");
    QTest::addColumn<double>("p");
    QTest::addColumn<Status>("status");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("no water") << 33.0 << 38.0 << 0.0 << 90.0 << 1.0 << Status::ZeroFlow;
    QTest::newRow("no air") << 33.0 << 38.0 << 100.0 << 0.0 << 1.0 << Status::ZeroFlow;
    QTest::newRow("negative water") << 33.0 << 38.0 << -1.0 << 90.0 << 1.0 << Status::ZeroFlow;
    QTest::newRow("flow not a number") << 33.0 << 38.0 << nan << 90.0 << 1.0 << Status::ZeroFlow;
    // The inlet wet bulb is 18.6 degC: water leaving at 15 degC meets air with more enthalpy
    // than saturated air at the water in the first interval (43.6 against 57.5 kJ/kg).
    QTest::newRow("water out below the wet bulb")
        << 15.0 << 38.0 << 100.0 << 90.0 << 1.0 << Status::NoDrivingForce;
    // Three times the water on half the air: the air catches up with the water in the 18th
    // interval (143.7 against 140.6 kJ/kg).
    QTest::newRow("pinch inside the fill")
        << 33.0 << 38.0 << 300.0 << 50.0 << 1.0 << Status::NoDrivingForce;
    QTest::newRow("pressure not a number")
        << 33.0 << 38.0 << 100.0 << 90.0 << nan << Status::NonFinite;
}

void TestCounterflowIntegration::refusals() {
    QFETCH(double, waterOut);
    QFETCH(double, waterIn);
    QFETCH(double, L);
    QFETCH(double, G);
    QFETCH(double, p);
    QFETCH(Status, status);
    Fill fill = defaultFill();
    fill.waterOut = waterOut;
    fill.waterIn = waterIn;
    fill.waterFlow = L;
    fill.airFlow = G;
    fill.pressure = p;
    const Integration r = integrate(fill);
    QCOMPARE(r.status, status);
    // A refused integration carries no numbers a window could show by mistake.
    QCOMPARE(r.ntu, 0.0);
}

void TestCounterflowIntegration::ntuGrowsWithTheCooling() {
    // Cooling the water further needs more transfer units, without bound as the outlet water
    // approaches the pinch.
    Fill fill = defaultFill();
    double previous = 0;
    for (double out = 37.5; out >= 20; out -= 0.5) {
        fill.waterOut = out;
        const Integration r = integrate(fill);
        if (r.status == Status::NoDrivingForce)
            break;
        QCOMPARE(r.status, Status::Ok);
        QVERIFY2(r.ntu > previous, qPrintable(QString::number(out)));
        previous = r.ntu;
    }
    QVERIFY(previous > 100);
}

void TestCounterflowIntegration::integrationEndsOverTheFieldRanges() {
    // Every input the Problem windows can pass (flows 0.01..200 kg/s, water 0..90 degC with the
    // outlet anywhere between 0 degC and the inlet, air 0..80 degC at 0..100 %, 0.9..1.15 bar)
    // either integrates to finite results that balance the water's heat, or is refused as a
    // fill without driving force; nothing comes back non-finite.
    int ok = 0;
    int total = 0;
    for (double p : {0.9, 1.0, 1.15})
        for (double tdb : {0.0, 25.0, 80.0})
            for (double rh : {0.0, 55.0, 100.0}) {
                const psychro::AirResult air =
                    psychro::moistAirState(psychro::Given::RelativeHumidity, p, tdb, rh);
                if (air.status != psychro::AirStatus::Ok)
                    continue; // no such air (80 degC saturated at 0.9 bar): Form5 refuses it
                for (double tin : {0.0, 20.0, 38.0, 60.0, 90.0})
                    for (double share : {0.0, 0.2, 0.7, 1.0})
                        for (double L : {0.01, 10.0, 100.0, 200.0})
                            for (double G : {0.01, 10.0, 90.0, 200.0}) {
                                const Fill fill{tin * (1 - share),  tin, L, G, p,
                                                air.state.enthalpy, tdb};
                                const Integration r = integrate(fill);
                                const QString where =
                                    QStringLiteral("p %1 tdb %2 rh %3 tin %4 tout %5 L %6 G %7")
                                        .arg(p)
                                        .arg(tdb)
                                        .arg(rh)
                                        .arg(tin)
                                        .arg(fill.waterOut)
                                        .arg(L)
                                        .arg(G);
                                ++total;
                                if (r.status != Status::Ok) {
                                    QVERIFY2(r.status == Status::NoDrivingForce, qPrintable(where));
                                    continue;
                                }
                                ++ok;
                                QVERIFY2(std::isfinite(r.ntu) && r.ntu >= 0 &&
                                             std::isfinite(r.airEnthalpyOut) &&
                                             std::isfinite(r.airTempOut),
                                         qPrintable(where));
                                const double water =
                                    (fill.waterIn - fill.waterOut) * kSpecificHeatWater * L;
                                QVERIFY2(
                                    near((r.airEnthalpyOut - fill.airEnthalpyIn) * G, water, 1e-9),
                                    qPrintable(where));
                            }
            }
    qInfo("integration: %d of %d combinations integrated", ok, total);
    QVERIFY(ok > total / 4);
}

QTEST_APPLESS_MAIN(TestCounterflowIntegration)
#include "tst_counterflow.moc"
