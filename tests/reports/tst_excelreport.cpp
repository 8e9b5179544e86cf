// The export's algorithm against an in-memory workbook: preparation, flag, free-column
// search, arrangement, cell by cell writes and every failure path.

#include "fakereportsource.h"
#include "memoryworkbook.h"
#include "reports/cellmap.h"
#include "reports/excelreport.h"
#include "reports/templatedocument.h"
#include "support/recordingdesktop.h"

#include <QFile>
#include <QTest>
#include <set>

using report::cellAddress;
using report::ColumnLetter;
using report::kCellMap;

namespace {

const QString kTemplate = QStringLiteral("/opt/audit/templete2.xls");

// One run of the program: the export, its source and the application it creates.
struct Run {
    FakeReportSource source;
    RecordingDesktop desktop;
    ExcelReport report{source, &desktop};
    MemoryWorkbook* workbook = nullptr; // owned by the report
    QStringList progIds;                // every creation request
    bool noApplication = false;
    std::function<void(MemoryWorkbook&)> setUp;

    Run() {
        report.setTemplatePath(kTemplate);
        report.setFactory([this](const QString& progId) -> std::unique_ptr<Spreadsheet> {
            progIds.append(progId);
            if (noApplication)
                return nullptr;
            auto created = std::make_unique<MemoryWorkbook>();
            workbook = created.get();
            if (setUp)
                setUp(*created);
            return created;
        });
    }

    // Runs export number n and returns the calls it made.
    QList<MemoryWorkbook::Call> exportNumber(int n) {
        source.exportNumber = n;
        const qsizetype before = workbook ? workbook->calls.size() : 0;
        report.run();
        return workbook ? workbook->calls.mid(before) : QList<MemoryWorkbook::Call>();
    }
};

QList<MemoryWorkbook::Call> only(const QList<MemoryWorkbook::Call>& calls, const char* op) {
    QList<MemoryWorkbook::Call> result;
    for (const auto& c : calls) {
        if (c.operation == QLatin1String(op))
            result.append(c);
    }
    return result;
}

// The column that the 58 data writes of an export went to; empty if they are not one column.
QString writtenColumn(const QList<MemoryWorkbook::Call>& exportCalls) {
    const QList<MemoryWorkbook::Call> writes = only(exportCalls, "write");
    if (writes.size() < report::kMapRowCount)
        return QString();
    const QList<MemoryWorkbook::Call> data = writes.mid(writes.size() - report::kMapRowCount);
    const QString column = data.first().address.left(1);
    for (qsizetype i = 0; i < data.size(); ++i) {
        if (data[i].address != cellAddress(column, kCellMap[size_t(i)].row))
            return QString();
    }
    return column;
}

} // namespace

class TestExcelReport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void columnLetter_data();
    void columnLetter();
    void cellMapRows();
    void firstExportPreparesThenFillsB();
    void laterExportSkipsPreparation();
    void flagNotExactlyZero_data();
    void flagNotExactlyZero();
    void targetColumn_data();
    void targetColumn();
    void twentyFirstExportOverwritesU();
    void emptyWaterFlowLeavesColumnFree();
    void crossFlowReadsCrossFlowWindows();
    void unreadableControlSkipsItsCell();
    void noApplication();
    void templateNotOpenedClearsNothing();
    void applicationClosed();
    void templateSourceIsCurrent();
    void onlyExcelApplicationIsKnown();
};

void TestExcelReport::columnLetter_data() {
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("letter");
    QTest::newRow("first") << 1 << "B";
    QTest::newRow("second") << 2 << "C";
    QTest::newRow("last") << 20 << "U";
    QTest::newRow("zero") << 0 << "";
    QTest::newRow("past the last") << 21 << "";
    QTest::newRow("negative") << -1 << "";
}

void TestExcelReport::columnLetter() {
    QFETCH(int, slot);
    QFETCH(QString, letter);
    QCOMPARE(ColumnLetter(slot), letter);
}

