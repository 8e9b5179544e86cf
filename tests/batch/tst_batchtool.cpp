// The ctaudit-batch program itself: a small file through each arrangement gives the rows of
// the batch audit in input order, standard input and --output give the same bytes, --diagrams
// writes the calculated Problems' diagrams under each case's own number, and a damaged file or
// a bad argument stops it with status 2, a message naming the line, and nothing written.

#include "auditfile/auditfile.h"
#include "auditfile/csv.h"
#include "batch/auditcases.h"
#include "batch/batchaudit.h"
#include "reports/capabilitysummary.h"
#include "uncertainty/propagation.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <pty.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

Q_DECLARE_METATYPE(Arrangement)

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run runTool(const QStringList& arguments, const QByteArray& input = {},
            const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
            const std::function<void()>& inChild = {}) {
    QProcess process;
    process.setProcessEnvironment(environment);
    if (inChild)
        process.setChildProcessModifier(inChild);
    process.start(QStringLiteral(CTAUDIT_BATCH), arguments);
    if (!process.waitForStarted(10000))
        return {};
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(180000)) {
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

// The peak resident set of the tool (and its workers) in kB, run on a file with output to
// /dev/null; -1 when it fails.
long peakKb(const QString& input, const QStringList& arguments) {
    std::vector<QByteArray> texts{QByteArray(CTAUDIT_BATCH)};
    for (const QString& argument : arguments)
        texts.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, QFile::encodeName(input).constData(),
                                     O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    // Under the address sanitizer, freed memory waits in a quarantine of up to 256 MB before
    // it is used again: without one, the peak shows what the tool holds.
    std::vector<QByteArray> variables{"ASAN_OPTIONS=" + qgetenv("ASAN_OPTIONS") +
                                      ":quarantine_size_mb=0"};
    for (char** variable = environ; *variable; ++variable)
        if (!QByteArray(*variable).startsWith("ASAN_OPTIONS="))
            variables.emplace_back(*variable);
    std::vector<char*> envp;
    for (QByteArray& variable : variables)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, CTAUDIT_BATCH, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    if (spawned != 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return -1;
    return usage.ru_maxrss;
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
    void capabilityColumns_data();
    void capabilityColumns();
    void diagrams_data();
    void diagrams();
    void reports();
    void sameOutputAsBefore_data();
    void sameOutputAsBefore();
    void constantMemory();
    void progressOnATerminal();
    void badFiles_data();
    void badFiles();
    void badArguments_data();
    void badArguments();
    void fullStandardOutput();
    void fullDiskKeepsTheOldOutput();
    void fileSizeLimitIsAFailedWrite_data();
    void fileSizeLimitIsAFailedWrite();
    void linksInTheOutputAreReplaced_data();
    void linksInTheOutputAreReplaced();
    void closedPipeIsAFailedWrite();
    void specialInputsAreStreams();
    void specialOutputsAreWrittenInPlace();
    void fullOutputStopsAtTheFirstRow();
    void jobsAreCapped();
    void killedWorkerIsNamed();

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
    // 17 cases over two worker processes give the bytes of one process, rows in input order,
    // refused cases included, and so do quoted values with a line break or spaces around them.
    const QByteArray three = caseFile(Arrangement::CounterFlow);
    const QByteArray rows = three.mid(three.indexOf('\n') + 1);
    QByteArray data = QByteArray(kHeader) + '\n';
    for (int i = 0; i < 5; ++i)
        data += rows;
    data += "\"100\",\"\n9\",38,33,1,25,55,90,80,34,31,21,27,105,110,2200,36,30,22\n";
    data += "100,90,38,33,1,\" 25.5 \",55,90,80,34,31,21,27,105,110,2200,36,30,22\n";
    const Run one = runTool({QStringLiteral("--jobs=1"), QStringLiteral("-")}, data);
    QCOMPARE(one.exitCode, 0);
    QCOMPARE(one.out.count('\n'), 18);
    // Case 16's air flow is read as 9 kg/s: an L/G that saturates the air inside the fill.
    QVERIFY(one.out.contains("\n16,\"No heat transfer is possible: the outlet water temperature "
                             "lies above the inlet wet bulb"));
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

void TestBatchTool::capabilityColumns_data() {
    QTest::addColumn<Arrangement>("arrangement");
    QTest::addColumn<bool>("auditFiles");
    QTest::newRow("counter flow") << Arrangement::CounterFlow << false;
    QTest::newRow("cross flow") << Arrangement::CrossFlow << false;
    QTest::newRow("counter flow, audit files") << Arrangement::CounterFlow << true;
}

// --capability --savings append the summary's columns of each case's audit, with the case's
// settings (optional columns, or an audit file's own with its ambient table), the same over
// workers; a case stopped in Problem 1 has a note and no figures; the other columns stay.
void TestBatchTool::capabilityColumns() {
    QFETCH(Arrangement, arrangement);
    QFETCH(bool, auditFiles);
    const QString option = QStringLiteral("--arrangement=") +
                           (arrangement == Arrangement::CounterFlow ? "counter" : "cross");
    const QByteArray three = caseFile(arrangement);
    QByteArray rows;
    for (const QByteArray& line : three.split('\n').mid(1, 3))
        rows += line + ",40,0.65,18\n";
    const QByteArray header = QByteArray(kHeader) + ",sav.fan_kW,cap.n,sav.twb\n";
    const QByteArray many = header + rows.repeated(6); // enough cases for two workers
    QStringList input{QStringLiteral("-")};
    if (auditFiles) {
        auditfile::SavedAudit a;
        const QStringList values = QString::fromUtf8(three.split('\n').at(1)).split(u',');
        for (int c = 0; c < auditfile::kInputCount; ++c)
            a.inputs(arrangement)[static_cast<size_t>(c)] = values[c];
        engine::CapabilityInputs& settings = a.capability[0];
        settings.values[size_t(engine::Setting::FanPower)] = 40;
        settings.ambient = {{18, 25, std::nan(""), 4000}, {std::nan(""), 15, 70, 4000}};
        input.clear();
        for (int n = 0; n < 16; ++n) {
            input << dir_.filePath(QStringLiteral("%1.ctaudit").arg(n));
            QFile file(input.back());
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(auditfile::serialise(a)) > 0);
        }
    }
    const QStringList arguments{option, QStringLiteral("--capability"),
                                QStringLiteral("--savings")};
    const Run one = runTool(arguments + QStringList{QStringLiteral("--jobs=1")} + input, many);
    QCOMPARE(one.exitCode, 0);
    const Run two = runTool(arguments + QStringList{QStringLiteral("--jobs=2")} + input, many);
    QCOMPARE(two.exitCode, 0);
    QCOMPARE(two.out, one.out);

    const csv::Table table = csv::parse(QString::fromUtf8(one.out));
    QVERIFY(!table.error);
    const QStringList columns = report::CapabilitySummary::capabilityColumns() +
                                report::CapabilitySummary::savingsColumns();
    QCOMPARE(table.records[0].cells, BatchAudit::headerCells() + columns);
    const QList<BatchCase> cases =
        auditFiles ? readAuditCases(input, arrangement)->input.cases : BatchInput::read(many).cases;
    const Run plain = runTool({option, QStringLiteral("-")}, three);
    const csv::Table before = csv::parse(QString::fromUtf8(plain.out));
    const BatchAudit batch(arrangement);
    for (int n = 1; n <= (auditFiles ? 1 : 3); ++n) {
        engine::Audit audit;
        batch.run(cases[n - 1], &audit);
        audit.setCapabilityInputs(arrangement, cases[n - 1].settings);
        const report::CapabilitySummary summary =
            report::summarize(audit, arrangement, uncertainty::hintAccuracies());
        const QStringList row = table.records[n].cells;
        QCOMPARE(row.mid(0, 60), before.records[n].cells);
        QCOMPARE(row.mid(60), summary.capabilityValues() + summary.savingsValues());
        // Stopped in Problem 1: no figure, a note; else the capability and the drive's energy.
        for (const char* column : {"capability.pct", "fan.kWh_year_saved_vsd"})
            QCOMPARE(row[60 + columns.indexOf(QLatin1String(column))].isEmpty(), n == 2);
        QCOMPARE(row[60 + columns.indexOf(QStringLiteral("capability.note"))].isEmpty(), n != 2);
    }
}

void TestBatchTool::reports() {
    // Each case's report, off screen, here and over two workers: its text holds every
    // quantity of the case's output row, and with --uncertainty the acceptance verdict; the
    // case stopped in Problem 1 still has its report, saying that nothing was calculated.
    const QString here = dir_.filePath(QStringLiteral("reports-here"));
    const QString workers = dir_.filePath(QStringLiteral("reports-workers"));
    const Run one = runTool({QStringLiteral("--jobs=1"), QStringLiteral("--uncertainty"),
                             QStringLiteral("--report"), here, QStringLiteral("-")},
                            caseFile(Arrangement::CounterFlow));
    QVERIFY2(one.exitCode == 0, one.err.constData());
    const QStringList expected = {QStringLiteral("1-counterflow-report.pdf"),
                                  QStringLiteral("2-counterflow-report.pdf"),
                                  QStringLiteral("3-counterflow-report.pdf")};
    QCOMPARE(QDir(here).entryList(QDir::Files, QDir::Name), expected);
    const Run two = runTool(
        {QStringLiteral("--jobs=2"), QStringLiteral("--report=") + workers, QStringLiteral("-")},
        caseFile(Arrangement::CounterFlow));
    QVERIFY2(two.exitCode == 0, two.err.constData());
    QCOMPARE(QDir(workers).entryList(QDir::Files, QDir::Name), expected);

    const auto text = [](const QString& file) {
        QProcess tool;
        tool.start(QStringLiteral("pdftotext"),
                   {QStringLiteral("-layout"), file, QStringLiteral("-")});
        return tool.waitForFinished(60000) && tool.exitCode() == 0
                   ? QString::fromUtf8(tool.readAllStandardOutput()).simplified()
                   : QString();
    };
    const QList<QByteArray> rows = one.out.trimmed().split('\n');
    QCOMPARE(rows.size(), 4);
    for (int c : {1, 3}) {
        const QString report = text(QDir(here).filePath(expected[c - 1]));
        const QStringList cells = QString::fromUtf8(rows[c]).split(u',');
        QCOMPARE(cells[1], QStringLiteral("ok"));
        for (qsizetype k = 2; k < cells.size(); ++k)
            QVERIFY2(
                cells[k].isEmpty() || report.contains(u' ' + cells[k] + u' '),
                qPrintable(QStringLiteral("case %1, column %2: %3").arg(c).arg(k).arg(cells[k])));
        QVERIFY(report.contains(QStringLiteral("Acceptance test: (Qa - Qd) / Qd = ")));
        QVERIFY(text(QDir(workers).filePath(expected[c - 1]))
                    .contains(QStringLiteral("was not calculated (ctaudit-batch --uncertainty)")));
    }
    QVERIFY(
        text(QDir(here).filePath(expected[1]))
            .contains(QStringLiteral("No Problem of the counter-flow tower has been calculated")));
}

void TestBatchTool::diagrams_data() {
    QTest::addColumn<Arrangement>("arrangement");
    QTest::addColumn<QStringList>("kinds"); // each Problem's, besides its characteristic
    QTest::newRow("counter flow") << Arrangement::CounterFlow << QStringList{"enthalpy"};
    QTest::newRow("cross flow") << Arrangement::CrossFlow
                                << QStringList{"air-dry-bulb", "air-enthalpy", "water-temperature"};
}

void TestBatchTool::diagrams() {
    // Every Problem that calculated has its diagrams, as well-formed SVG; the case stopped in
    // Problem 1 has none. Over two worker processes (16 cases, the 16th of them stopped), each
    // worker's files carry the case's own number and the same drawing as when run here.
    QFETCH(Arrangement, arrangement);
    QFETCH(QStringList, kinds);
    const QString arrangementArgument = arrangement == Arrangement::CounterFlow
                                            ? QStringLiteral("--arrangement=counter")
                                            : QStringLiteral("--arrangement=cross");
    const QByteArray three = caseFile(arrangement);
    const QByteArray rows = three.mid(three.indexOf('\n') + 1);
    const QList<QByteArray> lines = rows.split('\n');
    QByteArray sixteen = QByteArray(kHeader) + '\n';
    for (int i = 0; i < 5; ++i)
        sixteen += lines[0] + '\n' + lines[2] + '\n' + lines[0] + '\n';
    sixteen += lines[1] + '\n';

    QStringList expected; // cases 1 to 15, every Problem
    for (int c = 1; c <= 15; ++c)
        for (int problem = 1; problem <= 4; ++problem)
            for (const QString& kind :
                 kinds + (problem > 1 ? QStringList{"characteristic"} : QStringList()))
                expected << QStringLiteral("%1-%2-problem%3-%4.svg")
                                .arg(c)
                                .arg(arrangement == Arrangement::CounterFlow ? "counterflow"
                                                                             : "crossflow")
                                .arg(problem)
                                .arg(kind);
    expected.sort();
    const auto files = [](const QString& dir) {
        QStringList found = QDir(dir).entryList(QDir::Files);
        found.sort();
        return found;
    };
    const QString here = dir_.filePath(QStringLiteral("here-") + QTest::currentDataTag());
    const Run one = runTool({arrangementArgument, QStringLiteral("--jobs=1"),
                             QStringLiteral("--diagrams"), here, QStringLiteral("-")},
                            sixteen);
    QVERIFY2(one.exitCode == 0, one.err.constData());
    QCOMPARE(files(here), expected);
    for (const QString& name : expected) {
        QFile file(QDir(here).filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        while (!xml.atEnd())
            xml.readNext();
        QVERIFY2(!xml.hasError(), qPrintable(name + ": " + xml.errorString()));
        QVERIFY(file.size() > 10000);
    }

    const QString workers = dir_.filePath(QStringLiteral("workers-") + QTest::currentDataTag());
    const Run two = runTool({arrangementArgument, QStringLiteral("--jobs=2"),
                             QStringLiteral("--diagrams=") + workers, QStringLiteral("-")},
                            sixteen);
    QVERIFY2(two.exitCode == 0, two.err.constData());
    QCOMPARE(two.out, one.out);
    QCOMPARE(files(workers), expected);
    for (const QString& name : expected) {
        QFile a(QDir(here).filePath(name));
        QFile b(QDir(workers).filePath(name));
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QVERIFY2(a.readAll() == b.readAll(), qPrintable(name));
    }
}

void TestBatchTool::sameOutputAsBefore_data() {
    QTest::addColumn<QString>("arrangement");
    QTest::addColumn<QString>("jobs");
    QTest::addColumn<bool>("uncertainty");
    for (const char* arrangement : {"counter", "cross"})
        for (const bool uncertainty : {false, true})
            for (const char* jobs : {"1", "2"})
                QTest::addRow("%s, --jobs %s%s", arrangement, jobs,
                              uncertainty ? ", --uncertainty" : "")
                    << QString::fromLatin1(arrangement) << QString::fromLatin1(jobs) << uncertainty;
}

void TestBatchTool::sameOutputAsBefore() {
    // A few hundred varied cases per arrangement (see tests/data/batch/make_cases.py) give
    // exactly the bytes the tool wrote for them when they were made, in one process and over
    // workers. With the U columns, every fourth case (the special texts, the refusals and the
    // random spreads alike) gives the bytes the tool wrote when it computed them in the main
    // process.
    QFETCH(QString, arrangement);
    QFETCH(QString, jobs);
    QFETCH(bool, uncertainty);
    const QString data = QStringLiteral(CTAUDIT_BATCH_DATA "/") + arrangement;
    QFile expected(
        data + (uncertainty ? QStringLiteral(".uncertainty.out.csv") : QStringLiteral(".out.csv")));
    QVERIFY(expected.open(QIODevice::ReadOnly));
    QStringList arguments{QStringLiteral("--arrangement=") + arrangement,
                          QStringLiteral("--jobs=") + jobs};
    QByteArray input;
    if (uncertainty) {
        QFile cases(data + QStringLiteral(".csv"));
        QVERIFY(cases.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = cases.readAll().split('\n');
        input = lines.front() + '\n';
        for (qsizetype i = 1; i < lines.size(); i += 4)
            if (!lines[i].isEmpty())
                input += lines[i] + '\n';
        arguments << QStringLiteral("--uncertainty") << QStringLiteral("-");
    } else {
        arguments << data + QStringLiteral(".csv");
    }
    const Run run = runTool(arguments, input);
    QCOMPARE(run.exitCode, 0);
    const QList<QByteArray> want = expected.readAll().split('\n');
    const QList<QByteArray> got = run.out.split('\n');
    for (qsizetype i = 0; i < std::min(want.size(), got.size()); ++i)
        QCOMPARE(got[i], want[i]); // names the first row that differs
    QCOMPARE(got.size(), want.size());
}

void TestBatchTool::constantMemory() {
    // The tool streams: 30,000 cases take no more memory than 2,000, in one process and over
    // workers. Most cases stop at their first Problem (a negative water flow), so that the
    // run is short; every tenth goes through the whole chain.
    const QList<QByteArray> rows = caseFile(Arrangement::CounterFlow).split('\n');
    const QByteArray full = rows[1] + '\n';
    const QByteArray stopped = "-" + full;
    const auto file = [&](int cases) {
        const QString path = dir_.filePath(QStringLiteral("many%1.csv").arg(cases));
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly))
            return QString();
        out.write(QByteArray(kHeader) + '\n');
        for (int i = 0; i < cases; ++i)
            out.write(i % 10 == 0 ? full : stopped);
        return path;
    };
    const QString few = file(2000);
    const QString many = file(30000);
    for (const char* jobs : {"--jobs=1", "--jobs=2"}) {
        const long fewKb = peakKb(few, {QLatin1String(jobs), QStringLiteral("-")});
        const long manyKb = peakKb(many, {QLatin1String(jobs), QStringLiteral("-")});
        QVERIFY(fewKb > 0 && manyKb > 0);
        QVERIFY2(manyKb < fewKb + 4096, qPrintable(QStringLiteral("%1: %2 kB for 2,000 cases, "
                                                                  "%3 kB for 30,000")
                                                       .arg(QLatin1String(jobs))
                                                       .arg(fewKb)
                                                       .arg(manyKb)));
    }
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
    // The header is the first line: no search through empty lines or a device's NUL bytes.
    QTest::newRow("empty first line") << "\n" + good << ":1: "
                                      << "line 1 is no header: it is empty";
    QTest::newRow("NUL bytes") << QByteArray(5000, '\0') + '\n' + good << ":1: "
                               << "line 1 is no header: it holds NUL bytes";
    // A field would cut the text and change its value (the program's loader refuses it too).
    QByteArray setting = QByteArray(kHeader) + ",cap.n\n";
    for (const QByteArray& line : good.split('\n').mid(1, 3))
        setting += line + (setting.count('\n') < 3 ? ",0.8\n" : ",2\n");
    QTest::newRow("setting out of its range") << setting << ":4:20: "
                                              << "cap.n must lie between 0.35 and 1.1, not \"2\"";
    // A field would drop what is no number and read another one; the cell is refused whole.
    const QByteArray row = good.split('\n').at(1);
    const QByteArray separator = QByteArray(row).replace(",2200,", ",\"1,320\",");
    QTest::newRow("thousands separator") << good + separator + '\n'
                                         << ":5:16: "
                                         << "p4.Q must be a number, not \"1,320\"";
    for (const char* bad : {"\"91,5\"", "91.5abc", "91..5", "91.5.3", "91.5%"}) {
        const QByteArray text = QByteArray(bad).replace("\"", "");
        QTest::newRow(("not a number: " + text).constData())
            << good + bad + row.mid(3) + '\n'
            << ":5:1: " << QString::fromUtf8("p1.L must be a number, not \"" + text + '"');
    }
    QByteArray longCell = "100,90,38,33,1,25,5.5" + QByteArray(40000, '0') +
                          "e1,90,80,34,31,21,27,105,110,2200,36,30,22\n";
    QTest::newRow("cell longer than a field holds") << good + longCell << ":5:7: "
                                                    << "the cell has more than 32767 characters";
    // A line of a MiB is refused at the cell's limit, not held whole (see lineLongerThanACell).
    QTest::newRow("line of a MiB") << good + QByteArray(1 << 20, '1') + '\n'
                                   << ":5:1: "
                                   << "the cell has more than 32767 characters";
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
    QTest::newRow("diagrams into a file")
        << QStringList{QStringLiteral("--diagrams"), QStringLiteral(CTAUDIT_BATCH),
                       QStringLiteral("-")}
        << QStringLiteral("%1: cannot write diagrams").arg(QStringLiteral(CTAUDIT_BATCH));
    QTest::newRow("reports into a file")
        << QStringList{QStringLiteral("--report"), QStringLiteral(CTAUDIT_BATCH),
                       QStringLiteral("-")}
        << QStringLiteral("%1: cannot write reports").arg(QStringLiteral(CTAUDIT_BATCH));
    QTest::newRow("device") << QStringList{QStringLiteral("/dev/zero")}
                            << "/dev/zero: it is not a regular file or a pipe";
    QTest::newRow("diagrams without a folder")
        << QStringList{QStringLiteral("--diagrams="), QStringLiteral("-")}
        << "--diagrams needs the name of a folder";
    QTest::newRow("reports without a folder")
        << QStringList{QStringLiteral("--report"), QString(), QStringLiteral("-")}
        << "--report needs the name of a folder";
    const QString weather = dir_.filePath(QStringLiteral("weather.csv"));
    QFile weatherFile(weather);
    if (weatherFile.open(QIODevice::WriteOnly))
        weatherFile.write("tdb,rh\n20,50\n20,150\n");
    QTest::newRow("weather row out of range")
        << QStringList{QStringLiteral("--savings"), QStringLiteral("--weather"), weather,
                       QStringLiteral("-")}
        << weather + QStringLiteral(":3: the relative humidity must lie between 0 and 100 %");
    // An output that is the input would destroy it, by its name or through a link.
    const QString input = dir_.filePath(QStringLiteral("in.csv"));
    QFile inputFile(input);
    if (inputFile.open(QIODevice::WriteOnly))
        inputFile.write(caseFile(Arrangement::CounterFlow));
    const QString link = dir_.filePath(QStringLiteral("in-link.csv"));
    QFile::link(input, link);
    QTest::newRow("output is the input") << QStringList{QStringLiteral("--output"), input, input}
                                         << input + QStringLiteral(" is the input");
    QTest::newRow("workbook is the input through a link")
        << QStringList{QStringLiteral("--xlsx"), link, input}
        << link + QStringLiteral(" is the input");
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

void TestBatchTool::fullStandardOutput() {
    // Standard output on a full disk is an error, not a success with rows lost.
    QProcess process;
    process.setStandardOutputFile(QStringLiteral("/dev/full"));
    process.start(QStringLiteral(CTAUDIT_BATCH), {QStringLiteral("-")});
    QVERIFY(process.waitForStarted(10000));
    process.write(caseFile(Arrangement::CounterFlow));
    process.closeWriteChannel();
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 2);
    QVERIFY(process.readAllStandardError().contains("ctaudit-batch: standard output: "));
}

void TestBatchTool::fullDiskKeepsTheOldOutput() {
    // An --output file on a disk that fills up (here: a limit on the file size, which the
    // child inherits; the output of three cases is short enough to sit in the write buffer
    // to the end): exit 2, and the file that was there stays as it was, with no leftover.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.csv"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old\n") == 4);
    old.close();
    QByteArray three;
    for (const QByteArray& line : caseFile(Arrangement::CounterFlow).split('\n').mid(0, 4))
        three += line + '\n';

    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &limit) == 0);
    rlimit small = limit;
    small.rlim_cur = 1024;
    QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
    const Run run = runTool({QStringLiteral("--jobs"), QStringLiteral("1"),
                             QStringLiteral("--output"), path, QStringLiteral("-")},
                            three);
    QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);

    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains(path.toUtf8()), run.err.constData());
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"out.csv"});
}

