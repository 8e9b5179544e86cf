#pragma once
// The key table: every name that the old program gave a window or a control and that lives on
// as a key (object names, the audit file, the report's cell map, the settings), beside the
// identifier the code uses, the quantity and its unit. Nowhere else does the code spell a
// window's key; controls are named by their identifiers (cf1::waterFlow is the counter-flow
// Problem 1 window's water mass flow rate, whose key is "Text1").
//
// Each Problem's list holds first its entry fields in the window's control order, then its
// labels. The same identifier means the same quantity in both arrangements; a trailing digit
// names the Problem a copied value comes from (ntu1 in Problem 3 is Problem 1's NTU).
//
// Units: kg/s, degC ("oC" in the windows), bar, %, kW, kW/(kJ/kg) for NTU, kJ/kg of dry air
// for enthalpy, kg/kg of dry air for absolute humidity, K for differences, "-" for ratios.

#include "core/arrangement.h"

#include <array>
#include <optional>
#include <span>
#include <string_view>

namespace engine {

// --- Windows -------------------------------------------------------------------------------
inline constexpr std::string_view kMainWindowKey = "frmMain";
inline constexpr std::string_view kStartWindowKey = "Form1";
inline constexpr std::string_view kMoistAirWindowKey = "Form11";
inline constexpr std::string_view kUncertaintyWindowKey = "Uncertainty";
inline constexpr std::string_view kDiagramWindowKey = "frmDiagram";

// The keys of the start window's controls.
namespace startwindow {
inline constexpr std::string_view kAboutFrame = "Frame3", kSeries = "Label8", kBasedOn = "Label2",
                                  kDescription = "lblDescription", kVersion = "lblVersion";
inline constexpr std::string_view kProblemsFrame = "Frame2", kProblemsHeading = "Label3";
// The four Problems' titles, Problem 1 to 4.
inline constexpr std::array<std::string_view, 4> kProblemTitles{"Label4", "Label5", "Label6",
                                                                "Label7"};
inline constexpr std::string_view kArrangementFrame = "Frame1", kCounterFlowOption = "Option1",
                                  kCrossFlowOption = "Option2";
inline constexpr std::string_view kAuthorsFrame = "Frame4", kAuthors = "Label18";
inline constexpr std::string_view kCalculate = "Command1", kLine = "Line1";
} // namespace startwindow

// The keys of the main window's controls.
namespace mainwindow {
inline constexpr std::string_view kToolBar = "tbToolBar";
// A hidden field holding "0" until the first export of a run, then "1", and its note.
inline constexpr std::string_view kSpreadsheetFlag = "Text1", kSpreadsheetFlagNote = "Text2";
inline constexpr std::string_view kStatusStrip = "Picture1", kSeparatorNote = "Label1",
                                  kStatusLine = "lblstatus";
} // namespace mainwindow

// The key of the "Uncertainty" window's CALCULATE button.
inline constexpr std::string_view kUncertaintyCalculateKey = "Command1";

// A Problem window's key and its buttons' keys.
struct ProblemKeys {
    std::string_view window;    // "Form5"
    std::string_view calculate; // CALCULATE
    std::string_view back;      // BACK
    std::string_view goOn;      // "GoTo Problem 2" ... "GoTo MENU"
    std::string_view busy;      // the "Please wait ..." label; empty where there is none
};

// clang-format off
inline constexpr std::array<std::array<ProblemKeys, 4>, 2> kProblemKeys{{
    {{{"Form5", "Command1", "Command3", "Command2", ""},
      {"Form2", "Command1", "Command2", "Command3", ""},
      {"Form10", "Command1", "Command2", "Command3", ""},
      {"Form3", "Command1", "Command2", "Command3", ""}}},
    {{{"Form8", "Command1", "Command2", "Command3", "Label8"},
      {"Form6", "Command1", "Command2", "Command3", ""},
      {"Form9", "Command1", "Command3", "Command2", ""},
      {"Form4", "Command1", "Command3", "Command4", "Label1"}}},
}};
// clang-format on

constexpr const ProblemKeys& problemKeys(Arrangement arrangement, int problem) {
    return kProblemKeys[arrangement == Arrangement::CounterFlow ? 0 : 1][std::size_t(problem - 1)];
}

// --- Controls ------------------------------------------------------------------------------
// X(identifier, key, quantity, unit)

// clang-format off
#define CTAUDIT_PROBLEM1_RESULTS(X, ntuKey, heatKey, cdKey, rangeKey, approachKey, \
                                 tdbOutKey, twbOutKey, hOutKey, rhOutKey, xOutKey, \
                                 twbInKey, hInKey, xInKey) \
    X(ntu, ntuKey, "number of transfer units", "kW/(kJ/kg)") \
    X(heat, heatKey, "heat capacity", "kW") \
    X(coolingDegree, cdKey, "cooling degree", "-") \
    X(range, rangeKey, "range", "K") \
    X(approach, approachKey, "approach", "K") \
    X(outletDryBulb, tdbOutKey, "outlet air dry-bulb temperature", "degC") \
    X(outletWetBulb, twbOutKey, "outlet air wet-bulb temperature", "degC") \
    X(outletEnthalpy, hOutKey, "outlet air enthalpy", "kJ/kg") \
    X(outletRelativeHumidity, rhOutKey, "outlet air relative humidity", "%") \
    X(outletHumidity, xOutKey, "outlet air absolute humidity", "kg/kg") \
    X(inletWetBulb, twbInKey, "inlet air wet-bulb temperature", "degC") \
    X(inletEnthalpy, hInKey, "inlet air enthalpy", "kJ/kg") \
    X(inletHumidity, xInKey, "inlet air absolute humidity", "kg/kg")

