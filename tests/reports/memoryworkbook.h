#pragma once
// An in-memory spreadsheet application with one workbook: it records every call and keeps
// the cells of its worksheets, so the export's algorithm can be checked call by call.

#include "reports/spreadsheet.h"

#include <QList>
#include <QMap>
#include <QSet>

class MemoryWorkbook final : public Spreadsheet {
public:
    struct Call {
        // "open", "visible", "maximize", "front", "read", "write", "readRange", "clear",
        // "block" (address: the block's range), "close"
        QString operation;
        QString sheet;
        QString address;
        QString value;
    };

    bool openWorkbook(const QString& fileName, bool asTemplate) override;
    bool setVisible(bool visible) override;
    bool maximize() override;
    std::optional<QString> readCell(const QString& sheet, const QString& address) override;
    bool writeCell(const QString& sheet, const QString& address, const QString& value) override;
    bool isRunning() override { return !gone; }
    bool hasWorkbook() override { return !gone && hasWorkbook_; }
    bool hasSheet(const QString& sheet) override;
    bool closeWorkbook() override;
    std::optional<double> readNumber(const QString& sheet, const QString& address) override;
    std::optional<QStringList> readRange(const QString& sheet, const QString& range) override;
    bool clearRanges(const QString& sheet, const QStringList& ranges) override;
    bool writeBlocks(const QString& sheet, const QList<ColumnBlock>& blocks) override;
    bool bringToFront() override;

    // The addresses of a rectangular range "B3:U9", row by row.
    static QStringList addresses(const QString& range);

    QList<Call> callsOf(const QString& operation) const;
    QString cell(const QString& address) const { return cells.value(address); }

    // Behaviour
    bool openSucceeds = true;
    bool hasWorkbook_ = false; // a workbook is active
    QSet<QString> sheets = {QStringLiteral("Problem")};
    QSet<QString> failingReads; // addresses whose read fails
    bool gone = false;          // the application was closed: all calls fail

    // Record
    QList<Call> calls;
    QMap<QString, QString> cells;       // address -> text, worksheet "Problem"
    QMap<QString, CellContent> numbers; // address -> the number written there
    QString openedFile;
    bool openedAsTemplate = false;
    bool visible = false;
    bool maximized = false;
};
