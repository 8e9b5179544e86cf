#include "ui/acceptancetestwindow.h"

#include "engine/keys.h"

namespace {

// What differs between the two arrangements' windows.
struct Differences {
    const char* heatHeading; // the heading over the design heat frame; none when null
    Column design;           // the column of the design data heading and its frame
    const char* acceptanceCaption;
    const char* achievedHeat;
    const char* approach;
    const char* airCaption;
    Column air;
    const char* inletDryBulb;
    const char* inletRelativeHumidity;
};

// The window of an arrangement, whose list is Id; hiddenIds are the copies it never shows.
template <class Id> WindowPlan plan(const Differences& d, std::vector<int> hiddenIds) {
    std::vector<WindowPart> parts{
        heading(Column::Left, "COOLING TOWER SPECIFICATION"),
        frame(Column::Left, "Name Plate Data",
              {{Id::designWaterFlow, "Water mass flow rate, [kg/s]"},
               {Id::designAirFlow, "Air mass flow rate, [kg/s]"},
               {Id::designWaterIn, " Water temperature IN, [oC]"},
               {Id::designWaterOut, "Water temperature OUT, [oC]"},
               {Id::designWetBulb, "Ambient wet bulb temp. IN, [oC]"},
               {Id::designDryBulb, "Ambient dry bulb temp. IN, [oC]"}}),
    };
    if (!hiddenIds.empty())
        parts.push_back(hidden(std::move(hiddenIds)));
    if (d.heatHeading)
        parts.push_back(heading(Column::Left, d.heatHeading));
    parts.push_back(frame(Column::Left, "To be Calculated",
                          {{Id::designHeat, "Design heat capacity, Qd [kW]"}}));
    parts.push_back(heading(d.design, "DESIGN DATA USE FOR CALCULATION"));
    parts.push_back(frame(d.design, "Design Air and Water Inlet Data",
                          {{Id::designInletDryBulb, "Ambient dry bulb temperature IN, [oC]"},
                           {Id::designInletWetBulb, "Ambient wet bulb temp. IN, [oC]"},
                           {Id::designInletWaterIn, "Water temperature IN, [oC]"}}));
    parts.push_back(frame(Column::Right, d.acceptanceCaption,
                          {{Id::testWaterOut, "Water temperature OUT for NTU (2) = const., [oC]"},
                           {Id::achievedHeat, d.achievedHeat},
                           {Id::deviation, "( Qa - Qd ) / Qd * 100,  [%]"},
                           {Id::ntu, "Number of transfer units - NTU (2), [kW/(kJ/kg)]"},
                           {Id::coolingDegree, "Cooling degree [-]"},
                           {Id::range, "Range  [oC]"},
                           {Id::approach, d.approach}}));
    parts.push_back(captionedPairTable(
        d.air, d.airCaption, {"Inlet Air (2)", "Outlet Air (2)"},
        {{d.inletDryBulb, Id::inletDryBulb, Id::outletDryBulb, "tdb,out  [oC]"},
         {"twb,in  [oC]", Id::inletWetBulb, Id::outletWetBulb, "twb,out  [oC]"},
         {"h,in  [kJ/kg]", Id::inletEnthalpy, Id::outletEnthalpy, "h,out  [kJ/kg]"},
         {d.inletRelativeHumidity, Id::inletRelativeHumidity, Id::outletRelativeHumidity,
          "RH,out  [%]"},
         {"x,in  [-]", Id::inletHumidity, Id::outletHumidity, "x,out  [-]"}}));
    return {"Problem 2: COMPARISON THE COOLING TOWER PERFORMANCE INDICATORS  WITH DESIGN DATA "
            "(ACCEPTANCE TEST)",
            std::move(parts)};
}

const WindowPlan& counterFlowPlan() {
    static const WindowPlan counterFlow = plan<engine::cf2::Control>(
        {.heatHeading = "Cooling Tower Heat Capacity for Design Wet Bulb Temperature and Design "
                        "Water Temperature In",
         .design = Column::Left,
         .acceptanceCaption = "ACCEPTANCE TEST",
         .achievedHeat = " Heat capacity, Qa [kW]",
         .approach = "Approach, [oC]",
         .airCaption = "AMBIENT AIR PARAMETERS",
         .air = Column::Right,
         .inletDryBulb = "tdb,in  [oC]",
         .inletRelativeHumidity = "RH,in  [%]"},
        {});
    return counterFlow;
}

const WindowPlan& crossFlowPlan() {
    using namespace engine::xf2;
    static const WindowPlan crossFlow = plan<Control>({.heatHeading = nullptr,
                                                       .design = Column::Right,
                                                       .acceptanceCaption = "Acceptance Test",
                                                       .achievedHeat = " Heat capacity, Qa [kW] ",
                                                       .approach = "Approach  [oC]",
                                                       .airCaption = "Air Parameters",
                                                       .air = Column::Beneath,
                                                       .inletDryBulb = " tdb,in  [oC]",
                                                       .inletRelativeHumidity = " RH,in  [%]"},
                                                      {waterFlow1, airFlow1, pressure1});
    return crossFlow;
}

} // namespace

AcceptanceTestWindow::AcceptanceTestWindow(Workspace& workspace, Arrangement arrangement)
    : ProblemWindow(workspace, arrangement, 2) {
    build(arrangement == Arrangement::CounterFlow ? counterFlowPlan() : crossFlowPlan());
    makeButtons();
    layOut();
}
