// The spreadsheet report as an .xlsx file: the workbook in memory that the Excel export's own
// logic fills, written with no office, read back by the format's reader and by LibreOffice;
// and the capability summary's worksheet.

#include "engine/audit.h"
#include "engine/cellmap.h"
#include "fakereportsource.h"
#include "memoryworkbook.h"
#include "reports/capabilitysummary.h"
#include "reports/excelreport.h"
#include "reports/reportworkbook.h"
#include "reports/templatedocument.h"
#include "support/localeguard.h"
#include "support/xlsxreader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

using report::cellAddress;
using report::ColumnLetter;
using report::kCellMap;

namespace {

// Texts of the windows that the file must show as they are: numbers in every form the
// windows show them, texts, an empty field.
const QMap<QString, QString> kShownTexts = {
    {QStringLiteral("Form5.Text1"), QStringLiteral("102.50")},
    {QStringLiteral("Form5.Text8"), QStringLiteral("05.30")},
    {QStringLiteral("Form5.lbl2"), QStringLiteral(".5")},
    {QStringLiteral("Form5.lbl10"), QStringLiteral("-2147.38")},
    {QStringLiteral("Form5.lbl18"), QStringLiteral("0.258")},
    {QStringLiteral("Form5.lbl19"), QStringLiteral("1E-07")},
    {QStringLiteral("Form5.lbl20"), QStringLiteral("not a number")},
    {QStringLiteral("Form5.lbl13"), QString()},
    {QStringLiteral("Form3.Text1"), QStringLiteral("2200")},
};

// Two exports of the counter flow into the recorder and into the Excel button's workbook.
struct TwoExports {
    FakeReportSource source;
    ReportRecorder recorder{source};
    FakeReportSource excelSource;
    ExcelReport excel{excelSource};
    MemoryWorkbook* excelWorkbook = nullptr;

