#pragma once
// The table of every numeric entry field of the Problem windows: where the field lives, what
// it holds, the text it starts with, the hint it shows when clicked, the limits its
// validation enforces and their messages, and the window's leading-on button that an edit
// disables. Plain data and one pure check, no Qt; numericfield.h gives the fields their
// behaviour from this table.
//
// The texts are the program's own, kept exactly as they are shown, including the odd ones:
// messages that end with a blank (the counter-flow Problem 3's air flow, the cross-flow
// Problem 4's wet bulb), the truncated "number must be less" of the counter-flow Problem 4's
// wet bulb, "greather" in the pressure message, and the ambient
// temperature fields of Problem 4 whose hint and negative-value message name the other
// temperature (the dry-bulb fields speak of the wet bulb and the other way round).

#include "core/arrangement.h"
#include "engine/messages.h"

#include <optional>
#include <span>
#include <string_view>
#include <vector>

// How a field's value is limited, beyond being a number.
enum class LimitKind {
    Upper,        // not above upperLimit (the limit itself passes), not below 0
    Pressure,     // not above upperLimit (1.15), not below lowerLimit (0.9), both bounds pass
    HeatCapacity, // not above twice the heat capacity shown by Problem 1, not below 0
};

struct FieldDef {
    std::string_view window;      // the window's key (keys.h)
    std::string_view control;     // the field's key
    std::string_view quantity;    // "water mass flow rate, kg/s" (UTF-8)
    std::string_view initialText; // the text when the window is first loaded
    std::string_view hint;        // shown in the status line when the field is clicked
    LimitKind limit;
    double upperLimit;                // Upper and Pressure; unused for HeatCapacity
    double lowerLimit;                // Pressure only; 0 otherwise
    std::string_view upperMessage;    // above the upper limit
    std::string_view lowerMessage;    // Pressure only: below the lower limit
    std::string_view negativeMessage; // below 0; empty for Pressure
    // The key of the window's button that leads on to the next Problem (keys.h), which
    // any edit of the field disables; empty in the Problem 4 windows.
    std::string_view leadingOnButton;
    // HeatCapacity only: the key of the Problem 1 window whose heat capacity (cf1::heat)
    // limits this field; empty otherwise.
    std::string_view heatCapacityWindow;
    // The field by identifier: its arrangement, Problem (1 to 4) and index (a cfN or xfN
    // enumerator, keys.h).
    Arrangement arrangement;
    int problem;
    int field;
};

// The title and the non-numeric message shared by every field.
inline constexpr std::string_view kFieldErrorTitle = engine::messages::kErrorTitle;
inline constexpr std::string_view kNotNumericMessage = engine::messages::kNumbersOnly;

// All 38 fields, Problem by Problem, counter flow before cross flow, each window's fields in
// the order of their keys.
std::span<const FieldDef> fieldTable();

// The field of window and control, or nullptr when there is none.
const FieldDef* findField(std::string_view window, std::string_view control);
// The field of a Problem by its identifier (cf1::waterFlow ...), or nullptr for a label.
const FieldDef* findField(Arrangement arrangement, int problem, int field);

// The fields of one window, in table order.
std::vector<const FieldDef*> fieldsOfWindow(std::string_view window);

// The key of a Problem window's leading-on button, empty for the Problem 4 windows and for any
// other window.
std::string_view leadingOnButtonOf(std::string_view window);

// The validation of a field's value; the checks run in order and the first failure decides:
//   1. not a number (value empty; the empty text is not a number) -> kNotNumericMessage
//   2. above the upper limit, strictly                            -> upperMessage
//   3. below 0 (Pressure: below the lower limit)                  -> negativeMessage
//                                                                    (Pressure: lowerMessage)
// value is the field's text converted with the locale. heatCapacity is the number that the
// Problem 1 window shows as its heat capacity, used by HeatCapacity fields only: their upper
// limit is twice it, and while that window shows no number the upper check is skipped and
// only the negative check applies. Returns the failing check's message, or nullopt when the
// value passes.
std::optional<std::string_view> checkField(const FieldDef& def, std::optional<double> value,
                                           std::optional<double> heatCapacity = std::nullopt);