// The rows are the listed ones, and each row takes the window of its Problem in both
// arrangements.
void TestExcelReport::cellMapRows() {
    std::set<int> expected;
    for (auto [first, last] : {std::pair{3, 9},
                               {12, 16},
                               {19, 26},
                               {30, 35},
                               {37, 37},
                               {40, 42},
                               {45, 51},
                               {55, 56},
                               {59, 65},
                               {69, 72},
                               {75, 82}}) {
        for (int r = first; r <= last; ++r)
            expected.insert(r);
    }
    QCOMPARE(expected.size(), size_t(report::kMapRowCount));
    const char* counterForms[] = {"Form5", "Form2", "Form10", "Form3"};
    const char* crossForms[] = {"Form8", "Form6", "Form9", "Form4"};
    int previous = 0;
    for (const report::CellMapRow& row : kCellMap) {
        QVERIFY2(row.row > previous, qPrintable(QString::number(row.row)));
        previous = row.row;
        QVERIFY2(expected.count(row.row), qPrintable(QString::number(row.row)));
        const QString quantity = QString::fromLatin1(row.quantity);
        QVERIFY(quantity.startsWith(QLatin1String("Problem ")));
        const int problem = quantity.mid(8, 1).toInt();
        QVERIFY2(problem >= 1 && problem <= 4, row.quantity);
        QCOMPARE(row.counterFlow.form, counterForms[problem - 1]);
        QCOMPARE(row.crossFlow.form, crossForms[problem - 1]);
    }
}

void TestExcelReport::firstExportPreparesThenFillsB() {
    Run run;
    const QList<MemoryWorkbook::Call> calls = run.exportNumber(1);

    QCOMPARE(run.progIds, QStringList{QStringLiteral("Excel.Application")});
    QCOMPARE(run.source.flagText, QStringLiteral("1"));
    QCOMPARE(calls.first().operation, QStringLiteral("open"));
    QCOMPARE(run.workbook->openedFile, kTemplate);
    QVERIFY(run.workbook->openedAsTemplate);

    // 20 columns x 58 rows cleared one cell at a time, column by column, rows ascending.
    const QList<MemoryWorkbook::Call> writes = only(calls, "write");
    QCOMPARE(writes.size(), 20 * 58 + 58);
    qsizetype i = 0;
    for (int slot = 1; slot <= 20; ++slot) {
        for (const report::CellMapRow& row : kCellMap) {
            QCOMPARE(writes[i].address, cellAddress(ColumnLetter(slot), row.row));
            QCOMPARE(writes[i].sheet, QStringLiteral("Problem"));
            QVERIFY(writes[i].value.isEmpty());
            ++i;
        }
    }
    QVERIFY(run.workbook->visible);
    QVERIFY(run.workbook->maximized);
    QCOMPARE(writtenColumn(calls), QStringLiteral("B"));
    for (const report::CellMapRow& row : kCellMap) {
        QCOMPARE(run.workbook->cell(cellAddress("B", row.row)),
                 run.source.textOf(row.counterFlow.form, row.counterFlow.control));
    }
    QVERIFY(run.desktop.messages.isEmpty());
    QCOMPARE(run.desktop.waitCursorOn, 1);
    QCOMPARE(run.desktop.waitCursorOff, 1);
}

void TestExcelReport::laterExportSkipsPreparation() {
    Run run;
    run.exportNumber(1);
    run.workbook->visible = false; // the user may have hidden or moved it
    run.workbook->maximized = false;
    const QList<MemoryWorkbook::Call> calls = run.exportNumber(2);

    QCOMPARE(run.progIds.size(), 1);
    QVERIFY(only(calls, "open").isEmpty());
    QVERIFY(only(calls, "visible").isEmpty());
    QVERIFY(only(calls, "maximize").isEmpty());
    QCOMPARE(only(calls, "write").size(), 58); // no clearing
    QCOMPARE(writtenColumn(calls), QStringLiteral("C"));
    QCOMPARE(run.workbook->cell("B3"), QStringLiteral("Form5.Text1 #1"));
    QCOMPARE(run.workbook->cell("C3"), QStringLiteral("Form5.Text1 #2"));
}

void TestExcelReport::flagNotExactlyZero_data() {
    QTest::addColumn<QString>("flag");
    QTest::newRow("one") << "1";
    QTest::newRow("empty") << "";
    QTest::newRow("blank before") << " 0";
    QTest::newRow("double zero") << "00";
}

