// The measurement model and the propagation of the instruments' accuracies, checked against
// figures derived by hand where the model is analytic, against each other (first order and
// Monte Carlo), and on cases built to sit on either side of a verdict or of a search's limit.

#include "uncertainty/propagation.h"

#include <QtTest>
#include <cmath>
#include <cstring>

using namespace uncertainty;

namespace {

// The default inputs of the windows, Problem by Problem.
Case defaults(Arrangement arrangement) {
    Case c;
    if (arrangement == Arrangement::CounterFlow) {
        c.measured = {100, 90, 38, 33, 1, 25, 55};
        c.design = {90, 34, 31, 21, 27};
        c.newFlows = {105, 110};
        c.duty = {2200, 36, 30, 22};
    } else {
        c.measured = {90, 70, 37, 34, 1, 28, 55};
        c.design = {90, 34, 31, 21, 25};
        c.newFlows = {35, 25};
        c.duty = {500, 35, 28, 22};
    }
    return c;
}

const double kTemperatureU = 0.05 / std::sqrt(3.0);

} // namespace

class TestUncertaintyModel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Range = Tin - Tout: U = 2 x 0.05 x sqrt(2/3) = 0.082 K, half of the variance from each
    // thermometer; heat capacity = range x 4.19 x L: U = 2 Q sqrt((u_range / range)^2 +
    // (0.02 / sqrt(3))^2), about 59 kW with the counter-flow defaults.
    void handDerivedFigures_data() {
        QTest::addColumn<int>("arrangement");
        QTest::addColumn<double>("expectedHeatU");
        QTest::newRow("counter flow") << int(Arrangement::CounterFlow) << 59.0;
        QTest::newRow("cross flow") << int(Arrangement::CrossFlow) << 40.0;
    }
    void handDerivedFigures() {
        QFETCH(int, arrangement);
        QFETCH(double, expectedHeatU);
        Case c = defaults(Arrangement(arrangement));
        c.problems = 1;
        const Analysis a = firstOrder(Arrangement(arrangement), c, hintAccuracies());
        QVERIFY(a.failures.empty());
        const double rangeU = 2 * 0.05 * std::sqrt(2.0 / 3);
        QVERIFY(std::fabs(a.results[Range].expanded - rangeU) < 1e-9);
        QCOMPARE(a.results[Range].top[0].share + a.results[Range].top[1].share, 100.0);
        QCOMPARE(std::lround(a.results[Range].top[0].share), 50L);

        const double range = c.measured[WaterIn] - c.measured[WaterOut];
        const double Q = range * 4.19 * c.measured[WaterFlow];
        const double heatU = 2 * Q * std::hypot(rangeU / 2 / range, 0.02 / std::sqrt(3.0));
        QVERIFY(std::fabs(a.results[Heat].expanded - heatU) < 1e-9 * heatU);
        QVERIFY(std::fabs(heatU - expectedHeatU) < 0.5);
        // The water-flow meter's share of the heat's variance.
        const double flowTerm = 0.02 * 0.02 / 3, rangeTerm = std::pow(rangeU / 2 / range, 2);
        double flowShare = 0;
        for (const Contribution& k : a.results[Heat].top)
            if (k.input == WaterFlow)
                flowShare = k.share;
        QVERIFY(std::fabs(flowShare - 100 * flowTerm / (flowTerm + rangeTerm)) < 1e-6);
    }

    // On the counter-flow chain (all four Problems) the two methods agree within the sampling
    // error of 10,000 draws (well under 3 % on a standard deviation), and the draws do not
    // depend on the number of threads.
    void methodsAgree() {
        const Case c = defaults(Arrangement::CounterFlow);
        const Analysis fo = firstOrder(Arrangement::CounterFlow, c, hintAccuracies());
        MonteCarloOptions options;
        const Analysis mc = monteCarlo(Arrangement::CounterFlow, c, hintAccuracies(), options);
        QCOMPARE(mc.draws, 10000);
        QVERIFY(mc.failures.empty());
        for (int r = 0; r < kResultCount; ++r) {
            const double f = fo.results[r].expanded, m = mc.results[r].expanded;
            QVERIFY2(std::fabs(f - m) < 0.03 * m,
                     qPrintable(QStringLiteral("%1: first order %2, Monte Carlo %3")
                                    .arg(QLatin1String(resultInfo(r).column))
                                    .arg(f)
                                    .arg(m)));
            QVERIFY(!methodsDisagree(f, m));
        }
        options.draws = 500;
        options.threads = 1;
        const Analysis one = monteCarlo(Arrangement::CounterFlow, c, hintAccuracies(), options);
        options.threads = 3;
        const Analysis three = monteCarlo(Arrangement::CounterFlow, c, hintAccuracies(), options);
        for (int r = 0; r < kResultCount; ++r)
            QCOMPARE(one.results[r].expanded, three.results[r].expanded);
    }

    // The stopping rule on batches whose figures are made up: two batches whose means differ
    // by 1 give twice the standard deviation of their average exactly 1.
    void batchesStable_data() {
        QTest::addColumn<QList<double>>("means"); // one batch each; u, low and high constant
        QTest::addColumn<double>("tolerance");
        QTest::addColumn<bool>("stable");
        QTest::newRow("one batch") << QList<double>{0.0} << 1e9 << false;
        QTest::newRow("identical, zero tolerance") << QList<double>{3.0, 3.0} << 0.0 << true;
        QTest::newRow("two, at the tolerance") << QList<double>{0.0, 1.0} << 1.0 << true;
        QTest::newRow("two, just over") << QList<double>{0.0, 1.0} << 0.999 << false;
        // Four batches 0, 1, 0, 1: s = 0.57735, of the average 0.288675, twice 0.57735.
        QTest::newRow("four, within") << QList<double>{0.0, 1.0, 0.0, 1.0} << 0.578 << true;
        QTest::newRow("four, over") << QList<double>{0.0, 1.0, 0.0, 1.0} << 0.577 << false;
        QTest::newRow("not a number") << QList<double>{0.0, std::nan("")} << 1e9 << false;
    }
    void batchesStable() {
        QFETCH(QList<double>, means);
        QFETCH(double, tolerance);
        QFETCH(bool, stable);
        std::vector<BatchFigures> batches;
        for (double m : means)
            batches.push_back({m, 0.5, -1, 1});
        QCOMPARE(uncertainty::batchesStable(batches, tolerance), stable);
        // Any one of the four figures can hold the run back.
        if (stable && means.size() >= 2) {
            batches[1].high += 2 * tolerance + 1;
            QVERIFY(!uncertainty::batchesStable(batches, tolerance));
        }
    }

    // A batch's figures: 1 ... 2000 shuffled has the 50th and the 1950th value as the ends of
    // its 95 % interval; fewer than two values have none.
    void batchFiguresOfKnownValues() {
        std::vector<double> values;
        for (int i = 2000; i >= 1; --i)
            values.push_back(double((i * 7919) % 2000 + 1));
        const BatchFigures f = batchFigures(values);
        QCOMPARE(f.mean, 1000.5);
        QVERIFY(std::fabs(f.u - std::sqrt(2000.0 * 2001 / 12)) < 1e-9);
        QCOMPARE(f.low, 50.0);
        QCOMPARE(f.high, 1950.0);
        const BatchFigures two = batchFigures({1.0, 3.0});
        QCOMPARE(two.low, 1.0);
        QCOMPARE(two.high, 3.0);
        QVERIFY(std::isnan(batchFigures({1.0}).mean));
    }

    void twoDigitTolerance_data() {
        QTest::addColumn<double>("u");
        QTest::addColumn<double>("tolerance");
        QTest::newRow("0.0253") << 0.0253 << 0.0005;
        QTest::newRow("0.0996 shows as 0.10") << 0.0996 << 0.005;
        QTest::newRow("25") << 25.0 << 0.5;
        QTest::newRow("1234") << 1234.0 << 50.0;
        QTest::newRow("zero") << 0.0 << 0.0;
        QTest::newRow("not a number") << std::nan("") << 0.0;
    }
    void twoDigitTolerance() {
        QFETCH(double, u);
        QFETCH(double, tolerance);
        QVERIFY(std::fabs(uncertainty::twoDigitTolerance(u) - tolerance) < 1e-12 * (1 + tolerance));
    }

    // Problem 1 of the counter flow, run adaptively on U: it stops once stable, in whole
    // batches and before the cap, and its figures then hold to the tolerance (the range's u is
    // known: 0.05 sqrt(2/3) = 0.0408 K). Judging the mean and the interval's ends as well needs
    // many more draws: a cap stops that run, in the middle of a batch, without calling it
    // stable.
    void adaptiveStopAndCap() {
        Case c = defaults(Arrangement::CounterFlow);
        c.problems = 1;
        MonteCarloOptions options;
        options.draws = 2000;
        options.adaptive = true;
        options.maxDraws = 100000;
        options.threads = 2;
        options.judged = UncertaintyFigure;
        const Analysis a = monteCarlo(Arrangement::CounterFlow, c, hintAccuracies(), options);
        QVERIFY(a.stable);
        QVERIFY(!a.cancelled);
        QVERIFY(a.batches >= 2);
        QCOMPARE(a.draws, a.batches * options.draws);
        QVERIFY(a.draws < options.maxDraws);
        const double u = kTemperatureU * std::sqrt(2.0);
        QVERIFY2(std::fabs(a.results[Range].expanded / 2 - u) <
                     2 * uncertainty::twoDigitTolerance(u),
                 qPrintable(QString::number(a.results[Range].expanded)));

        options.judged = kAllBatchFigures;
        options.maxDraws = a.draws + 3 * options.draws + options.draws / 2;
        const Analysis all = monteCarlo(Arrangement::CounterFlow, c, hintAccuracies(), options);
        QVERIFY(!all.stable);
        QCOMPARE(all.draws, options.maxDraws);
        QCOMPARE(all.batches, a.batches + 4);
        // The first draws are the same ones in both runs, so the U of the longer run is close.
        QVERIFY(std::fabs(all.results[Range].expanded / 2 - u) <
                2 * uncertainty::twoDigitTolerance(u));

        // A fixed run is one batch and never judged.
        options.adaptive = false;
        const Analysis fixed = monteCarlo(Arrangement::CounterFlow, c, hintAccuracies(), options);
        QCOMPARE(fixed.draws, options.draws);
        QCOMPARE(fixed.batches, 1);
        QVERIFY(!fixed.stable);
    }

    // The figures, the stop and the failed draws are the same for 1, 2 and 4 threads, on a
    // cross-flow chain whose NTU search fails for part of the draws.
    void sameFiguresForAnyThreadCount_data() {
        QTest::addColumn<int>("threads");
        QTest::newRow("2") << 2;
        QTest::newRow("4") << 4;
    }
    void sameFiguresForAnyThreadCount() {
        QFETCH(int, threads);
        Case c = defaults(Arrangement::CrossFlow);
        c.problems = 1;
        c.measured[WaterOut] = 25.6;
        MonteCarloOptions options;
        options.draws = 40;
        options.adaptive = true;
        options.maxDraws = 100;
        options.threads = 1;
        const Analysis one = monteCarlo(Arrangement::CrossFlow, c, hintAccuracies(), options);
        options.threads = threads;
        const Analysis many = monteCarlo(Arrangement::CrossFlow, c, hintAccuracies(), options);
        QCOMPARE(many.draws, one.draws);
        QCOMPARE(many.batches, one.batches);
        QCOMPARE(many.stable, one.stable);
        QVERIFY(one.results[Ntu].failedDraws > 0);
        for (int r = 0; r < kResultCount; ++r) {
            QCOMPARE(many.results[r].failedDraws, one.results[r].failedDraws);
            // Bit for bit, NaN included.
            QCOMPARE(
                std::memcmp(&many.results[r].expanded, &one.results[r].expanded, sizeof(double)),
                0);
        }
        QCOMPARE(many.failures, one.failures);
    }

    // The acceptance test's verdict: the design water flow is chosen so that the deviation is
    // k times its own uncertainty.
    void verdictFlips_data() {
        QTest::addColumn<double>("k");
        QTest::addColumn<int>("expected");
        QTest::newRow("twice U above") << 2.0 << int(Verdict::AboveDesign);
        QTest::newRow("half U above") << 0.5 << int(Verdict::CannotTell);
        QTest::newRow("half U below") << -0.5 << int(Verdict::CannotTell);
        QTest::newRow("twice U below") << -2.0 << int(Verdict::BelowDesign);
    }
    void verdictFlips() {
        QFETCH(double, k);
        QFETCH(int, expected);
        Case c = defaults(Arrangement::CounterFlow);
        c.problems = 2;
        const Analysis base = firstOrder(Arrangement::CounterFlow, c, hintAccuracies());
        // D = 100 (Qa - Qd) / Qd and U(D) = 100 U(Qa) / Qd (Qd exact): D = k U(D) gives
        // D = 100 k r / (1 - k r) with r = U(Qa) / Qa.
        const double Qa = base.results[HeatAchieved].value;
        const double r = base.results[HeatAchieved].expanded / Qa;
        const double D = 100 * k * r / (1 - k * r);
        c.design.waterFlow = Qa / (1 + D / 100) / (4.19 * (c.design.waterIn - c.design.waterOut));
        const Analysis a = firstOrder(Arrangement::CounterFlow, c, hintAccuracies());
        const ResultUncertainty& dev = a.results[DesignDeviation];
        QVERIFY(std::fabs(dev.value - D) < 1e-6);
        QVERIFY(std::fabs(dev.value / dev.expanded - k) < 1e-6);
        QCOMPARE(int(verdict(dev.value, dev.expanded)), expected);
    }

    // Near the end of the cross-flow NTU search (no NTU above 495): the measured outlet
    // temperature needs an NTU of about 490, the thermometer's lower reading more than the
    // search tries. That chain is reported and the results that depend on it have no figure;
    // those that do not (range, heat) keep theirs. Monte Carlo counts the failing draws.
    void failingPerturbedSearchIsReported() {
        Case c = defaults(Arrangement::CrossFlow);
        c.problems = 1;
        c.measured[WaterOut] = 25.6;
        const Analysis a = firstOrder(Arrangement::CrossFlow, c, hintAccuracies());
        QCOMPARE(a.nominal.problemsDone, 1);
        QVERIFY(a.results[Ntu].value > 480 && a.results[Ntu].value < 495);
        // Each chain that needs more than the search tries is named with its input's value;
        // the lower outlet reading is one of them, the upper one is not.
        QStringList failures;
        for (const std::string& f : a.failures) {
            failures << QString::fromStdString(f);
            QVERIFY2(
                failures.last().endsWith(QStringLiteral(": Problem 1: NTU search: no number "
                                                        "of transfer units up to 495 cools "
                                                        "the water to the outlet temperature")),
                qPrintable(failures.last()));
        }
        QVERIFY(failures.filter(QStringLiteral("Water temperature OUT 25.5711 oC")).size() == 1);
        QVERIFY(failures.filter(QStringLiteral("Water temperature OUT 25.6289")).isEmpty());
        for (int r : {Ntu, OutletDryBulb, OutletWetBulb, OutletEnthalpy})
            QVERIFY(std::isnan(a.results[r].expanded));
        for (int r : {Heat, Range, Approach, InletWetBulb})
            QVERIFY(std::isfinite(a.results[r].expanded));

        MonteCarloOptions options;
        options.draws = 60;
        const Analysis mc = monteCarlo(Arrangement::CrossFlow, c, hintAccuracies(), options);
        QVERIFY(mc.results[Ntu].failedDraws > 0);
        QCOMPARE(mc.results[Range].failedDraws, 0);
        QVERIFY(!mc.failures.empty());
        QVERIFY(QString::fromStdString(mc.failures.front()).contains(QStringLiteral("NTU search")));
    }

    // A draw's cross-flow searches start from the measured chain's roots and slopes; they must
    // find what the searches from scratch find, to the searches' tolerances, and so must the
    // bracketing searches they fall back on without slopes.
    void nearbyChainsFindTheirOwnRoots_data() {
        QTest::addColumn<int>("input");
        QTest::addColumn<double>("change");
        QTest::newRow("water flow +2 %") << int(WaterFlow) << 1.8;
        QTest::newRow("air flow -2 %") << int(AirFlow) << -1.4;
        QTest::newRow("water IN +0.05 K") << int(WaterIn) << 0.05;
        QTest::newRow("water OUT -0.05 K") << int(WaterOut) << -0.05;
        QTest::newRow("pressure +1 %") << int(Pressure) << 0.01;
        QTest::newRow("dry bulb -0.05 K") << int(DryBulb) << -0.05;
        QTest::newRow("humidity +5 %") << int(RelativeHumidity) << 5.0;
        QTest::newRow("water OUT -1 K, far from the measured root") << int(WaterOut) << -1.0;
    }

    void nearbyChainsFindTheirOwnRoots() {
        QFETCH(int, input);
        QFETCH(double, change);
        const Case measured = defaults(Arrangement::CrossFlow);
        const Evaluation nominal = evaluate(Arrangement::CrossFlow, measured);
        QCOMPARE(nominal.problemsDone, 4);
        QVERIFY(nominal.roots.ntuSlope < 0 && nominal.roots.dutyFlowSlope > 0);
        Case c = measured;
        c.measured[input] += change;
        Roots withoutSlopes = nominal.roots;
        withoutSlopes.ntuSlope = withoutSlopes.dutyFlowSlope = std::nan("");
        const Evaluation scratch = evaluate(Arrangement::CrossFlow, c);
        QCOMPARE(scratch.problemsDone, 4);
        // The NTU's search stops within 1e-5 K of the outlet temperature, the water flow's within
        // the heat's accepted bound: each root lies within those bounds over the slope.
        const double ntuBound = 2 * 1e-5 / std::fabs(nominal.roots.ntuSlope) * 1.1;
        const double flowBound = 2 * 0.004 / nominal.roots.dutyFlowSlope * 1.1;
        const Roots* const starts[] = {&nominal.roots, &withoutSlopes};
        for (const Roots* near : starts) {
            const Evaluation e = evaluate(Arrangement::CrossFlow, c, near);
            QCOMPARE(e.problemsDone, 4);
            QVERIFY2(std::fabs(e.results[Ntu] - scratch.results[Ntu]) < ntuBound,
                     qPrintable(QString::number(e.results[Ntu] - scratch.results[Ntu])));
            QVERIFY2(
                std::fabs(e.results[DutyWaterFlow] - scratch.results[DutyWaterFlow]) < flowBound,
                qPrintable(
                    QString::number(e.results[DutyWaterFlow] - scratch.results[DutyWaterFlow])));
            for (int r : {Heat, Range, InletWetBulb})
                QCOMPARE(e.results[r], scratch.results[r]);
            QVERIFY(std::fabs(e.results[NewWaterOut] - scratch.results[NewWaterOut]) < 1e-4);
        }
    }

    // A chain whose inputs stop at a Problem leaves that Problem and the later ones out.
    void missingInputsLeaveProblemsOut() {
        std::array<double, kChainInputCount> v = {100, 90, 38, 33,  1,   25,   55, 90, 80, 34,
                                                  31,  21, 27, 105, 110, 2200, 36, 30, 22};
        QCOMPARE(caseFromInputs(v).problems, 4);
        v[8] = std::nan(""); // the design air flow takes no part
        QCOMPARE(caseFromInputs(v).problems, 4);
        v[14] = std::nan("");
        const Case c = caseFromInputs(v);
        QCOMPARE(c.problems, 2);
        const Evaluation e = evaluate(Arrangement::CounterFlow, c);
        QCOMPARE(e.problemsDone, 2);
        QVERIFY(std::isnan(e.results[NewNtu]) && std::isfinite(e.results[DesignDeviation]));
        v[4] = std::nan("");
        QCOMPARE(caseFromInputs(v).problems, 0);
        QCOMPARE(
            QString::fromStdString(evaluate(Arrangement::CounterFlow, caseFromInputs(v)).failure),
            QStringLiteral("Problem 1: a measured value is missing"));
    }

    void twoSignificantDigits_data() {
        QTest::addColumn<double>("expanded");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<double>("rounded");
        QTest::newRow("59 kW") << 59.256 << 0 << 59.0;
        QTest::newRow("0.082 K") << 0.08165 << 3 << 0.082;
        QTest::newRow("rounds up a digit") << 0.0996 << 2 << 0.10;
        QTest::newRow("9.96 to 10") << 9.96 << 0 << 10.0;
        QTest::newRow("thousands") << 1234.0 << -2 << 1200.0;
        QTest::newRow("humidity") << 0.0011742 << 4 << 0.0012;
    }
    void twoSignificantDigits() {
        QFETCH(double, expanded);
        QFETCH(int, decimals);
        QFETCH(double, rounded);
        QCOMPARE(twoDigitDecimals(expanded), decimals);
        QCOMPARE(roundToDecimals(expanded, decimals), rounded);
    }
};

QTEST_APPLESS_MAIN(TestUncertaintyModel)
#include "tst_uncertaintymodel.moc"
