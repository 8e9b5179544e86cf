#include "diagrams/fillmapplot.h"

#include "diagrams/plotstyle.h"

#include <cmath>

namespace {

QString unit(FillMapPlot::Quantity quantity) {
    return quantity == FillMapPlot::Quantity::AirEnthalpy ? QStringLiteral("kJ/kg")
                                                          : QStringLiteral("°C");
}

} // namespace

QString FillMapPlot::quantityName(Quantity quantity) {
    switch (quantity) {
    case Quantity::WaterTemp:
        return QStringLiteral("Water temperature");
    case Quantity::AirEnthalpy:
        return QStringLiteral("Air enthalpy");
    case Quantity::AirDryBulb:
        return QStringLiteral("Air dry bulb");
    }
    return {};
}

FillMapPlot::FillMapPlot(Quantity quantity, QWidget* parent)
    : QCustomPlot(parent)
    , quantity_(quantity) {
    setObjectName(QStringLiteral("fillMapPlot"));
    plotstyle::prepare(this);
    setMouseTracking(true);

    // Columns along the air path at the bottom, rows along the water path on the right; the
    // top edge is where the water enters, the left edge where the air enters.
    xAxis->setLabel(QStringLiteral("Cell column along the air path"));
    xAxis2->setVisible(true);
    xAxis2->setTicks(false);
    xAxis2->setTickLabels(false);
    xAxis2->setLabel(QStringLiteral("▼   WATER IN (top)   ▼"));
    QFont strong = font();
    strong.setBold(true);
    xAxis2->setLabelFont(strong);
    yAxis->setTicks(false);
    yAxis->setTickLabels(false);
    yAxis->setLabel(QString());
    yAxis->setPadding(70);
    yAxis2->setVisible(true);
    yAxis2->setLabel(QStringLiteral("Cell row along the water path"));
    yAxis->setRangeReversed(true);
    yAxis2->setRangeReversed(true);
    connect(yAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), yAxis2,
            qOverload<const QCPRange&>(&QCPAxis::setRange));

    auto* airIn = new QCPItemText(this);
    airIn->setClipToAxisRect(false);
    airIn->position->setType(QCPItemPosition::ptAxisRectRatio);
    airIn->position->setCoords(0, 0.5);
    airIn->setPositionAlignment(Qt::AlignRight | Qt::AlignVCenter);
    airIn->setPadding(QMargins(0, 0, 8, 0));
    airIn->setFont(strong);
    airIn->setText(QStringLiteral("AIR IN\n▶▶▶"));

    map_ = new QCPColorMap(xAxis, yAxis);
    map_->setGradient(plotstyle::viridis());
    map_->setInterpolate(false);
    map_->setTightBoundary(false);

    scale_ = new QCPColorScale(this);
    scale_->setType(QCPAxis::atRight);
    scale_->setLabel(quantityName(quantity_) + QStringLiteral(" [") + unit(quantity_) +
                     QStringLiteral("]"));
    scale_->setGradient(plotstyle::viridis());
    plotLayout()->addElement(1, 1, scale_);
    map_->setColorScale(scale_);
    auto* group = new QCPMarginGroup(this);
    axisRect()->setMarginGroup(QCP::msBottom | QCP::msTop, group);
    scale_->setMarginGroup(QCP::msBottom | QCP::msTop, group);

    // The readout has a row of its own under the plot, always there so that the axes do not
    // move when it appears.
    hover_ = new QCPTextElement(this, QString(), font());
    hover_->setLayer(QStringLiteral("overlay"));
    hover_->setMargins(QMargins(4, 2, 4, 4));
    hover_->setMinimumSize(0, QFontMetrics(font()).height() + 6);
    hover_->setMaximumSize(QWIDGETSIZE_MAX, QFontMetrics(font()).height() + 6);
    plotLayout()->addElement(plotLayout()->rowCount(), 0, hover_);
}

double FillMapPlot::value(const diagrams::FillCellValues& cell) const {
    switch (quantity_) {
    case Quantity::WaterTemp:
        return cell.waterTemp;
    case Quantity::AirEnthalpy:
        return cell.airEnthalpy;
    case Quantity::AirDryBulb:
        return cell.airDryBulb;
    }
    return 0;
}

void FillMapPlot::setMaps(const diagrams::FillMaps& maps) {
    maps_ = maps;
    const int n = maps.size;
    plotstyle::setTitle(this,
                        QStringLiteral("Cross flow, Problem %1%2: %3 in the fill\n"
                                       "NTU %4 kW/(kJ/kg), heat capacity %5 kW")
                            .arg(maps.problem)
                            .arg(plotstyle::outOfDateMark(maps.outOfDate), quantityName(quantity_),
                                 QString::fromStdString(maps.ntuText),
                                 QString::fromStdString(maps.heatText)));
    // Cell (row, column) is drawn at x = column + 1, y = row + 1.
    map_->data()->setSize(n, n);
    map_->data()->setRange(QCPRange(1, n), QCPRange(1, n));
    double lo = 0, hi = 0;
    bool first = true;
    if (static_cast<int>(maps.cells.size()) == n * n) {
        for (int row = 0; row < n; ++row)
            for (int column = 0; column < n; ++column) {
                const double v = value(maps.cell(row, column));
                map_->data()->setCell(column, row, v);
                lo = first ? v : std::min(lo, v);
                hi = first ? v : std::max(hi, v);
                first = false;
            }
    }
    // A fill that is everywhere alike (no cooling) still gets a readable colour bar.
    if (hi - lo < 0.01) {
        lo -= 0.5;
        hi += 0.5;
    }
    map_->setDataRange(QCPRange(lo, hi));
    xAxis->setRange(0.5, n + 0.5);
    yAxis->setRange(0.5, n + 0.5);
    showHover(QString());
}

QString FillMapPlot::cellTextAt(const QPointF& position) const {
    const int n = maps_.size;
    if (static_cast<int>(maps_.cells.size()) != n * n)
        return {};
    const double x = xAxis->pixelToCoord(position.x());
    const double y = yAxis->pixelToCoord(position.y());
    const int column = static_cast<int>(std::lround(x)) - 1;
    const int row = static_cast<int>(std::lround(y)) - 1;
    if (!(x >= 0.5 && y >= 0.5) || column < 0 || row < 0 || column >= n || row >= n)
        return {};
    return QStringLiteral("Row %1, column %2: %3 %4")
        .arg(row + 1)
        .arg(column + 1)
        .arg(QLocale().toString(value(maps_.cell(row, column)), 'f', 2), unit(quantity_));
}

QString FillMapPlot::hoverText() const {
    return hover_->text();
}

QRect FillMapPlot::hoverRect() const {
    return hover_->outerRect();
}

void FillMapPlot::showHover(const QString& text) {
    if (text == hoverText())
        return;
    hover_->setText(text);
    setToolTip(text);
    replot(rpQueuedReplot);
}

void FillMapPlot::mouseMoveEvent(QMouseEvent* event) {
    showHover(cellTextAt(event->position()));
    QCustomPlot::mouseMoveEvent(event);
}

void FillMapPlot::leaveEvent(QEvent* event) {
    showHover(QString());
    QCustomPlot::leaveEvent(event);
}
