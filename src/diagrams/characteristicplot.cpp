#include "diagrams/characteristicplot.h"

#include "diagrams/plotstyle.h"

#include <algorithm>
#include <cmath>

namespace {

// Samples of the characteristic line (a straight line on the log axes, sampled so that it
// stays one when the axes change).
constexpr int kLineSamples = 40;

// Problem 2's point is no figure of its window: it is the line evaluated at the design flows.
const char* const kPointNames[4] = {"1: measured", "2: line at the design flows", "3: new flows",
                                    "4: new duty"};
const QColor kPointColours[4] = {QColor(0x44, 0x01, 0x54), QColor(0x31, 0x68, 0x8e),
                                 QColor(0x35, 0xb7, 0x79), QColor(0xd6, 0x27, 0x28)};
const QCPScatterStyle::ScatterShape kPointShapes[4] = {
    QCPScatterStyle::ssDisc, QCPScatterStyle::ssSquare, QCPScatterStyle::ssDiamond,
    QCPScatterStyle::ssTriangle};

QString number(double value, int decimals) {
    return QLocale().toString(value, 'f', decimals);
}

} // namespace

CharacteristicPlot::CharacteristicPlot(QWidget* parent)
    : QCustomPlot(parent) {
    setObjectName(QStringLiteral("characteristicPlot"));
    plotstyle::prepare(this);
    for (QCPAxis* axis : {xAxis, yAxis})
        plotstyle::setLogarithmic(axis);
    xAxis->setLabel(QStringLiteral("L/G [-]"));
    // NTU in kW/(kJ/kg) is a mass flow, kg/s: NTU per water flow has no unit.
    yAxis->setLabel(QStringLiteral("NTU / L [-]"));

    line_ = addGraph();
    line_->setPen(QPen(QColor(0x55, 0x55, 0x55), 2, Qt::DashLine));
    for (int k = 0; k < 4; ++k) {
        points_[k] = addGraph();
        points_[k]->setName(QString::fromLatin1(kPointNames[k]));
        points_[k]->setLineStyle(QCPGraph::lsNone);
        points_[k]->setScatterStyle(
            QCPScatterStyle(kPointShapes[k], kPointColours[k], kPointColours[k], 11));
        // Each point carries its Problem's number; Problems 3 and 4 share L/G and so often
        // their point, so the numbers of even Problems go below left, of odd ones above right.
        labels_[k] = new QCPItemText(this);
        const bool odd = k % 2 == 0;
        labels_[k]->setPositionAlignment(odd ? Qt::AlignLeft | Qt::AlignBottom
                                             : Qt::AlignRight | Qt::AlignTop);
        labels_[k]->setPadding(odd ? QMargins(9, 0, 0, 7) : QMargins(0, 7, 9, 0));
        labels_[k]->setColor(kPointColours[k]);
    }
    plotstyle::showLegend(this);
    axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignRight);
}

QCPGraph* CharacteristicPlot::pointGraph(int problem) const {
    if (problem < 1 || problem > 4 || points_[problem - 1]->data()->isEmpty())
        return nullptr;
    return points_[problem - 1];
}

QString CharacteristicPlot::pointLabel(int problem) const {
    return pointGraph(problem) ? points_[problem - 1]->name() : QString();
}

void CharacteristicPlot::setCharacteristic(const diagrams::Characteristic& c) {
    const bool shownOutOfDate = std::ranges::any_of(
        c.points, [&](const auto& p) { return p.problem == c.shownProblem && p.outOfDate; });
    plotstyle::setTitle(
        this, QStringLiteral("%1, Problem %2%3: tower characteristic NTU/L ~ (L/G)^-%4")
                  .arg(c.arrangement == Arrangement::CounterFlow ? QStringLiteral("Counter flow")
                                                                 : QStringLiteral("Cross flow"))
                  .arg(c.shownProblem)
                  .arg(plotstyle::outOfDateMark(shownOutOfDate), number(c.exponent, 2)));
    line_->setName(
        QStringLiteral("Characteristic through Problem 1, slope -%1").arg(number(c.exponent, 2)));

    std::vector<diagrams::CharacteristicPoint> all{c.reference};
    all.insert(all.end(), c.points.begin(), c.points.end());
    for (int k = 0; k < 4; ++k) {
        points_[k]->data()->clear();
        points_[k]->removeFromLegend();
        labels_[k]->setVisible(false);
    }
    double rMin = c.reference.flowRatio, rMax = rMin;
    double nMin = c.reference.ntuPerFlow, nMax = nMin;
    for (const diagrams::CharacteristicPoint& p : all) {
        if (p.problem < 1 || p.problem > 4)
            continue;
        const int k = p.problem - 1;
        points_[k]->setData({p.flowRatio}, {p.ntuPerFlow});
        QFont font = this->font();
        font.setBold(true);
        font.setPointSizeF(font.pointSizeF() * (p.problem == c.shownProblem ? 1.5 : 1.2));
        labels_[k]->setFont(font);
        labels_[k]->setText(QString::number(p.problem));
        // An out-of-date point keeps its place, hollow and grey, and says so in the legend.
        const QColor colour = p.outOfDate ? plotstyle::outOfDateColour() : kPointColours[k];
        points_[k]->setScatterStyle(
            p.outOfDate ? QCPScatterStyle(kPointShapes[k], QPen(colour, 2), Qt::NoBrush, 11)
                        : QCPScatterStyle(kPointShapes[k], colour, colour, 11));
        labels_[k]->setColor(colour);
        points_[k]->setName(QStringLiteral("%1   L/G %2, NTU/L %3%4")
                                .arg(QString::fromLatin1(kPointNames[k]), number(p.flowRatio, 3),
                                     number(p.ntuPerFlow, 4),
                                     plotstyle::outOfDateMark(p.outOfDate)));
        labels_[k]->position->setCoords(p.flowRatio, p.ntuPerFlow);
        labels_[k]->setVisible(true);
        points_[k]->addToLegend();
        rMin = std::min(rMin, p.flowRatio);
        rMax = std::max(rMax, p.flowRatio);
        nMin = std::min(nMin, p.ntuPerFlow);
        nMax = std::max(nMax, p.ntuPerFlow);
    }
    // The line spans the points with room on either side, to ends that read as round numbers.
    const double from = plotstyle::roundOutward(rMin / 1.6, false),
                 to = plotstyle::roundOutward(rMax * 1.6, true);
    QVector<double> r, n;
    for (int k = 0; k < kLineSamples; ++k) {
        const double ratio = from * std::pow(to / from, double(k) / (kLineSamples - 1));
        r.append(ratio);
        n.append(c.at(ratio));
    }
    line_->setData(r, n, true);
    nMin = std::min({nMin, n.front(), n.back()});
    nMax = std::max({nMax, n.front(), n.back()});
    xAxis->setRange(from, to);
    yAxis->setRange(plotstyle::roundOutward(nMin / 1.3, false),
                    plotstyle::roundOutward(nMax * 1.5, true));
}
