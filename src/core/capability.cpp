#include "core/capability.h"

#include "core/counterflow.h"
#include "core/psychro.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace capability {

namespace {

constexpr double kCpw = kSpecificHeatWater;
constexpr double kEps = std::numeric_limits<double>::epsilon();

bool allFinite(std::initializer_list<double> values) {
    for (double v : values) {
        if (!std::isfinite(v))
            return false;
    }
    return true;
}

Figure okFigure(double value) {
    if (!std::isfinite(value))
        return {Status::NonFinite, 0, 0};
    return {Status::Ok, value, 0};
}

Figure refused(Status status, double at = 0) {
    return {status, 0, at};
}

// --- A safeguarded root search ---------------------------------------------------------------

struct Root {
    bool ok = false;
    double x = 0;
    double fx = 0;
    int passes = 0;
};

// Brent's method (inverse quadratic interpolation and secant steps inside a bracket, bisection
// when they do not shrink it fast enough; Brent, "Algorithms for Minimization without
// Derivatives", 1973, ch. 4) on [a, b] with f(a) and f(b) of opposite signs. f returns NaN to
// abort. Ends when the bracket is narrower than 2 (xTol + 2 eps |x|) or |f| <= fTol; not ok
// after maxPasses evaluations or on an abort.
template <class F>
Root brent(F&& f, double a, double b, double fa, double fb, double xTol, double fTol,
           int maxPasses = kMaxSearchPasses) {
    Root r;
    if (fa == 0) {
        r = {true, a, fa, 0};
        return r;
    }
    if (fb == 0) {
        r = {true, b, fb, 0};
        return r;
    }
    if ((fa > 0) == (fb > 0))
        return r;
    double c = a;
    double fc = fa;
    double d = b - a;
    double e = d;
    for (;;) {
        if ((fb > 0) == (fc > 0)) {
            c = a;
            fc = fa;
            d = e = b - a;
        }
        if (std::fabs(fc) < std::fabs(fb)) {
            a = b;
            b = c;
            c = a;
            fa = fb;
            fb = fc;
            fc = fa;
        }
        const double tol1 = 2 * kEps * std::fabs(b) + 0.5 * xTol;
        const double xm = 0.5 * (c - b);
        if (std::fabs(xm) <= tol1 || fb == 0 || std::fabs(fb) <= fTol) {
            r.ok = true;
            r.x = b;
            r.fx = fb;
            return r;
        }
        if (r.passes >= maxPasses)
            return r;
        if (std::fabs(e) >= tol1 && std::fabs(fa) > std::fabs(fb)) {
            const double s = fb / fa;
            double p;
            double q;
            if (a == c) {
                p = 2 * xm * s;
                q = 1 - s;
            } else {
                const double qa = fa / fc;
                const double rb = fb / fc;
                p = s * (2 * xm * qa * (qa - rb) - (b - a) * (rb - 1));
                q = (qa - 1) * (rb - 1) * (s - 1);
            }
            if (p > 0)
                q = -q;
            else
                p = -p;
            if (2 * p < std::min(3 * xm * q - std::fabs(tol1 * q), std::fabs(e * q))) {
                e = d;
                d = p / q;
            } else {
                d = xm;
                e = d;
            }
        } else {
            d = xm;
            e = d;
        }
        a = b;
        fa = fb;
        b += std::fabs(d) > tol1 ? d : std::copysign(tol1, xm);
        fb = f(b);
        ++r.passes;
        if (std::isnan(fb))
            return r;
    }
}

// --- Counter flow ----------------------------------------------------------------------------

// The driving force hs(T) - ha(T) of an air line, kJ/kg.
double drivingForce(const AirLine& line, double t) {
    return psychro::saturatedEnthalpy(t, line.pressure) - line.airEnthalpyIn -
           line.flowRatio * kCpw * (t - line.waterOut);
}

bool validLine(const AirLine& line) {
    return allFinite(
               {line.waterOut, line.waterIn, line.flowRatio, line.airEnthalpyIn, line.pressure}) &&
           line.pressure > 0 && line.flowRatio >= 0 && line.waterIn >= line.waterOut &&
           psychro::pvsateis(line.waterIn) < line.pressure;
}

// Where the air line meets saturation, if it does: status Ok when the driving force is positive
// on all of [Tout, Tin] (its minimum the value, at `at` degC); ColdWaterAtWetBulb when it is not
// positive at Tout already; AirSaturates with the water temperature of the first zero otherwise.
// The driving force is convex (hs is), so its minimum is where its slope hs'(T) - (L/G) cpw changes
// sign.
Figure lineSaturation(const AirLine& line) {
    const double d0 = drivingForce(line, line.waterOut);
    if (!std::isfinite(d0))
        return refused(Status::NonFinite);
    if (!(d0 > 0))
        return refused(Status::ColdWaterAtWetBulb, line.waterOut);
    const double airSlope = line.flowRatio * kCpw;
    auto slopeAt = [&](double t) {
        return psychro::saturatedEnthalpyCurve(t, line.pressure).slope - airSlope;
    };
    double tMin = line.waterOut;
    const double s0 = slopeAt(line.waterOut);
    const double s1 = slopeAt(line.waterIn);
    if (!(s0 >= 0)) {
        if (!(s1 > 0)) {
            tMin = line.waterIn;
        } else {
            const Root r =
                brent(slopeAt, line.waterOut, line.waterIn, s0, s1, kTemperatureTolerance, 0);
            if (!r.ok)
                return refused(Status::NotConverged);
            tMin = r.x;
        }
    }
    const double dMin = drivingForce(line, tMin);
    if (!std::isfinite(dMin))
        return refused(Status::NonFinite);
    if (dMin > 0) {
        Figure f = okFigure(dMin);
        f.at = tMin;
        return f;
    }
    auto force = [&](double t) { return drivingForce(line, t); };
    const Root r = brent(force, line.waterOut, tMin, d0, dMin, kTemperatureTolerance, 0);
    return refused(Status::AirSaturates, r.ok ? r.x : tMin);
}

Integral integralOf(const Figure& f) {
    Integral r;
    r.status = f.status;
    r.at = f.at;
    return r;
}

// The rounding of a driving force hs - ha, in units of eps (hs + ha): generous for the few
// operations of each enthalpy.
constexpr double kForceRounding = 64;

// The largest relative rounding of the integrand at which a panel is accepted at the rounding
// limit (the driving force then at least 1e6 times its rounding).
constexpr double kIntegrandRoundingLimit = 1e-6;

// Adaptive Simpson on [a, b] (Lyness' criterion |S2 - S1| <= 15 tol, with the Richardson
// correction added). A panel also ends when |S2 - S1| is within the rounding of its integrand
// values, (b - a) roundingScale max f^2 (f's rounding is roundingScale f^2): halving it further
// would only refine the rounding (`roundingLimited` then; `capped` as well when the integrand's
// relative rounding roundingScale f exceeds kIntegrandRoundingLimit).
template <class F> struct AdaptiveSimpson {
    F& f;
    int evaluations = 0;
    double roundingScale = 0;
    bool capped = false;
    bool roundingLimited = false;

    double step(double a, double b, double fa, double fm, double fb, double whole, double tol,
                int depth) {
        const double m = 0.5 * (a + b);
        const double lm = 0.5 * (a + m);
        const double rm = 0.5 * (m + b);
        if (evaluations + 2 > kMerkelMaxEvaluations) {
            capped = true;
            return whole;
        }
        const double flm = f(lm);
        const double frm = f(rm);
        evaluations += 2;
        const double left = (m - a) / 6 * (fa + 4 * flm + fm);
        const double right = (b - m) / 6 * (fm + 4 * frm + fb);
        const double both = left + right;
        const double delta = both - whole;
        if (depth <= 0 || std::fabs(delta) <= 15 * tol || !(lm > a && rm < b))
            return both + delta / 15;
        const double fMax = std::max({fa, flm, fm, frm, fb});
        if (std::fabs(delta) <= (b - a) * roundingScale * fMax * fMax) {
            // Refining further would only refine the rounding: accept the panel while its
            // integrand is known well, give up (NotConverged) where it is not.
            if (roundingScale * fMax > kIntegrandRoundingLimit)
                capped = true;
            roundingLimited = true;
            return both + delta / 15;
        }
        return step(a, m, fa, flm, fm, left, tol / 2, depth - 1) +
               step(m, b, fm, frm, fb, right, tol / 2, depth - 1);
    }
};

// Depth of the adaptive Simpson's bisection: 2^-60 of the range is below any double's spacing.
constexpr int kMaxSimpsonDepth = 60;
// Panels of the first, plain composite Simpson estimate that sets the absolute tolerance.
constexpr int kSimpsonStartPanels = 8;

} // namespace

