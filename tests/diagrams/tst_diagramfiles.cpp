// The SVG files of an audit's diagrams (for ctaudit-batch --diagrams): one file per diagram of
// every calculated Problem, named by prefix, arrangement, Problem and kind, each a valid SVG of
// the report size that shows its Problem.

#include "diagrams/auditdiagramsource.h"
#include "diagrams/diagramexport.h"
#include "diagrams/diagramfiles.h"
#include "engine/audit.h"

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

QTEST_MAIN(TestDiagramFiles)
#include "tst_diagramfiles.moc"