// A limit on the file size (ulimit -f) in a tool that was not told to ignore the signal it
// sends: a write past the limit fails as on a full disk, the tool names the file and "File too
// large", and leaves no new file behind; workers too.
void TestBatchTool::fileSizeLimitIsAFailedWrite_data() {
    QTest::addColumn<QStringList>("arguments"); // in the test's folder
    QTest::addColumn<int>("exitCode");
    QTest::newRow("--output") << QStringList{"--output", "out.csv"} << 2;
    QTest::newRow("--xlsx") << QStringList{"--xlsx", "out.xlsx"} << 2;
    QTest::newRow("--report, two workers") << QStringList{"--jobs=2", "--report", "."} << 2;
}

void TestBatchTool::fileSizeLimitIsAFailedWrite() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QTemporaryDir dir;
    for (QString& argument : arguments)
        if (!argument.startsWith(u'-'))
            argument = dir.filePath(argument);
    const Run run = runTool(arguments << QStringLiteral("-"), caseFile(Arrangement::CounterFlow),
                            QProcessEnvironment::systemEnvironment(), [] {
                                std::signal(SIGXFSZ, SIG_DFL);
                                rlimit limit{};
                                getrlimit(RLIMIT_FSIZE, &limit);
                                limit.rlim_cur = 1024;
                                setrlimit(RLIMIT_FSIZE, &limit);
                            });
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(dir.path().toUtf8()) && run.err.contains(": File too large\n"),
             run.err.constData());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

