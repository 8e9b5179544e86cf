#include "ui/form3.h"

#include "ui/form1.h"
#include "ui/form10.h"
#include "ui/workspace.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

Form3::Form3(Workspace& workspace)
    : ProblemWindow(workspace, "Form3", QStringLiteral("Problem 4 - counter flow")) {
    QWidget* header =
        makeHeader(QStringLiteral("Problem 4: CALCULATION OF WATER FLOW RATE FOR DESIRED HEAT "
                                  "CAPACITY AND ( L / G = const. )"),
                   QStringLiteral("COUNTER FLOW"));

    QGroupBox* input = makeFrame(QStringLiteral("INPUT DATA"));
    Text1 = addField(input, "Text1", QStringLiteral("Heat capacity (4), [kW]"));
    Text29 = addField(input, "Text29", QStringLiteral("Water temperature IN (4), [oC]"));
    Text2 = addField(input, "Text2", QStringLiteral("Ambient dry bulb temp. IN (4), [oC]"));
    Text3 = addField(input, "Text3", QStringLiteral("Ambient wet bulb temp. IN (4), [oC]"));

    QGroupBox* transferred = makeFrame(QStringLiteral("DATA TRANSFERRED FROM Problem 3"));
    l4 = addResult(transferred, "l4", QStringLiteral("Number of transfer units (3), [kW/(kJ/kg)]"));
    l5 = addResult(transferred, "l5", QStringLiteral("Water mass flow rate (3), [kg/s]"));
    l6 = addResult(transferred, "l6", QStringLiteral(" L / G  (3), [-]"));
    l7 = addResult(transferred, "l7", QStringLiteral("Water temperature IN (3), [oC]"));
    l20 = addResult(transferred, "l20", QStringLiteral("Water temperature OUT (3), [oC]"));
    l8 = addResult(transferred, "l8", QStringLiteral("Heat capacity (3), [kW]"));
    l9 = addResult(transferred, "l9", QStringLiteral("Ambient air pressure (3), [bar]"));

    QGroupBox* indicators = makeFrame(QStringLiteral("PERFORMANCE INDICATORS"));
    l21 = addResult(indicators, "l21", QStringLiteral("Water mass flow rate (4), [kg/s]"));
    l22 = addResult(indicators, "l22", QStringLiteral("Air mass flow rate (4), [kg/s]"));
    l23 = addResult(indicators, "l23", QStringLiteral("L / G, (4)  [-]"));
    l24 = addResult(indicators, "l24", QStringLiteral(" Water temperature OUT (4), [oC]"));
    l28 =
        addResult(indicators, "l28", QStringLiteral("Number of transfer units (4), [kW/(kJ/kg)]"));
    l25 = addResult(indicators, "l25", QStringLiteral("Cooling degree [-]"));
    l26 = addResult(indicators, "l26", QStringLiteral("Range  [oC]"));
    l27 = addResult(indicators, "l27", QStringLiteral("Approach [oC]"));

    const QString inlet = QStringLiteral("Inlet air (4)");
    const QString outlet = QStringLiteral("Outlet air (4)");
    QGroupBox* air = makeAirTable(QStringLiteral("AMBIENT AIR PARAMETERS"), {inlet, outlet},
                                  QLatin1Char(' ') + inlet, QLatin1Char(' ') + outlet,
                                  {
                                      {"tdb  [oC]", l10, "l10", l15, "l15"},
                                      {"twb  [oC]", l11, "l11", l16, "l16"},
                                      {"h [kJ/kg]", l12, "l12", l17, "l17"},
                                      {"RH [%]", l13, "l13", l18, "l18"},
                                      {"x [-]", l14, "l14", l19, "l19"},
                                  });

    Command1 = makeButton("Command1", QStringLiteral("CALCULATE"));
    Command2 = makeButton("Command2", QStringLiteral("BACK"));
    Command3 = makeButton("Command3", QStringLiteral("GoTo MENU"));
    connect(Command1, &QPushButton::clicked, this, &Form3::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form3::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form3::Command3_Click);

    QHBoxLayout* middle = makeColumns({input, transferred}, {indicators, air});
    QHBoxLayout* buttons = makeButtonRow(Command2, nullptr, Command1, Command3);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(4);
    layout->addWidget(header);
    layout->addLayout(middle, 1);
    layout->addLayout(buttons);

    setTabOrder(Text3, Command1);
}

void Form3::Command1_Click() {
    calculate();
}

void Form3::Command2_Click() {
    goTo(3);
}

void Form3::Command3_Click() {
    goToStart();
}
