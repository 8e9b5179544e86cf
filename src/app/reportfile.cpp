#include "app/reportfile.h"

#include "app/auditdocument.h"
#include "app/reportaccuracies.h"
#include "app/windows.h"
#include "engine/cellmap.h"
#include "engine/message.h"
#include "reports/capabilitysummary.h"
#include "reports/reportworkbook.h"
#include "ui/desktop.h"
#include "ui/mainwindow.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace {

const QString kSuffix = QStringLiteral(".xlsx");

} // namespace

ReportFile::ReportFile(Windows& windows, AuditDocument& document)
    : QObject(windows.mainWindow())
    , windows_(windows)
    , document_(document) {
    MainWindow* main = windows_.mainWindow();
    saveAction = new QAction(QStringLiteral("Save spreadsheet report..."), main);
    saveAction->setObjectName(QStringLiteral("SaveReport"));
    saveAction->setData(QStringLiteral("SaveReport"));
    saveAction->setToolTip(QStringLiteral("Save the regimes exported with \"Excel\" as an .xlsx "
                                          "workbook, without an office"));
    connect(saveAction, &QAction::triggered, this, [this] { save(); });
    // In the menu beside "Save", under "Save As...".
    if (auto* button =
            qobject_cast<QToolButton*>(main->toolBar()->widgetForAction(document_.saveAction)))
        if (QMenu* menu = button->menu())
            menu->addAction(saveAction);
}

bool ReportFile::save() {
    // Suggested beside the audit, under its name.
    QString suggestion = QStringLiteral("report") + kSuffix;
    if (const QString audit = document_.fileName(); !audit.isEmpty())
        suggestion = QFileInfo(audit).dir().filePath(QFileInfo(audit).completeBaseName() + kSuffix);
    QString path = windows_.desktop().saveFileName(
        windows_.mainWindow(), QStringLiteral("Save spreadsheet report"), suggestion,
        QStringLiteral("Excel workbooks (*.xlsx)"));
    if (path.isEmpty())
        return false;
    // The dialog asked about the name as typed, not about the one with the extension.
    if (!path.endsWith(kSuffix, Qt::CaseInsensitive)) {
        path += kSuffix;
        if (!mayReplaceFile(windows_.desktop(), windows_.mainWindow(),
                            QStringLiteral("Save spreadsheet report"), path))
            return false;
    }
    return saveTo(path);
}

bool ReportFile::saveTo(const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    ReportRecorder::Saved saved;
    // The sheet "Capability" says what the audit report's sections say.
    windows_.desktop().setWaitCursor(windows_.mainWindow(), true);
    const report::CapabilitySummary capability = report::summarize(
        windows_.audit(), windows_.chosenArrangement(), reportAccuracies(windows_));
    const std::optional<QString> error = windows_.reportRecorder().save(path, &saved, &capability);
    windows_.desktop().setWaitCursor(windows_.mainWindow(), false);
    if (error) {
        windows_.desktop().message(
            windows_.mainWindow(), applicationTitle(),
            QStringLiteral("The spreadsheet report cannot be saved as \"%1\": %2.")
                .arg(shown, *error),
            MessageIcon::Critical);
        return false;
    }
    const QString arrangement = saved.arrangement == Arrangement::CounterFlow
                                    ? QStringLiteral("counter flow")
                                    : QStringLiteral("cross flow");
    const QString columns =
        saved.regimes <= 1
            ? QStringLiteral("column B")
            : QStringLiteral("columns B to %1").arg(report::ColumnLetter(saved.regimes));
    windows_.setStatus(
        saved.windowsOnly
            ? QStringLiteral("Spreadsheet report saved as %1: nothing of the %2 was exported "
                             "with Excel yet, so %3 holds the regime the windows show.")
                  .arg(shown, arrangement, columns)
            : QStringLiteral("Spreadsheet report saved as %1: the %2 regimes exported with "
                             "Excel, %3.")
                  .arg(shown, arrangement, columns));
    return true;
}
