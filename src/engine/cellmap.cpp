#include "engine/cellmap.h"

#include "engine/keys.h"

namespace report {

namespace {

using namespace engine;

constexpr ControlRef ref(Arrangement arrangement, int problem, int control) {
    return {windowKey(arrangement, problem).data(),
            controlKey(arrangement, problem, control).data()};
}

} // namespace

// A quantity of Problem p under the same identifier in both arrangements.
#define CTAUDIT_BOTH(p, id)                                                                        \
    ref(Arrangement::CounterFlow, p, cf##p::id), ref(Arrangement::CrossFlow, p, xf##p::id)

// clang-format off
const std::array<CellMapRow, kMapRowCount> kCellMap = {{
    // row  quantity                                                                      both arrangements
    { 3, "Problem 1: water mass flow rate [kg/s]",                                        CTAUDIT_BOTH(1, waterFlow)},
    { 4, "Problem 1: air mass flow rate [kg/s]",                                          CTAUDIT_BOTH(1, airFlow)},
    { 5, "Problem 1: water temperature IN [oC]",                                          CTAUDIT_BOTH(1, waterIn)},
    { 6, "Problem 1: water temperature OUT [oC]",                                         CTAUDIT_BOTH(1, waterOut)},
    { 7, "Problem 1: ambient air pressure [bar]",                                         CTAUDIT_BOTH(1, pressure)},
    { 8, "Problem 1: ambient dry bulb temperature IN [oC]",                               CTAUDIT_BOTH(1, dryBulb)},
    { 9, "Problem 1: ambient air relative humidity IN [%]",                               CTAUDIT_BOTH(1, relativeHumidity)},
    {12, "Problem 1: number of transfer units [kW/(kJ/kg)]",                              CTAUDIT_BOTH(1, ntu)},
    {13, "Problem 1: heat capacity [kW]",                                                 CTAUDIT_BOTH(1, heat)},
    {14, "Problem 1: cooling degree [-]",                                                 CTAUDIT_BOTH(1, coolingDegree)},
    {15, "Problem 1: range [oC]",                                                         CTAUDIT_BOTH(1, range)},
    {16, "Problem 1: approach [oC]",                                                      CTAUDIT_BOTH(1, approach)},
    {19, "Problem 1: outlet (exhaust) dry bulb temperature [oC]",                         CTAUDIT_BOTH(1, outletDryBulb)},
    {20, "Problem 1: outlet (exhaust) wet bulb temperature [oC]",                         CTAUDIT_BOTH(1, outletWetBulb)},
    {21, "Problem 1: enthalpy of outlet air [kJ/kg]",                                     CTAUDIT_BOTH(1, outletEnthalpy)},
    {22, "Problem 1: relative humidity OUT [%]",                                          CTAUDIT_BOTH(1, outletRelativeHumidity)},
    {23, "Problem 1: absolute humidity OUT [-]",                                          CTAUDIT_BOTH(1, outletHumidity)},
    {24, "Problem 1: wet bulb temperature IN [oC]",                                       CTAUDIT_BOTH(1, inletWetBulb)},
    {25, "Problem 1: enthalpy of air IN [kJ/kg]",                                         CTAUDIT_BOTH(1, inletEnthalpy)},
    {26, "Problem 1: absolute humidity IN [-]",                                           CTAUDIT_BOTH(1, inletHumidity)},
    {30, "Problem 2: water mass flow rate [kg/s]",                                        CTAUDIT_BOTH(2, designWaterFlow)},
    {31, "Problem 2: air mass flow rate [kg/s]",                                          CTAUDIT_BOTH(2, designAirFlow)},
    {32, "Problem 2: water temperature IN [oC]",                                          CTAUDIT_BOTH(2, designWaterIn)},
    {33, "Problem 2: water temperature OUT [oC]",                                         CTAUDIT_BOTH(2, designWaterOut)},
    {34, "Problem 2: ambient wet bulb temperature IN [oC]",                               CTAUDIT_BOTH(2, designWetBulb)},
    {35, "Problem 2: ambient dry bulb temperature IN [oC]",                               CTAUDIT_BOTH(2, designDryBulb)},
    {37, "Problem 2: design heat capacity Qd [kW]",                                       CTAUDIT_BOTH(2, designHeat)},
    {40, "Problem 2: ambient dry bulb temperature IN, design-condition block [oC]",       CTAUDIT_BOTH(2, designInletDryBulb)},
    {41, "Problem 2: ambient wet bulb temperature IN, design-condition block [oC]",       CTAUDIT_BOTH(2, designInletWetBulb)},
    {42, "Problem 2: water temperature IN, design-condition block [oC]",                  CTAUDIT_BOTH(2, designInletWaterIn)},
    {45, "Problem 2: water temperature OUT for NTU (2) = const. [oC]",                    CTAUDIT_BOTH(2, testWaterOut)},
    {46, "Problem 2: heat capacity Qa [kW]",                                              CTAUDIT_BOTH(2, achievedHeat)},
    {47, "Problem 2: (Qa - Qd) / Qd * 100 [%]",                                           CTAUDIT_BOTH(2, deviation)},
    {48, "Problem 2: number of transfer units NTU (2) [kW/(kJ/kg)]",                      CTAUDIT_BOTH(2, ntu)},
    {49, "Problem 2: cooling degree [-]",                                                 CTAUDIT_BOTH(2, coolingDegree)},
    {50, "Problem 2: range [oC]",                                                         CTAUDIT_BOTH(2, range)},
    {51, "Problem 2: approach [oC]",                                                      CTAUDIT_BOTH(2, approach)},
    {55, "Problem 3: water mass flow rate (3) [kg/s]",                                    CTAUDIT_BOTH(3, newWaterFlow)},
    {56, "Problem 3: air mass flow rate (3) [kg/s]",                                      CTAUDIT_BOTH(3, newAirFlow)},
    {59, "Problem 3: ratio L(3) / G(3) [-]",                                              CTAUDIT_BOTH(3, flowRatio)},
    {60, "Problem 3: number of transfer units (3) [kW/(kJ/kg)]",                          CTAUDIT_BOTH(3, ntu)},
    {61, "Problem 3: heat capacity (3) [kW]",                                             CTAUDIT_BOTH(3, heat)},
    {62, "Problem 3: water temperature OUT [oC]",                                         CTAUDIT_BOTH(3, waterOut)},
    {63, "Problem 3: cooling degree [-]",                                                 CTAUDIT_BOTH(3, coolingDegree)},
    {64, "Problem 3: range [oC]",                                                         CTAUDIT_BOTH(3, range)},
    {65, "Problem 3: approach [oC]",                                                      CTAUDIT_BOTH(3, approach)},
    {69, "Problem 4: heat capacity (4) [kW]",                                             CTAUDIT_BOTH(4, heat)},
    {70, "Problem 4: water temperature IN (4) [oC]",                                      CTAUDIT_BOTH(4, waterIn)},
    {71, "Problem 4: ambient dry bulb temperature IN (4) [oC]",                           CTAUDIT_BOTH(4, dryBulb)},
    {72, "Problem 4: ambient wet bulb temperature IN (4) [oC]",                           CTAUDIT_BOTH(4, wetBulb)},
    {75, "Problem 4: water mass flow rate (4) [kg/s]",                                    CTAUDIT_BOTH(4, waterFlow)},
    {76, "Problem 4: air mass flow rate (4) [kg/s]",                                      CTAUDIT_BOTH(4, airFlow)},
    {77, "Problem 4: L / G (4) [-]",                                                      CTAUDIT_BOTH(4, flowRatio)},
    {78, "Problem 4: water temperature OUT (4) [oC]",                                     CTAUDIT_BOTH(4, waterOut)},
    {79, "Problem 4: number of transfer units (4) [kW/(kJ/kg)]",                          CTAUDIT_BOTH(4, ntu)},
    {80, "Problem 4: cooling degree [-]",                                                 CTAUDIT_BOTH(4, coolingDegree)},
    {81, "Problem 4: range [oC]",                                                         CTAUDIT_BOTH(4, range)},
    {82, "Problem 4: approach [oC]",                                                      CTAUDIT_BOTH(4, approach)},
}};
// clang-format on

#undef CTAUDIT_BOTH

QString ColumnLetter(int slot) {
    if (slot < 1 || slot > kSlotCount)
        return QString();
    return QString(QChar(u'A' + slot));
}

QString cellAddress(const QString& column, int row) {
    return column + QString::number(row);
}

} // namespace report
