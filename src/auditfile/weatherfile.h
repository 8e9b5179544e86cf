#pragma once
// An ambient table read from a weather file: the rows of the Capability window's ambient table
// (wet bulb, dry bulb, relative humidity, hours per year), shared by the window's Import... and
// the batch tool's --weather FILE.
//
// The file is comma-separated values (csv.h: UTF-8, RFC 4180 quoting, a leading byte-order mark
// dropped) with a decimal point in the numbers, whatever the locale. Its first record is a
// header; each later record is one row of the table. The header names columns among these, in
// any order, case and blanks around a name ignored, a unit after the name in parentheses or
// brackets ignored ("twb (oC)", "RH [%]"), '_' and '-' read as a blank:
//
//   twb, wet bulb, wetbulb            the wet bulb, degC
//   tdb, dry bulb, drybulb            the dry bulb, degC
//   rh, relative humidity, humidity   the relative humidity, %
//   hours, h                          the hours per year at the row
//
// Other columns (a date, a time, a station...) are ignored, so an exported hourly file reads as
// it is. A known column may be named once. The header must name a wet bulb, or a dry bulb with a
// relative humidity.
//
// Without an "hours" column each row counts one hour: an hourly file of a year (8,760 rows, or
// 8,784 in a leap year) is the year. With it, each row is a bin with its own hours.
//
// Each row must be usable as engine::checkAmbientRow says: a wet bulb, or a dry bulb with a
// relative humidity (an empty cell is not given), each within its range; hours from 0 to 8,784.
// At most engine::kMaxAmbientRows rows, and their hours may add up to no more than a leap year.
// A record whose cells are all blank is skipped.
//
// Reading stops at the first fault, with its line (1 for the header) and, where one cell is at
// fault, its column: the rows before it are not returned, so a damaged file never becomes half
// a table.
//
//   const auditfile::Weather weather = auditfile::readWeather(file.readAll());
//   if (weather.error)
//       return weather.error->describe(fileName); // "site.csv:12:2: the wet bulb ... is not a
//       number"
//   inputs.ambient = weather.rows;
//
// Plain data: QtCore and the engine's ambient row, no widgets.

#include "engine/capabilityinputs.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace auditfile {

struct WeatherError {
    int line = 0;   // 1 for the header
    int column = 0; // the cell, 1 for the first; 0: the whole line
    QString text;   // a sentence without the place: "the wet bulb must lie between -40 and 60 oC"
    // "source:line: text" or "source:line:column: text".
    QString describe(const QString& source) const;
};

struct Weather {
    std::vector<engine::AmbientRow> rows; // empty when error is set
    bool hourly = false;                  // no "hours" column: each row one hour
    std::optional<WeatherError> error;
};

// Reads a whole weather file (see above).
Weather readWeather(const QByteArray& data);

} // namespace auditfile
