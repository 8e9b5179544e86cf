// The Diagram window in the running program: what it says before any calculation, which
// Problem it shows (the last active one) and that it follows every CALCULATE; what it draws is
// what was calculated (the operating line is the integration's nodes and ends at the window's
// inlet and outlet air enthalpies, the maps are the sweep's cells, the characteristic passes
// through Problem 1's point with the scaling exponent as slope); and its export.

#include "app/windows.h"
#include "diagrams/characteristicplot.h"
#include "diagrams/fillmapplot.h"
#include "diagrams/merkelplot.h"
#include "diagrams/plotstyle.h"
#include "engine/audit.h"
#include "engine/numtext.h"
#include "support/guifixture.h"
#include "ui/diagramwindow.h"
#include "ui/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QSvgRenderer>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// A Problem window's CALCULATE and the button that leads on to the next Problem.
struct ChainStep {
    const char* form;
    const char* goOn;
};
constexpr ChainStep kCounterFlow[4] = {
    {"Form5", "Command2"}, {"Form2", "Command3"}, {"Form10", "Command3"}, {"Form3", nullptr}};
constexpr ChainStep kCrossFlow[4] = {
    {"Form8", "Command3"}, {"Form6", "Command3"}, {"Form9", "Command2"}, {"Form4", nullptr}};

double shown(const QString& text) {
    const auto value = numtext::readNumber(text);
    return value ? *value : std::nan("");
}

} // namespace

class TestDiagramWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void saysWhatToDoBeforeAnyCalculation();
    void followsTheLastActiveProblemAndEveryCalculate();
    void operatingLineIsTheIntegration_data();
    void operatingLineIsTheIntegration();
    void mapsAreTheSweep_data();
    void mapsAreTheSweep();
    void characteristicThroughProblemOne_data();
    void characteristicThroughProblemOne();
    void exportsTheShownDiagram_data();
    void exportsTheShownDiagram();
    void outOfDateProblemsFollowTheAudit();
    void narrowWindowShowsTheWholeTitle_data();
    void narrowWindowShowsTheWholeTitle();

private:
    // Presses CALCULATE in Problems 1 to `upTo` of an arrangement (with the windows' default
    // inputs), leading on from each to the next as the engineer does.
    void calculate(bool counterFlow, int upTo);
    QWidget* form(const char* name) { return fixture_->windows().form(QString::fromLatin1(name)); }
    QString text(bool counterFlow, int problem, const char* control) {
        return fixture_->windows().audit().text(
            counterFlow ? Arrangement::CounterFlow : Arrangement::CrossFlow, problem, control);
    }
    DiagramWindow* openDiagram();

    std::unique_ptr<GuiFixture> fixture_;
};

void TestDiagramWindow::init() {
    fixture_ = std::make_unique<GuiFixture>();
    fixture_->start();
}

void TestDiagramWindow::cleanup() {
    QVERIFY(fixture_->checkNoDialogs());
    fixture_.reset();
}

void TestDiagramWindow::calculate(bool counterFlow, int upTo) {
    const ChainStep* chain = counterFlow ? kCounterFlow : kCrossFlow;
    fixture_->show(form(chain[0].form));
    for (int k = 0; k < upTo; ++k) {
        QWidget* w = form(chain[k].form);
        w->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        QVERIFY2(fixture_->desktop().messages.isEmpty(),
                 qPrintable(fixture_->desktop().messageTexts().join(u'|')));
        if (k + 1 < upTo) {
            w->findChild<QPushButton*>(QString::fromLatin1(chain[k].goOn))->click();
            QCoreApplication::processEvents();
        }
    }
}

DiagramWindow* TestDiagramWindow::openDiagram() {
    for (QAction* a : fixture_->main().toolBar()->actions())
        if (a->data().toString() == QLatin1String("Diagram"))
            a->trigger();
    QCoreApplication::processEvents();
    return fixture_->windows().diagramWindow();
}