// A link placed in an output folder is replaced by the tool's file, never written through: the
// file it pointed to stays as it was, whichever writer meets it.
void TestBatchTool::linksInTheOutputAreReplaced_data() {
    QTest::addColumn<QStringList>("arguments"); // in the test's folder "out"
    QTest::addColumn<QString>("file");
    QTest::newRow("--output") << QStringList{"--output", "out.csv"} << "out.csv";
    QTest::newRow("--xlsx") << QStringList{"--xlsx", "out.xlsx"} << "out.xlsx";
    QTest::newRow("--report") << QStringList{"--report", "."} << "1-counterflow-report.pdf";
    QTest::newRow("--diagrams") << QStringList{"--diagrams", "."}
                                << "1-counterflow-problem1-enthalpy.svg";
}

void TestBatchTool::linksInTheOutputAreReplaced() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, file);
    QTemporaryDir dir;
    const QDir out(dir.filePath(QStringLiteral("out")));
    QVERIFY(out.mkpath(QStringLiteral(".")));
    const QString victim = dir.filePath(QStringLiteral("victim"));
    QFile old(victim);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("victim\n") == 7);
    old.close();
    QVERIFY(QFile::link(QStringLiteral("../victim"), out.filePath(file)));
    for (QString& argument : arguments)
        if (!argument.startsWith(u'-'))
            argument = out.filePath(argument);
    const Run run = runTool(QStringList{"--jobs=1"} << arguments << QStringLiteral("-"),
                            caseFile(Arrangement::CounterFlow));
    QVERIFY2(run.exitCode == 0, run.err.constData());
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("victim\n"));
    const QFileInfo written(out.filePath(file));
    QVERIFY(!written.isSymLink());
    QVERIFY(written.isFile() && written.size() > 100);
}

