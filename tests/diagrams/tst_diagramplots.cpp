// The diagram widgets and their export, fed with plain data (the Diagram window's test checks
// them against real calculations): the saturation curve and the shaded driving force, the
// map's orientation, colour bar and the value under the pointer, and exports that are valid
// files of the asked size.

#include "core/psychro.h"
#include "diagrams/capabilityplot.h"
#include "diagrams/diagramexport.h"
#include "diagrams/fanhoursplot.h"
#include "diagrams/fillmapplot.h"
#include "diagrams/merkelplot.h"
#include "diagrams/plotstyle.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <csignal>
#include <sys/resource.h>

namespace {

diagrams::MerkelDiagram sampleMerkel() {
    diagrams::MerkelDiagram m;
    m.problem = 1;
    m.ntuText = "1.47";
    m.heatText = "2095.00";
    m.pressure = 1.0;
    for (int i = 0; i <= 25; ++i)
        m.operatingLine.push_back({33 + 0.2 * i, 55.0 + 0.93 * i});
    return m;
}

// Cells whose values tell their place: water 30 + row + column / 100, air enthalpy
// 50 + column + row / 100, dry bulb 25 + (row + column) / 10.
diagrams::FillMaps sampleMaps() {
    diagrams::FillMaps maps;
    maps.problem = 4;
    maps.ntuText = "3.10";
    maps.heatText = "1500.00";
    for (int row = 0; row < maps.size; ++row)
        for (int column = 0; column < maps.size; ++column)
            maps.cells.push_back(
                {30 + row + column / 100.0, 50 + column + row / 100.0, 25 + (row + column) / 10.0});
    return maps;
}

// The widget position of a plot coordinate.
QPointF pixelOf(const QCustomPlot& plot, double x, double y) {
    return {plot.xAxis->coordToPixel(x), plot.yAxis->coordToPixel(y)};
}

} // namespace

class TestDiagramPlots : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void merkelDrawsTheOperatingLineAndSaturation();
    void fillMapDrawsTheCellsWithWaterAtTheTop_data();
    void fillMapDrawsTheCellsWithWaterAtTheTop();
    void exportWritesFilesOfTheAskedSize_data();
    void exportWritesFilesOfTheAskedSize();
    void exportToAnUnwritablePlaceFails();
    void titleFitsTheWidth_data();
    void titleFitsTheWidth();
    void capabilityKeepsValidLogAxes_data();
    void capabilityKeepsValidLogAxes();
    void fanHoursLeavesOutWhatIsNotFinite();
};

void TestDiagramPlots::merkelDrawsTheOperatingLineAndSaturation() {
    MerkelPlot plot;
    plot.resize(900, 560);
    const diagrams::MerkelDiagram m = sampleMerkel();
    plot.setDiagram(m);
    plot.replot();

    // The driving force is the area between the operating line and the saturation curve.
    QCOMPARE(plot.operatingGraph()->channelFillGraph(), plot.saturationGraph());
    QVERIFY(plot.operatingGraph()->brush().style() != Qt::NoBrush);
    // The saturation curve is the moist-air functions' saturated enthalpy, spanning the water
    // temperatures.
    const QCPGraphDataContainer& sat = *plot.saturationGraph()->data();
    QVERIFY(sat.size() > 20);
    QVERIFY(sat.at(0)->key <= 33 && sat.at(sat.size() - 1)->key >= 38);
    for (int i = 0; i < sat.size(); i += 7)
        QCOMPARE(sat.at(i)->value, psychro::saturatedEnthalpy(sat.at(i)->key, 1.0));
    // Both ends labelled with their values; the title names Problem, NTU and heat capacity.
    QVERIFY2(plot.inletLabel().contains(QStringLiteral("55.00 kJ/kg")),
             qPrintable(plot.inletLabel()));
    QVERIFY2(plot.outletLabel().contains(QStringLiteral("78.25 kJ/kg")),
             qPrintable(plot.outletLabel()));
    QVERIFY(plot.xAxis->label().contains(QStringLiteral("°C")));
    QVERIFY(plot.yAxis->label().contains(QStringLiteral("kJ/kg")));
    // Everything drawn is inside the axes' ranges.
    QVERIFY(plot.xAxis->range().contains(33) && plot.xAxis->range().contains(38));
    QVERIFY(plot.yAxis->range().contains(55) &&
            plot.yAxis->range().contains(sat.at(sat.size() - 1)->value));
}

