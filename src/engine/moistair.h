#pragma once
// The moist-air calculator's texts (a window that is never shown): callers write pressure, dry
// bulb and a second property as texts, run moistair(mode) and read the rounded wet bulb,
// humidity, enthalpy and relative humidity back. The texts stay between calls, so the
// rounding and what one calculation leaves behind are part of every result downstream.

#include "engine/keys.h"
#include "engine/numtext.h"

#include <QString>
#include <array>
#include <optional>
#include <string_view>

namespace engine {

class MoistAir {
public:
    // The texts by identifier (keys.h: moistair::wetBulb ...).
    using Control = moistair::Control;
    static constexpr int kCount = moistair::kCount;
    static constexpr auto kNames = moistair::kNames;

    enum class Status {
        Ok,
        NotANumber,      // an input text does not convert to a number
        ImpossibleState, // no such air exists
        NoConvergence,   // the wet-bulb search did not converge
    };

    // Writes the three inputs as general number texts.
    void setInputs(double p, double t, double second, const numtext::Converter& numbers);
    // mode 3: the second input is the relative humidity (%); 2: the enthalpy (kJ/kg); 1: the wet
    // bulb (degC). On failure the result texts stay as they were.
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
