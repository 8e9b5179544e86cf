#include "crossflow/form8.h"

#include "common/desktop.h"
#include "common/numtext.h"
#include "common/towerschematic.h"
#include "crossflow/crossflowcore.h"
#include "crossflow/form6.h"
#include "crossflow/refusal.h"
#include "psychro/form11.h"
#include "shell/form1.h"
#include "shell/windows.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

Form8::Form8(Windows& windows)
    : ProblemWindow(windows, "Form8", QStringLiteral("Problem 1 - cross flow")) {
    QWidget* header =
        makeHeader(QStringLiteral("Problem1: DETERMINATION OF PERFORMANCE INDICATORS"),
                   QStringLiteral("CROSS FLOW"));
    auto* explanation = new QLabel(
        QStringLiteral("The following data has to be measured for calculation the Number of "
                       "Transfer Units (NTU) of existing cooling tower "),
        this);
    explanation->setWordWrap(true);

    QGroupBox* input = makeFrame(QStringLiteral("Input Data"));
    Text1 = addField(input, "Text1", QStringLiteral("Water mass flow rate, [kg/s]"),
                     QStringLiteral("90"));
    Text8 = addField(input, "Text8", QStringLiteral("Air mass flow rate, [kg/s]"),
                     QStringLiteral("70"));
    Text3 = addField(input, "Text3", QStringLiteral("Water temperature IN, [oC]"),
                     QStringLiteral("37"));
    Text4 = addField(input, "Text4", QStringLiteral("Water temperature OUT, [oC]"),
                     QStringLiteral("34"));
    Text5 = addField(input, "Text5", QStringLiteral("Ambient air pressure, [bar]"),
                     QStringLiteral("1"));
    Text6 = addField(input, "Text6", QStringLiteral("Ambient dry bulb temp. IN, [oC]"),
                     QStringLiteral("28"));
    Text7 = addField(input, "Text7", QStringLiteral("Amb. air relative humidity IN, [%]"),
                     QStringLiteral("55"));

    QGroupBox* indicators = makeFrame(QStringLiteral("Perfromance Indicators"));
    lbl2 = addResult(indicators, "lbl2", QStringLiteral("Number of transfer units, [kW/(kJ/kg)]"));
    lbl10 = addResult(indicators, "lbl10", QStringLiteral("Heat capacity, [kW]"));
    lbl16 = addResult(indicators, "lbl16", QStringLiteral("Cooling degree [-]"));
    lbl17 = addResult(indicators, "lbl17", QStringLiteral("Range, [oC]"));
    lbl18 = addResult(indicators, "lbl18", QStringLiteral("Approach, [oC]"));

    QGroupBox* air = makeFrame(QStringLiteral("Air Parameters"));
    lbl11 = addResult(air, "lbl11", QStringLiteral("Outlet (exhaust) dry bulb temp, [oC]"));
    lbl12 = addResult(air, "lbl12", QStringLiteral("Outlet (exhaust) wet bulb temp, [oC]"));
    lbl13 = addResult(air, "lbl13", QStringLiteral("Enthalpy of outlet air, [kJ/kg]"));
    lbl14 = addResult(air, "lbl14", QStringLiteral("Relative humidity OUT,  [%]"));
    lbl15 = addResult(air, "lbl15", QStringLiteral("Absolut humidity OUT,  [-]"));
    lbl9 = addResult(air, "lbl9", QStringLiteral("Wet bulb temperature IN, [oC]"));
    lbl19 = addResult(air, "lbl19", QStringLiteral("Enthalpy of air. IN, [kJ/kg]"));
    lbl20 = addResult(air, "lbl20", QStringLiteral("Absolut humidity IN,  [-]"));

    auto* picture = new TowerSchematic(TowerSchematic::Arrangement::CrossFlow, this);

    Label8 = new QLabel(QStringLiteral("Please wait while calculation is in progress ..."), this);
    Label8->setObjectName(QStringLiteral("Label8"));
    QFont bold = Label8->font();
    bold.setBold(true);
    Label8->setFont(bold);
    Label8->setVisible(false);

    auto* gridTitle =
        new QLabel(QStringLiteral("Parametar specification for different regimes:"), this);
    fgTable = new ResultGrid(this);

    Command1 = makeButton("Command1", QStringLiteral("CALCULATE"));
    Command2 = makeButton("Command2", QStringLiteral("BACK"));
    Command3 = makeButton("Command3", QStringLiteral("GoTo Problem 2"));
    Command3->setEnabled(false);
    connect(Command1, &QPushButton::clicked, this, &Form8::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form8::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form8::Command3_Click);

    auto* left = new QVBoxLayout;
    left->addWidget(explanation);
    left->addWidget(input);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(indicators);
    right->addWidget(air);
    auto* middle = new QHBoxLayout;
    middle->addLayout(left, 3);
    middle->addWidget(picture, 2);
    middle->addLayout(right, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command2);
    buttons->addStretch(1);
    buttons->addWidget(Label8);
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command3);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(4);
    layout->addWidget(header);
    layout->addLayout(middle);
    layout->addWidget(gridTitle);
    layout->addWidget(fgTable, 1);
    layout->addLayout(buttons);

    setTabOrder(Text7, Command1);
}

