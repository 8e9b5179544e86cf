#pragma once
// Form2: Problem 2 for the counter-flow tower, the acceptance test. From the name-plate data it
// computes the design heat capacity, then finds the outlet water temperature at which the tower
// of Problem 1 (its NTU as Form5 displays it, its flows and pressure) would work under the
// design inlet conditions, and the heat it would then reject. "GoTo Problem 3" hands Problem 1's
// values on to Form10.

#include "ui/problemwindow.h"

class QLabel;
class QLineEdit;
class QPushButton;

class Form2 : public ProblemWindow {
    Q_OBJECT
public:
    explicit Form2(Workspace& workspace);

    void Command1_Click(); // CALCULATE
    void Command2_Click(); // BACK
    void Command3_Click(); // GoTo Problem 3

    // Name plate data.
    QLineEdit* Text13; // design water mass flow rate Ld, kg/s
    QLineEdit* Text15; // design air mass flow rate Gd, kg/s (shown only)
    QLineEdit* Text11; // design water temperature IN, degC
    QLineEdit* Text12; // design water temperature OUT, degC
    QLineEdit* Text14; // design ambient wet bulb, degC
    QLineEdit* Text16; // design ambient dry bulb, degC

    QLabel* l5; // design heat capacity Qd, kW
    // Design air and water inlet data.
    QLabel* l25; // dry bulb, degC
    QLabel* l26; // wet bulb, degC
    QLabel* l27; // water temperature IN, degC
    // Inlet air (2).
    QLabel* l17; // dry bulb, degC
    QLabel* l18; // wet bulb, degC
    QLabel* l19; // enthalpy, kJ/kg
    QLabel* l20; // relative humidity, %
    QLabel* l21; // absolute humidity, kg/kg
    // Outlet air (2).
    QLabel* l6;  // dry bulb, degC
    QLabel* l7;  // wet bulb, degC
    QLabel* l8;  // enthalpy, kJ/kg
    QLabel* l9;  // relative humidity, %
    QLabel* l10; // absolute humidity, kg/kg
    // Acceptance test.
    QLabel* l3;  // outlet water temperature at the NTU of Problem 1, degC
    QLabel* l4;  // achieved heat capacity Qa, kW
    QLabel* l1;  // (Qa - Qd) / Qd * 100, %
    QLabel* l2;  // NTU of Problem 1, held constant, kW/(kJ/kg)
    QLabel* l22; // cooling degree
    QLabel* l23; // range, K
    QLabel* l24; // approach, K

    QPushButton* Command1; // CALCULATE
    QPushButton* Command2; // BACK
    QPushButton* Command3; // GoTo Problem 3, enabled by a successful calculation
};