EnteringAir enteringAir(double pressure, double dryBulb, double relativeHumidity) {
    EnteringAir air;
    if (!allFinite({pressure, dryBulb, relativeHumidity}) || !(pressure > 0) ||
        !(relativeHumidity >= 0) || !(relativeHumidity <= 100))
        return air;
    const psychro::AirResult state = psychro::moistAirState(psychro::Given::RelativeHumidity,
                                                            pressure, dryBulb, relativeHumidity);
    if (state.status != psychro::AirStatus::Ok)
        return air;
    air.humidity = psychro::AbsoluteHumidity(dryBulb, relativeHumidity, pressure);
    air.enthalpy = psychro::Enthalpy(dryBulb, air.humidity);
    air.wetBulb = state.state.wetBulb;
    air.ok = allFinite({air.humidity, air.enthalpy, air.wetBulb}) && air.humidity >= 0;
    return air;
}

Integral counterFlowMerkel(const AirLine& line) {
    if (!validLine(line))
        return {};
    const Figure saturation = lineSaturation(line);
    if (!saturation.ok())
        return integralOf(saturation);
    Integral r;
    r.status = Status::Ok;
    if (line.waterIn == line.waterOut)
        return r;
    auto integrand = [&](double t) { return kCpw / drivingForce(line, t); };
    const double a = line.waterOut;
    const double b = line.waterIn;
    // A composite Simpson estimate over a few panels sets the absolute tolerance; each panel is
    // then refined adaptively with its share of it.
    double nodes[2 * kSimpsonStartPanels + 1];
    for (int i = 0; i <= 2 * kSimpsonStartPanels; ++i)
        nodes[i] = integrand(a + (b - a) * i / (2 * kSimpsonStartPanels));
    r.evaluations = 2 * kSimpsonStartPanels + 1;
    const double h = (b - a) / kSimpsonStartPanels;
    double estimate = 0;
    for (int k = 0; k < kSimpsonStartPanels; ++k)
        estimate += h / 6 * (nodes[2 * k] + 4 * nodes[2 * k + 1] + nodes[2 * k + 2]);
    const double tol = kMerkelTolerance * std::fabs(estimate) / kSimpsonStartPanels;
    // The driving force's rounding, kForceRounding eps (hs + ha), largest at Tin, makes
    // cpw / d uncertain by that over cpw times its square.
    const double hsTop = psychro::saturatedEnthalpy(b, line.pressure);
    const double haTop = line.airEnthalpyIn + line.flowRatio * kCpw * (b - a);
    const double roundingScale =
        kForceRounding * kEps * (std::fabs(hsTop) + std::fabs(haTop)) / kCpw;
    AdaptiveSimpson<decltype(integrand)> simpson{integrand, r.evaluations, roundingScale};
    double sum = 0;
    for (int k = 0; k < kSimpsonStartPanels; ++k) {
        const double pa = a + h * k;
        const double pb = k + 1 == kSimpsonStartPanels ? b : a + h * (k + 1);
        const double whole = h / 6 * (nodes[2 * k] + 4 * nodes[2 * k + 1] + nodes[2 * k + 2]);
        sum += simpson.step(pa, pb, nodes[2 * k], nodes[2 * k + 1], nodes[2 * k + 2], whole, tol,
                            kMaxSimpsonDepth);
    }
    r.evaluations = simpson.evaluations;
    if (simpson.capped) {
        r.status = Status::NotConverged;
        return r;
    }
    if (!std::isfinite(sum)) {
        r.status = Status::NonFinite;
        return r;
    }
    r.value = sum;
    r.roundingLimited = simpson.roundingLimited;
    return r;
}

