// The counter-flow searches over the range the entry fields allow: every search ends, either
// with finite results within its tolerance or with a refusal status.

#include "core/counterflow.h"
#include "core/psychro.h"

#include <QElapsedTimer>
#include <QtTest>
#include <cmath>

using counterflow::Status;

class TestCounterFlowSearch : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The outlet water temperature at which the tower needs a given NTU (Problems 2 and 3).
    // The NTU needed falls to zero as the outlet water approaches the inlet and grows as it
    // approaches the wet bulb, without bound unless L/G is small.
    void outletTemperatureSweep_data() {
        QTest::addColumn<double>("tolerance");
        QTest::newRow("acceptance test, 1e-6") << counterflow::kAcceptanceNtuTolerance;
        QTest::newRow("new flows, 1e-5") << counterflow::kNewFlowNtuTolerance;
    }
    void outletTemperatureSweep() {
        QFETCH(double, tolerance);
        QElapsedTimer timer;
        timer.start();
        int searches = 0, found = 0;
        for (double p : {0.9, 1.0, 1.15})
            for (double tdb : {5.0, 20.0, 35.0})
                for (double rh : {10.0, 50.0, 90.0}) {
                    const psychro::AirResult air =
                        psychro::moistAirState(psychro::Given::RelativeHumidity, p, tdb, rh);
                    QCOMPARE(air.status, psychro::AirStatus::Ok);
                    const double twb = air.state.wetBulb;
                    for (double tin : {twb + 1, 30.0, 45.0}) {
                        if (!(tin > twb))
                            continue;
                        for (double L : {10.0, 50.0, 100.0, 150.0, 200.0})
                            for (double G : {10.0, 50.0, 100.0, 200.0})
                                for (double target : {0.5, 5.0, 30.0, 150.0}) {
                                    ++searches;
                                    const counterflow::OutletSearch s =
                                        counterflow::findOutletTemperature(
                                            {0, tin, L, G, p, air.state.enthalpy, tdb}, twb, target,
                                            tolerance);
                                    const QString where =
                                        QStringLiteral("p %1 tdb %2 rh %3 tin %4 L %5 G %6 NTU %7")
                                            .arg(p)
                                            .arg(tdb)
                                            .arg(rh)
                                            .arg(tin)
                                            .arg(L)
                                            .arg(G)
                                            .arg(target);
                                    QVERIFY2(s.passes <= counterflow::kMaxBisectionPasses,
                                             qPrintable(where));
                                    if (s.status != Status::Ok) {
                                        // Only a target beyond the most the fill can need
                                        // (a small L/G keeps the need finite down to the
                                        // wet bulb) is out of reach.
                                        QVERIFY2(s.status == Status::NotConverged,
                                                 qPrintable(where));
                                        const counterflow::Integration deepest =
                                            counterflow::integrate({twb + 1e-9 * (tin - twb), tin,
                                                                    L, G, p, air.state.enthalpy,
                                                                    tdb});
                                        QVERIFY2(deepest.status != Status::Ok ||
                                                     deepest.ntu < target,
                                                 qPrintable(where));
                                        continue;
                                    }
                                    ++found;
                                    QVERIFY2(std::fabs(s.fill.ntu - target) < tolerance,
                                             qPrintable(where));
                                    QVERIFY2(s.waterOut > twb && s.waterOut < tin,
                                             qPrintable(where));
                                    QVERIFY2(std::isfinite(s.fill.airTempOut) &&
                                                 std::isfinite(s.fill.airEnthalpyOut),
                                             qPrintable(where));
                                    // The air leaves warmer in enthalpy than it came.
                                    QVERIFY2(s.fill.airEnthalpyOut > air.state.enthalpy,
                                             qPrintable(where));
                                }
                    }
                }
        qInfo("%d searches, %d found, in %lld ms", searches, found,
              static_cast<long long>(timer.elapsed()));
        QVERIFY(found > searches * 9 / 10);
        QVERIFY(timer.elapsed() < 5000);
    }

    // Targets no outlet temperature can meet end with a status, not a hang.
    void unreachableTargets_data() {
        QTest::addColumn<double>("target");
        QTest::addColumn<double>("lowest");
        QTest::addColumn<double>("waterIn");
        QTest::addColumn<double>("L");
        QTest::addColumn<Status>("status");
        QTest::newRow("negative NTU") << -1.0 << 21.0 << 34.0 << 100.0 << Status::NotConverged;
        QTest::newRow("NTU beyond any precision")
            << 1e9 << 21.0 << 34.0 << 100.0 << Status::NotConverged;
        QTest::newRow("not a number") << qQNaN() << 21.0 << 34.0 << 100.0 << Status::InvalidBracket;
        QTest::newRow("water IN at the wet bulb")
            << 30.0 << 21.0 << 21.0 << 100.0 << Status::InvalidBracket;
        QTest::newRow("water IN below the wet bulb")
            << 30.0 << 21.0 << 20.0 << 100.0 << Status::InvalidBracket;
        QTest::newRow("no water") << 30.0 << 21.0 << 34.0 << 0.0 << Status::ZeroFlow;
    }
    void unreachableTargets() {
        QFETCH(double, target);
        QFETCH(double, lowest);
        QFETCH(double, waterIn);
        QFETCH(double, L);
        QFETCH(Status, status);
        const double h = psychro::saturatedEnthalpy(21, 1.0);
        const counterflow::OutletSearch s = counterflow::findOutletTemperature(
            {0, waterIn, L, 90, 1.0, h, 27}, lowest, target, counterflow::kAcceptanceNtuTolerance);
        QCOMPARE(s.status, status);
        QVERIFY(s.passes <= counterflow::kMaxBisectionPasses);
    }

    // The water flow that rejects a given heat at constant L/G (Problem 4).
    void waterFlowSweep() {
        QElapsedTimer timer;
        timer.start();
        int searches = 0, found = 0;
        for (double p : {0.9, 1.0, 1.15})
            for (double twb : {10.0, 20.0, 28.0})
                for (double dryExcess : {0.0, 10.0})
                    for (double T4 : {25.0, 35.0, 45.0})
                        for (double Q : {100.0, 1000.0, 5000.0})
                            for (double ntu3 : {1.0, 10.0, 50.0})
                                for (double L3 : {10.0, 100.0, 200.0})
                                    for (double ratio : {0.3, 1.0, 3.0}) {
                                        ++searches;
                                        const double tdb = twb + dryExcess;
                                        const psychro::AirResult air = psychro::moistAirState(
                                            psychro::Given::WetBulb, p, tdb, twb);
                                        QCOMPARE(air.status, psychro::AirStatus::Ok);
                                        const counterflow::FlowSearch s =
                                            counterflow::findWaterFlow(
                                                {Q, T4, twb, tdb, air.state.enthalpy, p},
                                                {ntu3, L3, L3 / ratio, ratio});
                                        const QString where =
                                            QStringLiteral("p %1 twb %2 tdb %3 T4 %4 Q %5 NTU3 "
                                                           "%6 L3 %7 L/G %8")
                                                .arg(p)
                                                .arg(twb)
                                                .arg(tdb)
                                                .arg(T4)
                                                .arg(Q)
                                                .arg(ntu3)
                                                .arg(L3)
                                                .arg(ratio);
                                        QVERIFY2(s.passes <= counterflow::kMaxBisectionPasses,
                                                 qPrintable(where));
                                        if (!(T4 - twb > counterflow::kSmallestRange)) {
                                            QVERIFY2(s.status == Status::InvalidBracket,
                                                     qPrintable(where));
                                            continue;
                                        }
                                        if (s.status != Status::Ok) {
                                            QVERIFY2(s.status == Status::NotConverged,
                                                     qPrintable(where));
                                            // Out of reach only when the tower offers too
                                            // little at the largest flow, or more than the
                                            // cooling down to the wet bulb needs at the
                                            // smallest.
                                            const auto trial = [&](double L) {
                                                const double t = T4 - Q / (4.19 * L);
                                                const counterflow::Integration fill =
                                                    counterflow::integrate({t, T4, L, L / ratio, p,
                                                                            air.state.enthalpy,
                                                                            tdb});
                                                const double offered = ntu3 * L / L3;
                                                return fill.status != Status::Ok
                                                           ? 1
                                                           : (fill.ntu < offered ? -1 : 1);
                                            };
                                            const double lowest = Q / (4.19 * (T4 - twb));
                                            const double highest = Q / (4.19 * 0.1);
                                            QVERIFY2(trial(highest * (1 - 1e-12)) > 0 ||
                                                         trial(lowest * (1 + 1e-12)) < 0,
                                                     qPrintable(where));
                                            continue;
                                        }
                                        ++found;
                                        const double L = s.waterFlow;
                                        QVERIFY2(std::isfinite(L) && std::isfinite(s.waterOut) &&
                                                     std::isfinite(s.fill.airTempOut) &&
                                                     std::isfinite(s.fill.airEnthalpyOut),
                                                 qPrintable(where));
                                        QVERIFY2(std::fabs(4.19 * L * (T4 - s.waterOut) - Q) <=
                                                     1e-9 * Q,
                                                 qPrintable(where));
                                        QVERIFY2(s.waterOut > twb && s.waterOut <= T4 - 0.1 + 1e-9,
                                                 qPrintable(where));
                                        QVERIFY2(std::fabs(s.airFlow - L / ratio) <= 1e-9 * L,
                                                 qPrintable(where));
                                        QVERIFY2(std::fabs(s.ntu - ntu3 * L / L3) <= 1e-9 * s.ntu,
                                                 qPrintable(where));
                                        QVERIFY2(std::fabs(s.ntu - s.fill.ntu) <
                                                     counterflow::kNewFlowNtuTolerance,
                                                 qPrintable(where));
                                    }
        qInfo("%d searches, %d found, in %lld ms", searches, found,
              static_cast<long long>(timer.elapsed()));
        QVERIFY(found > searches / 2);
        QVERIFY(timer.elapsed() < 5000);
    }

    // A tower that offers too few transfer units for the duty even at the largest flow.
    void waterFlowBeyondTheTower() {
        const double h = psychro::saturatedEnthalpy(22, 1.0);
        const counterflow::FlowSearch s =
            counterflow::findWaterFlow({2200, 36, 22, 22, h, 1.0}, {0.0, 105, 110, 105.0 / 110});
        QCOMPARE(s.status, Status::NotConverged);
        const counterflow::FlowSearch none =
            counterflow::findWaterFlow({0, 36, 22, 22, h, 1.0}, {35, 105, 110, 105.0 / 110});
        QCOMPARE(none.status, Status::InvalidBracket);
    }
};

QTEST_APPLESS_MAIN(TestCounterFlowSearch)
#include "tst_counterflowsearch.moc"
