// Whole chains against an independent calculation: each Problem's key results recomputed from
// the texts the earlier Problems show, with the core's integration and sweep, plain bisections
// run to the end of double precision, and the heat balance and the flow-rate law of the NTU
// written out here. A shown text must lie within half a unit of its last decimal of the
// recomputed value, plus the named allowance of a search's tolerance or of a rounded text.

#include "core/counterflow.h"
#include "core/crossflow.h"
#include "core/psychro.h"
#include "engine/chain.h"
#include "engine/keys.h"

#include <QTest>
#include <cmath>

namespace {

constexpr double kCp = 4.19; // kJ/(kg K)

double value(const QString& text) {
    return text.isEmpty() ? NAN : text.toDouble();
}

// Half a unit of a text's last decimal ("30.58": 0.005), widened by the binary rounding of
// decimal values.
double halfUnit(const QString& text) {
    const qsizetype point = text.indexOf(u'.');
    return 0.5 * std::pow(10.0, point < 0 ? 0 : -double(text.size() - point - 1)) * (1 + 1e-9);
}

// Air as the moist-air calculator shows it: the wet bulb to two decimals, the enthalpy to four.
psychro::AirState shownAir(psychro::Given given, double p, double t, double second) {
    psychro::AirState s = psychro::moistAirState(given, p, t, second).state;
    return {std::round(s.wetBulb * 100) / 100, 0, std::round(s.enthalpy * 1e4) / 1e4, 0};
}

// The NTU of a tower at new flows: NTU ~ L (L/G)^-0.72 (film fill).
double scaled(double ntu, double L, double G, double newL, double newG) {
    return ntu * (newL / L) * std::pow((L / G) / (newL / newG), 0.72);
}

// The root of an increasing function in [lo, hi], halved until the midpoint stops moving.
template <class F> double bisect(F f, double lo, double hi) {
    for (double mid = (lo + hi) / 2; mid > lo && mid < hi; mid = (lo + hi) / 2)
        (f(mid) < 0 ? lo : hi) = mid;
    return (lo + hi) / 2;
}
template <class F> double slope(F f, double x, double h) {
    return (f(x + h) - f(x - h)) / (2 * h);
}

// The NTU the counter-flow fill needs for a cooling; infinite where it has no driving force.
double ntuNeeded(const counterflow::Fill& fill) {
    const counterflow::Integration r = counterflow::integrate(fill);
    return r.status == counterflow::Status::Ok ? r.ntu : INFINITY;
}

// The mean outlet water temperature of one cross-flow sweep; infinite when it fails.
double sweptOutlet(double ntu, double L, double G, double tin, double h, double tdb, double p,
                   double low) {
    const crossflow::SweepResult r =
        crossflow::sweep({ntu, L, G, tin, h, tdb, p, low, false, nullptr});
    return r.status == crossflow::Status::Ok ? r.waterOutMean : INFINITY;
}

} // namespace

