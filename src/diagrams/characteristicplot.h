#pragma once
// The tower characteristic: NTU per unit water flow over L/G on logarithmic axes, the line
// NTU/L ~ (L/G)^-n through Problem 1's point (n the exponent with which Problems 3 and 4 scale
// the NTU), and the labelled points of Problems 2, 3 and 4. The point of an out-of-date Problem
// is drawn hollow and grey, and its legend entry ends in "(out of date)".

#include "diagrams/diagramdata.h"
#include "diagrams/plotlibrary.h"

class CharacteristicPlot : public QCustomPlot {
    Q_OBJECT
public:
    explicit CharacteristicPlot(QWidget* parent = nullptr);

    // Draws a characteristic; replaces what was drawn. Does not replot.
    void setCharacteristic(const diagrams::Characteristic& characteristic);

    QCPGraph* lineGraph() const { return line_; }
    // The graph of a Problem's point (1 to 4); nullptr when the point is not drawn.
    QCPGraph* pointGraph(int problem) const;
    // The legend entry of a Problem's point ("3: new flows   L/G 1.500, NTU/L 0.0110", with
    // " (out of date)" for an out-of-date Problem); empty when the point is not drawn.
    QString pointLabel(int problem) const;

private:
    QCPGraph* line_;
    QCPGraph* points_[4];
    QCPItemText* labels_[4];
};
