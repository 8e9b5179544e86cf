#pragma once
// Runs the cases of a batch and hands their output rows on in input order, either here, one
// case after the other, or spread over worker processes (the windows belong to one thread, so
// parallel cases need processes of their own).
//
// A worker is this program itself, run on a share of the cases: every jobs-th case, so that a
// stretch of slow cases is spread over all of them. It reads its share as the canonical input
// CSV on standard input and writes the usual output CSV; the runner puts its rows back in
// place under their own case numbers.

#include "batch/batchaudit.h"
#include "batch/batchinput.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class BatchRunner {
public:
    // Called with the number of finished cases, now and then and at the end.
    using Progress = std::function<void(qsizetype done, qsizetype total)>;
    // Receives each output row (case number, status, quantities), in input order.
    using Sink = std::function<void(const QStringList& row)>;

    // jobs: the number of processes to use; 1 runs every case in this process.
    BatchRunner(Arrangement arrangement, int jobs)
        : arrangement_(arrangement)
        , jobs_(jobs) {}

    // The worker processes a run of n cases would use: none for a few cases, where starting
    // them would cost more than it saves.
    int workersFor(qsizetype cases) const;

    // Runs every case. Returns the reason when the worker processes failed (nothing has been
    // handed to the sink then).
    std::optional<QString> run(const QList<BatchCase>& cases, const Sink& sink,
                               const Progress& progress) const;

    // The command-line arguments that make this program a worker for an arrangement.
    static QStringList workerArguments(Arrangement arrangement);

private:
    void runHere(const QList<BatchCase>& cases, const Sink& sink, const Progress& progress) const;
    std::optional<QString> runWorkers(const QList<BatchCase>& cases, int workers, const Sink& sink,
                                      const Progress& progress) const;

    Arrangement arrangement_;
    int jobs_;
};