// Problem 1: the measured regime and the tower's performance indicators.
#define CTAUDIT_PROBLEM1_FIELDS(X) \
    X(waterFlow, Text1, "water mass flow rate", "kg/s") \
    X(airFlow, Text8, "air mass flow rate", "kg/s") \
    X(waterIn, Text3, "water temperature in", "degC") \
    X(waterOut, Text4, "water temperature out", "degC") \
    X(pressure, Text5, "ambient air pressure", "bar") \
    X(dryBulb, Text6, "ambient dry-bulb temperature", "degC") \
    X(relativeHumidity, Text7, "ambient relative humidity", "%")
#define CTAUDIT_COUNTERFLOW1(X) \
    CTAUDIT_PROBLEM1_FIELDS(X) \
    CTAUDIT_PROBLEM1_RESULTS(X, lbl2, lbl10, lbl18, lbl19, lbl20, lbl13, lbl14, lbl15, lbl16, \
                             lbl17, lbl9, lbl11, lbl12)
#define CTAUDIT_CROSSFLOW1(X) \
    CTAUDIT_PROBLEM1_FIELDS(X) \
    CTAUDIT_PROBLEM1_RESULTS(X, lbl2, lbl10, lbl16, lbl17, lbl18, lbl11, lbl12, lbl13, lbl14, \
                             lbl15, lbl9, lbl19, lbl20)

