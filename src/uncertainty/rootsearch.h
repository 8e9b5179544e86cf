#pragma once
// The one-dimensional root searches of the measurement model: a chain's search started near the
// root of a nearby chain (the measured one), for a function that is monotone near its root.
// Plain C++ with no Qt; f is any callable from double to double that returns NaN where it
// cannot be evaluated.

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

namespace uncertainty {

// The root of f near x0, for f monotone near its root: brackets the root by steps from `step`
// onwards (a little beyond the secant's root, at least twice the last step), then closes in by the
// Illinois variant of false position until |f| < tolerance or the bracket is as narrow as doubles
// allow. f returns NaN where it cannot be evaluated; nullopt when no bracket is found within the
// cap or f fails. `slope`, when given, receives the slope through the last two points evaluated.
template <class F>
std::optional<double> rootNear(F f, double x0, double step, double lowest, double tolerance,
                               double accept, double* slope = nullptr) {
    constexpr int kBracketSteps = 30;
    constexpr int kClosePasses = 80;
    // The slope through the last two points evaluated.
    double previousX = std::numeric_limits<double>::quiet_NaN();
    double previousF = previousX;
    const auto evaluated = [&](double x) {
        const double fx = f(x);
        if (slope && std::isfinite(previousX) && x != previousX)
            *slope = (fx - previousF) / (x - previousX);
        previousX = x;
        previousF = fx;
        return fx;
    };
    double a = x0, fa = evaluated(a);
    if (!std::isfinite(fa))
        return std::nullopt;
    if (std::fabs(fa) < tolerance)
        return a;
    double b = a + step, fb = evaluated(b);
    if (!std::isfinite(fb))
        return std::nullopt;
    if (std::fabs(fb) > std::fabs(fa)) { // going the wrong way
        step = -step;
        std::swap(a, b);
        std::swap(fa, fb);
    }
    for (int n = 0; n < kBracketSteps && fa * fb > 0; ++n) {
        // A little beyond the secant's root, or twice as far as the last step.
        const double secant = -1.2 * fb * (b - a) / (fb - fa);
        step = std::isfinite(secant) && secant * step > 0 && std::fabs(secant) > std::fabs(step)
                   ? secant
                   : 2 * step;
        a = b;
        fa = fb;
        b = std::max(a + step, (a + lowest) / 2);
        fb = evaluated(b);
        if (!std::isfinite(fb))
            return std::nullopt;
    }
    if (fa * fb > 0)
        return std::nullopt;
    for (int n = 0; n < kClosePasses; ++n) {
        if (std::fabs(fb) < tolerance)
            return b;
        const double c = (fa * b - fb * a) / (fa - fb);
        if (!(std::fabs(b - a) > 1e-13 * std::fabs(b)) || c == a || c == b)
            break;
        const double fc = evaluated(c);
        if (!std::isfinite(fc))
            return std::nullopt;
        if (fc * fb > 0)
            fa /= 2;
        else {
            a = b;
            fa = fb;
        }
        b = c;
        fb = fc;
    }
    if (std::fabs(fb) <= accept)
        return b;
    return std::nullopt;
}

// The root of f near x0 for a chain whose root lies close to that of a chain where f had the
// slope `slope`: a Newton step along that slope, then secant steps, until |f| < tolerance;
// `slope` is left at the last secant's. nullopt when f fails, a secant's slope turns against
// the first or the steps run out: rootNear() then brackets the root. A draw's root is usually
// within the tolerance after two or three evaluations.
template <class F>
std::optional<double> rootAlong(F f, double x0, double& slope, double tolerance) {
    constexpr int kSecantSteps = 6;
    if (!(std::isfinite(slope) && slope != 0))
        return std::nullopt;
    const bool rising = slope > 0;
    double x = x0, fx = f(x);
    for (int n = 0;; ++n) {
        if (!std::isfinite(fx))
            return std::nullopt;
        if (std::fabs(fx) < tolerance)
            return x;
        if (n == kSecantSteps)
            return std::nullopt;
        const double next = x - fx / slope;
        if (!std::isfinite(next) || next == x)
            return std::nullopt;
        const double fNext = f(next);
        slope = (fNext - fx) / (next - x);
        if (!std::isfinite(slope) || slope == 0 || (slope > 0) != rising)
            return std::nullopt;
        x = next;
        fx = fNext;
    }
}

} // namespace uncertainty
