#pragma once
// Runs the cases of a batch as they are read and hands their output rows on in input order,
// either here, one case after the other, or spread over worker processes. Nothing holds more
// than a bounded window of cases: a run of any length takes constant memory.
//
// A worker is this program itself in its worker mode: it reads cases on standard input as CSV
// records of the case number and the kInputColumns (no header; with the capability columns, the
// case's settings and ambient table after them) and writes their output rows, a few at a time. Each
// case goes to the worker with the fewest cases in hand, so that a stretch of slow cases does not
// hold up the others; the runner keeps the order in which it handed cases out and passes each
// worker's rows on in that order.
//
// With the uncertainty columns (setUncertainty), each row carries its case's U columns
// (batchuncertainty.h) after the report's quantities, computed where the case ran; then, with
// the capability columns (setCapabilityColumns), the capability and the water and fan energy
// (batchcapability.h), computed there too.

#include "auditfile/batchinput.h"
#include "batch/batchaudit.h"
#include "batch/batchcapability.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <utility>

// The cases of a run, one at a time, in input order.
class CaseSource {
public:
    virtual ~CaseSource() = default;
    // The next case; nothing at the end, or when the input could not be read again as it was
    // (then failure() says why).
    virtual std::optional<BatchCase> next() = 0;
    virtual std::optional<QString> failure() const = 0;
};

// The cases of a batch file, read again after it was checked.
class FileCases : public CaseSource {
public:
    explicit FileCases(BatchReader& reader)
        : reader_(reader) {}
    std::optional<BatchCase> next() override { return reader_.next(); }
    std::optional<QString> failure() const override;

private:
    BatchReader& reader_;
};

// Cases held in memory (the audit files').
class ListedCases : public CaseSource {
public:
    explicit ListedCases(const QList<BatchCase>& cases)
        : cases_(cases) {}
    std::optional<BatchCase> next() override {
        if (next_ >= cases_.size())
            return std::nullopt;
        return cases_[next_++];
    }
    std::optional<QString> failure() const override { return std::nullopt; }

private:
    const QList<BatchCase>& cases_;
    qsizetype next_ = 0;
};

class BatchRunner {
public:
    // Called with the number of finished cases, now and then and at the end.
    using Progress = std::function<void(qsizetype done, qsizetype total)>;
    // Receives each output row as written (UTF-8, ending with LF), in input order; false when
    // it could not be written, which stops the run.
    using Sink = std::function<bool(const QByteArray& row)>;

    // What is done with each case's audit once its row is made (the diagrams), in the process
    // that ran the case. It returns why the run must stop, if it must. A worker is started with
    // workerArguments added to its own, which must make it do the same.
    struct AfterCase {
        std::function<std::optional<QString>(int caseNumber, const engine::Audit& audit)> run;
        QStringList workerArguments;
    };

    // jobs: the number of processes to use; 1 runs every case in this process.
    BatchRunner(Arrangement arrangement, int jobs, AfterCase afterCase = {})
        : arrangement_(arrangement)
        , jobs_(jobs)
        , afterCase_(std::move(afterCase)) {}

    // Whether each row carries the U columns after the report's quantities.
    void setUncertainty(bool on) { uncertainty_ = on; }
    // Which capability and energy columns each row carries after those.
    void setCapabilityColumns(CapabilityColumns columns) { capability_ = std::move(columns); }

    // The worker processes a run of n cases would use: none for a few cases, where starting
    // them would cost more than it saves.
    int workersFor(qsizetype cases) const;

    // Runs every case that cases gives (total of them). Returns the reason when the run
    // failed: a worker process failed, the input could not be read again as it was, or the
    // sink could not write a row (outputFailed()).
    std::optional<QString> run(CaseSource& cases, qsizetype total, const Sink& sink,
                               const Progress& progress) const;
    std::optional<QString> run(BatchReader& cases, qsizetype total, const Sink& sink,
                               const Progress& progress) const {
        FileCases source(cases);
        return run(source, total, sink, progress);
    }

    // Whether the failure run() gave was a file that afterCase could not write, here or in a
    // worker (which then exits with kWriteFailed).
    bool writeFailed() const { return writeFailed_; }
    static constexpr int kWriteFailed = 2;

    // The command-line arguments that make this program a worker for an arrangement.
    static QStringList workerArguments(Arrangement arrangement);
    // The reason run() gives when the sink could not write a row.
    static QString outputFailed() { return QStringLiteral("the output could not be written"); }
    // Why a worker process failed: the signal that ended it, or its exit status, and the end of
    // what it said on standard error.
    static QString workerFailure(QProcess::ExitStatus status, int exitCode, const QByteArray& said);
    // The argument that makes a worker add the U columns to its rows.
    static QString uncertaintyArgument() { return QStringLiteral("--uncertainty"); }
    // A worker: runs the cases of standard input, writing their rows (with the U columns when
    // uncertainty is set, then the capability columns) a few at a time, and afterCase (when
    // set) after each. Returns the program's exit status.
    static int runWorker(Arrangement arrangement, const AfterCase& afterCase = {},
                         bool uncertainty = false, const CapabilityColumns& capability = {});

private:
    std::optional<QString> runHere(CaseSource& cases, qsizetype total, const Sink& sink,
                                   const Progress& progress) const;
    std::optional<QString> runWorkers(CaseSource& cases, qsizetype total, int workers,
                                      const Sink& sink, const Progress& progress) const;

    Arrangement arrangement_;
    int jobs_;
    AfterCase afterCase_;
    bool uncertainty_ = false;
    CapabilityColumns capability_;
    mutable bool writeFailed_ = false;
};