void TestBatchTool::closedPipeIsAFailedWrite() {
    // Standard output a pipe that nobody reads any more (| head): the write fails, the tool
    // says so and stops with status 2, as on a full disk, not ended by the signal.
    int ends[2];
    QVERIFY(::pipe(ends) == 0);
    ::close(ends[0]);
    const int writeEnd = ends[1];
    const Run run = runTool({QStringLiteral("--jobs=1"), QStringLiteral("-")},
                            caseFile(Arrangement::CounterFlow),
                            QProcessEnvironment::systemEnvironment(), [writeEnd] {
                                std::signal(SIGPIPE, SIG_DFL);
                                ::dup2(writeEnd, STDOUT_FILENO);
                            });
    ::close(writeEnd);
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains("ctaudit-batch: standard output: Broken pipe"), run.err.constData());
}

void TestBatchTool::specialInputsAreStreams() {
    // A CSV file by a name that is a pipe (standard input as /dev/stdin) or a FIFO is read as a
    // stream: its start is not lost to the look for an audit file, nor is it "empty".
    const QByteArray data = caseFile(Arrangement::CounterFlow);
    const Run expected = runTool({QStringLiteral("-")}, data);
    QCOMPARE(expected.exitCode, 0);
    const Run byName = runTool({QStringLiteral("/dev/stdin")}, data);
    QVERIFY2(byName.err.isEmpty(), byName.err.constData());
    QCOMPARE(byName.exitCode, 0);
    QCOMPARE(byName.out, expected.out);

    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("in.csv"));
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    QProcess writer; // fills the FIFO when the tool opens it
    writer.start(QStringLiteral("/bin/sh"),
                 {QStringLiteral("-c"), QStringLiteral("printf '%s' \"$0\" > \"$1\""),
                  QString::fromUtf8(data), fifo});
    const Run fromFifo = runTool({fifo});
    QVERIFY(writer.waitForFinished(10000));
    QCOMPARE(fromFifo.exitCode, 0);
    QCOMPARE(fromFifo.out, expected.out);

    // An audit file that is a FIFO or a folder is refused at once, not read as JSON.
    const QString auditFifo = dir.filePath(QStringLiteral("a.ctaudit"));
    QVERIFY(::mkfifo(QFile::encodeName(auditFifo).constData(), 0600) == 0);
    const QString folder = dir.filePath(QStringLiteral("b.ctaudit"));
    QVERIFY(QDir().mkpath(folder));
    for (const QString& name : {auditFifo, folder}) {
        const Run refused = runTool({name});
        QCOMPARE(refused.exitCode, 2);
        QVERIFY2(
            refused.err.contains((name + QStringLiteral(": it is not a regular file")).toUtf8()),
            refused.err.constData());
    }
}

