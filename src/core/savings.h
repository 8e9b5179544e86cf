#pragma once
// Water and fan energy: what the tower evaporates, the make-up water it needs, and the fan
// energy that other air flows, and a variable-speed drive, would save, on the tower's own
// measured characteristic KaV/L = C (L/G)^-n (capability.h).
//
// Evaporation, counter flow: Poppe's method (Poppe and Rogener 1991, in the counter-flow form
// of Kloppers and Kroger, Int. J. Heat Mass Transfer 48 (2005) 765-777): ordinary differential
// equations in the water temperature for the air's humidity, enthalpy and the Merkel number,
// with Bosnjakovic's Lewis factor, unsaturated and supersaturated air, and the local water
// flow reduced by what has evaporated. Cross flow: the cross-flow model's mixed outlet air.
// Make-up water by the salt balance; fan power by the fan law.
//
// Units: temperatures degC, flows kg/s, pressure bar, enthalpy kJ/kg dry air, humidity
// kg/kg dry air, power kW, energy kWh, water m3 (1000 kg/m3), time h.
//
// Plain C++ with no Qt.

#include "core/arrangement.h"
#include "core/capability.h"

#include <string>
#include <vector>

namespace savings {

inline constexpr double kSpecificHeatWater = 4.19; // kJ/(kg K)
inline constexpr double kWaterDensity = 1000;      // kg/m3
// Runge-Kutta steps start at this many and double until the Merkel number and the outlet
// humidity change by less than kPoppeTolerance, relative; at most kPoppeMaxSteps.
inline constexpr int kPoppeFirstSteps = 40;
inline constexpr int kPoppeMaxSteps = 40 * 1024;
inline constexpr double kPoppeTolerance = 1e-7;
// The fixed-point iteration on the outlet humidity: tolerance (relative) and cap.
inline constexpr double kOutletHumidityTolerance = 1e-12;
inline constexpr int kOutletHumidityMaxPasses = 200;
// The dry bulb of supersaturated air from its enthalpy and humidity: tolerance, K, and cap on
// the passes of the search (and on the steps that bracket it).
inline constexpr double kAirTemperatureTolerance = 1e-12;
inline constexpr int kAirTemperatureMaxPasses = 200;
// The drive's search for the air flow G*: on ln(L/G), to this tolerance (relative on L/G, and
// on the agreement of demand and characteristic), at most kDriveMaxPasses evaluations a row.
inline constexpr double kDriveRatioTolerance = 1e-9;
inline constexpr int kDriveMaxPasses = 100;
// Tables of more than kDriveInterpolationMinAirs distinct airs take G* from an interpolant over
// the air's enthalpy (see variableSpeedDrive): barycentric Chebyshev on ln G* through
// kDriveFirstNodes nodes, doubled (2N - 1) until every check against a row solved directly
// agrees to kDriveInterpolationTolerance on ln G* (relative on G*); at most kDriveMaxNodes.
inline constexpr int kDriveInterpolationMinAirs = 256;
inline constexpr int kDriveFirstNodes = 17;
inline constexpr int kDriveMaxNodes = 129;
inline constexpr double kDriveInterpolationTolerance = 1e-6;
// Rows whose enthalpy lies within this (relative, at least 1 kJ/kg) of the enthalpy where G*
// reaches G1, or whose interpolated G* lies within kDriveHalfSpeedBand (relative) of G1 / 2
// (where two-speed operation switches), are solved directly.
inline constexpr double kDriveFullSpeedBand = 1e-9;
inline constexpr double kDriveHalfSpeedBand = 10 * kDriveInterpolationTolerance;

enum class Status {
    Ok,
    InvalidInput, // not finite, flows not positive, Tout not below Tin, ...
    AirSaturates, // no driving force inside the fill (the denominator of the equations <= 0),
                  // or the drive's demand cannot be met at the air (cold water at the wet bulb)
    NotConverged, // steps or the fixed point reached their cap
    NonFinite,
    DriftTooLarge, // the drift alone removes more than E / (C - 1)
    NoFanPower,    // no measured fan power given
};

// The counter-flow fill of Problem 1 as measured.
struct PoppeInput {
    double waterFlow = 0;     // L, kg/s (entering at the top)
    double airFlow = 0;       // G, dry air, kg/s
    double waterIn = 0;       // degC
    double waterOut = 0;      // degC
    double pressure = 0;      // bar
    double airDryBulbIn = 0;  // degC
    double airHumidityIn = 0; // kg/kg (above saturation at the dry bulb: mist enters too)
    // Bosnjakovic's Lewis factor (true), or 1 (false: with evaporation off as well this
    // reduces to Merkel's integral).
    bool lewisFactor = true;
    // false: Merkel's simplification, the water flow stays L through the fill and the heat of
    // the evaporated water is left out of the balance; the energy balance is then
    // G (h,out - h,in) = cpw L (Tin - Tout), and `evaporation` only reports what the air took up.
    bool evaporation = true;
};

struct Poppe {
    Status status = Status::InvalidInput;
    double merkel = 0;           // Me by Poppe
    double evaporation = 0;      // E = G (w,out - w,in), kg/s
    double waterLeaving = 0;     // L - E, kg/s
    double airHumidityOut = 0;   // w,out, kg/kg
    double airEnthalpyOut = 0;   // kJ/kg dry air (with the mist, when supersaturated)
    double airTempOut = 0;       // degC
    bool supersaturated = false; // the air leaves supersaturated (fog)
    double mistOut = 0;          // w,out - ws(ta,out): the fog's liquid water, kg/kg dry air
    int steps = 0;               // Runge-Kutta steps of the converged integration
    double at = 0;               // AirSaturates: the water temperature, degC
};
// Poppe's equations in the water temperature Tw (Kloppers and Kroger 2005, eqns for the
// unsaturated and the supersaturated air), from the bottom (Tw = Tout, air in) to the top:
//     dw/dTw   = cpw (mw/ma) (wsw - w') / D
//     dMe/dTw  = cpw / D
//     D = isw - ima + (Lef - 1) (isw - ima - (wsw - w') iv) - (wsw - w) cpw Tw
// with w' = w for unsaturated air and w' = ws(ta) for supersaturated air, isw and wsw of
// saturated air at Tw, iv = 2500.84 + (1.856 + 0.0002 Tw) Tw the vapour's enthalpy at Tw,
// Lef = 0.865^0.667 (r - 1) / ln r with r = (wsw + 0.622) / (w' + 0.622) (Bosnjakovic),
// mw/ma = L/G - (w,out - w). The air enthalpy follows from d(ma ima) = cpw d(mw Tw) exactly:
//     ima = h,in + cpw ((L/G - (w,out - w)) Tw - (L/G - (w,out - w,in)) Tout),
// so that G (h,out - h,in) = cpw (L Tin - (L - E) Tout) holds to rounding. Fourth-order
// Runge-Kutta with kPoppeFirstSteps steps, doubled until Me and w,out change by less than
// kPoppeTolerance; w,out of each integration by fixed-point iteration.
Poppe poppeCounterFlow(const PoppeInput& in);

// The dry bulb (degC) of air with enthalpy h (kJ/kg dry air, the mist included) and humidity
// w (kg/kg, vapour and mist) at pressure p (bar): unsaturated air from the quadratic of
// psychro::Enthalpy, supersaturated air (w above ws(t)) from
//     h = Enthalpy(t, ws(t)) + (w - ws(t)) cpw t       (Kloppers and Kroger 2005)
// by a safeguarded search to kAirTemperatureTolerance. NaN when no such air exists.
double airTemperatureFromEnthalpy(double h, double w, double p);

// Evaporation from an outlet air state: G (x,out - x,in), kg/s.
inline double evaporationFromAir(double airFlow, double humidityIn, double humidityOut) {
    return airFlow * (humidityOut - humidityIn);
}

// The cross-flow model's mixed outlet air: the cell model on the finest grid of
// capability::crossFlowMerkel, at that grid's own Merkel number (so that the water leaves at
// Tout and the air takes up the test's heat), with the air dry bulb carried through the cells
// (capability::crossFlowOutletAir). Its humidity from the mean outlet enthalpy and dry bulb
// (psychro::humidityFromEnthalpy), capped at saturation at that dry bulb; evaporation
// G (x,out - x,in).
struct CrossFlowOutlet {
    Status status = Status::InvalidInput;
    double airEnthalpyOut = 0; // kJ/kg dry air
    double airTempOut = 0;     // degC
    double airHumidityIn = 0;  // kg/kg
    double airHumidityOut = 0; // kg/kg
    double evaporation = 0;    // kg/s
    // The humidity from the enthalpy and the dry bulb lay above saturation at the dry bulb
    // (the cell model's mixed air is not a state of moist air) and was capped there.
    bool cappedAtSaturation = false;
    double merkel = 0; // the converged Merkel number of the test point
    int grid = 0;      // the cells along each side of the grid the outlet air is from
    capability::Status cause = capability::Status::Ok; // a refusal's reason in the cell model
    double at = 0;                                     // AirSaturates: the water temperature, degC
};
CrossFlowOutlet crossFlowOutlet(const capability::TestPoint& test);

// Make-up water by the salt balance at cycles C and drift fraction d:
//     D = d L,  B = E / (C - 1) - D,  M = E + B + D = E C / (C - 1)   (d = driftPct / 100)
// (M computed as E C / (C - 1)). Refused with DriftTooLarge when B < 0, with
// highestCycles = 1 + E / D, the cycles at which E / (C - 1) = D.
struct WaterInput {
    double evaporation = 0; // E, kg/s
    double waterFlow = 0;   // L, kg/s (circulating)
    double driftPct = 0.02; // d, % of the circulating water
    double cycles = 4;      // C, cycles of concentration
    double hours = 8000;    // operating hours per year
    double waterPrice = -1; // per m3; < 0: not given
    double drainPrice = -1; // per m3 of blowdown; < 0: not given
};
struct Water {
    Status status = Status::InvalidInput;
    double drift = 0;    // D = d L, kg/s
    double blowdown = 0; // B = E / (C - 1) - D, kg/s
    double makeup = 0;   // M = E + B + D = E C / (C - 1), kg/s
    double makeupM3PerHour = 0;
    double makeupM3PerYear = 0;
    double blowdownM3PerYear = 0;
    double costPerYear = -1;  // M x price (+ B x drain price); < 0: no water price
    double highestCycles = 0; // DriftTooLarge: the cycles above which the drift alone is too much
};
Water makeupWater(const WaterInput& in);

// Fan power (kW) at air flow G (kg/s) by the fan law P = P1 (G / G1)^3, from the measured
// power P1 (kW) at the measured air flow G1 (kg/s, > 0). Affinity laws of fans at constant
// air density.
inline double fanPower(double measuredPower, double measuredAirFlow, double airFlow) {
    const double r = airFlow / measuredAirFlow;
    return measuredPower * r * r * r;
}

// One row of the ambient table: the air, and the hours per year at it.
struct Ambient {
    double wetBulb = 0;           // degC; used when relativeHumidity < 0
    double dryBulb = 0;           // degC
    double relativeHumidity = -1; // %; < 0: the row gives the wet bulb
    double hours = 0;
};

// A variable-speed drive on the measured tower: at each ambient row, the air flow G* at which
// the characteristic still cools Problem 1's water flow from its inlet to its outlet
// temperature; fan power P1 max(G*/G1, minimum speed)^3 / drive efficiency, full speed (and a
// warning) where even the full air flow is not enough. Two-speed operation runs at half speed
// (P1 / 8) whenever that meets the duty (G1 / 2 >= G*), else at full speed (P1).
//
// The references: full speed without a drive draws P1; with the drive, full speed draws
// P1 / efficiency (the drive's losses are paid at every speed). So G* = G1 saves nothing only
// with a lossless drive, and a drive that runs at full speed all year costs its losses.
//
// G*: the characteristic KaV/L = C (L/G)^-n through the test point (C = Me (L/G1)^n) meets
// the demand at the row's air: counter flow, Merkel's integral of the air line
// (capability::counterFlowMerkel); cross flow, the cell model on the test point's finest grid
// giving Tout. A safeguarded Illinois search on ln(L/G), started from the previous row's G*,
// to kDriveRatioTolerance.
//
// The demand depends on the air only through its enthalpy h (Merkel's integral takes nothing
// else; the cell model takes the wet bulb only as the lower end of each cell's bracket, which
// does not move a root inside it), so G*(h) is one smooth function, rising with h. Tables of
// many airs solve it once: the enthalpy hf where G* reaches G1 (rows above it are short) by
// an Illinois search on h, then nodes on [lowest h, min(highest h, hf)] at saturated air of
// each node's enthalpy, and checks at the rows nearest the midpoints between the nodes, each
// solved with its own air. Rows near hf or with G* near G1 / 2 are solved directly. A node or
// check that fails, or no agreement within kDriveMaxNodes, solves every air directly instead.
//
// A row whose search fails (an integral that cannot settle and whose lower bound does not
// decide, a cap reached) does not refuse the table: it runs at full speed, as a row that is
// short does (the figure that never overstates the saving), is marked `unsolved`, and its hours
// are counted in hoursUnsolved for a note.
struct DriveInput {
    Arrangement arrangement = Arrangement::CounterFlow;
    capability::TestPoint test; // Problem 1
    double exponent = capability::kDefaultExponent;
    double merkel = 0;             // Me at the test point (capability::evaluate)
    double measuredPower = 0;      // P1, kW (> 0)
    double driveEfficiency = 0.97; // (0, 1]
    double minimumSpeedPct = 20;   // [0, 100]
    double pricePerKWh = -1;       // < 0: not given
    // Cross flow: the cells along each side of the cell model's grid; 0: the finest grid of
    // capability::crossFlowMerkel at the test point.
    int gridCells = 0;
    // false: every air solved directly, however many.
    bool interpolate = true;
    std::vector<Ambient> ambient;
};
struct AmbientResult {
    // Ok, or ColdWaterAtWetBulb / AirSaturates: no air flow cools the water to Tout in this
    // air (the row runs at full speed and is fullSpeedShort); with `unsolved`, why the search
    // failed.
    capability::Status status = capability::Status::Ok;
    double airFlow = 0;          // G*, kg/s (G1 at full speed)
    double speed = 0;            // the fan's speed, fraction of full
    double power = 0;            // kW with the drive
    double twoSpeedPower = 0;    // kW
    bool fullSpeedShort = false; // even full air flow is not enough
    bool unsolved = false;       // G* not found (`status` says why): full speed
};
struct Drive {
    Status status = Status::InvalidInput;
    std::vector<AmbientResult> rows;
    double hours = 0;
    double kWhFullSpeed = 0;
    double kWhTwoSpeed = 0;
    double kWhDrive = 0;
    double kWhSavedAgainstFull = 0;
    double kWhSavedAgainstTwoSpeed = 0;
    // Money saved, when a price was given (`priced`); negative when the drive costs more (its
    // losses at full speed).
    bool priced = false;
    double moneySavedAgainstFull = -1;
    double moneySavedAgainstTwoSpeed = -1;
    double hoursShort = 0; // hours at which full speed is not enough
    // Rows whose G* was not found, run at full speed: their hours, count and the first (0-based).
    double hoursUnsolved = 0;
    int rowsUnsolved = 0;
    int firstUnsolvedRow = -1;
    // Of the first row: the figures the summary shows for a one-row table.
    double airFlow = 0;
    double power = 0;
    double coefficient = 0; // C of the characteristic
    int grid = 0;           // cross flow: the cells along each side of the grid used
    long evaluations = 0;   // of the demand: Merkel's integrals or cell-model sweeps
    // G* interpolated: the nodes, and the largest |difference| of ln G* from the rows solved
    // directly as checks (0 nodes: every air solved directly).
    int nodes = 0;
    double interpolationError = 0;
    // A refused table: the first row (0-based) whose air or hours are not valid; -1 when the
    // refusal is not a row's.
    int failedRow = -1;
};
Drive variableSpeedDrive(const DriveInput& in);

// One English sentence on a status, e.g. "The drift alone removes more water than the cycles
// of concentration allow."
std::string refusal(Status status);
// The sentence on a refused make-up water, with its figure: "Cycles above 3.5 cannot be reached
// with this drift."
std::string refusal(const Water& water);
// The sentence on a refused evaporation, with the water temperature where the air saturates.
std::string refusal(const Poppe& poppe);

} // namespace savings
