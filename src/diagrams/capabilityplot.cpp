#include "diagrams/capabilityplot.h"

#include "diagrams/plotstyle.h"

#include <algorithm>
#include <cmath>

namespace {

const QColor kDemandColour(0x31, 0x68, 0x8e);
const QColor kCharacteristicColour(0x55, 0x55, 0x55);
const char* const kPointNames[3] = {"Test", "Design", "Meet"};
const QColor kPointColours[3] = {QColor(0x44, 0x01, 0x54), QColor(0xd6, 0x27, 0x28),
                                 QColor(0x35, 0xb7, 0x79)};
const QCPScatterStyle::ScatterShape kPointShapes[3] = {
    QCPScatterStyle::ssDisc, QCPScatterStyle::ssSquare, QCPScatterStyle::ssDiamond};
constexpr double kPointSize = 11;
// The axes' range without anything to draw.
constexpr double kEmptyLow = 0.1;
constexpr double kEmptyHigh = 10;
// The demand rises without bound towards the pinch: the y axis shows it up to this many times
// the largest point or characteristic value, so that the points do not crowd at the bottom.
constexpr double kDemandHeadroom = 3;
// Room around the drawn values, a factor on the logarithmic axes; the y axis leaves more above
// for the legend.
constexpr double kMargin = 1.25;
constexpr double kLegendRoom = 2.2;

QString number(double value, int decimals) {
    return QLocale().toString(value, 'f', decimals);
}

} // namespace

CapabilityPlot::CapabilityPlot(QWidget* parent)
    : QCustomPlot(parent) {
    setObjectName(QStringLiteral("capabilityPlot"));
    plotstyle::prepare(this);
    for (QCPAxis* axis : {xAxis, yAxis})
        plotstyle::setLogarithmic(axis);
    xAxis->setLabel(QStringLiteral("L/G [-]"));
    yAxis->setLabel(QStringLiteral("Merkel number KaV/L [-]"));

    demand_ = addGraph();
    characteristic_ = addGraph();
    for (int k = 0; k < 3; ++k) {
        points_[k] = addGraph();
        points_[k]->setLineStyle(QCPGraph::lsNone);
    }
    note_ = new QCPItemText(this);
    note_->position->setType(QCPItemPosition::ptAxisRectRatio);
    note_->position->setCoords(0.5, 0.5);
    note_->setPositionAlignment(Qt::AlignCenter);
    note_->setTextAlignment(Qt::AlignCenter);
    note_->setColor(QColor(0x55, 0x55, 0x55));
    note_->setVisible(false);
    plotstyle::showLegend(this);
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    legend->setFont(small);
    legend->setIconSize(24, 12);
    legend->setIconTextPadding(8);
    axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignLeft);
    clear(Arrangement::CounterFlow, QString());
}

QString CapabilityPlot::note() const {
    return note_->visible() ? note_->text() : QString();
}

void CapabilityPlot::setTitleOf(Arrangement arrangement, bool outOfDate,
                                std::optional<double> capabilityPct) {
    plotstyle::setTitle(
        this, QStringLiteral("%1%2: capability, the characteristic against the design demand%3")
                  .arg(arrangement == Arrangement::CounterFlow ? QStringLiteral("Counter flow")
                                                               : QStringLiteral("Cross flow"),
                       plotstyle::outOfDateMark(outOfDate),
                       capabilityPct ? QStringLiteral(" (%1 %)").arg(number(*capabilityPct, 1))
                                     : QString()));
}

void CapabilityPlot::clear(Arrangement arrangement, const QString& why) {
    setTitleOf(arrangement, false, std::nullopt);
    for (QCPGraph* graph : {demand_, characteristic_, points_[0], points_[1], points_[2]}) {
        graph->data()->clear();
        graph->removeFromLegend();
    }
    legend->setVisible(false);
    note_->setText(why);
    note_->setVisible(!why.isEmpty());
    xAxis->setRange(kEmptyLow, kEmptyHigh);
    yAxis->setRange(kEmptyLow, kEmptyHigh);
}