Figure counterFlowMerkelLowerBound(const AirLine& line) {
    if (!validLine(line))
        return {};
    const Figure saturation = lineSaturation(line);
    if (!saturation.ok())
        return saturation;
    const double a = line.waterOut;
    const double b = line.waterIn;
    constexpr int kPieces = 2 * kSimpsonStartPanels;
    double nodes[kPieces + 2];
    for (int i = 0; i <= kPieces; ++i)
        nodes[i] = i == kPieces ? b : a + (b - a) * i / kPieces;
    nodes[kPieces + 1] = saturation.at;
    std::sort(nodes, nodes + kPieces + 2);
    // The driving force raised by the rounding of the enthalpies it is the difference of.
    auto forceAbove = [&](double t) {
        const double hs = psychro::saturatedEnthalpy(t, line.pressure);
        const double ha = line.airEnthalpyIn + line.flowRatio * kCpw * (t - line.waterOut);
        return hs - ha + kForceRounding * kEps * (std::fabs(hs) + std::fabs(ha));
    };
    double sum = 0;
    double t1 = nodes[0];
    double d1 = forceAbove(t1);
    for (int i = 1; i < kPieces + 2; ++i) {
        const double t2 = nodes[i];
        const double d2 = forceAbove(t2);
        // ln(d1 / d2) / (d1 - d2), 1 / d1 in the limit of equal forces.
        const double q = (d2 - d1) / d1;
        const double meanInverse = std::fabs(q) < 1e-12 ? 1 / d1 : std::log1p(q) / (d2 - d1);
        sum += kCpw * (t2 - t1) * meanInverse;
        t1 = t2;
        d1 = d2;
    }
    return okFigure(sum);
}

Integral counterFlowMerkelAgainst(const AirLine& line, double target) {
    Integral me = counterFlowMerkel(line);
    if (me.status != Status::NotConverged)
        return me;
    const Figure bound = counterFlowMerkelLowerBound(line);
    if (bound.ok() && bound.value > target) {
        me.status = Status::Ok;
        me.value = bound.value;
        me.lowerBound = true;
    }
    return me;
}

Integral chebyshevMerkel(const AirLine& line) {
    if (!validLine(line))
        return {};
    const Figure saturation = lineSaturation(line);
    if (!saturation.ok())
        return integralOf(saturation);
    const double range = line.waterIn - line.waterOut;
    const double points[] = {line.waterOut + 0.1 * range, line.waterOut + 0.4 * range,
                             line.waterIn - 0.4 * range, line.waterIn - 0.1 * range};
    double sum = 0;
    for (double t : points)
        sum += kCpw / drivingForce(line, t);
    Integral r;
    r.status = Status::Ok;
    r.evaluations = 4;
    r.value = range / 4 * sum;
    if (!std::isfinite(r.value))
        r = {Status::NonFinite, 0, 4, 0};
    return r;
}

Integral upperNodeMerkel(const AirLine& line, int intervals) {
    if (!validLine(line) || intervals < 1)
        return {};
    // The arithmetic of counterflow::integrate() with L/G for L / G and the NTU divided by L.
    const double dT = (line.waterIn - line.waterOut) / intervals;
    double lower = line.waterOut;
    double h = line.airEnthalpyIn;
    double sum = 0;
    Integral r;
    for (int i = 1; i <= intervals; ++i) {
        const double upper = lower + dT;
        const double tm = (upper + lower) / 2;
        const double hs = psychro::saturatedEnthalpy(tm, line.pressure);
        h = h + dT * kCpw * line.flowRatio;
        ++r.evaluations;
        if (dT != 0) {
            if (!(hs - h > 0)) {
                if (!std::isfinite(hs - h)) {
                    r.status = Status::NonFinite;
                    return r;
                }
                const Figure saturation = lineSaturation(line);
                r.status = saturation.ok() ? Status::AirSaturates : saturation.status;
                r.at = saturation.ok() ? upper : saturation.at;
                return r;
            }
            sum = sum + dT * kCpw / (hs - h);
        }
        lower = upper;
    }
    if (!std::isfinite(sum)) {
        r.status = Status::NonFinite;
        return r;
    }
    r.status = Status::Ok;
    r.value = sum;
    return r;
}

Figure pinchRatio(const AirLine& line) {
    if (!validLine(line) || !(line.waterIn > line.waterOut))
        return {};
    const double p = line.pressure;
    const double excess0 = psychro::saturatedEnthalpy(line.waterOut, p) - line.airEnthalpyIn;
    if (!std::isfinite(excess0))
        return refused(Status::NonFinite);
    if (!(excess0 > 0))
        return refused(Status::ColdWaterAtWetBulb, line.waterOut);
    // The ratio of the line through (Tout, h,in) and (T, hs(T)) is
    // g(T) = (hs(T) - h,in) / (cpw (T - Tout)); its slope has the sign of
    // N(T) = hs'(T) (T - Tout) - (hs(T) - h,in), which rises (N' = hs'' (T - Tout) > 0) from
    // -(hs(Tout) - h,in) < 0. The pinch is g at the root of N (the tangent from the entering
    // air to the saturation curve) or, when N(Tin) <= 0, g(Tin).
    auto tangency = [&](double t) {
        const psychro::SaturatedEnthalpy s = psychro::saturatedEnthalpyCurve(t, p);
        return s.slope * (t - line.waterOut) - (s.enthalpy - line.airEnthalpyIn);
    };
    auto ratioAt = [&](double t) {
        return (psychro::saturatedEnthalpy(t, p) - line.airEnthalpyIn) /
               (kCpw * (t - line.waterOut));
    };
    const double nIn = tangency(line.waterIn);
    if (!std::isfinite(nIn))
        return refused(Status::NonFinite);
    double tPinch = line.waterIn;
    if (nIn > 0) {
        const Root r =
            brent(tangency, line.waterOut, line.waterIn, -excess0, nIn, kTemperatureTolerance, 0);
        if (!r.ok)
            return refused(Status::NotConverged);
        tPinch = r.x;
    }
    // g is flat at an interior tangent, so the ratio there is exact to the square of the
    // temperature's error.
    Figure f = okFigure(ratioAt(tPinch));
    f.at = tPinch;
    return f;
}

// --- Cross flow ------------------------------------------------------------------------------

