#pragma once
// The tower's capability by the characteristic-curve method of the acceptance-test codes:
// the Merkel number KaV/L of the fill at the test point, the tower characteristic
// KaV/L = C (L/G)^-n through it, the design demand curve KaV/L (L/G) at the name-plate
// temperatures, their intersection, and the capability: the water-to-air ratio the tested fill
// can cool at the design temperatures, in per cent of the design ratio.
//
// Counter flow: Merkel's integral
//     Me = integral from Tout to Tin of cpw dT / (hs(T) - ha(T)),
//     ha(T) = h,in + (L/G) cpw (T - Tout),
// with hs the enthalpy of saturated air at the water temperature (psychro.h), by adaptive
// Simpson to a relative tolerance of kMerkelTolerance. Cross flow: the cell model of the
// program's 20 x 20 sweep (Merkel's cell equations with the driving force averaged over the
// cell) on n x n grids refined from 20 until the Merkel number settles (see CrossFlowMerkel).
// The cell model is a box scheme of second order in the cell size: the order observed over
// three grids is 2.00 (1.9996 on the typical audit), and Richardson's extrapolation uses it.
//
// Every figure depends only on the measured values (and the name-plate data): the entering
// air's enthalpy is computed unrounded from the dry bulb, humidity and pressure. Every search
// has a tolerance, a cap and a status; a figure that cannot be finite is refused with a
// status, and the others stand.
//
// Units: temperatures degC, flows kg/s, pressure bar, enthalpy kJ/kg dry air, power kW,
// Merkel number dimensionless (kJ/kg / (kJ/kg)), ratios L/G dimensionless.
//
// Plain C++ with no Qt.

#include "core/arrangement.h"

#include <string>
#include <vector>

