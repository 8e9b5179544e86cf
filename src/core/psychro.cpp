#include "core/psychro.h"

#include <cmath>

namespace psychro {

namespace {

// ln(ps / bar) over liquid water, t >= 0 degC.
constexpr double kWater[] = {-5.098158,    0.07261845,   -2.974345e-4, 1.096061e-6,
                             -3.381446e-9, 7.363934e-12, -7.789316e-15};
// ln(ps / bar) over ice, t < 0 degC.
constexpr double kIce[] = {-5.101152,   0.07729193,   -2.017579e-3, -2.065871e-4,
                           -1.12064e-5, -2.733306e-7, -2.465132e-9};
// Dew point (degC) from L = ln(pd / bar), over ice (pd < 0.0061 bar) and over water.
constexpr double kDewIce[] = {2133.115, 1895.048,  709.0106,  141.4955,
                              15.77327, 0.9304916, 0.02269088};
constexpr double kDewWater[] = {99.6343,   27.9482,    2.39768,    0.21188,
                                0.0178628, 0.00128514, 5.51819e-05};
constexpr double kDewIceLimit = 0.0061; // bar

// c0 + c1 t + c2 t^2 + ... + c6 t^6, summed term by term in that order.
double sixthOrder(const double (&c)[7], double t) {
    const double t2 = t * t;
    const double t3 = t2 * t;
    const double t4 = t3 * t;
    const double t5 = t4 * t;
    const double t6 = t5 * t;
    return c[0] + c[1] * t + c[2] * t2 + c[3] * t3 + c[4] * t4 + c[5] * t5 + c[6] * t6;
}

double dryAirEnthalpy(double t) {
    return (kDryAirCp0 + kDryAirCp1 * t) * t;
}

double vapourEnthalpyPerX(double t) {
    return kLatentHeat0 + (kVapourCp0 + kVapourCp1 * t) * t;
}

// Absolute humidity (kg/kg) at relative humidity rh (%), total pressure p (bar) and saturation
// pressure ps (bar): AbsoluteHumidity() without the fit.
double humidityAtVapourPressure(double ps, double rh, double p) {
    return kMolarMassRatio * rh / 100 * ps / (p - rh / 100 * ps);
}

bool finite(const AirState& s) {
    return std::isfinite(s.wetBulb) && std::isfinite(s.absoluteHumidity) &&
           std::isfinite(s.enthalpy) && std::isfinite(s.relativeHumidity);
}

} // namespace

double pvsateis(double t) {
    return std::exp(sixthOrder(t < 0 ? kIce : kWater, t));
}

double AbsoluteHumidity(double t, double rh, double p) {
    return humidityAtVapourPressure(pvsateis(t), rh, p);
}

SaturatedEnthalpy saturatedEnthalpyCurve(double t, double p) {
    const double(&c)[7] = t < 0 ? kIce : kWater;
    const double ps = std::exp(sixthOrder(c, t)); // as pvsateis(t)
    const double x = humidityAtVapourPressure(ps, 100, p);
    // d ln(ps)/dt and d2 ln(ps)/dt2 of the fit.
    const double t2 = t * t;
    const double t3 = t2 * t;
    const double lnSlope = c[1] + 2 * c[2] * t + 3 * c[3] * t2 + 4 * c[4] * t3 +
                           5 * c[5] * t2 * t2 + 6 * c[6] * t3 * t2;
    const double lnCurvature =
        2 * c[2] + 6 * c[3] * t + 12 * c[4] * t2 + 20 * c[5] * t3 + 30 * c[6] * t2 * t2;
    const double ps1 = ps * lnSlope;
    const double ps2 = ps * (lnCurvature + lnSlope * lnSlope);
    const double den = p - ps;
    const double x1 = kMolarMassRatio * p * ps1 / (den * den);
    const double x2 = kMolarMassRatio * p * (ps2 * den + 2 * ps1 * ps1) / (den * den * den);
    const double v = vapourEnthalpyPerX(t);
    const double v1 = kVapourCp0 + 2 * kVapourCp1 * t;
    const double v2 = 2 * kVapourCp1;
    return {ps, Enthalpy(t, x), kDryAirCp0 + 2 * kDryAirCp1 * t + x1 * v + x * v1,
            2 * kDryAirCp1 + x2 * v + 2 * x1 * v1 + x * v2};
}

double Enthalpy(double t, double x) {
    return dryAirEnthalpy(t) + x * vapourEnthalpyPerX(t);
}

double humidityFromEnthalpy(double t, double h) {
    return (h - dryAirEnthalpy(t)) / vapourEnthalpyPerX(t);
}

double dewPoint(double pd) {
    const double l = std::log(pd);
    return sixthOrder(pd < kDewIceLimit ? kDewIce : kDewWater, l);
}

AirResult moistAirState(Given given, double p, double t, double second) {
    AirResult result;
    AirState& s = result.state;
    const double ps = pvsateis(t);

    // Step 1: the air state.
    double rh = 0;
    double x = 0;
    double h = 0;
    switch (given) {
    case Given::RelativeHumidity:
        rh = second;
        if (!(rh / 100 * ps < p)) {
            result.status = AirStatus::ImpossibleState;
            return result;
        }
        x = AbsoluteHumidity(t, rh, p);
        h = Enthalpy(t, x);
        break;
    case Given::Enthalpy:
    case Given::WetBulb:
        if (given == Given::Enthalpy) {
            h = second;
        } else {
            const double xs = AbsoluteHumidity(second, 100, p);
            if (!(xs >= 0) || !std::isfinite(xs)) {
                result.status = AirStatus::ImpossibleState;
                return result;
            }
            h = Enthalpy(second, xs);
        }
        x = humidityFromEnthalpy(t, h);
        rh = 100 * x * p / (ps * (kMolarMassRatio + x));
        break;
    }
    if (!(x >= 0) || !std::isfinite(x) || !std::isfinite(rh)) {
        result.status = AirStatus::ImpossibleState;
        return result;
    }

    // Steps 2 and 3: vapour pressure and dew point, the lower end of the wet-bulb search.
    double td = kDryAirSearchStart;
    if (rh != 0) {
        const double pd = x * p / (kMolarMassRatio + x);
        if (!(pd > 0)) {
            result.status = AirStatus::ImpossibleState;
            return result;
        }
        if (pd >= kDewPointFitLowest)
            td = dewPoint(pd);
    }

    // Step 4: the wet bulb, by false position on the enthalpy excess of saturated air.
    double twb = second;
    if (given != Given::WetBulb) {
        if (rh == 100) {
            twb = t;
        } else {
            auto excess = [&](double temperature) { return saturatedEnthalpy(temperature, p) - h; };
            double lo = td;
            double hi = t;
            double flo = excess(lo);
            double fhi = excess(hi);
            double tnew = lo;
            bool converged = false;
            while (result.iterations < kWetBulbMaxIterations) {
                ++result.iterations;
                tnew = lo - flo * (hi - lo) / (fhi - flo);
                const double fnew = excess(tnew);
                if (!std::isfinite(fnew))
                    break;
                if (fnew > 0) {
                    hi = tnew;
                    fhi = fnew;
                } else {
                    lo = tnew;
                    flo = fnew;
                }
                if (std::fabs(fnew) < kWetBulbTolerance) {
                    converged = true;
                    break;
                }
                if (std::fabs(hi - lo) < kWetBulbBracket) {
                    converged = std::fabs(fhi - flo) < kFreezingStep;
                    break;
                }
            }
            // Air at or above the boiling point of its pressure has no saturated state at its
            // dry bulb to bracket the search, which then finds a meaningless root of the excess
            // far below any lower end (where the dry-air term of the enthalpy turns over).
            if (!converged || !(tnew >= kDryAirSearchStart)) {
                result.status = AirStatus::NoConvergence;
                return result;
            }
            twb = tnew;
        }
    }

    s.wetBulb = twb;
    s.absoluteHumidity = x;
    s.enthalpy = h;
    s.relativeHumidity = rh;
    if (!finite(s))
        result.status = AirStatus::ImpossibleState;
    return result;
}

} // namespace psychro
