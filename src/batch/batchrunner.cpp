#include "batch/batchrunner.h"

#include "batch/csv.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <algorithm>
#include <memory>
#include <vector>

namespace {

// Fewer cases per worker than this are run here: a worker's start-up costs about as much as
// a few cases.
constexpr qsizetype kMinCasesPerWorker = 8;

} // namespace

int BatchRunner::workersFor(qsizetype cases) const {
    if (jobs_ <= 1)
        return 0;
    const qsizetype useful = cases / kMinCasesPerWorker;
    const auto workers = static_cast<int>(std::min<qsizetype>(jobs_, useful));
    return workers >= 2 ? workers : 0;
}

QStringList BatchRunner::workerArguments(Arrangement arrangement) {
    return {QStringLiteral("--jobs=1"),
            QStringLiteral("--arrangement=") + (arrangement == Arrangement::CounterFlow
                                                    ? QStringLiteral("counter")
                                                    : QStringLiteral("cross")),
            QStringLiteral("-")};
}

std::optional<QString> BatchRunner::run(const QList<BatchCase>& cases, const Sink& sink,
                                        const Progress& progress) const {
    const int workers = workersFor(cases.size());
    if (workers == 0) {
        runHere(cases, sink, progress);
        return std::nullopt;
    }
    return runWorkers(cases, workers, sink, progress);
}

void BatchRunner::runHere(const QList<BatchCase>& cases, const Sink& sink,
                          const Progress& progress) const {
    const BatchAudit audit(arrangement_);
    for (qsizetype i = 0; i < cases.size(); ++i) {
        sink(BatchAudit::resultCells(cases[i].number, audit.run(cases[i])));
        if (progress)
            progress(i + 1, cases.size());
    }
}

std::optional<QString> BatchRunner::runWorkers(const QList<BatchCase>& cases, int workers,
                                               const Sink& sink, const Progress& progress) const {
    struct Worker {
        QProcess process;
        QList<qsizetype> caseIndexes; // its share, in order
        QByteArray input;             // its share as the canonical input CSV
        QByteArray out;
        QByteArray err;
        qsizetype lines = 0; // line ends received so far
        qsizetype done = 0;  // rows received so far
    };
    std::vector<std::unique_ptr<Worker>> pool;
    for (int w = 0; w < workers; ++w) {
        auto worker = std::make_unique<Worker>();
        QList<BatchCase> share;
        for (qsizetype i = w; i < cases.size(); i += workers) {
            worker->caseIndexes.append(i);
            share.append(cases[i]);
        }
        worker->process.setProgram(QCoreApplication::applicationFilePath());
        worker->process.setArguments(workerArguments(arrangement_));
        worker->input = BatchInput::write(share).toUtf8();
        pool.push_back(std::move(worker));
    }

    QEventLoop loop;
    int running = workers;
    qsizetype finishedCases = 0;
    for (const auto& worker : pool) {
        Worker* self = worker.get();
        QObject::connect(&self->process, &QProcess::readyReadStandardOutput, &loop, [&, self] {
            const QByteArray chunk = self->process.readAllStandardOutput();
            self->out += chunk;
            // Each output row is one line (no status or quantity holds a line break); the
            // header is the first. Only the count shown depends on this.
            self->lines += chunk.count('\n');
            const qsizetype rows =
                std::clamp<qsizetype>(self->lines - 1, 0, self->caseIndexes.size());
            finishedCases += rows - self->done;
            self->done = rows;
            if (progress)
                progress(finishedCases, cases.size());
        });
        QObject::connect(&self->process, &QProcess::readyReadStandardError, &loop,
                         [self] { self->err += self->process.readAllStandardError(); });
        QObject::connect(&self->process, &QProcess::finished, &loop, [&] {
            if (--running == 0)
                loop.quit();
        });
        QObject::connect(&self->process, &QProcess::errorOccurred, &loop,
                         [&, self](QProcess::ProcessError error) {
                             if (error == QProcess::FailedToStart && --running == 0)
                                 loop.quit();
                         });
    }
    for (const auto& worker : pool) {
        worker->process.start();
        worker->process.write(worker->input);
        worker->process.closeWriteChannel();
    }
    if (running > 0)
        loop.exec();

    // Every worker must have finished well and given one row per case of its share.
    std::vector<QStringList> rows(static_cast<size_t>(cases.size()));
    for (const auto& worker : pool) {
        QProcess& process = worker->process;
        worker->out += process.readAllStandardOutput();
        worker->err += process.readAllStandardError();
        if (process.error() == QProcess::FailedToStart)
            return QStringLiteral("cannot start a worker process: %1").arg(process.errorString());
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
            return QStringLiteral("a worker process failed: %1")
                .arg(QString::fromUtf8(worker->err).trimmed());
        const csv::Table table = csv::parse(QString::fromUtf8(worker->out));
        if (table.error || table.records.size() != worker->caseIndexes.size() + 1)
            return QStringLiteral("a worker process gave an incomplete result");
        for (qsizetype k = 0; k < worker->caseIndexes.size(); ++k) {
            const qsizetype index = worker->caseIndexes[k];
            QStringList row = table.records[k + 1].cells;
            if (row.size() != report::kMapRowCount + 2)
                return QStringLiteral("a worker process gave an incomplete result");
            row[0] = QString::number(cases[index].number);
            rows[static_cast<size_t>(index)] = row;
        }
    }
    for (const QStringList& row : rows)
        sink(row);
    if (progress)
        progress(cases.size(), cases.size());
    return std::nullopt;
}
