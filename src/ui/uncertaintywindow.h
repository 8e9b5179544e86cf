#pragma once
// The "Uncertainty" window: how sure each result of the current arrangement is, given the
// accuracies of the instruments. It reads the Problem windows' entry fields as they stand,
// runs the measurement model (chainmodel.h) with the chosen propagation (propagation.h) in a
// worker thread, and shows every result with its expanded uncertainty, the inputs that
// contribute most, and the verdict of the acceptance test. The accuracies are an editable
// table kept in the settings store.

#include "uncertainty/propagation.h"

#include <QWidget>
#include <memory>
#include <optional>

class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QThread;
class QTimer;
class Workspace;

class UncertaintyWindow : public QWidget {
    Q_OBJECT
public:
    explicit UncertaintyWindow(Workspace& workspace);
    ~UncertaintyWindow() override;

    // The toolbar's "Uncertainty": the window follows the arrangement chosen in the start
    // window and calculates.
    void follow();
    // CALCULATE: reads the Problem windows' fields and starts the chosen method. A Problem 1
    // field that holds no number is refused with a message; later Problems without numbers
    // are left out.
    void calculate();
    void cancel();
    bool isRunning() const;
    // Puts the accuracies of the fields' hints back (and into the settings).
    void restoreAccuracies();
    uncertainty::Accuracies accuracies() const;

    // The 19 entry-field values of an arrangement's Problem windows, in the report's order
    // (NaN for a text that is no number).
    static std::array<double, uncertainty::kChainInputCount> fieldValues(Workspace& workspace,
                                                                         Arrangement arrangement);

    int monteCarloDraws = 10000;

    QLabel* lblArrangement;
    QTableWidget* tblAccuracy; // input, reading, accuracy (editable), unit
    QPushButton* cmdRestore;
    QRadioButton* optFirstOrder;
    QRadioButton* optMonteCarlo;
    QPushButton* calculateButton;
    QPushButton* cmdCancel;
    QProgressBar* progress;
    QTableWidget* tblResults;
    QLabel* lblVerdict;
    QLabel* lblNotes;

Q_SIGNALS:
    // A run ended: its figures are shown, or it was cancelled or refused.
    void finished();

private:
    struct Job;
    void accuracyEdited(int row, int column);
    void loadAccuracies();
    void saveAccuracies() const;
    void setAccuracies(const uncertainty::Accuracies& accuracies);
    void showJob();
    void showAnalysis(const uncertainty::Analysis& shown, const uncertainty::Analysis* firstOrder);
    void setRunning(bool running);

    Workspace& workspace_;
    Arrangement arrangement_ = Arrangement::CounterFlow;
    std::optional<Arrangement> shownArrangement_; // of the figures shown
    std::shared_ptr<Job> job_;
    QThread* thread_ = nullptr;
    QTimer* progressTimer_;
    bool filling_ = false; // the table is being filled, not edited
};
