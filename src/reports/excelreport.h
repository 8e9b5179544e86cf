#pragma once
// ExcelReport: the toolbar's "Excel". Each export fills the next free column (B to U) of the
// worksheet "Problem" with the displayed texts of the four Problem windows of the chosen
// arrangement (cellmap.h); a text that is a number arrives as a number shown with the same
// decimals.
//
//   first export of the run (flag "0"): start the spreadsheet application, open the template
//     as a new untitled workbook, clear the map rows of columns B to U, set the flag to "1",
//     show and maximise the application
//   later exports: when the user has ended the application it is started again, and when he
//     has closed the workbook a fresh one is made from the template, as on first use; an
//     application that could not be started at all is not tried again in the run
//   every export: find the first column whose row 3 is blank (U when none is), write the
//     58 cells into it (clearing and writing go by ranges, a few calls each), bring the
//     workbook's window to the front
//
// The workbook is never saved or closed: the user does that. The status line tells what was
// written (and which Problems were out of date), or in plain words why nothing was; no message
// box, the program goes on.
//
// Every call into the office runs on a thread of its own (threadedspreadsheet.h): the windows
// keep painting while the export waits, the user's input waits until it is done, and no call
// waits longer than the limit (30 s, as for the start). An office that does not answer within
// it is ended when the program started it, the status line says so, and the next export
// starts one again.

#include "reports/spreadsheet.h"
#include "reports/threadedspreadsheet.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class Desktop;
class QWidget;
struct ReportSource;

class ExcelReport {
public:
    // Creates the application object by programmatic identifier (createSpreadsheet); when it
    // makes none, it may say why in *failure.
    using Factory =
        std::function<std::unique_ptr<Spreadsheet>(const QString& progId, QString* failure)>;

    // desktop and window, when given, show the wait cursor while an export runs.
    explicit ExcelReport(ReportSource& source, Desktop* desktop = nullptr,
                         QWidget* window = nullptr);
    ~ExcelReport();

    // Replaces the program's own way of starting the office (createSpreadsheet with the limit).
    void setFactory(Factory factory) { factory_ = std::move(factory); }
    // How long any call into the office, and the office's start, may take.
    void setAnswerLimitMs(int ms) { answerLimitMs_ = ms; }
    int answerLimitMs() const { return answerLimitMs_; }
    // Whether an export is running (waiting for the office); another one is not started then.
    bool isRunning() const { return running_; }
    void setTemplatePath(const QString& path) { templatePath_ = path; }
    QString templatePath() const { return templatePath_; }

    // One export.
    void run();

    // The template beside the executable; once installed, in the data folder. When neither
    // exists, the path beside the executable.
    static QString defaultTemplatePath();
    // The folders where the default template is looked for, in that order.
    static QStringList templateFolders();

    static const QString kProgId;       // "Excel.Application"
    static const QString kTemplateName; // "templete2.xls"
    static const QString kSheetName;    // "Problem"
    static constexpr int kAnswerLimitMs = 30000;

private:
    // What an export found of the previous one's workbook.
    enum class Replaced { Nothing, Workbook, Office, Stalled };
    // A workbook to write into: on the first export (and when the office has ended) the
    // application is started; then, and when the user closed the workbook, a fresh one is made
    // from the template. True when this export made one; *replaced tells what it replaced: a
    // workbook the user closed, or an office that has ended.
    bool prepareWorkbook(QString* problem, Replaced* replaced);
    void exportColumn();
    // After a call that did not answer: drops the application and says what happened.
    void dropStalled();
    // Starts the application, saying so on the status line; false (and why in startFailure_)
    // when there is none.
    bool start();
    // Opens the template as a new workbook and clears its export columns; false (and the
    // reason in *problem) when it cannot be opened.
    bool openTemplate(QString* problem);
    QString targetColumn();
    QList<ColumnBlock> columnBlocks(const QString& column);
    void status(const QString& text);

    ReportSource& source_;
    Desktop* desktop_;
    QWidget* window_;
    Factory factory_;
    QString templatePath_;
    QString startFailure_; // why the default factory made no application
    int answerLimitMs_ = kAnswerLimitMs;
    bool running_ = false;
    bool stalled_ = false; // the last application stopped answering: the next export starts one
    // The application started by the first export; kept for the rest of the run.
    std::unique_ptr<ThreadedSpreadsheet> application_;
};
