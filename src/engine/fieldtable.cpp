#include "engine/fieldtable.h"

#include "engine/keys.h"

#include <algorithm>
#include <array>

namespace {

using namespace engine;

constexpr Arrangement kCounter = Arrangement::CounterFlow;
constexpr Arrangement kCross = Arrangement::CrossFlow;

constexpr double kPressureUpperLimit = 1.15; // bar
constexpr double kPressureLowerLimit = 0.9;  // bar

// The texts that several fields share.
constexpr std::string_view kWaterFlow = "water mass flow rate, kg/s";
constexpr std::string_view kAirFlow = "air mass flow rate, kg/s";
constexpr std::string_view kWaterIn = "inlet water temperature, °C";
constexpr std::string_view kWaterOut = "outlet water temperature, °C";
constexpr std::string_view kDryBulb = "ambient dry-bulb temperature, °C";
constexpr std::string_view kWetBulb = "ambient wet-bulb temperature, °C";
constexpr std::string_view kRelativeHumidity = "ambient relative humidity, %";
constexpr std::string_view kPressure = "ambient air pressure, bar";
constexpr std::string_view kHeat = "heat capacity, kW";

constexpr std::string_view kWaterFlowHint =
    "Recommended water mass flow rate is 0 - 200[kg/s] with accuracy +/-2%";
constexpr std::string_view kAirFlowHint =
    "Recommended air mass flow rate is 0 - 200[kg/s] with accuracy +/-2%";
constexpr std::string_view kWaterInHint =
    "Recommended inlet water temperature is 30 - 60[oC] with accuracy +/-0.05[oC]";
constexpr std::string_view kWaterOutHint =
    "Recommended outlet water temperature is 30 - 50[oC] with accuracy +/-0.05[oC]";
constexpr std::string_view kDryBulbHint =
    "Recommended range of ambient dry bulb temperature is 0 - 40[oC] with accuracy +/-0.05[oC]";
constexpr std::string_view kWetBulbHint =
    "Recommended range of ambient wet bulb temperature is 0 - 40[oC] with accuracy +/-0.05[oC]";
constexpr std::string_view kHeatHint = "Heat capacity [kW]";

constexpr std::string_view kAbove200kgs = "Invalid entries, number must be less than 200 kg/s";
constexpr std::string_view kAbove90 = "Invalid entries, number must be less than 90 oC";
constexpr std::string_view kAbove80 = "Invalid entries, number must be less than 80 oC";
constexpr std::string_view kAbove70 = "Invalid entries, number must be less than 70 oC";
constexpr std::string_view kAbove35 = "Invalid entries, number must be less than 35 oC";
constexpr std::string_view kAbove100Percent = "Invalid entries, number must be less than 100 %";
constexpr std::string_view kAboveTwiceHeat =
    "Invalid entries, number must be less than you entered";
constexpr std::string_view kPressureUpperMessage = "Invalid entries, number must be less 1.15 bar";
constexpr std::string_view kPressureLowerMessage =
    "Invalid entries, number must be greather than 0.9 bar";

constexpr std::string_view kWaterFlowNegative =
    "Invalid entries, water mass flow rate must be positive number";
constexpr std::string_view kAirFlowNegative =
    "Invalid entries, air mass flow rate must be positive number";
constexpr std::string_view kWaterInNegative =
    "Invalid entries, inlet water temperature must be positive number";
constexpr std::string_view kWaterOutNegative =
    "Invalid entries, outlet water temperature must be positive number";
constexpr std::string_view kDryBulbNegative =
    "Invalid entries, ambient dry bulb inlet temperature must be positive number";
constexpr std::string_view kWetBulbNegative =
    "Invalid entries, ambient wet bulb inlet temperature must be positive number";
constexpr std::string_view kRelativeHumidityNegative =
    "Invalid entries, ambient air relative humidity must be positive number";
constexpr std::string_view kHeatNegative = "Invalid entries, Heat capacity must be positive number";

// Where a field lives: its Problem and its identifier there (a cfN or xfN enumerator).
struct Place {
    Arrangement arrangement;
    int problem;
    int field;
};

// The forward button of a Problem window that an edit disables (Problems 1 to 3).
constexpr std::string_view leadingOn(Arrangement arrangement, int problem) {
    return problem < 4 ? problemKeys(arrangement, problem).goOn : std::string_view();
}

constexpr FieldDef row(Place at, std::string_view quantity, std::string_view initialText,
                       std::string_view hint, LimitKind limit, double upperLimit, double lowerLimit,
                       std::string_view upperMessage, std::string_view lowerMessage,
                       std::string_view negativeMessage, std::string_view heatCapacityWindow) {
    return {windowKey(at.arrangement, at.problem),
            controlKey(at.arrangement, at.problem, at.field),
            quantity,
            initialText,
            hint,
            limit,
            upperLimit,
            lowerLimit,
            upperMessage,
            lowerMessage,
            negativeMessage,
            leadingOn(at.arrangement, at.problem),
            heatCapacityWindow,
            at.arrangement,
            at.problem,
            at.field};
}

// A field with an upper limit and a negative-value message.
constexpr FieldDef upper(Place at, std::string_view quantity, std::string_view initialText,
                         std::string_view hint, double limit, std::string_view upperMessage,
                         std::string_view negativeMessage) {
    return row(at, quantity, initialText, hint, LimitKind::Upper, limit, 0.0, upperMessage, {},
               negativeMessage, {});
}

// An ambient pressure field: 0.9 to 1.15 bar.
constexpr FieldDef pressure(Place at, std::string_view initialText, std::string_view hint) {
    return row(at, kPressure, initialText, hint, LimitKind::Pressure, kPressureUpperLimit,
               kPressureLowerLimit, kPressureUpperMessage, kPressureLowerMessage, {}, {});
}

// A Problem 4 heat-capacity field, limited by twice the heat capacity of Problem 1.
constexpr FieldDef heatCapacity(Place at, std::string_view initialText) {
    return row(at, kHeat, initialText, kHeatHint, LimitKind::HeatCapacity, 0.0, 0.0,
               kAboveTwiceHeat, {}, kHeatNegative, windowKey(at.arrangement, 1));
}

// The fields that every window with them defines alike.
constexpr FieldDef waterFlow(Place at, std::string_view initialText,
                             std::string_view hint = kWaterFlowHint,
                             std::string_view upperMessage = kAbove200kgs) {
    return upper(at, kWaterFlow, initialText, hint, 200, upperMessage, kWaterFlowNegative);
}
constexpr FieldDef airFlow(Place at, std::string_view initialText,
                           std::string_view upperMessage = kAbove200kgs) {
    return upper(at, kAirFlow, initialText, kAirFlowHint, 200, upperMessage, kAirFlowNegative);
}
constexpr FieldDef waterIn(Place at, std::string_view initialText) {
    return upper(at, kWaterIn, initialText, kWaterInHint, 90, kAbove90, kWaterInNegative);
}
constexpr FieldDef waterOut(Place at, std::string_view initialText,
                            std::string_view hint = kWaterOutHint) {
    return upper(at, kWaterOut, initialText, hint, 80, kAbove80, kWaterOutNegative);
}

constexpr Place cf(int problem, int field) {
    return {kCounter, problem, field};
}
constexpr Place xf(int problem, int field) {
    return {kCross, problem, field};
}

// The order is the program's: window by window, each window's fields by their keys. The
// ambient temperature fields of Problem 4 speak of the other temperature (the dry-bulb field's
// hint, limit and negative-value message are a wet bulb's, and the other way round).
// clang-format off
constexpr std::array kFields{
    // Counter flow, Problem 1
    waterFlow(cf(1, cf1::waterFlow), "100", "Recommended water mass flow rate is 0 - 200 [kg/s] with accuracy +/- 2%"),
    waterIn(cf(1, cf1::waterIn), "38"),
    waterOut(cf(1, cf1::waterOut), "33"),
    pressure(cf(1, cf1::pressure), "1", "Ambient air pressure is in range 0.9 - 1.15 [bar] with accuracy +/-1%"),
    upper(cf(1, cf1::dryBulb), kDryBulb, "25", kDryBulbHint, 80, kAbove80, kDryBulbNegative),
    upper(cf(1, cf1::relativeHumidity), kRelativeHumidity, "55", "Recommended range of ambient air relative humidity is 0 - 100[%] with accuracy +/-0.05", 100, kAbove100Percent, kRelativeHumidityNegative),
    airFlow(cf(1, cf1::airFlow), "90"),
    // Cross flow, Problem 1; its flow-rate fields enforce 200 kg/s and say so, like the
    // flow-rate fields of the other windows.
    waterFlow(xf(1, xf1::waterFlow), "90"),
    waterIn(xf(1, xf1::waterIn), "37"),
    waterOut(xf(1, xf1::waterOut), "34"),
    pressure(xf(1, xf1::pressure), "1", "Ambient air pressure is in range 0.8 - 1.1[bar] with accuracy +/-1%"),
    upper(xf(1, xf1::dryBulb), kDryBulb, "28", kDryBulbHint, 70, kAbove70, kDryBulbNegative),
    upper(xf(1, xf1::relativeHumidity), kRelativeHumidity, "55", "Recommended range of ambient air relative humidity is 0 - 100[%] with accuracy +/- 0.05", 100, kAbove100Percent, kRelativeHumidityNegative),
    airFlow(xf(1, xf1::airFlow), "70"),
    // Counter flow, Problem 2
    waterIn(cf(2, cf2::designWaterIn), "34"),
    waterOut(cf(2, cf2::designWaterOut), "31", "Recommended outlet water temperature is 30 - 60[oC] with accuracy +/-0.05 [oC]"),
    waterFlow(cf(2, cf2::designWaterFlow), "90"),
    upper(cf(2, cf2::designWetBulb), kWetBulb, "21", kWetBulbHint, 35, kAbove35, kWetBulbNegative),
    airFlow(cf(2, cf2::designAirFlow), "80"),
    upper(cf(2, cf2::designDryBulb), kDryBulb, "27", kDryBulbHint, 70, kAbove70, kDryBulbNegative),
    // Cross flow, Problem 2
    waterIn(xf(2, xf2::designWaterIn), "34"),
    waterOut(xf(2, xf2::designWaterOut), "31"),
    waterFlow(xf(2, xf2::designWaterFlow), "90"),
    airFlow(xf(2, xf2::designAirFlow), "80"),
    upper(xf(2, xf2::designWetBulb), kWetBulb, "21", "Recommended ambient inlet wet bulb temperature is 10 - 35[oC] with accuracy +/-0.05[oC]", 70, kAbove70, kWetBulbNegative),
    upper(xf(2, xf2::designDryBulb), kDryBulb, "25", "Recommended ambient inlet dry bulb temperature is 10 - 40[oC] with accuracy +/-0.05[oC]", 35, kAbove35, kDryBulbNegative),
    // Counter flow, Problem 3 (the air flow's message ends with a blank)
    waterFlow(cf(3, cf3::newWaterFlow), "105"),
    airFlow(cf(3, cf3::newAirFlow), "110", "Invalid entries, number must be less than 200 kg/s "),
    // Cross flow, Problem 3
    waterFlow(xf(3, xf3::newWaterFlow), "35"),
    airFlow(xf(3, xf3::newAirFlow), "25"),
    // Counter flow, Problem 4 (the wet bulb's upper message is cut short)
    heatCapacity(cf(4, cf4::heat), "2200"),
    upper(cf(4, cf4::dryBulb), kDryBulb, "30", kWetBulbHint, 35, kAbove35, kWetBulbNegative),
    upper(cf(4, cf4::wetBulb), kWetBulb, "22", kDryBulbHint, 70, "Invalid entries, number must be less", kDryBulbNegative),
    waterIn(cf(4, cf4::waterIn), "36"),
    // Cross flow, Problem 4 (the wet bulb's upper message ends with a blank)
    waterIn(xf(4, xf4::waterIn), "35"),
    upper(xf(4, xf4::wetBulb), kWetBulb, "22", kDryBulbHint, 70, "Invalid entries, number must be less than 70 oC ", kDryBulbNegative),
    upper(xf(4, xf4::dryBulb), kDryBulb, "28", kWetBulbHint, 35, kAbove35, kWetBulbNegative),
    heatCapacity(xf(4, xf4::heat), "500"),
};
// clang-format on
static_assert(kFields.size() == 38);

} // namespace

