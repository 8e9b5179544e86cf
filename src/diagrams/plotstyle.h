#pragma once
// The look the diagrams share: fonts, the perceptually uniform colour scale of the maps
// (viridis) and the plot's common set-up.

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
QString title(const QCustomPlot* plot);

} // namespace plotstyle
