#pragma once
// The propagation of the instruments' accuracies through the measurement model of
// chainmodel.h. Each stated accuracy is the half-width a of a rectangular distribution
// (standard uncertainty u = a / sqrt(3)); the measured inputs are independent. Two methods:
//
//  - first order: sensitivity coefficients by central differences (steps of +/- u through the
//    whole chain), combined in quadrature; each input's share of the variance;
//  - Monte Carlo: draws of all seven inputs from their rectangular distributions with a fixed
//    seed, u = the standard deviation of each result over the draws. A fixed number of draws,
//    or batches of draws until every result's figures are stable to two significant digits of
//    its standard uncertainty (below).
//
// Both state the expanded uncertainty U = 2 u (coverage factor 2, about 95 %). A chain that
// fails for a perturbed input or a draw is reported, never left out silently.

#include "uncertainty/chainmodel.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace uncertainty {

// The accuracy of one instrument: a half-width in the input's unit, or in per cent of the
// reading.
struct Accuracy {
    double value = 0;
    bool relative = false;
};
using Accuracies = std::array<Accuracy, kInputCount>;

// The accuracies the fields' hints state: flows +/- 2 %, temperatures +/- 0.05 K, pressure
// +/- 1 %, and the relative humidity's "+/-0.05" read as a fraction of saturation, i.e.
// +/- 5 percentage points of relative humidity.
Accuracies hintAccuracies();

// The half-width of an instrument's reading.
double halfWidth(const Accuracy& accuracy, double reading);

enum class Method { FirstOrder, MonteCarlo };

struct Contribution {
    int input = -1;
    double share = 0; // per cent of the variance
};

struct ResultUncertainty {
    double value;                      // the result of the measured chain
    double expanded;                   // U = 2 u; NaN when not available
    std::array<Contribution, 3> top{}; // the largest shares first (first order only)
    int failedDraws = 0;               // Monte Carlo draws whose chain did not reach it
};

struct Analysis {
    Method method = Method::FirstOrder;
    Evaluation nominal; // the measured chain
    std::array<ResultUncertainty, kResultCount> results{};
    // One line per perturbed chain or kind of failed draw: which input, which step, why.
    std::vector<std::string> failures;
    int draws = 0; // Monte Carlo: the draws evaluated
    bool cancelled = false;
    // Adaptive Monte Carlo: the batches run, and whether the figures became stable before the
    // cap (false when the cap or Cancel stopped the run).
    int batches = 0;
    bool stable = false;
};

Analysis firstOrder(Arrangement arrangement, const Case& c, const Accuracies& accuracies);

// A fixed run evaluates `draws` draws. An adaptive run evaluates batches of `draws` draws
// until, for every result the measured chain reaches, twice the standard deviation of the
// average of the batches' figures (the mean, the standard uncertainty u and the ends of the
// probabilistically symmetric 95 % interval) lies within the numerical tolerance of u: half a
// unit of u's second significant digit over all draws so far. At least two batches run, and no
// more than maxDraws draws in all (the last batch is cut at the cap). `judged` names the
// figures that must be stable: all four by default; a caller that reports only the
// uncertainty judges only u, which needs far fewer draws than the interval's ends.
enum BatchFigure : unsigned { MeanFigure = 1, UncertaintyFigure = 2, IntervalFigures = 4 };
constexpr unsigned kAllBatchFigures = MeanFigure | UncertaintyFigure | IntervalFigures;
struct MonteCarloOptions {
    int draws = 10000;
    bool adaptive = false;
    int maxDraws = 100000;
    unsigned judged = kAllBatchFigures;
    std::uint64_t seed = 20261208;
    int threads = 1;
    std::atomic<int>* completed = nullptr;     // counts the evaluated draws, for a progress bar
    const std::atomic<bool>* cancel = nullptr; // stops the run soon after it turns true
};
// Draw k's inputs depend only on the seed and k, and the figures are summed in the order of the
// draws: they are the same for any number of threads.
Analysis monteCarlo(Arrangement arrangement, const Case& c, const Accuracies& accuracies,
                    const MonteCarloOptions& options);

// True when the two methods' U differ by more than 10 % of the Monte Carlo value: the model is
// not linear enough over the inputs' uncertainty for the first-order figure.
bool methodsDisagree(double firstOrderU, double monteCarloU);

// The acceptance test: whether the deviation from design lies beyond its uncertainty.
enum class Verdict { AboveDesign, BelowDesign, CannotTell };
Verdict verdict(double deviation, double expanded);

// The decimals that show an uncertainty with two significant digits (negative: round to tens,
// hundreds, ...), and a value rounded to them.
int twoDigitDecimals(double expanded);
double roundToDecimals(double value, int decimals);

// The numerical tolerance of a standard uncertainty u stated to two significant digits: half a
// unit of its second digit (u = 0.0253: 0.0005). Zero when u is not a positive number.
double twoDigitTolerance(double u);

// The figures of one batch of draws of a result (deviations from any fixed reference): the
// mean, the standard deviation, and the ends of the probabilistically symmetric 95 % interval
// (the r-th and (r + q)-th smallest values, q = round(0.95 n)). NaN when fewer than two.
struct BatchFigures {
    double mean, u, low, high;
};
BatchFigures batchFigures(std::vector<double> values);

// Whether the figures of h >= 2 batches are stable within tolerance: for each judged figure
// (BatchFigure; the interval's two ends go together), twice the standard deviation of their average
// over the batches (the standard deviation of the h values divided by sqrt(h)) does not exceed
// tolerance. False for fewer than two batches or any figure that is not a number.
bool batchesStable(const std::vector<BatchFigures>& batches, double tolerance,
                   unsigned judged = kAllBatchFigures);

} // namespace uncertainty