namespace {

// The order of the cross-flow cell model's error in the cell size: each cell balances its heat
// with the driving force averaged over its inlets and outlets, a box scheme of second order.
constexpr double kTheoreticalOrder = 2;
// An observed order further than this from the theoretical one is taken as erratic (the
// differences between the grids are then dominated by the searches' tolerance or by a change
// of sign) and the theoretical order is used instead.
constexpr double kOrderTolerance = 0.5;
// A cell's step below this, K, ends its search. The last step is the Newton step corrected by
// the curvature, so the root it lands on is in error by about F''' step^3 / (6 F'), below
// 1e-16 K for a step of 1e-4 K; the saturated enthalpy there is carried to the same order by
// its Taylor series. Most cells end with the first balance evaluated.
constexpr double kCellStep = 1e-4;
constexpr int kCellMaxIterations = 100;
// The cell equations hold while a cell's transfer units stay below twice its air flow,
// Me (L/G) / n < 2 (crossflow.h); the Merkel searches stop there.
constexpr double kMaxCellUnits = 2;
// The coarsest grid of the refinement and of a fixed set of grids.
constexpr int kFirstGrid = 20;

bool validFill(const CrossFlowFill& fill) {
    return allFinite({fill.waterIn, fill.flowRatio, fill.airEnthalpyIn, fill.airWetBulbIn,
                      fill.pressure}) &&
           fill.pressure > 0 && fill.flowRatio > 0 &&
           psychro::pvsateis(fill.waterIn) < fill.pressure;
}

// The step from t towards the root of f with value f0, slope f1 and curvature f2 there: the
// Newton step corrected by the curvature to second order.
double quadraticStep(double f0, double f1, double f2) {
    const double newton = -f0 / f1;
    return newton - 0.5 * f2 / f1 * newton * newton;
}

// One sweep of the n x n cell model, scale-free. With a = dNc / Gc = Me (L/G) / n and
// b = a / (2 + a), a cell with water entering at Tw (saturated enthalpy hs1) and air entering
// with h balances
//     F(Two) = cpw (L/G) (Tw - Two) - b (hs1 + hs(Two) - 2 h) = 0
// (crossflow.h's cell equations divided by Gc), and the air leaves with
// hout = h + b (hs1 + hs(Two) - 2 h). F falls with Two; each cell's root is found by Newton
// steps with the curvature from a quadratic guess at Tw, inside the bracket
// [airWetBulbIn, Tw] with bisection when a step leaves it.
//
// With `air`, the air's dry bulb is carried through the cells as crossflow.h does,
// taout = (ta - k (ta - Two - Tw)) / (1 + k) with k = a / 2, and the plain means over the rows
// of the air leaving the last column are written to it.
struct SweepAir {
    double dryBulbIn = 0;   // degC
    double enthalpyOut = 0; // kJ/kg dry air
    double dryBulbOut = 0;  // degC
};
Figure sweepGrid(const CrossFlowFill& fill, double merkel, int n, SweepAir* air = nullptr) {
    if (!validFill(fill) || !(merkel >= 0) || !std::isfinite(merkel) || n < 1)
        return refused(Status::InvalidInput);
    if (!(fill.waterIn > fill.airWetBulbIn))
        return refused(Status::ColdWaterAtWetBulb, fill.waterIn);
    const double p = fill.pressure;
    const double waterSlope = kCpw * fill.flowRatio; // A
    const double a = merkel * fill.flowRatio / n;
    const double b = a / (2 + a);
    const double low = fill.airWetBulbIn;
    struct Column {
        double tw;
        double hs;
        double slope;
        double curvature;
    };
    const psychro::SaturatedEnthalpy top = psychro::saturatedEnthalpyCurve(fill.waterIn, p);
    std::vector<Column> columns(n, Column{fill.waterIn, top.enthalpy, top.slope, top.curvature});
    const double k = a / 2;
    double sumEnthalpy = 0;
    double sumDryBulb = 0;
    for (int i = 0; i < n; ++i) {
        double h = fill.airEnthalpyIn;
        double ta = air ? air->dryBulbIn : 0;
        for (Column& c : columns) {
            const double tw = c.tw;
            const double f0 = -2 * b * (c.hs - h);
            if (!(f0 < 0)) {
                if (!std::isfinite(f0))
                    return refused(Status::NonFinite);
                if (b == 0)
                    continue; // no transfer units: nothing changes
                return refused(Status::AirSaturates, tw);
            }
            double lo = low;
            double hi = tw;
            double x = tw + quadraticStep(f0, -waterSlope - b * c.slope, -b * c.curvature);
            if (!(x > lo && x < hi))
                x = 0.5 * (lo + hi);
            bool solved = false;
            for (int it = 0; it < kCellMaxIterations; ++it) {
                const psychro::SaturatedEnthalpy s = psychro::saturatedEnthalpyCurve(x, p);
                const double f = waterSlope * (tw - x) - b * (c.hs + s.enthalpy - 2 * h);
                const double f1 = -waterSlope - b * s.slope;
                if (!std::isfinite(f) || !std::isfinite(f1))
                    return refused(Status::NonFinite);
                if (f > 0)
                    lo = x;
                else
                    hi = x;
                const double step = quadraticStep(f, f1, -b * s.curvature);
                if (std::fabs(step) <= kCellStep) {
                    const double two = x + step;
                    const double hs2 = s.enthalpy + step * (s.slope + 0.5 * step * s.curvature);
                    h = h + b * (c.hs + hs2 - 2 * h);
                    if (air)
                        ta = (ta - k * (ta - two - tw)) / (1 + k);
                    c = {two, hs2, s.slope + step * s.curvature, s.curvature};
                    solved = true;
                    break;
                }
                double next = x + step;
                if (!(next > lo && next < hi))
                    next = 0.5 * (lo + hi);
                if (next == x)
                    break;
                x = next;
            }
            if (!solved)
                return refused(Status::NotConverged, tw);
        }
        sumEnthalpy += h;
        sumDryBulb += ta;
    }
    if (air) {
        air->enthalpyOut = sumEnthalpy / n;
        air->dryBulbOut = sumDryBulb / n;
        if (!allFinite({air->enthalpyOut, air->dryBulbOut}))
            return refused(Status::NonFinite);
    }
    double sum = 0;
    for (const Column& c : columns)
        sum += c.tw;
    return okFigure(sum / n);
}

// The largest Merkel number the cell equations hold for on grid n.
double maxMerkel(const CrossFlowFill& fill, int n) {
    return kMaxCellUnits * n / fill.flowRatio;
}

// A first guess of the cross-flow Merkel number: the range over a mean driving force.
double roughMerkel(const CrossFlowFill& fill, double waterOut) {
    const double range = fill.waterIn - waterOut;
    const double tm = 0.5 * (fill.waterIn + waterOut);
    const double force = psychro::saturatedEnthalpy(tm, fill.pressure) - fill.airEnthalpyIn -
                         0.5 * fill.flowRatio * kCpw * range;
    const double guess = kCpw * range / force;
    return std::isfinite(guess) && guess > 0 ? guess : 1;
}

// The Merkel number on grid n at which the mean outlet is waterOut: a bracket grown from
// `guess` by factors of 1 + spread (the factor doubling each step), then Brent's method on the
// mean outlet to kTemperatureTolerance.
Figure merkelOnGrid(const CrossFlowFill& fill, double waterOut, int n, double guess,
                    double spread) {
    if (!validFill(fill) || !std::isfinite(waterOut) || n < 1 || !(waterOut <= fill.waterIn))
        return refused(Status::InvalidInput);
    if (!(waterOut > fill.airWetBulbIn))
        return refused(Status::ColdWaterAtWetBulb, waterOut);
    if (waterOut == fill.waterIn)
        return okFigure(0);
    const double top = maxMerkel(fill, n);
    Status failure = Status::Ok;
    double failedAt = 0;
    auto excess = [&](double me) {
        const Figure t = sweepGrid(fill, me, n);
        if (!t.ok()) {
            failure = t.status;
            failedAt = t.at;
            return std::numeric_limits<double>::quiet_NaN();
        }
        return t.value - waterOut;
    };
    if (!(guess > 0) || !std::isfinite(guess))
        guess = roughMerkel(fill, waterOut);
    guess = std::min(guess, top);
    if (!(spread > 0))
        spread = 0.2;
    double x0 = guess;
    double f0 = excess(x0);
    if (std::isnan(f0)) {
        if (failure != Status::AirSaturates)
            return refused(failure, failedAt);
        // Too many units per cell at the guess: start from the largest the cells bear below.
        x0 = 0.5 * guess;
        f0 = excess(x0);
        if (std::isnan(f0))
            return refused(failure, failedAt);
    }
    double x1 = x0;
    double f1 = f0;
    double factor = 1 + spread;
    int passes = 0;
    // Grow the bracket: the mean outlet falls as the Merkel number grows.
    while ((f0 > 0) == (f1 > 0) && f1 != 0) {
        if (++passes > kMaxSearchPasses)
            return refused(Status::NotConverged);
        x0 = x1;
        f0 = f1;
        if (f1 > 0) {
            if (x1 >= top)
                return refused(Status::AirSaturates, waterOut); // the cells cannot cool so far
            x1 = std::min(x1 * factor, top);
        } else {
            x1 = x1 / factor;
        }
        factor = 1 + 2 * (factor - 1);
        f1 = excess(x1);
        if (std::isnan(f1)) {
            if (failure == Status::AirSaturates && x1 > x0)
                return refused(Status::AirSaturates, failedAt);
            return refused(failure, failedAt);
        }
    }
    const Root r = brent(excess, x0, x1, f0, f1, 0, kTemperatureTolerance);
    if (!r.ok)
        return failure != Status::Ok ? refused(failure, failedAt) : refused(Status::NotConverged);
    return okFigure(r.x);
}

double richardsonFactor(double order) {
    return 1 / (std::pow(2.0, order) - 1);
}

// The order observed over three grids, each twice as fine as the one before, from the values
// on them; the theoretical order when it is erratic.
double observedOrder(double coarse, double middle, double fine, bool* erratic = nullptr) {
    const double ratio = (middle - coarse) / (fine - middle);
    const double order = std::log2(ratio);
    const bool bad = !std::isfinite(order) || !(ratio > 0) ||
                     std::fabs(order - kTheoreticalOrder) > kOrderTolerance;
    if (erratic)
        *erratic = bad;
    return bad ? kTheoreticalOrder : order;
}

// The cross-flow grids of an evaluation: the two finest and the order of the extrapolation.
struct Grids {
    int coarse = 0;
    int fine = 0;
    double order = kTheoreticalOrder;
    // (Me on the fine grid) / (Me on the coarse) - 1 where the grids were found: the guess of
    // the fine grid's search from the coarse one's result.
    double shift = 0;
    double extrapolate(double onCoarse, double onFine) const {
        return onFine + (onFine - onCoarse) * richardsonFactor(order);
    }
};

// The cross-flow Merkel number on a given list of grids (each twice the one before), with
// the order from the last three.
CrossFlowMerkel merkelOnGrids(const CrossFlowFill& fill, double waterOut,
                              const std::vector<int>& grids) {
    CrossFlowMerkel r;
    double guess = 0;
    double spread = 0.2;
    for (int n : grids) {
        const Figure m = merkelOnGrid(fill, waterOut, n, guess, spread);
        if (!m.ok()) {
            r.status = m.status;
            r.at = m.at;
            return r;
        }
        r.grids.push_back(n);
        r.values.push_back(m.value);
        const std::size_t k = r.values.size();
        if (k >= 3)
            r.order = observedOrder(r.values[k - 3], r.values[k - 2], r.values[k - 1]);
        else
            r.order = kTheoreticalOrder;
        if (k >= 2) {
            const double change = (r.values[k - 1] - r.values[k - 2]) * richardsonFactor(r.order);
            r.value = r.values[k - 1] + change;
            // The next grid's error is the last one's over 2^p.
            guess = r.value - change / std::pow(2.0, r.order);
            spread = std::max(2 * std::fabs(change) / r.value, 1e-7);
        } else {
            r.value = m.value;
            guess = m.value;
            spread = 0.02;
        }
        if (n == kFirstGrid)
            r.onPartGrid = m.value;
    }
    r.finestGrid = r.grids.empty() ? 0 : r.grids.back();
    r.status = allFinite({r.value, r.order}) ? Status::Ok : Status::NonFinite;
    return r;
}

} // namespace

