#include "core/savings.h"

#include "core/psychro.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <map>
#include <numbers>
#include <utility>

namespace savings {

namespace {

// Bosnjakovic's Lewis factor Lef = 0.865^0.667 (r - 1) / ln r, r = (wsw + 0.622) / (w + 0.622)
// (Bosnjakovic, Technische Thermodynamik, 1965; as used by Kloppers and Kroger 2005).
constexpr double kLewisBase = 0.865;
constexpr double kLewisExponent = 0.667;
constexpr double kLewisMolarRatio = 0.622;
// Below this |r - 1| the factor (r - 1) / ln r is 1 + (r - 1) / 2 to the last bit.
constexpr double kLewisSeriesLimit = 1e-9;
// The first step, K, of the search that brackets the dry bulb of supersaturated air.
constexpr double kAirTemperatureFirstStep = 1;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool allFinite(std::initializer_list<double> values) {
    for (double v : values) {
        if (!std::isfinite(v))
            return false;
    }
    return true;
}

// The vapour's enthalpy at t (degC), kJ/kg: the enthalpy coefficients of psychro::Enthalpy.
double vapourEnthalpy(double t) {
    return psychro::kLatentHeat0 + (psychro::kVapourCp0 + psychro::kVapourCp1 * t) * t;
}

// Humidity of saturated air at t (degC) and p (bar), kg/kg; +inf where ps >= p (no saturated
// air: any humidity is unsaturated there).
double saturatedHumidity(double t, double p) {
    const double ps = psychro::pvsateis(t);
    if (!(ps < p))
        return HUGE_VAL;
    return psychro::kMolarMassRatio * ps / (p - ps);
}

// Enthalpy (kJ/kg dry air) of air at t (degC) holding w (kg/kg) of water, as vapour up to
// saturation and as mist beyond it (Kloppers and Kroger 2005, the supersaturated air).
double mixtureEnthalpy(double t, double w, double p) {
    const double ws = saturatedHumidity(t, p);
    if (w <= ws)
        return psychro::Enthalpy(t, w);
    return psychro::Enthalpy(t, ws) + (w - ws) * kSpecificHeatWater * t;
}

// The dry bulb of unsaturated air with enthalpy h and humidity w: the positive root of
// (a1 + w b1) t^2 + (a0 + w b0) t + (w r0 - h) = 0, the enthalpy of psychro::Enthalpy.
double unsaturatedTemperature(double h, double w) {
    const double a = psychro::kDryAirCp1 + w * psychro::kVapourCp1;
    const double b = psychro::kDryAirCp0 + w * psychro::kVapourCp0;
    const double c = w * psychro::kLatentHeat0 - h;
    const double root = std::sqrt(b * b - 4 * a * c);
    return -2 * c / (b + root); // the cancellation-free form of (-b + root) / (2a)
}

// A root of f on [a, b] with f(a) < 0 < f(b) by the Illinois variant of false position; f may
// be +inf at b (a bisection step then) and NaN where it fails (the search fails). Stops when
// |f| <= fTol or the bracket is narrower than xTol; at most maxPasses evaluations.
struct Root {
    bool ok = false;
    double x = kNaN;
    int evaluations = 0;
    double failedAt = kNaN; // where f gave NaN
};
template <class F>
Root illinois(F&& f, double a, double fa, double b, double fb, double xTol, double fTol,
              int maxPasses) {
    Root r;
    int side = 0;
    while (r.evaluations < maxPasses) {
        double x =
            std::isfinite(fa) && std::isfinite(fb) ? (a * fb - b * fa) / (fb - fa) : (a + b) / 2;
        if (!(x > a && x < b))
            x = (a + b) / 2;
        ++r.evaluations;
        const double fx = f(x);
        if (std::isnan(fx)) {
            r.failedAt = x;
            return r;
        }
        r.x = x;
        if (std::fabs(fx) <= fTol) {
            r.ok = true;
            return r;
        }
        if (fx < 0) {
            a = x;
            fa = fx;
            if (side == -1)
                fb /= 2;
            side = -1;
        } else {
            b = x;
            fb = fx;
            if (side == 1)
                fa /= 2;
            side = 1;
        }
        if (b - a <= xTol) {
            r.ok = true;
            return r;
        }
    }
    return r;
}

// The air's state in the fill: its dry bulb and the humidity of the vapour it holds (below
// its water content when supersaturated).
struct AirTemperature {
    double t = kNaN;
    double vapour = kNaN; // kg/kg
    bool supersaturated = false;
};

AirTemperature airState(double h, double w, double p) {
    AirTemperature air;
    const double tu = unsaturatedTemperature(h, w);
    if (!std::isfinite(tu))
        return air;
    const double wsu = saturatedHumidity(tu, p);
    if (w <= wsu) {
        air.t = tu;
        air.vapour = w;
        return air;
    }
    // Supersaturated: h(t) = mixtureEnthalpy(t, w) rises from below h at tu (the mist holds
    // less heat than vapour would) to above it where ws(t) reaches w.
    auto excess = [&](double t) { return mixtureEnthalpy(t, w, p) - h; };
    const double lo = tu;
    const double flo = excess(lo);
    double step = kAirTemperatureFirstStep;
    double hi = tu + step;
    double fhi = excess(hi);
    for (int n = 0; n < kAirTemperatureMaxPasses && !(fhi > 0); ++n) {
        step *= 2;
        hi = tu + step;
        fhi = excess(hi);
    }
    if (!(flo < 0 && fhi > 0))
        return air;
    const Root root =
        illinois(excess, lo, flo, hi, fhi, kAirTemperatureTolerance, 0, kAirTemperatureMaxPasses);
    if (!root.ok)
        return air;
    air.t = root.x;
    air.vapour = std::min(w, saturatedHumidity(root.x, p));
    air.supersaturated = air.vapour < w;
    return air;
}

double lewisFactor(double wsw, double w) {
    static const double scale = std::pow(kLewisBase, kLewisExponent);
    const double e = (wsw - w) / (w + kLewisMolarRatio); // r - 1
    if (std::fabs(e) < kLewisSeriesLimit)
        return scale * (1 + e / 2);
    return scale * e / std::log1p(e);
}

// The fill as the equations see it.
struct PoppeFill {
    double ratio;    // L/G
    double waterIn;  // degC
    double waterOut; // degC
    double pressure; // bar
    double hIn;      // kJ/kg dry air
    double wIn;      // kg/kg
    bool lewis;
    bool evaporation;
};

struct Slope {
    Status status = Status::Ok;
    double dw = 0;  // dw/dTw, kg/kg per K
    double dMe = 0; // dMe/dTw, per K
};

// The right-hand sides at water temperature tw with the air holding w, for the outlet
// humidity wOut assumed in the water flow.
Slope slopeAt(const PoppeFill& f, double wOut, double tw, double w) {
    Slope s;
    double flowRatio = f.ratio; // mw / ma
    double ima = 0;
    if (f.evaporation) {
        flowRatio = f.ratio - (wOut - w);
        ima =
            f.hIn + kSpecificHeatWater * (flowRatio * tw - (f.ratio - (wOut - f.wIn)) * f.waterOut);
    } else {
        ima = f.hIn + kSpecificHeatWater * f.ratio * (tw - f.waterOut);
    }
    const double wsw = saturatedHumidity(tw, f.pressure);
    const double isw = psychro::Enthalpy(tw, wsw);
    const AirTemperature air = airState(ima, w, f.pressure);
    if (!allFinite({flowRatio, ima, wsw, isw, air.vapour}) || !(flowRatio > 0)) {
        s.status = Status::NonFinite;
        return s;
    }
    const double drive = wsw - air.vapour; // wsw - w'
    const double lef = f.lewis ? lewisFactor(wsw, air.vapour) : 1.0;
    double d = isw - ima + (lef - 1) * (isw - ima - drive * vapourEnthalpy(tw));
    if (f.evaporation)
        d -= (wsw - w) * kSpecificHeatWater * tw;
    if (!(d > 0)) {
        s.status = std::isfinite(d) ? Status::AirSaturates : Status::NonFinite;
        return s;
    }
    s.dw = kSpecificHeatWater * flowRatio * drive / d;
    s.dMe = kSpecificHeatWater / d;
    return s;
}

struct Pass {
    Status status = Status::Ok;
    double wOut = 0;
    double merkel = 0;
    double at = 0; // AirSaturates: the water temperature
};

// One Runge-Kutta integration over `steps` equal steps from the bottom to the top.
Pass integrate(const PoppeFill& f, double wOutAssumed, int steps) {
    Pass r;
    const double h = (f.waterIn - f.waterOut) / steps;
    double w = f.wIn;
    double me = 0;
    for (int i = 0; i < steps; ++i) {
        const double t = f.waterOut + i * h;
        const double tMid = t + h / 2;
        const double tEnd = i + 1 == steps ? f.waterIn : t + h;
        const Slope k1 = slopeAt(f, wOutAssumed, t, w);
        if (k1.status != Status::Ok) {
            r.status = k1.status;
            r.at = t;
            return r;
        }
        const Slope k2 = slopeAt(f, wOutAssumed, tMid, w + h / 2 * k1.dw);
        const Slope k3 =
            k2.status == Status::Ok ? slopeAt(f, wOutAssumed, tMid, w + h / 2 * k2.dw) : k2;
        if (k3.status != Status::Ok) {
            r.status = k3.status;
            r.at = tMid;
            return r;
        }
        const Slope k4 = slopeAt(f, wOutAssumed, tEnd, w + h * k3.dw);
        if (k4.status != Status::Ok) {
            r.status = k4.status;
            r.at = tEnd;
            return r;
        }
        w += h / 6 * (k1.dw + 2 * k2.dw + 2 * k3.dw + k4.dw);
        me += h / 6 * (k1.dMe + 2 * k2.dMe + 2 * k3.dMe + k4.dMe);
    }
    r.wOut = w;
    r.merkel = me;
    if (!allFinite({w, me}))
        r.status = Status::NonFinite;
    return r;
}

// The integration whose outlet humidity is the one assumed in its water flow, by fixed-point
// iteration from `guess`.
Pass integrateConsistent(const PoppeFill& f, double guess, int steps) {
    double assumed = guess;
    for (int n = 0; n < kOutletHumidityMaxPasses; ++n) {
        Pass p = integrate(f, assumed, steps);
        if (p.status != Status::Ok || !f.evaporation)
            return p;
        if (std::fabs(p.wOut - assumed) <= kOutletHumidityTolerance * std::fabs(p.wOut))
            return p;
        assumed = p.wOut;
    }
    Pass failed;
    failed.status = Status::NotConverged;
    return failed;
}

// The refusals of the capability's figures as this calculation's.
Status fromCapability(capability::Status status) {
    switch (status) {
    case capability::Status::Ok:
        return Status::Ok;
    case capability::Status::AirSaturates:
    case capability::Status::ColdWaterAtWetBulb:
    case capability::Status::NoIntersection:
        return Status::AirSaturates;
    case capability::Status::NotConverged:
        return Status::NotConverged;
    case capability::Status::NonFinite:
        return Status::NonFinite;
    case capability::Status::InvalidInput:
        break;
    }
    return Status::InvalidInput;
}

// x with one decimal, independent of the C locale.
std::string oneDecimal(double x) {
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed, 1);
    if (error != std::errc())
        return "?";
    return std::string(buffer, end);
}

bool relativelyClose(double a, double b, double tolerance) {
    return std::fabs(a - b) <= tolerance * std::max(std::fabs(a), std::fabs(b));
}

} // namespace

