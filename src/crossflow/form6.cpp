#include "crossflow/form6.h"

#include "common/desktop.h"
#include "common/numtext.h"
#include "crossflow/crossflowcore.h"
#include "crossflow/form8.h"
#include "crossflow/form9.h"
#include "crossflow/refusal.h"
#include "shell/windows.h"

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

Form6::Form6(Windows& windows)
    : ProblemWindow(windows, "Form6", QStringLiteral("Problem 2 - cross flow")) {
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
    const QString title = applicationTitle();
    if (!allFieldsFilled(title, MessageIcon::None))
        return;
    const auto design = fieldNumbers({Text16, Text17, Text14, Text15, Text18, Text19});
    if (!design)
        return;
    const auto [Ld, Gd, TinD, ToutD, twbD, tdbD] = *design;
    if (!checkWaterTemperatures(TinD, ToutD, title, MessageIcon::None, {Text14, Text15}, Text14))
        return;
    if (!checkAirTemperatures(twbD, tdbD, {Text18, Text19}, Text18))
        return;

    const double Qd = (TinD - ToutD) * crossflow::kSpecificHeatWater * Ld;
    if (!(Qd > 0)) {
        refuse(QStringLiteral(
            "The design heat capacity is zero, so the deviation from it cannot be calculated: "
            "the design water temperatures IN and OUT must differ and the design water mass flow "
            "rate must be greater than zero."));
        return;
    }

    // Problem 1 as its window shows it: NTU, and the water flow, air flow and pressure copied
    // through this window's hidden labels.
    Form8* problem1 = windows().form8();
    const QString lText = problem1->Text1->text();
    const QString gText = problem1->Text8->text();
    const QString pText = problem1->Text5->text();
    const auto NTU1 = number(problem1->lbl2->text());
    if (!NTU1) {
        refuse(QStringLiteral("Problem 1 has not been calculated yet: calculate it first."));
        return;
    }
    const auto measured1 = numbers(
        {lText, gText, pText},
        QStringLiteral("The data of Problem 1 are incomplete: enter and calculate them first."));
    if (!measured1)
        return;
    const auto [L, G, p] = *measured1;
    if (!(L > 0) || !(G > 0)) {
        refuse(crossflow::refusalText(crossflow::Status::NonPositiveFlow));
        return;
    }
    if (TinD == twbD) {
        refuse(QStringLiteral("The design water temperature IN equals the design wet bulb "
                              "temperature: the cooling degree is undefined."));
        return;
    }

    // Design inlet air, as the moist-air calculator shows it.
    const auto inlet = airState(1, p, tdbD, twbD, QStringLiteral("design inlet air"));
    if (!inlet)
        return;
    const double xIn = inlet->absoluteHumidity;
    const double hIn = inlet->enthalpy;
    const double rhIn = inlet->relativeHumidity;

    // One sweep at the NTU of Problem 1; the cells' bracket reaches down to 0 degC.
    crossflow::SweepInput in;
    in.ntu = *NTU1;
    in.waterFlow = L;
    in.airFlow = G;
    in.waterIn = TinD;
    in.airEnthalpyIn = hIn;
    in.airDryBulbIn = tdbD;
    in.pressure = p;
    in.bracketLow = 0;
    in.airTemperatures = true;
    const crossflow::SweepResult fill = crossflow::sweep(in);
    if (fill.status != crossflow::Status::Ok) {
        refuse(crossflow::refusalText(fill.status));
        return;
    }
    const double Tout2 = fill.waterOutMean;
    const double Qa = (TinD - Tout2) * crossflow::kSpecificHeatWater * L;
    const double deviation = (Qa - Qd) / Qd * 100;
    const double coolingDegree = (TinD - Tout2) / (TinD - twbD);
    const double range = TinD - Tout2;
    const double approach = Tout2 - twbD;

    // Outlet air.
    const auto outlet = airState(2, p, fill.airDryBulbOutMean, fill.airEnthalpyOutMean,
                                 QStringLiteral("outlet air"));
    if (!outlet)
        return;
    const double twbOut = outlet->wetBulb;
    const double rhOut = outlet->relativeHumidity;
    const double xOut = outlet->absoluteHumidity;

    // Every result is in hand: show them.
    l1->setText(lText);
    l8->setText(gText);
    l5->setText(pText);
    Text16->setText(numtext::format(Ld, "###0.00"));
    Text17->setText(numtext::format(Gd, "###0.00"));
    Text14->setText(numtext::format(TinD, "##0.00"));
    Text15->setText(numtext::format(ToutD, "##0.00"));
    Text18->setText(numtext::format(twbD, "##0.00"));
    Text19->setText(numtext::format(tdbD, "##0.00"));

    l20->setText(numtext::generalText(Qd));
    l6->setText(numtext::format(tdbD, "##0.00"));
    l9->setText(numtext::format(twbD, "##0.00"));
    l3->setText(numtext::format(TinD, "##0.00"));
    l4->setText(numtext::format(Tout2, "##0.00"));
    l10->setText(numtext::format(Qa, "###0.00"));
    l28->setText(numtext::format(deviation, "##0.0"));
    l2->setText(numtext::format(*NTU1, "###0.00"));
    l11->setText(numtext::format(coolingDegree, "0.000"));
    l12->setText(numtext::format(range, "#0.0"));
    l13->setText(numtext::format(approach, "#0.0"));
    l50->setText(Text19->text());
    l51->setText(Text18->text());
    l25->setText(numtext::format(hIn, "###0.00"));
    l26->setText(numtext::format(rhIn, "##0.0"));
    l27->setText(numtext::format(xIn, "0.00000"));
    l7->setText(numtext::format(fill.airDryBulbOutMean, "##0.00"));
    l21->setText(numtext::format(twbOut, "##0.00"));
    l22->setText(numtext::format(fill.airEnthalpyOutMean, "###0.00"));
    l23->setText(numtext::format(rhOut, "##0.0"));
    l24->setText(numtext::format(xOut, "0.00000"));

    setStatus(QStringLiteral("Calculation has successfuly complited"));
    Command3->setEnabled(true);
}

void Form6::Command2_Click() {
    goTo(windows().form8());
}

void Form6::Command3_Click() {
    goTo(windows().form9());
}
