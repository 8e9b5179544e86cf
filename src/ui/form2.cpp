#include "ui/form2.h"

#include "ui/form10.h"
#include "ui/form5.h"
#include "ui/workspace.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* makeHeading(const QString& text, QWidget* parent) {
    auto* heading = new QLabel(text, parent);
    heading->setWordWrap(true);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    return heading;
}

} // namespace

Form2::Form2(Workspace& workspace)
    : ProblemWindow(workspace, "Form2", QStringLiteral("Problem 2 - counter flow")) {
    QWidget* header = makeHeader(
        QStringLiteral("Problem 2: COMPARISON THE COOLING TOWER PERFORMANCE INDICATORS  WITH "
                       "DESIGN DATA (ACCEPTANCE TEST)"),
        QStringLiteral("COUNTER FLOW"));

    QGroupBox* namePlate = makeFrame(QStringLiteral("Name Plate Data"));
    Text13 = addField(namePlate, "Text13", QStringLiteral("Water mass flow rate, [kg/s]"));
    Text15 = addField(namePlate, "Text15", QStringLiteral("Air mass flow rate, [kg/s]"));
    Text11 = addField(namePlate, "Text11", QStringLiteral(" Water temperature IN, [oC]"));
    Text12 = addField(namePlate, "Text12", QStringLiteral("Water temperature OUT, [oC]"));
    Text14 = addField(namePlate, "Text14", QStringLiteral("Ambient wet bulb temp. IN, [oC]"));
    Text16 = addField(namePlate, "Text16", QStringLiteral("Ambient dry bulb temp. IN, [oC]"));

    QGroupBox* toBeCalculated = makeFrame(QStringLiteral("To be Calculated"));
    l5 = addResult(toBeCalculated, "l5", QStringLiteral("Design heat capacity, Qd [kW]"));

    QGroupBox* designInlet = makeFrame(QStringLiteral("Design Air and Water Inlet Data"));
    l25 = addResult(designInlet, "l25", QStringLiteral("Ambient dry bulb temperature IN, [oC]"));
    l26 = addResult(designInlet, "l26", QStringLiteral("Ambient wet bulb temp. IN, [oC]"));
    l27 = addResult(designInlet, "l27", QStringLiteral("Water temperature IN, [oC]"));

    QGroupBox* acceptance = makeFrame(QStringLiteral("ACCEPTANCE TEST"));
    l3 = addResult(acceptance, "l3",
                   QStringLiteral("Water temperature OUT for NTU (2) = const., [oC]"));
    l4 = addResult(acceptance, "l4", QStringLiteral(" Heat capacity, Qa [kW]"));
    l1 = addResult(acceptance, "l1", QStringLiteral("( Qa - Qd ) / Qd * 100,  [%]"));
    l2 = addResult(acceptance, "l2",
                   QStringLiteral("Number of transfer units - NTU (2), [kW/(kJ/kg)]"));
    l22 = addResult(acceptance, "l22", QStringLiteral("Cooling degree [-]"));
    l23 = addResult(acceptance, "l23", QStringLiteral("Range  [oC]"));
    l24 = addResult(acceptance, "l24", QStringLiteral("Approach, [oC]"));

    // The air table: each value has its own caption, inlet beside outlet.
    QGroupBox* air = makeInOutTable(
        QStringLiteral("AMBIENT AIR PARAMETERS"),
        {QStringLiteral("Inlet Air (2)"), QString(), QStringLiteral("Outlet Air (2)")},
        {
            {l17, "l17", "tdb,in  [oC]", l6, "l6", "tdb,out  [oC]"},
            {l18, "l18", "twb,in  [oC]", l7, "l7", "twb,out  [oC]"},
            {l19, "l19", "h,in  [kJ/kg]", l8, "l8", "h,out  [kJ/kg]"},
            {l20, "l20", "RH,in  [%]", l9, "l9", "RH,out  [%]"},
            {l21, "l21", "x,in  [-]", l10, "l10", "x,out  [-]"},
        });

    Command1 = makeButton("Command1", QStringLiteral("CALCULATE"));
    Command2 = makeButton("Command2", QStringLiteral("BACK"));
    Command3 = makeButton("Command3", QStringLiteral("GoTo Problem 3"));
    Command3->setEnabled(false);
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form2::Command3_Click);

    QLabel* towerHeading = makeHeading(QStringLiteral("COOLING TOWER SPECIFICATION"), this);
    QLabel* heatCapacity = makeHeading(QStringLiteral("Cooling Tower Heat Capacity for Design "
                                                      "Wet Bulb Temperature and Design Water "
                                                      "Temperature In"),
                                       this);
    QLabel* designData = makeHeading(QStringLiteral("DESIGN DATA USE FOR CALCULATION"), this);
    QHBoxLayout* middle = makeColumns(
        {towerHeading, namePlate, heatCapacity, toBeCalculated, designData, designInlet},
        {acceptance, air});
    QHBoxLayout* buttons = makeButtonRow(Command2, nullptr, Command1, Command3);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(4);
    layout->addWidget(header);
    layout->addLayout(middle, 1);
    layout->addLayout(buttons);

    setTabOrder(Text16, Command1);
}

void Form2::Command1_Click() {
    calculate();
}

void Form2::Command2_Click() {
    goTo(1);
}

void Form2::Command3_Click() {
    // Problem 1's values travel on to Problem 3 as the texts Problem 1 shows.
    workspace().pushTexts();
    audit().goOn(Arrangement::CounterFlow, 2);
    workspace().pullTexts();
    goTo(3);
}
