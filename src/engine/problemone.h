#pragma once
// What the two Problem 1 calculations (counter flow, cross flow) share: the same seven
// measured values in the same fields, checked alike, the same result labels by what they
// show, and a row of the result grid on each calculation. The seven fields have the same
// indices in both Problems (cf1::Text1 == xf1::Text1, ...).

#include "engine/run.h"

#include <initializer_list>
#include <optional>

namespace engine::problemone {

struct Measured {
    double L;    // water mass flow rate, kg/s
    double G;    // air mass flow rate, kg/s
    double Tin;  // water temperature IN, degC
    double Tout; // water temperature OUT, degC
    double p;    // ambient air pressure, bar
    double tdb;  // ambient dry bulb, degC
    double rh;   // ambient relative humidity, %
};
// "All fields require data", "Invalid entries, please enter numbers only", and an outlet water
// temperature above the inlet, which empties the fields `cleared` and focuses Text3.
std::optional<Measured> readMeasured(Run& run, std::initializer_list<int> cleared);

// The result labels of a Problem 1 window by what they show.
struct ResultLabels {
    int ntu, heat, coolingDegree, range, approach;
    int outletDryBulb, outletWetBulb, outletEnthalpy, outletRelativeHumidity, outletHumidity;
    int inletWetBulb, inletEnthalpy, inletHumidity;
};

struct Results {
    double ntu;           // kW/(kJ/kg)
    double heat;          // heat capacity Q, kW
    double coolingDegree; // -
    double range;         // K
    double approach;      // K
    Run::ShownAir inlet;
    double outletDryBulb;  // degC
    double outletEnthalpy; // kJ/kg
    Run::ShownAir outlet;
};

// Rewrites the seven fields in their patterns (the water flow in `waterFlowPattern`), writes
// the results (the NTU in `ntuPattern`), and writes the fields and indicators as shown into
// grid row nextRow, which then moves on.
void showResults(Run& run, const ResultLabels& labels, const Measured& measured,
                 const Results& found, const char* waterFlowPattern, const char* ntuPattern);

} // namespace engine::problemone