void TestBatchTool::specialOutputsAreWrittenInPlace() {
    const QByteArray data = caseFile(Arrangement::CounterFlow);
    const Run expected = runTool({QStringLiteral("-")}, data);
    QTemporaryDir dir;

    // A FIFO stays a FIFO, and its reader gets the rows.
    const QString fifo = dir.filePath(QStringLiteral("out.fifo"));
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    QProcess reader;
    reader.start(QStringLiteral("/bin/cat"), {fifo});
    QVERIFY(reader.waitForStarted(10000));
    const Run toFifo = runTool({QStringLiteral("--output"), fifo, QStringLiteral("-")}, data);
    QVERIFY(reader.waitForFinished(10000));
    QCOMPARE(toFifo.exitCode, 0);
    QCOMPARE(reader.readAllStandardOutput(), expected.out);
    struct stat status {};
    QVERIFY(::stat(QFile::encodeName(fifo).constData(), &status) == 0);
    QVERIFY(S_ISFIFO(status.st_mode));

    // /dev/stdout is the output as it was opened: appended to, not replaced.
    const QString log = dir.filePath(QStringLiteral("log.csv"));
    QFile old(log);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("earlier\n") == 8);
    old.close();
    QProcess appending;
    appending.setStandardOutputFile(log, QIODevice::Append);
    appending.start(
        QStringLiteral(CTAUDIT_BATCH),
        {QStringLiteral("--output"), QStringLiteral("/dev/stdout"), QStringLiteral("-")});
    QVERIFY(appending.waitForStarted(10000));
    appending.write(data);
    appending.closeWriteChannel();
    QVERIFY(appending.waitForFinished(60000));
    QCOMPARE(appending.exitCode(), 0);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), "earlier\n" + expected.out);
}

