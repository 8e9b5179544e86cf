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

} // namespace diagrams
