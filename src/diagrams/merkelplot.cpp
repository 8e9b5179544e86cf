#include "diagrams/merkelplot.h"

#include "core/psychro.h"
#include "diagrams/plotstyle.h"

#include <algorithm>

namespace {

// Samples of the saturation curve over the diagram's temperature span.
constexpr int kSaturationSamples = 80;

QString number(double value) {
    return QLocale().toString(value, 'f', 2);
}

QCPItemText* makePointLabel(QCustomPlot* plot, Qt::Alignment alignment) {
    auto* label = new QCPItemText(plot);
    label->setPositionAlignment(alignment);
    label->setPadding(QMargins(6, 3, 6, 3));
    label->setBrush(QColor(255, 255, 255, 220));
    label->setPen(QPen(Qt::darkGray));
    label->setTextAlignment(Qt::AlignLeft);
    return label;
}

} // namespace

MerkelPlot::MerkelPlot(QWidget* parent)
    : QCustomPlot(parent) {
    setObjectName(QStringLiteral("merkelPlot"));
    plotstyle::prepare(this);
    xAxis->setLabel(QStringLiteral("Water temperature [°C]"));
    yAxis->setLabel(QStringLiteral("Enthalpy of air [kJ/kg]"));

    saturation_ = addGraph();
    saturation_->setName(QStringLiteral("Saturated air at the water temperature"));
    saturation_->setPen(QPen(QColor(0x1f, 0x77, 0xb4), 2.2));

    operating_ = addGraph();
    operating_->setName(QStringLiteral("Air (operating line)"));
    operating_->setPen(QPen(QColor(0xd6, 0x27, 0x28), 2.2));
    operating_->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, 4));
    // The driving force: the area between the operating line and the saturation curve.
    operating_->setBrush(QColor(0x1f, 0x77, 0xb4, 50));
    operating_->setChannelFillGraph(saturation_);

    ends_ = addGraph();
    ends_->removeFromLegend();
    ends_->setLineStyle(QCPGraph::lsNone);
    ends_->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, QColor(0xd6, 0x27, 0x28),
                                           QColor(0xd6, 0x27, 0x28), 9));

    // The driving force named in the middle of the shaded area.
    force_ = new QCPItemText(this);
    force_->setText(QStringLiteral("driving force\nh saturated \u2212 h air"));
    force_->setColor(QColor(0x1f, 0x4e, 0x79));
    force_->setPositionAlignment(Qt::AlignCenter);

    inlet_ = makePointLabel(this, Qt::AlignLeft | Qt::AlignTop);
    outlet_ = makePointLabel(this, Qt::AlignRight | Qt::AlignBottom);

    plotstyle::showLegend(this);
    axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignLeft);
}

QString MerkelPlot::inletLabel() const {
    return inlet_->text();
}

QString MerkelPlot::outletLabel() const {
    return outlet_->text();
}

void MerkelPlot::setDiagram(const diagrams::MerkelDiagram& diagram) {
    plotstyle::setTitle(this,
                        QStringLiteral("Counter flow, Problem %1%2: enthalpy of air over water "
                                       "temperature\nNTU %3 kW/(kJ/kg), heat capacity %4 kW")
                            .arg(diagram.problem)
                            .arg(plotstyle::outOfDateMark(diagram.outOfDate),
                                 QString::fromStdString(diagram.ntuText),
                                 QString::fromStdString(diagram.heatText)));
    const auto& line = diagram.operatingLine;
    QVector<double> t, h;
    for (const diagrams::EnthalpyPoint& p : line) {
        t.append(p.waterTemp);
        h.append(p.airEnthalpy);
    }
    operating_->setData(t, h, true);
    if (line.empty()) {
        saturation_->data()->clear();
        ends_->data()->clear();
        inlet_->setVisible(false);
        outlet_->setVisible(false);
        force_->setVisible(false);
        return;
    }

    const auto [tMin, tMax] = std::minmax_element(t.cbegin(), t.cend());
    const double span = std::max(*tMax - *tMin, 1.0);
    const double tLow = *tMin - 0.05 * span;
    const double tHigh = *tMax + 0.05 * span;
    QVector<double> ts, hs;
    for (const diagrams::EnthalpyPoint& p :
         diagrams::saturationCurve(tLow, tHigh, diagram.pressure, kSaturationSamples)) {
        ts.append(p.waterTemp);
        hs.append(p.airEnthalpy);
    }
    saturation_->setData(ts, hs, true);

    const diagrams::EnthalpyPoint& in = line.front();
    const diagrams::EnthalpyPoint& out = line.back();
    ends_->setData({in.waterTemp, out.waterTemp}, {in.airEnthalpy, out.airEnthalpy});
    inlet_->setText(QStringLiteral("Air in (bottom of the fill)\nh = %1 kJ/kg, water %2 °C")
                        .arg(number(in.airEnthalpy), number(in.waterTemp)));
    outlet_->setText(QStringLiteral("Air out (top of the fill)\nh = %1 kJ/kg, water %2 °C")
                         .arg(number(out.airEnthalpy), number(out.waterTemp)));
    inlet_->position->setCoords(in.waterTemp, in.airEnthalpy);
    outlet_->position->setCoords(out.waterTemp, out.airEnthalpy);
    inlet_->setVisible(true);
    outlet_->setVisible(true);
    const diagrams::EnthalpyPoint& middle = line[line.size() / 2];
    force_->position->setCoords(
        middle.waterTemp,
        (middle.airEnthalpy + psychro::saturatedEnthalpy(middle.waterTemp, diagram.pressure)) / 2);
    force_->setVisible(true);

    double hMin = in.airEnthalpy, hMax = out.airEnthalpy;
    for (double v : h + hs) {
        hMin = std::min(hMin, v);
        hMax = std::max(hMax, v);
    }
    const double hSpan = std::max(hMax - hMin, 1.0);
    xAxis->setRange(tLow, tHigh);
    yAxis->setRange(hMin - 0.12 * hSpan, hMax + 0.08 * hSpan);
}
