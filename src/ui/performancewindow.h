#pragma once
// PerformanceWindow: Problem 1, the tower's performance indicators. From seven measured
// values it finds the tower's NTU (by the counter-flow integration, or the cross-flow cell
// sweep), its heat capacity, cooling degree, range and approach, and the inlet and outlet
// air; each calculation adds a row to the result grid. A schematic picture of the tower
// stands beside the inputs.

#include "ui/problemwindow.h"

class ResultGrid;

class PerformanceWindow : public ProblemWindow {
    Q_OBJECT
public:
    PerformanceWindow(Workspace& workspace, Arrangement arrangement);

    // Rewrites the grid's headers; the engine recommends the water flow.
    void activate() override;
    // The texts, and the engine's grid rows.
    void pullTexts() override;

    // The grid of the results of every calculation, one operating regime a row.
    ResultGrid* resultGrid() const { return grid_; }

private:
    ResultGrid* grid_ = nullptr;
};