void TestBatchTool::fullOutputStopsAtTheFirstRow() {
    // Standard output on a full disk stops the run at its first row: of twenty cases run here,
    // one after the other, only the first has drawn its diagrams.
    QByteArray data = caseFile(Arrangement::CounterFlow);
    const QByteArray line = data.split('\n')[1] + '\n';
    for (int i = 0; i < 19; ++i)
        data += line;
    QTemporaryDir dir;
    QProcess process;
    process.setStandardOutputFile(QStringLiteral("/dev/full"));
    process.start(QStringLiteral(CTAUDIT_BATCH),
                  {QStringLiteral("--jobs=1"), QStringLiteral("--diagrams"), dir.path(),
                   QStringLiteral("-")});
    QVERIFY(process.waitForStarted(10000));
    process.write(data);
    process.closeWriteChannel();
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 2);
    QVERIFY(process.readAllStandardError().contains(
        "ctaudit-batch: standard output: No space left on device"));
    QStringList cases;
    for (const QString& name : QDir(dir.path()).entryList(QDir::Files))
        if (!cases.contains(name.section(u'-', 0, 0)))
            cases.append(name.section(u'-', 0, 0));
    QCOMPARE(cases, QStringList{"1"});
}

void TestBatchTool::jobsAreCapped() {
    const QByteArray data = caseFile(Arrangement::CounterFlow);
    const Run run = runTool({QStringLiteral("--jobs=100000"), QStringLiteral("-")}, data);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.err.contains("--jobs 100000 is more than the tool runs; it uses 64 processes"),
             run.err.constData());
    QCOMPARE(run.out, runTool({QStringLiteral("-")}, data).out);
}

