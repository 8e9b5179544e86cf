#pragma once
// Form10: Problem 3 for the counter-flow tower. The tower of Problem 1 gets new water and air
// flows: its NTU is scaled to them by the flow-rate law, and the outlet water temperature at
// which the counter-flow integration needs that NTU gives the new heat capacity, indicators and
// outlet air. Problem 1's values arrive as texts in l1 to l12 and l29 to l33, copied there by
// Form2's "GoTo Problem 3"; this window never fills them itself.

#include "ui/problemwindow.h"

class QLabel;
class QLineEdit;
class QPushButton;

class Form10 : public ProblemWindow {
    Q_OBJECT
public:
    explicit Form10(Workspace& workspace);

    void Command1_Click(); // CALCULATE
    void Command2_Click(); // BACK
    void Command3_Click(); // GoTo Problem 4

    // New flow rates.
    QLineEdit* Text18; // water mass flow rate L3, kg/s
    QLineEdit* Text19; // air mass flow rate G3, kg/s

    // Measured values of Problem 1, as Form5 shows them.
    QLabel* l1; // water mass flow rate, kg/s
    QLabel* l3; // water temperature IN, degC
    QLabel* l4; // water temperature OUT, degC
    QLabel* l8; // air mass flow rate, kg/s
    QLabel* l5; // ambient air pressure, bar
    QLabel* l6; // ambient dry bulb IN, degC
    QLabel* l7; // ambient relative humidity IN, %
    // Calculated values of Problem 1.
    QLabel* l2;  // NTU, kW/(kJ/kg)
    QLabel* l10; // heat capacity, kW
    QLabel* l9;  // inlet wet bulb, degC
    QLabel* l11; // inlet air enthalpy, kJ/kg
    QLabel* l12; // inlet absolute humidity, kg/kg

    // Performance indicators (3).
    QLabel* l20; // L3 / G3
    QLabel* l21; // NTU3, kW/(kJ/kg)
    QLabel* l22; // heat capacity Q3, kW
    QLabel* l23; // outlet water temperature t3, degC
    QLabel* l13; // cooling degree
    QLabel* l14; // range, K
    QLabel* l15; // approach, K

    // Outlet air: Problem 1 ...
    QLabel* l29; // dry bulb, degC
    QLabel* l30; // wet bulb, degC
    QLabel* l31; // enthalpy, kJ/kg
    QLabel* l32; // relative humidity, %
    QLabel* l33; // absolute humidity, kg/kg
    // ... and at the new flows.
    QLabel* l24; // dry bulb, degC
    QLabel* l25; // wet bulb, degC
    QLabel* l26; // enthalpy, kJ/kg
    QLabel* l28; // relative humidity, %
    QLabel* l27; // absolute humidity, kg/kg

    QPushButton* Command1; // CALCULATE
    QPushButton* Command2; // BACK
    QPushButton* Command3; // GoTo Problem 4, enabled by a successful calculation
};
