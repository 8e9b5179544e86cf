#pragma once
// The look the diagrams share: fonts, the perceptually uniform colour scale of the maps
// (viridis) and the plot's common set-up.

#include <QColor>
#include <QString>

class QCustomPlot;
class QCPColorGradient;

namespace plotstyle {

// Viridis: perceptually uniform, readable in grey and by colour-blind readers.
QCPColorGradient viridis();

// A plot's common set-up: white background, antialiased lines, a bold title row above the
// axis rect (its text set later with setTitle).
void prepare(QCustomPlot* plot);
void setTitle(QCustomPlot* plot, const QString& title);
// The legend, shown: a translucent white box with a wide gap between each line and its text.
void showLegend(QCustomPlot* plot);
QString title(const QCustomPlot* plot);

// What a diagram's title and a point's legend entry add for a Problem whose results are out of
// date: " (out of date)"; nothing for a current one.
QString outOfDateMark(bool outOfDate);
// The colour of what is drawn for an out-of-date Problem: a mid grey.
QColor outOfDateColour();

} // namespace plotstyle
