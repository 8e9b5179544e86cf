// The toolbar's "Excel" over the real windows: the export reads the windows' displayed texts
// (loading windows never opened with their design contents), keeps the flag in frmMain.Text1,
// and never shows a message, with or without a spreadsheet application.

#include "app/windows.h"
#include "engine/cellmap.h"
#include "engine/keys.h"
#include "memoryworkbook.h"
#include "reports/excelreport.h"
#include "stallingworkbook.h"
#include "support/guifixture.h"
#include "ui/mainwindow.h"
#include "ui/problemwindow.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

class TestExcelButton : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void exportsTheCounterFlowWindowsTexts();
    void successiveExportsFillSuccessiveColumns();
    void withoutSpreadsheetApplication();
    void namesOutOfDateProblems();
    void officeThatStopsAnswering();

private:
    // Installs an in-memory spreadsheet application; returns it (owned by the export).
    MemoryWorkbook* installWorkbook();

    std::unique_ptr<GuiFixture> fixture_;
    int created_ = 0;
};

void TestExcelButton::init() {
    QApplication::setQuitOnLastWindowClosed(false);
    fixture_ = std::make_unique<GuiFixture>();
    fixture_->start();
    created_ = 0;
}

void TestExcelButton::cleanup() {
    QVERIFY(fixture_->checkNoDialogs());
    fixture_.reset();
}

MemoryWorkbook* TestExcelButton::installWorkbook() {
    auto* workbook = new MemoryWorkbook;
    fixture_->windows().report().setFactory([this, workbook](const QString&, QString*) {
        ++created_;
        return std::unique_ptr<Spreadsheet>(workbook);
    });
    return workbook;
}

void TestExcelButton::exportsTheCounterFlowWindowsTexts() {
    Windows& windows = fixture_->windows();
    MemoryWorkbook* workbook = installWorkbook();
    windows.problemWindow(Arrangement::CounterFlow, 1)->calculateButton()->click();
    QVERIFY(!windows.isLoaded(QStringLiteral("Form3")));

    windows.mainWindow()->buttonClicked(QStringLiteral("Excel"));

    QCOMPARE(created_, 1);
    QCOMPARE(windows.mainWindow()->spreadsheetFlag()->text(), QStringLiteral("1"));
    QVERIFY(workbook->openedAsTemplate);
    // Problem 1 as calculated, the others with their design contents.
    QCOMPARE(workbook->cell(QStringLiteral("B3")), QStringLiteral("100.00"));
    QCOMPARE(workbook->cell(QStringLiteral("B12")), QStringLiteral("30.58"));
    QCOMPARE(workbook->cell(QStringLiteral("B69")), QStringLiteral("2200"));
    QVERIFY(windows.isLoaded(QStringLiteral("Form3")));
    // Numbers arrive as numbers with the window's decimals; the status line says where.
    QCOMPARE(workbook->numbers.value(QStringLiteral("B3")).number, 100.0);
    QCOMPARE(workbook->numbers.value(QStringLiteral("B3")).decimals, 2);
    QCOMPARE(windows.status(),
             QStringLiteral("Excel: column B of the worksheet \"Problem\" written."));
    for (const report::CellMapRow& row : report::kCellMap) {
        const QString address = QStringLiteral("B%1").arg(row.row);
        QCOMPARE(workbook->cell(address),
                 windows
                     .controlText(QString::fromLatin1(row.counterFlow.form),
                                  QString::fromLatin1(row.counterFlow.control))
                     .value_or(QStringLiteral("<unreadable>")));
    }
    QVERIFY(fixture_->desktop().messages.isEmpty());
}

void TestExcelButton::successiveExportsFillSuccessiveColumns() {
    Windows& windows = fixture_->windows();
    MemoryWorkbook* workbook = installWorkbook();
    windows.mainWindow()->buttonClicked(QStringLiteral("Excel"));
    windows.problemWindow(Arrangement::CounterFlow, 1)
        ->field(engine::cf1::waterFlow)
        ->setText(QStringLiteral("120"));
    windows.mainWindow()->buttonClicked(QStringLiteral("Excel"));

    QCOMPARE(created_, 1); // the application is started once per run
    QCOMPARE(workbook->cell(QStringLiteral("B3")), QStringLiteral("100"));
    QCOMPARE(workbook->cell(QStringLiteral("C3")), QStringLiteral("120"));
}