void TestDiagramWindow::saysWhatToDoBeforeAnyCalculation() {
    DiagramWindow* diagram = openDiagram();
    // A child window like the others, at their place and size, active.
    QMdiSubWindow* sub = fixture_->main().mdiArea()->activeSubWindow();
    QVERIFY(sub);
    QCOMPARE(sub->widget(), static_cast<QWidget*>(diagram));
    QCOMPARE(sub->geometry(), QRect(0, 0, 940, 620));
    QCOMPARE(diagram->windowTitle(), QStringLiteral("Diagram"));
    QVERIFY(diagram->lblHint->isVisible());
    QVERIFY(diagram->lblHint->text().contains(QStringLiteral("CALCULATE")));
    QVERIFY(!diagram->cmdExport->isEnabled());
    QVERIFY(!diagram->currentPlot());

    QCOMPARE(diagram->lblTitle->text(), QStringLiteral("Diagram"));
    // A Problem window opened but not calculated: the hint and the heading name it.
    fixture_->show(form("Form6"));
    QVERIFY(diagram->lblHint->text().startsWith(
        QStringLiteral("Problem 2, cross flow, has not been calculated yet")));
    QCOMPARE(diagram->lblTitle->text(), QStringLiteral("Problem 2, cross flow"));
    // Nothing of the Problem windows changed by the Diagram window being there.
    QVERIFY(fixture_->windows().isLoaded(QStringLiteral("frmDiagram")));
}

void TestDiagramWindow::followsTheLastActiveProblemAndEveryCalculate() {
    DiagramWindow* diagram = openDiagram();
    calculate(true, 1);
    QCOMPARE(diagram->lblTitle->text(), QStringLiteral("Problem 1, counter flow"));
    QCOMPARE(diagram->tabs->count(), 1);
    QCOMPARE(diagram->currentPlot(), static_cast<QCustomPlot*>(diagram->merkel));

    // Another CALCULATE of the same window redraws at once.
    const double outletBefore = diagram->merkel->operatingGraph()->data()->at(25)->value;
    auto* water = form("Form5")->findChild<QLineEdit*>(QStringLiteral("Text1"));
    water->setText(QStringLiteral("120"));
    form("Form5")->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    const double outlet = diagram->merkel->operatingGraph()->data()->at(25)->value;
    QVERIFY(std::abs(outlet - outletBefore) > 1);
    QVERIFY(std::abs(outlet - shown(text(true, 1, "lbl15"))) <= 0.005 + 1e-9);

    // On through Problem 3: its diagrams, with the characteristic.
    form("Form5")->findChild<QPushButton*>(QStringLiteral("Command2"))->click();
    QCoreApplication::processEvents();
    form("Form2")->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    form("Form2")->findChild<QPushButton*>(QStringLiteral("Command3"))->click();
    QCoreApplication::processEvents();
    form("Form10")->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    QVERIFY2(fixture_->desktop().messages.isEmpty(),
             qPrintable(fixture_->desktop().messageTexts().join(u'|')));
    QCOMPARE(diagram->lblTitle->text(), QStringLiteral("Problem 3, counter flow"));
    QCOMPARE(diagram->tabs->count(), 2);
    QCOMPARE(diagram->tabs->tabText(1), QStringLiteral("Tower characteristic"));

    // The Diagram window itself becoming active keeps the Problem it shows; activating another
    // Problem window shows that one.
    fixture_->show(diagram);
    QCOMPARE(diagram->lblTitle->text(), QStringLiteral("Problem 3, counter flow"));
    fixture_->show(form("Form5"));
    QCOMPARE(diagram->lblTitle->text(), QStringLiteral("Problem 1, counter flow"));

    // The other arrangement: its maps.
    calculate(false, 1);
    QCOMPARE(diagram->lblTitle->text(), QStringLiteral("Problem 1, cross flow"));
    QCOMPARE(diagram->tabs->count(), 3);
    QCOMPARE(diagram->tabs->tabText(0), QStringLiteral("Water temperature"));
}

