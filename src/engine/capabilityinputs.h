#pragma once
// What the engineer sets beside the Problems for the tower's capability and for its water and
// fan energy: the characteristic's exponent, the fan powers, the limits of the test conditions,
// the water-treatment figures, prices, the drive, and a table of ambient conditions with hours
// per year. One table describes every setting (its key in the audit file and the batch tool,
// caption, unit, default and range), so the window, the file and the batch tool read the same
// rows. Each arrangement keeps its own settings: they describe one tower.
//
// And what these figures are computed from: the values the current Problems' fields held at
// their last CALCULATE, as numbers (capabilityCase()).

#include "core/arrangement.h"
#include "core/capability.h"

#include <QString>
#include <array>
#include <cmath>
#include <optional>
#include <string_view>
#include <vector>

namespace engine {

class Audit;

// The settings, in the order the window shows them.
enum class Setting : int {
    Exponent,          // n of KaV/L = C (L/G)^-n
    TestFanPower,      // Pt, kW
    DesignFanPower,    // Pd, kW
    WaterFlowLimitPct, // test against design, %
    RangeLimitPct,     // %
    WetBulbLimitK,     // K
    DriftPct,          // % of the circulating water
    Cycles,            // cycles of concentration
    Hours,             // operating hours per year
    FanPower,          // measured fan electrical power at Problem 1's air flow, kW
    DriveEfficiency,   // -
    MinimumSpeedPct,   // %
    PricePerKWh,       // money per kWh
    WaterPrice,        // money per m3
    DrainPrice,        // money per m3 of blowdown
    Count
};
inline constexpr int kSettingCount = int(Setting::Count);

// Which part of the window a setting belongs to.
enum class SettingPart { Capability, WaterAndEnergy };

struct SettingDef {
    Setting setting;
    SettingPart part;
    std::string_view key; // audit file key and batch column ("cap.n"); the batch tool
                          // reads it only when `batchColumn`
    bool batchColumn;
    std::string_view caption; // "characteristic exponent n"
    std::string_view unit;    // "-", "kW", "%", "K", "h", "money/kWh" (money: the locale's
                              // currency symbol in the window)
    double defaultValue;      // NaN: empty by default (the figures it feeds stay blank)
    double lowest, highest;   // the range a value must lie in
    int decimals;             // how the window shows a value
};
const SettingDef& settingDef(Setting setting);
// The setting with a key, or nullopt.
std::optional<Setting> settingOfKey(std::string_view key);

// Why a value is refused for a setting ("must lie between 0.35 and 1.1"), or nullopt. NaN (empty)
// is refused ("must be given") for a setting that has a default.
std::optional<QString> checkSetting(Setting setting, double value);

// One row of the ambient table: the wet bulb, or the dry bulb with the relative humidity; and
// the hours per year at it. NaN: not given.
struct AmbientRow {
    double wetBulb = std::nan("");          // degC
    double dryBulb = std::nan("");          // degC
    double relativeHumidity = std::nan(""); // %
    double hours = 0;                       // h per year
    bool operator==(const AmbientRow& o) const;
};
inline constexpr int kMaxAmbientRows = 8784; // the hours of a leap year
// Why a row cannot be used (a wet bulb, or a dry bulb with a relative humidity, each within
// the range of the Problems' fields; hours from 0 to 8784), or nullopt.
std::optional<QString> checkAmbientRow(const AmbientRow& row);

struct CapabilityInputs {
    std::array<double, kSettingCount> values; // NaN: empty
    // Empty: one row, Problem 4's ambient air, for all operating hours.
    std::vector<AmbientRow> ambient;

    CapabilityInputs(); // every setting at its default, no ambient table
    double value(Setting s) const { return values[std::size_t(s)]; }
    bool given(Setting s) const { return !std::isnan(value(s)); }
    bool operator==(const CapabilityInputs& o) const;
};

// The values the figures are computed from, read from the current Problems' fields as their
// last CALCULATE read them.
struct CapabilityCase {
    Arrangement arrangement = Arrangement::CounterFlow;
    std::optional<capability::TestPoint> test;     // Problem 1, when it is current
    std::optional<capability::DesignPoint> design; // Problem 2, when it and Problem 1 are
    // Problems 3 and 4, when current: the new air flow, and the air flow, ambient air and
    // pressure of the duty.
    std::optional<double> newAirFlow;  // G3, kg/s
    std::optional<double> dutyAirFlow; // G4, kg/s
    std::optional<double> dutyWetBulb; // twb4, degC
    std::optional<double> dutyDryBulb; // tdb4, degC
    std::vector<int> used;             // the Problems read
    std::vector<int> leftOut;          // calculated Problems that are out of date
    capability::Settings settings;
    CapabilityInputs inputs;
};
CapabilityCase capabilityCase(const Audit& audit, Arrangement arrangement);
// The same with the Problems that are out of date read as well, as last calculated (`used` lists
// them, `leftOut` stays empty): what a diagram draws, marked out of date.
CapabilityCase capabilityCase(const Audit& audit, Arrangement arrangement, bool outOfDateToo);

// The ambient rows the water and energy figures use: the table, or the one row of Problem 4's
// ambient air for all operating hours (none when Problem 4 is not current).
std::vector<AmbientRow> ambientRows(const CapabilityCase& c);

} // namespace engine