Figure crossFlowWaterOut(const CrossFlowFill& fill, double merkel, int cells) {
    return sweepGrid(fill, merkel, cells);
}

CrossFlowAir crossFlowOutletAir(const CrossFlowFill& fill, double airDryBulbIn, double merkel,
                                int cells) {
    CrossFlowAir r;
    if (!std::isfinite(airDryBulbIn))
        return r;
    SweepAir air{airDryBulbIn};
    const Figure out = sweepGrid(fill, merkel, cells, &air);
    r.status = out.status;
    r.at = out.at;
    if (!out.ok())
        return r;
    r.waterOut = out.value;
    r.airEnthalpyOut = air.enthalpyOut;
    r.airDryBulbOut = air.dryBulbOut;
    return r;
}

Figure crossFlowMerkelOnGrid(const CrossFlowFill& fill, double waterOut, int cells) {
    return merkelOnGrid(fill, waterOut, cells, 0, 0);
}

CrossFlowMerkel crossFlowMerkel(const CrossFlowFill& fill, double waterOut) {
    CrossFlowMerkel r;
    double guess = 0;
    double spread = 0.2;
    double previous = 0; // the extrapolation over the grids before the last
    for (int n = kFirstGrid; n <= kMaxGridCells; n *= 2) {
        const Figure m = merkelOnGrid(fill, waterOut, n, guess, spread);
        if (!m.ok()) {
            r.status = m.status;
            r.at = m.at;
            return r;
        }
        r.grids.push_back(n);
        r.values.push_back(m.value);
        r.finestGrid = n;
        const std::size_t k = r.values.size();
        if (n == kFirstGrid)
            r.onPartGrid = m.value;
        if (k < 2) {
            r.value = m.value;
            guess = m.value;
            spread = 0.02;
            continue;
        }
        r.order = k >= 3 ? observedOrder(r.values[k - 3], r.values[k - 2], r.values[k - 1])
                         : kTheoreticalOrder;
        const double factor = richardsonFactor(r.order);
        r.value = r.values[k - 1] + (r.values[k - 1] - r.values[k - 2]) * factor;
        if (k >= 3) {
            previous = r.values[k - 2] + (r.values[k - 2] - r.values[k - 3]) * factor;
            if (std::fabs(r.value - previous) < kGridTolerance * std::fabs(r.value)) {
                r.status = std::isfinite(r.value) ? Status::Ok : Status::NonFinite;
                return r;
            }
        }
        // The next grid's value: the error shrinks by 2^p.
        const double change = r.value - r.values[k - 1];
        guess = r.value - change / std::pow(2.0, r.order);
        spread = std::max(2 * std::fabs(change) / r.value, 1e-7);
    }
    r.status = Status::NotConverged;
    return r;
}

