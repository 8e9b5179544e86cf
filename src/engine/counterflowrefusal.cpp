#include "engine/counterflowrefusal.h"

#include "engine/message.h"
#include "engine/messages.h"

namespace counterflow {

QString refusalText(Status status) {
    switch (status) {
    case Status::Ok:
        break;
    case Status::ZeroFlow:
        return engine::toQString(engine::messages::kFlowsNotPositive);
    case Status::NoDrivingForce:
        return QStringLiteral(
            "No heat transfer is possible: somewhere in the fill the air is as warm as saturated "
            "air at the water temperature. The outlet water temperature must lie well above the "
            "inlet wet bulb temperature.");
    case Status::NotConverged:
        return QStringLiteral(
            "The search for the tower's operating point did not converge: the required number "
            "of transfer units cannot be reached with these data.");
    case Status::InvalidBracket:
        return QStringLiteral(
            "No operating point can be searched: the water temperature IN must be above the "
            "wet bulb temperature, and the heat capacity must be greater than zero.");
    case Status::NonFinite:
        return QStringLiteral("The calculation overflowed with these data.");
    }
    return {};
}

QString noHeatTransferText(const Fill& fill) {
    if (saturatedAtOutlet(fill))
        return refusalText(Status::NoDrivingForce);
    return QStringLiteral(
        "No heat transfer is possible: the outlet water temperature lies above the inlet wet "
        "bulb temperature, but the water-to-air flow ratio L/G is so large that the air, warmed "
        "by the water, becomes as warm as saturated air at the water temperature inside the "
        "fill. Check the water and air flow rates: the air flow is too small for this water "
        "flow and cooling.");
}

} // namespace counterflow
