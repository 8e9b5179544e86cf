#pragma once
// CapabilityWindow: the toolbar's "Capability" (Alt+K) and the window it opens, for the
// arrangement chosen on the start window. Two tabs:
//
//   Capability        the settings n, Pt, Pd and the limits of the test conditions; the
//                     figures of the characteristic-curve method (name, value, unit, method),
//                     the warnings on the test conditions, the verdict, the notes, and the
//                     capability diagram (CapabilityPlot).
//   Water and energy  the settings of the water treatment, the fan and the prices; the water
//                     and fan-energy figures and their notes; the ambient table (wet bulb, dry
//                     bulb, relative humidity, hours per year: Add row, Delete rows, Import...
//                     from a weather file, Clear) and the hours and fan power by wet bulb
//                     (FanHoursPlot).
//
// Above them a line names the Problems the figures come from and those left out. The figures
// are report::summarize's, the same as the reports and the batch tool state, with the
// instruments' accuracies the Uncertainty window keeps; they are computed again whenever what
// they come from changes (a CALCULATE, undo, redo, opening an audit, an edit here), so that
// no figure is shown that does not belong to the audit as it is.
//
// The settings and the ambient table belong to the audit: each edit goes to the engine
// (Audit::setCapabilityInputs) as one named change that undo takes back and that is saved with
// the audit. A field shows its range on the status line and in its tooltip; a value outside it
// is refused with a message, and the field shows its previous value again. Numbers are read and
// written with the locale's decimal separator; money in the locale's currency.

#include "engine/audit.h"
#include "engine/capabilityinputs.h"
#include "reports/capabilitysummary.h"

#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <vector>

class AuditDocument;
class CapabilityPlot;
class FanHoursPlot;
class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;
class Windows;

class CapabilityWindow : public QWidget {
    Q_OBJECT
public:
    // Adds "Capability" to the main window's toolbar, right after "Uncertainty". The window
    // is a child of the main window's area, hidden until "Capability".
    CapabilityWindow(Windows& windows, AuditDocument& document);

    QAction* capabilityAction() const { return action_; }

    // A setting's hint, shown on the status line when its field gets the focus and as its
    // tooltip: its caption, range, unit and what an empty field means, in the locale.
    static QString hint(int setting);

    // The toolbar's "Capability": shows the window with the figures of the chosen arrangement.
    void showWindow();
    // Shows the engine's settings and ambient table again and, when what the figures come from
    // has changed, computes them again.
    void refresh();

    // The arrangement whose settings and figures are shown.
    Arrangement arrangement() const { return arrangement_; }
    // The summary shown; nullopt before the window was first shown.
    const std::optional<report::CapabilitySummary>& summary() const { return summary_; }

    // Reads a weather file into the ambient table (auditfile/weatherfile.h), as one change; a
    // file that cannot be read is refused with a message naming its line, and the table stays
    // as it was. False when refused.
    bool importWeather(const QString& path);
    // The weather file to import, asked of the engineer; empty: cancelled. Tests set their own.
    std::function<QString()> askWeatherFile;

    QLabel* lblArrangement;
    QLabel* lblBasis;
    QTabWidget* parts;
    // The entry fields in engine::Setting order.
    std::array<QLineEdit*, engine::kSettingCount> fields{};
    QTableWidget* tblCapability; // figure, value, unit, method
    QLabel* lblWarnings;
    QLabel* lblVerdict;
    QLabel* lblCapabilityNotes;
    CapabilityPlot* capabilityPlot;
    QTableWidget* tblWater; // figure, value, unit, method; water, then fan energy
    QLabel* lblSavingsNotes;
    QTableWidget* tblAmbient; // wet bulb, dry bulb, relative humidity, hours
    QLabel* lblAmbient;       // what the table holds, or what the drive uses without one
    QPushButton* cmdAddRow;
    QPushButton* cmdDeleteRows;
    QPushButton* cmdImport;
    QPushButton* cmdClear;
    FanHoursPlot* fanHoursPlot;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What the figures were computed from: when it is the same, they still belong to the audit.
    struct Basis {
        Arrangement arrangement = Arrangement::CounterFlow;
        std::vector<engine::Calculation> calculations;
        std::vector<bool> current;
        QString dutyAirFlow; // Problem 4's air flow as shown (the fan law reads it)
        engine::CapabilityInputs inputs;
        std::vector<double> accuracies;
        bool operator==(const Basis&) const = default;
    };
    Basis currentBasis() const;

    // A field left: its value to the engine as one change, or refused.
    void fieldEdited(int setting);
    // Edits typed and not yet handed over, to the engine (the start of every step, undo).
    void commitFields();
    // An ambient cell edited: the row to the engine, or refused.
    void ambientEdited(int row, int column);
    void addAmbientRow();
    void deleteAmbientRows();
    void clearAmbient();
    // The engine's inputs of the arrangement changed to `inputs`, recorded as `what`.
    void change(const engine::CapabilityInputs& inputs, const QString& what);

    void showFields();
    void showAmbient();
    void showSummary();
    void recalculate();

    Windows& windows_;
    // The document ends before the main window that deletes this window.
    QPointer<AuditDocument> document_;
    QAction* action_;
    Arrangement arrangement_ = Arrangement::CounterFlow;
    std::optional<report::CapabilitySummary> summary_;
    std::optional<Basis> computedFrom_;
    std::vector<engine::AmbientRow> shownAmbient_;
    bool ambientShown_ = false;
    bool filling_ = false;  // the ambient table is being filled, not edited
    bool refusing_ = false; // a refusal's message box is open
};