namespace capability {

inline constexpr double kSpecificHeatWater = 4.19; // kJ/(kg K)
// Relative tolerance of the adaptive Simpson integration of the counter-flow Merkel number.
inline constexpr double kMerkelTolerance = 1e-10;
// Cap on the integrand's evaluations of one adaptive integration.
inline constexpr int kMerkelMaxEvaluations = 200000;
// The cross-flow grids are refined (20, 40, 80, ...) until the Merkel number (extrapolated
// over the grids) changes by less than this, relative, from one grid to the next.
inline constexpr double kGridTolerance = 1e-4;
// The finest cross-flow grid tried: cells along each side.
inline constexpr int kMaxGridCells = 640;
// The characteristic's exponent n: the default (the exponent of the program's NTU scaling)
// and the range the engineer may give.
inline constexpr double kDefaultExponent = 0.72;
inline constexpr double kMinExponent = 0.35;
inline constexpr double kMaxExponent = 1.1;
// Relative tolerance on L/G of the intersection and the other searches on L/G, and on the
// cold water temperature, K.
inline constexpr double kRatioTolerance = 1e-10;
inline constexpr double kTemperatureTolerance = 1e-9;
inline constexpr int kMaxSearchPasses = 300;

enum class Status {
    Ok,
    InvalidInput,       // a value that is not finite, a flow or pressure not positive, n out of
                        // range, a design outlet not below the design inlet, ...
    AirSaturates,       // the air line reaches the saturation curve (no driving force) at
                        // `at` degC: the water-to-air ratio is too large for the cooling
    ColdWaterAtWetBulb, // the (design) cold water is not above the wet bulb
    NoIntersection,     // the characteristic does not meet the demand below the pinch
    NotConverged,       // an integration, a grid refinement or a search reached its cap
    NonFinite,          // an intermediate value overflowed
};

// A figure with the status of its computation; `value` is meaningful only when ok().
struct Figure {
    Status status = Status::InvalidInput;
    double value = 0;
    double at = 0; // AirSaturates: the water temperature where the air line meets saturation
    bool ok() const { return status == Status::Ok; }
};

// What was measured at the test (Problem 1's fields).
struct TestPoint {
    double waterFlow = 0;        // L, kg/s
    double airFlow = 0;          // G, kg/s
    double waterIn = 0;          // Tin, degC
    double waterOut = 0;         // Tout, degC
    double pressure = 0;         // p, bar
    double dryBulb = 0;          // tdb of the entering air, degC
    double relativeHumidity = 0; // rh of the entering air, %
};

// The name-plate data (Problem 2's fields). The design air flow Gd enters the capability.
struct DesignPoint {
    double waterFlow = 0; // Ld, kg/s
    double airFlow = 0;   // Gd, kg/s
    double waterIn = 0;   // Tin,d, degC
    double waterOut = 0;  // Tout,d, degC
    double wetBulb = 0;   // twb,d, degC
};

// What the engineer sets beside the measurements.
struct Settings {
    double exponent = kDefaultExponent; // n of KaV/L = C (L/G)^-n
    double testFanPower = 0;            // Pt, kW; 0: not given
    double designFanPower = 0;          // Pd, kW; 0: not given
    // Test conditions against design: the limits of the warnings.
    double waterFlowLimitPct = 10; // |L - Ld| / Ld, %
    double rangeLimitPct = 20;     // |R - Rd| / Rd, %
    double wetBulbLimitK = 6;      // |twb - twb,d|, K
};

// The air entering the fill, from the measured dry bulb, humidity and pressure, unrounded.
struct EnteringAir {
    bool ok = false;     // false: no such air state (the humidity or pressure is impossible)
    double humidity = 0; // x, kg/kg
    double enthalpy = 0; // h, kJ/kg dry air
    double wetBulb = 0;  // twb, degC
};
EnteringAir enteringAir(double pressure, double dryBulb, double relativeHumidity);

// --- Counter flow ---------------------------------------------------------------------------

// The counter-flow air line: water from waterOut (bottom) to waterIn (top), air entering at the
// bottom with enthalpy airEnthalpyIn, ratio L/G.
struct AirLine {
    double waterOut = 0;      // degC
    double waterIn = 0;       // degC
    double flowRatio = 0;     // L/G
    double airEnthalpyIn = 0; // kJ/kg dry air
    double pressure = 0;      // bar
};

struct Integral {
    Status status = Status::InvalidInput;
    double value = 0;        // the Merkel number
    int evaluations = 0;     // of the integrand
    double at = 0;           // AirSaturates: the water temperature, degC
    bool lowerBound = false; // value is only a lower bound (counterFlowMerkelAgainst)
    // Ok, but the relative tolerance was out of reach: the air line nearly touches saturation
    // and the rounding of the driving force there bounds the accuracy instead.
    bool roundingLimited = false;
};

// Merkel's integral by adaptive Simpson to the relative tolerance kMerkelTolerance, or, where
// the air line nearly touches saturation, to the rounding of the driving force (a difference
// of nearly equal enthalpies there; roundingLimited). Status NotConverged when
// kMerkelMaxEvaluations do not settle it (counterFlowMerkelLowerBound still bounds it then).
Integral counterFlowMerkel(const AirLine& line);
// A lower bound of Merkel's integral that needs no convergence: the driving force hs - ha is
// convex in T (hs is), so it lies below its chords between the nodes Tout + k (Tin - Tout) / 16
// and the point of nearest approach to saturation, and cpw / chord integrates in closed form,
// cpw dT ln(d1 / d2) / (d1 - d2) on each piece; the driving forces are raised by their
// rounding first. It grows without bound as the air line approaches saturation, like the
// integral. Status and `at` as counterFlowMerkel's when the line meets saturation.
Figure counterFlowMerkelLowerBound(const AirLine& line);
// Merkel's integral for a search that asks only on which side of `target` it lies: as
// counterFlowMerkel, except that an integration that did not settle is decided by the lower
// bound when that exceeds target (the demand is too high for target): status Ok, lowerBound
// set, `value` the bound.
Integral counterFlowMerkelAgainst(const AirLine& line, double target);
// The four-point Chebyshev rule of the CTI acceptance-test code:
// (R/4) sum cpw / (hs - ha) at Tout + 0.1 R, Tout + 0.4 R, Tin - 0.4 R, Tin - 0.1 R.
Integral chebyshevMerkel(const AirLine& line);
// The program's rule of the counter-flow integration over `intervals` equal steps: hs at the
// interval's mean water temperature, ha at its upper node; with 25 intervals, L times it is the
// NTU of the counter-flow Problems for the same air line.
Integral upperNodeMerkel(const AirLine& line, int intervals);
// The largest L/G at which the air line from airEnthalpyIn (entering at waterOut) stays below
// the saturation curve up to waterIn (flowRatio is ignored): the pinch. Status
// ColdWaterAtWetBulb when the entering air is already saturated at waterOut.
Figure pinchRatio(const AirLine& line);

// --- Cross flow -----------------------------------------------------------------------------

// The Merkel number of the cross-flow cell model on one n x n grid: the NTU / L at which the
// mean outlet water temperature equals waterOut, solved to kTemperatureTolerance.
struct CrossFlowFill {
    double waterIn = 0;       // degC
    double flowRatio = 0;     // L/G
    double airEnthalpyIn = 0; // kJ/kg dry air
    double airWetBulbIn = 0;  // degC: the lower end of every cell's bracket
    double pressure = 0;      // bar
};
// The mean outlet water temperature of the n x n cell model for a Merkel number.
Figure crossFlowWaterOut(const CrossFlowFill& fill, double merkel, int cells);
// The mixed air leaving the n x n cell model for a Merkel number: the plain means over the rows
// of the enthalpy (kJ/kg dry air) and dry bulb (degC) of the air leaving the last column, with
// the air entering at airDryBulbIn (degC) and its dry bulb carried through the cells by
// crossflow.h's rule taout = (ta - k (ta - Two - Tw)) / (1 + k), k = Me (L/G) / (2 n).
struct CrossFlowAir {
    Status status = Status::InvalidInput;
    double waterOut = 0;       // mean outlet water, degC (as crossFlowWaterOut)
    double airEnthalpyOut = 0; // kJ/kg dry air
    double airDryBulbOut = 0;  // degC
    double at = 0;             // AirSaturates: the water temperature, degC
};
CrossFlowAir crossFlowOutletAir(const CrossFlowFill& fill, double airDryBulbIn, double merkel,
                                int cells);
// The Merkel number on an n x n grid at which the mean outlet water temperature is waterOut.
Figure crossFlowMerkelOnGrid(const CrossFlowFill& fill, double waterOut, int cells);

struct CrossFlowMerkel {
    Status status = Status::InvalidInput;
    double value = 0;           // the converged (extrapolated) Merkel number
    double onPartGrid = 0;      // the Merkel number on the program's 20 x 20 grid
    int finestGrid = 0;         // cells along each side of the finest grid used
    double order = 0;           // the order of convergence observed over the last three grids (the
                                // theoretical 2 when it is erratic: more than 0.5 away from it)
    std::vector<int> grids;     // the grids used, 20, 40, ...
    std::vector<double> values; // the Merkel number on each
    double at = 0;              // AirSaturates: as Figure::at
};
// Grids refined from 20 x 20 by doubling until the Richardson extrapolation over the last two
// changes by less than kGridTolerance, relative; at most kMaxGridCells.
CrossFlowMerkel crossFlowMerkel(const CrossFlowFill& fill, double waterOut);

// --- The capability -------------------------------------------------------------------------

// One point of the demand curve or the characteristic, for the diagram.
struct CurvePoint {
    double flowRatio; // L/G
    double merkel;    // KaV/L
};

struct Capability {
    Arrangement arrangement = Arrangement::CounterFlow;
    EnteringAir air;                 // the measured entering air
    double testRatio = 0;            // L/G measured
    double designRatio = 0;          // Ld/Gd
    Figure merkel;                   // Me at the test point, converged
    Figure merkelChebyshev;          // counter flow only (InvalidInput for cross flow)
    Figure partNtuPerFlow;           // the program's NTU / L for the same point (25 intervals,
                                     // or the 20 x 20 grid)
    Figure excessPct;                // (partNtuPerFlow / merkel - 1) x 100
    Figure coefficient;              // C of KaV/L = C (L/G)^-n
    Figure pinch;                    // the design air line's largest L/G (pinchRatio); for
                                     // cross flow an upper bound of the demand curve's L/G,
                                     // which rises without bound before it
    Figure intersectionRatio;        // (L/G) where characteristic and demand meet
    Figure capabilityPct;            // intersection / (Ld/Gd) x 100
    Figure capabilityMeasuredAirPct; // intersection G (Pd/Pt)^(1/3) / Ld x 100
    Figure coldWater;                // outlet water at Tin,d, twb,d and Ld/Gd, degC
    Figure demandAtDesign;           // the demand's KaV/L at Ld/Gd
    // Cross flow: the grids of the refinement and the order found.
    std::vector<int> grids;
    std::vector<double> gridValues;
    double order = 0;
    // The test against the design, as warnings (the measured wet bulb from the entering air).
    bool waterFlowOutside = false;
    bool rangeOutside = false;
    bool wetBulbOutside = false;
    double waterFlowDeviationPct = 0; // (L - Ld) / Ld x 100
    double rangeDeviationPct = 0;     // (R - Rd) / Rd x 100
    double wetBulbDifference = 0;     // twb - twb,d, K
    // The curves for the diagram: the demand from low L/G up towards the pinch, and the
    // characteristic over the same span (empty when the design point is refused).
    std::vector<CurvePoint> demand;
    std::vector<CurvePoint> characteristic;
};

// Everything at once. With `design` null only the test-point figures (the Merkel numbers, the
// excess and C) are computed and the rest is InvalidInput. `curves` false skips the diagram's
// curves (the uncertainty's perturbed evaluations need only the figures). For cross flow,
// `gridCells`, when positive, fixes the finest grid instead of refining: the Merkel number is
// solved on gridCells / 4, gridCells / 2 and gridCells cells, the order observed over the three
// and the extrapolation taken over the last two, exactly as the refinement does when it ends
// on that grid; the perturbed evaluations of an uncertainty analysis pass the nominal one's
// finest grid (grids.back()). The 20 x 20 figure (partNtuPerFlow) is solved as well when the
// grids do not include it.
Capability evaluate(Arrangement arrangement, const TestPoint& test, const DesignPoint* design,
                    const Settings& settings, bool curves = true, int gridCells = 0);

// A one-sentence English reason for a refused figure, e.g. "The air line reaches saturation
// at 31.2 oC." (the temperature from `figure.at`, one decimal).
std::string refusal(const Figure& figure);

} // namespace capability
