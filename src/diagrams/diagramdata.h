#pragma once
// What the diagrams draw: plain data taken from a Problem's last successful CALCULATE (the
// integration's nodes, the cell sweep's cells, the texts the Problem window shows). The
// diagram widgets draw these and nothing else; the only values computed here are the
// saturation curve (from the moist-air functions) and the tower characteristic line through
// Problem 1's point. Plain C++, no Qt.
//
// A Problem whose results are out of date (an earlier Problem it builds on was calculated
// again since) is drawn as calculated, marked as out of date.
//
// Units: temperatures degC, enthalpy kJ/kg dry air, pressure bar, flows kg/s,
// NTU kW/(kJ/kg), NTU per water flow (kW/(kJ/kg)) / (kg/s).

#include "core/arrangement.h"
#include "core/capability.h"

#include <optional>
#include <string>
#include <vector>

namespace diagrams {

// One point of an enthalpy-temperature diagram.
struct EnthalpyPoint {
    double waterTemp = 0;   // degC
    double airEnthalpy = 0; // kJ/kg dry air
};

// The enthalpy-temperature (Merkel) diagram of a counter-flow fill.
struct MerkelDiagram {
    int problem = 1;
    std::string ntuText;  // the NTU as the Problem window shows it
    std::string heatText; // the heat capacity as the Problem window shows it, kW
    double pressure = 1;  // bar, for the saturation curve
    bool outOfDate = false;
    // The air's operating line: water temperature and air enthalpy at the integration's nodes,
    // from the air inlet at the bottom of the fill to the outlet at the top.
    std::vector<EnthalpyPoint> operatingLine;
};

// The values of one cross-flow fill cell.
struct FillCellValues {
    double waterTemp = 0;   // degC
    double airEnthalpy = 0; // kJ/kg dry air
    double airDryBulb = 0;  // degC
};

// The maps of a cross-flow fill: size x size cells, index row * size + column, row 0 at the
// top where the water enters, column 0 at the side where the air enters.
struct FillMaps {
    int problem = 1;
    std::string ntuText;
    std::string heatText;
    int size = 20;
    std::vector<FillCellValues> cells;
    bool outOfDate = false;

    const FillCellValues& cell(int row, int column) const {
        return cells[static_cast<std::size_t>(row * size + column)];
    }
};

// A point of the tower characteristic: NTU per unit water flow over L/G.
struct CharacteristicPoint {
    int problem = 1;
    double flowRatio = 0;   // L/G, -
    double ntuPerFlow = 0;  // NTU / L, (kW/(kJ/kg)) / (kg/s)
    bool outOfDate = false; // the Problem's results are out of date
};

// The tower characteristic NTU/L = C (L/G)^-n through Problem 1's point, with the points of the
// later Problems that have been calculated.
struct Characteristic {
    Arrangement arrangement = Arrangement::CounterFlow;
    double exponent = 0.72; // n
    CharacteristicPoint reference;
    std::vector<CharacteristicPoint> points; // Problems 2 to 4, those calculated
    int shownProblem = 2;                    // the Problem whose window is shown

    // NTU/L of the characteristic line at flow ratio L/G.
    double at(double flowRatio) const;
};

// The capability by the characteristic-curve method (core/capability.h): KaV/L over L/G on
// logarithmic axes, the design demand curve, the tower characteristic KaV/L = C (L/G)^-n through
// the test point, the test point, the design point (the demand at Ld/Gd) and where the two curves
// meet. Only positive, finite values are kept: a refused figure leaves its curve or point out,
// and `note` says why.
struct CapabilityDiagram {
    Arrangement arrangement = Arrangement::CounterFlow;
    double exponent = capability::kDefaultExponent; // n
    std::vector<capability::CurvePoint> demand;
    std::vector<capability::CurvePoint> characteristic;
    std::optional<capability::CurvePoint> test;         // L/G measured, Me
    std::optional<capability::CurvePoint> design;       // Ld/Gd, the demand there
    std::optional<capability::CurvePoint> intersection; // where characteristic and demand meet
    std::optional<double> capabilityPct;                // %
    bool outOfDate = false; // drawn from a Problem whose results are out of date
    std::string note;       // the first refused figure's reason; empty when all is drawn
};

// The diagram of a capability evaluated with exponent n (core/capability.h's evaluate).
CapabilityDiagram capabilityDiagram(const capability::Capability& capability, double exponent,
                                    bool outOfDate);

// Everything the Diagram window shows for one Problem.
struct ProblemDiagrams {
    Arrangement arrangement = Arrangement::CounterFlow;
    int problem = 1;
    bool outOfDate = false;                       // the Problem's results are out of date
    std::optional<MerkelDiagram> merkel;          // counter flow
    std::optional<FillMaps> maps;                 // cross flow
    std::optional<Characteristic> characteristic; // Problems 2 to 4
};

// The saturated-air enthalpy at `samples` (>= 2) equally spaced water temperatures from tLow to
// tHigh at pressure p (bar), from the program's moist-air functions. Empty when a value is not
// finite (the saturation pressure reaches the air pressure).
std::vector<EnthalpyPoint> saturationCurve(double tLow, double tHigh, double pressure, int samples);

// The point of a Problem whose NTU was found at water flow l and air flow g (kg/s): L/G and
// NTU/L. nullopt when a flow is not positive or a value not finite.
std::optional<CharacteristicPoint> characteristicPoint(int problem, double ntu, double l, double g);

} // namespace diagrams