void CapabilityPlot::setDiagram(const diagrams::CapabilityDiagram& d) {
    clear(d.arrangement, QString());
    setTitleOf(d.arrangement, d.outOfDate, d.capabilityPct);
    const QColor grey = plotstyle::outOfDateColour();
    const auto curve = [&](QCPGraph* graph, const std::vector<capability::CurvePoint>& points,
                           const QString& name, const QColor& colour, Qt::PenStyle style) {
        QVector<double> x, y;
        for (const capability::CurvePoint& p : points) {
            x.append(p.flowRatio);
            y.append(p.merkel);
        }
        graph->setData(x, y, true);
        graph->setPen(QPen(d.outOfDate ? grey : colour, 2, style));
        graph->setName(name + plotstyle::outOfDateMark(d.outOfDate));
        if (!x.isEmpty())
            graph->addToLegend();
    };
    curve(demand_, d.demand, QStringLiteral("Demand at design"), kDemandColour, Qt::SolidLine);
    curve(characteristic_, d.characteristic,
          QStringLiteral("Characteristic, n = %1").arg(number(d.exponent, 2)),
          kCharacteristicColour, Qt::DashLine);

    const std::optional<capability::CurvePoint> points[3] = {d.test, d.design, d.intersection};
    double xLow = INFINITY, xHigh = 0, yLow = INFINITY, yHigh = 0;
    const auto include = [&](const capability::CurvePoint& p, bool y) {
        xLow = std::min(xLow, p.flowRatio);
        xHigh = std::max(xHigh, p.flowRatio);
        if (y) {
            yLow = std::min(yLow, p.merkel);
            yHigh = std::max(yHigh, p.merkel);
        }
    };
    for (int k = 0; k < 3; ++k) {
        if (!points[k])
            continue;
        const capability::CurvePoint& p = *points[k];
        const QColor colour = d.outOfDate ? grey : kPointColours[k];
        points_[k]->setData({p.flowRatio}, {p.merkel});
        points_[k]->setScatterStyle(
            d.outOfDate ? QCPScatterStyle(kPointShapes[k], QPen(colour, 2), Qt::NoBrush, kPointSize)
                        : QCPScatterStyle(kPointShapes[k], colour, colour, kPointSize));
        // The point's L/G and KaV/L, as the axes have them.
        QString name = QStringLiteral("%1 (%2, %3)")
                           .arg(QString::fromLatin1(kPointNames[k]), number(p.flowRatio, 3),
                                number(p.merkel, 3));
        if (k == 2 && d.capabilityPct)
            name += QStringLiteral(": %1 %").arg(number(*d.capabilityPct, 1));
        points_[k]->setName(name + plotstyle::outOfDateMark(d.outOfDate));
        points_[k]->addToLegend();
        include(p, true);
    }
    for (const capability::CurvePoint& p : d.characteristic)
        include(p, true);
    // The demand's steep end near the pinch is cut at a height that keeps the points apart.
    const double demandCap = yHigh > 0 ? kDemandHeadroom * yHigh : INFINITY;
    for (const capability::CurvePoint& p : d.demand)
        include(p, p.merkel <= demandCap);
    if (!(xHigh > 0) || !(yHigh > 0)) {
        clear(d.arrangement, d.note.empty() ? QStringLiteral("No capability to draw.")
                                            : QString::fromStdString(d.note));
        setTitleOf(d.arrangement, d.outOfDate, std::nullopt);
        return;
    }
    legend->setVisible(true);
    if (!d.note.empty() && (d.demand.empty() || d.characteristic.empty())) {
        note_->setText(QString::fromStdString(d.note));
        note_->setVisible(true);
    }
    xAxis->setRange(plotstyle::roundOutward(xLow / kMargin, false),
                    plotstyle::roundOutward(xHigh * kMargin, true));
    yAxis->setRange(plotstyle::roundOutward(yLow / kMargin, false),
                    plotstyle::roundOutward(yHigh * kLegendRoom, true));
}
