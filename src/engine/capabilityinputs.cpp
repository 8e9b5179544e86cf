#include "engine/capabilityinputs.h"

#include "engine/audit.h"
#include "engine/keys.h"
#include "engine/numtext.h"

#include <algorithm>
#include <limits>

namespace engine {

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
// The ambient temperatures a row may give, degC.
constexpr double kAmbientLowest = -40;
constexpr double kAmbientHighest = 60;

// clang-format off
constexpr std::array<SettingDef, kSettingCount> kSettings{{
    {Setting::Exponent, SettingPart::Capability, "cap.n", true,
     "characteristic exponent n", "-", capability::kDefaultExponent,
     capability::kMinExponent, capability::kMaxExponent, 2},
    {Setting::TestFanPower, SettingPart::Capability, "cap.fan_test_kW", true,
     "fan power at the test, Pt", "kW", kNone, 0.1, 2000, 1},
    {Setting::DesignFanPower, SettingPart::Capability, "cap.fan_design_kW", true,
     "design fan power, Pd", "kW", kNone, 0.1, 2000, 1},
    {Setting::WaterFlowLimitPct, SettingPart::Capability, "cap.water_flow_limit_pct", false,
     "water flow within design +/-", "%", 10, 0, 100, 1},
    {Setting::RangeLimitPct, SettingPart::Capability, "cap.range_limit_pct", false,
     "range within design +/-", "%", 20, 0, 100, 1},
    {Setting::WetBulbLimitK, SettingPart::Capability, "cap.wet_bulb_limit_K", false,
     "wet bulb within design +/-", "K", 6, 0, 30, 1},
    {Setting::DriftPct, SettingPart::WaterAndEnergy, "sav.drift_pct", true,
     "drift, of the circulating water", "%", 0.02, 0, 0.5, 3},
    {Setting::Cycles, SettingPart::WaterAndEnergy, "sav.cycles", true,
     "cycles of concentration", "-", 4, 1.5, 20, 1},
    {Setting::Hours, SettingPart::WaterAndEnergy, "sav.hours", true,
     "operating hours per year", "h", 8000, 0, 8784, 0},
    {Setting::FanPower, SettingPart::WaterAndEnergy, "sav.fan_kW", true,
     "measured fan electrical power, P1", "kW", kNone, 0.1, 2000, 1},
    {Setting::DriveEfficiency, SettingPart::WaterAndEnergy, "sav.drive_eff", true,
     "drive efficiency", "-", 0.97, 0.8, 1.0, 2},
    {Setting::MinimumSpeedPct, SettingPart::WaterAndEnergy, "sav.min_speed_pct", true,
     "minimum fan speed", "%", 20, 0, 60, 0},
    {Setting::PricePerKWh, SettingPart::WaterAndEnergy, "sav.price_kWh", true,
     "electricity price", "money/kWh", kNone, 0, 10, 4},
    {Setting::WaterPrice, SettingPart::WaterAndEnergy, "sav.price_m3", true,
     "water price", "money/m3", kNone, 0, 100, 2},
    {Setting::DrainPrice, SettingPart::WaterAndEnergy, "sav.price_drain_m3", false,
     "drain price, for the blowdown", "money/m3", kNone, 0, 100, 2},
}};
// clang-format on

bool sameNumber(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

// A field's text at the Problem's last CALCULATE, as a number.
std::optional<double> calculated(const Audit& audit, Arrangement arrangement, int problem,
                                 int field) {
    const std::vector<QString>& texts = audit.calculatedFields(arrangement, problem);
    if (field < 0 || std::size_t(field) >= texts.size())
        return std::nullopt;
    return numtext::readNumber(texts[std::size_t(field)]);
}

} // namespace

const SettingDef& settingDef(Setting setting) {
    return kSettings[std::size_t(setting)];
}

std::optional<Setting> settingOfKey(std::string_view key) {
    for (const SettingDef& def : kSettings)
        if (def.key == key)
            return def.setting;
    return std::nullopt;
}

std::optional<QString> checkSetting(Setting setting, double value) {
    const SettingDef& def = settingDef(setting);
    if (std::isnan(value)) // empty: not given, where the setting may be left empty
        return std::isnan(def.defaultValue) ? std::nullopt
                                            : std::optional(QStringLiteral("must be given"));
    if (!std::isfinite(value) || value < def.lowest || value > def.highest)
        return QStringLiteral("must lie between %1 and %2")
            .arg(numtext::generalText(def.lowest), numtext::generalText(def.highest));
    return std::nullopt;
}

bool AmbientRow::operator==(const AmbientRow& o) const {
    return sameNumber(wetBulb, o.wetBulb) && sameNumber(dryBulb, o.dryBulb) &&
           sameNumber(relativeHumidity, o.relativeHumidity) && sameNumber(hours, o.hours);
}

std::optional<QString> checkAmbientRow(const AmbientRow& row) {
    const auto within = [](double v, double lo, double hi) {
        return std::isfinite(v) && v >= lo && v <= hi;
    };
    if (!within(row.hours, 0, kMaxAmbientRows))
        return QStringLiteral("the hours must lie between 0 and %1").arg(kMaxAmbientRows);
    const bool wetBulb = !std::isnan(row.wetBulb);
    const bool humidity = !std::isnan(row.relativeHumidity);
    if (!wetBulb && !(humidity && !std::isnan(row.dryBulb)))
        return QStringLiteral("a row needs a wet bulb, or a dry bulb with a relative humidity");
    if (wetBulb && !within(row.wetBulb, kAmbientLowest, kAmbientHighest))
        return QStringLiteral("the wet bulb must lie between %1 and %2 oC")
            .arg(kAmbientLowest)
            .arg(kAmbientHighest);
    if (!std::isnan(row.dryBulb) && !within(row.dryBulb, kAmbientLowest, kAmbientHighest))
        return QStringLiteral("the dry bulb must lie between %1 and %2 oC")
            .arg(kAmbientLowest)
            .arg(kAmbientHighest);
    if (humidity && !within(row.relativeHumidity, 0, 100))
        return QStringLiteral("the relative humidity must lie between 0 and 100 %");
    if (wetBulb && !std::isnan(row.dryBulb) && row.wetBulb > row.dryBulb)
        return QStringLiteral("the wet bulb must not lie above the dry bulb");
    return std::nullopt;
}

CapabilityInputs::CapabilityInputs() {
    for (const SettingDef& def : kSettings)
        values[std::size_t(def.setting)] = def.defaultValue;
}

bool CapabilityInputs::operator==(const CapabilityInputs& o) const {
    for (std::size_t i = 0; i < values.size(); ++i)
        if (!sameNumber(values[i], o.values[i]))
            return false;
    return ambient == o.ambient;
}

CapabilityCase capabilityCase(const Audit& audit, Arrangement arrangement) {
    return capabilityCase(audit, arrangement, false);
}

CapabilityCase capabilityCase(const Audit& audit, Arrangement arrangement, bool outOfDateToo) {
    CapabilityCase c;
    c.arrangement = arrangement;
    c.inputs = audit.capabilityInputs(arrangement);
    const CapabilityInputs& in = c.inputs;
    c.settings.exponent = in.value(Setting::Exponent);
    c.settings.testFanPower = in.given(Setting::TestFanPower) ? in.value(Setting::TestFanPower) : 0;
    c.settings.designFanPower =
        in.given(Setting::DesignFanPower) ? in.value(Setting::DesignFanPower) : 0;
    c.settings.waterFlowLimitPct = in.value(Setting::WaterFlowLimitPct);
    c.settings.rangeLimitPct = in.value(Setting::RangeLimitPct);
    c.settings.wetBulbLimitK = in.value(Setting::WetBulbLimitK);

    for (int problem = 1; problem <= kProblems; ++problem) {
        const Currency currency = audit.currency(arrangement, problem);
        if (currency.current() || (outOfDateToo && currency.calculated))
            c.used.push_back(problem);
        else if (currency.calculated)
            c.leftOut.push_back(problem);
    }
    const auto current = [&](int problem) {
        return std::ranges::find(c.used, problem) != c.used.end();
    };
    const auto read = [&](int problem, int field) {
        return calculated(audit, arrangement, problem, field);
    };

    // The same identifiers in both arrangements (keys.h).
    if (current(1)) {
        const std::optional<double> v[] = {read(1, cf1::waterFlow),       read(1, cf1::airFlow),
                                           read(1, cf1::waterIn),         read(1, cf1::waterOut),
                                           read(1, cf1::pressure),        read(1, cf1::dryBulb),
                                           read(1, cf1::relativeHumidity)};
        if (std::ranges::all_of(v, [](const auto& x) { return x.has_value(); }))
            c.test = capability::TestPoint{*v[0], *v[1], *v[2], *v[3], *v[4], *v[5], *v[6]};
    }
    if (c.test && current(2)) {
        const std::optional<double> v[] = {
            read(2, cf2::designWaterFlow), read(2, cf2::designAirFlow), read(2, cf2::designWaterIn),
            read(2, cf2::designWaterOut), read(2, cf2::designWetBulb)};
        if (std::ranges::all_of(v, [](const auto& x) { return x.has_value(); }))
            c.design = capability::DesignPoint{*v[0], *v[1], *v[2], *v[3], *v[4]};
    }
    if (c.test && current(3))
        c.newAirFlow = read(3, cf3::newAirFlow);
    if (c.test && current(4)) {
        c.dutyAirFlow = numtext::readNumber(audit.text(arrangement, 4, int(cf4::airFlow)));
        c.dutyWetBulb = read(4, cf4::wetBulb);
        c.dutyDryBulb = read(4, cf4::dryBulb);
    }
    return c;
}

std::vector<AmbientRow> ambientRows(const CapabilityCase& c) {
    if (!c.inputs.ambient.empty())
        return c.inputs.ambient;
    if (!c.dutyWetBulb)
        return {};
    AmbientRow row;
    row.wetBulb = *c.dutyWetBulb;
    row.dryBulb = c.dutyDryBulb.value_or(std::nan(""));
    row.hours = c.inputs.value(Setting::Hours);
    return {row};
}

} // namespace engine
