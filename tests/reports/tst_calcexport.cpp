// The export against a real LibreOffice Calc, headless with a private profile, through the
// automation module as the program loads it. Each test has its own office and its own copy
// of the template; no office process and no lock file outlive a test.

#include "engine/cellmap.h"
#include "fakereportsource.h"
#include "headlessoffice.h"
#include "reports/excelreport.h"
#include "reports/templatedocument.h"
#include "support/recordingdesktop.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

using report::cellAddress;
using report::ColumnLetter;
using report::kCellMap;

namespace {

QByteArray fileHash(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

QString columnName(int index) {
    return QString(QChar(u'A' + index));
}

bool writeScript(const QString& path, const QByteArray& body) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("#!/bin/sh\n" + body + "\n");
    file.close();
    return file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

} // namespace

class TestCalcExport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void twoCounterFlowExportsFillBThenC();
    void twentyFirstExportOverwritesU();
    void emptyMarkerReusesColumn();
    void crossFlowWithNeverOpenedWindow();
    void exportFollowsTheActiveWorkbook();
    void startsThroughTheOfficeProgram();
    void closedByTheUser_data();
    void closedByTheUser();
    void numbersArriveAsNumbers();
    void startedOfficeEndsWithTheProgram_data();
    void startedOfficeEndsWithTheProgram();
    void templateMissing();
    void noOffice_data();
    void noOffice();
    void officeThatNeverAnswersIsEnded();
    void stoppedOfficeIsEndedAndStartedAgain();

private:
    // A run of the program whose exports go to the test's office.
    struct Run {
        FakeReportSource source;
        RecordingDesktop desktop;
        ExcelReport report{source, &desktop};
        int created = 0;
        Run(const OfficeOptions& options, const QString& templatePath) {
            report.setTemplatePath(templatePath);
            report.setFactory([this, options](const QString& progId, QString* failure) {
                ++created;
                OfficeOptions withFailure = options;
                withFailure.failure = failure;
                return createSpreadsheet(progId, withFailure);
            });
        }
        qint64 exportNumber(int n) {
            source.exportNumber = n;
            QElapsedTimer clock;
            clock.start();
            report.run();
            return clock.elapsed();
        }
    };

    bool needsOffice() const;
    // Compares the whole sheet A1:U82 with the template plus the given columns of texts.
    void compareSheet(const QMap<QString, QString>& written);
    QMap<QString, QString> exportedColumn(const FakeReportSource& source, const QString& column,
                                          bool counterFlow) const;

    QTemporaryDir profile_;
    std::unique_ptr<HeadlessOffice> office_;
    std::unique_ptr<Spreadsheet> inspector_; // a second connection for reading the cells
    std::unique_ptr<QTemporaryDir> work_;
    QString template_;
    QByteArray templateHash_;
};

void TestCalcExport::initTestCase() {
    QVERIFY(profile_.isValid());
    QVERIFY(QFile::exists(QDir(HeadlessOffice::programDir()).filePath("soffice.bin")));
    QVERIFY(HeadlessOffice::prepareProfile(profile_.path()));
}

bool TestCalcExport::needsOffice() const {
    const QLatin1String test(QTest::currentTestFunction());
    return test != QLatin1String("noOffice") &&
           test != QLatin1String("startedOfficeEndsWithTheProgram") &&
           test != QLatin1String("stoppedOfficeIsEndedAndStartedAgain") &&
           test != QLatin1String("officeThatNeverAnswersIsEnded");
}

void TestCalcExport::init() {
    work_ = std::make_unique<QTemporaryDir>();
    QVERIFY(work_->isValid());
    template_ = work_->filePath(ExcelReport::kTemplateName);
    QVERIFY(QFile::copy(QStringLiteral(CTAUDIT_TEMPLATE), template_));
    templateHash_ = fileHash(template_);
    if (needsOffice()) {
        office_ = std::make_unique<HeadlessOffice>(profile_.path());
        inspector_ = office_->start();
        QVERIFY2(inspector_, "the headless office did not start");
        qInfo("office started in %lld ms", office_->startMs());
    }
}