class TestCrossCheck : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale::c()); }

    void chains_data() {
        QTest::addColumn<Arrangement>("a");
        QTest::addColumn<QString>("fields"); // the 19 field texts of Problems 1 to 4
        // Problem 1's fields and Problem 3's and 4's; Problem 2's are its defaults.
        const auto row = [](const char* name, Arrangement a, const char* one, const char* four) {
            const char* two =
                a == Arrangement::CounterFlow ? "90,80,34,31,21,27" : "90,80,34,31,21,25";
            QTest::newRow(name) << a << QStringLiteral("%1,%2,%3").arg(one, two, four);
        };
        constexpr Arrangement cf = Arrangement::CounterFlow, xf = Arrangement::CrossFlow;
        row("cf defaults", cf, "100,90,38,33,1,25,55", "105,110,2200,36,30,22");
        row("cf 120.5 kg/s", cf, "120.5,95,40.25,31.5,1,25,55", "105,110,2200,36,30,22");
        row("cf 150/60, small duty", cf, "100,90,38,33,1,25,55", "150,60,300,30,25,18");
        row("xf defaults", xf, "90,70,37,34,1,28,55", "35,25,500,35,28,22");
        row("xf 120.5 kg/s", xf, "120.5,95,40.25,31.5,1,28,55", "35,25,500,35,28,22");
        row("xf 0.95 bar, 18 oC", xf, "90,70,37,34,0.95,18,80", "35,25,500,35,28,22");
        row("xf 150/60, small duty", xf, "90,70,37,34,1,28,55", "150,60,100,30,25,18");
    }
    void chains() {
        QFETCH(Arrangement, a);
        QFETCH(QString, fields);
        const bool cross = a == Arrangement::CrossFlow;
        engine::Audit audit;
        audit.setTracing(false);
        const QStringList texts = fields.split(u',');
        const auto chain = engine::runChain(audit, a, {texts.data(), std::size_t(texts.size())});
        QVERIFY2(chain.completed == 4, qPrintable(chain.stop ? chain.stop->text : QString()));
#define SHOWN(p, id)                                                                               \
    audit.text(a, p,                                                                               \
               cross ? engine::xf##p::kNames[engine::xf##p::id]                                    \
                     : engine::cf##p::kNames[engine::cf##p::id])
        QStringList faults;
        const auto check = [&](const char* what, const QString& shown, double recomputed,
                               double allowance = 0) {
            const double bound = halfUnit(shown) + allowance;
            if (!(std::abs(value(shown) - recomputed) <= bound))
                faults << QString::asprintf("%s: shown %s, recomputed %.6f, bound %.3g", what,
                                            qPrintable(shown), recomputed, bound);
        };
        // The outlet water temperature at which the fill offers `ntu`, and how far from it the
        // program's search may stop: counter flow by bisection on the integration until NTU is
        // within `tolerance`, cross flow by one sweep.
        const auto outlet = [&](double ntu, double L, double G, double tin, double h, double tdb,
                                double p, double low, double tolerance) {
            if (cross)
                return std::pair{sweptOutlet(ntu, L, G, tin, h, tdb, p, low), 0.0};
            const auto f = [&](double t) { return ntu - ntuNeeded({t, tin, L, G, p, h, tdb}); };
            const double t = bisect(f, low, tin);
            return std::pair{t, tolerance / std::abs(slope(f, t, 1e-4))};
        };

        // Problem 1: the measured regime, the inlet air as the calculator shows it.
        const double L1 = value(SHOWN(1, waterFlow)), G1 = value(SHOWN(1, airFlow));
        const double tin1 = value(SHOWN(1, waterIn)), p = value(SHOWN(1, pressure));
        const double tdb1 = value(SHOWN(1, dryBulb)), ntu1 = value(SHOWN(1, ntu));
        const auto air1 =
            shownAir(psychro::Given::RelativeHumidity, p, tdb1, value(SHOWN(1, relativeHumidity)));
        if (!cross) {
            check("1 NTU", SHOWN(1, ntu),
                  ntuNeeded({value(SHOWN(1, waterOut)), tin1, L1, G1, p, air1.enthalpy, tdb1}));
        } else {
            // The search stops within kOutletTolerance of the measured outlet, at an NTU that
            // the text holds to half a unit.
            const auto swept = [&](double ntu) {
                return sweptOutlet(ntu, L1, G1, tin1, air1.enthalpy, tdb1, p, air1.wetBulb);
            };
            check("1 water out at the shown NTU", SHOWN(1, waterOut), swept(ntu1),
                  crossflow::kOutletTolerance + std::abs(slope(swept, ntu1, 0.005)) * 0.005);
        }

        // Problem 2: the design inlet at Problem 1's shown NTU; the cross flow's cells are
        // bracketed down to 0 degC here.
        const double tin2 = value(SHOWN(2, designWaterIn)), twb2 = value(SHOWN(2, designWetBulb));
        const double tdb2 = value(SHOWN(2, designDryBulb));
        const double h2 = shownAir(psychro::Given::WetBulb, p, tdb2, twb2).enthalpy;
        const auto [t2, dt2] = outlet(ntu1, L1, G1, tin2, h2, tdb2, p, cross ? 0 : twb2,
                                      counterflow::kAcceptanceNtuTolerance);
        check("2 water out", SHOWN(2, testWaterOut), t2, dt2);
        check("2 Qa", SHOWN(2, achievedHeat), kCp * L1 * (tin2 - t2), kCp * L1 * dt2);

        // Problem 3: Problem 1 as copied here, at the new flows. The counter flow reads the
        // inlet enthalpy that Problem 1 shows; the cross flow recomputes the inlet air.
        const double L3 = value(SHOWN(3, newWaterFlow)), G3 = value(SHOWN(3, newAirFlow));
        const double tin3 = value(SHOWN(3, waterIn1)), tdb3 = value(SHOWN(3, dryBulb1));
        const double p3 = value(SHOWN(3, pressure1));
        const double rh3 = value(SHOWN(3, relativeHumidity1));
        const double h3 = cross ? shownAir(psychro::Given::RelativeHumidity, p3, tdb3, rh3).enthalpy
                                : value(SHOWN(1, inletEnthalpy));
        const double ntu3 = scaled(value(SHOWN(3, ntu1)), value(SHOWN(3, waterFlow1)),
                                   value(SHOWN(3, airFlow1)), L3, G3);
        check("3 NTU", SHOWN(3, ntu), ntu3);
        const auto [t3, dt3] =
            outlet(ntu3, L3, G3, tin3, h3, tdb3, p3, value(SHOWN(3, inletWetBulb1)),
                   counterflow::kNewFlowNtuTolerance);
        check("3 water out", SHOWN(3, waterOut), t3, dt3);
        check("3 heat", SHOWN(3, heat), kCp * L3 * (tin3 - t3), kCp * L3 * dt3);

        // Problem 4: the water flow that rejects Q4 at Problem 3's L/G, from Problem 3's texts.
        const double q4 = value(SHOWN(4, heat)), t4in = value(SHOWN(4, waterIn));
        const double tdb4 = value(SHOWN(4, dryBulb)), twb4 = value(SHOWN(4, wetBulb));
        const double h4 = shownAir(psychro::Given::WetBulb, p, tdb4, twb4).enthalpy;
        const double ntu3Shown = value(SHOWN(3, ntu));
        const auto offered = [&](double L) { return scaled(ntu3Shown, L3, G3, L, L * G3 / L3); };
        const auto balance = [&](double L) { // increasing in L
            const double G = L * G3 / L3;
            if (cross)
                return kCp * L * (t4in - sweptOutlet(offered(L), L, G, t4in, h4, tdb4, p, twb4)) -
                       q4;
            return offered(L) - ntuNeeded({t4in - q4 / (kCp * L), t4in, L, G, p, h4, tdb4});
        };
        const double L4 = bisect(balance, q4 / (kCp * (t4in - twb4)), q4 / (kCp * 0.1));
        // The program's search stops within its NTU tolerance (counter flow), or within the
        // sweep's heat resolution kHeatAcceptBound (cross flow, in its search as in this one).
        const double dL =
            (cross ? 2 * crossflow::kHeatAcceptBound : counterflow::kNewFlowNtuTolerance) /
            std::abs(slope(balance, L4, cross ? 1e-2 : 1e-3));
        check("4 water flow", SHOWN(4, waterFlow), L4, dL);
        // The heat balance and the law at the shown texts, within the texts' rounding.
        const QString l4 = SHOWN(4, waterFlow), t4 = SHOWN(4, waterOut);
        check("4 heat balance", SHOWN(4, heat), kCp * value(l4) * (t4in - value(t4)),
              kCp * (halfUnit(l4) * (t4in - value(t4) + halfUnit(t4)) + halfUnit(t4) * value(l4)));
        check("4 NTU at the shown flow", SHOWN(4, ntu), offered(value(l4)),
              slope(offered, value(l4), 1e-3) * halfUnit(l4));
#undef SHOWN
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }
};

QTEST_GUILESS_MAIN(TestCrossCheck)
#include "tst_crosscheck.moc"
