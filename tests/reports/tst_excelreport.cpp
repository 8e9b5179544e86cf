// The export's algorithm against an in-memory workbook: preparation, flag, free-column
// search, arrangement, cell by cell writes and every failure path, an office that stops
// answering included.

#include "engine/cellmap.h"
#include "fakereportsource.h"
#include "memoryworkbook.h"
#include "reports/excelreport.h"
#include "reports/templatedocument.h"
#include "stallingworkbook.h"
#include "support/recordingdesktop.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <set>
#include <sys/stat.h>

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
        report.setFactory([this](const QString& progId, QString*) -> std::unique_ptr<Spreadsheet> {
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
        const qsizetype made = progIds.size();
        const qsizetype before = workbook ? workbook->calls.size() : 0;
        report.run();
        if (!workbook)
            return {};
        return progIds.size() == made ? workbook->calls.mid(before) : workbook->calls;
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

// The cells of the export's blocks, in order.
QStringList blockCells(const QList<MemoryWorkbook::Call>& exportCalls) {
    QStringList cells;
    for (const MemoryWorkbook::Call& block : only(exportCalls, "block"))
        cells << MemoryWorkbook::addresses(block.address);
    return cells;
}

// The column that the 58 data cells of an export went to; empty if they are not one column.
QString writtenColumn(const QList<MemoryWorkbook::Call>& exportCalls) {
    const QStringList cells = blockCells(exportCalls);
    if (cells.size() != report::kMapRowCount)
        return QString();
    const QString column = cells.first().left(1);
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (cells[i] != cellAddress(column, kCellMap[size_t(i)].row))
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
    void templateThatIsNoFile();
    void closedByTheUser_data();
    void closedByTheUser();
    void cellContent_data();
    void cellContent();
    void templateSourceIsCurrent();
    void onlyExcelApplicationIsKnown();
    void outOfDateProblemsAreNamed_data();
    void outOfDateProblemsAreNamed();
    void officeThatStopsAnswering_data();
    void officeThatStopsAnswering();
    void endingDoesNotWaitForAStalledOffice();
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

    // Columns B to U cleared on the map rows by ranges, then the column filled by ranges: a
    // handful of calls, not one per cell.
    QStringList cleared;
    for (const MemoryWorkbook::Call& clear : only(calls, "clear"))
        cleared << MemoryWorkbook::addresses(clear.address);
    QStringList mapCells;
    for (const report::CellMapRow& row : kCellMap) {
        for (int slot = 1; slot <= 20; ++slot)
            mapCells << cellAddress(ColumnLetter(slot), row.row);
    }
    QCOMPARE(cleared, mapCells);
    QVERIFY2(calls.size() < 40, qPrintable(QString::number(calls.size())));
    QVERIFY(only(calls, "write").isEmpty());
    QVERIFY(run.workbook->visible);
    QVERIFY(run.workbook->maximized);
    QCOMPARE(calls.last().operation, QStringLiteral("front"));
    QCOMPARE(writtenColumn(calls), QStringLiteral("B"));
    for (const report::CellMapRow& row : kCellMap) {
        QCOMPARE(run.workbook->cell(cellAddress("B", row.row)),
                 run.source.textOf(row.counterFlow.form, row.counterFlow.control));
    }
    QVERIFY(run.desktop.messages.isEmpty());
    QCOMPARE(run.desktop.waitCursorOn, 1);
    QCOMPARE(run.desktop.waitCursorOff, 1);
    QCOMPARE(run.source.statuses,
             QStringList({"LibreOffice Calc is starting ...",
                          "Excel: column B of the worksheet \"Problem\" written."}));
}

// A later export leaves the window as the user arranged it, only bringing it to the front.
void TestExcelReport::laterExportSkipsPreparation() {
    Run run;
    run.exportNumber(1);
    run.workbook->visible = false; // the user may have hidden or moved it
    run.workbook->maximized = false;
    const QList<MemoryWorkbook::Call> calls = run.exportNumber(2);

    QCOMPARE(run.progIds.size(), 1);
    QVERIFY(only(calls, "open").isEmpty());
    QVERIFY(only(calls, "clear").isEmpty());
    QVERIFY(only(calls, "maximize").isEmpty());
    QCOMPARE(only(calls, "front").size(), 1);
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
    QTest::newRow("unreadable markers: nothing written") << QStringList{"B", "C", "D"} << ""
                                                         << "C3"
                                                         << "";
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
    // The search reads the markers B3 to U3 in one call.
    const QList<MemoryWorkbook::Call> reads = only(calls, "readRange");
    QCOMPARE(reads.size(), 1);
    QCOMPARE(reads.first().address, QStringLiteral("B3:U3"));
    if (expected.isEmpty()) {
        QCOMPARE(run.source.statuses.last(),
                 QStringLiteral("Excel: nothing was written: the worksheet \"Problem\" could not "
                                "be read."));
    }
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
    run.source.chosen = Arrangement::CrossFlow;
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
    const QStringList cells = blockCells(run.exportNumber(1));
    QCOMPARE(cells.size(), 57);
    QVERIFY(!cells.contains("B12"));
    QVERIFY(cells.contains("B11") == false && cells.contains("B13"));
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
        w.hasWorkbook_ = true; // the user's own audit, opened earlier
        w.cells.insert("B3", QStringLiteral("earlier audit"));
        w.cells.insert("U82", QStringLiteral("earlier audit"));
    };
    const QList<MemoryWorkbook::Call> calls = run.exportNumber(1);
    QCOMPARE(run.source.flagText, QStringLiteral("1"));
    QVERIFY(only(calls, "clear").isEmpty());
    QCOMPARE(run.workbook->cell("B3"), QStringLiteral("earlier audit"));
    QCOMPARE(run.workbook->cell("U82"), QStringLiteral("earlier audit"));
    QCOMPARE(writtenColumn(calls), QStringLiteral("C"));
    QCOMPARE(run.source.statuses.last(),
             QStringLiteral("Excel: the template templete2.xls was not found in /opt/audit; column "
                            "C of the worksheet \"Problem\" written."));
}

// A template path that is there but no regular file (a FIFO, a folder) is said to be so, not
// "not found".
void TestExcelReport::templateThatIsNoFile() {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo.xls"));
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    for (const QString& path : {fifo, dir.path()}) {
        Run run;
        run.report.setTemplatePath(path);
        run.setUp = [](MemoryWorkbook& w) { w.openSucceeds = false; };
        run.exportNumber(1);
        QCOMPARE(run.source.statuses.last(),
                 QStringLiteral("Excel: nothing was written: the template %1 is not a regular "
                                "file.")
                     .arg(path));
    }
}

void TestExcelReport::closedByTheUser_data() {
    QTest::addColumn<bool>("officeEnded"); // else only the workbook was closed
    QTest::addColumn<int>("applications");
    QTest::newRow("workbook closed") << false << 1;
    QTest::newRow("office ended") << true << 2;
}

// After the user closed the workbook, or ended the office, the next export makes a fresh
// workbook from the template, as on first use, and fills its column B.
void TestExcelReport::closedByTheUser() {
    QFETCH(bool, officeEnded);
    QFETCH(int, applications);
    Run run;
    run.exportNumber(1);
    run.exportNumber(2);
    if (officeEnded)
        run.workbook->gone = true;
    else
        QVERIFY(run.workbook->closeWorkbook());
    const QList<MemoryWorkbook::Call> calls = run.exportNumber(3);
    QCOMPARE(run.progIds.size(), applications);
    QCOMPARE(only(calls, "open").size(), 1);
    QVERIFY(!only(calls, "clear").isEmpty());
    QCOMPARE(writtenColumn(calls), QStringLiteral("B"));
    QCOMPARE(run.workbook->cell("B3"), QStringLiteral("Form5.Text1 #3"));
    QVERIFY(run.workbook->visible && run.workbook->maximized);
    // What happened is said as it was: an office that has ended (closed or killed) is not a
    // closed workbook.
    const QString replaced =
        officeEnded ? QStringLiteral("LibreOffice had ended: it was started again and a new "
                                     "workbook was made from the template; ")
                    : QStringLiteral("the workbook had been closed: a new one was made from the "
                                     "template; ");
    QCOMPARE(run.source.statuses.last(),
             QStringLiteral("Excel: ") + replaced +
                 QStringLiteral("column B of the worksheet \"Problem\" written."));
    QVERIFY(run.desktop.messages.isEmpty());
}

void TestExcelReport::cellContent_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<int>("integerDigits");
    QTest::newRow("two decimals") << "1131.30" << true << 1131.3 << 2 << 1;
    QTest::newRow("integer") << "2200" << true << 2200.0 << 0 << 1;
    QTest::newRow("negative") << "-0.0125" << true << -0.0125 << 4 << 1;
    QTest::newRow("leading zero") << "05.30" << true << 5.3 << 2 << 2;
    QTest::newRow("no integer digit") << ".5" << true << 0.5 << 1 << 0;
    QTest::newRow("blanks around") << " 30.58 " << true << 30.58 << 2 << 1;
    QTest::newRow("exponent: general format") << "1E-07" << true << 1e-7 << -1 << 1;
    QTest::newRow("group separator stays text") << "1,131.30" << false << 0.0 << 0 << 1;
    QTest::newRow("words stay text") << "Form5.Text1 #1" << false << 0.0 << 0 << 1;
    QTest::newRow("unit stays text") << "12 kW" << false << 0.0 << 0 << 1;
    QTest::newRow("empty") << "" << false << 0.0 << 0 << 1;
    QTest::newRow("lone point") << "." << false << 0.0 << 0 << 1;
    QTest::newRow("infinity") << "1E999" << false << 0.0 << 0 << 1;
}