void TestDiagramPlots::fillMapDrawsTheCellsWithWaterAtTheTop_data() {
    QTest::addColumn<int>("quantity");
    QTest::addColumn<double>("topLeft");     // row 0, column 0: water and air enter
    QTest::addColumn<double>("bottomRight"); // row 19, column 19
    QTest::addColumn<QString>("scaleLabel");
    QTest::newRow("water temperature")
        << int(FillMapPlot::Quantity::WaterTemp) << 30.0 << 49.19 << "Water temperature [°C]";
    QTest::newRow("air enthalpy") << int(FillMapPlot::Quantity::AirEnthalpy) << 50.0 << 69.19
                                  << "Air enthalpy [kJ/kg]";
    QTest::newRow("air dry bulb") << int(FillMapPlot::Quantity::AirDryBulb) << 25.0 << 28.8
                                  << "Air dry bulb [°C]";
}

void TestDiagramPlots::fillMapDrawsTheCellsWithWaterAtTheTop() {
    QFETCH(int, quantity);
    QFETCH(double, topLeft);
    QFETCH(double, bottomRight);
    QFETCH(QString, scaleLabel);
    FillMapPlot plot(static_cast<FillMapPlot::Quantity>(quantity));
    plot.resize(900, 560);
    plot.setMaps(sampleMaps());
    plot.replot();

    QCPColorMapData* data = plot.colorMap()->data();
    QCOMPARE(data->keySize(), 20);
    QCOMPARE(data->valueSize(), 20);
    QCOMPARE(data->cell(0, 0), topLeft);
    QCOMPARE(data->cell(19, 19), bottomRight);
    QCOMPARE(plot.colorScale()->label(), scaleLabel);
    QCOMPARE(plot.colorMap()->dataRange().lower, std::min(topLeft, bottomRight));
    QCOMPARE(plot.colorMap()->dataRange().upper, std::max(topLeft, bottomRight));

    // Row 1 is drawn at the top edge, column 1 at the left edge.
    const QPointF first = pixelOf(plot, 1, 1);
    const QPointF last = pixelOf(plot, 20, 20);
    QVERIFY(first.y() < last.y());
    QVERIFY(first.x() < last.x());
    QVERIFY(plot.xAxis2->label().contains(QStringLiteral("WATER IN")));

    // The value under the pointer: a move over cell (row 3, column 5) shows it.
    const diagrams::FillMaps maps = sampleMaps();
    const diagrams::FillCellValues& cell = maps.cell(2, 4);
    const double expected = quantity == int(FillMapPlot::Quantity::WaterTemp)     ? cell.waterTemp
                            : quantity == int(FillMapPlot::Quantity::AirEnthalpy) ? cell.airEnthalpy
                                                                                  : cell.airDryBulb;
    const QPointF over = pixelOf(plot, 5.3, 2.8);
    QMouseEvent move(QEvent::MouseMove, over, plot.mapToGlobal(over), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&plot, &move);
    QVERIFY2(plot.hoverText().startsWith(QStringLiteral("Row 3, column 5: ") +
                                         QString::number(expected, 'f', 2)),
             qPrintable(plot.hoverText()));
    QCOMPARE(plot.cellTextAt(QPointF(1, 1)), QString()); // outside the fill
    // The readout covers neither the axes with their tick labels nor the colour scale, and
    // showing it does not move the cells.
    plot.replot();
    QVERIFY(!plot.hoverRect().isEmpty());
    QVERIFY(!plot.hoverRect().intersects(plot.axisRect()->outerRect()));
    QVERIFY(!plot.hoverRect().intersects(plot.colorScale()->outerRect()));
    QVERIFY(plot.rect().contains(plot.hoverRect()));
    QCOMPARE(pixelOf(plot, 5.3, 2.8), over);
}

void TestDiagramPlots::exportWritesFilesOfTheAskedSize_data() {
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QSize>("size");
    QTest::newRow("png, report size") << "png" << diagramexport::kReportSize;
    QTest::newRow("svg, report size") << "svg" << diagramexport::kReportSize;
    QTest::newRow("pdf, report size") << "pdf" << diagramexport::kReportSize;
    QTest::newRow("png, other size") << "png" << QSize(400, 300);
    QTest::newRow("svg, other size") << "svg" << QSize(1000, 500);
    QTest::newRow("pdf, other size") << "pdf" << QSize(500, 700);
}