double airTemperatureFromEnthalpy(double h, double w, double p) {
    if (!allFinite({h, w, p}) || !(w >= 0) || !(p > 0))
        return kNaN;
    return airState(h, w, p).t;
}

Poppe poppeCounterFlow(const PoppeInput& in) {
    Poppe r;
    if (!allFinite({in.waterFlow, in.airFlow, in.waterIn, in.waterOut, in.pressure, in.airDryBulbIn,
                    in.airHumidityIn}) ||
        !(in.waterFlow > 0) || !(in.airFlow > 0) || !(in.pressure > 0) ||
        !(in.waterIn > in.waterOut) || !(in.airHumidityIn >= 0) ||
        !(psychro::pvsateis(in.waterIn) < in.pressure)) {
        r.status = Status::InvalidInput;
        return r;
    }
    const double L = in.waterFlow;
    const double G = in.airFlow;
    const PoppeFill fill{L / G,
                         in.waterIn,
                         in.waterOut,
                         in.pressure,
                         mixtureEnthalpy(in.airDryBulbIn, in.airHumidityIn, in.pressure),
                         in.airHumidityIn,
                         in.lewisFactor,
                         in.evaporation};
    if (!std::isfinite(fill.hIn)) {
        r.status = Status::InvalidInput;
        return r;
    }

    // The first guess of the outlet humidity: the entering air's.
    Pass previous;
    double guess = in.airHumidityIn;
    for (int steps = kPoppeFirstSteps; steps <= kPoppeMaxSteps; steps *= 2) {
        const Pass pass = integrateConsistent(fill, guess, steps);
        if (pass.status != Status::Ok) {
            r.status = pass.status;
            r.at = pass.at;
            return r;
        }
        if (steps > kPoppeFirstSteps &&
            relativelyClose(pass.merkel, previous.merkel, kPoppeTolerance) &&
            relativelyClose(pass.wOut, previous.wOut, kPoppeTolerance)) {
            const double wOut = pass.wOut;
            const double e = G * (wOut - in.airHumidityIn);
            const double hOut =
                in.evaporation
                    ? fill.hIn + kSpecificHeatWater * (L * in.waterIn - (L - e) * in.waterOut) / G
                    : fill.hIn + kSpecificHeatWater * fill.ratio * (in.waterIn - in.waterOut);
            const AirTemperature air = airState(hOut, wOut, in.pressure);
            if (!allFinite({e, hOut, air.t, pass.merkel})) {
                r.status = Status::NonFinite;
                return r;
            }
            r.status = Status::Ok;
            r.merkel = pass.merkel;
            r.evaporation = e;
            r.waterLeaving = L - e;
            r.airHumidityOut = wOut;
            r.airEnthalpyOut = hOut;
            r.airTempOut = air.t;
            r.supersaturated = air.supersaturated;
            r.mistOut = wOut - air.vapour;
            r.steps = steps;
            return r;
        }
        previous = pass;
        guess = pass.wOut;
    }
    r.status = Status::NotConverged;
    return r;
}

