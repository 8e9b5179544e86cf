// The uncertainty model against the engine: on every reference chain of the engine, the
// model's nominal chain (on unrounded numbers) gives each result that the windows show, to the
// shown text's rounding and the allowances below.

#include "engine/audit.h"
#include "engine/chain.h"
#include "engine/fieldbehaviour.h"
#include "engine/keys.h"
#include "support/chainrows.h"
#include "uncertainty/chainmodel.h"

#include <QTest>
#include <cmath>

using namespace uncertainty;

namespace {

// Half a unit of a number text's last decimal: "30.58" gives 0.005, "5.0" 0.05.
double displayRounding(const QString& text) {
    const qsizetype point = text.indexOf(u'.');
    const qsizetype decimals = point < 0 ? 0 : text.size() - point - 1;
    return 0.5 * std::pow(10.0, -double(decimals));
}

// Where the engine shows each model result.
struct Shown {
    Result result;
    int problem;
    int counterControl; // cfN identifier
    int crossControl;   // xfN identifier
};

// clang-format off
constexpr Shown kShown[] = {
    {Ntu,                    1, engine::cf1::ntu,                    engine::xf1::ntu},
    {Heat,                   1, engine::cf1::heat,                   engine::xf1::heat},
    {CoolingDegree,          1, engine::cf1::coolingDegree,          engine::xf1::coolingDegree},
    {Range,                  1, engine::cf1::range,                  engine::xf1::range},
    {Approach,               1, engine::cf1::approach,               engine::xf1::approach},
    {OutletDryBulb,          1, engine::cf1::outletDryBulb,          engine::xf1::outletDryBulb},
    {OutletWetBulb,          1, engine::cf1::outletWetBulb,          engine::xf1::outletWetBulb},
    {OutletEnthalpy,         1, engine::cf1::outletEnthalpy,         engine::xf1::outletEnthalpy},
    {OutletRelativeHumidity, 1, engine::cf1::outletRelativeHumidity, engine::xf1::outletRelativeHumidity},
    {OutletHumidity,         1, engine::cf1::outletHumidity,         engine::xf1::outletHumidity},
    {InletWetBulb,           1, engine::cf1::inletWetBulb,           engine::xf1::inletWetBulb},
    {InletEnthalpy,          1, engine::cf1::inletEnthalpy,          engine::xf1::inletEnthalpy},
    {InletHumidity,          1, engine::cf1::inletHumidity,          engine::xf1::inletHumidity},
    {HeatAchieved,           2, engine::cf2::achievedHeat,           engine::xf2::achievedHeat},
    {DesignDeviation,        2, engine::cf2::deviation,              engine::xf2::deviation},
    {NewNtu,                 3, engine::cf3::ntu,                    engine::xf3::ntu},
    {NewWaterOut,            3, engine::cf3::waterOut,               engine::xf3::waterOut},
    {DutyWaterFlow,          4, engine::cf4::waterFlow,              engine::xf4::waterFlow},
};
// clang-format on
static_assert(std::size(kShown) == kResultCount);

// The allowances beyond the display rounding, for what the windows' chain rounds or stops
// short of and the model does not:
// - The inlet wet bulb that Problem 1's approach and cooling degree use is the moist-air
//   calculator's text, up to 0.005 K off; the cooling degree moves by that times its
//   derivative, cooling degree^2 / range.
constexpr double kShownWetBulb = 0.005; // K
// - Problems 2 to 4 read Problem 1's NTU as its text with two decimals (up to 0.005 off), and
//   Problem 4 reads Problem 3's the same way; the cross-flow search of Problem 1 stops anywhere
//   within 0.01 K of the measured outlet water temperature, where the model closes in to
//   1e-5 K. Each result that follows the NTU may therefore move as far as the model's result
//   moves when the outlet temperature moves by 0.01 K (cross flow only), or when it moves the
//   NTU by 0.01 (two text roundings), whichever is further.
constexpr double kOutletSearch = 0.01; // K
constexpr double kNtuRounding = 0.01;  // kW/(kJ/kg)
// A field is rewritten in its display pattern by its Problem's CALCULATE, and the later
// Problems read it so: where Problem 1's inputs were typed with more decimals than their
// fields show ("38.004", read as "38.00" by Problem 3 beside the NTU of 38.004), the windows'
// chain mixes two values of one measurement, which the model by design does not. There only
// Problem 1 is compared.

bool followsTheNtu(Arrangement arrangement, Result result) {
    if (resultInfo(result).problem > 1)
        return true;
    return arrangement == Arrangement::CrossFlow &&
           (result == Ntu || (result >= OutletDryBulb && result <= OutletHumidity));
}

} // namespace

