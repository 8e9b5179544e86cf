#include "reports/auditreport.h"

#include "diagrams/auditdiagramsource.h"
#include "diagrams/capabilityplot.h"
#include "diagrams/characteristicplot.h"
#include "diagrams/fillmapplot.h"
#include "diagrams/merkelplot.h"
#include "diagrams/plotlibrary.h"
#include "engine/atomicfile.h"
#include "engine/audit.h"
#include "engine/keys.h"
#include "engine/message.h"
#include "engine/numtext.h"
#include "reports/capabilitysummary.h"
#include "ui/currencytext.h"
#include "ui/uncertaintywindow.h"
#include "uncertainty/propagation.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextOption>
#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

namespace auditreport {

namespace {

constexpr QMarginsF kMargins{18, 16, 18, 16}; // mm: left, top, right, bottom
constexpr double kFooter = 22;                // pt kept for the footer at each page's foot
constexpr double kPadding = 2.5;              // pt around a table cell's text
constexpr int kDiagramDpi = 96;               // the resolution the diagrams are laid out for
// The most rows of a Problem 1 grid a report holds: its operating regimes, beyond which the
// audit file's own limit would not go either.
constexpr std::size_t kMaxGridRows = 10000;

// Fonts in points; sizes follow the device's resolution by themselves.
QFont font(double points, bool bold = false, bool italic = false) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setItalic(italic);
    // No ligatures: a reader searching the document for "flow" finds it, and so does a tool
    // that takes its text out (letter spacing turns the shaper's ligatures off).
    f.setLetterSpacing(QFont::PercentageSpacing, 100.001);
    return f;
}

// How a text wraps in its width: the report's own texts between words; the engineer's texts
// (QTextOption::WrapAtWordBoundaryOrAnywhere) also within a word wider than its column, a long
// name cut nowhere.
QTextOption wrapping(Qt::Alignment alignment, QTextOption::WrapMode mode) {
    QTextOption option(alignment);
    option.setWrapMode(mode);
    return option;
}

// A text the engineer typed, as the report shows it: without the controls that reorder the
// text after them (the embeddings and overrides U+202A to U+202E, the isolates U+2066 to
// U+2069). An isolate would keep an override from reaching beyond the text, but within it the
// characters would still stand in an order other than the one typed; without the controls the
// page shows them as typed, and right-to-left scripts still run right to left by themselves.
QString userText(QString text) {
    text.removeIf([](QChar c) {
        const char16_t u = c.unicode();
        return (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
    });
    return text;
}

const QColor kInk(20, 20, 20);
const QColor kGrey(110, 110, 110);
const QColor kRule(170, 170, 170);
const QColor kHeaderFill(232, 236, 242);
const QColor kOutOfDate(170, 60, 0);

// What goes on a page, one piece at a time: a height (device pixels), how to paint it at a
// top-left corner, and how it holds to the pieces around it.
struct Piece {
    double height = 0;
    std::function<void(QPainter&, QPointF)> paint;
    bool keepWithNext = false; // a heading: never last on a page
    bool pageBreak = false;    // starts a new page
    int header = -1;           // a table row: the piece of its header, painted again atop a page
};

// Builds the pieces of the report and paints them page by page.
class Layout {
public:
    Layout(QPagedPaintDevice& device, QCPPainter& painter)
        : device_(device)
        , painter_(painter)
        , unit_(device.logicalDpiY() / 72.0)
        , width_(device.width())
        , bodyHeight_(device.height() - kFooter * unit_) {}

    double pt(double points) const { return points * unit_; }
    double width() const { return width_; }

    // The height of a text wrapped to a width, measured as it is drawn.
    double textHeight(const QFont& f, double width, const QString& text,
                      QTextOption::WrapMode mode = QTextOption::WordWrap) const {
        painter_.setFont(f);
        return painter_.boundingRect(QRectF(0, 0, width, 1e9), text, wrapping(Qt::AlignLeft, mode))
            .height();
    }

    int add(Piece piece) {
        pieces_.push_back(std::move(piece));
        return int(pieces_.size()) - 1;
    }

    // A paragraph of wrapped text.
    void paragraph(const QString& text, const QFont& f, const QColor& colour = kInk,
                   double spaceAfter = 4, bool keepWithNext = false) {
        const double w = width_;
        Piece p;
        p.height = textHeight(f, w, text) + pt(spaceAfter);
        p.keepWithNext = keepWithNext;
        p.paint = [text, f, colour, w](QPainter& painter, QPointF at) {
            painter.setFont(f);
            painter.setPen(colour);
            painter.drawText(QRectF(at, QSizeF(w, 1e6)), Qt::TextWordWrap, text);
        };
        add(std::move(p));
    }

    void heading(const QString& text, double points, const QColor& colour = kInk,
                 double spaceBefore = 8) {
        const QFont f = font(points, true);
        const double w = width_;
        const double before = pt(spaceBefore);
        Piece p;
        p.height = before + textHeight(f, w, text) + pt(3);
        p.keepWithNext = true;
        p.paint = [text, f, colour, w, before](QPainter& painter, QPointF at) {
            painter.setFont(f);
            painter.setPen(colour);
            painter.drawText(QRectF(at + QPointF(0, before), QSizeF(w, 1e6)), Qt::TextWordWrap,
                             text);
        };
        add(std::move(p));
    }

    // A table: a header row repeated atop each page it continues on, then its rows. Column
    // widths are fractions of the text width; a cell's text wraps in its column, between words
    // or as wrap says.
    void table(const QStringList& header, const QList<QStringList>& rows,
               const std::vector<double>& fractions, double points,
               const std::vector<Qt::Alignment>& alignments, double spaceAfter = 6,
               QTextOption::WrapMode wrap = QTextOption::WordWrap) {
        std::vector<double> widths;
        for (double f : fractions)
            widths.push_back(f * width_);
        const QFont plain = font(points);
        const QFont bold = font(points, true);
        const auto rowPiece = [&](const QStringList& cells, bool isHeader) {
            double height = 0;
            for (qsizetype c = 0; c < cells.size() && std::size_t(c) < widths.size(); ++c)
                height = std::max(height, textHeight(isHeader ? bold : plain,
                                                     widths[std::size_t(c)] - pt(2 * kPadding),
                                                     cells[c], wrap));
            Piece p;
            p.height = height + pt(2 * kPadding);
            const double pad = pt(kPadding);
            const double rowHeight = p.height;
            const QFont f = isHeader ? bold : plain;
            p.paint = [cells, widths, alignments, f, isHeader, pad, rowHeight,
                       wrap](QPainter& painter, QPointF at) {
                double x = at.x();
                double total = 0;
                for (double w : widths)
                    total += w;
                if (isHeader)
                    painter.fillRect(QRectF(at, QSizeF(total, rowHeight)), kHeaderFill);
                painter.setFont(f);
                painter.setPen(kInk);
                for (qsizetype c = 0; c < cells.size() && std::size_t(c) < widths.size(); ++c) {
                    const double w = widths[std::size_t(c)];
                    const Qt::Alignment align = std::size_t(c) < alignments.size()
                                                    ? alignments[std::size_t(c)]
                                                    : Qt::AlignLeft;
                    painter.drawText(QRectF(x + pad, at.y() + pad, w - 2 * pad, rowHeight),
                                     cells[c], wrapping(align | Qt::AlignTop, wrap));
                    x += w;
                }
                painter.setPen(QPen(kRule, 0));
                painter.drawLine(QPointF(at.x(), at.y() + rowHeight),
                                 QPointF(at.x() + total, at.y() + rowHeight));
            };
            return p;
        };
        Piece head = rowPiece(header, true);
        head.keepWithNext = true;
        const int headIndex = add(std::move(head));
        for (qsizetype r = 0; r < rows.size(); ++r) {
            Piece row = rowPiece(rows[r], false);
            row.header = headIndex;
            if (r + 1 == rows.size())
                row.height += pt(spaceAfter);
            add(std::move(row));
        }
    }

    // A diagram across the text width, drawn by its plot at paint time.
    void diagram(QCustomPlot* plot, std::function<void()> setData) {
        const double w = width_;
        const double h = w * 450.0 / 720.0;
        const double dpi = device_.logicalDpiY();
        Piece p;
        p.height = h + pt(8);
        p.paint = [plot, setData = std::move(setData), w, h, dpi](QPainter& painter, QPointF at) {
            setData();
            // The plot is laid out at its export size for this resolution, so its texts keep
            // their size to the plot, then scaled onto the page.
            const int layoutWidth = int(std::lround(720.0 * dpi / kDiagramDpi));
            const int layoutHeight = int(std::lround(450.0 * dpi / kDiagramDpi));
            painter.save();
            painter.translate(at);
            painter.scale(w / layoutWidth, h / layoutHeight);
            auto& plotPainter = static_cast<QCPPainter&>(painter);
            // A map of the fill goes into the document as its small image of cells, drawn
            // without smoothing: sharp cell edges at any zoom. (The vectorized mode would
            // render the map into a page-sized bitmap first.)
            const bool map = qobject_cast<FillMapPlot*>(plot) != nullptr;
            if (map)
                plotPainter.setMode(QCPPainter::pmVectorized, false);
            plot->toPainter(&plotPainter, layoutWidth, layoutHeight);
            plotPainter.setMode(QCPPainter::pmVectorized, true);
            painter.restore();
        };
        add(std::move(p));
    }

    void pageBreak() {
        Piece p;
        p.pageBreak = true;
        add(std::move(p));
    }

    // Places every piece: its page and its top. A heading that would end a page goes to the
    // next one with what follows it; a table row that starts a page has its header above it.
    struct Place {
        int page;
        double top;
        bool withHeader; // its table's header is painted above it
    };
    std::vector<Place> place() const {
        std::vector<Place> places(pieces_.size());
        int page = 0;
        double y = 0;
        for (std::size_t i = 0; i < pieces_.size(); ++i) {
            const Piece& p = pieces_[i];
            if (p.pageBreak) {
                if (y > 0) {
                    ++page;
                    y = 0;
                }
                places[i] = {page, 0, false};
                continue;
            }
            // The height up to the first piece that may end a page.
            double needed = p.height;
            for (std::size_t k = i; pieces_[k].keepWithNext && k + 1 < pieces_.size() &&
                                    !pieces_[k + 1].pageBreak && needed < bodyHeight_;
                 ++k)
                needed += pieces_[k + 1].height;
            if (y > 0 && y + std::min(needed, bodyHeight_) > bodyHeight_) {
                ++page;
                y = 0;
            }
            bool withHeader = false;
            if (y == 0 && p.header >= 0) {
                withHeader = true;
                y += pieces_[std::size_t(p.header)].height;
            }
            places[i] = {page, y, withHeader};
            y += p.height;
        }
        return places;
    }

    int paint(const std::function<void(int page, int pages)>& footer) {
        const std::vector<Place> places = place();
        const int pages = places.empty() ? 1 : places.back().page + 1;
        int page = 0;
        for (std::size_t i = 0; i < pieces_.size(); ++i) {
            const Place& at = places[i];
            while (page < at.page) {
                footer(page, pages);
                if (!device_.newPage())
                    return 0;
                ++page;
            }
            const Piece& p = pieces_[i];
            if (p.pageBreak)
                continue;
            double top = at.top;
            if (at.withHeader) {
                const Piece& header = pieces_[std::size_t(p.header)];
                top -= header.height;
                header.paint(painter_, QPointF(0, top));
                top += header.height;
            }
            p.paint(painter_, QPointF(0, top));
        }
        footer(page, pages);
        return pages;
    }

    double bodyHeight() const { return bodyHeight_; }

private:
    QPagedPaintDevice& device_;
    QCPPainter& painter_;
    double unit_;  // device pixels per point
    double width_; // the text width, device pixels
    double bodyHeight_;
    std::vector<Piece> pieces_;
};

QString arrangementWords(Arrangement arrangement) {
    return arrangement == Arrangement::CounterFlow ? QStringLiteral("counter-flow")
                                                   : QStringLiteral("cross-flow");
}

// The first letter of a quantity's name in capitals.
QString sentenceCase(QString text) {
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

// Whether a field's text holds the value it held at the calculation: the same text, or the same
// number written otherwise ("90" for "90.00", as an opened audit file gives it back).
bool sameValue(const QString& now, const QString& calculated) {
    if (now == calculated)
        return true;
    const std::optional<double> a = numtext::readNumber(now, QLocale());
    const std::optional<double> b = numtext::readNumber(calculated, QLocale());
    return a && b && *a == *b;
}

// Whether a control of the key table is one the window never shows.
bool neverShown(std::string_view quantity) {
    return quantity.find("never shown") != std::string_view::npos;
}

// The Problem 1 grid's columns, as the window's grid heads them.
const QStringList& gridHeader() {
    static const QStringList header = {
        QStringLiteral("G [kg/s]"),         QStringLiteral("L [kg/s]"),
        QStringLiteral("Tw,in [°C]"),       QStringLiteral("Tw,out [°C]"),
        QStringLiteral("Ta,db [°C]"),       QStringLiteral("RH [%]"),
        QStringLiteral("NTU [kW/(kJ/kg)]"), QStringLiteral("Q [kW]"),
        QStringLiteral("Efficiency [%]"),   QStringLiteral("Range [°C]"),
        QStringLiteral("Approach [°C]")};
    return header;
}

const QString kMethods = QStringLiteral(
    "Moist air: the saturation pressure of water vapour over ice below 0 °C and over water "
    "above, the humidity and enthalpy of moist air at the measured pressure, the wet bulb found "
    "by a bounded search. Counter flow: the number of transfer units NTU in kW/(kJ/kg) from "
    "Merkel's equation, integrated over the fill in 25 intervals from the air inlet at the "
    "bottom. Cross flow: the fill swept as 20 x 20 cells, the water entering at the top and the "
    "air from the side, each cell a Merkel balance; the NTU is found by a search to within "
    "0.01 K of the measured outlet water temperature. Problem 2 runs the design data at "
    "Problem 1's NTU and compares the heat the tower achieves, Qa, with the design heat Qd. "
    "Problems 3 and 4 scale the NTU with the ratio of the flows, NTU/L ~ (L/G)^-0.72, the tower "
    "characteristic of their diagrams. Each value travels on as the rounded text its window "
    "shows. Uncertainty: the instruments' accuracies taken as rectangular distributions, "
    "propagated through the whole chain by sensitivities (first order) or by Monte Carlo "
    "draws; U is the expanded uncertainty with coverage factor 2 (about 95 %).");

// Summary figures as a table: each with its value (a dash where it is refused or not
// available: the notes say why), unit and the method it was found by.
void figureTable(Layout& layout, const QList<report::SummaryFigure>& figures) {
    // A table with no value at all says nothing the notes do not.
    if (std::none_of(figures.begin(), figures.end(), [](const report::SummaryFigure& f) {
            return f.value && std::isfinite(*f.value);
        }))
        return;
    QList<QStringList> rows;
    for (const report::SummaryFigure& f : figures)
        rows.append({f.name, f.value && std::isfinite(*f.value) ? f.text() : QStringLiteral("–"),
                     f.shownUnit(), f.method});
    layout.table({QStringLiteral("Figure"), QStringLiteral("Value"), QStringLiteral("Unit"),
                  QStringLiteral("Method")},
                 rows, {0.39, 0.11, 0.10, 0.40}, 8.5,
                 {Qt::AlignLeft, Qt::AlignRight, Qt::AlignLeft, Qt::AlignLeft});
}

void notes(Layout& layout, const QStringList& lines) {
    if (!lines.isEmpty())
        layout.paragraph(lines.join(u'\n'), font(8.5), kInk, 6);
}

// The tower's capability: on a page of its own, its figures, the test conditions' warnings,
// the verdict, the notes; without figures, the line that says why.
void capabilitySection(Layout& layout, const report::CapabilitySummary& s, CapabilityPlot* plot,
                       double exponent) {
    layout.pageBreak();
    layout.heading(QStringLiteral("Capability"), 14, kInk, 0);
    if (!s.available) {
        layout.paragraph(s.basis, font(10), kInk, 6);
        return;
    }
    layout.paragraph(s.basis, font(9), kInk, 6);
    figureTable(layout, s.capability);
    layout.paragraph(
        QStringLiteral("Capability: the water-to-air ratio L/G the tested fill cools at the design "
                       "temperatures, in per cent of the design ratio Ld/Gd; it is where the tower "
                       "characteristic KaV/L = C (L/G)^-n through the test point meets the design "
                       "demand curve."),
        font(8.5, false, true), kGrey, 6);
    for (const QString& warning : s.warnings)
        layout.paragraph(warning, font(9), kOutOfDate, 3);
    if (!s.verdict.isEmpty())
        layout.paragraph(s.verdict, font(10, true), kInk, 6);
    notes(layout, s.capabilityNotes);
    if (!s.figures.demand.empty() && s.figures.merkel.ok()) {
        const diagrams::CapabilityDiagram data =
            diagrams::capabilityDiagram(s.figures, exponent, false);
        layout.diagram(plot, [plot, data] { plot->setDiagram(data); });
    }
}

// The most rows of the drive's ambient table the report lists.
constexpr std::size_t kMaxAmbientRows = 48;

// The water the tower uses and its fan energy: the water figures, the fan figures, the notes,
// and the drive's rows over an ambient table of more than one row.
void waterAndEnergySection(Layout& layout, const report::CapabilitySummary& s) {
    layout.pageBreak();
    layout.heading(QStringLiteral("Water and energy"), 14, kInk, 0);
    if (!s.available) {
        layout.paragraph(s.basis, font(10), kInk, 6);
        return;
    }
    layout.paragraph(s.basis, font(9), kInk, 6);
    layout.heading(QStringLiteral("Water"), 11);
    figureTable(layout, s.water);
    layout.heading(QStringLiteral("Fan energy"), 11);
    figureTable(layout, s.energy);
    notes(layout, s.savingsNotes);

    const std::vector<savings::AmbientResult>& rows = s.drive.rows;
    if (s.drive.status != savings::Status::Ok || rows.size() < 2 || rows.size() != s.ambient.size())
        return;
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator); // as the report's other numbers
    const auto number = [&locale](double v, int decimals) {
        return std::isfinite(v) ? locale.toString(v, 'f', decimals) : QStringLiteral("–");
    };
    QList<QStringList> table;
    for (std::size_t r = 0; r < rows.size() && r < kMaxAmbientRows; ++r) {
        const engine::AmbientRow& air = s.ambient[r];
        const savings::AmbientResult& row = rows[r];
        table.append({std::isnan(air.relativeHumidity)
                          ? QStringLiteral("twb %1 °C").arg(number(air.wetBulb, 1))
                          : QStringLiteral("%1 °C, %2 %")
                                .arg(number(air.dryBulb, 1), number(air.relativeHumidity, 0)),
                      number(air.hours, 0), number(row.airFlow, 2), number(100 * row.speed, 0),
                      number(row.power, 1), number(row.twoSpeedPower, 1),
                      row.fullSpeedShort ? QStringLiteral("full speed short") : QString()});
    }
    layout.heading(QStringLiteral("The variable-speed drive over the ambient table"), 11);
    layout.table({QStringLiteral("Ambient air"), QStringLiteral("Hours [h]"),
                  QStringLiteral("Air flow [kg/s]"), QStringLiteral("Speed [%]"),
                  QStringLiteral("Drive [kW]"), QStringLiteral("Two speeds [kW]"), QString()},
                 table, {0.18, 0.11, 0.16, 0.11, 0.12, 0.17, 0.15}, 8,
                 {Qt::AlignLeft, Qt::AlignRight, Qt::AlignRight, Qt::AlignRight, Qt::AlignRight,
                  Qt::AlignRight, Qt::AlignLeft});
    if (rows.size() > kMaxAmbientRows)
        layout.paragraph(QStringLiteral("The first %1 of the table's %2 rows; the figures above "
                                        "are over all of them.")
                             .arg(kMaxAmbientRows)
                             .arg(rows.size()),
                         font(8.5, false, true), kGrey, 6);
}

} // namespace

std::optional<UncertaintyTable> firstOrderTable(const engine::Audit& audit,
                                                Arrangement arrangement) {
    std::vector<int> used, leftOut;
    const auto values = UncertaintyWindow::calculatedValues(audit, arrangement, &used, &leftOut);
    const uncertainty::Case c = uncertainty::caseFromInputs(values);
    if (c.problems < 1)
        return std::nullopt;
    const uncertainty::Analysis analysis =
        uncertainty::firstOrder(arrangement, c, uncertainty::hintAccuracies());
    const UncertaintyWindow::WindowResults windows =
        UncertaintyWindow::windowResults(audit, arrangement);
    const UncertaintyWindow::Texts texts = UncertaintyWindow::texts(analysis, nullptr, &windows);
    UncertaintyTable table;
    table.method = QStringLiteral("Figures: first order (sensitivities), with the accuracies of "
                                  "the fields' hints, from %1 as last calculated.")
                       .arg(currencytext::problemList(used));
    if (!leftOut.empty())
        table.method +=
            QStringLiteral(" %1 left out: not current.").arg(currencytext::problemList(leftOut));
    // The check against first order belongs to Monte Carlo figures alone.
    table.header = UncertaintyWindow::resultsHeader().mid(0, 6);
    for (const QStringList& row : texts.rows)
        table.rows.append(row.mid(0, 6));
    table.meaning = QStringLiteral(
        "U: the expanded uncertainty, coverage factor k = 2 (about 95 %), from the instruments' "
        "accuracies only. U [%]: U in per cent of the value; for (Qa - Qd) / Qd, itself a "
        "percentage, U in percentage points (pp).");
    table.verdict = texts.verdict;
    table.notes = texts.notes.join(u'\n');
    return table;
}

QPageSize::PageSizeId defaultPageSize(const QLocale& locale) {
    switch (locale.territory()) {
    case QLocale::UnitedStates:
    case QLocale::Canada:
    case QLocale::Mexico:
    case QLocale::Philippines:
    case QLocale::Chile:
    case QLocale::Colombia:
    case QLocale::Venezuela:
    case QLocale::Guatemala:
    case QLocale::CostaRica:
    case QLocale::Panama:
    case QLocale::DominicanRepublic:
    case QLocale::PuertoRico:
    case QLocale::ElSalvador:
    case QLocale::Nicaragua:
        return QPageSize::Letter;
    default:
        return QPageSize::A4;
    }
}

void preparePage(QPagedPaintDevice& device, QPageSize::PageSizeId size) {
    device.setPageLayout(
        QPageLayout(QPageSize(size), QPageLayout::Portrait, kMargins, QPageLayout::Millimeter));
}

QString unitText(std::string_view unit) {
    if (unit == "degC")
        return QStringLiteral("°C");
    if (unit == "-")
        return QStringLiteral("-");
    return engine::toQString(unit);
}

QString problemTitle(int problem) {
    switch (problem) {
    case 1:
        return QStringLiteral("Problem 1: performance indicators of the tower");
    case 2:
        return QStringLiteral("Problem 2: acceptance test against the design data");
    case 3:
        return QStringLiteral("Problem 3: effect of new water and air flow rates");
    default:
        return QStringLiteral("Problem 4: water flow rate for a desired heat load");
    }
}

int paint(QPagedPaintDevice& device, const engine::Audit& audit, const Options& options) {
    const Arrangement a = options.arrangement;
    QCPPainter painter;
    if (!painter.begin(&device))
        return 0;
    painter.setMode(QCPPainter::pmVectorized);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    Layout layout(device, painter);
    const engine::ReportTitle& title = audit.reportTitle();
    const QDateTime made = options.made.isValid() ? options.made : QDateTime::currentDateTime();

    // --- The title block ------------------------------------------------------------------
    layout.paragraph(QStringLiteral("Energy audit of a wet cooling tower"), font(18, true), kInk,
                     2);
    layout.paragraph(sentenceCase(arrangementWords(a)) + QStringLiteral(" tower"), font(12), kGrey,
                     10);
    const auto orBlank = [](const QString& typed) {
        const QString text = userText(typed);
        return text.isEmpty() ? QStringLiteral("-") : text;
    };
    std::vector<int> calculated, outOfDate;
    for (int p = 1; p <= engine::kProblems; ++p) {
        const engine::Currency c = audit.currency(a, p);
        if (c.calculated)
            calculated.push_back(p);
        if (c.outOfDate())
            outOfDate.push_back(p);
    }
    layout.table(
        {QStringLiteral("Audit"), QString()},
        {{QStringLiteral("Tower"), orBlank(title.tower)},
         {QStringLiteral("Site"), orBlank(title.site)},
         {QStringLiteral("Date"), orBlank(title.date)},
         {QStringLiteral("Engineer"), orBlank(title.engineer)},
         {QStringLiteral("Arrangement"), sentenceCase(arrangementWords(a))},
         {QStringLiteral("Problems"),
          calculated.empty()
              ? QStringLiteral("none calculated")
              : currencytext::problemList(calculated) +
                    (outOfDate.empty() ? QString()
                                       : QStringLiteral("; out of date: %1")
                                             .arg(currencytext::problemList(outOfDate)))},
         // ISO 8601 whatever the locale: the report's words are English.
         {QStringLiteral("Report made"), made.toString(QStringLiteral("yyyy-MM-dd HH:mm t"))},
         {QStringLiteral("Program"), options.program}},
        {0.25, 0.75}, 10, {}, 10, QTextOption::WrapAtWordBoundaryOrAnywhere);
    if (calculated.empty())
        layout.paragraph(QStringLiteral("No Problem of the %1 tower has been calculated: the "
                                        "report holds no results.")
                             .arg(arrangementWords(a)),
                         font(10));

    // --- The Problems ---------------------------------------------------------------------
    MerkelPlot merkel;
    FillMapPlot maps[] = {FillMapPlot(FillMapPlot::Quantity::WaterTemp),
                          FillMapPlot(FillMapPlot::Quantity::AirEnthalpy),
                          FillMapPlot(FillMapPlot::Quantity::AirDryBulb)};
    CharacteristicPlot characteristic;
    CapabilityPlot capabilityPlot;
    const double exponent = audit.capabilityInputs(a).value(engine::Setting::Exponent);
    const AuditDiagramSource source(audit);
    const Qt::Alignment right = Qt::AlignRight;
    // The capability comes after Problem 2, the water and energy after the last Problem.
    const report::CapabilitySummary capability =
        report::summarize(audit, a, options.accuracies, report::CapabilityPart);
    bool capabilityShown = false;
    for (int p : calculated) {
        const engine::Currency currency = audit.currency(a, p);
        if (p > 2 && !capabilityShown) {
            capabilitySection(layout, capability, &capabilityPlot, exponent);
            capabilityShown = true;
        }
        if (p != calculated.front() || capabilityShown)
            layout.pageBreak();
        layout.heading(problemTitle(p) +
                           (currency.outOfDate() ? currencytext::titleSuffix() : QString()),
                       14, currency.outOfDate() ? kOutOfDate : kInk, 0);
        if (currency.outOfDate())
            layout.paragraph(currencytext::problemSentence(audit, a, p), font(9, false, true),
                             kOutOfDate, 6);

        const auto table = engine::controlTable(a, p);
        const int fields = engine::Audit::fieldCount(a, p);
        const std::vector<QString>& used = audit.calculatedFields(a, p);
        QList<QStringList> inputs;
        QStringList changed;
        for (int f = 0; f < fields; ++f) {
            const engine::ControlKey& key = table[std::size_t(f)];
            const QString value = std::size_t(f) < used.size() ? used[std::size_t(f)] : QString();
            inputs.append(
                {sentenceCase(engine::toQString(key.quantity)), unitText(key.unit), value});
            if (!sameValue(audit.text(a, p, f), value))
                changed << QStringLiteral("%1 now %2")
                               .arg(engine::toQString(key.quantity), audit.text(a, p, f).isEmpty()
                                                                         ? QStringLiteral("empty")
                                                                         : audit.text(a, p, f));
        }
        layout.heading(QStringLiteral("Inputs"), 11);
        layout.table({QStringLiteral("Quantity"), QStringLiteral("Unit"), QStringLiteral("Value")},
                     inputs, {0.62, 0.18, 0.20}, 9, {Qt::AlignLeft, Qt::AlignLeft, right});
        if (!changed.isEmpty())
            layout.paragraph(QStringLiteral("Fields changed since this calculation, not yet "
                                            "calculated: %1.")
                                 .arg(changed.join(QStringLiteral("; "))),
                             font(8.5, false, true), kGrey, 6);

        QList<QStringList> results;
        for (std::size_t c = std::size_t(fields); c < table.size(); ++c) {
            const QString& value = audit.text(a, p, int(c));
            if (value.isEmpty() || neverShown(table[c].quantity))
                continue;
            results.append({sentenceCase(engine::toQString(table[c].quantity)),
                            unitText(table[c].unit), value});
        }
        layout.heading(QStringLiteral("Results"), 11);
        layout.table({QStringLiteral("Quantity"), QStringLiteral("Unit"), QStringLiteral("Value")},
                     results, {0.62, 0.18, 0.20}, 9, {Qt::AlignLeft, Qt::AlignLeft, right});

        if (p == 1 && !audit.resultRows(a).empty()) {
            QList<QStringList> rows;
            const auto& grid = audit.resultRows(a).rows;
            for (std::size_t r = 0; r < grid.size() && r < kMaxGridRows; ++r) {
                QStringList cells;
                for (const QString& cell : grid[r])
                    cells << cell;
                rows.append(cells);
            }
            layout.heading(QStringLiteral("Operating regimes calculated (Problem 1 grid)"), 11);
            layout.table(gridHeader(), rows, std::vector<double>(11, 1.0 / 11), 7.5,
                         std::vector<Qt::Alignment>(11, right));
        }

        const std::optional<diagrams::ProblemDiagrams> d = source.diagrams(a, p);
        if (d && (d->merkel || d->maps || d->characteristic)) {
            layout.heading(QStringLiteral("Diagrams"), 11);
            if (d->merkel) {
                const diagrams::MerkelDiagram data = *d->merkel;
                layout.diagram(&merkel, [&merkel, data] { merkel.setDiagram(data); });
            }
            if (d->maps)
                for (FillMapPlot& map : maps) {
                    const diagrams::FillMaps data = *d->maps;
                    layout.diagram(&map, [&map, data] { map.setMaps(data); });
                }
            if (d->characteristic) {
                const diagrams::Characteristic data = *d->characteristic;
                layout.diagram(&characteristic,
                               [&characteristic, data] { characteristic.setCharacteristic(data); });
            }
        }
    }

    if (!capabilityShown)
        capabilitySection(layout, capability, &capabilityPlot, exponent);
    waterAndEnergySection(
        layout, report::summarize(audit, a, options.accuracies, report::WaterAndEnergyPart));

    // --- Uncertainty and methods ----------------------------------------------------------
    layout.pageBreak();
    layout.heading(QStringLiteral("Uncertainty and acceptance verdict"), 14, kInk, 0);
    if (const auto& u = options.uncertainty) {
        if (!u->method.isEmpty())
            layout.paragraph(u->method, font(9), kInk, 6);
        if (!u->rows.isEmpty()) {
            // Each column as wide as its longest text asks (a long one wraps), numbers to
            // the right.
            std::vector<double> fractions;
            std::vector<Qt::Alignment> alignments;
            double total = 0;
            for (qsizetype c = 0; c < u->header.size(); ++c) {
                qsizetype longest = 3;
                for (const QString& word : u->header[c].split(u' '))
                    longest = std::max(longest, word.size());
                bool numbers = true;
                for (const QStringList& row : u->rows) {
                    const QString cell = c < row.size() ? row[c] : QString();
                    longest = std::max(longest, std::min<qsizetype>(cell.size(), 28));
                    // Read in the locale's form or the point form, either decimal separator.
                    static const QRegularExpression numeric(QStringLiteral(
                        "^[-+\\x{2212}]?[0-9]*[.,]?[0-9]+([eE][-+]?[0-9]+)?( pp)?$"));
                    numbers = numbers && (cell.isEmpty() || numeric.match(cell).hasMatch());
                }
                // Digits are wider than the average character: a number column gets room to
                // spare, so that no number is ever broken over two lines.
                const double share = double(longest) + (numbers ? 2.0 : 0.0);
                fractions.push_back(share);
                alignments.push_back(numbers ? right : Qt::AlignLeft);
                total += share;
            }
            for (double& f : fractions)
                f /= total;
            layout.table(u->header, u->rows, fractions, 8, alignments);
        }
        if (!u->meaning.isEmpty())
            layout.paragraph(u->meaning, font(8.5, false, true), kGrey, 6);
        if (!u->verdict.isEmpty())
            layout.paragraph(u->verdict, font(10, true), kInk, 6);
        if (!u->notes.isEmpty())
            layout.paragraph(u->notes, font(8.5), kInk, 6);
    } else {
        layout.paragraph(options.noUncertainty, font(10), kInk, 6);
    }
    layout.heading(QStringLiteral("Methods"), 12);
    layout.paragraph(kMethods, font(9), kInk, 6);

    // --- Pages, each with its footer ---------------------------------------------------------
    const QString tower = userText(title.tower);
    const double footerTop = layout.bodyHeight() + layout.pt(8);
    const double width = layout.width();
    const QString program = options.program;
    const QFont footerFont = font(7.5);
    const QFontMetricsF footerMetrics(footerFont, &device);
    const int pages = layout.paint([&](int page, int count) {
        painter.setPen(QPen(kRule, 0));
        painter.drawLine(QPointF(0, footerTop - layout.pt(3)),
                         QPointF(width, footerTop - layout.pt(3)));
        painter.setFont(footerFont);
        painter.setPen(kGrey);
        const QRectF line(0, footerTop, width, layout.pt(12));
        const QString pageText =
            QStringLiteral("%1   page %2 of %3").arg(program).arg(page + 1).arg(count);
        // The tower's name, shortened with "…" to the room left of the page number.
        QString left = QStringLiteral("Energy audit, %1 tower").arg(arrangementWords(a));
        if (!tower.isEmpty()) {
            left += QStringLiteral(": ");
            const double room = width - footerMetrics.horizontalAdvance(pageText) - layout.pt(12) -
                                footerMetrics.horizontalAdvance(left);
            left += footerMetrics.elidedText(tower, Qt::ElideRight, std::max(room, 0.0));
        }
        painter.drawText(line, Qt::AlignLeft | Qt::AlignTop, left);
        painter.drawText(line, Qt::AlignRight | Qt::AlignTop, pageText);
    });
    if (!painter.end())
        return 0;
    return pages;
}

QByteArray pdf(const engine::Audit& audit, const Options& options, QPageSize::PageSizeId size) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(options.program);
        writer.setTitle(QStringLiteral("Energy audit of a %1 tower")
                            .arg(arrangementWords(options.arrangement)));
        writer.setResolution(kDiagramDpi);
        preparePage(writer, size);
        if (paint(writer, audit, options) == 0)
            return {};
    }
    return buffer.data();
}

bool writePdf(const QString& path, const engine::Audit& audit, const Options& options,
              QPageSize::PageSizeId size, QString* error) {
    const auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const QByteArray data = pdf(audit, options, size);
    if (data.isEmpty())
        return fail(QStringLiteral("the report could not be drawn"));
    // Written beside the target and renamed over its name only when complete, flushed and
    // checked first (engine/atomicfile.h).
    if (const std::optional<QString> why = AtomicFile::write(path, data))
        return fail(*why);
    return true;
}

} // namespace auditreport