CrossFlowOutlet crossFlowOutlet(const capability::TestPoint& test) {
    CrossFlowOutlet r;
    const capability::TestPoint& t = test;
    if (!allFinite({t.waterFlow, t.airFlow, t.waterIn, t.waterOut, t.pressure, t.dryBulb,
                    t.relativeHumidity}) ||
        !(t.waterFlow > 0) || !(t.airFlow > 0) || !(t.waterIn > t.waterOut)) {
        r.status = Status::InvalidInput;
        return r;
    }
    const capability::EnteringAir air =
        capability::enteringAir(t.pressure, t.dryBulb, t.relativeHumidity);
    if (!air.ok) {
        r.status = Status::InvalidInput;
        return r;
    }
    const capability::CrossFlowFill fill{t.waterIn, t.waterFlow / t.airFlow, air.enthalpy,
                                         air.wetBulb, t.pressure};
    const capability::CrossFlowMerkel me = capability::crossFlowMerkel(fill, t.waterOut);
    if (me.status != capability::Status::Ok || me.values.empty()) {
        r.status = fromCapability(me.status);
        r.cause = me.status;
        r.at = me.at;
        return r;
    }
    // The finest grid's own Merkel number: on that grid the water leaves at Tout, so that the
    // air takes up the water's heat of the test.
    const capability::CrossFlowAir out =
        capability::crossFlowOutletAir(fill, t.dryBulb, me.values.back(), me.finestGrid);
    if (out.status != capability::Status::Ok) {
        r.status = fromCapability(out.status);
        r.cause = out.status;
        r.at = out.at;
        return r;
    }
    const double saturated = psychro::AbsoluteHumidity(out.airDryBulbOut, 100, t.pressure);
    double x = psychro::humidityFromEnthalpy(out.airDryBulbOut, out.airEnthalpyOut);
    if (std::isfinite(saturated) && saturated > 0 && x > saturated) {
        x = saturated;
        r.cappedAtSaturation = true;
    }
    r.merkel = me.value;
    r.grid = me.finestGrid;
    r.airEnthalpyOut = out.airEnthalpyOut;
    r.airTempOut = out.airDryBulbOut;
    r.airHumidityIn = air.humidity;
    r.airHumidityOut = x;
    r.evaporation = evaporationFromAir(t.airFlow, air.humidity, x);
    r.status = allFinite({x, r.evaporation, r.airTempOut}) ? Status::Ok : Status::NonFinite;
    return r;
}

