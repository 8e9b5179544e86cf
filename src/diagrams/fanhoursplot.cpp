#include "diagrams/fanhoursplot.h"

#include "diagrams/plotstyle.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

const QColor kHoursColour(0x6e, 0xce, 0x58);
const QColor kPowerColour(0x44, 0x01, 0x54);
const QColor kFullSpeedColour(0x55, 0x55, 0x55);
// Room above the tallest bar and the largest power, a fraction of it.
constexpr double kHeadroom = 1.15;
// The wet-bulb axis without rows, degC.
constexpr double kEmptyLow = 0;
constexpr double kEmptyHigh = 30;

} // namespace

FanHoursPlot::FanHoursPlot(QWidget* parent)
    : QCustomPlot(parent) {
    setObjectName(QStringLiteral("fanHoursPlot"));
    plotstyle::prepare(this);
    plotstyle::setTitle(this, QStringLiteral("Operating hours and fan power by wet bulb"));
    xAxis->setLabel(QStringLiteral("Wet bulb [oC]"));
    yAxis->setLabel(QStringLiteral("Hours per year [h]"));
    yAxis2->setVisible(true);
    yAxis2->setLabel(QStringLiteral("Fan power [kW]"));

    bars_ = new QCPBars(xAxis, yAxis);
    bars_->setName(QStringLiteral("Hours per year"));
    bars_->setPen(QPen(kHoursColour.darker(130)));
    bars_->setBrush(kHoursColour);
    power_ = addGraph(xAxis, yAxis2);
    power_->setName(QStringLiteral("Fan power with the drive"));
    power_->setPen(QPen(kPowerColour, 2));
    power_->setScatterStyle(
        QCPScatterStyle(QCPScatterStyle::ssDisc, kPowerColour, kPowerColour, 7));
    fullSpeed_ = addGraph(xAxis, yAxis2);
    fullSpeed_->setName(QStringLiteral("Fan power at full speed"));
    fullSpeed_->setPen(QPen(kFullSpeedColour, 2, Qt::DashLine));

    note_ = new QCPItemText(this);
    note_->position->setType(QCPItemPosition::ptAxisRectRatio);
    note_->position->setCoords(0.5, 0.5);
    note_->setPositionAlignment(Qt::AlignCenter);
    note_->setColor(QColor(0x55, 0x55, 0x55));
    note_->setText(QStringLiteral("No ambient rows to draw."));
    plotstyle::showLegend(this);
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    legend->setFont(small);
    legend->setIconSize(24, 12);
    legend->setIconTextPadding(8);
    // The legend in one row below the axes, clear of the bars.
    axisRect()->insetLayout()->take(legend);
    axisRect()->insetLayout()->simplify();
    const int row = plotLayout()->rowCount();
    plotLayout()->addElement(row, 0, legend);
    plotLayout()->setRowStretchFactor(row, 0.001);
    legend->setFillOrder(QCPLegend::foColumnsFirst);
    legend->setBorderPen(Qt::NoPen);
    legend->setMargins(QMargins(4, 0, 4, 2));
    setRows({}, {}, {}, std::nan(""));
}

QString FanHoursPlot::note() const {
    return note_->visible() ? note_->text() : QString();
}

double FanHoursPlot::binWidth(double span) {
    for (double width : {1.0, 2.0, 5.0})
        if (!(span / width >= kMaxBins))
            return width;
    return 10;
}

void FanHoursPlot::setRows(const std::vector<double>& wetBulb, const std::vector<double>& hours,
                           const std::vector<double>& power, double fullSpeedPower) {
    double low = INFINITY, high = -INFINITY;
    const std::size_t rows = std::min(wetBulb.size(), hours.size());
    for (std::size_t r = 0; r < rows; ++r)
        if (std::isfinite(wetBulb[r]) && std::isfinite(hours[r])) {
            low = std::min(low, wetBulb[r]);
            high = std::max(high, wetBulb[r]);
        }
    const bool any = low <= high;
    const double width = any ? binWidth(high - low) : 1;
    // Per bin (by its index): the hours, and the hours and hour-weighted power of the rows with
    // a power.
    struct Bin {
        double hours = 0, poweredHours = 0, energy = 0;
        int powered = 0;
        double powerSum = 0;
    };
    std::map<long, Bin> bins;
    for (std::size_t r = 0; any && r < rows; ++r) {
        if (!std::isfinite(wetBulb[r]) || !std::isfinite(hours[r]))
            continue;
        Bin& bin = bins[std::lround(std::floor(wetBulb[r] / width))];
        bin.hours += hours[r];
        if (r < power.size() && std::isfinite(power[r])) {
            bin.poweredHours += hours[r];
            bin.energy += hours[r] * power[r];
            bin.powerSum += power[r];
            ++bin.powered;
        }
    }
    QVector<double> centres, barHours, powerX, powerY;
    double hoursMax = 0, powerMax = std::isfinite(fullSpeedPower) ? fullSpeedPower : 0;
    for (const auto& [index, bin] : bins) {
        const double centre = (double(index) + 0.5) * width;
        centres.append(centre);
        barHours.append(bin.hours);
        hoursMax = std::max(hoursMax, bin.hours);
        if (bin.powered > 0) {
            // Rows of no hours still say what the fan would draw: their plain mean then.
            const double p =
                bin.poweredHours > 0 ? bin.energy / bin.poweredHours : bin.powerSum / bin.powered;
            powerX.append(centre);
            powerY.append(p);
            powerMax = std::max(powerMax, p);
        }
    }
    bars_->setData(centres, barHours, true);
    bars_->setWidth(width * 0.9);
    power_->setData(powerX, powerY, true);
    const double xLow = any ? std::floor(low / width) * width - width : kEmptyLow;
    const double xHigh = any ? (std::floor(high / width) + 1) * width + width : kEmptyHigh;
    if (std::isfinite(fullSpeedPower) && fullSpeedPower > 0 && any)
        fullSpeed_->setData({xLow, xHigh}, {fullSpeedPower, fullSpeedPower});
    else
        fullSpeed_->data()->clear();
    for (QCPAbstractPlottable* p :
         std::initializer_list<QCPAbstractPlottable*>{bars_, power_, fullSpeed_}) {
        if (p->interface1D() && p->interface1D()->dataCount() > 0)
            p->addToLegend();
        else
            p->removeFromLegend();
    }
    // The legend stays in its row (an element hidden in a layout upsets its columns).
    note_->setVisible(!any);
    xAxis->setRange(xLow, xHigh);
    yAxis->setRange(0, hoursMax > 0 ? hoursMax * kHeadroom : 1);
    yAxis2->setRange(0, powerMax > 0 ? powerMax * kHeadroom : 1);
    yAxis2->setVisible(true);
}
