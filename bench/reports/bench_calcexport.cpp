// The export against a real headless LibreOffice Calc with a private profile, the office
// already up (as after the first export's start):
//   BM_FirstExport  open the template as a new workbook, clear B to U, fill column B
//                   (goal: under 300 ms)
//   BM_NextColumn   one further export into the open workbook (goal: under 50 ms)
// Without LibreOffice the benchmarks are skipped.

#include "fakereportsource.h"
#include "headlessoffice.h"
#include "reports/excelreport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Office {
    QTemporaryDir profile;
    std::unique_ptr<HeadlessOffice> office;
    std::unique_ptr<Spreadsheet> inspector;
    QString error;

    Office() {
        if (!QFile::exists(QDir(HeadlessOffice::programDir()).filePath("soffice.bin")))
            error = QStringLiteral("LibreOffice is not installed");
        else if (!HeadlessOffice::prepareProfile(profile.path()))
            error = QStringLiteral("the office profile could not be made");
        else if (office = std::make_unique<HeadlessOffice>(profile.path()),
                 !(inspector = office->start()))
            error = QStringLiteral("the headless office did not start");
    }
};

Office& office() {
    static Office o;
    return o;
}

std::unique_ptr<ExcelReport> makeReport(FakeReportSource& source) {
    auto report = std::make_unique<ExcelReport>(source);
    report->setTemplatePath(QStringLiteral(CTAUDIT_TEMPLATE));
    const OfficeOptions options = office().office->connectOptions();
    report->setFactory(
        [options](const QString& progId, QString*) { return createSpreadsheet(progId, options); });
    return report;
}

bool ready(benchmark::State& state) {
    if (office().error.isEmpty())
        return true;
    state.SkipWithError(qPrintable(office().error));
    return false;
}

// Numbers as the windows show them, so the number formats are part of the work.
void numericTexts(FakeReportSource& source) {
    const char* controls[] = {"Form5.Text1", "Form5.lbl10", "Form5.lbl17", "Form5.lbl2",
                              "Form2.l4",    "Form10.l21",  "Form3.l21"};
    const char* texts[] = {"100.00", "1131.30", "0.01234", "30.58", "2045.1", "1.25", "95"};
    for (size_t i = 0; i < std::size(controls); ++i)
        source.overrides.insert(QLatin1String(controls[i]), QLatin1String(texts[i]));
}

void BM_FirstExport(benchmark::State& state) {
    if (!ready(state))
        return;
    for (auto _ : state) {
        FakeReportSource source;
        numericTexts(source);
        const std::unique_ptr<ExcelReport> report = makeReport(source);
        report->run();
        state.PauseTiming();
        office().inspector->closeWorkbook();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstExport)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_NextColumn(benchmark::State& state) {
    if (!ready(state))
        return;
    FakeReportSource source;
    numericTexts(source);
    const std::unique_ptr<ExcelReport> report = makeReport(source);
    report->run();
    for (auto _ : state) {
        ++source.exportNumber;
        report->run();
    }
    office().inspector->closeWorkbook();
}
BENCHMARK(BM_NextColumn)->Unit(benchmark::kMillisecond)->Iterations(40);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    office().inspector.reset();
    if (office().office)
        office().office->stop();
    return 0;
}
