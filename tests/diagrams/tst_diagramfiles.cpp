// The SVG files of an audit's diagrams (for ctaudit-batch --diagrams): one file per diagram of
// every calculated Problem, named by prefix, arrangement, Problem and kind, each a valid SVG of
// the report size that shows its Problem.

#include "diagrams/auditdiagramsource.h"
#include "diagrams/characteristicplot.h"
#include "diagrams/diagramexport.h"
#include "diagrams/diagramfiles.h"
#include "diagrams/plotstyle.h"
#include "engine/audit.h"
#include "engine/keys.h"

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(Arrangement)

class TestDiagramFiles : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void writesEachCalculatedProblemsDiagrams_data();
    void writesEachCalculatedProblemsDiagrams();
    void unwritableFolderIsReported();
    void outOfDateProblemsAreMarked_data();
    void outOfDateProblemsAreMarked();
};

void TestDiagramFiles::writesEachCalculatedProblemsDiagrams_data() {
    QTest::addColumn<Arrangement>("arrangement");
    QTest::addColumn<int>("calculated"); // Problems 1 to this one calculated
    QTest::addColumn<QStringList>("files");
    QTest::newRow("counter flow, nothing calculated")
        << Arrangement::CounterFlow << 0 << QStringList{};
    QTest::newRow("counter flow, Problems 1 and 2")
        << Arrangement::CounterFlow << 2
        << QStringList{"7-counterflow-problem1-enthalpy.svg", "7-counterflow-problem2-enthalpy.svg",
                       "7-counterflow-problem2-characteristic.svg"};
    QTest::newRow("cross flow, Problem 1")
        << Arrangement::CrossFlow << 1
        << QStringList{"7-crossflow-problem1-water-temperature.svg",
                       "7-crossflow-problem1-air-enthalpy.svg",
                       "7-crossflow-problem1-air-dry-bulb.svg"};
}

void TestDiagramFiles::writesEachCalculatedProblemsDiagrams() {
    QFETCH(Arrangement, arrangement);
    QFETCH(int, calculated);
    QFETCH(QStringList, files);
    engine::Audit audit;
    for (int problem = 1; problem <= calculated; ++problem) {
        QVERIFY(audit.calculate(arrangement, problem).calculated);
        audit.goOn(arrangement, problem);
    }
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const AuditDiagramSource source(audit);
    QString error;
    const QStringList written =
        diagramfiles::writeSvg(source, arrangement, dir.path(), QStringLiteral("7"), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(written, files);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name), [&] {
        QStringList sorted = files;
        sorted.sort();
        return sorted;
    }());
    for (const QString& name : files) {
        const QString path = dir.filePath(name);
        QSvgRenderer svg(path);
        QVERIFY2(svg.isValid(), qPrintable(name));
        QCOMPARE(svg.viewBox(), QRect(QPoint(0, 0), diagramexport::kReportSize));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const int problem = name.section(u'-', 2, 2).mid(7).toInt();
        QVERIFY2(f.readAll().contains(QStringLiteral("Problem %1").arg(problem).toUtf8()),
                 qPrintable(name));
    }
}

void TestDiagramFiles::unwritableFolderIsReported() {
    engine::Audit audit;
    QVERIFY(audit.calculate(Arrangement::CounterFlow, 1).calculated);
    const AuditDiagramSource source(audit);
    QString error;
    const QStringList written =
        diagramfiles::writeSvg(source, Arrangement::CounterFlow,
                               QStringLiteral("/nonexistent-folder"), QStringLiteral("1"), &error);
    QVERIFY(written.isEmpty());
    QVERIFY(error.startsWith(QStringLiteral("cannot write /nonexistent-folder/1-counterflow")));
}

void TestDiagramFiles::outOfDateProblemsAreMarked_data() {
    QTest::addColumn<Arrangement>("arrangement");
    QTest::addColumn<int>("airFlow"); // Problem 1's air-flow field
    QTest::newRow("counter flow") << Arrangement::CounterFlow << int(engine::cf1::airFlow);
    QTest::newRow("cross flow") << Arrangement::CrossFlow << int(engine::xf1::airFlow);
}

