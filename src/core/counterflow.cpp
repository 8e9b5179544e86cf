#include "core/counterflow.h"

#include "core/ntuscaling.h"
#include "core/psychro.h"

#include <cmath>

namespace counterflow {

bool saturatedAtOutlet(const Fill& fill) {
    return !(psychro::saturatedEnthalpy(fill.waterOut, fill.pressure) - fill.airEnthalpyIn > 0);
}

Integration integrate(const Fill& fill, FillNode* nodes) {
    Integration result;
    if (!(fill.waterFlow > 0) || !(fill.airFlow > 0)) {
        result.status = Status::ZeroFlow;
        return result;
    }
    const double dT = (fill.waterIn - fill.waterOut) / kIntervals;
    const double L = fill.waterFlow;
    const double G = fill.airFlow;

    double lower = fill.waterOut; // water temperature at node i - 1
    double h = fill.airEnthalpyIn;
    double ta = fill.airTempIn;
    double ntu = 0;
    for (int i = 1; i <= kIntervals; ++i) {
        const double upper = lower + dT;
        const double tm = (upper + lower) / 2;
        const double hs = psychro::saturatedEnthalpy(tm, fill.pressure);
        h = h + dT * kSpecificHeatWater * L / G;
        double dN = 0;
        if (dT != 0) {
            if (!(hs - h > 0)) {
                result.status = std::isfinite(hs - h) ? Status::NoDrivingForce : Status::NonFinite;
                return result;
            }
            dN = dT * kSpecificHeatWater * L / (hs - h);
        }
        ntu = ntu + dN;
        const double k = dN / (2 * G);
        ta = (ta - k * (ta - upper - lower)) / (1 + k);
        if (nodes) {
            if (i == 1)
                nodes[0] = {lower, fill.airEnthalpyIn, hs, fill.airTempIn};
            nodes[i] = {upper, h, hs, ta};
        }
        lower = upper;
    }
    if (!std::isfinite(ntu) || !std::isfinite(h) || !std::isfinite(ta)) {
        result.status = Status::NonFinite;
        return result;
    }
    result.ntu = ntu;
    result.airEnthalpyOut = h;
    result.airTempOut = ta;
    return result;
}

OutletSearch findOutletTemperature(Fill fill, double lowest, double targetNtu, double tolerance) {
    OutletSearch result;
    if (!(fill.waterFlow > 0) || !(fill.airFlow > 0)) {
        result.status = Status::ZeroFlow;
        return result;
    }
    double lo = lowest;
    double hi = fill.waterIn;
    if (!(lo < hi) || !std::isfinite(targetNtu)) {
        result.status = Status::InvalidBracket;
        return result;
    }
    result.status = Status::NotConverged;
    while (result.passes < kMaxBisectionPasses) {
        ++result.passes;
        const double t = (lo + hi) / 2;
        if (t <= lo || t >= hi)
            break; // the bracket no longer shrinks
        fill.waterOut = t;
        const Integration trial = integrate(fill);
        if (trial.status == Status::Ok) {
            if (trial.ntu > targetNtu)
                lo = t;
            else
                hi = t;
            if (std::fabs(targetNtu - trial.ntu) < tolerance) {
                result.status = Status::Ok;
                result.waterOut = t;
                result.fill = trial;
                return result;
            }
        } else if (trial.status == Status::NoDrivingForce) {
            lo = t; // needs more transfer units than any finite target
        } else {
            result.status = trial.status;
            return result;
        }
    }
    return result;
}

FlowSearch findWaterFlow(const Duty& duty, const Tower& tower) {
    FlowSearch result;
    if (!(tower.waterFlow > 0) || !(tower.airFlow > 0) || !(tower.flowRatio > 0)) {
        result.status = Status::ZeroFlow;
        return result;
    }
    const double cooling = duty.waterIn - duty.wetBulb;
    double lo = duty.heat / (kSpecificHeatWater * cooling);
    double hi = duty.heat / (kSpecificHeatWater * kSmallestRange);
    if (!(duty.heat > 0) || !(cooling > kSmallestRange) || !(lo < hi) || !std::isfinite(hi)) {
        result.status = Status::InvalidBracket;
        return result;
    }
    result.status = Status::NotConverged;
    while (result.passes < kMaxBisectionPasses) {
        ++result.passes;
        const double L = (lo + hi) / 2;
        if (L <= lo || L >= hi)
            break;
        const double G = L / tower.flowRatio;
        const double offered =
            ntuscaling::scaledNtu(tower.ntu, tower.waterFlow, tower.airFlow, L, G);
        const double t = duty.waterIn - duty.heat / (kSpecificHeatWater * L);
        const Fill fill{t, duty.waterIn, L, G, duty.pressure, duty.airEnthalpyIn, duty.airTempIn};
        const Integration trial = integrate(fill);
        if (trial.status == Status::Ok) {
            if (trial.ntu < offered)
                hi = L;
            else
                lo = L;
            if (std::fabs(offered - trial.ntu) < kNewFlowNtuTolerance) {
                result.status = Status::Ok;
                result.waterFlow = L;
                result.airFlow = G;
                result.ntu = offered;
                result.waterOut = t;
                result.fill = trial;
                return result;
            }
        } else if (trial.status == Status::NoDrivingForce) {
            lo = L; // this flow cannot be cooled that far: more water, smaller range
        } else {
            result.status = trial.status;
            return result;
        }
    }
    return result;
}

} // namespace counterflow
