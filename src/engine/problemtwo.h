#pragma once
// What the two Problem 2 calculations (the acceptance test, counter and cross flow) share: the
// same six name-plate values under the same identifiers, checked alike, and shown alike. Id is
// the Problem's enumeration (cf2::Control or xf2::Control).

#include "engine/message.h"
#include "engine/run.h"

#include <optional>

namespace engine::problemtwo {

struct Design {
    double L;    // design water mass flow rate, kg/s
    double G;    // design air mass flow rate, kg/s
    double Tin;  // design water temperature IN, degC
    double Tout; // design water temperature OUT, degC
    double twb;  // design ambient wet bulb, degC
    double tdb;  // design ambient dry bulb, degC
};

// "All fields require data", "Invalid entries, please enter numbers only", then the two
// temperature-order checks, all in boxes with the application's title (the water check with
// no icon, the air check an "Error").
template <class Id> std::optional<Design> readDesign(Run& run) {
    if (!run.allFieldsFilled(applicationTitle(), MessageIcon::None))
        return std::nullopt;
    const auto values =
        run.fieldNumbers({Id::designWaterFlow, Id::designAirFlow, Id::designWaterIn,
                          Id::designWaterOut, Id::designWetBulb, Id::designDryBulb});
    if (!values)
        return std::nullopt;
    const auto [L, G, Tin, Tout, twb, tdb] = *values;
    if (!run.checkWaterTemperatures(Tin, Tout, applicationTitle(), MessageIcon::None,
                                    {Id::designWaterIn, Id::designWaterOut}, Id::designWaterIn))
        return std::nullopt;
    if (!run.checkAirTemperatures(twb, tdb, {Id::designWetBulb, Id::designDryBulb},
                                  Id::designWetBulb))
        return std::nullopt;
    return Design{L, G, Tin, Tout, twb, tdb};
}

// Rewrites the six fields in their patterns and shows the design state beside the results.
template <class Id> void showDesign(Run& run, const Design& design) {
    run.setField(Id::designWaterFlow, run.format(design.L, "###0.00"));
    run.setField(Id::designAirFlow, run.format(design.G, "###0.00"));
    run.setField(Id::designWaterIn, run.format(design.Tin, "##0.00"));
    run.setField(Id::designWaterOut, run.format(design.Tout, "##0.00"));
    run.setField(Id::designWetBulb, run.format(design.twb, "##0.00"));
    run.setField(Id::designDryBulb, run.format(design.tdb, "##0.00"));
    run.set(Id::designInletDryBulb, run.format(design.tdb, "##0.00"));
    run.set(Id::designInletWetBulb, run.format(design.twb, "##0.00"));
    run.set(Id::designInletWaterIn, run.format(design.Tin, "##0.00"));
}

} // namespace engine::problemtwo
