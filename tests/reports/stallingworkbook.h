#pragma once
// A spreadsheet application that stops answering when told to: every call goes to an in-memory
// workbook, but the next call of the operation named by the gate waits until the gate is
// released, as an office stopped with SIGSTOP would (at most 10 s, so that a program that
// waits for it without a limit still ends and its test fails instead of hanging). Abandoning
// it releases the call when it plays an office of the program's own, which then ends.
//
// The gate is shared: the workbook may be destroyed on the export's thread long after the
// test has looked at it.

#include "memoryworkbook.h"

#include <QSemaphore>
#include <QString>
#include <atomic>
#include <memory>
#include <mutex>

struct StallGate {
    // The next call of this operation waits ("open", "readRange", "block", "clear",
    // "visible", "front", ...; MemoryWorkbook::Call's names).
    void stallOn(const QString& operation);
    void release() { released.release(); }
    // Called by the workbook before each operation.
    void pass(const QString& operation);

    bool ownOffice = true;             // abandon() ends the office (and releases the call)
    std::atomic<int> stalls{0};        // calls that waited
    std::atomic<int> abandoned{0};     // abandon() calls
    std::atomic<bool> answered{false}; // a stalled call has returned

private:
    std::mutex mutex_;
    QString operation_;
    QSemaphore released;
};

class StallingWorkbook final : public Spreadsheet {
public:
    explicit StallingWorkbook(std::shared_ptr<StallGate> gate)
        : gate_(std::move(gate)) {}

    MemoryWorkbook workbook;

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
    bool abandon() override;

private:
    std::shared_ptr<StallGate> gate_;
};
