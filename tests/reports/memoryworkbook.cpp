#include "memoryworkbook.h"

#include "reports/reportworkbook.h"

bool MemoryWorkbook::openWorkbook(const QString& fileName, bool asTemplate) {
    calls.append({QStringLiteral("open"), QString(), QString(), fileName});
    if (gone || !openSucceeds)
        return false;
    openedFile = fileName;
    openedAsTemplate = asTemplate;
    hasWorkbook_ = true;
    return true;
}

bool MemoryWorkbook::setVisible(bool v) {
    calls.append({QStringLiteral("visible"), QString(), QString(), QString()});
    if (gone)
        return false;
    visible = v;
    return true;
}

bool MemoryWorkbook::maximize() {
    calls.append({QStringLiteral("maximize"), QString(), QString(), QString()});
    if (gone)
        return false;
    maximized = true;
    return true;
}

std::optional<QString> MemoryWorkbook::readCell(const QString& sheet, const QString& address) {
    calls.append({QStringLiteral("read"), sheet, address, QString()});
    if (gone || !hasWorkbook_ || !sheets.contains(sheet) || failingReads.contains(address))
        return std::nullopt;
    return cells.value(address);
}

bool MemoryWorkbook::writeCell(const QString& sheet, const QString& address, const QString& value) {
    calls.append({QStringLiteral("write"), sheet, address, value});
    if (gone || !hasWorkbook_ || !sheets.contains(sheet))
        return false;
    numbers.remove(address);
    if (value.isEmpty())
        cells.remove(address);
    else
        cells.insert(address, value);
    return true;
}

bool MemoryWorkbook::hasSheet(const QString& sheet) {
    return !gone && hasWorkbook_ && sheets.contains(sheet);
}

bool MemoryWorkbook::closeWorkbook() {
    calls.append({QStringLiteral("close"), QString(), QString(), QString()});
    if (!hasWorkbook())
        return false;
    hasWorkbook_ = false;
    cells.clear();
    numbers.clear();
    return true;
}

std::optional<double> MemoryWorkbook::readNumber(const QString& sheet, const QString& address) {
    if (!hasSheet(sheet) || !numbers.contains(address))
        return std::nullopt;
    return numbers.value(address).number;
}

QStringList MemoryWorkbook::addresses(const QString& range) {
    return report::rangeAddresses(range);
}

std::optional<QStringList> MemoryWorkbook::readRange(const QString& sheet, const QString& range) {
    calls.append({QStringLiteral("readRange"), sheet, range, QString()});
    QStringList texts;
    for (const QString& address : addresses(range)) {
        if (!hasSheet(sheet) || failingReads.contains(address))
            return std::nullopt;
        texts << cells.value(address);
    }
    return texts;
}

bool MemoryWorkbook::clearRanges(const QString& sheet, const QStringList& ranges) {
    for (const QString& range : ranges) {
        calls.append({QStringLiteral("clear"), sheet, range, QString()});
        for (const QString& address : addresses(range)) {
            if (hasSheet(sheet)) {
                cells.remove(address);
                numbers.remove(address);
            }
        }
    }
    return hasSheet(sheet);
}

bool MemoryWorkbook::writeBlocks(const QString& sheet, const QList<ColumnBlock>& blocks) {
    for (const ColumnBlock& block : blocks) {
        const int last = block.firstRow + int(block.values.size()) - 1;
        calls.append({QStringLiteral("block"), sheet,
                      QStringLiteral("%1%2:%1%3").arg(block.column).arg(block.firstRow).arg(last),
                      QString()});
        if (!hasSheet(sheet))
            continue;
        for (qsizetype i = 0; i < block.values.size(); ++i) {
            const QString address = block.column + QString::number(block.firstRow + int(i));
            const CellContent& content = block.values[i];
            numbers.remove(address);
            if (content.number)
                numbers.insert(address, content);
            if (content.text.isEmpty())
                cells.remove(address);
            else
                cells.insert(address, content.text);
        }
    }
    return hasSheet(sheet);
}

bool MemoryWorkbook::bringToFront() {
    calls.append({QStringLiteral("front"), QString(), QString(), QString()});
    return hasWorkbook();
}

QList<MemoryWorkbook::Call> MemoryWorkbook::callsOf(const QString& operation) const {
    QList<Call> result;
    for (const Call& c : calls) {
        if (c.operation == operation)
            result.append(c);
    }
    return result;
}
