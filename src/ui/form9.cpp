#include "ui/form9.h"

#include "ui/form4.h"
#include "ui/form6.h"
#include "ui/form8.h"
#include "ui/workspace.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

Form9::Form9(Workspace& workspace)
    : ProblemWindow(workspace, "Form9", QStringLiteral("Problem 3 - cross flow")) {
    QWidget* header =
        makeHeader(QStringLiteral("Problem 3: INFLUENCE OF MASS FLOW RATES OF AIR AND WATER "
                                  "VARIATION ON PERFORMANCE INDICATORS"),
                   QStringLiteral("CROSS FLOW"));

    QGroupBox* flows = makeFrame(QStringLiteral("New Flow Rates"));
    Text18 = addField(flows, "Text18", QStringLiteral("Water mass flow rate (3), [kg/s]"));
    Text19 = addField(flows, "Text19", QStringLiteral("Air mass flow rate (3), [kg/s]"));

    QGroupBox* measured = makeFrame(QStringLiteral("Measured Values from Problem 1"));
    l1 = addResult(measured, "l1", QStringLiteral("Water mass flow rate (1), [kg/s]"));
    l3 = addResult(measured, "l3", QStringLiteral("Water temperature IN (1), [oC]"));
    l4 = addResult(measured, "l4", QStringLiteral("Water temperature OUT (1), [oC]"));
    l8 = addResult(measured, "l8", QStringLiteral("Air mass flow rate (1), [kg/s]"));
    l5 = addResult(measured, "l5", QStringLiteral("Ambient air pressure (1), [bar]"));
    l6 = addResult(measured, "l6", QStringLiteral("Ambient dry bulb temperature IN (1), [oC]"));
    l7 = addResult(measured, "l7", QStringLiteral("Ambient air relative humidity IN (1), [%]"));

    QGroupBox* calculated = makeFrame(QStringLiteral("Calculated Values in Problem 1"));
    l2 = addResult(calculated, "l2", QStringLiteral("Number of transfer units (1), [kW/(kJ/kg)]"));
    l10 = addResult(calculated, "l10", QStringLiteral("Heat capacity (1), [kW]"));
    l9 = addResult(calculated, "l9", QStringLiteral("Wet bulb temperature IN (1), [oC]"));
    l11 = addResult(calculated, "l11", QStringLiteral("Enthalpy of air IN (1), [kJ/kg]"));
    l12 = addResult(calculated, "l12", QStringLiteral("Absolut humidity IN (1),  [-]"));

    QGroupBox* indicators = makeFrame(QStringLiteral("Performance Indicators"));
    l20 = addResult(indicators, "l20", QStringLiteral("Ratio  L(3) / G(3),  [-]"));
    l21 =
        addResult(indicators, "l21", QStringLiteral("Number of transfer units (3), [kW/(kJ/kg)]"));
    l22 = addResult(indicators, "l22", QStringLiteral("Heat capacity (3), [kW]"));
    l23 = addResult(indicators, "l23", QStringLiteral("Water temperature OUT, [oC]"));
    l13 = addResult(indicators, "l13", QStringLiteral("Cooling degree [-]"));
    l14 = addResult(indicators, "l14", QStringLiteral("Range  [oC]"));
    l15 = addResult(indicators, "l15", QStringLiteral("Approach [oC]"));

    QGroupBox* air =
        makeAirTable(QStringLiteral("Air Parameters"),
                     {QStringLiteral("Outlet Air (1)"), QStringLiteral("Outlet Air (3)")},
                     QStringLiteral(" (1)"), QStringLiteral(" (3)"),
                     {
                         {" tdb,out  [oC]", l29, "l29", l24, "l24"},
                         {" twb,out  [oC]", l30, "l30", l25, "l25"},
                         {"h,out  [kJ/kg]", l31, "l31", l26, "l26"},
                         {" RH,out  [%]", l32, "l32", l28, "l28"},
                         {"x,out  [-]", l33, "l33", l27, "l27"},
                     });

    Command1 = makeButton("Command1", QStringLiteral("CALCULATE"));
    Command2 = makeButton("Command2", QStringLiteral("GoTo Problem 4"));
    Command3 = makeButton("Command3", QStringLiteral("BACK"));
    Command2->setEnabled(false);
    connect(Command1, &QPushButton::clicked, this, &Form9::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form9::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form9::Command3_Click);

    QHBoxLayout* middle = makeColumns({flows, measured, air}, {calculated, indicators});
    QHBoxLayout* buttons = makeButtonRow(Command3, nullptr, Command1, Command2);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(4);
    layout->addWidget(header);
    layout->addLayout(middle);
    layout->addStretch(1);
    layout->addLayout(buttons);

    setTabOrder(Text19, Command1);
}

void Form9::Command1_Click() {
    calculate();
}

void Form9::Command2_Click() {
    goTo(4);
}

void Form9::Command3_Click() {
    goTo(2);
}
