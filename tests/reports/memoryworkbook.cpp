#include "memoryworkbook.h"

bool MemoryWorkbook::openWorkbook(const QString& fileName, bool asTemplate) {
    calls.append({QStringLiteral("open"), QString(), QString(), fileName});
    if (gone || !openSucceeds)
        return false;
    openedFile = fileName;
    openedAsTemplate = asTemplate;
    hasWorkbook = true;
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
    if (gone || !hasWorkbook || !sheets.contains(sheet) || failingReads.contains(address))
        return std::nullopt;
    return cells.value(address);
}

bool MemoryWorkbook::writeCell(const QString& sheet, const QString& address, const QString& value) {
    calls.append({QStringLiteral("write"), sheet, address, value});
    if (gone || !hasWorkbook || !sheets.contains(sheet))
        return false;
    if (value.isEmpty())
        cells.remove(address);
    else
        cells.insert(address, value);
    return true;
}

QList<MemoryWorkbook::Call> MemoryWorkbook::callsOf(const QString& operation) const {
    QList<Call> result;
    for (const Call& c : calls) {
        if (c.operation == operation)
            result.append(c);
    }
    return result;
}