void TestCalcExport::cleanup() {
    inspector_.reset();
    // An office the export started and a failed test left behind.
    if (!needsOffice())
        HeadlessOffice::killOffices(profile_.path());
    if (office_) {
        office_->stop();
        QVERIFY(!office_->running());
        office_.reset();
    }
    // The template is opened as a template: never changed, never locked.
    QCOMPARE(fileHash(template_), templateHash_);
    const QStringList left = QDir(work_->path()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(left, QStringList{ExcelReport::kTemplateName});
    work_.reset();
}

QMap<QString, QString> TestCalcExport::exportedColumn(const FakeReportSource& source,
                                                      const QString& column,
                                                      bool counterFlow) const {
    QMap<QString, QString> cells;
    for (const report::CellMapRow& row : kCellMap) {
        const report::ControlRef& ref = counterFlow ? row.counterFlow : row.crossFlow;
        cells.insert(cellAddress(column, row.row), source.textOf(ref.form, ref.control));
    }
    return cells;
}

void TestCalcExport::compareSheet(const QMap<QString, QString>& written) {
    QStringList mismatches;
    for (int row = 1; row <= report::kTemplateRows; ++row) {
        for (int column = 0; column < report::kTemplateColumns; ++column) {
            const QString address = cellAddress(columnName(column), row);
            const QString expected = written.value(address, report::templateText(row, column));
            const std::optional<QString> actual = inspector_->readCell("Problem", address);
            if (actual != expected) {
                mismatches << QStringLiteral("%1: \"%2\" instead of \"%3\"")
                                  .arg(address, actual.value_or("(unreadable)"), expected);
            }
        }
    }
    QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches.mid(0, 10).join("\n")));
}

// Both exports land in their own column; the title, the headings, the labels and the rows
// the map does not list stay as the template has them.
void TestCalcExport::twoCounterFlowExportsFillBThenC() {
    Run run(office_->connectOptions(), template_);
    const qint64 first = run.exportNumber(1);
    QMap<QString, QString> written = exportedColumn(run.source, "B", true);
    const qint64 second = run.exportNumber(2);
    written.insert(exportedColumn(run.source, "C", true));
    qInfo("first export (connect, open, clear and fill by ranges) %lld ms, second export %lld ms",
          first, second);
    QCOMPARE(run.source.flagText, QStringLiteral("1"));
    compareSheet(written);
    QVERIFY(run.desktop.messages.isEmpty());
}

void TestCalcExport::twentyFirstExportOverwritesU() {
    Run run(office_->connectOptions(), template_);
    for (int n = 1; n <= 21; ++n)
        run.exportNumber(n);
    for (int slot = 1; slot <= 19; ++slot) {
        QCOMPARE(inspector_->readCell("Problem", ColumnLetter(slot) + "3"),
                 QStringLiteral("Form5.Text1 #%1").arg(slot));
    }
    const QMap<QString, QString> u = exportedColumn(run.source, "U", true); // texts of #21
    for (auto it = u.cbegin(); it != u.cend(); ++it)
        QCOMPARE(inspector_->readCell("Problem", it.key()), it.value());
    QCOMPARE(run.created, 1);
}

void TestCalcExport::emptyMarkerReusesColumn() {
    Run run(office_->connectOptions(), template_);
    run.source.overrides.insert("Form5.Text1", QString());
    run.exportNumber(1);
    QCOMPARE(inspector_->readCell("Problem", "B3"), QString());
    run.source.overrides.clear();
    run.exportNumber(2);
    compareSheet(exportedColumn(run.source, "B", true));
}

// Every row from Form8, Form6, Form9, Form4; Form4 was never opened and gives its design
// texts.
void TestCalcExport::crossFlowWithNeverOpenedWindow() {
    Run run(office_->connectOptions(), template_);
    run.source.chosen = Arrangement::CrossFlow;
    run.source.neverOpened.insert("Form4");
    run.exportNumber(1);
    compareSheet(exportedColumn(run.source, "B", false));
    QCOMPARE(inspector_->readCell("Problem", "B69"), QStringLiteral("design Form4.Text7"));
}

// The user made another workbook the active one: later exports write into its worksheet
// "Problem".
void TestCalcExport::exportFollowsTheActiveWorkbook() {
    Run run(office_->connectOptions(), template_);
    run.exportNumber(1);
    QVERIFY(inspector_->openWorkbook(template_, true)); // a second audit, now active
    QCOMPARE(inspector_->readCell("Problem", "B3"), QString());
    run.exportNumber(2);
    compareSheet(exportedColumn(run.source, "B", true));
}