void TestDiagramPlots::exportWritesFilesOfTheAskedSize() {
    QFETCH(QString, suffix);
    QFETCH(QSize, size);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    MerkelPlot plot;
    plot.resize(640, 400);
    plot.setDiagram(sampleMerkel());
    plot.replot();
    const QString file = dir.filePath(QStringLiteral("diagram.") + suffix);
    const auto format = diagramexport::formatOf(file);
    QVERIFY(format);
    QVERIFY(diagramexport::save(&plot, file, *format, size));

    if (suffix == QLatin1String("png")) {
        const QImage image(file);
        QVERIFY(!image.isNull());
        QCOMPARE(image.size(), size * diagramexport::kPngScale);
        // Not blank: the plot's lines are drawn on the white background.
        int dark = 0;
        for (int y = 0; y < image.height(); y += 4)
            for (int x = 0; x < image.width(); x += 4)
                dark += qGray(image.pixel(x, y)) < 128;
        QVERIFY(dark > 100);
    } else if (suffix == QLatin1String("svg")) {
        QSvgRenderer svg(file);
        QVERIFY(svg.isValid());
        QCOMPARE(svg.viewBox(), QRect(QPoint(0, 0), size));
        // The physical size in millimetres, at 96 user units per inch as in CSS.
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString content = QString::fromUtf8(f.readAll());
        const QRegularExpression mm(QStringLiteral(R"(width="([0-9.]+)mm" height="([0-9.]+)mm")"));
        const QRegularExpressionMatch m = mm.match(content);
        QVERIFY2(m.hasMatch(), "no size in mm");
        QCOMPARE(qRound(m.captured(1).toDouble() / 25.4 * 96), size.width());
        QCOMPARE(qRound(m.captured(2).toDouble() / 25.4 * 96), size.height());
        QVERIFY(content.contains(QStringLiteral("Counter flow, Problem 1")));
    } else {
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray content = f.readAll();
        QVERIFY(content.startsWith("%PDF-"));
        QVERIFY(content.trimmed().endsWith("%%EOF"));
        // The page is the asked size in points.
        const QRegularExpression mediaBox(
            QStringLiteral(R"(/MediaBox \[\s*0 0 ([0-9.]+) ([0-9.]+)\s*\])"));
        const QRegularExpressionMatch m = mediaBox.match(QString::fromLatin1(content));
        QVERIFY2(m.hasMatch(), "no MediaBox");
        QCOMPARE(qRound(m.captured(1).toDouble()), size.width());
        QCOMPARE(qRound(m.captured(2).toDouble()), size.height());
    }
}

void TestDiagramPlots::exportToAnUnwritablePlaceFails() {
    MerkelPlot plot;
    plot.setDiagram(sampleMerkel());
    for (const char* suffix : {"png", "svg", "pdf"}) {
        const QString file = QStringLiteral("/nonexistent-folder/diagram.") + suffix;
        QVERIFY(!diagramexport::save(&plot, file, *diagramexport::formatOf(file)));
    }
    // A disk that fills up part-way (here: a limit on the file size): the export fails and
    // the file that was there before stays as it was.
    QTemporaryDir dir;
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &limit) == 0);
    for (const char* suffix : {"png", "svg", "pdf"}) {
        const QString file = dir.filePath(QStringLiteral("diagram.") + suffix);
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        rlimit small = limit;
        small.rlim_cur = 2000;
        QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        const bool saved = diagramexport::save(&plot, file, *diagramexport::formatOf(file));
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
        QVERIFY2(!saved, suffix);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old"));
        old.close();
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 3); // no leftover

    QVERIFY(!diagramexport::formatOf(QStringLiteral("diagram.jpg")));
    QCOMPARE(diagramexport::formatOf(QStringLiteral("Diagram.SVG")), diagramexport::Format::Svg);
}

void TestDiagramPlots::titleFitsTheWidth_data() {
    // Widths in characters of a fixed-width font.
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("lines");
    QTest::newRow("fits") << "Problem 1: NTU" << 14 << "Problem 1: NTU";
    QTest::newRow("wraps at blanks") << "Problem 1: NTU 1.47" << 10 << "Problem 1:\nNTU 1.47";
    QTest::newRow("keeps its own breaks") << "ab cd\nef" << 10 << "ab cd\nef";
    QTest::newRow("blanks collapse at a break") << "ab   cd" << 3 << "ab\ncd";
    QTest::newRow("a long word elided") << "a kW/(kJ/kg)" << 6 << "a\n{kW/(kJ/kg) elided}";
    QTest::newRow("no width: as it is") << "a b c" << 0 << "a b c";
    QTest::newRow("empty") << "" << 5 << "";
}

