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

enum class Status {
    Ok,
    InvalidInput,   // not finite, flows not positive, Tout not below Tin, ...
    AirSaturates,   // no driving force inside the fill (the denominator of the equations <= 0)
    NotConverged,   // steps or the fixed point reached their cap
    NonFinite,
    DriftTooLarge,  // the drift alone removes more than E / (C - 1)
    NoFanPower,     // no measured fan power given
};

// The counter-flow fill of Problem 1 as measured.
struct PoppeInput {
    double waterFlow = 0;     // L, kg/s (entering at the top)
    double airFlow = 0;       // G, dry air, kg/s
    double waterIn = 0;       // degC
    double waterOut = 0;      // degC
    double pressure = 0;      // bar
    double airDryBulbIn = 0;  // degC
    double airHumidityIn = 0; // kg/kg
    // Bosnjakovic's Lewis factor (true), or 1 (false: with evaporation off as well this
    // reduces to Merkel's integral).
    bool lewisFactor = true;
    bool evaporation = true; // false: the water flow stays L through the fill
};

struct Poppe {
    Status status = Status::InvalidInput;
    double merkel = 0;            // Me by Poppe
    double evaporation = 0;       // E = G (w,out - w,in), kg/s
    double waterLeaving = 0;      // L - E, kg/s
    double airHumidityOut = 0;    // w,out, kg/kg
    double airEnthalpyOut = 0;    // kJ/kg dry air (with the mist, when supersaturated)
    double airTempOut = 0;        // degC
    bool supersaturated = false;  // the air leaves supersaturated (fog)
    int steps = 0;                // Runge-Kutta steps of the converged integration
    double at = 0;                // AirSaturates: the water temperature, degC
};
Poppe poppeCounterFlow(const PoppeInput& in);

// Evaporation from an outlet air state: G (x,out - x,in), kg/s.
inline double evaporationFromAir(double airFlow, double humidityIn, double humidityOut) {
    return airFlow * (humidityOut - humidityIn);
}

// The cross-flow model's mixed outlet air (the cell model at the converged grid of
// capability::crossFlowMerkel, with the air dry bulb carried through the cells): its humidity
// from the mean outlet enthalpy and dry bulb.
struct CrossFlowOutlet {
    Status status = Status::InvalidInput;
    double airEnthalpyOut = 0; // kJ/kg dry air
    double airTempOut = 0;     // degC
    double airHumidityOut = 0; // kg/kg
    double evaporation = 0;    // kg/s
};
CrossFlowOutlet crossFlowOutlet(const capability::TestPoint& test);

// Make-up water by the salt balance.
struct WaterInput {
    double evaporation = 0;   // E, kg/s
    double waterFlow = 0;     // L, kg/s (circulating)
    double driftPct = 0.02;   // d, % of the circulating water
    double cycles = 4;        // C, cycles of concentration
    double hours = 8000;      // operating hours per year
    double waterPrice = -1;   // per m3; < 0: not given
    double drainPrice = -1;   // per m3 of blowdown; < 0: not given
};
struct Water {
    Status status = Status::InvalidInput;
    double drift = 0;         // D = d L, kg/s
    double blowdown = 0;      // B = E / (C - 1) - D, kg/s
    double makeup = 0;        // M = E + B + D = E C / (C - 1), kg/s
    double makeupM3PerHour = 0;
    double makeupM3PerYear = 0;
    double blowdownM3PerYear = 0;
    double costPerYear = -1;  // M x price (+ B x drain price); < 0: no price
    double highestCycles = 0; // DriftTooLarge: the cycles above which the drift alone is too much
};
Water makeupWater(const WaterInput& in);

// Fan power by the fan law P = P1 (G / G1)^3.
inline double fanPower(double measuredPower, double measuredAirFlow, double airFlow) {
    const double r = airFlow / measuredAirFlow;
    return measuredPower * r * r * r;
}

// One row of the ambient table: the air, and the hours per year at it.
struct Ambient {
    double wetBulb = 0;          // degC; used when relativeHumidity < 0
    double dryBulb = 0;          // degC
    double relativeHumidity = -1; // %; < 0: the row gives the wet bulb
    double hours = 0;
};

// A variable-speed drive on the measured tower: at each ambient row, the air flow G* at which
// the characteristic still cools Problem 1's water flow from its inlet to its outlet
// temperature; fan power P1 max(G*/G1, minimum speed)^3 / drive efficiency, full speed (and a
// warning) where even the full air flow is not enough. Two-speed operation runs at half speed
// whenever that meets the duty.
struct DriveInput {
    Arrangement arrangement = Arrangement::CounterFlow;
    capability::TestPoint test;     // Problem 1
    double exponent = capability::kDefaultExponent;
    double merkel = 0;              // Me at the test point (capability::evaluate)
    double measuredPower = 0;       // P1, kW (> 0)
    double driveEfficiency = 0.97;
    double minimumSpeedPct = 20;
    double pricePerKWh = -1;        // < 0: not given
    std::vector<Ambient> ambient;
};
struct AmbientResult {
    capability::Status status = capability::Status::Ok;
    double airFlow = 0;   // G*, kg/s (G1 at full speed)
    double speed = 0;     // the fan's speed, fraction of full
    double power = 0;     // kW with the drive
    double twoSpeedPower = 0; // kW
    bool fullSpeedShort = false; // even full air flow is not enough
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
    double moneySavedAgainstFull = -1; // < 0: no price
    double hoursShort = 0;             // hours at which full speed is not enough
    // Of the first row: the figures the summary shows for a one-row table.
    double airFlow = 0;
    double power = 0;
};
Drive variableSpeedDrive(const DriveInput& in);

std::string refusal(Status status);

} // namespace savings
