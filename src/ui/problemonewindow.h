#pragma once
// ProblemOneWindow: what the two Problem 1 windows (Form5, counter flow; Form8, cross flow)
// share. Both take the same seven measured values in the same fields, show the same indicators
// and air parameters, and show the engine's result grid, one row per calculation. Each window
// keeps its own captions, result label names and buttons.

#include "ui/problemwindow.h"
#include "ui/resultgrid.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class ProblemOneWindow : public ProblemWindow {
    Q_OBJECT
public:
    // Rewrites the grid's headers; the engine resets NextRow and FirstRow and recommends the
    // water flow.
    void Form_Activate() override;
    void pushTexts() override;
    void pullTexts() override;

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
    // both reset to 1 by every activation (the engine's counters, as last shown).
    int NextRow = 1;
    int FirstRow = 1;

protected:
    ProblemOneWindow(Workspace& workspace, const char* name, const QString& title);

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

private:
    QWidget* header_ = nullptr;
    QLabel* explanation_ = nullptr;
    QGroupBox* input_ = nullptr;
    QLabel* gridTitle_ = nullptr;
};