// The way the program starts the office: "soffice" with a private pipe. Here it finds this
// test's office running on the same profile, hands the pipe to it and ends.
void TestCalcExport::startsThroughTheOfficeProgram() {
    OfficeOptions options;
    options.modulePath = HeadlessOffice::modulePath();
    options.program = QDir(HeadlessOffice::programDir()).filePath("soffice");
    options.arguments = {QStringLiteral("--headless"),
                         QStringLiteral("-env:UserInstallation=") + office_->profileUrl()};
    Run run(options, template_);
    const qint64 ms = run.exportNumber(1);
    qInfo("export through soffice: %lld ms", ms);
    compareSheet(exportedColumn(run.source, "B", true));
}

void TestCalcExport::closedByTheUser_data() {
    QTest::addColumn<bool>("officeEnded"); // else only the workbook was closed
    QTest::newRow("workbook closed, office running") << false;
    QTest::newRow("office ended and started again") << true;
}

// The user closed the workbook (the office still runs), or ended the office: the next export
// makes a fresh workbook from the template and fills its column B.
void TestCalcExport::closedByTheUser() {
    QFETCH(bool, officeEnded);
    Run run(office_->connectOptions(), template_);
    run.exportNumber(1);
    run.exportNumber(2);
    if (officeEnded) {
        inspector_.reset();
        office_->stop();
        inspector_ = office_->start(); // on the same pipe
        QVERIFY(inspector_);
    } else {
        QVERIFY(inspector_->closeWorkbook());
        QVERIFY(!inspector_->hasWorkbook());
    }
    run.exportNumber(3);
    compareSheet(exportedColumn(run.source, "B", true));
    QCOMPARE(run.created, officeEnded ? 2 : 1);
    // An ended office is named as such, not as a closed workbook.
    QVERIFY2(run.source.statuses.last().contains(
                 officeEnded ? QStringLiteral("LibreOffice had ended: it was started again and a "
                                              "new workbook was made from the template")
                             : QStringLiteral("the workbook had been closed: a new one was made")),
             qPrintable(run.source.statuses.last()));
    QVERIFY(run.desktop.messages.isEmpty());
}

// A text that is a number arrives as that number, and the sheet shows it as the window does.
void TestCalcExport::numbersArriveAsNumbers() {
    Run run(office_->connectOptions(), template_);
    const struct {
        const char* control;
        const char* address;
        const char* text;
        double value;
    } numbers[] = {
        {"Form5.Text1", "B3", "100.00", 100.0},     {"Form5.lbl10", "B13", "1131.30", 1131.3},
        {"Form5.lbl17", "B23", "0.01234", 0.01234}, {"Form3.Text1", "B69", "2200", 2200.0},
        {"Form5.lbl2", "B12", "-0.5", -0.5},        {"Form5.lbl15", "B21", "05.30", 5.3}};
    for (const auto& n : numbers)
        run.source.overrides.insert(n.control, n.text);
    run.exportNumber(1);
    for (const auto& n : numbers) {
        QCOMPARE(inspector_->readNumber("Problem", n.address), n.value);
        QCOMPARE(inspector_->readCell("Problem", n.address), QString::fromLatin1(n.text));
    }
    QCOMPARE(inspector_->readNumber("Problem", "B4"), std::nullopt); // "Form5.Text8 #1"
}

// An office that the program started ends with the program when no document is open in it
// any more; one holding the user's workbook lives on.
void TestCalcExport::startedOfficeEndsWithTheProgram_data() {
    QTest::addColumn<bool>("closeWorkbook");
    QTest::newRow("workbook closed: the office ends") << true;
    QTest::newRow("workbook open: the office lives on") << false;
}

