#include "reports/reportworkbook.h"

#include "engine/cellmap.h"
#include "reports/excelreport.h"
#include "reports/templatedocument.h"
#include "reports/xlsxfile.h"

#include <cmath>
#include <xlsxwriter.h>

namespace {

const QString kSheet = QStringLiteral("Problem");
// The row of the map whose numbers the chart draws: Problem 1's heat capacity.
constexpr int kChartRow = 13;
constexpr double kQuantityWidth = 58; // characters
constexpr double kCaseWidth = 12;
const QString kCapabilitySheet = QStringLiteral("Capability");
// The capability sheet's columns: figure, value, unit, method; characters.
constexpr double kCapabilityWidths[] = {52, 14, 12, 72};

// An A1 address of the template's columns (one letter) as row from 1 and column from 0;
// nullopt for anything else.
std::optional<std::pair<int, int>> parseAddress(QStringView address) {
    if (address.size() < 2 || address.size() > 6 || address.at(0) < u'A' || address.at(0) > u'Z')
        return std::nullopt;
    bool ok = false;
    const int row = address.mid(1).toInt(&ok);
    if (!ok || row < 1)
        return std::nullopt;
    return std::pair{row, int(address.at(0).unicode() - u'A')};
}

QString addressOf(int row, int column) {
    return QChar(char16_t(u'A' + column)) + QString::number(row);
}

bool isMapRow(int row) {
    for (const report::CellMapRow& r : report::kCellMap)
        if (r.row == row)
            return true;
    return false;
}

// What the export reads for the recorded workbooks: the windows' controls, a flag of its own,
// and no status line (the office export says what happened).
class RecordingSource final : public ReportSource {
public:
    RecordingSource(ReportSource& windows, Arrangement arrangement)
        : windows_(windows)
        , arrangement_(arrangement) {}
    QString flag() override { return flag_; }
    void setFlag(const QString& flag) override { flag_ = flag; }
    Arrangement arrangement() override { return arrangement_; }
    std::optional<QString> controlText(const QString& form, const QString& control) override {
        return windows_.controlText(form, control);
    }
    void setStatus(const QString&) override {}
    std::vector<int> outOfDateProblems() override { return windows_.outOfDateProblems(); }

private:
    ReportSource& windows_;
    Arrangement arrangement_;
    QString flag_ = QStringLiteral("0");
};

// The worksheet "Capability": what a summary states, as the audit report's sections do. The
// figures' values are numbers shown with the summary's decimals.
bool writeCapabilitySheet(XlsxFile& file, const report::CapabilitySummary& s) {
    lxw_worksheet* sheet = file.addSheet(kCapabilitySheet);
    if (!sheet)
        return false;
    for (lxw_col_t c = 0; c < 4; ++c)
        worksheet_set_column(sheet, c, c, kCapabilityWidths[c], nullptr);
    lxw_format* title = file.boldFormat(14);
    lxw_format* heading = file.boldFormat();
    int row = 0;
    bool ok = true;
    const auto text = [&](const QString& t, lxw_format* format = nullptr, int column = 0) {
        ok = ok && file.write(sheet, row, column, CellContent{t, std::nullopt, 0, 1}, format);
    };
    const auto lines = [&](const QString& caption, const QStringList& texts) {
        if (texts.isEmpty())
            return;
        ++row;
        text(caption, heading);
        for (const QString& t : texts) {
            ++row;
            text(t);
        }
    };
    const auto figures = [&](const QList<report::SummaryFigure>& list) {
        for (const report::SummaryFigure& f : list) {
            ++row;
            text(f.name);
            if (f.value && std::isfinite(*f.value))
                ok = ok &&
                     file.write(sheet, row, 1, CellContent{f.plainText(), *f.value, f.decimals, 1});
            text(f.shownUnit(), nullptr, 2);
            text(f.method, nullptr, 3);
        }
    };
    const auto header = [&] {
        row += 2;
        const QStringList titles = {QStringLiteral("Figure"), QStringLiteral("Value"),
                                    QStringLiteral("Unit"), QStringLiteral("Method")};
        for (int c = 0; c < titles.size(); ++c)
            text(titles[c], heading, c);
    };

    text(QStringLiteral("Capability of the %1 tower")
             .arg(s.arrangement == Arrangement::CounterFlow ? QStringLiteral("counter-flow")
                                                            : QStringLiteral("cross-flow")),
         title);
    ++row;
    text(s.basis);
    if (!s.available)
        return ok;
    header();
    figures(s.capability);
    ++row;
    lines(QStringLiteral("Warnings"), s.warnings);
    lines(QStringLiteral("Verdict"), s.verdict.isEmpty() ? QStringList() : QStringList{s.verdict});
    lines(QStringLiteral("Notes"), s.capabilityNotes);

    row += 2;
    text(QStringLiteral("Water and energy"), title);
    header();
    figures(s.water);
    figures(s.energy);
    ++row;
    lines(QStringLiteral("Notes"), s.savingsNotes);
    return ok;
}

} // namespace

