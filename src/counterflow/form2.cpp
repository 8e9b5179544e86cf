#include "counterflow/form2.h"

#include "common/desktop.h"
#include "common/numtext.h"
#include "counterflow/counterflowcore.h"
#include "counterflow/form10.h"
#include "counterflow/form5.h"
#include "counterflow/refusal.h"
#include "shell/windows.h"

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

Form2::Form2(Windows& windows)
    : ProblemWindow(windows, "Form2", QStringLiteral("Problem 2 - counter flow")) {
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

    QLabel* specification = makeHeading(QStringLiteral("COOLING TOWER SPECIFICATION"), this);
    QLabel* heatCapacity = makeHeading(QStringLiteral("Cooling Tower Heat Capacity for Design "
                                                      "Wet Bulb Temperature and Design Water "
                                                      "Temperature In"),
                                       this);
    QLabel* designData = makeHeading(QStringLiteral("DESIGN DATA USE FOR CALCULATION"), this);
    QHBoxLayout* middle = makeColumns(
        {specification, namePlate, heatCapacity, toBeCalculated, designData, designInlet},
        {acceptance, air});
    QHBoxLayout* buttons = makeButtonRow(Command2, nullptr, Command1, Command3);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(4);
    layout->addWidget(header);
    layout->addLayout(middle, 1);
    layout->addLayout(buttons);

    setTabOrder(Text16, Command1);
}

void Form2::Form_Activate() {
    Text13->setFocus();
    setStatus(
        QStringLiteral("Recommended water mass flow rate is 0 - 200 [kg/s] with accuracy +/- 2%"));
}

