#pragma once
// Scaling of a tower's number of transfer units to new water and air mass flow rates, shared
// by Problems 3 and 4 of both tower arrangements. Plain C++, no Qt.

#include <cmath>
#include <limits>

namespace ntuscaling {

// Exponent of the flow-rate ratio in the scaling law below (the usual fill characteristic
// NTU ~ (L/G)^-n with n = 0.72 for a film fill).
inline const double kFlowExponent = 0.72;

// Number of transfer units (kW/(kJ/kg)) of the tower at water flow lNew and air flow gNew
// (kg/s), given its value ntuOld (kW/(kJ/kg)) at water flow lOld and air flow gOld (kg/s):
//     NTU_new = NTU_old x (L_new / L_old) x ((L_old / G_old) / (L_new / G_new))^0.72.
// Equal flows give ntuOld back. Every flow must be positive; otherwise the result is NaN,
// so callers refuse non-positive flows before they scale.
inline double scaledNtu(double ntuOld, double lOld, double gOld, double lNew, double gNew) {
    if (!(lOld > 0 && gOld > 0 && lNew > 0 && gNew > 0))
        return std::numeric_limits<double>::quiet_NaN();
    return ntuOld * (lNew / lOld) * std::pow((lOld / gOld) / (lNew / gNew), kFlowExponent);
}

} // namespace ntuscaling