void TestDiagramWindow::operatingLineIsTheIntegration_data() {
    QTest::addColumn<int>("problem");
    QTest::addColumn<QString>("ntuLabel");
    QTest::addColumn<QString>("heatControl");
    QTest::newRow("Problem 1") << 1 << "lbl2"
                               << "lbl10";
    QTest::newRow("Problem 2") << 2 << "l2"
                               << "l4";
    QTest::newRow("Problem 3") << 3 << "l21"
                               << "l22";
    QTest::newRow("Problem 4") << 4 << "l28"
                               << "Text1";
}

void TestDiagramWindow::operatingLineIsTheIntegration() {
    QFETCH(int, problem);
    QFETCH(QString, ntuLabel);
    QFETCH(QString, heatControl);
    calculate(true, problem);
    DiagramWindow* diagram = openDiagram();
    QCOMPARE(diagram->lblTitle->text(), QStringLiteral("Problem %1, counter flow").arg(problem));

    const auto& nodes = fixture_->windows().audit().trace(Arrangement::CounterFlow, problem).nodes;
    const QCPGraphDataContainer& line = *diagram->merkel->operatingGraph()->data();
    QCOMPARE(line.size(), 26);
    QCOMPARE(int(nodes.size()), 26);
    for (int i = 0; i < line.size(); ++i) {
        QCOMPARE(line.at(i)->key, nodes[std::size_t(i)].waterTemp);
        QCOMPARE(line.at(i)->value, nodes[std::size_t(i)].airEnthalpy);
    }
    if (problem == 1) {
        // The line runs from the window's inlet air to its outlet air, as the labels show them,
        // and from the outlet water temperature to the inlet one.
        QVERIFY(std::abs(line.at(0)->value - shown(text(true, 1, "lbl11"))) <= 0.005 + 1e-9);
        QVERIFY(std::abs(line.at(25)->value - shown(text(true, 1, "lbl15"))) <= 0.005 + 1e-9);
        QVERIFY(std::abs(line.at(0)->key - shown(text(true, 1, "Text4"))) <= 0.005 + 1e-9);
        QVERIFY(std::abs(line.at(25)->key - shown(text(true, 1, "Text3"))) <= 0.005 + 1e-9);
    }
    const QString title = plotstyle::title(diagram->merkel);
    QVERIFY2(title.contains(QStringLiteral("Problem %1").arg(problem)), qPrintable(title));
    QVERIFY2(title.contains(QStringLiteral("NTU ") +
                            text(true, problem, ntuLabel.toLatin1().constData())),
             qPrintable(title));
    QVERIFY2(title.contains(QStringLiteral("heat capacity ") +
                            text(true, problem, heatControl.toLatin1().constData())),
             qPrintable(title));
    // The air stays below saturation along the whole line: the shaded force is positive.
    for (int i = 0; i < line.size(); ++i)
        QVERIFY(nodes[std::size_t(i)].saturatedEnthalpy > line.at(i)->value);
}

void TestDiagramWindow::mapsAreTheSweep_data() {
    QTest::addColumn<int>("problem");
    for (int problem = 1; problem <= 4; ++problem)
        QTest::newRow(qPrintable(QStringLiteral("Problem %1").arg(problem))) << problem;
}

