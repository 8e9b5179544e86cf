#include "auditfile/weatherfile.h"

#include "auditfile/csv.h"
#include "engine/numtext.h"

#include <QBuffer>
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cmath>

namespace auditfile {

namespace {

enum Column { WetBulb, DryBulb, Humidity, Hours, ColumnCount };

constexpr std::array<const char*, ColumnCount> kColumnNames = {"wet bulb", "dry bulb",
                                                               "relative humidity", "hours"};

// The column a header cell names, or -1 for one that is ignored.
int columnOf(QString name) {
    name = name.trimmed().toLower();
    // A unit after the name: "twb (oC)", "rh [%]".
    static const QRegularExpression unit(QStringLiteral("\\s*[(\\[][^)\\]]*[)\\]]\\s*$"));
    name.remove(unit);
    name.replace(u'_', u' ').replace(u'-', u' ');
    name = name.simplified();
    static const std::array<QStringList, ColumnCount> names = {
        QStringList{QStringLiteral("twb"), QStringLiteral("wet bulb"), QStringLiteral("wetbulb")},
        QStringList{QStringLiteral("tdb"), QStringLiteral("dry bulb"), QStringLiteral("drybulb")},
        QStringList{QStringLiteral("rh"), QStringLiteral("relative humidity"),
                    QStringLiteral("humidity")},
        QStringList{QStringLiteral("hours"), QStringLiteral("h")},
    };
    for (int c = 0; c < ColumnCount; ++c)
        if (names[std::size_t(c)].contains(name))
            return c;
    return -1;
}

Weather failed(int line, int column, const QString& text) {
    Weather w;
    w.error = WeatherError{line, column, text};
    return w;
}

} // namespace

QString WeatherError::describe(const QString& source) const {
    QString where = source + u':' + QString::number(line);
    if (column > 0)
        where += u':' + QString::number(column);
    return where + QStringLiteral(": ") + text;
}

Weather readWeather(const QByteArray& data) {
    QByteArray bytes = data;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    csv::Reader reader(buffer);
    const auto readerError = [&reader]() {
        const csv::Error& e = *reader.error();
        return failed(e.line, e.column, e.text);
    };

    const std::optional<csv::Record> header = reader.next();
    if (!header) {
        if (reader.error())
            return readerError();
        return failed(1, 0, QStringLiteral("no header: the file is empty"));
    }
    if (header->cells.size() == 1 && header->cells.front().contains(u';'))
        return failed(header->line, 0,
                      QStringLiteral("the cells are separated by semicolons: the file must "
                                     "separate them by commas, with a decimal point"));
    std::array<int, ColumnCount> cellOf;
    cellOf.fill(-1);
    for (qsizetype cell = 0; cell < header->cells.size(); ++cell) {
        const int column = columnOf(header->cells[cell]);
        if (column < 0)
            continue;
        if (cellOf[std::size_t(column)] >= 0)
            return failed(header->line, int(cell) + 1,
                          QStringLiteral("the %1 is named twice")
                              .arg(QLatin1String(kColumnNames[std::size_t(column)])));
        cellOf[std::size_t(column)] = int(cell);
    }
    if (cellOf[WetBulb] < 0 && (cellOf[DryBulb] < 0 || cellOf[Humidity] < 0))
        return failed(header->line, 0,
                      QStringLiteral("the header names no wet bulb (twb), nor a dry bulb (tdb) "
                                     "with a relative humidity (rh)"));

    Weather weather;
    weather.hourly = cellOf[Hours] < 0;
    double totalHours = 0;
    const QLocale c = QLocale::c();
    while (const std::optional<csv::Record> record = reader.next()) {
        if (std::ranges::all_of(record->cells,
                                [](const QString& cell) { return cell.trimmed().isEmpty(); }))
            continue;
        if (record->cells.size() != header->cells.size())
            return failed(record->line, 0,
                          QStringLiteral("%1 %2 where the header has %3")
                              .arg(record->cells.size())
                              .arg(QLatin1String(record->cells.size() == 1 ? "cell" : "cells"))
                              .arg(header->cells.size()));
        if (weather.rows.size() >= std::size_t(engine::kMaxAmbientRows))
            return failed(record->line, 0,
                          QStringLiteral("more than %1 rows").arg(engine::kMaxAmbientRows));
        engine::AmbientRow row;
        row.hours = 1;
        double* const slots[ColumnCount] = {&row.wetBulb, &row.dryBulb, &row.relativeHumidity,
                                            &row.hours};
        for (int column = 0; column < ColumnCount; ++column) {
            const int cell = cellOf[std::size_t(column)];
            if (cell < 0)
                continue;
            const QString text = record->cells[cell].trimmed();
            if (text.isEmpty() && column != Hours) {
                *slots[column] = std::nan("");
                continue;
            }
            const std::optional<double> value = numtext::readNumber(text, c);
            if (!value)
                return failed(
                    record->line, cell + 1,
                    QStringLiteral("the %1 \"%2\" is not a number")
                        .arg(QLatin1String(kColumnNames[std::size_t(column)]), text.left(40)));
            *slots[column] = *value;
        }
        if (const std::optional<QString> why = engine::checkAmbientRow(row))
            return failed(record->line, 0, *why);
        totalHours += row.hours;
        if (totalHours > engine::kMaxAmbientRows)
            return failed(record->line, 0,
                          QStringLiteral("the hours add up to more than a year (%1 h)")
                              .arg(engine::kMaxAmbientRows));
        weather.rows.push_back(row);
    }
    if (reader.error())
        return readerError();
    if (weather.rows.empty())
        return failed(header->line, 0, QStringLiteral("the file holds no rows below its header"));
    return weather;
}

} // namespace auditfile
