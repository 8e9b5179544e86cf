#pragma once
// The audit of one tower as a measurement model: from the seven measured inputs of Problem 1
// (with the name-plate data of Problem 2, the new flows of Problem 3 and the new duty of
// Problem 4, all taken as exact) to the results whose uncertainty the audit states. The same
// steps as the Problem windows take, on unrounded doubles through the numeric core: the
// windows pass rounded texts from one Problem to the next, but that rounding is no part of
// what the instruments measured.
//
// Plain C++ with no Qt. Units as in the windows: kg/s, degC, bar, %, kJ/kg, kW.

#include "core/arrangement.h"

#include <array>
#include <limits>
#include <string>

namespace uncertainty {

// The measured inputs of Problem 1, in the order of the windows' fields.
enum Input { WaterFlow, AirFlow, WaterIn, WaterOut, Pressure, DryBulb, RelativeHumidity };
inline constexpr int kInputCount = 7;
using Measured = std::array<double, kInputCount>;

// The results whose uncertainty is stated, Problem by Problem.
enum Result {
    Ntu,
    Heat,
    CoolingDegree,
    Range,
    Approach,
    OutletDryBulb,
    OutletWetBulb,
    OutletEnthalpy,
    OutletRelativeHumidity,
    OutletHumidity,
    InletWetBulb,
    InletEnthalpy,
    InletHumidity,
    HeatAchieved,    // Problem 2: Qa
    DesignDeviation, // Problem 2: (Qa - Qd) / Qd * 100
    NewNtu,          // Problem 3: NTU3
    NewWaterOut,     // Problem 3: outlet water temperature
    DutyWaterFlow,   // Problem 4: water flow L4
};
inline constexpr int kResultCount = 18;
using Results = std::array<double, kResultCount>;

struct ResultInfo {
    int problem;        // 1 to 4
    const char* column; // the report's name of the quantity (the batch tool's column)
    const char* label;  // the window's caption
    const char* unit;
};
const ResultInfo& resultInfo(int result);

struct InputInfo {
    const char* label;
    const char* unit;
};
const InputInfo& inputInfo(int input);

// Everything a chain needs besides the measurements; taken as exact.
struct Design {
    double waterFlow = 0, waterIn = 0, waterOut = 0, wetBulb = 0, dryBulb = 0; // Ld, Tin,d, ...
};
struct NewFlows {
    double waterFlow = 0, airFlow = 0; // L3, G3
};
struct Duty {
    double heat = 0, waterIn = 0, dryBulb = 0, wetBulb = 0; // Q4, T4, tdb4, twb4
};
struct Case {
    Measured measured{};
    Design design;
    NewFlows newFlows;
    Duty duty;
    int problems = 4; // Problems to evaluate: 1 to 4
};

// A chain's 19 inputs in the order of the Problem windows' entry fields (the report's and the
// batch tool's order): Problem 1's L, G, Tin, Tout, p, tdb, rh; Problem 2's Ld, Gd, Tin,d,
// Tout,d, twb,d, tdb,d; Problem 3's L3, G3; Problem 4's Q4, T4, tdb4, twb4. NaN stands for a
// value that is missing: the Problems from its own on are left out. (Gd takes no part.)
inline constexpr int kChainInputCount = 19;
Case caseFromInputs(const std::array<double, kChainInputCount>& v);

// The roots of a chain's searches, from which a nearby chain's searches start.
struct Roots {
    double ntu = 0;      // Problem 1's NTU (cross flow)
    double dutyFlow = 0; // Problem 4's water flow (cross flow)
    // The slopes of the searched balances there: of the mean outlet water temperature over the
    // NTU, K per kW/(kJ/kg), and of the heat rejected over the water flow, kW per kg/s; NaN
    // when unknown.
    double ntuSlope = std::numeric_limits<double>::quiet_NaN();
    double dutyFlowSlope = std::numeric_limits<double>::quiet_NaN();
};

struct Evaluation {
    int problemsDone = 0; // the Problems evaluated; the results of the others are NaN
    std::string failure;  // why the next Problem failed; empty when all asked for are done
    Results results{};
    Roots roots;
};

// One chain. When `near` is given, the cross-flow searches start from its roots (a chain with
// slightly different measurements finds the same roots faster); the results do not depend on
// it beyond the searches' tolerances.
Evaluation evaluate(Arrangement arrangement, const Case& c, const Roots* near = nullptr);

} // namespace uncertainty
