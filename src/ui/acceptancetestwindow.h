#pragma once
// AcceptanceTestWindow: Problem 2, the acceptance test. From the name-plate data it computes
// the design heat capacity, then the outlet water temperature at which the tower of Problem 1
// (its NTU held) would work under the design inlet conditions, and the heat it would then
// reject, compared with the design heat. "GoTo Problem 3" carries Problem 1's values on (the
// counter flow copies them into Problem 3's labels).

#include "ui/problemwindow.h"

class AcceptanceTestWindow : public ProblemWindow {
    Q_OBJECT
public:
    AcceptanceTestWindow(Workspace& workspace, Arrangement arrangement);
};
