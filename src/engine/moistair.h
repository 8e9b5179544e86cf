#pragma once
// The moist-air calculator's texts (the never-shown window Form11): callers write pressure, dry
// bulb and a second property as texts, run moistair(mode) and read the rounded wet bulb,
// humidity, enthalpy and relative humidity back. The texts stay between calls, so the
// rounding and what one calculation leaves behind are part of every result downstream.

#include "engine/numtext.h"

#include <QString>
#include <array>
#include <optional>
#include <string_view>

namespace engine {

class MoistAir {
public:
    enum Control : int {
        Text2,  // total pressure, bar
        Text3,  // dry-bulb temperature, degC
        Text4,  // second input, by mode
        Text9,  // wet-bulb temperature, degC, "###0.00"
        Text11, // absolute humidity, kg/kg, "##0.00000"
        Text13, // enthalpy, kJ/kg dry air, "####0.0000"
        Text15, // relative humidity, %, "##0.0"
        kCount
    };
    static constexpr std::array<std::string_view, kCount> kNames{
        "Text2", "Text3", "Text4", "Text9", "Text11", "Text13", "Text15"};

    enum class Status {
        Ok,
        NotANumber,      // an input text does not convert to a number
        ImpossibleState, // no such air exists
        NoConvergence,   // the wet-bulb search did not converge
    };

    // Writes the three inputs as general number texts.
    void setInputs(double p, double t, double second, const numtext::Converter& numbers);
    // mode 3: Text4 is the relative humidity (%); 2: the enthalpy (kJ/kg); 1: the wet bulb
    // (degC). On failure the result texts stay as they were.
    Status moistair(int mode, const numtext::Converter& numbers);

    // setInputs and moistair(mode) at once, with the numbers the texts show: the inputs as
    // their texts read back, and (when Ok) the results as theirs.
    struct Shown {
        double wetBulb;          // degC
        double absoluteHumidity; // kg/kg
        double enthalpy;         // kJ/kg dry air
        double relativeHumidity; // %
    };
    Status compute(int mode, double p, double t, double second, const numtext::Converter& numbers,
                   Shown& shown);

    std::array<QString, kCount> texts;
    // Whether any caller has used the calculator since it was (re)loaded.
    bool used = false;

private:
    // The state of the three numbers, written into the result texts.
    Status solve(int mode, std::optional<double> p, std::optional<double> t,
                 std::optional<double> second, const numtext::Converter& numbers, Shown& shown);
};

} // namespace engine