void TestBatchTool::killedWorkerIsNamed() {
    // A worker ended by a signal: the tool says which, not "failed: " and nothing.
    QByteArray data = caseFile(Arrangement::CrossFlow);
    const QByteArray line = data.split('\n')[1] + '\n';
    for (int i = 0; i < 400; ++i)
        data += line;
    QProcess process;
    process.start(QStringLiteral(CTAUDIT_BATCH), {QStringLiteral("--arrangement=cross"),
                                                  QStringLiteral("--jobs=2"), QStringLiteral("-")});
    QVERIFY(process.waitForStarted(10000));
    process.write(data);
    process.closeWriteChannel();
    // Its workers are its children; the first one found is killed.
    const QString children = QStringLiteral("/proc/%1/task/%1/children").arg(process.processId());
    int worker = 0;
    for (int attempt = 0; attempt < 1000 && worker == 0 && process.state() == QProcess::Running;
         ++attempt) {
        QFile list(children);
        if (list.open(QIODevice::ReadOnly))
            worker = list.readAll().split(' ').front().trimmed().toInt();
        if (worker == 0)
            process.waitForFinished(10);
    }
    QVERIFY2(worker > 0, "no worker process was seen");
    QVERIFY(::kill(worker, SIGKILL) == 0);
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 1);
    const QByteArray err = process.readAllStandardError();
    QVERIFY2(err.contains("ctaudit-batch: a worker process was ended by signal 9 (Killed)"),
             err.constData());
}

QTEST_GUILESS_MAIN(TestBatchTool)
#include "tst_batchtool.moc"
