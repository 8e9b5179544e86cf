#include "reports/excelreport.h"

#include "common/desktop.h"
#include "reports/cellmap.h"
#include "reports/installdirs.h"
#include "reports/reportsource.h"

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

} // namespace

ExcelReport::ExcelReport(ReportSource& source, Desktop* desktop, QWidget* window)
    : source_(source)
    , desktop_(desktop)
    , window_(window)
    , factory_([](const QString& progId) { return createSpreadsheet(progId); })
    , templatePath_(defaultTemplatePath()) {}

ExcelReport::~ExcelReport() = default;

QString ExcelReport::defaultTemplatePath() {
    const QString besideProgram =
        QDir(QCoreApplication::applicationDirPath()).filePath(kTemplateName);
    const QString installed =
        QDir(QStringLiteral(CTAUDIT_INSTALL_DATA_DIR)).filePath(kTemplateName);
    if (!QFileInfo(besideProgram).isFile() && QFileInfo(installed).isFile())
        return installed;
    return besideProgram;
}

void ExcelReport::run() {
    WaitCursor wait(desktop_, window_);

    bool startedNow = false;
    if (source_.flag() == kFlagNotStarted) {
        prepare();
        startedNow = true;
    }
    if (!application_)
        return; // no spreadsheet application in this run: nothing to write into

    // Only the export that started the application holds it fresh; later exports leave its
    // window as the user arranged it.
    if (startedNow) {
        application_->setVisible(true);
        application_->maximize();
    }

    const QString column = targetColumn();
    const bool counterFlow = source_.counterFlowSelected();
    for (const report::CellMapRow& row : kCellMap) {
        const report::ControlRef& ref = counterFlow ? row.counterFlow : row.crossFlow;
        const std::optional<QString> text =
            source_.controlText(QString::fromLatin1(ref.form), QString::fromLatin1(ref.control));
        if (!text)
            continue; // a control that cannot be read skips its cell
        application_->writeCell(kSheetName, cellAddress(column, row.row), *text);
    }
}

void ExcelReport::prepare() {
    application_ = factory_ ? factory_(kProgId) : nullptr;
    // The clearing goes to the workbook just made from the template, never to whatever
    // workbook happens to be active when the template could not be opened.
    if (application_ && application_->openWorkbook(templatePath_, true)) {
        for (int slot = 1; slot <= report::kSlotCount; ++slot) {
            const QString column = ColumnLetter(slot);
            for (const report::CellMapRow& row : kCellMap)
                application_->writeCell(kSheetName, cellAddress(column, row.row), QString());
        }
    }
    source_.setFlag(kFlagStarted);
}

// The first column whose marker cell is blank; a cell that cannot be read ends the search at
// its column; when every column is taken, the last one, "U", is overwritten.
QString ExcelReport::targetColumn() {
    QString column;
    for (int slot = 1; slot <= report::kSlotCount; ++slot) {
        column = ColumnLetter(slot);
        const std::optional<QString> marker =
            application_->readCell(kSheetName, cellAddress(column, report::kMarkerRow));
        if (!marker || isBlank(*marker))
            break;
    }
    return column;
}
