#pragma once
// ExcelReport: the toolbar's "Excel". Each export fills the next free column (B to U) of the
// worksheet "Problem" with the displayed texts of the four Problem windows of the chosen
// arrangement (cellmap.h).
//
//   first export of the run (flag "0"): start the spreadsheet application, open the template
//     as a new untitled workbook, clear the map rows of columns B to U, set the flag to "1",
//     show and maximise the application
//   every export: find the first column whose row 3 is blank (U when none is), write the
//     58 texts into it
//
// The workbook is never saved or closed: the user does that. Every step that fails (no office,
// no template, the workbook or the office closed) is skipped without a message.

#include "reports/spreadsheet.h"

#include <QString>
#include <functional>
#include <memory>

class Desktop;
class QWidget;
struct ReportSource;

class ExcelReport {
public:
    // Creates the application object by programmatic identifier (createSpreadsheet).
    using Factory = std::function<std::unique_ptr<Spreadsheet>(const QString& progId)>;

    // desktop and window, when given, show the wait cursor while an export runs.
    explicit ExcelReport(ReportSource& source, Desktop* desktop = nullptr,
                         QWidget* window = nullptr);
    ~ExcelReport();

    void setFactory(Factory factory) { factory_ = std::move(factory); }
    void setTemplatePath(const QString& path) { templatePath_ = path; }
    QString templatePath() const { return templatePath_; }

    // One export.
    void run();

    // The template beside the executable; once installed, in the data folder. When neither
    // exists, the path beside the executable.
    static QString defaultTemplatePath();

    static const QString kProgId;       // "Excel.Application"
    static const QString kTemplateName; // "templete2.xls"
    static const QString kSheetName;    // "Problem"

private:
    void prepare();
    QString targetColumn();

    ReportSource& source_;
    Desktop* desktop_;
    QWidget* window_;
    Factory factory_;
    QString templatePath_;
    // The application started by the first export; kept for the rest of the run.
    std::unique_ptr<Spreadsheet> application_;
};
