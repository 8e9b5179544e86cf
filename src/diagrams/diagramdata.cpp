#include "diagrams/diagramdata.h"

#include "core/psychro.h"

#include <cmath>

namespace diagrams {

double Characteristic::at(double flowRatio) const {
    return reference.ntuPerFlow * std::pow(flowRatio / reference.flowRatio, -exponent);
}

std::vector<EnthalpyPoint> saturationCurve(double tLow, double tHigh, double pressure,
                                           int samples) {
    std::vector<EnthalpyPoint> curve;
    if (samples < 2 || !std::isfinite(tLow) || !std::isfinite(tHigh))
        return curve;
    curve.reserve(static_cast<std::size_t>(samples));
    for (int k = 0; k < samples; ++k) {
        const double t = tLow + (tHigh - tLow) * k / (samples - 1);
        const double h = psychro::saturatedEnthalpy(t, pressure);
        if (!std::isfinite(h))
            return {};
        curve.push_back({t, h});
    }
    return curve;
}

std::optional<CharacteristicPoint> characteristicPoint(int problem, double ntu, double l,
                                                       double g) {
    if (!(l > 0 && g > 0) || !std::isfinite(ntu) || !std::isfinite(l) || !std::isfinite(g))
        return std::nullopt;
    return CharacteristicPoint{problem, l / g, ntu / l};
}

namespace {

bool drawable(double flowRatio, double merkel) {
    return std::isfinite(flowRatio) && std::isfinite(merkel) && flowRatio > 0 && merkel > 0;
}

std::vector<capability::CurvePoint> drawable(const std::vector<capability::CurvePoint>& curve) {
    std::vector<capability::CurvePoint> out;
    for (const capability::CurvePoint& p : curve)
        if (drawable(p.flowRatio, p.merkel))
            out.push_back(p);
    return out;
}

} // namespace

CapabilityDiagram capabilityDiagram(const capability::Capability& k, double exponent,
                                    bool outOfDate) {
    CapabilityDiagram d;
    d.arrangement = k.arrangement;
    d.exponent = exponent;
    d.outOfDate = outOfDate;
    d.demand = drawable(k.demand);
    d.characteristic = drawable(k.characteristic);
    if (k.merkel.ok() && drawable(k.testRatio, k.merkel.value))
        d.test = capability::CurvePoint{k.testRatio, k.merkel.value};
    if (k.demandAtDesign.ok() && drawable(k.designRatio, k.demandAtDesign.value))
        d.design = capability::CurvePoint{k.designRatio, k.demandAtDesign.value};
    if (k.intersectionRatio.ok() && k.coefficient.ok()) {
        const double x = k.intersectionRatio.value;
        const double merkel = k.coefficient.value * std::pow(x, -exponent);
        if (drawable(x, merkel))
            d.intersection = capability::CurvePoint{x, merkel};
    }
    if (k.capabilityPct.ok() && std::isfinite(k.capabilityPct.value))
        d.capabilityPct = k.capabilityPct.value;
    // The first figure refused for a reason of its own (not a missing input) says why.
    for (const capability::Figure* f :
         {&k.merkel, &k.coefficient, &k.pinch, &k.demandAtDesign, &k.intersectionRatio})
        if (!f->ok() && f->status != capability::Status::InvalidInput) {
            d.note = capability::refusal(*f);
            break;
        }
    return d;
}

} // namespace diagrams
