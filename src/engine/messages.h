#pragma once
// The messages that more than one place of the program shows, each defined once: the status
// line's completion texts (the program spells "completed" two ways, and each Problem keeps its
// own), the message boxes of the checks that every CALCULATE runs, and their titles. Kept as
// the program shows them, misspellings included. No Qt: the field table uses them too.

#include <string_view>

namespace engine::messages {

// The status line after a successful CALCULATE: the counter-flow Problem 1 and the cross-flow
// Problem 4 say the first, the other Problems that speak at all the second.
inline constexpr std::string_view kCompleted = "Calculation has successfully complited";
inline constexpr std::string_view kCompletedMisspelt = "Calculation has successfuly complited";

// Titles of message boxes.
inline constexpr std::string_view kErrorTitle = "Error";
inline constexpr std::string_view kMissingDataTitle = "Missing Data";

// A CALCULATE with an empty field; a field or CALCULATE that reads a text that is no number.
inline constexpr std::string_view kAllFieldsRequireData = "All fields require data";
inline constexpr std::string_view kNumbersOnly = "Invalid entries, please enter numbers only";

// The temperature-order checks of CALCULATE.
inline constexpr std::string_view kWaterOutNotBelowIn =
    "Outlet water temperature must be less then inlet water temperature";
inline constexpr std::string_view kWetBulbNotBelowDryBulb =
    "Ambient wet bulb temperature must be less then dry bulb temperature";

// A Problem that reads an earlier one before it has been calculated.
inline constexpr std::string_view kProblem1NotCalculated =
    "Problem 1 has not been calculated yet: calculate it first.";
inline constexpr std::string_view kProblem3NotCalculated =
    "Problem 3 has not been calculated yet: calculate it first.";

// Flows that must be positive (both arrangements' refusals).
inline constexpr std::string_view kFlowsNotPositive =
    "The water and air mass flow rates must be greater than zero.";

} // namespace engine::messages
