#pragma once
// The tower's capability by the characteristic-curve method: the Merkel number KaV/L over L/G
// on logarithmic axes, with the design demand curve (the KaV/L the design temperatures need at
// each L/G), the tower characteristic KaV/L = C (L/G)^-n through the test point, the test point,
// the design point (the demand at Ld/Gd) and where characteristic and demand meet. Drawn from
// an out-of-date Problem, curves and points are grey, the points hollow, and the title ends in
// "(out of date)". With nothing to draw the axes keep a valid range and the plot says why.

#include "diagrams/diagramdata.h"
#include "diagrams/plotlibrary.h"

class CapabilityPlot : public QCustomPlot {
    Q_OBJECT
public:
    explicit CapabilityPlot(QWidget* parent = nullptr);

    // Draws a diagram; replaces what was drawn. Does not replot.
    void setDiagram(const diagrams::CapabilityDiagram& diagram);
    // Draws nothing but empty axes of the arrangement, with `why` in the middle.
    void clear(Arrangement arrangement, const QString& why);

    // The graphs as drawn (empty when their figure is refused), for whoever reads them back.
    QCPGraph* demandGraph() const { return demand_; }
    QCPGraph* characteristicGraph() const { return characteristic_; }
    QCPGraph* testGraph() const { return points_[0]; }
    QCPGraph* designGraph() const { return points_[1]; }
    QCPGraph* intersectionGraph() const { return points_[2]; }
    // The sentence in the middle of the plot; empty when the curves are drawn.
    QString note() const;

private:
    void setTitleOf(Arrangement arrangement, bool outOfDate, std::optional<double> capabilityPct);

    QCPGraph* demand_;
    QCPGraph* characteristic_;
    QCPGraph* points_[3];
    QCPItemText* note_;
};
