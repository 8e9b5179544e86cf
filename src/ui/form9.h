#pragma once
// Form9: Problem 3 for the cross-flow tower. It copies the measured and calculated values of
// Problem 1 (Form8), scales the tower's NTU to new water and air mass flow rates and runs one
// cell sweep with it: the new outlet water temperature, heat capacity, indicators and outlet
// air.

#include "ui/problemwindow.h"

class QLabel;
class QLineEdit;
class QPushButton;

class Form9 : public ProblemWindow {
    Q_OBJECT
public:
    explicit Form9(Workspace& workspace);

    void Command1_Click(); // CALCULATE
    void Command2_Click(); // GoTo Problem 4
    void Command3_Click(); // BACK

    // New flow rates.
    QLineEdit* Text18; // water mass flow rate L3, kg/s
    QLineEdit* Text19; // air mass flow rate G3, kg/s

    // Measured values from Problem 1.
    QLabel* l1; // water mass flow rate
    QLabel* l3; // water temperature IN
    QLabel* l4; // water temperature OUT
    QLabel* l8; // air mass flow rate
    QLabel* l5; // pressure
    QLabel* l6; // dry bulb IN
    QLabel* l7; // relative humidity IN
    // Calculated values in Problem 1 (the inlet air recomputed here).
    QLabel* l2;  // NTU (1)
    QLabel* l10; // heat capacity (1)
    QLabel* l9;  // wet bulb IN
    QLabel* l11; // enthalpy IN
    QLabel* l12; // absolute humidity IN
    // Performance indicators.
    QLabel* l20; // L3 / G3
    QLabel* l21; // NTU (3)
    QLabel* l22; // heat capacity (3), kW
    QLabel* l23; // water temperature OUT t3
    QLabel* l13; // cooling degree
    QLabel* l14; // range
    QLabel* l15; // approach
    // Outlet air (1), copied from Form8.
    QLabel* l29; // dry bulb
    QLabel* l30; // wet bulb
    QLabel* l31; // enthalpy
    QLabel* l32; // relative humidity
    QLabel* l33; // absolute humidity
    // Outlet air (3).
    QLabel* l24; // dry bulb
    QLabel* l25; // wet bulb
    QLabel* l26; // enthalpy
    QLabel* l28; // relative humidity
    QLabel* l27; // absolute humidity

    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
};