// --- The capability --------------------------------------------------------------------------

namespace {

double saturatedAt(double t, double p) {
    return psychro::saturatedEnthalpy(t, p);
}

Figure figureOf(const Integral& i) {
    if (i.status != Status::Ok)
        return refused(i.status, i.at);
    return okFigure(i.value);
}

bool validTest(const TestPoint& t) {
    return allFinite({t.waterFlow, t.airFlow, t.waterIn, t.waterOut, t.pressure, t.dryBulb,
                      t.relativeHumidity}) &&
           t.waterFlow > 0 && t.airFlow > 0 && t.pressure > 0 && t.waterIn > t.waterOut;
}

bool validDesign(const DesignPoint& d) {
    return allFinite({d.waterFlow, d.airFlow, d.waterIn, d.waterOut, d.wetBulb}) &&
           d.waterFlow > 0 && d.airFlow > 0 && d.waterIn > d.waterOut;
}

bool validSettings(const Settings& s) {
    return allFinite({s.exponent, s.testFanPower, s.designFanPower, s.waterFlowLimitPct,
                      s.rangeLimitPct, s.wetBulbLimitK}) &&
           s.exponent >= kMinExponent && s.exponent <= kMaxExponent && s.testFanPower >= 0 &&
           s.designFanPower >= 0;
}

// Demand points of the diagram.
constexpr int kCounterFlowCurvePoints = 24;
constexpr int kCrossFlowCurvePoints = 10;
// The span of the curves: from this fraction of the smaller of the design ratio and the
// intersection up to this fraction of the pinch.
constexpr double kCurveLowFraction = 0.3;
constexpr double kCurveHighFraction = 0.98;
// Smallest L/G of the intersection's bracket, relative to the pinch.
constexpr double kLowestRatioFraction = 1e-6;

// What evaluate() shares between the arrangements.
struct Context {
    const TestPoint& test;
    const DesignPoint& design;
    const Settings& settings;
    double pressure;
    double designAirEnthalpy; // hs(twb,d, p)
    double coefficient;
    double exponent;

