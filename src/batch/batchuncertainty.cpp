#include "batch/batchuncertainty.h"

#include "engine/cellmap.h"
#include "engine/numtext.h"
#include "uncertainty/propagation.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace {

// The output column of a result: after "case" and "status", the report's quantities in order.
int outputColumn(int result) {
    const QLatin1String column(uncertainty::resultInfo(result).column);
    for (std::size_t k = 0; k < report::kCellMap.size(); ++k)
        if (QLatin1String(report::kCellMap[k].quantity) == column)
            return 2 + static_cast<int>(k);
    return -1;
}

} // namespace

QStringList uncertaintyHeaderCells() {
    QStringList cells;
    for (int r = 0; r < uncertainty::kResultCount; ++r)
        cells << QStringLiteral("U(%1)").arg(QLatin1String(uncertainty::resultInfo(r).column));
    return cells;
}

QStringList uncertaintyCells(Arrangement arrangement, const BatchCase& c, const QStringList& row) {
    std::array<double, uncertainty::kChainInputCount> values;
    for (int k = 0; k < uncertainty::kChainInputCount; ++k)
        values[k] = numtext::readNumber(c.values[k].trimmed(), QLocale::c())
                        .value_or(std::numeric_limits<double>::quiet_NaN());
    const uncertainty::Analysis a = uncertainty::firstOrder(
        arrangement, uncertainty::caseFromInputs(values), uncertainty::hintAccuracies());
    QStringList cells;
    for (int r = 0; r < uncertainty::kResultCount; ++r) {
        const int column = outputColumn(r);
        const double U = a.results[r].expanded;
        if (column < 0 || column >= row.size() || row[column].isEmpty() || !std::isfinite(U)) {
            cells << QString();
            continue;
        }
        const int d = uncertainty::twoDigitDecimals(U);
        cells << QString::number(uncertainty::roundToDecimals(U, d), 'f', std::max(d, 0));
    }
    return cells;
}
