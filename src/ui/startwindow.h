#pragma once
// StartWindow: the start window. The engineer chooses the tower arrangement and opens its
// first Problem window with CALCULATE.

#include "core/arrangement.h"

#include <QWidget>

class QPushButton;
class QRadioButton;
class Workspace;

class StartWindow : public QWidget {
    Q_OBJECT
public:
    explicit StartWindow(Workspace& workspace);

    // Opens the Problem 1 window of the chosen arrangement (the CALCULATE button).
    void openProblemOne();

    // The arrangement its option buttons choose.
    Arrangement chosenArrangement() const;

    QRadioButton* counterFlowOption() const { return counterFlow_; }
    QRadioButton* crossFlowOption() const { return crossFlow_; }
    QPushButton* calculateButton() const { return calculate_; }

private:
    Workspace& workspace_;
    QRadioButton* counterFlow_;
    QRadioButton* crossFlow_;
    QPushButton* calculate_;
};
