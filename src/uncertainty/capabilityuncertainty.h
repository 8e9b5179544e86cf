#pragma once
// How sure the tower's capability is: the first-order expanded uncertainty (k = 2) of the
// capability in per cent of design, from the instruments' accuracies of the seven measured
// inputs of Problem 1 (the name-plate data taken as exact), by central differences of steps
// +/- u through the whole capability evaluation (capability.h), as firstOrder() does for the
// Problems' chain.
//
// Plain C++ with no Qt.

#include "core/capability.h"
#include "uncertainty/propagation.h"

#include <string>
#include <vector>

namespace uncertainty {

struct CapabilityUncertainty {
    // U of capabilityPct and of capabilityMeasuredAirPct, percentage points; NaN when a
    // perturbed evaluation failed (failures then say which) or the nominal figure is refused.
    double expanded = std::numeric_limits<double>::quiet_NaN();
    double expandedMeasuredAir = std::numeric_limits<double>::quiet_NaN();
    std::array<Contribution, 3> top{}; // the inputs with the largest shares of the variance
    std::vector<std::string> failures;
};

// `nominal` is capability::evaluate() at the measured values; for cross flow the perturbed
// evaluations use its finest grid, so that they differ from it by the inputs alone.
CapabilityUncertainty
capabilityUncertainty(Arrangement arrangement, const capability::TestPoint& test,
                      const capability::DesignPoint& design, const capability::Settings& settings,
                      const capability::Capability& nominal, const Accuracies& accuracies);

} // namespace uncertainty
