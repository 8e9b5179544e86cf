#pragma once
// Form4: Problem 4 for the cross-flow tower. For a desired heat capacity, a water inlet
// temperature and new ambient air it searches the water mass flow rate that the tower of
// Problem 3 (Form9), at Problem 3's L/G and with its NTU scaled to the flow, cools by exactly
// that heat; each trial flow runs a full cell sweep.

#include "ui/problemwindow.h"

class QLabel;
class QLineEdit;
class QPushButton;

class Form4 : public ProblemWindow {
    Q_OBJECT
public:
    explicit Form4(Workspace& workspace);

    void Command1_Click(); // CALCULATE
    void Command3_Click(); // BACK
    void Command4_Click(); // GoTo MENU

    // Input data.
    QLineEdit* Text7; // desired heat capacity Q4, kW
    QLineEdit* Text4; // water temperature IN T4, degC
    QLineEdit* Text6; // ambient dry bulb tdb4, degC
    QLineEdit* Text5; // ambient wet bulb twb4, degC

    // Data transferred from Problem 3.
    QLabel* Label11; // NTU (3)
    QLabel* l5;      // water mass flow rate (3)
    QLabel* l6;      // L / G (3)
    QLabel* l7;      // water temperature IN (3)
    QLabel* l20;     // water temperature OUT (3)
    QLabel* l8;      // heat capacity (3)
    QLabel* l9;      // air pressure (3), from Problem 1
    // Performance indicators.
    QLabel* l21; // water mass flow rate L4
    QLabel* l22; // air mass flow rate G4
    QLabel* l23; // L / G (4)
    QLabel* l24; // water temperature OUT t4
    QLabel* l28; // NTU (4)
    QLabel* l25; // cooling degree
    QLabel* l26; // range
    QLabel* l27; // approach
    // Inlet air (4).
    QLabel* l10; // dry bulb
    QLabel* l11; // wet bulb
    QLabel* l12; // enthalpy
    QLabel* l13; // relative humidity
    QLabel* l14; // absolute humidity
    // Outlet air (4).
    QLabel* l15; // dry bulb
    QLabel* l16; // wet bulb
    QLabel* l17; // enthalpy
    QLabel* l18; // relative humidity
    QLabel* l19; // absolute humidity

    // "Please wait while calculation is in progress ...", shown only while CALCULATE works.
    QLabel* Label1;

    QPushButton* Command1;
    QPushButton* Command3;
    QPushButton* Command4;
};
