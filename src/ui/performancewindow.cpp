#include "ui/performancewindow.h"

#include "engine/keys.h"
#include "ui/resultgrid.h"
#include "ui/towerschematic.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

const char* const kTitle = "Problem1: DETERMINATION OF PERFORMANCE INDICATORS";

// The captions that differ between the two arrangements' windows.
struct Captions {
    const char* explanation;
    const char* input;
    const char* waterIn;
    const char* waterOut;
    const char* relativeHumidity;
    const char* indicators;
    const char* ntu;
    const char* coolingDegree;
    const char* air;
    const char* outletRelativeHumidity;
};

// The window of an arrangement, whose list is Id.
template <class Id> WindowPlan plan(const Captions& c) {
    return {kTitle,
            {
                note(Column::Left, c.explanation),
                frame(Column::Left, c.input,
                      {{Id::waterFlow, "Water mass flow rate, [kg/s]"},
                       {Id::airFlow, "Air mass flow rate, [kg/s]"},
                       {Id::waterIn, c.waterIn},
                       {Id::waterOut, c.waterOut},
                       {Id::pressure, "Ambient air pressure, [bar]"},
                       {Id::dryBulb, "Ambient dry bulb temp. IN, [oC]"},
                       {Id::relativeHumidity, c.relativeHumidity}}),
                frame(Column::Right, c.indicators,
                      {{Id::ntu, c.ntu},
                       {Id::heat, "Heat capacity, [kW]"},
                       {Id::coolingDegree, c.coolingDegree},
                       {Id::range, "Range, [oC]"},
                       {Id::approach, "Approach, [oC]"}}),
                frame(Column::Right, c.air,
                      {{Id::outletDryBulb, "Outlet (exhaust) dry bulb temp, [oC]"},
                       {Id::outletWetBulb, "Outlet (exhaust) wet bulb temp, [oC]"},
                       {Id::outletEnthalpy, "Enthalpy of outlet air, [kJ/kg]"},
                       {Id::outletRelativeHumidity, c.outletRelativeHumidity},
                       {Id::outletHumidity, "Absolut humidity OUT,  [-]"},
                       {Id::inletWetBulb, "Wet bulb temperature IN, [oC]"},
                       {Id::inletEnthalpy, "Enthalpy of air. IN, [kJ/kg]"},
                       {Id::inletHumidity, "Absolut humidity IN,  [-]"}}),
            }};
}

const WindowPlan& counterFlowPlan() {
    static const WindowPlan counterFlow = plan<engine::cf1::Control>({
        .explanation = "The following data has to be measured to calculate the Number of "
                       "Transfer Units (NTU) of existing cooling tower ",
        .input = "INPUT DATA",
        .waterIn = " Water temperature IN, [oC]",
        .waterOut = " Water temperature OUT, [oC]",
        .relativeHumidity = "Ambient air relative humidity IN, [%]",
        .indicators = "PERFORMANCE INDICATORS",
        .ntu = "Number of transfer units (1), [kW/(kJ/kg)]",
        .coolingDegree = "Cooling degree, [-]",
        .air = "AMBIENT AIR PARAMETERS",
        .outletRelativeHumidity = "Relative humidity OUT, [%]",
    });
    return counterFlow;
}

const WindowPlan& crossFlowPlan() {
    static const WindowPlan crossFlow = plan<engine::xf1::Control>({
        .explanation = "The following data has to be measured for calculation the Number of "
                       "Transfer Units (NTU) of existing cooling tower ",
        .input = "Input Data",
        .waterIn = "Water temperature IN, [oC]",
        .waterOut = "Water temperature OUT, [oC]",
        .relativeHumidity = "Amb. air relative humidity IN, [%]",
        .indicators = "Perfromance Indicators",
        .ntu = "Number of transfer units, [kW/(kJ/kg)]",
        .coolingDegree = "Cooling degree [-]",
        .air = "Air Parameters",
        .outletRelativeHumidity = "Relative humidity OUT,  [%]",
    });
    return crossFlow;
}

} // namespace

PerformanceWindow::PerformanceWindow(Workspace& workspace, Arrangement arrangement)
    : ProblemWindow(workspace, arrangement, 1) {
    build(arrangement == Arrangement::CounterFlow ? counterFlowPlan() : crossFlowPlan());
    auto* picture = new TowerSchematic(arrangement, this);
    auto* gridTitle =
        new QLabel(QStringLiteral("Parametar specification for different regimes:"), this);
    grid_ = new ResultGrid(this);
    makeButtons();

    // Explanation, inputs and picture on the left, indicators and air on the right, the grid
    // beneath, the buttons at the bottom.
    auto* left = new QVBoxLayout;
    for (QWidget* widget : column(Column::Left))
        left->addWidget(widget);
    left->addWidget(picture, 1);
    auto* right = new QVBoxLayout;
    for (QWidget* widget : column(Column::Right))
        right->addWidget(widget);
    right->addStretch(1);
    auto* middle = new QHBoxLayout;
    middle->addLayout(left, 1);
    middle->addLayout(right, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(4);
    layout->addWidget(header());
    layout->addLayout(middle);
    layout->addWidget(gridTitle);
    layout->addWidget(grid_, 1);
    layout->addLayout(makeButtonRow());
}

void PerformanceWindow::activate() {
    grid_->writeHeaders();
    ProblemWindow::activate();
}

void PerformanceWindow::pullTexts() {
    ProblemWindow::pullTexts();
    grid_->showRows(audit().resultRows(arrangement()));
}
