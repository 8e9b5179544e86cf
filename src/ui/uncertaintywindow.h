#pragma once
// The "Uncertainty" window: how sure each result of the current arrangement is, given the
// accuracies of the instruments. It takes the inputs of the Problems that are current, as
// their last CALCULATE read them (so its values are the windows' results), runs the measurement
// model (chainmodel.h) with the chosen propagation (propagation.h) in a worker thread, and
// shows every result with its expanded uncertainty, the inputs that contribute most, and the
// verdict of the acceptance test, under a line naming the method and the Problems used.
//
// Figures belong to what they were calculated from: the arrangement, the current Problems'
// inputs and the accuracies. When any of these changes (a CALCULATE, an undo, an edit of the
// accuracies or their restoring), the figures and the verdict go and the window says why;
// while a run works only its progress shows. The accuracies are an editable table kept in the
// settings store.

#include "uncertainty/propagation.h"

#include <QList>
#include <QStringList>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <vector>

class Desktop;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QThread;
class QTimer;
class Workspace;
namespace engine {
class Audit;
}

class UncertaintyWindow : public QWidget {
    Q_OBJECT
public:
    explicit UncertaintyWindow(Workspace& workspace);
    ~UncertaintyWindow() override;

    // The toolbar's "Uncertainty": the window follows the arrangement chosen in the start
    // window and calculates.
    void follow();
    // CALCULATE: takes the current Problems' inputs and starts the chosen method. Without a
    // calculated Problem 1 it is refused with a message; Problems that are out of date (and
    // those after them) are left out, and the window says so.
    void calculate();
    void cancel();
    bool isRunning() const;
    // Puts the accuracies of the fields' hints back (and into the settings).
    void restoreAccuracies();
    uncertainty::Accuracies accuracies() const;
    // The accuracies kept in the settings store (the hints' where none is kept), as the window
    // loads them; what the capability's uncertainty is stated with elsewhere.
    static uncertainty::Accuracies savedAccuracies(Desktop& desktop);

    // The results table as tab-separated text, a header line first and one line per row, with
    // the numbers as shown: the selected rows, or every row when none is selected. Ctrl+C on
    // the table and its context menu's "Copy" put it on the clipboard.
    QString resultsText() const;
    void copyResults() const;

    // The texts the Problem windows show for the results (Audit::text), by Result: those of
    // the current Problems from Problem 1 on, as calculatedValues() takes them; empty for the
    // others.
    using WindowResults = std::array<QString, uncertainty::kResultCount>;
    static WindowResults windowResults(const engine::Audit& audit, Arrangement arrangement);

    // The figures of an analysis as the window shows them: one row per result the analysis
    // reaches, under resultsHeader() (Problem, result [unit], value, U, U [%], the largest
    // shares, beside a Monte Carlo analysis its check against the first-order one), the
    // acceptance test's verdict and the notes (failed chains, disagreements, the draws).
    // With the windows' texts, a result's value and the verdict's deviation are the text its
    // window shows (U stays the model's), and a note names the results whose unrounded model
    // value differs from that text by more than a unit of its last digit.
    struct Texts {
        QList<QStringList> rows;
        QString verdict;
        QStringList notes;
    };
    static Texts texts(const uncertainty::Analysis& shown,
                       const uncertainty::Analysis* firstOrder = nullptr,
                       const WindowResults* windows = nullptr);
    static QStringList resultsHeader();

    // The arrangement whose figures the window shows, and whether it shows figures: those of a
    // completed run that still belong to the audit.
    Arrangement arrangement() const { return arrangement_; }
    bool hasFigures() const;

    // Shows the audit's state again: figures that no longer belong to the current Problems'
    // inputs or to the accuracies go (called after every step of the engine and every undo).
    void pullTexts();

    // The inputs of an arrangement's Problems as the audit calculated them: the 19 entry-field
    // values in the report's order, from the texts each Problem's fields held at its last
    // CALCULATE, for the current Problems from Problem 1 up to the first that is not current
    // (NaN for the others' and for a text that is no number). *used receives the Problems
    // taken, *leftOut the calculated Problems that are not.
    static std::array<double, uncertainty::kChainInputCount>
    calculatedValues(const engine::Audit& audit, Arrangement arrangement,
                     std::vector<int>* used = nullptr, std::vector<int>* leftOut = nullptr);

    // Monte Carlo runs in batches of this many draws until its figures are stable to two
    // significant digits, and stops at the cap.
    int monteCarloBatch = 2000;
    int monteCarloCap = 100000;

    QLabel* lblArrangement;
    QTableWidget* tblAccuracy; // input, reading, accuracy (editable), unit
    QPushButton* cmdRestore;
    QRadioButton* optFirstOrder;
    QRadioButton* optMonteCarlo;
    QPushButton* calculateButton;
    QPushButton* cmdCancel;
    QProgressBar* progress;
    QLabel* lblMethod; // the method of the figures shown and the Problems they come from
    QTableWidget* tblResults;
    QLabel* lblMeaning; // what U and U [%] mean, beside the results
    QLabel* lblVerdict;
    QLabel* lblNotes;

Q_SIGNALS:
    // A run ended: its figures are shown, or it was cancelled or refused.
    void finished();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What figures are calculated from.
    struct Basis {
        Arrangement arrangement = Arrangement::CounterFlow;
        std::array<double, uncertainty::kChainInputCount> values{};
        std::vector<int> used, leftOut;
        // The results the windows of the used Problems show, in the report's order.
        std::vector<QString> results;
        uncertainty::Accuracies accuracies{};
        // The same inputs (NaN equal to NaN), Problems, results and accuracies.
        bool sameAs(const Basis& other) const;
    };
    // The figures of a completed run and what they were calculated from.
    struct Outcome {
        Basis basis;
        uncertainty::Analysis analysis;
        std::optional<uncertainty::Analysis> firstOrder; // beside a Monte Carlo analysis
    };
    struct Job;
    Basis currentBasis() const;
    // Shows figures, or none with the reason on the method line.
    void showOutcome(const Outcome& outcome);
    void clearFigures(const QString& reason);
    void accuracyEdited(int row, int column);
    void loadAccuracies();
    void saveAccuracies() const;
    void setAccuracies(const uncertainty::Accuracies& accuracies);
    void showJob();
    void showAnalysis(const uncertainty::Analysis& shown, const uncertainty::Analysis* firstOrder,
                      const WindowResults& windows);
    void setRunning(bool running);
    void showReadings(const Basis& basis);
    // Fits the results table's columns into its width: the columns of words (the result, the
    // shares and the check) wrap when the table is too narrow for them on one line.
    void fitResultColumns();

    Workspace& workspace_;
    Arrangement arrangement_ = Arrangement::CounterFlow;
    // The figures of the last completed run while they belong to the audit (hidden during a
    // run, shown again when it is cancelled).
    std::optional<Outcome> outcome_;
    std::shared_ptr<Job> job_;
    QThread* thread_ = nullptr;
    QTimer* progressTimer_;
    bool filling_ = false; // the table is being filled, not edited
};
