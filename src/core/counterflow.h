#pragma once
// The counter-flow fill: water falls through the fill while air rises against it. One
// forward sweep of 25 intervals from the bottom of the fill (air in, water out) to the top
// gives the number of transfer units (NTU, kW/(kJ/kg)) that a given water cooling needs,
// with the air enthalpy and dry bulb at the top. Problems 2 and 3 search the outlet water
// temperature at which the sweep needs a given NTU; Problem 4 searches the water flow that
// rejects a given heat at constant L/G.
//
// Units: temperatures degC, flows kg/s, pressure bar, enthalpy kJ/kg dry air, heat kW.
// Plain C++; every search has a named tolerance, a cap and a status.

namespace counterflow {

inline constexpr double kSpecificHeatWater = 4.19; // kJ/(kg K)
inline constexpr int kIntervals = 25;
// Tolerances on |NTU - target| of the outlet-temperature searches, kW/(kJ/kg).
inline constexpr double kAcceptanceNtuTolerance = 1e-6; // Problem 2
inline constexpr double kNewFlowNtuTolerance = 1e-5;    // Problems 3 and 4
// Problem 4: the largest water flow of the search is the one cooled by this range, K.
inline constexpr double kSmallestRange = 0.1;
// Guard on the passes of a bisection; a bracket of doubles stops shrinking long before.
inline constexpr int kMaxBisectionPasses = 200;

enum class Status {
    Ok,
    ZeroFlow,       // a water or air flow that is not positive
    NoDrivingForce, // saturated air at the water no hotter than the air (hs - h <= 0)
    NotConverged,   // a search met neither its tolerance nor a shrinking bracket
    InvalidBracket, // the search interval is empty (bounds equal or reversed)
    NonFinite,      // an intermediate value overflowed or was undefined
};

// The state at the bottom of the fill and what flows through it.
struct Fill {
    double waterOut = 0;      // water leaving at the bottom, degC
    double waterIn = 0;       // water entering at the top, degC
    double waterFlow = 0;     // L, kg/s
    double airFlow = 0;       // G, kg/s
    double pressure = 0;      // bar
    double airEnthalpyIn = 0; // air entering at the bottom, kJ/kg dry air
    double airTempIn = 0;     // dry bulb of the air entering at the bottom, degC
};

struct Integration {
    Status status = Status::Ok;
    double ntu = 0;            // kW/(kJ/kg)
    double airEnthalpyOut = 0; // air leaving at the top, kJ/kg dry air
    double airTempOut = 0;     // dry bulb of the air leaving at the top, degC
};

// A node of the integration, for diagrams: node 0 is the bottom of the fill (air in, water out),
// node kIntervals the top (air out, water in). saturatedEnthalpy is the saturated-air enthalpy
// at the mean water temperature of the interval that ends at the node (for node 0, of the
// interval that starts there).
struct FillNode {
    double waterTemp;         // degC
    double airEnthalpy;       // kJ/kg dry air
    double saturatedEnthalpy; // kJ/kg dry air
    double airDryBulb;        // degC
};

// The counter-flow integration over kIntervals equal water-temperature steps. In each
// interval the air enthalpy rises by the water's heat, dN = dT cpw L / (hs - h) with hs the
// saturated enthalpy at the interval's mean water temperature and h the air enthalpy at its
// upper node, and the air dry bulb follows G dta = dN (tw - ta) by the trapezoid rule.
// Equal inlet and outlet water temperatures need no transfer units (NTU 0, air unchanged).
// With nodes (kIntervals + 1 of them) the integration also writes every node; a failed
// integration leaves them partly written.
Integration integrate(const Fill& fill, FillNode* nodes = nullptr);

// Whether the air entering at the bottom of the fill is already at least as warm as saturated
// air at the outlet water temperature (its enthalpy not below the saturated enthalpy there):
// the water cannot be cooled to that temperature by this air, whatever the flows. When an
// integration finds no driving force and this is false, the air reaches saturation inside the
// fill instead: the water-to-air ratio L/G is too large for the cooling.
bool saturatedAtOutlet(const Fill& fill);

struct OutletSearch {
    Status status = Status::Ok;
    double waterOut = 0; // the outlet water temperature found, degC
    Integration fill;    // the integration of the last pass
    int passes = 0;
};

// The outlet water temperature, between lowest (the inlet wet bulb) and fill.waterIn, at which
// the integration needs targetNtu, by bisection until |NTU - targetNtu| < tolerance.
// fill.waterOut is ignored. A trial that meets no driving force needs more transfer units than
// any finite target and moves the search towards warmer water.
OutletSearch findOutletTemperature(Fill fill, double lowest, double targetNtu, double tolerance);

struct FlowSearch {
    Status status = Status::Ok;
    double waterFlow = 0; // L4, kg/s
    double airFlow = 0;   // G4 = L4 / (L/G), kg/s
    double ntu = 0;       // the NTU the tower offers at L4, kW/(kJ/kg)
    double waterOut = 0;  // t4 from the heat balance, degC
    Integration fill;     // the integration of the last pass
    int passes = 0;
};

// The tower of Problem 3 at a new duty: what it offers and what it is asked.
struct Duty {
    double heat = 0;          // Q4, kW
    double waterIn = 0;       // T4, degC
    double wetBulb = 0;       // twb4, degC
    double airTempIn = 0;     // tdb4, degC
    double airEnthalpyIn = 0; // kJ/kg dry air
    double pressure = 0;      // bar
};
struct Tower {
    double ntu = 0;       // NTU3, kW/(kJ/kg)
    double waterFlow = 0; // L3, kg/s
    double airFlow = 0;   // G3, kg/s
    double flowRatio = 0; // (L/G)3, held for every trial flow
};

// The water flow that rejects duty.heat: bisection between the flow cooled down to the wet
// bulb and the flow cooled by kSmallestRange, comparing the NTU the integration needs for the
// heat-balance outlet temperature with the NTU the tower offers at that flow, until they agree
// within kNewFlowNtuTolerance.
FlowSearch findWaterFlow(const Duty& duty, const Tower& tower);

} // namespace counterflow
