#include "ui/acceptancetestwindow.h"

#include "engine/keys.h"

namespace {

const char* const kTitle = "Problem 2: COMPARISON THE COOLING TOWER PERFORMANCE INDICATORS  WITH "
                           "DESIGN DATA (ACCEPTANCE TEST)";

// The name-plate frame: the same captions in both arrangements.
template <class Id> WindowPart namePlate() {
    return frame(Column::Left, "Name Plate Data",
                 {{Id::designWaterFlow, "Water mass flow rate, [kg/s]"},
                  {Id::designAirFlow, "Air mass flow rate, [kg/s]"},
                  {Id::designWaterIn, " Water temperature IN, [oC]"},
                  {Id::designWaterOut, "Water temperature OUT, [oC]"},
                  {Id::designWetBulb, "Ambient wet bulb temp. IN, [oC]"},
                  {Id::designDryBulb, "Ambient dry bulb temp. IN, [oC]"}});
}

template <class Id> WindowPart designHeat() {
    return frame(Column::Left, "To be Calculated",
                 {{Id::designHeat, "Design heat capacity, Qd [kW]"}});
}

template <class Id> WindowPart designInlet(Column column) {
    return frame(column, "Design Air and Water Inlet Data",
                 {{Id::designInletDryBulb, "Ambient dry bulb temperature IN, [oC]"},
                  {Id::designInletWetBulb, "Ambient wet bulb temp. IN, [oC]"},
                  {Id::designInletWaterIn, "Water temperature IN, [oC]"}});
}

const WindowPlan& counterFlowPlan() {
    using namespace engine::cf2;
    static const WindowPlan plan{
        kTitle,
        {
            heading(Column::Left, "COOLING TOWER SPECIFICATION"),
            namePlate<engine::cf2::Control>(),
            heading(Column::Left, "Cooling Tower Heat Capacity for Design Wet Bulb Temperature "
                                  "and Design Water Temperature In"),
            designHeat<engine::cf2::Control>(),
            heading(Column::Left, "DESIGN DATA USE FOR CALCULATION"),
            designInlet<engine::cf2::Control>(Column::Left),
            frame(Column::Right, "ACCEPTANCE TEST",
                  {{testWaterOut, "Water temperature OUT for NTU (2) = const., [oC]"},
                   {achievedHeat, " Heat capacity, Qa [kW]"},
                   {deviation, "( Qa - Qd ) / Qd * 100,  [%]"},
                   {ntu, "Number of transfer units - NTU (2), [kW/(kJ/kg)]"},
                   {coolingDegree, "Cooling degree [-]"},
                   {range, "Range  [oC]"},
                   {approach, "Approach, [oC]"}}),
            captionedPairTable(
                Column::Right, "AMBIENT AIR PARAMETERS", {"Inlet Air (2)", "Outlet Air (2)"},
                {{"tdb,in  [oC]", inletDryBulb, outletDryBulb, "tdb,out  [oC]"},
                 {"twb,in  [oC]", inletWetBulb, outletWetBulb, "twb,out  [oC]"},
                 {"h,in  [kJ/kg]", inletEnthalpy, outletEnthalpy, "h,out  [kJ/kg]"},
                 {"RH,in  [%]", inletRelativeHumidity, outletRelativeHumidity, "RH,out  [%]"},
                 {"x,in  [-]", inletHumidity, outletHumidity, "x,out  [-]"}}),
        }};
    return plan;
}

const WindowPlan& crossFlowPlan() {
    using namespace engine::xf2;
    static const WindowPlan plan{
        kTitle,
        {
            heading(Column::Left, "COOLING TOWER SPECIFICATION"),
            namePlate<engine::xf2::Control>(),
            hidden({waterFlow1, airFlow1, pressure1}),
            designHeat<engine::xf2::Control>(),
            heading(Column::Right, "DESIGN DATA USE FOR CALCULATION"),
            designInlet<engine::xf2::Control>(Column::Right),
            frame(Column::Right, "Acceptance Test",
                  {{testWaterOut, "Water temperature OUT for NTU (2) = const., [oC]"},
                   {achievedHeat, " Heat capacity, Qa [kW] "},
                   {deviation, "( Qa - Qd ) / Qd * 100,  [%]"},
                   {ntu, "Number of transfer units - NTU (2), [kW/(kJ/kg)]"},
                   {coolingDegree, "Cooling degree [-]"},
                   {range, "Range  [oC]"},
                   {approach, "Approach  [oC]"}}),
            captionedPairTable(
                Column::Beneath, "Air Parameters", {"Inlet Air (2)", "Outlet Air (2)"},
                {{" tdb,in  [oC]", inletDryBulb, outletDryBulb, "tdb,out  [oC]"},
                 {"twb,in  [oC]", inletWetBulb, outletWetBulb, "twb,out  [oC]"},
                 {"h,in  [kJ/kg]", inletEnthalpy, outletEnthalpy, "h,out  [kJ/kg]"},
                 {" RH,in  [%]", inletRelativeHumidity, outletRelativeHumidity, "RH,out  [%]"},
                 {"x,in  [-]", inletHumidity, outletHumidity, "x,out  [-]"}}),
        }};
    return plan;
}

} // namespace

AcceptanceTestWindow::AcceptanceTestWindow(Workspace& workspace, Arrangement arrangement)
    : ProblemWindow(workspace, arrangement, 2) {
    build(arrangement == Arrangement::CounterFlow ? counterFlowPlan() : crossFlowPlan());
    makeButtons();
    layOut();
}
