// "Save spreadsheet report..." in the program: the regimes the toolbar's "Excel" exported, with
// no office, written as an .xlsx file whose cells show the windows' texts.

#include "app/reportfile.h"
#include "auditprogram.h"
#include "engine/cellmap.h"
#include "reports/excelreport.h"
#include "support/xlsxreader.h"

#include <QMenu>
#include <QToolBar>
#include <QToolButton>

class TestReportFile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void savesTheRegimesExportedWithoutAnOffice();
    void failedSaveShowsOneMessage_data();
    void failedSaveShowsOneMessage();
};

// Two regimes exported with "Excel" while no office can be started; the menu entry beside
// "Save" writes both, each cell as its window showed it, numbers as numbers.
void TestReportFile::savesTheRegimesExportedWithoutAnOffice() {
    Program p;
    ReportFile file(p.windows(), p.document);
    p.windows().report().setFactory([](const QString&, QString*) { return nullptr; });
    auto* saveButton =
        qobject_cast<QToolButton*>(p.main()->toolBar()->widgetForAction(p.document.saveAction));
    QVERIFY(saveButton && saveButton->menu()->actions().contains(file.saveAction));

    p.calculate(Arrangement::CounterFlow, 1);
    p.main()->buttonClicked(QStringLiteral("Excel"));
    const QString firstNtu =
        p.windows().controlText(QStringLiteral("Form5"), QStringLiteral("lbl2")).value();
    p.type(Arrangement::CounterFlow, 0, QStringLiteral("120"));
    p.calculate(Arrangement::CounterFlow, 1);
    p.main()->buttonClicked(QStringLiteral("Excel"));
    QVERIFY(p.windows().status().startsWith(QStringLiteral("Excel: nothing was written")));

    QTemporaryDir dir;
    p.fixture.desktop().saveFileAnswer = dir.filePath(QStringLiteral("regimes"));
    file.saveAction->trigger();
    const QString path = dir.filePath(QStringLiteral("regimes.xlsx"));
    QVERIFY(p.fixture.desktop().messages.isEmpty());
    QCOMPARE(p.windows().status(),
             QStringLiteral("Spreadsheet report saved as %1: the counter flow regimes exported "
                            "with Excel, columns B to C.")
                 .arg(path));

    QString error;
    const std::optional<xlsxread::Workbook> book = xlsxread::read(path, &error);
    QVERIFY2(book, qPrintable(error));
    const xlsxread::Sheet& sheet = book->sheets.first();
    QCOMPARE(sheet.at(2, 1).text, QStringLiteral("100.00"));
    QVERIFY(sheet.at(2, 1).number);
    QCOMPARE(sheet.at(11, 1).text, firstNtu);
    // The second column is what the windows show now, row by row.
    for (const report::CellMapRow& row : report::kCellMap) {
        const QString shown = p.windows()
                                  .controlText(QString::fromLatin1(row.counterFlow.form),
                                               QString::fromLatin1(row.counterFlow.control))
                                  .value();
        QVERIFY2(sheet.at(row.row - 1, 2).text == shown,
                 qPrintable(QStringLiteral("row %1: %2 instead of %3")
                                .arg(row.row)
                                .arg(sheet.at(row.row - 1, 2).text, shown)));
    }
    QCOMPARE(sheet.at(2, 2).text, QStringLiteral("120.00"));
}

void TestReportFile::failedSaveShowsOneMessage_data() {
    QTest::addColumn<QString>("target"); // in the test's folder
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing folder") << "missing/report.xlsx"
                                    << "cannot be written";
    QTest::newRow("a folder") << "."
                              << "it is not a regular file";
}

// A file that cannot be written: one message naming it and why, the status line unchanged.
void TestReportFile::failedSaveShowsOneMessage() {
    QFETCH(QString, target);
    QFETCH(QString, reason);
    Program p;
    ReportFile file(p.windows(), p.document);
    QTemporaryDir dir;
    const QString status = p.windows().status();
    const QString path = QDir::cleanPath(dir.filePath(target));
    QVERIFY(!file.saveTo(path));
    QCOMPARE(p.fixture.desktop().messages.size(), 1);
    const QString text = p.fixture.desktop().messageTexts().first();
    QVERIFY2(text.startsWith(
                 QStringLiteral("The spreadsheet report cannot be saved as \"%1\"").arg(path)),
             qPrintable(text));
    QVERIFY2(text.contains(reason), qPrintable(text));
    QCOMPARE(p.windows().status(), status);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

QTEST_MAIN(TestReportFile)
#include "tst_reportfile.moc"