std::span<const FieldDef> fieldTable() {
    return kFields;
}

const FieldDef* findField(std::string_view window, std::string_view control) {
    const auto it = std::find_if(kFields.begin(), kFields.end(), [&](const FieldDef& f) {
        return f.window == window && f.control == control;
    });
    return it == kFields.end() ? nullptr : &*it;
}

std::vector<const FieldDef*> fieldsOfWindow(std::string_view window) {
    std::vector<const FieldDef*> out;
    for (const FieldDef& f : kFields)
        if (f.window == window)
            out.push_back(&f);
    return out;
}

const FieldDef* findField(Arrangement arrangement, int problem, int field) {
    const auto it = std::find_if(kFields.begin(), kFields.end(), [&](const FieldDef& f) {
        return f.arrangement == arrangement && f.problem == problem && f.field == field;
    });
    return it == kFields.end() ? nullptr : &*it;
}

std::string_view leadingOnButtonOf(std::string_view window) {
    const auto problem = problemOfWindow(window);
    return problem ? leadingOn(problem->arrangement, problem->problem) : std::string_view();
}

std::optional<std::string_view> checkField(const FieldDef& def, std::optional<double> value,
                                           std::optional<double> heatCapacity) {
    if (!value)
        return kNotNumericMessage;
    const double v = *value;
    switch (def.limit) {
    case LimitKind::Upper:
        if (v > def.upperLimit)
            return def.upperMessage;
        if (v < 0)
            return def.negativeMessage;
        break;
    case LimitKind::Pressure:
        if (v > def.upperLimit)
            return def.upperMessage;
        if (v < def.lowerLimit)
            return def.lowerMessage;
        break;
    case LimitKind::HeatCapacity:
        // No heat capacity shown yet: nothing to compare with, only the sign is checked.
        if (heatCapacity && v > 2.0 * *heatCapacity)
            return def.upperMessage;
        if (v < 0)
            return def.negativeMessage;
        break;
    }
    return std::nullopt;
}