void TestExcelButton::withoutSpreadsheetApplication() {
    Windows& windows = fixture_->windows();
    windows.report().setFactory([this](const QString&, QString*) {
        ++created_;
        return std::unique_ptr<Spreadsheet>();
    });
    windows.mainWindow()->buttonClicked(QStringLiteral("Excel"));
    windows.mainWindow()->buttonClicked(QStringLiteral("Excel"));

    QCOMPARE(created_, 1); // not tried again in the same run
    QCOMPARE(windows.mainWindow()->spreadsheetFlag()->text(), QStringLiteral("1"));
    QCOMPARE(windows.status(), QStringLiteral("Excel: nothing was written: LibreOffice Calc could "
                                              "not be started."));
    QVERIFY(fixture_->desktop().messages.isEmpty());
    // The program goes on.
    windows.problemWindow(Arrangement::CounterFlow, 1)->calculateButton()->click();
    QCOMPARE(windows.problemWindow(Arrangement::CounterFlow, 1)->result(engine::cf1::ntu)->text(),
             QStringLiteral("30.58"));
}

// Problems 1 to 4 calculated, then Problem 1 again: the export writes what the windows show
// and names the Problems left out of date; once Problem 2 is calculated again, only 3 and 4.
void TestExcelButton::namesOutOfDateProblems() {
    Windows& windows = fixture_->windows();
    MemoryWorkbook* workbook = installWorkbook();
    const Arrangement a = Arrangement::CounterFlow;
    for (int problem = 1; problem <= 4; ++problem) {
        windows.problemWindow(a, problem)->calculateButton()->click();
        if (problem < 4)
            windows.problemWindow(a, problem)->goOnButton()->click();
    }
    windows.problemWindow(a, 1)->field(engine::cf1::airFlow)->setText(QStringLiteral("100"));
    windows.problemWindow(a, 1)->calculateButton()->click();
    QVERIFY(fixture_->desktop().messages.isEmpty());

    windows.mainWindow()->buttonClicked(QStringLiteral("Excel"));
    QCOMPARE(windows.status(),
             QStringLiteral("Excel: column B of the worksheet \"Problem\" written; "
                            "Problems 2, 3 and 4 were out of date."));
    for (const report::CellMapRow& row : report::kCellMap)
        QCOMPARE(workbook->cell(QStringLiteral("B%1").arg(row.row)),
                 windows
                     .controlText(QString::fromLatin1(row.counterFlow.form),
                                  QString::fromLatin1(row.counterFlow.control))
                     .value_or(QStringLiteral("<unreadable>")));

    windows.problemWindow(a, 2)->calculateButton()->click();
    windows.mainWindow()->buttonClicked(QStringLiteral("Excel"));
    QCOMPARE(windows.status(),
             QStringLiteral("Excel: column C of the worksheet \"Problem\" written; "
                            "Problems 3 and 4 were out of date."));
}

// While the export waits for an office that has stopped answering, the windows go on and the
// Excel button is disabled; after the limit the status line says so and the button works
// again; the program ends without waiting for the office.
void TestExcelButton::officeThatStopsAnswering() {
    Windows& windows = fixture_->windows();
    auto gate = std::make_shared<StallGate>();
    gate->ownOffice = false; // never answers until released
    windows.report().setAnswerLimitMs(200);
    windows.report().setFactory([gate](const QString&, QString*) -> std::unique_ptr<Spreadsheet> {
        return std::make_unique<StallingWorkbook>(gate);
    });
    QAction* excel = windows.mainWindow()->toolBar()->findChild<QAction*>(QStringLiteral("Excel"));
    QVERIFY(excel);
    windows.mainWindow()->buttonClicked(QStringLiteral("Excel"));
    gate->stallOn(QStringLiteral("block"));
    bool disabledMeanwhile = false;
    QTimer::singleShot(0, [&] {
        disabledMeanwhile = !excel->isEnabled();
        windows.problemWindow(Arrangement::CounterFlow, 1)->calculateButton()->click();
    });
    excel->trigger();
    QVERIFY(disabledMeanwhile);
    QVERIFY(excel->isEnabled());
    QCOMPARE(gate->stalls.load(), 1);
    QCOMPARE(windows.status(),
             QStringLiteral("Excel: LibreOffice did not answer within 0.2 s; the column may be "
                            "incomplete. The next export connects to it again."));
    QCOMPARE(windows.problemWindow(Arrangement::CounterFlow, 1)->result(engine::cf1::ntu)->text(),
             QStringLiteral("30.58"));
    QVERIFY(fixture_->checkNoDialogs());
    fixture_.reset(); // the program ends with the office still silent
    QVERIFY(!gate->answered);
    gate->release();
    QTRY_VERIFY(gate->answered);
    fixture_ = std::make_unique<GuiFixture>(); // for cleanup()
    fixture_->start();
}

QTEST_MAIN(TestExcelButton)
#include "tst_excelbutton.moc"