QStringList report::rangeAddresses(const QString& range) {
    const QStringList corners = range.split(u':');
    const auto first = parseAddress(corners.first());
    const auto last = parseAddress(corners.last());
    QStringList addresses;
    if (corners.size() > 2 || !first || !last || last->first < first->first ||
        last->second < first->second || last->first > report::kTemplateRows)
        return addresses;
    for (int row = first->first; row <= last->first; ++row)
        for (int column = first->second; column <= last->second; ++column)
            addresses << addressOf(row, column);
    return addresses;
}

// --- ReportWorkbook ---------------------------------------------------------------------------

bool ReportWorkbook::hasSheet(const QString& sheet) {
    return open_ && sheet == kSheet;
}

bool ReportWorkbook::closeWorkbook() {
    const bool was = open_;
    open_ = false;
    cells_.clear();
    return was;
}

bool ReportWorkbook::openWorkbook(const QString&, bool) {
    cells_.clear();
    for (int row = 1; row <= report::kTemplateRows; ++row)
        for (int column = 0; column < report::kTemplateColumns; ++column)
            if (const QString text = report::templateText(row, column); !text.isEmpty())
                cells_.insert(addressOf(row, column), CellContent{text, std::nullopt, 0, 1});
    open_ = true;
    return true;
}

std::optional<QString> ReportWorkbook::readCell(const QString& sheet, const QString& address) {
    if (!hasSheet(sheet) || !parseAddress(address))
        return std::nullopt;
    return cells_.value(address).text;
}

std::optional<double> ReportWorkbook::readNumber(const QString& sheet, const QString& address) {
    if (!hasSheet(sheet))
        return std::nullopt;
    return cells_.value(address).number;
}

bool ReportWorkbook::writeCell(const QString& sheet, const QString& address, const QString& value) {
    if (!hasSheet(sheet) || !parseAddress(address))
        return false;
    if (value.isEmpty())
        cells_.remove(address);
    else
        cells_.insert(address, CellContent::fromText(value));
    return true;
}

std::optional<QStringList> ReportWorkbook::readRange(const QString& sheet, const QString& range) {
    const QStringList addresses = report::rangeAddresses(range);
    if (!hasSheet(sheet) || addresses.isEmpty())
        return std::nullopt;
    QStringList texts;
    for (const QString& address : addresses)
        texts << cells_.value(address).text;
    return texts;
}

bool ReportWorkbook::clearRanges(const QString& sheet, const QStringList& ranges) {
    if (!hasSheet(sheet))
        return false;
    bool all = true;
    for (const QString& range : ranges) {
        const QStringList addresses = report::rangeAddresses(range);
        all = all && !addresses.isEmpty();
        for (const QString& address : addresses)
            cells_.remove(address);
    }
    return all;
}

bool ReportWorkbook::writeBlocks(const QString& sheet, const QList<ColumnBlock>& blocks) {
    if (!hasSheet(sheet))
        return false;
    bool all = true;
    for (const ColumnBlock& block : blocks) {
        for (qsizetype i = 0; i < block.values.size(); ++i) {
            const QString address = block.column + QString::number(block.firstRow + int(i));
            if (!parseAddress(address) || block.firstRow + i > report::kTemplateRows) {
                all = false;
                continue;
            }
            if (block.values[i].text.isEmpty())
                cells_.remove(address);
            else
                cells_.insert(address, block.values[i]);
        }
    }
    return all;
}

int ReportWorkbook::regimes() const {
    for (int slot = report::kSlotCount; slot >= 1; --slot)
        for (const report::CellMapRow& row : report::kCellMap)
            if (!cells_.value(report::cellAddress(report::ColumnLetter(slot), row.row))
                     .text.isEmpty())
                return slot;
    return 0;
}

