// The programs as built, run as processes: ctaudit --check shows the start window offscreen,
// names the template, the Calc module and the manual beside it and exits 0 by itself; both
// programs' --version say the project's version, the one number the package carries too;
// ctaudit's --version and --help need no display, and a limit on the file size ends neither
// program.

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

namespace {

struct Run {
    int exitCode = -1;
    QString out;
};

Run run(const QString& program, const QStringList& arguments, bool display = true) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (display)
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    else
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(QLatin1String(name));
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    if (process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput())};
}

} // namespace

class TestStartCheck : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void versions_data();
    void versions();
    void startCheck();
    void fileSizeLimitEndsNeitherProgram_data() { versions_data(); }
    void fileSizeLimitEndsNeitherProgram();
};

void TestStartCheck::versions_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("option");
    QTest::addColumn<bool>("display");
    QTest::addColumn<QString>("expected"); // the start of the output
    const QString version = QStringLiteral("ctaudit " CTAUDIT_PROJECT_VERSION "\n");
    QTest::newRow("ctaudit") << QStringLiteral(CTAUDIT_PROGRAM) << "--version" << true << version;
    QTest::newRow("ctaudit-batch") << QStringLiteral(CTAUDIT_BATCH) << "--version" << true
                                   << QStringLiteral("ctaudit-batch " CTAUDIT_PROJECT_VERSION "\n");
    QTest::newRow("ctaudit, no display")
        << QStringLiteral(CTAUDIT_PROGRAM) << "--version" << false << version;
    QTest::newRow("ctaudit --help, no display")
        << QStringLiteral(CTAUDIT_PROGRAM) << "--help" << false << "Usage: ";
}

void TestStartCheck::versions() {
    QFETCH(QString, program);
    QFETCH(QString, option);
    QFETCH(bool, display);
    QFETCH(QString, expected);
    const Run r = run(program, {option}, display);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out.left(expected.size()), expected);
    if (option == QLatin1String("--version"))
        QCOMPARE(r.out, expected);
}

void TestStartCheck::startCheck() {
    const Run r = run(QStringLiteral(CTAUDIT_PROGRAM), {QStringLiteral("--check")});
    QCOMPARE(r.exitCode, 0);
    const QDir bin = QFileInfo(QStringLiteral(CTAUDIT_PROGRAM)).absoluteDir();
    QCOMPARE(r.out.split(u'\n', Qt::SkipEmptyParts),
             (QStringList{QStringLiteral("ctaudit " CTAUDIT_PROJECT_VERSION),
                          QStringLiteral("start window: shown"),
                          QStringLiteral("template: ") + bin.filePath("templete2.xls"),
                          QStringLiteral("Calc module: ") + bin.filePath("libctaudit_calc.so"),
                          QStringLiteral("manual: ") + bin.filePath("manual/index.html")}));
}

// A limit on the file size (ulimit -f) where the signal it sends has its default action, as a
// shell leaves it: a write past it fails, it does not end the program (and with it the audit
// on screen). Here the version goes to a file that may not grow at all.
void TestStartCheck::fileSizeLimitEndsNeitherProgram() {
    QFETCH(QString, program);
    QTemporaryDir dir;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.setStandardOutputFile(dir.filePath(QStringLiteral("out")));
    process.setChildProcessModifier([] {
        std::signal(SIGXFSZ, SIG_DFL);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &limit);
    });
    process.start(program, {QStringLiteral("--version")});
    QVERIFY(process.waitForFinished(120000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
}

QTEST_MAIN(TestStartCheck)
#include "tst_startcheck.moc"
