#include "crossflow/form4.h"

#include "common/numtext.h"
#include "crossflow/crossflowcore.h"
#include "crossflow/form8.h"
#include "crossflow/form9.h"
#include "crossflow/refusal.h"
#include "shell/form1.h"
#include "shell/windows.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

Form4::Form4(Windows& windows)
    : ProblemWindow(windows, "Form4", QStringLiteral("Problem 4 - cross flow")) {
    QWidget* header =
        makeHeader(QStringLiteral("Problem 4: CALCULATION OF WATER FLOW RATE FOR DESIRED HEAT "
                                  "CAPACITY AND (L/G = const.)"),
                   QStringLiteral("CROSS FLOW"));

    QGroupBox* input = makeFrame(QStringLiteral("INPUT DATA"));
    Text7 = addField(input, "Text7", QStringLiteral("Heat capacity (4), [kW]"));
    Text4 = addField(input, "Text4", QStringLiteral("Water temperature IN (4), [oC]"));
    Text6 = addField(input, "Text6", QStringLiteral("Ambient dry bulb temp. IN (4), [oC]"));
    Text5 = addField(input, "Text5", QStringLiteral("Ambient wet bulb temp. IN (4), [oC]"));

    QGroupBox* transferred = makeFrame(QStringLiteral("Data Transfered from Problem 3"));
    Label11 = addResult(transferred, "Label11",
                        QStringLiteral("Number of transfer units (3), [kW/(kJ/kg)]"));
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

    QGroupBox* air =
        makeAirTable(QStringLiteral("AMBIENT AIR PARAMETERS"),
                     {QStringLiteral("Inlet air(4)"), QStringLiteral("Outlet air(4)")},
                     QStringLiteral(" inlet air (4)"), QStringLiteral(" outlet air (4)"),
                     {
                         {"tdb  [oC]", l10, "l10", l15, "l15"},
                         {"twb  [oC] ", l11, "l11", l16, "l16"},
                         {"h [kJ/kg] ", l12, "l12", l17, "l17"},
                         {"RH [%] ", l13, "l13", l18, "l18"},
                         {"x [-] ", l14, "l14", l19, "l19"},
                     });

    Label1 = makeBusyLabel("Label1");

    Command1 = makeButton("Command1", QStringLiteral("CALCULATE"));
    Command3 = makeButton("Command3", QStringLiteral("BACK"));
    Command4 = makeButton("Command4", QStringLiteral("GoTo MENU"));
    connect(Command1, &QPushButton::clicked, this, &Form4::Command1_Click);
    connect(Command3, &QPushButton::clicked, this, &Form4::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form4::Command4_Click);

    QHBoxLayout* middle = makeColumns({input, transferred}, {indicators, air});
    QHBoxLayout* buttons = makeButtonRow(Command3, Label1, Command1, Command4);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(4);
    layout->addWidget(header);
    layout->addLayout(middle);
    layout->addStretch(1);
    layout->addLayout(buttons);

    setTabOrder(Text5, Command1);
}

