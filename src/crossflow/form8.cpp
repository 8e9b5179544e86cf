#include "crossflow/form8.h"

#include "common/towerschematic.h"
#include "crossflow/crossflowcore.h"
#include "crossflow/form6.h"
#include "crossflow/refusal.h"
#include "shell/form1.h"
#include "shell/windows.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

Form8::Form8(Windows& windows)
    : ProblemOneWindow(windows, "Form8", QStringLiteral("Problem 1 - cross flow")) {
    makeInputs(QStringLiteral("CROSS FLOW"),
               QStringLiteral("The following data has to be measured for calculation the Number "
                              "of Transfer Units (NTU) of existing cooling tower "),
               QStringLiteral("Input Data"),
               {QStringLiteral("Water mass flow rate, [kg/s]"),
                QStringLiteral("Air mass flow rate, [kg/s]"),
                QStringLiteral("Water temperature IN, [oC]"),
                QStringLiteral("Water temperature OUT, [oC]"),
                QStringLiteral("Ambient air pressure, [bar]"),
                QStringLiteral("Ambient dry bulb temp. IN, [oC]"),
                QStringLiteral("Amb. air relative humidity IN, [%]")});

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
    resultLabels = {.ntu = lbl2,
                    .heat = lbl10,
                    .coolingDegree = lbl16,
                    .range = lbl17,
                    .approach = lbl18,
                    .outletDryBulb = lbl11,
                    .outletWetBulb = lbl12,
                    .outletEnthalpy = lbl13,
                    .outletRelativeHumidity = lbl14,
                    .outletHumidity = lbl15,
                    .inletWetBulb = lbl9,
                    .inletEnthalpy = lbl19,
                    .inletHumidity = lbl20};

    auto* picture = new TowerSchematic(TowerSchematic::Arrangement::CrossFlow, this);

    Label8 = makeBusyLabel("Label8");

    makeGrid();

    Command1 = makeButton("Command1", QStringLiteral("CALCULATE"));
    Command2 = makeButton("Command2", QStringLiteral("BACK"));
    Command3 = makeButton("Command3", QStringLiteral("GoTo Problem 2"));
    Command3->setEnabled(false);
    connect(Command1, &QPushButton::clicked, this, &Form8::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form8::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form8::Command3_Click);

    layOut({.indicators = indicators,
            .air = air,
            .picture = picture,
            .busy = Label8,
            .back = Command2,
            .calculate = Command1,
            .onward = Command3});
}

void Form8::Command1_Click() {
    const auto measured = readMeasured({Text4, Text3});
    if (!measured)
        return;
    const auto [L, G, Tin, Tout, p, tdb, rh] = *measured;
    if (!(L > 0) || !(G > 0)) {
        refuse(crossflow::refusalText(crossflow::Status::NonPositiveFlow));
        return;
    }

    // Inlet air, as the moist-air calculator shows it.
    const auto inlet = airState(3, p, tdb, rh, QStringLiteral("inlet air"));
    if (!inlet)
        return;
    const double twbIn = inlet->wetBulb;
    if (!(Tin > twbIn)) {
        refuse(crossflow::refusalText(crossflow::Status::WaterNotAboveWetBulb));
        return;
    }

    const Busy busy(*this, Label8); // the checks have passed: the long search starts
    const crossflow::NtuResult search =
        crossflow::searchNtu({L, G, Tin, Tout, inlet->enthalpy, tdb, twbIn, p});
    if (search.status != crossflow::Status::Ok) {
        refuse(crossflow::refusalText(search.status));
        return;
    }
    const double taOut = search.sweep.airDryBulbOutMean;
    const double hOut = search.sweep.airEnthalpyOutMean;

    // The measured outlet temperature gives the indicators, not the computed mean.
    const double Q = crossflow::kSpecificHeatWater * (Tin - Tout) * L;
    const double coolingDegree = (Tin - Tout) / (Tin - twbIn);
    const double range = Tin - Tout;
    const double approach = Tout - twbIn;

    // Outlet air.
    const auto outlet = airState(2, p, taOut, hOut, QStringLiteral("outlet air"));
    if (!outlet)
        return;

    // Every result is in hand: show them.
    showResults(*measured,
                {.ntu = search.ntu,
                 .heat = Q,
                 .coolingDegree = coolingDegree,
                 .range = range,
                 .approach = approach,
                 .inlet = *inlet,
                 .outletDryBulb = taOut,
                 .outletEnthalpy = hOut,
                 .outlet = *outlet},
                "###0.00", "###0.00");
    AddGridRow();
    setCompletionStatus(QStringLiteral("Calculation has successfuly complited"));
    Command3->setEnabled(true);
}

void Form8::Command2_Click() {
    goTo(windows().form1());
}

void Form8::Command3_Click() {
    goTo(windows().form6());
}
