#include "ui/form6.h"

#include "ui/form8.h"
#include "ui/form9.h"
#include "ui/workspace.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* sectionTitle(QWidget* parent, const QString& text) {
    auto* label = new QLabel(text, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

// A label that carries a copied value and is never shown.
QLabel* hiddenLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setVisible(false);
    return label;
}

} // namespace

Form6::Form6(Workspace& workspace)
    : ProblemWindow(workspace, "Form6", QStringLiteral("Problem 2 - cross flow")) {
    QWidget* header = makeHeader(
        QStringLiteral("Problem 2: COMPARISON THE COOLING TOWER PERFORMANCE INDICATORS  WITH "
                       "DESIGN DATA (ACCEPTANCE TEST)"),
        QStringLiteral("CROSS FLOW"));

    QGroupBox* plate = makeFrame(QStringLiteral("Name Plate Data"));
    Text16 = addField(plate, "Text16", QStringLiteral("Water mass flow rate, [kg/s]"));
    Text17 = addField(plate, "Text17", QStringLiteral("Air mass flow rate, [kg/s]"));
    Text14 = addField(plate, "Text14", QStringLiteral(" Water temperature IN, [oC]"));
    Text15 = addField(plate, "Text15", QStringLiteral("Water temperature OUT, [oC]"));
    Text18 = addField(plate, "Text18", QStringLiteral("Ambient wet bulb temp. IN, [oC]"));
    Text19 = addField(plate, "Text19", QStringLiteral("Ambient dry bulb temp. IN, [oC]"));

    l1 = hiddenLabel(this, "l1");
    l8 = hiddenLabel(this, "l8");
    l5 = hiddenLabel(this, "l5");

    QGroupBox* toBeCalculated = makeFrame(QStringLiteral("To be Calculated"));
    l20 = addResult(toBeCalculated, "l20", QStringLiteral("Design heat capacity, Qd [kW]"));

    QGroupBox* inlet = makeFrame(QStringLiteral("Design Air and Water Inlet Data"));
    l6 = addResult(inlet, "l6", QStringLiteral("Ambient dry bulb temperature IN, [oC]"));
    l9 = addResult(inlet, "l9", QStringLiteral("Ambient wet bulb temp. IN, [oC]"));
    l3 = addResult(inlet, "l3", QStringLiteral("Water temperature IN, [oC]"));

    QGroupBox* test = makeFrame(QStringLiteral("Acceptance Test"));
    l4 = addResult(test, "l4", QStringLiteral("Water temperature OUT for NTU (2) = const., [oC]"));
    l10 = addResult(test, "l10", QStringLiteral(" Heat capacity, Qa [kW] "));
    l28 = addResult(test, "l28", QStringLiteral("( Qa - Qd ) / Qd * 100,  [%]"));
    l2 = addResult(test, "l2", QStringLiteral("Number of transfer units - NTU (2), [kW/(kJ/kg)]"));
    l11 = addResult(test, "l11", QStringLiteral("Cooling degree [-]"));
    l12 = addResult(test, "l12", QStringLiteral("Range  [oC]"));
    l13 = addResult(test, "l13", QStringLiteral("Approach  [oC]"));

    QGroupBox* air = makeInOutTable(
        QStringLiteral("Air Parameters"),
        {QStringLiteral("Inlet Air (2)"), QString(), QStringLiteral("Outlet Air (2)")},
        {
            {l50, "l50", " tdb,in  [oC]", l7, "l7", "tdb,out  [oC]"},
            {l51, "l51", "twb,in  [oC]", l21, "l21", "twb,out  [oC]"},
            {l25, "l25", "h,in  [kJ/kg]", l22, "l22", "h,out  [kJ/kg]"},
            {l26, "l26", " RH,in  [%]", l23, "l23", "RH,out  [%]"},
            {l27, "l27", "x,in  [-]", l24, "l24", "x,out  [-]"},
        });

    Command1 = makeButton("Command1", QStringLiteral("CALCULATE"));
    Command2 = makeButton("Command2", QStringLiteral("BACK"));
    Command3 = makeButton("Command3", QStringLiteral("GoTo Problem 3"));
    Command3->setEnabled(false);
    connect(Command1, &QPushButton::clicked, this, &Form6::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form6::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form6::Command3_Click);

    QLabel* towerHeading = sectionTitle(this, QStringLiteral("COOLING TOWER SPECIFICATION"));
    QLabel* designData = sectionTitle(this, QStringLiteral("DESIGN DATA USE FOR CALCULATION"));
    QHBoxLayout* middle =
        makeColumns({towerHeading, plate, toBeCalculated}, {designData, inlet, test});
    QHBoxLayout* buttons = makeButtonRow(Command2, nullptr, Command1, Command3);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(4);
    layout->addWidget(header);
    layout->addLayout(middle);
    layout->addWidget(air);
    layout->addStretch(1);
    layout->addLayout(buttons);

    setTabOrder(Text19, Command1);
}

void Form6::Command1_Click() {
    calculate();
}

void Form6::Command2_Click() {
    goTo(1);
}

void Form6::Command3_Click() {
    goTo(3);
}