void Form4::Command1_Click() {
    if (!allFieldsFilled())
        return;
    const auto inputs = fieldNumbers({Text7, Text4, Text6, Text5});
    if (!inputs)
        return;
    const auto [Q4, T4, tdb4, twb4] = *inputs;
    if (!checkAirTemperatures(twb4, tdb4, {Text5, Text6}, Text5))
        return;

    // Problem 3 as its window shows it; the calculation uses the texts as copied, the labels
    // show them formatted.
    Form9* problem3 = windows().form9();
    const QString ntu3Text = problem3->l21->text();
    const QString l3Text = problem3->Text18->text();
    const auto calculated3 =
        numbers({ntu3Text, problem3->l3->text(), problem3->l22->text(), problem3->l23->text()},
                QStringLiteral("Problem 3 has not been calculated yet: calculate it first."));
    if (!calculated3)
        return;
    const double NTU3 = calculated3->front();
    const auto flows3 = numbers({l3Text, problem3->Text19->text()},
                                QStringLiteral("The flow rates of Problem 3 are incomplete: enter "
                                               "them and calculate Problem 3 first."));
    if (!flows3)
        return;
    const auto [L3, G3] = *flows3;
    const QString pText = windows().form8()->Text5->text();
    const auto p = number(pText);
    if (!p) {
        refuse(QStringLiteral("The air pressure of Problem 1 is missing: enter it and calculate "
                              "Problem 1 first."));
        return;
    }
    if (!(L3 > 0) || !(G3 > 0)) {
        refuse(crossflow::refusalText(crossflow::Status::NonPositiveFlow));
        return;
    }
    const double ratio3 = L3 / G3; // (L/G)3 at full precision
    if (!(Q4 > 0)) {
        refuse(crossflow::refusalText(crossflow::Status::NonPositiveHeat));
        return;
    }

    // New inlet air, as the moist-air calculator shows it.
    const auto inlet = airState(1, *p, tdb4, twb4, QStringLiteral("inlet air"));
    if (!inlet)
        return;
    const double xIn = inlet->absoluteHumidity;
    const double hIn = inlet->enthalpy;
    const double rhIn = inlet->relativeHumidity;

    crossflow::FlowSearchInput in;
    in.heat = Q4;
    in.waterIn = T4;
    in.airEnthalpyIn = hIn;
    in.airDryBulbIn = tdb4;
    in.airWetBulbIn = twb4;
    in.pressure = *p;
    in.ntu3 = NTU3;
    in.waterFlow3 = L3;
    in.airFlow3 = G3;
    const Busy busy(*this, Label1); // the checks have passed: the long search starts
    const crossflow::FlowResult flow = crossflow::searchWaterFlow(in);
    if (flow.status != crossflow::Status::Ok) {
        refuse(crossflow::refusalText(flow.status));
        return;
    }
    const double t4 = flow.waterOut;
    const double coolingDegree = (T4 - t4) / (T4 - twb4);
    const double range = T4 - t4;
    const double approach = t4 - twb4;
    const double taOut = flow.sweep.airDryBulbOutMean;
    const double hOut = flow.sweep.airEnthalpyOutMean;

    // Outlet air.
    const auto outlet = airState(2, *p, taOut, hOut, QStringLiteral("outlet air"));
    if (!outlet)
        return;
    const double twbOut = outlet->wetBulb;
    const double rhOut = outlet->relativeHumidity;
    const double xOut = outlet->absoluteHumidity;

    // Every result is in hand: show them.
    Label11->setText(numtext::format(NTU3, "#0.00"));
    l5->setText(numtext::format(L3, "#0.00"));
    l6->setText(numtext::format(ratio3, "#0.00"));
    l7->setText(problem3->l3->text());
    l20->setText(problem3->l23->text());
    l8->setText(problem3->l22->text());
    l9->setText(pText);

    Text7->setText(numtext::format(Q4, "####0.00"));
    Text4->setText(numtext::format(T4, "##0.00"));
    Text6->setText(numtext::format(tdb4, "##0.00"));
    Text5->setText(numtext::format(twb4, "##0.00"));

    l10->setText(numtext::format(tdb4, "##0.0"));
    l11->setText(numtext::format(twb4, "##0.0"));
    l12->setText(numtext::format(hIn, "###0.00"));
    l13->setText(numtext::format(rhIn, "##0.0"));
    l14->setText(numtext::format(xIn, "0.00000"));

    l21->setText(numtext::format(flow.waterFlow, "###0.00"));
    l22->setText(numtext::format(flow.airFlow, "###0.00"));
    l23->setText(numtext::format(ratio3, "#0.00"));
    l17->setText(numtext::format(hOut, "###0.00"));
    l15->setText(numtext::format(taOut, "##0.00"));
    l28->setText(numtext::format(flow.ntu, "###0.00"));
    l16->setText(numtext::format(twbOut, "##0.00"));
    l18->setText(numtext::format(rhOut, "##0.0"));
    l19->setText(numtext::format(xOut, "0.00000"));
    l24->setText(numtext::format(t4, "##0.0"));
    l25->setText(numtext::format(coolingDegree, "0.000"));
    l26->setText(numtext::format(range, "#0.0"));
    l27->setText(numtext::format(approach, "#0.0"));

    setStatus(QStringLiteral("Calculation has successfully complited"));
}

void Form4::Command3_Click() {
    goTo(windows().form9());
}

void Form4::Command4_Click() {
    goTo(windows().form1());
}
