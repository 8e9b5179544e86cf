#pragma once
// ReportWorkbook: the report's workbook held in memory, a Spreadsheet that the Excel export's
// own logic (ExcelReport) fills exactly as it fills the office's workbook: opening the
// template gives the template's titles, headings and row labels (templatedocument.h, the
// source of the template file), and each export writes the next free column. save() writes
// it as an .xlsx file, with no office involved: texts as texts, numbers as numbers shown
// with the decimals of the window's text, and a chart of the Problem 1 regimes.
//
// ReportRecorder keeps one such workbook for each arrangement through the run: every press
// of the toolbar's "Excel" exports the windows into the chosen arrangement's workbook too, so
// "Save spreadsheet report..." writes the regimes exported since the program started, with
// or without an office.

#include "core/arrangement.h"
#include "reports/capabilitysummary.h"
#include "reports/reportsource.h"
#include "reports/spreadsheet.h"

#include <QHash>
#include <array>
#include <memory>
#include <optional>

class ExcelReport;

namespace report {
// The addresses of a rectangular range of the template's columns, "B3:U9", row by row; empty
// when it is no such range.
QStringList rangeAddresses(const QString& range);
} // namespace report

class ReportWorkbook final : public Spreadsheet {
public:
    bool isRunning() override { return true; }
    bool hasWorkbook() override { return open_; }
    bool hasSheet(const QString& sheet) override;
    bool closeWorkbook() override;
    // The template is the program's own: the file name is not read.
    bool openWorkbook(const QString& fileName, bool asTemplate) override;
    bool setVisible(bool) override { return true; }
    bool maximize() override { return true; }
    std::optional<QString> readCell(const QString& sheet, const QString& address) override;
    std::optional<double> readNumber(const QString& sheet, const QString& address) override;
    bool writeCell(const QString& sheet, const QString& address, const QString& value) override;
    std::optional<QStringList> readRange(const QString& sheet, const QString& range) override;
    bool clearRanges(const QString& sheet, const QStringList& ranges) override;
    bool writeBlocks(const QString& sheet, const QList<ColumnBlock>& blocks) override;
    bool bringToFront() override { return open_; }

    // The cell at an A1 address of the worksheet "Problem" (an empty text when blank).
    CellContent cell(const QString& address) const { return cells_.value(address); }
    // The export columns that hold a regime: the last of B to U with any map row written.
    int regimes() const;

    // Writes the workbook as an .xlsx file, replacing path only when it is complete; returns
    // why it could not, in plain words. With a summary, the worksheet "Capability" follows
    // "Problem": the capability's figures (name, value as a number with its decimals, unit,
    // method), the warnings, the verdict and the notes, then the water and energy figures.
    std::optional<QString> save(const QString& path,
                                const report::CapabilitySummary* capability = nullptr) const;

private:
    bool open_ = false;
    QHash<QString, CellContent> cells_; // by A1 address
};

class ReportRecorder {
public:
    // windows: what the toolbar's "Excel" reads; the recorder never writes its flag or its
    // status line.
    explicit ReportRecorder(ReportSource& windows);
    ~ReportRecorder();

    // One export of the windows into the chosen arrangement's workbook.
    void record();
    // The regimes recorded for an arrangement.
    int regimes(Arrangement arrangement) const;

    // What save() wrote.
    struct Saved {
        Arrangement arrangement = Arrangement::CounterFlow;
        int regimes = 0;
        // No regime of the arrangement had been exported: the file holds the windows' regime.
        bool windowsOnly = false;
    };
    // Writes the chosen arrangement's workbook; when no regime of it has been exported, a
    // workbook with the windows' regime as its one column; with the arrangement's capability
    // summary, its worksheet "Capability" too (a summary of the other arrangement is left
    // out). Returns why it failed, or what it wrote.
    std::optional<QString> save(const QString& path, Saved* saved = nullptr,
                                const report::CapabilitySummary* capability = nullptr);

private:
    struct Recording;
    Recording& recording(Arrangement arrangement);

    ReportSource& windows_;
    std::array<std::unique_ptr<Recording>, 2> recordings_;
};