void TestDiagramWindow::mapsAreTheSweep() {
    QFETCH(int, problem);
    calculate(false, problem);
    DiagramWindow* diagram = openDiagram();
    QCOMPARE(diagram->lblTitle->text(), QStringLiteral("Problem %1, cross flow").arg(problem));
    const auto& cells = fixture_->windows().audit().trace(Arrangement::CrossFlow, problem).cells;
    QCOMPARE(int(cells.size()), 400);

    struct Corner {
        int row, column;
    };
    const Corner corners[] = {{0, 0}, {0, 19}, {19, 0}, {19, 19}};
    for (FillMapPlot* map : {diagram->waterMap, diagram->enthalpyMap, diagram->dryBulbMap}) {
        diagram->tabs->setCurrentWidget(map);
        QCOMPARE(diagram->currentPlot(), static_cast<QCustomPlot*>(map));
        map->replot();
        for (const Corner& c : corners) {
            const auto& cell = cells[std::size_t(c.row * 20 + c.column)];
            const double expected = map == diagram->waterMap      ? cell.waterTemp
                                    : map == diagram->enthalpyMap ? cell.airEnthalpy
                                                                  : cell.airDryBulb;
            QCOMPARE(map->colorMap()->data()->cell(c.column, c.row), expected);
            // The pointer over the cell tells its value.
            const QPointF at(map->xAxis->coordToPixel(c.column + 1),
                             map->yAxis->coordToPixel(c.row + 1));
            QMouseEvent move(QEvent::MouseMove, at, map->mapToGlobal(at), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(map, &move);
            QCOMPARE(map->hoverText(),
                     QStringLiteral("Row %1, column %2: %3 %4")
                         .arg(c.row + 1)
                         .arg(c.column + 1)
                         .arg(QLocale().toString(expected, 'f', 2))
                         .arg(map == diagram->enthalpyMap ? QStringLiteral("kJ/kg")
                                                          : QStringLiteral("°C")));
        }
    }
    // Water enters at the top: the top row is warmer than the bottom row; air enters at the
    // left: the left column's air is poorer in enthalpy than the right one's.
    QVERIFY(cells[0].waterTemp > cells[19 * 20].waterTemp);
    QVERIFY(cells[0].airEnthalpy < cells[19].airEnthalpy);
}

void TestDiagramWindow::characteristicThroughProblemOne_data() {
    QTest::addColumn<bool>("counterFlow");
    QTest::addColumn<int>("problem");
    for (const bool counterFlow : {true, false})
        for (int problem = 2; problem <= 4; ++problem)
            QTest::newRow(qPrintable(QStringLiteral("%1, Problem %2")
                                         .arg(counterFlow ? "counter flow" : "cross flow")
                                         .arg(problem)))
                << counterFlow << problem;
}

void TestDiagramWindow::characteristicThroughProblemOne() {
    QFETCH(bool, counterFlow);
    QFETCH(int, problem);
    calculate(counterFlow, problem);
    DiagramWindow* diagram = openDiagram();
    diagram->tabs->setCurrentWidget(diagram->characteristic);
    QCOMPARE(diagram->currentPlot(), static_cast<QCustomPlot*>(diagram->characteristic));

    // Problem 1's point from its window's texts.
    const double ntu1 = shown(text(counterFlow, 1, "lbl2"));
    const double l1 = shown(text(counterFlow, 1, "Text1"));
    const double g1 = shown(text(counterFlow, 1, "Text8"));
    const QCPGraph* one = diagram->characteristic->pointGraph(1);
    QVERIFY(one);
    QCOMPARE(one->data()->at(0)->key, l1 / g1);
    QCOMPARE(one->data()->at(0)->value, ntu1 / l1);

    // The line passes through it with the slope -0.72 on the log axes.
    const QCPGraphDataContainer& line = *diagram->characteristic->lineGraph()->data();
    const double x0 = line.at(0)->key, y0 = line.at(0)->value;
    const double x1 = line.at(line.size() - 1)->key, y1 = line.at(line.size() - 1)->value;
    QVERIFY(std::abs(std::log(y1 / y0) / std::log(x1 / x0) + 0.72) < 1e-9);
    QVERIFY(std::abs(y0 * std::pow((l1 / g1) / x0, -0.72) / (ntu1 / l1) - 1) < 1e-9);

    // The later Problems' points up to the shown one, each labelled; those of Problems 3 and 4
    // (whose NTU the same law scales) lie on the line within the rounding of the shown NTU.
    for (int k = 2; k <= 4; ++k) {
        const QCPGraph* point = diagram->characteristic->pointGraph(k);
        QCOMPARE(point != nullptr, k <= problem);
        if (!point)
            continue;
        QVERIFY(diagram->characteristic->pointLabel(k).startsWith(QString::number(k) + u':'));
        const double x = point->data()->at(0)->key, y = point->data()->at(0)->value;
        const double onLine = (ntu1 / l1) * std::pow(x / (l1 / g1), -0.72);
        // Problem 2's point is the line itself at the design flows, and says so.
        if (k == 2) {
            QVERIFY(diagram->characteristic->pointLabel(k).startsWith(
                QStringLiteral("2: line at the design flows ")));
            QVERIFY(std::abs(y / onLine - 1) < 1e-9);
        }
        if (k >= 3)
            QVERIFY2(std::abs(y / onLine - 1) < 0.01,
                     qPrintable(QStringLiteral("%1 vs %2").arg(y).arg(onLine)));
        QVERIFY(diagram->characteristic->xAxis->range().contains(x));
        QVERIFY(diagram->characteristic->yAxis->range().contains(y));
    }

    // Both log axes carry a labelled tick at (or within a tenth of a decade of) each end.
    diagram->characteristic->replot();
    for (QCPAxis* axis : {diagram->characteristic->xAxis, diagram->characteristic->yAxis}) {
        const QVector<double> ticks = axis->tickVector();
        const QVector<QString> labels = axis->tickVectorLabels();
        QVERIFY(ticks.size() >= 2);
        QCOMPARE(labels.size(), ticks.size());
        for (double end : {axis->range().lower, axis->range().upper}) {
            const auto labelled = std::find_if(ticks.begin(), ticks.end(), [&](double t) {
                return std::abs(std::log10(t / end)) < 0.1 + 1e-9;
            });
            QVERIFY2(labelled != ticks.end(), qPrintable(QString::number(end)));
            QVERIFY(!labels[labelled - ticks.begin()].isEmpty());
        }
    }
}

void TestDiagramWindow::exportsTheShownDiagram_data() {
    QTest::addColumn<QString>("answer");  // what the file dialog answers
    QTest::addColumn<int>("format");      // the context menu's format; -1: the button
    QTest::addColumn<QString>("written"); // the file written, empty for none
    QTest::addColumn<QString>("message"); // the start of the message shown, if any
    QTest::newRow("button, png") << "a.png" << -1 << "a.png"
                                 << "";
    QTest::newRow("button, no suffix: png") << "b" << -1 << "b.png"
                                            << "";
    QTest::newRow("button, pdf") << "c.pdf" << -1 << "c.pdf"
                                 << "";
    QTest::newRow("menu, svg") << "d.svg" << int(diagramexport::Format::Svg) << "d.svg"
                               << "";
    QTest::newRow("menu, pdf, other suffix")
        << "e.png" << int(diagramexport::Format::Pdf) << "e.png.pdf"
        << "";
    QTest::newRow("cancelled") << "" << -1 << ""
                               << "";
    QTest::newRow("unwritable") << "/nonexistent-folder/f.svg" << -1 << ""
                                << "The diagram could not be written";
}

void TestDiagramWindow::exportsTheShownDiagram() {
    QFETCH(QString, answer);
    QFETCH(int, format);
    QFETCH(QString, written);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    calculate(true, 1);
    DiagramWindow* diagram = openDiagram();
    QVERIFY(diagram->cmdExport->isEnabled());
    fixture_->desktop().saveFileAnswer =
        answer.isEmpty() || answer.startsWith(u'/') ? answer : dir.filePath(answer);
    if (format < 0)
        diagram->cmdExport->click();
    else
        diagram->exportWithDialog(static_cast<diagramexport::Format>(format));
    QCOMPARE(fixture_->desktop().fileDialogs.size(), 1);

    const QStringList files = QDir(dir.path()).entryList(QDir::Files);
    QCOMPARE(files, written.isEmpty() ? QStringList() : QStringList{written});
    if (message.isEmpty()) {
        QVERIFY(fixture_->desktop().messages.isEmpty());
    } else {
        QCOMPARE(fixture_->desktop().messages.size(), 1);
        QVERIFY(fixture_->desktop().messages.first().text.startsWith(message));
    }
    // The window on screen is laid out for the screen again after the export.
    QCOMPARE(diagram->merkel->viewport().size(), diagram->merkel->size());
}

// Problem 1 calculated again after Problems 1 to 4: Problem 4's diagrams say they are out of
// date, and its characteristic draws the points of Problems 2 to 4 as such; a restored state
// (as undo restores one) is drawn again as it is.
void TestDiagramWindow::outOfDateProblemsFollowTheAudit() {
    DiagramWindow* diagram = openDiagram();
    calculate(true, 4);
    QCOMPARE(diagram->lblTitle->text(), QStringLiteral("Problem 4, counter flow"));
    const engine::Audit::State allCurrent = fixture_->windows().audit().state();

    fixture_->show(form("Form5"));
    form("Form5")->findChild<QLineEdit*>(QStringLiteral("Text8"))->setText(QStringLiteral("100"));
    form("Form5")->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    QCOMPARE(diagram->lblTitle->text(), QStringLiteral("Problem 1, counter flow"));
    fixture_->show(form("Form3"));
    QCOMPARE(diagram->lblTitle->text(), QStringLiteral("Problem 4, counter flow (out of date)"));
    QVERIFY(plotstyle::title(diagram->merkel)
                .startsWith(QStringLiteral("Counter flow, Problem 4 (out of date): ")));
    for (int problem = 2; problem <= 4; ++problem)
        QVERIFY2(
            diagram->characteristic->pointLabel(problem).endsWith(QStringLiteral(" (out of date)")),
            qPrintable(diagram->characteristic->pointLabel(problem)));

    fixture_->windows().audit().restore(allCurrent);
    fixture_->windows().pullTexts();
    QCOMPARE(diagram->lblTitle->text(), QStringLiteral("Problem 4, counter flow"));
    for (int problem = 2; problem <= 4; ++problem)
        QVERIFY(
            !diagram->characteristic->pointLabel(problem).contains(QStringLiteral("out of date")));
}

void TestDiagramWindow::narrowWindowShowsTheWholeTitle_data() {
    QTest::addColumn<bool>("counterFlow");
    QTest::addColumn<int>("problem");
    QTest::addColumn<bool>("wraps"); // a title too wide for one line at 500 px
    QTest::newRow("counter flow, Problem 1") << true << 1 << true;
    QTest::newRow("cross flow, Problem 1") << false << 1 << false;
    QTest::newRow("counter flow, Problem 3") << true << 3 << true;
}

// At 500 px each diagram's title is drawn in lines within the plot, every word of it there.
void TestDiagramWindow::narrowWindowShowsTheWholeTitle() {
    QFETCH(bool, counterFlow);
    QFETCH(int, problem);
    QFETCH(bool, wraps);
    calculate(counterFlow, problem);
    DiagramWindow* diagram = openDiagram();
    QMdiSubWindow* sub = fixture_->main().mdiArea()->activeSubWindow();
    QCOMPARE(sub->widget(), static_cast<QWidget*>(diagram));
    sub->resize(500, 620);
    QCoreApplication::processEvents();
    int wrapped = 0; // the titles too wide for one line
    for (int tab = 0; tab < diagram->tabs->count(); ++tab) {
        diagram->tabs->setCurrentIndex(tab);
        auto* plot = static_cast<QCustomPlot*>(diagram->tabs->currentWidget());
        QVERIFY(plot->width() <= 500);
        plot->replot();
        const QString title = plotstyle::title(plot);
        const QString shown = plotstyle::shownTitle(plot);
        QFont bold = plot->font();
        bold.setBold(true);
        bold.setPointSizeF(bold.pointSizeF() * 1.1);
        const QFontMetrics metrics(bold);
        const bool tooWide =
            std::ranges::any_of(title.split(QLatin1Char('\n')), [&](const QString& line) {
                return metrics.horizontalAdvance(line) > plot->width();
            });
        QCOMPARE(shown.count(QLatin1Char('\n')) > title.count(QLatin1Char('\n')), tooWide);
        wrapped += tooWide ? 1 : 0;
        QCOMPARE(shown.simplified(), title.simplified());
        for (const QString& line : shown.split(QLatin1Char('\n')))
            QVERIFY2(metrics.horizontalAdvance(line) <= plot->width(), qPrintable(line));
        // The axis rect keeps the room below the title's lines.
        QVERIFY(plot->axisRect()->outerRect().top() >=
                metrics.height() * (shown.count(QLatin1Char('\n')) + 1));
    }
    QCOMPARE(wrapped > 0, wraps);
}

QTEST_MAIN(TestDiagramWindow)
#include "tst_diagramwindow.moc"
