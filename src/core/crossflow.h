#pragma once
// The cross-flow numeric core: the cell sweep over the 20 x 20 grid of fill cells, the NTU
// search of Problem 1 and the water-flow search of Problem 4. Plain C++ with no Qt and no
// allocation; the cross-flow Problems turn a Status into their message.
//
// The fill is a grid of kCells x kCells cells. Index j (1..20) runs along the air path, index
// i (1..20) along the water path. Each column j carries the water flow L / 20 downwards, each
// row i the air flow G / 20 across. A cell's outlet water temperature is found by bisection on
// its heat balance (water heat = air heat); the air leaves the cell with the enthalpy that
// the cell's mean enthalpy driving force gives.
//
// The cell equations are Merkel's (Lewis number 1, the water film saturated at the water
// temperature), with the driving force averaged over the cell's inlet and outlet. They hold
// while a cell's transfer units stay below twice its air flow (NTU < 40 G with G in kg/s):
// beyond that the averaged cell lets the air leave above saturation, and a later cell reports
// CellAboveSaturation. Water cooled to about 0 degC can do the same, since the saturation
// pressure steps down there from the fit over water to the fit over ice.
//
// Units throughout: temperatures in degC, pressure in bar (absolute), mass flow rates in kg/s,
// enthalpy in kJ per kg dry air, heat in kW, NTU in kW/(kJ/kg).

#include "core/ntuscaling.h"

#include <array>

