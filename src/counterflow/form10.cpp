#include "counterflow/form10.h"

#include "common/ntuscaling.h"
#include "common/numtext.h"
#include "counterflow/counterflowcore.h"
#include "counterflow/form2.h"
#include "counterflow/form3.h"
#include "counterflow/form5.h"
#include "counterflow/refusal.h"
#include "shell/windows.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

Form10::Form10(Windows& windows)
    : ProblemWindow(windows, "Form10", QStringLiteral("Problem 3 - counter flow")) {
    QWidget* header =
        makeHeader(QStringLiteral("Problem 3: INFLUENCE OF MASS FLOW RATES OF AIR AND WATER "
                                  "VARIATION ON PERFORMANCE INDICATORS"),
                   QStringLiteral("COUNTER FLOW"));

    QGroupBox* newFlow = makeFrame(QStringLiteral("New Flow Rate"));
    Text18 = addField(newFlow, "Text18", QStringLiteral("Water mass flow rate (3), [kg/s]"));
    Text19 = addField(newFlow, "Text19", QStringLiteral("Air mass flow rate (3), [kg/s]"));

    QGroupBox* measured = makeFrame(QStringLiteral("Measured Values (Problem 1)"));
    l1 = addResult(measured, "l1", QStringLiteral("Water mass flow rate (1), [kg/s]"));
    l3 = addResult(measured, "l3", QStringLiteral("Water temperature IN (1), [oC]"));
    l4 = addResult(measured, "l4", QStringLiteral("Water temperature OUT (1), [oC]"));
    l8 = addResult(measured, "l8", QStringLiteral("Air mass flow rate (1), [kg/s]"));
    l5 = addResult(measured, "l5", QStringLiteral("Ambient air pressure (1), [bar]"));
    l6 = addResult(measured, "l6", QStringLiteral("Ambient dry bulb temperature IN (1), [oC]"));
    l7 = addResult(measured, "l7", QStringLiteral("Ambient air relative humidity IN (1), [%]"));

    QGroupBox* calculated = makeFrame(QStringLiteral("Calculated  Values (Problem 1)"));
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

    const QString outlet1 = QStringLiteral("Outlet (1)");
    const QString outlet3 = QStringLiteral("Outlet (3)");
    QGroupBox* air = makeAirTable(QStringLiteral("Ambient Air Parameters"), {outlet1, outlet3},
                                  QLatin1Char(' ') + outlet1, QLatin1Char(' ') + outlet3,
                                  {
                                      {" tdb,out  [oC]", l29, "l29", l24, "l24"},
                                      {" twb,out  [oC]", l30, "l30", l25, "l25"},
                                      {"h,out  [kJ/kg]", l31, "l31", l26, "l26"},
                                      {" RH,out  [%]", l32, "l32", l28, "l28"},
                                      {"x,out  [-]", l33, "l33", l27, "l27"},
                                  });

    Command1 = makeButton("Command1", QStringLiteral("CALCULATE"));
    Command2 = makeButton("Command2", QStringLiteral("BACK"));
    Command3 = makeButton("Command3", QStringLiteral("GoTo Problem 4"));
    Command3->setEnabled(false);
    connect(Command1, &QPushButton::clicked, this, &Form10::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form10::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form10::Command3_Click);

    QHBoxLayout* middle = makeColumns({measured, calculated}, {newFlow, indicators, air});
    QHBoxLayout* buttons = makeButtonRow(Command2, nullptr, Command1, Command3);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(4);
    layout->addWidget(header);
    layout->addLayout(middle, 1);
    layout->addLayout(buttons);

    setTabOrder(Text18, Text19);
    setTabOrder(Text19, Command1);
}

void Form10::Form_Activate() {
    Text18->setFocus();
    setStatus(
        QStringLiteral("Recommended water mass flow rate is 0 - 200 [kg/s] with accuracy +/- 2%"));
}

