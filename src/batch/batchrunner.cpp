#include "batch/batchrunner.h"

#include "auditfile/csv.h"
#include "batch/batchuncertainty.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

// Fewer cases per worker than this are run here: a worker's start-up costs about as much as
// a few cases.
constexpr qsizetype kMinCasesPerWorker = 8;
// The cases a worker may hold, handed out but not yet passed on: enough to keep it busy
// while others finish a slow case, few enough to bound the memory of a run.
constexpr int kWindowPerWorker = 256;
// A worker writes its rows in groups of this many, or fewer when it has nothing more to do.
constexpr int kRowsPerWrite = 16;

// The cells of a case's settings after its input texts in a worker's record: each setting's
// value (empty when not given), then the ambient table's rows, four cells each (wet bulb, dry
// bulb, relative humidity, hours). The numbers are written to be read back exactly.
constexpr qsizetype kAmbientCells = 4;
constexpr qsizetype kSettingsStart = 1 + kInputColumnCount;

QString exactText(double value) {
    return std::isnan(value) ? QString() : QString::number(value, 'g', 17);
}

void appendSettings(const engine::CapabilityInputs& in, QStringList* cells) {
    for (double value : in.values)
        cells->append(exactText(value));
    for (const engine::AmbientRow& row : in.ambient)
        *cells << exactText(row.wetBulb) << exactText(row.dryBulb)
               << exactText(row.relativeHumidity) << exactText(row.hours);
}

// The settings of a worker's record, from its cell `from`; false when they are damaged.
bool readSettings(const QStringList& cells, qsizetype from, engine::CapabilityInputs* in) {
    const qsizetype tableCells = cells.size() - from - engine::kSettingCount;
    const qsizetype rows = tableCells / kAmbientCells;
    if (tableCells < 0 || tableCells % kAmbientCells != 0 || rows > engine::kMaxAmbientRows)
        return false;
    bool ok = true;
    const auto number = [&](qsizetype cell) {
        if (cells[cell].isEmpty())
            return std::nan("");
        bool read = false;
        const double value = cells[cell].toDouble(&read);
        ok = ok && read && std::isfinite(value);
        return value;
    };
    for (qsizetype s = 0; s < engine::kSettingCount; ++s)
        in->values[static_cast<size_t>(s)] = number(from + s);
    in->ambient.clear();
    for (qsizetype r = 0, cell = from + engine::kSettingCount; r < rows; ++r) {
        engine::AmbientRow row;
        row.wetBulb = number(cell++);
        row.dryBulb = number(cell++);
        row.relativeHumidity = number(cell++);
        row.hours = number(cell++);
        in->ambient.push_back(row);
    }
    return ok;
}

// A case as a worker's record: its number, its input texts and, when the worker makes the
// capability columns, its settings.
QByteArray workerRecord(const BatchCase& c, bool settings) {
    QStringList cells{QString::number(c.number)};
    for (const QString& value : c.values)
        cells.append(value);
    if (settings)
        appendSettings(c.settings, &cells);
    return csv::record(cells).toUtf8();
}

QString inputChanged(const BatchInput::Error& error) {
    return QStringLiteral("the input changed while it was read: ") +
           error.describe(QStringLiteral("line"));
}

// A case's output row: its number, status and quantities, its U columns when asked for, then
// its capability columns (from its audit as the chain left it) when asked for.
QByteArray outputRow(const BatchAudit& audit, const BatchCase& c, const BatchAudit::Result& result,
                     bool uncertainty, const CapabilityColumns& capability,
                     engine::Audit* finished) {
    QStringList cells = BatchAudit::resultCells(c.number, result);
    if (uncertainty)
        cells += uncertaintyCells(audit.arrangement(), c, cells);
    if (capability.any())
        cells += capability.cells(*finished, audit.arrangement(), c);
    return csv::record(cells).toUtf8();
}

