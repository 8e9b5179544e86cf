#include "app/programfiles.h"

#include "app/aboutbox.h"
#include "app/windows.h"
#include "reports/excelreport.h"
#include "reports/spreadsheet.h"
#include "ui/mainwindow.h"
#include "ui/startwindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace {

const QString kManualIndex = QStringLiteral("index.html");
const QString kCalcModule = QStringLiteral("Calc module");

// Why the Calc module cannot be loaded (its office libraries are found through its search
// path), or an empty text; other files need only be there.
QString loadError(const ProgramFile& file, const QString& path) {
    if (file.what != kCalcModule)
        return {};
    QLibrary module(path);
    if (!module.load())
        return module.errorString();
    if (!module.resolve(kCreateSpreadsheetSymbol))
        return module.errorString();
    return {};
}

} // namespace

QString ProgramFile::found() const {
    for (const QString& path : candidates)
        if (QFileInfo(path).isFile())
            return path;
    return {};
}

namespace programfiles {

QStringList manualFolders() {
    return {QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("manual")),
            QStringLiteral(CTAUDIT_INSTALL_MANUAL_DIR)};
}

QString manualIndex() {
    QStringList pages;
    for (const QString& folder : manualFolders())
        pages << QDir(folder).filePath(kManualIndex);
    return ProgramFile{QString(), pages}.found();
}

QList<ProgramFile> all() {
    ProgramFile templateFile{QStringLiteral("template"), {}};
    for (const QString& folder : ExcelReport::templateFolders())
        templateFile.candidates << QDir(folder).filePath(ExcelReport::kTemplateName);
    ProgramFile manual{QStringLiteral("manual"), {}};
    for (const QString& folder : manualFolders())
        manual.candidates << QDir(folder).filePath(kManualIndex);
    return {templateFile, {kCalcModule, calcModulePaths()}, manual};
}

int checkStart(Windows& windows, QTextStream& out) {
    QCoreApplication::processEvents();
    int status = 0;
    out << "ctaudit " << AboutBox::version() << '\n';
    const bool shown = windows.mainWindow()->isVisible() && windows.startWindow()->isVisible() &&
                       !windows.startWindow()->grab().isNull();
    out << "start window: " << (shown ? "shown" : "not shown") << '\n';
    if (!shown)
        status = 1;
    for (const ProgramFile& file : all()) {
        const QString path = file.found();
        if (path.isEmpty()) {
            out << file.what << ": not found in " << file.candidates.join(QStringLiteral(" or "))
                << '\n';
            status = 1;
        } else if (const QString error = loadError(file, path); !error.isEmpty()) {
            out << file.what << ": " << path << " cannot be loaded: " << error << '\n';
            status = 1;
        } else {
            out << file.what << ": " << QFileInfo(path).absoluteFilePath() << '\n';
        }
    }
    out.flush();
    return status;
}

} // namespace programfiles
