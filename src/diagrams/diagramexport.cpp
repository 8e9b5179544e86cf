#include "diagrams/diagramexport.h"

#include "diagrams/plotlibrary.h"
#include "diagrams/plotstyle.h"

#include <QFileInfo>
#include <QSvgGenerator>

namespace diagramexport {

std::optional<Format> formatOf(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("png"))
        return Format::Png;
    if (suffix == QLatin1String("svg"))
        return Format::Svg;
    if (suffix == QLatin1String("pdf"))
        return Format::Pdf;
    return std::nullopt;
}

QString fileFilter() {
    return QStringLiteral("PNG image (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)");
}

namespace {

bool saveSvg(QCustomPlot* plot, const QString& fileName, QSize size) {
    QSvgGenerator generator;
    generator.setFileName(fileName);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setResolution(96);
    generator.setTitle(plotstyle::title(plot));
    generator.setDescription(QStringLiteral("ctaudit diagram"));
    QCPPainter painter;
    if (!painter.begin(&generator))
        return false;
    plot->toPainter(&painter, size.width(), size.height());
    return painter.end();
}

} // namespace

bool save(QCustomPlot* plot, const QString& fileName, Format format, QSize size) {
    bool ok = false;
    switch (format) {
    case Format::Png:
        ok = plot->savePng(fileName, size.width(), size.height(), kPngScale, -1, 96 * kPngScale);
        break;
    case Format::Svg:
        ok = saveSvg(plot, fileName, size);
        break;
    case Format::Pdf:
        ok = plot->savePdf(fileName, size.width(), size.height(), QCP::epAllowCosmetic,
                           QStringLiteral("ctaudit"), plotstyle::title(plot));
        break;
    }
    // Exporting lays the plot out at the export size; lay it out again for the screen.
    plot->replot(QCustomPlot::rpQueuedReplot);
    return ok && QFileInfo(fileName).size() > 0;
}

} // namespace diagramexport
