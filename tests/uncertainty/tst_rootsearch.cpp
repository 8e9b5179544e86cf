// The root searches of the measurement model: the search along a nearby chain's slope and the
// bracketing search it falls back on, at their edges (a wrong or missing slope, a flat
// function, a function that fails) and on smooth functions where they must meet the tolerance.

#include "uncertainty/rootsearch.h"

#include <QTest>
#include <cmath>
#include <limits>

using namespace uncertainty;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

enum Function { Linear, Exponential, Cubic, Flat, Failing, RootOfPositive };

// The functions of the table, each with its root (NaN when it has none).
double value(int function, double x) {
    switch (function) {
    case Linear:
        return 2 * (x - 3);
    case Exponential:
        return std::exp(x) - 20;
    case Cubic:
        return std::pow(x - 1, 3) + (x - 1);
    case Flat:
        return 1;
    case Failing:
        return kNaN;
    case RootOfPositive: // defined for x >= 0 only
        return x >= 0 ? std::sqrt(x) - 1 : kNaN;
    }
    return kNaN;
}

double rootOf(int function) {
    switch (function) {
    case Linear:
        return 3;
    case Exponential:
        return std::log(20.0);
    case Cubic:
        return 1;
    case RootOfPositive:
        return 1;
    default:
        return kNaN;
    }
}

} // namespace

class TestRootSearch : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void alongSlope_data() {
        QTest::addColumn<int>("function");
        QTest::addColumn<double>("x0");
        QTest::addColumn<double>("slope");
        QTest::addColumn<bool>("found");
        QTest::addColumn<int>("mostEvaluations");
        // The exact slope of a linear function: one Newton step lands on the root.
        QTest::newRow("linear, exact slope") << int(Linear) << 5.0 << 2.0 << true << 2;
        QTest::newRow("linear, slope 20 % off") << int(Linear) << 5.0 << 2.4 << true << 3;
        QTest::newRow("start on the root") << int(Linear) << 3.0 << 2.0 << true << 1;
        QTest::newRow("exponential, slope of a nearby root")
            << int(Exponential) << 3.2 << std::exp(3.1) << true << 6;
        QTest::newRow("cubic, shallow slope") << int(Cubic) << 1.3 << 1.0 << true << 7;
        // Nothing to follow: the search gives up before it evaluates anything.
        QTest::newRow("no slope") << int(Linear) << 5.0 << kNaN << false << 0;
        QTest::newRow("zero slope") << int(Linear) << 5.0 << 0.0 << false << 0;
        // The secant turns against the slope given: not the monotone function it expects.
        QTest::newRow("slope of the wrong sign") << int(Linear) << 5.0 << -2.0 << false << 2;
        QTest::newRow("flat function") << int(Flat) << 5.0 << 1.0 << false << 2;
        QTest::newRow("failing function") << int(Failing) << 5.0 << 1.0 << false << 1;
        // A slope far too shallow steps out of the function's domain.
        QTest::newRow("step out of the domain") << int(RootOfPositive) << 4.0 << 0.01 << false << 2;
        QTest::newRow("inside the domain") << int(RootOfPositive) << 1.5 << 0.5 << true << 7;
    }

    void alongSlope() {
        QFETCH(int, function);
        QFETCH(double, x0);
        QFETCH(double, slope);
        QFETCH(bool, found);
        QFETCH(int, mostEvaluations);
        const double tolerance = 1e-9;
        int evaluations = 0;
        const auto f = [&](double x) {
            ++evaluations;
            return value(function, x);
        };
        const std::optional<double> root = rootAlong(f, x0, slope, tolerance);
        QCOMPARE(root.has_value(), found);
        QVERIFY2(evaluations <= mostEvaluations, qPrintable(QString::number(evaluations)));
        if (root) {
            QVERIFY(std::fabs(value(function, *root)) < tolerance);
            QVERIFY(std::fabs(*root - rootOf(function)) < 1e-6);
            QVERIFY(slope > 0); // left at the last secant's
        }
    }

    // The bracketing search the chain falls back on finds the same roots, and reports the slope
    // a nearby chain's search then starts along.
    void nearWithSlope_data() {
        QTest::addColumn<int>("function");
        QTest::addColumn<double>("x0");
        QTest::addColumn<double>("step");
        QTest::addColumn<bool>("found");
        QTest::newRow("linear, stepping up") << int(Linear) << 1.0 << 0.05 << true;
        QTest::newRow("linear, stepping the wrong way") << int(Linear) << 5.0 << 0.05 << true;
        QTest::newRow("exponential") << int(Exponential) << 0.0 << 0.1 << true;
        QTest::newRow("flat function") << int(Flat) << 0.0 << 0.1 << false;
        QTest::newRow("failing function") << int(Failing) << 0.0 << 0.1 << false;
    }

    void nearWithSlope() {
        QFETCH(int, function);
        QFETCH(double, x0);
        QFETCH(double, step);
        QFETCH(bool, found);
        const auto f = [&](double x) { return value(function, x); };
        double slope = kNaN;
        const std::optional<double> root = rootNear(f, x0, step, -100, 1e-9, 1e-9, &slope);
        QCOMPARE(root.has_value(), found);
        if (!root)
            return;
        QVERIFY(std::fabs(*root - rootOf(function)) < 1e-6);
        // The slope through the last two points, close to the root's.
        const double h = 1e-6;
        const double exact = (f(*root + h) - f(*root - h)) / (2 * h);
        QVERIFY2(std::fabs(slope / exact - 1) < 0.05, qPrintable(QString::number(slope)));
        // Started along it, the next search needs at most two evaluations more.
        int evaluations = 0;
        const auto counted = [&](double x) {
            ++evaluations;
            return f(x);
        };
        QVERIFY(rootAlong(counted, *root + 0.01, slope, 1e-9).has_value());
        QVERIFY2(evaluations <= 4, qPrintable(QString::number(evaluations)));
    }
};

QTEST_APPLESS_MAIN(TestRootSearch)
#include "tst_rootsearch.moc"
