#include "reports/threadedspreadsheet.h"

#include <QEventLoop>
#include <QFuture>
#include <QFutureWatcher>
#include <QPromise>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {

// How long destroying the object waits for the application to end on its thread (an office
// that the program started ends with it when no document is open in it any more).
constexpr int kEndLimitMs = 5000;

// A call that takes longer than this is told about (setSlowCallNotice).
constexpr int kSlowCallMs = 1000;

enum class Outcome { Done, TimedOut, Interrupted };

} // namespace

// The thread and what runs on it. The thread holds a reference to it, so it outlives the
// ThreadedSpreadsheet when the thread is left waiting for an office that does not answer.
struct ThreadedSpreadsheet::Worker {
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable endedChanged;
    std::deque<std::function<void()>> tasks;
    bool finishing = false;
    bool ended = false;
    // Made, used and destroyed on the thread only; abandon() is the one call from outside.
    std::unique_ptr<Spreadsheet> application;
    std::thread thread;

    void post(std::function<void()> task) {
        const std::lock_guard lock(mutex);
        tasks.push_back(std::move(task));
        wake.notify_one();
    }

    void finish() {
        const std::lock_guard lock(mutex);
        finishing = true;
        wake.notify_one();
    }

    // The thread: runs the tasks in their order until told to finish, then ends the
    // application.
    void loop() {
        for (;;) {
            std::function<void()> task;
            {
                std::unique_lock lock(mutex);
                wake.wait(lock, [this] { return finishing || !tasks.empty(); });
                if (tasks.empty())
                    break;
                task = std::move(tasks.front());
                tasks.pop_front();
            }
            task();
        }
        application.reset();
        const std::lock_guard lock(mutex);
        ended = true;
        endedChanged.notify_all();
    }

    bool waitForEnd(int limitMs) {
        std::unique_lock lock(mutex);
        return endedChanged.wait_for(lock, std::chrono::milliseconds(limitMs),
                                     [this] { return ended; });
    }
};

namespace {

// Runs a task on the worker and waits for it in a local event loop that paints the windows
// and holds the user's input back, at most limitMs.
Outcome runOn(ThreadedSpreadsheet::Worker& worker, std::function<void()> task, int limitMs,
              const std::function<void()>& slow = {}) {
    auto promise = std::make_shared<QPromise<void>>();
    promise->start();
    const QFuture<void> future = promise->future();
    worker.post([promise, task = std::move(task)] {
        task();
        promise->finish();
    });
    if (!future.isFinished()) {
        QEventLoop loop;
        QFutureWatcher<void> watcher;
        QTimer limit;
        limit.setSingleShot(true);
        QObject::connect(&watcher, &QFutureWatcher<void>::finished, &loop, &QEventLoop::quit);
        QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
        QTimer notice;
        notice.setSingleShot(true);
        if (slow)
            QObject::connect(&notice, &QTimer::timeout, &loop, slow);
        watcher.setFuture(future);
        limit.start(limitMs);
        notice.start(std::min(kSlowCallMs, limitMs / 2));
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        // The loop also ends when the program quits: the call is then given up, not timed out.
        if (!future.isFinished())
            return limit.isActive() ? Outcome::Interrupted : Outcome::TimedOut;
    }
    return Outcome::Done;
}

} // namespace

ThreadedSpreadsheet::ThreadedSpreadsheet(int callLimitMs)
    : worker_(std::make_shared<Worker>())
    , callLimitMs_(callLimitMs) {
    worker_->thread = std::thread([worker = worker_] { worker->loop(); });
}

std::unique_ptr<ThreadedSpreadsheet> ThreadedSpreadsheet::create(const Factory& factory,
                                                                 int startLimitMs, int callLimitMs,
                                                                 QString* failure) {
    std::unique_ptr<ThreadedSpreadsheet> threaded(new ThreadedSpreadsheet(callLimitMs));
    auto why = std::make_shared<QString>();
    auto made = std::make_shared<bool>(false);
    Worker* worker = threaded->worker_.get();
    const Outcome outcome = runOn(
        *worker,
        [worker, factory, why, made] {
            worker->application = factory ? factory(why.get()) : nullptr;
            *made = worker->application != nullptr;
        },
        startLimitMs);
    if (outcome != Outcome::Done) {
        threaded->stall(false);
        if (failure)
            *failure = QStringLiteral("LibreOffice Calc did not answer within %1 s")
                           .arg(startLimitMs / 1000.0);
        return nullptr;
    }
    if (!*made) {
        if (failure)
            *failure = *why;
        return nullptr;
    }
    return threaded;
}

