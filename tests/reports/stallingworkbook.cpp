#include "stallingworkbook.h"

namespace {

constexpr int kLongestStallMs = 10000;

} // namespace

void StallGate::stallOn(const QString& operation) {
    const std::lock_guard lock(mutex_);
    operation_ = operation;
}

void StallGate::pass(const QString& operation) {
    {
        const std::lock_guard lock(mutex_);
        if (operation_.isEmpty() || operation != operation_)
            return;
        operation_.clear();
    }
    ++stalls;
    released.tryAcquire(1, kLongestStallMs);
    answered = true;
}

bool StallingWorkbook::isRunning() {
    gate_->pass(QStringLiteral("running"));
    return workbook.isRunning();
}

bool StallingWorkbook::hasWorkbook() {
    gate_->pass(QStringLiteral("hasWorkbook"));
    return workbook.hasWorkbook();
}

bool StallingWorkbook::hasSheet(const QString& sheet) {
    gate_->pass(QStringLiteral("hasSheet"));
    return workbook.hasSheet(sheet);
}

bool StallingWorkbook::closeWorkbook() {
    gate_->pass(QStringLiteral("close"));
    return workbook.closeWorkbook();
}

bool StallingWorkbook::openWorkbook(const QString& fileName, bool asTemplate) {
    gate_->pass(QStringLiteral("open"));
    return workbook.openWorkbook(fileName, asTemplate);
}

bool StallingWorkbook::setVisible(bool visible) {
    gate_->pass(QStringLiteral("visible"));
    return workbook.setVisible(visible);
}

bool StallingWorkbook::maximize() {
    gate_->pass(QStringLiteral("maximize"));
    return workbook.maximize();
}

std::optional<QString> StallingWorkbook::readCell(const QString& sheet, const QString& address) {
    gate_->pass(QStringLiteral("read"));
    return workbook.readCell(sheet, address);
}

std::optional<double> StallingWorkbook::readNumber(const QString& sheet, const QString& address) {
    gate_->pass(QStringLiteral("readNumber"));
    return workbook.readNumber(sheet, address);
}

bool StallingWorkbook::writeCell(const QString& sheet, const QString& address,
                                 const QString& value) {
    gate_->pass(QStringLiteral("write"));
    return workbook.writeCell(sheet, address, value);
}

std::optional<QStringList> StallingWorkbook::readRange(const QString& sheet, const QString& range) {
    gate_->pass(QStringLiteral("readRange"));
    return workbook.readRange(sheet, range);
}

bool StallingWorkbook::clearRanges(const QString& sheet, const QStringList& ranges) {
    gate_->pass(QStringLiteral("clear"));
    return workbook.clearRanges(sheet, ranges);
}

bool StallingWorkbook::writeBlocks(const QString& sheet, const QList<ColumnBlock>& blocks) {
    gate_->pass(QStringLiteral("block"));
    return workbook.writeBlocks(sheet, blocks);
}

bool StallingWorkbook::bringToFront() {
    gate_->pass(QStringLiteral("front"));
    return workbook.bringToFront();
}

bool StallingWorkbook::abandon() {
    ++gate_->abandoned;
    if (!gate_->ownOffice)
        return false;
    gate_->release();
    return true;
}
