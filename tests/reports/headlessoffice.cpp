#include "headlessoffice.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QUrl>
#include <csignal>
#include <sys/prctl.h>

namespace {

// LibreOffice asks to be started again with this exit code (first start of a profile).
constexpr int kRestartExitCode = 81;
constexpr int kStartLimitMs = 60000;

QString officeBinary() {
    return QDir(HeadlessOffice::programDir()).filePath(QStringLiteral("soffice.bin"));
}

} // namespace

HeadlessOffice::HeadlessOffice(const QString& profileDir)
    : profileDir_(profileDir) {
    static int counter = 0;
    pipe_ =
        QStringLiteral("ctaudit_test_%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
    process_.setStandardOutputFile(QProcess::nullDevice());
    process_.setStandardErrorFile(QProcess::nullDevice());
    // The office must not outlive a test that crashes.
    process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

HeadlessOffice::~HeadlessOffice() {
    stop();
}

QString HeadlessOffice::urlOf(const QString& profileDir) {
    return QUrl::fromLocalFile(profileDir).toString(QUrl::FullyEncoded);
}

QList<qint64> HeadlessOffice::officesOn(const QString& profileDir) {
    QList<qint64> pids;
    const QByteArray url = HeadlessOffice::urlOf(profileDir).toUtf8();
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(entry));
        if (number && pid != QCoreApplication::applicationPid() &&
            cmdline.open(QIODevice::ReadOnly) && cmdline.readAll().contains(url))
            pids << pid;
    }
    return pids;
}

bool HeadlessOffice::waitForNoOffice(const QString& profileDir, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!officesOn(profileDir).isEmpty()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QThread::msleep(100);
    }
    return true;
}

void HeadlessOffice::killOffices(const QString& profileDir) {
    for (qint64 pid : officesOn(profileDir))
        ::kill(pid_t(pid), SIGKILL);
    waitForNoOffice(profileDir, 5000);
}

bool HeadlessOffice::prepareProfile(const QString& profileDir) {
    QProcess office;
    office.setStandardOutputFile(QProcess::nullDevice());
    office.setStandardErrorFile(QProcess::nullDevice());
    office.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    const QString url = QUrl::fromLocalFile(profileDir).toString(QUrl::FullyEncoded);
    for (int attempt = 0; attempt < 3; ++attempt) {
        office.start(officeBinary(), {QStringLiteral("--headless"), QStringLiteral("--norestore"),
                                      QStringLiteral("--terminate_after_init"),
                                      QStringLiteral("-env:UserInstallation=") + url});
        if (!office.waitForFinished(kStartLimitMs)) {
            office.kill();
            office.waitForFinished();
            return false;
        }
        if (office.exitStatus() == QProcess::NormalExit && office.exitCode() == 0)
            return true;
    }
    return false;
}

bool HeadlessOffice::launch() {
    process_.start(officeBinary(), {QStringLiteral("--headless"), QStringLiteral("--norestore"),
                                    QStringLiteral("--nologo"),
                                    QStringLiteral("--accept=pipe,name=%1;urp;").arg(pipe_),
                                    QStringLiteral("-env:UserInstallation=") + profileUrl()});
    return process_.waitForStarted();
}

std::unique_ptr<Spreadsheet> HeadlessOffice::start() {
    QElapsedTimer clock;
    clock.start();
    if (!launch())
        return nullptr;
    OfficeOptions options = connectOptions();
    options.startTimeoutMs = 250;
    while (clock.elapsed() < kStartLimitMs) {
        if (std::unique_ptr<Spreadsheet> connection =
                createSpreadsheet("Excel.Application", options)) {
            startMs_ = clock.elapsed();
            return connection;
        }
        if (process_.state() == QProcess::NotRunning) {
            if (process_.exitCode() != kRestartExitCode || !launch())
                return nullptr;
        }
    }
    stop();
    return nullptr;
}

void HeadlessOffice::stop() {
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.terminate();
    if (!process_.waitForFinished(15000)) {
        process_.kill();
        process_.waitForFinished();
    }
}

OfficeOptions HeadlessOffice::connectOptions() const {
    OfficeOptions options;
    options.modulePath = modulePath();
    options.pipeName = pipe_;
    return options;
}
