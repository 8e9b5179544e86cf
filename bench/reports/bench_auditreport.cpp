// How long the audit report takes to make as PDF: an audit with all four Problems calculated
// (their diagrams drawn as vectors, the Problem 1 grid, the title block), laid out, painted and
// written to memory, offscreen. Cross flow (three maps of the fill per Problem and the
// characteristic, 13 pages) and counter flow; with and without the first-order uncertainty
// table calculated for the report.

#include "engine/audit.h"
#include "reports/auditreport.h"
#include "support/defaultaudit.h"
#include "support/offscreenbench.h"

namespace {

engine::Audit titledAudit(Arrangement arrangement, bool* refused) {
    engine::Audit audit = calculatedAudit(arrangement, refused);
    audit.setReportTitle({QStringLiteral("Tower 1"), QStringLiteral("Works"),
                          QStringLiteral("2026-12-08"), QStringLiteral("Engineer")});
    return audit;
}

void BM_ReportToPdf(benchmark::State& state) {
    const Arrangement arrangement =
        state.range(0) == 0 ? Arrangement::CounterFlow : Arrangement::CrossFlow;
    const bool withUncertainty = state.range(1) != 0;
    bool refused = false;
    const engine::Audit audit = titledAudit(arrangement, &refused);
    auditreport::Options options;
    options.arrangement = arrangement;
    options.program = QStringLiteral("ctaudit bench");
    qsizetype bytes = 0;
    for (auto _ : state) {
        if (withUncertainty)
            options.uncertainty = auditreport::firstOrderTable(audit, arrangement);
        const QByteArray pdf = auditreport::pdf(audit, options, QPageSize::A4);
        bytes = pdf.size();
        benchmark::DoNotOptimize(pdf.data());
    }
    if (refused || bytes == 0)
        state.SkipWithError("a calculation was refused or no PDF was made");
    state.SetLabel(std::string(arrangement == Arrangement::CounterFlow ? "counter" : "cross") +
                   " flow, Problems 1-4" + (withUncertainty ? " + first-order uncertainty" : "") +
                   ", " + std::to_string(bytes / 1024) + " KiB");
}
BENCHMARK(BM_ReportToPdf)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return runOffscreenBenchmarks(argc, argv);
}