Water makeupWater(const WaterInput& in) {
    Water r;
    if (!allFinite({in.evaporation, in.waterFlow, in.driftPct, in.cycles, in.hours, in.waterPrice,
                    in.drainPrice}) ||
        !(in.evaporation >= 0) || !(in.waterFlow > 0) || !(in.driftPct >= 0) || !(in.cycles > 1) ||
        !(in.hours >= 0)) {
        r.status = Status::InvalidInput;
        return r;
    }
    const double e = in.evaporation;
    r.drift = in.driftPct / 100 * in.waterFlow;
    const double concentrated = e / (in.cycles - 1); // B + D
    if (concentrated < r.drift) {
        r.status = Status::DriftTooLarge;
        r.highestCycles = 1 + e / r.drift;
        return r;
    }
    r.blowdown = concentrated - r.drift;
    r.makeup = e * in.cycles / (in.cycles - 1);
    const double perHour = 3600 / kWaterDensity; // m3/h per kg/s
    r.makeupM3PerHour = r.makeup * perHour;
    r.makeupM3PerYear = r.makeupM3PerHour * in.hours;
    r.blowdownM3PerYear = r.blowdown * perHour * in.hours;
    if (in.waterPrice >= 0) {
        r.costPerYear = r.makeupM3PerYear * in.waterPrice;
        if (in.drainPrice >= 0)
            r.costPerYear += r.blowdownM3PerYear * in.drainPrice;
    }
    r.status =
        allFinite({r.makeup, r.blowdown, r.makeupM3PerYear, r.blowdownM3PerYear, r.costPerYear})
            ? Status::Ok
            : Status::NonFinite;
    return r;
}

namespace {

// The slope of the search's function per unit of ln(L/G) assumed before a row has shown its own:
// the demand's logarithm rises about as fast as the characteristic's falls (n), and the cell
// model's outlet water by a few kelvin.
constexpr double kFirstSlope = 1;
// The smallest step, in ln(L/G), of the steps that bracket G*.
constexpr double kSmallestBracketStep = 1e-4;
// Steps that widen the bracket before the search gives up.
constexpr int kBracketMaxSteps = 60;

// The air entering with an ambient row.
struct RowAir {
    bool ok = false;
    double enthalpy = 0; // kJ/kg dry air
    double wetBulb = 0;  // degC
};

RowAir rowAir(const Ambient& a, double p) {
    RowAir air;
    if (!std::isfinite(a.relativeHumidity))
        return air;
    if (a.relativeHumidity < 0) {
        if (!std::isfinite(a.wetBulb) || !(psychro::pvsateis(a.wetBulb) < p))
            return air;
        air.enthalpy = psychro::saturatedEnthalpy(a.wetBulb, p);
        air.wetBulb = a.wetBulb;
    } else {
        if (!std::isfinite(a.dryBulb) || !(a.relativeHumidity <= 100))
            return air;
        const capability::EnteringAir e = capability::enteringAir(p, a.dryBulb, a.relativeHumidity);
        if (!e.ok)
            return air;
        air.enthalpy = e.enthalpy;
        air.wetBulb = e.wetBulb;
    }
    air.ok = std::isfinite(air.enthalpy) && std::isfinite(air.wetBulb);
    return air;
}

// The search of one row: phi(u), u = ln(L/G), rises with u (less air, more demand) and is zero
// at G*. Counter flow: ln(demand) - ln(C (L/G)^-n). Cross flow: the cell model's mean outlet
// water at Me = C (L/G)^-n less Tout, K. +inf where the demand has no finite value (the air
// line saturates) or is too high to settle (capability::counterFlowMerkelAgainst); NaN where
// the evaluation failed (`failure` says why).
struct RowSearch {
    const DriveInput& in;
    double lnC;
    int grid;
    RowAir air;
    capability::Status failure = capability::Status::Ok;

    long evaluations = 0;

