#include "reports/capabilitysummary.h"

#include "engine/audit.h"
#include "engine/keys.h"
#include "engine/numtext.h"

#include <algorithm>
#include <cmath>

namespace report {

namespace {

using capability::Figure;
using engine::Setting;

QString arrangementName(Arrangement a) {
    return a == Arrangement::CounterFlow ? QStringLiteral("counter flow")
                                         : QStringLiteral("cross flow");
}

QString problemList(const std::vector<int>& problems) {
    QStringList names;
    for (int p : problems)
        names << QString::number(p);
    if (names.size() <= 1)
        return names.join(QString());
    const QString last = names.takeLast();
    return names.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

SummaryFigure figure(const char* column, const QString& name, const char* unit,
                     const QString& method, int decimals) {
    SummaryFigure f;
    f.column = QString::fromLatin1(column);
    f.name = name;
    f.unit = QString::fromLatin1(unit);
    f.method = method;
    f.decimals = decimals;
    return f;
}

// A core figure's value, or its refusal sentence into notes (once per sentence).
std::optional<double> take(const Figure& f, const QString& what, QStringList* notes) {
    if (f.ok() && std::isfinite(f.value))
        return f.value;
    const QString note =
        what + QStringLiteral(": ") + QString::fromStdString(capability::refusal(f));
    if (f.status != capability::Status::InvalidInput && !notes->contains(note))
        notes->append(note);
    return std::nullopt;
}

// A number in the locale with a fixed count of decimals.
QString number(double v, int decimals) {
    const QByteArray pattern =
        decimals > 0 ? QByteArray("0.") + QByteArray(decimals, '0') : QByteArray("0");
    return numtext::format(v, pattern.constData());
}

void addCapability(CapabilitySummary& s, const engine::CapabilityCase& c,
                   const uncertainty::Accuracies& accuracies) {
    const bool counter = c.arrangement == Arrangement::CounterFlow;
    const capability::DesignPoint* design = c.design ? &*c.design : nullptr;
    s.figures = capability::evaluate(c.arrangement, *c.test, design, c.settings, true);
    const capability::Capability& k = s.figures;
    QStringList& notes = s.capabilityNotes;

    const QString merkelMethod =
        counter ? QStringLiteral("Merkel's integral, adaptive Simpson to 1e-10 relative")
                : QStringLiteral("cross-flow cell model on grids %1 refined to 1e-4 relative, "
                                 "Richardson extrapolation of order %2")
                      .arg([&] {
                          QStringList g;
                          for (int n : k.grids)
                              g << QStringLiteral("%1 x %1").arg(n);
                          return g.join(QStringLiteral(", "));
                      }())
                      .arg(k.order, 0, 'f', 2);

    SummaryFigure me =
        figure("capability.merkel", QStringLiteral("Merkel number KaV/L at the test"), "-",
               merkelMethod, 4);
    me.value = take(k.merkel, QStringLiteral("Merkel number"), &notes);
    SummaryFigure cti =
        figure("capability.merkel_cti", QStringLiteral("Merkel number, CTI four-point Chebyshev"),
               "-", QStringLiteral("CTI Chebyshev rule at 0.1, 0.4, 0.6 and 0.9 of the range"), 4);
    if (counter)
        cti.value = take(k.merkelChebyshev, QStringLiteral("Chebyshev Merkel number"), &notes);
    else
        cti.method = QStringLiteral("counter flow only");
    SummaryFigure excess = figure(
        "capability.excess_pct", QStringLiteral("Excess of the program's NTU/L over Me"), "%",
        counter ? QStringLiteral("25 intervals, driving force at each interval's upper node")
                : QStringLiteral("the 20 x 20 cells of the cross-flow Problems"),
        2);
    excess.value = take(k.excessPct, QStringLiteral("Excess"), &notes);
    SummaryFigure lg =
        figure("capability.lg", QStringLiteral("L/G where characteristic and demand meet"), "-",
               QStringLiteral("Brent's method on log L/G below the pinch"), 4);
    lg.value = take(k.intersectionRatio, QStringLiteral("Intersection"), &notes);
    SummaryFigure pct = figure("capability.pct", QStringLiteral("Capability"), "%",
                               QStringLiteral("(L/G) at the intersection / (Ld/Gd)"), 1);
    pct.value = take(k.capabilityPct, QStringLiteral("Capability"), &notes);
    const bool fans = c.settings.testFanPower > 0 && c.settings.designFanPower > 0;
    SummaryFigure air = figure(
        "capability.pct_measured_air", QStringLiteral("Capability at the measured air flow"), "%",
        fans ? QStringLiteral("(L/G) at the intersection x G x (Pd/Pt)^(1/3) / Ld")
             : QStringLiteral("(L/G) at the intersection x G / Ld (no fan powers given)"),
        1);
    air.value =
        take(k.capabilityMeasuredAirPct, QStringLiteral("Capability at the measured air"), &notes);
    SummaryFigure cold =
        figure("capability.cold_water", QStringLiteral("Cold water at the design point"), "oC",
               QStringLiteral("the tested characteristic at Tin,d, twb,d and Ld/Gd"), 2);
    cold.value = take(k.coldWater, QStringLiteral("Cold water"), &notes);
    SummaryFigure u =
        figure("capability.U_pct", QStringLiteral("Expanded uncertainty of the capability (k = 2)"),
               "%", QStringLiteral("first order, the Uncertainty window's accuracies"), 1);

    if (design && pct.value) {
        const uncertainty::CapabilityUncertainty cu = uncertainty::capabilityUncertainty(
            c.arrangement, *c.test, *design, c.settings, k, accuracies);
        if (std::isfinite(cu.expanded)) {
            const int decimals = std::max(1, uncertainty::twoDigitDecimals(cu.expanded));
            u.decimals = decimals;
            pct.decimals = decimals;
            u.value = cu.expanded;
            const double deviation = *pct.value - 100;
            const QString stated = QStringLiteral("%1 % +/- %2 %").arg(pct.text(), u.text());
            switch (uncertainty::verdict(deviation, cu.expanded)) {
            case uncertainty::Verdict::AboveDesign:
                s.verdict = QStringLiteral("Capability %1, beyond the measurement uncertainty: "
                                           "the tower meets or exceeds its design.")
                                .arg(stated);
                break;
            case uncertainty::Verdict::BelowDesign:
                s.verdict = QStringLiteral("Capability %1, beyond the measurement uncertainty: "
                                           "the tower performs below its design.")
                                .arg(stated);
                break;
            case uncertainty::Verdict::CannotTell:
                s.verdict = QStringLiteral("Capability %1, within the measurement uncertainty: "
                                           "the test cannot tell whether the tower meets its "
                                           "design.")
                                .arg(stated);
                break;
            }
        } else {
            for (const std::string& f : cu.failures)
                notes << QStringLiteral("Uncertainty: ") + QString::fromStdString(f);
        }
    }
    // Figures refused for an invalid input are left out of the notes one by one (every figure
    // after it would repeat the sentence): it is said once, for the point it is in.
    if (k.merkel.status == capability::Status::InvalidInput)
        notes << QStringLiteral("The test point: ") +
                     QString::fromStdString(capability::refusal(k.merkel));
    else if (design && k.capabilityPct.status == capability::Status::InvalidInput)
        notes << QStringLiteral("The design point: ") +
                     QString::fromStdString(capability::refusal(k.capabilityPct));
    if (!design)
        notes << QStringLiteral("The design figures need a current Problem 2.");

    s.capability = {me, cti, excess, lg, pct, air, cold, u};

    SummaryFigure coefficient = figure(
        "", QStringLiteral("Tower characteristic KaV/L = C (L/G)^-n: C"), "-",
        QStringLiteral("through the test point, n = %1").arg(number(c.settings.exponent, 2)), 4);
    coefficient.value = take(k.coefficient, QStringLiteral("Characteristic"), &notes);
    SummaryFigure testRatio = figure("", QStringLiteral("L/G at the test"), "-", QString(), 4);
    testRatio.value = k.testRatio;
    SummaryFigure designRatio =
        figure("", QStringLiteral("L/G at design, Ld/Gd"), "-", QString(), 4);
    if (design)
        designRatio.value = k.designRatio;
    SummaryFigure demand =
        figure("", QStringLiteral("Demand KaV/L at design"), "-",
               QStringLiteral("Merkel number at Tin,d, Tout,d, twb,d and Ld/Gd"), 4);
    demand.value = take(k.demandAtDesign, QStringLiteral("Demand"), &notes);
    SummaryFigure part =
        figure("", QStringLiteral("The program's NTU/L at the test"), "-", excess.method, 4);
    part.value = take(k.partNtuPerFlow, QStringLiteral("The program's NTU/L"), &notes);
    s.capability << coefficient << testRatio << designRatio << demand << part;

    if (design) {
        if (k.waterFlowOutside)
            s.warnings << QStringLiteral("The test's water flow differs from design by %1 % "
                                         "(limit %2 %).")
                              .arg(number(k.waterFlowDeviationPct, 1),
                                   number(c.settings.waterFlowLimitPct, 1));
        if (k.rangeOutside)
            s.warnings << QStringLiteral("The test's range differs from design by %1 % (limit "
                                         "%2 %).")
                              .arg(number(k.rangeDeviationPct, 1),
                                   number(c.settings.rangeLimitPct, 1));
        if (k.wetBulbOutside)
            s.warnings << QStringLiteral("The test's wet bulb differs from design by %1 K "
                                         "(limit %2 K).")
                              .arg(number(k.wetBulbDifference, 1),
                                   number(c.settings.wetBulbLimitK, 1));
    }
}

void addSavings(CapabilitySummary& s, const engine::Audit& audit, const engine::CapabilityCase& c) {
    const bool counter = c.arrangement == Arrangement::CounterFlow;
    const engine::CapabilityInputs& in = c.inputs;
    const capability::TestPoint& t = *c.test;
    QStringList& notes = s.savingsNotes;
    const capability::EnteringAir air =
        capability::enteringAir(t.pressure, t.dryBulb, t.relativeHumidity);

    // Evaporation.
    SummaryFigure evaporation =
        figure("water.evaporation", QStringLiteral("Evaporation"), "kg/s",
               counter ? QStringLiteral("Poppe's method, Bosnjakovic's Lewis factor, RK4 to 1e-7")
                       : QStringLiteral("the cross-flow cell model's mixed outlet air"),
               4);
    SummaryFigure outletTemp =
        figure("", QStringLiteral("Outlet air temperature"), "oC", evaporation.method, 2);
    SummaryFigure outletHumidity =
        figure("", QStringLiteral("Outlet air humidity"), "kg/kg", evaporation.method, 5);
    SummaryFigure leaving =
        figure("", QStringLiteral("Water leaving the fill, L - E"), "kg/s", evaporation.method, 3);
    if (!air.ok) {
        notes << QStringLiteral("Evaporation: the entering air has no state.");
    } else if (counter) {
        savings::PoppeInput p;
        p.waterFlow = t.waterFlow;
        p.airFlow = t.airFlow;
        p.waterIn = t.waterIn;
        p.waterOut = t.waterOut;
        p.pressure = t.pressure;
        p.airDryBulbIn = t.dryBulb;
        p.airHumidityIn = air.humidity;
        const savings::Poppe r = savings::poppeCounterFlow(p);
        if (r.status == savings::Status::Ok) {
            evaporation.value = r.evaporation;
            outletTemp.value = r.airTempOut;
            outletHumidity.value = r.airHumidityOut;
            leaving.value = r.waterLeaving;
            if (r.supersaturated)
                notes << QStringLiteral("The air leaves supersaturated: a plume of fog.");
        } else
            notes << QStringLiteral("Evaporation: ") + QString::fromStdString(savings::refusal(r));
    } else {
        const savings::CrossFlowOutlet r = savings::crossFlowOutlet(t);
        if (r.status == savings::Status::Ok) {
            evaporation.value = r.evaporation;
            outletTemp.value = r.airTempOut;
            outletHumidity.value = r.airHumidityOut;
            leaving.value = t.waterFlow - r.evaporation;
            if (r.cappedAtSaturation)
                notes << QStringLiteral("The cell model's mixed outlet air lies above saturation; "
                                        "its humidity is taken at saturation.");
        } else
            notes << QStringLiteral("Evaporation: ") +
                         QString::fromStdString(savings::refusal(r.status));
    }
    SummaryFigure fromProblem1 = figure(
        "water.evaporation_problem1", QStringLiteral("Evaporation from Problem 1's outlet air"),
        "kg/s", QStringLiteral("G (x,out - x,in) of Problem 1's air states as shown"), 4);
    {
        const std::optional<double> xOut =
            numtext::readNumber(audit.text(c.arrangement, 1, int(engine::cf1::outletHumidity)));
        const std::optional<double> xIn =
            numtext::readNumber(audit.text(c.arrangement, 1, int(engine::cf1::inletHumidity)));
        if (xOut && xIn)
            fromProblem1.value = savings::evaporationFromAir(t.airFlow, *xIn, *xOut);
    }

    // Make-up water.
    SummaryFigure drift =
        figure("water.drift", QStringLiteral("Drift"), "kg/s", QStringLiteral("d L"), 4);
    SummaryFigure blowdown = figure("water.blowdown", QStringLiteral("Blowdown"), "kg/s",
                                    QStringLiteral("E / (C - 1) - D"), 4);
    SummaryFigure makeup = figure("water.makeup", QStringLiteral("Make-up water"), "kg/s",
                                  QStringLiteral("E C / (C - 1), the salt balance"), 4);
    SummaryFigure makeupYear =
        figure("water.makeup_m3_year", QStringLiteral("Make-up water per year"), "m3/year",
               QStringLiteral("operating hours x 3.6 m3/h per kg/s"), 0);
    SummaryFigure costYear =
        figure("water.cost_year", QStringLiteral("Water cost per year"), "money/year",
               QStringLiteral("make-up water price, blowdown to drain"), 0);
    costYear.money = true;
    if (evaporation.value) {
        savings::WaterInput w;
        w.evaporation = *evaporation.value;
        w.waterFlow = t.waterFlow;
        w.driftPct = in.value(Setting::DriftPct);
        w.cycles = in.value(Setting::Cycles);
        w.hours = in.value(Setting::Hours);
        w.waterPrice = in.given(Setting::WaterPrice) ? in.value(Setting::WaterPrice) : -1;
        w.drainPrice = in.given(Setting::DrainPrice) ? in.value(Setting::DrainPrice) : -1;
        const savings::Water r = savings::makeupWater(w);
        if (r.status == savings::Status::Ok) {
            drift.value = r.drift;
            blowdown.value = r.blowdown;
            makeup.value = r.makeup;
            makeupYear.value = r.makeupM3PerYear;
            if (r.costPerYear >= 0)
                costYear.value = r.costPerYear;
        } else
            notes << QStringLiteral("Make-up water: ") +
                         QString::fromStdString(savings::refusal(r));
    }
    s.water = {evaporation, fromProblem1, drift,      blowdown,       makeup,
               makeupYear,  costYear,     outletTemp, outletHumidity, leaving};

    // Fan energy.
    const bool fan = in.given(Setting::FanPower);
    const double p1 = in.value(Setting::FanPower);
    const double hours = in.value(Setting::Hours);
    const double price = in.given(Setting::PricePerKWh) ? in.value(Setting::PricePerKWh) : -1;
    const QString fanLaw = QStringLiteral("fan law P1 (G/G1)^3");
    SummaryFigure kw3 = figure(
        "fan.kW_problem3", QStringLiteral("Fan power at Problem 3's air flow"), "kW", fanLaw, 1);
    SummaryFigure kw4 = figure(
        "fan.kW_problem4", QStringLiteral("Fan power at Problem 4's air flow"), "kW", fanLaw, 1);
    SummaryFigure vsdFlow =
        figure("fan.air_flow_vsd", QStringLiteral("Air flow with a variable-speed drive"), "kg/s",
               QStringLiteral("the characteristic meets the duty, first row"), 2);
    SummaryFigure vsdKw = figure("fan.kW_vsd", QStringLiteral("Fan power with the drive"), "kW",
                                 QStringLiteral("P1 max(G*/G1, minimum speed)^3 / efficiency"), 1);
    SummaryFigure savedVsd = figure("fan.kWh_year_saved_vsd",
                                    QStringLiteral("Energy saved by the drive against full speed"),
                                    "kWh/year", QStringLiteral("over the ambient table"), 0);
    SummaryFigure savedTwo =
        figure("fan.kWh_year_saved_two_speed",
               QStringLiteral("Energy saved by the drive against two speeds"), "kWh/year",
               QStringLiteral("half speed whenever it meets the duty"), 0);
    SummaryFigure moneyVsd =
        figure("fan.cost_year_saved_vsd", QStringLiteral("Money saved by the drive per year"),
               "money/year", QStringLiteral("against full speed"), 0);
    moneyVsd.money = true;
    QList<SummaryFigure> changes;
    if (!fan) {
        notes << QStringLiteral("The fan figures need the measured fan power.");
    } else {
        const auto change = [&](const std::optional<double>& g, SummaryFigure* power,
                                const QString& which) {
            if (!g || !(*g > 0))
                return;
            power->value = savings::fanPower(p1, t.airFlow, *g);
            SummaryFigure dkw = figure(
                "", QStringLiteral("Change against Problem 1, %1").arg(which), "kW", fanLaw, 1);
            dkw.value = *power->value - p1;
            SummaryFigure dkwh = figure("", QStringLiteral("Change per year, %1").arg(which),
                                        "kWh/year", QStringLiteral("x operating hours"), 0);
            dkwh.value = *dkw.value * hours;
            changes << dkw << dkwh;
            if (price >= 0) {
                SummaryFigure dm = figure("", QStringLiteral("Cost change per year, %1").arg(which),
                                          "money/year", QStringLiteral("x electricity price"), 0);
                dm.money = true;
                dm.value = *dkwh.value * price;
                changes << dm;
            }
        };
        change(c.newAirFlow, &kw3, QStringLiteral("Problem 3"));
        change(c.dutyAirFlow, &kw4, QStringLiteral("Problem 4"));

        s.ambient = engine::ambientRows(c);
        const Figure merkel =
            s.figures.merkel.ok()
                ? s.figures.merkel
                : capability::evaluate(c.arrangement, t, nullptr, c.settings, false).merkel;
        if (s.ambient.empty())
            notes << QStringLiteral("The drive needs an ambient table or a current Problem 4.");
        else if (!merkel.ok())
            notes << QStringLiteral("The drive: ") +
                         QString::fromStdString(capability::refusal(merkel));
        else {
            savings::DriveInput d;
            d.arrangement = c.arrangement;
            d.test = t;
            d.exponent = c.settings.exponent;
            d.merkel = merkel.value;
            d.measuredPower = p1;
            d.driveEfficiency = in.value(Setting::DriveEfficiency);
            d.minimumSpeedPct = in.value(Setting::MinimumSpeedPct);
            d.pricePerKWh = price;
            if (!s.figures.grids.empty())
                d.gridCells = s.figures.grids.back();
            for (const engine::AmbientRow& row : s.ambient) {
                savings::Ambient a;
                if (!std::isnan(row.relativeHumidity)) {
                    a.dryBulb = row.dryBulb;
                    a.relativeHumidity = row.relativeHumidity;
                } else {
                    a.wetBulb = row.wetBulb;
                    a.dryBulb = std::isnan(row.dryBulb) ? row.wetBulb : row.dryBulb;
                    a.relativeHumidity = -1;
                }
                a.hours = row.hours;
                d.ambient.push_back(a);
            }
            s.drive = savings::variableSpeedDrive(d);
            if (s.drive.status == savings::Status::Ok) {
                vsdFlow.value = s.drive.airFlow;
                vsdKw.value = s.drive.power;
                savedVsd.value = s.drive.kWhSavedAgainstFull;
                savedTwo.value = s.drive.kWhSavedAgainstTwoSpeed;
                if (s.drive.priced)
                    moneyVsd.value = s.drive.moneySavedAgainstFull;
                if (s.drive.hoursShort > 0)
                    notes << QStringLiteral("For %1 h a year even the full air flow does not cool "
                                            "the water to Problem 1's outlet temperature: the fan "
                                            "runs at full speed then.")
                                 .arg(number(s.drive.hoursShort, 0));
                if (s.drive.rowsUnsolved > 0)
                    notes << QStringLiteral("For %1 h a year (%2 ambient rows, the first row %3) "
                                            "the drive's air flow could not be found: the fan is "
                                            "taken at full speed then.")
                                 .arg(number(s.drive.hoursUnsolved, 0))
                                 .arg(s.drive.rowsUnsolved)
                                 .arg(s.drive.firstUnsolvedRow + 1);
            } else {
                QString note = QStringLiteral("The drive: ") +
                               QString::fromStdString(savings::refusal(s.drive.status));
                if (s.drive.failedRow >= 0)
                    note += QStringLiteral(" (ambient row %1)").arg(s.drive.failedRow + 1);
                notes << note;
            }
        }
    }
    s.energy = {kw3, kw4, vsdFlow, vsdKw, savedVsd, savedTwo, moneyVsd};
    s.energy << changes;
}

} // namespace

QString SummaryFigure::text(const QLocale& locale) const {
    if (!value)
        return QString();
    if (money) {
        // A loss with the minus sign, as the other figures beside it, never in the accounting
        // parentheses some locales give it ("($62,993)"); no group separators, as every other
        // number of the program (a decimal-comma locale's "2.000" would read as 2).
        QLocale plain = locale;
        plain.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
        const QString amount =
            plain.toCurrencyString(std::abs(*value), plain.currencySymbol(), decimals);
        const bool negative = *value < 0 && std::round(-*value * std::pow(10, decimals)) > 0;
        return negative ? QStringLiteral("-") + amount : amount;
    }
    const QByteArray pattern =
        decimals > 0 ? QByteArray("0.") + QByteArray(decimals, '0') : QByteArray("0");
    return numtext::format(*value, pattern.constData(), locale);
}

QString SummaryFigure::plainText() const {
    if (!value)
        return QString();
    const QByteArray pattern =
        decimals > 0 ? QByteArray("0.") + QByteArray(decimals, '0') : QByteArray("0");
    return numtext::format(*value, pattern.constData(), QLocale::c());
}

QString SummaryFigure::shownUnit(const QLocale& locale) const {
    QString shown = unit;
    if (shown.startsWith(u"money")) {
        QString symbol = locale.currencySymbol();
        if (symbol.isEmpty())
            symbol = locale.currencySymbol(QLocale::CurrencyIsoCode);
        if (!symbol.isEmpty())
            shown.replace(0, 5, symbol);
    }
    shown.replace(QStringLiteral("oC"), QStringLiteral("°C"));
    shown.replace(QStringLiteral("m3"), QStringLiteral("m³"));
    return shown;
}

QStringList CapabilitySummary::capabilityColumns() {
    return {QStringLiteral("capability.merkel"),     QStringLiteral("capability.merkel_cti"),
            QStringLiteral("capability.excess_pct"), QStringLiteral("capability.lg"),
            QStringLiteral("capability.pct"),        QStringLiteral("capability.pct_measured_air"),
            QStringLiteral("capability.cold_water"), QStringLiteral("capability.U_pct"),
            QStringLiteral("capability.note")};
}

QStringList CapabilitySummary::savingsColumns() {
    return {QStringLiteral("water.evaporation"),
            QStringLiteral("water.evaporation_problem1"),
            QStringLiteral("water.drift"),
            QStringLiteral("water.blowdown"),
            QStringLiteral("water.makeup"),
            QStringLiteral("water.makeup_m3_year"),
            QStringLiteral("water.cost_year"),
            QStringLiteral("fan.kW_problem3"),
            QStringLiteral("fan.kW_problem4"),
            QStringLiteral("fan.air_flow_vsd"),
            QStringLiteral("fan.kW_vsd"),
            QStringLiteral("fan.kWh_year_saved_vsd"),
            QStringLiteral("fan.kWh_year_saved_two_speed"),
            QStringLiteral("fan.cost_year_saved_vsd"),
            QStringLiteral("savings.note")};
}

const SummaryFigure* CapabilitySummary::figure(const QString& column) const {
    for (const QList<SummaryFigure>* list : {&capability, &water, &energy})
        for (const SummaryFigure& f : *list)
            if (!f.column.isEmpty() && f.column == column)
                return &f;
    return nullptr;
}

namespace {

QStringList values(const CapabilitySummary& s, const QStringList& columns,
                   const QStringList& notes) {
    QStringList out;
    for (int i = 0; i + 1 < columns.size(); ++i) {
        const SummaryFigure* f = s.figure(columns[i]);
        out << (f ? f->plainText() : QString());
    }
    QStringList all = notes;
    if (!s.available)
        all.prepend(s.basis);
    out << all.join(QStringLiteral(" "));
    return out;
}

} // namespace

QStringList CapabilitySummary::capabilityValues() const {
    return values(*this, capabilityColumns(), capabilityNotes);
}

QStringList CapabilitySummary::savingsValues() const {
    return values(*this, savingsColumns(), savingsNotes);
}

CapabilitySummary summarize(const engine::Audit& audit, Arrangement arrangement,
                            const uncertainty::Accuracies& accuracies, SummaryPart parts) {
    return summarize(audit, engine::capabilityCase(audit, arrangement), accuracies, parts);
}

CapabilitySummary summarize(const engine::Audit& audit, const engine::CapabilityCase& c,
                            const uncertainty::Accuracies& accuracies, SummaryPart parts) {
    CapabilitySummary s;
    s.arrangement = c.arrangement;
    s.figures.arrangement = c.arrangement;
    if (!c.test) {
        s.basis = std::ranges::find(c.leftOut, 1) != c.leftOut.end()
                      ? QStringLiteral("Problem 1 of the %1 is out of date: calculate it again, "
                                       "the figures are computed from the current Problems' "
                                       "inputs.")
                            .arg(arrangementName(c.arrangement))
                      : QStringLiteral("Calculate Problem 1 of the %1 first: the figures are "
                                       "computed from the current Problems' inputs.")
                            .arg(arrangementName(c.arrangement));
        return s;
    }
    s.available = true;
    std::vector<int> used;
    for (int p : c.used)
        if (p <= 2 || (parts & WaterAndEnergyPart))
            used.push_back(p);
    s.basis = QStringLiteral("From Problem%1 %2 of the %3, as last calculated.")
                  .arg(used.size() > 1 ? QStringLiteral("s") : QString(), problemList(used),
                       arrangementName(c.arrangement));
    if (!c.leftOut.empty())
        s.basis += QStringLiteral(" Left out, being out of date: Problem%1 %2.")
                       .arg(c.leftOut.size() > 1 ? QStringLiteral("s") : QString(),
                            problemList(c.leftOut));
    if (parts & CapabilityPart)
        addCapability(s, c, accuracies);
    if (parts & WaterAndEnergyPart)
        addSavings(s, audit, c);
    return s;
}

} // namespace report
