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
        QString operation; // "open", "visible", "maximize", "read", "write"
        QString sheet;
        QString address;
        QString value;
    };

    bool openWorkbook(const QString& fileName, bool asTemplate) override;
    bool setVisible(bool visible) override;
    bool maximize() override;
    std::optional<QString> readCell(const QString& sheet, const QString& address) override;
    bool writeCell(const QString& sheet, const QString& address, const QString& value) override;

    QList<Call> callsOf(const QString& operation) const;
    QString cell(const QString& address) const { return cells.value(address); }

    // Behaviour
    bool openSucceeds = true;
    bool hasWorkbook = false; // a workbook is active
    QSet<QString> sheets = {QStringLiteral("Problem")};
    QSet<QString> failingReads; // addresses whose read fails
    bool gone = false;          // the application was closed: all calls fail

    // Record
    QList<Call> calls;
    QMap<QString, QString> cells; // address -> value, worksheet "Problem"
    QString openedFile;
    bool openedAsTemplate = false;
    bool visible = false;
    bool maximized = false;
};