// Problem 2: the acceptance test against the name-plate data at Problem 1's NTU.
#define CTAUDIT_AIR_ROWS(X, side, sideText, tdbKey, twbKey, hKey, rhKey, xKey) \
    X(side##DryBulb, tdbKey, sideText " air dry-bulb temperature", "degC") \
    X(side##WetBulb, twbKey, sideText " air wet-bulb temperature", "degC") \
    X(side##Enthalpy, hKey, sideText " air enthalpy", "kJ/kg") \
    X(side##RelativeHumidity, rhKey, sideText " air relative humidity", "%") \
    X(side##Humidity, xKey, sideText " air absolute humidity", "kg/kg")
#define CTAUDIT_ACCEPTANCE_RESULTS(X, waterOutKey, heatKey, deviationKey, ntuKey, cdKey, \
                                   rangeKey, approachKey) \
    X(testWaterOut, waterOutKey, "water temperature out at Problem 1's NTU", "degC") \
    X(achievedHeat, heatKey, "achieved heat capacity Qa", "kW") \
    X(deviation, deviationKey, "deviation from design (Qa - Qd) / Qd", "%") \
    X(ntu, ntuKey, "number of transfer units, Problem 1's", "kW/(kJ/kg)") \
    X(coolingDegree, cdKey, "cooling degree", "-") \
    X(range, rangeKey, "range", "K") \
    X(approach, approachKey, "approach", "K")
#define CTAUDIT_DESIGN_FIELDS(X, lKey, gKey, tinKey, toutKey, twbKey, tdbKey) \
    X(designWaterFlow, lKey, "design water mass flow rate", "kg/s") \
    X(designAirFlow, gKey, "design air mass flow rate", "kg/s") \
    X(designWaterIn, tinKey, "design water temperature in", "degC") \
    X(designWaterOut, toutKey, "design water temperature out", "degC") \
    X(designWetBulb, twbKey, "design ambient wet-bulb temperature", "degC") \
    X(designDryBulb, tdbKey, "design ambient dry-bulb temperature", "degC")
#define CTAUDIT_COUNTERFLOW2(X) \
    CTAUDIT_DESIGN_FIELDS(X, Text13, Text15, Text11, Text12, Text14, Text16) \
    X(designHeat, l5, "design heat capacity Qd", "kW") \
    X(designInletDryBulb, l25, "design ambient dry-bulb temperature, shown", "degC") \
    X(designInletWetBulb, l26, "design ambient wet-bulb temperature, shown", "degC") \
    X(designInletWaterIn, l27, "design water temperature in, shown", "degC") \
    CTAUDIT_ACCEPTANCE_RESULTS(X, l3, l4, l1, l2, l22, l23, l24) \
    CTAUDIT_AIR_ROWS(X, inlet, "inlet", l17, l18, l19, l20, l21) \
    CTAUDIT_AIR_ROWS(X, outlet, "outlet", l6, l7, l8, l9, l10)
#define CTAUDIT_CROSSFLOW2(X) \
    CTAUDIT_DESIGN_FIELDS(X, Text16, Text17, Text14, Text15, Text18, Text19) \
    X(waterFlow1, l1, "water mass flow rate, Problem 1's (never shown)", "kg/s") \
    X(airFlow1, l8, "air mass flow rate, Problem 1's (never shown)", "kg/s") \
    X(pressure1, l5, "ambient air pressure, Problem 1's (never shown)", "bar") \
    X(designHeat, l20, "design heat capacity Qd", "kW") \
    X(designInletDryBulb, l6, "design ambient dry-bulb temperature, shown", "degC") \
    X(designInletWetBulb, l9, "design ambient wet-bulb temperature, shown", "degC") \
    X(designInletWaterIn, l3, "design water temperature in, shown", "degC") \
    CTAUDIT_ACCEPTANCE_RESULTS(X, l4, l10, l28, l2, l11, l12, l13) \
    CTAUDIT_AIR_ROWS(X, inlet, "inlet", l50, l51, l25, l26, l27) \
    CTAUDIT_AIR_ROWS(X, outlet, "outlet", l7, l21, l22, l23, l24)

// Problem 3: new water and air flows; Problem 1's values beside the new ones. The same keys
// in both arrangements.
#define CTAUDIT_PROBLEM3(X) \
    X(newWaterFlow, Text18, "new water mass flow rate", "kg/s") \
    X(newAirFlow, Text19, "new air mass flow rate", "kg/s") \
    X(waterFlow1, l1, "water mass flow rate, Problem 1's", "kg/s") \
    X(waterIn1, l3, "water temperature in, Problem 1's", "degC") \
    X(waterOut1, l4, "water temperature out, Problem 1's", "degC") \
    X(airFlow1, l8, "air mass flow rate, Problem 1's", "kg/s") \
    X(pressure1, l5, "ambient air pressure, Problem 1's", "bar") \
    X(dryBulb1, l6, "ambient dry-bulb temperature, Problem 1's", "degC") \
    X(relativeHumidity1, l7, "ambient relative humidity, Problem 1's", "%") \
    X(ntu1, l2, "number of transfer units, Problem 1's", "kW/(kJ/kg)") \
    X(heat1, l10, "heat capacity, Problem 1's", "kW") \
    X(inletWetBulb1, l9, "inlet air wet-bulb temperature, Problem 1's", "degC") \
    X(inletEnthalpy1, l11, "inlet air enthalpy, Problem 1's", "kJ/kg") \
    X(inletHumidity1, l12, "inlet air absolute humidity, Problem 1's", "kg/kg") \
    X(flowRatio, l20, "ratio of the new flows L/G", "-") \
    X(ntu, l21, "number of transfer units at the new flows", "kW/(kJ/kg)") \
    X(heat, l22, "heat capacity at the new flows", "kW") \
    X(waterOut, l23, "water temperature out at the new flows", "degC") \
    X(coolingDegree, l13, "cooling degree", "-") \
    X(range, l14, "range", "K") \
    X(approach, l15, "approach", "K") \
    CTAUDIT_AIR_ROWS(X, outlet1, "Problem 1's outlet", l29, l30, l31, l32, l33) \
    X(outletDryBulb, l24, "outlet air dry-bulb temperature", "degC") \
    X(outletWetBulb, l25, "outlet air wet-bulb temperature", "degC") \
    X(outletEnthalpy, l26, "outlet air enthalpy", "kJ/kg") \
    X(outletRelativeHumidity, l28, "outlet air relative humidity", "%") \
    X(outletHumidity, l27, "outlet air absolute humidity", "kg/kg")

// Problem 4: the water flow that rejects a desired heat at Problem 3's L/G.
#define CTAUDIT_PROBLEM4(X, heatKey, waterInKey, dryBulbKey, wetBulbKey, ntu3Key) \
    X(heat, heatKey, "desired heat capacity", "kW") \
    X(waterIn, waterInKey, "water temperature in", "degC") \
    X(dryBulb, dryBulbKey, "ambient dry-bulb temperature", "degC") \
    X(wetBulb, wetBulbKey, "ambient wet-bulb temperature", "degC") \
    X(ntu3, ntu3Key, "number of transfer units, Problem 3's", "kW/(kJ/kg)") \
    X(waterFlow3, l5, "water mass flow rate, Problem 3's", "kg/s") \
    X(flowRatio3, l6, "ratio L/G, Problem 3's", "-") \
    X(waterIn3, l7, "water temperature in, Problem 3's", "degC") \
    X(waterOut3, l20, "water temperature out, Problem 3's", "degC") \
    X(heat3, l8, "heat capacity, Problem 3's", "kW") \
    X(pressure1, l9, "ambient air pressure, Problem 1's", "bar") \
    X(waterFlow, l21, "water mass flow rate for the desired heat", "kg/s") \
    X(airFlow, l22, "air mass flow rate for the desired heat", "kg/s") \
    X(flowRatio, l23, "ratio L/G, held at Problem 3's", "-") \
    X(waterOut, l24, "water temperature out", "degC") \
    X(ntu, l28, "number of transfer units", "kW/(kJ/kg)") \
    X(coolingDegree, l25, "cooling degree", "-") \
    X(range, l26, "range", "K") \
    X(approach, l27, "approach", "K") \
    CTAUDIT_AIR_ROWS(X, inlet, "inlet", l10, l11, l12, l13, l14) \
    CTAUDIT_AIR_ROWS(X, outlet, "outlet", l15, l16, l17, l18, l19)
#define CTAUDIT_COUNTERFLOW4(X) CTAUDIT_PROBLEM4(X, Text1, Text29, Text2, Text3, l4)
#define CTAUDIT_CROSSFLOW4(X) CTAUDIT_PROBLEM4(X, Text7, Text4, Text6, Text5, Label11)

// The moist-air calculator (never shown): three inputs, then its rounded results.
#define CTAUDIT_MOISTAIR(X) \
    X(pressure, Text2, "total pressure", "bar") \
    X(dryBulb, Text3, "dry-bulb temperature", "degC") \
    X(second, Text4, "second property: wet bulb, enthalpy or relative humidity, by mode", "") \
    X(wetBulb, Text9, "wet-bulb temperature", "degC") \
    X(humidity, Text11, "absolute humidity", "kg/kg") \
    X(enthalpy, Text13, "enthalpy", "kJ/kg") \
    X(relativeHumidity, Text15, "relative humidity", "%")
// clang-format on

// What the table says of one control.
struct ControlKey {
    std::string_view key;      // "Text1"
    std::string_view quantity; // "water mass flow rate"
    std::string_view unit;     // "kg/s"
};

#define CTAUDIT_ENUM(id, key, quantity, unit) id,
#define CTAUDIT_KEY(id, key, quantity, unit) ControlKey{#key, quantity, unit},
#define CTAUDIT_NAME(id, key, quantity, unit) std::string_view(#key),
#define CTAUDIT_CONTROLS(ns, list)                                                                 \
    namespace ns {                                                                                 \
    enum Control : int { list(CTAUDIT_ENUM) kCount };                                              \
    inline constexpr std::array<ControlKey, kCount> kKeys{{list(CTAUDIT_KEY)}};                    \
    inline constexpr std::array<std::string_view, kCount> kNames{list(CTAUDIT_NAME)};              \
    }

CTAUDIT_CONTROLS(cf1, CTAUDIT_COUNTERFLOW1)  // counter flow, Problem 1
CTAUDIT_CONTROLS(cf2, CTAUDIT_COUNTERFLOW2)  // counter flow, Problem 2
CTAUDIT_CONTROLS(cf3, CTAUDIT_PROBLEM3)      // counter flow, Problem 3
CTAUDIT_CONTROLS(cf4, CTAUDIT_COUNTERFLOW4)  // counter flow, Problem 4
CTAUDIT_CONTROLS(xf1, CTAUDIT_CROSSFLOW1)    // cross flow, Problem 1
CTAUDIT_CONTROLS(xf2, CTAUDIT_CROSSFLOW2)    // cross flow, Problem 2
CTAUDIT_CONTROLS(xf3, CTAUDIT_PROBLEM3)      // cross flow, Problem 3
CTAUDIT_CONTROLS(xf4, CTAUDIT_CROSSFLOW4)    // cross flow, Problem 4
CTAUDIT_CONTROLS(moistair, CTAUDIT_MOISTAIR) // the moist-air calculator

#undef CTAUDIT_CONTROLS
#undef CTAUDIT_NAME
#undef CTAUDIT_KEY
#undef CTAUDIT_ENUM

// The number of entry fields that open each Problem's list.
inline constexpr int kFieldCounts[4] = {7, 6, 2, 4};

// --- Look-ups --------------------------------------------------------------------------------

// The key of a Problem's window ("Form5").
constexpr std::string_view windowKey(Arrangement arrangement, int problem) {
    return problemKeys(arrangement, problem).window;
}

// The keys of a Problem's controls, indexed by its identifiers: fields first, then labels.
constexpr std::span<const std::string_view> controlKeys(Arrangement arrangement, int problem) {
    const bool counter = arrangement == Arrangement::CounterFlow;
    switch (problem) {
    case 1:
        return counter ? std::span<const std::string_view>(cf1::kNames) : xf1::kNames;
    case 2:
        return counter ? std::span<const std::string_view>(cf2::kNames) : xf2::kNames;
    case 3:
        return counter ? std::span<const std::string_view>(cf3::kNames) : xf3::kNames;
    default:
        return counter ? std::span<const std::string_view>(cf4::kNames) : xf4::kNames;
    }
}

// What the table says of every control of a Problem (key, quantity, unit), by identifier.
constexpr std::span<const ControlKey> controlTable(Arrangement arrangement, int problem) {
    const bool counter = arrangement == Arrangement::CounterFlow;
    switch (problem) {
    case 1:
        return counter ? std::span<const ControlKey>(cf1::kKeys) : xf1::kKeys;
    case 2:
        return counter ? std::span<const ControlKey>(cf2::kKeys) : xf2::kKeys;
    case 3:
        return counter ? std::span<const ControlKey>(cf3::kKeys) : xf3::kKeys;
    default:
        return counter ? std::span<const ControlKey>(cf4::kKeys) : xf4::kKeys;
    }
}

// The key of one control of a Problem, by its identifier (a cfN or xfN enumerator).
constexpr std::string_view controlKey(Arrangement arrangement, int problem, int control) {
    return controlKeys(arrangement, problem)[std::size_t(control)];
}

// The Problem whose window has a key, or nullopt ("Form8": cross flow, Problem 1).
struct ProblemWindow {
    Arrangement arrangement;
    int problem;
};
constexpr std::optional<ProblemWindow> problemOfWindow(std::string_view window) {
    for (Arrangement a : {Arrangement::CounterFlow, Arrangement::CrossFlow})
        for (int p = 1; p <= 4; ++p)
            if (windowKey(a, p) == window)
                return ProblemWindow{a, p};
    return std::nullopt;
}

// Problems 1, 3 and 4 name their controls alike in both arrangements: a calculation or a table
// that serves both may use one arrangement's identifiers for the other's.
static_assert(int(cf1::kCount) == int(xf1::kCount) && int(cf1::heat) == int(xf1::heat) &&
              int(cf1::inletHumidity) == int(xf1::inletHumidity));
static_assert(int(cf3::kCount) == int(xf3::kCount));
static_assert(int(cf4::kCount) == int(xf4::kCount) && int(cf4::ntu3) == int(xf4::ntu3));

} // namespace engine
