#pragma once
// Form5: Problem 1 for the counter-flow tower. From seven measured values it computes the
// tower's NTU by the counter-flow integration, its heat capacity, cooling degree, range and
// approach, and the inlet and outlet air; each calculation adds a row to the result grid.

#include "ui/problemonewindow.h"

class QLabel;
class QPushButton;

class Form5 : public ProblemOneWindow {
    Q_OBJECT
public:
    explicit Form5(Workspace& workspace);

    void Command1_Click(); // CALCULATE
    void Command2_Click(); // GoTo Problem 2
    void Command3_Click(); // BACK

    // Performance indicators.
    QLabel* lbl2;  // NTU
    QLabel* lbl10; // heat capacity Q, kW
    QLabel* lbl18; // cooling degree
    QLabel* lbl19; // range
    QLabel* lbl20; // approach
    // Air.
    QLabel* lbl13; // outlet dry bulb
    QLabel* lbl14; // outlet wet bulb
    QLabel* lbl15; // outlet enthalpy
    QLabel* lbl16; // outlet relative humidity
    QLabel* lbl17; // outlet absolute humidity
    QLabel* lbl9;  // inlet wet bulb
    QLabel* lbl11; // inlet enthalpy
    QLabel* lbl12; // inlet absolute humidity

    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
};
