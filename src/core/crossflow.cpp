#include "core/crossflow.h"

#include "core/psychro.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

namespace crossflow {

namespace {

bool allFinite(std::initializer_list<double> values) {
    for (double v : values) {
        if (!std::isfinite(v))
            return false;
    }
    return true;
}

// Checks shared by the sweep and the searches: finite values, positive flows and pressure,
// inlet water above the bracket's lower end and below boiling at the pressure.
Status checkCommon(double waterFlow, double airFlow, double waterIn, double bracketLow,
                   double pressure) {
    if (!(waterFlow > 0) || !(airFlow > 0))
        return Status::NonPositiveFlow;
    if (!(pressure > 0))
        return Status::InvalidInput;
    if (!(waterIn > bracketLow))
        return Status::WaterNotAboveWetBulb;
    if (!(psychro::pvsateis(waterIn) < pressure))
        return Status::SaturationAbovePressure;
    return Status::Ok;
}

} // namespace

const char* statusText(Status status) {
    switch (status) {
    case Status::Ok:
        return "calculation complete";
    case Status::InvalidInput:
        return "an input is not a finite number, the NTU is negative or the pressure is not "
               "positive";
    case Status::NonPositiveFlow:
        return "the water and air mass flow rates must be positive";
    case Status::NonPositiveHeat:
        return "the heat capacity must be positive";
    case Status::WaterNotAboveWetBulb:
        return "the inlet water temperature must be above the ambient wet bulb temperature";
    case Status::OutletAboveInlet:
        return "the outlet water temperature must not be above the inlet water temperature";
    case Status::SaturationAbovePressure:
        return "the inlet water temperature is at or above boiling at the air pressure";
    case Status::CellAboveSaturation:
        return "a fill cell has no solution: the air entering it is above saturation at the "
               "water temperature";
    case Status::CellBelowBracket:
        return "a fill cell has no solution: the water would have to cool below the lower end "
               "of the cell's search range (the ambient wet bulb temperature)";
    case Status::NonFinite:
        return "the calculation produced a value that is not a finite number";
    case Status::OutletNotReached:
        return "no number of transfer units up to 495 cools the water to the outlet temperature";
    case Status::RefinementNoConvergence:
        return "the number of transfer units could not be refined to 0.01 K on the outlet "
               "temperature";
    case Status::HeatNotReachable:
        return "the tower cannot reject the heat capacity with a cooling range of at least "
               "0.1 K";
    case Status::FlowNoConvergence:
        return "the water mass flow rate could not be found to the heat capacity's tolerance";
    }
    return "unknown status";
}

namespace {

// What stays fixed over one sweep.
struct SweepConstants {
    double pressure;   // bar
    double bracketLow; // degC
    double lc;         // water per column, kg/s
    double gc;         // air per row, kg/s
    double dNc;        // transfer units per cell
    double k;          // dNc / (2 gc), for the air dry bulb
    bool airTemperatures;
    // For solveCell(): the fall of a cell's qw - qa per K is at least waterSlope (kW/K), and
    // perSlope is the reciprocal of a slightly lower bound; the air heat changes by w (kg/s)
    // per kJ/kg of saturated enthalpy; `boiling` bounds the growth of the rounding of the
    // saturated enthalpy near the boiling point over every cell of the sweep.
    double waterSlope;
    double perSlope;
    double w;
    double boiling;
};

// What a cell is given: the water and air entering it, and saturated air at the water.
struct Cell {
    double twIn; // degC
    double h;    // kJ/kg dry air
    double ta;   // degC
    psychro::SaturatedEnthalpy saturatedIn;
};

// One pass of a cell's balance at the trial outlet water temperature two, given the saturated
// enthalpy hs2 at two: the water heat, the air heat and the air leaving.
struct Pass {
    double qw;    // kW
    double qa;    // kW
    double hout;  // kJ/kg dry air
    double taout; // degC
};

Pass passAt(const SweepConstants& k, const Cell& c, double two, double hs2) {
    Pass pass;
    pass.qw = (c.twIn - two) * kSpecificHeatWater * k.lc;
    pass.hout =
        (k.gc * c.h + k.dNc * (c.saturatedIn.enthalpy + hs2 - c.h) / 2) / (k.gc + k.dNc / 2);
    pass.taout = k.airTemperatures ? (c.ta - k.k * (c.ta - two - c.twIn)) / (1 + k.k) : c.ta;
    pass.qa = (pass.hout - c.h) * k.gc;
    return pass;
}

// A cell as its bisection leaves it.
struct CellSolution {
    bool converged = false;
    int passes = 0;
    double two = 0;   // outlet water temperature of the last pass, degC
    double hout = 0;  // air leaving, kJ/kg dry air
    double taout = 0; // air dry bulb leaving, degC
    double qw = 0;    // water and air heat of the last pass, kW
    double qa = 0;
    psychro::SaturatedEnthalpy saturatedOut{}; // saturated air at two, when converged
};

// The cell's bisection pass by pass: every pass evaluates the balance at its midpoint.
CellSolution bisectCell(const SweepConstants& k, const Cell& c) {
    CellSolution s;
    double lo = k.bracketLow;
    double hi = c.twIn;
    s.hout = c.h;
    s.taout = c.ta;
    while (s.passes < kCellMaxPasses) {
        ++s.passes;
        s.two = (lo + hi) / 2;
        const double hs2 =
            psychro::Enthalpy(s.two, psychro::AbsoluteHumidity(s.two, 100, k.pressure));
        const Pass pass = passAt(k, c, s.two, hs2);
        s.qw = pass.qw;
        s.qa = pass.qa;
        s.hout = pass.hout;
        s.taout = pass.taout;
        if (s.qw > s.qa)
            lo = s.two;
        else
            hi = s.two;
        if (std::fabs(s.qw - s.qa) < kCellTolerance) {
            s.converged = true;
            break;
        }
    }
    if (s.converged)
        s.saturatedOut = psychro::saturatedEnthalpyCurve(s.two, k.pressure);
    return s;
}

// The water temperatures, degC, between which the fits make the saturated enthalpy rise with
// temperature (its step at 0 degC included), so that a cell's heat difference qw - qa falls.
constexpr double kRisingLowest = -60;
constexpr double kRisingHighest = 200;
// Newton steps that locate a cell's root when the first guess is not confirmed.
constexpr int kCellNewtonSteps = 6;
// Balances a cell evaluates on the strength of its first guess before it gives the guess up.
constexpr int kGuessEvaluations = 4;

// The step from t towards the root of f with value f0, slope f1 < 0 and curvature f2 there: the
// Newton step d corrected by the curvature to second order, d - f2 d^2 / (2 f1).
double quadraticStep(double f0, double f1, double f2) {
    const double perSlope = 1 / f1;
    const double newton = -f0 * perSlope;
    return newton - 0.5 * f2 * perSlope * (newton * newton);
}

// The fixed data of one cell's root finding.
struct CellModel {
    const SweepConstants& k;
    const Cell& c;
    double margin; // the cell tolerance with the rounding of qw - qa, kW
};

// Midpoints at or below `rises` raise the lower end of a bisection and do not end it; midpoints
// at or above `falls` lower its upper end and do not end it.
struct Decided {
    double rises;
    double falls;
};

// What one balance, qw - qa = f at two, proves: f falls by at least s per K, so f exceeds the
// tolerance at every point below two + (f - tol)/s and is below -tol above two + (f + tol)/s.
Decided provenBy(const CellModel& m, double two, double f) {
    return {std::min(two, two + (f - m.margin) * m.k.perSlope),
            std::max(two, two + (f + m.margin) * m.k.perSlope)};
}

enum class Followed {
    Solved,      // the bisection ended, every skipped pass proven
    Unconfirmed, // the guess was not borne out: a skipped pass is not proven
    Failed,      // no convergence, or a value not finite
};

// The bit pattern of a double, which orders positive doubles as their values.
std::uint64_t bitsOf(double x) {
    return std::bit_cast<std::uint64_t>(x);
}

// Runs the passes of a bisection on [lo, hi] that `skip` decides, from pass `passes` on: each
// pass's midpoint (lo + hi) / 2 raises lo or lowers hi without its balance. Stops with true at
// the first midpoint strictly between skip.rises and skip.falls (in `two`), with false when the
// passes reach the guard. highestRaised and lowestLowered take the skipped midpoints.
//
// Where lo and hi are positive numbers of one binade (as a cell's temperatures nearly always
// are after a pass or two), the midpoint is computed on their bit patterns: their sum is exact
// in the binade above but for its last bit, which rounds to even, and halving it is exact; in
// bits that is (L + H) / 2 rounded half to even. The choice of end is then a conditional move
// rather than a branch, as the outcome of each pass is as good as random.
bool skipDecided(const Decided& skip, double& lo, double& hi, int& passes, double& highestRaised,
                 double& lowestLowered, double& two) {
    constexpr int kBinadeShift = 52; // sign and exponent lie above the 52 bits of the fraction
    while (!(lo > 0 && bitsOf(lo) >> kBinadeShift == bitsOf(hi) >> kBinadeShift)) {
        if (passes == kCellMaxPasses)
            return false;
        ++passes;
        two = (lo + hi) / 2;
        if (two <= skip.rises) {
            lo = two;
            highestRaised = two;
        } else if (two >= skip.falls) {
            hi = two;
            lowestLowered = two;
        } else
            return true;
    }
    // Midpoints are positive: at or below `raise` a pass raises lo, at or above `lower` (and
    // above `raise`) it lowers hi.
    const std::uint64_t raise = skip.rises > 0 ? bitsOf(skip.rises) : 0;
    const std::uint64_t lower = skip.falls > 0    ? bitsOf(skip.falls)
                                : skip.falls <= 0 ? 0
                                                  : ~std::uint64_t(0);   // NaN lowers nothing
    const std::uint64_t between = lower > raise ? lower - raise - 1 : 0; // midpoints in neither
    const std::uint64_t lo0 = bitsOf(lo);
    const std::uint64_t hi0 = bitsOf(hi);
    std::uint64_t l = lo0;
    std::uint64_t h = hi0;
    bool inside = false;
    while (passes < kCellMaxPasses) {
        ++passes;
        const std::uint64_t sum = l + h;
        const std::uint64_t mid = (sum + ((sum >> 1) & 1)) >> 1;
        if (mid - raise - 1 < between) {
            two = std::bit_cast<double>(mid);
            inside = true;
            break;
        }
        const bool raises = mid <= raise;
        l = raises ? mid : l;
        h = raises ? h : mid;
    }
    // lo only rises and hi only falls, each to the midpoint of a skipped pass.
    if (l != lo0)
        highestRaised = lo = std::bit_cast<double>(l);
    if (h != hi0)
        lowestLowered = hi = std::bit_cast<double>(h);
    return inside;
}

// Follows a cell's bisection: passes that `guess` or the balances evaluated so far decide are
// skipped, the others evaluate their balance exactly as bisectCell() does, at most
// `evaluations` of them. The result stands only when the balances evaluated prove every
// skipped pass.
Followed followBisection(const CellModel& m, Decided guess, Decided proven, int evaluations,
                         CellSolution& sol) {
    const SweepConstants& k = m.k;
    const Cell& c = m.c;
    Decided skip{std::max(guess.rises, proven.rises), std::min(guess.falls, proven.falls)};
    double lo = k.bracketLow;
    double hi = c.twIn;
    double highestRaised = -HUGE_VAL; // the skipped passes
    double lowestLowered = HUGE_VAL;
    int passes = 0;
    double two = 0;
    while (skipDecided(skip, lo, hi, passes, highestRaised, lowestLowered, two)) {
        if (evaluations-- == 0)
            return Followed::Unconfirmed;
        const psychro::SaturatedEnthalpy sat = psychro::saturatedEnthalpyCurve(two, k.pressure);
        const Pass pass = passAt(k, c, two, sat.enthalpy);
        const double f = pass.qw - pass.qa;
        if (!std::isfinite(f))
            return Followed::Failed;
        if (pass.qw > pass.qa)
            lo = two;
        else
            hi = two;
        const Decided now = provenBy(m, two, f);
        proven = {std::max(proven.rises, now.rises), std::min(proven.falls, now.falls)};
        if (std::fabs(f) < kCellTolerance) {
            if (!(highestRaised <= proven.rises && lowestLowered >= proven.falls))
                return Followed::Unconfirmed;
            if (!(std::isfinite(pass.hout) && std::isfinite(pass.taout)))
                return Followed::Failed;
            sol.passes = passes;
            sol.converged = true;
            sol.two = two;
            sol.hout = pass.hout;
            sol.taout = pass.taout;
            sol.qw = pass.qw;
            sol.qa = pass.qa;
            sol.saturatedOut = sat;
            return Followed::Solved;
        }
        skip = {std::max(skip.rises, proven.rises), std::min(skip.falls, proven.falls)};
    }
    // No convergence: the cell's own failure only when no skipped pass is in doubt.
    return highestRaised <= proven.rises && lowestLowered >= proven.falls ? Followed::Failed
                                                                          : Followed::Unconfirmed;
}

// The same bisection as bisectCell(), passes, midpoints and result to the last bit, with far
// fewer balances evaluated. The heat difference f(two) = qw - qa falls with two at least as
// steeply as the water heat, by s = 4.19 Lc per K (the air heat rises with the saturated
// enthalpy). So one balance evaluated at x, with value v, decides every midpoint m below
// x + (v - tol)/s (f(m) > tol: the pass raises the lower end and goes on) and every midpoint
// above x + (v + tol)/s (f(m) < -tol), and only midpoints between those bounds need their
// balance. A quadratic model of the balance at the water entering guesses the root; the
// bisection is followed on that guess and stands when the balances evaluated near the root
// prove every pass it skipped. Otherwise Newton steps place an evaluated balance within the
// tolerance of the root first. Every bound carries a margin for the rounding of qw - qa.
// Anything unusual (a value not finite, a bracket beyond the fits' rising range, no
// convergence) goes to bisectCell(), which decides it as before.
CellSolution solveCell(const SweepConstants& k, const Cell& c) {
    if (!(k.bracketLow >= kRisingLowest && c.twIn <= kRisingHighest))
        return bisectCell(k, c);
    const double p = k.pressure;
    const double waterSlope = k.waterSlope;
    const double w = k.w;
    // A generous bound on the rounding error of qw - qa, kW, and the margin it adds (beyond the
    // tolerance's thousandth, which covers the rounding of the bounds themselves).
    const double hs1 = c.saturatedIn.enthalpy;
    const double rounding = 1e-11 * (1 + waterSlope * (c.twIn - k.bracketLow) +
                                     k.gc * (std::fabs(c.h) + std::fabs(hs1)) * k.boiling);
    const CellModel m{k, c, kCellTolerance * 1.001 + 2 * rounding};
    if (!std::isfinite(m.margin))
        return bisectCell(k, c);

    // The balance at the water entering needs no new saturated enthalpy.
    const Pass atInlet = passAt(k, c, c.twIn, hs1);
    double x = c.twIn;
    double v = atInlet.qw - atInlet.qa;
    if (!std::isfinite(v))
        return bisectCell(k, c);
    double next =
        x + quadraticStep(v, -(waterSlope + w * c.saturatedIn.slope), -w * c.saturatedIn.curvature);

    CellSolution sol;
    if (std::isfinite(next)) {
        // Follow the bisection on the guess, as sure of it as of the cell tolerance.
        const double guess = std::clamp(next, k.bracketLow, c.twIn);
        const double reach = 1.5 * m.margin * k.perSlope;
        switch (followBisection(m, {guess - reach, guess + reach}, provenBy(m, x, v),
                                kGuessEvaluations, sol)) {
        case Followed::Solved:
            return sol;
        case Followed::Failed:
            return bisectCell(k, c);
        case Followed::Unconfirmed:
            break;
        }
    }

    for (int n = 0; n < kCellNewtonSteps && !(std::fabs(v) <= kCellTolerance / 4); ++n) {
        next = std::clamp(next, k.bracketLow, c.twIn);
        if (!std::isfinite(next) || next == x)
            break;
        const psychro::SaturatedEnthalpy sat = psychro::saturatedEnthalpyCurve(next, p);
        const Pass pass = passAt(k, c, next, sat.enthalpy);
        const double f = pass.qw - pass.qa;
        if (!std::isfinite(f))
            return bisectCell(k, c);
        x = next;
        v = f;
        next = x + quadraticStep(v, -(waterSlope + w * sat.slope), -w * sat.curvature);
    }
    const Decided proven = provenBy(m, x, v);
    sol = CellSolution{};
    if (followBisection(m, proven, proven, kCellMaxPasses, sol) == Followed::Solved)
        return sol;
    return bisectCell(k, c);
}

template <bool everyPass> SweepResult sweepCells(const SweepInput& in) {
    SweepResult r;
    if (!allFinite({in.ntu, in.waterFlow, in.airFlow, in.waterIn, in.airEnthalpyIn, in.airDryBulbIn,
                    in.pressure, in.bracketLow}) ||
        !(in.ntu >= 0)) {
        r.status = Status::InvalidInput;
        return r;
    }
    r.status = checkCommon(in.waterFlow, in.airFlow, in.waterIn, in.bracketLow, in.pressure);
    if (r.status != Status::Ok)
        return r;

    SweepConstants k;
    k.pressure = in.pressure;
    k.bracketLow = in.bracketLow;
    k.lc = in.waterFlow / kCells;
    k.gc = in.airFlow / kCells;
    k.dNc = in.ntu / (kCells * kCells);
    k.k = k.dNc / (2 * k.gc);
    k.airTemperatures = in.airTemperatures;
    k.waterSlope = kSpecificHeatWater * k.lc;
    k.perSlope = 1 / (k.waterSlope * (1 - 1e-12));
    k.w = k.gc * (k.dNc / 2) / (k.gc + k.dNc / 2);
    // The saturation pressure is highest at the water entering.
    k.boiling = 1 + in.pressure / (in.pressure - psychro::pvsateis(in.waterIn));

    // tw[j] is the water entering the current row in column j + 1: Tin for the first row,
    // then the outlet of the cell above; saturated[j] is saturated air at tw[j].
    std::array<double, kCells> tw;
    tw.fill(in.waterIn);
    std::array<psychro::SaturatedEnthalpy, kCells> saturated;
    saturated.fill(psychro::saturatedEnthalpyCurve(in.waterIn, in.pressure));

    for (int i = 0; i < kCells; ++i) {
        double h = in.airEnthalpyIn; // air entering the current cell of row i + 1
        double ta = in.airDryBulbIn;
        for (int j = 0; j < kCells; ++j) {
            Cell cell{tw[j], h, ta, saturated[j]};
            if constexpr (everyPass)
                cell.saturatedIn.enthalpy = psychro::saturatedEnthalpy(tw[j], in.pressure);
            const CellSolution s = everyPass ? bisectCell(k, cell) : solveCell(k, cell);
            r.cellPasses += s.passes;
            if (s.passes > r.maxCellPasses)
                r.maxCellPasses = s.passes;
            if (!s.converged || !std::isfinite(s.two) || !std::isfinite(s.hout) ||
                !std::isfinite(s.taout)) {
                if (!allFinite({s.qw, s.qa, s.two, s.hout, s.taout}))
                    r.status = Status::NonFinite;
                else if (s.qw > s.qa)
                    r.status = Status::CellAboveSaturation; // driven up to the water temperature
                else
                    r.status = Status::CellBelowBracket; // driven down to the lower bound
                r.failedColumn = j + 1;
                r.failedRow = i + 1;
                return r;
            }
            h = s.hout;
            ta = s.taout;
            tw[j] = s.two;
            saturated[j] = s.saturatedOut;
            if (in.cells)
                in.cells[i * kCells + j] = {s.two, s.hout, s.taout};
        }
        r.airEnthalpyOut[i] = h;
        r.airDryBulbOut[i] = ta;
    }

    r.waterOut = tw;
    double sumWater = 0;
    double sumEnthalpy = 0;
    double sumDryBulb = 0;
    for (int n = 0; n < kCells; ++n) {
        sumWater += r.waterOut[n];
        sumEnthalpy += r.airEnthalpyOut[n];
        sumDryBulb += r.airDryBulbOut[n];
    }
    r.waterOutMean = sumWater / kCells;
    r.airEnthalpyOutMean = sumEnthalpy / kCells;
    r.airDryBulbOutMean = sumDryBulb / kCells;
    if (!allFinite({r.waterOutMean, r.airEnthalpyOutMean, r.airDryBulbOutMean}))
        r.status = Status::NonFinite;
    return r;
}

} // namespace

SweepResult sweep(const SweepInput& in) {
    return sweepCells<false>(in);
}

SweepResult sweepPassByPass(const SweepInput& in) {
    return sweepCells<true>(in);
}

NtuResult searchNtu(const NtuSearchInput& in) {
    NtuResult r;
    if (!allFinite({in.waterFlow, in.airFlow, in.waterIn, in.waterOut, in.airEnthalpyIn,
                    in.airDryBulbIn, in.airWetBulbIn, in.pressure})) {
        r.status = Status::InvalidInput;
        return r;
    }
    r.status = checkCommon(in.waterFlow, in.airFlow, in.waterIn, in.airWetBulbIn, in.pressure);
    if (r.status != Status::Ok)
        return r;
    if (in.waterOut > in.waterIn) {
        r.status = Status::OutletAboveInlet;
        return r;
    }
    // Every cell's outlet stays at or above the bracket's lower end, so no trial can bring the
    // mean below an outlet temperature at or below the wet bulb.
    if (!(in.waterOut > in.airWetBulbIn)) {
        r.status = Status::OutletNotReached;
        return r;
    }

    SweepInput s;
    s.waterFlow = in.waterFlow;
    s.airFlow = in.airFlow;
    s.waterIn = in.waterIn;
    s.airEnthalpyIn = in.airEnthalpyIn;
    s.airDryBulbIn = in.airDryBulbIn;
    s.pressure = in.pressure;
    s.bracketLow = in.airWetBulbIn;

    auto run = [&](double ntu, bool airTemperatures) {
        s.ntu = ntu;
        s.airTemperatures = airTemperatures;
        r.ntu = ntu;
        r.sweep = sweep(s);
        r.cellPasses += r.sweep.cellPasses;
        return r.sweep.status == Status::Ok;
    };

    // Coarse phase.
    int found = 0; // the trial number k (1-based) of the first trial below Tout
    for (int trial = 1; trial <= kCoarseTrials; ++trial) {
        ++r.coarseTrials;
        if (!run(kCoarseStep * (trial - 1), false)) {
            r.status = r.sweep.status;
            return r;
        }
        if (r.sweep.waterOutMean < in.waterOut) {
            found = trial;
            break;
        }
    }
    if (found == 0) {
        r.status = Status::OutletNotReached;
        return r;
    }

    // Refinement between the previous trial and that one.
    double lo = found == 1 ? 0 : kCoarseStep * (found - 2);
    double hi = kCoarseStep * (found - 1);
    double previous = -1;
    while (r.refinementPasses < kRefineMaxPasses) {
        const double ntu = (lo + hi) / 2;
        if (ntu == previous)
            break; // the bracket can shrink no further
        previous = ntu;
        ++r.refinementPasses;
        if (!run(ntu, true)) {
            r.status = r.sweep.status;
            return r;
        }
        const double tm = r.sweep.waterOutMean;
        if (tm < in.waterOut)
            hi = ntu;
        else
            lo = ntu;
        if (std::fabs(tm - in.waterOut) < kOutletTolerance) {
            r.status = Status::Ok;
            return r;
        }
    }
    r.status = Status::RefinementNoConvergence;
    return r;
}

FlowResult searchWaterFlow(const FlowSearchInput& in) {
    FlowResult r;
    if (!allFinite({in.heat, in.waterIn, in.airEnthalpyIn, in.airDryBulbIn, in.airWetBulbIn,
                    in.pressure, in.ntu3, in.waterFlow3, in.airFlow3}) ||
        !(in.ntu3 >= 0) || !(in.heatTolerance > 0)) {
        r.status = Status::InvalidInput;
        return r;
    }
    if (!(in.heat > 0)) {
        r.status = Status::NonPositiveHeat;
        return r;
    }
    r.status = checkCommon(in.waterFlow3, in.airFlow3, in.waterIn, in.airWetBulbIn, in.pressure);
    if (r.status != Status::Ok)
        return r;

    const double ratio = in.waterFlow3 / in.airFlow3; // (L/G)3
    double lo = in.heat / (kSpecificHeatWater * (in.waterIn - in.airWetBulbIn));
    double hi = in.heat / (kSpecificHeatWater * kSmallestRange);
    if (!allFinite({ratio, lo, hi})) {
        r.status = Status::NonFinite;
        return r;
    }
    // The water cannot be cooled below the wet bulb: with less than 0.1 K between them even
    // the lowest flow would need a range above 0.1 K.
    if (!(lo < hi)) {
        r.status = Status::HeatNotReachable;
        return r;
    }
    const double highest = hi;

    SweepInput s;
    s.waterIn = in.waterIn;
    s.airEnthalpyIn = in.airEnthalpyIn;
    s.airDryBulbIn = in.airDryBulbIn;
    s.pressure = in.pressure;
    s.bracketLow = in.airWetBulbIn;
    s.airTemperatures = true;

    while (r.passes < kFlowMaxPasses) {
        const double l = (lo + hi) / 2;
        if (r.passes > 0 && (l <= lo || l >= hi))
            break; // the bracket is down to adjacent numbers
        const double g = l / ratio;
        const double ntu = in.ntu3 * (l / in.waterFlow3) *
                           std::pow((in.waterFlow3 / l) * (g / in.airFlow3), kFlowExponent);
        r.waterFlow = l;
        r.airFlow = g;
        r.ntu = ntu;
        ++r.passes;
        s.ntu = ntu;
        s.waterFlow = l;
        s.airFlow = g;
        r.sweep = sweep(s);
        r.cellPasses += r.sweep.cellPasses;
        if (r.sweep.status != Status::Ok) {
            r.status = r.sweep.status;
            return r;
        }
        const double t = r.sweep.waterOutMean;
        const double q = (in.waterIn - t) * l * kSpecificHeatWater;
        r.waterOut = t;
        r.heat = q;
        if (q > in.heat)
            hi = l;
        else
            lo = l;
        if (std::fabs(in.heat - q) < in.heatTolerance) {
            r.metTolerance = true;
            r.status = Status::Ok;
            return r;
        }
    }
    if (std::fabs(in.heat - r.heat) <= kHeatAcceptBound)
        r.status = Status::Ok;
    else if (r.heat < in.heat && hi == highest)
        r.status = Status::HeatNotReachable;
    else
        r.status = Status::FlowNoConvergence;
    return r;
}

} // namespace crossflow