// Only a flag of exactly "0" starts the application; otherwise there is none to write to.
void TestExcelReport::flagNotExactlyZero() {
    QFETCH(QString, flag);
    Run run;
    run.source.flagText = flag;
    run.report.run();
    QVERIFY(run.progIds.isEmpty());
    QCOMPARE(run.source.flagText, flag);
    QVERIFY(run.desktop.messages.isEmpty());
}

void TestExcelReport::targetColumn_data() {
    QTest::addColumn<QStringList>("taken");   // columns whose row 3 holds a value
    QTest::addColumn<QString>("blankMarker"); // a column whose row 3 holds only blanks
    QTest::addColumn<QString>("failingRead");
    QTest::addColumn<QString>("expected");
    QStringList bToT;
    for (int slot = 1; slot <= 19; ++slot)
        bToT << ColumnLetter(slot);
    QTest::newRow("all free") << QStringList{} << ""
                              << ""
                              << "B";
    QTest::newRow("B taken") << QStringList{"B"} << ""
                             << ""
                             << "C";
    QTest::newRow("blanks count as empty") << QStringList{} << "B"
                                           << ""
                                           << "B";
    QTest::newRow("a gap is reused") << QStringList{"B", "D"} << ""
                                     << ""
                                     << "C";
    QTest::newRow("failed read ends the search") << QStringList{"B", "C", "D"} << ""
                                                 << "C3"
                                                 << "C";
    QTest::newRow("only U free") << bToT << ""
                                 << ""
                                 << "U";
    QTest::newRow("all taken: U") << (bToT + QStringList{"U"}) << ""
                                  << ""
                                  << "U";
}

void TestExcelReport::targetColumn() {
    QFETCH(QStringList, taken);
    QFETCH(QString, blankMarker);
    QFETCH(QString, failingRead);
    QFETCH(QString, expected);
    Run run;
    run.exportNumber(1);
    for (int slot = 1; slot <= 20; ++slot)
        run.workbook->cells.remove(cellAddress(ColumnLetter(slot), 3));
    for (const QString& column : taken)
        run.workbook->cells.insert(column + "3", QStringLiteral("12.5"));
    if (!blankMarker.isEmpty())
        run.workbook->cells.insert(blankMarker + "3", QStringLiteral("  "));
    if (!failingRead.isEmpty())
        run.workbook->failingReads.insert(failingRead);

    const QList<MemoryWorkbook::Call> calls = run.exportNumber(2);
    QCOMPARE(writtenColumn(calls), expected);
    // The search reads row 3 from B onwards and stops at the column it chose.
    const QList<MemoryWorkbook::Call> reads = only(calls, "read");
    QCOMPARE(reads.last().address, expected + "3");
    QCOMPARE(reads.first().address, QStringLiteral("B3"));
}

void TestExcelReport::twentyFirstExportOverwritesU() {
    Run run;
    for (int n = 1; n <= 20; ++n)
        QCOMPARE(writtenColumn(run.exportNumber(n)), ColumnLetter(n));
    QCOMPARE(writtenColumn(run.exportNumber(21)), QStringLiteral("U"));
    QCOMPARE(run.workbook->cell("U3"), QStringLiteral("Form5.Text1 #21"));
    QCOMPARE(run.workbook->cell("U82"), QStringLiteral("Form3.l27 #21"));
    QCOMPARE(run.workbook->cell("T82"), QStringLiteral("Form3.l27 #19"));
}

void TestExcelReport::emptyWaterFlowLeavesColumnFree() {
    Run run;
    run.source.overrides.insert("Form5.Text1", QString());
    QCOMPARE(writtenColumn(run.exportNumber(1)), QStringLiteral("B"));
    QVERIFY(run.workbook->cell("B3").isEmpty());
    run.source.overrides.clear();
    QCOMPARE(writtenColumn(run.exportNumber(2)), QStringLiteral("B"));
    QCOMPARE(run.workbook->cell("B4"), QStringLiteral("Form5.Text8 #2"));
}

