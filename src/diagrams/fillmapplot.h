#pragma once
// A colour map of the cross-flow fill: one of the cells' water temperature, air enthalpy or
// air dry bulb over the 20 x 20 cells, water entering at the top and air from the left, with a
// labelled colour bar (viridis) and the value of the cell under the mouse pointer.

#include "diagrams/diagramdata.h"
#include "diagrams/plotlibrary.h"

class FillMapPlot : public QCustomPlot {
    Q_OBJECT
public:
    enum class Quantity { WaterTemp, AirEnthalpy, AirDryBulb };

    explicit FillMapPlot(Quantity quantity, QWidget* parent = nullptr);

    Quantity quantity() const { return quantity_; }
    // "Water temperature" etc.
    static QString quantityName(Quantity quantity);

    // Draws the maps' cells of this plot's quantity; replaces what was drawn. Does not replot.
    void setMaps(const diagrams::FillMaps& maps);

    QCPColorMap* colorMap() const { return map_; }
    QCPColorScale* colorScale() const { return scale_; }

    // "Row 3, column 5: 34.12 °C" for the cell under a widget position; empty outside the fill.
    QString cellTextAt(const QPointF& position) const;
    // The text shown for the cell under the mouse pointer (empty when it is outside the fill).
    QString hoverText() const;
    // Where that text is drawn: a line of its own beneath the axes, clear of every tick label.
    QRect hoverRect() const;

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    double value(const diagrams::FillCellValues& cell) const;
    void showHover(const QString& text);

    Quantity quantity_;
    QCPColorMap* map_;
    QCPColorScale* scale_;
    QCPTextElement* hover_;
    diagrams::FillMaps maps_;
};
