#include "uncertainty/capabilityuncertainty.h"

#include <algorithm>
#include <cmath>

namespace uncertainty {

namespace {

constexpr double kSqrt3 = 1.7320508075688772;

// The measured inputs in the order of Input (chainmodel.h).
std::array<double*, kInputCount> inputsOf(capability::TestPoint& t) {
    return {&t.waterFlow, &t.airFlow, &t.waterIn,         &t.waterOut,
            &t.pressure,  &t.dryBulb, &t.relativeHumidity};
}

} // namespace

CapabilityUncertainty
capabilityUncertainty(Arrangement arrangement, const capability::TestPoint& test,
                      const capability::DesignPoint& design, const capability::Settings& settings,
                      const capability::Capability& nominal, const Accuracies& accuracies) {
    CapabilityUncertainty out;
    if (!nominal.capabilityPct.ok())
        return out;
    const int grid = nominal.grids.empty() ? 0 : nominal.grids.back();
    std::array<double, kInputCount> terms{}, termsAir{};
    bool failed = false;
    capability::TestPoint measured = test;
    const std::array<double*, kInputCount> readings = inputsOf(measured);
    for (int i = 0; i < kInputCount; ++i) {
        const double reading = *readings[std::size_t(i)];
        const double u = halfWidth(accuracies[std::size_t(i)], reading) / kSqrt3;
        if (u == 0)
            continue;
        capability::Capability side[2];
        for (int s = 0; s < 2; ++s) {
            capability::TestPoint perturbed = test;
            *inputsOf(perturbed)[std::size_t(i)] = reading + (s == 0 ? u : -u);
            side[s] = capability::evaluate(arrangement, perturbed, &design, settings, false, grid);
            if (!side[s].capabilityPct.ok()) {
                failed = true;
                out.failures.push_back(std::string(inputInfo(i).label) + ": " +
                                       capability::refusal(side[s].capabilityPct));
            }
        }
        if (!side[0].capabilityPct.ok() || !side[1].capabilityPct.ok())
            continue;
        const double c = (side[0].capabilityPct.value - side[1].capabilityPct.value) / (2 * u);
        terms[std::size_t(i)] = c * u * c * u;
        if (side[0].capabilityMeasuredAirPct.ok() && side[1].capabilityMeasuredAirPct.ok()) {
            const double ca =
                (side[0].capabilityMeasuredAirPct.value - side[1].capabilityMeasuredAirPct.value) /
                (2 * u);
            termsAir[std::size_t(i)] = ca * u * ca * u;
        }
    }
    if (failed)
        return out;
    double variance = 0, varianceAir = 0;
    for (int i = 0; i < kInputCount; ++i) {
        variance += terms[std::size_t(i)];
        varianceAir += termsAir[std::size_t(i)];
    }
    out.expanded = 2 * std::sqrt(variance);
    if (nominal.capabilityMeasuredAirPct.ok())
        out.expandedMeasuredAir = 2 * std::sqrt(varianceAir);
    std::array<int, kInputCount> order{};
    for (int i = 0; i < kInputCount; ++i)
        order[std::size_t(i)] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return terms[std::size_t(a)] > terms[std::size_t(b)]; });
    for (std::size_t k = 0; k < out.top.size(); ++k)
        if (variance > 0 && terms[std::size_t(order[k])] > 0)
            out.top[k] = {order[k], 100 * terms[std::size_t(order[k])] / variance};
    return out;
}

} // namespace uncertainty
