#include "engine/fieldtable.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::string_view kPressureUpperMessage = "Invalid entries, number must be less 1.15 bar";
constexpr std::string_view kPressureLowerMessage =
    "Invalid entries, number must be greather than 0.9 bar";
constexpr double kPressureUpperLimit = 1.15; // bar
constexpr double kPressureLowerLimit = 0.9;  // bar

// The forward button of each Problem window that an edit disables (Problems 1 to 3).
struct LeadingOn {
    std::string_view window;
    std::string_view button;
};
constexpr std::array kLeadingOn{
    LeadingOn{"Form5", "Command2"}, LeadingOn{"Form8", "Command3"},  LeadingOn{"Form2", "Command3"},
    LeadingOn{"Form6", "Command3"}, LeadingOn{"Form10", "Command3"}, LeadingOn{"Form9", "Command2"},
};

constexpr std::string_view leadingOn(std::string_view window) {
    for (const LeadingOn& l : kLeadingOn)
        if (l.window == window)
            return l.button;
    return {};
}

// A field with an upper limit and a negative-value message.
constexpr FieldDef upper(std::string_view window, std::string_view control,
                         std::string_view quantity, std::string_view initialText,
                         std::string_view hint, double limit, std::string_view upperMessage,
                         std::string_view negativeMessage) {
    return {window,
            control,
            quantity,
            initialText,
            hint,
            LimitKind::Upper,
            limit,
            0.0,
            upperMessage,
            {},
            negativeMessage,
            leadingOn(window),
            {}};
}

// An ambient pressure field: 0.9 to 1.15 bar.
constexpr FieldDef pressure(std::string_view window, std::string_view control,
                            std::string_view quantity, std::string_view initialText,
                            std::string_view hint) {
    return {window,
            control,
            quantity,
            initialText,
            hint,
            LimitKind::Pressure,
            kPressureUpperLimit,
            kPressureLowerLimit,
            kPressureUpperMessage,
            kPressureLowerMessage,
            {},
            leadingOn(window),
            {}};
}

// A Problem 4 heat-capacity field, limited by the heat capacity of a Problem 1 window.
constexpr FieldDef heatCapacity(std::string_view window, std::string_view control,
                                std::string_view quantity, std::string_view initialText,
                                std::string_view hint, std::string_view upperMessage,
                                std::string_view negativeMessage, std::string_view source) {
    return {window,
            control,
            quantity,
            initialText,
            hint,
            LimitKind::HeatCapacity,
            0.0,
            0.0,
            upperMessage,
            {},
            negativeMessage,
            leadingOn(window),
            source};
}

