#include "ui/flowchangewindow.h"

#include "engine/keys.h"

namespace {

// What differs between the two arrangements' windows: captions, and where the frames sit.
struct Differences {
    const char* newFlowCaption;
    Column newFlow;
    const char* measuredCaption;
    const char* calculatedCaption;
    Column calculated;
    const char* airCaption;
    std::array<const char*, 2> airTitles;
    std::array<const char*, 2> airSuffixes;
    Column air;
};

// The window of an arrangement, whose list is Id.
template <class Id> WindowPlan plan(const Differences& d) {
    return {
        "Problem 3: INFLUENCE OF MASS FLOW RATES OF AIR AND WATER VARIATION ON PERFORMANCE "
        "INDICATORS",
        {
            frame(d.newFlow, d.newFlowCaption,
                  {{Id::newWaterFlow, "Water mass flow rate (3), [kg/s]"},
                   {Id::newAirFlow, "Air mass flow rate (3), [kg/s]"}}),
            frame(Column::Left, d.measuredCaption,
                  {{Id::waterFlow1, "Water mass flow rate (1), [kg/s]"},
                   {Id::waterIn1, "Water temperature IN (1), [oC]"},
                   {Id::waterOut1, "Water temperature OUT (1), [oC]"},
                   {Id::airFlow1, "Air mass flow rate (1), [kg/s]"},
                   {Id::pressure1, "Ambient air pressure (1), [bar]"},
                   {Id::dryBulb1, "Ambient dry bulb temperature IN (1), [oC]"},
                   {Id::relativeHumidity1, "Ambient air relative humidity IN (1), [%]"}}),
            frame(d.calculated, d.calculatedCaption,
                  {{Id::ntu1, "Number of transfer units (1), [kW/(kJ/kg)]"},
                   {Id::heat1, "Heat capacity (1), [kW]"},
                   {Id::inletWetBulb1, "Wet bulb temperature IN (1), [oC]"},
                   {Id::inletEnthalpy1, "Enthalpy of air IN (1), [kJ/kg]"},
                   {Id::inletHumidity1, "Absolut humidity IN (1),  [-]"}}),
            frame(Column::Right, "Performance Indicators",
                  {{Id::flowRatio, "Ratio  L(3) / G(3),  [-]"},
                   {Id::ntu, "Number of transfer units (3), [kW/(kJ/kg)]"},
                   {Id::heat, "Heat capacity (3), [kW]"},
                   {Id::waterOut, "Water temperature OUT, [oC]"},
                   {Id::coolingDegree, "Cooling degree [-]"},
                   {Id::range, "Range  [oC]"},
                   {Id::approach, "Approach [oC]"}}),
            pairTable(d.air, d.airCaption, d.airTitles, d.airSuffixes,
                      {{" tdb,out  [oC]", Id::outlet1DryBulb, Id::outletDryBulb},
                       {" twb,out  [oC]", Id::outlet1WetBulb, Id::outletWetBulb},
                       {"h,out  [kJ/kg]", Id::outlet1Enthalpy, Id::outletEnthalpy},
                       {" RH,out  [%]", Id::outlet1RelativeHumidity, Id::outletRelativeHumidity},
                       {"x,out  [-]", Id::outlet1Humidity, Id::outletHumidity}}),
        }};
}

const WindowPlan& counterFlowPlan() {
    static const WindowPlan counterFlow =
        plan<engine::cf3::Control>({.newFlowCaption = "New Flow Rate",
                                    .newFlow = Column::Right,
                                    .measuredCaption = "Measured Values (Problem 1)",
                                    .calculatedCaption = "Calculated  Values (Problem 1)",
                                    .calculated = Column::Left,
                                    .airCaption = "Ambient Air Parameters",
                                    .airTitles = {"Outlet (1)", "Outlet (3)"},
                                    .airSuffixes = {" Outlet (1)", " Outlet (3)"},
                                    .air = Column::Right});
    return counterFlow;
}

const WindowPlan& crossFlowPlan() {
    static const WindowPlan crossFlow =
        plan<engine::xf3::Control>({.newFlowCaption = "New Flow Rates",
                                    .newFlow = Column::Left,
                                    .measuredCaption = "Measured Values from Problem 1",
                                    .calculatedCaption = "Calculated Values in Problem 1",
                                    .calculated = Column::Right,
                                    .airCaption = "Air Parameters",
                                    .airTitles = {"Outlet Air (1)", "Outlet Air (3)"},
                                    .airSuffixes = {" (1)", " (3)"},
                                    .air = Column::Left});
    return crossFlow;
}

} // namespace

FlowChangeWindow::FlowChangeWindow(Workspace& workspace, Arrangement arrangement)
    : ProblemWindow(workspace, arrangement, 3) {
    build(arrangement == Arrangement::CounterFlow ? counterFlowPlan() : crossFlowPlan());
    makeButtons();
    layOut();
}
