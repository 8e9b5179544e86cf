#include "counterflow/form3.h"

#include "common/numtext.h"
#include "counterflow/counterflowcore.h"
#include "counterflow/form10.h"
#include "counterflow/form5.h"
#include "counterflow/refusal.h"
#include "shell/form1.h"
#include "shell/windows.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

Form3::Form3(Windows& windows)
    : ProblemWindow(windows, "Form3", QStringLiteral("Problem 4 - counter flow")) {
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
    if (!allFieldsFilled())
        return;
    const auto inputs = fieldNumbers({Text1, Text29, Text2, Text3});
    if (!inputs)
        return;
    const auto [Q4, T4, tdb4, twb4] = *inputs;
    if (!checkAirTemperatures(twb4, tdb4, {Text2, Text3}, Text2))
        return;

    // The tower of Problem 3, as Form10 shows it, and the pressure of Problem 1.
    const Form10* problem3 = windows().form10();
    const QString ntu3Text = problem3->l21->text();
    const QString l3Text = problem3->Text18->text();
    const QString g3Text = problem3->Text19->text();
    const QString tin3Text = problem3->l3->text();
    const QString tout3Text = problem3->l23->text();
    const QString q3Text = problem3->l22->text();
    const QString pText = windows().form5()->Text5->text();
    const auto problem3Values =
        numbers({ntu3Text, l3Text, g3Text, pText, tin3Text, tout3Text, q3Text},
                QStringLiteral("Problem 3 has not been calculated yet: calculate it first."));
    if (!problem3Values)
        return;
    const auto [ntu3, L3, G3field, p, tin3, tout3, q3] = *problem3Values;
    if (!(L3 > 0) || !(G3field > 0)) {
        refuse(counterflow::refusalText(counterflow::Status::ZeroFlow));
        return;
    }
    const double ratio3 = L3 / G3field; // full precision: the search holds it
    const double G3 = L3 / ratio3;
    if (!(Q4 > 0)) {
        refuse(QStringLiteral("The heat capacity (4) must be greater than zero."));
        return;
    }
    if (!(T4 - twb4 > counterflow::kSmallestRange)) {
        refuse(QStringLiteral("The water temperature IN (4) must lie more than 0.1 oC above the "
                              "ambient wet bulb temperature (4): the water cannot be cooled "
                              "otherwise and the cooling degree is undefined."));
        return;
    }

    // Inlet air: dry and wet bulb given. A wet bulb far below the dry bulb describes no air
    // (its humidity would be negative); the moist-air calculator refuses it.
    const auto inlet = airState(1, p, tdb4, twb4, QStringLiteral("inlet air (4)"));
    if (!inlet)
        return;
    const double hIn = inlet->enthalpy;
    const double rhIn = inlet->relativeHumidity;
    const double xIn = inlet->absoluteHumidity;

    // The water flow that rejects Q4 at L/G of Problem 3.
    const counterflow::FlowSearch search =
        counterflow::findWaterFlow({Q4, T4, twb4, tdb4, hIn, p}, {ntu3, L3, G3, ratio3});
    if (search.status != counterflow::Status::Ok) {
        refuse(counterflow::refusalText(search.status));
        return;
    }
    const double t4 = search.waterOut;
    const double coolingDegree = (T4 - t4) / (T4 - twb4);
    const double range = T4 - t4;
    const double approach = t4 - twb4;

    // Outlet air.
    const double taOut = search.fill.airTempOut;
    const double hOut = search.fill.airEnthalpyOut;
    const auto outlet = airState(2, p, taOut, hOut, QStringLiteral("outlet air (4)"));
    if (!outlet)
        return;
    const double twbOut = outlet->wetBulb;
    const double rhOut = outlet->relativeHumidity;
    const double xOut = outlet->absoluteHumidity;

    // Every result is in hand: show them.
    l4->setText(ntu3Text);
    l5->setText(l3Text);
    l6->setText(numtext::format(ratio3, "#0.00"));
    l7->setText(tin3Text);
    l20->setText(tout3Text);
    l8->setText(q3Text);
    l9->setText(pText);

    Text1->setText(numtext::format(Q4, "###0.00"));
    Text29->setText(numtext::format(T4, "##0.00"));
    Text2->setText(numtext::format(tdb4, "##0.00"));
    Text3->setText(numtext::format(twb4, "##0.00"));

    l10->setText(numtext::format(tdb4, "##0.0"));
    l11->setText(numtext::format(twb4, "##0.0"));
    l12->setText(numtext::format(hIn, "####0.0000"));
    l13->setText(numtext::format(rhIn, "##0.0"));
    l14->setText(numtext::format(xIn, "0.00000"));

    l21->setText(numtext::format(search.waterFlow, "##0.00"));
    l22->setText(numtext::format(search.airFlow, "##0.00"));
    l23->setText(numtext::format(ratio3, "#0.000"));
    l24->setText(numtext::format(t4, "##0.00"));
    l28->setText(numtext::format(search.ntu, "##0.00"));

    l15->setText(numtext::format(taOut, "##0.00"));
    l16->setText(numtext::format(twbOut, "##0.00"));
    l17->setText(numtext::format(hOut, "##00.00"));
    l18->setText(numtext::format(rhOut, "##0.0"));
    l19->setText(numtext::format(xOut, "0.00000"));

    l25->setText(numtext::format(coolingDegree, "0.000"));
    l26->setText(numtext::format(range, "#0.0"));
    l27->setText(numtext::format(approach, "#0.0"));
}

void Form3::Command2_Click() {
    goTo(windows().form10());
}

void Form3::Command3_Click() {
    goTo(windows().form1());
}
