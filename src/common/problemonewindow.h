#pragma once
// ProblemOneWindow: what the two Problem 1 windows (Form5, counter flow; Form8, cross flow)
// share. Both take the same seven measured values in the same fields, check them alike, compute
// the inlet and outlet air through the moist-air calculator, show the same indicators and air
// parameters, and add a row to the result grid on each calculation. Each window keeps its own
// captions, result label names, buttons, calculation and status text.

#include "common/problemwindow.h"
#include "common/resultgrid.h"

#include <initializer_list>
#include <optional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class ProblemOneWindow : public ProblemWindow {
    Q_OBJECT
public:
    // Rewrites the grid's headers, resets NextRow and FirstRow and recommends the water flow.
    void Form_Activate() override;

    // Inputs.
    QLineEdit* Text1 = nullptr; // water mass flow rate L, kg/s
    QLineEdit* Text8 = nullptr; // air mass flow rate G, kg/s
    QLineEdit* Text3 = nullptr; // water temperature IN, degC
    QLineEdit* Text4 = nullptr; // water temperature OUT, degC
    QLineEdit* Text5 = nullptr; // ambient air pressure, bar
    QLineEdit* Text6 = nullptr; // ambient dry bulb, degC
    QLineEdit* Text7 = nullptr; // ambient relative humidity, %

    ResultGrid* fgTable = nullptr;

    // The grid row the next calculation writes, and the row after which rows are appended;
    // both reset to 1 by every activation.
    int NextRow = 1;
    int FirstRow = 1;

protected:
    ProblemOneWindow(Windows& windows, const char* name, const QString& title);

    // The upper part of the window, in this order: the Problem 1 title over `arrangement`, the
    // explanation, and the input frame with Text1, Text8, Text3 ... Text7 captioned by
    // `fieldCaptions` in that order.
    void makeInputs(const QString& arrangement, const QString& explanation,
                    const QString& frameCaption, const QStringList& fieldCaptions);
    // The grid's title and the grid.
    void makeGrid();

    // The window's own parts, for the shared layout.
    struct Parts {
        QWidget* indicators;
        QWidget* air;
        QWidget* picture;
        QLabel* busy; // the "Please wait ..." label, or nullptr
        QPushButton* back;
        QPushButton* calculate;
        QPushButton* onward;
    };
    // Explanation, inputs and picture on the left, indicators and air on the right, the grid
    // beneath, the buttons at the bottom; CALCULATE follows Text7 in the tab order.
    void layOut(const Parts& parts);

    // The seven measured values as typed.
    struct Measured {
        double L;    // water mass flow rate, kg/s
        double G;    // air mass flow rate, kg/s
        double Tin;  // water temperature IN, degC
        double Tout; // water temperature OUT, degC
        double p;    // ambient air pressure, bar
        double tdb;  // ambient dry bulb, degC
        double rh;   // ambient relative humidity, %
    };
    // CALCULATE's own checks and the seven values: "All fields require data", "Invalid entries,
    // please enter numbers only", and an outlet water temperature above the inlet, which
    // empties the fields `cleared` in their order and focuses Text3. nullopt when refused.
    std::optional<Measured> readMeasured(std::initializer_list<QLineEdit*> cleared);

    // The result labels by what they show; each window names its own and sets them here.
    struct ResultLabels {
        QLabel* ntu;
        QLabel* heat;
        QLabel* coolingDegree;
        QLabel* range;
        QLabel* approach;
        QLabel* outletDryBulb;
        QLabel* outletWetBulb;
        QLabel* outletEnthalpy;
        QLabel* outletRelativeHumidity;
        QLabel* outletHumidity;
        QLabel* inletWetBulb;
        QLabel* inletEnthalpy;
        QLabel* inletHumidity;
    };
    ResultLabels resultLabels{};

    // What a calculation found.
    struct Results {
        double ntu;           // kW/(kJ/kg)
        double heat;          // heat capacity Q, kW
        double coolingDegree; // -
        double range;         // K
        double approach;      // K
        ShownAir inlet;
        double outletDryBulb;  // degC
        double outletEnthalpy; // kJ/kg
        ShownAir outlet;
    };
    // Rewrites the seven fields in their patterns (the water flow in `waterFlowPattern`) and
    // writes the results (the NTU in `ntuPattern`).
    void showResults(const Measured& measured, const Results& found, const char* waterFlowPattern,
                     const char* ntuPattern);

    // Writes the fields and indicators as shown into grid row NextRow, then moves NextRow on.
    void AddGridRow();

    // The completion message on the status line; when the outlet air shown is beyond
    // saturation (cold humid inlet air), a note says so: the results stand, they are no fault.
    void setCompletionStatus(const QString& text);

private:
    QWidget* header_ = nullptr;
    QLabel* explanation_ = nullptr;
    QGroupBox* input_ = nullptr;
    QLabel* gridTitle_ = nullptr;
};