    AirLine designLine(double ratio) const {
        return {design.waterOut, design.waterIn, ratio, designAirEnthalpy, pressure};
    }
    CrossFlowFill designFill(double ratio) const {
        return {design.waterIn, ratio, designAirEnthalpy, design.wetBulb, pressure};
    }
    double characteristic(double ratio) const { return coefficient * std::pow(ratio, -exponent); }
};

// The intersection by Brent's method on u = ln(L/G) over [lowest, pinch] of a function that
// rises through zero; `rising` returns NaN to abort (its status in `failure`).
template <class F> Figure intersect(F&& rising, double pinch, double highValue, Status& failure) {
    const double uHigh = std::log(pinch);
    double uLow = uHigh - std::log(2.0);
    double fLow = rising(uLow);
    int passes = 0;
    while (fLow > 0) {
        if (++passes > kMaxSearchPasses || uLow < uHigh + std::log(kLowestRatioFraction))
            return refused(Status::NoIntersection);
        uLow -= std::log(4.0);
        fLow = rising(uLow);
    }
    if (std::isnan(fLow))
        return refused(failure);
    if (!(highValue > 0))
        return refused(Status::NoIntersection);
    const Root r = brent(rising, uLow, uHigh, fLow, highValue, kRatioTolerance, 0);
    if (!r.ok)
        return refused(failure != Status::Ok ? failure : Status::NotConverged);
    if (r.x >= uHigh - 2 * kRatioTolerance)
        return refused(Status::NoIntersection);
    return okFigure(std::exp(r.x));
}

void counterFlowDesign(const Context& ctx, Capability& c, bool curves) {
    const double xd = c.designRatio;
    c.demandAtDesign = figureOf(counterFlowMerkel(ctx.designLine(xd)));
    if (c.coefficient.ok()) {
        // The cold water: Tout in (twb,d, Tin,d) with Me(Tout) = C xd^-n, by Brent's method on
        // (Me - target) / (Me + target), which runs from +1 (no driving force) to -1 (Tin); where
        // the air line nearly touches saturation Me's lower bound may decide the sign.
        const double target = ctx.characteristic(xd);
        Status failure = Status::Ok;
        auto balance = [&](double t) {
            AirLine line = ctx.designLine(xd);
            line.waterOut = t;
            const Integral me = counterFlowMerkelAgainst(line, target);
            if (me.status == Status::AirSaturates || me.status == Status::ColdWaterAtWetBulb)
                return 1.0;
            if (me.status != Status::Ok) {
                failure = me.status;
                return std::numeric_limits<double>::quiet_NaN();
            }
            return (me.value - target) / (me.value + target);
        };
        const double lowest = std::max(ctx.design.wetBulb, ctx.design.waterOut - 100);
        if (!(ctx.design.waterIn > ctx.design.wetBulb)) {
            c.coldWater = refused(Status::ColdWaterAtWetBulb, ctx.design.waterIn);
        } else {
            const Root r =
                brent(balance, lowest, ctx.design.waterIn, 1.0, -1.0, kTemperatureTolerance, 0);
            c.coldWater = r.ok ? okFigure(r.x)
                               : refused(failure != Status::Ok ? failure : Status::NotConverged);
        }
    }
    if (c.coefficient.ok() && c.pinch.ok()) {
        Status failure = Status::Ok;
        auto rising = [&](double u) {
            const double x = std::exp(u);
            const double offered = ctx.characteristic(x);
            const Integral me = counterFlowMerkelAgainst(ctx.designLine(x), offered);
            if (me.status == Status::AirSaturates)
                return 1.0;
            if (me.status != Status::Ok) {
                failure = me.status;
                return std::numeric_limits<double>::quiet_NaN();
            }
            return (me.value - offered) / (me.value + offered);
        };
        c.intersectionRatio = intersect(rising, c.pinch.value, 1.0, failure);
    }
    if (!curves || !c.pinch.ok())
        return;
    double low = xd;
    if (c.intersectionRatio.ok())
        low = std::min(low, c.intersectionRatio.value);
    const double high = kCurveHighFraction * c.pinch.value;
    low = std::min(kCurveLowFraction * low, 0.25 * high);
    for (int i = 0; i < kCounterFlowCurvePoints; ++i) {
        const double x = low * std::pow(high / low, double(i) / (kCounterFlowCurvePoints - 1));
        const Integral me = counterFlowMerkel(ctx.designLine(x));
        if (me.status == Status::Ok)
            c.demand.push_back({x, me.value});
        if (c.coefficient.ok())
            c.characteristic.push_back({x, ctx.characteristic(x)});
    }
}

// The cross-flow figures at the design temperatures on the grids of the test point.
void crossFlowDesign(const Context& ctx, const Grids& grids, Capability& c, bool curves) {
    const double xd = c.designRatio;
    const CrossFlowFill designAtXd = ctx.designFill(xd);
    double lastCoarse = 0; // the coarse grid's demand at the last L/G: the next one's guess
    auto demand = [&](double x) -> Figure {
        if (c.pinch.ok() && !(x < c.pinch.value))
            return figureOf(counterFlowMerkel(ctx.designLine(x)));
        const CrossFlowFill fill = ctx.designFill(x);
        const Figure coarse =
            merkelOnGrid(fill, ctx.design.waterOut, grids.coarse, lastCoarse, 0.2);
        if (!coarse.ok())
            return coarse;
        lastCoarse = coarse.value;
        const Figure fine =
            merkelOnGrid(fill, ctx.design.waterOut, grids.fine, coarse.value * (1 + grids.shift),
                         std::max(2 * std::fabs(grids.shift), 1e-6));
        if (!fine.ok())
            return fine;
        return okFigure(grids.extrapolate(coarse.value, fine.value));
    };
    // The mean outlet at the design inlet for a Merkel number, extrapolated over the grids.
    auto outlet = [&](const CrossFlowFill& fill, double merkel) -> Figure {
        const Figure coarse = sweepGrid(fill, merkel, grids.coarse);
        if (!coarse.ok())
            return coarse;
        const Figure fine = sweepGrid(fill, merkel, grids.fine);
        if (!fine.ok())
            return fine;
        return okFigure(grids.extrapolate(coarse.value, fine.value));
    };
    c.demandAtDesign = demand(xd);
    if (c.coefficient.ok()) {
        if (!(ctx.design.waterIn > ctx.design.wetBulb))
            c.coldWater = refused(Status::ColdWaterAtWetBulb, ctx.design.waterIn);
        else
            c.coldWater = outlet(designAtXd, ctx.characteristic(xd));
    }
    if (c.coefficient.ok() && c.pinch.ok()) {
        // Where the tested characteristic cools Tin,d to Tout,d: the mean outlet with
        // Me = C x^-n rises with x.
        Status failure = Status::Ok;
        double at = 0;
        auto rising = [&](double u) {
            const double x = std::exp(u);
            const Figure t = outlet(ctx.designFill(x), ctx.characteristic(x));
            if (!t.ok()) {
                failure = t.status;
                at = t.at;
                return std::numeric_limits<double>::quiet_NaN();
            }
            return t.value - ctx.design.waterOut;
        };
        const double highValue = rising(std::log(c.pinch.value));
        if (std::isnan(highValue))
            c.intersectionRatio = refused(failure, at);
        else
            c.intersectionRatio = intersect(rising, c.pinch.value, highValue, failure);
        if (c.intersectionRatio.status == failure && failure != Status::Ok)
            c.intersectionRatio.at = at;
    }
    if (!curves || !c.pinch.ok())
        return;
    double low = xd;
    if (c.intersectionRatio.ok())
        low = std::min(low, c.intersectionRatio.value);
    const double high = kCurveHighFraction * c.pinch.value;
    low = std::min(kCurveLowFraction * low, 0.25 * high);
    bool reachable = true;
    for (int i = 0; i < kCrossFlowCurvePoints; ++i) {
        const double x = low * std::pow(high / low, double(i) / (kCrossFlowCurvePoints - 1));
        if (reachable) {
            const Figure me = demand(x);
            if (me.ok())
                c.demand.push_back({x, me.value});
            else
                reachable = false; // the demand only grows with L/G
        }
        if (c.coefficient.ok())
            c.characteristic.push_back({x, ctx.characteristic(x)});
    }
}

// The grids of a fixed finest grid n: n/4, n/2 and n, so that the order is observed as in the
// refinement (n/2 and n alone when n/4 would have fewer than 5 cells).
std::vector<int> fixedGrids(int finest) {
    if (finest / 4 >= 5)
        return {finest / 4, finest / 2, finest};
    return {std::max(finest / 2, 1), finest};
}

} // namespace

