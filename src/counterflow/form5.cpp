#include "counterflow/form5.h"

#include "common/towerschematic.h"
#include "counterflow/counterflowcore.h"
#include "counterflow/refusal.h"
#include "shell/form1.h"
#include "shell/windows.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

Form5::Form5(Windows& windows)
    : ProblemOneWindow(windows, "Form5", QStringLiteral("Problem 1 - counter flow")) {
    makeInputs(QStringLiteral("COUNTER FLOW"),
               QStringLiteral("The following data has to be measured to calculate the Number of "
                              "Transfer Units (NTU) of existing cooling tower "),
               QStringLiteral("INPUT DATA"),
               {QStringLiteral("Water mass flow rate, [kg/s]"),
                QStringLiteral("Air mass flow rate, [kg/s]"),
                QStringLiteral(" Water temperature IN, [oC]"),
                QStringLiteral(" Water temperature OUT, [oC]"),
                QStringLiteral("Ambient air pressure, [bar]"),
                QStringLiteral("Ambient dry bulb temp. IN, [oC]"),
                QStringLiteral("Ambient air relative humidity IN, [%]")});

    QGroupBox* indicators = makeFrame(QStringLiteral("PERFORMANCE INDICATORS"));
    lbl2 =
        addResult(indicators, "lbl2", QStringLiteral("Number of transfer units (1), [kW/(kJ/kg)]"));
    lbl10 = addResult(indicators, "lbl10", QStringLiteral("Heat capacity, [kW]"));
    lbl18 = addResult(indicators, "lbl18", QStringLiteral("Cooling degree, [-]"));
    lbl19 = addResult(indicators, "lbl19", QStringLiteral("Range, [oC]"));
    lbl20 = addResult(indicators, "lbl20", QStringLiteral("Approach, [oC]"));

    QGroupBox* air = makeFrame(QStringLiteral("AMBIENT AIR PARAMETERS"));
    lbl13 = addResult(air, "lbl13", QStringLiteral("Outlet (exhaust) dry bulb temp, [oC]"));
    lbl14 = addResult(air, "lbl14", QStringLiteral("Outlet (exhaust) wet bulb temp, [oC]"));
    lbl15 = addResult(air, "lbl15", QStringLiteral("Enthalpy of outlet air, [kJ/kg]"));
    lbl16 = addResult(air, "lbl16", QStringLiteral("Relative humidity OUT, [%]"));
    lbl17 = addResult(air, "lbl17", QStringLiteral("Absolut humidity OUT,  [-]"));
    lbl9 = addResult(air, "lbl9", QStringLiteral("Wet bulb temperature IN, [oC]"));
    lbl11 = addResult(air, "lbl11", QStringLiteral("Enthalpy of air. IN, [kJ/kg]"));
    lbl12 = addResult(air, "lbl12", QStringLiteral("Absolut humidity IN,  [-]"));
    resultLabels = {.ntu = lbl2,
                    .heat = lbl10,
                    .coolingDegree = lbl18,
                    .range = lbl19,
                    .approach = lbl20,
                    .outletDryBulb = lbl13,
                    .outletWetBulb = lbl14,
                    .outletEnthalpy = lbl15,
                    .outletRelativeHumidity = lbl16,
                    .outletHumidity = lbl17,
                    .inletWetBulb = lbl9,
                    .inletEnthalpy = lbl11,
                    .inletHumidity = lbl12};

    auto* picture = new TowerSchematic(TowerSchematic::Arrangement::CounterFlow, this);

    makeGrid();

    Command1 = makeButton("Command1", QStringLiteral("CALCULATE"));
    Command2 = makeButton("Command2", QStringLiteral("GoTo Problem 2"));
    Command3 = makeButton("Command3", QStringLiteral("BACK"));
    Command2->setEnabled(false);
    connect(Command1, &QPushButton::clicked, this, &Form5::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form5::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form5::Command3_Click);

    layOut({.indicators = indicators,
            .air = air,
            .picture = picture,
            .busy = nullptr,
            .back = Command3,
            .calculate = Command1,
            .onward = Command2});
}

void Form5::Command1_Click() {
    const auto measured = readMeasured({Text3, Text4});
    if (!measured)
        return;
    const auto [L, G, Tin, Tout, p, tdb, rh] = *measured;
    if (!(L > 0) || !(G > 0)) {
        refuse(counterflow::refusalText(counterflow::Status::ZeroFlow));
        return;
    }

    // Inlet air, as the moist-air calculator shows it.
    const auto inlet = airState(3, p, tdb, rh, QStringLiteral("inlet air"));
    if (!inlet)
        return;
    const double twbIn = inlet->wetBulb;
    if (Tin == twbIn) {
        refuse(QStringLiteral("The water temperature IN equals the inlet wet bulb temperature: "
                              "the cooling degree is undefined."));
        return;
    }

    const counterflow::Integration fill =
        counterflow::integrate({Tout, Tin, L, G, p, inlet->enthalpy, tdb});
    if (fill.status != counterflow::Status::Ok) {
        refuse(counterflow::refusalText(fill.status));
        return;
    }
    const double Q = (Tin - Tout) * counterflow::kSpecificHeatWater * L;
    const double coolingDegree = (Tin - Tout) / (Tin - twbIn);
    const double range = Tin - Tout;
    const double approach = Tout - twbIn;

    // Outlet air.
    const auto outlet =
        airState(2, p, fill.airTempOut, fill.airEnthalpyOut, QStringLiteral("outlet air"));
    if (!outlet)
        return;

    // Every result is in hand: show them.
    showResults(*measured,
                {.ntu = fill.ntu,
                 .heat = Q,
                 .coolingDegree = coolingDegree,
                 .range = range,
                 .approach = approach,
                 .inlet = *inlet,
                 .outletDryBulb = fill.airTempOut,
                 .outletEnthalpy = fill.airEnthalpyOut,
                 .outlet = *outlet},
                "##0.00", "##0.00");
    AddGridRow();
    setCompletionStatus(QStringLiteral("Calculation has successfully complited"));
    Command2->setEnabled(true);
}

void Form5::Command2_Click() {
    goTo(windows().form(QStringLiteral("Form2")));
}

void Form5::Command3_Click() {
    goTo(windows().form1());
}