// A text that is a number becomes that number with the decimals it shows; the text is kept.
void TestExcelReport::cellContent() {
    QFETCH(QString, text);
    QFETCH(bool, isNumber);
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(int, integerDigits);
    const CellContent content = CellContent::fromText(text);
    QCOMPARE(content.text, text);
    QCOMPARE(content.number.has_value(), isNumber);
    if (isNumber) {
        QCOMPARE(*content.number, value);
        QCOMPARE(content.decimals, decimals);
        QCOMPARE(content.integerDigits, integerDigits);
    }
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

void TestExcelReport::outOfDateProblemsAreNamed_data() {
    QTest::addColumn<std::vector<int>>("outOfDate");
    QTest::addColumn<QString>("status");
    const QString written = QStringLiteral("Excel: column B of the worksheet \"Problem\" written");
    QTest::newRow("none") << std::vector<int>{} << written + u'.';
    QTest::newRow("one") << std::vector<int>{4} << written + "; Problem 4 was out of date.";
    QTest::newRow("two") << std::vector<int>{3, 4}
                         << written + "; Problems 3 and 4 were out of date.";
    QTest::newRow("three") << std::vector<int>{2, 3, 4}
                           << written + "; Problems 2, 3 and 4 were out of date.";
}

// The column is written as the windows show it; the status line names the Problems that were
// out of date.
void TestExcelReport::outOfDateProblemsAreNamed() {
    QFETCH(std::vector<int>, outOfDate);
    QFETCH(QString, status);
    Run run;
    run.source.outOfDate = outOfDate;
    const auto calls = run.exportNumber(1);
    QCOMPARE(writtenColumn(calls), QStringLiteral("B"));
    QCOMPARE(run.source.statuses.last(), status);
}

void TestExcelReport::officeThatStopsAnswering_data() {
    QTest::addColumn<QString>("operation"); // the call that does not answer
    QTest::addColumn<int>("stalledExport");
    QTest::addColumn<bool>("ownOffice"); // the program started the office: it is ended
    QTest::newRow("opening the template") << "open" << 1 << true;
    QTest::newRow("clearing the template") << "clear" << 1 << true;
    QTest::newRow("asking whether it runs") << "running" << 2 << true;
    QTest::newRow("asking for its workbook") << "hasWorkbook" << 2 << true;
    QTest::newRow("finding the column") << "readRange" << 2 << true;
    QTest::newRow("writing the column") << "block" << 2 << true;
    QTest::newRow("bringing it to the front") << "front" << 3 << true;
    QTest::newRow("the user's own office") << "block" << 2 << false;
}

// A call into the office that does not answer within the limit ends the export: the program
// went on meanwhile (a timer fired, a second press started no second export), the office is
// ended when the program started it, the status line says what happened, and the next export
// starts the office again with a fresh workbook in column B.
void TestExcelReport::officeThatStopsAnswering() {
    QFETCH(QString, operation);
    QFETCH(int, stalledExport);
    QFETCH(bool, ownOffice);
    auto gate = std::make_shared<StallGate>();
    gate->ownOffice = ownOffice;
    std::atomic<int> created{0};
    StallingWorkbook* last = nullptr; // the latest application, owned by the export
    FakeReportSource source;
    RecordingDesktop desktop;
    ExcelReport report(source, &desktop);
    report.setTemplatePath(kTemplate);
    report.setAnswerLimitMs(200);
    report.setFactory([&](const QString&, QString*) -> std::unique_ptr<Spreadsheet> {
        ++created;
        auto made = std::make_unique<StallingWorkbook>(gate);
        last = made.get();
        return made;
    });
    for (int n = 1; n < stalledExport; ++n) {
        source.exportNumber = n;
        report.run();
    }

    gate->stallOn(operation);
    source.exportNumber = stalledExport;
    bool ticked = false;
    QTimer::singleShot(0, [&] {
        ticked = true;
        report.run(); // a second press while the first waits
    });
    const qsizetype statusesBefore = source.statuses.size();
    report.run();
    QVERIFY(ticked);
    QCOMPARE(gate->stalls.load(), 1);
    QCOMPARE(gate->abandoned.load(), 1);
    QCOMPARE(created.load(), 1);
    QCOMPARE(source.statuses.last(),
             ownOffice ? QStringLiteral("Excel: LibreOffice did not answer within 0.2 s and was "
                                        "ended; the column may be incomplete. The next export "
                                        "starts it again.")
                       : QStringLiteral("Excel: LibreOffice did not answer within 0.2 s; the "
                                        "column may be incomplete. The next export connects to "
                                        "it again."));
    // While it waited, the status line said so; no second export's texts.
    QVERIFY(source.statuses.mid(statusesBefore)
                .contains(QStringLiteral("Excel: waiting for LibreOffice to answer (at most 0.2 s) "
                                         "...")));
    QVERIFY(source.statuses.size() - statusesBefore <= 4); // starting, waiting, failed, said
    QCOMPARE(desktop.waitCursorOn, desktop.waitCursorOff);
    if (!ownOffice)
        gate->release(); // the user's office answers again
    QTRY_VERIFY(gate->answered);

    source.exportNumber = stalledExport + 1;
    report.run();
    QCOMPARE(created.load(), 2);
    QVERIFY(last && last->workbook.openedAsTemplate);
    QCOMPARE(last->workbook.cell("B3"), QStringLiteral("Form5.Text1 #%1").arg(stalledExport + 1));
    QCOMPARE(source.statuses.last(),
             QStringLiteral("Excel: LibreOffice had stopped answering: it was started again and "
                            "a new workbook was made from the template; column B of the worksheet "
                            "\"Problem\" written."));
    QVERIFY(desktop.messages.isEmpty());
}

// The program ends (the export is destroyed) while an office of the user's own still does not
// answer: nothing waits for it; its call ends by itself once the office answers.
void TestExcelReport::endingDoesNotWaitForAStalledOffice() {
    auto gate = std::make_shared<StallGate>();
    gate->ownOffice = false;
    FakeReportSource source;
    auto report = std::make_unique<ExcelReport>(source);
    report->setTemplatePath(kTemplate);
    report->setAnswerLimitMs(100);
    report->setFactory([gate](const QString&, QString*) -> std::unique_ptr<Spreadsheet> {
        return std::make_unique<StallingWorkbook>(gate);
    });
    report->run();
    gate->stallOn(QStringLiteral("readRange"));
    report->run();
    QCOMPARE(gate->stalls.load(), 1);
    report.reset();
    QVERIFY(!gate->answered);
    gate->release();
    QTRY_VERIFY(gate->answered);
}

QTEST_GUILESS_MAIN(TestExcelReport)
#include "tst_excelreport.moc"
