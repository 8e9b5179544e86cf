#include "reports/spreadsheet.h"

#include "common/numtext.h"
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
CreateSpreadsheetFunction loadFactory(const QString& path, QString* error) {
    if (!QFileInfo(path).isFile())
        return nullptr;
    QLibrary library(path);
    if (!library.load()) {
        *error = library.errorString(); // typically the office's libraries are missing
        return nullptr;
    }
    return reinterpret_cast<CreateSpreadsheetFunction>(library.resolve(kCreateSpreadsheetSymbol));
}

// Whether a text is written the way a number is typed: a sign, digits and at most one decimal
// separator, or an exponent; the number of decimals it shows (-1 with an exponent).
std::optional<int> typedDecimals(const QString& text, const QLocale& locale) {
    const QString point = locale.decimalPoint();
    int digits = 0;
    int decimals = 0;
    bool afterPoint = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isDigit() && c.unicode() < 128) {
            ++digits;
            decimals += afterPoint ? 1 : 0;
        } else if ((c == u'-' || c == u'+') && i == 0) {
        } else if (QStringView(text).mid(i).startsWith(point) && !afterPoint) {
            afterPoint = true;
            i += point.size() - 1;
        } else if ((c == u'E' || c == u'e') && digits > 0) {
            return -1; // the rest is the exponent: readNumber() checks it
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0)
        return std::nullopt;
    return decimals;
}

} // namespace

CellContent CellContent::fromText(const QString& text) {
    CellContent content{text, std::nullopt, 0};
    const QString typed = text.trimmed();
    const QLocale locale;
    const std::optional<int> decimals = typedDecimals(typed, locale);
    if (!decimals)
        return content;
    const std::optional<double> value = numtext::readNumber(typed, locale);
    if (!value)
        return content;
    content.number = *value;
    content.decimals = *decimals;
    return content;
}

std::unique_ptr<Spreadsheet> createSpreadsheet(const QString& progId,
                                               const OfficeOptions& options) {
    if (progId != kExcelProgId)
        return nullptr;
    QString loadError;
    for (const QString& path : moduleCandidates(options)) {
        if (CreateSpreadsheetFunction create = loadFactory(path, &loadError))
            return std::unique_ptr<Spreadsheet>(create(&options));
    }
    if (options.failure) {
        QStringList folders;
        for (const QString& path : moduleCandidates(options))
            folders << QFileInfo(path).path();
        *options.failure =
            loadError.isEmpty()
                ? QStringLiteral("the LibreOffice Calc module %1 was not found in %2")
                      .arg(QString::fromLatin1(kCalcModuleFileName),
                           folders.join(QStringLiteral(" or ")))
                : QStringLiteral("LibreOffice is not installed (%1)").arg(loadError);
    }
    return nullptr;
}
