// The batch's output as an .xlsx workbook: BM_YearWorkbook writes a year of hourly rows (8,760
// output rows of the counter-flow chain, 60 cells each) as ctaudit-batch --xlsx does, each
// CSV row read back into cells and written in constant memory, the file committed. The figure
// to read is the time per workbook.

#include "auditfile/batchinput.h"
#include "auditfile/csv.h"
#include "batch/batchaudit.h"
#include "batch/batchworkbook.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kHoursOfAYear = 8760;

// 64 output rows around the design point (the ambient dry bulb from 20 to 32.6 oC).
QList<QByteArray> outputRows() {
    static const char* const counter[] = {"100", "90",   "38", "33", "1",  "25", "55",
                                          "90",  "80",   "34", "31", "21", "27", "105",
                                          "110", "2200", "36", "30", "22"};
    const BatchAudit audit(Arrangement::CounterFlow);
    QList<QByteArray> rows;
    BatchCase c;
    for (size_t i = 0; i < c.values.size(); ++i)
        c.values[i] = QLatin1String(counter[i]);
    for (int i = 0; i < 64; ++i) {
        c.number = i + 1;
        c.values[5] = QString::number(20 + 0.2 * i);
        rows << csv::record(BatchAudit::resultCells(c.number, audit.run(c))).toUtf8();
    }
    return rows;
}

void BM_YearWorkbook(benchmark::State& state) {
    const QList<QByteArray> rows = outputRows();
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("year.xlsx"));
    for (auto _ : state) {
        BatchWorkbook workbook(path, BatchAudit::headerCells());
        for (int hour = 0; hour < kHoursOfAYear; ++hour) {
            const csv::Table parsed = csv::parse(QString::fromUtf8(rows[hour % rows.size()]));
            if (!workbook.addRow(parsed.records.value(0).cells)) {
                state.SkipWithError(qPrintable(workbook.error()));
                return;
            }
        }
        if (!workbook.commit()) {
            state.SkipWithError(qPrintable(workbook.error()));
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * kHoursOfAYear);
}
BENCHMARK(BM_YearWorkbook)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    BatchAudit::prepareLocale();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
