#include "ui/heatloadwindow.h"

#include "engine/keys.h"

namespace {

// The window of an arrangement, whose list is Id; the captions that differ are arguments.
template <class Id>
WindowPlan plan(const char* title, const char* transferredCaption,
                std::array<const char*, 2> airTitles, std::array<const char*, 2> airSuffixes,
                std::array<const char*, 4> airCaptions) {
    return {title,
            {
                frame(Column::Left, "INPUT DATA",
                      {{Id::heat, "Heat capacity (4), [kW]"},
                       {Id::waterIn, "Water temperature IN (4), [oC]"},
                       {Id::dryBulb, "Ambient dry bulb temp. IN (4), [oC]"},
                       {Id::wetBulb, "Ambient wet bulb temp. IN (4), [oC]"}}),
                frame(Column::Left, transferredCaption,
                      {{Id::ntu3, "Number of transfer units (3), [kW/(kJ/kg)]"},
                       {Id::waterFlow3, "Water mass flow rate (3), [kg/s]"},
                       {Id::flowRatio3, " L / G  (3), [-]"},
                       {Id::waterIn3, "Water temperature IN (3), [oC]"},
                       {Id::waterOut3, "Water temperature OUT (3), [oC]"},
                       {Id::heat3, "Heat capacity (3), [kW]"},
                       {Id::pressure1, "Ambient air pressure (3), [bar]"}}),
                frame(Column::Right, "PERFORMANCE INDICATORS",
                      {{Id::waterFlow, "Water mass flow rate (4), [kg/s]"},
                       {Id::airFlow, "Air mass flow rate (4), [kg/s]"},
                       {Id::flowRatio, "L / G, (4)  [-]"},
                       {Id::waterOut, " Water temperature OUT (4), [oC]"},
                       {Id::ntu, "Number of transfer units (4), [kW/(kJ/kg)]"},
                       {Id::coolingDegree, "Cooling degree [-]"},
                       {Id::range, "Range  [oC]"},
                       {Id::approach, "Approach [oC]"}}),
                pairTable(Column::Right, "AMBIENT AIR PARAMETERS", airTitles, airSuffixes,
                          {{"tdb  [oC]", Id::inletDryBulb, Id::outletDryBulb},
                           {airCaptions[0], Id::inletWetBulb, Id::outletWetBulb},
                           {airCaptions[1], Id::inletEnthalpy, Id::outletEnthalpy},
                           {airCaptions[2], Id::inletRelativeHumidity, Id::outletRelativeHumidity},
                           {airCaptions[3], Id::inletHumidity, Id::outletHumidity}}),
            }};
}

const WindowPlan& counterFlowPlan() {
    static const WindowPlan counterFlow = plan<engine::cf4::Control>(
        "Problem 4: CALCULATION OF WATER FLOW RATE FOR DESIRED HEAT CAPACITY AND ( L / G = "
        "const. )",
        "DATA TRANSFERRED FROM Problem 3", {"Inlet air (4)", "Outlet air (4)"},
        {" Inlet air (4)", " Outlet air (4)"}, {"twb  [oC]", "h [kJ/kg]", "RH [%]", "x [-]"});
    return counterFlow;
}

const WindowPlan& crossFlowPlan() {
    static const WindowPlan crossFlow = plan<engine::xf4::Control>(
        "Problem 4: CALCULATION OF WATER FLOW RATE FOR DESIRED HEAT CAPACITY AND (L/G = const.)",
        "Data Transfered from Problem 3", {"Inlet air(4)", "Outlet air(4)"},
        {" inlet air (4)", " outlet air (4)"}, {"twb  [oC] ", "h [kJ/kg] ", "RH [%] ", "x [-] "});
    return crossFlow;
}

} // namespace

HeatLoadWindow::HeatLoadWindow(Workspace& workspace, Arrangement arrangement)
    : ProblemWindow(workspace, arrangement, 4) {
    build(arrangement == Arrangement::CounterFlow ? counterFlowPlan() : crossFlowPlan());
    makeButtons();
    layOut();
}
