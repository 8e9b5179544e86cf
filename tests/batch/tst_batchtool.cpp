// The ctaudit-batch program itself: a small file through each arrangement gives the rows of
// the batch audit in input order, standard input and --output give the same bytes, and a
// damaged file or a bad argument stops it with status 2, a message naming the line, and
// nothing written.

#include "batch/batchaudit.h"
#include "batch/csv.h"
#include "support/recordingdesktop.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <pty.h>
#include <unistd.h>

Q_DECLARE_METATYPE(Arrangement)

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run runTool(const QStringList& arguments, const QByteArray& input = {},
            const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(CTAUDIT_BATCH), arguments);
    if (!process.waitForStarted(10000))
        return {};
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    Run run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

const char* kHeader = "p1.L,p1.G,p1.Tin,p1.Tout,p1.p,p1.tdb,p1.rh,p2.Ld,p2.Gd,p2.Tin,p2.Tout,"
                      "p2.twb,p2.tdb,p3.L,p3.G,p4.Q,p4.Tin,p4.tdb,p4.twb";

// Three cases per arrangement, the second stopped by the pressure field in the middle.
QByteArray caseFile(Arrangement arrangement) {
    QByteArray text = QByteArray(kHeader) + '\n';
    if (arrangement == Arrangement::CounterFlow)
        text += "100,90,38,33,1,25,55,90,80,34,31,21,27,105,110,2200,36,30,22\n"
                "100,90,38,33,1.2,25,55,90,80,34,31,21,27,105,110,2200,36,30,22\n"
                "110.5,95,39,33.5,0.98,24,60,90,80,34,31,21,27,100,105,2100,37,29,21\n";
    else
        text += "90,70,37,34,1,28,55,90,80,34,31,21,25,35,25,500,35,28,22\n"
                "90,70,37,34,1.2,28,55,90,80,34,31,21,25,35,25,500,35,28,22\n"
                "95,75,37.5,34,0.99,27,60,90,80,34,31,21,25,40,30,600,36,27,21\n";
    return text;
}

} // namespace

class TestBatchTool : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The tool's locale, whatever the environment's.
    void initTestCase() { BatchAudit::prepareLocale(); }

    void smallFile_data();
    void smallFile();
    void standardInputAndOutputFile();
    void pointWhateverTheLocale();
    void workersKeepTheOrder();
    void uncertaintyColumns_data();
    void uncertaintyColumns();
    void progressOnATerminal();
    void badFiles_data();
    void badFiles();
    void badArguments_data();
    void badArguments();

private:
    QTemporaryDir dir_;
};

void TestBatchTool::smallFile_data() {
    QTest::addColumn<Arrangement>("arrangement");
    QTest::addColumn<QString>("option");
    QTest::newRow("counter flow, default") << Arrangement::CounterFlow << QString();
    QTest::newRow("counter flow") << Arrangement::CounterFlow << QStringLiteral("counter");
    QTest::newRow("cross flow") << Arrangement::CrossFlow << QStringLiteral("cross");
}

void TestBatchTool::smallFile() {
    QFETCH(Arrangement, arrangement);
    QFETCH(QString, option);
    const QString path = dir_.filePath(QStringLiteral("small.csv"));
    const QByteArray data = caseFile(arrangement);
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(data);
    }
    QStringList arguments{path};
    if (!option.isEmpty())
        arguments.prepend(QStringLiteral("--arrangement=") + option);
    const Run run = runTool(arguments);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(!run.err.contains("case"), run.err.constData()); // no progress off a terminal

    const csv::Table table = csv::parse(QString::fromUtf8(run.out));
    QVERIFY(!table.error);
    QCOMPARE(table.records.size(), 4);
    QCOMPARE(table.records[0].cells, BatchAudit::headerCells());
    const BatchInput input = BatchInput::read(data);
    const BatchAudit audit(arrangement);
    for (int n = 1; n <= 3; ++n) {
        const BatchAudit::Result result = audit.run(input.cases[n - 1]);
        QCOMPARE(table.records[n].cells, BatchAudit::resultCells(n, result));
    }
    QCOMPARE(table.records[1].cells[1], BatchAudit::kOk);
    QCOMPARE(table.records[2].cells[1],
             QStringLiteral("Invalid entries, number must be less 1.15 bar"));
    QCOMPARE(table.records[3].cells[1], BatchAudit::kOk);
}

