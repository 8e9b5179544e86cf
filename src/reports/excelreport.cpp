#include "reports/excelreport.h"

#include "engine/cellmap.h"
#include "reports/installdirs.h"
#include "reports/reportsource.h"
#include "ui/currencytext.h"
#include "ui/desktop.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

using report::cellAddress;
using report::ColumnLetter;
using report::kCellMap;

const QString ExcelReport::kProgId = QStringLiteral("Excel.Application");
const QString ExcelReport::kTemplateName = QStringLiteral("templete2.xls");
const QString ExcelReport::kSheetName = QStringLiteral("Problem");

namespace {

const QString kFlagNotStarted = QStringLiteral("0");
const QString kFlagStarted = QStringLiteral("1");

// A marker cell counts as empty when it holds nothing but blanks.
bool isBlank(const QString& text) {
    for (QChar c : text) {
        if (c != u' ')
            return false;
    }
    return true;
}

class WaitCursor {
public:
    WaitCursor(Desktop* desktop, QWidget* window)
        : desktop_(desktop)
        , window_(window) {
        if (desktop_)
            desktop_->setWaitCursor(window_, true);
    }
    ~WaitCursor() {
        if (desktop_)
            desktop_->setWaitCursor(window_, false);
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    Desktop* desktop_;
    QWidget* window_;
};

// The map rows as runs of consecutive rows: each run is one range of a column.
QList<std::pair<int, int>> rowRuns() {
    QList<std::pair<int, int>> runs; // first and last row
    for (const report::CellMapRow& row : kCellMap) {
        if (!runs.isEmpty() && runs.last().second + 1 == row.row)
            runs.last().second = row.row;
        else
            runs.append({row.row, row.row});
    }
    return runs;
}

// What the wait for a start allows beyond its limit: the start ends what it started when the
// office did not answer.
constexpr int kStartGraceMs = 10000;

const QString kNothingWritten = QStringLiteral("Excel: nothing was written: %1.");

} // namespace

ExcelReport::ExcelReport(ReportSource& source, Desktop* desktop, QWidget* window)
    : source_(source)
    , desktop_(desktop)
    , window_(window)
    , templatePath_(defaultTemplatePath()) {}

ExcelReport::~ExcelReport() = default;

QStringList ExcelReport::templateFolders() {
    return {QCoreApplication::applicationDirPath(), QStringLiteral(CTAUDIT_INSTALL_DATA_DIR)};
}

QString ExcelReport::defaultTemplatePath() {
    const QStringList folders = templateFolders();
    const QString besideProgram = QDir(folders.first()).filePath(kTemplateName);
    const QString installed = QDir(folders.last()).filePath(kTemplateName);
    if (!QFileInfo(besideProgram).isFile() && QFileInfo(installed).isFile())
        return installed;
    return besideProgram;
}

void ExcelReport::status(const QString& text) {
    source_.setStatus(text);
}

void ExcelReport::run() {
    // The windows stay alive while an export waits for the office; a second press (from a
    // dialog that took input meanwhile) is not a second export in the middle of the first.
    if (running_)
        return;
    running_ = true;
    {
        WaitCursor wait(desktop_, window_);
        exportColumn();
        if (application_ && application_->stalled())
            dropStalled();
    }
    running_ = false;
}

void ExcelReport::dropStalled() {
    const bool ended = application_->ended();
    const double seconds = application_->callLimitMs() / 1000.0;
    application_.reset();
    stalled_ = true;
    status(ended ? QStringLiteral("Excel: LibreOffice did not answer within %1 s and was ended; "
                                  "the column may be incomplete. The next export starts it "
                                  "again.")
                       .arg(seconds)
                 : QStringLiteral("Excel: LibreOffice did not answer within %1 s; the column may "
                                  "be incomplete. The next export connects to it again.")
                       .arg(seconds));
}

void ExcelReport::exportColumn() {
    QString problem; // why the template could not be used
    Replaced replaced = Replaced::Nothing;
    const bool fresh = prepareWorkbook(&problem, &replaced);
    if (!application_) {
        if (startFailure_.isEmpty())
            startFailure_ = QStringLiteral("LibreOffice Calc could not be started");
        status(kNothingWritten.arg(startFailure_));
        return;
    }
    if (fresh) {
        application_->setVisible(true);
        application_->maximize();
    }
    if (!application_->hasSheet(kSheetName)) {
        status(kNothingWritten.arg(
            !problem.isEmpty()
                ? problem
                : QStringLiteral("the active workbook has no worksheet \"%1\"").arg(kSheetName)));
        return;
    }
    const QString column = targetColumn();
    if (column.isEmpty()) {
        status(kNothingWritten.arg(
            QStringLiteral("the worksheet \"%1\" could not be read").arg(kSheetName)));
        return;
    }
    const bool written = application_->writeBlocks(kSheetName, columnBlocks(column));
    application_->bringToFront();

    QString before;
    if (!problem.isEmpty())
        before = problem + QStringLiteral("; ");
    else if (replaced == Replaced::Workbook)
        before = QStringLiteral("the workbook had been closed: a new one was made from the "
                                "template; ");
    else if (replaced == Replaced::Office)
        before = QStringLiteral("LibreOffice had ended: it was started again and a new workbook "
                                "was made from the template; ");
    else if (replaced == Replaced::Stalled)
        before = QStringLiteral("LibreOffice had stopped answering: it was started again and a "
                                "new workbook was made from the template; ");
    const QString done = written ? QStringLiteral("column %1 of the worksheet \"%2\" written.")
                                 : QStringLiteral("column %1 of the worksheet \"%2\" could not be "
                                                  "written completely.");
    QString text = QStringLiteral("Excel: ") + before + done.arg(column, kSheetName);
    // The column holds what the windows show; Problems out of date are named.
    if (const std::vector<int> outOfDate = source_.outOfDateProblems(); !outOfDate.empty()) {
        text.chop(1);
        text += QStringLiteral("; %1 %2 out of date.")
                    .arg(currencytext::problemList(outOfDate),
                         outOfDate.size() == 1 ? QStringLiteral("was") : QStringLiteral("were"));
    }
    status(text);
}

bool ExcelReport::prepareWorkbook(QString* problem, Replaced* replaced) {
    if (source_.flag() == kFlagNotStarted) {
        const bool fresh = start() && openTemplate(problem);
        source_.setFlag(kFlagStarted);
        return fresh;
    }
    if (!application_ && stalled_) {
        // The last office stopped answering and was dropped: start one again.
        stalled_ = false;
        const bool fresh = start() && openTemplate(problem);
        if (fresh)
            *replaced = Replaced::Stalled;
        return fresh;
    }
    // An office that does not answer is neither ended nor without a workbook: the export
    // stops there (run() says so).
    if (application_ && !application_->isRunning() && !application_->stalled()) {
        // The office has ended (the user closed it, or it was killed): start it again, as on
        // first use.
        application_.reset();
        const bool fresh = start() && openTemplate(problem);
        if (fresh)
            *replaced = Replaced::Office;
        return fresh;
    }
    if (application_ && !application_->hasWorkbook() && !application_->stalled()) {
        // The user closed the workbook: a fresh one, as on first use.
        const bool fresh = openTemplate(problem);
        if (fresh)
            *replaced = Replaced::Workbook;
        return fresh;
    }
    return false;
}

// The column's cells from the windows, as runs of consecutive rows; a control that cannot be
// read skips its cell, ending its run there.
QList<ColumnBlock> ExcelReport::columnBlocks(const QString& column) {
    const bool counterFlow = source_.arrangement() == Arrangement::CounterFlow;
    QList<ColumnBlock> blocks;
    auto row = kCellMap.cbegin();
    for (const auto& [first, last] : rowRuns()) {
        ColumnBlock block{column, first, {}};
        for (; row != kCellMap.cend() && row->row <= last; ++row) {
            const report::ControlRef& ref = counterFlow ? row->counterFlow : row->crossFlow;
            const std::optional<QString> text = source_.controlText(
                QString::fromLatin1(ref.form), QString::fromLatin1(ref.control));
            if (text) {
                block.values.append(CellContent::fromText(*text));
                continue;
            }
            if (!block.values.isEmpty())
                blocks.append(block);
            block = ColumnBlock{column, row->row + 1, {}};
        }
        if (!block.values.isEmpty())
            blocks.append(block);
    }
    return blocks;
}

bool ExcelReport::start() {
    startFailure_.clear();
    status(QStringLiteral("LibreOffice Calc is starting ..."));
    const int limit = answerLimitMs_;
    ThreadedSpreadsheet::Factory make =
        factory_ ? ThreadedSpreadsheet::Factory(
                       [factory = factory_](QString* failure) { return factory(kProgId, failure); })
                 : ThreadedSpreadsheet::Factory([limit](QString* failure) {
                       OfficeOptions options;
                       options.failure = failure;
                       options.startTimeoutMs = limit;
                       return createSpreadsheet(kProgId, options);
                   });
    // The start has its own limit inside; the wait for it allows for ending a start that
    // failed.
    application_ = ThreadedSpreadsheet::create(make, limit + kStartGraceMs, limit, &startFailure_);
    if (!application_)
        return false;
    application_->setSlowCallNotice([this, limit] {
        status(QStringLiteral("Excel: waiting for LibreOffice to answer (at most %1 s) ...")
                   .arg(limit / 1000.0));
    });
    return true;
}

bool ExcelReport::openTemplate(QString* problem) {
    // The clearing goes to the workbook just made from the template, never to whatever
    // workbook happens to be active when the template could not be opened.
    if (!application_->openWorkbook(templatePath_, true)) {
        const QFileInfo file(templatePath_);
        QStringList folders{file.absolutePath()};
        if (templatePath_ == defaultTemplatePath())
            folders = templateFolders();
        // A template that is there but no regular file (a FIFO, a folder) is said to be so:
        // "not found" would send the user looking for it.
        *problem = file.isFile() ? QStringLiteral("the template %1 could not be opened as a "
                                                  "workbook")
                                       .arg(templatePath_)
                   : file.exists()
                       ? QStringLiteral("the template %1 is not a regular file").arg(templatePath_)
                       : QStringLiteral("the template %1 was not found in %2")
                             .arg(kTemplateName, folders.join(QStringLiteral(" or ")));
        return false;
    }
    if (!application_->hasSheet(kSheetName)) {
        *problem = QStringLiteral("the template %1 has no worksheet \"%2\"")
                       .arg(templatePath_, kSheetName);
        return true;
    }
    QStringList ranges;
    const QString last = ColumnLetter(report::kSlotCount);
    for (const auto& [first, lastRow] : rowRuns())
        ranges
            << QStringLiteral("%1%2:%3%4").arg(ColumnLetter(1)).arg(first).arg(last).arg(lastRow);
    application_->clearRanges(kSheetName, ranges);
    return true;
}

// The first column whose marker cell is blank; when every column is taken, the last one, "U",
// is overwritten. An empty text when the markers cannot be read.
QString ExcelReport::targetColumn() {
    const QString markers = QStringLiteral("%1%3:%2%3")
                                .arg(ColumnLetter(1), ColumnLetter(report::kSlotCount))
                                .arg(report::kMarkerRow);
    const std::optional<QStringList> texts = application_->readRange(kSheetName, markers);
    if (!texts || texts->size() != report::kSlotCount)
        return QString();
    for (int slot = 1; slot <= report::kSlotCount; ++slot) {
        if (isBlank(texts->at(slot - 1)))
            return ColumnLetter(slot);
    }
    return ColumnLetter(report::kSlotCount);
}
