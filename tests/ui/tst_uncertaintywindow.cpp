// The "Uncertainty" window over the real Problem windows: the model against what the windows
// show, the toolbar button, the accuracies table and its settings, Monte Carlo with Cancel.

#include "app/windows.h"
#include "engine/audit.h"
#include "engine/cellmap.h"
#include "engine/numtext.h"
#include "support/guifixture.h"
#include "ui/mainwindow.h"
#include "ui/problemwindow.h"
#include "ui/startwindow.h"
#include "ui/uncertaintywindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTableWidget>
#include <QtTest>
#include <cmath>

using namespace uncertainty;

namespace {

// Every Problem of an arrangement calculated with the fields as they stand, as the engineer
// presses the buttons.
void calculateChain(Windows& windows, Arrangement arrangement) {
    const char* const counter[][2] = {{"Form5", "Command1"},  {"Form5", "Command2"},
                                      {"Form2", "Command1"},  {"Form2", "Command3"},
                                      {"Form10", "Command1"}, {"Form10", "Command3"},
                                      {"Form3", "Command1"}};
    const char* const cross[][2] = {
        {"Form8", "Command1"}, {"Form8", "Command3"}, {"Form6", "Command1"}, {"Form6", "Command3"},
        {"Form9", "Command1"}, {"Form9", "Command2"}, {"Form4", "Command1"}};
    for (const auto& step : arrangement == Arrangement::CounterFlow ? counter : cross) {
        auto* button =
            windows.form(QLatin1String(step[0]))->findChild<QPushButton*>(QLatin1String(step[1]));
        QVERIFY(button && button->isEnabled());
        button->click();
    }
}

// The text a window shows for a result, found by the report's name of the quantity.
QString windowText(Windows& windows, Arrangement arrangement, int result) {
    for (const report::CellMapRow& row : report::kCellMap)
        if (QLatin1String(row.quantity) == QLatin1String(resultInfo(result).column)) {
            const report::ControlRef& ref =
                arrangement == Arrangement::CounterFlow ? row.counterFlow : row.crossFlow;
            return windows.controlText(QLatin1String(ref.form), QLatin1String(ref.control))
                .value_or(QString());
        }
    return QString();
}

// The text of the results table's cell in the row of a result's caption.
QString resultCell(const UncertaintyWindow* w, int result, int column) {
    const QString caption = QLatin1String(resultInfo(result).label);
    for (int row = 0; row < w->tblResults->rowCount(); ++row)
        if (w->tblResults->item(row, 1)->text().startsWith(caption + QStringLiteral(" [")))
            return w->tblResults->item(row, column)->text();
    return QStringLiteral("(no row)");
}

bool waitFor(UncertaintyWindow* w, QSignalSpy& spy, int ms = 60000) {
    return w->isRunning() ? spy.wait(ms) : spy.count() > 0;
}

// Calculates Problem 1 again with its air flow raised by 5 kg/s, which leaves the later
// Problems out of date.
void recalculateProblemOne(Windows& windows, Arrangement arrangement) {
    ProblemWindow* one = windows.problemWindow(arrangement, 1);
    QLineEdit* airFlow = one->findChild<QLineEdit*>(QStringLiteral("Text8"));
    airFlow->setText(QString::number(airFlow->text().toDouble() + 5));
    one->calculateButton()->click();
}

// The Problems of the rows of the results table.
QSet<int> problemsShown(const UncertaintyWindow* w) {
    QSet<int> problems;
    for (int row = 0; row < w->tblResults->rowCount(); ++row)
        problems.insert(w->tblResults->item(row, 0)->text().toInt());
    return problems;
}

// Fails unless every column of the results table fits in its width and every cell's text is
// whole inside its cell (wrapped where it wraps).
void checkColumnsFit(const UncertaintyWindow* w) {
    const QTableWidget* t = w->tblResults;
    const QHeaderView* header = t->horizontalHeader();
    int total = 0;
    for (int col = 0; col < t->columnCount(); ++col)
        total += header->sectionSize(col);
    QVERIFY2(total <= t->viewport()->width(),
             qPrintable(QStringLiteral("%1 > %2").arg(total).arg(t->viewport()->width())));
    const QFontMetrics metrics = t->fontMetrics();
    for (int col = 0; col < t->columnCount(); ++col) {
        const int width = header->sectionSize(col) - 6; // the cell's margins
        QVERIFY(metrics.horizontalAdvance(t->horizontalHeaderItem(col)->text()) <= width);
        for (int row = 0; row < t->rowCount(); ++row) {
            const QString text = t->item(row, col)->text();
            const QRect needed =
                metrics.boundingRect(QRect(0, 0, width, 10000), Qt::TextWordWrap, text);
            QVERIFY2(
                needed.width() <= width && needed.height() <= t->rowHeight(row),
                qPrintable(QStringLiteral("row %1 column %2: %3").arg(row).arg(col).arg(text)));
        }
    }
}

} // namespace

class TestUncertaintyWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<GuiFixture> fixture;

private Q_SLOTS:
    void init() { fixture = std::make_unique<GuiFixture>(); }
    void cleanup() {
        fixture->checkNoDialogs();
        fixture.reset();
    }

    // With the default inputs the model gives what the windows show, within the display
    // rounding. Two things differ on purpose and get their own allowance: the windows pass
    // rounded texts from Problem to Problem (Problems 2 to 4 here start from the NTU to two
    // decimals, the model from the unrounded one), and the cross-flow model matches the
    // measured outlet temperature exactly where the window's NTU search stops within 0.01 K.
    // Allowances: counter flow, half a unit of the NTU's second decimal over the NTU (30.58);
    // cross flow, 0.01 K times the NTU's sensitivity to the outlet temperature over the NTU.
    void modelReproducesWindows_data() {
        QTest::addColumn<int>("arrangement");
        QTest::addColumn<double>("relativeAllowance");
        QTest::newRow("counter flow") << int(Arrangement::CounterFlow) << 2e-4;
        QTest::newRow("cross flow") << int(Arrangement::CrossFlow) << 3e-3;
    }
    void modelReproducesWindows() {
        QFETCH(int, arrangement);
        QFETCH(double, relativeAllowance);
        const Arrangement a = Arrangement(arrangement);
        fixture->start();
        calculateChain(fixture->windows(), a);
        QVERIFY2(fixture->desktop().messages.isEmpty(),
                 qPrintable(fixture->desktop().messageTexts().join(QLatin1Char('\n'))));
        const Evaluation e = evaluate(
            a, caseFromInputs(UncertaintyWindow::calculatedValues(fixture->windows().audit(), a)));
        QCOMPARE(e.problemsDone, 4);
        for (int r = 0; r < kResultCount; ++r) {
            const QString text = windowText(fixture->windows(), a, r);
            const auto shown = numtext::readNumber(text);
            QVERIFY2(shown, qPrintable(QLatin1String(resultInfo(r).column)));
            const int decimals = text.size() - text.indexOf(QLatin1Char('.')) - 1;
            const double halfUnit = 0.5 * std::pow(10.0, -decimals);
            const bool exact = resultInfo(r).problem == 1 && (r == Heat || r == Range);
            const double allowed =
                halfUnit * 1.0001 + (exact ? 0 : relativeAllowance * std::fabs(*shown));
            QVERIFY2(std::fabs(e.results[r] - *shown) <= allowed,
                     qPrintable(QStringLiteral("%1: window %2, model %3")
                                    .arg(QLatin1String(resultInfo(r).column), text)
                                    .arg(e.results[r], 0, 'g', 10)));
        }
    }

    // The toolbar button opens the window on the arrangement of the start window and shows the
    // first-order figures: two significant digits, the thermometers' half shares, the verdict.
    void toolbarShowsFigures() {
        fixture->start();
        calculateChain(fixture->windows(), Arrangement::CounterFlow);
        calculateChain(fixture->windows(), Arrangement::CrossFlow);
        fixture->main().buttonClicked(QStringLiteral("Uncertainty"));
        UncertaintyWindow* w = fixture->windows().uncertaintyWindow();
        QSignalSpy spy(w, &UncertaintyWindow::finished);
        QVERIFY(waitFor(w, spy));
        QCOMPARE(fixture->main().mdiArea()->activeSubWindow()->widget(), w);
        QCOMPARE(w->lblArrangement->text(), QStringLiteral("COUNTER FLOW"));
        // The values as the windows show them, U from the model.
        QCOMPARE(resultCell(w, Range, 2), QStringLiteral("5.0"));
        QCOMPARE(resultCell(w, Range, 3), QStringLiteral("0.082"));
        QCOMPARE(resultCell(w, Range, 4), QStringLiteral("1.6"));
        QCOMPARE(resultCell(w, Range, 5), QStringLiteral("Tin 50, Tout 50"));
        QCOMPARE(resultCell(w, Heat, 2),
                 windowText(fixture->windows(), Arrangement::CounterFlow, Heat));
        QCOMPARE(resultCell(w, Heat, 3), QStringLiteral("59"));
        QCOMPARE(resultCell(w, DutyWaterFlow, 3), QStringLiteral("5.1"));
        QCOMPARE(w->tblResults->rowCount(), kResultCount);
        QVERIFY2(w->lblVerdict->text().contains(QStringLiteral("20.7 % +/- 5.0 %")) &&
                     w->lblVerdict->text().endsWith(QStringLiteral("above its design.")),
                 qPrintable(w->lblVerdict->text()));
        QVERIFY2(w->lblNotes->text().contains(QStringLiteral("last digit for: Heat capacity Qa. ")),
                 qPrintable(w->lblNotes->text()));
        QCOMPARE(w->lblMethod->text(),
                 QStringLiteral("Figures: first order (sensitivities), from Problems 1, 2, 3 and 4 "
                                "as last calculated."));

        // The cross-flow chain, once chosen in the start window.
        fixture->windows().startWindow()->crossFlowOption()->setChecked(true);
        fixture->main().buttonClicked(QStringLiteral("Uncertainty"));
        QVERIFY(waitFor(w, spy, 60000) || spy.count() == 2);
        QCOMPARE(w->lblArrangement->text(), QStringLiteral("CROSS FLOW"));
        QCOMPARE(resultCell(w, Heat, 3), QStringLiteral("40"));
        QVERIFY(w->lblVerdict->text().endsWith(QStringLiteral("below its design.")));
    }

    // The accuracies: prefilled from the hints, an edit is kept in the settings and read by
    // the next run, a refused edit goes back, and the button restores the hints.
    void accuraciesAreKept() {
        fixture->start();
        calculateChain(fixture->windows(), Arrangement::CounterFlow);
        UncertaintyWindow* w = fixture->windows().uncertaintyWindow();
        QCOMPARE(w->tblAccuracy->item(RelativeHumidity, 2)->text(), QStringLiteral("5"));
        QCOMPARE(w->tblAccuracy->item(RelativeHumidity, 3)->text(), QStringLiteral("% RH *"));
        QCOMPARE(w->tblAccuracy->item(WaterFlow, 3)->text(), QStringLiteral("% of reading"));

        w->tblAccuracy->item(WaterIn, 2)->setText(QStringLiteral("0.1"));
        QCOMPARE(w->accuracies()[WaterIn].value, 0.1);
        QCOMPARE(fixture->desktop().readSetting(applicationTitle(), QStringLiteral("Uncertainty"),
                                                QStringLiteral("WaterIn")),
                 QStringLiteral("0.1"));
        w->tblAccuracy->item(WaterOut, 2)->setText(QStringLiteral("-1"));
        QCOMPARE(fixture->desktop().messageTexts(),
                 QStringList{QStringLiteral(
                     "Invalid entries, an accuracy must be a number of zero or more")});
        QCOMPARE(w->tblAccuracy->item(WaterOut, 2)->text(), QStringLiteral("0.05"));
        QCOMPARE(w->tblAccuracy->item(WaterIn, 2)->text(), QStringLiteral("0.1"));

        // A later run of the program reads them back.
        fixture->windows().unload(QStringLiteral("Uncertainty"));
        w = fixture->windows().uncertaintyWindow();
        QCOMPARE(w->accuracies()[WaterIn].value, 0.1);
        QSignalSpy spy(w, &UncertaintyWindow::finished);
        w->calculate();
        QVERIFY(waitFor(w, spy));
        // u(range) = sqrt(0.1^2 + 0.05^2) / sqrt(3): U = 0.129 K.
        QCOMPARE(resultCell(w, Range, 3), QStringLiteral("0.13"));

        w->cmdRestore->click();
        QCOMPARE(w->tblAccuracy->item(WaterIn, 2)->text(), QStringLiteral("0.05"));
        QCOMPARE(fixture->desktop().readSetting(applicationTitle(), QStringLiteral("Uncertainty"),
                                                QStringLiteral("WaterIn")),
                 QStringLiteral("0.05"));
    }

    // Without a calculated Problem 1 a run is refused; a chain that fails for a perturbed input
    // is named, and the results it touches have no figure.
    void refusalsAndFailuresAreShown() {
        fixture->start();
        fixture->windows().startWindow()->crossFlowOption()->setChecked(true);
        UncertaintyWindow* w = fixture->windows().uncertaintyWindow();
        QSignalSpy spy(w, &UncertaintyWindow::finished);
        ProblemWindow* one = fixture->windows().problemWindow(Arrangement::CrossFlow, 1);
        w->follow();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(fixture->desktop().messageTexts(),
                 QStringList{QStringLiteral("Problem 1 of the cross flow has not been calculated: "
                                            "press CALCULATE in its window first. The uncertainty "
                                            "is stated for calculated results.")});
        QCOMPARE(w->tblResults->rowCount(), 0);
        fixture->desktop().messages.clear();

        // Needs an NTU near the search's last trial.
        one->findChild<QLineEdit*>(QStringLiteral("Text4"))->setText(QStringLiteral("25.6"));
        one->calculateButton()->click();
        QVERIFY(fixture->desktop().messages.isEmpty());
        w->calculate();
        QVERIFY(waitFor(w, spy));
        QCOMPARE(resultCell(w, Range, 3), QStringLiteral("0.082"));
        QCOMPARE(resultCell(w, Ntu, 3), QStringLiteral("not available"));
        QVERIFY2(w->lblNotes->text().contains(
                     QStringLiteral("Failed: Water temperature OUT 25.5711 oC: Problem 1: NTU "
                                    "search: no number of transfer units up to 495")),
                 qPrintable(w->lblNotes->text()));
        QVERIFY(w->lblVerdict->text().contains(QStringLiteral("no verdict")));
    }

    // Monte Carlo runs in a worker thread: the window answers meanwhile, shows progress, and
    // Cancel leaves the figures of the previous run; a completed run shows the comparison.
    void monteCarloCancelAndCompare() {
        fixture->start();
        calculateChain(fixture->windows(), Arrangement::CounterFlow);
        calculateChain(fixture->windows(), Arrangement::CrossFlow);
        fixture->windows().startWindow()->crossFlowOption()->setChecked(true);
        fixture->main().buttonClicked(QStringLiteral("Uncertainty"));
        UncertaintyWindow* w = fixture->windows().uncertaintyWindow();
        QSignalSpy spy(w, &UncertaintyWindow::finished);
        QVERIFY(waitFor(w, spy));
        const QString before = resultCell(w, Ntu, 3);

        w->optMonteCarlo->setChecked(true);
        w->calculate();
        QVERIFY(w->isRunning());
        QVERIFY(w->progress->isVisible() || !w->isVisible());
        QVERIFY(!w->calculateButton->isEnabled() && w->cmdCancel->isEnabled());
        QTest::qWait(300);
        w->cmdCancel->click();
        QVERIFY(spy.wait(30000));
        QVERIFY(!w->isRunning() && w->calculateButton->isEnabled());
        QVERIFY(w->lblNotes->text().startsWith(QStringLiteral("Monte Carlo cancelled after")));
        QCOMPARE(resultCell(w, Ntu, 3), before);

        fixture->windows().startWindow()->counterFlowOption()->setChecked(true);
        w->follow();
        QVERIFY(spy.wait(60000));
        QCOMPARE(w->lblArrangement->text(), QStringLiteral("COUNTER FLOW"));
        QCOMPARE(resultCell(w, Range, 3), QStringLiteral("0.082"));
        QCOMPARE(resultCell(w, Range, 6), QStringLiteral("first order U 0.082"));
        // The run stopped by itself, in whole batches, and says how many draws it took.
        const QRegularExpression drew(
            QStringLiteral("Monte Carlo: (\\d+) draws in (\\d+) batches, U stable to two "
                           "significant digits."));
        const QRegularExpressionMatch m = drew.match(w->lblNotes->text());
        QVERIFY2(m.hasMatch(), qPrintable(w->lblNotes->text()));
        QCOMPARE(m.captured(1).toInt(), m.captured(2).toInt() * w->monteCarloBatch);
        QVERIFY(m.captured(1).toInt() < w->monteCarloCap);
        // The Check column is filled now, and still fits.
        checkColumnsFit(w);
    }
    // At the window's default size the table's columns fit; the deviation's U [%] is in
    // percentage points and the line beside the table says what U is. Ctrl+C and the context
    // menu copy the selected rows (or all) with the header, tab-separated, as shown.
    void resultsFitAndCopy() {
        fixture->start();
        calculateChain(fixture->windows(), Arrangement::CounterFlow);
        fixture->main().buttonClicked(QStringLiteral("Uncertainty"));
        UncertaintyWindow* w = fixture->windows().uncertaintyWindow();
        QSignalSpy spy(w, &UncertaintyWindow::finished);
        QVERIFY(waitFor(w, spy));
        QVERIFY(w->isVisible());
        checkColumnsFit(w);
        QCOMPARE(resultCell(w, DesignDeviation, 4), resultCell(w, DesignDeviation, 3) + " pp");
        QCOMPARE(resultCell(w, Range, 4), QStringLiteral("1.6"));
        QVERIFY(w->lblMeaning->isVisible());
        for (const char* words : {"expanded", "k = 2", "accuracies only", "percentage points"})
            QVERIFY2(w->lblMeaning->text().contains(QLatin1String(words)), words);

        const QString header = "P\tResult\tValue\tU (k = 2)\tU [%]\tShares [%]\tCheck";
        QStringList lines = w->resultsText().split(u'\n');
        QCOMPARE(lines.takeLast(), QString()); // ends with a line break
        QCOMPARE(lines.size(), w->tblResults->rowCount() + 1);
        QCOMPARE(lines.first(), header);
        const QStringList range = lines.filter(QLatin1String(resultInfo(Range).label));
        QCOMPARE(range.size(), 1);
        QCOMPARE(range.first().split(u'\t').mid(2, 4),
                 (QStringList{"5.0", "0.082", "1.6", "Tin 50, Tout 50"}));

        // The selected rows only, in the table's order, whichever was selected first.
        w->tblResults->clearSelection();
        w->tblResults->setSelectionMode(QAbstractItemView::MultiSelection);
        w->tblResults->selectRow(3);
        w->tblResults->selectRow(1);
        const QStringList selected = w->resultsText().split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(selected, (QStringList{header, lines[2], lines[4]}));

        QApplication::clipboard()->clear();
        w->tblResults->setFocus();
        QTest::keyClick(w->tblResults, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), w->resultsText());
        QApplication::clipboard()->clear();
        const QList<QAction*> menu = w->tblResults->actions();
        QCOMPARE(w->tblResults->contextMenuPolicy(), Qt::ActionsContextMenu);
        QCOMPARE(menu.size(), 1);
        QCOMPARE(menu.first()->text(), QStringLiteral("Copy"));
        menu.first()->trigger();
        QCOMPARE(QApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts), selected);
    }

    // Problems out of date are left out, and the figures come from the texts of each current
    // Problem's last CALCULATE, so they are the windows' numbers whatever the fields hold now.
    void onlyCurrentProblemsCount() {
        fixture->start();
        Windows& windows = fixture->windows();
        calculateChain(windows, Arrangement::CounterFlow);
        fixture->main().buttonClicked(QStringLiteral("Uncertainty"));
        UncertaintyWindow* w = windows.uncertaintyWindow();
        QSignalSpy spy(w, &UncertaintyWindow::finished);
        QVERIFY(waitFor(w, spy));
        QCOMPARE(problemsShown(w), (QSet<int>{1, 2, 3, 4}));

        recalculateProblemOne(windows, Arrangement::CounterFlow);
        // The figures went with the calculation they belonged to.
        QCOMPARE(w->tblResults->rowCount(), 0);
        QVERIFY(w->lblVerdict->text().isEmpty());
        QVERIFY2(w->lblMethod->text().startsWith(
                     QStringLiteral("No figures: the Problems' calculations have changed")),
                 qPrintable(w->lblMethod->text()));

        // A field typed into but not calculated does not count.
        QLineEdit* waterFlow = windows.problemWindow(Arrangement::CounterFlow, 1)
                                   ->findChild<QLineEdit*>(QStringLiteral("Text1"));
        const QString calculatedFlow = waterFlow->text();
        waterFlow->setText(QStringLiteral("150"));
        w->calculate();
        QVERIFY(waitFor(w, spy));
        QCOMPARE(problemsShown(w), QSet<int>{1});
        QCOMPARE(w->lblMethod->text(),
                 QStringLiteral("Figures: first order (sensitivities), from Problem 1 as last "
                                "calculated. Problems 2, 3 and 4 are out of date, left out."));
        QCOMPARE(w->tblAccuracy->item(WaterFlow, 1)->text(), QStringLiteral("100"));
        QVERIFY(std::fabs(resultCell(w, Ntu, 2).toDouble() -
                          windowText(windows, Arrangement::CounterFlow, Ntu).toDouble()) <=
                resultCell(w, Ntu, 3).toDouble());
        waterFlow->setText(calculatedFlow);

        // Problem 2 calculated again counts again; its result is the window's.
        windows.problemWindow(Arrangement::CounterFlow, 2)->calculateButton()->click();
        w->calculate();
        QVERIFY(waitFor(w, spy));
        QCOMPARE(problemsShown(w), (QSet<int>{1, 2}));
        QVERIFY2(w->lblMethod->text().endsWith(
                     QStringLiteral("from Problems 1 and 2 as last calculated. Problems 3 and 4 "
                                    "are out of date, left out.")),
                 qPrintable(w->lblMethod->text()));
        const double shownQa =
            windowText(windows, Arrangement::CounterFlow, HeatAchieved).toDouble();
        QVERIFY(std::fabs(resultCell(w, HeatAchieved, 2).toDouble() - shownQa) <=
                std::fabs(resultCell(w, HeatAchieved, 3).toDouble()));
        QVERIFY(!w->lblVerdict->text().isEmpty());
    }

    // Figures and verdict go when what they were calculated from changes: the accuracies
    // (edited, or the hints' restored), a Problem calculated again, a restored state. Figures
    // that still belong stay.
    void figuresBelongToTheirBasis_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("cleared");
        QTest::newRow("hints' accuracies restored") << "restore" << true;
        QTest::newRow("an accuracy edited") << "edit" << true;
        QTest::newRow("Problem 1 calculated again") << "recalculate" << true;
        QTest::newRow("an earlier state restored") << "undo" << true;
        QTest::newRow("a field typed into") << "type" << false;
        QTest::newRow("the accuracy retyped as it was") << "same" << false;
    }
    void figuresBelongToTheirBasis() {
        QFETCH(QString, change);
        QFETCH(bool, cleared);
        fixture->start();
        Windows& windows = fixture->windows();
        const engine::Audit::State before = windows.audit().state();
        calculateChain(windows, Arrangement::CounterFlow);
        UncertaintyWindow* w = windows.uncertaintyWindow();
        w->tblAccuracy->item(RelativeHumidity, 2)->setText(QStringLiteral("2"));
        QSignalSpy spy(w, &UncertaintyWindow::finished);
        w->calculate();
        QVERIFY(waitFor(w, spy));
        const QString verdict = w->lblVerdict->text();
        QVERIFY(!verdict.isEmpty() && w->tblResults->rowCount() == kResultCount);

        if (change == QLatin1String("restore"))
            w->cmdRestore->click();
        else if (change == QLatin1String("edit"))
            w->tblAccuracy->item(WaterIn, 2)->setText(QStringLiteral("0.1"));
        else if (change == QLatin1String("recalculate"))
            recalculateProblemOne(windows, Arrangement::CounterFlow);
        else if (change == QLatin1String("undo")) {
            windows.audit().restore(before);
            windows.pullTexts();
        } else if (change == QLatin1String("type"))
            windows.problemWindow(Arrangement::CounterFlow, 3)
                ->findChild<QLineEdit*>(QStringLiteral("Text18"))
                ->setText(QStringLiteral("150"));
        else
            w->tblAccuracy->item(RelativeHumidity, 2)->setText(QStringLiteral("2.0"));
        QVERIFY(fixture->desktop().messages.isEmpty());

        QCOMPARE(w->tblResults->rowCount(), cleared ? 0 : kResultCount);
        QCOMPARE(w->lblVerdict->text(), cleared ? QString() : verdict);
        QCOMPARE(w->lblMethod->text().startsWith(QStringLiteral("No figures: ")), cleared);
    }

    // While a run works only its progress shows; figures that the audit left behind during the
    // run are not shown when it ends, nor are the previous ones brought back by a Cancel.
    void duringARunOnlyProgressShows() {
        fixture->start();
        Windows& windows = fixture->windows();
        calculateChain(windows, Arrangement::CounterFlow);
        fixture->main().buttonClicked(QStringLiteral("Uncertainty"));
        UncertaintyWindow* w = windows.uncertaintyWindow();
        QSignalSpy spy(w, &UncertaintyWindow::finished);
        QVERIFY(waitFor(w, spy));
        QVERIFY(w->tblResults->rowCount() > 0);

        w->optMonteCarlo->setChecked(true);
        w->calculate();
        QVERIFY(w->isRunning());
        QCOMPARE(w->tblResults->rowCount(), 0);
        QVERIFY(w->lblVerdict->text().isEmpty() && w->lblNotes->text().isEmpty());
        QCOMPARE(w->lblMethod->text(),
                 QStringLiteral("Calculating: Monte Carlo, batches of 2000 draws until the "
                                "figures are stable ..."));
        QVERIFY(w->progress->isVisible());
        QVERIFY(spy.wait(60000));
        QCOMPARE(w->tblResults->rowCount(), kResultCount);
        QVERIFY2(QRegularExpression(QStringLiteral("^Figures: Monte Carlo, \\d+ draws, from "
                                                   "Problems 1, 2, 3 and 4 as last calculated.$"))
                     .match(w->lblMethod->text())
                     .hasMatch(),
                 qPrintable(w->lblMethod->text()));

        // The audit changes during a run: its figures are not shown.
        w->calculate();
        recalculateProblemOne(windows, Arrangement::CounterFlow);
        QVERIFY(w->isRunning());
        QVERIFY(spy.wait(60000));
        QCOMPARE(w->tblResults->rowCount(), 0);
        QVERIFY(w->lblVerdict->text().isEmpty());
        QVERIFY2(w->lblMethod->text().contains(QStringLiteral("changed while the calculation ran")),
                 qPrintable(w->lblMethod->text()));
    }
};

QTEST_MAIN(TestUncertaintyWindow)
#include "tst_uncertaintywindow.moc"
