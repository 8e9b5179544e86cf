#pragma once
// Export of a diagram to PNG, SVG or PDF at a size fit for a report.

#include <QSize>
#include <QString>
#include <optional>

class QCustomPlot;

namespace diagramexport {

enum class Format { Png, Svg, Pdf };

// The diagram's size in a report: 720 x 450 (7.5 x 4.7 inches at 96 per inch). SVG and PDF
// take it in their own units (SVG user units, PDF points); a PNG has twice as many pixels
// each way, so that it stays sharp in print.
inline constexpr QSize kReportSize{720, 450};
inline constexpr int kPngScale = 2;

// The format a file name asks for by its suffix (".png", ".svg", ".pdf", any case).
std::optional<Format> formatOf(const QString& fileName);

// Writes the plot to a file in a format at a size (see kReportSize); a PNG gets kPngScale
// times as many pixels. Returns false when the file cannot be written whole; an existing file
// of that name is then left as it was.
bool save(QCustomPlot* plot, const QString& fileName, Format format, QSize size = kReportSize);

// The file-dialog filter of the three formats.
QString fileFilter();

} // namespace diagramexport
