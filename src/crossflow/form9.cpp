#include "crossflow/form9.h"

#include "common/ntuscaling.h"
#include "common/numtext.h"
#include "crossflow/crossflowcore.h"
#include "crossflow/form4.h"
#include "crossflow/form6.h"
#include "crossflow/form8.h"
#include "crossflow/refusal.h"
#include "shell/windows.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

Form9::Form9(Windows& windows)
    : ProblemWindow(windows, "Form9", QStringLiteral("Problem 3 - cross flow")) {
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
    if (!allFieldsFilled())
        return;
    const auto newFlows = fieldNumbers({Text18, Text19});
    if (!newFlows)
        return;
    const auto [L3, G3] = *newFlows;

    // Problem 1 as its window shows it; each copy is formatted here before it is used.
    Form8* problem1 = windows().form8();
    const auto ntuText = number(problem1->lbl2->text());
    if (!ntuText) {
        refuse(QStringLiteral("Problem 1 has not been calculated yet: calculate it first."));
        return;
    }
    if (!numbers({problem1->Text1->text(), problem1->Text3->text(), problem1->Text4->text(),
                  problem1->Text8->text(), problem1->Text5->text(), problem1->Text6->text(),
                  problem1->Text7->text()},
                 QStringLiteral("The data of Problem 1 are incomplete: enter and calculate them "
                                "first.")))
        return;
    if (!numbers({problem1->lbl10->text(), problem1->lbl11->text(), problem1->lbl12->text(),
                  problem1->lbl13->text(), problem1->lbl14->text(), problem1->lbl15->text()},
                 QStringLiteral("Problem 1 has not been calculated yet: calculate it first.")))
        return;
    const QString l1Text = numtext::format(*number(problem1->Text1->text()), "###0.00");
    const QString l3Text = numtext::format(*number(problem1->Text3->text()), "##0.00");
    const QString l4Text = problem1->Text4->text();
    const QString l8Text = numtext::format(*number(problem1->Text8->text()), "###0.00");
    const QString l5Text = numtext::format(*number(problem1->Text5->text()), "#0.000");
    const QString l6Text = numtext::format(*number(problem1->Text6->text()), "##0.00");
    const QString l7Text = numtext::format(*number(problem1->Text7->text()), "##0.0");
    const QString l2Text = numtext::format(*ntuText, "###0.00");
    const QString l10Text = problem1->lbl10->text();

    // The values as this window shows them.
    const double L1 = *number(l1Text);
    const double G1 = *number(l8Text);
    const double NTU1 = *number(l2Text);
    const double Tin = *number(l3Text);
    const double p = *number(l5Text);
    const double tdbIn = *number(l6Text);
    const double rhIn = *number(l7Text);
    if (!(L1 > 0) || !(G1 > 0) || !(L3 > 0) || !(G3 > 0)) {
        refuse(crossflow::refusalText(crossflow::Status::NonPositiveFlow));
        return;
    }

    // Inlet air of Problem 1, recomputed.
    const auto inlet = airState(3, p, tdbIn, rhIn, QStringLiteral("inlet air"));
    if (!inlet)
        return;
    const double twbIn = inlet->wetBulb;
    const double hIn = inlet->enthalpy;
    const double xIn = inlet->absoluteHumidity;
    if (!(Tin > twbIn)) {
        refuse(crossflow::refusalText(crossflow::Status::WaterNotAboveWetBulb));
        return;
    }

    const double NTU3 = ntuscaling::scaledNtu(NTU1, L1, G1, L3, G3);
    crossflow::SweepInput in;
    in.ntu = NTU3;
    in.waterFlow = L3;
    in.airFlow = G3;
    in.waterIn = Tin;
    in.airEnthalpyIn = hIn;
    in.airDryBulbIn = tdbIn;
    in.pressure = p;
    in.bracketLow = twbIn;
    in.airTemperatures = true;
    const crossflow::SweepResult fill = crossflow::sweep(in);
    if (fill.status != crossflow::Status::Ok) {
        refuse(crossflow::refusalText(fill.status));
        return;
    }
    const double t3 = fill.waterOutMean;
    const double Q3 = (Tin - t3) * crossflow::kSpecificHeatWater * L3;
    const double coolingDegree = (Tin - t3) / (Tin - twbIn);
    const double range = Tin - t3;
    const double approach = t3 - twbIn;

    // Outlet air.
    const auto outlet = airState(2, p, fill.airDryBulbOutMean, fill.airEnthalpyOutMean,
                                 QStringLiteral("outlet air"));
    if (!outlet)
        return;
    const double twbOut = outlet->wetBulb;
    const double rhOut = outlet->relativeHumidity;
    const double xOut = outlet->absoluteHumidity;

    // Every result is in hand: show them.
    l1->setText(l1Text);
    l3->setText(l3Text);
    l4->setText(l4Text);
    l8->setText(l8Text);
    l5->setText(l5Text);
    l6->setText(l6Text);
    l7->setText(l7Text);
    l2->setText(l2Text);
    l10->setText(l10Text);
    l29->setText(problem1->lbl11->text());
    l30->setText(problem1->lbl12->text());
    l31->setText(problem1->lbl13->text());
    l32->setText(problem1->lbl14->text());
    l33->setText(problem1->lbl15->text());

    l9->setText(numtext::format(twbIn, "##0.00"));
    l11->setText(numtext::format(hIn, "###0.00"));
    l12->setText(numtext::format(xIn, "0.00000"));
    l20->setText(numtext::format(L3 / G3, "#0.00"));
    l21->setText(numtext::format(NTU3, "###0.000"));
    l22->setText(numtext::format(Q3, "###0.00"));
    l23->setText(numtext::format(t3, "##0.00"));
    l13->setText(numtext::format(coolingDegree, "0.000"));
    l14->setText(numtext::format(range, "#0.0"));
    l15->setText(numtext::format(approach, "#0.0"));
    l24->setText(numtext::format(fill.airDryBulbOutMean, "##0.00"));
    l25->setText(numtext::format(twbOut, "##0.00"));
    l26->setText(numtext::format(fill.airEnthalpyOutMean, "###0.00"));
    l28->setText(numtext::format(rhOut, "##0.0"));
    l27->setText(numtext::format(xOut, "0.00000"));

    setStatus(QStringLiteral("Calculation has successfuly complited"));
    Command2->setEnabled(true);
}

void Form9::Command2_Click() {
    goTo(windows().form4());
}

void Form9::Command3_Click() {
    goTo(windows().form6());
}