    double operator()(double u) {
        ++evaluations;
        const double x = std::exp(u);
        const capability::TestPoint& t = in.test;
        if (in.arrangement == Arrangement::CounterFlow) {
            // An integral that cannot settle (the air line nearly touches saturation) whose
            // lower bound already exceeds the characteristic: more air is needed.
            const capability::Integral me = capability::counterFlowMerkelAgainst(
                {t.waterOut, t.waterIn, x, air.enthalpy, t.pressure},
                std::exp(lnC - in.exponent * u));
            if (me.status == capability::Status::AirSaturates ||
                me.status == capability::Status::ColdWaterAtWetBulb || me.lowerBound)
                return HUGE_VAL;
            if (me.status != capability::Status::Ok || !(me.value > 0)) {
                failure = me.status;
                return kNaN;
            }
            return std::log(me.value) - lnC + in.exponent * u;
        }
        const double merkel = std::exp(lnC - in.exponent * u);
        const capability::Figure out = capability::crossFlowWaterOut(
            {t.waterIn, x, air.enthalpy, air.wetBulb, t.pressure}, merkel, grid);
        if (out.status == capability::Status::AirSaturates ||
            out.status == capability::Status::ColdWaterAtWetBulb)
            return HUGE_VAL;
        if (out.status != capability::Status::Ok) {
            failure = out.status;
            return kNaN;
        }
        return out.value - t.waterOut;
    }
};

// Within this of zero phi is taken as zero: at the test point's own air G* is G1, neither
// short nor slower by rounding.
double searchTolerance(Arrangement arrangement) {
    return arrangement == Arrangement::CounterFlow ? kDriveRatioTolerance
                                                   : capability::kTemperatureTolerance;
}

struct RowSolution {
    Status status = Status::Ok; // of the search (not Ok: the row is unsolved)
    capability::Status cause = capability::Status::Ok;
    bool shortAtFull = false;
    double u = 0;               // ln(L/G*)
    double slope = kFirstSlope; // of phi, seen over the last bracket
};

// G* of one row, from u1 = ln(L/G1) (full speed) up, starting at `start` (>= u1, the previous
// row's solution) with phi's slope about `slope`.
RowSolution solveRow(RowSearch& phi, double u1, double start, double slope) {
    RowSolution s;
    s.slope = slope;
    const double fTol = searchTolerance(phi.in.arrangement);
    double u = std::max(u1, start);
    double fu = phi(u);
    double a = u, fa = fu, b = u, fb = fu;
    int steps = 0;
    auto failed = [&]() {
        s.status = fromCapability(phi.failure);
        if (s.status == Status::Ok)
            s.status = Status::NonFinite;
        s.cause = phi.failure;
        return s;
    };
    if (std::isnan(fu))
        return failed();
    if (std::fabs(fu) <= fTol) {
        s.u = u;
        return s;
    }
    if (fu < 0) {
        // G* below this air flow: widen upwards.
        double step = std::max(-fu / slope, kSmallestBracketStep);
        for (;;) {
            if (++steps > kBracketMaxSteps) {
                s.status = Status::NotConverged;
                return s;
            }
            const double v = a + step;
            const double fv = phi(v);
            if (std::isnan(fv))
                return failed();
            if (std::fabs(fv) <= fTol) {
                s.u = v;
                return s;
            }
            if (fv < 0) {
                if (std::isfinite(fv) && fv > fa)
                    s.slope = (fv - fa) / (v - a);
                a = v;
                fa = fv;
                step *= 2;
            } else {
                b = v;
                fb = fv;
                break;
            }
        }
    } else {
        // G* above this air flow: widen downwards, down to full speed.
        double step = std::isfinite(fu) ? std::max(fu / slope, kSmallestBracketStep)
                                        : std::max((u - u1) / 2, kSmallestBracketStep);
        for (;;) {
            if (b == u1) {
                s.shortAtFull = true;
                s.u = u1;
                return s;
            }
            if (++steps > kBracketMaxSteps) {
                s.status = Status::NotConverged;
                return s;
            }
            const double v = std::max(u1, b - step);
            const double fv = phi(v);
            if (std::isnan(fv))
                return failed();
            if (fv > fTol) {
                if (std::isfinite(fv) && std::isfinite(fb) && fv < fb)
                    s.slope = (fb - fv) / (b - v);
                b = v;
                fb = fv;
                step *= 2;
            } else if (std::fabs(fv) <= fTol) {
                s.u = v;
                return s;
            } else {
                a = v;
                fa = fv;
                break;
            }
        }
    }
    if (std::isfinite(fa) && std::isfinite(fb))
        s.slope = (fb - fa) / (b - a);
    const Root root = illinois(phi, a, fa, b, fb, kDriveRatioTolerance, fTol, kDriveMaxPasses);
    if (!root.ok)
        return std::isnan(root.failedAt) ? (s.status = Status::NotConverged, s) : failed();
    s.u = root.x;
    return s;
}

using AirKey = std::pair<double, double>; // enthalpy, wet bulb

AirKey keyOf(const RowAir& air) {
    return {air.enthalpy, air.wetBulb};
}

// Every searched row solved directly, each search started from the previous row's G*; rows
// of the same air share it. A row whose search fails keeps its failed solution (the next row
// starts from the last one solved).
void solveEveryRow(RowSearch& phi, const std::vector<RowAir>& airs,
                   const std::vector<bool>& searched, double u1,
                   std::vector<RowSolution>& solutions) {
    double start = u1;
    double slope = kFirstSlope;
    std::map<AirKey, RowSolution> solved;
    for (std::size_t i = 0; i < airs.size(); ++i) {
        if (!searched[i])
            continue;
        const auto known = solved.find(keyOf(airs[i]));
        if (known != solved.end()) {
            solutions[i] = known->second;
            continue;
        }
        phi.air = airs[i];
        phi.failure = capability::Status::Ok;
        RowSolution s = solveRow(phi, u1, start, slope);
        if (s.status != Status::Ok && s.cause == capability::Status::Ok)
            s.cause = capability::Status::NotConverged;
        solved.emplace(keyOf(airs[i]), s);
        if (s.status == Status::Ok && !s.shortAtFull) {
            start = s.u;
            slope = s.slope > 0 && std::isfinite(s.slope) ? s.slope : kFirstSlope;
        }
        solutions[i] = s;
    }
}

// Saturated air of enthalpy h (kJ/kg dry air) at p (bar), the air of the interpolation's nodes:
// its temperature (the wet bulb) where the saturated enthalpy is h, by a bracket stepped down
// from `above` (degC, hs(above) > h) and an Illinois search to kAirTemperatureTolerance.
RowAir saturatedAirOfEnthalpy(double h, double p, double above) {
    RowAir air;
    auto excess = [&](double t) { return psychro::saturatedEnthalpy(t, p) - h; };
    double hi = above;
    double fhi = excess(hi);
    double step = kAirTemperatureFirstStep;
    double lo = hi - step;
    double flo = excess(lo);
    for (int n = 0; n < kAirTemperatureMaxPasses && flo >= 0; ++n) {
        hi = lo;
        fhi = flo;
        step *= 2;
        lo = hi - step;
        flo = excess(lo);
    }
    if (!(flo < 0 && fhi > 0))
        return air;
    const Root root =
        illinois(excess, lo, flo, hi, fhi, kAirTemperatureTolerance, 0, kAirTemperatureMaxPasses);
    if (!root.ok)
        return air;
    air.enthalpy = h;
    air.wetBulb = root.x;
    air.ok = true;
    return air;
}

// Barycentric interpolation through the n Chebyshev points of the second kind on [lo, hi],
// x_j = cos(pi j / (n - 1)), weights (-1)^j halved at the ends (Berrut and Trefethen, SIAM
// Review 46 (2004) 501-517): stable for any n. Doubling n to 2n - 1 keeps every point.
struct Chebyshev {
    double lo = 0;
    double hi = 0;
    std::vector<double> x; // on [-1, 1]
    std::vector<double> y;

