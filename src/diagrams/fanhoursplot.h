#pragma once
// The hours of the year and the fan's power against the wet bulb: bars of the operating hours
// per wet-bulb bin (left axis) and the fan's electrical power with a variable-speed drive, the
// hours-weighted mean of each bin's rows (line and points, right axis), beside the power at full
// speed (a dashed line). It draws plain numbers, one entry per ambient row; a row whose wet bulb
// or hours are not finite is left out, and so is a power that is not finite. With no row left the
// axes keep a valid range and the plot says so.

#include "diagrams/plotlibrary.h"

#include <vector>

class FanHoursPlot : public QCustomPlot {
    Q_OBJECT
public:
    explicit FanHoursPlot(QWidget* parent = nullptr);

    // wetBulb: degC per row; hours: h per year per row; power: kW per row with the drive (empty,
    // or shorter than the rows: no power drawn for the rest); fullSpeedPower: kW, NaN for none.
    // Does not replot.
    void setRows(const std::vector<double>& wetBulb, const std::vector<double>& hours,
                 const std::vector<double>& power, double fullSpeedPower);

    // The width of a bin over a span of wet bulbs, K: 1, 2 or 5, so that there are at most
    // kMaxBins bins.
    static double binWidth(double span);
    static constexpr int kMaxBins = 30;

    QCPBars* hoursBars() const { return bars_; }
    QCPGraph* powerGraph() const { return power_; }
    QCPGraph* fullSpeedGraph() const { return fullSpeed_; }
    QString note() const;

private:
    QCPBars* bars_;
    QCPGraph* power_;
    QCPGraph* fullSpeed_;
    QCPItemText* note_;
};