void Form10::Command1_Click() {
    if (!allFieldsFilled())
        return;
    const auto newFlows = fieldNumbers({Text18, Text19});
    if (!newFlows)
        return;
    const auto [L3, G3] = *newFlows;

    // Problem 1, as Form2 copied it here (and the inlet enthalpy as Form5 shows it).
    const auto problem1 = numbers(
        {l1->text(), l8->text(), l2->text(), l3->text(), l9->text(), l6->text(), l5->text(),
         windows().form5()->lbl11->text(), l29->text(), l30->text(), l31->text(), l32->text(),
         l33->text()},
        QStringLiteral("Problem 1 has not been calculated yet: calculate it first, then come "
                       "here with \"GoTo Problem 3\" of Problem 2."));
    if (!problem1)
        return;
    const auto [L1, G1, ntu1, Tin, twbIn, tdbIn, p, hIn, taOut1, twbOut1, hOut1, rhOut1, xOut1] =
        *problem1;
    if (!(L1 > 0) || !(G1 > 0) || !(L3 > 0) || !(G3 > 0)) {
        refuse(counterflow::refusalText(counterflow::Status::ZeroFlow));
        return;
    }
    if (!(Tin > twbIn)) {
        refuse(QStringLiteral("The water temperature IN (1) must be above the wet bulb "
                              "temperature IN (1): the cooling degree is undefined otherwise."));
        return;
    }

    // The tower's NTU at the new flows, and the outlet water temperature that needs it.
    const double ratio3 = L3 / G3;
    const double ntu3 = ntuscaling::scaledNtu(ntu1, L1, G1, L3, G3);
    if (!std::isfinite(ntu3) || !std::isfinite(ratio3)) {
        refuse(counterflow::refusalText(counterflow::Status::NonFinite));
        return;
    }
    const counterflow::OutletSearch search = counterflow::findOutletTemperature(
        {0, Tin, L3, G3, p, hIn, tdbIn}, twbIn, ntu3, counterflow::kNewFlowNtuTolerance);
    if (search.status != counterflow::Status::Ok) {
        refuse(counterflow::refusalText(search.status));
        return;
    }
    const double t3 = search.waterOut;
    const double Q3 = (Tin - t3) * counterflow::kSpecificHeatWater * L3;
    const double coolingDegree = (Tin - t3) / (Tin - twbIn);
    const double range = Tin - t3;
    const double approach = t3 - twbIn;

    // Outlet air at the new flows, at Problem 1's pressure.
    const double taOut = search.fill.airTempOut;
    const double hOut = search.fill.airEnthalpyOut;
    const auto outlet = airState(2, p, taOut, hOut, QStringLiteral("outlet air"));
    if (!outlet)
        return;
    const double twbOut = outlet->wetBulb;
    const double xOut = outlet->absoluteHumidity;
    const double rhOut = outlet->relativeHumidity;

    // Every result is in hand: show them.
    l29->setText(numtext::format(taOut1, "##0.00"));
    l30->setText(numtext::format(twbOut1, "##0.00"));
    l31->setText(numtext::format(hOut1, "###0.00"));
    l32->setText(numtext::format(rhOut1, "##0.0"));
    l33->setText(numtext::format(xOut1, "0.00000"));
    Text18->setText(numtext::format(L3, "###0.00"));
    Text19->setText(numtext::format(G3, "###0.00"));

    l20->setText(numtext::format(ratio3, "#0.00"));
    l21->setText(numtext::format(ntu3, "###0.00"));
    l23->setText(numtext::format(t3, "##0.00"));
    l22->setText(numtext::format(Q3, "###0.00"));
    l13->setText(numtext::format(coolingDegree, "0.000"));
    l14->setText(numtext::format(range, "#0.0"));
    l15->setText(numtext::format(approach, "#0.0"));

    l24->setText(numtext::format(taOut, "##0.00"));
    l25->setText(numtext::format(twbOut, "##0.00"));
    l26->setText(numtext::format(hOut, "##00.00"));
    l27->setText(numtext::format(xOut, "0.00000"));
    l28->setText(numtext::format(rhOut, "##0.0"));

    Command3->setEnabled(true);
}

void Form10::Command2_Click() {
    goTo(windows().form2());
}

void Form10::Command3_Click() {
    goTo(windows().form3());
}
