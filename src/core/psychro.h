#pragma once
// Moist-air properties: saturation vapour pressure, absolute humidity and enthalpy of moist
// air, and the complete state of a sample (wet bulb, humidity, enthalpy, relative humidity)
// from pressure, dry bulb and one further property.
//
// Units throughout: temperatures in degC, pressures in bar (absolute), relative humidity in
// per cent (100 = saturated), absolute humidity x in kg water vapour per kg dry air, enthalpy
// h in kJ per kg dry air (zero for dry air at 0 degC).
//
// Plain arithmetic without allocation: the cooling-tower integrations call these functions
// in their innermost loops.

namespace psychro {

// Ratio of the molar masses of water vapour and dry air.
inline constexpr double kMolarMassRatio = 0.62198;

// Coefficients of the moist-air enthalpy h = (a0 + a1 t) t + x (r0 + (b0 + b1 t) t):
// a dry-air part with a temperature-dependent specific heat, the latent heat of evaporation
// at 0 degC, and the vapour's sensible heat. Enthalpy() and its inverse share them.
inline constexpr double kDryAirCp0 = 1.0029;    // kJ/(kg K)
inline constexpr double kDryAirCp1 = 5.4e-5;    // kJ/(kg K^2)
inline constexpr double kLatentHeat0 = 2500.84; // kJ/kg
inline constexpr double kVapourCp0 = 1.856;     // kJ/(kg K)
inline constexpr double kVapourCp1 = 0.0002;    // kJ/(kg K^2)

// Saturation pressure of water vapour, bar, at temperature t (degC): over ice below 0 degC,
// over liquid water from 0 degC up. Sixth-order fits of ln(ps); the water fit gives
// 0.0061080 bar at 0 degC and about 15.55 bar at 200 degC, the ice fit 0.0010308 bar at
// -20 degC and 0.0060897 bar just below 0 degC (the step at 0 degC is part of the fits).
// Very low temperatures underflow to 0, a valid result.
double pvsateis(double t);

// Absolute humidity x (kg/kg) of air at temperature t (degC), relative humidity rh (%) and
// total pressure p (bar): x = 0.62198 phi ps / (p - phi ps), with phi = rh / 100 and
// ps = pvsateis(t). Meaningless (negative or infinite) when phi ps >= p.
double AbsoluteHumidity(double t, double rh, double p);

// Specific enthalpy h (kJ per kg dry air) of air at temperature t (degC) with absolute
// humidity x (kg/kg). Linear in x at fixed t.
double Enthalpy(double t, double x);

// The inverse of Enthalpy() at fixed t: the absolute humidity (kg/kg) of air at t with
// enthalpy h (kJ/kg dry air). Negative when h is below the enthalpy of dry air at t.
double humidityFromEnthalpy(double t, double h);

// Enthalpy (kJ/kg dry air) of saturated air (rh = 100 %) at temperature t and pressure p.
inline double saturatedEnthalpy(double t, double p) {
    return Enthalpy(t, AbsoluteHumidity(t, 100, p));
}

// Enthalpy of saturated air with its first two derivatives with respect to temperature.
struct SaturatedEnthalpy {
    double vapourPressure; // ps, bar, equal to pvsateis(t)
    double enthalpy;       // kJ/kg dry air, equal to saturatedEnthalpy(t, p) to the last bit
    double slope;          // kJ/(kg K)
    double curvature;      // kJ/(kg K^2)
};

// The enthalpy of saturated air at temperature t (degC) and pressure p (bar) and its first
// two temperature derivatives, from the same fits as saturatedEnthalpy() and differentiated
// in closed form (the step of the fits at 0 degC is not in them). Valid where ps < p.
SaturatedEnthalpy saturatedEnthalpyCurve(double t, double p);

// Dew-point temperature (degC) of vapour at partial pressure pd (bar), by the inverse fits
// over ice (pd < 0.0061 bar) and over water. Only meaningful for pd > 0.
double dewPoint(double pd);

// What the state routine is given besides pressure and dry bulb.
enum class Given {
    WetBulb = 1,          // wet-bulb temperature, degC
    Enthalpy = 2,         // enthalpy, kJ/kg dry air
    RelativeHumidity = 3, // relative humidity, %
};

enum class AirStatus {
    Ok,
    ImpossibleState, // negative humidity, phi ps >= p, or a vapour pressure with no logarithm
    NoConvergence,   // the wet-bulb search did not meet its tolerance within its cap
};

struct AirState {
    double wetBulb = 0;          // degC
    double absoluteHumidity = 0; // kg/kg
    double enthalpy = 0;         // kJ/kg dry air
    double relativeHumidity = 0; // %
};

struct AirResult {
    AirStatus status = AirStatus::Ok;
    AirState state;
    int iterations = 0; // passes of the wet-bulb search
};

// Tolerance of the wet-bulb search on the enthalpy excess of saturated air, kJ/kg.
inline constexpr double kWetBulbTolerance = 1e-8;
// The wet-bulb search also ends when its bracket has closed to this width, K, across a step of
// the enthalpy excess smaller than kFreezingStep. Saturated air has no enthalpy between its
// values over ice just below 0 degC and over water at 0 degC (the step of the saturation fits,
// about 0.03 kJ/kg), so air whose enthalpy lies in that step (for example 3 degC and 55.1 % at
// 1 bar) has no root of the excess: its wet bulb is the freezing point, where the bracket
// closes. A bracket closing across a larger jump (the pole where ps reaches p) is no result.
inline constexpr double kWetBulbBracket = 1e-9;
inline constexpr double kFreezingStep = 0.1; // kJ/kg
// The lower end of the search for dry air, degC.
inline constexpr double kDryAirSearchStart = -1000;
// The dew-point fit over ice holds down to about -40 degC, the vapour pressure over ice there;
// for drier air it turns and rises (to above 0 degC below 2e-5 bar), so such air is searched
// from kDryAirSearchStart like dry air.
inline constexpr double kDewPointFitLowest = 1.2e-4; // bar
// Guard on the passes of the wet-bulb search; ordinary states need about ten, dry air
// (rh = 0, the search starts at -1000 degC) about twenty, hot dry air at the edge of the
// fields' ranges (90 degC, 0 %, 0.9 bar) about five hundred, as false position creeps there.
inline constexpr int kWetBulbMaxIterations = 20000;

// The complete state of a moist-air sample at pressure p (bar) and dry bulb t (degC), given
// the second property `second` of the kind `given`. The wet bulb is found by false position
// between the dew point and the dry bulb (skipped when rh is exactly 100, and in WetBulb
// mode, where it is the input); air drier than the dew-point fit covers is searched from
// kDryAirSearchStart. Every result is finite when status is Ok.
AirResult moistAirState(Given given, double p, double t, double second);

} // namespace psychro
