#pragma once
// The tower's capability and its water and fan energy as the program states them: every
// figure with its name, unit, method and the batch tool's column, the warnings on the test
// conditions, the verdict, and the sentences of refused figures. One summary serves the
// Capability window, the audit report, the spreadsheet report and the batch tool, so that they
// say the same.
//
// The figures are computed from the values the current Problems' fields held at their last
// CALCULATE (engine::capabilityCase) and never change a Problem's own texts.

#include "core/capability.h"
#include "core/savings.h"
#include "engine/capabilityinputs.h"
#include "uncertainty/capabilityuncertainty.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <optional>

namespace engine {
class Audit;
}

namespace report {

// One figure.
struct SummaryFigure {
    QString column; // the batch tool's column ("capability.merkel"); empty: none
    QString name;   // "Merkel number KaV/L at the test point"
    QString unit;   // "-", "%", "oC", "kg/s", "kW", "kWh/year", "m3/year", "money/year"
    QString method; // how it was found, one line
    std::optional<double> value; // nullopt: refused or not available (the notes say why)
    int decimals = 2;
    bool money = false; // shown in the locale's currency
    // The value as the window and the report show it: the locale's decimal separator, money
    // with the currency symbol; empty when there is no value.
    QString text(const QLocale& locale = QLocale()) const;
    // The value as the batch tool writes it: a decimal point, no grouping, the same decimals.
    QString plainText() const;
    // The unit as the window and the reports show it: "°C" for "oC", "m³" for "m3", and money
    // as the locale's currency symbol ("€/year").
    QString shownUnit(const QLocale& locale = QLocale()) const;
};

// What a summary is made of.
enum SummaryPart : unsigned { CapabilityPart = 1, WaterAndEnergyPart = 2, AllParts = 3 };

struct CapabilitySummary {
    Arrangement arrangement = Arrangement::CounterFlow;
    // Which Problems the figures come from, or why there are none ("Calculate Problem 1 of the
    // cross flow first."); and the calculated Problems left out because they are out of date.
    QString basis;
    bool available = false; // Problem 1 is current: there are figures

    // --- Capability -----------------------------------------------------------------------
    QList<SummaryFigure> capability; // in the batch tool's order, then the other figures
    QStringList warnings;            // test conditions against design
    QString verdict;                 // from the capability and its U; empty without them
    QStringList capabilityNotes;     // refused figures, failed perturbations
    capability::Capability figures;  // the numbers, with the diagram's curves

    // --- Water and energy -----------------------------------------------------------------
    QList<SummaryFigure> water;  // in the batch tool's order
    QList<SummaryFigure> energy; // in the batch tool's order, then the other figures
    QStringList savingsNotes;
    savings::Drive drive; // per ambient row, for the diagram of hours and fan power
    std::vector<engine::AmbientRow> ambient; // the rows the drive used

    // The batch tool's columns and values, in order (the note last).
    static QStringList capabilityColumns();
    static QStringList savingsColumns();
    QStringList capabilityValues() const;
    QStringList savingsValues() const;
    // The figures a summary page quotes: capability, evaporation, make-up water per year and
    // the drive's kWh and money saved per year (nullptr when absent).
    const SummaryFigure* figure(const QString& column) const;
};

// The summary of an arrangement's capability and water and energy. accuracies: the
// instruments' accuracies of the Uncertainty window (hintAccuracies() in the batch tool).
CapabilitySummary summarize(const engine::Audit& audit, Arrangement arrangement,
                            const uncertainty::Accuracies& accuracies,
                            SummaryPart parts = AllParts);

// The same from a case made elsewhere (the batch tool's own columns).
CapabilitySummary summarize(const engine::Audit& audit, const engine::CapabilityCase& c,
                            const uncertainty::Accuracies& accuracies,
                            SummaryPart parts = AllParts);

} // namespace report