// Runs a case, then what comes after it: the case's row, and in *stop why the run must stop, if
// it must.
QByteArray runCase(const BatchAudit& audit, const BatchCase& c,
                   const BatchRunner::AfterCase& afterCase, bool uncertainty,
                   const CapabilityColumns& capability, std::optional<QString>* stop) {
    if (!afterCase.run && !capability.any())
        return outputRow(audit, c, audit.run(c), uncertainty, capability, nullptr);
    engine::Audit finished;
    const QByteArray row =
        outputRow(audit, c, audit.run(c, &finished), uncertainty, capability, &finished);
    if (afterCase.run)
        *stop = afterCase.run(c.number, finished);
    return row;
}

// The length of the first whole record in text from `from` (up to and including its LF), or
// 0 when it is not complete yet. A quoted cell may hold line breaks.
qsizetype recordLength(const QByteArray& text, qsizetype from) {
    bool quoted = false;
    for (qsizetype i = from; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (text[i] == '\n' && !quoted)
            return i + 1 - from;
    }
    return 0;
}

// Appends to what a worker said on standard error, keeping the end of it: enough to tell why
// it failed.
void keepTail(QByteArray& said, const QByteArray& more) {
    constexpr qsizetype kKept = 4096;
    said += more;
    if (said.size() > kKept)
        said.remove(0, said.size() - kKept);
}

// The whole records in text from `from`.
qsizetype recordsIn(const QByteArray& text, qsizetype from) {
    qsizetype records = 0;
    for (qsizetype length; (length = recordLength(text, from)) > 0; from += length)
        ++records;
    return records;
}

} // namespace

std::optional<QString> FileCases::failure() const {
    if (reader_.error())
        return inputChanged(*reader_.error());
    return std::nullopt;
}

QString BatchRunner::workerFailure(QProcess::ExitStatus status, int exitCode,
                                   const QByteArray& said) {
    // A process that crashed has the signal that ended it as its exit code.
    QString why = status == QProcess::CrashExit
                      ? QStringLiteral("a worker process was ended by signal %1 (%2)")
                            .arg(exitCode)
                            .arg(QString::fromLocal8Bit(::strsignal(exitCode)))
                      : QStringLiteral("a worker process failed with exit status %1").arg(exitCode);
    const QString text = QString::fromUtf8(said).trimmed();
    if (!text.isEmpty())
        why += QStringLiteral(": ") + text;
    return why;
}

int BatchRunner::workersFor(qsizetype cases) const {
    if (jobs_ <= 1)
        return 0;
    const qsizetype useful = cases / kMinCasesPerWorker;
    const auto workers = static_cast<int>(std::min<qsizetype>(jobs_, useful));
    return workers >= 2 ? workers : 0;
}

QStringList BatchRunner::workerArguments(Arrangement arrangement) {
    return {QStringLiteral("--worker"),
            QStringLiteral("--arrangement=") + (arrangement == Arrangement::CounterFlow
                                                    ? QStringLiteral("counter")
                                                    : QStringLiteral("cross"))};
}