void TestCalcExport::startedOfficeEndsWithTheProgram() {
    QFETCH(bool, closeWorkbook);
    const QString pipe =
        QStringLiteral("ctaudit_test_look_%1").arg(QCoreApplication::applicationPid());
    OfficeOptions options;
    options.modulePath = HeadlessOffice::modulePath();
    options.program = QDir(HeadlessOffice::programDir()).filePath("soffice");
    options.arguments = {QStringLiteral("--headless"),
                         QStringLiteral("-env:UserInstallation=") +
                             HeadlessOffice::urlOf(profile_.path()),
                         QStringLiteral("--accept=pipe,name=%1;urp;").arg(pipe)};
    auto run = std::make_unique<Run>(options, template_);
    run->exportNumber(1);
    OfficeOptions look;
    look.modulePath = HeadlessOffice::modulePath();
    look.pipeName = pipe;
    std::unique_ptr<Spreadsheet> office = createSpreadsheet("Excel.Application", look);
    QVERIFY(office);
    QCOMPARE(office->readCell("Problem", "B3"), QStringLiteral("Form5.Text1 #1"));
    if (closeWorkbook)
        QVERIFY(office->closeWorkbook());
    office.reset();
    run.reset(); // the program ends
    const bool ended =
        HeadlessOffice::waitForNoOffice(profile_.path(), closeWorkbook ? 20000 : 3000);
    HeadlessOffice::killOffices(profile_.path());
    QCOMPARE(ended, closeWorkbook);
}

void TestCalcExport::templateMissing() {
    Run run(office_->connectOptions(), work_->filePath("missing/templete2.xls"));
    const qint64 ms = run.exportNumber(1);
    QVERIFY2(ms < 5000, qPrintable(QString::number(ms)));
    QCOMPARE(run.source.flagText, QStringLiteral("1"));
    QVERIFY(run.desktop.messages.isEmpty());
    QCOMPARE(inspector_->readCell("Problem", "B3"), std::nullopt); // no workbook at all
    QCOMPARE(run.source.statuses.last(),
             QStringLiteral("Excel: nothing was written: the template templete2.xls was not "
                            "found in %1.")
                 .arg(work_->filePath("missing")));
}

void TestCalcExport::noOffice_data() {
    QTest::addColumn<QString>("modulePath");
    QTest::addColumn<QString>("program");   // file name inside the work folder, or a path
    QTest::addColumn<QByteArray>("script"); // body of that file, when it is to exist
    QTest::addColumn<bool>("emptyPath");
    QTest::addColumn<QString>("why"); // what the status line says, after "nothing was written: "
    const QString module = HeadlessOffice::modulePath();
    QTest::newRow("module missing")
        << "/nonexistent/libctaudit_calc.so"
        << "" << QByteArray() << false
        << "the LibreOffice Calc module libctaudit_calc.so was not found in /nonexistent";
    QTest::newRow("no soffice on PATH")
        << module << "" << QByteArray() << true
        << "LibreOffice is not installed (no \"soffice\" on the PATH)";
    QTest::newRow("program missing")
        << module << "/nonexistent/soffice" << QByteArray() << false
        << "LibreOffice is not installed (/nonexistent/soffice is missing)";
    // Started, it would never bring up an office: it must not be started at all.
    QTest::newRow("soffice without soffice.bin")
        << module << "soffice" << QByteArray("sleep 60") << false << "LibreOffice is incomplete";
    QTest::newRow("office ends at once") << module << "office" << QByteArray("exit 1") << false
                                         << "LibreOffice ended before it answered";
    QTest::newRow("office never answers") << module << "office" << QByteArray("sleep 3") << false
                                          << "LibreOffice Calc did not answer within 1 s";
}

void TestCalcExport::noOffice() {
    QFETCH(QString, modulePath);
    QFETCH(QString, program);
    QFETCH(QByteArray, script);
    QFETCH(bool, emptyPath);
    QFETCH(QString, why);
    OfficeOptions options;
    options.modulePath = modulePath;
    options.program = program;
    if (script.startsWith("sleep"))
        options.startTimeoutMs = 1000; // an office that runs but never answers
    if (!script.isEmpty()) {
        options.program = work_->filePath(program);
        QVERIFY(writeScript(options.program, script));
    }
    const QByteArray path = qgetenv("PATH");
    if (emptyPath)
        qputenv("PATH", QFile::encodeName(work_->path()));

    Run run(options, template_);
    const qint64 first = run.exportNumber(1);
    const qint64 second = run.exportNumber(2);
    qputenv("PATH", path);
    QVERIFY2(first < 6000, qPrintable(QString::number(first)));
    QVERIFY2(second < 100, qPrintable(QString::number(second)));
    QCOMPARE(run.source.flagText, QStringLiteral("1"));
    QCOMPARE(run.created, 1);
    QVERIFY(run.desktop.messages.isEmpty());
    QCOMPARE(run.desktop.waitCursorOn, run.desktop.waitCursorOff);
    QVERIFY2(run.source.statuses.last().startsWith("Excel: nothing was written: " + why),
             qPrintable(run.source.statuses.last()));
    if (!script.isEmpty())
        QVERIFY(QFile::remove(options.program));
}