void Form8::Form_Activate() {
    fgTable->writeHeaders();
    NextRow = 1;
    FirstRow = 1;
    setStatus(
        QStringLiteral("Recommended water mass flow rate is 0 - 200 [kg/s] with accuracy +/- 2%"));
}

void Form8::Command1_Click() {
    if (anyFieldEmpty()) {
        message(QStringLiteral("Missing Data"), QStringLiteral("All fields require data"),
                MessageIcon::Warning);
        return;
    }
    const auto L = number(Text1->text());
    const auto G = number(Text8->text());
    const auto Tin = number(Text3->text());
    const auto Tout = number(Text4->text());
    const auto p = number(Text5->text());
    const auto tdb = number(Text6->text());
    const auto rh = number(Text7->text());
    if (!L || !G || !Tin || !Tout || !p || !tdb || !rh) {
        refuse(QStringLiteral("Invalid entries, please enter numbers only"));
        return;
    }
    if (*Tout > *Tin) {
        message(
            QStringLiteral("Error"),
            QStringLiteral("Outlet water temperature must be less then inlet water temperature"),
            MessageIcon::Error);
        Text4->clear();
        Text3->clear();
        Text3->setFocus();
        return;
    }
    if (!(*L > 0) || !(*G > 0)) {
        refuse(crossflow::refusalText(crossflow::Status::NonPositiveFlow));
        return;
    }

    const Busy busy(*this, Label8);

    // Inlet air, as the moist-air calculator shows it.
    if (!computeAir(3, *p, *tdb, *rh, QStringLiteral("inlet air")))
        return;
    Form11* moist = windows().form11();
    const double twbIn = *number(moist->Text9->text());
    const double hIn = *number(moist->Text13->text());
    const double xIn = *number(moist->Text11->text());
    if (!(*Tin > twbIn)) {
        refuse(crossflow::refusalText(crossflow::Status::WaterNotAboveWetBulb));
        return;
    }

    const crossflow::NtuResult search =
        crossflow::searchNtu({*L, *G, *Tin, *Tout, hIn, *tdb, twbIn, *p});
    if (search.status != crossflow::Status::Ok) {
        refuse(crossflow::refusalText(search.status));
        return;
    }
    const double taOut = search.sweep.airDryBulbOutMean;
    const double hOut = search.sweep.airEnthalpyOutMean;

    // The measured outlet temperature gives the indicators, not the computed mean.
    const double Q = crossflow::kSpecificHeatWater * (*Tin - *Tout) * *L;
    const double coolingDegree = (*Tin - *Tout) / (*Tin - twbIn);
    const double range = *Tin - *Tout;
    const double approach = *Tout - twbIn;

    // Outlet air.
    if (!computeAir(2, *p, taOut, hOut, QStringLiteral("outlet air")))
        return;
    const double twbOut = *number(moist->Text9->text());
    const double rhOut = *number(moist->Text15->text());
    const double xOut = *number(moist->Text11->text());

    // Every result is in hand: show them.
    Text1->setText(numtext::format(*L, "###0.00"));
    Text8->setText(numtext::format(*G, "###0.00"));
    Text3->setText(numtext::format(*Tin, "##0.00"));
    Text4->setText(numtext::format(*Tout, "##0.00"));
    Text5->setText(numtext::format(*p, "#0.000"));
    Text6->setText(numtext::format(*tdb, "##0.00"));
    Text7->setText(numtext::format(*rh, "##0.0"));

    lbl9->setText(numtext::format(twbIn, "###0.00"));
    lbl19->setText(numtext::format(hIn, "###0.00"));
    lbl20->setText(numtext::format(xIn, "0.00000"));
    lbl2->setText(numtext::format(search.ntu, "###0.00"));
    lbl10->setText(numtext::format(Q, "###0.00"));
    lbl16->setText(numtext::format(coolingDegree, "0.000"));
    lbl17->setText(numtext::format(range, "#0.0"));
    lbl18->setText(numtext::format(approach, "#0.0"));
    lbl11->setText(numtext::format(taOut, "##0.00"));
    lbl12->setText(numtext::format(twbOut, "##0.00"));
    lbl13->setText(numtext::format(hOut, "###0.00"));
    lbl14->setText(numtext::format(rhOut, "##0.0"));
    lbl15->setText(numtext::format(xOut, "0.00000"));

    AddGridRow();
    setStatus(QStringLiteral("Calculation has successfuly complited"));
    Command3->setEnabled(true);
}

void Form8::AddGridRow() {
    fgTable->writeRow(NextRow, FirstRow,
                      {Text8->text(), Text1->text(), Text3->text(), Text4->text(), Text6->text(),
                       Text7->text(), lbl2->text(), lbl10->text(), lbl16->text(), lbl17->text(),
                       lbl18->text()});
    ++NextRow;
}

void Form8::Command2_Click() {
    goTo(windows().form1());
}

void Form8::Command3_Click() {
    goTo(windows().form6());
}
