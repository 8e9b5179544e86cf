#pragma once
// Form6: Problem 2 for the cross-flow tower, the acceptance test. The NTU found in Problem 1
// (Form8) is held constant; one cell sweep at the design inlet water temperature and design
// air gives the outlet water temperature and the heat capacity Qa, which is compared with the
// design heat capacity Qd of the name-plate data.

#include "ui/problemwindow.h"

class QLabel;
class QLineEdit;
class QPushButton;

class Form6 : public ProblemWindow {
    Q_OBJECT
public:
    explicit Form6(Workspace& workspace);

    void Command1_Click(); // CALCULATE
    void Command2_Click(); // BACK
    void Command3_Click(); // GoTo Problem 3

    // Name-plate data.
    QLineEdit* Text16; // design water mass flow rate Ld, kg/s
    QLineEdit* Text17; // design air mass flow rate Gd, kg/s (shown, not used)
    QLineEdit* Text14; // design water temperature IN, degC
    QLineEdit* Text15; // design water temperature OUT, degC
    QLineEdit* Text18; // design ambient wet bulb, degC
    QLineEdit* Text19; // design ambient dry bulb, degC

    // Problem 1's water flow, air flow and pressure as copied from Form8; never visible.
    QLabel* l1;
    QLabel* l8;
    QLabel* l5;

    QLabel* l20; // design heat capacity Qd, general number text
    // Design air and water inlet data.
    QLabel* l6; // dry bulb
    QLabel* l9; // wet bulb
    QLabel* l3; // water temperature IN
    // Acceptance test.
    QLabel* l4;  // water temperature OUT at NTU (2) = NTU (1)
    QLabel* l10; // heat capacity Qa, kW
    QLabel* l28; // (Qa - Qd) / Qd * 100, %
    QLabel* l2;  // NTU (2)
    QLabel* l11; // cooling degree
    QLabel* l12; // range
    QLabel* l13; // approach
    // Inlet air (2).
    QLabel* l50; // dry bulb
    QLabel* l51; // wet bulb
    QLabel* l25; // enthalpy
    QLabel* l26; // relative humidity
    QLabel* l27; // absolute humidity
    // Outlet air (2).
    QLabel* l7;  // dry bulb
    QLabel* l21; // wet bulb
    QLabel* l22; // enthalpy
    QLabel* l23; // relative humidity
    QLabel* l24; // absolute humidity

    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
};