    static double point(int j, int n) { return std::cos(std::numbers::pi * j / (n - 1)); }
    double enthalpyAt(double xj) const { return 0.5 * (lo + hi) + 0.5 * (hi - lo) * xj; }
    double operator()(double h) const {
        const double t = (2 * h - lo - hi) / (hi - lo);
        const int n = int(x.size());
        double num = 0;
        double den = 0;
        for (int j = 0; j < n; ++j) {
            if (t == x[j])
                return y[j];
            const double w = (j % 2 ? -1.0 : 1.0) * (j == 0 || j == n - 1 ? 0.5 : 1.0) / (t - x[j]);
            num += w * y[j];
            den += w;
        }
        return num / den;
    }
};

struct Interpolation {
    bool used = false; // false: solve every row directly
    int nodes = 0;
    double error = 0; // the largest |ln G*| difference at the checks
};

// G* of the searched rows from an interpolant over the air's enthalpy (see variableSpeedDrive
// in savings.h); not used (and nothing in `solutions` to rely on) when the table has too few
// airs, or a node, check or row solved directly failed, or the checks did not agree within
// kDriveMaxNodes nodes.
Interpolation interpolateRows(RowSearch& phi, const std::vector<RowAir>& airs,
                              const std::vector<bool>& searched, double u1,
                              std::vector<RowSolution>& solutions) {
    Interpolation result;
    const capability::TestPoint& t = phi.in.test;
    const bool crossFlow = phi.in.arrangement == Arrangement::CrossFlow;
    std::vector<RowAir> distinct;
    for (std::size_t i = 0; i < airs.size(); ++i) {
        if (searched[i])
            distinct.push_back(airs[i]);
    }
    auto byKey = [](const RowAir& a, const RowAir& b) { return keyOf(a) < keyOf(b); };
    std::sort(distinct.begin(), distinct.end(), byKey);
    distinct.erase(
        std::unique(distinct.begin(), distinct.end(),
                    [](const RowAir& a, const RowAir& b) { return keyOf(a) == keyOf(b); }),
        distinct.end());
    if (int(distinct.size()) <= kDriveInterpolationMinAirs)
        return result;

    const double fTol = searchTolerance(phi.in.arrangement);
    const double hCold = psychro::saturatedEnthalpy(t.waterOut, t.pressure);
    // The counter-flow demand takes the enthalpy alone.
    auto nodeAir = [&](double h) {
        return crossFlow ? saturatedAirOfEnthalpy(h, t.pressure, t.waterOut) : RowAir{true, h, 0};
    };
    // phi at full speed less its tolerance: > 0 where the row is short. Rises with h.
    auto shortAtFull = [&](double h) {
        phi.air = nodeAir(h);
        if (!phi.air.ok)
            return kNaN;
        phi.failure = capability::Status::Ok;
        return phi(u1) - fTol;
    };
    auto band = [](double h) {
        return std::isfinite(h) ? kDriveFullSpeedBand * std::max(1.0, std::fabs(h)) : 0.0;
    };

    // The enthalpy hf where G* reaches G1, searched a band beyond the table's airs so that a
    // row within the band of it is found.
    const double hLo = distinct.front().enthalpy;
    const double hHi = distinct.back().enthalpy;
    double top = hHi + band(hHi);
    if (!(top < hCold))
        top = hHi;
    const double bottom = hLo - band(hLo);
    double hFull = HUGE_VAL;
    const double fTop = shortAtFull(top);
    if (std::isnan(fTop))
        return result;
    if (fTop > 0) {
        const double fBottom = shortAtFull(bottom);
        if (std::isnan(fBottom))
            return result;
        if (fBottom > 0) {
            hFull = -HUGE_VAL;
        } else {
            const Root root = illinois(shortAtFull, bottom, fBottom, top, fTop,
                                       0.1 * kDriveFullSpeedBand, 0, kDriveMaxPasses);
            if (!root.ok)
                return result;
            hFull = root.x;
        }
    }

    // The airs below the band of hf (in the order of their enthalpy): interpolated, unless they
    // are too few to pay.
    std::vector<RowAir> below;
    for (const RowAir& a : distinct) {
        if (a.enthalpy < hFull - band(hFull))
            below.push_back(a);
    }
    std::map<AirKey, RowSolution> solved; // rows solved directly, by their own air
    double slope = kFirstSlope;
    auto solveAir = [&](const RowAir& air, double start) {
        phi.air = air;
        phi.failure = capability::Status::Ok;
        RowSolution s = solveRow(phi, u1, std::max(u1, start), slope);
        if (s.status == Status::Ok && s.slope > 0 && std::isfinite(s.slope))
            slope = s.slope;
        return s;
    };
    Chebyshev g;
    const bool interpolating =
        int(below.size()) > 2 * kDriveFirstNodes && below.back().enthalpy > below.front().enthalpy;
    if (interpolating) {
        g.lo = below.front().enthalpy;
        g.hi = below.back().enthalpy;
        int n = kDriveFirstNodes;
        std::vector<double> fresh(n); // the points still to solve
        for (int j = 0; j < n; ++j)
            fresh[std::size_t(j)] = Chebyshev::point(n - 1 - j, n); // from hLo up
        std::vector<std::pair<double, double>> nodes;               // x, ln(L/G*)
        double start = u1;
        for (;;) {
            for (double x : fresh) {
                const double h = g.enthalpyAt(x);
                const RowAir air = nodeAir(h);
                if (!air.ok)
                    return result;
                const RowSolution s = solveAir(air, g.x.empty() ? start : g(h));
                if (s.status != Status::Ok)
                    return result;
                start = s.shortAtFull ? u1 : s.u;
                nodes.emplace_back(x, start);
            }
            std::sort(nodes.begin(), nodes.end(),
                      [](const auto& a, const auto& b) { return a.first > b.first; });
            g.x.clear();
            g.y.clear();
            for (const auto& [x, u] : nodes) {
                g.x.push_back(x);
                g.y.push_back(u);
            }
            // Checks: the rows nearest the midpoints between the nodes, each with its own air.
            double error = 0;
            double checkStart = g.y.front();
            fresh.clear();
            for (int k = 0; k + 1 < n; ++k) {
                const double x = std::cos(std::numbers::pi * (2 * k + 1) / (2.0 * (n - 1)));
                fresh.push_back(x);
                const double h = g.enthalpyAt(x);
                auto it =
                    std::lower_bound(below.begin(), below.end(), h,
                                     [](const RowAir& a, double v) { return a.enthalpy < v; });
                if (it == below.end() ||
                    (it != below.begin() && h - std::prev(it)->enthalpy < it->enthalpy - h))
                    --it;
                const double interpolated = g(it->enthalpy);
                const auto known = solved.find(keyOf(*it));
                if (known != solved.end()) {
                    error = std::max(error, std::fabs(known->second.u - interpolated));
                    continue;
                }
                // Started, as the direct path is, from the last row solved: from the
                // interpolant, a value already within the search's tolerance would stand.
                const RowSolution s = solveAir(*it, checkStart);
                if (s.status != Status::Ok || s.shortAtFull)
                    return result;
                checkStart = s.u;
                solved.emplace(keyOf(*it), s);
                error = std::max(error, std::fabs(s.u - interpolated));
            }
            if (error <= kDriveInterpolationTolerance) {
                result.nodes = n;
                result.error = error;
                break;
            }
            n = 2 * n - 1;
            if (n > kDriveMaxNodes)
                return result;
        }
    }

    // Every searched row: short above the band of hf, directly solved within it (and near
    // G1 / 2, and all of them when too few to interpolate), interpolated below it.
    const double g1 = t.waterFlow / std::exp(u1);
    for (std::size_t i = 0; i < airs.size(); ++i) {
        if (!searched[i])
            continue;
        const RowAir& air = airs[i];
        const double h = air.enthalpy;
        RowSolution& s = solutions[i];
        if (h > hFull + band(hFull)) {
            s = RowSolution{};
            s.shortAtFull = true;
            s.u = u1;
            continue;
        }
        const auto known = solved.find(keyOf(air));
        if (known != solved.end()) {
            s = known->second;
            continue;
        }
        double guess = u1;
        if (interpolating && h < hFull - band(hFull)) {
            guess = std::max(u1, g(h));
            const double airFlow = t.waterFlow / std::exp(guess);
            if (std::fabs(airFlow / (0.5 * g1) - 1) > kDriveHalfSpeedBand) {
                s = RowSolution{};
                s.u = guess;
                continue;
            }
        }
        s = solveAir(air, guess);
        if (s.status != Status::Ok)
            return result;
        solved.emplace(keyOf(air), s);
    }
    result.used = true;
    return result;
}

} // namespace