void TestExcelReport::crossFlowReadsCrossFlowWindows() {
    Run run;
    run.source.counterFlow = false;
    run.exportNumber(1);
    const QSet<QString> forms(run.source.formsRead.cbegin(), run.source.formsRead.cend());
    QCOMPARE(forms, (QSet<QString>{"Form8", "Form6", "Form9", "Form4"}));
    for (const report::CellMapRow& row : kCellMap) {
        QCOMPARE(run.workbook->cell(cellAddress("B", row.row)),
                 run.source.textOf(row.crossFlow.form, row.crossFlow.control));
    }
}

void TestExcelReport::unreadableControlSkipsItsCell() {
    Run run;
    run.source.unreadable.insert("Form5.lbl2"); // row 12
    const QList<MemoryWorkbook::Call> writes = only(run.exportNumber(1), "write");
    QCOMPARE(writes.size(), 20 * 58 + 57);
    QVERIFY(run.workbook->cell("B12").isEmpty());
    QCOMPARE(run.workbook->cell("B13"), QStringLiteral("Form5.lbl10 #1"));
}

// No spreadsheet application: nothing is written, the flag still becomes "1" and later
// exports do not try again.
void TestExcelReport::noApplication() {
    Run run;
    run.noApplication = true;
    run.report.run();
    QCOMPARE(run.source.flagText, QStringLiteral("1"));
    run.report.run();
    QCOMPARE(run.progIds.size(), 1);
    QVERIFY(run.desktop.messages.isEmpty());
    QCOMPARE(run.desktop.waitCursorOn, run.desktop.waitCursorOff);
}

// When the template cannot be opened, the clearing must not wipe whatever workbook the
// application has active; the data writes still go to its worksheet "Problem".
void TestExcelReport::templateNotOpenedClearsNothing() {
    Run run;
    run.setUp = [](MemoryWorkbook& w) {
        w.openSucceeds = false;
        w.hasWorkbook = true; // the user's own audit, opened earlier
        w.cells.insert("B3", QStringLiteral("earlier audit"));
        w.cells.insert("U82", QStringLiteral("earlier audit"));
    };
    const QList<MemoryWorkbook::Call> calls = run.exportNumber(1);
    QCOMPARE(run.source.flagText, QStringLiteral("1"));
    QCOMPARE(only(calls, "write").size(), 58);
    QCOMPARE(run.workbook->cell("B3"), QStringLiteral("earlier audit"));
    QCOMPARE(run.workbook->cell("U82"), QStringLiteral("earlier audit"));
    QCOMPARE(writtenColumn(calls), QStringLiteral("C"));
}

// The user closed the application after the first export: later exports write nothing and
// still end normally.
void TestExcelReport::applicationClosed() {
    Run run;
    run.exportNumber(1);
    run.workbook->gone = true;
    const QList<MemoryWorkbook::Call> calls = run.exportNumber(2);
    QCOMPARE(only(calls, "read").size(), 1); // the failed read ends the search at B
    QCOMPARE(run.workbook->cell("B3"), QStringLiteral("Form5.Text1 #1"));
    QCOMPARE(run.source.flagText, QStringLiteral("1"));
    QVERIFY(run.desktop.messages.isEmpty());
}

// The committed template source is what the cell map produces (run script/make-template
// after changing the map).
void TestExcelReport::templateSourceIsCurrent() {
    QFile file(QStringLiteral(CTAUDIT_REPORTS_SOURCE_DIR "/templete2.fods"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()), report::templateFlatXml());
}

// Any other programmatic identifier creates nothing, without looking for the module.
void TestExcelReport::onlyExcelApplicationIsKnown() {
    OfficeOptions options;
    options.modulePath = QStringLiteral("/nonexistent/libctaudit_calc.so");
    QVERIFY(!createSpreadsheet(QStringLiteral("Word.Application"), options));
    QVERIFY(!createSpreadsheet(QStringLiteral("excel.application"), options));
    QVERIFY(!createSpreadsheet(QStringLiteral("Excel.Application"), options));
}

QTEST_GUILESS_MAIN(TestExcelReport)
#include "tst_excelreport.moc"