    TwoExports() {
        excel.setFactory([this](const QString&, QString*) {
            auto made = std::make_unique<MemoryWorkbook>();
            excelWorkbook = made.get();
            return made;
        });
        for (int n = 1; n <= 2; ++n) {
            for (FakeReportSource* s : {&source, &excelSource}) {
                s->exportNumber = n;
                s->overrides = kShownTexts;
                if (n == 2)
                    s->overrides.insert(QStringLiteral("Form5.Text1"), QStringLiteral("99.0"));
            }
            recorder.record();
            excel.run();
        }
    }
};

QStringList filesIn(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace

class TestReportWorkbook : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fileHoldsTheTemplateAndTheExcelColumns();
    void officeShowsTheWindowsTexts();
    void nothingExportedGivesTheWindowsRegime();
    void arrangementsAreKeptApart();
    void decimalCommaTextsAreNumbers();
    void capabilitySheetHoldsTheSummary();
    void failedWriteLeavesNoHalfFile_data();
    void failedWriteLeavesNoHalfFile();
};

// The file holds the template's texts and, in B and C, exactly what the Excel button wrote:
// each cell shows the window's text, numbers as numbers, texts as texts; and a chart.
void TestReportWorkbook::fileHoldsTheTemplateAndTheExcelColumns() {
    const LocaleGuard locale(pointLocale());
    TwoExports run;
    QCOMPARE(run.recorder.regimes(Arrangement::CounterFlow), 2);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.xlsx"));
    ReportRecorder::Saved saved;
    QCOMPARE(run.recorder.save(path, &saved), std::nullopt);
    QCOMPARE(saved.regimes, 2);
    QVERIFY(!saved.windowsOnly);

    QString error;
    const std::optional<xlsxread::Workbook> book = xlsxread::read(path, &error);
    QVERIFY2(book, qPrintable(error));
    QCOMPARE(book->sheets.size(), 1);
    const xlsxread::Sheet& sheet = book->sheets.first();
    QCOMPARE(sheet.name, ExcelReport::kSheetName);
    QVERIFY(book->entries.contains(QStringLiteral("xl/charts/chart1.xml")));
    for (int row = 1; row <= report::kTemplateRows; ++row) {
        for (int column = 0; column < report::kTemplateColumns; ++column) {
            const QString address = QString(QChar(u'A' + column)) + QString::number(row);
            const xlsxread::Cell cell = sheet.at(row - 1, column);
            QString expected = report::templateText(row, column);
            bool number = false;
            if (column >= 1 && column <= 2 && row >= report::kMarkerRow && row != 2) {
                expected = run.excelWorkbook->cell(address);
                number = run.excelWorkbook->numbers.contains(address);
            } else if (column > 2 && row >= report::kMarkerRow) {
                expected.clear();
            }
            QVERIFY2(cell.text == expected,
                     qPrintable(
                         QStringLiteral("%1: %2 instead of %3").arg(address, cell.text, expected)));
            QVERIFY2(cell.number == number, qPrintable(address));
        }
    }
    // The forms the windows show, cell by cell (a few, spelt out).
    QCOMPARE(sheet.at(2, 1).text, QStringLiteral("102.50"));
    QCOMPARE(sheet.at(2, 2).text, QStringLiteral("99.0"));
    QCOMPARE(sheet.at(3, 1).text, QStringLiteral("05.30"));
    QCOMPARE(sheet.at(11, 1).text, QStringLiteral(".5"));
    QCOMPARE(sheet.at(12, 1).text, QStringLiteral("-2147.38"));
    QCOMPARE(sheet.at(14, 1).text, QStringLiteral("1E-07"));
    QVERIFY(!sheet.at(15, 1).number);
    QVERIFY(sheet.at(68, 1).number);
}

// LibreOffice Calc opens the file and shows every cell as the windows showed it.
void TestReportWorkbook::officeShowsTheWindowsTexts() {
    if (!xlsxread::officeInstalled())
        QSKIP("LibreOffice is not installed");
    const LocaleGuard locale(pointLocale());
    TwoExports run;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.xlsx"));
    QCOMPARE(run.recorder.save(path), std::nullopt);
    QString error;
    const auto shown =
        xlsxread::readWithOffice(path, {ExcelReport::kSheetName}, dir.path(), &error);
    QVERIFY2(shown, qPrintable(error));
    const std::optional<xlsxread::Workbook> book = xlsxread::read(path);
    QVERIFY(book);
    QCOMPARE(shown->first(), xlsxread::trimmed(book->sheets.first().texts()));
    QCOMPARE(shown->first().value(12).value(1), QStringLiteral("-2147.38"));
}

// Before any export, the file holds the windows' regime as its one column, exactly as an
// export would write it, and records nothing.
void TestReportWorkbook::nothingExportedGivesTheWindowsRegime() {
    const LocaleGuard locale(pointLocale());
    FakeReportSource source;
    ReportRecorder recorder(source);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.xlsx"));
    ReportRecorder::Saved saved;
    QCOMPARE(recorder.save(path, &saved), std::nullopt);
    QVERIFY(saved.windowsOnly);
    QCOMPARE(saved.regimes, 1);
    QCOMPARE(recorder.regimes(Arrangement::CounterFlow), 0);
    QCOMPARE(source.flagText, QStringLiteral("0")); // the windows' flag is the office export's
    QVERIFY(source.statuses.isEmpty());
    const std::optional<xlsxread::Workbook> book = xlsxread::read(path);
    QVERIFY(book);
    QCOMPARE(book->sheets.first().at(2, 1).text, QStringLiteral("Form5.Text1 #1"));
    QCOMPARE(book->sheets.first().at(2, 2).text, QString());
}

// Each arrangement has its workbook: the file holds the chosen arrangement's exports only.
void TestReportWorkbook::arrangementsAreKeptApart() {
    const LocaleGuard locale(pointLocale());
    FakeReportSource source;
    ReportRecorder recorder(source);
    recorder.record();
    recorder.record();
    source.chosen = Arrangement::CrossFlow;
    recorder.record();
    QCOMPARE(recorder.regimes(Arrangement::CounterFlow), 2);
    QCOMPARE(recorder.regimes(Arrangement::CrossFlow), 1);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cross.xlsx"));
    ReportRecorder::Saved saved;
    QCOMPARE(recorder.save(path, &saved), std::nullopt);
    QCOMPARE(saved.arrangement, Arrangement::CrossFlow);
    QCOMPARE(saved.regimes, 1);
    const std::optional<xlsxread::Workbook> book = xlsxread::read(path);
    QVERIFY(book);
    QCOMPARE(book->sheets.first().at(2, 1).text, QStringLiteral("Form8.Text1 #1"));
    QCOMPARE(book->sheets.first().at(2, 2).text, QString());
}

// In a decimal-comma locale the windows' texts are numbers too, with their decimals and
// exponents; a text with a group separator stays text, as the Excel export keeps it.
void TestReportWorkbook::decimalCommaTextsAreNumbers() {
    const LocaleGuard locale(commaLocale());
    FakeReportSource source;
    source.overrides = {{QStringLiteral("Form5.Text1"), QStringLiteral("102,50")},
                        {QStringLiteral("Form5.lbl19"), QStringLiteral("1,5E-07")},
                        {QStringLiteral("Form5.lbl10"), QStringLiteral("2.147,38")}};
    ReportRecorder recorder(source);
    recorder.record();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("comma.xlsx"));
    QCOMPARE(recorder.save(path), std::nullopt);
    const std::optional<xlsxread::Workbook> book = xlsxread::read(path);
    QVERIFY(book);
    const xlsxread::Sheet& sheet = book->sheets.first();
    QVERIFY(sheet.at(2, 1).number);
    QCOMPARE(sheet.at(2, 1).text, QStringLiteral("102.50"));
    QVERIFY(sheet.at(14, 1).number);
    QCOMPARE(sheet.at(14, 1).text, QStringLiteral("1.5E-07"));
    QVERIFY(!sheet.at(12, 1).number);
    QCOMPARE(sheet.at(12, 1).text, QStringLiteral("2.147,38"));
}

