#include "diagrams/diagramexport.h"

#include "diagrams/plotlibrary.h"
#include "diagrams/plotstyle.h"
#include "engine/atomicfile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
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

bool writeSvg(QCustomPlot* plot, QIODevice* device, QSize size) {
    QSvgGenerator generator;
    generator.setOutputDevice(device);
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

bool writePng(QCustomPlot* plot, QIODevice* device, QSize size) {
    QImage image = plot->toPixmap(size.width(), size.height(), kPngScale).toImage();
    if (image.isNull())
        return false;
    const int dotsPerMeter = qRound(96 * kPngScale / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image.save(device, "PNG");
}

// One page of the asked size in points, no margins; lines and text stay vectors.
bool writePdf(QCustomPlot* plot, QIODevice* device, QSize size) {
    QPdfWriter writer(device);
    writer.setCreator(QStringLiteral("ctaudit"));
    writer.setTitle(plotstyle::title(plot));
    writer.setResolution(96);
    writer.setPageLayout(
        QPageLayout(QPageSize(size, QPageSize::Point, QString(), QPageSize::ExactMatch),
                    QPageLayout::Portrait, QMarginsF()));
    QCPPainter painter;
    if (!painter.begin(&writer))
        return false;
    painter.setMode(QCPPainter::pmVectorized);
    painter.setWindow(QRect(QPoint(0, 0), size));
    plot->toPainter(&painter, size.width(), size.height());
    return painter.end();
}

} // namespace

bool save(QCustomPlot* plot, const QString& fileName, Format format, QSize size) {
    // Drawn in memory first: the writers do not all notice a short write to a file.
    QBuffer drawn;
    drawn.open(QIODevice::WriteOnly);
    bool ok = false;
    switch (format) {
    case Format::Png:
        ok = writePng(plot, &drawn, size);
        break;
    case Format::Svg:
        ok = writeSvg(plot, &drawn, size);
        break;
    case Format::Pdf:
        ok = writePdf(plot, &drawn, size);
        break;
    }
    // Exporting lays the plot out at the export size; lay it out again for the screen.
    plot->replot(QCustomPlot::rpQueuedReplot);
    const QByteArray& data = drawn.data();
    if (!ok || data.isEmpty())
        return false;
    // The file replaces an old one (or a link of that name) only once it is complete.
    return !AtomicFile::write(fileName, data);
}

} // namespace diagramexport