void TestDiagramPlots::titleFitsTheWidth() {
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(QString, lines);
    QFont mono(QStringLiteral("monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    mono.setFixedPitch(true);
    const QFontMetrics metrics(mono);
    const int em = metrics.horizontalAdvance(QLatin1Char('m'));
    lines.replace(QStringLiteral("{kW/(kJ/kg) elided}"),
                  metrics.elidedText(QStringLiteral("kW/(kJ/kg)"), Qt::ElideRight, width * em));
    QCOMPARE(plotstyle::fitToWidth(text, metrics, width * em), lines);
}

// The capability's log axes stay valid (positive, increasing) and nothing drawn is NaN,
// whatever the evaluation refused.
void TestDiagramPlots::capabilityKeepsValidLogAxes_data() {
    QTest::addColumn<bool>("curves");
    QTest::addColumn<bool>("points");
    QTest::addColumn<bool>("noted");
    QTest::newRow("everything") << true << true << false;
    QTest::newRow("curves refused") << false << true << true;
    QTest::newRow("nothing") << false << false << true;
}

void TestDiagramPlots::capabilityKeepsValidLogAxes() {
    QFETCH(bool, curves);
    QFETCH(bool, points);
    QFETCH(bool, noted);
    capability::Capability k;
    k.testRatio = 1.2;
    k.designRatio = 1.0;
    const auto ok = [](double v) { return capability::Figure{capability::Status::Ok, v, 0}; };
    if (points) {
        k.merkel = ok(1.5);
        k.coefficient = ok(1.5 * std::pow(1.2, 0.72));
    }
    if (curves) {
        k.demandAtDesign = ok(1.4);
        k.intersectionRatio = ok(1.1);
        k.capabilityPct = ok(110);
        for (double x = 0.3; x < 2.5; x *= 1.2) {
            k.demand.push_back({x, 0.8 * std::pow(x, 1.5)});
            k.characteristic.push_back({x, k.coefficient.value * std::pow(x, -0.72)});
        }
        k.demand.push_back({2.6, std::nan("")}); // never drawn
    } else
        k.pinch = capability::Figure{capability::Status::ColdWaterAtWetBulb, 0, 24};
    CapabilityPlot plot;
    plot.resize(600, 400);
    plot.setDiagram(diagrams::capabilityDiagram(k, 0.72, false));
    plot.replot();
    for (QCPAxis* axis : {plot.xAxis, plot.yAxis}) {
        QVERIFY(axis->range().lower > 0);
        QVERIFY(axis->range().upper > axis->range().lower);
    }
    for (QCPGraph* g : {plot.demandGraph(), plot.characteristicGraph(), plot.testGraph(),
                        plot.designGraph(), plot.intersectionGraph()})
        for (auto it = g->data()->constBegin(); it != g->data()->constEnd(); ++it)
            QVERIFY(std::isfinite(it->key) && std::isfinite(it->value) && it->value > 0);
    QCOMPARE(plot.testGraph()->data()->isEmpty(), !points);
    QCOMPARE(plot.demandGraph()->data()->isEmpty(), !curves);
    QCOMPARE(!plot.note().isEmpty(), noted);
}

void TestDiagramPlots::fanHoursLeavesOutWhatIsNotFinite() {
    FanHoursPlot plot;
    plot.setRows({18.2, 18.7, std::nan(""), 25}, {1000, 500, 200, 3000}, {10, std::nan(""), 5, 40},
                 45);
    QCOMPARE(plot.hoursBars()->data()->size(), 2); // 18-19 and 25-26 oC
    QCOMPARE(plot.hoursBars()->data()->at(0)->value, 1500.0);
    QCOMPARE(plot.powerGraph()->data()->at(0)->value, 10.0); // the NaN power left out
    QVERIFY(plot.yAxis2->range().upper >= 45);
    plot.setRows({}, {}, {}, std::nan(""));
    QVERIFY(!plot.note().isEmpty());
    QVERIFY(plot.xAxis->range().upper > plot.xAxis->range().lower);
}

QTEST_MAIN(TestDiagramPlots)
#include "tst_diagramplots.moc"