// A folder that cannot be written, a target that is no file, a full disk: the save fails
// with the reason, the old file stays as it was and nothing is left beside it.
// With a capability summary a worksheet "Capability" follows: each figure's value a number
// shown with the summary's decimals, the verdict; the worksheet "Problem" is as without it.
void TestReportWorkbook::capabilitySheetHoldsTheSummary() {
    const LocaleGuard locale(pointLocale());
    TwoExports run;
    engine::Audit audit;
    QVERIFY(audit.calculate(Arrangement::CounterFlow, 1).calculated);
    audit.goOn(Arrangement::CounterFlow, 1);
    QVERIFY(audit.calculate(Arrangement::CounterFlow, 2).calculated);
    const report::CapabilitySummary s =
        report::summarize(audit, Arrangement::CounterFlow, uncertainty::hintAccuracies());
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("plain.xlsx"));
    const QString with = dir.filePath(QStringLiteral("with.xlsx"));
    QCOMPARE(run.recorder.save(plain), std::nullopt);
    QCOMPARE(run.recorder.save(with, nullptr, &s), std::nullopt);
    const std::optional<xlsxread::Workbook> before = xlsxread::read(plain);
    const std::optional<xlsxread::Workbook> book = xlsxread::read(with);
    QVERIFY(before && book);
    QCOMPARE(book->sheets.size(), 2);
    QCOMPARE(book->sheets.first().texts(), before->sheets.first().texts());
    const xlsxread::Sheet& sheet = book->sheets.at(1);
    QCOMPARE(sheet.name, QStringLiteral("Capability"));
    QHash<QString, xlsxread::Cell> values;
    QStringList texts;
    for (int row = 0; row < sheet.rows.size(); ++row) {
        values.insert(sheet.at(row, 0).text, sheet.at(row, 1));
        texts << sheet.at(row, 0).text;
    }
    int checked = 0;
    for (const auto* list : {&s.capability, &s.water, &s.energy})
        for (const report::SummaryFigure& f : *list)
            if (f.value) {
                QVERIFY2(values.value(f.name).number, qPrintable(f.name));
                QCOMPARE(values.value(f.name).text, f.plainText());
                ++checked;
            }
    QVERIFY(checked >= 15);
    QVERIFY(texts.contains(s.verdict));
}

void TestReportWorkbook::failedWriteLeavesNoHalfFile_data() {
    QTest::addColumn<QString>("target"); // in the test's folder
    QTest::addColumn<rlim_t>("fileSizeLimit");
    QTest::addColumn<QString>("reason"); // a pattern
    QTest::newRow("missing folder")
        << "missing/report.xlsx" << RLIM_INFINITY << "cannot be written";
    QTest::newRow("a folder by that name") << "folder" << RLIM_INFINITY << "not a regular file";
    QTest::newRow("full disk") << "report.xlsx" << rlim_t(3000)
                               << "File too large|not written completely";
}

void TestReportWorkbook::failedWriteLeavesNoHalfFile() {
    QFETCH(QString, target);
    QFETCH(rlim_t, fileSizeLimit);
    QFETCH(QString, reason);
    const LocaleGuard locale(pointLocale());
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    const QString old = dir.filePath(QStringLiteral("report.xlsx"));
    QFile oldFile(old);
    QVERIFY(oldFile.open(QIODevice::WriteOnly) && oldFile.write("old") == 3);
    oldFile.close();
    TwoExports run;

    // A write past the limit fails with EFBIG instead of ending the process.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &limit) == 0);
    rlimit small = limit;
    small.rlim_cur = std::min(fileSizeLimit, limit.rlim_max);
    QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
    const std::optional<QString> error = run.recorder.save(dir.filePath(target));
    QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);

    QVERIFY(error);
    QVERIFY2(error->contains(QRegularExpression(reason)), qPrintable(*error));
    QVERIFY(oldFile.open(QIODevice::ReadOnly));
    QCOMPARE(oldFile.readAll(), QByteArray("old"));
    QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("report.xlsx")});
    QVERIFY(filesIn(dir.filePath(QStringLiteral("folder"))).isEmpty());
}

QTEST_GUILESS_MAIN(TestReportWorkbook)
#include "tst_reportworkbook.moc"
