#include "engine/fieldtable.h"

#include "engine/keys.h"

#include <algorithm>
#include <array>

namespace {

using namespace engine;

// What the fields of one quantity share: the quantity, the hint, the upper limit and the
// messages of the limit and of a negative value.
struct Kind {
    std::string_view quantity;
    std::string_view hint;
    double limit;
    std::string_view above;
    std::string_view negative;
};

// The Kind with another hint, limit or quantity, for the fields that differ.
constexpr Kind withHint(Kind kind, std::string_view hint) {
    kind.hint = hint;
    return kind;
}
constexpr Kind withLimit(Kind kind, double limit, std::string_view above) {
    kind.limit = limit;
    kind.above = above;
    return kind;
}
constexpr Kind withQuantity(Kind kind, std::string_view quantity) {
    kind.quantity = quantity;
    return kind;
}

constexpr std::string_view kAbove70 = "Invalid entries, number must be less than 70 oC";
constexpr std::string_view kAbove35 = "Invalid entries, number must be less than 35 oC";

// clang-format off
constexpr Kind kWaterFlow{"water mass flow rate, kg/s",
    "Recommended water mass flow rate is 0 - 200[kg/s] with accuracy +/-2%", 200,
    "Invalid entries, number must be less than 200 kg/s",
    "Invalid entries, water mass flow rate must be positive number"};
constexpr Kind kAirFlow{"air mass flow rate, kg/s",
    "Recommended air mass flow rate is 0 - 200[kg/s] with accuracy +/-2%", 200,
    "Invalid entries, number must be less than 200 kg/s",
    "Invalid entries, air mass flow rate must be positive number"};
constexpr Kind kWaterIn{"inlet water temperature, °C",
    "Recommended inlet water temperature is 30 - 60[oC] with accuracy +/-0.05[oC]", 90,
    "Invalid entries, number must be less than 90 oC",
    "Invalid entries, inlet water temperature must be positive number"};
constexpr Kind kWaterOut{"outlet water temperature, °C",
    "Recommended outlet water temperature is 30 - 50[oC] with accuracy +/-0.05[oC]", 80,
    "Invalid entries, number must be less than 80 oC",
    "Invalid entries, outlet water temperature must be positive number"};
constexpr Kind kDryBulb{"ambient dry-bulb temperature, °C",
    "Recommended range of ambient dry bulb temperature is 0 - 40[oC] with accuracy +/-0.05[oC]", 70,
    kAbove70, "Invalid entries, ambient dry bulb inlet temperature must be positive number"};
constexpr Kind kWetBulb{"ambient wet-bulb temperature, °C",
    "Recommended range of ambient wet bulb temperature is 0 - 40[oC] with accuracy +/-0.05[oC]", 35,
    kAbove35, "Invalid entries, ambient wet bulb inlet temperature must be positive number"};
constexpr Kind kRelativeHumidity{"ambient relative humidity, %",
    "Recommended range of ambient air relative humidity is 0 - 100[%] with accuracy +/-0.05", 100,
    "Invalid entries, number must be less than 100 %",
    "Invalid entries, ambient air relative humidity must be positive number"};
constexpr Kind kHeat{"heat capacity, kW", "Heat capacity [kW]", 0,
    "Invalid entries, number must be less than you entered",
    "Invalid entries, Heat capacity must be positive number"};
// clang-format on

// Where a field lives: its Problem and its identifier there (a cfN or xfN enumerator).
struct Place {
    Arrangement arrangement;
    int problem;
    int field;
};
constexpr Place cf(int problem, int field) {
    return {Arrangement::CounterFlow, problem, field};
}
constexpr Place xf(int problem, int field) {
    return {Arrangement::CrossFlow, problem, field};
}

constexpr FieldDef row(Place at, const Kind& kind, std::string_view initialText, LimitKind limit,
                       double lowerLimit, std::string_view lowerMessage,
                       std::string_view heatCapacityWindow) {
    return {windowKey(at.arrangement, at.problem),
            controlKey(at.arrangement, at.problem, at.field),
            kind.quantity,
            initialText,
            kind.hint,
            limit,
            kind.limit,
            lowerLimit,
            kind.above,
            lowerMessage,
            kind.negative,
            at.problem < 4 ? problemKeys(at.arrangement, at.problem).goOn : std::string_view(),
            heatCapacityWindow,
            at.arrangement,
            at.problem,
            at.field};
}

// A field with an upper limit and a negative-value message.
constexpr FieldDef upper(Place at, const Kind& kind, std::string_view initialText) {
    return row(at, kind, initialText, LimitKind::Upper, 0.0, {}, {});
}

// An ambient pressure field: 0.9 to 1.15 bar.
constexpr FieldDef pressure(Place at, std::string_view initialText, std::string_view hint) {
    const Kind kind{"ambient air pressure, bar",
                    hint,
                    1.15,
                    "Invalid entries, number must be less 1.15 bar",
                    {}};
    return row(at, kind, initialText, LimitKind::Pressure, 0.9,
               "Invalid entries, number must be greather than 0.9 bar", {});
}

// A Problem 4 heat-capacity field, limited by twice the heat capacity of Problem 1.
constexpr FieldDef heatCapacity(Place at, std::string_view initialText) {
    return row(at, kHeat, initialText, LimitKind::HeatCapacity, 0.0, {},
               windowKey(at.arrangement, 1));
}

// The order is the program's: window by window, each window's fields by their keys. The
// ambient temperature fields of Problem 4 speak of the other temperature (the dry-bulb field's
// hint, limit and negative-value message are a wet bulb's, and the other way round).
// clang-format off
constexpr std::array kFields{
    // Counter flow, Problem 1
    upper(cf(1, cf1::waterFlow), withHint(kWaterFlow, "Recommended water mass flow rate is 0 - 200 [kg/s] with accuracy +/- 2%"), "100"),
    upper(cf(1, cf1::waterIn), kWaterIn, "38"),
    upper(cf(1, cf1::waterOut), kWaterOut, "33"),
    pressure(cf(1, cf1::pressure), "1", "Ambient air pressure is in range 0.9 - 1.15 [bar] with accuracy +/-1%"),
    upper(cf(1, cf1::dryBulb), withLimit(kDryBulb, 80, "Invalid entries, number must be less than 80 oC"), "25"),
    upper(cf(1, cf1::relativeHumidity), kRelativeHumidity, "55"),
    upper(cf(1, cf1::airFlow), kAirFlow, "90"),
    // Cross flow, Problem 1; its flow-rate fields enforce 200 kg/s and say so, like the
    // flow-rate fields of the other windows.
    upper(xf(1, xf1::waterFlow), kWaterFlow, "90"),
    upper(xf(1, xf1::waterIn), kWaterIn, "37"),
    upper(xf(1, xf1::waterOut), kWaterOut, "34"),
    pressure(xf(1, xf1::pressure), "1", "Ambient air pressure is in range 0.8 - 1.1[bar] with accuracy +/-1%"),
    upper(xf(1, xf1::dryBulb), kDryBulb, "28"),
    upper(xf(1, xf1::relativeHumidity), withHint(kRelativeHumidity, "Recommended range of ambient air relative humidity is 0 - 100[%] with accuracy +/- 0.05"), "55"),
    upper(xf(1, xf1::airFlow), kAirFlow, "70"),
    // Counter flow, Problem 2
    upper(cf(2, cf2::designWaterIn), kWaterIn, "34"),
    upper(cf(2, cf2::designWaterOut), withHint(kWaterOut, "Recommended outlet water temperature is 30 - 60[oC] with accuracy +/-0.05 [oC]"), "31"),
    upper(cf(2, cf2::designWaterFlow), kWaterFlow, "90"),
    upper(cf(2, cf2::designWetBulb), kWetBulb, "21"),
    upper(cf(2, cf2::designAirFlow), kAirFlow, "80"),
    upper(cf(2, cf2::designDryBulb), kDryBulb, "27"),
    // Cross flow, Problem 2
    upper(xf(2, xf2::designWaterIn), kWaterIn, "34"),
    upper(xf(2, xf2::designWaterOut), kWaterOut, "31"),
    upper(xf(2, xf2::designWaterFlow), kWaterFlow, "90"),
    upper(xf(2, xf2::designAirFlow), kAirFlow, "80"),
    upper(xf(2, xf2::designWetBulb), withLimit(withHint(kWetBulb, "Recommended ambient inlet wet bulb temperature is 10 - 35[oC] with accuracy +/-0.05[oC]"), 70, kAbove70), "21"),
    upper(xf(2, xf2::designDryBulb), withLimit(withHint(kDryBulb, "Recommended ambient inlet dry bulb temperature is 10 - 40[oC] with accuracy +/-0.05[oC]"), 35, kAbove35), "25"),
    // Counter flow, Problem 3 (the air flow's message ends with a blank)
    upper(cf(3, cf3::newWaterFlow), kWaterFlow, "105"),
    upper(cf(3, cf3::newAirFlow), withLimit(kAirFlow, 200, "Invalid entries, number must be less than 200 kg/s "), "110"),
    // Cross flow, Problem 3
    upper(xf(3, xf3::newWaterFlow), kWaterFlow, "35"),
    upper(xf(3, xf3::newAirFlow), kAirFlow, "25"),
    // Counter flow, Problem 4 (the wet bulb's upper message is cut short)
    heatCapacity(cf(4, cf4::heat), "2200"),
    upper(cf(4, cf4::dryBulb), withQuantity(kWetBulb, kDryBulb.quantity), "30"),
    upper(cf(4, cf4::wetBulb), withQuantity(withLimit(kDryBulb, 70, "Invalid entries, number must be less"), kWetBulb.quantity), "22"),
    upper(cf(4, cf4::waterIn), kWaterIn, "36"),
    // Cross flow, Problem 4 (the wet bulb's upper message ends with a blank)
    upper(xf(4, xf4::waterIn), kWaterIn, "35"),
    upper(xf(4, xf4::wetBulb), withQuantity(withLimit(kDryBulb, 70, "Invalid entries, number must be less than 70 oC "), kWetBulb.quantity), "22"),
    upper(xf(4, xf4::dryBulb), withQuantity(kWetBulb, kDryBulb.quantity), "28"),
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
    return problem && problem->problem < 4
               ? problemKeys(problem->arrangement, problem->problem).goOn
               : std::string_view();
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
