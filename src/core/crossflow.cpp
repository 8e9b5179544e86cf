#include "core/crossflow.h"

#include "core/psychro.h"

#include <cmath>

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

SweepResult sweep(const SweepInput& in) {
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

    const double p = in.pressure;
    const double lc = in.waterFlow / kCells;       // water per column, kg/s
    const double gc = in.airFlow / kCells;         // air per row, kg/s
    const double dNc = in.ntu / (kCells * kCells); // transfer units per cell
    const double k = dNc / (2 * gc);

    // tw[j] is the water entering the current row in column j + 1: Tin for the first row,
    // then the outlet of the cell above.
    std::array<double, kCells> tw;
    tw.fill(in.waterIn);

    for (int i = 0; i < kCells; ++i) {
        double h = in.airEnthalpyIn; // air entering the current cell of row i + 1
        double ta = in.airDryBulbIn;
        for (int j = 0; j < kCells; ++j) {
            const double twIn = tw[j];
            // Saturated air at the entering water temperature: fixed for the whole bisection.
            const double hs1 = psychro::saturatedEnthalpy(twIn, p);
            double lo = in.bracketLow;
            double hi = twIn;
            double two = 0;
            double hout = h;
            double taout = ta;
            double qw = 0;
            double qa = 0;
            int passes = 0;
            bool converged = false;
            while (passes < kCellMaxPasses) {
                ++passes;
                two = (lo + hi) / 2;
                qw = (twIn - two) * kSpecificHeatWater * lc;
                const double hs2 = psychro::Enthalpy(two, psychro::AbsoluteHumidity(two, 100, p));
                hout = (gc * h + dNc * (hs1 + hs2 - h) / 2) / (gc + dNc / 2);
                if (in.airTemperatures)
                    taout = (ta - k * (ta - two - twIn)) / (1 + k);
                qa = (hout - h) * gc;
                if (qw > qa)
                    lo = two;
                else
                    hi = two;
                if (std::fabs(qw - qa) < kCellTolerance) {
                    converged = true;
                    break;
                }
            }
            r.cellPasses += passes;
            if (passes > r.maxCellPasses)
                r.maxCellPasses = passes;
            if (!converged || !allFinite({two, hout, taout})) {
                if (!allFinite({qw, qa, two, hout, taout}))
                    r.status = Status::NonFinite;
                else if (qw > qa)
                    r.status = Status::CellAboveSaturation; // driven up to the water temperature
                else
                    r.status = Status::CellBelowBracket; // driven down to the lower bound
                r.failedColumn = j + 1;
                r.failedRow = i + 1;
                return r;
            }
            h = hout;
            ta = taout;
            tw[j] = two;
            if (in.cells)
                in.cells[i * kCells + j] = {two, hout, taout};
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