void Form2::Command1_Click() {
    if (!allFieldsFilled(applicationTitle(), MessageIcon::None))
        return;
    const auto design = fieldNumbers({Text13, Text15, Text11, Text12, Text14, Text16});
    if (!design)
        return;
    const auto [Ld, Gd, TinD, ToutD, twbD, tdbD] = *design;
    if (!checkWaterTemperatures(TinD, ToutD, applicationTitle(), MessageIcon::None,
                                {Text11, Text12}, Text11))
        return;
    if (!checkAirTemperatures(twbD, tdbD, {Text14, Text16}, Text14))
        return;

    // The tower as Problem 1 shows it: its NTU as displayed, its flows and the pressure.
    Form5* problem1 = windows().form5();
    const auto shown1 = numbers({problem1->lbl2->text(), problem1->Text1->text(),
                                 problem1->Text8->text(), problem1->Text5->text()},
                                QStringLiteral("Problem 1 has not been calculated yet: calculate "
                                               "it first."));
    if (!shown1)
        return;
    const auto [ntu1, L, G, p] = *shown1;
    if (!(L > 0) || !(G > 0)) {
        refuse(counterflow::refusalText(counterflow::Status::ZeroFlow));
        return;
    }
    const double Qd = (TinD - ToutD) * counterflow::kSpecificHeatWater * Ld;
    if (!(Qd > 0)) {
        refuse(QStringLiteral("The design heat capacity Qd is zero: the design water "
                              "temperatures IN and OUT must differ and the design water mass "
                              "flow rate must be greater than zero, or the deviation from Qd is "
                              "undefined."));
        return;
    }
    if (!(TinD > twbD)) {
        refuse(QStringLiteral("The design water temperature IN must be above the design wet "
                              "bulb temperature: the cooling degree is undefined otherwise."));
        return;
    }

    // Design inlet air, as the moist-air calculator shows it.
    const auto inlet = airState(1, p, tdbD, twbD, QStringLiteral("design inlet air"));
    if (!inlet)
        return;
    const double hIn = inlet->enthalpy;
    const double rhIn = inlet->relativeHumidity;
    const double xIn = inlet->absoluteHumidity;

    // The outlet water temperature at which the tower needs the NTU of Problem 1.
    const counterflow::OutletSearch search = counterflow::findOutletTemperature(
        {0, TinD, L, G, p, hIn, tdbD}, twbD, ntu1, counterflow::kAcceptanceNtuTolerance);
    if (search.status != counterflow::Status::Ok) {
        refuse(counterflow::refusalText(search.status));
        return;
    }
    const double tout2 = search.waterOut;
    const double Qa = (TinD - tout2) * counterflow::kSpecificHeatWater * L;
    const double deviation = (Qa - Qd) / Qd * 100;
    const double coolingDegree = (TinD - tout2) / (TinD - twbD);
    const double range = TinD - tout2;
    const double approach = tout2 - twbD;

    // Outlet air.
    const double taOut = search.fill.airTempOut;
    const double hOut = search.fill.airEnthalpyOut;
    const auto outlet = airState(2, p, taOut, hOut, QStringLiteral("outlet air"));
    if (!outlet)
        return;
    const double twbOut = outlet->wetBulb;
    const double rhOut = outlet->relativeHumidity;
    const double xOut = outlet->absoluteHumidity;

    // Every result is in hand: show them.
    Text13->setText(numtext::format(Ld, "###0.00"));
    Text15->setText(numtext::format(Gd, "###0.00"));
    Text11->setText(numtext::format(TinD, "##0.00"));
    Text12->setText(numtext::format(ToutD, "##0.00"));
    Text14->setText(numtext::format(twbD, "##0.00"));
    Text16->setText(numtext::format(tdbD, "##0.00"));
    l27->setText(numtext::format(TinD, "##0.00"));
    l5->setText(numtext::format(Qd, "####0.00"));

    l25->setText(numtext::format(tdbD, "##0.00"));
    l26->setText(numtext::format(twbD, "##0.00"));
    l17->setText(numtext::format(tdbD, "###0.00"));
    l18->setText(numtext::format(twbD, "###0.00"));
    l19->setText(numtext::format(hIn, "####0.00"));
    l20->setText(numtext::format(rhIn, "##0.0"));
    l21->setText(numtext::format(xIn, "0.00000"));

    l3->setText(numtext::format(tout2, "###0.00"));
    l4->setText(numtext::format(Qa, "###0.00"));
    l1->setText(numtext::format(deviation, "###0.0"));
    l2->setText(numtext::format(ntu1, "###0.00"));
    l22->setText(numtext::format(coolingDegree, "0.000"));
    l23->setText(numtext::format(range, "#0.0"));
    l24->setText(numtext::format(approach, "#0.0"));

    l6->setText(numtext::format(taOut, "##0.00"));
    l7->setText(numtext::format(twbOut, "##0.00"));
    l8->setText(numtext::format(hOut, "##00.00"));
    l9->setText(numtext::format(rhOut, "##0.0"));
    l10->setText(numtext::format(xOut, "0.00000"));

    setStatus(QStringLiteral("Calculation has successfuly complited"));
    Command3->setEnabled(true);
}

void Form2::Command2_Click() {
    goTo(windows().form5());
}

void Form2::Command3_Click() {
    Form10* problem3 = windows().form10();
    goTo(problem3);
    // Problem 1's values travel on as the texts Form5 shows.
    const Form5* problem1 = windows().form5();
    problem3->l1->setText(problem1->Text1->text());
    problem3->l3->setText(problem1->Text3->text());
    problem3->l4->setText(problem1->Text4->text());
    problem3->l8->setText(problem1->Text8->text());
    problem3->l5->setText(problem1->Text5->text());
    problem3->l6->setText(problem1->Text6->text());
    problem3->l7->setText(problem1->Text7->text());
    problem3->l2->setText(problem1->lbl2->text());
    problem3->l10->setText(problem1->lbl10->text());
    problem3->l11->setText(problem1->lbl11->text());
    problem3->l12->setText(problem1->lbl12->text());
    problem3->l9->setText(problem1->lbl9->text());
    problem3->l29->setText(problem1->lbl13->text());
    problem3->l30->setText(problem1->lbl14->text());
    problem3->l31->setText(problem1->lbl15->text());
    problem3->l32->setText(problem1->lbl16->text());
    problem3->l33->setText(problem1->lbl17->text());
}
