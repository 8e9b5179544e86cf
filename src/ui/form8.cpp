#include "ui/form8.h"

#include "ui/form1.h"
#include "ui/form6.h"
#include "ui/towerschematic.h"
#include "ui/workspace.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

Form8::Form8(Workspace& workspace)
    : ProblemOneWindow(workspace, "Form8", QStringLiteral("Problem 1 - cross flow")) {
    makeInputs(QStringLiteral("CROSS FLOW"),
               QStringLiteral("The following data has to be measured for calculation the Number "
                              "of Transfer Units (NTU) of existing cooling tower "),
               QStringLiteral("Input Data"),
               {QStringLiteral("Water mass flow rate, [kg/s]"),
                QStringLiteral("Air mass flow rate, [kg/s]"),
                QStringLiteral("Water temperature IN, [oC]"),
                QStringLiteral("Water temperature OUT, [oC]"),
                QStringLiteral("Ambient air pressure, [bar]"),
                QStringLiteral("Ambient dry bulb temp. IN, [oC]"),
                QStringLiteral("Amb. air relative humidity IN, [%]")});

    QGroupBox* indicators = makeFrame(QStringLiteral("Perfromance Indicators"));
    lbl2 = addResult(indicators, "lbl2", QStringLiteral("Number of transfer units, [kW/(kJ/kg)]"));
    lbl10 = addResult(indicators, "lbl10", QStringLiteral("Heat capacity, [kW]"));
    lbl16 = addResult(indicators, "lbl16", QStringLiteral("Cooling degree [-]"));
    lbl17 = addResult(indicators, "lbl17", QStringLiteral("Range, [oC]"));
    lbl18 = addResult(indicators, "lbl18", QStringLiteral("Approach, [oC]"));

    QGroupBox* air = makeFrame(QStringLiteral("Air Parameters"));
    lbl11 = addResult(air, "lbl11", QStringLiteral("Outlet (exhaust) dry bulb temp, [oC]"));
    lbl12 = addResult(air, "lbl12", QStringLiteral("Outlet (exhaust) wet bulb temp, [oC]"));
    lbl13 = addResult(air, "lbl13", QStringLiteral("Enthalpy of outlet air, [kJ/kg]"));
    lbl14 = addResult(air, "lbl14", QStringLiteral("Relative humidity OUT,  [%]"));
    lbl15 = addResult(air, "lbl15", QStringLiteral("Absolut humidity OUT,  [-]"));
    lbl9 = addResult(air, "lbl9", QStringLiteral("Wet bulb temperature IN, [oC]"));
    lbl19 = addResult(air, "lbl19", QStringLiteral("Enthalpy of air. IN, [kJ/kg]"));
    lbl20 = addResult(air, "lbl20", QStringLiteral("Absolut humidity IN,  [-]"));

    auto* picture = new TowerSchematic(Arrangement::CrossFlow, this);

    Label8 = makeBusyLabel("Label8");

    makeGrid();

    Command1 = makeButton("Command1", QStringLiteral("CALCULATE"));
    Command2 = makeButton("Command2", QStringLiteral("BACK"));
    Command3 = makeButton("Command3", QStringLiteral("GoTo Problem 2"));
    Command3->setEnabled(false);
    connect(Command1, &QPushButton::clicked, this, &Form8::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form8::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form8::Command3_Click);

    layOut({.indicators = indicators,
            .air = air,
            .picture = picture,
            .busy = Label8,
            .back = Command2,
            .calculate = Command1,
            .onward = Command3});
}

void Form8::Command1_Click() {
    calculate(Label8);
}

void Form8::Command2_Click() {
    goToStart();
}

void Form8::Command3_Click() {
    goTo(2);
}
