#pragma once
// A private headless LibreOffice for the spreadsheet tests: soffice.bin started as a child
// of the test with a temporary profile and its own pipe, killed by the kernel if the test
// dies, and stopped by process id at the end of each test.

#include "reports/spreadsheet.h"

#include <QProcess>
#include <QString>
#include <memory>

class HeadlessOffice {
public:
    explicit HeadlessOffice(const QString& profileDir);
    ~HeadlessOffice();
    HeadlessOffice(const HeadlessOffice&) = delete;
    HeadlessOffice& operator=(const HeadlessOffice&) = delete;

    // Creates the office profile once, so that later starts do not ask for a restart.
    static bool prepareProfile(const QString& profileDir);

    // Starts the office and waits until it accepts; returns a connection for looking at
    // its cells, or nullptr.
    std::unique_ptr<Spreadsheet> start();
    // Ends the office: SIGTERM, then SIGKILL if it does not end.
    void stop();
    bool running() const { return process_.state() != QProcess::NotRunning; }

    // Options that connect to this office through the module under test.
    OfficeOptions connectOptions() const;
    QString profileUrl() const { return urlOf(profileDir_); }
    static QString urlOf(const QString& profileDir);

    // Offices running on a profile, found by their command line: waits until none is left;
    // ends them (SIGKILL).
    static bool waitForNoOffice(const QString& profileDir, int timeoutMs);
    static QList<qint64> officesOn(const QString& profileDir);
    static void killOffices(const QString& profileDir);
    qint64 startMs() const { return startMs_; }

    static QString programDir() { return QStringLiteral(CTAUDIT_OFFICE_PROGRAM_DIR); }
    static QString modulePath() { return QStringLiteral(CTAUDIT_CALC_MODULE); }

private:
    bool launch();

    QString profileDir_;
    QString pipe_;
    QProcess process_;
    qint64 startMs_ = 0;
};
