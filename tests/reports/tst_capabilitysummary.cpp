// The capability and water-and-energy summary over a whole audit: what the window, the
// reports and the batch tool all show.

#include "engine/audit.h"
#include "engine/chain.h"
#include "engine/keys.h"
#include "reports/capabilitysummary.h"

#include <QtTest>
#include <cmath>

using engine::Setting;

namespace {

const QStringList kCounter = {"120",  "100", "38", "30", "1.013", "30", "40", // Problem 1
                              "120",  "100", "40", "30", "24",    "30",       // Problem 2
                              "110",  "80",                                   // Problem 3
                              "4000", "38",  "30", "24"};                     // Problem 4

engine::Audit calculated(Arrangement a, const QStringList& values) {
    engine::Audit audit;
    const std::vector<QString> texts(values.begin(), values.end());
    const engine::ChainResult r = engine::runChain(audit, a, texts);
    if (r.completed != 4)
        qWarning() << "chain stopped:" << (r.stop ? r.stop->text : QString());
    return audit;
}

double value(const report::CapabilitySummary& s, const char* column) {
    const report::SummaryFigure* f = s.figure(QString::fromLatin1(column));
    return f && f->value ? *f->value : std::nan("");
}

} // namespace

class TestCapabilitySummary : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale::c()); }
    void wholeAudit_data();
    void wholeAudit();
    void followsTheCurrentProblems();
};

void TestCapabilitySummary::wholeAudit_data() {
    QTest::addColumn<int>("arrangement");
    QTest::newRow("counter flow") << int(Arrangement::CounterFlow);
    QTest::newRow("cross flow") << int(Arrangement::CrossFlow);
}

// Every figure of a calculated audit: finite where it should be, in the batch tool's columns
// in order, the settings taking part, and the locale's texts.
void TestCapabilitySummary::wholeAudit() {
    QFETCH(int, arrangement);
    const auto a = Arrangement(arrangement);
    engine::Audit audit = calculated(a, kCounter);
    engine::CapabilityInputs in = audit.capabilityInputs(a);
    in.values[std::size_t(Setting::FanPower)] = 75;
    in.values[std::size_t(Setting::PricePerKWh)] = 0.2;
    in.values[std::size_t(Setting::WaterPrice)] = 2;
    audit.setCapabilityInputs(a, in);
    const report::CapabilitySummary s = report::summarize(audit, a, uncertainty::hintAccuracies());

    QVERIFY(s.available);
    QCOMPARE(s.capabilityValues().size(), report::CapabilitySummary::capabilityColumns().size());
    QCOMPARE(s.savingsValues().size(), report::CapabilitySummary::savingsColumns().size());
    const bool counter = a == Arrangement::CounterFlow;
    for (const char* column :
         {"capability.merkel", "capability.excess_pct", "capability.lg", "capability.pct",
          "capability.pct_measured_air", "capability.cold_water", "capability.U_pct",
          "water.evaporation", "water.evaporation_problem1", "water.makeup", "water.makeup_m3_year",
          "water.cost_year", "fan.kW_problem3", "fan.kW_problem4", "fan.air_flow_vsd", "fan.kW_vsd",
          "fan.kWh_year_saved_vsd", "fan.cost_year_saved_vsd"})
        QVERIFY2(std::isfinite(value(s, column)), column);
    QCOMPARE(std::isfinite(value(s, "capability.merkel_cti")), counter);
    QVERIFY(s.verdict.contains(QStringLiteral("performs below its design")));
    // The evaporation of a wet tower: about 0.15 % of the water flow per kelvin of range.
    const double perKelvin = value(s, "water.evaporation") / 120 / 8 * 100;
    QVERIFY2(perKelvin > 0.12 && perKelvin < 0.18, qPrintable(QString::number(perKelvin)));
    // Problem 4's ambient air is more humid than the test's: the drive runs at full speed and
    // its losses make it dearer, which the figures say rather than hide.
    QVERIFY(value(s, "fan.cost_year_saved_vsd") < 0);
    QVERIFY(!s.savingsNotes.filter(QStringLiteral("full speed")).isEmpty());

    // The fan law on the design fan power: an eighth of the test's halves the measured-air
    // capability.
    in.values[std::size_t(Setting::TestFanPower)] = 80;
    in.values[std::size_t(Setting::DesignFanPower)] = 10;
    audit.setCapabilityInputs(a, in);
    const report::CapabilitySummary halved =
        report::summarize(audit, a, uncertainty::hintAccuracies(), report::CapabilityPart);
    QCOMPARE(value(halved, "capability.pct_measured_air"),
             value(s, "capability.pct_measured_air") / 2);
    const report::SummaryFigure* pct = halved.figure(QStringLiteral("capability.pct"));
    QVERIFY(pct->text(QLocale(QLocale::German, QLocale::Germany)).contains(u','));
    QVERIFY(pct->plainText().contains(u'.'));
    QVERIFY(halved.water.isEmpty());
}

// The figures come from the current Problems as last calculated: a text typed and not
// calculated changes nothing, an out-of-date Problem 2 is left out, and without a current
// Problem 1 there are no figures.
void TestCapabilitySummary::followsTheCurrentProblems() {
    const auto cf = Arrangement::CounterFlow;
    engine::Audit audit = calculated(cf, kCounter);
    const auto summary = [&] {
        return report::summarize(audit, cf, uncertainty::hintAccuracies());
    };
    const QStringList before = summary().capabilityValues();

    audit.type(cf, 1, engine::cf1::waterOut, QStringLiteral("31"));
    QCOMPARE(summary().capabilityValues(), before);

    QVERIFY(audit.calculate(cf, 1).calculated);
    const report::CapabilitySummary stale = summary();
    QVERIFY(stale.available);
    QVERIFY(
        stale.basis.contains(QStringLiteral("Left out, being out of date: Problems 2, 3 and 4")));
    QVERIFY(stale.figure(QStringLiteral("capability.merkel"))->value);
    QVERIFY(!stale.figure(QStringLiteral("capability.pct"))->value);
    QVERIFY(stale.capabilityValues().last().contains(QStringLiteral("current Problem 2")));
    QVERIFY(stale.capabilityValues()[0] != before[0]);

    audit.reset(cf, 1);
    const report::CapabilitySummary none = summary();
    QVERIFY(!none.available);
    QVERIFY(none.capabilityValues().last().startsWith(QStringLiteral("Calculate Problem 1")));
    QVERIFY(none.savingsValues().mid(0, 14).join(QString()).isEmpty());
}

QTEST_GUILESS_MAIN(TestCapabilitySummary)
#include "tst_capabilitysummary.moc"
