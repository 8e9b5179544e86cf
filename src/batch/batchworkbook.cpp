#include "batch/batchworkbook.h"

#include <charconv>
#include <cmath>
#include <xlsxwriter.h>

namespace {

constexpr double kColumnWidth = 14; // characters
constexpr int kCaseColumn = 0;
constexpr int kStatusColumn = 1;

// A plain number text of the output ("-12.345": a sign, digits, a decimal point) as the cell
// CellContent::fromText makes of it, read directly; nullopt for any other text.
std::optional<CellContent> plainNumber(const QString& text) {
    QByteArray latin1;
    latin1.reserve(text.size());
    int integerDigits = 0;
    int decimals = 0;
    bool point = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c >= u'0' && c <= u'9')
            ++(point ? decimals : integerDigits);
        else if (c == u'.' && !point)
            point = true;
        else if (!(c == u'-' && i == 0))
            return std::nullopt;
        latin1 += char(c);
    }
    if (integerDigits + decimals == 0)
        return std::nullopt;
    double value = 0;
    const char* end = latin1.constData() + latin1.size();
    if (std::from_chars(latin1.constData(), end, value).ptr != end || !std::isfinite(value))
        return std::nullopt;
    // Leading zeros are shown as the text shows them ("05.30"), none before ".5".
    const char first = latin1.at(latin1.startsWith('-') ? 1 : 0);
    const int shownDigits = integerDigits == 0 || first == '0' ? integerDigits : 1;
    return CellContent{text, value, decimals, shownDigits};
}

// A cell of an output row: the status stays text whatever it reads like.
CellContent cellContent(const QString& text, int column) {
    if (column == kStatusColumn)
        return CellContent{text, std::nullopt, 0, 1};
    if (std::optional<CellContent> number = plainNumber(text))
        return *number;
    return CellContent::fromText(text);
}

} // namespace

BatchWorkbook::BatchWorkbook(const QString& path, const QStringList& resultHeader,
                             const QStringList& uncertaintyHeader,
                             const QStringList& capabilityHeader)
    : file_(path, true)
    , resultColumns_(resultHeader.size())
    , uncertaintyColumns_(uncertaintyHeader.size()) {
    results_ = file_.addSheet(QStringLiteral("Results"));
    if (!uncertaintyHeader.isEmpty())
        uncertainty_ = file_.addSheet(QStringLiteral("Uncertainty"));
    if (results_)
        writeHeader(results_, resultHeader + capabilityHeader);
    if (uncertainty_)
        writeHeader(uncertainty_, QStringList{resultHeader.value(kCaseColumn)} + uncertaintyHeader);
}

bool BatchWorkbook::writeHeader(lxw_worksheet* sheet, const QStringList& header) {
    worksheet_set_column(sheet, 0, lxw_col_t(std::max<qsizetype>(header.size(), 1) - 1),
                         kColumnWidth, nullptr);
    worksheet_freeze_panes(sheet, 1, 0);
    lxw_format* bold = file_.boldFormat();
    for (qsizetype column = 0; column < header.size(); ++column)
        if (!file_.write(sheet, 0, int(column), CellContent{header[column], std::nullopt, 0, 1},
                         bold))
            return false;
    return true;
}

bool BatchWorkbook::addRow(const QStringList& cells) {
    if (!file_.ok())
        return false;
    if (row_ >= kMaxCases) {
        file_.fail(QStringLiteral("a worksheet holds no more than %1 cases").arg(kMaxCases));
        return false;
    }
    ++row_;
    // A row's cells: the results, the U cells, the capability cells (on "Results" again).
    for (qsizetype column = 0; column < cells.size(); ++column) {
        const bool result =
            column < resultColumns_ || column >= resultColumns_ + uncertaintyColumns_;
        lxw_worksheet* sheet = result ? results_ : uncertainty_;
        const int to = column < resultColumns_ ? int(column)
                       : result                ? int(column - uncertaintyColumns_)
                                               : int(column - resultColumns_) + 1;
        if (!file_.write(sheet, row_, to, cellContent(cells[column], int(column))))
            return false;
    }
    if (uncertainty_ && !cells.isEmpty() &&
        !file_.write(uncertainty_, row_, 0, cellContent(cells.first(), kCaseColumn)))
        return false;
    return true;
}

bool BatchWorkbook::commit() {
    return file_.commit();
}