constexpr std::array kFields{
    // Form5
    upper("Form5", "Text1", "water mass flow rate, kg/s", "100",
          "Recommended water mass flow rate is 0 - 200 [kg/s] with accuracy +/- 2%", 200,
          "Invalid entries, number must be less than 200 kg/s",
          "Invalid entries, water mass flow rate must be positive number"),
    upper("Form5", "Text3", "inlet water temperature, °C", "38",
          "Recommended inlet water temperature is 30 - 60[oC] with accuracy +/-0.05[oC]", 90,
          "Invalid entries, number must be less than 90 oC",
          "Invalid entries, inlet water temperature must be positive number"),
    upper("Form5", "Text4", "outlet water temperature, °C", "33",
          "Recommended outlet water temperature is 30 - 50[oC] with accuracy +/-0.05[oC]", 80,
          "Invalid entries, number must be less than 80 oC",
          "Invalid entries, outlet water temperature must be positive number"),
    pressure("Form5", "Text5", "ambient air pressure, bar", "1",
             "Ambient air pressure is in range 0.9 - 1.15 [bar] with accuracy +/-1%"),
    upper(
        "Form5", "Text6", "ambient dry-bulb temperature, °C", "25",
        "Recommended range of ambient dry bulb temperature is 0 - 40[oC] with accuracy +/-0.05[oC]",
        80, "Invalid entries, number must be less than 80 oC",
        "Invalid entries, ambient dry bulb inlet temperature must be positive number"),
    upper("Form5", "Text7", "ambient relative humidity, %", "55",
          "Recommended range of ambient air relative humidity is 0 - 100[%] with accuracy +/-0.05",
          100, "Invalid entries, number must be less than 100 %",
          "Invalid entries, ambient air relative humidity must be positive number"),
    upper("Form5", "Text8", "air mass flow rate, kg/s", "90",
          "Recommended air mass flow rate is 0 - 200[kg/s] with accuracy +/-2%", 200,
          "Invalid entries, number must be less than 200 kg/s",
          "Invalid entries, air mass flow rate must be positive number"),
    // Form8; its two flow-rate fields (Text1, Text8) enforce 200 kg/s and say so, like the
    // flow-rate fields of the other windows.
    upper("Form8", "Text1", "water mass flow rate, kg/s", "90",
          "Recommended water mass flow rate is 0 - 200[kg/s] with accuracy +/-2%", 200,
          "Invalid entries, number must be less than 200 kg/s",
          "Invalid entries, water mass flow rate must be positive number"),
    upper("Form8", "Text3", "inlet water temperature, °C", "37",
          "Recommended inlet water temperature is 30 - 60[oC] with accuracy +/-0.05[oC]", 90,
          "Invalid entries, number must be less than 90 oC",
          "Invalid entries, inlet water temperature must be positive number"),
    upper("Form8", "Text4", "outlet water temperature, °C", "34",
          "Recommended outlet water temperature is 30 - 50[oC] with accuracy +/-0.05[oC]", 80,
          "Invalid entries, number must be less than 80 oC",
          "Invalid entries, outlet water temperature must be positive number"),
    pressure("Form8", "Text5", "ambient air pressure, bar", "1",
             "Ambient air pressure is in range 0.8 - 1.1[bar] with accuracy +/-1%"),
    upper(
        "Form8", "Text6", "ambient dry-bulb temperature, °C", "28",
        "Recommended range of ambient dry bulb temperature is 0 - 40[oC] with accuracy +/-0.05[oC]",
        70, "Invalid entries, number must be less than 70 oC",
        "Invalid entries, ambient dry bulb inlet temperature must be positive number"),
    upper("Form8", "Text7", "ambient relative humidity, %", "55",
          "Recommended range of ambient air relative humidity is 0 - 100[%] with accuracy +/- 0.05",
          100, "Invalid entries, number must be less than 100 %",
          "Invalid entries, ambient air relative humidity must be positive number"),
    upper("Form8", "Text8", "air mass flow rate, kg/s", "70",
          "Recommended air mass flow rate is 0 - 200[kg/s] with accuracy +/-2%", 200,
          "Invalid entries, number must be less than 200 kg/s",
          "Invalid entries, air mass flow rate must be positive number"),
    // Form2
    upper("Form2", "Text11", "inlet water temperature, °C", "34",
          "Recommended inlet water temperature is 30 - 60[oC] with accuracy +/-0.05[oC]", 90,
          "Invalid entries, number must be less than 90 oC",
          "Invalid entries, inlet water temperature must be positive number"),
    upper("Form2", "Text12", "outlet water temperature, °C", "31",
          "Recommended outlet water temperature is 30 - 60[oC] with accuracy +/-0.05 [oC]", 80,
          "Invalid entries, number must be less than 80 oC",
          "Invalid entries, outlet water temperature must be positive number"),
    upper("Form2", "Text13", "water mass flow rate, kg/s", "90",
          "Recommended water mass flow rate is 0 - 200[kg/s] with accuracy +/-2%", 200,
          "Invalid entries, number must be less than 200 kg/s",
          "Invalid entries, water mass flow rate must be positive number"),
    upper(
        "Form2", "Text14", "ambient wet-bulb temperature, °C", "21",
        "Recommended range of ambient wet bulb temperature is 0 - 40[oC] with accuracy +/-0.05[oC]",
        35, "Invalid entries, number must be less than 35 oC",
        "Invalid entries, ambient wet bulb inlet temperature must be positive number"),
    upper("Form2", "Text15", "air mass flow rate, kg/s", "80",
          "Recommended air mass flow rate is 0 - 200[kg/s] with accuracy +/-2%", 200,
          "Invalid entries, number must be less than 200 kg/s",
          "Invalid entries, air mass flow rate must be positive number"),
    upper(
        "Form2", "Text16", "ambient dry-bulb temperature, °C", "27",
        "Recommended range of ambient dry bulb temperature is 0 - 40[oC] with accuracy +/-0.05[oC]",
        70, "Invalid entries, number must be less than 70 oC",
        "Invalid entries, ambient dry bulb inlet temperature must be positive number"),
    // Form6
    upper("Form6", "Text14", "inlet water temperature, °C", "34",
          "Recommended inlet water temperature is 30 - 60[oC] with accuracy +/-0.05[oC]", 90,
          "Invalid entries, number must be less than 90 oC",
          "Invalid entries, inlet water temperature must be positive number"),
    upper("Form6", "Text15", "outlet water temperature, °C", "31",
          "Recommended outlet water temperature is 30 - 50[oC] with accuracy +/-0.05[oC]", 80,
          "Invalid entries, number must be less than 80 oC",
          "Invalid entries, outlet water temperature must be positive number"),
    upper("Form6", "Text16", "water mass flow rate, kg/s", "90",
          "Recommended water mass flow rate is 0 - 200[kg/s] with accuracy +/-2%", 200,
          "Invalid entries, number must be less than 200 kg/s",
          "Invalid entries, water mass flow rate must be positive number"),
    upper("Form6", "Text17", "air mass flow rate, kg/s", "80",
          "Recommended air mass flow rate is 0 - 200[kg/s] with accuracy +/-2%", 200,
          "Invalid entries, number must be less than 200 kg/s",
          "Invalid entries, air mass flow rate must be positive number"),
    upper("Form6", "Text18", "ambient wet-bulb temperature, °C", "21",
          "Recommended ambient inlet wet bulb temperature is 10 - 35[oC] with accuracy +/-0.05[oC]",
          70, "Invalid entries, number must be less than 70 oC",
          "Invalid entries, ambient wet bulb inlet temperature must be positive number"),
    upper("Form6", "Text19", "ambient dry-bulb temperature, °C", "25",
          "Recommended ambient inlet dry bulb temperature is 10 - 40[oC] with accuracy +/-0.05[oC]",
          35, "Invalid entries, number must be less than 35 oC",
          "Invalid entries, ambient dry bulb inlet temperature must be positive number"),
    // Form10
    upper("Form10", "Text18", "water mass flow rate, kg/s", "105",
          "Recommended water mass flow rate is 0 - 200[kg/s] with accuracy +/-2%", 200,
          "Invalid entries, number must be less than 200 kg/s",
          "Invalid entries, water mass flow rate must be positive number"),
    upper("Form10", "Text19", "air mass flow rate, kg/s", "110",
          "Recommended air mass flow rate is 0 - 200[kg/s] with accuracy +/-2%", 200,
          "Invalid entries, number must be less than 200 kg/s ",
          "Invalid entries, air mass flow rate must be positive number"),
    // Form9
    upper("Form9", "Text18", "water mass flow rate, kg/s", "35",
          "Recommended water mass flow rate is 0 - 200[kg/s] with accuracy +/-2%", 200,
          "Invalid entries, number must be less than 200 kg/s",
          "Invalid entries, water mass flow rate must be positive number"),
    upper("Form9", "Text19", "air mass flow rate, kg/s", "25",
          "Recommended air mass flow rate is 0 - 200[kg/s] with accuracy +/-2%", 200,
          "Invalid entries, number must be less than 200 kg/s",
          "Invalid entries, air mass flow rate must be positive number"),
    // Form3
    heatCapacity("Form3", "Text1", "heat capacity, kW", "2200", "Heat capacity [kW]",
                 "Invalid entries, number must be less than you entered",
                 "Invalid entries, Heat capacity must be positive number", "Form5"),
    upper(
        "Form3", "Text2", "ambient dry-bulb temperature, °C", "30",
        "Recommended range of ambient wet bulb temperature is 0 - 40[oC] with accuracy +/-0.05[oC]",
        35, "Invalid entries, number must be less than 35 oC",
        "Invalid entries, ambient wet bulb inlet temperature must be positive number"),
    upper(
        "Form3", "Text3", "ambient wet-bulb temperature, °C", "22",
        "Recommended range of ambient dry bulb temperature is 0 - 40[oC] with accuracy +/-0.05[oC]",
        70, "Invalid entries, number must be less",
        "Invalid entries, ambient dry bulb inlet temperature must be positive number"),
    upper("Form3", "Text29", "inlet water temperature, °C", "36",
          "Recommended inlet water temperature is 30 - 60[oC] with accuracy +/-0.05[oC]", 90,
          "Invalid entries, number must be less than 90 oC",
          "Invalid entries, inlet water temperature must be positive number"),
    // Form4
    upper("Form4", "Text4", "inlet water temperature, °C", "35",
          "Recommended inlet water temperature is 30 - 60[oC] with accuracy +/-0.05[oC]", 90,
          "Invalid entries, number must be less than 90 oC",
          "Invalid entries, inlet water temperature must be positive number"),
    upper(
        "Form4", "Text5", "ambient wet-bulb temperature, °C", "22",
        "Recommended range of ambient dry bulb temperature is 0 - 40[oC] with accuracy +/-0.05[oC]",
        70, "Invalid entries, number must be less than 70 oC ",
        "Invalid entries, ambient dry bulb inlet temperature must be positive number"),
    upper(
        "Form4", "Text6", "ambient dry-bulb temperature, °C", "28",
        "Recommended range of ambient wet bulb temperature is 0 - 40[oC] with accuracy +/-0.05[oC]",
        35, "Invalid entries, number must be less than 35 oC",
        "Invalid entries, ambient wet bulb inlet temperature must be positive number"),
    heatCapacity("Form4", "Text7", "heat capacity, kW", "500", "Heat capacity [kW]",
                 "Invalid entries, number must be less than you entered",
                 "Invalid entries, Heat capacity must be positive number", "Form8"),
};
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

std::string_view leadingOnButtonOf(std::string_view window) {
    return leadingOn(window);
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