// Problem 1 calculated again after Problems 1 to 4 (and Problem 3's field edited): the later
// Problems' points keep the places where they were calculated but are drawn hollow and grey, say
// "(out of date)" in the legend, and so do their diagrams' titles and the SVG files; once
// calculated again they are drawn as before.
void TestDiagramFiles::outOfDateProblemsAreMarked() {
    QFETCH(Arrangement, arrangement);
    QFETCH(int, airFlow);
    engine::Audit audit;
    for (int problem = 1; problem <= 4; ++problem) {
        QVERIFY(audit.calculate(arrangement, problem).calculated);
        audit.goOn(arrangement, problem);
    }
    const AuditDiagramSource source(audit);
    const auto current = source.diagrams(arrangement, 4);
    QVERIFY(current && current->characteristic && !current->outOfDate);

    const double g = audit.text(arrangement, 1, airFlow).toDouble();
    audit.type(arrangement, 1, airFlow, QString::number(g + 5));
    QVERIFY(audit.calculate(arrangement, 1).calculated);
    // Problem 3's water flow edited, not calculated.
    audit.type(arrangement, 3, 0, QString::number(audit.text(arrangement, 3, 0).toDouble() + 1));
    const auto stale = source.diagrams(arrangement, 4);
    QVERIFY(stale && stale->characteristic && stale->outOfDate);
    QCOMPARE(stale->characteristic->points.size(), std::size_t(3));
    for (std::size_t k = 0; k < 3; ++k) {
        const diagrams::CharacteristicPoint& before = current->characteristic->points[k];
        const diagrams::CharacteristicPoint& after = stale->characteristic->points[k];
        QVERIFY(after.outOfDate && !before.outOfDate);
        QCOMPARE(after.flowRatio, before.flowRatio);
        QCOMPARE(after.ntuPerFlow, before.ntuPerFlow);
    }

    CharacteristicPlot plot;
    plot.setCharacteristic(*stale->characteristic);
    QVERIFY(plotstyle::title(&plot).startsWith(QStringLiteral("%1, Problem 4 (out of date): ")
                                                   .arg(arrangement == Arrangement::CounterFlow
                                                            ? QStringLiteral("Counter flow")
                                                            : QStringLiteral("Cross flow"))));
    QCOMPARE(plot.pointGraph(1)->scatterStyle().brush().style(), Qt::SolidPattern);
    QVERIFY(!plot.pointLabel(1).contains(QStringLiteral("out of date")));
    for (int problem = 2; problem <= 4; ++problem) {
        QVERIFY2(plot.pointLabel(problem).endsWith(QStringLiteral(" (out of date)")),
                 qPrintable(plot.pointLabel(problem)));
        QCOMPARE(plot.pointGraph(problem)->scatterStyle().brush().style(), Qt::NoBrush);
    }

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString error;
    const QStringList written =
        diagramfiles::writeSvg(source, arrangement, dir.path(), QStringLiteral("1"), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    for (const QString& name : written) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray svg = f.readAll();
        const bool problemOne = name.contains(QStringLiteral("problem1"));
        // Every diagram of Problems 2 to 4 is out of date; Problem 1's are current.
        QVERIFY2(svg.contains("(out of date)") != problemOne, qPrintable(name));
    }

    // Problems 2 to 4 calculated again: current, drawn as usual.
    for (int problem = 2; problem <= 4; ++problem)
        QVERIFY(audit.calculate(arrangement, problem).calculated);
    plot.setCharacteristic(*source.diagrams(arrangement, 4)->characteristic);
    for (int problem = 2; problem <= 4; ++problem) {
        QVERIFY(!plot.pointLabel(problem).contains(QStringLiteral("out of date")));
        QCOMPARE(plot.pointGraph(problem)->scatterStyle().brush().style(), Qt::SolidPattern);
    }
}

QTEST_MAIN(TestDiagramFiles)
#include "tst_diagramfiles.moc"