void TestBatchTool::standardInputAndOutputFile() {
    const QByteArray data = caseFile(Arrangement::CounterFlow);
    const QString path = dir_.filePath(QStringLiteral("in.csv"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(data);
    }
    const Run fromFile = runTool({path});
    QCOMPARE(fromFile.exitCode, 0);
    const Run fromStdin = runTool({QStringLiteral("-")}, data);
    QCOMPARE(fromStdin.exitCode, 0);
    QCOMPARE(fromStdin.out, fromFile.out);

    const QString outPath = dir_.filePath(QStringLiteral("out.csv"));
    const Run toFile = runTool({QStringLiteral("--output"), outPath, QStringLiteral("-")}, data);
    QCOMPARE(toFile.exitCode, 0);
    QVERIFY(toFile.out.isEmpty());
    QFile out(outPath);
    QVERIFY(out.open(QIODevice::ReadOnly));
    QCOMPARE(out.readAll(), fromFile.out);
}

void TestBatchTool::pointWhateverTheLocale() {
    // Under a decimal-comma locale "110.5" would lose its decimals in the fields, and the
    // results would be written with commas.
    const QByteArray data = caseFile(Arrangement::CounterFlow);
    const Run point = runTool({QStringLiteral("-")}, data);
    QProcessEnvironment german = QProcessEnvironment::systemEnvironment();
    german.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
    german.insert(QStringLiteral("LANG"), QStringLiteral("de_DE.UTF-8"));
    const Run comma = runTool({QStringLiteral("-")}, data, german);
    QCOMPARE(comma.exitCode, 0);
    QCOMPARE(comma.out, point.out);
    QVERIFY(point.out.contains("\n3,ok,110.50,95.00,39.00,33.50,0.980,"));
}

void TestBatchTool::workersKeepTheOrder() {
    // 17 cases over two worker processes (every other case each) give the bytes of one
    // process, rows in input order, refused cases included.
    const QByteArray three = caseFile(Arrangement::CounterFlow);
    const QByteArray rows = three.mid(three.indexOf('\n') + 1);
    QByteArray data = QByteArray(kHeader) + '\n';
    for (int i = 0; i < 5; ++i)
        data += rows;
    data += rows.left(rows.indexOf('\n') + 1);
    data += rows.left(rows.indexOf('\n') + 1);
    const Run one = runTool({QStringLiteral("--jobs=1"), QStringLiteral("-")}, data);
    QCOMPARE(one.exitCode, 0);
    QCOMPARE(one.out.count('\n'), 18);
    const Run two = runTool({QStringLiteral("--jobs=2"), QStringLiteral("-")}, data);
    QCOMPARE(two.exitCode, 0);
    QCOMPARE(two.out, one.out);
}

void TestBatchTool::uncertaintyColumns_data() {
    QTest::addColumn<Arrangement>("arrangement");
    QTest::addColumn<QString>("heatU");
    QTest::newRow("counter flow") << Arrangement::CounterFlow << QStringLiteral("59");
    QTest::newRow("cross flow") << Arrangement::CrossFlow << QStringLiteral("40");
}

// --uncertainty appends a U column per stated result after the 58 quantities, which stay as
// they are; a Problem that stopped (here Problem 1 at the pressure field, and Problem 2 at its
// temperature check) has no figures, the Problems before it keep theirs.
void TestBatchTool::uncertaintyColumns() {
    QFETCH(Arrangement, arrangement);
    QFETCH(QString, heatU);
    QByteArray data = caseFile(arrangement);
    QByteArray stopsAtTwo = data.split('\n').at(1);
    stopsAtTwo.replace(",34,31,21,", ",30,31,21,");
    data += stopsAtTwo + '\n';
    const QString option = arrangement == Arrangement::CounterFlow ? QStringLiteral("counter")
                                                                   : QStringLiteral("cross");
    const Run plain =
        runTool({QStringLiteral("--arrangement=") + option, QStringLiteral("-")}, data);
    const Run run =
        runTool({QStringLiteral("--arrangement=") + option, QStringLiteral("--uncertainty"),
                 QStringLiteral("--jobs=2"), QStringLiteral("-")},
                data);
    QCOMPARE(run.exitCode, 0);
    const csv::Table with = csv::parse(QString::fromUtf8(run.out));
    const csv::Table without = csv::parse(QString::fromUtf8(plain.out));
    QVERIFY(!with.error && !without.error);
    QCOMPARE(with.records.size(), 5);
    const QStringList header = with.records[0].cells;
    QCOMPARE(header.size(), 60 + 18);
    QCOMPARE(header.mid(0, 60), BatchAudit::headerCells());
    QCOMPARE(header[60], QStringLiteral("U(Problem 1: number of transfer units [kW/(kJ/kg)])"));
    QCOMPARE(header[77], QStringLiteral("U(Problem 4: water mass flow rate (4) [kg/s])"));
    for (const QString& u : header.mid(60)) // each names a quantity of the report
        QVERIFY2(header.contains(u.mid(2, u.size() - 3)), qPrintable(u));
    const auto cell = [&](int record, const QString& name) {
        return with.records[record].cells.value(header.indexOf(name));
    };
    for (int n = 1; n <= 4; ++n)
        QCOMPARE(with.records[n].cells.mid(0, 60), without.records[n].cells);
    for (int n : {1, 3})
        for (const QString& u : with.records[n].cells.mid(60))
            QVERIFY(!u.isEmpty());
    QCOMPARE(cell(1, QStringLiteral("U(Problem 1: range [oC])")), QStringLiteral("0.082"));
    QCOMPARE(cell(1, QStringLiteral("U(Problem 1: heat capacity [kW])")), heatU);
    QCOMPARE(with.records[2].cells.mid(60), QStringList(18, QString()));
    QCOMPARE(cell(4, QStringLiteral("U(Problem 1: range [oC])")), QStringLiteral("0.082"));
    QCOMPARE(cell(4, QStringLiteral("U(Problem 2: heat capacity Qa [kW])")), QString());
    QCOMPARE(cell(4, QStringLiteral("U(Problem 4: water mass flow rate (4) [kg/s])")), QString());
}

void TestBatchTool::progressOnATerminal() {
    // Standard error on a pseudo-terminal: the count of finished cases is shown there, and
    // standard output is the CSV alone.
    int master = -1;
    int slave = -1;
    QVERIFY(openpty(&master, &slave, nullptr, nullptr, nullptr) == 0);
    QProcess process;
    process.setChildProcessModifier([slave] { ::dup2(slave, STDERR_FILENO); });
    process.start(QStringLiteral(CTAUDIT_BATCH), {QStringLiteral("-")});
    QVERIFY(process.waitForStarted(10000));
    ::close(slave);
    process.write(caseFile(Arrangement::CounterFlow));
    process.closeWriteChannel();
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 0);
    QByteArray terminal;
    char buffer[4096];
    for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;)
        terminal.append(buffer, n);
    ::close(master);
    QVERIFY2(terminal.contains("\rctaudit-batch: case 3 of 3"), terminal.constData());
    QCOMPARE(process.readAllStandardOutput().count('\n'), 4);
}