// An office the export started that never answers (here a script with a child of its own, as
// an office showing a fatal error window) is ended with all it started when the start fails,
// not left behind.
void TestCalcExport::officeThatNeverAnswersIsEnded() {
    OfficeOptions options;
    options.modulePath = HeadlessOffice::modulePath();
    options.program = work_->filePath(QStringLiteral("office"));
    options.startTimeoutMs = 1000;
    const QString pids = work_->filePath(QStringLiteral("pids"));
    QVERIFY(writeScript(options.program,
                        QStringLiteral("sleep 600 & echo $$ $! > '%1'; wait").arg(pids).toUtf8()));
    Run run(options, template_);
    run.exportNumber(1);
    QVERIFY2(run.source.statuses.last().startsWith(
                 "Excel: nothing was written: LibreOffice Calc did not answer within 1 s"),
             qPrintable(run.source.statuses.last()));
    QFile file(pids);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> started = file.readAll().simplified().split(' ');
    QCOMPARE(started.size(), 2);
    for (const QByteArray& pid : started) {
        // Ended: gone, or a zombie no one has reaped yet.
        QFile stat(QStringLiteral("/proc/%1/stat").arg(QString::fromLatin1(pid)));
        const QByteArray line = stat.open(QIODevice::ReadOnly) ? stat.readAll() : QByteArray();
        const qsizetype close = line.lastIndexOf(')');
        QVERIFY2(line.isEmpty() || (close > 0 && line.mid(close + 2, 1) == "Z"), line.constData());
    }
    file.close();
    QVERIFY(QFile::remove(pids) && QFile::remove(options.program));
}

// The office the program started stops answering after an export (SIGSTOP, as a hung office):
// the next export returns after the limit, says so, and ends that office with all it started;
// the export after it starts a fresh office and writes column B of a new workbook.
void TestCalcExport::stoppedOfficeIsEndedAndStartedAgain() {
    OfficeOptions options;
    options.modulePath = HeadlessOffice::modulePath();
    options.program = QDir(HeadlessOffice::programDir()).filePath("soffice");
    options.arguments = {QStringLiteral("--headless"), QStringLiteral("-env:UserInstallation=") +
                                                           HeadlessOffice::urlOf(profile_.path())};
    Run run(options, template_);
    run.report.setAnswerLimitMs(3000);
    run.exportNumber(1);
    QVERIFY2(run.source.statuses.last().endsWith("column B of the worksheet \"Problem\" written."),
             qPrintable(run.source.statuses.last()));
    const QList<qint64> offices = HeadlessOffice::officesOn(profile_.path());
    QVERIFY(!offices.isEmpty());
    for (qint64 pid : offices)
        QCOMPARE(::kill(pid_t(pid), SIGSTOP), 0);

    const qint64 ms = run.exportNumber(2);
    qInfo("export into the stopped office returned after %lld ms", ms);
    QCOMPARE(run.source.statuses.last(),
             QStringLiteral("Excel: LibreOffice did not answer within 3 s and was ended; the "
                            "column may be incomplete. The next export starts it again."));
    QVERIFY(HeadlessOffice::waitForNoOffice(profile_.path(), 20000));

    run.exportNumber(3);
    QCOMPARE(run.created, 2);
    QCOMPARE(run.source.statuses.last(),
             QStringLiteral("Excel: LibreOffice had stopped answering: it was started again and "
                            "a new workbook was made from the template; column B of the worksheet "
                            "\"Problem\" written."));
    QVERIFY(run.desktop.messages.isEmpty());
    HeadlessOffice::killOffices(profile_.path());
}

QTEST_GUILESS_MAIN(TestCalcExport)
#include "tst_calcexport.moc"
