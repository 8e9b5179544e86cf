#pragma once
// Form3: Problem 4 for the counter-flow tower. The tower of Problem 3, its L/G held, must reject
// a desired heat at a new water inlet temperature and new ambient air: a search on the water
// flow finds where the NTU the tower offers at that flow equals the NTU the integration needs
// for the heat-balance outlet temperature. The last window of the counter-flow chain.

#include "ui/problemwindow.h"

class QLabel;
class QLineEdit;
class QPushButton;

class Form3 : public ProblemWindow {
    Q_OBJECT
public:
    explicit Form3(Workspace& workspace);

    void Command1_Click(); // CALCULATE
    void Command2_Click(); // BACK
    void Command3_Click(); // GoTo MENU

    // Inputs.
    QLineEdit* Text1;  // desired heat capacity Q4, kW
    QLineEdit* Text29; // water temperature IN T4, degC
    QLineEdit* Text2;  // ambient dry bulb tdb4, degC
    QLineEdit* Text3;  // ambient wet bulb twb4, degC

    // Data transferred from Problem 3, as Form10 shows it.
    QLabel* l4;  // NTU3, kW/(kJ/kg)
    QLabel* l5;  // water mass flow rate L3, kg/s
    QLabel* l6;  // (L/G)3
    QLabel* l7;  // water temperature IN (3), degC
    QLabel* l20; // water temperature OUT (3), degC
    QLabel* l8;  // heat capacity (3), kW
    QLabel* l9;  // ambient air pressure of Problem 1, bar

    // Performance indicators (4).
    QLabel* l21; // water mass flow rate L4, kg/s
    QLabel* l22; // air mass flow rate G4, kg/s
    QLabel* l23; // L / G, the value of Problem 3
    QLabel* l24; // outlet water temperature t4, degC
    QLabel* l28; // NTU4, kW/(kJ/kg)
    QLabel* l25; // cooling degree
    QLabel* l26; // range, K
    QLabel* l27; // approach, K

    // Inlet air (4).
    QLabel* l10; // dry bulb, degC
    QLabel* l11; // wet bulb, degC
    QLabel* l12; // enthalpy, kJ/kg
    QLabel* l13; // relative humidity, %
    QLabel* l14; // absolute humidity, kg/kg
    // Outlet air (4).
    QLabel* l15; // dry bulb, degC
    QLabel* l16; // wet bulb, degC
    QLabel* l17; // enthalpy, kJ/kg
    QLabel* l18; // relative humidity, %
    QLabel* l19; // absolute humidity, kg/kg

    QPushButton* Command1; // CALCULATE
    QPushButton* Command2; // BACK
    QPushButton* Command3; // GoTo MENU
};
