#pragma once
// Form8: Problem 1 for the cross-flow tower. From seven measured values it searches the
// tower's NTU with the cross-flow cell sweep (the NTU whose sweep cools the water to the
// measured outlet temperature), and shows the heat capacity, cooling degree, range and
// approach and the inlet and outlet air; each calculation adds a row to the result grid.

#include "ui/problemonewindow.h"

class QLabel;
class QPushButton;

class Form8 : public ProblemOneWindow {
    Q_OBJECT
public:
    explicit Form8(Workspace& workspace);

    void Command1_Click(); // CALCULATE
    void Command2_Click(); // BACK
    void Command3_Click(); // GoTo Problem 2

    // Performance indicators.
    QLabel* lbl2;  // NTU
    QLabel* lbl10; // heat capacity Q, kW
    QLabel* lbl16; // cooling degree
    QLabel* lbl17; // range
    QLabel* lbl18; // approach
    // Air.
    QLabel* lbl11; // outlet dry bulb
    QLabel* lbl12; // outlet wet bulb
    QLabel* lbl13; // outlet enthalpy
    QLabel* lbl14; // outlet relative humidity
    QLabel* lbl15; // outlet absolute humidity
    QLabel* lbl9;  // inlet wet bulb
    QLabel* lbl19; // inlet enthalpy
    QLabel* lbl20; // inlet absolute humidity

    // "Please wait while calculation is in progress ...", shown only while CALCULATE works.
    QLabel* Label8;

    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
};