Drive variableSpeedDrive(const DriveInput& in) {
    Drive r;
    const capability::TestPoint& t = in.test;
    if (!allFinite({t.waterFlow, t.airFlow, t.waterIn, t.waterOut, t.pressure, in.exponent,
                    in.merkel, in.measuredPower, in.driveEfficiency, in.minimumSpeedPct,
                    in.pricePerKWh}) ||
        !(t.waterFlow > 0) || !(t.airFlow > 0) || !(t.pressure > 0) || !(t.waterIn > t.waterOut) ||
        !(in.exponent >= capability::kMinExponent) || !(in.exponent <= capability::kMaxExponent) ||
        !(in.merkel > 0) || !(in.driveEfficiency > 0) || !(in.driveEfficiency <= 1) ||
        !(in.minimumSpeedPct >= 0) || !(in.minimumSpeedPct <= 100) || in.ambient.empty() ||
        !(in.gridCells >= 0) || !(psychro::pvsateis(t.waterIn) < t.pressure)) {
        r.status = Status::InvalidInput;
        return r;
    }
    if (!(in.measuredPower > 0)) {
        r.status = Status::NoFanPower;
        return r;
    }
    const double L = t.waterFlow;
    const double g1 = t.airFlow;
    const double u1 = std::log(L / g1);
    r.coefficient = in.merkel * std::pow(L / g1, in.exponent);
    if (!std::isfinite(r.coefficient) || !(r.coefficient > 0)) {
        r.status = Status::NonFinite;
        return r;
    }
    int grid = 0;
    if (in.arrangement == Arrangement::CrossFlow) {
        grid = in.gridCells;
        if (grid == 0) {
            const capability::EnteringAir air =
                capability::enteringAir(t.pressure, t.dryBulb, t.relativeHumidity);
            if (!air.ok) {
                r.status = Status::InvalidInput;
                return r;
            }
            const capability::CrossFlowMerkel me = capability::crossFlowMerkel(
                {t.waterIn, L / g1, air.enthalpy, air.wetBulb, t.pressure}, t.waterOut);
            if (me.status != capability::Status::Ok) {
                r.status = fromCapability(me.status);
                return r;
            }
            grid = me.finestGrid;
        }
        r.grid = grid;
    }

    // Every row's air first: an invalid entry is refused before any search.
    const std::size_t count = in.ambient.size();
    std::vector<RowAir> airs(count);
    std::vector<bool> searched(count, false);
    const double hCold = psychro::saturatedEnthalpy(t.waterOut, t.pressure);
    for (std::size_t i = 0; i < count; ++i) {
        const Ambient& a = in.ambient[i];
        airs[i] = rowAir(a, t.pressure);
        if (!airs[i].ok || !std::isfinite(a.hours) || !(a.hours >= 0)) {
            r.status = Status::InvalidInput;
            r.failedRow = int(i);
            return r;
        }
        // Air at or above the saturated enthalpy of the cold water: no air flow is enough.
        searched[i] = hCold > airs[i].enthalpy;
    }

    RowSearch phi{in, std::log(r.coefficient), grid, {}};
    std::vector<RowSolution> solutions(count);
    const Interpolation interpolation =
        in.interpolate ? interpolateRows(phi, airs, searched, u1, solutions) : Interpolation{};
    if (interpolation.used) {
        r.nodes = interpolation.nodes;
        r.interpolationError = interpolation.error;
    } else {
        solveEveryRow(phi, airs, searched, u1, solutions);
    }

    const double minSpeed = in.minimumSpeedPct / 100;
    const double p1 = in.measuredPower;
    const double fullWithDrive = p1 / in.driveEfficiency;
    r.rows.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const Ambient& a = in.ambient[i];
        AmbientResult row;
        bool shortAtFull = true;
        if (!searched[i]) {
            row.status = capability::Status::ColdWaterAtWetBulb;
        } else if (solutions[i].status != Status::Ok) {
            // G* not found: full speed, the figure that never overstates the saving.
            row.status = solutions[i].cause;
            row.unsolved = true;
            shortAtFull = false;
            r.hoursUnsolved += a.hours;
            ++r.rowsUnsolved;
            if (r.firstUnsolvedRow < 0)
                r.firstUnsolvedRow = int(i);
        } else {
            shortAtFull = solutions[i].shortAtFull;
            if (!shortAtFull)
                row.airFlow = std::min(g1, L / std::exp(solutions[i].u));
        }
        if (shortAtFull || row.unsolved) {
            row.fullSpeedShort = shortAtFull;
            row.airFlow = g1;
            row.speed = 1;
            row.power = fullWithDrive;
            row.twoSpeedPower = p1;
            if (shortAtFull)
                r.hoursShort += a.hours;
        } else {
            row.speed = std::min(1.0, row.airFlow / g1);
            const double s = std::max(row.speed, minSpeed);
            row.power = p1 * s * s * s / in.driveEfficiency;
            row.twoSpeedPower = g1 / 2 >= row.airFlow ? p1 / 8 : p1;
        }
        r.hours += a.hours;
        r.kWhFullSpeed += a.hours * p1;
        r.kWhTwoSpeed += a.hours * row.twoSpeedPower;
        r.kWhDrive += a.hours * row.power;
        r.rows.push_back(row);
    }
    r.kWhSavedAgainstFull = r.kWhFullSpeed - r.kWhDrive;
    r.kWhSavedAgainstTwoSpeed = r.kWhTwoSpeed - r.kWhDrive;
    if (in.pricePerKWh >= 0) {
        r.priced = true;
        r.moneySavedAgainstFull = r.kWhSavedAgainstFull * in.pricePerKWh;
        r.moneySavedAgainstTwoSpeed = r.kWhSavedAgainstTwoSpeed * in.pricePerKWh;
    }
    r.airFlow = r.rows.front().airFlow;
    r.power = r.rows.front().power;
    r.evaluations = phi.evaluations;
    if (!allFinite({r.kWhFullSpeed, r.kWhTwoSpeed, r.kWhDrive, r.kWhSavedAgainstFull,
                    r.kWhSavedAgainstTwoSpeed, r.moneySavedAgainstFull,
                    r.moneySavedAgainstTwoSpeed})) {
        r.status = Status::NonFinite;
        return r;
    }
    r.status = Status::Ok;
    return r;
}

std::string refusal(Status status) {
    switch (status) {
    case Status::Ok:
        return "The calculation is complete.";
    case Status::InvalidInput:
        return "An entry is missing, not a number or outside its range.";
    case Status::AirSaturates:
        return "The air reaches saturation inside the fill, so the water cannot be cooled that "
               "far.";
    case Status::NotConverged:
        return "The calculation did not settle within its limit of steps.";
    case Status::NonFinite:
        return "The calculation produced a value that is not a finite number.";
    case Status::DriftTooLarge:
        return "The drift alone removes more water than these cycles of concentration allow.";
    case Status::NoFanPower:
        return "The fan energy needs the measured fan power.";
    }
    return "The calculation was refused.";
}

std::string refusal(const Water& water) {
    if (water.status == Status::DriftTooLarge)
        return "Cycles above " + oneDecimal(water.highestCycles) +
               " cannot be reached with this drift.";
    return refusal(water.status);
}

std::string refusal(const Poppe& poppe) {
    if (poppe.status == Status::AirSaturates)
        return "The air reaches saturation inside the fill at a water temperature of " +
               oneDecimal(poppe.at) + " oC.";
    return refusal(poppe.status);
}

} // namespace savings
