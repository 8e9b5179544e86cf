#pragma once
// ThreadedSpreadsheet: a spreadsheet application whose every call runs on a thread of its
// own while the calling (GUI) thread waits for it in a local event loop, so the windows keep
// painting while the office works, and with a limit: an office that stops answering (stopped,
// hung, or waiting on a dialog nobody sees) fails the call after the limit instead of freezing
// the program. While a call runs, the user's input is held back and delivered afterwards.
//
// A call that did not answer within the limit makes the application stalled: the office is
// ended when this application started it (Spreadsheet::abandon), every later call fails at
// once, and the object may be dropped. Its thread, and the application object on it, end by
// themselves once the call they wait for returns. Destroying the object waits a bounded time
// for its thread, never longer.

#include "reports/spreadsheet.h"

#include <QString>
#include <functional>
#include <memory>

class ThreadedSpreadsheet final : public Spreadsheet {
public:
    using Factory = std::function<std::unique_ptr<Spreadsheet>(QString* failure)>;

    // Makes the application with the factory on a thread of its own, waiting at most
    // startLimitMs; each later call waits at most callLimitMs. nullptr when the factory made
    // none (why in *failure) or did not answer within the limit (*failure says so).
    static std::unique_ptr<ThreadedSpreadsheet> create(const Factory& factory, int startLimitMs,
                                                       int callLimitMs, QString* failure);
    ~ThreadedSpreadsheet() override;
    ThreadedSpreadsheet(const ThreadedSpreadsheet&) = delete;
    ThreadedSpreadsheet& operator=(const ThreadedSpreadsheet&) = delete;

    // Whether a call did not answer within the limit (or the wait for it was given up because
    // the program ends); every call since has failed at once.
    bool stalled() const { return stalled_; }
    // Whether the office was ended because it did not answer.
    bool ended() const { return ended_; }
    int callLimitMs() const { return callLimitMs_; }
    // Called once while a call takes longer than a second (or half the limit), to say that the
    // program waits for the office.
    void setSlowCallNotice(std::function<void()> notice) { slowCallNotice_ = std::move(notice); }

    bool isRunning() override;
    bool hasWorkbook() override;
    bool hasSheet(const QString& sheet) override;
    bool closeWorkbook() override;
    bool openWorkbook(const QString& fileName, bool asTemplate) override;
    bool setVisible(bool visible) override;
    bool maximize() override;
    std::optional<QString> readCell(const QString& sheet, const QString& address) override;
    std::optional<double> readNumber(const QString& sheet, const QString& address) override;
    bool writeCell(const QString& sheet, const QString& address, const QString& value) override;
    std::optional<QStringList> readRange(const QString& sheet, const QString& range) override;
    bool clearRanges(const QString& sheet, const QStringList& ranges) override;
    bool writeBlocks(const QString& sheet, const QList<ColumnBlock>& blocks) override;
    bool bringToFront() override;

    // The thread and what runs on it (defined where the calls are made).
    struct Worker;

private:
    explicit ThreadedSpreadsheet(int callLimitMs);

    // Runs operation on the thread and waits for it at most limitMs; failed when it does not
    // answer (the application is then stalled) or when the application is stalled already.
    template <class R> R call(R failed, std::function<R(Spreadsheet&)> operation, int limitMs);
    // No call is made any more; timedOut: a call did not answer, and the office is ended when
    // the application started it.
    void stall(bool timedOut);

    std::shared_ptr<Worker> worker_;
    int callLimitMs_;
    std::function<void()> slowCallNotice_;
    bool stalled_ = false;
    bool ended_ = false;
};
