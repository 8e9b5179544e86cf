#include "ui/form5.h"

#include "ui/form1.h"
#include "ui/towerschematic.h"
#include "ui/workspace.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

Form5::Form5(Workspace& workspace)
    : ProblemOneWindow(workspace, "Form5", QStringLiteral("Problem 1 - counter flow")) {
    makeInputs(QStringLiteral("COUNTER FLOW"),
               QStringLiteral("The following data has to be measured to calculate the Number of "
                              "Transfer Units (NTU) of existing cooling tower "),
               QStringLiteral("INPUT DATA"),
               {QStringLiteral("Water mass flow rate, [kg/s]"),
                QStringLiteral("Air mass flow rate, [kg/s]"),
                QStringLiteral(" Water temperature IN, [oC]"),
                QStringLiteral(" Water temperature OUT, [oC]"),
                QStringLiteral("Ambient air pressure, [bar]"),
                QStringLiteral("Ambient dry bulb temp. IN, [oC]"),
                QStringLiteral("Ambient air relative humidity IN, [%]")});

    QGroupBox* indicators = makeFrame(QStringLiteral("PERFORMANCE INDICATORS"));
    lbl2 =
        addResult(indicators, "lbl2", QStringLiteral("Number of transfer units (1), [kW/(kJ/kg)]"));
    lbl10 = addResult(indicators, "lbl10", QStringLiteral("Heat capacity, [kW]"));
    lbl18 = addResult(indicators, "lbl18", QStringLiteral("Cooling degree, [-]"));
    lbl19 = addResult(indicators, "lbl19", QStringLiteral("Range, [oC]"));
    lbl20 = addResult(indicators, "lbl20", QStringLiteral("Approach, [oC]"));

    QGroupBox* air = makeFrame(QStringLiteral("AMBIENT AIR PARAMETERS"));
    lbl13 = addResult(air, "lbl13", QStringLiteral("Outlet (exhaust) dry bulb temp, [oC]"));
    lbl14 = addResult(air, "lbl14", QStringLiteral("Outlet (exhaust) wet bulb temp, [oC]"));
    lbl15 = addResult(air, "lbl15", QStringLiteral("Enthalpy of outlet air, [kJ/kg]"));
    lbl16 = addResult(air, "lbl16", QStringLiteral("Relative humidity OUT, [%]"));
    lbl17 = addResult(air, "lbl17", QStringLiteral("Absolut humidity OUT,  [-]"));
    lbl9 = addResult(air, "lbl9", QStringLiteral("Wet bulb temperature IN, [oC]"));
    lbl11 = addResult(air, "lbl11", QStringLiteral("Enthalpy of air. IN, [kJ/kg]"));
    lbl12 = addResult(air, "lbl12", QStringLiteral("Absolut humidity IN,  [-]"));

    auto* picture = new TowerSchematic(Arrangement::CounterFlow, this);

    makeGrid();

    Command1 = makeButton("Command1", QStringLiteral("CALCULATE"));
    Command2 = makeButton("Command2", QStringLiteral("GoTo Problem 2"));
    Command3 = makeButton("Command3", QStringLiteral("BACK"));
    Command2->setEnabled(false);
    connect(Command1, &QPushButton::clicked, this, &Form5::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form5::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form5::Command3_Click);

    layOut({.indicators = indicators,
            .air = air,
            .picture = picture,
            .busy = nullptr,
            .back = Command3,
            .calculate = Command1,
            .onward = Command2});
}

void Form5::Command1_Click() {
    calculate();
}

void Form5::Command2_Click() {
    goTo(2);
}

void Form5::Command3_Click() {
    goToStart();
}
