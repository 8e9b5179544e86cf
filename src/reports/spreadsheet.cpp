#include "reports/spreadsheet.h"

#include "reports/installdirs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace {

const QString kExcelProgId = QStringLiteral("Excel.Application");

QStringList moduleCandidates(const OfficeOptions& options) {
    if (!options.modulePath.isEmpty())
        return {options.modulePath};
    const QString name = QString::fromLatin1(kCalcModuleFileName);
    return {QDir(QCoreApplication::applicationDirPath()).filePath(name),
            QDir(QStringLiteral(CTAUDIT_INSTALL_MODULE_DIR)).filePath(name)};
}

// Loads the module and resolves its factory. The library stays loaded for the rest of the
// run: the objects it made live in its code.
CreateSpreadsheetFunction loadFactory(const QString& path) {
    if (!QFileInfo(path).isFile())
        return nullptr;
    QLibrary library(path);
    if (!library.load())
        return nullptr;
    return reinterpret_cast<CreateSpreadsheetFunction>(library.resolve(kCreateSpreadsheetSymbol));
}

} // namespace

std::unique_ptr<Spreadsheet> createSpreadsheet(const QString& progId,
                                               const OfficeOptions& options) {
    if (progId != kExcelProgId)
        return nullptr;
    for (const QString& path : moduleCandidates(options)) {
        if (CreateSpreadsheetFunction create = loadFactory(path))
            return std::unique_ptr<Spreadsheet>(create(&options));
    }
    return nullptr;
}
