#pragma once
// The enthalpy-temperature (Merkel) diagram of a counter-flow fill: the saturated-air
// enthalpy over the water temperature, the air's operating line through the integration's
// nodes, the driving force between them shaded, the air's inlet and outlet labelled.

#include "diagrams/diagramdata.h"
#include "diagrams/plotlibrary.h"

class MerkelPlot : public QCustomPlot {
    Q_OBJECT
public:
    explicit MerkelPlot(QWidget* parent = nullptr);

    // Draws a diagram; replaces what was drawn. Does not replot.
    void setDiagram(const diagrams::MerkelDiagram& diagram);

    // The graphs as drawn, for whoever reads the diagram back.
    QCPGraph* saturationGraph() const { return saturation_; }
    QCPGraph* operatingGraph() const { return operating_; }
    // The texts of the inlet and outlet labels.
    QString inletLabel() const;
    QString outletLabel() const;

private:
    QCPGraph* saturation_;
    QCPGraph* operating_;
    QCPGraph* ends_;
    QCPItemText* inlet_;
    QCPItemText* outlet_;
    QCPItemText* force_;
};