Capability evaluate(Arrangement arrangement, const TestPoint& test, const DesignPoint* design,
                    const Settings& settings, bool curves, int gridCells) {
    Capability c;
    c.arrangement = arrangement;
    const bool crossFlow = arrangement == Arrangement::CrossFlow;
    c.merkelChebyshev = refused(Status::InvalidInput);
    const bool settingsOk = validSettings(settings);
    const bool testOk = settingsOk && validTest(test);
    if (testOk)
        c.air = enteringAir(test.pressure, test.dryBulb, test.relativeHumidity);
    const bool airOk = testOk && c.air.ok;
    const double p = test.pressure;
    const double n = settings.exponent;
    if (airOk) {
        c.testRatio = test.waterFlow / test.airFlow;
        if (!(test.waterOut > c.air.wetBulb)) {
            c.merkel = refused(Status::ColdWaterAtWetBulb, test.waterOut);
            c.partNtuPerFlow = c.merkel;
            if (!crossFlow)
                c.merkelChebyshev = c.merkel;
        } else if (!crossFlow) {
            const AirLine line{test.waterOut, test.waterIn, c.testRatio, c.air.enthalpy, p};
            c.merkel = figureOf(counterFlowMerkel(line));
            c.merkelChebyshev = figureOf(chebyshevMerkel(line));
            c.partNtuPerFlow = figureOf(upperNodeMerkel(line, counterflow::kIntervals));
        } else {
            const CrossFlowFill fill{test.waterIn, c.testRatio, c.air.enthalpy, c.air.wetBulb, p};
            CrossFlowMerkel m;
            if (gridCells > 0) {
                m = merkelOnGrids(fill, test.waterOut, fixedGrids(gridCells));
            } else {
                m = crossFlowMerkel(fill, test.waterOut);
            }
            c.merkel = m.status == Status::Ok ? okFigure(m.value) : refused(m.status, m.at);
            c.partNtuPerFlow = m.onPartGrid > 0 ? okFigure(m.onPartGrid) : c.merkel;
            if (gridCells > 0 && m.status == Status::Ok && m.onPartGrid == 0) {
                // The fixed grids do not include the program's: solve it as well.
                c.partNtuPerFlow = merkelOnGrid(fill, test.waterOut, kFirstGrid, m.value, 0.05);
            }
            c.grids = m.grids;
            c.gridValues = m.values;
            c.order = m.order;
        }
        if (c.merkel.ok() && c.partNtuPerFlow.ok())
            c.excessPct = okFigure((c.partNtuPerFlow.value / c.merkel.value - 1) * 100);
        else
            c.excessPct = refused(c.merkel.ok() ? c.partNtuPerFlow.status : c.merkel.status,
                                  c.merkel.ok() ? c.partNtuPerFlow.at : c.merkel.at);
        c.coefficient = c.merkel.ok() ? okFigure(c.merkel.value * std::pow(c.testRatio, n))
                                      : refused(c.merkel.status, c.merkel.at);
    }
    if (crossFlow && c.merkel.status == Status::AirSaturates) {
        // The cells cannot cool so far: name where the same air line in counter flow meets
        // saturation when it does (cross flow saturates before it).
        const Figure line = lineSaturation(
            {test.waterOut, test.waterIn, c.testRatio, c.air.enthalpy, test.pressure});
        if (line.status == Status::AirSaturates)
            c.merkel.at = c.coefficient.at = c.partNtuPerFlow.at = c.excessPct.at = line.at;
    }
    if (!design)
        return c;
    if (!settingsOk || !validDesign(*design) || !(p > 0) || !std::isfinite(p))
        return c;
    const DesignPoint& d = *design;
    c.designRatio = d.waterFlow / d.airFlow;
    const double designAir = saturatedAt(d.wetBulb, p);
    const Context ctx{test, d, settings, p, designAir, c.coefficient.ok() ? c.coefficient.value : 0,
                      n};
    if (!std::isfinite(designAir) || !(psychro::pvsateis(d.waterIn) < p)) {
        c.pinch = c.demandAtDesign = refused(Status::InvalidInput);
        return c;
    }
    if (!c.coefficient.ok() && c.coefficient.status != Status::InvalidInput)
        c.intersectionRatio = c.coldWater = c.coefficient; // the test point's reason
    c.pinch = pinchRatio(ctx.designLine(c.designRatio));
    if (!(d.waterOut > d.wetBulb))
        c.pinch = refused(Status::ColdWaterAtWetBulb, d.waterOut);
    if (!crossFlow) {
        counterFlowDesign(ctx, c, curves);
    } else {
        Grids grids;
        std::vector<int> list = c.grids;
        double order = c.order;
        if (list.size() < 2 && !(c.pinch.status == Status::ColdWaterAtWetBulb)) {
            // No grids from the test point: refine on the design demand itself.
            const CrossFlowFill fill = ctx.designFill(c.designRatio);
            const CrossFlowMerkel m = gridCells > 0
                                          ? merkelOnGrids(fill, d.waterOut, fixedGrids(gridCells))
                                          : crossFlowMerkel(fill, d.waterOut);
            list = m.grids;
            order = m.order;
        }
        if (list.size() >= 2) {
            grids.coarse = list[list.size() - 2];
            grids.fine = list.back();
            grids.order = order;
            if (c.gridValues.size() >= 2)
                grids.shift = c.gridValues.back() / c.gridValues[c.gridValues.size() - 2] - 1;
            crossFlowDesign(ctx, grids, c, curves);
        } else {
            c.demandAtDesign = c.pinch.ok() ? refused(Status::AirSaturates, d.waterOut) : c.pinch;
        }
    }
    if (c.intersectionRatio.ok()) {
        c.capabilityPct = okFigure(c.intersectionRatio.value / c.designRatio * 100);
        const double fan = settings.testFanPower > 0 && settings.designFanPower > 0
                               ? std::cbrt(settings.designFanPower / settings.testFanPower)
                               : 1.0;
        if (airOk)
            c.capabilityMeasuredAirPct =
                okFigure(c.intersectionRatio.value * test.airFlow * fan / d.waterFlow * 100);
    } else {
        c.capabilityPct = c.capabilityMeasuredAirPct =
            c.coefficient.ok() ? c.intersectionRatio : c.coefficient;
    }
    if (airOk) {
        c.waterFlowDeviationPct = (test.waterFlow - d.waterFlow) / d.waterFlow * 100;
        const double range = test.waterIn - test.waterOut;
        const double designRange = d.waterIn - d.waterOut;
        c.rangeDeviationPct = (range - designRange) / designRange * 100;
        c.wetBulbDifference = c.air.wetBulb - d.wetBulb;
        c.waterFlowOutside = std::fabs(c.waterFlowDeviationPct) > settings.waterFlowLimitPct;
        c.rangeOutside = std::fabs(c.rangeDeviationPct) > settings.rangeLimitPct;
        c.wetBulbOutside = std::fabs(c.wetBulbDifference) > settings.wetBulbLimitK;
    }
    return c;
}

std::string refusal(const Figure& figure) {
    switch (figure.status) {
    case Status::Ok:
        return {};
    case Status::InvalidInput:
        return "An input is missing, not a number or outside its range.";
    case Status::AirSaturates: {
        char text[96];
        std::snprintf(text, sizeof text, "The air line reaches saturation at %.1f oC.", figure.at);
        return text;
    }
    case Status::ColdWaterAtWetBulb:
        return "The cold water is not above the wet bulb.";
    case Status::NoIntersection:
        return "The characteristic does not meet the demand below the pinch.";
    case Status::NotConverged:
        return "A search did not converge.";
    case Status::NonFinite:
        return "A value of the calculation overflowed.";
    }
    return "The figure was refused.";
}

} // namespace capability