int BatchRunner::runWorker(Arrangement arrangement, const AfterCase& afterCase, bool uncertainty,
                           const CapabilityColumns& capability) {
    const BatchAudit audit(arrangement, afterCase.run != nullptr);
    QByteArray received;   // what has come in and is not a whole record yet
    qsizetype scanned = 0; // the bytes of received looked at, and whether they end in quotes
    bool quoted = false;
    QByteArray rows; // rows not yet written
    int handled = 0;
    const auto writeRows = [&rows] {
        for (qsizetype written = 0; written < rows.size();) {
            const ssize_t n = ::write(STDOUT_FILENO, rows.constData() + written,
                                      static_cast<size_t>(rows.size() - written));
            if (n < 0 && errno != EINTR)
                return false;
            written += std::max<ssize_t>(n, 0);
        }
        rows.clear();
        return true;
    };
    const auto failed = [](const char* why) {
        std::fprintf(stderr, "worker: %s\n", why);
        return 1;
    };
    const char* const damaged = "a case it was given is damaged";
    const char* const unwritable = "cannot write its rows";
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return failed("cannot read its cases");
        if (n == 0)
            break;
        received.append(buffer, n);
        // The whole records received so far, each a case: its number, its kInputColumns and,
        // for the capability columns, its settings (a long record with an ambient table may
        // come in many reads: each byte is looked at once).
        qsizetype whole = 0;
        for (; scanned < received.size(); ++scanned) {
            if (received[scanned] == '"')
                quoted = !quoted;
            else if (received[scanned] == '\n' && !quoted)
                whole = scanned + 1;
        }
        csv::Reader reader(QString::fromUtf8(received.constData(), whole));
        received.remove(0, whole);
        scanned -= whole;
        while (const std::optional<csv::Record> record = reader.next()) {
            bool numbered = false;
            BatchCase c;
            if (capability.any() ? record->cells.size() >= kSettingsStart
                                 : record->cells.size() == kSettingsStart)
                c.number = record->cells.front().toInt(&numbered);
            if (!numbered ||
                (capability.any() && !readSettings(record->cells, kSettingsStart, &c.settings)))
                return failed(damaged);
            std::copy(record->cells.begin() + 1, record->cells.begin() + kSettingsStart,
                      c.values.begin());
            std::optional<QString> stop;
            rows += runCase(audit, c, afterCase, uncertainty, capability, &stop);
            if (stop) {
                std::fprintf(stderr, "%s\n", qPrintable(*stop));
                return kWriteFailed;
            }
            // The runner hands out more cases as rows come back.
            if (++handled % kRowsPerWrite == 0 && !writeRows())
                return failed(unwritable);
        }
        if (reader.error())
            return failed(damaged);
        if (!writeRows())
            return failed(unwritable);
    }
    return received.isEmpty() ? 0 : failed(damaged);
}

std::optional<QString> BatchRunner::run(CaseSource& cases, qsizetype total, const Sink& sink,
                                        const Progress& progress) const {
    const int workers = workersFor(total);
    if (workers == 0)
        return runHere(cases, total, sink, progress);
    return runWorkers(cases, total, workers, sink, progress);
}

std::optional<QString> BatchRunner::runHere(CaseSource& cases, qsizetype total, const Sink& sink,
                                            const Progress& progress) const {
    const BatchAudit audit(arrangement_, afterCase_.run != nullptr);
    qsizetype done = 0;
    while (const std::optional<BatchCase> c = cases.next()) {
        std::optional<QString> stop;
        if (!sink(runCase(audit, *c, afterCase_, uncertainty_, capability_, &stop)))
            return outputFailed();
        if (stop) {
            writeFailed_ = true;
            return stop;
        }
        if (progress)
            progress(++done, total);
    }
    return cases.failure();
}

