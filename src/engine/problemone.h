#pragma once
// What the two Problem 1 calculations (counter flow, cross flow) share: the same seven
// measured values in the same fields, checked alike, the same result labels, and a row of the
// result grid on each calculation. The controls have the same identifiers and indices in both
// Problems (cf1::waterFlow == xf1::waterFlow, ...).

#include "engine/resultblocks.h"
#include "engine/run.h"

#include <initializer_list>
#include <optional>

namespace engine::problemone {

struct Measured {
    double L;            // water mass flow rate, kg/s
    double G;            // air mass flow rate, kg/s
    double Tin;          // water temperature IN, degC
    double Tout;         // water temperature OUT, degC
    double p;            // ambient air pressure, bar
    double tdb;          // ambient dry bulb, degC
    double rh;           // ambient relative humidity, %
    Run::ShownAir inlet; // the inlet air as the moist-air calculator shows it
};
// "All fields require data", "Invalid entries, please enter numbers only", an outlet water
// temperature above the inlet (which empties the fields `cleared` and focuses the water
// temperature IN), flows that are not positive, and then the inlet air.
std::optional<Measured> readMeasured(Run& run, std::initializer_list<int> cleared);

struct Results {
    double ntu;  // kW/(kJ/kg)
    double heat; // heat capacity Q, kW
    Indicators indicators;
    Run::ShownAir inlet;
    double outletDryBulb;  // degC
    double outletEnthalpy; // kJ/kg
    Run::ShownAir outlet;
};

// Rewrites the seven fields in their patterns (the water flow in `waterFlowPattern`), writes
// the results (the NTU in `ntuPattern`), and appends the fields and indicators as shown to the
// grid.
void showResults(Run& run, const Measured& measured, const Results& found,
                 const char* waterFlowPattern, const char* ntuPattern);

// The completion message for the status line; when the outlet air shown is beyond saturation
// (cold humid inlet air), a note says so: the results stand, they are no fault.
QString completionStatus(const Run& run, const QString& text);

} // namespace engine::problemone
