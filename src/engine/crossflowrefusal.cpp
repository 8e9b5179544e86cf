#include "engine/crossflowrefusal.h"

#include "engine/message.h"
#include "engine/messages.h"

namespace crossflow {

QString refusalText(Status status) {
    switch (status) {
    case Status::Ok:
        break;
    case Status::InvalidInput:
        return QStringLiteral(
            "The calculation cannot start with these data: a value is not a finite number, the "
            "number of transfer units is negative or the air pressure is not positive.");
    case Status::NonPositiveFlow:
        return engine::toQString(engine::messages::kFlowsNotPositive);
    case Status::NonPositiveHeat:
        return QStringLiteral("The heat capacity must be greater than zero.");
    case Status::WaterNotAboveWetBulb:
        return QStringLiteral(
            "The water temperature IN must be above the wet bulb temperature of the inlet air: "
            "the water cannot be cooled below it.");
    case Status::OutletAboveInlet:
        return engine::toQString(engine::messages::kWaterOutNotBelowIn);
    case Status::SaturationAbovePressure:
        return QStringLiteral(
            "At the water temperature IN the vapour pressure of water reaches the air pressure: "
            "saturated air is not defined there. Lower the water temperature.");
    case Status::CellAboveSaturation:
        return QStringLiteral(
            "No heat balance is possible in a cell of the fill: the air there would carry more "
            "enthalpy than saturated air at the water temperature. Either the air mass flow rate "
            "is too small for the heat it must take up or for the number of transfer units (which "
            "must stay below 40 times the air mass flow rate in kg/s), or the air enters too warm "
            "and humid for the water.");
    case Status::CellBelowBracket:
        return QStringLiteral(
            "No heat balance is possible in the fill: the water would have to be cooled below "
            "the wet bulb temperature of the inlet air.");
    case Status::NonFinite:
        return QStringLiteral("The calculation overflowed with these data.");
    case Status::OutletNotReached:
        return QStringLiteral(
            "The measured outlet water temperature cannot be reached: no number of transfer "
            "units up to 495 cools the water that far. The outlet water temperature must lie "
            "above the wet bulb temperature of the inlet air.");
    case Status::RefinementNoConvergence:
        return QStringLiteral(
            "The search for the number of transfer units did not converge: the mean outlet "
            "water temperature could not be brought within 0.01 oC of the measured one.");
    case Status::HeatNotReachable:
        return QStringLiteral(
            "The desired heat capacity cannot be rejected: even the largest water mass flow rate "
            "of the search (cooled by only 0.1 oC) rejects less heat. Lower the heat capacity or "
            "raise the water temperature IN above the wet bulb temperature.");
    case Status::FlowNoConvergence:
        return QStringLiteral(
            "The search for the water mass flow rate did not converge: the desired heat capacity "
            "could not be met within 0.001 kW.");
    }
    return {};
}

} // namespace crossflow