std::optional<QString> BatchRunner::runWorkers(CaseSource& cases, qsizetype total, int workers,
                                               const Sink& sink, const Progress& progress) const {
    struct Worker {
        QProcess process;
        QByteArray out; // rows received and not yet passed on, from outStart
        qsizetype outStart = 0;
        QByteArray err;
        int inHand = 0; // cases handed to it and not yet passed on
    };
    std::vector<std::unique_ptr<Worker>> pool;
    for (int w = 0; w < workers; ++w) {
        auto worker = std::make_unique<Worker>();
        worker->process.setProgram(QCoreApplication::applicationFilePath());
        QStringList arguments = workerArguments(arrangement_) + afterCase_.workerArguments;
        if (uncertainty_)
            arguments << uncertaintyArgument();
        arguments << capability_.workerArguments();
        worker->process.setArguments(arguments);
        pool.push_back(std::move(worker));
    }

    QEventLoop loop;
    std::optional<QString> failure;
    std::deque<Worker*> order; // the worker of each case handed out and not passed on
    bool allRead = false;
    qsizetype done = 0;
    int running = workers;

    const auto fail = [&](const QString& why) {
        if (!failure)
            failure = why;
        loop.quit();
    };
    // Hands out cases while the window has room.
    const auto feed = [&] {
        while (!allRead && !failure &&
               order.size() < static_cast<size_t>(workers) * kWindowPerWorker) {
            const std::optional<BatchCase> c = cases.next();
            if (!c) {
                allRead = true;
                if (const std::optional<QString> why = cases.failure())
                    fail(*why);
                for (const auto& worker : pool)
                    worker->process.closeWriteChannel();
                break;
            }
            Worker* least =
                std::min_element(pool.begin(), pool.end(), [](const auto& a, const auto& b) {
                    return a->inHand < b->inHand;
                })->get();
            least->process.write(workerRecord(*c, capability_.any()));
            ++least->inHand;
            order.push_back(least);
        }
    };
    // Passes on the rows that are next in input order.
    const auto pass = [&] {
        const qsizetype before = done;
        while (!order.empty()) {
            Worker* worker = order.front();
            const qsizetype length = recordLength(worker->out, worker->outStart);
            if (length == 0)
                break;
            const QByteArrayView row(worker->out.constData() + worker->outStart, length);
            worker->outStart += length;
            if (!sink(row.toByteArray())) {
                fail(outputFailed());
                return;
            }
            ++done;
            --worker->inHand;
            order.pop_front();
        }
        for (const auto& worker : pool)
            if (worker->outStart > 0 && worker->outStart * 2 >= worker->out.size()) {
                worker->out.remove(0, worker->outStart);
                worker->outStart = 0;
            }
        if (progress && done > before)
            progress(done, total);
    };

    for (const auto& worker : pool) {
        Worker* self = worker.get();
        QObject::connect(&self->process, &QProcess::readyReadStandardOutput, &loop, [&, self] {
            self->out += self->process.readAllStandardOutput();
            pass();
            feed();
        });
        QObject::connect(&self->process, &QProcess::readyReadStandardError, &loop,
                         [self] { keepTail(self->err, self->process.readAllStandardError()); });
        QObject::connect(&self->process, &QProcess::finished, &loop,
                         [&, self](int exitCode, QProcess::ExitStatus status) {
                             self->out += self->process.readAllStandardOutput();
                             keepTail(self->err, self->process.readAllStandardError());
                             pass();
                             const QString said = QString::fromUtf8(self->err).trimmed();
                             if (status == QProcess::NormalExit && exitCode == kWriteFailed &&
                                 !said.isEmpty()) {
                                 writeFailed_ = writeFailed_ || !failure;
                                 fail(said);
                             } else if (status != QProcess::NormalExit || exitCode != 0) {
                                 fail(workerFailure(status, exitCode, self->err));
                             } else if (recordsIn(self->out, self->outStart) < self->inHand)
                                 fail(QStringLiteral("a worker process gave an incomplete result"));
                             if (--running == 0)
                                 loop.quit();
                         });
        QObject::connect(&self->process, &QProcess::errorOccurred, &loop,
                         [&, self](QProcess::ProcessError error) {
                             if (error == QProcess::FailedToStart)
                                 fail(QStringLiteral("cannot start a worker process: %1")
                                          .arg(self->process.errorString()));
                         });
    }
    for (const auto& worker : pool)
        worker->process.start();
    feed();
    if (!failure)
        loop.exec();

    for (const auto& worker : pool) {
        QObject::disconnect(&worker->process, nullptr, &loop, nullptr);
        if (worker->process.state() != QProcess::NotRunning) {
            worker->process.kill();
            worker->process.waitForFinished();
        }
    }
    if (!failure && !order.empty())
        failure = QStringLiteral("a worker process gave an incomplete result");
    return failure;
}
