#pragma once
// HeatLoadWindow: Problem 4, the water flow for a desired heat load. The tower of Problem 3,
// its L/G held, must reject a desired heat at a new water inlet temperature and new ambient
// air: a search on the water flow finds where the NTU the tower offers at that flow equals
// the NTU it needs. The last window of the chain; its leading-on button goes to the menu.

#include "ui/problemwindow.h"

class HeatLoadWindow : public ProblemWindow {
    Q_OBJECT
public:
    HeatLoadWindow(Workspace& workspace, Arrangement arrangement);
};
