#include "reports/spreadsheet.h"

#include "engine/numtext.h"
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
    return calcModulePaths();
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

// How a text shows a number: digits before and after the decimal separator.
struct TypedNumber {
    int integerDigits = 0;
    int decimals = 0;
    bool exponent = false;
};

// Whether a text is written the way a number is typed: a sign, digits and at most one decimal
// separator, or an exponent (which readNumber() checks).
std::optional<TypedNumber> typedNumber(const QString& text, const QLocale& locale) {
    const QString point = locale.decimalPoint();
    TypedNumber typed;
    bool afterPoint = false;
    for (qsizetype i = 0; i < text.size() && !typed.exponent; ++i) {
        const QChar c = text.at(i);
        if (c.isDigit() && c.unicode() < 128) {
            ++(afterPoint ? typed.decimals : typed.integerDigits);
        } else if ((c == u'-' || c == u'+') && i == 0) {
        } else if (QStringView(text).mid(i).startsWith(point) && !afterPoint) {
            afterPoint = true;
            i += point.size() - 1;
        } else if ((c == u'E' || c == u'e') && typed.integerDigits + typed.decimals > 0) {
            typed.exponent = true;
        } else {
            return std::nullopt;
        }
    }
    if (typed.integerDigits + typed.decimals == 0)
        return std::nullopt;
    return typed;
}

} // namespace

CellContent CellContent::fromText(const QString& text) {
    CellContent content{text, std::nullopt, 0, 1};
    const QString trimmed = text.trimmed();
    const QLocale locale;
    const std::optional<TypedNumber> typed = typedNumber(trimmed, locale);
    const std::optional<double> value = typed ? numtext::readNumber(trimmed, locale) : std::nullopt;
    if (!value)
        return content;
    content.number = *value;
    content.decimals = typed->exponent ? -1 : typed->decimals;
    // Leading zeros are shown as the text shows them ("05.30"), none before ".5".
    qsizetype first = 0;
    while (first < trimmed.size() && !(trimmed.at(first) >= u'0' && trimmed.at(first) <= u'9'))
        ++first;
    if (typed->integerDigits == 0 || trimmed.at(first) == u'0')
        content.integerDigits = typed->integerDigits;
    return content;
}

QStringList calcModulePaths() {
    const QString name = QString::fromLatin1(kCalcModuleFileName);
    return {QDir(QCoreApplication::applicationDirPath()).filePath(name),
            QDir(QStringLiteral(CTAUDIT_INSTALL_MODULE_DIR)).filePath(name)};
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