void TestBatchTool::badFiles_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("where"); // after the file name
    QTest::addColumn<QString>("text");

    const QByteArray good = caseFile(Arrangement::CounterFlow);
    QByteArray lacking = good;
    lacking.replace(",p4.twb", "");
    QTest::newRow("header lacks a column") << lacking << ":1: "
                                           << "the header lacks column \"p4.twb\"";
    QByteArray unknown = good;
    unknown.replace("p2.twb", "p2.wb");
    QTest::newRow("unknown column") << unknown << ":1:12: "
                                    << "unknown column \"p2.wb\"";
    QTest::newRow("wrong number of cells") << good + "1,2,3\n"
                                           << ":5: "
                                           << "3 cells where the header has 19";
    QTest::newRow("unclosed quote") << good + "\"1,2\n"
                                    << ":5:1: "
                                    << "a quoted cell is never closed";
    QTest::newRow("no header") << QByteArray() << ":1: "
                               << "no header: the file is empty";
}

void TestBatchTool::badFiles() {
    QFETCH(QByteArray, data);
    QFETCH(QString, where);
    QFETCH(QString, text);
    const QString path = dir_.filePath(QStringLiteral("bad.csv"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(data);
    }
    const QString message = QStringLiteral("ctaudit-batch: ") + path + where + text;
    const Run run = runTool({path});
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.err.contains(message.toUtf8()), run.err.constData());

    // From standard input the message names "<stdin>".
    const Run piped = runTool({QStringLiteral("-")}, data);
    QCOMPARE(piped.exitCode, 2);
    QVERIFY2(piped.err.contains(("<stdin>" + where + text).toUtf8()), piped.err.constData());

    // An output file that exists keeps its content; one that does not is not created.
    const QString kept = dir_.filePath(QStringLiteral("kept.csv"));
    {
        QFile file(kept);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("earlier results\n");
    }
    QCOMPARE(runTool({QStringLiteral("--output"), kept, path}).exitCode, 2);
    QFile file(kept);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("earlier results\n"));
    const QString fresh = dir_.filePath(QStringLiteral("fresh.csv"));
    QCOMPARE(runTool({QStringLiteral("--output"), fresh, path}).exitCode, 2);
    QVERIFY(!QFile::exists(fresh));
}

void TestBatchTool::badArguments_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("text");
    const QString missing = dir_.filePath(QStringLiteral("missing.csv"));
    QTest::newRow("unreadable file") << QStringList{missing} << missing + QStringLiteral(": ");
    QTest::newRow("unknown arrangement")
        << QStringList{QStringLiteral("--arrangement"), QStringLiteral("parallel"),
                       QStringLiteral("-")}
        << "--arrangement must be counter or cross, not \"parallel\"";
    QTest::newRow("no input") << QStringList{} << "give one input file";
    QTest::newRow("two inputs") << QStringList{QStringLiteral("a.csv"), QStringLiteral("b.csv")}
                                << "give one input file";
    QTest::newRow("unknown option")
        << QStringList{QStringLiteral("--jobz"), QStringLiteral("-")} << "jobz";
    QTest::newRow("no jobs") << QStringList{QStringLiteral("--jobs=0"), QStringLiteral("-")}
                             << "--jobs must be a whole number from 1, not \"0\"";
    QTest::newRow("output folder missing")
        << QStringList{QStringLiteral("--output"), dir_.filePath(QStringLiteral("no/such.csv")),
                       QStringLiteral("-")}
        << dir_.filePath(QStringLiteral("no/such.csv"));
}

void TestBatchTool::badArguments() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, text);
    const Run run = runTool(arguments, caseFile(Arrangement::CounterFlow));
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.err.contains(text.toUtf8()), run.err.constData());
}

QTEST_MAIN(TestBatchTool)
#include "tst_batchtool.moc"
