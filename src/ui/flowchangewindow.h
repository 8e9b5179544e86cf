#pragma once
// FlowChangeWindow: Problem 3, the influence of new water and air flows. The tower of
// Problem 1 gets new flows: its NTU is scaled to them by the flow-rate law, and the outlet
// water temperature at which the tower works with that NTU gives the new heat capacity,
// indicators and outlet air. Problem 1's values arrive as texts in the labels of its two
// frames.

#include "ui/problemwindow.h"

class FlowChangeWindow : public ProblemWindow {
    Q_OBJECT
public:
    FlowChangeWindow(Workspace& workspace, Arrangement arrangement);
};
