#pragma once
// The audit report: the document an energy audit ends in, for the plant's manager. Pages laid
// out on any paged device (a PDF writer, a printer, the print preview) from the audit engine's
// state, for one tower arrangement:
//
//   - a title block: the tower, site, date and engineer the audit keeps (Audit::reportTitle),
//     the program and its version, when the report was made, and which Problems it holds;
//   - for each calculated Problem, in order: its inputs as its last CALCULATE read them and
//     its results, each with its quantity and unit, the Problem 1 grid of operating regimes,
//     and the Problem's diagrams drawn as vectors by the Diagram window's plots; an
//     out-of-date Problem is marked in its heading and says why;
//   - after Problem 2 (or the last Problem before Problem 3 shown), the tower's capability by
//     the characteristic-curve method, and after the last Problem its water and fan energy,
//     each as the capability summary states it (capabilitysummary.h): the figures with their
//     methods, the warnings, the verdict, the notes and the capability's diagram; or one line
//     saying why there are none;
//   - the uncertainty table with the acceptance verdict, as the Uncertainty window shows it,
//     when it was calculated;
//   - a short note on the methods.
//
// Every number is the text the engine holds for its window, so the report shows the windows'
// texts digit for digit. Problems that were never calculated are left out.

#include "core/arrangement.h"
#include "uncertainty/propagation.h"

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QPageSize>
#include <QString>
#include <QStringList>
#include <optional>
#include <string_view>

class QPagedPaintDevice;
namespace engine {
class Audit;
}

namespace auditreport {

// The uncertainty figures as the Uncertainty window shows them, as texts.
struct UncertaintyTable {
    QString method;          // the line naming the method and the Problems the figures come from
    QStringList header;      // the table's column titles
    QList<QStringList> rows; // one per result, the cells as shown
    QString meaning;         // what U and U [%] mean
    QString verdict;         // the acceptance test's verdict
    QString notes;           // failed chains, the methods' disagreements, Monte Carlo's draws
};

struct Options {
    Arrangement arrangement = Arrangement::CounterFlow;
    QString program;                             // the program and its version, "ctaudit 1.0"
    QDateTime made;                              // when the report was made; invalid: now
    std::optional<UncertaintyTable> uncertainty; // nullopt: not calculated
    // Said in place of the uncertainty table when there is none.
    QString noUncertainty = QStringLiteral(
        "The uncertainty of the results was not calculated for this audit (the toolbar's "
        "\"Uncertainty\" calculates it).");
    // The instruments' accuracies the capability's uncertainty is computed with: the
    // Uncertainty window's, or the fields' hints where there is no window.
    uncertainty::Accuracies accuracies = uncertainty::hintAccuracies();
};

// The first-order uncertainty table of an arrangement's current Problems, with the accuracies
// of the fields' hints, as the Uncertainty window would show it after its CALCULATE (for a
// report made without the window: the batch tool's); nullopt when Problem 1 is not current.
std::optional<UncertaintyTable> firstOrderTable(const engine::Audit& audit,
                                                Arrangement arrangement);

// The paper the locale's country uses: Letter in North and Central America and the
// Philippines, A4 elsewhere.
QPageSize::PageSizeId defaultPageSize(const QLocale& locale = QLocale());

// Sets a device's page to the paper size, portrait, with the report's margins.
void preparePage(QPagedPaintDevice& device, QPageSize::PageSizeId size);

// Paints the whole report onto a paged device that no painter is active on (a QPdfWriter, or
// a QPrinter from the print dialog or the preview), a new page as each fills. The layout is in
// points whatever the device's resolution; the diagrams look as in their own files on a device
// of 96 dots per inch. Returns the number of pages, 0 when the device could not be painted on.
int paint(QPagedPaintDevice& device, const engine::Audit& audit, const Options& options);

// The report as a PDF document; empty when it could not be made.
QByteArray pdf(const engine::Audit& audit, const Options& options, QPageSize::PageSizeId size);

// Writes the report as a PDF file: made in memory, then written beside the target, flushed,
// checked and renamed over its name only when complete (a link of that name is replaced, not
// followed: engine/atomicfile.h), so a full disk or an unwritable folder leaves no half file
// and an older file of that name as it was. On failure *error says why.
bool writePdf(const QString& path, const engine::Audit& audit, const Options& options,
              QPageSize::PageSizeId size, QString* error);

// A unit of the key table as the report prints it: "degC" is "°C", "-" stays, and so on.
QString unitText(std::string_view unit);

// The title of a Problem in the report ("Problem 2: acceptance test against the design data").
QString problemTitle(int problem);

} // namespace auditreport
