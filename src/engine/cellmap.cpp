#include "engine/cellmap.h"

namespace report {

// clang-format off
const std::array<CellMapRow, kMapRowCount> kCellMap = {{
    // row  quantity                                                                counter flow          cross flow
    { 3, "Problem 1: water mass flow rate [kg/s]",                                  {"Form5", "Text1"},   {"Form8", "Text1"}},
    { 4, "Problem 1: air mass flow rate [kg/s]",                                    {"Form5", "Text8"},   {"Form8", "Text8"}},
    { 5, "Problem 1: water temperature IN [oC]",                                    {"Form5", "Text3"},   {"Form8", "Text3"}},
    { 6, "Problem 1: water temperature OUT [oC]",                                   {"Form5", "Text4"},   {"Form8", "Text4"}},
    { 7, "Problem 1: ambient air pressure [bar]",                                   {"Form5", "Text5"},   {"Form8", "Text5"}},
    { 8, "Problem 1: ambient dry bulb temperature IN [oC]",                         {"Form5", "Text6"},   {"Form8", "Text6"}},
    { 9, "Problem 1: ambient air relative humidity IN [%]",                         {"Form5", "Text7"},   {"Form8", "Text7"}},
    {12, "Problem 1: number of transfer units [kW/(kJ/kg)]",                        {"Form5", "lbl2"},    {"Form8", "lbl2"}},
    {13, "Problem 1: heat capacity [kW]",                                           {"Form5", "lbl10"},   {"Form8", "lbl10"}},
    {14, "Problem 1: cooling degree [-]",                                           {"Form5", "lbl18"},   {"Form8", "lbl16"}},
    {15, "Problem 1: range [oC]",                                                   {"Form5", "lbl19"},   {"Form8", "lbl17"}},
    {16, "Problem 1: approach [oC]",                                                {"Form5", "lbl20"},   {"Form8", "lbl18"}},
    {19, "Problem 1: outlet (exhaust) dry bulb temperature [oC]",                   {"Form5", "lbl13"},   {"Form8", "lbl11"}},
    {20, "Problem 1: outlet (exhaust) wet bulb temperature [oC]",                   {"Form5", "lbl14"},   {"Form8", "lbl12"}},
    {21, "Problem 1: enthalpy of outlet air [kJ/kg]",                               {"Form5", "lbl15"},   {"Form8", "lbl13"}},
    {22, "Problem 1: relative humidity OUT [%]",                                    {"Form5", "lbl16"},   {"Form8", "lbl14"}},
    {23, "Problem 1: absolute humidity OUT [-]",                                    {"Form5", "lbl17"},   {"Form8", "lbl15"}},
    {24, "Problem 1: wet bulb temperature IN [oC]",                                 {"Form5", "lbl9"},    {"Form8", "lbl9"}},
    {25, "Problem 1: enthalpy of air IN [kJ/kg]",                                   {"Form5", "lbl11"},   {"Form8", "lbl19"}},
    {26, "Problem 1: absolute humidity IN [-]",                                     {"Form5", "lbl12"},   {"Form8", "lbl20"}},
    {30, "Problem 2: water mass flow rate [kg/s]",                                  {"Form2", "Text13"},  {"Form6", "Text16"}},
    {31, "Problem 2: air mass flow rate [kg/s]",                                    {"Form2", "Text15"},  {"Form6", "Text17"}},
    {32, "Problem 2: water temperature IN [oC]",                                    {"Form2", "Text11"},  {"Form6", "Text14"}},
    {33, "Problem 2: water temperature OUT [oC]",                                   {"Form2", "Text12"},  {"Form6", "Text15"}},
    {34, "Problem 2: ambient wet bulb temperature IN [oC]",                         {"Form2", "Text14"},  {"Form6", "Text18"}},
    {35, "Problem 2: ambient dry bulb temperature IN [oC]",                         {"Form2", "Text16"},  {"Form6", "Text19"}},
    {37, "Problem 2: design heat capacity Qd [kW]",                                 {"Form2", "l5"},      {"Form6", "l20"}},
    {40, "Problem 2: ambient dry bulb temperature IN, design-condition block [oC]", {"Form2", "l25"},     {"Form6", "l6"}},
    {41, "Problem 2: ambient wet bulb temperature IN, design-condition block [oC]", {"Form2", "l26"},     {"Form6", "l9"}},
    {42, "Problem 2: water temperature IN, design-condition block [oC]",            {"Form2", "l27"},     {"Form6", "l3"}},
    {45, "Problem 2: water temperature OUT for NTU (2) = const. [oC]",              {"Form2", "l3"},      {"Form6", "l4"}},
    {46, "Problem 2: heat capacity Qa [kW]",                                        {"Form2", "l4"},      {"Form6", "l10"}},
    {47, "Problem 2: (Qa - Qd) / Qd * 100 [%]",                                     {"Form2", "l1"},      {"Form6", "l28"}},
    {48, "Problem 2: number of transfer units NTU (2) [kW/(kJ/kg)]",                {"Form2", "l2"},      {"Form6", "l2"}},
    {49, "Problem 2: cooling degree [-]",                                           {"Form2", "l22"},     {"Form6", "l11"}},
    {50, "Problem 2: range [oC]",                                                   {"Form2", "l23"},     {"Form6", "l12"}},
    {51, "Problem 2: approach [oC]",                                                {"Form2", "l24"},     {"Form6", "l13"}},
    {55, "Problem 3: water mass flow rate (3) [kg/s]",                              {"Form10", "Text18"}, {"Form9", "Text18"}},
    {56, "Problem 3: air mass flow rate (3) [kg/s]",                                {"Form10", "Text19"}, {"Form9", "Text19"}},
    {59, "Problem 3: ratio L(3) / G(3) [-]",                                        {"Form10", "l20"},    {"Form9", "l20"}},
    {60, "Problem 3: number of transfer units (3) [kW/(kJ/kg)]",                    {"Form10", "l21"},    {"Form9", "l21"}},
    {61, "Problem 3: heat capacity (3) [kW]",                                       {"Form10", "l22"},    {"Form9", "l22"}},
    {62, "Problem 3: water temperature OUT [oC]",                                   {"Form10", "l23"},    {"Form9", "l23"}},
    {63, "Problem 3: cooling degree [-]",                                           {"Form10", "l13"},    {"Form9", "l13"}},
    {64, "Problem 3: range [oC]",                                                   {"Form10", "l14"},    {"Form9", "l14"}},
    {65, "Problem 3: approach [oC]",                                                {"Form10", "l15"},    {"Form9", "l15"}},
    {69, "Problem 4: heat capacity (4) [kW]",                                       {"Form3", "Text1"},   {"Form4", "Text7"}},
    {70, "Problem 4: water temperature IN (4) [oC]",                                {"Form3", "Text29"},  {"Form4", "Text4"}},
    {71, "Problem 4: ambient dry bulb temperature IN (4) [oC]",                     {"Form3", "Text2"},   {"Form4", "Text6"}},
    {72, "Problem 4: ambient wet bulb temperature IN (4) [oC]",                     {"Form3", "Text3"},   {"Form4", "Text5"}},
    {75, "Problem 4: water mass flow rate (4) [kg/s]",                              {"Form3", "l21"},     {"Form4", "l21"}},
    {76, "Problem 4: air mass flow rate (4) [kg/s]",                                {"Form3", "l22"},     {"Form4", "l22"}},
    {77, "Problem 4: L / G (4) [-]",                                                {"Form3", "l23"},     {"Form4", "l23"}},
    {78, "Problem 4: water temperature OUT (4) [oC]",                               {"Form3", "l24"},     {"Form4", "l24"}},
    {79, "Problem 4: number of transfer units (4) [kW/(kJ/kg)]",                    {"Form3", "l28"},     {"Form4", "l28"}},
    {80, "Problem 4: cooling degree [-]",                                           {"Form3", "l25"},     {"Form4", "l25"}},
    {81, "Problem 4: range [oC]",                                                   {"Form3", "l26"},     {"Form4", "l26"}},
    {82, "Problem 4: approach [oC]",                                                {"Form3", "l27"},     {"Form4", "l27"}},
}};
// clang-format on

QString ColumnLetter(int slot) {
    if (slot < 1 || slot > kSlotCount)
        return QString();
    return QString(QChar(u'A' + slot));
}

QString cellAddress(const QString& column, int row) {
    return column + QString::number(row);
}

} // namespace report
