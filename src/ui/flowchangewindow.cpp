#include "ui/flowchangewindow.h"

#include "engine/keys.h"

namespace {

const char* const kTitle = "Problem 3: INFLUENCE OF MASS FLOW RATES OF AIR AND WATER VARIATION "
                           "ON PERFORMANCE INDICATORS";

// The frames whose rows are the same in both arrangements; Id is the arrangement's list.
template <class Id> std::vector<ControlRow> newFlowRows() {
    return {{Id::newWaterFlow, "Water mass flow rate (3), [kg/s]"},
            {Id::newAirFlow, "Air mass flow rate (3), [kg/s]"}};
}

template <class Id> std::vector<ControlRow> measuredRows() {
    return {{Id::waterFlow1, "Water mass flow rate (1), [kg/s]"},
            {Id::waterIn1, "Water temperature IN (1), [oC]"},
            {Id::waterOut1, "Water temperature OUT (1), [oC]"},
            {Id::airFlow1, "Air mass flow rate (1), [kg/s]"},
            {Id::pressure1, "Ambient air pressure (1), [bar]"},
            {Id::dryBulb1, "Ambient dry bulb temperature IN (1), [oC]"},
            {Id::relativeHumidity1, "Ambient air relative humidity IN (1), [%]"}};
}

template <class Id> std::vector<ControlRow> calculatedRows() {
    return {{Id::ntu1, "Number of transfer units (1), [kW/(kJ/kg)]"},
            {Id::heat1, "Heat capacity (1), [kW]"},
            {Id::inletWetBulb1, "Wet bulb temperature IN (1), [oC]"},
            {Id::inletEnthalpy1, "Enthalpy of air IN (1), [kJ/kg]"},
            {Id::inletHumidity1, "Absolut humidity IN (1),  [-]"}};
}

template <class Id> WindowPart indicators() {
    return frame(Column::Right, "Performance Indicators",
                 {{Id::flowRatio, "Ratio  L(3) / G(3),  [-]"},
                  {Id::ntu, "Number of transfer units (3), [kW/(kJ/kg)]"},
                  {Id::heat, "Heat capacity (3), [kW]"},
                  {Id::waterOut, "Water temperature OUT, [oC]"},
                  {Id::coolingDegree, "Cooling degree [-]"},
                  {Id::range, "Range  [oC]"},
                  {Id::approach, "Approach [oC]"}});
}

template <class Id> std::vector<PairRow> outletAirRows() {
    return {{" tdb,out  [oC]", Id::outlet1DryBulb, Id::outletDryBulb},
            {" twb,out  [oC]", Id::outlet1WetBulb, Id::outletWetBulb},
            {"h,out  [kJ/kg]", Id::outlet1Enthalpy, Id::outletEnthalpy},
            {" RH,out  [%]", Id::outlet1RelativeHumidity, Id::outletRelativeHumidity},
            {"x,out  [-]", Id::outlet1Humidity, Id::outletHumidity}};
}

const WindowPlan& counterFlowPlan() {
    using Id = engine::cf3::Control;
    static const WindowPlan plan{
        kTitle,
        {
            frame(Column::Right, "New Flow Rate", newFlowRows<Id>()),
            frame(Column::Left, "Measured Values (Problem 1)", measuredRows<Id>()),
            frame(Column::Left, "Calculated  Values (Problem 1)", calculatedRows<Id>()),
            indicators<Id>(),
            pairTable(Column::Right, "Ambient Air Parameters", {"Outlet (1)", "Outlet (3)"},
                      {" Outlet (1)", " Outlet (3)"}, outletAirRows<Id>()),
        }};
    return plan;
}

const WindowPlan& crossFlowPlan() {
    using Id = engine::xf3::Control;
    static const WindowPlan plan{
        kTitle,
        {
            frame(Column::Left, "New Flow Rates", newFlowRows<Id>()),
            frame(Column::Left, "Measured Values from Problem 1", measuredRows<Id>()),
            frame(Column::Right, "Calculated Values in Problem 1", calculatedRows<Id>()),
            indicators<Id>(),
            pairTable(Column::Left, "Air Parameters", {"Outlet Air (1)", "Outlet Air (3)"},
                      {" (1)", " (3)"}, outletAirRows<Id>()),
        }};
    return plan;
}

} // namespace

FlowChangeWindow::FlowChangeWindow(Workspace& workspace, Arrangement arrangement)
    : ProblemWindow(workspace, arrangement, 3) {
    build(arrangement == Arrangement::CounterFlow ? counterFlowPlan() : crossFlowPlan());
    makeButtons();
    layOut();
}