namespace crossflow {

// Specific heat of water, kJ/(kg K).
inline constexpr double kSpecificHeatWater = 4.19;
// Cells along each side of the fill grid (air path and water path).
inline constexpr int kCells = 20;
// A cell's bisection stops when water heat and air heat differ by less than this, kW.
inline constexpr double kCellTolerance = 1e-5;
// Guard on the passes of one cell's bisection. A solvable cell needs about 25 passes; after
// about 60 the bracket is down to adjacent doubles and the midpoint stops moving, so a cell
// that reaches the guard has no root in its bracket.
inline constexpr int kCellMaxPasses = 200;
// Coarse phase of the NTU search: trials NTU = 0, 5, 10, ..., 495, kW/(kJ/kg).
inline constexpr double kCoarseStep = 5;
inline constexpr int kCoarseTrials = 100;
// The NTU refinement stops when the mean outlet water temperature is this close to the
// measured one, K.
inline constexpr double kOutletTolerance = 0.01;
// Guard on the passes of the NTU refinement (about 15 are needed on a bracket 5 wide).
inline constexpr int kRefineMaxPasses = 100;
// The water-flow search stops when the heat rejected is this close to the desired heat, kW.
inline constexpr double kHeatTolerance = 0.001;
// Accepted heat error, kW, when the water-flow bisection can no longer shrink its bracket
// before meeting kHeatTolerance. A sweep's heat is the sum of 400 cell heats, each balanced
// only to kCellTolerance, so the heat of neighbouring flow rates can jump by up to
// 400 x 1e-5 kW; closer than that no flow rate can be told apart from its neighbours.
inline constexpr double kHeatAcceptBound = kCells * kCells * kCellTolerance;
// Guard on the passes of the water-flow search (its bracket reaches adjacent doubles after
// about 60 passes, where the search stops anyway).
inline constexpr int kFlowMaxPasses = 100;
// Smallest cooling range of the water-flow search, K: its upper flow bound is
// Q4 / (4.19 x 0.1).
inline constexpr double kSmallestRange = 0.1;
// Exponent of the flow-rate ratio in the NTU scaling law (shared with the counter flow).
using ntuscaling::kFlowExponent;

enum class Status {
    Ok,
    InvalidInput,            // an input is not finite, the NTU is negative or the pressure is
                             // not positive
    NonPositiveFlow,         // a water or air mass flow rate is zero or negative
    NonPositiveHeat,         // the desired heat capacity is zero or negative
    WaterNotAboveWetBulb,    // inlet water temperature not above the cell bracket's lower bound
                             // (the inlet wet bulb): nothing to cool, and a divisor is zero
    OutletAboveInlet,        // measured outlet water temperature above the inlet temperature
    SaturationAbovePressure, // the saturation pressure at the inlet water temperature reaches
                             // the air pressure: saturated air is not defined there
    CellAboveSaturation,     // a cell has no root: the air enters above the saturated enthalpy
                             // at the water temperature, so the water would have to warm up
    CellBelowBracket,        // a cell has no root: the water would have to cool below the
                             // bracket's lower bound (the inlet wet bulb)
    NonFinite,               // an intermediate value came out as NaN or infinity
    OutletNotReached,        // no trial NTU up to 495 cools the water below the measured outlet
                             // temperature (e.g. that temperature is not above the wet bulb)
    RefinementNoConvergence, // the NTU refinement stalled or reached its guard before the mean
                             // outlet temperature came within 0.01 K of the measured one
    HeatNotReachable,        // even the largest flow of the search (cooled by 0.1 K) rejects
                             // less than the desired heat
    FlowNoConvergence,       // the water-flow search stalled or reached its guard with a heat
                             // error above kHeatAcceptBound
};

// A one-line English description of a status, for logs and messages.
const char* statusText(Status status);

// A cell of the sweep, for diagrams: the water, air enthalpy and air dry bulb leaving it.
// Cells are stored row by row, index row * kCells + column: row 0 at the top, where the water
// enters, column 0 at the side where the air enters.
struct FillCell {
    double waterTemp;   // degC
    double airEnthalpy; // kJ/kg dry air
    double airDryBulb;  // degC (the inlet dry bulb without airTemperatures)
};

// One cross-flow cell sweep. Field by field:
struct SweepInput {
    double ntu = 0;               // trial number of transfer units, kW/(kJ/kg), >= 0
    double waterFlow = 0;         // L, water mass flow rate, kg/s, > 0
    double airFlow = 0;           // G, air mass flow rate (dry air), kg/s, > 0
    double waterIn = 0;           // Tin, water temperature entering every column, degC
    double airEnthalpyIn = 0;     // h,in, enthalpy of the air entering every row, kJ/kg dry air
    double airDryBulbIn = 0;      // tdb,in, dry bulb of the air entering every row, degC
    double pressure = 0;          // p, air pressure, bar, > 0
    double bracketLow = 0;        // lower end of every cell's bisection bracket, degC: the inlet
                                  // wet bulb (Problems 1, 3, 4) or 0 (Problem 2); < waterIn
    bool airTemperatures = false; // also carry the air dry bulb through the cells
    FillCell* cells = nullptr;    // when given, kCells * kCells cells written as solved
};

struct SweepResult {
    Status status = Status::Ok;
    // Mean outlet water temperature Tm, degC: plain mean over the columns of the water
    // leaving the last row.
    double waterOutMean = 0;
    // Mean enthalpy (kJ/kg dry air) and dry bulb (degC) of the air leaving the last column,
    // plain means over the rows. Without airTemperatures the dry bulb is the inlet dry bulb.
    double airEnthalpyOutMean = 0;
    double airDryBulbOutMean = 0;
    std::array<double, kCells> waterOut{};       // water leaving column j = index + 1, degC
    std::array<double, kCells> airEnthalpyOut{}; // air leaving row i = index + 1, kJ/kg
    std::array<double, kCells> airDryBulbOut{};  // air leaving row i = index + 1, degC
    long cellPasses = 0;                         // bisection passes over all cells solved
    int maxCellPasses = 0;                       // most passes one cell needed
    // The cell (j along the air path, i along the water path, both 1-based) whose balance has
    // no root (CellAboveSaturation, CellBelowBracket) or gave a non-finite value (NonFinite);
    // 0 otherwise.
    int failedColumn = 0;
    int failedRow = 0;
};

// Solves the 400 cells in the order i = 1..20 (water path, outer), j = 1..20 (air path,
// inner). Per cell (j, i), with Lc = L/20, Gc = G/20, dNc = NTU/400 and the bracket
// [bracketLow, Tw], bisection on the outlet water temperature Two until
// |Qw - Qa| < kCellTolerance, where
//     Qw   = (Tw - Two) 4.19 Lc                               water heat, kW
//     hs1  = saturated enthalpy at Tw, hs2 = at Two, pressure p
//     hout = (Gc h + dNc (hs1 + hs2 - h) / 2) / (Gc + dNc / 2)  air leaving, kJ/kg
//     Qa   = (hout - h) Gc                                      air heat, kW
//     taout = (ta - k (ta - Two - Tw)) / (1 + k), k = dNc / (2 Gc)   (airTemperatures only)
// and Qw > Qa raises the lower end, otherwise lowers the upper end. The cell's Two enters the
// cell below it, its hout and taout the cell beside it. Status Ok: all results finite, every
// cell's Two within [bracketLow, Tw]; otherwise the status names the first failure and the
// result's values are not to be used.
SweepResult sweep(const SweepInput& in);

// The same sweep with every pass of every cell's bisection evaluated. sweep() follows the same
// bisections with far fewer evaluations and gives the same result to the last bit; this one is
// the plain definition it is checked against.
SweepResult sweepPassByPass(const SweepInput& in);

// The input of a sweep that also carries the air dry bulb through the cells, as the sweep at a
// Problem's result does; `cells`, when given, receives them.
inline SweepInput sweepWithAirTemperatures(double ntu, double waterFlow, double airFlow,
                                           double waterIn, double airEnthalpyIn,
                                           double airDryBulbIn, double pressure, double bracketLow,
                                           FillCell* cells = nullptr) {
    return {ntu,          waterFlow, airFlow,    waterIn, airEnthalpyIn,
            airDryBulbIn, pressure,  bracketLow, true,    cells};
}

// The NTU search of Problem 1.
struct NtuSearchInput {
    double waterFlow = 0;     // L, kg/s, > 0
    double airFlow = 0;       // G, kg/s, > 0
    double waterIn = 0;       // Tin, measured inlet water temperature, degC
    double waterOut = 0;      // Tout, measured outlet water temperature, degC, <= Tin
    double airEnthalpyIn = 0; // h,in, kJ/kg dry air
    double airDryBulbIn = 0;  // tdb,in, degC
    double airWetBulbIn = 0;  // twb,in, degC: the cells' bracket lower bound, < Tin
    double pressure = 0;      // p, bar
};

struct NtuResult {
    Status status = Status::Ok;
    // NTU found, kW/(kJ/kg): the last midpoint of the refinement. When a sweep fails, the trial
    // NTU of that sweep.
    double ntu = 0;
    // The last sweep (with air temperatures when the refinement ran): its waterOutMean is
    // within kOutletTolerance of Tout, its air means are the outlet air.
    SweepResult sweep;
    int coarseTrials = 0;     // sweeps of the coarse phase
    int refinementPasses = 0; // sweeps of the refinement
    long cellPasses = 0;      // cell bisection passes over all sweeps
};

// Coarse phase: NTU = 0, 5, 10, ... (at most kCoarseTrials trials, without air temperatures)
// until the first trial whose Tm is below Tout. Refinement: bisection on NTU between the
// previous trial (0 for the first) and that trial, with air temperatures: Tm < Tout lowers the
// upper end, otherwise the lower end rises; until |Tm - Tout| < kOutletTolerance.
// Tin equal to Tout gives NTU 0 (the first trial is already just below Tin).
NtuResult searchNtu(const NtuSearchInput& in);

// The water-flow search of Problem 4.
struct FlowSearchInput {
    double heat = 0;          // Q4, desired heat capacity, kW, > 0
    double waterIn = 0;       // T4, inlet water temperature, degC
    double airEnthalpyIn = 0; // h,in of the new ambient air, kJ/kg dry air
    double airDryBulbIn = 0;  // tdb4, degC
    double airWetBulbIn = 0;  // twb4, degC: the cells' bracket lower bound, < T4
    double pressure = 0;      // p, bar
    double ntu3 = 0;          // NTU3 of Problem 3, kW/(kJ/kg), >= 0
    double waterFlow3 = 0;    // L3, kg/s, > 0
    double airFlow3 = 0;      // G3, kg/s, > 0
    // Stopping tolerance on |Q4 - Q|, kW; kHeatTolerance unless a test asks for another.
    double heatTolerance = kHeatTolerance;
};

struct FlowResult {
    Status status = Status::Ok;
    double waterFlow = 0; // L4, kg/s
    double airFlow = 0;   // G4 = L4 / (L3/G3), kg/s
    double ntu = 0;       // NTU4 at L4, kW/(kJ/kg)
    double waterOut = 0;  // t4, mean outlet water temperature (unrounded), degC
    double heat = 0;      // Q = (T4 - t4) L4 4.19 of the last pass, kW
    // True when |Q4 - Q| < heatTolerance; false when the bracket stopped shrinking first and
    // the search accepted |Q4 - Q| <= kHeatAcceptBound.
    bool metTolerance = false;
    SweepResult sweep;   // the last pass's sweep: outlet air in airEnthalpyOutMean and
                         // airDryBulbOutMean
    int passes = 0;      // sweeps run
    long cellPasses = 0; // cell bisection passes over all sweeps
};

// Bisection on the water flow between Llo = Q4 / (4.19 (T4 - twb4)) and
// Lhi = Q4 / (4.19 x 0.1). Each pass: L = (Llo + Lhi) / 2, G = L / (L3/G3),
// NTU4 = NTU3 (L / L3) ((L3 / L)(G / G3))^0.72, one sweep with air temperatures (bracket
// lower bound twb4), Q = (T4 - t) L 4.19; Q > Q4 lowers Lhi, otherwise Llo rises; until
// |Q4 - Q| < heatTolerance. When the midpoint stops moving (or after kFlowMaxPasses) the last
// pass is accepted if |Q4 - Q| <= kHeatAcceptBound; otherwise HeatNotReachable (the upper
// bound never moved: the tower cannot cool even the largest flow by 0.1 K) or
// FlowNoConvergence. When T4 - twb4 <= 0.1 K the bracket is empty: HeatNotReachable.
FlowResult searchWaterFlow(const FlowSearchInput& in);

} // namespace crossflow
