#pragma once
// The blocks of results that every Problem shows alike, in both arrangements: the cooling
// degree, range and approach, and an air state (dry bulb, wet bulb, enthalpy, relative and
// absolute humidity). Each Problem names these labels by the same identifiers (coolingDegree,
// outletDryBulb, ...), so one piece of code writes them for any Problem: Id is the Problem's
// enumeration (cf2::Control, xf3::Control, ...).

#include "engine/run.h"

#include <array>
#include <initializer_list>
#include <optional>

namespace engine {

// The tower's indicators at an outlet water temperature.
struct Indicators {
    double coolingDegree; // (Tin - Tout) / (Tin - twb), -
    double range;         // Tin - Tout, K
    double approach;      // Tout - twb, K
};

inline Indicators indicators(double waterIn, double waterOut, double wetBulb) {
    return {(waterIn - waterOut) / (waterIn - wetBulb), waterIn - waterOut, waterOut - wetBulb};
}

template <class Id> void showIndicators(Run& run, const Indicators& shown) {
    run.set(Id::coolingDegree, run.format(shown.coolingDegree, "0.000"));
    run.set(Id::range, run.format(shown.range, "#0.0"));
    run.set(Id::approach, run.format(shown.approach, "#0.0"));
}

// Problem 3's entries, the new water and air flows (the same identifiers in both arrangements),
// after "All fields require data" and "Invalid entries, please enter numbers only".
std::optional<std::array<double, 2>> readNewFlows(Run& run);

// Problem 4's entries (the same identifiers in both arrangements): "All fields require data",
// "Invalid entries, please enter numbers only", then a wet bulb above the dry bulb refused with
// the fields `cleared` emptied and `focus` focused.
struct Duty {
    double heat;    // kW
    double waterIn; // degC
    double dryBulb; // degC
    double wetBulb; // degC
};
std::optional<Duty> readDuty(Run& run, std::initializer_list<int> cleared, int focus);

// The five labels of an air state.
struct AirLabels {
    int dryBulb, wetBulb, enthalpy, relativeHumidity, humidity;
};

// An air state: the temperatures in `temperaturePattern`, the enthalpy in `enthalpyPattern`,
// the humidities as the moist-air calculator shows them.
void showAir(Run& run, const AirLabels& labels, double dryBulb, double wetBulb, double enthalpy,
             const Run::ShownAir& air, const char* temperaturePattern, const char* enthalpyPattern);

template <class Id>
constexpr AirLabels kInletAir{Id::inletDryBulb, Id::inletWetBulb, Id::inletEnthalpy,
                              Id::inletRelativeHumidity, Id::inletHumidity};
template <class Id>
constexpr AirLabels kOutletAir{Id::outletDryBulb, Id::outletWetBulb, Id::outletEnthalpy,
                               Id::outletRelativeHumidity, Id::outletHumidity};

// The outlet air: the dry bulb and enthalpy that the fill gives, the rest as the moist-air
// calculator shows them; the enthalpy in `enthalpyPattern`.
template <class Id>
void showOutletAir(Run& run, double dryBulb, double enthalpy, const Run::ShownAir& air,
                   const char* enthalpyPattern) {
    showAir(run, kOutletAir<Id>, dryBulb, air.wetBulb, enthalpy, air, "##0.00", enthalpyPattern);
}

// The inlet air of a Problem 4: its dry and wet bulb as entered, its enthalpy (in
// `enthalpyPattern`) and humidities as the moist-air calculator shows them.
template <class Id>
void showInletAir(Run& run, double dryBulb, double wetBulb, const Run::ShownAir& air,
                  const char* enthalpyPattern) {
    showAir(run, kInletAir<Id>, dryBulb, wetBulb, air.enthalpy, air, "##0.0", enthalpyPattern);
}

} // namespace engine
