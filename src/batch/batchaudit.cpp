#include "batch/batchaudit.h"

#include <QLocale>
#include <clocale>
#include <optional>
#include <utility>

namespace {

// A fault of the tool itself rather than of the case.
QString internalFault(const QString& what) {
    return QStringLiteral("ctaudit-batch: %1").arg(what);
}

QString windowName(Arrangement arrangement, int problem) {
    const std::string_view name = engine::Audit::windowName(arrangement, problem);
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

} // namespace

BatchAudit::BatchAudit(Arrangement arrangement, bool traced)
    : arrangement_(arrangement) {
    design_.setTracing(traced);
    for (size_t r = 0; r < report::kCellMap.size(); ++r) {
        const report::CellMapRow& row = report::kCellMap[r];
        const auto problem = engine::Audit::problemOf(
            arrangement == Arrangement::CounterFlow ? row.counterFlow.form : row.crossFlow.form);
        problemOfRow_[r] = problem ? problem->second : 0;
    }
}

BatchAudit::Result BatchAudit::run(const BatchCase& c, engine::Audit* finished) const {
    engine::Audit audit = design_;
    std::optional<QString> stop;
    const auto stops = [&stop](const engine::Step& step) {
        if (!stop && !step.messages.empty())
            stop = step.messages.front().text;
        return stop.has_value();
    };
    int completed = 0;
    size_t column = 0; // the input columns are the fields, Problem by Problem
    for (int problem = 1; problem <= engine::kProblems && !stop; ++problem) {
        const auto controls = engine::Audit::controls(arrangement_, problem);
        const int fields = engine::Audit::fieldCount(arrangement_, problem);
        for (int f = 0; f < fields && !stop && column < c.values.size(); ++f, ++column) {
            const std::string_view field = controls[static_cast<size_t>(f)];
            if (!stops(audit.type(arrangement_, problem, field, c.values[column])))
                stops(audit.leave(arrangement_, problem, field));
        }
        if (stop)
            break;
        const engine::Step calculate = audit.calculate(arrangement_, problem);
        if (stops(calculate))
            break;
        // A CALCULATE that shows nothing has succeeded and enabled its GoTo.
        if (!calculate.calculated) {
            stop = internalFault(
                QStringLiteral("%1 calculated nothing").arg(windowName(arrangement_, problem)));
            break;
        }
        ++completed;
        if (problem < engine::kProblems && !audit.goOn(arrangement_, problem)) {
            stop = internalFault(
                QStringLiteral("%1 cannot go on").arg(windowName(arrangement_, problem)));
            break;
        }
    }

    Result result;
    result.completedProblems = completed;
    result.status = stop.value_or(kOk);
    for (size_t r = 0; r < report::kCellMap.size(); ++r) {
        const report::CellMapRow& row = report::kCellMap[r];
        const report::ControlRef& ref =
            arrangement_ == Arrangement::CounterFlow ? row.counterFlow : row.crossFlow;
        const int problem = problemOfRow_[r];
        if (problem > 0 && problem <= completed)
            result.quantities[r] = audit.text(arrangement_, problem, ref.control);
    }
    if (finished)
        *finished = std::move(audit);
    return result;
}

QStringList BatchAudit::headerCells() {
    QStringList cells{QStringLiteral("case"), QStringLiteral("status")};
    for (const report::CellMapRow& row : report::kCellMap)
        cells.append(QString::fromUtf8(row.quantity).simplified()); // one line each
    return cells;
}

QStringList BatchAudit::resultCells(int caseNumber, const Result& result) {
    QStringList cells{QString::number(caseNumber), result.status};
    for (const QString& quantity : result.quantities)
        cells.append(quantity);
    return cells;
}

void BatchAudit::prepareLocale() {
    QLocale::setDefault(QLocale::c());
    // The number texts write through the C library: its decimal point must be the point too.
    std::setlocale(LC_NUMERIC, "C");
}