class TestChainAgreement : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void modelShowsWhatTheEngineShows_data() {
        QTest::addColumn<Arrangement>("arrangement");
        QTest::addColumn<QStringList>("inputs");
        int row = 0;
        for (const QStringList& cells : chainRows(QStringLiteral(CTAUDIT_CHAINS_CSV))) {
            QVERIFY(cells.size() >= 21);
            const Arrangement a = cells[0] == QLatin1String("counter") ? Arrangement::CounterFlow
                                                                       : Arrangement::CrossFlow;
            QTest::addRow("%d %s: %s", ++row, qPrintable(cells[0]), qPrintable(cells[20].left(40)))
                << a << cells.mid(1, engine::kChainFields);
        }
        QVERIFY(row >= 40);
    }

    void modelShowsWhatTheEngineShows() {
        QFETCH(Arrangement, arrangement);
        QFETCH(QStringList, inputs);
        engine::Audit audit;
        const engine::ChainResult chain = engine::runChain(
            audit, arrangement, std::span<const QString>(inputs.data(), inputs.size()));

        // The inputs as the fields took them (the text-change procedure drops what is no
        // number), as the model's chain with the outlet water temperature moved both ways.
        const numtext::Converter numbers(QLocale::c());
        std::array<double, kChainInputCount> values{};
        for (std::size_t k = 0; k < values.size(); ++k)
            values[k] = numbers.readNumber(engine::correctTyped(inputs.value(int(k)), numbers).text)
                            .value_or(std::numeric_limits<double>::quiet_NaN());
        const Case nominal = caseFromInputs(values);
        const Evaluation model = evaluate(arrangement, nominal);
        // The chain's first inputs are Problem 1's fields, in the key table's order.
        int comparedProblems = chain.completed;
        for (int f = 0; f < engine::kFieldCounts[0]; ++f)
            if (numbers.readNumber(audit.text(arrangement, 1, f)) != values[std::size_t(f)])
                comparedProblems = std::min(comparedProblems, 1);
        // The model refuses no Problem that the windows calculate.
        QVERIFY2(model.problemsDone >= chain.completed, model.failure.c_str());
        Case warmer = nominal, cooler = nominal;
        warmer.measured[WaterOut] += kOutletSearch;
        cooler.measured[WaterOut] -= kOutletSearch;
        const Evaluation moved[] = {evaluate(arrangement, warmer), evaluate(arrangement, cooler)};
        // The counter-flow NTU comes from no search: only its text's rounding counts.
        const bool searched = arrangement == Arrangement::CrossFlow;
        const auto spread = [&](Result r) {
            double most = 0;
            for (const Evaluation& e : moved) {
                const double ntuMoved = std::fabs(e.results[Ntu] - model.results[Ntu]);
                const double scale =
                    searched ? std::max(1.0, kNtuRounding / ntuMoved) : kNtuRounding / ntuMoved;
                most = std::max(most, scale * std::fabs(e.results[std::size_t(r)] -
                                                        model.results[std::size_t(r)]));
            }
            return most;
        };

        const bool counter = arrangement == Arrangement::CounterFlow;
        for (const Shown& s : kShown) {
            if (s.problem > comparedProblems)
                continue;
            const QString text =
                audit.text(arrangement, s.problem, counter ? s.counterControl : s.crossControl);
            bool ok = false;
            const double shown = text.toDouble(&ok);
            QVERIFY2(ok, qPrintable(text));
            const double value = model.results[std::size_t(s.result)];
            // The text's rounding (with a hair for a value exactly half-way), and the above.
            double allowed = displayRounding(text) * (1 + 1e-9) + 1e-12;
            if (s.result == Approach)
                allowed += kShownWetBulb;
            if (s.result == CoolingDegree && value != 0) // range / (Tin - twb), moved by twb
                allowed += kShownWetBulb * value * value / model.results[Range];
            if (followsTheNtu(arrangement, s.result))
                allowed += spread(s.result);
            QVERIFY2(std::fabs(value - shown) <= allowed,
                     qPrintable(QStringLiteral("%1: the model gives %2, the engine shows %3 (%4 "
                                               "allowed)")
                                    .arg(QLatin1String(resultInfo(s.result).column))
                                    .arg(value, 0, 'g', 10)
                                    .arg(text)
                                    .arg(allowed)));
        }
    }
};

QTEST_GUILESS_MAIN(TestChainAgreement)
#include "tst_chainagreement.moc"
