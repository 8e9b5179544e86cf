#pragma once
// The look the diagrams share: fonts, the perceptually uniform colour scale of the maps
// (viridis) and the plot's common set-up.

#include <QColor>
#include <QString>

class QCPAxis;
class QCustomPlot;
class QCPColorGradient;
class QFontMetrics;

namespace plotstyle {

// Viridis: perceptually uniform, readable in grey and by colour-blind readers.
QCPColorGradient viridis();

// A plot's common set-up: white background, antialiased lines, a bold title row above the
// axis rect (its text set later with setTitle). The title is drawn broken into lines to the
// plot's width.
void prepare(QCustomPlot* plot);
void setTitle(QCustomPlot* plot, const QString& title);
// The legend, shown: a translucent white box with a wide gap between each line and its text.
void showLegend(QCustomPlot* plot);
// The title's whole text, and the lines it was last drawn in.
QString title(const QCustomPlot* plot);
QString shownTitle(const QCustomPlot* plot);

// The text broken into lines no wider than width (pixels of metrics) at its blanks, its own
// line breaks kept; a word wider than width alone is elided. A width of 0 or less leaves it as
// it is.
QString fitToWidth(const QString& text, const QFontMetrics& metrics, int width);

// A logarithmic axis as the characteristic diagrams have it: a decade ticker with eight sub
// ticks that also labels both ends of the range (a range within one decade would otherwise show
// one number or none), numbers to three significant digits.
void setLogarithmic(QCPAxis* axis);
// value rounded outward to one significant digit: down (0.63 to 0.6) or up (2.7 to 3); a value
// that is not positive and finite is returned as it is.
double roundOutward(double value, bool up);

// What a diagram's title and a point's legend entry add for a Problem whose results are out of
// date: " (out of date)"; nothing for a current one.
QString outOfDateMark(bool outOfDate);
// The colour of what is drawn for an out-of-date Problem: a mid grey.
QColor outOfDateColour();

} // namespace plotstyle