std::optional<QString> ReportWorkbook::save(const QString& path,
                                            const report::CapabilitySummary* capability) const {
    XlsxFile file(path);
    lxw_worksheet* sheet = file.addSheet(kSheet);
    if (!sheet)
        return file.error();
    worksheet_set_column(sheet, 0, 0, kQuantityWidth, nullptr);
    worksheet_set_column(sheet, 1, report::kTemplateColumns - 1, kCaseWidth, nullptr);
    lxw_format* title = file.boldFormat(14);
    lxw_format* heading = file.boldFormat();
    for (int row = 1; row <= report::kTemplateRows; ++row) {
        // The template's title, its column headings and the section headings are bold.
        lxw_format* style = row == 1 ? title : row == 2 || !isMapRow(row) ? heading : nullptr;
        for (int column = 0; column < report::kTemplateColumns; ++column) {
            const auto content = cells_.constFind(addressOf(row, column));
            if (content != cells_.cend() && !file.write(sheet, row - 1, column, *content, style))
                return file.error();
        }
    }

    // A column chart of the regimes' Problem 1 heat capacity, below the table.
    if (const int columns = regimes(); columns > 0) {
        lxw_chart* chart = workbook_add_chart(file.workbook(), LXW_CHART_COLUMN);
        lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
        const QByteArray sheetName = kSheet.toUtf8();
        chart_series_set_categories(series, sheetName.constData(), 1, 1, 1, lxw_col_t(columns));
        chart_series_set_values(series, sheetName.constData(), kChartRow - 1, 1, kChartRow - 1,
                                lxw_col_t(columns));
        chart_series_set_name_range(series, sheetName.constData(), kChartRow - 1, 0);
        chart_title_set_name(chart, "Problem 1 regimes: heat capacity");
        chart_axis_set_name(chart->y_axis, "Heat capacity [kW]");
        chart_legend_set_position(chart, LXW_CHART_LEGEND_NONE);
        if (worksheet_insert_chart(sheet, report::kTemplateRows + 1, 0, chart) != LXW_NO_ERROR)
            return QStringLiteral("the chart could not be placed");
    }
    if (capability && !writeCapabilitySheet(file, *capability))
        return file.error();
    if (!file.commit())
        return file.error();
    return std::nullopt;
}

// --- ReportRecorder ---------------------------------------------------------------------------

struct ReportRecorder::Recording {
    Recording(ReportSource& windows, Arrangement arrangement)
        : source(windows, arrangement)
        , report(source) {
        // The export's own logic, with the workbook in memory as its "application".
        report.setFactory([this](const QString&, QString*) {
            auto made = std::make_unique<ReportWorkbook>();
            workbook = made.get();
            return made;
        });
    }
    RecordingSource source;
    ExcelReport report;
    ReportWorkbook* workbook = nullptr; // owned by the report
};

ReportRecorder::ReportRecorder(ReportSource& windows)
    : windows_(windows) {}

ReportRecorder::~ReportRecorder() = default;

ReportRecorder::Recording& ReportRecorder::recording(Arrangement arrangement) {
    std::unique_ptr<Recording>& r = recordings_[arrangement == Arrangement::CounterFlow ? 0 : 1];
    if (!r)
        r = std::make_unique<Recording>(windows_, arrangement);
    return *r;
}

void ReportRecorder::record() {
    recording(windows_.arrangement()).report.run();
}

int ReportRecorder::regimes(Arrangement arrangement) const {
    const auto& r = recordings_[arrangement == Arrangement::CounterFlow ? 0 : 1];
    return r && r->workbook ? r->workbook->regimes() : 0;
}

std::optional<QString> ReportRecorder::save(const QString& path, Saved* saved,
                                            const report::CapabilitySummary* capability) {
    const Arrangement arrangement = windows_.arrangement();
    Recording* from = &recording(arrangement);
    std::unique_ptr<Recording> windowsOnly;
    if (regimes(arrangement) == 0) {
        windowsOnly = std::make_unique<Recording>(windows_, arrangement);
        windowsOnly->report.run();
        from = windowsOnly.get();
    }
    if (!from->workbook)
        return QStringLiteral("the report could not be made");
    if (capability && capability->arrangement != arrangement)
        capability = nullptr;
    if (std::optional<QString> error = from->workbook->save(path, capability))
        return error;
    if (saved)
        *saved = {arrangement, from->workbook->regimes(), windowsOnly != nullptr};
    return std::nullopt;
}
