// How long an audit file takes to open in the program's windows, offscreen, in the system's
// locale as the program runs: parsing, the calculations run again on a scratch engine and the
// windows showing the new audit.
//
//   BM_OpenLongestCells    a counter-flow grid of 45 rows whose 11 cells each hold a number
//                          of 31,992 digits (15.8 MB, within the file's size and text limits),
//                          refused as longer than any number of the grid
//   BM_ReportLongestCells  the report as PDF of such a grid cut to the longest cells it may
//                          hold
//   BM_OpenCalculations    the most calculations a file holds (1,000 of Problem 1), counter
//                          flow and cross flow

#include "app/auditdocument.h"
#include "app/windows.h"
#include "auditfile/auditfile.h"
#include "engine/audit.h"
#include "engine/numtext.h"
#include "reports/auditreport.h"
#include "support/offscreenbench.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

constexpr int kLongRows = 45;
constexpr qsizetype kLongDigits = 31992;

// A fresh audit's field texts in both arrangements, as the file keeps them.
auditfile::SavedAudit freshAudit() {
    const engine::Audit fresh;
    auditfile::SavedAudit a;
    for (Arrangement arrangement : {Arrangement::CounterFlow, Arrangement::CrossFlow})
        for (int c = 0; c < auditfile::kInputCount; ++c)
            a.inputs(arrangement)[static_cast<std::size_t>(c)] = auditfile::toPointText(fresh.text(
                arrangement, auditfile::problemOfColumn(c), auditfile::fieldOfColumn(c)));
    return a;
}

// "0." and the digits 1 to 9 over and over, kLongDigits digits in all: a number any
// conversion reads.
QString longNumber(int seed) {
    QString text = QStringLiteral("0.");
    text.reserve(kLongDigits + 1);
    for (qsizetype i = 1; i < kLongDigits; ++i)
        text += QChar(u'1' + char16_t((i + seed) % 9));
    return text;
}

QByteArray longCellsFile() {
    auditfile::SavedAudit a = freshAudit();
    a.counterGrid = auditfile::Grid{};
    for (int r = 0; r < kLongRows; ++r) {
        QStringList row;
        for (int c = 0; c < auditfile::kGridColumns; ++c)
            row.append(longNumber(r + c));
        a.counterGrid->append(row);
    }
    return auditfile::serialise(a);
}

QByteArray calculationsFile(Arrangement arrangement) {
    auditfile::SavedAudit a = freshAudit();
    a.arrangement = arrangement;
    for (int i = 0; i < auditfile::kMaxCalculations; ++i)
        a.calculated.append({{arrangement, 1}, std::nullopt});
    return auditfile::serialise(a);
}

QString written(const QTemporaryDir& dir, const QString& name, const QByteArray& data) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        return QString();
    return path;
}

void BM_ParseLongestCells(benchmark::State& state) {
    const QByteArray data = longCellsFile();
    bool refused = false;
    for (auto _ : state)
        refused = auditfile::parse(data).error.has_value();
    state.SetLabel(std::to_string(data.size() / 1000) + " kB, " + (refused ? "refused" : "read"));
}
BENCHMARK(BM_ParseLongestCells)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenLongestCells(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = written(dir, QStringLiteral("cells.ctaudit"), longCellsFile());
    SilentDesktop desktop;
    Windows windows(desktop);
    windows.start();
    AuditDocument document(windows);
    bool opened = false;
    for (auto _ : state)
        opened = document.open(path);
    // Cells longer than any number of the grid are refused by name.
    state.SetLabel(opened ? "opened" : "refused, " + std::to_string(desktop.messages) + " message");
}
BENCHMARK(BM_OpenLongestCells)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReportLongestCells(benchmark::State& state) {
    // Problem 1 calculated, so that the report shows its grid, which then holds the file's rows.
    engine::Audit audit;
    const bool calculated = audit.calculate(Arrangement::CounterFlow, 1).calculated;
    const auditfile::Loaded loaded = auditfile::parse(longCellsFile());
    engine::ResultRows& rows = audit.resultRows(Arrangement::CounterFlow);
    rows.rows.assign(static_cast<std::size_t>(loaded.audit.counterGrid->size()), {});
    for (std::size_t r = 0; r < rows.rows.size(); ++r)
        for (std::size_t c = 0; c < engine::ResultRows::kColumns; ++c)
            rows.rows[r][c] = auditfile::toLocaleText(loaded.audit.counterGrid->at(qsizetype(r))
                                                          .at(qsizetype(c))
                                                          .left(numtext::kLongestPatternText));
    auditreport::Options options;
    options.program = QStringLiteral("ctaudit bench");
    qsizetype bytes = 0;
    for (auto _ : state)
        bytes = auditreport::pdf(audit, options, QPageSize::A4).size();
    if (!calculated || bytes == 0)
        state.SkipWithError("no PDF was made");
    state.SetLabel(std::to_string(bytes / 1024) + " KiB");
}
BENCHMARK(BM_ReportLongestCells)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenCalculations(benchmark::State& state) {
    const Arrangement arrangement =
        state.range(0) == 0 ? Arrangement::CounterFlow : Arrangement::CrossFlow;
    QTemporaryDir dir;
    const QString path =
        written(dir, QStringLiteral("calculations.ctaudit"), calculationsFile(arrangement));
    SilentDesktop desktop;
    Windows windows(desktop);
    windows.start();
    AuditDocument document(windows);
    document.replayProgress = [](int, int) { return true; };
    bool opened = !path.isEmpty();
    for (auto _ : state)
        opened = document.open(path) && opened;
    if (!opened || desktop.messages != 0)
        state.SkipWithError("the file did not open");
    state.SetLabel(std::string(arrangement == Arrangement::CounterFlow ? "counter" : "cross") +
                   " flow, " + std::to_string(auditfile::kMaxCalculations) + " calculations");
}
BENCHMARK(BM_OpenCalculations)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

// As runOffscreenBenchmarks, but in the system's locale (LANG), as the program runs.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return EXIT_FAILURE;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return EXIT_SUCCESS;
}