ThreadedSpreadsheet::~ThreadedSpreadsheet() {
    worker_->finish();
    // A stalled thread is not waited for: it ends by itself when its call returns.
    if (!stalled_ && worker_->waitForEnd(kEndLimitMs))
        worker_->thread.join();
    else
        worker_->thread.detach();
}

void ThreadedSpreadsheet::stall(bool timedOut) {
    stalled_ = true;
    // The application exists (it answered its creation) and is reset only after finish().
    if (timedOut && worker_->application)
        ended_ = worker_->application->abandon();
    worker_->finish();
}

template <class R>
R ThreadedSpreadsheet::call(R failed, std::function<R(Spreadsheet&)> operation, int limitMs) {
    if (stalled_)
        return failed;
    auto result = std::make_shared<R>(failed);
    Worker* worker = worker_.get(); // alive while its thread runs
    const Outcome outcome = runOn(
        *worker,
        [worker, result, operation = std::move(operation)] {
            if (worker->application)
                *result = operation(*worker->application);
        },
        limitMs, slowCallNotice_);
    if (outcome != Outcome::Done) {
        stall(outcome == Outcome::TimedOut);
        return failed;
    }
    return *result;
}

bool ThreadedSpreadsheet::isRunning() {
    return call<bool>(
        false, [](Spreadsheet& s) { return s.isRunning(); }, callLimitMs_);
}

bool ThreadedSpreadsheet::hasWorkbook() {
    return call<bool>(
        false, [](Spreadsheet& s) { return s.hasWorkbook(); }, callLimitMs_);
}

bool ThreadedSpreadsheet::hasSheet(const QString& sheet) {
    return call<bool>(
        false, [sheet](Spreadsheet& s) { return s.hasSheet(sheet); }, callLimitMs_);
}

bool ThreadedSpreadsheet::closeWorkbook() {
    return call<bool>(
        false, [](Spreadsheet& s) { return s.closeWorkbook(); }, callLimitMs_);
}

bool ThreadedSpreadsheet::openWorkbook(const QString& fileName, bool asTemplate) {
    return call<bool>(
        false,
        [fileName, asTemplate](Spreadsheet& s) { return s.openWorkbook(fileName, asTemplate); },
        callLimitMs_);
}

bool ThreadedSpreadsheet::setVisible(bool visible) {
    return call<bool>(
        false, [visible](Spreadsheet& s) { return s.setVisible(visible); }, callLimitMs_);
}

bool ThreadedSpreadsheet::maximize() {
    return call<bool>(
        false, [](Spreadsheet& s) { return s.maximize(); }, callLimitMs_);
}

std::optional<QString> ThreadedSpreadsheet::readCell(const QString& sheet, const QString& address) {
    return call<std::optional<QString>>(
        std::nullopt, [sheet, address](Spreadsheet& s) { return s.readCell(sheet, address); },
        callLimitMs_);
}

std::optional<double> ThreadedSpreadsheet::readNumber(const QString& sheet,
                                                      const QString& address) {
    return call<std::optional<double>>(
        std::nullopt, [sheet, address](Spreadsheet& s) { return s.readNumber(sheet, address); },
        callLimitMs_);
}

bool ThreadedSpreadsheet::writeCell(const QString& sheet, const QString& address,
                                    const QString& value) {
    return call<bool>(
        false,
        [sheet, address, value](Spreadsheet& s) { return s.writeCell(sheet, address, value); },
        callLimitMs_);
}

std::optional<QStringList> ThreadedSpreadsheet::readRange(const QString& sheet,
                                                          const QString& range) {
    return call<std::optional<QStringList>>(
        std::nullopt, [sheet, range](Spreadsheet& s) { return s.readRange(sheet, range); },
        callLimitMs_);
}

bool ThreadedSpreadsheet::clearRanges(const QString& sheet, const QStringList& ranges) {
    return call<bool>(
        false, [sheet, ranges](Spreadsheet& s) { return s.clearRanges(sheet, ranges); },
        callLimitMs_);
}

bool ThreadedSpreadsheet::writeBlocks(const QString& sheet, const QList<ColumnBlock>& blocks) {
    return call<bool>(
        false, [sheet, blocks](Spreadsheet& s) { return s.writeBlocks(sheet, blocks); },
        callLimitMs_);
}

bool ThreadedSpreadsheet::bringToFront() {
    return call<bool>(
        false, [](Spreadsheet& s) { return s.bringToFront(); }, callLimitMs_);
}
